// Gathering received bytes into lines.
#include "line_queue.h"

namespace tallow {

void LineQueue::Feed(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c == '\r') {
            // The carriage return after a line cut at the limit ends nothing
            // more: that line is delivered already.
            if (!cut_) EndLine();
            cut_ = false;
            continue;
        }
        cut_ = false;
        partial_ += c;
        ++held_;
        if (partial_.size() == kMaxReceivedLine) {
            EndLine();
            cut_ = true;
        }
    }
}

void LineQueue::Finish() {
    if (!partial_.empty()) EndLine();
    cut_ = false;
}

bool LineQueue::TakeLine(std::string& line) {
    if (lines_.empty()) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    held_ -= line.size() + kLineCost;
    return true;
}

// The line being gathered joins the queue (its bytes are counted already).
void LineQueue::EndLine() {
    held_ += kLineCost;
    lines_.push_back(std::move(partial_));
    partial_.clear();
}

}  // namespace tallow
