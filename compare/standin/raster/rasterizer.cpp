#include "rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace draftora {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct PixelPoint {
    double u = 0; // columns from the left edge
    double v = 0; // rows from the top edge
};

// Coordinates far beyond the window can overflow when mapped; such shapes
// are skipped rather than turned into undefined pixel positions.
bool Finite(const PixelPoint& p)
{
    return std::isfinite(p.u) && std::isfinite(p.v);
}

// Liang-Barsky: cuts the segment to the rectangle; false when nothing of it
// is inside. Endpoints inside stay exactly as they were, and a cut endpoint
// lies exactly on the edge that cut it (interpolating alone would lose it
// for segments that reach far beyond the window).
bool ClipSegment(PixelPoint& a, PixelPoint& b, double low, double highU, double highV)
{
    const double du = b.u - a.u;
    const double dv = b.v - a.v;
    const double p[4] = {-du, du, -dv, dv};
    const double q[4] = {a.u - low, highU - a.u, a.v - low, highV - a.v};
    const double edge[4] = {low, highU, low, highV};
    double t0 = 0;
    double t1 = 1;
    int edge0 = -1;
    int edge1 = -1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0 && r > t0) {
            t0 = r;
            edge0 = i;
        } else if (p[i] > 0 && r < t1) {
            t1 = r;
            edge1 = i;
        }
        if (t0 > t1)
            return false;
    }
    const PixelPoint start = a;
    auto pointAt = [&](double t, int cut) {
        PixelPoint point{start.u + t * du, start.v + t * dv};
        (cut < 2 ? point.u : point.v) = edge[cut];
        return point;
    };
    if (edge1 >= 0)
        b = pointAt(t1, edge1);
    if (edge0 >= 0)
        a = pointAt(t0, edge0);
    // The interpolated coordinate of a cut point of a segment that reaches
    // far beyond the window (1e300 pixels) can be off by more than the
    // window itself: the cut points lie in the rectangle, so they are kept
    // there, and every later conversion to int is safe.
    for (PixelPoint* point : {&a, &b}) {
        point->u = std::clamp(point->u, low, highU);
        point->v = std::clamp(point->v, low, highV);
    }
    return true;
}

class Rasterizer {
public:
    Rasterizer(const Box& window, Canvas& canvas)
        : m_window(window), m_canvas(canvas), m_scaleU(canvas.Width() / (window.highX - window.lowX)),
          m_scaleV(canvas.Height() / (window.highY - window.lowY))
    {
    }

    void Draw(const Shape& shape)
    {
        switch (shape.kind) {
        case ShapeKind::Line:
        case ShapeKind::Polyline:
            for (std::size_t i = 1; i < shape.points.size(); ++i)
                Line(shape.points[i - 1], shape.points[i], shape.pen);
            break;
        case ShapeKind::Polygon: Fill(shape.points, shape.pen.colour); break;
        case ShapeKind::Circle: Circle(shape.points[0], shape.radius, shape.pen); break;
        }
    }

private:
    PixelPoint Map(const Point& p) const
    {
        return {(p.x - m_window.lowX) * m_scaleU, (m_window.highY - p.y) * m_scaleV};
    }

    // A square of pen width pixels around (x, y).
    void Stamp(int x, int y, const Pen& pen)
    {
        if (pen.width == 1) {
            if (x >= 0 && y >= 0 && x < m_canvas.Width() && y < m_canvas.Height())
                m_canvas.Set(x, y, pen.colour);
            return;
        }
        const int x0 = x - (pen.width - 1) / 2;
        const int y0 = y - (pen.width - 1) / 2;
        for (int row = y0; row < y0 + pen.width; ++row)
            m_canvas.FillSpan(row, x0, x0 + pen.width - 1, pen.colour);
    }

    void Line(const Point& from, const Point& to, const Pen& pen)
    {
        PixelPoint a = Map(from);
        PixelPoint b = Map(to);
        const double margin = pen.width + 1.0;
        if (!Finite(a) || !Finite(b) ||
            !ClipSegment(a, b, -margin, m_canvas.Width() + margin, m_canvas.Height() + margin))
            return;
        Bresenham(static_cast<int>(std::floor(a.u)), static_cast<int>(std::floor(a.v)),
                  static_cast<int>(std::floor(b.u)), static_cast<int>(std::floor(b.v)), pen);
    }

    void Bresenham(int x0, int y0, int x1, int y1, const Pen& pen)
    {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            Stamp(x0, y0, pen);
            if (x0 == x1 && y0 == y1)
                return;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

    // Even-odd fill of the pixels whose centres lie inside the polygon.
    void Fill(const std::vector<Point>& points, Rgb colour)
    {
        std::vector<PixelPoint> ring;
        for (const Point& p : points) {
            ring.push_back(Map(p));
            if (!Finite(ring.back()))
                return;
        }
        double top = ring[0].v;
        double bottom = ring[0].v;
        for (const PixelPoint& p : ring) {
            top = std::min(top, p.v);
            bottom = std::max(bottom, p.v);
        }
        const double height = m_canvas.Height();
        const int first = static_cast<int>(std::clamp(std::floor(top), 0.0, height));
        const int last = static_cast<int>(std::clamp(std::ceil(bottom), -1.0, height - 1));
        std::vector<double> crossings;
        for (int row = first; row <= last; ++row)
            FillRow(ring, row, crossings, colour);
    }

    void FillRow(const std::vector<PixelPoint>& ring, int row, std::vector<double>& crossings, Rgb colour)
    {
        const double centre = row + 0.5;
        crossings.clear();
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const PixelPoint& a = ring[j];
            const PixelPoint& b = ring[i];
            if ((a.v <= centre) != (b.v <= centre))
                crossings.push_back(a.u + (centre - a.v) * (b.u - a.u) / (b.v - a.v));
        }
        std::sort(crossings.begin(), crossings.end());
        const double limit = m_canvas.Width() + 1.0;
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const double from = std::clamp(std::ceil(crossings[k] - 0.5), -1.0, limit);
            const double to = std::clamp(std::ceil(crossings[k + 1] - 0.5) - 1, -1.0, limit);
            m_canvas.FillSpan(row, static_cast<int>(from), static_cast<int>(to), colour);
        }
    }

    // A closed polyline fine enough that it strays from the true circle by
    // less than a quarter of a pixel.
    void Circle(const Point& centre, double radius, const Pen& pen)
    {
        const double pixels = radius * std::max(m_scaleU, m_scaleV);
        int segments = 8;
        if (pixels > 1)
            segments = static_cast<int>(std::clamp(std::ceil(kPi / std::acos(1 - 0.25 / pixels)), 8.0, 4096.0));
        Point previous{centre.x + radius, centre.y};
        for (int i = 1; i <= segments; ++i) {
            const double angle = 2 * kPi * i / segments;
            const Point next = i == segments
                ? Point{centre.x + radius, centre.y}
                : Point{centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
            Line(previous, next, pen);
            previous = next;
        }
    }

    Box m_window;
    Canvas& m_canvas;
    double m_scaleU;
    double m_scaleV;
};

} // namespace

void Render(const Drawing& drawing, const Box& window, Canvas& canvas)
{
    Rasterizer rasterizer(window, canvas);
    for (const Shape& shape : drawing.shapes)
        rasterizer.Draw(shape);
}

int ImageHeight(const Box& window, int width)
{
    // Half extents: the difference of two finite corners cannot overflow.
    const double dx = window.highX / 2 - window.lowX / 2;
    const double dy = window.highY / 2 - window.lowY / 2;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        throw std::invalid_argument("the drawing's extents are not finite numbers");
    if (!(dx > 0 && dy > 0))
        throw std::invalid_argument("the window has no area");
    const double height = std::round(width * (dy / dx));
    if (!(height < kMaxImageSide + 0.5))
        throw std::invalid_argument("the window is too tall for its width: the image would be more than " +
                                    std::to_string(kMaxImageSide) + " pixels high");
    return std::max(1, static_cast<int>(height));
}

} // namespace draftora
