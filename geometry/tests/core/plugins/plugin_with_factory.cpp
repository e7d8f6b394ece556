// A plug-in library of the kind GDynamicClass::Load accepts.
#include "tessaly/object.h"

namespace {
class RoofPlugin : public GDynamicClass {
public:
    const char* ___GetClassName() override { return "RoofPlugin"; }
    int GetType() override { return 42; }
    const char* GetName() override { return "Roof plug-in"; }
};
} // namespace

extern "C" __attribute__((visibility("default"))) GDynamicClass* NewInstance()
{
    return new RoofPlugin;
}
