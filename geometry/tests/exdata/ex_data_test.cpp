// Keyed host data: the registry, shared stores and their handles.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "counting_provider.h"
#include "tessaly/exdata.h"

namespace {
CDispatchExDataProvider& Registry()
{
    return CDispatchExDataProvider::GetDispatchProvider();
}

// The text thrown by call, or "" when it throws nothing.
std::string ThrownText(const std::function<void()>& call)
{
    try {
        call();
    } catch (const char* text) {
        return text;
    }
    return "";
}
} // namespace

TEST(ExDataRegistry, IsOneObjectWithTheBuiltInKeys)
{
    CDispatchExDataProvider& first = Registry();
    EXPECT_EQ(&first, &Registry());
    for (const char* key : {"VX9Q_ROOF_SECT_ID", "VX9Q_ROOF_PLANE_INDEX", "VX9Q_G3FACE_MATERIAL_INDEX"}) {
        int destroyed = 0;
        auto* offered = new OwningProvider(&destroyed);
        IGeometryExDataProvider* bound = first.RegisterKey(key, offered);
        EXPECT_NE(bound, offered) << key << " was not registered before";
        EXPECT_EQ(destroyed, 1) << "the refused provider is deleted through the interface";
        EXPECT_EQ(first.GetKeyProvider(key), bound);
    }
}

TEST(ExDataRegistry, FirstRegistrationStandsAndNullGetsAStandardProvider)
{
    auto* mine = RegisterNew<CountingProvider>("TEST_FIRST_STANDS");
    EXPECT_EQ(Registry().GetKeyProvider("TEST_FIRST_STANDS"), mine);
    IGeometryExDataProvider* standard = Registry().RegisterKey("TEST_NULL_PROVIDER", nullptr);
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(Registry().RegisterKey("TEST_NULL_PROVIDER", nullptr), standard);
    EXPECT_EQ(Registry().AdoptKeyProvider("TEST_EMPTY_HOLDER", nullptr),
              Registry().GetKeyProvider("TEST_EMPTY_HOLDER"));
}

TEST(ExDataRegistry, BadKeysThrowTheKernelsText)
{
    int value = 0;
    CExData filled;
    filled.Add("TEST_BAD_KEYS", &value);
    struct Case {
        const char* name;
        std::function<void()> call;
        const char* thrown;
    };
    const Case cases[] = {
        {"Add null key", [&] { CExData().Add(nullptr, &value); }, "incorret key"},
        {"Add empty key", [&] { CExData().Add("", &value); }, "incorret key"},
        {"Add null key, null value", [&] { CExData().Add(nullptr, nullptr); }, ""},
        {"Add empty key, null value", [&] { CExData().Add("", nullptr); }, ""},
        {"Remove empty key on a store", [&] { filled.Remove(""); }, "incorret key"},
        {"GetData null key on a store", [&] { filled.GetData(nullptr); }, "incorret key"},
        {"Remove empty key without a store", [&] { CExData().Remove(""); }, ""},
        {"GetData null key without a store", [&] { CExData().GetData(nullptr); }, ""},
        {"GetKeyProvider empty", [&] { Registry().GetKeyProvider(""); }, "incorret key"},
        {"RegisterKey null", [&] { Registry().RegisterKey(nullptr, nullptr); }, "incorret key"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ThrownText(c.call), c.thrown) << c.name;
    EXPECT_EQ(filled.GetData("TEST_BAD_KEYS"), &value) << "a failed call changes nothing";
}

TEST(ExData, NullValueMakesNoStoreAndAnEmptyHandleRegistersNothing)
{
    CExData h;
    h.Add("TEST_NEVER_SEEN", nullptr);
    EXPECT_TRUE(h.IsNull());
    EXPECT_EQ(h.GetData("TEST_NEVER_SEEN"), nullptr);
    h.Remove("TEST_NEVER_SEEN");
    auto* mine = new CountingProvider;
    EXPECT_EQ(Registry().RegisterKey("TEST_NEVER_SEEN", mine), mine) << "the key was not registered on the way";
}

TEST(ExData, CopiesShareOneStoreAndTheLastHandleFreesOnce)
{
    auto* owning = RegisterNew<OwningProvider>("TEST_SHARED_OWNED");
    {
        CExData a;
        a.Add("TEST_SHARED_OWNED", OwningProvider::NewValue(7));
        CExData b(a);
        CExData c;
        c = b;
        EXPECT_EQ(static_cast<CExDataProvider*>(a), static_cast<CExDataProvider*>(c));
        EXPECT_EQ(a->GetRefCount(), 3);
        b.Add("TEST_SHARED_OTHER", Id(5));
        EXPECT_EQ(a.GetData("TEST_SHARED_OTHER"), Id(5)) << "no copy on write";
        c.Remove("TEST_SHARED_OTHER");
        EXPECT_EQ(a.GetData("TEST_SHARED_OTHER"), nullptr);
        a.RemoveAll();
        b.RemoveAll();
        EXPECT_TRUE(a.IsNull());
        EXPECT_EQ(owning->frees, 0) << "c still holds the store";
        EXPECT_EQ(OwningProvider::ValueOf(c.GetData("TEST_SHARED_OWNED")), 7);
    }
    EXPECT_EQ(owning->frees, 1);
}

TEST(ExData, CopyOfAnEmptyHandleGetsItsOwnStore)
{
    CExData a;
    CExData b(a);
    b.Add("TEST_OWN_STORE", Id(3));
    EXPECT_TRUE(a.IsNull());
    EXPECT_EQ(b.GetData("TEST_OWN_STORE"), Id(3));
}

TEST(ExData, AddingAKeyAgainReplacesWithoutFreeing)
{
    auto* counting = RegisterNew<CountingProvider>("TEST_REPLACE");
    {
        CExData h;
        h.Add("TEST_REPLACE", Id(1)).Add("TEST_REPLACE", Id(2));
        EXPECT_EQ(h.GetData("TEST_REPLACE"), Id(2));
        EXPECT_EQ(counting->frees, 0);
    }
    EXPECT_EQ(counting->frees, 1);
}

TEST(ExData, SelfAssignmentAndReassigningTheOnlyStoreAreSafe)
{
    CExData h;
    h.Add("TEST_SELF", Id(9));
    const CExData& same = h;
    h = same;
    h = static_cast<const CExDataProvider*>(h);
    EXPECT_EQ(h.GetData("TEST_SELF"), Id(9));
    EXPECT_EQ(h->GetRefCount(), 1);
}

TEST(ExData, MergeIdsCases)
{
    CExData filled, other, empty, equalContent, sharing;
    filled.Add("TEST_MERGE", Id(1));
    equalContent.Add("TEST_MERGE", Id(1));
    sharing = filled;
    struct Case {
        const char* name;
        const CExData* a;
        const CExData* b;
        bool ok;
        const CExDataProvider* store;
    };
    const Case cases[] = {
        {"same store", std::addressof(filled), std::addressof(sharing), true, filled},
        {"filled and empty", std::addressof(filled), std::addressof(empty), true, filled},
        {"empty and filled", std::addressof(empty), std::addressof(filled), true, filled},
        {"both empty", std::addressof(empty), std::addressof(other), true, nullptr},
        {"different stores, equal content", std::addressof(filled), std::addressof(equalContent), false, nullptr},
    };
    for (const Case& c : cases) {
        CExData result;
        result.Add("TEST_MERGE", Id(4));
        EXPECT_EQ(result.MergeIds(*c.a, *c.b), c.ok) << c.name;
        EXPECT_EQ(static_cast<const CExDataProvider*>(result), c.store) << c.name;
    }
}

TEST(ExData, MergeIdsIntoAnOperandKeepsItsData)
{
    CExData x, empty;
    x.Add("TEST_MERGE_ALIAS", Id(6));
    EXPECT_TRUE(x.MergeIds(x, empty));
    EXPECT_EQ(x.GetData("TEST_MERGE_ALIAS"), Id(6));
    EXPECT_TRUE(x.MergeIds(empty, x));
    EXPECT_EQ(x.GetData("TEST_MERGE_ALIAS"), Id(6));
    EXPECT_TRUE(x.MergeIds(x, x));
    EXPECT_EQ(x.GetData("TEST_MERGE_ALIAS"), Id(6));
    EXPECT_EQ(x->GetRefCount(), 1);
}

TEST(ExDataRegistry, StandardProviderTreatsValuesAsIdentifiers)
{
    IGeometryExDataProvider* standard = Registry().GetKeyProvider("VX9Q_G3FACE_MATERIAL_INDEX");
    const double plane[4] = {1, 0, 0, 0};
    EXPECT_EQ(standard->GetIdByPlaneDivide(Id(3), nullptr, plane), Id(3));
    EXPECT_EQ(standard->GetIdByMergeFacets(Id(3), Id(3)), Id(3));
    EXPECT_EQ(standard->GetIdByMergeFacets(Id(3), Id(4)), nullptr);
    standard->Free(Id(3)); // nothing is owned: no effect
}
