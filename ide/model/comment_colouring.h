// The editor's one colouring rule: a comment runs from its opening text,
// found outside double quotes, to the end of the line.
#pragma once

#include <string_view>
#include <vector>

namespace tallow::ide {

struct ColouredRun {
    int start = 0;
    int length = 0;
    bool comment = false;
    bool selected = false;  // drawn on the highlight background
    friend bool operator==(const ColouredRun&, const ColouredRun&) = default;
};

// The column where a comment starts, or -1. remText is compared without
// regard to case; an empty remText colours nothing.
int CommentStart(std::string_view line, std::string_view remText);

// The line as at most two runs: plain text, then the comment. An empty
// line has no runs.
std::vector<ColouredRun> ColourLine(std::string_view line, std::string_view remText);

// The same runs split where the selected columns [selFrom, selTo) begin and
// end; columns beyond the line's end are not drawn and so not selected.
std::vector<ColouredRun> ColourLine(std::string_view line, std::string_view remText, int selFrom, int selTo);

}  // namespace tallow::ide
