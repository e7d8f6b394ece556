#include "slice_commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "arguments.h"
#include "mesh_formats.h"
#include "tessaly/boolean.h"
#include "tessaly/intervals.h"
#include "tessaly/solids.h"
#include "tessaly/surface.h"

namespace {
constexpr int kFailed = 1;

// argv[at] must be "--plane" followed by four finite numbers, not all of
// the first three zero.
bool ParsePlane(int argc, char** argv, int at, double* plane, std::string& error)
{
    if (at + 4 >= argc || std::strcmp(argv[at], "--plane") != 0) {
        error = "expected --plane A B C D";
        return false;
    }
    if (!ParseFiniteList(argv + at + 1, 4, plane, error))
        return false;
    if (plane[0] == 0 && plane[1] == 0 && plane[2] == 0) {
        error = "the plane's normal (A, B, C) is zero";
        return false;
    }
    return true;
}

std::unique_ptr<G3Surface> Read(const std::string& path, std::string& error)
{
    auto s = std::make_unique<G3Surface>();
    if (!ReadMesh(path, s.get(), error))
        return nullptr;
    s->FormPlaneEquation();
    return s;
}

void Report(const char* name, G3Surface* s)
{
    std::printf("%s facets %d, closed %s, volume %.17g\n", name, s->GetFacetCount(), s->GetClosed() ? "yes" : "no",
                s->GetVolume());
}

std::string Extension(const std::string& path)
{
    const auto dot = path.rfind('.');
    const std::string ext = dot == std::string::npos ? "" : path.substr(dot);
    return FormatOf("x" + ext) == MeshFormat::Unknown || FormatOf("x" + ext) == MeshFormat::Vrml ? ".g3s" : ext;
}
} // namespace

int RunSlice(int argc, char** argv, std::string& error)
{
    double plane[4];
    if (argc != 10 || !ParsePlane(argc, argv, 3, plane, error)) {
        if (error.empty())
            error = "usage: tessaly slice IN --plane A B C D FRONT BACK";
        return kFailed;
    }
    std::unique_ptr<G3Surface> in = Read(argv[2], error);
    if (!in)
        return kFailed;
    G3BooleanCalculator calc;
    G3Surface *front = nullptr, *back = nullptr;
    const bool both = calc.Slice(in.release(), plane, true, &front, &back, true);
    std::unique_ptr<G3Surface> frontOwner(front), backOwner(back);
    if (!both) {
        error = "the plane does not cut the body into two parts; nothing written";
        return kFailed;
    }
    Report("front", front);
    Report("back", back);
    return WriteMesh(argv[8], front, error) && WriteMesh(argv[9], back, error) ? 0 : kFailed;
}

int RunSection(int argc, char** argv, std::string& error)
{
    double plane[4];
    if (argc != 9 || !ParsePlane(argc, argv, 3, plane, error)) {
        if (error.empty())
            error = "usage: tessaly section IN --plane A B C D OUT.obj";
        return kFailed;
    }
    std::unique_ptr<G3Surface> in = Read(argv[2], error);
    if (!in)
        return kFailed;
    G3BooleanCalculator calc;
    G3IntervalList outline;
    if (!calc.Divide(in.get(), 1, plane, &outline)) {
        error = "the plane misses the body; nothing written";
        return kFailed;
    }
    FILE* file = std::fopen(argv[8], "w");
    if (!file) {
        error = std::string("cannot write ") + argv[8];
        return kFailed;
    }
    std::fprintf(file, "# section outline: %d segments\n", outline.GetIntervalCount());
    for (int k = 0; k < outline.GetIntervalCount(); ++k)
        for (const double* p : {outline.GetInterval(k)->GetXYZ1(), outline.GetInterval(k)->GetXYZ2()})
            std::fprintf(file, "v %.17g %.17g %.17g\n", p[0], p[1], p[2]);
    for (int k = 0; k < outline.GetIntervalCount(); ++k)
        std::fprintf(file, "l %d %d\n", 2 * k + 1, 2 * k + 2);
    const bool ok = std::fclose(file) == 0;
    std::printf("segments %d\n", outline.GetIntervalCount());
    if (!ok)
        error = std::string("cannot write ") + argv[8];
    return ok ? 0 : kFailed;
}

int RunSeparate(const std::string& in, const std::string& outDir, std::string& error)
{
    std::unique_ptr<G3Surface> body = Read(in, error);
    if (!body)
        return kFailed;
    G3BooleanCalculator calc;
    GArrayCollection lumps;
    calc.Separate_Surface(body.get(), &lumps);
    const std::string ext = Extension(in);
    bool ok = true;
    for (int k = 0; k < lumps.size(); ++k) {
        auto* lump = static_cast<G3Surface*>(lumps.get(k));
        const std::string path = outDir + "/lump-" + std::to_string(k + 1) + ext;
        ok = ok && WriteMesh(path, lump, error);
        if (ok)
            Report(path.c_str(), lump);
        delete lump;
    }
    std::printf("lumps %d\n", lumps.size());
    return ok ? 0 : kFailed;
}

int RunCut(char** paths, std::string& error)
{
    std::unique_ptr<G3Surface> solid = Read(paths[0], error);
    if (!solid)
        return kFailed;
    std::unique_ptr<G3Surface> sheet = Read(paths[1], error);
    if (!sheet)
        return kFailed;
    G3BooleanCalculator calc;
    G3Surface *part1 = nullptr, *part2 = nullptr;
    // The calculator consumes both only when the sheet passes through.
    const bool cut = calc.SliceBySurface(solid.get(), sheet.get(), &part1, &part2);
    if (cut) {
        solid.release();
        sheet.release();
    }
    std::unique_ptr<G3Surface> first(part1), second(part2);
    if (!cut) {
        error = "the sheet must be open and pass through the solid; nothing written";
        return kFailed;
    }
    Report("part1", first.get());
    Report("part2", second.get());
    return WriteMesh(paths[2], first.get(), error) && WriteMesh(paths[3], second.get(), error) ? 0 : kFailed;
}

int RunOffset(int argc, char** argv, std::string& error)
{
    double t = 0;
    if (argc != 6 || std::strcmp(argv[4], "--distance") != 0) {
        error = "usage: tessaly offset IN OUT --distance T";
        return kFailed;
    }
    if (!ParseFinite(argv[5], t)) {
        error = std::string("not a finite number: ") + argv[5];
        return kFailed;
    }
    std::unique_ptr<G3Surface> in = Read(argv[2], error);
    if (!in)
        return kFailed;
    G3Surface* out = nullptr;
    if (!G3SolidsBuilder::Shell(in.get(), &out, t, nullptr) || !out) {
        error = "the body could not be offset";
        return kFailed;
    }
    std::unique_ptr<G3Surface> result(out);
    Report("offset", result.get());
    return WriteMesh(argv[3], result.get(), error) ? 0 : kFailed;
}

namespace {
constexpr int kDefaultBlendSegments = 8;
constexpr int kMaxBlendSegments = 1024;

struct BlendOptions {
    bool edge = false, corner = false;
    double points[6] = {0, 0, 0, 0, 0, 0};
    double radius = 0, radius2 = 0;
    bool radius2Given = false;
    int segments = kDefaultBlendSegments;
};

bool ParseBlendFlags(int argc, char** argv, BlendOptions& o, std::string& error)
{
    for (int k = 4; k < argc; ++k) {
        const std::string flag = argv[k];
        const int values = flag == "--edge" ? 6 : flag == "--corner" ? 3 : 1;
        if (k + values >= argc) {
            error = flag + " needs " + std::to_string(values) + (values == 1 ? " value" : " values");
            return false;
        }
        if (flag == "--edge" || flag == "--corner") {
            (flag == "--edge" ? o.edge : o.corner) = true;
            if (!ParseFiniteList(argv + k + 1, values, o.points, error))
                return false;
        } else if (flag == "--radius" || flag == "--radius2") {
            double& r = flag == "--radius" ? o.radius : o.radius2;
            if (!ParseFinite(argv[k + 1], r) || r <= 0) {
                error = flag + " must be a positive number";
                return false;
            }
            o.radius2Given = o.radius2Given || flag == "--radius2";
        } else if (flag == "--segments") {
            if (!ParseIntInRange(argv[k + 1], 1, kMaxBlendSegments, o.segments)) {
                error = "the segments must be an integer from 1 to " + std::to_string(kMaxBlendSegments);
                return false;
            }
        } else {
            error = "unknown flag " + flag;
            return false;
        }
        k += values;
    }
    if (o.edge == o.corner || o.radius <= 0 || (o.corner && o.radius2Given)) {
        error = "usage: tessaly blend IN OUT (--edge X1 Y1 Z1 X2 Y2 Z2 | --corner X Y Z) --radius R [--radius2 R2] "
                "[--segments N]";
        return false;
    }
    return true;
}
} // namespace

int RunBlend(int argc, char** argv, std::string& error)
{
    BlendOptions o;
    if (argc < 4 || !ParseBlendFlags(argc, argv, o, error)) {
        if (error.empty())
            error = "usage: tessaly blend IN OUT (--edge ... | --corner ...) --radius R";
        return kFailed;
    }
    std::unique_ptr<G3Surface> in = Read(argv[2], error);
    if (!in)
        return kFailed;
    G3BooleanCalculator calc;
    std::unique_ptr<G3Surface> result(o.edge ? calc.Blend(in.get(), o.points, o.points + 3, o.radius,
                                                          o.radius2Given ? o.radius2 : o.radius, o.segments)
                                             : calc.BlendCorner(in.get(), o.points, o.radius, o.segments));
    if (!result) {
        error = o.edge ? "no edge of two facets at an angle runs between the two points, or the radius does not fit"
                       : "the point is not a corner of three planes, all convex or all concave";
        return kFailed;
    }
    Report("blend", result.get());
    return WriteMesh(argv[3], result.get(), error) ? 0 : kFailed;
}
