#include "drawing.h"

#include <algorithm>

namespace draftora {

namespace {

void Include(Box& box, bool& first, double x, double y)
{
    if (first) {
        box = {x, y, x, y};
        first = false;
        return;
    }
    box.lowX = std::min(box.lowX, x);
    box.lowY = std::min(box.lowY, y);
    box.highX = std::max(box.highX, x);
    box.highY = std::max(box.highY, y);
}

} // namespace

Box Extents(const Drawing& drawing)
{
    Box box;
    bool first = true;
    for (const Shape& shape : drawing.shapes) {
        const double r = shape.kind == ShapeKind::Circle ? shape.radius : 0.0;
        for (const Point& p : shape.points) {
            Include(box, first, p.x - r, p.y - r);
            Include(box, first, p.x + r, p.y + r);
        }
    }
    return box;
}

} // namespace draftora
