// SurfaceCover with a facet classifier: the facets of class 0 (the terrain
// itself) get smooth shading normals over their own group, the skirts and
// bottoms none.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

#include "terrain_test_support.h"
#include "tessaly/terrain.h"

namespace {

int UpFacingIsTerrain(G3Facet* f)
{
    return f->GetPlane()[2] > 0.5 ? 0 : 1;
}

// The unit mean of the plane normals of the class-0 facets around v.
void ExpectedNormal(G3Vertex* v, double* out)
{
    std::set<G3Facet*> around;
    for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v))
        for (G3Facet* f : {e->GetFacet1(), e->GetFacet2()})
            if (f && UpFacingIsTerrain(f) == 0)
                around.insert(f);
    double sum[3] = {0, 0, 0};
    for (G3Facet* f : around)
        for (int a = 0; a < 3; ++a)
            sum[a] += f->GetPlane()[a];
    const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    for (int a = 0; a < 3; ++a)
        out[a] = sum[a] / length;
}

// Checks every facet corner; the number of corners with a shading normal.
int CheckCorners(G3Surface* s, bool classified)
{
    int shaded = 0;
    GArrayCollection vertices;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        f->GetVertices(&vertices);
        for (int i = 0; i < vertices.size(); ++i) {
            auto* v = static_cast<G3Vertex*>(vertices.get(i));
            G3TexCoo* t = nullptr;
            const G3Normal* n = v->GetNormal(f, &t);
            if (!classified || UpFacingIsTerrain(f) != 0) {
                EXPECT_EQ(n, nullptr) << "a facet outside class 0 got a shading normal";
                continue;
            }
            if (!n) {
                ADD_FAILURE() << "a terrain corner has no shading normal";
                continue;
            }
            ++shaded;
            double expected[3];
            ExpectedNormal(v, expected);
            for (int a = 0; a < 3; ++a)
                EXPECT_NEAR(n->GetXYZ()[a], expected[a], 1e-9);
        }
    }
    return shaded;
}

TEST(LandscapeSurfaceCover, ClassZeroFacetsGetSmoothNormalsAndNoOthers)
{
    // A ridge along x = 1: neighbouring facets differ in slope.
    const auto ridge = [](double x, double y) { return 1 + 0.3 * std::fabs(x - 1) + 0.1 * y; };
    for (const bool classified : {true, false}) {
        SCOPED_TRACE(classified ? "with a classifier" : "without one");
        std::unique_ptr<G3Surface> s(terrain_test::MakeGrid(2, 2, 1.0, ridge));
        G3LandscapeHandler h;
        if (classified)
            h.SetFacetClassifier(UpFacingIsTerrain);
        h.SurfaceCover(s.get());
        ASSERT_TRUE(s->GetClosed());
        const int shaded = CheckCorners(s.get(), classified);
        EXPECT_EQ(shaded, classified ? 8 * 3 : 0); // 8 terrain triangles
    }
}

} // namespace
