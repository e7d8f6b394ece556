#include "image_diff.h"

#include "large_image.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// Pixelmatch's largest YIQ distance between two colours: a threshold t
// admits distances up to t² of it.
constexpr double kMaxYiqDelta = 35215.0;
// The difference picture's background keeps a tenth of the first image.
constexpr double kFadedShare = 0.1;
constexpr long long kPixelsPerStrip = 1 << 20;

const QRgb kOnlyInFirst = qRgb(230, 0, 0);
const QRgb kOnlyInSecond = qRgb(0, 170, 0);
const QRgb kChanged = qRgb(0, 70, 255);
const QRgb kAntialiased = qRgb(255, 230, 120);

double Luma(QRgb c)
{
    return qRed(c) * 0.29889531 + qGreen(c) * 0.58662247 + qBlue(c) * 0.11448223;
}

// The brightness difference of two colours (positive: `b` is darker).
double LumaDelta(QRgb a, QRgb b)
{
    return Luma(a) - Luma(b);
}

// The YIQ distance of two colours.
double YiqDelta(QRgb a, QRgb b)
{
    const double dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    const double y = dr * 0.29889531 + dg * 0.58662247 + db * 0.11448223;
    const double i = dr * 0.59597799 - dg * 0.27417610 - db * 0.32180189;
    const double q = dr * 0.21147017 - dg * 0.52261711 + db * 0.31114694;
    return 0.5053 * y * y + 0.299 * i * i + 0.1957 * q * q;
}

class Images {
public:
    Images(const QImage& first, const QImage& second) : m_first(first), m_second(second) {}
    int Width() const { return m_first.width(); }
    const QImage& FirstImage() const { return m_first; }
    const QImage& SecondImage() const { return m_second; }
    static const QRgb* Row(const QImage& image, int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); }

private:
    const QImage& m_first;
    const QImage& m_second;
};

QRgb At(const QImage& image, int x, int y)
{
    return Images::Row(image, y)[x];
}

// More than two of the up to eight neighbours of (x, y) have its colour
// exactly (a pixel on the image's border counts one more): the pixel lies
// inside an area of one colour, not on a blended edge.
bool HasManySiblings(const QImage& image, int x, int y)
{
    const int x0 = std::max(x - 1, 0), x1 = std::min(x + 1, image.width() - 1);
    const int y0 = std::max(y - 1, 0), y1 = std::min(y + 1, image.height() - 1);
    int same = (x == x0 || x == x1 || y == y0 || y == y1) ? 1 : 0;
    const QRgb centre = At(image, x, y);
    for (int ny = y0; ny <= y1; ++ny)
        for (int nx = x0; nx <= x1; ++nx) {
            if ((nx == x && ny == y) || At(image, nx, ny) != centre)
                continue;
            if (++same > 2)
                return true;
        }
    return false;
}

// Pixel (x, y) of `image` looks like the antialiasing of an edge: among its
// neighbours there is both a darker and a brighter one, at most two of the
// same brightness, and the darkest or the brightest neighbour lies inside a
// flat area in both images (the edge itself is in both).
bool Antialiased(const QImage& image, const QImage& other, int x, int y)
{
    const int x0 = std::max(x - 1, 0), x1 = std::min(x + 1, image.width() - 1);
    const int y0 = std::max(y - 1, 0), y1 = std::min(y + 1, image.height() - 1);
    int zeroes = (x == x0 || x == x1 || y == y0 || y == y1) ? 1 : 0;
    double least = 0, most = 0;
    int leastX = 0, leastY = 0, mostX = 0, mostY = 0;
    const QRgb centre = At(image, x, y);
    for (int ny = y0; ny <= y1; ++ny)
        for (int nx = x0; nx <= x1; ++nx) {
            if (nx == x && ny == y)
                continue;
            const double delta = LumaDelta(centre, At(image, nx, ny));
            if (delta == 0) {
                if (++zeroes > 2)
                    return false;
            } else if (delta < least) {
                least = delta;
                leastX = nx;
                leastY = ny;
            } else if (delta > most) {
                most = delta;
                mostX = nx;
                mostY = ny;
            }
        }
    if (least == 0 || most == 0)
        return false;
    return (HasManySiblings(image, leastX, leastY) && HasManySiblings(other, leastX, leastY)) ||
        (HasManySiblings(image, mostX, mostY) && HasManySiblings(other, mostX, mostY));
}

QRgb Faded(QRgb c)
{
    const int grey = static_cast<int>(std::lround(255.0 + (Luma(c) - 255.0) * kFadedShare));
    return qRgb(grey, grey, grey);
}

void Widen(std::optional<IntRect>& box, int x, int y)
{
    if (!box) {
        box = IntRect{x, y, x, y};
        return;
    }
    box->left = std::min(box->left, x);
    box->right = std::max(box->right, x);
    box->top = std::min(box->top, y);
    box->bottom = std::max(box->bottom, y);
}

// Rows [top, bottom); the picture's rows are written through `picture`
// (null when none is made).
ImageDiff DiffRows(const Images& images, const ImageDiffOptions& options, uchar* picture, qsizetype pictureStride,
                   int top, int bottom)
{
    ImageDiff diff;
    const double admitted = options.threshold ? kMaxYiqDelta * *options.threshold * *options.threshold : 0.0;
    for (int y = top; y < bottom; ++y) {
        const QRgb* a = Images::Row(images.FirstImage(), y);
        const QRgb* b = Images::Row(images.SecondImage(), y);
        QRgb* out = picture ? reinterpret_cast<QRgb*>(picture + pictureStride * y) : nullptr;
        for (int x = 0; x < images.Width(); ++x) {
            const bool differs =
                options.threshold ? YiqDelta(a[x], b[x]) > admitted : ((a[x] ^ b[x]) & 0x00FFFFFF) != 0;
            if (!differs) {
                if (out)
                    out[x] = Faded(a[x]);
                continue;
            }
            if (options.antialias &&
                (Antialiased(images.FirstImage(), images.SecondImage(), x, y) ||
                 Antialiased(images.SecondImage(), images.FirstImage(), x, y))) {
                ++diff.antialiased;
                if (out)
                    out[x] = kAntialiased;
                continue;
            }
            ++diff.differing;
            Widen(diff.box, x, y);
            const double darker = LumaDelta(a[x], b[x]);
            QRgb colour = kChanged;
            if (darker > 0.5) {
                ++diff.onlyInSecond;
                colour = kOnlyInSecond;
            } else if (darker < -0.5) {
                ++diff.onlyInFirst;
                colour = kOnlyInFirst;
            }
            if (out)
                out[x] = colour;
        }
    }
    return diff;
}

void Merge(ImageDiff& into, const ImageDiff& part)
{
    into.differing += part.differing;
    into.antialiased += part.antialiased;
    into.onlyInFirst += part.onlyInFirst;
    into.onlyInSecond += part.onlyInSecond;
    if (part.box) {
        Widen(into.box, part.box->left, part.box->top);
        Widen(into.box, part.box->right, part.box->bottom);
    }
}

int StripCount(int width, int height)
{
    const long long wanted = std::max(1LL, static_cast<long long>(width) * height / kPixelsPerStrip);
    const long long processors = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<int>(std::min({wanted, processors, static_cast<long long>(std::max(height, 1))}));
}

QImage AsRgb32(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

ImageDiff DiffImages(const QImage& first, const QImage& second, const ImageDiffOptions& options)
{
    ImageDiff total;
    if (first.size() != second.size() || first.isNull())
        return total;
    const QImage a = AsRgb32(first);
    const QImage b = AsRgb32(second);
    const Images images(a, b);
    if (options.picture)
        total.picture = NewLargeImage(a.size());
    uchar* picture = total.picture.isNull() ? nullptr : total.picture.bits();
    const qsizetype stride = total.picture.isNull() ? 0 : total.picture.bytesPerLine();
    const int strips = StripCount(a.width(), a.height());
    std::vector<ImageDiff> parts(static_cast<std::size_t>(strips));
    std::vector<std::thread> helpers;
    const int height = a.height();
    for (int k = 1; k < strips; ++k)
        helpers.emplace_back([&, k] {
            parts[static_cast<std::size_t>(k)] =
                DiffRows(images, options, picture, stride, height * k / strips, height * (k + 1) / strips);
        });
    parts[0] = DiffRows(images, options, picture, stride, 0, height / strips);
    for (std::thread& helper : helpers)
        helper.join();
    for (const ImageDiff& part : parts)
        Merge(total, part);
    return total;
}
