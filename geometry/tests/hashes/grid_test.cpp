// The grid of facets: cell indices and their clamping, segment clipping,
// cell lists and their ownership, moves, and the box and segment queries on
// ten thousand random triangles against brute force.

#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

static_assert(!std::is_copy_constructible_v<G3Grid>);
static_assert(!std::is_copy_assignable_v<G3Grid>);
static_assert(std::is_nothrow_move_constructible_v<G3Grid>);
static_assert(std::is_nothrow_move_assignable_v<G3Grid>);

// The grid's box is grown by this on every side.
constexpr double kMargin = 2 * tessaly::kLengthTolerance;
// Rounding of the interpolated cut points.
constexpr double kRounding = tessaly::kRoundingTolerance;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Opens the clipping of the grid to the tests.
class GridProbe : public G3Grid {
public:
    using G3Grid::Clip;
    using G3Grid::G3Grid;
    using G3Grid::WCode;
};

// Whether the segment p-q meets the closed box (slab test).
bool SegmentMeetsBox(const double* p, const double* q, const GEnvelope& box)
{
    double t0 = 0.0, t1 = 1.0;
    for (int axis = 0; axis < 3; ++axis) {
        const double d = q[axis] - p[axis];
        const double lo = box.GetMin(axis), hi = box.GetMax(axis);
        if (d == 0.0) {
            if (p[axis] < lo || p[axis] > hi)
                return false;
            continue;
        }
        double a = (lo - p[axis]) / d, b = (hi - p[axis]) / d;
        if (a > b)
            std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        if (t0 > t1)
            return false;
    }
    return true;
}

bool RangesMeet(const int* a, const int* b)
{
    return a[0] <= b[1] && b[0] <= a[1];
}

// Ten thousand small random triangles of a surface in [0, 100]^3, and a few
// facets without edges with boxes of their own.
struct Scene {
    Scene()
    {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> where(0.0, 100.0);
        std::uniform_real_distribution<double> offset(-1.5, 1.5);
        surface = new G3Surface(30000, 0);
        while (facets.size() < 10000) {
            const double c[3] = {where(rng), where(rng), where(rng)};
            G3Vertex* v[3];
            for (G3Vertex*& vertex : v) {
                double p[3];
                for (int axis = 0; axis < 3; ++axis)
                    p[axis] = std::clamp(c[axis] + offset(rng), 0.0, 100.0);
                vertex = surface->AddVertex(p);
            }
            G3Facet* f = surface->AddFacet(3, v, 1, nullptr, nullptr);
            if (!f)
                continue;
            GEnvelope box;
            if (!f->FormEnvelope(&box))
                continue;
            facets.push_back(f);
            boxes.push_back(box);
        }
        for (int i = 0; i < 40; ++i) {
            bare.emplace_back(new G3Facet);
            const double c[3] = {where(rng), where(rng), where(rng)};
            GEnvelope box(c[0], c[1], c[2], c[0] + 2.0, c[1] + 2.0, c[2] + 2.0);
            facets.push_back(bare.back().get());
            boxes.push_back(box);
        }
        worldBox.Set(0.0, 100.0);
        for (std::size_t i = 0; i < facets.size(); ++i)
            indexOf[facets[i]] = i;
    }
    ~Scene()
    {
        bare.clear();
        delete surface;
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    bool AnyMarked() const
    {
        return std::any_of(facets.begin(), facets.end(), [](const G3Facet* f) { return f->GetMark(); });
    }

    G3Surface* surface = nullptr;
    std::vector<std::unique_ptr<G3Facet>> bare;
    std::vector<G3Facet*> facets;
    std::vector<GEnvelope> boxes;
    std::map<const G3Facet*, std::size_t> indexOf;
    GEnvelope worldBox;
};

std::set<G3Facet*> AsSet(const GArrayCollection& out)
{
    std::set<G3Facet*> s;
    for (int i = 0; i < out.count(); ++i)
        s.insert(static_cast<G3Facet*>(out.get(i)));
    return s;
}

bool Includes(const std::set<G3Facet*>& big, const std::set<G3Facet*>& small)
{
    return std::includes(big.begin(), big.end(), small.begin(), small.end());
}

} // namespace

TEST(Grid, IndexesOfPointsAndBoxes)
{
    GEnvelope box(0, 0, 0, 10, 20, 40);
    G3Grid grid(&box, 8);
    ASSERT_EQ(grid.GetSize(), 8);
    EXPECT_DOUBLE_EQ(grid.GetMin()[0], -kMargin);
    EXPECT_DOUBLE_EQ(grid.GetMax()[2], 40 + kMargin);
    EXPECT_DOUBLE_EQ(grid.GetCellSize(1), (20 + 2 * kMargin) / 8);
    EXPECT_EQ(grid.GetCellSize(3), 0.0);

    int i = -1, j = -1, k = -1;
    grid.GetIndexes(grid.GetMax(), &i, &j, &k);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(j, 7);
    EXPECT_EQ(k, 7);
    const double boxMax[3] = {10, 20, 40};
    grid.GetIndexes(boxMax, &i, &j, &k);
    EXPECT_EQ(i + j + k, 21);
    grid.GetIndexes(grid.GetMin(), &i, &j, &k);
    EXPECT_EQ(i + j + k, 0);
    const double inner[3] = {3.0, 12.0, 39.0}; // 3 / 1.25, 12 / 2.5, 39 / 5
    grid.GetIndexes(inner, &i, &j, &k);
    EXPECT_EQ(i, 2);
    EXPECT_EQ(j, 4);
    EXPECT_EQ(k, 7);
    const double outside[3] = {-50.0, 1e300, 26.0}; // nearest border cells
    grid.GetIndexes(outside, &i, &j, &k);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 7);
    EXPECT_EQ(k, 5);
    const double nan[3] = {kNaN, 12.0, -kInf};
    grid.GetIndexes(nan, &i, &j, &k);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 4);
    EXPECT_EQ(k, 0);
    grid.GetIndexes(static_cast<const double*>(nullptr), &i, &j, &k);
    EXPECT_EQ(i + j + k, 0);
    grid.GetIndexes(inner, nullptr, &j, nullptr); // null outputs are skipped
    EXPECT_EQ(j, 4);

    int ri[2], rj[2], rk[2];
    GEnvelope query(2.6, -5, 11, 3.8, 13, 1e9);
    ASSERT_TRUE(grid.GetIndexes(&query, ri, rj, rk));
    EXPECT_EQ(ri[0], 2);
    EXPECT_EQ(ri[1], 3);
    EXPECT_EQ(rj[0], 0);
    EXPECT_EQ(rj[1], 5);
    EXPECT_EQ(rk[0], 2);
    EXPECT_EQ(rk[1], 7);
    GEnvelope empty;
    EXPECT_FALSE(grid.GetIndexes(&empty, ri, rj, rk));
    EXPECT_EQ(ri[0], 0);
    EXPECT_EQ(ri[1], -1);
    GEnvelope withNaN(0, 0, 0, kNaN, 1, 1);
    EXPECT_FALSE(grid.GetIndexes(&withNaN, ri, rj, rk));
    EXPECT_FALSE(grid.GetIndexes(static_cast<const GEnvelope*>(nullptr), ri, rj, rk));

    // Lengths in cells: truncated toward zero, no offset, no clamping.
    const double cx = grid.GetCellSize(0);
    EXPECT_EQ(grid.GetIndexX(2.5 * cx), 2);
    EXPECT_EQ(grid.GetIndexX(-2.5 * cx), -2);
    EXPECT_EQ(grid.GetIndexX(20.5 * cx), 20);
    EXPECT_EQ(grid.GetIndexY(3.5 * grid.GetCellSize(1)), 3);
    EXPECT_EQ(grid.GetIndexZ(0.99 * grid.GetCellSize(2)), 0);
    EXPECT_EQ(grid.GetIndexZ(kNaN), 0);
    EXPECT_EQ(grid.GetIndexY(1e300), INT_MAX);
    EXPECT_EQ(grid.GetIndexY(-1e300), INT_MIN);
}

TEST(Grid, SizesAndDegenerateBoxes)
{
    GEnvelope box(0, 0, 0, 1, 1, 1);
    EXPECT_EQ(G3Grid(&box, 0).GetSize(), 1);
    EXPECT_EQ(G3Grid(&box, -7).GetSize(), 1);
    EXPECT_EQ(G3Grid(&box, 100000).GetSize(), 256);

    // No box: the point at the origin, grown by the margin.
    G3Grid none(nullptr, 4);
    EXPECT_DOUBLE_EQ(none.GetMin()[1], -kMargin);
    EXPECT_DOUBLE_EQ(none.GetMax()[1], kMargin);
    GEnvelope empty;
    G3Grid fromEmpty(&empty, 4);
    EXPECT_DOUBLE_EQ(fromEmpty.GetMax()[0], kMargin);
    GEnvelope infinite(0, 0, 0, kInf, 1, 1);
    G3Grid fromInfinite(&infinite, 4);
    EXPECT_DOUBLE_EQ(fromInfinite.GetMax()[0], kMargin);

    // A flat box keeps a positive cell size on its flat axis.
    GEnvelope flat(0, 0, 5, 10, 10, 5);
    G3Grid flatGrid(&flat, 4);
    EXPECT_NEAR(flatGrid.GetCellSize(2), 2 * kMargin / 4, kRounding * kMargin);
    const double onPlane[3] = {3, 3, 5 + kMargin / 4};
    int i, j, k;
    flatGrid.GetIndexes(onPlane, &i, &j, &k);
    EXPECT_EQ(k, 2);

    // Far from the origin the margin is lost in rounding: the flat axis has
    // cells of size 0, and everything is in cell 0 on it.
    GEnvelope far(0, 0, 1e12, 10, 10, 1e12);
    G3Grid farGrid(&far, 4);
    ASSERT_EQ(farGrid.GetCellSize(2), 0.0);
    const double p[3] = {6, 6, 1e12};
    farGrid.GetIndexes(p, &i, &j, &k);
    EXPECT_EQ(i, 2);
    EXPECT_EQ(k, 0);
    EXPECT_EQ(farGrid.GetIndexZ(1.0), 0);
    G3Facet f;
    GEnvelope fbox(4, 4, 1e12, 6, 6, 1e12);
    ASSERT_TRUE(farGrid.AddFacet(&f, &fbox));
    GArrayCollection out;
    const double a[3] = {5, -3, 1e12}, b[3] = {5, 30, 1e12};
    EXPECT_EQ(farGrid.GetFacetByLine(a, b, &out), 1);
    EXPECT_FALSE(f.GetMark());
}

TEST(Grid, WCodeAndClip)
{
    GEnvelope box(0, 0, 0, 10, 10, 10);
    GridProbe grid(&box, 4);
    const double lo = grid.GetMin()[0], hi = grid.GetMax()[0];

    const double centre[3] = {5, 5, 5};
    EXPECT_EQ(grid.WCode(centre), 0);
    const double bits[6][3] = {{-1, 5, 5}, {11, 5, 5}, {5, -1, 5}, {5, 11, 5}, {5, 5, -1}, {5, 5, 11}};
    for (int b = 0; b < 6; ++b)
        EXPECT_EQ(grid.WCode(bits[b]), 1 << b) << b;
    const double corner[3] = {-1, 11, -1};
    EXPECT_EQ(grid.WCode(corner), 1 | 8 | 16);
    EXPECT_EQ(grid.WCode(grid.GetMax()), 0); // on the faces: inside
    EXPECT_EQ(grid.WCode(grid.GetMin()), 0);
    const double nan[3] = {kNaN, 5, 5};
    EXPECT_EQ(grid.WCode(nan), 0);

    // Both ends beyond one face.
    double a[3] = {-5, 5, 5}, b[3] = {-1, 8, 8};
    EXPECT_FALSE(grid.Clip(a, b));
    // Beyond different faces, passing by a corner.
    double c[3] = {-2, 1, 5}, d[3] = {1, -2, 5};
    EXPECT_FALSE(grid.Clip(c, d));

    // Crossing the box along x: both ends cut to the faces.
    double e[3] = {-5, 5, 5}, f[3] = {15, 5, 5};
    ASSERT_TRUE(grid.Clip(e, f));
    EXPECT_EQ(std::min(e[0], f[0]), lo);
    EXPECT_EQ(std::max(e[0], f[0]), hi);
    EXPECT_EQ(e[1], 5.0);
    EXPECT_EQ(f[2], 5.0);

    // Oblique: the cut points lie on the line and on the faces.
    const double p[3] = {-4, 2, 3}, q[3] = {14, 8, 19};
    double g[3] = {p[0], p[1], p[2]}, h[3] = {q[0], q[1], q[2]};
    ASSERT_TRUE(grid.Clip(g, h));
    EXPECT_EQ(grid.WCode(g), 0);
    EXPECT_EQ(grid.WCode(h), 0);
    for (const double* r : {static_cast<const double*>(g), static_cast<const double*>(h)}) {
        const double t = (r[0] - p[0]) / (q[0] - p[0]);
        EXPECT_NEAR(r[1], p[1] + t * (q[1] - p[1]), kRounding);
        EXPECT_NEAR(r[2], p[2] + t * (q[2] - p[2]), kRounding);
    }
    // Enters through x = min, leaves through z = max.
    const double tIn = (lo - p[0]) / (q[0] - p[0]);
    const double tOut = (grid.GetMax()[2] - p[2]) / (q[2] - p[2]);
    const double* first = g[0] < h[0] ? g : h;
    const double* last = g[0] < h[0] ? h : g;
    EXPECT_EQ(first[0], lo);
    EXPECT_NEAR(first[1], p[1] + tIn * (q[1] - p[1]), kRounding);
    EXPECT_EQ(last[2], grid.GetMax()[2]);
    EXPECT_NEAR(last[0], p[0] + tOut * (q[0] - p[0]), kRounding);

    // Inside: unchanged.
    double m[3] = {1, 2, 3}, n[3] = {9, 8, 7};
    ASSERT_TRUE(grid.Clip(m, n));
    EXPECT_EQ(m[0], 1.0);
    EXPECT_EQ(n[2], 7.0);

    // An end on a face, the other outside: both end on that face.
    double s[3] = {hi, 5, 5}, t[3] = {20, 6, 5};
    ASSERT_TRUE(grid.Clip(s, t));
    EXPECT_EQ(s[0], hi);
    EXPECT_EQ(t[0], hi);
    EXPECT_DOUBLE_EQ(std::max(s[1], t[1]), 5.0);

    // Not finite, or null.
    double u[3] = {kNaN, 5, 5}, v[3] = {5, 5, 5};
    EXPECT_FALSE(grid.Clip(u, v));
    double w[3] = {-kInf, 5, 5}, x[3] = {5, 5, 5};
    EXPECT_FALSE(grid.Clip(w, x));
    EXPECT_FALSE(grid.Clip(nullptr, x));
}

TEST(Grid, CellListsAndOwnership)
{
    GEnvelope box(0, 0, 0, 4, 4, 4);
    G3Grid grid(&box, 4);
    G3Facet f1, f2, f3;
    EXPECT_EQ(grid.Get(1, 2, 3), nullptr);
    EXPECT_TRUE(grid.Add(1, 2, 3, &f1));
    GArrayCollection* list = grid.Get(1, 2, 3);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->capacity(), 32);
    EXPECT_EQ(list->growth(), 64);
    EXPECT_TRUE(grid.Add(1, 2, 3, &f2));
    EXPECT_EQ(list->count(), 2);

    GEnvelope notAnElement;
    EXPECT_FALSE(grid.Add(1, 2, 3, &notAnElement));
    EXPECT_FALSE(grid.Add(1, 2, 3, nullptr));
    EXPECT_FALSE(grid.Add(4, 0, 0, &f1));
    EXPECT_FALSE(grid.Add(0, -1, 0, &f1));
    EXPECT_EQ(grid.Get(0, 0, 4), nullptr);
    EXPECT_EQ(list->count(), 2);

    // set replaces (and frees) the previous list; ASan reports a leak or a
    // double free otherwise.
    auto* own = new GArrayCollection(4, 4);
    own->add(&f3);
    EXPECT_TRUE(grid.set(1, 2, 3, own));
    EXPECT_EQ(grid.Get(1, 2, 3), own);
    EXPECT_TRUE(grid.set(1, 2, 3, own)); // the same list again: kept
    EXPECT_EQ(grid.Get(1, 2, 3)->count(), 1);
    EXPECT_TRUE(grid.set(0, 0, 0, new GArrayCollection(4, 4)));
    EXPECT_TRUE(grid.set(0, 0, 0, nullptr));
    EXPECT_EQ(grid.Get(0, 0, 0), nullptr);
    GArrayCollection refused(4, 4);
    EXPECT_FALSE(grid.set(0, 0, 9, &refused));

    // AddFacet: mark cleared, entered into every cell of the box.
    f1.SetMark();
    GEnvelope fbox(0.5, 0.5, 0.5, 2.5, 1.5, 0.7);
    ASSERT_TRUE(grid.AddFacet(&f1, &fbox));
    EXPECT_FALSE(f1.GetMark());
    int cells = 0;
    for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                if (GArrayCollection* l = grid.Get(i, j, k); l && l->contains(&f1))
                    ++cells;
    EXPECT_EQ(cells, 3 * 2 * 1);
    EXPECT_FALSE(grid.AddFacet(nullptr, &fbox));
    EXPECT_FALSE(grid.AddFacet(&f2, nullptr)); // no vertices to make a box of
    GEnvelope empty;
    EXPECT_FALSE(grid.AddFacet(&f2, &empty));
}

TEST(Grid, OutFacetsOrderMarksAndRanges)
{
    GEnvelope box(0, 0, 0, 3, 3, 3);
    G3Grid grid(&box, 3);
    G3Facet a, b, c, d, e;
    ASSERT_TRUE(grid.Add(1, 0, 0, &a));
    ASSERT_TRUE(grid.Add(0, 1, 0, &b));
    ASSERT_TRUE(grid.Add(0, 0, 1, &c));
    ASSERT_TRUE(grid.Add(0, 0, 1, &a)); // a second time: reported once
    ASSERT_TRUE(grid.Add(0, 0, 0, &d));
    ASSERT_TRUE(grid.Add(2, 2, 2, &e));
    GArrayCollection out(4, 4);
    out.add(&e); // OutFacets appends
    // Backward pairs are swapped; i outermost, then j, then k.
    EXPECT_EQ(grid.OutFacets(1, 0, 1, 0, 1, 0, &out), 4);
    ASSERT_EQ(out.count(), 5);
    EXPECT_EQ(out.get(1), &d); // (0, 0, 0)
    EXPECT_EQ(out.get(2), &c); // (0, 0, 1)
    EXPECT_EQ(out.get(3), &a); // (0, 0, 1) again
    EXPECT_EQ(out.get(4), &b); // (0, 1, 0); a at (1, 0, 0) is marked already
    for (G3Facet* f : {&a, &b, &c, &d})
        EXPECT_TRUE(f->GetMark());
    EXPECT_FALSE(e.GetMark());
    // Marked facets are not reported again; ranges are cut to the grid.
    EXPECT_EQ(grid.OutFacets(-5, 10, -1, 7, 0, 99, &out), 1);
    EXPECT_EQ(out.getLast(), &e);
    EXPECT_EQ(grid.OutFacets(3, 9, 0, 2, 0, 2, &out), 0); // entirely off the grid
    EXPECT_EQ(grid.OutFacets(0, 2, 0, 2, 0, 2, nullptr), 0);
    for (G3Facet* f : {&a, &b, &c, &d, &e})
        f->ClearMark();
}

TEST(Grid, MovedFromGridIsEmptyAndDestroysCleanly)
{
    GEnvelope box(0, 0, 0, 10, 10, 10);
    G3Facet f;
    GEnvelope fbox(1, 1, 1, 6, 6, 6);
    G3Grid source(&box, 8);
    ASSERT_TRUE(source.AddFacet(&f, &fbox));
    GArrayCollection* list = source.Get(2, 2, 2);
    ASSERT_NE(list, nullptr);

    G3Grid moved(std::move(source));
    EXPECT_EQ(moved.Get(2, 2, 2), list);
    EXPECT_EQ(moved.GetSize(), 8);
    EXPECT_EQ(source.GetSize(), 0); // NOLINT(bugprone-use-after-move): the moved-from state is documented
    EXPECT_EQ(source.Get(0, 0, 0), nullptr);
    EXPECT_FALSE(source.Add(0, 0, 0, &f));
    EXPECT_FALSE(source.AddFacet(&f, &fbox));
    GArrayCollection out;
    const double p0[3] = {0, 0, 0}, p1[3] = {10, 10, 10};
    EXPECT_EQ(source.GetFacetByLine(p0, p1, &out), 0);
    EXPECT_EQ(source.GetFacetsByFacet(nullptr, &fbox, &out), 0);
    EXPECT_EQ(source.OutFacets(0, 0, 0, 0, 0, 0, &out), 0);
    int i = -1, j = -1, k = -1;
    source.GetIndexes(p1, &i, &j, &k);
    EXPECT_EQ(i + j + k, 0);

    EXPECT_EQ(moved.GetFacetByLine(p0, p1, &out), 1);
    EXPECT_EQ(out.get(0), &f);

    // Move assignment frees the target's own cells (ASan: no leak) and
    // takes the source's.
    G3Grid target(&box, 4);
    G3Facet g;
    ASSERT_TRUE(target.AddFacet(&g, &fbox));
    target = std::move(moved);
    EXPECT_EQ(target.Get(2, 2, 2), list);
    EXPECT_EQ(moved.Get(2, 2, 2), nullptr); // NOLINT(bugprone-use-after-move)
    // A moved-from grid takes a new one.
    moved = G3Grid(&box, 2);
    EXPECT_EQ(moved.GetSize(), 2);
    EXPECT_TRUE(moved.AddFacet(&g, &fbox));
}

class GridQueries : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { scene = new Scene; }
    static void TearDownTestSuite()
    {
        delete scene;
        scene = nullptr;
    }
    static Scene* scene;
};

Scene* GridQueries::scene = nullptr;

TEST_P(GridQueries, FacetsByBoxAreASupersetOfTheOverlappingFacets)
{
    const Scene& s = *scene;
    G3Grid grid(&s.worldBox, GetParam());
    for (std::size_t i = 0; i < s.facets.size(); ++i)
        ASSERT_TRUE(grid.AddFacet(s.facets[i], &s.boxes[i]));
    std::vector<std::array<int, 6>> ranges(s.facets.size());
    for (std::size_t i = 0; i < s.facets.size(); ++i) {
        auto& r = ranges[i];
        int ri[2], rj[2], rk[2];
        ASSERT_TRUE(grid.GetIndexes(&s.boxes[i], ri, rj, rk));
        r = {ri[0], ri[1], rj[0], rj[1], rk[0], rk[1]};
    }

    std::mt19937 rng(11 + GetParam());
    std::uniform_real_distribution<double> where(-10.0, 110.0);
    std::uniform_real_distribution<double> half(0.0, 12.0);
    GArrayCollection out(16, 16);
    std::size_t nonEmpty = 0;
    for (int q = 0; q < 150; ++q) {
        GEnvelope query;
        if (q % 10 == 0) { // a point
            const double c[3] = {where(rng), where(rng), where(rng)};
            query.Set(c[0], c[1], c[2], c[0], c[1], c[2]);
        } else if (q % 10 == 1) { // off the grid
            query.Set(150, 20, 20, 160, 30, 30);
        } else {
            const double c[3] = {where(rng), where(rng), where(rng)};
            const double h[3] = {half(rng), half(rng), half(rng)};
            query.Set(c[0] - h[0], c[1] - h[1], c[2] - h[2], c[0] + h[0], c[1] + h[1], c[2] + h[2]);
        }
        out.add(s.bare[0].get()); // emptied by the query
        const int count = grid.GetFacetsByFacet(nullptr, &query, &out);
        ASSERT_EQ(count, out.count());
        const std::set<G3Facet*> got = AsSet(out);
        EXPECT_EQ(got.size(), static_cast<std::size_t>(out.count())) << "duplicates, query " << q;
        EXPECT_FALSE(s.AnyMarked()) << q;

        int qi[2], qj[2], qk[2];
        ASSERT_TRUE(grid.GetIndexes(&query, qi, qj, qk));
        std::set<G3Facet*> overlapping, sameCells;
        for (std::size_t i = 0; i < s.facets.size(); ++i) {
            if (!s.facets[i]->HasEdges())
                continue;
            if (s.boxes[i].IsIntersectXYZ(&query))
                overlapping.insert(s.facets[i]);
            const auto& r = ranges[i];
            if (RangesMeet(&r[0], qi) && RangesMeet(&r[2], qj) && RangesMeet(&r[4], qk))
                sameCells.insert(s.facets[i]);
        }
        EXPECT_TRUE(Includes(got, overlapping)) << q;
        // Exactly the facets with edges entered into a cell of the query's
        // block: none without edges, none from elsewhere.
        EXPECT_EQ(got, sameCells) << q;
        if (!overlapping.empty())
            ++nonEmpty;
    }
    EXPECT_GT(nonEmpty, 80u);

    // The facet itself is not excluded; a null box is the facet's own box.
    for (std::size_t i = 0; i < 50; ++i) {
        G3Facet* f = s.facets[i * 97];
        ASSERT_GT(grid.GetFacetsByFacet(f, nullptr, &out), 0);
        EXPECT_TRUE(out.contains(f));
        const std::set<G3Facet*> byOwnBox = AsSet(out);
        grid.GetFacetsByFacet(f, &s.boxes[i * 97], &out);
        EXPECT_EQ(AsSet(out), byOwnBox);
    }
    EXPECT_EQ(grid.GetFacetsByFacet(nullptr, nullptr, &out), 0);
    EXPECT_EQ(out.count(), 0);
    EXPECT_EQ(grid.GetFacetsByFacet(s.facets[0], nullptr, nullptr), 0);
    EXPECT_FALSE(s.AnyMarked());
}

TEST_P(GridQueries, FacetsByLineAreASupersetOfTheFacetsTheSegmentMeets)
{
    const Scene& s = *scene;
    const int n = GetParam();
    G3Grid grid(&s.worldBox, n);
    for (std::size_t i = 0; i < s.facets.size(); ++i)
        ASSERT_TRUE(grid.AddFacet(s.facets[i], &s.boxes[i]));

    std::mt19937 rng(23 + n);
    std::uniform_real_distribution<double> wide(-60.0, 160.0);
    std::uniform_real_distribution<double> inside(0.0, 100.0);
    std::uniform_real_distribution<double> nudge(-0.3, 0.3);
    std::uniform_int_distribution<int> cell(0, n - 1);
    GArrayCollection out(16, 16);
    std::size_t hits = 0, misses = 0;
    for (int q = 0; q < 240; ++q) {
        double p0[3], p1[3];
        const int kind = q % 6;
        for (int axis = 0; axis < 3; ++axis) {
            if (kind == 0) { // anywhere, often crossing the grid's faces
                p0[axis] = wide(rng);
                p1[axis] = wide(rng);
            } else if (kind == 1) { // inside
                p0[axis] = inside(rng);
                p1[axis] = inside(rng);
            } else if (kind == 2) { // beyond the same face
                p0[axis] = axis == 0 ? 120 + inside(rng) : wide(rng);
                p1[axis] = axis == 0 ? 101 + inside(rng) : wide(rng);
            } else if (kind == 3) { // within one cell
                const double c = grid.GetMin()[axis] + (cell(rng) + 0.5) * grid.GetCellSize(axis);
                p0[axis] = c + nudge(rng) * grid.GetCellSize(axis);
                p1[axis] = c + nudge(rng) * grid.GetCellSize(axis);
            } else if (kind == 4) { // along an axis, through the grid
                p0[axis] = axis == (q / 6) % 3 ? -20.0 : inside(rng);
                p1[axis] = axis == (q / 6) % 3 ? 120.0 : p0[axis];
            } else { // a single point
                p0[axis] = inside(rng);
                p1[axis] = p0[axis];
            }
        }
        out.add(s.bare[0].get()); // emptied by the query
        const int count = grid.GetFacetByLine(p0, p1, &out);
        ASSERT_EQ(count, out.count());
        const std::set<G3Facet*> got = AsSet(out);
        EXPECT_EQ(got.size(), static_cast<std::size_t>(out.count())) << "duplicates, segment " << q;
        EXPECT_FALSE(s.AnyMarked()) << q;

        std::set<G3Facet*> met;
        for (std::size_t i = 0; i < s.facets.size(); ++i)
            if (SegmentMeetsBox(p0, p1, s.boxes[i]))
                met.insert(s.facets[i]);
        EXPECT_TRUE(Includes(got, met)) << q;
        if (met.empty())
            ++misses;
        else
            ++hits;

        // Nothing from cells away from the segment: every facet reported
        // was entered into a cell of the block of the segment's box.
        GEnvelope segmentBox(p0, p1, nullptr);
        int si[2], sj[2], sk[2];
        ASSERT_TRUE(grid.GetIndexes(&segmentBox, si, sj, sk));
        for (G3Facet* f : got) {
            const auto found = s.indexOf.find(f);
            ASSERT_NE(found, s.indexOf.end());
            const std::size_t idx = found->second;
            int ri[2], rj[2], rk[2];
            ASSERT_TRUE(grid.GetIndexes(&s.boxes[idx], ri, rj, rk));
            EXPECT_TRUE(RangesMeet(ri, si) && RangesMeet(rj, sj) && RangesMeet(rk, sk)) << q;
        }
        if (kind == 2) {
            EXPECT_EQ(count, 0) << q;
        }
        if (kind == 3 || kind == 5) { // exactly the list of that one cell
            int i, j, k;
            grid.GetIndexes(p0, &i, &j, &k);
            GArrayCollection* list = grid.Get(i, j, k);
            EXPECT_EQ(got, list ? AsSet(*list) : std::set<G3Facet*>{}) << q;
        }

        // The same query again gives the same answer, not twice as much.
        EXPECT_EQ(grid.GetFacetByLine(p0, p1, &out), count);
        EXPECT_EQ(AsSet(out), got);
    }
    EXPECT_GT(hits, 70u);
    EXPECT_GT(misses, 20u);

    const double nan[3] = {kNaN, 1, 1}, ok[3] = {1, 1, 1};
    out.add(s.facets[0]);
    EXPECT_EQ(grid.GetFacetByLine(nan, ok, &out), 0);
    EXPECT_EQ(out.count(), 0);
    EXPECT_EQ(grid.GetFacetByLine(nullptr, ok, &out), 0);
    EXPECT_EQ(grid.GetFacetByLine(ok, ok, nullptr), 0);
    EXPECT_FALSE(s.AnyMarked());
}

INSTANTIATE_TEST_SUITE_P(CellsPerAxis, GridQueries, ::testing::Values(12, 32));
