// Draws a drawing into a canvas through a window, without antialiasing, so
// that one drawing always gives the same pixels.
//
// The window maps onto the image edge to edge: the point (x, y) falls into
// column floor((x - lowX) * width / (highX - lowX)) and row (from the top)
// floor((highY - y) * height / (highY - lowY)).
#pragma once

#include "canvas.h"
#include "drawing.h"

namespace draftora {

// `window` must have a positive width and height.
void Render(const Drawing& drawing, const Box& window, Canvas& canvas);

// The image height that keeps the window's proportions at `width` pixels
// (rounded, at least 1). Throws std::invalid_argument for a window without
// area or a height beyond kMaxImageSide.
int ImageHeight(const Box& window, int width);

} // namespace draftora
