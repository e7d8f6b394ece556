// Slicing a solid by a plane: the solid minus a block on each side of the
// plane, each block a box of the solids builder standing on the plane and
// large enough to cover the solid.
#include <algorithm>
#include <cmath>

#include "boolean/calculator_detail.h"
#include "core/tolerances.h"
#include "tessaly/solids.h"
#include "tessaly/surface.h"

namespace {
// The blocks reach this many times the solid's size (with the origin).
constexpr double kBlockReach = 4.0;

// The plane with a unit normal; false when it has none.
bool Normalised(const double* plane, double* out)
{
    const double n = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    if (!(n > tessaly::kZeroDivisor) || !std::isfinite(plane[3] / n))
        return false;
    for (int a = 0; a < 4; ++a)
        out[a] = plane[a] / n;
    return true;
}

// Whether the plane passes through the solid: vertices on both sides.
bool Separates(G3Surface* s, const double* plane)
{
    bool below = false, above = false;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        const int side = boolean_detail::SignOf(boolean_detail::PlaneAt(plane, s->GetVertex(k)->GetXYZ()));
        below = below || side < 0;
        above = above || side > 0;
    }
    return below && above;
}

// A box standing on the plane on its positive side, covering the solid.
G3Surface* Block(const double* plane, double size)
{
    double m[4][4];
    M4RotationMatrix(plane, m);
    return G3SolidsBuilder::BuildBox(m, size, nullptr);
}

double BlockSize(G3Surface* s)
{
    GEnvelope box;
    s->FormEnvelope(&box);
    const double origin[3] = {0, 0, 0};
    box.Add(origin);
    return kBlockReach * box.GetMaxSize();
}

// The event form of a difference returns an empty body rather than null.
bool HasFacets(const G3Surface* s)
{
    return s && s->GetFacetCount() > 0;
}
} // namespace

bool G3BooleanCalculator::StartSlice(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back,
                                     double* unit)
{
    if (front)
        *front = nullptr;
    if (back)
        *back = nullptr;
    if (!s || !plane || !front || !back || !cut || !Normalised(plane, unit))
        return false;
    if (s->GetFacetCount() == 0 || !Separates(s, unit)) {
        *front = s;
        return false;
    }
    return true;
}

// Both parts, or the one that exists in front.
bool G3BooleanCalculator::FinishSlice(G3Surface** front, G3Surface** back)
{
    if (!HasFacets(*front)) {
        delete *front;
        *front = *back;
        *back = nullptr;
        return false;
    }
    if (!HasFacets(*back)) {
        delete *back;
        *back = nullptr;
        return false;
    }
    return true;
}

bool G3BooleanCalculator::Slice(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back,
                                bool markPlane)
{
    double unit[4];
    if (!StartSlice(s, plane, cut, front, back, unit))
        return false;
    const double size = BlockSize(s);
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    const double negated[4] = {-unit[0], -unit[1], -unit[2], -unit[3]};
    G3Surface* positiveBlock = Block(unit, size);
    G3Surface* negativeBlock = Block(negated, size);
    if (markPlane)
        m_CuttingPlane = unit;
    *front = Sub(s, positiveBlock);
    *back = Sub(copy, negativeBlock);
    m_CuttingPlane = nullptr;
    return FinishSlice(front, back);
}

bool G3BooleanCalculator::SliceED(G3Surface* s, double* plane, bool cut, G3Surface** front, G3Surface** back)
{
    double unit[4];
    if (!StartSlice(s, plane, cut, front, back, unit))
        return false;
    const double size = BlockSize(s);
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    const double negated[4] = {-unit[0], -unit[1], -unit[2], -unit[3]};
    *front = Sub(s, Block(unit, size), 0);
    *back = Sub(copy, Block(negated, size), 0);
    return FinishSlice(front, back);
}

bool G3BooleanCalculator::CutUpByPlane(G3Surface* s, const double (&plane)[4], bool cut, G3Surface** front,
                                       G3Surface** back)
{
    double standard[4] = {plane[0], plane[1], plane[2], -plane[3]};
    return Slice(s, standard, cut, front, back, false);
}
