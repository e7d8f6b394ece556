#include "openings_command.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "arguments.h"
#include "file_read.h"
#include "mesh_formats.h"
#include "tessaly/hole_maker.h"
#include "tessaly/surface.h"

namespace {
constexpr int kFailed = 1;
// A direction shorter than this has no direction.
constexpr double kMinDirectionLength = 1e-12;

using OutlinePoint = std::array<double, 3>;
using Outline = std::vector<OutlinePoint>;

// One --outline file and the --direction that goes with it.
struct OpeningSet {
    const char* path;
    double direction[3];
};

// Openings in space, one a line: x y z triples of finite numbers separated
// by spaces or tabs, in the C locale, at least three points; the outline is
// closed (its last point may repeat the first or not). Blank lines and lines
// whose first non-blank character is '#' are skipped. False with a message
// for a file that cannot be read, a malformed line (named) or a file
// without openings.
bool ReadOutlines3D(const std::string& path, std::vector<Outline>& out, std::string& error)
{
    out.clear();
    const char* what = "three or more x y z triples of finite numbers";
    std::vector<NumberLine> lines;
    if (!ReadNumberLines(path, what, lines, error))
        return false;
    for (const NumberLine& l : lines) {
        if (l.numbers.size() % 3 != 0 || l.numbers.size() < 9) {
            error = path + ": line " + std::to_string(l.line) + ": expected " + what;
            return false;
        }
        Outline outline;
        for (std::size_t k = 0; k < l.numbers.size(); k += 3)
            outline.push_back({l.numbers[k], l.numbers[k + 1], l.numbers[k + 2]});
        out.push_back(std::move(outline));
    }
    if (out.empty()) {
        error = path + ": no openings";
        return false;
    }
    return true;
}

// (--outline FILE --direction DX DY DZ)... from argv[4] on. Returns 0,
// kFailed for a direction that is not three finite numbers or has no
// length, or kOpeningsUsage when the flags do not pair up.
int ParseOpeningFlags(int argc, char** argv, std::vector<OpeningSet>& sets, std::string& error)
{
    int k = 4;
    while (k < argc) {
        if (k + 6 > argc || std::strcmp(argv[k], "--outline") != 0 || std::strcmp(argv[k + 2], "--direction") != 0)
            return kOpeningsUsage;
        OpeningSet set{argv[k + 1], {0, 0, 0}};
        if (!ParseFiniteList(argv + k + 3, 3, set.direction, error))
            return kFailed;
        const double* d = set.direction;
        if (!(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) > kMinDirectionLength)) {
            error = "the direction is zero";
            return kFailed;
        }
        sets.push_back(set);
        k += 6;
    }
    return sets.empty() ? kOpeningsUsage : 0;
}

// Hands every outline of the file to the hole maker with the direction.
bool AddOpenings(G3HoleMaker& maker, const OpeningSet& set, int& count, std::string& error)
{
    std::vector<Outline> outlines;
    if (!ReadOutlines3D(set.path, outlines, error))
        return false;
    G3Point direction(set.direction);
    for (const Outline& outline : outlines) {
        GArrayCollection points;
        for (const OutlinePoint& p : outline)
            points.add(new G3Point(p.data()));
        maker.AddHoleContour(&points, &direction);
        points.clear(true);
    }
    count += static_cast<int>(outlines.size());
    return true;
}
} // namespace

int RunOpenings(int argc, char** argv, std::string& error)
{
    std::vector<OpeningSet> sets;
    if (argc < 4)
        return kOpeningsUsage;
    const int parsed = ParseOpeningFlags(argc, argv, sets, error);
    if (parsed != 0)
        return parsed;
    auto surface = std::make_unique<G3Surface>();
    if (!ReadMesh(argv[2], surface.get(), error))
        return kFailed;
    surface->FormPlaneEquation();
    G3HoleMaker maker(surface.get());
    int count = 0;
    for (const OpeningSet& set : sets)
        if (!AddOpenings(maker, set, count, error))
            return kFailed;
    maker.MakeHoles();
    std::printf("cut %d of %d openings\n", maker.GetCutCount(), count);
    std::printf("facets %d, closed %s, volume %.17g\n", surface->GetFacetCount(), surface->GetClosed() ? "yes" : "no",
                surface->GetVolume());
    return WriteMesh(argv[3], surface.get(), error) ? 0 : kFailed;
}
