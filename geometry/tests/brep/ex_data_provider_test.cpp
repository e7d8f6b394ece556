// Data attached by extended-data providers: every record is freed exactly
// once, whatever copies, opens and deletions happen.
#include <gtest/gtest.h>

#include <set>

#include "tessaly/elements.h"

namespace {

// Attaches a counted record to every object it opens, copies records on
// request, and checks that it never frees a record twice or one it did not
// make.
class CountingProvider : public G3ExDataProvider {
public:
    struct Record {
        int value;
    };

    void OpenExData(G3Obj* obj) override { obj->SetOutExData(this, Make(m_Current)); }
    void SetExData(G3Obj* obj) override
    {
        auto* r = obj ? static_cast<Record*>(obj->GetOutExData(this)) : nullptr;
        m_Current = r ? r->value : 0;
    }
    void CopyExData(G3Obj* target, G3Obj* source) override
    {
        auto* r = static_cast<Record*>(source->GetOutExData(this));
        if (!r)
            return;
        target->RemoveExData(this);
        target->SetOutExData(this, Make(r->value));
    }
    void FreeExData(void* data) override
    {
        auto* r = static_cast<Record*>(data);
        EXPECT_EQ(m_Live.erase(r), 1u) << "record freed twice or never made";
        delete r;
    }

    std::size_t Live() const { return m_Live.size(); }
    int m_Current = 0;

private:
    Record* Make(int value)
    {
        auto* r = new Record{value};
        m_Live.insert(r);
        return r;
    }
    std::set<Record*> m_Live;
};

// Registers a provider for the life of a test.
struct Registered {
    explicit Registered(G3ExDataProvider* p) : provider(p) { G3Obj::AddProvider(p); }
    ~Registered() { G3Obj::RemoveExDataProvider(provider); }
    G3ExDataProvider* provider;
};

} // namespace

TEST(ExDataProvider, RecordsLiveAsLongAsTheirObjects)
{
    CountingProvider provider;
    Registered registration(&provider);
    EXPECT_GE(G3Obj::GetProviderId(&provider), 0);
    EXPECT_EQ(G3Obj::GetProvider(G3Obj::GetProviderId(&provider)), &provider);
    {
        G3Vertex source(0, 0, 0);
        provider.m_Current = 5;
        source.ProviderOpenExData(&source);
        EXPECT_TRUE(source.IsOutExDataExist());
        EXPECT_EQ(provider.Live(), 1u);

        // A derived element takes the source's data through Set/Open.
        auto* derived = new G3Edge;
        source.ProviderSetExData(&source);
        source.ProviderOpenExData(derived);
        source.ProviderSetExData(nullptr);
        EXPECT_EQ(static_cast<CountingProvider::Record*>(derived->GetOutExData(&provider))->value, 5);
        EXPECT_EQ(provider.Live(), 2u);

        // Copies replace the target's record; the old one is freed.
        G3Vertex copy(1, 1, 1);
        copy.ProviderOpenExData(&copy);
        copy.CopyExData(&source);
        EXPECT_EQ(provider.Live(), 3u);

        // A locked object opens nothing.
        G3Vertex locked(2, 2, 2);
        locked.LockExDataProvider();
        locked.ProviderOpenExData(&locked);
        EXPECT_FALSE(locked.IsOutExDataExist());
        locked.UnLockExDataProvider();

        derived->RemoveExData(&provider);
        EXPECT_EQ(provider.Live(), 2u);
        EXPECT_EQ(derived->GetOutExData(&provider), nullptr);
        derived->RemoveExData(&provider); // already gone: nothing happens
        delete derived;
    }
    EXPECT_EQ(provider.Live(), 0u);
}

TEST(ExDataProvider, ManyProvidersOnOneObject)
{
    CountingProvider providers[5];
    G3Point point(0, 0, 0);
    for (CountingProvider& p : providers)
        p.OpenExData(&point);
    for (CountingProvider& p : providers)
        EXPECT_NE(point.GetOutExData(&p), nullptr);
    // Replacing an entry does not free the old value.
    void* old = point.GetOutExData(&providers[2]);
    point.SetOutExData(&providers[2], nullptr);
    EXPECT_EQ(point.GetOutExData(&providers[2]), nullptr);
    providers[2].FreeExData(old);
    point.RemoveExData();
    for (CountingProvider& p : providers)
        EXPECT_EQ(p.Live(), 0u);
}

// The lock and the attached data share one word of the object; neither may
// disturb the other in any order of locking, attaching and removing.
TEST(ExDataProvider, TheLockAndTheDataDoNotDisturbEachOther)
{
    CountingProvider provider;
    Registered registration(&provider);
    G3Vertex vertex(0, 0, 0);
    vertex.LockExDataProvider();
    EXPECT_TRUE(vertex.IsExDataProviderLocked());
    EXPECT_FALSE(vertex.IsOutExDataExist());
    provider.OpenExData(&vertex); // attaching directly is not refused by the lock
    EXPECT_TRUE(vertex.IsExDataProviderLocked());
    ASSERT_TRUE(vertex.IsOutExDataExist());
    auto* record = vertex.GetOutExData(&provider);
    vertex.ProviderOpenExData(&vertex); // refused: the lock holds
    EXPECT_EQ(vertex.GetOutExData(&provider), record);
    vertex.UnLockExDataProvider();
    EXPECT_FALSE(vertex.IsExDataProviderLocked());
    EXPECT_EQ(vertex.GetOutExData(&provider), record);
    vertex.LockExDataProvider();
    vertex.RemoveExData(&provider);
    EXPECT_EQ(vertex.GetOutExData(&provider), nullptr);
    EXPECT_TRUE(vertex.IsExDataProviderLocked());
    EXPECT_EQ(provider.Live(), 0u);
}

TEST(ExDataProvider, RegistryRemovalSwapsWithTheLast)
{
    G3ExDataProvider a, b, c;
    long before = G3Obj::GetProviderList()->size();
    G3Obj::AddProvider(&a);
    G3Obj::AddProvider(&b);
    G3Obj::AddProvider(&c);
    EXPECT_EQ(G3Obj::GetProviderId(&a), before);
    EXPECT_TRUE(G3Obj::RemoveExDataProvider(&a));
    EXPECT_EQ(G3Obj::GetProviderId(&c), before);
    EXPECT_FALSE(G3Obj::RemoveExDataProvider(&a));
    EXPECT_EQ(G3Obj::GetProvider(-1), nullptr);
    G3Obj::RemoveExDataProvider(&b);
    G3Obj::RemoveExDataProvider(&c);
    EXPECT_EQ(G3Obj::GetProviderList()->size(), before);
}
