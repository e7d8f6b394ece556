#pragma once
// The roof generator's own tolerances and limits. Lengths and points use the
// kernel's (core/tolerances.h).

#include "core/tolerances.h"

namespace tessaly::roof {

// Angles (and sines of angles between unit directions), collinearity and
// event heights: a slope below this is no slope, two event heights closer
// than this are one height, and two plane keys (a, b, c, d) closer than this
// are one roof plane.
inline constexpr double kAngleTolerance = 1e-7;

// Slopes above a right angle less the angle tolerance are walls (gables):
// their planes get no roof face.
inline constexpr double kRightAngle = 1.5707963267948966;
inline constexpr double kVerticalAngle = kRightAngle - kAngleTolerance;
inline constexpr double kSteepestAngle = kRightAngle + kAngleTolerance;

// A roof thinner than this has single faces.
inline constexpr double kMinThickness = 1e-7;

// The far value that stands for "no height" and for unset positions. It is
// finite, so that arithmetic on it stays defined, and nothing is ever sliced
// there.
inline constexpr double kFarValue = 1e38;
// Heights at or beyond this are the far value.
inline constexpr double kFarLimit = 1e37;

// Three planes whose normals span less than this (the determinant of the
// unit normals) meet in no single point.
inline constexpr double kPlaneDeterminant = 1e-12;

// A generation takes at most this many levels per outline vertex, plus
// kStepAllowance, unless the host sets a limit of its own; one that needs
// more fails instead of running on.
inline constexpr int kLevelsPerVertex = 16;
inline constexpr int kStepAllowance = 64;

// Loops whose plan area (twice the signed area) is within this of zero
// enclose nothing and end their branch.
inline constexpr double kLoopArea2 = 2 * kAreaTolerance;

} // namespace tessaly::roof
