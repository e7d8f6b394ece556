#include "polygon_oracle.h"

#include <cmath>
#include <polyclipping/clipper.hpp>

namespace {
constexpr double kScale = 1e6;

ClipperLib::Path ToPath(const OracleLoop& loop)
{
    ClipperLib::Path path;
    for (const OraclePoint& p : loop)
        path.emplace_back(static_cast<ClipperLib::cInt>(std::llround(p.x * kScale)),
                          static_cast<ClipperLib::cInt>(std::llround(p.y * kScale)));
    return path;
}
} // namespace

double EvenOddArea(const std::vector<OracleLoop>& loops)
{
    ClipperLib::Clipper clipper;
    for (const OracleLoop& loop : loops) {
        ClipperLib::Path path = ToPath(loop);
        clipper.AddPath(path, ClipperLib::ptSubject, true);
    }
    ClipperLib::Paths solution;
    clipper.Execute(ClipperLib::ctUnion, solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    double area = 0.0;
    for (const ClipperLib::Path& path : solution)
        area += ClipperLib::Area(path);
    return area / (kScale * kScale);
}

int EvenOddLocate(const std::vector<OracleLoop>& loops, OraclePoint p)
{
    ClipperLib::IntPoint q(static_cast<ClipperLib::cInt>(std::llround(p.x * kScale)),
                           static_cast<ClipperLib::cInt>(std::llround(p.y * kScale)));
    bool inside = false;
    for (const OracleLoop& loop : loops) {
        int where = ClipperLib::PointInPolygon(q, ToPath(loop));
        if (where < 0)
            return -1;
        inside = inside != (where == 1);
    }
    return inside ? 1 : 0;
}
