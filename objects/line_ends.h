// Where received text breaks into lines, one byte at a time, for every
// object that reads lines from a peer (sockets, ports, mailslots): a
// carriage return ends a line, and so does a line feed, except right after
// a carriage return, so that CR LF is one line end. Peers that end lines
// with CR, with LF or with CR LF thus give the same lines.
#pragma once

#include <cstddef>

namespace tallow {

// The longest line: a peer that sends more without a line end has its text
// delivered in lines of this length, so nothing is lost and a line never
// grows without bound. A line end right after such a piece ends it and
// makes no empty line.
constexpr size_t kMaxReceivedLine = size_t(1) << 20;

class LineEnds {
public:
    enum class Step {
        Append,  // the byte belongs to the line
        End,     // the line ends here (the byte is no part of it)
        Skip,    // the byte ends nothing more: the line ended just before it
    };

    // What byte does to the line being gathered.
    Step Take(char byte) {
        bool afterCr = afterCr_, afterCut = afterCut_;
        afterCr_ = byte == '\r';
        afterCut_ = false;
        if (byte == '\r') return afterCut ? Step::Skip : Step::End;
        if (byte == '\n') return afterCr || afterCut ? Step::Skip : Step::End;
        return Step::Append;
    }
    // The line was delivered cut at kMaxReceivedLine: a line end that comes
    // next belongs to it.
    void Cut() {
        afterCr_ = false;
        afterCut_ = true;
    }
    // Forgets the bytes before (a new connection).
    void Reset() { afterCr_ = afterCut_ = false; }

private:
    bool afterCr_ = false;
    bool afterCut_ = false;
};

}  // namespace tallow
