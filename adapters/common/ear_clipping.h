#pragma once
// Ear clipping of one simple (possibly bridged) polygon loop, for writers
// and adapters that need triangles. Header-only; O(n^2), meant for facets.

#include <cmath>
#include <cstddef>
#include <vector>

namespace tessaly_tools {

struct Point2 {
    double x, y;
};

inline double Cross(const Point2& o, const Point2& a, const Point2& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// p inside the triangle a, b, c (counter-clockwise) or on its boundary,
// counting points that coincide with a corner as outside (a bridged loop
// visits its bridge ends twice).
inline bool InTriangle(const Point2& p, const Point2& a, const Point2& b, const Point2& c)
{
    auto same = [](const Point2& u, const Point2& v) { return u.x == v.x && u.y == v.y; };
    if (same(p, a) || same(p, b) || same(p, c))
        return false;
    return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

// Triangles as index triples into the loop, each turning like the loop.
// A loop whose ears run out (degenerate input) is finished as a fan.
inline std::vector<std::size_t> EarClip(const std::vector<Point2>& loop)
{
    std::vector<std::size_t> out;
    std::size_t n = loop.size();
    if (n < 3)
        return out;
    double area = 0;
    for (std::size_t k = 0; k < n; ++k)
        area += loop[k].x * loop[(k + 1) % n].y - loop[(k + 1) % n].x * loop[k].y;
    double sign = area < 0 ? -1.0 : 1.0;
    std::vector<std::size_t> left(n);
    for (std::size_t k = 0; k < n; ++k)
        left[k] = k;
    auto emit = [&](std::size_t a, std::size_t b, std::size_t c) {
        out.push_back(a);
        out.push_back(b);
        out.push_back(c);
    };
    while (left.size() > 3) {
        std::size_t m = left.size();
        bool clipped = false;
        for (std::size_t k = 0; k < m && !clipped; ++k) {
            std::size_t ia = left[(k + m - 1) % m], ib = left[k], ic = left[(k + 1) % m];
            Point2 a = loop[ia], b = loop[ib], c = loop[ic];
            if (sign < 0)
                std::swap(a, c);
            if (Cross(a, b, c) <= 0)
                continue;
            bool empty = true;
            for (std::size_t j = 0; j < m && empty; ++j) {
                std::size_t ij = left[j];
                if (ij != ia && ij != ib && ij != ic && InTriangle(loop[ij], a, b, c))
                    empty = false;
            }
            if (!empty)
                continue;
            emit(ia, ib, ic);
            left.erase(left.begin() + static_cast<long>(k));
            clipped = true;
        }
        if (!clipped) {
            for (std::size_t k = 1; k + 1 < left.size(); ++k)
                emit(left[0], left[k], left[k + 1]);
            return out;
        }
    }
    emit(left[0], left[1], left[2]);
    return out;
}

} // namespace tessaly_tools
