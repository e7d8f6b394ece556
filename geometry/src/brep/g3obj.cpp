#include "tessaly/elements.h"

#include <algorithm>
#include <functional>

// The data attached by providers to one object: a small array sorted by
// provider address, with room for two entries before it needs the heap.
struct G3ProviderDataMap {
    struct Entry {
        G3ExDataProvider* provider;
        void* data;
    };

    G3ProviderDataMap() = default;
    ~G3ProviderDataMap()
    {
        if (entries != inlineEntries)
            delete[] entries;
    }
    G3ProviderDataMap(const G3ProviderDataMap&) = delete;
    G3ProviderDataMap& operator=(const G3ProviderDataMap&) = delete;

    Entry* begin() { return entries; }
    Entry* end() { return entries + count; }

    Entry* Find(G3ExDataProvider* provider)
    {
        Entry* it = LowerBound(provider);
        return it != end() && it->provider == provider ? it : nullptr;
    }

    void Set(G3ExDataProvider* provider, void* data)
    {
        Entry* it = LowerBound(provider);
        if (it != end() && it->provider == provider) {
            it->data = data;
            return;
        }
        std::ptrdiff_t at = it - entries;
        if (count == capacity)
            Grow();
        std::move_backward(entries + at, end(), end() + 1);
        entries[at] = Entry{provider, data};
        ++count;
    }

private:
    Entry* LowerBound(G3ExDataProvider* provider)
    {
        return std::lower_bound(begin(), end(), provider, [](const Entry& e, G3ExDataProvider* p) {
            return std::less<G3ExDataProvider*>()(e.provider, p);
        });
    }

    void Grow()
    {
        int grown = capacity * 2;
        Entry* larger = new Entry[static_cast<std::size_t>(grown)];
        std::copy(begin(), end(), larger);
        if (entries != inlineEntries)
            delete[] entries;
        entries = larger;
        capacity = grown;
    }

    Entry inlineEntries[2];
    Entry* entries = inlineEntries;
    int count = 0;
    int capacity = 2;
};

static_assert(alignof(G3ProviderDataMap) > 1, "the provider lock lives in the low bit of the data's address");

G3ProviderDataMap* G3Obj::ProviderData() const
{
    return reinterpret_cast<G3ProviderDataMap*>(m_ProviderDataAndLock & ~kProviderLockBit);
}

G3Obj::~G3Obj()
{
    RemoveExData();
    delete ProviderData();
}

void G3Obj::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<G3Obj*>(source);
    if (!other)
        return;
    m_Id = other->m_Id;
    m_Flags = other->m_Flags;
    m_ExData = other->m_ExData;
}

double G3Obj::HashCode()
{
    return 0.0;
}

char* G3Obj::ToString()
{
    return nullptr;
}

int G3Obj::GetObjectType()
{
    return 0;
}

void G3Obj::SetOutExData(G3ExDataProvider* provider, void* data)
{
    G3ProviderDataMap* map = ProviderData();
    if (!map) {
        map = new G3ProviderDataMap;
        m_ProviderDataAndLock |= reinterpret_cast<std::uintptr_t>(map);
    }
    map->Set(provider, data);
}

void* G3Obj::GetOutExData(G3ExDataProvider* provider) const
{
    G3ProviderDataMap* map = ProviderData();
    if (!map)
        return nullptr;
    G3ProviderDataMap::Entry* entry = map->Find(provider);
    return entry ? entry->data : nullptr;
}

void G3Obj::RemoveExData()
{
    G3ProviderDataMap* map = ProviderData();
    if (!map)
        return;
    for (G3ProviderDataMap::Entry& entry : *map) {
        void* data = entry.data;
        // Nulled before the provider sees it, so a provider that looks at
        // the object meanwhile never finds freed data.
        entry.data = nullptr;
        if (data)
            entry.provider->FreeExData(data);
    }
}

void G3Obj::RemoveExData(G3ExDataProvider* provider)
{
    G3ProviderDataMap* map = ProviderData();
    if (!map)
        return;
    G3ProviderDataMap::Entry* entry = map->Find(provider);
    if (!entry || !entry->data)
        return;
    void* data = entry->data;
    entry->data = nullptr;
    provider->FreeExData(data);
}

void G3Obj::CopyExData(G3Obj* source)
{
    G3ProviderDataMap* map = source ? source->ProviderData() : nullptr;
    if (!map)
        return;
    for (G3ProviderDataMap::Entry& entry : *map)
        entry.provider->CopyExData(this, source);
}
