// The simplification adapter on a 20k-triangle sphere, and the three ways
// the kernel binds it (each in a fresh process: the binding is made once).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"
#include "tessaly/surface.h"
#include "test_bodies.h"
#include "topology_validator.h"

namespace {
double PointTriangleDistance(const double* p, const double* a, const double* b, const double* c)
{
    // Closest point on a triangle (Ericson, Real-Time Collision Detection).
    auto sub = [](const double* u, const double* v, double* w) {
        for (int k = 0; k < 3; ++k)
            w[k] = u[k] - v[k];
    };
    auto dot = [](const double* u, const double* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; };
    double ab[3], ac[3], ap[3], bp[3], cp[3], q[3];
    sub(b, a, ab);
    sub(c, a, ac);
    sub(p, a, ap);
    auto at = [&](const double* o, const double* d1, double s, const double* d2, double t) {
        for (int k = 0; k < 3; ++k)
            q[k] = o[k] + s * d1[k] + t * d2[k];
    };
    double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        at(a, ab, 0, ac, 0);
    else {
        sub(p, b, bp);
        double d3 = dot(ab, bp), d4 = dot(ac, bp);
        sub(p, c, cp);
        double d5 = dot(ab, cp), d6 = dot(ac, cp);
        double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
        if (d3 >= 0 && d4 <= d3)
            at(b, ab, 0, ac, 0);
        else if (d6 >= 0 && d5 <= d6)
            at(c, ab, 0, ac, 0);
        else if (vc <= 0 && d1 >= 0 && d3 <= 0)
            at(a, ab, d1 / (d1 - d3), ac, 0);
        else if (vb <= 0 && d2 >= 0 && d6 <= 0)
            at(a, ab, 0, ac, d2 / (d2 - d6));
        else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
            double w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
            double bc[3];
            sub(c, b, bc);
            at(b, bc, w, ab, 0);
        } else {
            double denom = 1.0 / (va + vb + vc);
            at(a, ab, vb * denom, ac, vc * denom);
        }
    }
    double d[3];
    sub(p, q, d);
    return std::sqrt(dot(d, d));
}

// The largest distance from the source's vertices to the result's
// triangles (one side of the Hausdorff distance; the other side is zero
// because every result vertex is a source vertex on the sphere).
double SourceToResult(G3Surface* source, G3Surface* result)
{
    double worst = 0;
    for (int k = 0; k < source->GetVertexCount(); k += 7) {
        const double* p = source->GetVertex(k)->GetXYZ();
        double best = 1e300;
        for (int f = 0; f < result->GetFacetCount(); ++f) {
            GArrayCollection v;
            result->GetFacet(f)->GetVertices(&v);
            best = std::min(best,
                            PointTriangleDistance(p, static_cast<G3Vertex*>(v.get(0))->GetXYZ(),
                                                  static_cast<G3Vertex*>(v.get(1))->GetXYZ(),
                                                  static_cast<G3Vertex*>(v.get(2))->GetXYZ()));
        }
        worst = std::max(worst, best);
    }
    return worst;
}

std::string LoadedPath(const char* fileName)
{
    struct Search {
        const char* name;
        std::string path;
    } search{fileName, ""};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            const char* slash = info->dlpi_name ? std::strrchr(info->dlpi_name, '/') : nullptr;
            if (slash && std::strcmp(slash + 1, s->name) == 0) {
                s->path = info->dlpi_name;
                return 1;
            }
            return 0;
        },
        &search);
    return search.path;
}

// Exits 0 when a small cube simplifies (non-null) and the adapter came
// from expectedDirectory (any when empty); 1 otherwise; 2 when null.
void SimplifyAndExit(const std::string& expectedDirectory)
{
    G3Surface* cube = MakeCube();
    QSLIM_RES res;
    G3Surface* result = G3Surface::QSlimSimplifier(cube, CHECK_LEVEL_1001, 1.0, QSLIM_TYPE_QUADRIC, res, nullptr);
    if (!result)
        std::exit(res.status == QSLIM_NO_ADAPTER ? 2 : 3);
    std::string loaded = LoadedPath("libSimplexa.so");
    bool where = expectedDirectory.empty() || loaded.rfind(expectedDirectory, 0) == 0;
    std::exit(where && res.status == QSLIM_OK ? 0 : 1);
}
// In-process tests load the adapter first, as a host that ships it would.
void LoadAdapter()
{
    ASSERT_NE(dlopen(SIMPLEXA_PATH, RTLD_NOW | RTLD_LOCAL), nullptr) << dlerror();
}
} // namespace

TEST(Simplexa, SphereToTenPercentStaysValidAndClose)
{
    LoadAdapter();
    G3Surface* sphere = MakeSphere(70, 144);
    ASSERT_EQ(ValidateTopology(sphere), "");
    ASSERT_GT(sphere->GetFacetCount(), 20000);
    QSLIM_RES res;
    G3Surface* result = G3Surface::QSlimSimplifier(sphere, CHECK_LEVEL_1001, 0.1, QSLIM_TYPE_QUADRIC, res, nullptr);
    ASSERT_NE(result, nullptr) << "status " << res.status;
    EXPECT_EQ(res.status, QSLIM_OK);
    EXPECT_EQ(res.sourceTriangles, sphere->GetFacetCount());
    EXPECT_EQ(res.targetTriangles, 2016);
    EXPECT_LE(result->GetFacetCount(), 2016);
    EXPECT_GE(result->GetFacetCount(), 1500);
    EXPECT_EQ(ValidateTopology(result), "");
    EXPECT_EQ(EulerCharacteristic(result), 2);
    for (int k = 0; k < result->GetVertexCount(); ++k) {
        const double* p = result->GetVertex(k)->GetXYZ();
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1.0, 1e-12);
    }
    EXPECT_LT(SourceToResult(sphere, result), 0.03);
    delete result;
    delete sphere;
}

TEST(Simplexa, BadTargetsAndCancellationGiveNull)
{
    LoadAdapter();
    G3Surface* cube = MakeCube();
    QSLIM_RES res;
    EXPECT_EQ(G3Surface::QSlimSimplifier(cube, CHECK_LEVEL_1001, 1.5, QSLIM_TYPE_QUADRIC, res, nullptr), nullptr);
    EXPECT_EQ(res.status, QSLIM_BAD_INPUT);
    EXPECT_EQ(G3Surface::QSlimSimplifier(nullptr, CHECK_LEVEL_1001, 10, QSLIM_TYPE_QUADRIC, res, nullptr), nullptr);
    struct Stop : QSLIMCommandsBase {
        bool Progress(double) override { return false; }
    } stop;
    EXPECT_EQ(G3Surface::QSlimSimplifier(cube, CHECK_LEVEL_1001, 4, QSLIM_TYPE_QUADRIC_BORDER, res, &stop), nullptr);
    EXPECT_EQ(res.status, QSLIM_CANCELLED);
    G3Surface* same = G3Surface::QSlimSimplifier(cube, CHECK_LEVEL_1001, 12, QSLIM_TYPE_QUADRIC, res, nullptr);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(ValidateTopology(same), "");
    delete same;
    delete cube;
}

class SimplexaBinding : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(SimplexaBinding, FoundBesideFerrox16)
{
    TempDir dir;
    std::filesystem::copy_file(FERROX16_PATH, dir.File("libFerrox16.so"));
    std::filesystem::copy_file(SIMPLEXA_PATH, dir.File("libSimplexa.so"));
    std::string where = dir.Path() + "/";
    EXPECT_EXIT(
        {
            if (!dlopen(dir.File("libFerrox16.so").c_str(), RTLD_NOW | RTLD_LOCAL))
                std::exit(4);
            SimplifyAndExit(where);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(SimplexaBinding, FoundWhenAlreadyLoaded)
{
    EXPECT_EXIT(
        {
            if (!dlopen(SIMPLEXA_PATH, RTLD_NOW | RTLD_LOCAL))
                std::exit(4);
            SimplifyAndExit(std::filesystem::path(SIMPLEXA_PATH).parent_path().string());
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(SimplexaBinding, NullWhenMissing)
{
    EXPECT_EXIT(SimplifyAndExit(""), testing::ExitedWithCode(2), "");
}
