#include "difference_summary.h"

#include "string_ids.h"
#include "text_table.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;
constexpr int kShareDecimals = 2;
constexpr double kSmallestShownShare = 0.01; // per cent, at two decimals

QString ShareText(const QLocale& locale, std::int64_t differing, std::int64_t total)
{
    const double share = 100.0 * static_cast<double>(differing) / static_cast<double>(total);
    if (differing > 0 && share < kSmallestShownShare)
        return "< " + locale.toString(kSmallestShownShare, 'f', kShareDecimals);
    if (differing < total && share > 100.0 - kSmallestShownShare)
        return "> " + locale.toString(100.0 - kSmallestShownShare, 'f', kShareDecimals);
    return locale.toString(share, 'f', kShareDecimals);
}

} // namespace

std::int64_t CountDifferingPixels(const QImage& difference)
{
    if (difference.isNull())
        return 0;
    const QImage rgb = difference.format() == QImage::Format_RGB32 || difference.format() == QImage::Format_ARGB32
        ? difference
        : difference.convertToFormat(QImage::Format_RGB32);
    std::int64_t count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (row[x] | kOpaque) != kWhite;
    }
    return count;
}

QString DifferenceCountText(const IStrings& strings, const QLocale& locale, std::int64_t differing, std::int64_t total)
{
    if (differing <= 0 || total <= 0)
        return strings.Get(ids::kNoPixelsDiffer);
    const QString share = ShareText(locale, std::min(differing, total), total);
    if (differing == 1)
        return strings.Format(ids::kOnePixelDiffers, {share});
    return strings.Format(ids::kPixelsDiffer, {locale.toString(static_cast<qlonglong>(differing)), share});
}

QString SizesDifferText(const IStrings& strings, QSize first, QSize second)
{
    return strings.Format(ids::kSizesDiffer,
                          {QString::number(first.width()), QString::number(first.height()),
                           QString::number(second.width()), QString::number(second.height())});
}
