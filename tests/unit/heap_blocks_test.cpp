// The heap block table and HeapBytes: which addresses and ranges a program's
// members may reach, the budget, and what a program leaves behind.
#include "objects/heap_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "objects/heap_bytes.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

TEST(HeapBlocks, AddressesFromNumbersAreWholePointers) {
    EXPECT_EQ(AddressFromNumber(4096.9), 4096u);
    EXPECT_EQ(AddressFromNumber(-1), 0u);
    EXPECT_EQ(AddressFromNumber(std::nan("")), 0u);
    EXPECT_EQ(AddressFromNumber(std::numeric_limits<double>::infinity()), 0u);
    if (sizeof(uintptr_t) == 8) {
        // Not truncated to 32 bits: user-space addresses stay exact.
        EXPECT_EQ(AddressFromNumber(140737488351232.0), uintptr_t(140737488351232ull));
        EXPECT_EQ(AddressFromNumber(18446744073709551616.0), 0u);
    } else {
        EXPECT_EQ(AddressFromNumber(4294967295.0), uintptr_t(0xFFFFFFFFu));
        EXPECT_EQ(AddressFromNumber(4294967296.0), 0u);
    }
    int local = 0;
    uintptr_t address = reinterpret_cast<uintptr_t>(&local);
    EXPECT_EQ(AddressFromNumber(NumberFromAddress(address)), address);
}

TEST(HeapBlocks, TextStopsAtItsNulOrTheBlocksEnd) {
    HeapBlocks blocks;
    uintptr_t a = blocks.Allocate(8, 0);
    size_t size = blocks.SizeOf(a);
    auto* bytes = reinterpret_cast<char*>(a);
    std::memset(bytes, 'x', size);
    std::memcpy(bytes, "ab", 3);
    EXPECT_EQ(blocks.TextAt(a + 1), "b");
    // No NUL after the address: the text ends with the block.
    EXPECT_EQ(blocks.TextAt(a + 3), std::string(size - 3, 'x'));
    EXPECT_EQ(blocks.TextAt(a + size), "");
    EXPECT_FALSE(blocks.TextAt(a + size + 1).has_value());
    blocks.trustAddresses = true;
    char outside[] = "raw";
    EXPECT_EQ(blocks.TextAt(reinterpret_cast<uintptr_t>(outside)), "raw");
    EXPECT_EQ(blocks.Bytes(reinterpret_cast<uintptr_t>(outside), 4), outside);
    EXPECT_EQ(blocks.Bytes(0, 1), nullptr);
    EXPECT_FALSE(blocks.TextAt(0).has_value());
}

// Resizing counts only the growth against the budget, and a block resized
// twice is still one block with the bytes it had.
TEST(HeapBlocks, BudgetCountsTheLiveBlocks) {
    HeapBlocks blocks;
    constexpr size_t kBudget = 1 << 20;
    uintptr_t a = blocks.Allocate(kBudget / 2, kBudget);
    ASSERT_NE(a, 0u);
    std::memcpy(reinterpret_cast<char*>(a), "keep", 5);
    std::optional<uintptr_t> b = blocks.Reallocate(a, 16, kBudget);
    ASSERT_TRUE(b && *b);
    b = blocks.Reallocate(*b, kBudget - 64, kBudget);
    ASSERT_TRUE(b && *b);
    EXPECT_STREQ(reinterpret_cast<char*>(*b), "keep");
    EXPECT_EQ(blocks.Count(), 1u);
    EXPECT_EQ(blocks.TotalBytes(), blocks.SizeOf(*b));
    EXPECT_FALSE(blocks.Reallocate(*b + 1, 8, kBudget).has_value());
    blocks.refuseAllocation = true;
    EXPECT_EQ(blocks.Allocate(1, 0), 0u);
    // Still live at the end: the destructor frees it (LeakSanitizer).
}

class HeapBytesTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
    }
    void TearDown() override { platform::SetBoxObserver(nullptr, nullptr); }

    // Runs text and gives ErrMsg$ ("" when the run ended normally).
    std::string Run(Program& p, const std::string& text) {
        return p.Run(text.c_str()) ? std::string() : p.LastRunError().message;
    }
};

TEST_F(HeapBytesTest, OtherObjectsReachOnlyTheProgramsBlocks) {
    Program p;
    ASSERT_NE(p.heapBlocks, nullptr);
    p.keepState = true;
    ASSERT_EQ(Run(p, "a# = Heap.alloc(4)"), "");
    uintptr_t a = AddressFromNumber(p.Main().numMembers.Get("a"));
    ASSERT_NE(a, 0u);
    EXPECT_EQ(HeapBytes(p, double(a), 4), reinterpret_cast<void*>(a));
    EXPECT_EQ(HeapBytes(p, double(a) + 1.5, 3), reinterpret_cast<void*>(a + 1));
    // Outside any run, a refusal is the script error it reports.
    EXPECT_THROW(HeapBytes(p, double(a), 1 << 20), ScriptError);
    EXPECT_EQ(p.Main().strMembers.Get("ErrMsg"), msg::kInvalidHeapAddress);
    char outside[4] = {};
    EXPECT_THROW(HeapBytes(p, NumberFromAddress(reinterpret_cast<uintptr_t>(outside)), 4), ScriptError);
    p.heapBlocks->trustAddresses = true;
    EXPECT_EQ(HeapBytes(p, NumberFromAddress(reinterpret_cast<uintptr_t>(outside)), 4), outside);
    // Another program's blocks are not this one's.
    Program other;
    EXPECT_THROW(HeapBytes(other, double(a), 1), ScriptError);
}

// Blocks survive the end of a run (a later run of the same program may use
// them) and go with the program.
TEST_F(HeapBytesTest, BlocksLiveUntilTheProgramGoes) {
    Program p;
    ASSERT_EQ(Run(p, "a# = Heap.allocstring(\"left\")\rb# = Heap.alloc(100)"), "");
    EXPECT_EQ(p.heapBlocks->Count(), 2u);
    EXPECT_GE(p.MemoryInUse(), p.heapBlocks->TotalBytes());
    EXPECT_EQ(Run(p, "Heap.free 8"), msg::kInvalidHeapAddress);
    EXPECT_EQ(p.heapBlocks->Count(), 2u);
}

}  // namespace
}  // namespace tallow
