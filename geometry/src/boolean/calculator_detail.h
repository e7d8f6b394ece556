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

// Whether p lies on the segment a-b within the length tolerance.
inline bool OnSegment(const double* p, const double* a, const double* b)
{
    double ab[3], ap[3];
    for (int k = 0; k < 3; ++k) {
        ab[k] = b[k] - a[k];
        ap[k] = p[k] - a[k];
    }
    const double len2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    double t = len2 > 0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / len2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double d[3] = {a[0] + t * ab[0] - p[0], a[1] + t * ab[1] - p[1], a[2] + t * ab[2] - p[2]};
    return d[0] * d[0] + d[1] * d[1] + d[2] * d[2] < tessaly::kLengthTolerance * tessaly::kLengthTolerance;
}

// The direction in g's plane, across its edge e, that points into g (not of
// unit length).
void InwardDirection(G3Facet* g, G3Edge* e, double* out);
// The facets of s, in list order, into out (emptied first).
void ListFacets(G3Surface* s, GArrayCollection* out);
// Merges the intersection pieces stored on s's facets into list.
void ExportPieces(G3Surface* s, G3IntervalList* list);
// The length of a classification ray from p: the radius, or longer when p
// lies so far out that the radius would not leave the box.
double RayLength(const double* p, const GEnvelope& box, double radius);

} // namespace boolean_detail
