// OffsetContour: a closed outline moved sideways by a distance.
#include <cmath>
#include <vector>

#include "core/tolerances.h"
#include "terrain/outline_points.h"
#include "tessaly/terrain.h"

using namespace tessaly;

namespace {
// A side's line moved to the left of its direction.
struct ShiftedSide {
    double point[2];
    double dir[2];
};

// False for a side without plan length.
bool ShiftLeft(const double* a, const double* b, double distance, ShiftedSide& side)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length = std::hypot(dx, dy);
    if (length < kLengthTolerance)
        return false;
    side.dir[0] = dx / length;
    side.dir[1] = dy / length;
    side.point[0] = a[0] - distance * side.dir[1];
    side.point[1] = a[1] + distance * side.dir[0];
    return true;
}

// The point where two shifted sides meet; false when they are parallel.
bool Meet(const ShiftedSide& s, const ShiftedSide& t, double* out)
{
    const double det = s.dir[0] * t.dir[1] - s.dir[1] * t.dir[0];
    if (std::fabs(det) < kTerrainParallelSine)
        return false;
    const double wx = t.point[0] - s.point[0], wy = t.point[1] - s.point[1];
    const double along = (wx * t.dir[1] - wy * t.dir[0]) / det;
    out[0] = s.point[0] + along * s.dir[0];
    out[1] = s.point[1] + along * s.dir[1];
    return true;
}
} // namespace

bool G3LandscapeHandler::OffsetContour(GArrayCollection* in, GArrayCollection* out, double distance)
{
    if (!in || !out || in->size() < 2 || !std::isfinite(distance))
        return false;
    const int n = in->size();
    auto at = [in](int k) { return OutlinePoint(in, k)->GetXYZ(); };
    ShiftedSide previous;
    // The first side has no earlier side to stand in for it.
    if (!ShiftLeft(at(0), at(1), distance, previous))
        return false;
    std::vector<G3Point*> made;
    for (int i = 0; i + 1 < n; ++i) {
        const double* b = at(i + 1);
        const double* c = at(i + 2 < n ? i + 2 : 1);
        ShiftedSide ab = previous;
        ShiftLeft(at(i), b, distance, ab);
        ShiftedSide bc = ab;
        ShiftLeft(b, c, distance, bc);
        previous = bc;
        double xy[2];
        if (Meet(ab, bc, xy))
            made.push_back(new G3Point(xy[0], xy[1], b[2], 0));
    }
    if (made.empty())
        return false;
    for (G3Point* p : made)
        out->add(p);
    out->add(new G3Point(made.front()->GetXYZ(), 0));
    return true;
}
