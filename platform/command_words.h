// Command lines as word lists: the split that exec and the Linux process
// starts use, and the quoting that turns words back into a Windows command
// line. Pure logic without system headers, shared by both targets' tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow::platform {

// Most words a command line yields: the program and 126 arguments. Old
// runtimes passed at most that many to a started program; the rest of the
// text is ignored rather than refused.
constexpr size_t kMaxCommandWords = 127;

// Splits text into at most kMaxCommandWords words. White space separates
// words. A word that begins with a double quote runs to the next one (both
// dropped, blanks kept), or to the end of the text when there is none; any
// other word runs to the next white space. There are no escapes.
std::vector<std::string> SplitCommandWords(std::string_view text);

// One word as a Windows program's runtime reads it back from its command
// line: unchanged when it holds no blank or double quote (and is not empty),
// else in double quotes, with the backslashes before a quote or the closing
// quote doubled and each inner quote escaped.
std::string QuoteCommandWord(std::string_view word);
// The words quoted and joined by single blanks.
std::string JoinCommandWords(const std::vector<std::string>& words);

}  // namespace tallow::platform
