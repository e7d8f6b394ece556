#pragma once
// Providers for the keyed-data tests: one that counts its calls and owns
// heap values (an int each), and one that changes chosen values on a
// division.
#include <gtest/gtest.h>

#include <set>

#include "tessaly/exdata.h"

// Owns its values: each is a new int, deleted by Free. Counts frees and
// its own destruction.
class OwningProvider : public IGeometryExDataProvider {
public:
    explicit OwningProvider(int* destroyed = nullptr) : m_Destroyed(destroyed) {}
    ~OwningProvider() override
    {
        if (m_Destroyed)
            ++*m_Destroyed;
    }
    static void* NewValue(int v) { return new int(v); }
    static int ValueOf(void* id) { return *static_cast<int*>(id); }
    void Free(void* id) override
    {
        ++frees;
        delete static_cast<int*>(id);
    }
    // A divided piece gets a new value one larger; a value of 0 gives none.
    void* GetIdByPlaneDivide(void* id, const G3Surface*, const double*) override
    {
        const int v = ValueOf(id);
        return v == 0 ? nullptr : NewValue(v + 1);
    }
    void* GetIdByMergeFacets(void* a, void*) override { return a; }

    int frees = 0;

private:
    int* m_Destroyed;
};

// Values are identifiers; counts frees. Division drops the identifiers in
// the drop set and keeps the others.
class CountingProvider : public IGeometryExDataProvider {
public:
    void Free(void*) override { ++frees; }
    void* GetIdByPlaneDivide(void* id, const G3Surface*, const double*) override
    {
        return drop.count(id) ? nullptr : id;
    }
    void* GetIdByMergeFacets(void* a, void* b) override { return a == b ? a : nullptr; }

    int frees = 0;
    std::set<void*> drop;
};

// Registers a new provider of type P under key (which must be unused) and
// returns it; the registry owns it.
template <class P> P* RegisterNew(const char* key)
{
    auto* p = new P;
    EXPECT_EQ(CDispatchExDataProvider::GetDispatchProvider().RegisterKey(key, p), p) << key;
    return p;
}

inline void* Id(long v)
{
    return reinterpret_cast<void*>(v);
}
