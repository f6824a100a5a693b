// Pipes and files are read in blocks: lines and single keys taken from one
// buffer come out in the order they were written.
#include "platform/input_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallow::platform {
namespace {

// A source that hands out its text in reads of at most `chunk` bytes and
// counts the reads.
struct Source {
    std::string text;
    size_t at = 0;
    size_t chunk = 4096;
    int reads = 0;
};
Source* current = nullptr;

long ReadSource(Handle, char* buffer, size_t size) {
    ++current->reads;
    size_t n = std::min({size, current->chunk, current->text.size() - current->at});
    current->text.copy(buffer, n, current->at);
    current->at += n;
    return long(n);
}

std::string Line(Handle h) {
    char buffer[64];
    long n = BufferedLine(h, buffer, sizeof buffer, ReadSource);
    return n < 0 ? "<error>" : std::string(buffer, size_t(n));
}

TEST(InputBuffer, LinesAndKeysShareOneBuffer) {
    Source source{"one\r\ntwo\nxyz\nlast"};
    current = &source;
    Handle h = reinterpret_cast<Handle>(uintptr_t(0x1234));
    EXPECT_EQ(Line(h), "one\r\n");
    char key = 0;
    EXPECT_EQ(BufferedByte(h, key, ReadSource), 1);
    EXPECT_EQ(key, 't');
    EXPECT_EQ(Line(h), "wo\n");
    EXPECT_EQ(Line(h), "xyz\n");
    EXPECT_EQ(Line(h), "last");  // the end without a line feed
    EXPECT_EQ(Line(h), "");
    EXPECT_EQ(BufferedByte(h, key, ReadSource), 0);
    // The whole text came in one read of a block; each of the three calls
    // that reached the end asked once more (a pipe may deliver more later).
    EXPECT_EQ(source.reads, 4);
}

TEST(InputBuffer, LongLinesCrossBlocksAndSmallBuffers) {
    std::string text(10000, 'a');
    text += "\nb\n";
    Source source{text, 0, 1000};
    current = &source;
    Handle h = reinterpret_cast<Handle>(uintptr_t(0x5678));
    std::string got;
    for (int i = 0; i < 200 && got.size() < 10001; ++i)
        got += Line(h);  // 63 bytes at a time
    EXPECT_EQ(got, std::string(10000, 'a') + "\n");
    EXPECT_EQ(Line(h), "b\n");
}

}  // namespace
}  // namespace tallow::platform
