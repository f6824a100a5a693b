// Splitting the code runner's command line.
#include "command_line.h"

namespace tallow {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    while (i < line.size()) {
        size_t end;
        if (line[i] == '"') {
            ++i;
            end = line.find('"', i);
            if (end == std::string_view::npos) end = line.size();
            tokens.emplace_back(line.substr(i, end - i));
            i = end < line.size() ? end + 1 : end;
        } else {
            end = i;
            while (end < line.size() && !IsBlank(line[end]))
                ++end;
            tokens.emplace_back(line.substr(i, end - i));
            i = end;
        }
        while (i < line.size() && IsBlank(line[i]))
            ++i;
    }
    return tokens;
}

}  // namespace tallow
