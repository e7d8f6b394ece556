// The status line's text after a comparison: how many pixels differ and
// their share of the picture, or the two sizes when they differ.
#pragma once

#include <QImage>
#include <QLocale>
#include <QSize>
#include <QString>

#include <cstdint>

class IStrings;

// The pixels of a difference picture (the complement of first XOR second)
// that are not white; 0 for a null picture.
std::int64_t CountDifferingPixels(const QImage& difference);

// "12,345 pixels differ (0.12 %)", numbers written by `locale`. A share
// that is not 0 but below 0.01 % reads "< 0.01", one below 100 % but above
// 99.99 % reads "> 99.99": the text never claims none or all wrongly.
QString DifferenceCountText(const IStrings& strings, const QLocale& locale, std::int64_t differing, std::int64_t total);

// "Sizes differ: 640 x 480 and 640 x 481".
QString SizesDifferText(const IStrings& strings, QSize first, QSize second);
