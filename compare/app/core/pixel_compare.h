// The pixel-by-pixel comparison of two bitmaps of one size.
#pragma once

#include "int_rect.h"

#include <QImage>

#include <cstdint>

struct PixelDifference {
    // Per colour byte the complement of (first XOR second): equal bytes give
    // 0xFF, so identical pixels come out white. Opaque RGB32.
    QImage image;
    bool differs = false;
    // The differing pixels' box in pixel indices, rows counted from the
    // top, both ends included (one pixel gives a box of no width or height).
    // Meaningful only when `differs`.
    IntRect box;
    // How many pixels differ, counted in the same pass.
    std::int64_t count = 0;
};

// Compares two opaque RGB32 images of one size; there is no tolerance. The
// result image is null when the sizes differ or memory runs out. Large
// images are compared in strips of rows, one per processor.
PixelDifference ComparePixels(const QImage& first, const QImage& second);

// The same into `result`, whose image is reused when it has the size and
// format and nobody else holds it: a new image of 10^8 pixels costs more in
// first touches of its pages than the whole comparison into warm memory.
// Rows of a reused result that were white and stay white are not written
// again, unless the image was changed in between.
void ComparePixels(const QImage& first, const QImage& second, PixelDifference& result);
