// The arrays' sort: ordered results on the shapes of input that break simple
// quicksorts, a comparison count that stays n log n, the heapsort fallback on
// its own, and the string array's options with the exact order of equal keys.
#include "expr/array_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "expr/string_array.h"

namespace tallow {
namespace {

// A small fixed generator, so every run and target sees the same inputs.
uint32_t NextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// The input shapes: random, sorted, reversed, ascending then descending,
// all equal, few distinct values, and a sawtooth.
std::vector<int> Shape(int shape, int n, uint32_t& seed) {
    std::vector<int> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        switch (shape) {
            case 0:
                v[size_t(i)] = int(NextRandom(seed) % 1000000);
                break;
            case 1:
                v[size_t(i)] = i;
                break;
            case 2:
                v[size_t(i)] = n - i;
                break;
            case 3:
                v[size_t(i)] = i < n / 2 ? i : n - i;
                break;
            case 4:
                v[size_t(i)] = 7;
                break;
            case 5:
                v[size_t(i)] = int(NextRandom(seed) % 3);
                break;
            default:
                v[size_t(i)] = i % 17;
                break;
        }
    }
    return v;
}

constexpr int kShapes = 7;

TEST(SortElements, OrdersEveryShapeAndKeepsTheElements) {
    uint32_t seed = 12345;
    for (int shape = 0; shape < kShapes; ++shape) {
        for (int n : {0, 1, 2, 3, 16, 17, 18, 33, 100, 1000, 4097}) {
            std::vector<int> v = Shape(shape, n, seed);
            std::vector<int> expected = v;
            std::sort(expected.begin(), expected.end());
            SortElements(v.data(), v.size(), [](int a, int b) { return a < b; });
            EXPECT_EQ(v, expected) << "shape " << shape << ", " << n << " elements";
        }
    }
}

// Quadratic behaviour shows in the count of comparisons long before it shows
// in time; the bound is generous for an n log n sort and far below n^2.
TEST(SortElements, ComparisonsStayNLogNOnAdversarialShapes) {
    uint32_t seed = 99;
    const int n = 200000;
    const double bound = 4.0 * n * std::log2(double(n));
    for (int shape = 0; shape < kShapes; ++shape) {
        std::vector<int> v = Shape(shape, n, seed);
        uint64_t comparisons = 0;
        SortElements(v.data(), v.size(), [&comparisons](int a, int b) {
            ++comparisons;
            return a < b;
        });
        EXPECT_TRUE(std::is_sorted(v.begin(), v.end())) << "shape " << shape;
        EXPECT_LT(double(comparisons), bound) << "shape " << shape;
    }
}

TEST(SortElements, HeapSortFallbackOrdersOnItsOwn) {
    uint32_t seed = 7;
    auto less = [](int a, int b) { return a < b; };
    for (int shape = 0; shape < kShapes; ++shape) {
        for (int n : {1, 2, 5, 64, 1001}) {
            std::vector<int> v = Shape(shape, n, seed);
            std::vector<int> expected = v;
            std::sort(expected.begin(), expected.end());
            sort_detail::HeapSort(v.data(), v.data() + v.size(), less);
            EXPECT_EQ(v, expected) << "shape " << shape << ", " << n << " elements";
        }
    }
}

TEST(SortStrings, OptionsFoldCaseAndReverse) {
    const std::vector<std::string> fruit = {"cherry", "Banana", "_x", "apple", "banana2", "Apple2"};
    std::vector<std::string> v = fruit;
    SortStrings(v, 0);
    EXPECT_EQ(v, (std::vector<std::string>{"_x", "apple", "Apple2", "Banana", "banana2", "cherry"}));
    v = fruit;
    SortStrings(v, kSortCaseSensitive);
    EXPECT_EQ(v, (std::vector<std::string>{"Apple2", "Banana", "_x", "apple", "banana2", "cherry"}));
    v = fruit;
    SortStrings(v, kSortReverse);
    EXPECT_EQ(v, (std::vector<std::string>{"cherry", "banana2", "Banana", "Apple2", "apple", "_x"}));
    v = fruit;
    SortStrings(v, kSortCaseSensitive | kSortReverse);
    EXPECT_EQ(v, (std::vector<std::string>{"cherry", "banana2", "apple", "_x", "Banana", "Apple2"}));
    // Bytes past 127 compare unsigned and are never folded.
    v = {"\xe9t\xe9", "zoo", "Zed"};
    SortStrings(v, 0);
    EXPECT_EQ(v, (std::vector<std::string>{"Zed", "zoo", "\xe9t\xe9"}));
}

// Keys equal without regard to case keep no particular order, but the same
// one on every target and standard library: this order is the sort's own.
// 150 elements: long enough for every step of the sort to take part.
TEST(SortStrings, EqualKeysComeOutInOneFixedOrder) {
    std::vector<std::string> v;
    // Three keys, each in four spellings that fold to the same: "ka", "kA", "Ka", "KA".
    for (int i = 0; i < 150; ++i) {
        int variant = (i / 3 + i / 7) % 4;
        char letter = char('a' + i % 3);
        v.push_back({variant & 1 ? 'K' : 'k', variant & 2 ? char(letter - 32) : letter});
    }
    SortStrings(v, 0);
    std::string joined;
    for (const std::string& s : v)
        joined += s + " ";
    EXPECT_EQ(joined,
              "Ka Ka KA KA Ka kA kA ka ka KA Ka kA kA ka ka KA ka Ka KA ka ka kA kA Ka KA ka ka kA kA Ka "
              "KA kA KA Ka Ka ka KA kA ka ka kA ka kA kA kA KA ka Ka Ka ka KB kb KB Kb kB Kb kb kb Kb kB "
              "Kb KB kb kb KB KB kb Kb kB kb KB Kb kB kB Kb KB KB kB KB Kb Kb KB kB kb kB Kb kb KB kb Kb "
              "Kb KB kb KB kb kB KB Kb Kb kB KC kC kc kC kc kc Kc Kc Kc kc Kc kc kC KC KC KC KC Kc kC kc "
              "kC kC kc Kc Kc KC kC kC kc kc Kc KC KC kC kc kc kc KC KC Kc kc kc kC kC KC Kc kC kc kC kC ");
}

}  // namespace
}  // namespace tallow
