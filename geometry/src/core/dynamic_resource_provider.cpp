#include "tessaly/containers.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

// Resources are keyed by identity: the hash is the address, and addresses
// are compared with == and <, never by subtracting them into an int.
long AddressHash(const GObj* key)
{
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(key) & LONG_MAX);
}

int CompareAddresses(const GObj* stored, const GObj* query)
{
    if (stored == query)
        return 0;
    return std::less<const GObj*>()(stored, query) ? -1 : 1;
}

} // namespace

GDynamicResourceProvider::GDynamicResourceProvider(GDynamicResourceProvider* parent)
    : m_Listeners(new GArrayCollection(8, 8)),
      m_Resources(new GHashtable(314, &AddressHash, &CompareAddresses, nullptr)), m_Parent(parent)
{
    if (m_Parent)
        m_Parent->AddListener(this);
}

GDynamicResourceProvider::~GDynamicResourceProvider()
{
    if (m_Parent)
        m_Parent->RemoveListener(this);
    delete m_Resources;
    delete m_Listeners;
}

void GDynamicResourceProvider::AddListener(GDynamicResourceProvider* listener)
{
    if (listener)
        m_Listeners->add(reinterpret_cast<GObj*>(listener));
}

void GDynamicResourceProvider::RemoveListener(GDynamicResourceProvider* listener)
{
    m_Listeners->remove(reinterpret_cast<GObj*>(listener));
}

void GDynamicResourceProvider::AddResource(GObj* resource)
{
    // A resource added twice first drops what was made for it, so that no
    // data and no listener data is orphaned.
    if (m_Resources->Get(resource))
        RemoveResource(resource);
    GObj* data = MakeData(resource);
    m_Resources->Put(resource, data);
    for (int i = m_Listeners->size() - 1; i >= 0; --i)
        reinterpret_cast<GDynamicResourceProvider*>(m_Listeners->get(i))->AddResource(data);
}

void GDynamicResourceProvider::RemoveResource(GObj* resource)
{
    GObj* data = m_Resources->Remove(resource);
    if (!data)
        return;
    for (int i = m_Listeners->size() - 1; i >= 0; --i)
        reinterpret_cast<GDynamicResourceProvider*>(m_Listeners->get(i))->RemoveResource(data);
    ReleaseData(data);
}

void GDynamicResourceProvider::SetResourceData(GObj* resource, GObj* data)
{
    m_Resources->Put(resource, data);
}

GObj* GDynamicResourceProvider::GetResourceData(GObj* resource) const
{
    return m_Resources->Get(resource);
}

void GDynamicResourceProvider::Clear()
{
    std::vector<GObj*> resources;
    resources.reserve(static_cast<std::size_t>(m_Resources->GetSize()));
    GHashtableIterator it(m_Resources);
    while (it.hasNext())
        resources.push_back(static_cast<GHashtableEntry*>(it.next())->key);
    for (GObj* resource : resources)
        RemoveResource(resource);
    m_Resources->Clear();
}

void GDynamicResourceProvider::GetResource(GArrayCollection* resources, GArrayCollection* data) const
{
    GHashtableIterator it(m_Resources);
    while (it.hasNext()) {
        auto* entry = static_cast<GHashtableEntry*>(it.next());
        if (resources)
            resources->add(entry->key);
        if (data)
            data->add(entry->value);
    }
}

void GDynamicResourceProvider::GetResource(GArrayCollection* data) const
{
    GetResource(nullptr, data);
}

bool GDynamicResourceProvider::IsEmpty() const
{
    return m_Resources->IsEmpty();
}
