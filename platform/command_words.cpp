// Splitting command lines into words and quoting words for Windows.
#include "platform/command_words.h"

namespace tallow::platform {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

size_t SkipBlanks(std::string_view text, size_t i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

}  // namespace

std::vector<std::string> SplitCommandWords(std::string_view text) {
    std::vector<std::string> words;
    size_t i = SkipBlanks(text, 0);
    while (i < text.size() && words.size() < kMaxCommandWords) {
        size_t end;
        if (text[i] == '"') {
            ++i;
            end = text.find('"', i);
            if (end == std::string_view::npos) end = text.size();
            words.emplace_back(text.substr(i, end - i));
            if (end < text.size()) ++end;
        } else {
            end = i;
            while (end < text.size() && !IsBlank(text[end]))
                ++end;
            words.emplace_back(text.substr(i, end - i));
        }
        i = SkipBlanks(text, end);
    }
    return words;
}

// A run of backslashes means itself unless a double quote follows it; then
// each pair stands for one backslash and an odd one out escapes the quote.
std::string QuoteCommandWord(std::string_view word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string_view::npos) return std::string(word);
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinCommandWords(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        line += QuoteCommandWord(word);
    }
    return line;
}

}  // namespace tallow::platform
