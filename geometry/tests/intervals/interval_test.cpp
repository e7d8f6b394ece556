// G3Interval and G3IntervalList: construction, orientation, copies, pairing
// of points, the worked examples of union, intersection and clipping, and
// the inputs that used to go wrong (unsorted old pieces, an odd number of
// points, set operations on lists that were never built).

#include "tessaly/intervals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Points on the x axis.
struct X {
    double xyz[3];
    explicit X(double x) : xyz{x, 0.0, 0.0} {}
    operator const double*() const { return xyz; }
};

std::vector<std::pair<double, double>> Pieces(const G3IntervalList& list)
{
    std::vector<std::pair<double, double>> out;
    const int k = list.GetMainAxis();
    for (int i = 0; i < list.GetIntervalCount(); ++i)
        out.emplace_back(list.GetInterval(i)->GetXYZ1(k), list.GetInterval(i)->GetXYZ2(k));
    return out;
}

using PieceList = std::vector<std::pair<double, double>>;

} // namespace

TEST(Interval, PointsOwnersSwapOrient)
{
    GObj ownerA, ownerB;
    const double p[3] = {3, 1, 2}, q[3] = {1, 5, 0};
    G3Interval piece(p, &ownerA, q, &ownerB);
    EXPECT_EQ(piece.GetXYZ1(0), 3);
    EXPECT_EQ(piece.GetXYZ2(1), 5);
    EXPECT_EQ(piece.GetXYZ1(-1), 0.0);
    EXPECT_EQ(piece.GetXYZ2(3), 0.0);
    EXPECT_EQ(piece.GetOwner1(), &ownerA);
    EXPECT_EQ(piece.GetOwner2(), &ownerB);

    piece.Orient(1); // already ascending in y
    EXPECT_EQ(piece.GetXYZ1(0), 3);
    piece.Orient(0); // descending in x: swapped with its owners
    EXPECT_EQ(piece.GetXYZ1(0), 1);
    EXPECT_EQ(piece.GetXYZ2(0), 3);
    EXPECT_EQ(piece.GetOwner1(), &ownerB);
    EXPECT_EQ(piece.GetOwner2(), &ownerA);
    piece.Orient(7); // no such axis: unchanged
    EXPECT_EQ(piece.GetXYZ1(0), 1);
    piece.Swap();
    EXPECT_EQ(piece.GetXYZ1(0), 3);
    EXPECT_EQ(piece.GetOwner1(), &ownerA);

    G3Interval nulls(nullptr, nullptr);
    EXPECT_EQ(nulls.GetXYZ1(2), 0.0);
    EXPECT_EQ(nulls.GetOwner1(), nullptr);
}

TEST(Interval, CopyMakesNewPointsAndKeepsOwners)
{
    GObj ownerA, ownerB;
    const double p[3] = {1, 2, 3}, q[3] = {4, 5, 6};
    G3Interval source(p, &ownerA, q, &ownerB);
    std::unique_ptr<G3Interval> copy(source.Duplicate());
    EXPECT_NE(copy->GetPoint1(), source.GetPoint1());
    EXPECT_NE(copy->GetPoint2(), source.GetPoint2());
    EXPECT_EQ(copy->GetXYZ1(2), 3);
    EXPECT_EQ(copy->GetXYZ2(0), 4);
    EXPECT_EQ(copy->GetOwner1(), &ownerA);
    EXPECT_EQ(copy->GetOwner2(), &ownerB);
    source.GetPoint1()->SetX(-9);
    EXPECT_EQ(copy->GetXYZ1(0), 1); // deep
    copy->Copy(copy.get());         // self-copy changes nothing
    EXPECT_EQ(copy->GetXYZ1(0), 1);
}

TEST(Interval, PooledInItsOwnHeap)
{
    GHeap* heap = GHeap::FindHeap("G3Interval");
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(heap->GetItemSize(), static_cast<int>(sizeof(G3Interval)));
    EXPECT_EQ(G3Interval::m_G3IntervalHeap, heap);
    GMemoryAllocator arena;
    auto* placed = new (&arena) G3Interval(X(1), X(2));
    EXPECT_EQ(placed->GetXYZ2(0), 2);
    placed->~G3Interval(); // its points live on the point heap
}

TEST(IntervalList, PairsSortedPointsWithTheirOwners)
{
    GObj o[6];
    G3IntervalList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetMainAxis(), -1);
    const double xs[6] = {7, 1, 4, 3, 9, 2};
    for (int i = 0; i < 6; ++i)
        list.AddPoint(X(xs[i]), &o[i]);
    list.AddPoint(nullptr, &o[0]); // ignored
    EXPECT_EQ(list.GetPointList()->size(), 6);
    EXPECT_FALSE(list.IsBuilt());
    list.BuildIntervals();
    EXPECT_TRUE(list.IsBuilt());
    EXPECT_EQ(list.GetMainAxis(), 0);
    EXPECT_EQ(list.GetAxisA(), 1);
    EXPECT_EQ(list.GetAxisB(), 2);
    EXPECT_EQ(list.GetPointList()->size(), 0);
    EXPECT_EQ(Pieces(list), (PieceList{{1, 2}, {3, 4}, {7, 9}}));
    EXPECT_EQ(list.GetInterval(0)->GetOwner1(), &o[1]);
    EXPECT_EQ(list.GetInterval(0)->GetOwner2(), &o[5]);
    EXPECT_EQ(list.GetInterval(1)->GetOwner1(), &o[3]);
    EXPECT_EQ(list.GetInterval(1)->GetOwner2(), &o[2]);
    EXPECT_EQ(list.GetInterval(2)->GetOwner1(), &o[0]);
    EXPECT_EQ(list.GetInterval(2)->GetOwner2(), &o[4]);
    EXPECT_EQ(list.GetMinimum(), 1);
    EXPECT_EQ(list.GetMaximum(), 9);
}

TEST(IntervalList, MainAxisFollowsTheLargestExtent)
{
    G3IntervalList list;
    const double a[3] = {1, 10, 0.5}, b[3] = {1.5, -2, 0}, c[3] = {1.2, 4, 0.2}, d[3] = {1.1, 0, 0.1};
    for (const double* p : {a, b, c, d})
        list.AddPoint(p);
    list.BuildIntervals();
    EXPECT_EQ(list.GetMainAxis(), 1);
    EXPECT_EQ(list.GetAxisA(), 0);
    EXPECT_EQ(list.GetAxisB(), 2);
    EXPECT_EQ(Pieces(list), (PieceList{{-2, 0}, {4, 10}}));
    // The other coordinates travel with their ends.
    EXPECT_EQ(list.GetInterval(0)->GetXYZ1(0), 1.5);
    EXPECT_EQ(list.GetInterval(1)->GetXYZ2(2), 0.5);

    G3IntervalList preset(0, 1, 2); // preset axes are kept
    preset.AddPoint(a);
    preset.AddPoint(b);
    preset.BuildIntervals();
    EXPECT_EQ(preset.GetMainAxis(), 2);
    EXPECT_EQ(Pieces(preset), (PieceList{{0, 0.5}}));
}

// Old pieces that come unsorted (in-plane edges mixed with crossing points)
// are sorted and united before the new pairs join them: the result must not
// hold [0, 2] and [1, 3] side by side.
TEST(IntervalList, UnsortedOldPiecesAreUnitedBeforeThePairs)
{
    GObj o[6];
    G3IntervalList list;
    list.AddInterval(X(5), &o[0], X(6), &o[1]);
    list.AddInterval(X(2), &o[3], X(0), &o[2]); // reversed too
    list.AddPoint(X(3), &o[5]);
    list.AddPoint(X(1), &o[4]);
    list.BuildIntervals();
    EXPECT_EQ(Pieces(list), (PieceList{{0, 1}, {1, 3}, {5, 6}}));
    EXPECT_EQ(list.GetInterval(0)->GetOwner1(), &o[2]);
    EXPECT_EQ(list.GetInterval(0)->GetOwner2(), &o[4]);
    EXPECT_EQ(list.GetInterval(1)->GetOwner1(), &o[4]);
    EXPECT_EQ(list.GetInterval(1)->GetOwner2(), &o[5]);
    EXPECT_EQ(list.GetInterval(2)->GetOwner1(), &o[0]);
    EXPECT_EQ(list.GetMinimum(), 0);
    EXPECT_EQ(list.GetMaximum(), 6);

    // Old pieces that overlap each other are united even without points.
    G3IntervalList overlapping;
    overlapping.AddInterval(X(4), X(8));
    overlapping.AddInterval(X(0), X(5));
    overlapping.AddInterval(X(1), X(2));
    overlapping.AddInterval(X(9), X(9.0000005)); // too short to keep
    overlapping.BuildIntervals();
    EXPECT_EQ(Pieces(overlapping), (PieceList{{0, 4}, {4, 8}}));
}

TEST(IntervalList, OddPointCountDropsTheLastPoint)
{
    G3IntervalList list;
    for (double x : {5.0, 0.0, 2.0})
        list.AddPoint(X(x));
    list.BuildIntervals();
    EXPECT_EQ(Pieces(list), (PieceList{{0, 2}}));
    EXPECT_EQ(list.GetPointList()->size(), 0);

    G3IntervalList single;
    single.AddPoint(X(3));
    single.BuildIntervals();
    EXPECT_EQ(single.GetIntervalCount(), 0);
    EXPECT_TRUE(single.IsEmpty());
    EXPECT_EQ(single.GetMinimum(), 0);

    G3IntervalList withOld;
    withOld.AddInterval(X(10), X(12));
    for (double x : {11.0, 1.0, 3.0, 20.0, 15.0})
        withOld.AddPoint(X(x));
    withOld.BuildIntervals(); // pairs [1, 3] and [11, 15]; 20 dropped
    EXPECT_EQ(Pieces(withOld), (PieceList{{1, 3}, {10, 11}, {11, 15}}));
}

TEST(IntervalList, ShortPairsStayOnlyOutsideAUnion)
{
    G3IntervalList fresh;
    fresh.AddPoint(X(1));
    fresh.AddPoint(X(1 + 5e-7));
    fresh.AddPoint(X(4));
    fresh.AddPoint(X(4));
    fresh.BuildIntervals();
    EXPECT_EQ(fresh.GetIntervalCount(), 2); // a touch keeps its mark

    G3IntervalList merged;
    merged.AddInterval(X(10), X(11));
    merged.AddPoint(X(1));
    merged.AddPoint(X(1 + 5e-7));
    merged.BuildIntervals();
    EXPECT_EQ(Pieces(merged), (PieceList{{10, 11}}));
}

TEST(IntervalList, BadCoordinatesAreLeftOut)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double bad[3] = {nan, 0, 0};
    G3IntervalList list;
    list.AddPoint(X(0));
    list.AddPoint(bad);
    list.AddPoint(X(2));
    list.AddInterval(bad, X(7));
    list.AddInterval(X(5), X(6));
    list.AddInterval(nullptr, X(1)); // ignored
    list.BuildIntervals();
    EXPECT_EQ(list.GetMainAxis(), 0);
    EXPECT_EQ(Pieces(list), (PieceList{{0, 2}, {5, 6}}));
}

TEST(IntervalList, UnionAndIntersectionExamples)
{
    auto make = [](double a, double b) {
        auto list = std::make_unique<G3IntervalList>(1, 2, 0);
        list->AddInterval(X(a), X(b));
        list->BuildIntervals();
        return list;
    };
    auto a = make(0, 2), b = make(1, 3), c = make(0, 3), d = make(1, 2);
    std::unique_ptr<G3IntervalList> u1(a->Union(b.get())), u2(c->Union(d.get()));
    std::unique_ptr<G3IntervalList> i1(a->Intersect(b.get())), i2(c->Intersect(d.get()));
    EXPECT_EQ(Pieces(*u1), (PieceList{{0, 1}, {1, 3}}));
    EXPECT_EQ(Pieces(*u2), (PieceList{{0, 3}}));
    EXPECT_EQ(Pieces(*i1), (PieceList{{1, 2}}));
    EXPECT_EQ(Pieces(*i2), (PieceList{{1, 2}}));
    EXPECT_EQ(u1->GetMinimum(), 0);
    EXPECT_EQ(u1->GetMaximum(), 3);
    EXPECT_EQ(i1->GetMinimum(), 1);
    EXPECT_EQ(i1->GetMainAxis(), 0);
    EXPECT_TRUE(u1->IsBuilt());
    EXPECT_EQ(a->Sub(b.get()), nullptr);
}

TEST(IntervalList, UnionAndIntersectionWithEmptyOrNull)
{
    G3IntervalList empty(0, 2, 1);
    G3IntervalList full(1, 2, 0);
    full.AddInterval(X(1), X(4));
    full.BuildIntervals();
    std::unique_ptr<G3IntervalList> a(empty.Union(&full)), b(full.Union(&empty)), c(full.Union(nullptr));
    EXPECT_EQ(Pieces(*a), (PieceList{{1, 4}}));
    EXPECT_EQ(a->GetMainAxis(), 0); // a copy of the other list, axes included
    EXPECT_EQ(Pieces(*b), (PieceList{{1, 4}}));
    EXPECT_EQ(Pieces(*c), (PieceList{{1, 4}}));
    std::unique_ptr<G3IntervalList> d(full.Intersect(&empty)), e(empty.Intersect(&full)),
        f(full.Intersect(static_cast<G3IntervalList*>(nullptr)));
    EXPECT_EQ(d->GetIntervalCount(), 0);
    EXPECT_EQ(d->GetMainAxis(), 0);
    EXPECT_EQ(e->GetIntervalCount(), 0);
    EXPECT_EQ(e->GetMainAxis(), 1); // the receiver's axes
    EXPECT_EQ(f->GetIntervalCount(), 0);
    std::unique_ptr<G3IntervalList> g(empty.Union(&empty));
    EXPECT_EQ(g->GetIntervalCount(), 0);
}

// A list that was never built had main axis -1 and the merges read
// coordinate -1. Both operands are now built first.
TEST(IntervalList, SetOperationsBuildListsThatWereNeverBuilt)
{
    G3IntervalList a, b;
    for (double x : {3.0, 0.0})
        a.AddPoint(X(x));
    for (double x : {2.0, 5.0})
        b.AddPoint(X(x));
    ASSERT_EQ(a.GetMainAxis(), -1);
    std::unique_ptr<G3IntervalList> common(a.Intersect(&b));
    EXPECT_EQ(a.GetMainAxis(), 0);
    EXPECT_TRUE(b.IsBuilt());
    EXPECT_EQ(Pieces(*common), (PieceList{{2, 3}}));

    G3IntervalList c, d;
    c.AddInterval(X(4), X(1));
    d.AddPoint(X(0));
    d.AddPoint(X(2));
    std::unique_ptr<G3IntervalList> both(c.Union(&d));
    EXPECT_EQ(Pieces(*both), (PieceList{{0, 1}, {1, 4}}));

    // Never built and empty: nothing to read, an empty result.
    G3IntervalList e, f;
    std::unique_ptr<G3IntervalList> none(e.Intersect(&f));
    EXPECT_EQ(none->GetIntervalCount(), 0);
    EXPECT_GE(none->GetMainAxis(), 0);

    // Points added after a build make the list build again.
    G3IntervalList g;
    g.AddPoint(X(0));
    g.AddPoint(X(1));
    g.BuildIntervals();
    g.AddPoint(X(5));
    g.AddPoint(X(6));
    EXPECT_FALSE(g.IsBuilt());
    G3Interval wide(X(-10), X(10));
    g.Intersect(&wide);
    EXPECT_EQ(Pieces(g), (PieceList{{0, 1}, {5, 6}}));
}

TEST(IntervalList, ClipToOneInterval)
{
    GObj o[4];
    auto fill = [](G3IntervalList& list) {
        list.AddInterval(X(0), X(2));
        list.AddInterval(X(4), X(6));
        list.AddInterval(X(8), X(10));
        list.BuildIntervals();
    };
    G3IntervalList list;
    fill(list);
    G3Interval c(X(9), &o[1], X(1), &o[0]); // reversed: clipped as [1, 9]
    list.Intersect(&c);
    EXPECT_EQ(Pieces(list), (PieceList{{1, 2}, {4, 6}, {8, 9}}));
    EXPECT_EQ(list.GetInterval(0)->GetOwner1(), &o[0]);
    EXPECT_EQ(list.GetInterval(2)->GetOwner2(), &o[1]);
    EXPECT_EQ(list.GetMinimum(), 1);
    EXPECT_EQ(list.GetMaximum(), 9);
    EXPECT_EQ(c.GetXYZ1(0), 9); // c itself is not changed

    G3Interval endsAtMinimum(X(-3), X(1));
    list.Intersect(&endsAtMinimum);
    EXPECT_EQ(list.GetIntervalCount(), 0);
    EXPECT_EQ(list.GetMinimum(), 0);

    G3IntervalList gap;
    fill(gap);
    G3Interval inGap(X(2.5), X(3.5));
    gap.Intersect(&inGap);
    EXPECT_EQ(gap.GetIntervalCount(), 0);

    G3IntervalList untouched;
    fill(untouched);
    untouched.Intersect(static_cast<G3Interval*>(nullptr));
    EXPECT_EQ(untouched.GetIntervalCount(), 3);
    G3IntervalList empty(1, 2, 0);
    empty.Intersect(&c);
    EXPECT_EQ(empty.GetIntervalCount(), 0);
}

TEST(IntervalList, IntersectionType)
{
    G3IntervalList a(1, 2, 0), b(1, 2, 0), other(0, 2, 1), otherEmpty(0, 1, 2);
    EXPECT_EQ(a.GetIntersectionType(&b), ILIT_DISJOINT);
    EXPECT_EQ(a.GetIntersectionType(&otherEmpty), ILIT_DIFFERENT_AXIS); // even when empty
    EXPECT_EQ(a.GetIntersectionType(nullptr), ILIT_DISJOINT);
    a.AddInterval(X(0), X(2));
    a.BuildIntervals();
    b.AddInterval(X(2 + 5e-7), X(3));
    b.BuildIntervals();
    EXPECT_EQ(a.GetIntersectionType(&b), ILIT_OVERLAP);
    EXPECT_EQ(b.GetIntersectionType(&a), ILIT_OVERLAP);
    EXPECT_EQ(a.GetIntersectionType(&other), ILIT_DIFFERENT_AXIS);
    G3IntervalList c(1, 2, 0);
    c.AddInterval(X(2.00001), X(3));
    c.BuildIntervals();
    EXPECT_EQ(a.GetIntersectionType(&c), ILIT_DISJOINT);
}

TEST(IntervalList, MergeCopyClear)
{
    GObj owner;
    G3IntervalList a(1, 2, 0), b(0, 2, 1);
    const double p[3] = {0, 1, 0}, q[3] = {0, 3, 0};
    b.AddPoint(p, &owner);
    b.AddInterval(q, p);
    a.AddInterval(X(0), X(1));
    a.BuildIntervals();
    a.Merge(&b);
    EXPECT_EQ(a.GetMainAxis(), 1);
    EXPECT_EQ(a.GetAxisA(), 0);
    EXPECT_EQ(a.GetPointList()->size(), 1);
    EXPECT_EQ(a.GetIntervalCount(), 2);
    EXPECT_FALSE(a.IsBuilt());
    auto* mergedPoint = static_cast<G3Point*>(a.GetPointList()->get(0));
    EXPECT_NE(mergedPoint, b.GetPointList()->get(0));
    EXPECT_EQ(mergedPoint->GetExData(), &owner);
    a.Merge(&a); // doubles itself without looping
    EXPECT_EQ(a.GetIntervalCount(), 4);
    a.Merge(nullptr);

    std::unique_ptr<G3IntervalList> copy(b.Duplicate());
    EXPECT_EQ(copy->GetMainAxis(), 1);
    EXPECT_EQ(copy->GetPointList()->size(), 1);
    EXPECT_EQ(static_cast<G3Point*>(copy->GetPointList()->get(0))->GetExData(), &owner);
    copy->Copy(&a); // replaces what it held
    EXPECT_EQ(copy->GetIntervalCount(), 4);
    EXPECT_EQ(copy->GetPointList()->size(), 2);

    G3IntervalList built(1, 2, 0);
    built.AddInterval(X(3), X(8));
    built.BuildIntervals();
    built.Clear();
    EXPECT_TRUE(built.IsEmpty());
    EXPECT_EQ(built.GetMainAxis(), -1);
    EXPECT_EQ(built.GetAxisA(), -1);
    EXPECT_EQ(built.GetMinimum(), 3); // kept
    EXPECT_EQ(built.GetMaximum(), 8);
    built.SetMaxCoo(&b);
    EXPECT_EQ(built.GetMainAxis(), 1);
    built.SetMaxCoo(nullptr);
    EXPECT_EQ(built.GetMainAxis(), 1);
}
