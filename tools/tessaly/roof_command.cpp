#include "roof_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "arguments.h"
#include "contour_text.h"
#include "mesh_formats.h"
#include "tessaly/roof.h"

namespace {
constexpr int kFailed = 1;
constexpr double kDefaultSlope = 30;
constexpr double kDegree = M_PI / 180;

struct RoofOptions {
    const char* outline = nullptr;
    const char* out = nullptr;
    const char* slope = nullptr;
    const char* slopes = nullptr;
    const char* overhang = nullptr;
    const char* thickness = nullptr;
};

// Each flag once, each with its value; --slope and --slopes exclude each
// other.
bool ParseFlags(int argc, char** argv, RoofOptions& o)
{
    if (argc < 4)
        return false;
    o.outline = argv[2];
    o.out = argv[3];
    for (int k = 4; k < argc; k += 2) {
        if (k + 1 >= argc)
            return false;
        const char** slot = std::strcmp(argv[k], "--slope") == 0 ? &o.slope
            : std::strcmp(argv[k], "--slopes") == 0              ? &o.slopes
            : std::strcmp(argv[k], "--overhang") == 0            ? &o.overhang
            : std::strcmp(argv[k], "--thickness") == 0           ? &o.thickness
                                                                 : nullptr;
        if (!slot || *slot)
            return false;
        *slot = argv[k + 1];
    }
    return !(o.slope && o.slopes);
}

bool ParseLength(const char* text, const char* what, double& value, std::string& error)
{
    value = 0;
    if (!text)
        return true;
    if (!ParseFinite(text, value) || value < 0) {
        error = std::string(what) + " must be a number of 0 or more: " + text;
        return false;
    }
    return true;
}

bool SlopeInRange(double degrees, std::string& error)
{
    if (degrees > 0 && degrees <= 90)
        return true;
    error = "a slope must lie above 0 and at most 90 degrees: " + FormatCoordinate(degrees);
    return false;
}

// The numbers of a slope file, whitespace separated.
bool ReadSlopes(const char* path, std::size_t edges, std::vector<double>& degrees, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("cannot read ") + path;
        return false;
    }
    std::string word;
    while (in >> word) {
        double value = 0;
        if (!ParseFinite(word.c_str(), value)) {
            error = std::string(path) + ": not a finite number: " + word;
            return false;
        }
        degrees.push_back(value);
    }
    if (degrees.size() != edges) {
        error = std::string(path) + ": " + std::to_string(degrees.size()) + " slopes for " + std::to_string(edges) +
            " edges";
        return false;
    }
    return true;
}

// The generator reads the angle of a point as that of the edge arriving at
// it in clockwise order: for a clockwise outline the edge from the point
// before, for a counter-clockwise one the edge to the point after.
std::vector<double> AnglesByPoint(const TextContour& outline, const std::vector<double>& degrees)
{
    double area = 0;
    const std::size_t n = outline.size();
    for (std::size_t k = 0; k < n; ++k)
        area += outline[k][0] * outline[(k + 1) % n][1] - outline[(k + 1) % n][0] * outline[k][1];
    std::vector<double> angles(n);
    for (std::size_t k = 0; k < n; ++k)
        angles[k] = (area < 0 ? degrees[(k + n - 1) % n] : degrees[k]) * kDegree;
    return angles;
}

void Report(G3Surface* s)
{
    int counts[5] = {0, 0, 0, 0, 0};
    for (int k = 0; k < s->GetFacetCount(); ++k)
        ++counts[G3RoofGenerator::GetFacetType(s->GetFacet(k))];
    std::printf("facets %d\nupper %d\nlower %d\neave %d\ngable %d\n", s->GetFacetCount(), counts[ROOF_FACET_UPPER],
                counts[ROOF_FACET_LOWER], counts[ROOF_FACET_EAVE], counts[ROOF_FACET_GABLE]);
    G3Vertex* top = nullptr;
    for (int k = 0; k < s->GetVertexCount(); ++k)
        if (!top || s->GetVertex(k)->GetZ() > top->GetZ())
            top = s->GetVertex(k);
    // Twelve digits: the rounding noise of the plane cuts stays out of sight.
    if (top)
        std::printf("top %.12g %.12g %.12g\n", top->GetX(), top->GetY(), top->GetZ());
}
} // namespace

int RunRoof(int argc, char** argv, std::string& error)
{
    RoofOptions o;
    if (!ParseFlags(argc, argv, o))
        return kRoofUsage;
    double slope = kDefaultSlope, overhang = 0, thickness = 0;
    if (o.slope && !ParseFinite(o.slope, slope)) {
        error = std::string("not a finite number: ") + o.slope;
        return kFailed;
    }
    if (!SlopeInRange(slope, error) || !ParseLength(o.overhang, "the overhang", overhang, error) ||
        !ParseLength(o.thickness, "the thickness", thickness, error))
        return kFailed;
    if (FormatOf(o.out) == MeshFormat::Unknown || FormatOf(o.out) == MeshFormat::Vrml) {
        error = std::string("unknown output format (.obj, .off, .stl or .g3s): ") + o.out;
        return kFailed;
    }
    std::vector<TextContour> contours;
    if (!ReadContours(o.outline, contours, error))
        return kFailed;
    if (contours.empty() || contours[0].size() < 3) {
        error = std::string(o.outline) + ": the first contour must have 3 points or more";
        return kFailed;
    }
    const TextContour& outline = contours[0];
    std::vector<double> degrees(outline.size(), slope);
    if (o.slopes) {
        degrees.clear();
        if (!ReadSlopes(o.slopes, outline.size(), degrees, error))
            return kFailed;
        for (double d : degrees)
            if (!SlopeInRange(d, error))
                return kFailed;
    }
    std::vector<std::array<double, 3>> points;
    for (const ContourPoint& p : outline)
        points.push_back({p[0], p[1], 0});
    G3Surface roof;
    G3RoofGenerator generator(&roof, 0, thickness, overhang);
    if (!generator.Regen(points, AnglesByPoint(outline, degrees))) {
        error = "no roof over this outline: it crosses or touches itself, has no area, or the overhang cannot be made";
        return kFailed;
    }
    Report(&roof);
    return WriteMesh(o.out, &roof, error) ? 0 : kFailed;
}
