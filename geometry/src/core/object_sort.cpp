#include "tessaly/containers.h"

#include <algorithm>
#include <cstring>
#include <vector>

// One deterministic, stable sort for both comparator forms, so that results
// never depend on the C library's qsort: insertion sort on short runs, then
// bottom-up merging through one scratch buffer.
namespace {

constexpr int kRunLength = 16;

template <typename Less> void InsertionSort(GObj** a, int from, int to, Less& less)
{
    for (int i = from + 1; i < to; ++i) {
        GObj* moving = a[i];
        int j = i;
        while (j > from && less(&moving, &a[j - 1])) {
            a[j] = a[j - 1];
            --j;
        }
        a[j] = moving;
    }
}

template <typename Less> void Merge(GObj** source, GObj** target, int from, int middle, int to, Less& less)
{
    int i = from;
    int j = middle;
    int k = from;
    // Ties take the left element first: that keeps the sort stable.
    while (i < middle && j < to)
        target[k++] = less(&source[j], &source[i]) ? source[j++] : source[i++];
    while (i < middle)
        target[k++] = source[i++];
    while (j < to)
        target[k++] = source[j++];
}

template <typename Less> void StableSort(GObj** elements, int count, Less less)
{
    if (count < 2)
        return;
    for (int from = 0; from < count; from += kRunLength)
        InsertionSort(elements, from, std::min(from + kRunLength, count), less);
    if (count <= kRunLength)
        return;
    std::vector<GObj*> scratch(static_cast<std::size_t>(count));
    GObj** source = elements;
    GObj** target = scratch.data();
    for (int width = kRunLength; width < count; width *= 2) {
        for (int from = 0; from < count; from += 2 * width) {
            int middle = std::min(from + width, count);
            int to = std::min(from + 2 * width, count);
            Merge(source, target, from, middle, to, less);
        }
        std::swap(source, target);
    }
    if (source != elements)
        std::memcpy(elements, source, sizeof(GObj*) * static_cast<std::size_t>(count));
}

} // namespace

void GArrayCollection::qsort(GCompareElements compare)
{
    if (!compare)
        return;
    StableSort(m_Elements, m_Count, [compare](GObj* const* a, GObj* const* b) { return compare(a, b) < 0; });
}

void GArrayCollection::qsortex(GCompareElementsEx compare, void* context)
{
    if (!compare)
        return;
    StableSort(m_Elements, m_Count,
               [compare, context](GObj* const* a, GObj* const* b) { return compare(a, b, context) < 0; });
}
