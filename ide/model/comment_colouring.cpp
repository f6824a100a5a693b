// Finding where a line's comment starts.
#include "ide/model/comment_colouring.h"

#include <algorithm>
#include <cctype>

namespace tallow::ide {

namespace {

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int CommentStart(std::string_view line, std::string_view remText) {
    if (remText.empty()) return -1;
    bool inString = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            inString = !inString;
        } else if (!inString && StartsWithNoCase(line, i, remText)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<ColouredRun> ColourLine(std::string_view line, std::string_view remText) {
    std::vector<ColouredRun> runs;
    int length = static_cast<int>(line.size());
    int comment = CommentStart(line, remText);
    int plainEnd = comment < 0 ? length : comment;
    if (plainEnd > 0) runs.push_back({0, plainEnd, false});
    if (comment >= 0) runs.push_back({comment, length - comment, true});
    return runs;
}

std::vector<ColouredRun> ColourLine(std::string_view line, std::string_view remText, int selFrom, int selTo) {
    int length = static_cast<int>(line.size());
    selFrom = std::clamp(selFrom, 0, length);
    selTo = std::clamp(selTo, selFrom, length);
    std::vector<ColouredRun> runs;
    for (const ColouredRun& run : ColourLine(line, remText)) {
        int end = run.start + run.length;
        int cuts[] = {run.start, std::clamp(selFrom, run.start, end), std::clamp(selTo, run.start, end), end};
        for (int i = 0; i < 3; ++i) {
            if (cuts[i] < cuts[i + 1]) runs.push_back({cuts[i], cuts[i + 1] - cuts[i], run.comment, i == 1});
        }
    }
    return runs;
}

}  // namespace tallow::ide
