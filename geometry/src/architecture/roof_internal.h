#pragma once
// Planar helpers shared by the roof generator's ring and polygon work: point
// clusters and the choice of continuation where a closed walk passes one
// point several times.

#include <vector>

namespace tessaly::roof {

// Cluster numbers of points (x, y, z triples): points closer than tolerance,
// directly or through a chain of such points, share a number. Numbers run
// from 0 in the order of each cluster's first point.
std::vector<int> ClusterPoints(const std::vector<const double*>& points, double tolerance);

// Where a closed walk passes one point several times, each arriving edge
// continues with one leaving edge so that the walk splits into loops that do
// not cross there. backAngles[k] is the plan direction (radians) from the
// point back along arriving edge k, leaving[j] the direction of leaving edge
// j. With the inside on the right of the walk (clockwise loops) each arriving
// edge takes the first leaving edge met turning counter-clockwise from its
// back direction (going straight back counts as met at once); with the inside
// on the left, turning clockwise. Returns, per arriving edge, the index of
// its leaving edge; the result is a one-to-one pairing when both lists have
// the same size.
std::vector<int> PairAtPoint(const std::vector<double>& backAngles, const std::vector<double>& leaving,
                             bool insideRight);

// The plan direction (radians) from a to b.
double PlanAngle(const double* from, const double* to);

} // namespace tessaly::roof
