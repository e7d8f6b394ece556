#pragma once
// Pieces shared by the files of the boolean calculator.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/boolean.h"
#include "tessaly/surface.h"

namespace boolean_detail {

// Every boolean and query restarts the thread's random sequence here, so
// that the same operation gives the same body every time, on any thread.
constexpr unsigned kRandomSeed = 1;
// Classification rays: how many draws before a point stays undecided, and
// how far a ray reaches (this factor times the box it must leave).
constexpr int kRayAttempts = 100;
constexpr double kRayReach = 1.5;
// The flood of vertex classes goes this deep before rays take over.
constexpr int kMaxFloodDepth = 4097;

// The plane equation at p.
inline double PlaneAt(const double* plane, const double* p)
{
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
}

// The side of a plane a signed distance stands for: 0 within the length
// tolerance.
inline int SignOf(double d)
{
    return std::fabs(d) < tessaly::kLengthTolerance ? 0 : (d > 0 ? 1 : -1);
}

// The facets of s, in list order, into out (emptied first).
void ListFacets(G3Surface* s, GArrayCollection* out);
// Merges the intersection pieces stored on s's facets into list.
void ExportPieces(G3Surface* s, G3IntervalList* list);
// The length of a classification ray from p: the radius, or longer when p
// lies so far out that the radius would not leave the box.
double RayLength(const double* p, const GEnvelope& box, double radius);

} // namespace boolean_detail
