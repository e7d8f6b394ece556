// Point and texture-coordinate hashes: tolerance hits and misses, points on
// cell borders, points outside the box or with NaN coordinates, degenerate
// grids, candidate collection, and random clusters against brute force.

#include "tessaly/hashes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

constexpr double kTol = 1e-3;
const double kMin[3] = {0, 0, 0};
const double kMax[3] = {10, 10, 10};

// Every chain of a three-dimensional hash that holds p.
std::vector<int> CellsHolding(const G3PointHash& hash, const G3Point* p)
{
    std::vector<int> cells;
    const int n = hash.GetQGrid();
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                for (G3PointHashItem* item = hash.GetCell(i, j, k); item; item = item->GetNext())
                    if (item->GetObject() == p)
                        cells.push_back((k * n + j) * n + i);
    return cells;
}

} // namespace

TEST(PointHash, HalfToleranceApartIsFoundTwiceToleranceIsNot)
{
    G3PointHash hash(8, kMin, kMax, kTol);
    G3Point a(3.3, 4.4, 5.5), near(3.3 + 0.5 * kTol, 4.4, 5.5), far(3.3, 4.4 + 2 * kTol, 5.5);
    EXPECT_EQ(hash.Add(&a), nullptr);
    EXPECT_EQ(hash.Add(&near), &a);
    EXPECT_EQ(hash.Add(&far), nullptr);
    EXPECT_EQ(hash.Exists(&far), &far);
    EXPECT_EQ(hash.Exists(a.GetXYZ()), &a);
    const double diagonal[3] = {3.3 + 0.3 * kTol, 4.4 + 0.3 * kTol, 5.5 + 0.3 * kTol};
    EXPECT_EQ(hash.Exists(diagonal), &a);
    GArrayCollection out(4, 4);
    out.add(&near); // emptied first
    EXPECT_TRUE(hash.Exists(diagonal, &out));
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out.get(0), &a);
    const double apart[3] = {3.3, 4.4 + 4 * kTol, 5.5};
    EXPECT_FALSE(hash.Exists(apart, &out));
    EXPECT_EQ(out.size(), 0);
    EXPECT_TRUE(hash.Exists(static_cast<const double*>(nullptr), nullptr) == false);
    EXPECT_EQ(hash.Add(nullptr), nullptr);

    G2PointHash flat(8, kMin, kMax, kTol);
    G3Point b(1, 2, 0), bNear(1 + 0.5 * kTol, 2, 0), above(1, 2, 5);
    EXPECT_EQ(flat.Add(&b), nullptr);
    EXPECT_EQ(flat.Add(&bNear), &b);
    EXPECT_EQ(flat.GetHashCode(&above), flat.GetHashCode(&b)); // one cell in x, y
    EXPECT_EQ(flat.Add(&above), nullptr);                      // but three-dimensional equality
    EXPECT_EQ(flat.Exists(&above), &above);
}

TEST(PointHash, ConstructionSizes)
{
    G3PointHash hash(5, kMin, kMax, kTol);
    EXPECT_EQ(hash.GetQGrid(), 5);
    EXPECT_EQ(hash.GetCellCount(), 125);
    EXPECT_DOUBLE_EQ(hash.GetEnvelope().GetMinX(), -0.1); // 1% of 10 beats 2 * tol
    EXPECT_DOUBLE_EQ(hash.GetEnvelope().GetMaxZ(), 10.1);
    EXPECT_DOUBLE_EQ(hash.GetCellSize(1), 10.2 / 5);

    G2PointHash flat(4, kMin, kMax, 1.0);
    EXPECT_EQ(flat.GetCellCount(), 16);
    EXPECT_DOUBLE_EQ(flat.GetEnvelope().GetMinY(), -2.0); // 2 * tol beats 1%
    EXPECT_DOUBLE_EQ(flat.GetCellSize(0), (2.0 + 14.0) / 4);
    EXPECT_EQ(flat.GetCellSize(2), 0.0);
    GEnvelope cell;
    flat.GetCellEnvelope(&cell, 1, 2);
    EXPECT_DOUBLE_EQ(cell.GetMinX(), -2.0 + 4.0);
    EXPECT_DOUBLE_EQ(cell.GetMaxY(), -2.0 + 12.0);
    EXPECT_EQ(cell.GetMaxZ(), 0.0);

    EXPECT_EQ(G2PointHash::Round(2.9), 2);
    EXPECT_EQ(G2PointHash::Round(-2.9), -2);
    EXPECT_EQ(G2PointHash::Round(std::nan("")), 0);
    EXPECT_EQ(G2PointHash::Round(1e300), std::numeric_limits<int>::max());
}

TEST(PointHash, PointOnACellBorderIsFoundFromBothSides)
{
    G3PointHash hash(6, kMin, kMax, kTol);
    // A coordinate on the border between cells 2 and 3 of every axis.
    const double border = hash.GetEnvelope().GetMinX() + 3 * hash.GetCellSize(0);
    ASSERT_EQ(hash.GetCellIndex(border, 0), 3);
    ASSERT_EQ(hash.GetCellIndex(std::nextafter(border, 0.0), 0), 2);
    const double y = 4.0, z = 4.0; // inside their cells
    G3Point p(border, y, z);
    EXPECT_EQ(hash.Add(&p), nullptr);
    const int iy = hash.GetCellIndex(y, 1), iz = hash.GetCellIndex(z, 2);
    const std::vector<int> expected = {(iz * 6 + iy) * 6 + 2, (iz * 6 + iy) * 6 + 3};
    EXPECT_EQ(CellsHolding(hash, &p), expected);
    for (double dx : {-0.5 * kTol, -1e-9, 0.0, 1e-9, 0.5 * kTol}) {
        const double q[3] = {border + dx, y, z};
        EXPECT_EQ(hash.Exists(q), &p) << dx;
    }
    G3Point left(border - 0.5 * kTol, y, z);
    EXPECT_EQ(hash.Add(&left), &p);
}

TEST(PointHash, PointsOutsideTheBoxAndNaN)
{
    G3PointHash hash(4, kMin, kMax, kTol);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Far outside on every side, and beyond the range of int.
    std::deque<G3Point> points;
    const double outside[][3] = {{-50, 5, 5}, {60, 5, 5}, {5, -1e30, 5}, {5, 5, 1e30}, {-1e300, 1e300, -1e300}};
    for (const auto& xyz : outside) {
        points.emplace_back(xyz);
        G3Point& p = points.back();
        const int code = hash.GetHashCode(&p);
        EXPECT_GE(code, 0);
        EXPECT_LT(code, hash.GetCellCount());
        EXPECT_EQ(hash.Add(&p), nullptr);
        points.emplace_back(xyz[0] + 0.5 * kTol, xyz[1], xyz[2]);
        EXPECT_EQ(hash.Add(&points.back()), &p) << xyz[0] << " " << xyz[1];
    }
    // A pair within the tolerance on both sides of the box's face.
    const double face = hash.GetEnvelope().GetMaxX();
    G3Point in(face - 0.4 * kTol, 5, 5), out(face + 0.4 * kTol, 5, 5);
    EXPECT_EQ(hash.Add(&in), nullptr);
    EXPECT_EQ(hash.Add(&out), &in);

    // NaN: cell 0 for the code, never stored, never found.
    G3Point bad(nan, 1, 1), alsoBad(1, nan, inf);
    EXPECT_GE(hash.GetHashCode(&bad), 0);
    EXPECT_LT(hash.GetHashCode(&alsoBad), hash.GetCellCount());
    EXPECT_EQ(hash.Add(&bad), nullptr);
    EXPECT_EQ(hash.Add(&bad), nullptr);
    EXPECT_TRUE(CellsHolding(hash, &bad).empty());
    EXPECT_EQ(hash.Exists(&bad), nullptr);
    GArrayCollection found(4, 4);
    EXPECT_FALSE(hash.Exists(&bad, &found));
    EXPECT_EQ(hash.GetCellIndex(nan, 0), 0);

    G2PointHash flat(4, kMin, kMax, kTol);
    G3Point farFlat(-1e300, 1e300, 0), farFlatNear(-1e300, 1e300, 0.5 * kTol);
    EXPECT_EQ(flat.Add(&farFlat), nullptr);
    EXPECT_EQ(flat.Add(&farFlatNear), &farFlat);
    EXPECT_EQ(flat.Add(&bad), nullptr);
    EXPECT_EQ(flat.Exists(&bad), nullptr);
}

TEST(PointHash, DegenerateGrids)
{
    // Tolerance 0 and a box of one point: the cell size is 0, every point
    // goes to cell 0 and nothing divides by zero. Distances are never below
    // 0, so no two points are equal.
    const double p[3] = {2, 2, 2};
    G3PointHash zero(6, p, p, 0.0);
    EXPECT_EQ(zero.GetCellSize(0), 0.0);
    G3Point a(p), b(p), c(7, -3, 1);
    EXPECT_EQ(zero.GetHashCode(&c), 0);
    EXPECT_EQ(zero.GetCellIndex(1e9, 2), 0);
    EXPECT_EQ(zero.Add(&a), nullptr);
    EXPECT_EQ(zero.Add(&b), nullptr);
    EXPECT_EQ(zero.Add(&c), nullptr);
    EXPECT_EQ(zero.Exists(p), nullptr);

    // A negative tolerance counts as 0; n below 1 as 1; null corners are the
    // origin; corners may come swapped.
    G3PointHash odd(0, nullptr, kMax, -5.0);
    EXPECT_EQ(odd.GetQGrid(), 1);
    EXPECT_EQ(odd.GetTolerance(), 0.0);
    EXPECT_EQ(odd.Add(&c), nullptr);
    EXPECT_EQ(odd.GetCell(0, 0, 0)->GetObject(), &c);
    EXPECT_EQ(odd.GetCell(1, 0, 0), nullptr);
    G3PointHash swapped(4, kMax, kMin, kTol);
    EXPECT_LT(swapped.GetEnvelope().GetMinX(), 0.0);
    EXPECT_GT(swapped.GetEnvelope().GetMaxX(), 10.0);
    G3PointHash huge(100000, kMin, kMax, kTol);
    EXPECT_EQ(huge.GetQGrid(), 256);
}

TEST(PointHash, GetItemsReturnsEachCandidateOnceAndLeavesNoMark)
{
    G3PointHash hash(5, kMin, kMax, 0.05);
    std::deque<G3Point> points;
    for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; j += 5) {
            points.emplace_back(i * 1.0, j * 1.0, 2.04); // near cell borders
            hash.AddWithoutTest(&points.back());
        }
    GArrayCollection out(8, 8);
    GEnvelope all(-1, -1, -1, 11, 11, 11);
    EXPECT_EQ(hash.GetItems(&all, &out), static_cast<int>(points.size()));
    std::set<GObj*> unique;
    for (int i = 0; i < out.size(); ++i)
        unique.insert(out.get(i));
    EXPECT_EQ(unique.size(), points.size());

    GEnvelope part(1.5, -0.5, 1.9, 4.5, 0.5, 2.1);
    const int count = hash.GetItems(&part, &out);
    unique.clear();
    for (int i = 0; i < out.size(); ++i)
        unique.insert(out.get(i));
    EXPECT_EQ(static_cast<int>(unique.size()), count);
    for (G3Point& p : points) {
        EXPECT_FALSE(p.GetMark());
        const bool inside = p.GetX() >= 1.5 && p.GetX() <= 4.5 && p.GetY() <= 0.5;
        if (inside) {
            EXPECT_TRUE(unique.count(&p)) << p.GetX() << " " << p.GetY();
        }
    }
    EXPECT_LT(count, static_cast<int>(points.size()));

    GEnvelope empty;
    EXPECT_EQ(hash.GetItems(&empty, &out), 0);
    EXPECT_EQ(out.size(), 0);
    EXPECT_EQ(hash.GetItems(nullptr, &out), 0);
    EXPECT_EQ(hash.GetItems(&all, nullptr), 0);
    GEnvelope nanBox(std::nan(""), 0, 0, 1, 1, 1);
    EXPECT_EQ(hash.GetItems(&nanBox, &out), 0);
}

// Clusters of points jittered around lattice sites, many of them near cell
// borders and some outside the box: each Add must find an equal point
// exactly when brute force finds one, and what it returns must be equal.
TEST(PointHash, RandomClustersAgainstBruteForce)
{
    std::mt19937 rng(5150);
    std::uniform_int_distribution<int> site(-2, 12);
    std::uniform_real_distribution<double> jitter(-0.8 * kTol, 0.8 * kTol);
    for (int dims : {2, 3}) {
        std::unique_ptr<G2PointHash> hash;
        if (dims == 3)
            hash = std::make_unique<G3PointHash>(12, kMin, kMax, kTol);
        else
            hash = std::make_unique<G2PointHash>(12, kMin, kMax, kTol);
        std::deque<G3Point> stored;
        std::deque<G3Point> all;
        int merged = 0;
        for (int n = 0; n < 4000; ++n) {
            const double cell = hash->GetCellSize(0);
            // Lattice sites on the cell borders, outside the box included.
            all.emplace_back(hash->GetEnvelope().GetMinX() + site(rng) * cell + jitter(rng),
                             hash->GetEnvelope().GetMinY() + site(rng) * cell + jitter(rng),
                             dims == 3 ? hash->GetEnvelope().GetMinZ() + site(rng) * cell + jitter(rng) : 0.0);
            G3Point* p = &all.back();
            bool expected = false;
            for (G3Point& q : stored)
                expected = expected || q.Equals(p->GetXYZ(), kTol);
            G3Point* got = hash->Add(p);
            ASSERT_EQ(got != nullptr, expected) << "point " << n;
            if (got) {
                EXPECT_TRUE(got->Equals(p->GetXYZ(), kTol));
                ++merged;
            } else {
                stored.emplace_back(p->GetXYZ());
            }
        }
        EXPECT_GT(merged, 100); // the clusters do collide
    }
}

TEST(TexCooHash, AddFindsEqualCoordinates)
{
    const double lo[2] = {0, 0}, hi[2] = {1, 1};
    const double tol = 1e-4;
    G3TexCooHash hash(10, lo, hi, tol);
    EXPECT_EQ(hash.GetQGrid(), 10);
    G3TexCoo a(0.3, 0.7), near(0.3 + 0.5 * tol, 0.7), far(0.3, 0.7 + 2 * tol);
    EXPECT_EQ(hash.Add(&a), nullptr);
    EXPECT_EQ(hash.Add(&near), &a);
    EXPECT_EQ(hash.Add(&far), nullptr);
    EXPECT_EQ(hash.Exists(&far), &far);

    // On a cell border: entered on both sides.
    const double border = hash.GetEnvelope().GetMinX() + 4 * hash.GetCellSize(0);
    G3TexCoo b(border, 0.1), bLeft(border - 0.5 * tol, 0.1);
    EXPECT_EQ(hash.Add(&b), nullptr);
    int cells = 0;
    for (int i = 0; i < 10; ++i)
        for (G3PointHashItem* item = hash.GetCell(i, hash.GetCellIndex(0.1, 1)); item; item = item->GetNext())
            cells += item->GetObject() == &b;
    EXPECT_EQ(cells, 2);
    EXPECT_EQ(hash.Add(&bLeft), &b);

    // Outside and NaN.
    G3TexCoo outside(-40, 1e12), outsideNear(-40 + 0.5 * tol, 1e12);
    EXPECT_EQ(hash.Add(&outside), nullptr);
    EXPECT_EQ(hash.Add(&outsideNear), &outside);
    G3TexCoo bad(std::nan(""), 0.5);
    EXPECT_GE(hash.GetHashCode(&bad), 0);
    EXPECT_EQ(hash.Add(&bad), nullptr);
    EXPECT_EQ(hash.Exists(&bad), nullptr);
    EXPECT_EQ(hash.Add(nullptr), nullptr);
    EXPECT_EQ(hash.GetHashCode(static_cast<G3TexCoo*>(nullptr)), -1);

    G3TexCooHash zero(3, lo, lo, 0.0);
    EXPECT_EQ(zero.GetCellSize(0), 0.0);
    EXPECT_EQ(zero.Add(&a), nullptr);
    EXPECT_EQ(zero.GetHashCode(&far), 0);
}
