// Which rows of a comparison's result are known to be all white (no pixel
// of the row differed), remembered for the result image compared into
// last. A comparison into that same image again need not rewrite the rows
// that stay white: for two drawings that barely differ it then only reads
// the two images. The memory is tied to the image's cache key, which Qt
// changes whenever the image's pixels may have been changed.
#pragma once

#include <QImage>

#include <vector>

namespace known_white_rows {

// The rows of `image` known white (a non-zero entry per such row), or an
// empty vector when `image` is not the one remembered or has been changed
// since. Forgets what it gives.
std::vector<char> Take(const QImage& image);

// Remembers the white rows of `image` as it is now.
void Remember(const QImage& image, std::vector<char> rows);

} // namespace known_white_rows
