#include "tessaly/elements.h"

#include "core/unpooled.h"

G3ExDataProvider::~G3ExDataProvider() = default;
void G3ExDataProvider::FreeExData(void*) {}
void G3ExDataProvider::OpenExData(G3Obj*) {}
void G3ExDataProvider::SetExData(G3Obj*) {}
void G3ExDataProvider::TransformExData(G3Obj*, double[4][4]) {}
void G3ExDataProvider::CopyExData(G3Obj*, G3Obj*) {}

namespace {

// The registry lives on the general heap: it outlives GHeap::RemoveAllHeaps
// and is destroyed at unload.
class ProviderRegistry {
public:
    ProviderRegistry() : m_List(NewUnpooled<GArrayCollection>(256, 1024)) {}
    ~ProviderRegistry() { DeleteUnpooled(m_List); }
    ProviderRegistry(const ProviderRegistry&) = delete;
    ProviderRegistry& operator=(const ProviderRegistry&) = delete;
    GArrayCollection* List() { return m_List; }

private:
    GArrayCollection* m_List;
};

GObj* AsElement(G3ExDataProvider* provider)
{
    return reinterpret_cast<GObj*>(provider);
}

} // namespace

GArrayCollection* G3Obj::GetProviderList()
{
    static ProviderRegistry registry;
    return registry.List();
}

void G3Obj::AddProvider(G3ExDataProvider* provider)
{
    if (provider)
        GetProviderList()->add(AsElement(provider));
}

G3ExDataProvider* G3Obj::GetProvider(long id)
{
    GArrayCollection* list = GetProviderList();
    if (id < 0 || id >= list->size())
        return nullptr;
    return reinterpret_cast<G3ExDataProvider*>(list->get(static_cast<int>(id)));
}

long G3Obj::GetProviderId(G3ExDataProvider* provider)
{
    return GetProviderList()->index(AsElement(provider));
}

bool G3Obj::RemoveExDataProvider(G3ExDataProvider* provider)
{
    return GetProviderList()->remove(AsElement(provider));
}

void G3Obj::ProviderOpenExData(G3Obj* obj)
{
    if (IsExDataProviderLocked())
        return;
    GArrayCollection* list = GetProviderList();
    for (int i = 0; i < list->size(); ++i)
        reinterpret_cast<G3ExDataProvider*>(list->get(i))->OpenExData(obj);
}

void G3Obj::ProviderSetExData(G3Obj* obj)
{
    GArrayCollection* list = GetProviderList();
    for (int i = 0; i < list->size(); ++i)
        reinterpret_cast<G3ExDataProvider*>(list->get(i))->SetExData(obj);
}

void G3Obj::ProviderTransformExData(G3Obj* obj, double m[4][4])
{
    GArrayCollection* list = GetProviderList();
    for (int i = 0; i < list->size(); ++i)
        reinterpret_cast<G3ExDataProvider*>(list->get(i))->TransformExData(obj, m);
}

// The registry and the poly-edge data provider exist from library load on.
[[maybe_unused]] static const bool g_ProvidersAtLoad =
    (G3Obj::GetProviderList(), G3AcisEdgeDataProvider::Instance(), true);
