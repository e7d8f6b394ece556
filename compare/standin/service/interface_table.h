// The methods of each object of the stand-in engine with their D-Bus
// signatures: used to check incoming calls and to answer introspection.
#pragma once

#include "object_paths.h"

#include <QString>

#include <vector>

namespace draftora {

struct MethodEntry {
    const char* name;
    const char* in;  // D-Bus signature of the arguments
    const char* out; // D-Bus signature of the reply
};

struct InterfaceEntry {
    const char* name;
    std::vector<MethodEntry> methods;
};

// Null for ObjectKind::None.
const InterfaceEntry* InterfaceOf(ObjectKind kind);
const MethodEntry* FindMethod(const InterfaceEntry& entry, const QString& member);
QString IntrospectionXml(const InterfaceEntry& entry);

} // namespace draftora
