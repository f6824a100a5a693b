// The lines a connection has received, gathered from its bytes as they
// arrive and broken where LineEnds says. Bounded, whatever the peer sends.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "objects/line_ends.h"

namespace tallow {
// What the queue holds at most before it stops taking bytes (lines count
// their text and kLineCost each). Past it, data waits in the system and the
// peer is held back until the script reads.
constexpr size_t kMaxQueuedBytes = size_t(16) << 20;
// What a queued line costs beside its text, so that a flood of empty lines
// is bounded as well.
constexpr size_t kLineCost = sizeof(std::string);

class LineQueue {
public:
    // Adds received bytes. Taking more than Room() is allowed (the queue
    // then holds that much more until it is read).
    void Feed(std::string_view bytes);
    // The connection ended: an unfinished last line becomes a line of its
    // own (nothing more can finish it). Doing it again changes nothing.
    void Finish();
    // Takes the oldest complete line; false when there is none.
    bool TakeLine(std::string& line);
    bool HasLine() const { return !lines_.empty(); }
    // Bytes it takes before it counts as full (0 when full).
    size_t Room() const { return held_ >= kMaxQueuedBytes ? 0 : kMaxQueuedBytes - held_; }
    // What it holds, in the bytes Room() counts.
    size_t Held() const { return held_; }

private:
    void EndLine();

    std::deque<std::string> lines_;
    std::string partial_;
    size_t held_ = 0;
    LineEnds ends_;
};

}  // namespace tallow
