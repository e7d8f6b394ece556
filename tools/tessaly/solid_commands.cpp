#include "solid_commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tessaly/solids.h"
#include "tessaly/surface.h"

namespace {
constexpr int kMinSegments = 4; // 3 rows from pole to pole, 4 meridians
constexpr int kMaxSegments = 4096;

bool PositiveNumber(const char* text, double& value)
{
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(value) && value > 0.0;
}

bool Segments(const char* text, int& value)
{
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end && value >= kMinSegments && value <= kMaxSegments;
}

// A flag of a solid command and where its value goes.
struct ValueFlag {
    const char* name;
    double* number;   // a positive number, or
    int* segments;    // a count of segments
    const char* what; // for the message
    bool seen;
};

bool ParseFlags(int argc, char** argv, int first, ValueFlag* flags, int count, std::string& error)
{
    for (int k = first; k < argc; ++k) {
        ValueFlag* flag = nullptr;
        for (int f = 0; f < count; ++f)
            if (std::strcmp(argv[k], flags[f].name) == 0)
                flag = &flags[f];
        if (!flag) {
            error = std::string("unknown flag ") + argv[k];
            return false;
        }
        if (flag->seen) {
            error = std::string(flag->name) + " is given twice";
            return false;
        }
        flag->seen = true;
        if (k + 1 >= argc) {
            error = std::string(flag->name) + " needs a value";
            return false;
        }
        const char* value = argv[++k];
        if (flag->number ? !PositiveNumber(value, *flag->number) : !Segments(value, *flag->segments)) {
            error = std::string(flag->what) + " (" + value + ")";
            return false;
        }
    }
    return true;
}
} // namespace

bool ParseBoxFlags(int argc, char** argv, int first, BoxOptions& options, std::string& error)
{
    ValueFlag flags[] = {{"--size", &options.size, nullptr, "the size must be a positive number", false}};
    return ParseFlags(argc, argv, first, flags, 1, error);
}

bool ParseSphereFlags(int argc, char** argv, int first, SphereOptions& options, std::string& error)
{
    ValueFlag flags[] = {
        {"--radius", &options.radius, nullptr, "the radius must be a positive number", false},
        {"--segments", nullptr, &options.segments, "the segments must be an integer from 4 to 4096", false}};
    return ParseFlags(argc, argv, first, flags, 2, error);
}

G3Surface* MakeBoxSolid(const BoxOptions& options, std::string& error)
{
    double m[4][4];
    M4Identity(m);
    G3Surface* box = G3SolidsBuilder::BuildBox(m, options.size, nullptr);
    if (!box)
        error = "the size must be more than the length tolerance 1e-6";
    return box;
}

G3Surface* MakeSphereSolid(const SphereOptions& options, std::string& error)
{
    const double centre[3] = {0, 0, 0};
    G3Surface* sphere = nullptr;
    if (!G3SolidsBuilder::BuildSphere(centre, options.radius, options.segments / 2 + 1, options.segments, 0, false,
                                      &sphere, false, false))
        error = "the radius must be more than the length tolerance 1e-6";
    return sphere;
}

void ReportSolid(G3Surface* solid)
{
    const bool closed = solid->GetFacetCount() > 0 && solid->GetClosed();
    std::printf("facets %d\nclosed %s\nvolume %.17g\n", solid->GetFacetCount(), closed ? "yes" : "no",
                solid->GetVolume());
}
