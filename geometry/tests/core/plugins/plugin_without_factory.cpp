// A library that links the kernel but exports no "NewInstance".
#include "tessaly/object.h"

extern "C" __attribute__((visibility("default"))) int PluginVersion()
{
    GObj probe(1);
    return static_cast<int>(probe.GetUserValue());
}
