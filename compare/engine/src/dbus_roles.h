// The engine roles bound to the stand-in engine's D-Bus objects.
#pragma once

#include "dbus_caller.h"
#include "twinview/engine_roles.h"

#include <memory>

std::shared_ptr<IEngineApplication> MakeDbusApplication(std::shared_ptr<const DbusCaller> caller);
