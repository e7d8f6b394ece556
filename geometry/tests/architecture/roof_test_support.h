#pragma once
// Outlines and measures for the roof tests: seeded random orthogonal and
// convex outlines, facet loops in plan, the roof's height at a point, and
// the lower envelope of the edge planes.
#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "tessaly/roof.h"

namespace rooftest {

using Point = std::array<double, 3>;
using Outline = std::vector<Point>;

inline std::vector<Point> FacetPoints(G3Facet* f)
{
    std::vector<Point> out;
    G3FacetVertexIterator it(f);
    while (it.hasNext()) {
        const double* p = static_cast<G3Vertex*>(it.next())->GetXYZ();
        out.push_back({p[0], p[1], p[2]});
    }
    return out;
}

// Signed area of a loop in plan (positive counter-clockwise).
inline double PlanArea(const std::vector<Point>& loop)
{
    double a = 0;
    for (std::size_t k = 0; k < loop.size(); ++k) {
        const Point& p = loop[k];
        const Point& q = loop[(k + 1) % loop.size()];
        a += p[0] * q[1] - q[0] * p[1];
    }
    return a / 2;
}

inline double SegmentDistance2(double x, double y, const Point& a, const Point& b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a[0]) * dx + (y - a[1]) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a[0] + t * dx - x, ey = a[1] + t * dy - y;
    return ex * ex + ey * ey;
}

// Distance in plan from (x, y) to the loop's border.
inline double BorderDistance(const std::vector<Point>& loop, double x, double y)
{
    double best = 1e300;
    for (std::size_t k = 0; k < loop.size(); ++k)
        best = std::min(best, SegmentDistance2(x, y, loop[k], loop[(k + 1) % loop.size()]));
    return std::sqrt(best);
}

// Crossing-number test in plan (the border itself is left undecided: call
// only away from it).
inline bool PlanInside(const std::vector<Point>& loop, double x, double y)
{
    bool inside = false;
    for (std::size_t k = 0, j = loop.size() - 1; k < loop.size(); j = k++) {
        const Point& a = loop[k];
        const Point& b = loop[j];
        if ((a[1] > y) != (b[1] > y) && x < (b[0] - a[0]) * (y - a[1]) / (b[1] - a[1]) + a[0])
            inside = !inside;
    }
    return inside;
}

// z of the facet's plane at (x, y) in plan.
inline double PlaneZ(G3Facet* f, double x, double y)
{
    return -(f->GetPlaneA() * x + f->GetPlaneB() * y + f->GetPlaneD()) / f->GetPlaneC();
}

struct HeightAt {
    int facets = 0; // facets of the type whose plan holds the point
    double z = 0;
    G3Facet* facet = nullptr;
};

// The roof facets (of the type) over (x, y), and the height of the last one.
inline HeightAt RoofHeight(G3Surface* s, double x, double y, ROOF_FACET_TYPE type = ROOF_FACET_UPPER)
{
    HeightAt h;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        if (G3RoofGenerator::GetFacetType(f) != type)
            continue;
        if (PlanInside(FacetPoints(f), x, y)) {
            ++h.facets;
            h.z = PlaneZ(f, x, y);
            h.facet = f;
        }
    }
    return h;
}

// The smallest distance from (x, y) to a facet border of the type.
inline double FacetBorderDistance(G3Surface* s, double x, double y, ROOF_FACET_TYPE type = ROOF_FACET_UPPER)
{
    double best = 1e300;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (G3RoofGenerator::GetFacetType(s->GetFacet(k)) == type)
            best = std::min(best, BorderDistance(FacetPoints(s->GetFacet(k)), x, y));
    return best;
}

// Signed distance of (x, y) from the line of edge a-b, positive to the left
// (the inside of a counter-clockwise outline).
inline double LeftDistance(const Point& a, const Point& b, double x, double y)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    return (dx * (y - a[1]) - dy * (x - a[0])) / std::hypot(dx, dy);
}

// min over edges i of dist_i * tan(slope_i) for a counter-clockwise outline
// whose slope i belongs to the edge from point i to point i + 1.
inline double LowerEnvelope(const Outline& o, const std::vector<double>& slopes, double x, double y)
{
    double best = 1e300;
    for (std::size_t i = 0; i < o.size(); ++i)
        best = std::min(best, LeftDistance(o[i], o[(i + 1) % o.size()], x, y) * std::tan(slopes[i]));
    return best;
}

// A random convex outline (counter-clockwise) of n points around the
// origin, radius about r.
inline Outline RandomConvex(int n, double r, std::mt19937& rng)
{
    std::uniform_real_distribution<double> turn(0, 2 * M_PI), scale(0.6, 1.0);
    std::vector<double> angles(static_cast<std::size_t>(n));
    for (double& a : angles)
        a = turn(rng);
    std::sort(angles.begin(), angles.end());
    // Points on an ellipse are in convex position.
    const double ax = r * scale(rng), by = r * scale(rng);
    Outline o;
    for (double a : angles)
        o.push_back({ax * std::cos(a), by * std::sin(a), 0});
    return o;
}

// A random orthogonal outline (counter-clockwise) of exactly `vertices`
// corners: a polyomino grown cell by cell on a grid without holes or corners
// where two cells touch diagonally. With uneven the grid lines lie at random
// spacings in [1, 3), else at unit spacing (many simultaneous events).
class OrthogonalOutline {
public:
    OrthogonalOutline(int vertices, unsigned seed, bool uneven) : m_Rng(seed)
    {
        m_Size = 8;
        while (m_Size * m_Size < 8 * vertices)
            m_Size += 4;
        std::uniform_real_distribution<double> gap(1.0, 3.0);
        for (int k = 0; k <= m_Size; ++k) {
            m_X.push_back(k == 0 ? 0 : m_X.back() + (uneven ? gap(m_Rng) : 1.0));
            m_Y.push_back(k == 0 ? 0 : m_Y.back() + (uneven ? gap(m_Rng) : 1.0));
        }
        Grow(vertices);
    }

    const Outline& Get() const { return m_Outline; }
    bool Ok() const { return static_cast<int>(m_Outline.size()) >= 4; }

private:
    bool Cell(int i, int j) const
    {
        return i >= 0 && j >= 0 && i < m_Size && j < m_Size && m_Cells[static_cast<std::size_t>(j * m_Size + i)];
    }

    // Corners of the union, or -1 when two cells touch only diagonally.
    int Corners() const
    {
        int n = 0;
        for (int j = 0; j <= m_Size; ++j)
            for (int i = 0; i <= m_Size; ++i) {
                const bool a = Cell(i - 1, j - 1), b = Cell(i, j - 1), c = Cell(i - 1, j), d = Cell(i, j);
                const int k = a + b + c + d;
                if (k == 2 && a == d)
                    return -1;
                n += k == 1 || k == 3;
            }
        return n;
    }

    bool HasHole() const
    {
        std::vector<char> seen(static_cast<std::size_t>((m_Size + 2) * (m_Size + 2)), 0);
        std::vector<std::pair<int, int>> stack{{-1, -1}};
        auto id = [&](int i, int j) { return static_cast<std::size_t>((j + 1) * (m_Size + 2) + i + 1); };
        seen[id(-1, -1)] = 1;
        int empty = 0;
        while (!stack.empty()) {
            auto [i, j] = stack.back();
            stack.pop_back();
            ++empty;
            const int di[4] = {1, -1, 0, 0}, dj[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int a = i + di[k], b = j + dj[k];
                if (a < -1 || b < -1 || a > m_Size || b > m_Size || seen[id(a, b)] || Cell(a, b))
                    continue;
                seen[id(a, b)] = 1;
                stack.push_back({a, b});
            }
        }
        int cells = 0;
        for (char c : m_Cells)
            cells += c;
        return empty + cells != (m_Size + 2) * (m_Size + 2);
    }

    int Neighbours(int i, int j) const { return Cell(i - 1, j) + Cell(i + 1, j) + Cell(i, j - 1) + Cell(i, j + 1); }

    // Cells join at random beside the cells there are; a cell that touches
    // more than one of them joins only now and then, so the shape grows
    // wings and corridors (many corners) as well as rooms.
    void Grow(int vertices)
    {
        m_Cells.assign(static_cast<std::size_t>(m_Size * m_Size), 0);
        std::vector<std::pair<int, int>> occupied{{m_Size / 2, m_Size / 2}};
        m_Cells[static_cast<std::size_t>(m_Size / 2 * m_Size + m_Size / 2)] = 1;
        int corners = 4;
        std::uniform_int_distribution<int> dir(0, 3);
        std::uniform_real_distribution<double> chance(0, 1);
        for (int attempt = 0; attempt < 400000 && corners != vertices; ++attempt) {
            std::uniform_int_distribution<std::size_t> pick(0, occupied.size() - 1);
            auto [i, j] = occupied[pick(m_Rng)];
            const int d = dir(m_Rng);
            const int a = i + (d == 0) - (d == 1), b = j + (d == 2) - (d == 3);
            if (a < 1 || b < 1 || a >= m_Size - 1 || b >= m_Size - 1 || Cell(a, b))
                continue;
            const int touching = Neighbours(a, b);
            if (touching > 1 && chance(m_Rng) > 0.3)
                continue;
            m_Cells[static_cast<std::size_t>(b * m_Size + a)] = 1;
            const int n = Corners();
            if (n < 0 || n > vertices || (touching > 1 && HasHole())) {
                m_Cells[static_cast<std::size_t>(b * m_Size + a)] = 0;
                continue;
            }
            corners = n;
            occupied.push_back({a, b});
        }
        if (corners == vertices)
            Trace();
    }

    // The border of the cells, counter-clockwise, corners only.
    void Trace()
    {
        // Directed unit border edges with the cells on their left.
        std::vector<std::array<int, 4>> edges;
        for (int j = 0; j < m_Size; ++j)
            for (int i = 0; i < m_Size; ++i) {
                if (!Cell(i, j))
                    continue;
                if (!Cell(i, j - 1))
                    edges.push_back({i, j, i + 1, j});
                if (!Cell(i + 1, j))
                    edges.push_back({i + 1, j, i + 1, j + 1});
                if (!Cell(i, j + 1))
                    edges.push_back({i + 1, j + 1, i, j + 1});
                if (!Cell(i - 1, j))
                    edges.push_back({i, j + 1, i, j});
            }
        std::vector<int> from(static_cast<std::size_t>((m_Size + 1) * (m_Size + 1)), -1);
        for (std::size_t k = 0; k < edges.size(); ++k)
            from[static_cast<std::size_t>(edges[k][1] * (m_Size + 1) + edges[k][0])] = static_cast<int>(k);
        std::vector<std::array<int, 2>> walk;
        int e = 0;
        for (std::size_t step = 0; step < edges.size(); ++step) {
            walk.push_back({edges[static_cast<std::size_t>(e)][0], edges[static_cast<std::size_t>(e)][1]});
            e = from[static_cast<std::size_t>(edges[static_cast<std::size_t>(e)][3] * (m_Size + 1) +
                                              edges[static_cast<std::size_t>(e)][2])];
        }
        for (std::size_t k = 0; k < walk.size(); ++k) {
            const auto& p = walk[(k + walk.size() - 1) % walk.size()];
            const auto& q = walk[k];
            const auto& r = walk[(k + 1) % walk.size()];
            if ((q[0] - p[0]) * (r[1] - q[1]) - (q[1] - p[1]) * (r[0] - q[0]) != 0)
                m_Outline.push_back({m_X[static_cast<std::size_t>(q[0])], m_Y[static_cast<std::size_t>(q[1])], 0});
        }
    }

    std::mt19937 m_Rng;
    int m_Size = 0;
    std::vector<double> m_X, m_Y;
    std::vector<char> m_Cells;
    Outline m_Outline;
};

} // namespace rooftest
