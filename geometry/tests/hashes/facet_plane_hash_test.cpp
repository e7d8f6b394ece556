// The hash of facet planes: grouping of equal planes, opposite normals,
// normals that are not of unit length or not numbers, facets on a cell
// border seen from both cells, and random planes against a brute-force
// pairwise comparison.

#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/hashes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <type_traits>
#include <vector>

namespace {

static_assert(!std::is_copy_constructible_v<G3FacetPlaneHash>);
static_assert(!std::is_copy_assignable_v<G3FacetPlaneHash>);

using FacetPtr = std::unique_ptr<G3Facet>;

constexpr double kTol = tessaly::kLengthTolerance;
// The hashed range of a normal component.
constexpr double kRange = 1 + 3 * kTol;

FacetPtr MakeFacet(double a, double b, double c, double d)
{
    FacetPtr f(new G3Facet);
    const double plane[4] = {a, b, c, d};
    f->SetPlane(plane);
    return f;
}

// Every entry of every chain.
std::vector<G3FacetPlaneHashItem*> AllItems(const G3FacetPlaneHash& hash)
{
    std::vector<G3FacetPlaneHashItem*> items;
    for (int c = 0; c < hash.GetCellCount(); ++c)
        for (G3FacetPlaneHashItem* item = hash.Get(c); item; item = item->GetNext())
            items.push_back(item);
    return items;
}

// The cells whose chains hold an entry of the given group.
std::vector<int> CellsOfGroup(const G3FacetPlaneHash& hash, const GArrayCollection* group)
{
    std::vector<int> cells;
    for (int c = 0; c < hash.GetCellCount(); ++c)
        for (G3FacetPlaneHashItem* item = hash.Get(c); item; item = item->GetNext())
            if (item->GetGroup() == group)
                cells.push_back(c);
    return cells;
}

std::vector<G3Facet*> Members(const GArrayCollection* group)
{
    std::vector<G3Facet*> members;
    for (int i = 0; i < group->count(); ++i)
        members.push_back(static_cast<G3Facet*>(group->get(i)));
    return members;
}

} // namespace

TEST(FacetPlaneHash, EqualPlanesShareAGroupOppositeNormalsDoNot)
{
    G3FacetPlaneHash hash(10);
    ASSERT_EQ(hash.GetHashSize(), 10);
    ASSERT_EQ(hash.GetCellCount(), 1000);
    FacetPtr up = MakeFacet(0, 0, 1, 2.0);
    FacetPtr almostUp = MakeFacet(0, 0, 1 - 0.5 * kTol, 2.0);
    FacetPtr down = MakeFacet(0, 0, -1, 2.0);
    FacetPtr shifted = MakeFacet(0, 0, 1, 2.0 + 2 * kTol);

    // |A| and |B| in cell 0, |C| in the last cell.
    EXPECT_EQ(hash.GetHashCode(up.get()), 900);
    EXPECT_EQ(hash.GetHashCode(almostUp.get()), 900);
    EXPECT_EQ(hash.GetHashCode(down.get()), 900);

    EXPECT_EQ(hash.Add(up.get()), nullptr); // a new group
    G3FacetPlaneHashItem* item = hash.Add(almostUp.get());
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->IsCopy());
    EXPECT_EQ(item->GetFirstItem(), item);
    EXPECT_EQ(Members(item->GetGroup()), (std::vector<G3Facet*>{up.get(), almostUp.get()}));
    EXPECT_TRUE(item->PlaneEquals(almostUp.get()));
    EXPECT_FALSE(item->PlaneEquals(down.get()));
    EXPECT_FALSE(item->PlaneEquals(nullptr));

    EXPECT_EQ(hash.Add(down.get()), nullptr);    // same cell, own group
    EXPECT_EQ(hash.Add(shifted.get()), nullptr); // d differs by twice the tolerance
    const std::vector<G3FacetPlaneHashItem*> items = AllItems(hash);
    ASSERT_EQ(items.size(), 3u); // one entry each: the tolerance boxes stay in cell 900
    for (G3FacetPlaneHashItem* entry : items)
        EXPECT_EQ(CellsOfGroup(hash, entry->GetGroup()), std::vector<int>{900});
    // Newer groups come first in the chain.
    G3FacetPlaneHashItem* head = hash.Get(900);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(Members(head->GetGroup()), std::vector<G3Facet*>{shifted.get()});
    EXPECT_EQ(Members(head->GetNext()->GetGroup()), std::vector<G3Facet*>{down.get()});
    EXPECT_EQ(head->GetNext()->GetNext(), item);
    EXPECT_EQ(item->GetNext(), nullptr);

    // A second facet on the lower side joins the downward group.
    FacetPtr down2 = MakeFacet(0, 0, -(1 - 0.4 * kTol), 2.0 - 0.4 * kTol);
    G3FacetPlaneHashItem* downItem = hash.Add(down2.get());
    ASSERT_NE(downItem, nullptr);
    EXPECT_EQ(Members(downItem->GetGroup()), (std::vector<G3Facet*>{down.get(), down2.get()}));
}

TEST(FacetPlaneHash, NullInputAndTableSize)
{
    G3FacetPlaneHash hash(0);
    EXPECT_EQ(hash.GetHashSize(), 1);
    EXPECT_EQ(hash.GetHashCode(nullptr), -1);
    EXPECT_EQ(hash.Add(nullptr), nullptr);
    EXPECT_EQ(hash.AddWithoutTest(nullptr), nullptr);
    EXPECT_EQ(hash.Get(-1), nullptr);
    EXPECT_EQ(hash.Get(1), nullptr);
    EXPECT_EQ(hash.Get(0), nullptr);

    FacetPtr f = MakeFacet(0.6, 0.8, 0, 1);
    EXPECT_EQ(hash.Add(f.get()), nullptr);
    ASSERT_NE(hash.Get(0), nullptr);
    EXPECT_EQ(hash.Add(f.get()), hash.Get(0)); // the same facet again joins its own group
    EXPECT_EQ(hash.Get(0)->GetGroup()->count(), 2);

    // Init empties the hash (the old entries are freed: ASan).
    hash.Init(-3);
    EXPECT_EQ(hash.GetHashSize(), 1);
    EXPECT_EQ(hash.Get(0), nullptr);
    hash.Init(1000);
    EXPECT_EQ(hash.GetHashSize(), 256);
    EXPECT_EQ(hash.GetCellCount(), 256 * 256 * 256);
    EXPECT_DOUBLE_EQ(hash.GetCellSize(), kRange / 256);
    hash.Init(10);
    EXPECT_DOUBLE_EQ(hash.GetCellSize(), kRange / 10);
}

TEST(FacetPlaneHash, NormalsOfOtherLengthsAndNaNStayInTheTable)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    G3FacetPlaneHash hash(10);
    std::vector<FacetPtr> facets;
    facets.push_back(MakeFacet(0, 0, 2, 0));
    facets.push_back(MakeFacet(3, 0, 0, 0));
    facets.push_back(MakeFacet(-5, -7, 1e9, 1));
    facets.push_back(MakeFacet(nan, 0.5, nan, 0));
    facets.push_back(MakeFacet(inf, -inf, 0, 0));
    facets.push_back(MakeFacet(kRange - 0.1 * kTol, 0, 0, 0)); // just inside the last cell
    const std::vector<int> expected = {900, 9, 999, 40, 99, 9};
    for (std::size_t i = 0; i < facets.size(); ++i) {
        G3Facet* f = facets[i].get();
        const int code = hash.GetHashCode(f);
        EXPECT_EQ(code, expected[i]) << i;
        EXPECT_EQ(hash.Add(f), nullptr) << i; // none equals an earlier one
        G3FacetPlaneHashItem* head = hash.Get(code);
        ASSERT_NE(head, nullptr) << i;
        EXPECT_EQ(Members(head->GetGroup()), std::vector<G3Facet*>{f}) << i;
        for (int cell : CellsOfGroup(hash, head->GetGroup())) {
            EXPECT_GE(cell, 0);
            EXPECT_LT(cell, hash.GetCellCount());
        }
    }
    // A second (0, 0, 2) facet: n . n' = 4, so no equal plane.
    FacetPtr twice = MakeFacet(0, 0, 2, 0);
    EXPECT_EQ(hash.Add(twice.get()), nullptr);
    // NaN never equals anything, not even the facet itself.
    EXPECT_EQ(hash.Add(facets[3].get()), nullptr);
}

TEST(FacetPlaneHash, FacetOnACellBorderIsFoundFromEitherCell)
{
    G3FacetPlaneHash hash(10);
    const double cs = hash.GetCellSize();
    const double border = 3 * cs; // between cells 2 and 3 of |A|
    auto unit = [](double a) { return MakeFacet(a, 0, std::sqrt(1 - a * a), -4.0); };
    FacetPtr onBorder = unit(border);
    FacetPtr below = unit(border - 0.5 * kTol);
    FacetPtr above = unit(border + 0.5 * kTol);
    const int kc = static_cast<int>(std::sqrt(1 - border * border) / cs);
    ASSERT_EQ(kc, 9);
    const int lowCell = kc * 100 + 2, highCell = kc * 100 + 3;
    ASSERT_EQ(hash.GetHashCode(below.get()), lowCell);
    ASSERT_EQ(hash.GetHashCode(above.get()), highCell);

    G3FacetPlaneHashItem* first = hash.AddWithoutTest(onBorder.get());
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->IsCopy());
    GArrayCollection* group = first->GetGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(CellsOfGroup(hash, group), (std::vector<int>{lowCell, highCell}));
    // The first entry goes to the lower cell, the copy to the upper one.
    EXPECT_EQ(hash.Get(lowCell), first);
    G3FacetPlaneHashItem* copy = hash.Get(highCell);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->IsCopy());
    EXPECT_EQ(copy->GetFirstItem(), first);
    EXPECT_EQ(copy->GetGroup(), group);
    EXPECT_TRUE(copy->PlaneEquals(above.get()));

    EXPECT_EQ(hash.Add(below.get()), first);
    EXPECT_EQ(hash.Add(above.get()), copy);
    EXPECT_EQ(Members(group), (std::vector<G3Facet*>{onBorder.get(), below.get(), above.get()}));
    EXPECT_EQ(AllItems(hash).size(), 2u);
}

// Random planes, some repeated with perturbations well below the tolerance,
// some close to others but clearly apart: the groups of the hash are exactly
// the classes of the pairwise plane equality.
TEST(FacetPlaneHash, GroupsEqualBruteForcePairwiseComparison)
{
    std::mt19937 rng(20240611);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> uni(-1.0, 1.0);
    std::vector<std::vector<double>> bases;
    auto randomUnit = [&] {
        double v[3];
        double len = 0;
        do {
            for (double& x : v)
                x = gauss(rng);
            len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        } while (len < 0.1);
        return std::vector<double>{v[0] / len, v[1] / len, v[2] / len};
    };
    for (int i = 0; i < 100; ++i) {
        std::vector<double> n = randomUnit();
        n.push_back(10 * uni(rng));
        bases.push_back(n);
    }
    // Axis normals, their opposites, and planes that share a normal with
    // another but lie three tolerances away, or that turn from another so that n . n' is about 1 - 5 tol.
    for (int axis = 0; axis < 3; ++axis)
        for (double sign : {1.0, -1.0}) {
            std::vector<double> n = {0, 0, 0, 1.5};
            n[axis] = sign;
            bases.push_back(n);
        }
    for (int i = 0; i < 20; ++i) {
        const std::vector<double> b = bases[i];
        std::vector<double> shifted = b;
        shifted[3] += 3 * kTol;
        bases.push_back(shifted);
        bases.push_back({-b[0], -b[1], -b[2], -b[3]});
        const double angle = std::sqrt(10 * kTol);
        // Rotate about an axis perpendicular to the normal.
        const double side[3] = {-b[1], b[0], 0};
        const double sl = std::hypot(side[0], side[1]);
        if (sl > 0.1) {
            std::vector<double> turned(4);
            for (int k = 0; k < 3; ++k)
                turned[k] = b[k] * std::cos(angle) + side[k] / sl * std::sin(angle);
            turned[3] = b[3];
            bases.push_back(turned);
        }
    }

    std::vector<FacetPtr> facets;
    for (const auto& b : bases)
        facets.push_back(MakeFacet(b[0], b[1], b[2], b[3]));
    std::uniform_int_distribution<std::size_t> pick(0, bases.size() - 1);
    for (int i = 0; i < 200; ++i) {
        const auto& b = bases[pick(rng)];
        facets.push_back(MakeFacet(b[0] + 0.2 * kTol * uni(rng), b[1] + 0.2 * kTol * uni(rng),
                                   b[2] + 0.2 * kTol * uni(rng), b[3] + 0.3 * kTol * uni(rng)));
    }
    std::shuffle(facets.begin(), facets.end(), rng);
    ASSERT_GE(facets.size(), 300u);

    for (int n : {1, 7, 10, 32}) {
        G3FacetPlaneHash hash(n);
        for (const FacetPtr& f : facets) {
            G3FacetPlaneHashItem* item = hash.Add(f.get());
            if (item) {
                EXPECT_TRUE(item->GetGroup()->contains(f.get()));
            }
        }
        // Each facet in exactly one group; every entry of a group refers to
        // its owner.
        std::map<const G3Facet*, const GArrayCollection*> groupOf;
        for (G3FacetPlaneHashItem* item : AllItems(hash)) {
            if (item->IsCopy()) {
                EXPECT_FALSE(item->GetFirstItem()->IsCopy());
                EXPECT_EQ(item->GetGroup(), item->GetFirstItem()->GetGroup());
                continue;
            }
            for (G3Facet* f : Members(item->GetGroup()))
                EXPECT_TRUE(groupOf.emplace(f, item->GetGroup()).second) << "facet in two groups";
        }
        ASSERT_EQ(groupOf.size(), facets.size()) << n;
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < facets.size(); ++i)
            for (std::size_t j = 0; j < facets.size(); ++j) {
                const bool equal = facets[i]->PlaneEquals(facets[j]->GetPlane());
                const bool together = groupOf[facets[i].get()] == groupOf[facets[j].get()];
                if (equal != together)
                    ++mismatches;
            }
        EXPECT_EQ(mismatches, 0u) << n;
        // One group per base plane: every perturbed repetition joined one.
        std::set<const GArrayCollection*> groups;
        for (const auto& entry : groupOf)
            groups.insert(entry.second);
        EXPECT_EQ(groups.size(), bases.size()) << n;
    }
}
