// The byte-wise waits and line reads over a scripted source whose clock only
// moves when the algorithm waits: what they find, what they leave unread,
// and how long they take in simulated milliseconds.
#include "objects/byte_source.h"

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace tallow {
namespace {

// Bytes that arrive at given times. Await returns at once when a byte is
// waiting, else when the next one arrives or the time is up, as the real
// sources do; a read may cost time of its own (a device that never stops).
class ScriptedSource : public ByteSource {
public:
    explicit ScriptedSource(uint32_t start = 0) : now_(start), start_(start) {}

    void Arrive(uint32_t at, const std::string& bytes) {
        for (char c : bytes)
            pending_.push_back({start_ + at, c});
    }
    // Every read gives a byte, each costing readCost milliseconds.
    void Endless(char byte, uint32_t readCost) {
        endless_ = true;
        endlessByte_ = byte;
        readCost_ = readCost;
    }

    bool ReadByte(char& byte) override {
        ++reads;
        if (endless_) {
            now_ += readCost_;
            byte = endlessByte_;
            return true;
        }
        if (pending_.empty() || int32_t(pending_.front().at - now_) > 0) return false;
        byte = pending_.front().byte;
        pending_.pop_front();
        return true;
    }
    void Await(uint32_t milliseconds) override {
        if (milliseconds) waits.push_back(milliseconds);
        uint32_t until = now_ + milliseconds;
        if (!pending_.empty() && int32_t(pending_.front().at - until) < 0)
            until = int32_t(pending_.front().at - now_) > 0 ? pending_.front().at : now_;
        now_ = until;
    }
    uint32_t Now() override { return now_; }

    uint32_t Elapsed() const { return now_ - start_; }
    std::string Unread() const {
        std::string rest;
        for (const Arrival& a : pending_)
            rest += a.byte;
        return rest;
    }

    int reads = 0;
    std::vector<uint32_t> waits;  // every Await longer than 0

private:
    struct Arrival {
        uint32_t at;
        char byte;
    };
    std::deque<Arrival> pending_;
    uint32_t now_;
    uint32_t start_;
    bool endless_ = false;
    char endlessByte_ = 0;
    uint32_t readCost_ = 0;
};

// A wait ends at its deadline, or at most one pause after it.
void ExpectEndedAtDeadline(const ScriptedSource& source, uint32_t deadline, uint32_t pause) {
    EXPECT_GE(source.Elapsed(), deadline);
    EXPECT_LT(source.Elapsed(), deadline + pause);
}

TEST(WaitForTextTest, FindsTheTextBehindOtherBytesAsSoonAsItArrives) {
    ScriptedSource source;
    source.Arrive(120, "xyOK");
    source.Arrive(5000, "later");
    EXPECT_TRUE(WaitForText(source, "OK", 5));
    EXPECT_EQ(source.Elapsed(), 120u);  // the pause ended when the reply came
    EXPECT_EQ(source.Unread(), "later");
}

TEST(WaitForTextTest, TimesOutAfterWholeSecondsOfPauses) {
    ScriptedSource source;
    source.Arrive(100, "no match here");
    EXPECT_FALSE(WaitForText(source, "OK", 2));
    ExpectEndedAtDeadline(source, 2000, kWaitPauseMs);
    EXPECT_EQ(source.Unread(), "");
    for (uint32_t wait : source.waits)
        EXPECT_EQ(wait, kWaitPauseMs);
}

TEST(WaitForTextTest, WithNoTimeLeftReadsOnlyEnoughToCompare) {
    ScriptedSource ready;
    ready.Arrive(0, "OK");
    EXPECT_TRUE(WaitForText(ready, "OK", 0));
    EXPECT_EQ(ready.Elapsed(), 0u);

    ScriptedSource behind;
    behind.Arrive(0, "xyOK");
    EXPECT_FALSE(WaitForText(behind, "OK", 0));
    EXPECT_EQ(behind.Unread(), "OK");
    EXPECT_TRUE(WaitForText(behind, "OK", 0));

    ScriptedSource nothing;
    EXPECT_FALSE(WaitForText(nothing, "OK", 0));
    EXPECT_EQ(nothing.reads, 1);
    EXPECT_EQ(nothing.Elapsed(), kWaitPauseMs);

    ScriptedSource negative;
    EXPECT_FALSE(WaitForText(negative, "OK", -5));
    EXPECT_EQ(negative.Elapsed(), kWaitPauseMs);
}

TEST(WaitForTextTest, EmptyTextMatchesAfterTheFirstPass) {
    ScriptedSource source;
    source.Arrive(0, "abc");
    EXPECT_TRUE(WaitForText(source, "", 5));
    EXPECT_EQ(source.Unread(), "bc");
}

TEST(WaitForTextTest, AClockThatWrapsDoesNotEndTheWait) {
    ScriptedSource source(0xFFFFFF00u);
    source.Arrive(1500, "OK");
    EXPECT_TRUE(WaitForText(source, "OK", 3));
    ScriptedSource timeout(0xFFFFFF00u);
    EXPECT_FALSE(WaitForText(timeout, "OK", 2));
    EXPECT_EQ(timeout.Elapsed(), 2000u);
}

TEST(WaitForAnyTextTest, GivesThePositionOfTheTextThatArrived) {
    const std::vector<std::string> okOrError = {"OK", "ERROR"};
    ScriptedSource error;
    error.Arrive(10, "xyERROR");
    EXPECT_EQ(WaitForAnyText(error, okOrError, 5), 2);
    ScriptedSource ok;
    ok.Arrive(10, "OK\r\n");
    EXPECT_EQ(WaitForAnyText(ok, okOrError, 5), 1);
    EXPECT_EQ(ok.Unread(), "\r\n");
    ScriptedSource firstListed;
    firstListed.Arrive(10, "ERROR");
    EXPECT_EQ(WaitForAnyText(firstListed, {"ERR", "ERROR"}, 5), 1);
}

TEST(WaitForAnyTextTest, AShortTextMustReachTheStartOfTheWindow) {
    const std::vector<std::string> okOrError = {"OK", "ERROR"};
    // The window holds five bytes: "zOK" never loses its z.
    ScriptedSource near;
    near.Arrive(10, "zOK");
    EXPECT_EQ(WaitForAnyText(near, okOrError, 1), 0);
    ExpectEndedAtDeadline(near, 1000, kWaitPauseMs);
    // Three more bytes push it there.
    ScriptedSource pushed;
    pushed.Arrive(10, "zOK");
    pushed.Arrive(300, "abc");
    EXPECT_EQ(WaitForAnyText(pushed, okOrError, 1), 1);
    EXPECT_EQ(pushed.Elapsed(), 300u);
}

TEST(WaitForAnyTextTest, NoTextsNeverMatch) {
    ScriptedSource source;
    source.Arrive(0, "OK");
    EXPECT_EQ(WaitForAnyText(source, {}, 1), 0);
    EXPECT_EQ(source.Unread(), "");
    EXPECT_EQ(source.Elapsed(), 1000u);
}

TEST(ReadLineTextTest, LinesEndAtCarriageReturnsLineFeedsOrBoth) {
    ScriptedSource source;
    source.Arrive(0, "first\r\nsec\nond\r\n\nfourth\r");
    EXPECT_EQ(ReadLineText(source, 5), "first");
    EXPECT_EQ(ReadLineText(source, 5), "sec");
    EXPECT_EQ(ReadLineText(source, 5), "ond");
    EXPECT_EQ(ReadLineText(source, 5), "");
    EXPECT_EQ(ReadLineText(source, 5), "fourth");
    EXPECT_TRUE(source.waits.empty());  // a line already waiting is taken at once
    EXPECT_EQ(source.Elapsed(), 0u);
    // The line feed of a CR LF that arrives after the read took the line
    // still ends nothing.
    source.Arrive(200, "\nfifth\n");
    EXPECT_EQ(ReadLineText(source, 5), "fifth");
}

TEST(ReadLineTextTest, LongLinesComeInChargedPiecesOfTheLimit) {
    ScriptedSource source;
    source.Arrive(
        0, std::string(kMaxReceivedLine + 2, 'x') + "\r\n" + std::string(kMaxReceivedLine, 'y') + "\n");
    size_t charged = 0;
    auto charge = [&charged](size_t bytes) { charged += bytes; };
    EXPECT_EQ(ReadLineText(source, 5, charge), std::string(kMaxReceivedLine, 'x'));
    EXPECT_GE(charged, kMaxReceivedLine);
    EXPECT_LT(charged, kMaxReceivedLine + 8192);
    EXPECT_EQ(ReadLineText(source, 5, charge), "xx");
    // A line end right after a full piece makes no empty line.
    EXPECT_EQ(ReadLineText(source, 5), std::string(kMaxReceivedLine, 'y'));
    EXPECT_EQ(ReadLineText(source, 0), "");
    EXPECT_EQ(source.Unread(), "");

    // A charge that refuses ends the read with its exception.
    ScriptedSource refused;
    refused.Arrive(0, std::string(10000, 'z'));
    EXPECT_THROW(ReadLineText(refused, 5, [](size_t) { throw std::length_error("limit"); }),
                 std::length_error);
}

TEST(ReadLineTextTest, ALineArrivingInPartsEndsWhenItsEndArrives) {
    ScriptedSource source;
    source.Arrive(50, "hel");
    source.Arrive(430, "lo\r");
    EXPECT_EQ(ReadLineText(source, 2), "hello");
    EXPECT_EQ(source.Elapsed(), 430u);
}

TEST(ReadLineTextTest, AtTheDeadlineWhatCameIsLost) {
    ScriptedSource source;
    source.Arrive(50, "partial");
    source.Arrive(3000, "\r");
    EXPECT_EQ(ReadLineText(source, 1), "");
    ExpectEndedAtDeadline(source, 1000, kLinePauseMs);
    EXPECT_EQ(ReadLineText(source, 5), "");  // the rest is only the end
    EXPECT_EQ(source.Elapsed(), 3000u);

    ScriptedSource nothing;
    EXPECT_EQ(ReadLineText(nothing, 0), "");
    EXPECT_EQ(nothing.Elapsed(), kLinePauseMs);
}

TEST(ReadLineTextTest, BytesThatNeverStopEndTheReadAPauseAfterItsDeadline) {
    ScriptedSource source;
    source.Endless('x', 3);
    EXPECT_EQ(ReadLineText(source, 1), "");
    ExpectEndedAtDeadline(source, 1000 + kLinePauseMs, 3);
}

TEST(DiscardWaitingTest, DropsOnlyWhatIsAlreadyThere) {
    ScriptedSource source;
    source.Arrive(0, "noise");
    source.Arrive(10, "later");
    DiscardWaiting(source);
    EXPECT_EQ(source.Unread(), "later");
    EXPECT_EQ(source.Elapsed(), 0u);
}

}  // namespace
}  // namespace tallow
