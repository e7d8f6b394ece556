// The methods of each object of the stand-in engine with their D-Bus
// signatures: used to check incoming calls and to answer introspection.
#pragma once

#include "object_paths.h"

#include <QString>

#include <vector>

namespace draftora {

struct MethodSpec {
    const char* name;
    const char* in;  // D-Bus signature of the arguments
    const char* out; // D-Bus signature of the reply
};

struct InterfaceSpec {
    const char* name;
    std::vector<MethodSpec> methods;
};

// Null for ObjectKind::None.
const InterfaceSpec* InterfaceOf(ObjectKind kind);
const MethodSpec* FindMethod(const InterfaceSpec& spec, const QString& member);
QString IntrospectionXml(const InterfaceSpec& spec);

} // namespace draftora
