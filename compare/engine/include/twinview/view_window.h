// The view window that two drawings share, so that their bitmaps line up
// pixel for pixel, and the bitmap width that follows from it.
#pragma once

#include "twinview/engine_roles.h"

// The union of the extents of the drawings rendered (b may be null).
BoxCorners UnionOfExtents(const BoxCorners& a, const BoxCorners* b);

// Widens x and y (not z) on both sides by 1 % of the larger of the width and
// the height, so that lines on the border stay inside the bitmap.
BoxCorners WidenByMargin(const BoxCorners& box);

// An empty drawing or a single point has a window of no width or height (or
// no finite one); such an axis becomes one unit around its centre, so that
// the width and height of the bitmap are defined.
BoxCorners NonDegenerate(const BoxCorners& box);

// The bitmap width for `imageSize`, the length of the longer side: the image
// size for a wide window, else the image size times width / height,
// truncated. Never below 1.
int BitmapWidth(const BoxCorners& window, int imageSize);
