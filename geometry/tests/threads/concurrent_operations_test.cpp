// Booleans, slices, repair and triangulation run on bodies of their own in
// several threads at once give exactly what they give alone.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "tessaly/boolean.h"
#include "tessaly/surface.h"
#include "test_bodies.h"

namespace {
// What one round of operations leaves, to compare between threads.
struct Outcome {
    double differenceVolume = 0;
    int differenceFacets = 0;
    double frontVolume = 0;
    int repairedVertices = 0;
    int triangles = 0;

    bool operator==(const Outcome& o) const
    {
        return differenceVolume == o.differenceVolume && differenceFacets == o.differenceFacets &&
            frontVolume == o.frontVolume && repairedVertices == o.repairedVertices && triangles == o.triangles;
    }
};

void Move(G3Surface* s, double dx)
{
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        const double* p = s->GetVertex(k)->GetXYZ();
        s->GetVertex(k)->Set(p[0] + dx, p[1], p[2]);
    }
    s->FormPlaneEquation();
}

Outcome Round()
{
    Outcome out;
    G3BooleanCalculator calc;
    G3Surface* a = MakeSphere(12, 24);
    G3Surface* b = MakeSphere(12, 24);
    Move(b, 0.7);
    std::unique_ptr<G3Surface> difference(calc.Sub(a, b));
    if (difference) {
        out.differenceVolume = difference->GetVolume();
        out.differenceFacets = difference->GetFacetCount();
    }
    double plane[4] = {0, 0, 1, -0.25};
    G3Surface *front = nullptr, *back = nullptr;
    calc.Slice(MakeSphere(10, 20), plane, true, &front, &back, true);
    std::unique_ptr<G3Surface> frontOwner(front), backOwner(back);
    if (front)
        out.frontVolume = front->GetVolume();

    // A cube whose corners are repeated per facet: the weld joins them.
    std::unique_ptr<G3Surface> cube(MakeCube(2.0));
    G3Surface soup;
    for (int f = 0; f < cube->GetFacetCount(); ++f) {
        std::vector<G3Vertex*> corners;
        for (G3Edge* e = cube->GetFacet(f)->GetFirstEdge(); e; e = cube->GetFacet(f)->GetNextEdge(e)) {
            const bool forward = cube->GetFacet(f)->GetMoveDirection(e);
            corners.push_back(soup.AddVertex((forward ? e->GetVertex1() : e->GetVertex2())->GetXYZ()));
        }
        soup.AddFacet(static_cast<int>(corners.size()), corners.data(), 1, nullptr, nullptr);
    }
    soup.Update(CHECK_LEVEL_1001);
    out.repairedVertices = soup.GetVertexCount();

    std::unique_ptr<G3Surface> sphere(MakeSphere(16, 32));
    sphere->Triangulate(4, 0);
    out.triangles = sphere->GetFacetCount();
    return out;
}
} // namespace

TEST(Threads, IndependentOperationsGiveTheSameBodiesInEveryThread)
{
    const Outcome alone = Round();
    ASSERT_GT(alone.differenceVolume, 0);
    ASSERT_GT(alone.frontVolume, 0);
    ASSERT_EQ(alone.repairedVertices, 8);
    ASSERT_GT(alone.triangles, 0);
    constexpr int kThreads = 4;
    constexpr int kRounds = 3;
    std::vector<Outcome> seen(kThreads * kRounds);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &seen] {
            for (int r = 0; r < kRounds; ++r)
                seen[static_cast<std::size_t>(t * kRounds + r)] = Round();
        });
    for (std::thread& t : threads)
        t.join();
    for (const Outcome& o : seen)
        EXPECT_TRUE(o == alone);
}
