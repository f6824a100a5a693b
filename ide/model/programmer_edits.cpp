// The code editor's edits: typing, deleting, splitting and joining lines,
// the selection and the clipboard, and search.
#include <algorithm>
#include <cctype>

#include "ide/model/programmer_model.h"

namespace tallow::ide {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The pieces of a text between CR LF pairs; a lone CR or LF stays in its piece.
std::vector<std::string> SplitAtCrLf(std::string_view text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string_view::npos; start = at + 2) {
        pieces.emplace_back(text.substr(start, at - start));
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

}  // namespace

// Only the line after the last may be added (the cursor line of an editor
// without lines). A tab counts as the blanks it inserts, so it can neither
// push the cursor past the last column nor the line past its longest length.
void ProgrammerModel::InsertChar(unsigned char ch, int line, int col) {
    if (line < 0 || line > LineCount() || col < 0 || col > kMaxColumn || (ch < 32 && ch != '\t')) return;
    EnsureLine(line);
    PadLine(line, col);
    int tab = std::max(1, tabSpaces);
    int count = ch == '\t' ? tab - col % tab : 1;
    auto allowed = [&] {
        return col + count <= kMaxColumn && static_cast<int>(lines_[line].size()) + count <= kMaxColumn;
    };
    if (!allowed()) {
        TrimLine(line);
        if (!allowed()) return;
        PadLine(line, col);
    }
    lines_[line].insert(col, ch == '\t' ? std::string(count, ' ') : std::string(1, static_cast<char>(ch)));
    SetCursor(line, col + count);
    MarkModified();
}

void ProgrammerModel::DeleteChar(int line, int position, bool smart) {
    if (line < 0 || line >= LineCount()) return;
    if (CursorLine() < LineCount()) {
        TrimLine(CursorLine());
        PadLine(CursorLine(), CursorCol());
    }
    std::string& s = lines_[line];
    if (position < 0) return JoinLines(line - 1);
    if (position >= static_cast<int>(s.size())) return JoinLines(line);
    int cursor = position;
    if (smart && line > 0 && s[position] == ' ') {
        int above = LeadingBlanks(lines_[line - 1]);
        int here = LeadingBlanks(s);
        if (position < here && above < position) {
            s.erase(0, here - above);
            cursor = position - (here - above) + 1;
        } else {
            s.erase(position, 1);
        }
    } else {
        s.erase(position, 1);
    }
    SetCursor(line, cursor);
    MarkModified();
}

void ProgrammerModel::SplitLine(int line, int col, bool autoIndent) {
    if (line < 0 || line > LineCount() || col < 0 || col > kMaxColumn) return;
    EnsureLine(line);
    PadLine(line, col);
    std::string rest = lines_[line].substr(col);
    lines_[line].erase(col);
    int indent = 0;
    if (autoIndent) {
        int kept = LeadingBlanks(lines_[line]);
        int moved = LeadingBlanks(rest);
        if (kept > moved) indent = kept - moved;
        rest.insert(0, indent, ' ');
    }
    TrimLine(line);
    lines_.insert(lines_.begin() + line + 1, std::move(rest));
    PlaceCursor(line + 1, indent);
    MarkModified();
}

void ProgrammerModel::JoinLines(int line) {
    if (line < 0 || line + 1 >= LineCount()) return;
    int length = static_cast<int>(lines_[line].size());
    lines_[line] += lines_[line + 1];
    lines_.erase(lines_.begin() + line + 1);
    TrimLine(line);
    PlaceCursor(line, length);
    MarkModified();
}

// Columns beyond a line's end delete nothing there; the rest of the end line
// joins the start line where that line ends.
void ProgrammerModel::DeleteSelection(bool copyFirst) {
    if (!selecting_) return;
    if (copyFirst) CopyToClipboard();
    auto [start, end] = Selection();
    selecting_ = false;
    if (end.line >= LineCount()) return;
    std::string& first = lines_[start.line];
    const std::string& last = lines_[end.line];
    std::string tail = last.substr(std::min<size_t>(end.col, last.size()));
    first.erase(std::min<size_t>(start.col, first.size()));
    first += tail;
    lines_.erase(lines_.begin() + start.line + 1, lines_.begin() + end.line + 1);
    // The cursor may have been the line that is now gone; set it directly.
    topLine_ = std::min(topLine_, start.line);
    row_ = start.line - topLine_;
    SetCursor(start.line, start.col);
    MarkModified();
}

void ProgrammerModel::CopyToClipboard() {
    if (HasSelection()) watcher_->SetClipboardText(SelText());
}

void ProgrammerModel::PasteFromClipboard() {
    std::string text;
    if (watcher_->GetClipboardText(text)) InsertText(text);
}

// Pasted lines are not held to the typing limit, but the cursor is: after a
// long paste it stops at the last column.
void ProgrammerModel::InsertText(std::string_view text) {
    DeleteSelection(false);
    int line = CursorLine();
    int col = CursorCol();
    EnsureLine(line);
    PadLine(line, col);
    std::vector<std::string> pieces = SplitAtCrLf(text);
    std::string tail = lines_[line].substr(col);
    lines_[line].erase(col);
    lines_[line] += pieces[0];
    for (size_t i = 1; i < pieces.size(); ++i) {
        TrimLine(line);
        lines_.insert(lines_.begin() + ++line, pieces[i]);
    }
    int cursorCol = static_cast<int>(lines_[line].size());
    lines_[line] += tail;
    PlaceCursor(line, cursorCol);
    MarkModified();
}

void ProgrammerModel::DeleteCursorLine() {
    int line = CursorLine();
    if (line >= LineCount()) return;
    selecting_ = false;
    DeleteLine(line);
    if (line < LineCount()) {
        row_ = line - topLine_;
        SetCursor(line, 0);
    } else if (LineCount() > 0) {
        SetCursor(LineCount() - 1, 0);
    }
    MarkModified();
}

// Only matches that end within the columns the cursor can reach are found,
// so that the cursor can stand after every match and repeated searches move on.
bool ProgrammerModel::Find(std::string_view text, bool matchCase) {
    if (text.empty()) return false;
    std::string needle = matchCase ? std::string(text) : Lower(text);
    for (int line = std::max(0, CursorLine()); line < LineCount(); ++line) {
        std::string hay = matchCase ? lines_[line] : Lower(lines_[line]);
        size_t from = line == CursorLine() ? std::min<size_t>(CursorCol(), hay.size()) : 0;
        size_t at = hay.find(needle, from);
        if (at == std::string::npos || at + needle.size() > kMaxColumn) continue;
        Select({line, static_cast<int>(at)}, {line, static_cast<int>(at + needle.size())});
        return true;
    }
    return false;
}

}  // namespace tallow::ide
