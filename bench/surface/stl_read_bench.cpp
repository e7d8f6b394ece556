// Reading binary STL files with the command line's reader (corners welded
// into shared vertices, facets built with their edges) at growing sizes,
// against a plain reader of the same files (the floats read and the corners
// welded by sorting, no body built): the time and memory of both must grow
// linearly with the file. Two shapes: a triangulated sheet (vertices of
// degree 6) and a fan (one vertex shared by every triangle, the case that
// once made reading quadratic).
//
// Each case runs in a child process of its own; time and peak resident
// memory above the input are its own. Checked: the reader's vertex and
// facet counts equal the plain reader's; a mismatch makes the exit status 1.
//
// Usage: tessaly_stl_read_bench [largest_triangles]   (default 1000000)
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "../child_run.h"
#include "file_read.h"
#include "mesh_formats.h"
#include "tessaly/surface.h"

namespace {
const int kDefaultLargest = 1000000;
const int kSizes = 3; // the largest, a quarter and a sixteenth of it
const std::size_t kStlHead = 84;

struct Result {
    double seconds = 0;
    long peakKb = 0;
    long vertices = 0;
    long facets = 0;
};

using Triangle = std::array<float, 9>;

// A sheet of n triangles (two a grid square) or a fan of n triangles
// around the origin.
std::vector<Triangle> Shape(bool fan, int n)
{
    std::vector<Triangle> t;
    if (fan) {
        for (int k = 0; k < n; ++k) {
            const double a0 = 2 * M_PI * k / n, a1 = 2 * M_PI * (k + 1) / n;
            t.push_back({0, 0, 0, static_cast<float>(std::cos(a0)), static_cast<float>(std::sin(a0)), 0,
                         static_cast<float>(std::cos(a1)), static_cast<float>(std::sin(a1)), 0});
        }
        return t;
    }
    const int side = static_cast<int>(std::sqrt(n / 2.0)) + 1;
    for (int i = 0; static_cast<int>(t.size()) < n; ++i)
        for (int j = 0; j < side && static_cast<int>(t.size()) < n; ++j) {
            const float x = static_cast<float>(j), y = static_cast<float>(i);
            t.push_back({x, y, 0, x + 1, y, 0, x + 1, y + 1, 0});
            if (static_cast<int>(t.size()) < n)
                t.push_back({x, y, 0, x + 1, y + 1, 0, x, y + 1, 0});
        }
    return t;
}

void WriteStl(const std::string& path, const std::vector<Triangle>& t)
{
    std::string bytes(80, ' ');
    const std::uint32_t count = static_cast<std::uint32_t>(t.size());
    bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
    const float normal[3] = {0, 0, 1};
    for (const Triangle& tri : t) {
        bytes.append(reinterpret_cast<const char*>(normal), sizeof normal);
        bytes.append(reinterpret_cast<const char*>(tri.data()), sizeof(float) * tri.size());
        bytes.append(2, '\0');
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

void Reader(const std::string& path, Result& r)
{
    ChildMeter meter;
    meter.Start();
    G3Surface s;
    std::string error;
    if (!ReadMesh(path, &s, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    r.seconds = meter.Seconds();
    r.peakKb = meter.PeakKb();
    r.vertices = s.GetVertexCount();
    r.facets = s.GetFacetCount();
}

// The floor: the file's corners read and welded by sorting.
void Plain(const std::string& path, Result& r)
{
    ChildMeter meter;
    meter.Start();
    std::string bytes, error;
    ReadRegularFile(path, bytes, error);
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, sizeof count);
    std::vector<std::array<float, 3>> corners(3 * static_cast<std::size_t>(count));
    for (std::size_t t = 0; t < count; ++t)
        for (int c = 0; c < 3; ++c)
            std::memcpy(corners[3 * t + static_cast<std::size_t>(c)].data(),
                        bytes.data() + kStlHead + 50 * t + 12 + 12 * c, 12);
    std::sort(corners.begin(), corners.end());
    r.vertices = std::unique(corners.begin(), corners.end()) - corners.begin();
    r.facets = count;
    r.seconds = meter.Seconds();
    r.peakKb = meter.PeakKb();
}
} // namespace

int main(int argc, char** argv)
{
    const int largest = argc > 1 ? std::max(16, std::atoi(argv[1])) : kDefaultLargest;
    const std::string path = "/tmp/tessaly-stl-read-bench-" + std::to_string(::getpid()) + ".stl";
    bool ok = true;
    std::printf("%-6s %9s %12s %12s %8s %10s %10s %8s\n", "shape", "triangles", "reader s", "plain s", "ratio",
                "reader MiB", "plain MiB", "ratio");
    for (bool fan : {false, true}) {
        double firstPerTriangle = 0;
        for (int k = kSizes - 1; k >= 0; --k) {
            const int n = largest >> (2 * k);
            WriteStl(path, Shape(fan, n));
            Result reader, plain;
            const bool done =
                RunInChild<Result>([&](Result& r) { Reader(path, r); }, 0, &reader) == ChildStatus::Done &&
                RunInChild<Result>([&](Result& r) { Plain(path, r); }, 0, &plain) == ChildStatus::Done;
            const bool same = done && reader.vertices == plain.vertices && reader.facets == plain.facets;
            ok = ok && same;
            std::printf("%-6s %9d %12.3f %12.3f %8.2f %10.1f %10.1f %8.2f%s\n", fan ? "fan" : "sheet", n,
                        reader.seconds, plain.seconds, reader.seconds / plain.seconds, reader.peakKb / 1024.0,
                        plain.peakKb / 1024.0, static_cast<double>(reader.peakKb) / std::max(1L, plain.peakKb),
                        same ? "" : "  COUNTS DIFFER");
            const double perTriangle = reader.seconds / n;
            if (k == kSizes - 1)
                firstPerTriangle = perTriangle;
            else if (k == 0)
                std::printf("%-6s time a triangle, largest / smallest size: %.2f (1 for linear)\n",
                            fan ? "fan" : "sheet", perTriangle / firstPerTriangle);
        }
    }
    std::remove(path.c_str());
    return ok ? 0 : 1;
}
