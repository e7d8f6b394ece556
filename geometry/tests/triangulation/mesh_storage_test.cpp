// The mesh's compact storage: list order and slot reuse across many
// blocks, side segments kept by the mesh, vertex extras and survivors, and
// the page policy, which must not change any result.
#include <gtest/gtest.h>

#include <vector>

#include "mesh_checks.h"
#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

using namespace g3t_test;

namespace {

// Enough objects to fill several storage blocks.
constexpr int kMany = 3000;

std::vector<G3TTriangle*> Forward(const G3TMesh& mesh)
{
    std::vector<G3TTriangle*> list;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext())
        list.push_back(t);
    return list;
}

std::vector<G3TTriangle*> Backward(const G3TMesh& mesh)
{
    std::vector<G3TTriangle*> list;
    G3TTriangle* last = mesh.FirstTriangle();
    for (G3TTriangle* t = last; t; t = t->GetNext())
        last = t;
    for (G3TTriangle* t = last; t; t = t->GetPrev())
        list.insert(list.begin(), t);
    return list;
}

} // namespace

TEST(MeshStorage, ListOrderIsCreationOrderAcrossBlocks)
{
    G3TMesh mesh;
    G3TVertex* a = mesh.AddVertex(0, 0);
    std::vector<G3TTriangle*> made;
    for (int i = 0; i < kMany; ++i)
        made.push_back(mesh.AddTriangle(a, nullptr, nullptr));
    EXPECT_EQ(Forward(mesh), made);
    EXPECT_EQ(Backward(mesh), made);
    EXPECT_EQ(mesh.GetTriangleCount(), kMany);

    // Remove every third triangle, including whole runs at block ends.
    std::vector<G3TTriangle*> kept;
    for (int i = 0; i < kMany; ++i) {
        if (i % 3 == 0)
            ASSERT_TRUE(mesh.RemoveTriangle(made[static_cast<std::size_t>(i)]));
        else
            kept.push_back(made[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(Forward(mesh), kept);
    EXPECT_EQ(Backward(mesh), kept);
    EXPECT_FALSE(mesh.RemoveTriangle(made[0])); // already removed

    // New triangles take the freed slots, so no new storage is needed.
    for (int i = 0; i < kMany / 3; ++i) {
        G3TTriangle* t = mesh.AddTriangle(a, nullptr, nullptr);
        bool reused = false;
        for (int j = 0; j < kMany; j += 3)
            reused = reused || made[static_cast<std::size_t>(j)] == t;
        ASSERT_TRUE(reused) << "triangle " << i;
    }
    EXPECT_EQ(mesh.GetTriangleCount(), kMany);
    EXPECT_EQ(Forward(mesh).size(), static_cast<std::size_t>(kMany));
}

TEST(MeshStorage, VertexListAndRemoval)
{
    G3TMesh mesh;
    std::vector<G3TVertex*> made;
    for (int i = 0; i < kMany; ++i)
        made.push_back(mesh.AddVertex(i, -i));
    std::vector<G3TVertex*> listed;
    ASSERT_TRUE(mesh.GetVertices(&listed));
    EXPECT_EQ(listed, made);
    EXPECT_EQ(made.back()->GetIndex(), kMany - 1);
    EXPECT_EQ(made[1]->GetPrev(), made[0]);
    EXPECT_EQ(made[0]->GetPrev(), nullptr);
    EXPECT_EQ(made.back()->GetNext(), nullptr);
    ASSERT_TRUE(mesh.RemoveVertex(made[1]));
    EXPECT_EQ(made[0]->GetNext(), made[2]);
    EXPECT_EQ(mesh.GetVertexCount(), kMany - 1);
    G3TVertex* again = mesh.AddVertex(5, 5);
    EXPECT_EQ(again, made[1]); // the freed slot
    EXPECT_EQ(again->GetIndex(), kMany);
    EXPECT_EQ(again->GetMesh(), &mesh);
}

TEST(MeshStorage, VertexExtras)
{
    G3TMesh mesh;
    G3TVertex* a = mesh.AddVertex(0, 0);
    G3TVertex* b = mesh.AddVertex(1, 0);
    // Defaults before anything is set.
    EXPECT_EQ(a->GetHeight(), 0.0);
    EXPECT_EQ(a->GetSurvivor(), a);
    EXPECT_FALSE(a->IsDuplicate());
    EXPECT_EQ(a->GetSurfaceVertex(), nullptr);
    EXPECT_EQ(a->GetExData(), nullptr);

    a->SetHeight(2.5);
    b->SetHeight(-1.0);
    b->SetSurvivor(a);
    G3TMesh other; // an object to point at
    b->SetExData(&other);
    EXPECT_EQ(a->GetHeight(), 2.5);
    EXPECT_EQ(b->GetHeight(), -1.0);
    EXPECT_TRUE(b->IsDuplicate());
    EXPECT_EQ(b->GetSurvivor(), a);
    EXPECT_EQ(b->GetExData(), &other);

    // Copy takes position, height, mark, survivor and links.
    G3TVertex* c = mesh.AddVertex(7, 7);
    b->SetMark(3);
    c->Copy(b);
    EXPECT_EQ(c->GetX(), 1.0);
    EXPECT_EQ(c->GetHeight(), -1.0);
    EXPECT_EQ(c->GetMark(), 3);
    EXPECT_EQ(c->GetSurvivor(), a);
    EXPECT_EQ(c->GetExData(), &other);
    EXPECT_EQ(c->GetIndex(), 2);

    b->SetSurvivor(nullptr);
    EXPECT_FALSE(b->IsDuplicate());
    ASSERT_TRUE(mesh.RemoveVertex(c));
    G3TVertex* d = mesh.AddVertex(8, 8); // the slot of c, fresh extras
    EXPECT_EQ(d->GetHeight(), 0.0);
    EXPECT_FALSE(d->IsDuplicate());
    EXPECT_EQ(d->GetExData(), nullptr);

    // A vertex outside any mesh keeps nothing and reports the defaults.
    G3TVertex free;
    free.SetHeight(4.0);
    free.SetExData(&other);
    EXPECT_EQ(free.GetMesh(), nullptr);
    EXPECT_EQ(free.GetHeight(), 0.0);
    EXPECT_EQ(free.GetExData(), nullptr);
    EXPECT_EQ(free.GetSurvivor(), &free);
    EXPECT_EQ(free.GetNext(), nullptr);
}

TEST(MeshStorage, SideSegmentsFollowTheirSide)
{
    G3TMesh mesh;
    G3TVertex* a = mesh.AddVertex(0, 0);
    G3TVertex* b = mesh.AddVertex(1, 0);
    G3TVertex* c = mesh.AddVertex(0, 1);
    G3TTriangle* t = mesh.AddTriangle(a, b, c); // corners c, a, b
    G3TTriangle* u = mesh.AddTriangle(b, a, nullptr);
    G3TSegment* s = mesh.AddSegment(a, b);
    ASSERT_NE(s, nullptr);
    const G3TOTri side{t, 1}; // a -> b
    mesh.SetSide(side, s);
    EXPECT_TRUE(mesh.HasSegment(side));
    EXPECT_EQ(g3t::SegmentOn(side), s);
    EXPECT_EQ(g3t::SegHandleOn(side).dir, 0);
    EXPECT_EQ(s->GetTriangle(0).tri, t);
    // Rebonding the side keeps its segment; other sides have none.
    g3t::Bond(side, G3TOTri{u, 1});
    EXPECT_EQ(g3t::SegmentOn(side), s);
    EXPECT_EQ(g3t::Sym(side).tri, u);
    EXPECT_EQ(t->GetSegment(0).seg, mesh.GetOuterSegment());
    EXPECT_FALSE(mesh.HasSegment(G3TOTri{t, 2}));

    // A copy outside the mesh has the same segments while it lives.
    {
        G3TTriangle copy;
        copy.Copy(t);
        EXPECT_EQ(copy.GetSegment(1).seg, s);
        EXPECT_EQ(copy.GetNeighbour(1).tri, u);
        EXPECT_EQ(copy.GetNext(), nullptr);
    }
    EXPECT_EQ(t->GetSegment(1).seg, s);

    // Clearing the side, then removing the triangle, leaves no trace.
    mesh.SetSide(side, nullptr);
    EXPECT_FALSE(mesh.HasSegment(side));
    EXPECT_EQ(g3t::SegmentOn(side), mesh.GetOuterSegment());
    t->SetSegment(2, G3TOSeg{s, 1});
    EXPECT_EQ(t->GetSegment(2).seg, s);
    EXPECT_EQ(t->GetSegment(2).dir, 1);
    ASSERT_TRUE(mesh.RemoveTriangle(t));
    G3TTriangle* again = mesh.AddTriangle(a, b, c);
    EXPECT_EQ(again, t);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(again->GetSegment(i).seg, mesh.GetOuterSegment());
}

TEST(MeshStorage, PagePolicyDoesNotChangeResults)
{
    const std::vector<Pt> points = UniformPoints(20000, 9);
    std::vector<std::array<int, 3>> result[2];
    for (int huge = 0; huge < 2; ++huge) {
        G3TSetHugePages(huge == 1);
        Filled f(points);
        G3TTriangulator tri(&f.mesh);
        ASSERT_TRUE(tri.Triangulate());
        G3TSegmentInserter ins(&f.mesh);
        for (int i = 0; i + 1 < 200; i += 2)
            ins.Insert(f.v[static_cast<std::size_t>(i)], f.v[static_cast<std::size_t>(i + 1)]);
        EXPECT_EQ(CheckStructure(f.mesh), "");
        result[huge] = TrianglesByIndex(f.mesh);
    }
    G3TSetHugePages(true);
    EXPECT_TRUE(G3THugePages());
    EXPECT_EQ(result[0], result[1]);
    EXPECT_GT(result[0].size(), 39000u);
}
