// Received bytes become lines however they are split into reads, and the
// queue stays bounded whatever a peer sends.
#include "objects/line_queue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "objects/line_socket.h"

namespace tallow {
namespace {

std::vector<std::string> TakeAll(LineQueue& queue) {
    std::vector<std::string> lines;
    std::string line;
    while (queue.TakeLine(line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Lines(std::string_view bytes, size_t chunk) {
    LineQueue queue;
    for (size_t at = 0; at < bytes.size(); at += chunk)
        queue.Feed(bytes.substr(at, chunk));
    return TakeAll(queue);
}

TEST(LineQueue, LineEndsOfEveryKindEndLinesInAnySplitOfTheBytes) {
    const std::string bytes = "220 ready\r\n250-a\r\n\r\n250 b\rtext\nmore\r\n\n\n\runfinished";
    const std::vector<std::string> expected = {"220 ready", "250-a", "", "250 b", "text", "more", "", "", ""};
    for (size_t chunk : {size_t(1), size_t(2), size_t(7), bytes.size()})
        EXPECT_EQ(Lines(bytes, chunk), expected) << "chunk " << chunk;
    // A peer that ends its lines with LF, one with CR and one with CR LF say
    // the same.
    const std::vector<std::string> three = {"third", "fourth", ""};
    for (const char* end : {"\n", "\r", "\r\n"}) {
        std::string text = std::string("third") + end + "fourth" + end + end;
        for (size_t chunk : {size_t(1), size_t(5), text.size()})
            EXPECT_EQ(Lines(text, chunk), three) << "line end " << int(end[0]) << " chunk " << chunk;
    }
}

TEST(LineQueue, UnfinishedLineWaitsUntilItsEndOrTheConnectionsEnd) {
    LineQueue queue;
    std::string line;
    queue.Feed("no end yet");
    EXPECT_FALSE(queue.TakeLine(line));
    queue.Feed(" and now\r\nlast");
    EXPECT_TRUE(queue.TakeLine(line));
    EXPECT_EQ(line, "no end yet and now");
    EXPECT_FALSE(queue.HasLine());
    queue.Finish();
    queue.Finish();
    EXPECT_EQ(TakeAll(queue), std::vector<std::string>{"last"});
    // Nothing was pending: the end adds no empty line.
    queue.Finish();
    EXPECT_FALSE(queue.HasLine());
}

TEST(LineQueue, LongLinesComeInPiecesOfTheLimitWithNothingLost) {
    LineQueue queue;
    queue.Feed(std::string(kMaxReceivedLine - 1, 'a') + "\r");
    queue.Feed(std::string(kMaxReceivedLine, 'b') + "\r\n");
    queue.Feed(std::string(kMaxReceivedLine + 1, 'c') + "\r\r");
    queue.Feed(std::string(kMaxReceivedLine, 'e') + "\nnext\n");
    std::vector<std::string> lines = TakeAll(queue);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], std::string(kMaxReceivedLine - 1, 'a'));
    // The carriage return right after a full piece makes no empty line...
    EXPECT_EQ(lines[1], std::string(kMaxReceivedLine, 'b'));
    EXPECT_EQ(lines[2], std::string(kMaxReceivedLine, 'c'));
    EXPECT_EQ(lines[3], "c");
    // ... but a second one does.
    EXPECT_EQ(lines[4], "");
    // Nor does a line feed.
    EXPECT_EQ(lines[5], std::string(kMaxReceivedLine, 'e'));
    EXPECT_EQ(lines[6], "next");

    // A piece cut at the limit just before the connection ends.
    queue.Feed(std::string(kMaxReceivedLine, 'd'));
    queue.Finish();
    EXPECT_EQ(TakeAll(queue).size(), 1u);
}

TEST(LineQueue, HeldBytesCountTextAndLinesAndStopAtTheBound) {
    LineQueue queue;
    EXPECT_EQ(queue.Room(), kMaxQueuedBytes);
    queue.Feed("abc");
    EXPECT_EQ(queue.Held(), 3u);
    queue.Feed("\r\n");
    EXPECT_EQ(queue.Held(), 3u + kLineCost);
    std::string line;
    ASSERT_TRUE(queue.TakeLine(line));
    EXPECT_EQ(queue.Held(), 0u);

    // A flood of empty lines fills it as surely as text does.
    const std::string empties(4096, '\r');
    while (queue.Room() > 0)
        queue.Feed(std::string_view(empties).substr(0, std::min(empties.size(), queue.Room())));
    EXPECT_GE(queue.Held(), kMaxQueuedBytes);
    EXPECT_LE(queue.Held(), kMaxQueuedBytes + 4096 * kLineCost);
    // Reading gives room back: a full queue always has a line to take until
    // it takes bytes again (how many lines that needs depends on the size of
    // a line's bookkeeping, which differs between platforms).
    while (queue.Room() == 0)
        ASSERT_TRUE(queue.TakeLine(line));
    EXPECT_GT(queue.Room(), 0u);
    while (queue.TakeLine(line)) {
    }
    EXPECT_EQ(queue.Held(), 0u);
}

TEST(WaitMilliseconds, TruncatesAndKeepsEveryValueInRange) {
    EXPECT_EQ(WaitMilliseconds(0), 0u);
    EXPECT_EQ(WaitMilliseconds(-3), 0u);
    EXPECT_EQ(WaitMilliseconds(std::nan("")), 0u);
    EXPECT_EQ(WaitMilliseconds(0.0005), 0u);
    EXPECT_EQ(WaitMilliseconds(1.2345), 1234u);
    EXPECT_EQ(WaitMilliseconds(5), 5000u);
    EXPECT_EQ(WaitMilliseconds(1e300), kMaxWaitMilliseconds);
    EXPECT_EQ(WaitMilliseconds(INFINITY), kMaxWaitMilliseconds);
}

}  // namespace
}  // namespace tallow
