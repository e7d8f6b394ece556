#include "slice_commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

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
    for (int k = 0; k < 4; ++k) {
        const char* text = argv[at + 1 + k];
        const char* end = text + std::strlen(text);
        auto r = std::from_chars(text, end, plane[k]);
        if (r.ec != std::errc() || r.ptr != end || !std::isfinite(plane[k])) {
            error = std::string("not a finite number: ") + text;
            return false;
        }
    }
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
    const char* end = argv[5] + std::strlen(argv[5]);
    auto r = std::from_chars(argv[5], end, t);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(t)) {
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
