#include "pixel_compare.h"

#include "known_white_rows.h"
#include "large_image.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;
// Below this many pixels a second thread costs more than it saves.
constexpr long long kPixelsPerStrip = 1 << 20;

// One row: writes the result and returns how many pixels differ. Plain
// stores: measured against streaming stores past the caches, they take
// 20-40% less time here, into new pages and warm ones alike.
int CompareRow(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* out, int width)
{
    int differing = 0;
    int x = 0;
    const __m128i colour = _mm_set1_epi32(static_cast<int>(kColourBits));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i ones = _mm_set1_epi32(-1);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= width; x += 4) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        const __m128i bits = _mm_and_si128(_mm_xor_si128(va, vb), colour);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(_mm_xor_si128(bits, ones), opaque));
        // One bit for each of the four pixels that is equal.
        const int equal = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(bits, zero)));
        differing += 4 - __builtin_popcount(static_cast<unsigned>(equal));
    }
    for (; x < width; ++x) {
        const std::uint32_t bits = (a[x] ^ b[x]) & kColourBits;
        out[x] = ~bits | kOpaque;
        differing += bits != 0;
    }
    return differing;
}

// Whether two rows have the same colours, reading them only: for a row of
// the result that is white already. The differences are gathered with OR
// over four vectors at a time and tested once a stretch, so that the loop
// runs at the speed of the reads and a row that differs is left early.
bool SameColours(const std::uint32_t* a, const std::uint32_t* b, int width)
{
    constexpr int kStretch = 256; // pixels between tests
    const __m128i colour = _mm_set1_epi32(static_cast<int>(kColourBits));
    int x = 0;
    while (x + 16 <= width) {
        __m128i any = _mm_setzero_si128();
        const int end = std::min(width, x + kStretch);
        for (; x + 16 <= end; x += 16) {
            const auto* va = reinterpret_cast<const __m128i*>(a + x);
            const auto* vb = reinterpret_cast<const __m128i*>(b + x);
            const __m128i d0 = _mm_xor_si128(_mm_loadu_si128(va), _mm_loadu_si128(vb));
            const __m128i d1 = _mm_xor_si128(_mm_loadu_si128(va + 1), _mm_loadu_si128(vb + 1));
            const __m128i d2 = _mm_xor_si128(_mm_loadu_si128(va + 2), _mm_loadu_si128(vb + 2));
            const __m128i d3 = _mm_xor_si128(_mm_loadu_si128(va + 3), _mm_loadu_si128(vb + 3));
            any = _mm_or_si128(any, _mm_or_si128(_mm_or_si128(d0, d1), _mm_or_si128(d2, d3)));
        }
        any = _mm_and_si128(any, colour);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF)
            return false;
    }
    for (; x < width; ++x) {
        if ((a[x] ^ b[x]) & kColourBits)
            return false;
    }
    return true;
}

// The first and last differing column of a row that has one.
void WidenBox(const std::uint32_t* out, int width, int row, std::optional<IntRect>& box)
{
    int left = 0;
    while ((out[left] | kOpaque) == 0xFFFFFFFF)
        ++left;
    int right = width - 1;
    while ((out[right] | kOpaque) == 0xFFFFFFFF)
        --right;
    if (!box) {
        box = IntRect{left, row, right, row};
        return;
    }
    box->left = std::min(box->left, left);
    box->right = std::max(box->right, right);
    box->bottom = row;
}

// The result's pixels, reached without QImage::scanLine(), which counts
// detaches and so must not run on several threads at once.
struct OutputRows {
    uchar* bits;
    qsizetype bytesPerLine;
    std::uint32_t* Row(int y) const { return reinterpret_cast<std::uint32_t*>(bits + bytesPerLine * y); }
};

// What one strip of rows found.
struct StripDifference {
    std::optional<IntRect> box;
    std::int64_t count = 0;
};

// Rows [top, bottom) into `out`; the box and count of their differences.
// white[y] says whether row y of `out` is all white, before and after.
StripDifference CompareStrip(const QImage& first, const QImage& second, OutputRows out, char* white, int top,
                             int bottom)
{
    const int width = first.width();
    StripDifference found;
    for (int y = top; y < bottom; ++y) {
        const auto* a = reinterpret_cast<const std::uint32_t*>(first.constScanLine(y));
        const auto* b = reinterpret_cast<const std::uint32_t*>(second.constScanLine(y));
        if (white[y] && SameColours(a, b, width))
            continue;
        std::uint32_t* row = out.Row(y);
        const int differing = CompareRow(a, b, row, width);
        white[y] = differing == 0;
        if (differing > 0) {
            WidenBox(row, width, y, found.box);
            found.count += differing;
        }
    }
    return found;
}

int StripCount(const QImage& image)
{
    const long long pixels = static_cast<long long>(image.width()) * image.height();
    const long long wanted = std::max(1LL, pixels / kPixelsPerStrip);
    const long long processors = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<int>(std::min({wanted, processors, static_cast<long long>(image.height())}));
}

// The strips' boxes in order from the top, merged into one.
std::optional<IntRect> MergeBoxes(const std::vector<StripDifference>& strips)
{
    std::optional<IntRect> merged;
    for (const StripDifference& strip : strips) {
        const std::optional<IntRect>& box = strip.box;
        if (!box)
            continue;
        if (!merged) {
            merged = box;
            continue;
        }
        merged->left = std::min(merged->left, box->left);
        merged->right = std::max(merged->right, box->right);
        merged->bottom = box->bottom;
    }
    return merged;
}

bool Comparable(const QImage& first, const QImage& second)
{
    return first.size() == second.size() && first.format() == QImage::Format_RGB32 &&
        second.format() == QImage::Format_RGB32;
}

} // namespace

void ComparePixels(const QImage& first, const QImage& second, PixelDifference& result)
{
    result.differs = false;
    result.box = IntRect();
    result.count = 0;
    if (!Comparable(first, second)) {
        result.image = QImage();
        return;
    }
    const bool reusable = result.image.size() == first.size() && result.image.format() == QImage::Format_RGB32 &&
        result.image.isDetached();
    const int height = first.height();
    std::vector<char> white;
    if (reusable)
        white = known_white_rows::Take(result.image);
    white.resize(static_cast<std::size_t>(height), 0);
    if (!reusable) {
        result.image = QImage(); // the old pixels go before the new are made
        result.image = NewLargeImage(first.size());
        if (result.image.isNull())
            return;
    }
    // Each thread writes rows of its own into the one result.
    const OutputRows out{result.image.bits(), result.image.bytesPerLine()};
    const int strips = StripCount(first);
    std::vector<StripDifference> found(static_cast<std::size_t>(strips));
    std::vector<std::thread> helpers;
    for (int k = 1; k < strips; ++k)
        helpers.emplace_back([&, k] {
            found[static_cast<std::size_t>(k)] =
                CompareStrip(first, second, out, white.data(), height * k / strips, height * (k + 1) / strips);
        });
    found[0] = CompareStrip(first, second, out, white.data(), 0, height / strips);
    for (std::thread& helper : helpers)
        helper.join();
    known_white_rows::Remember(result.image, std::move(white));
    const std::optional<IntRect> box = MergeBoxes(found);
    result.differs = box.has_value();
    for (const StripDifference& strip : found)
        result.count += strip.count;
    if (box)
        result.box = *box;
}

PixelDifference ComparePixels(const QImage& first, const QImage& second)
{
    PixelDifference result;
    ComparePixels(first, second, result);
    return result;
}
