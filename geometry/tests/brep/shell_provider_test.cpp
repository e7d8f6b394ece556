// The shell announces elements joining and leaving it to its provider.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tessaly/surface.h"
#include "test_bodies.h"

namespace {
class Recorder : public G3ShellExDataProvider {
public:
    std::string log;
    void OpenExDataVertex(G3Vertex*) override { log += "V"; }
    void CloseExDataVertex(G3Vertex*) override { log += "v"; }
    void OpenExDataEdge(G3Edge*) override { log += "E"; }
    void CloseExDataEdge(G3Edge*) override { log += "e"; }
    void OpenExDataFacet(G3Facet*) override { log += "F"; }
    void CloseExDataFacet(G3Facet*) override { log += "f"; }
    bool IsExDataVertex() override { return true; }
    bool IsExDataFacet() override { return true; }
};
} // namespace

TEST(ShellProvider, ElementsAreAnnouncedWhenTheyJoinAndLeave)
{
    G3Surface s(3, 0);
    auto* recorder = new Recorder;
    s.SetExDataProvider(recorder);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Facet* f = s.AddFacet(3, v, 1, nullptr, nullptr);
    EXPECT_EQ(recorder->log, "VVVEEEF");
    recorder->log.clear();
    s.RemoveFacet(f);
    s.RemoveUnused();
    EXPECT_EQ(recorder->log, "feeevvv");
    s.AddVertex(5, 5, 5);
    recorder->log.clear();
    s.OpenExData(); // kinds the provider keeps: vertices and facets only
    EXPECT_EQ(recorder->log, "V");
    s.CloseExData();
    EXPECT_EQ(recorder->log, "Vv");
    s.RemoveExDataProvider();
    EXPECT_EQ(s.GetExDataProvider(), nullptr);
}

TEST(ShellProvider, CopyAnnouncesEveryCopiedElement)
{
    G3Surface* cube = MakeCube();
    G3Surface copy;
    auto* recorder = new Recorder;
    copy.SetExDataProvider(recorder);
    copy.Copy(cube);
    EXPECT_EQ(std::count(recorder->log.begin(), recorder->log.end(), 'V'), 8);
    EXPECT_EQ(std::count(recorder->log.begin(), recorder->log.end(), 'E'), 12);
    EXPECT_EQ(std::count(recorder->log.begin(), recorder->log.end(), 'F'), 6);
    copy.RemoveExDataProvider();
    delete cube;
}

TEST(ShellProvider, PolyEdgesShareTheShellsVertexArray)
{
    G3Surface s(4, 0);
    G3Vertex* v[4] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(1, 1, 0), s.AddVertex(0, 1, 0)};
    G3PolyEdge* a = s.AddPolyEdge(3, v);
    int indices[2] = {3, 0};
    G3PolyEdge* b = s.AddPolyEdge(2, indices);
    int bad[2] = {0, 9};
    EXPECT_EQ(s.AddPolyEdge(2, bad), nullptr);
    ASSERT_NE(b, nullptr);
    G3Vertex *p, *q;
    b->GetEdge(s.GetPolyEdgeVertices(), 1, &p, &q);
    EXPECT_EQ(p, v[0]);
    EXPECT_EQ(q, v[3]);
    a->GetEdge(s.GetPolyEdgeVertices(), 2, &p, &q);
    EXPECT_EQ(p, v[2]);
    EXPECT_EQ(q, v[0]);
    // Vertices used only by poly-edges are in use.
    EXPECT_EQ(s.RemoveUnused(), 0);
    EXPECT_EQ(s.GetPolyEdgeCount(), 2);
}
