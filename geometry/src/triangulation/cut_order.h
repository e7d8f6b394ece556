#pragma once
// The two cut orders of the divide and conquer, and the sort and the median
// selection of the working items in them.
//
// Axis 0 orders by x, then y; axis 1 by y, then -x (axis 0 turned by a
// quarter, so a horizontal cut is merged exactly like a vertical one seen
// rotated). Both are exact (no tolerance) and end on the vertex index, so
// they are strict weak orders and every result is reproducible.
//
// The sort and the selection partition with a branch-free Lomuto loop: for
// points in random order a comparison is a coin toss, and the branch it
// would cost is mispredicted half the time (std::sort and std::nth_element
// branch on it). Ties of the first coordinate are rare and take a branch.
// Past a recursion budget both hand over to the standard algorithms, which
// bounds the worst case at O(n log n).

#include <algorithm>
#include <cstddef>
#include <utility>

#include "triangulation/mesh.h"
#include "triangulation/triangulator.h"

namespace g3t_cut {

using Item = G3TTriangulator::Item;

inline bool Before(int axis, double ax, double ay, int ai, double bx, double by, int bi)
{
    if (axis == 0) {
        if (ax != bx)
            return ax < bx;
        if (ay != by)
            return ay < by;
    } else {
        if (ay != by)
            return ay < by;
        if (ax != bx)
            return ax > bx;
    }
    return ai < bi;
}

inline bool VertexBefore(int axis, const G3TVertex* a, const G3TVertex* b)
{
    return Before(axis, a->m_X, a->m_Y, a->GetIndex(), b->m_X, b->m_Y, b->GetIndex());
}

// The index is read only for equal coordinates (exact duplicates).
template <int Axis> inline bool ItemBefore(const Item& a, const Item& b)
{
    if (Axis == 0) {
        if (a.x != b.x)
            return a.x < b.x;
        if (a.y != b.y)
            return a.y < b.y;
    } else {
        if (a.y != b.y)
            return a.y < b.y;
        if (a.x != b.x)
            return a.x > b.x;
    }
    return a.v->GetIndex() < b.v->GetIndex();
}

template <int Axis> struct ItemLess {
    bool operator()(const Item& a, const Item& b) const { return ItemBefore<Axis>(a, b); }
};

namespace detail {

// Ranges this short are finished by insertion.
constexpr std::ptrdiff_t kInsertionSpan = 24;
// Ranges this long take the pivot as the median of three medians of three.
constexpr std::ptrdiff_t kNintherSpan = 512;

// ItemBefore, shaped for a branch-free caller: the usual case (different
// first coordinates) is one comparison.
template <int Axis> inline bool FastBefore(const Item& a, const Item& b)
{
    const double ak = Axis == 0 ? a.x : a.y;
    const double bk = Axis == 0 ? b.x : b.y;
    if (__builtin_expect(ak == bk, 0))
        return ItemBefore<Axis>(a, b);
    return ak < bk;
}

template <int Axis> inline void Sort3(Item* a, Item* b, Item* c)
{
    if (ItemBefore<Axis>(*b, *a))
        std::swap(*a, *b);
    if (ItemBefore<Axis>(*c, *b))
        std::swap(*b, *c);
    if (ItemBefore<Axis>(*b, *a))
        std::swap(*a, *b);
}

// Moves a pivot close to the range's median to its front.
template <int Axis> inline void PivotToFront(Item* first, Item* last)
{
    const std::ptrdiff_t n = last - first;
    Item* mid = first + n / 2;
    if (n > kNintherSpan) {
        const std::ptrdiff_t s = n / 8;
        Sort3<Axis>(first, first + s, first + 2 * s);
        Sort3<Axis>(mid - s, mid, mid + s);
        Sort3<Axis>(last - 1 - 2 * s, last - 1 - s, last - 1);
        Sort3<Axis>(first + s, mid, last - 1 - s);
    } else {
        Sort3<Axis>(first, mid, last - 1);
    }
    std::swap(*first, *mid);
}

// Partitions around the pivot at *first; returns the pivot's final place,
// with the smaller items before it and the greater after. Every step swaps
// unconditionally and advances the store by the comparison's result:
// [first + 1, store) holds the smaller items, [store, read) the greater.
template <int Axis> inline Item* Partition(Item* first, Item* last)
{
    const Item pivot = *first;
    Item* store = first + 1;
    for (Item* read = first + 1; read < last; ++read) {
        const Item item = *read;
        const bool smaller = FastBefore<Axis>(item, pivot);
        *read = *store;
        *store = item;
        store += smaller;
    }
    --store;
    *first = *store;
    *store = pivot;
    return store;
}

template <int Axis> inline void InsertionSort(Item* first, Item* last)
{
    for (Item* i = first + 1; i < last; ++i) {
        const Item item = *i;
        Item* j = i;
        for (; j > first && ItemBefore<Axis>(item, j[-1]); --j)
            *j = j[-1];
        *j = item;
    }
}

// Levels of partitioning allowed for a range of n items before handing
// over to the standard algorithm: twice the depth of perfect halving.
inline int Budget(std::ptrdiff_t n)
{
    int depth = 0;
    for (; n > 1; n >>= 1)
        ++depth;
    return 2 * depth;
}

template <int Axis> void Sort(Item* first, Item* last, int budget)
{
    while (last - first > kInsertionSpan) {
        if (--budget < 0) {
            std::sort(first, last, ItemLess<Axis>());
            return;
        }
        PivotToFront<Axis>(first, last);
        Item* cut = Partition<Axis>(first, last);
        // Recurse on the shorter side, loop on the longer: the stack stays
        // logarithmic.
        if (cut - first < last - cut) {
            Sort<Axis>(first, cut, budget);
            first = cut + 1;
        } else {
            Sort<Axis>(cut + 1, last, budget);
            last = cut;
        }
    }
    InsertionSort<Axis>(first, last);
}

} // namespace detail

// Sorts [first, last) in the cut order of Axis.
template <int Axis> void SortItems(Item* first, Item* last)
{
    detail::Sort<Axis>(first, last, detail::Budget(last - first));
}

// Puts the item that belongs at nth in the cut order of Axis there, every
// item before it in the order before it and every later one after it (as
// std::nth_element).
template <int Axis> void SelectItem(Item* first, Item* nth, Item* last)
{
    int budget = detail::Budget(last - first);
    while (last - first > detail::kInsertionSpan) {
        if (--budget < 0) {
            std::nth_element(first, nth, last, ItemLess<Axis>());
            return;
        }
        detail::PivotToFront<Axis>(first, last);
        Item* cut = detail::Partition<Axis>(first, last);
        if (cut == nth)
            return;
        if (nth < cut)
            last = cut;
        else
            first = cut + 1;
    }
    detail::InsertionSort<Axis>(first, last);
}

} // namespace g3t_cut
