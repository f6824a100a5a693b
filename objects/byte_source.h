// The byte-wise waits and line reads that port and mailslot objects share,
// written once over a small source of single bytes: waitfor, waitformany,
// readstring and flush. They never fail; at their deadline they give 0 or "".
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "objects/line_ends.h"

namespace tallow {

// After a read that gives nothing, waitfor and waitformany wait this long
// for input before they look at their deadline again, and readstring this
// long; a wait may thus end up to one pause after its deadline.
constexpr uint32_t kWaitPauseMs = 500;
constexpr uint32_t kLinePauseMs = 100;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // One byte, when one is waiting; false when none is or the read fails.
    virtual bool ReadByte(char& byte) = 0;
    // Returns once input may be waiting that the last ReadByte did not find,
    // or after milliseconds, whichever comes first, with the thread's
    // window messages flowing; 0 only lets the waiting messages through.
    virtual void Await(uint32_t milliseconds) = 0;
    // Milliseconds from some fixed point; it may wrap.
    virtual uint32_t Now() = 0;

    // Where the last line read ended, for the line end that may follow.
    LineEnds lineEnds;
};

// Told the bytes a line read is about to gather, before it holds them (the
// program's memory budget); may throw to stop the read.
using LineCharge = std::function<void(size_t bytes)>;

// waitfor: true once the bytes that arrive hold text, within seconds.
bool WaitForText(ByteSource& source, std::string_view text, int seconds);
// waitformany: the position (from 1) of the first of texts that the bytes
// that arrive hold, within seconds; 0 when none does in time.
int WaitForAnyText(ByteSource& source, const std::vector<std::string>& texts, int seconds);
// readstring: the bytes up to a line end (see LineEnds), without it; a line
// of kMaxReceivedLine bytes ends there. "" when no line end comes within
// seconds (what came is lost).
std::string ReadLineText(ByteSource& source, int seconds, const LineCharge& charge = {});
// flush: reads and drops bytes until none is waiting.
void DiscardWaiting(ByteSource& source);

}  // namespace tallow
