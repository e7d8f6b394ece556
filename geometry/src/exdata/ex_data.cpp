// CExData: the handle operations on a shared keyed store.
#include <utility>
#include <vector>

#include "tessaly/exdata.h"

namespace {
IGeometryExDataProvider* ProviderOf(const char* key)
{
    return CDispatchExDataProvider::GetDispatchProvider().GetKeyProvider(key);
}
} // namespace

CExData::CExData(const CExData& other) : CWrapUnknown<CExDataProvider>(other) {}

CExData::~CExData() = default;

CExData& CExData::operator=(const CExData& other)
{
    CWrapUnknown<CExDataProvider>::operator=(other);
    return *this;
}

CExData& CExData::operator=(const CExDataProvider* store)
{
    CWrapUnknown<CExDataProvider>::operator=(store);
    return *this;
}

CExData& CExData::Add(const char* key, void* value)
{
    if (!value)
        return *this;
    if (IsNull())
        *this = new CExDataProvider;
    CExDataProvider* store = *this;
    store->SetValue(ProviderOf(key), value);
    return *this;
}

CExData& CExData::RemoveAll()
{
    *this = static_cast<const CExDataProvider*>(nullptr);
    return *this;
}

CExData& CExData::Remove(const char* key)
{
    if (IsNull())
        return *this;
    CExDataProvider* store = *this;
    store->RemoveValue(ProviderOf(key));
    return *this;
}

void* CExData::GetData(const char* key)
{
    if (IsNull())
        return nullptr;
    CExDataProvider* store = *this;
    return store->GetValue(ProviderOf(key));
}

// One pass: every new value is computed once and kept, so a provider that
// allocates new values never has one dropped on the floor. out may be this
// handle, so the source store is held by a local handle first.
void CExData::NewIdsByPlaneDivide(CExData& out, const G3Surface* surface, const double* plane)
{
    const CExData source(*this);
    out.RemoveAll();
    if (source.IsNull())
        return;
    const CExDataProvider* store = source;
    std::vector<std::pair<IGeometryExDataProvider*, void*>> divided;
    bool changed = false;
    for (const auto& entry : store->GetValues()) {
        void* value = entry.first->GetIdByPlaneDivide(entry.second, surface, plane);
        changed = changed || value != entry.second;
        divided.emplace_back(entry.first, value);
    }
    if (!changed) {
        out = source;
        return;
    }
    for (const auto& entry : divided) {
        if (!entry.second)
            continue;
        if (out.IsNull())
            out = new CExDataProvider;
        static_cast<CExDataProvider*>(out)->SetValue(entry.first, entry.second);
    }
}

bool CExData::MergeIds(const CExData& a, const CExData& b)
{
    const CExData first(a), second(b);
    RemoveAll();
    const CExDataProvider* sa = first;
    const CExDataProvider* sb = second;
    if (sa && sb && sa != sb)
        return false;
    *this = sa ? sa : sb;
    return true;
}
