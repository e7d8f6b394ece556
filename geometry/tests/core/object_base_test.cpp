// The small utilities of the object base: duplication, id maps, reference
// counts, the scale value, layered resource data and the trace hook.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tessaly/containers.h"
#include "tessaly/trace.h"

TEST(GObj, DuplicateMakesAPlainObjectAndCopyKeepsUserValue)
{
    GObj original(42);
    GObj copy(original);
    EXPECT_EQ(copy.GetUserValue(), 42u);
    GObj* duplicate = original.Duplicate();
    EXPECT_EQ(duplicate->GetUserValue(), 0u);
    delete duplicate;
    // The user value is wide enough to keep a pointer.
    original.SetUserValue(reinterpret_cast<unsigned long>(&copy));
    EXPECT_EQ(reinterpret_cast<GObj*>(original.GetUserValue()), &copy);
}

TEST(GIdMap, PutGetRemoveAndGrowth)
{
    GIdMap map(3);
    GObj a, b, c, d;
    EXPECT_EQ(map.Put(0, &a), nullptr);
    EXPECT_EQ(map.Put(0, &b), &a);
    map.Put(1, &c);
    map.Put(2, &d);
    EXPECT_EQ(map.GetFreeId(), 3); // full: the size
    EXPECT_EQ(map.Put(map.GetFreeId(), &a), nullptr);
    EXPECT_EQ(map.GetMapSize(), 4);
    EXPECT_EQ(map.Get(3), &a);
    EXPECT_EQ(map.Remove(1), &c);
    EXPECT_EQ(map.GetFreeId(), 1);
    map.Realloc(2);
    EXPECT_EQ(map.GetMapSize(), 2);
    EXPECT_EQ(map.Get(0), &b);
    map.Clear();
    EXPECT_EQ(map.Get(0), nullptr);
    EXPECT_EQ(GIdMap().GetMapSize(), 256);
}

TEST(GIdMap, OutOfRangeIdsAreRefused)
{
    GIdMap map(2);
    GObj a;
    EXPECT_EQ(map.Get(-1), nullptr);
    EXPECT_EQ(map.Get(2), nullptr);
    EXPECT_EQ(map.Remove(7), nullptr);
    EXPECT_EQ(map.Remove(-3), nullptr);
    EXPECT_EQ(map.Put(-1, &a), nullptr);
    EXPECT_EQ(map.GetMapSize(), 2);
    EXPECT_EQ(map.GetFreeId(), 0);
}

namespace {
struct CountedPointer : GPointer {
    explicit CountedPointer(int* counter) : deaths(counter) {}
    ~CountedPointer() override { ++*deaths; }
    int* deaths;
};
} // namespace

TEST(GPointer, SecondReleaseOfTwoDeletes)
{
    int deaths = 0;
    auto* p = new CountedPointer(&deaths);
    EXPECT_EQ(p->RefCount(), 0);
    p->AddRef();
    p->AddRef();
    EXPECT_EQ(p->Release(), 1);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(p->Release(), 0);
    EXPECT_EQ(deaths, 1);
}

TEST(GIdentifiableObject, StartsUnassigned)
{
    GIdentifiableObject o;
    EXPECT_EQ(o.GetId(), -1);
    o.SetId(12);
    EXPECT_EQ(o.GetId(), 12);
}

TEST(GPress, MinimumSizeFollowsTheScale)
{
    EXPECT_TRUE(GPress::init(0));
    EXPECT_DOUBLE_EQ(GPress::MINSIZE2(), std::sqrt(2.0));
    GPress::init(2);
    EXPECT_DOUBLE_EQ(GPress::MINSIZE2(), std::sqrt(2.0) / 2);
    GPress::init(1e-7);
    EXPECT_DOUBLE_EQ(GPress::minsize, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(GPress::getSizeXY(1, 1, 4, 5), 5.0);
}

namespace {

// Records every make and release, in order, across a parent and a listener.
struct Journal {
    std::vector<std::string> events;
};

struct Data : GObj {
    explicit Data(std::string text) : name(std::move(text)) {}
    std::string name;
};

class RecordingProvider : public GDynamicResourceProvider {
public:
    RecordingProvider(const char* label, Journal* journal, GDynamicResourceProvider* parent)
        : GDynamicResourceProvider(parent), m_Label(label), m_Journal(journal)
    {
    }

protected:
    GObj* MakeData(GObj* resource) override
    {
        std::string name = m_Label + "(" + std::to_string(reinterpret_cast<std::uintptr_t>(resource) % 1000) + ")";
        m_Journal->events.push_back("make " + m_Label);
        return new Data(name);
    }
    void ReleaseData(GObj* data) override
    {
        m_Journal->events.push_back("release " + m_Label);
        delete data;
    }

private:
    std::string m_Label;
    Journal* m_Journal;
};

} // namespace

TEST(GDynamicResourceProvider, ListenersBuildOnTheParentsDataAndGoFirst)
{
    Journal journal;
    RecordingProvider parent("d", &journal, nullptr);
    RecordingProvider listener("e", &journal, &parent);
    GObj resource;
    parent.AddResource(&resource);
    GObj* d = parent.GetResourceData(&resource);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(listener.GetResourceData(d), nullptr);
    parent.RemoveResource(&resource);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"make d", "make e", "release e", "release d"}));
    EXPECT_TRUE(parent.IsEmpty());
    EXPECT_TRUE(listener.IsEmpty());
}

TEST(GDynamicResourceProvider, UnknownResourceChangesNothing)
{
    Journal journal;
    RecordingProvider parent("d", &journal, nullptr);
    RecordingProvider listener("e", &journal, &parent);
    GObj stranger;
    parent.RemoveResource(&stranger);
    EXPECT_TRUE(journal.events.empty());
}

TEST(GDynamicResourceProvider, AddressesTwoToTheThirtyTwoApartAreDifferentResources)
{
    Journal journal;
    RecordingProvider provider("d", &journal, nullptr);
    GObj* low = reinterpret_cast<GObj*>(std::uintptr_t{0x7000});
    GObj* high = reinterpret_cast<GObj*>((std::uintptr_t{1} << 32) | 0x7000);
    provider.AddResource(low);
    provider.AddResource(high);
    EXPECT_NE(provider.GetResourceData(low), provider.GetResourceData(high));
    GArrayCollection keys(4, 4), data(4, 4);
    provider.GetResource(&keys, &data);
    EXPECT_EQ(keys.size(), 2);
    EXPECT_EQ(data.size(), 2);
    provider.Clear();
    EXPECT_TRUE(provider.IsEmpty());
    EXPECT_EQ(journal.events.size(), 4u);
}

TEST(GDynamicResourceProvider, AddingAResourceTwiceReleasesTheFirstData)
{
    Journal journal;
    RecordingProvider parent("d", &journal, nullptr);
    RecordingProvider listener("e", &journal, &parent);
    GObj resource;
    parent.AddResource(&resource);
    parent.AddResource(&resource);
    parent.Clear();
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"make d", "make e", "release e", "release d", "make d", "make e", "release e",
                                        "release d"}));
}

TEST(GDummyDynamicClass, ReportsItsNameTypeAndPath)
{
    GDummyDynamicClass dummy("Roof", "/opt/plugins/libroof.so", 7);
    EXPECT_STREQ(dummy.___GetClassName(), "GDummyDynamicClass");
    EXPECT_STREQ(dummy.GetName(), "Roof");
    EXPECT_EQ(dummy.GetType(), 7);
    EXPECT_STREQ(dummy.GetDllName(), "/opt/plugins/libroof.so");
    EXPECT_FALSE(dummy.IsLoaded());
    EXPECT_EQ(dummy.MayBeUnload(), 1);
    EXPECT_EQ(dummy.AddRef(), 1);
    EXPECT_EQ(dummy.Release(), 0);
    EXPECT_EQ(GDynamicClass::TestExists("/definitely/not/here"), 0);
    EXPECT_EQ(GDynamicClass::TestExists("/"), 1);
    GDynamicClass* out = &dummy;
    EXPECT_EQ(GDynamicClass::Load(&out, "/definitely/not/here.so"), 0);
    EXPECT_EQ(out, nullptr);
}

namespace {
std::vector<std::string> g_Labels;
void RecordLabel(const char* label)
{
    g_Labels.emplace_back(label);
}
} // namespace

TEST(TraceHook, DefaultIgnoresLabelsAndAHostCanListen)
{
    GTrace("before any hook");
    EXPECT_EQ(GSetTraceHook(&RecordLabel), nullptr);
    GTrace("Classify vertices");
    GTrace(nullptr);
    EXPECT_EQ(GSetTraceHook(nullptr), &RecordLabel);
    GTrace("after removal");
    EXPECT_EQ(g_Labels, (std::vector<std::string>{"Classify vertices", ""}));
}
