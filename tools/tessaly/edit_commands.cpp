#include "edit_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "arguments.h"
#include "mesh_formats.h"
#include "tessaly/surface.h"
#include "tessaly/surface_edit.h"

namespace {
constexpr int kFailed = 1;

struct CheckName {
    int bit;
    const char* words;
};
const CheckName kChecks[] = {
    {G3CHECK_CROSSING_FACETS, "facets crossing each other"},
    {G3CHECK_SHORT_EDGE, "edges shorter than 1e-6"},
    {G3CHECK_SELF_CROSSING, "facet contours crossing themselves (bow ties)"},
    {G3CHECK_SHORT_CONTOUR, "facet contours of fewer than 3 edges"},
};

// m = m * step (the step applied after what m holds).
void Then(double m[4][4], double step[4][4])
{
    double out[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            out[i][j] = 0;
            for (int k = 0; k < 4; ++k)
                out[i][j] += m[i][k] * step[k][j];
        }
    std::memcpy(m, out, sizeof(out));
}

// Reads one step at argv[at]; at moves past it. False with a message.
bool ReadStep(int argc, char** argv, int& at, double step[4][4], std::string& error)
{
    const std::string flag = argv[at];
    const int left = argc - at - 1;
    double v[16];
    M4Identity(step);
    if (flag == "--matrix" && left >= 16 && ParseFiniteList(argv + at + 1, 16, v, error)) {
        for (int k = 0; k < 16; ++k)
            step[k / 4][k % 4] = v[k];
        at += 17;
        return true;
    }
    if (flag == "--translate" && left >= 3 && ParseFiniteList(argv + at + 1, 3, v, error)) {
        M4Translate(step, v[0], v[1], v[2]);
        at += 4;
        return true;
    }
    if (flag == "--rotate" && left >= 4 && ParseFiniteList(argv + at + 1, 4, v, error)) {
        // Counter-clockwise about the axis (the builder turns the other way).
        if (!M4RotationMatrix(-v[3] * M_PI / 180.0, v[0], v[1], v[2], step)) {
            error = "the rotation axis has no length";
            return false;
        }
        at += 5;
        return true;
    }
    if (flag == "--scale") {
        const bool three = left >= 3 && ParseFinite(argv[at + 1], v[0]) && ParseFinite(argv[at + 2], v[1]) &&
            ParseFinite(argv[at + 3], v[2]);
        if (!three && !(left >= 1 && ParseFinite(argv[at + 1], v[0]))) {
            error = "--scale needs S or SX SY SZ (finite numbers)";
            return false;
        }
        if (!three)
            v[1] = v[2] = v[0];
        M4Scale(step, v[0], v[1], v[2]);
        at += three ? 4 : 2;
        return true;
    }
    if (error.empty())
        error = "expected --matrix (16 numbers), --translate X Y Z, --rotate AX AY AZ DEGREES or --scale, not " + flag;
    return false;
}

double Det3(double m[4][4])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
        m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}
} // namespace

int RunCheck(const std::string& file, std::string& error)
{
    G3Surface s;
    if (!ReadMesh(file, &s, error))
        return kFailed;
    if (s.GetFacetCount() == 0) {
        error = "the body has no facets to check";
        return kFailed;
    }
    s.FormPlaneEquation();
    G3SurfaceEdit edit(&s);
    int report = 0;
    const bool passes = edit.CheckSurface(G3CHECK_ALL, report);
    for (const CheckName& check : kChecks)
        std::printf("%-48s %s\n", check.words, (report & check.bit) ? "FOUND" : "none");
    std::printf("%s\n", passes ? "ok" : "failures found");
    return passes ? 0 : kCheckFoundFailures;
}

int RunTransform(int argc, char** argv, std::string& error)
{
    if (argc < 6) {
        error =
            "usage: tessaly transform IN OUT (--matrix ... | --translate X Y Z | --rotate AX AY AZ DEG | --scale S)";
        return kFailed;
    }
    double m[4][4];
    M4Identity(m);
    for (int at = 4; at < argc;) {
        double step[4][4];
        if (!ReadStep(argc, argv, at, step, error))
            return kFailed;
        Then(m, step);
    }
    if (!(std::fabs(Det3(m)) > 0)) {
        error = "the transformation flattens the body (its 3x3 part is singular)";
        return kFailed;
    }
    G3Surface s;
    if (!ReadMesh(argv[2], &s, error))
        return kFailed;
    s.RealTransformation(m);
    if (!WriteMesh(argv[3], &s, error))
        return kFailed;
    GEnvelope box;
    if (s.FormEnvelope(&box))
        std::printf("envelope %.17g %.17g %.17g  %.17g %.17g %.17g\n", box.GetMinX(), box.GetMinY(), box.GetMinZ(),
                    box.GetMaxX(), box.GetMaxY(), box.GetMaxZ());
    return 0;
}
