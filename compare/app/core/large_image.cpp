#include "large_image.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a mapping of its own gains nothing over malloc.
constexpr std::size_t kSmallestMapped = 2 * kHugePage;

struct Mapping {
    void* start;
    std::size_t length;
};

void ReleaseMapping(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->start, mapping->length);
    delete mapping;
}

// `bytes` in a mapping that starts on a huge-page boundary: the kernel can
// back every whole 2 MiB of it with one page.
Mapping* MapAligned(std::size_t bytes)
{
    const std::size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto rawStart = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (rawStart + kHugePage - 1) / kHugePage * kHugePage;
    const std::size_t head = start - rawStart;
    if (head > 0)
        munmap(raw, head);
    const std::size_t tail = kHugePage - head;
    if (tail > 0)
        munmap(reinterpret_cast<void*>(start + length), tail);
    // Only advice: where huge pages are off the mapping works with small ones.
    madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
    return new Mapping{reinterpret_cast<void*>(start), length};
}

} // namespace

QImage NewLargeImage(QSize size)
{
    if (size.isEmpty())
        return QImage();
    const auto width = static_cast<std::size_t>(size.width());
    const auto bytesPerLine = width * 4;
    const auto height = static_cast<std::size_t>(size.height());
    if (height > std::numeric_limits<qsizetype>::max() / bytesPerLine)
        return QImage();
    const std::size_t bytes = bytesPerLine * height;
    if (bytes < kSmallestMapped)
        return QImage(size, QImage::Format_RGB32);
    Mapping* mapping = MapAligned(bytes);
    if (!mapping)
        return QImage();
    QImage image(static_cast<uchar*>(mapping->start), size.width(), size.height(), static_cast<qsizetype>(bytesPerLine),
                 QImage::Format_RGB32, ReleaseMapping, mapping);
    if (image.isNull())
        ReleaseMapping(mapping);
    return image;
}
