// VRML export: golden text, positions after removals, missing normals,
// concave facets and facets with holes.
#include <gtest/gtest.h>

#include <string>

#include "temp_dir.h"
#include "tessaly/surface.h"
#include "test_bodies.h"

namespace {
std::string Export(G3Surface* s, const std::string& path)
{
    FILE* file = nullptr;
    EXPECT_TRUE(G3Surface::VRMLWriteBegin(path.c_str(), &file));
    double rgb[3] = {1, 0.5, 0};
    EXPECT_TRUE(G3Surface::VRMLWrite(file, s, rgb));
    EXPECT_TRUE(G3Surface::VRMLWriteEnd(file));
    return ReadText(path);
}

const char* kTriangle =
    "#VRML V2.0 utf8\nNavigationInfo {\nheadlight FALSE\ntype \"WALK\"\nspeed 1\n}\n"
    "Shape {\nappearance Appearance {\nmaterial Material {\nambientIntensity 0\n"
    "diffuseColor 1.000000 0.500000 0.000000\nemissiveColor 0 0 0\nspecularColor 0 0 0\nshininess 0\n"
    "transparency 0\n}\n}\ngeometry IndexedFaceSet {\nconvex TRUE\nsolid FALSE\ncreaseAngle 0\n"
    "coord Coordinate {\npoint[\n0.0000 0.0000 0.0000,\n1.0000 0.0000 0.0000,\n0.0000 1.0000 0.0000,\n]\n}\n"
    "coordIndex [\n0,1,2,-1\n]\n\n}\n}\n";
} // namespace

TEST(Vrml, TriangleMatchesTheGoldenText)
{
    TempDir dir;
    G3Surface s(3, 0);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    s.AddFacet(3, v, 1, nullptr, nullptr);
    EXPECT_EQ(Export(&s, dir.File("t.wrl")), kTriangle);
}

TEST(Vrml, NormalsAreWrittenOnlyWhenEveryVertexHasOne)
{
    TempDir dir;
    G3Surface s(3, 1);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    G3Facet* f = s.AddFacet(3, v, 1, nullptr, nullptr);
    G3Normal* n = s.AddNormal(0, 0, 1);
    f->SetNormal(v[0], n, nullptr, false);
    f->SetNormal(v[1], n, nullptr, false);
    // v[2] has none: no normal block (and no null dereference).
    EXPECT_EQ(Export(&s, dir.File("a.wrl")).find("normal Normal"), std::string::npos);
    f->SetNormal(v[2], n, nullptr, false);
    std::string text = Export(&s, dir.File("b.wrl"));
    EXPECT_NE(text.find("vector [\n0.000000 0.000000 1.000000,\n]"), std::string::npos);
    EXPECT_NE(text.find("normalIndex [\n0,0,0,-1\n]\nnormalPerVertex TRUE\n"), std::string::npos);
}

TEST(Vrml, IndicesArePositionsAfterRemovals)
{
    TempDir dir;
    G3Surface s(4, 0);
    G3Vertex* gone = s.AddVertex(9, 9, 9);
    G3Vertex* v[3] = {s.AddVertex(0, 0, 0), s.AddVertex(1, 0, 0), s.AddVertex(0, 1, 0)};
    s.AddFacet(3, v, 1, nullptr, nullptr);
    ASSERT_TRUE(s.RemoveVertex(gone)); // the last vertex moves to position 0
    std::string text = Export(&s, dir.File("t.wrl"));
    EXPECT_NE(text.find("point[\n0.0000 1.0000 0.0000,\n0.0000 0.0000 0.0000,\n1.0000 0.0000 0.0000,\n]"),
              std::string::npos);
    EXPECT_NE(text.find("coordIndex [\n1,2,0,-1\n]"), std::string::npos);
    EXPECT_EQ(v[2]->GetId(), 3); // ids untouched
}

TEST(Vrml, ConcaveFacetsAndHolesAreFlagged)
{
    TempDir dir;
    G3Surface* cube = MakeCubeWithBridgedHole();
    std::string text = Export(cube, dir.File("c.wrl"));
    EXPECT_NE(text.find("convex FALSE"), std::string::npos);
    // The top facet's bridged loop: 4 outer, bridge, 4 hole, bridge back.
    EXPECT_NE(text.find("4,5,7,6,4,8,14,12,10,8,-1"), std::string::npos) << text;
    delete cube;
    G3Surface* convex = MakeCube();
    EXPECT_NE(Export(convex, dir.File("d.wrl")).find("convex TRUE"), std::string::npos);
    delete convex;
    EXPECT_FALSE(G3Surface::VRMLWrite(nullptr, convex, nullptr));
    EXPECT_FALSE(G3Surface::VRMLWriteEnd(nullptr));
    FILE* file = nullptr;
    EXPECT_FALSE(G3Surface::VRMLWriteBegin(dir.File("no/such.wrl").c_str(), &file));
}
