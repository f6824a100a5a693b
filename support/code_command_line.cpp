// Quoting for the code runner's command line, whose split knows no escapes.
#include "support/code_command_line.h"

#include <string>

namespace tallow::support {

namespace {

constexpr std::string_view kBlanks = " \t\n\r\v\f";

}  // namespace

bool AppendCommandWord(std::string& line, std::string_view word) {
    bool quoted =
        word.empty() || word.find_first_of(kBlanks) != std::string_view::npos || word.front() == '"';
    if (quoted && word.find('"') != std::string_view::npos) return false;
    if (!line.empty()) line += ' ';
    if (quoted) line += '"';
    line += word;
    if (quoted) line += '"';
    return true;
}

bool BuildCodeCommandLine(std::string_view file, const std::vector<const char*>& args, std::string& line,
                          std::string& bad) {
    line.clear();
    if (!AppendCommandWord(line, file)) {
        bad = file;
        return false;
    }
    for (const char* arg : args) {
        if (!AppendCommandWord(line, arg)) {
            bad = arg;
            return false;
        }
    }
    return true;
}

std::string FirstCommandWord(std::string_view line) {
    size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) return std::string();
    if (line[start] == '"') {
        size_t end = line.find('"', start + 1);
        return std::string(line.substr(start + 1, end == std::string_view::npos ? end : end - start - 1));
    }
    size_t end = line.find_first_of(kBlanks, start);
    return std::string(line.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string DiagnosticLine(std::string_view file, int line, int column, std::string_view message,
                           std::string_view token) {
    std::string text(file);
    text += ':' + std::to_string(line) + ':' + std::to_string(column) + ": error: ";
    text += message;
    if (!token.empty()) {
        text += ": '";
        text += token;
        text += '\'';
    }
    text += '\n';
    return text;
}

}  // namespace tallow::support
