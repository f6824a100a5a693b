// The interactive prompt of the runner, with line editing and history where
// the system has them.
#include "prompt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "diagnostics.h"
#include "support/system.h"

namespace tallow::runner {

namespace {

struct BlockWord {
    const char* word;
    int change;
};

constexpr BlockWord kBlockWords[] = {
    {"if", 1},     {"endif", -1},     {"for", 1}, {"next", -1},   {"while", 1}, {"endwhile", -1},
    {"select", 1}, {"endselect", -1}, {"try", 1}, {"endtry", -1}, {"proc", 1},  {"endproc", -1},
};

bool SameWord(std::string_view a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
        if (c != b[i]) return false;
    }
    return true;
}

bool WordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 128;
}

// Messages of errors that stop a run before its first statement: an entry
// that raises one is not kept, or every later entry would fail the same way.
constexpr const char* kPreparationErrors[] = {
    "Duplicate label encountered", "Duplicate proc encountered", "Unknown proc type encountered",
    "Invalid parameter type",      "double quotes missing",
};

// The value of an expression entry, when the last run gave one.
bool ValueOf(TallowProgramHandle program, std::string& value) {
    char small[256];
    int length = GetRunValue(program, small, sizeof small);
    if (length <= 0) return false;
    if (size_t(length) < sizeof small) {
        value = small;
        return true;
    }
    value.assign(size_t(length) + 1, '\0');
    GetRunValue(program, value.data(), length + 1);
    value.resize(size_t(length));
    return true;
}

std::string HistoryFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (state && *state)
        folder = std::filesystem::path(state) / "tallow";
    else if (home && *home)
        folder = std::filesystem::path(home) / ".local" / "state" / "tallow";
    else
        return std::string();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return (folder / "history").string();
}

bool StartsWithWord(std::string_view text, const char* word) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) return false;
    size_t j = i;
    while (j < text.size() && WordChar(text[j]))
        ++j;
    return SameWord(text.substr(i, j - i), word);
}

}  // namespace

int BlockDepth(std::string_view text) {
    int depth = 0;
    size_t i = 0;
    bool lineStart = true;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\n' || c == '\r') {
            lineStart = true;
            ++i;
        } else if (c == '"') {
            size_t close = text.find_first_of("\"\r\n", i + 1);
            i = close == std::string_view::npos ? text.size() : close + (text[close] == '"' ? 1 : 0);
            lineStart = false;
        } else if (c == '\'') {
            i = text.find_first_of("\r\n", i);
            if (i == std::string_view::npos) i = text.size();
        } else if (WordChar(c)) {
            size_t j = i;
            while (j < text.size() && WordChar(text[j]))
                ++j;
            std::string_view word = text.substr(i, j - i);
            // A variable, constant, call or member is no keyword.
            bool suffixed = j < text.size() && std::strchr("$#@(.:", text[j]);
            if (lineStart && SameWord(word, "rem")) {
                i = text.find_first_of("\r\n", j);
                if (i == std::string_view::npos) i = text.size();
                continue;
            }
            if (!suffixed)
                for (const BlockWord& b : kBlockWords)
                    if (SameWord(word, b.word)) depth += b.change;
            lineStart = false;
            i = j;
        } else {
            if (c != ' ' && c != '\t') lineStart = false;
            ++i;
        }
    }
    return depth;
}

int RunPrompt(TallowProgramHandle program) {
    support::LineEditor editor;
    std::string history = HistoryFile();
    editor.ReadHistory(history);
    SetSession(program, 1);
    // The prompt reports an entry's error itself, by the entry's own lines.
    SetErrorOutput(program, TALLOW_ERRORS_HOST);
    std::printf(
        "Tallow %d.%d.%d: type statements or expressions; a block runs once it is closed; exit leaves.\n",
        GetTallowVersion() / 10000, GetTallowVersion() / 100 % 100, GetTallowVersion() % 100);
    Session session;
    std::string entry, line, value;
    int code = 0;
    for (;;) {
        entry.clear();
        bool more = editor.ReadLine("tallow> ", line);
        while (more) {
            entry += line;
            entry += '\n';
            if (BlockDepth(entry) <= 0) break;
            more = editor.ReadLine("   ...> ", line);
        }
        if (!more && entry.empty()) break;
        size_t start = session.Add(entry);
        std::fflush(stdout);
        code = RunProgramFrom(program, session.Text().c_str(), int(start));
        std::fflush(stdout);
        RunError error;
        if (LastRunError(program, error)) {
            WriteDiagnostic(stderr, error, [&session](int l, int c) { return session.Place(l, c); });
            for (const char* preparation : kPreparationErrors)
                if (error.message == preparation) session.DropLast();
        }
        if (ValueOf(program, value))
            std::printf("%s\n", value.c_str());
        else
            std::putchar('\n');
        if (StartsWithWord(entry, "exit") || !more) break;
    }
    editor.WriteHistory(history);
    SetSession(program, 0);
    return code;
}

size_t Session::Add(const std::string& entry) {
    Entry e{text_.size(), lines_ + 1, entry.substr(0, entry.find('\n'))};
    entries_.push_back(e);
    text_ += entry;
    for (char c : entry)
        lines_ += c == '\n' ? 1 : 0;
    return e.start;
}

void Session::DropLast() {
    if (entries_.empty()) return;
    text_.resize(entries_.back().start);
    lines_ = entries_.back().firstLine - 1;
    entries_.pop_back();
}

std::string Session::Place(int line, int column) const {
    std::string at = std::to_string(column);
    for (size_t i = entries_.size(); i-- > 0;) {
        const Entry& e = entries_[i];
        if (line < e.firstLine) continue;
        std::string place = "line " + std::to_string(line - e.firstLine + 1) + ":" + at;
        return i + 1 == entries_.size() ? place : place + " of the entry '" + e.firstText + "'";
    }
    return "line " + std::to_string(line) + ":" + at;
}

}  // namespace tallow::runner
