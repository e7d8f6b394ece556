// Keyed host data on a division by a plane: the store is shared while no
// value changes and rebuilt, with every new value kept, when one does.
#include <gtest/gtest.h>

#include "counting_provider.h"
#include "tessaly/exdata.h"

namespace {
const double kPlane[4] = {0, 0, 1, 0};
} // namespace

TEST(ExDataDivide, UnchangedValuesShareTheStore)
{
    CExData source, piece;
    source.Add("TEST_DIVIDE_PLAIN", Id(1)).Add("VX9Q_ROOF_SECT_ID", Id(2));
    piece.Add("TEST_DIVIDE_OLD", Id(3));
    source.NewIdsByPlaneDivide(piece, nullptr, kPlane);
    EXPECT_EQ(static_cast<CExDataProvider*>(piece), static_cast<CExDataProvider*>(source));
    EXPECT_EQ(piece.GetData("TEST_DIVIDE_OLD"), nullptr) << "out's earlier store is let go";

    CExData empty;
    empty.NewIdsByPlaneDivide(piece, nullptr, kPlane);
    EXPECT_TRUE(piece.IsNull());
}

TEST(ExDataDivide, AChangedValueRebuildsTheStoreWithoutLeaks)
{
    auto* owning = RegisterNew<OwningProvider>("TEST_DIVIDE_OWNED");
    auto* dropping = RegisterNew<CountingProvider>("TEST_DIVIDE_DROPPED");
    {
        CExData source, piece;
        source.Add("TEST_DIVIDE_OWNED", OwningProvider::NewValue(10))
            .Add("TEST_DIVIDE_DROPPED", Id(8))
            .Add("TEST_DIVIDE_KEPT", Id(4));
        dropping->drop.insert(Id(8));
        source.NewIdsByPlaneDivide(piece, nullptr, kPlane);
        ASSERT_FALSE(piece.IsNull());
        EXPECT_NE(static_cast<CExDataProvider*>(piece), static_cast<CExDataProvider*>(source));
        EXPECT_EQ(OwningProvider::ValueOf(piece.GetData("TEST_DIVIDE_OWNED")), 11);
        EXPECT_EQ(OwningProvider::ValueOf(source.GetData("TEST_DIVIDE_OWNED")), 10);
        EXPECT_EQ(piece.GetData("TEST_DIVIDE_DROPPED"), nullptr) << "a null new value is left out";
        EXPECT_EQ(piece.GetData("TEST_DIVIDE_KEPT"), Id(4));
        EXPECT_EQ(owning->frees, 0);
    }
    // Both stores are gone: the old and the new value were each freed once
    // (LSan would report a lost new value).
    EXPECT_EQ(owning->frees, 2);
    EXPECT_EQ(dropping->frees, 1) << "only the source store held the dropped value";
}

TEST(ExDataDivide, DividingIntoTheHandleItselfKeepsTheData)
{
    struct Case {
        const char* name;
        bool changes;
    };
    const Case cases[] = {{"unchanged", false}, {"changed", true}};
    CDispatchExDataProvider::GetDispatchProvider().RegisterKey("TEST_DIVIDE_SELF_OWNED", new OwningProvider);
    for (const Case& c : cases) {
        CExData x;
        x.Add("TEST_DIVIDE_SELF_KEPT", Id(5));
        if (c.changes)
            x.Add("TEST_DIVIDE_SELF_OWNED", OwningProvider::NewValue(20));
        x.NewIdsByPlaneDivide(x, nullptr, kPlane);
        ASSERT_FALSE(x.IsNull()) << c.name;
        EXPECT_EQ(x.GetData("TEST_DIVIDE_SELF_KEPT"), Id(5)) << c.name;
        if (c.changes) {
            EXPECT_EQ(OwningProvider::ValueOf(x.GetData("TEST_DIVIDE_SELF_OWNED")), 21) << c.name;
        }
        EXPECT_EQ(x->GetRefCount(), 1) << c.name;
    }
}
