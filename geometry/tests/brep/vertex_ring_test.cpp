// The ring of edges around a vertex against a std::list model.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>
#include <vector>

#include "tessaly/elements.h"

namespace {

std::vector<G3Edge*> RingOf(G3Vertex* v)
{
    std::vector<G3Edge*> ring;
    G3VertexEdgeIterator it(v);
    while (it.hasNext())
        ring.push_back(static_cast<G3Edge*>(it.next()));
    return ring;
}

} // namespace

TEST(VertexRing, RandomAddAndRemoveMatchesAListModel)
{
    std::mt19937 rng(11);
    G3Vertex centre(0, 0, 0);
    std::vector<G3Vertex*> others;
    std::vector<G3Edge*> edges;
    for (int i = 0; i < 24; ++i) {
        others.push_back(new G3Vertex(i + 1.0, 0, 0));
        // Alternate which end the centre is, so both link sides are used.
        edges.push_back(i % 2 ? new G3Edge(&centre, others.back()) : new G3Edge(others.back(), &centre));
    }
    std::list<G3Edge*> model;
    for (int step = 0; step < 3000; ++step) {
        G3Edge* e = edges[rng() % edges.size()];
        bool inRing = std::find(model.begin(), model.end(), e) != model.end();
        if (!inRing) {
            ASSERT_TRUE(centre.AddEdge(e));
            model.push_back(e);
        } else {
            ASSERT_TRUE(centre.RemoveEdge(e));
            model.remove(e);
            // An unlinked edge has no link on the centre's side any more.
            ASSERT_EQ(e->GetVertexNext(&centre), nullptr);
        }
        ASSERT_EQ(RingOf(&centre), std::vector<G3Edge*>(model.begin(), model.end()));
        ASSERT_EQ(centre.GetEdgeCount(), static_cast<int>(model.size()));
        ASSERT_EQ(centre.GetFirstEdge(), model.empty() ? nullptr : model.front());
        ASSERT_EQ(centre.GetLastEdge(), model.empty() ? nullptr : model.back());
        if (!model.empty()) {
            // The last edge's link on the centre's side ends the ring.
            ASSERT_EQ(model.back()->GetVertexNext(&centre), nullptr);
        }
    }
    // The vertex iterator yields the far ends in ring order.
    std::vector<GObj*> far;
    G3VertexVertexIterator vi(&centre);
    while (vi.hasNext())
        far.push_back(vi.next());
    std::vector<GObj*> expected;
    for (G3Edge* e : model)
        expected.push_back(e->GetOtherVertex(&centre));
    EXPECT_EQ(far, expected);
    std::vector<G3Edge*> array(model.size());
    EXPECT_EQ(centre.GetEdges(array.data()), static_cast<int>(model.size()));
    EXPECT_EQ(array, std::vector<G3Edge*>(model.begin(), model.end()));

    for (G3Edge* e : edges)
        delete e;
    for (G3Vertex* v : others)
        delete v;
}

TEST(VertexRing, RemovingMiddleOnlyAndAbsentEdges)
{
    G3Vertex v(0, 0, 0), a(1, 0, 0), b(0, 1, 0), c(0, 0, 1);
    G3Edge ea(&v, &a), eb(&b, &v), ec(&v, &c), stranger(&a, &b);
    v.AddEdge(&ea);
    v.AddEdge(&eb);
    v.AddEdge(&ec);
    EXPECT_TRUE(v.RemoveEdge(&eb));
    EXPECT_EQ(RingOf(&v), (std::vector<G3Edge*>{&ea, &ec}));
    EXPECT_EQ(v.GetFirstEdge(), &ea);
    EXPECT_EQ(v.GetLastEdge(), &ec);
    EXPECT_FALSE(v.RemoveEdge(&stranger));
    EXPECT_EQ(v.GetEdgeCount(), 2);
    EXPECT_TRUE(v.RemoveEdge(&ea));
    EXPECT_TRUE(v.RemoveEdge(&ec));
    EXPECT_EQ(v.GetFirstEdge(), nullptr);
    EXPECT_EQ(v.GetLastEdge(), nullptr);
    EXPECT_FALSE(v.HasEdges());
}

TEST(VertexRing, EdgesWithTheSameVertexAtBothEndsAreRefused)
{
    G3Vertex v(0, 0, 0), other(1, 1, 1);
    G3Edge loop(&v, &v), foreign(&other, &other);
    EXPECT_FALSE(v.AddEdge(&loop));
    EXPECT_FALSE(v.AddEdge(&foreign));
    EXPECT_FALSE(v.HasEdges());
    EXPECT_EQ(v.GetEdgeCount(), 0);
}

TEST(VertexRing, EdgeCountsTowardsANeighbour)
{
    G3Vertex v(0, 0, 0), w(1, 0, 0), x(0, 1, 0);
    G3Edge e1(&v, &w), e2(&w, &v), e3(&v, &x);
    for (G3Edge* e : {&e1, &e2, &e3})
        v.AddEdge(e);
    GArrayCollection found(4, 4);
    v.GetEdges(&w, &found);
    EXPECT_EQ(found.size(), 2);
    EXPECT_EQ(v.GetEdgeCount(&w), 0); // no facet sides yet
    EXPECT_DOUBLE_EQ(v.Distance(&w), 1.0);
}
