#pragma once
// Exact planar predicates of the triangulation engine.
//
// Orientation and in-circle signs are exact for every finite double input:
// a floating-point evaluation answers when its result is larger than a
// proven bound on its rounding error; otherwise the determinant is evaluated
// exactly in integer arithmetic (every coordinate of the call is scaled by a
// common power of two into a multi-limb integer, which is exact).
//
// The tolerance of the engine (1e-8) is not used here: it applies only to
// "same point" tests (duplicate detection, point location onto a vertex).

namespace g3t_predicates {

// Sign of the exact determinant | ax-cx  ay-cy ; bx-cx  by-cy |:
// +1 when a, b, c turn counterclockwise, -1 clockwise, 0 collinear.
int Orientation(double ax, double ay, double bx, double by, double cx, double cy);

// Sign of the exact in-circle determinant: +1 when d lies strictly inside
// the circle through a, b, c (given counterclockwise), -1 outside, 0 on it.
// For a clockwise a, b, c the sign is reversed.
int InCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy);

// The exact evaluations alone (no floating-point filter); used by the
// filtered functions and by the tests to check the filter. Both answer 0
// for a NaN or infinite coordinate (the mesh never holds one).
int OrientationExact(double ax, double ay, double bx, double by, double cx, double cy);
int InCircleExact(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy);

// Number of calls that needed the exact evaluation on this thread since the
// last reset (for tests and the benchmark's notes).
long ExactEvaluationCount();
void ResetExactEvaluationCount();

} // namespace g3t_predicates
