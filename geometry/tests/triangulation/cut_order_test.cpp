// The triangulator's own sort and median selection against the standard
// algorithms with the same order, on inputs that stress the partitioning:
// random, sorted, reversed, organ pipe, few distinct coordinates (ties
// settled by y, then by the vertex index) and exact duplicates.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "triangulation/cut_order.h"

using g3t_cut::Item;

namespace {

struct Case {
    std::string name;
    std::function<void(int i, int n, std::mt19937_64& rng, double& x, double& y)> point;
};

std::vector<Case> Cases()
{
    std::uniform_real_distribution<double> unit(0, 1);
    return {
        {"random", [unit](int, int, std::mt19937_64& r, double& x, double& y) mutable { x = unit(r), y = unit(r); }},
        {"sorted", [](int i, int, std::mt19937_64&, double& x, double& y) { x = i, y = -i; }},
        {"reversed", [](int i, int n, std::mt19937_64&, double& x, double& y) { x = n - i, y = i; }},
        {"organ pipe", [](int i, int n, std::mt19937_64&, double& x, double& y) { x = std::min(i, n - i), y = i % 7; }},
        {"lattice", [](int i, int, std::mt19937_64&, double& x, double& y) { x = i % 13, y = i / 13; }},
        {"few values", [](int, int, std::mt19937_64& r, double& x, double& y) { x = r() % 3, y = r() % 3; }},
        {"one point", [](int, int, std::mt19937_64&, double& x, double& y) { x = 1, y = 2; }},
    };
}

struct Input {
    G3TMesh mesh;
    std::vector<Item> items;
};

// The vertices are made in a shuffled order, so that the index (the last
// tie-break) does not follow the position.
void Fill(Input& in, const Case& c, int n, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::vector<std::pair<double, double>> points(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        c.point(i, n, rng, points[static_cast<std::size_t>(i)].first, points[static_cast<std::size_t>(i)].second);
    std::vector<G3TVertex*> vertices(points.size());
    std::vector<std::size_t> made(points.size());
    for (std::size_t i = 0; i < made.size(); ++i)
        made[i] = i;
    std::shuffle(made.begin(), made.end(), rng);
    for (std::size_t i : made)
        vertices[i] = in.mesh.AddVertex(points[i].first, points[i].second);
    for (std::size_t i = 0; i < points.size(); ++i)
        in.items.push_back(Item{points[i].first, points[i].second, vertices[i]});
}

std::vector<G3TVertex*> Vertices(const std::vector<Item>& items)
{
    std::vector<G3TVertex*> v;
    for (const Item& it : items)
        v.push_back(it.v);
    return v;
}

template <int Axis> void CheckAxis(const Case& c, int n, unsigned seed)
{
    SCOPED_TRACE(c.name + ", " + std::to_string(n) + " items, axis " + std::to_string(Axis));
    Input in;
    Fill(in, c, n, seed);
    std::vector<Item> expected = in.items;
    std::sort(expected.begin(), expected.end(), g3t_cut::ItemLess<Axis>());

    std::vector<Item> sorted = in.items;
    g3t_cut::SortItems<Axis>(sorted.data(), sorted.data() + sorted.size());
    EXPECT_EQ(Vertices(sorted), Vertices(expected));

    for (std::size_t nth : {std::size_t(0), in.items.size() / 2, in.items.size() - 1}) {
        std::vector<Item> selected = in.items;
        Item* first = selected.data();
        g3t_cut::SelectItem<Axis>(first, first + nth, first + selected.size());
        ASSERT_EQ(selected[nth].v, expected[nth].v) << "item " << nth;
        std::vector<Item> before(selected.begin(), selected.begin() + static_cast<std::ptrdiff_t>(nth));
        std::vector<Item> after(selected.begin() + static_cast<std::ptrdiff_t>(nth) + 1, selected.end());
        std::sort(before.begin(), before.end(), g3t_cut::ItemLess<Axis>());
        std::sort(after.begin(), after.end(), g3t_cut::ItemLess<Axis>());
        EXPECT_EQ(Vertices(before), Vertices(std::vector<Item>(expected.begin(), expected.begin() + before.size())));
        EXPECT_EQ(
            Vertices(after),
            Vertices(std::vector<Item>(expected.end() - static_cast<std::ptrdiff_t>(after.size()), expected.end())));
    }
}

} // namespace

TEST(CutOrder, SortAndSelectionAgreeWithTheStandardAlgorithms)
{
    unsigned seed = 1;
    for (const Case& c : Cases()) {
        for (int n : {1, 2, 3, 25, 26, 600, 5000}) {
            CheckAxis<0>(c, n, ++seed);
            CheckAxis<1>(c, n, ++seed);
        }
    }
}
