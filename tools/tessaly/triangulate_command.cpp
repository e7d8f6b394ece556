#include "triangulate_command.h"

#include <cstdio>
#include <cstring>

namespace {
// The flags and the option bits they stand for.
struct Flag {
    const char* name;
    int bits;
};
constexpr Flag kFlags[] = {
    {"--quads", 4},     // every facet of 4 or more edges
    {"--pentagons", 8}, // every facet of 5 or more edges
    {"--bent", 2},      // facets that are not flat
    {"--concave", 1},   // facets that are not convex, or have holes
};

int LargeFacets(G3Surface* s)
{
    int count = 0;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        count += s->GetFacet(k)->GetEdgeCount() > 3;
    return count;
}
} // namespace

bool ParseTriangulateFlags(int argc, char** argv, int first, TriangulateOptions& options, std::string& error)
{
    for (int k = first; k < argc; ++k) {
        const char* arg = argv[k];
        if (std::strcmp(arg, "--visible-diagonals") == 0) {
            options.newEdgeFlags = static_cast<int>(G3Edge::kVisible);
            continue;
        }
        bool known = false;
        for (const Flag& flag : kFlags)
            if (std::strcmp(arg, flag.name) == 0) {
                options.select |= flag.bits;
                known = true;
            }
        if (!known) {
            error = std::string("unknown triangulate flag ") + arg;
            return false;
        }
    }
    // Without a selection every facet of 4 or more edges is split.
    if (options.select == 0)
        options.select = 4;
    return true;
}

void TriangulateAndReport(G3Surface* s, const TriangulateOptions& options)
{
    s->FormPlaneEquation();
    const int facets = s->GetFacetCount();
    const int large = LargeFacets(s);
    s->Triangulate(options.select, options.newEdgeFlags);
    const int left = LargeFacets(s);
    std::printf("facets %d -> %d (%d split)\n", facets, s->GetFacetCount(), large - left);
    if ((options.select & 4) && left > 0)
        std::printf("kept %d facets of 4 or more edges: contours that cross, or no area\n", left);
}
