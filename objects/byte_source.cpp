// The byte-wise waits: each pass reads one byte into a window of the last
// bytes that came (as many as the longest text) and compares the texts with
// the start of the window; a pass that finds nothing waits for input for at
// most a pause. The line read takes bytes as long as they come.
#include "objects/byte_source.h"

#include <algorithm>

#include "platform/wait_deadline.h"

namespace tallow {

namespace {

// The time a wait has taken, summed from the differences of successive clock
// readings so that a wrapping clock does not mislead it, against a limit of
// whole seconds (no time at all for 0 or fewer), and no more than the run's
// time limit leaves.
class WaitTimer {
public:
    WaitTimer(ByteSource& source, int seconds)
        : source_(source),
          last_(source.Now()),
          limit_(seconds > 0 ? int64_t(platform::WaitWithinDeadline(uint64_t(seconds) * 1000))
                             : int64_t(seconds) * 1000) {}

    // Whether the limit, plus grace milliseconds, has been reached.
    bool Expired(uint32_t grace = 0) {
        uint32_t now = source_.Now();
        elapsed_ += uint32_t(now - last_);
        last_ = now;
        return int64_t(elapsed_) >= limit_ + int64_t(grace);
    }

private:
    ByteSource& source_;
    uint32_t last_;
    int64_t limit_;
    uint64_t elapsed_ = 0;
};

// One pass: a byte that came is added to the window and only the window
// messages are let through; when none came, the pass waits up to a pause for
// one. True when a byte came.
bool ReadIntoWindow(ByteSource& source, std::string& window) {
    char byte;
    if (source.ReadByte(byte)) {
        window += byte;
        source.Await(0);
        return true;
    }
    source.Await(kWaitPauseMs);
    return false;
}

// The position (from 1) of the first text that the window starts with, or 0.
int MatchAtStart(const std::string& window, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string& text = texts[i];
        if (window.size() >= text.size() && window.compare(0, text.size(), text) == 0) return int(i) + 1;
    }
    return 0;
}

}  // namespace

// The deadline is looked at after every pass that found nothing, and after a
// byte once the window is full: bytes already waiting when the time is up are
// still read until there are enough of them to compare, so a wait with no
// time left finds a text that is there.
int WaitForAnyText(ByteSource& source, const std::vector<std::string>& texts, int seconds) {
    size_t longest = 0;
    for (const std::string& text : texts)
        longest = std::max(longest, text.size());
    WaitTimer timer(source, seconds);
    std::string window;
    for (;;) {
        bool arrived = ReadIntoWindow(source, window);
        for (;;) {
            if (int found = MatchAtStart(window, texts)) return found;
            if (window.size() <= longest) break;
            window.erase(0, 1);
        }
        if ((!arrived || window.size() >= longest) && timer.Expired()) return 0;
    }
}

bool WaitForText(ByteSource& source, std::string_view text, int seconds) {
    return WaitForAnyText(source, {std::string(text)}, seconds) == 1;
}

// Bytes that keep coming without a line end end the read all the same, a
// pause after its deadline, so neither the time nor the line grows without
// end.
std::string ReadLineText(ByteSource& source, int seconds, const LineCharge& charge) {
    // What the line is charged for at a time: charging every byte would cost
    // more than reading it.
    constexpr size_t kChargeStep = 4096;
    WaitTimer timer(source, seconds);
    std::string line;
    for (;;) {
        char byte;
        while (source.ReadByte(byte)) {
            switch (source.lineEnds.Take(byte)) {
                case LineEnds::Step::End:
                    return line;
                case LineEnds::Step::Skip:
                    break;
                case LineEnds::Step::Append:
                    if (charge && line.size() % kChargeStep == 0) charge(kChargeStep);
                    line += byte;
                    if (line.size() == kMaxReceivedLine) {
                        source.lineEnds.Cut();
                        return line;
                    }
                    break;
            }
            if (timer.Expired(kLinePauseMs)) return {};
        }
        source.Await(kLinePauseMs);
        if (timer.Expired()) return {};
    }
}

void DiscardWaiting(ByteSource& source) {
    char byte;
    while (source.ReadByte(byte)) {
    }
}

}  // namespace tallow
