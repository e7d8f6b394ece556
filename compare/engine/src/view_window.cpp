#include "twinview/view_window.h"

#include <algorithm>
#include <cmath>

BoxCorners UnionOfExtents(const BoxCorners& a, const BoxCorners* b)
{
    if (!b)
        return a;
    BoxCorners u{};
    for (int axis = 0; axis < 3; ++axis) {
        u[axis] = std::min(a[axis], (*b)[axis]);
        u[axis + 3] = std::max(a[axis + 3], (*b)[axis + 3]);
    }
    return u;
}

BoxCorners WidenByMargin(const BoxCorners& box)
{
    const double margin = std::max(0.01 * (box[3] - box[0]), 0.01 * (box[4] - box[1]));
    BoxCorners widened = box;
    widened[0] -= margin;
    widened[1] -= margin;
    widened[3] += margin;
    widened[4] += margin;
    return widened;
}

BoxCorners NonDegenerate(const BoxCorners& box)
{
    BoxCorners fixed = box;
    for (int axis = 0; axis < 2; ++axis) {
        const double low = box[axis];
        const double high = box[axis + 3];
        const double size = high - low;
        if (std::isfinite(size) && size > 0)
            continue;
        const double centre = std::isfinite(low + high) ? (low + high) / 2 : 0.0;
        fixed[axis] = centre - 0.5;
        fixed[axis + 3] = centre + 0.5;
    }
    for (int i : {2, 5})
        if (!std::isfinite(fixed[i]))
            fixed[i] = 0.0;
    return fixed;
}

int BitmapWidth(const BoxCorners& window, int imageSize)
{
    const int size = std::max(1, imageSize);
    // Half extents: the difference of two finite corners cannot overflow.
    const double dx = window[3] / 2 - window[0] / 2;
    const double dy = window[4] / 2 - window[1] / 2;
    if (dy < dx)
        return size;
    // The ratio first: dx <= dy here, so it is at most 1 and the product
    // cannot overflow (size * dx alone can, for extents near 1e308).
    const double width = static_cast<double>(size) * (dx / dy);
    if (!(width >= 1.0))
        return 1;
    return width >= size ? size : static_cast<int>(width);
}
