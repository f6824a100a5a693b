// Gathering received bytes into lines.
#include "line_queue.h"

namespace tallow {

void LineQueue::Feed(std::string_view bytes) {
    for (char c : bytes) {
        switch (ends_.Take(c)) {
            case LineEnds::Step::End:
                EndLine();
                break;
            case LineEnds::Step::Skip:
                break;
            case LineEnds::Step::Append:
                partial_ += c;
                ++held_;
                if (partial_.size() == kMaxReceivedLine) {
                    EndLine();
                    ends_.Cut();
                }
                break;
        }
    }
}

void LineQueue::Finish() {
    if (!partial_.empty()) EndLine();
    ends_.Reset();
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
