// A drawing as the stand-in engine holds it: a background colour and a list
// of shapes, each drawn with the pen that was current when it was read.
#pragma once

#include <cstdint>
#include <vector>

namespace draftora {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Pen {
    Rgb colour;
    int width = 1; // in pixels
};

enum class ShapeKind { Line, Polyline, Polygon, Circle };

struct Shape {
    ShapeKind kind = ShapeKind::Line;
    Pen pen;
    // Line: 2 points; polyline: 2 or more; polygon (filled): 3 or more;
    // circle (outline): the centre.
    std::vector<Point> points;
    double radius = 0;
};

struct Drawing {
    Rgb background{255, 255, 255};
    std::vector<Shape> shapes;
};

// An axis-parallel box in drawing units.
struct Box {
    double lowX = 0;
    double lowY = 0;
    double highX = 0;
    double highY = 0;
};

// The box around every shape (a circle counts with its radius); the zero
// box for a drawing without shapes.
Box Extents(const Drawing& drawing);

} // namespace draftora
