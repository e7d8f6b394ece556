// The comparison behind "twinview compare": two opaque images of one size,
// pixel by pixel, exact or within a perceptual colour distance, with the
// pixels that differ only by the antialiasing of an edge told apart, and a
// difference picture a person can read.
#pragma once

#include "int_rect.h"

#include <QImage>

#include <cstdint>
#include <optional>

struct ImageDiffOptions {
    // A colour distance below which two pixels count as equal, from 0 to 1
    // in the YIQ space, as pixelmatch measures it; none: exact.
    std::optional<double> threshold;
    // Pixels that differ only by the antialiasing of an edge present in
    // both images are counted apart, not as differences.
    bool antialias = false;
    // Make the difference picture.
    bool picture = false;
};

struct ImageDiff {
    std::int64_t differing = 0;    // counted differences
    std::int64_t antialiased = 0;  // told apart as antialiasing (with `antialias`)
    std::int64_t onlyInFirst = 0;  // differing and darker in the first image
    std::int64_t onlyInSecond = 0; // differing and darker in the second image
    // The counted differences' box, both ends included, rows from the top.
    std::optional<IntRect> box;
    // The first image faded to grey, differences in strong colours: red
    // where the first image is darker (ink only in the first), green where
    // the second is, blue where the colour changed at one brightness; weak
    // yellow for antialiasing. Null unless asked for.
    QImage picture;
};

// `first` and `second` must have one size; any format (converted to RGB32
// first). Compared in strips of rows on every processor.
ImageDiff DiffImages(const QImage& first, const QImage& second, const ImageDiffOptions& options);
