#pragma once
// The kernel's tolerances, in one place. They are absolute and in model
// units (or squares and cubes of them); every comparison of the kernel that
// is not exact uses one of these names.

namespace tessaly {

// Lengths and coincidence: points closer than this are the same point, a
// point this close to a plane lies on it, an edge or piece this short is
// degenerate, and two unit normals or plane offsets this close are equal.
inline constexpr double kLengthTolerance = 1e-6;

// Twice the area of a triangle (a cross product of two edge vectors) below
// which it has no area and a corner is straight: the square of the length
// tolerance.
inline constexpr double kAreaTolerance = 1e-12;

// The volume spanned by three axes below which they are dependent.
inline constexpr double kVolumeTolerance = 1e-12;

// A divisor (a normal component, a difference of two plane distances, a
// product of two lengths) below which the quotient is not computed.
inline constexpr double kZeroDivisor = 1e-12;

// Rounding noise: the planar tests on a facet's own loops (bridges, loop
// nesting, inner points) tell coordinates apart down to this, far below the
// length tolerance, so that distinct nearby vertices stay distinct.
inline constexpr double kRoundingTolerance = 1e-9;

// Boxes used only for pruning candidate pairs are widened by this on every
// side, so that a pair touching within the length tolerance is never lost.
inline constexpr double kEnvelopeWidening = 1e-5;

// A facet's tessellation is used only when its triangles' area matches the
// facet's within this fraction of it (plus the area tolerance).
inline constexpr double kTessellationAreaFraction = 1e-6;

// The triangulation engine's same-point test: two vertices are one when both
// projected coordinates differ by less than this.
inline constexpr double kTriangulationSamePoint = 1e-8;

// A random ray's end counts as lying on one side of a plane only when it is
// at least this far from it.
inline constexpr double kPlaneSideMargin = 1e-5;

// The boolean operations and the self-intersection repair work on copies of
// their operands scaled by this, and scale the result back.
inline constexpr double kBooleanWorkingScale = 1000.0;

// Below this cosine of the y rotation of a decomposed matrix, the x and z
// rotations are one degree of freedom (gimbal lock).
inline constexpr double kGimbalCosine = 1e-8;

// Two facets whose directions away from a shared edge are closer than this
// angle (radians) to parallel or opposite cannot be blended: the arc would
// have no size or no place.
inline constexpr double kBlendAngleTolerance = 1e-6;

// Terrain: two shifted outline sides closer than this sine to parallel do
// not meet; a flat margin below kTerrainMinFlatMargin lays no band; an
// outline side shorter than kTerrainShortSide is not densified; a slope
// below kTerrainUnsetSlope counts as not set by an earlier pass.
inline constexpr double kTerrainParallelSine = 1e-7;
inline constexpr double kTerrainMinFlatMargin = 1e-4;
inline constexpr double kTerrainShortSide = 1e-3;
inline constexpr double kTerrainUnsetSlope = 1e-5;

} // namespace tessaly
