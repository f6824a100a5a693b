// The in-place sort behind the arrays' sort member: an introsort of our own.
// It must give the same order for equal keys on every target and with every
// standard library, which std::sort does not promise, and stay O(n log n) on
// any input a script can build.
#pragma once

#include <cstddef>
#include <utility>

namespace tallow {

namespace sort_detail {

// Ranges this short are finished by insertion sort: below this size it beats
// partitioning.
constexpr std::ptrdiff_t kInsertionSortMax = 16;
// Ranges longer than this take their pivot from nine elements, not three.
constexpr std::ptrdiff_t kNintherMin = 128;

template <class T, class Less>
void InsertionSort(T* first, T* last, Less& less) {
    for (T* i = first + 1; i < last; ++i) {
        if (!less(*i, *(i - 1))) continue;
        T value = std::move(*i);
        T* j = i;
        do {
            *j = std::move(*(j - 1));
            --j;
        } while (j > first && less(value, *(j - 1)));
        *j = std::move(value);
    }
}

// Restores the heap property below index hole of the heap first[0, size).
template <class T, class Less>
void SiftDown(T* first, std::ptrdiff_t hole, std::ptrdiff_t size, Less& less) {
    T value = std::move(first[hole]);
    for (;;) {
        std::ptrdiff_t child = 2 * hole + 1;
        if (child >= size) break;
        if (child + 1 < size && less(first[child], first[child + 1])) ++child;
        if (!less(value, first[child])) break;
        first[hole] = std::move(first[child]);
        hole = child;
    }
    first[hole] = std::move(value);
}

template <class T, class Less>
void HeapSort(T* first, T* last, Less& less) {
    std::ptrdiff_t size = last - first;
    for (std::ptrdiff_t i = size / 2; i-- > 0;)
        SiftDown(first, i, size, less);
    while (size > 1) {
        --size;
        std::swap(first[0], first[size]);
        SiftDown(first, 0, size, less);
    }
}

// Puts the median of *a, *b and *c into *result (swapping, so nothing is
// lost); result may be one of the three.
template <class T, class Less>
void MoveMedianTo(T* result, T* a, T* b, T* c, Less& less) {
    T* median;
    if (less(*a, *b))
        median = less(*b, *c) ? b : less(*a, *c) ? c : a;
    else
        median = less(*a, *c) ? a : less(*b, *c) ? c : b;
    if (median != result) std::swap(*result, *median);
}

// Partitions [first, last) around the median of three elements (of nine in
// a long range), which it moves to *first: afterwards nothing in [first, cut) is greater than it and
// nothing in [cut, last) is less; both parts are non-empty. The scans need
// no bounds checks: the smallest and largest of the three stop them.
template <class T, class Less>
T* Partition(T* first, T* last, Less& less) {
    std::ptrdiff_t size = last - first, half = size / 2;
    if (size > kNintherMin) {
        // The median of three medians: far fewer lopsided parts on inputs
        // with runs, such as a rise followed by a fall.
        std::ptrdiff_t step = size / 8;
        MoveMedianTo(first + 1, first + 1, first + 1 + step, first + 1 + 2 * step, less);
        MoveMedianTo(first + half, first + half - step, first + half, first + half + step, less);
        MoveMedianTo(last - 1, last - 1 - 2 * step, last - 1 - step, last - 1, less);
    }
    MoveMedianTo(first, first + 1, first + half, last - 1, less);
    T* lo = first + 1;
    T* hi = last;
    for (;;) {
        while (less(*lo, *first))
            ++lo;
        --hi;
        while (less(*first, *hi))
            --hi;
        if (!(lo < hi)) return lo;
        std::swap(*lo, *hi);
        ++lo;
    }
}

// Quicksort while the depth budget lasts, heapsort past it. Recursion goes
// into the smaller part, so the stack stays logarithmic either way.
template <class T, class Less>
void IntroSort(T* first, T* last, int depthLeft, Less& less) {
    while (last - first > kInsertionSortMax) {
        if (depthLeft-- == 0) return HeapSort(first, last, less);
        T* cut = Partition(first, last, less);
        if (cut - first < last - cut) {
            IntroSort(first, cut, depthLeft, less);
            first = cut;
        } else {
            IntroSort(cut, last, depthLeft, less);
            last = cut;
        }
    }
    InsertionSort(first, last, less);
}

}  // namespace sort_detail

// Sorts items[0, size) so that less(items[i + 1], items[i]) holds for no i.
// Not stable, but deterministic: the same input always gives the same order.
// less must be a strict weak ordering.
template <class T, class Less>
void SortElements(T* items, std::size_t size, Less less) {
    if (size < 2) return;
    int depth = 0;
    for (std::size_t n = size; n > 1; n >>= 1)
        ++depth;
    sort_detail::IntroSort(items, items + size, 2 * depth, less);
}

}  // namespace tallow
