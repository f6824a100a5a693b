// The code editor's line list, cursor, view geometry and selection.
#include "ide/model/programmer_model.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tallow::ide {

namespace {

const std::string kNoLine;

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

int LeadingBlanks(std::string_view s) {
    size_t n = s.find_first_not_of(' ');
    return static_cast<int>(n == std::string_view::npos ? s.size() : n);
}

ProgrammerModel::ProgrammerModel(ProgrammerWatcher* watcher)
    : watcher_(watcher ? watcher : &noWatcher_), lines_(1) {}

const std::string& ProgrammerModel::Line(int i) const {
    return i >= 0 && i < LineCount() ? lines_[i] : kNoLine;
}

void ProgrammerModel::Clear() {
    ClearLines();
    lines_.emplace_back();
    history_.Clear();
    SetModified(false);
}

void ProgrammerModel::BeginEdit(UndoRun run, bool fresh) {
    if (!readOnly) history_.Record(CurrentState(), run, fresh);
}

// The cursor goes where it stood before the step (after it, for Redo).
void ProgrammerModel::Restore(EditState state) {
    int line = state.cursor.line;
    int col = state.cursor.col;
    ClearLines();
    lines_ = std::move(state.lines);
    if (lines_.empty()) lines_.emplace_back();
    SetCursor(std::min(line, LineCount() - 1), col);
    SetModified(true);
}

bool ProgrammerModel::Undo() {
    if (readOnly) return false;
    std::optional<EditState> state = history_.Undo(CurrentState());
    if (!state) return false;
    Restore(std::move(*state));
    return true;
}

bool ProgrammerModel::Redo() {
    if (readOnly) return false;
    std::optional<EditState> state = history_.Redo(CurrentState());
    if (!state) return false;
    Restore(std::move(*state));
    return true;
}

void ProgrammerModel::ClearLines() {
    lines_.clear();
    topLine_ = leftCol_ = row_ = col_ = 0;
    anchor_ = {};
    selecting_ = false;
}

// A selection that reaches lines which are gone cannot be painted or
// deleted, so changes to the line list drop it.
void ProgrammerModel::DeleteLine(int i) {
    if (i < 0 || i >= LineCount()) return;
    lines_.erase(lines_.begin() + i);
    selecting_ = false;
    if (lines_.empty()) {
        ClearLines();
    } else if (CursorLine() >= LineCount()) {
        int col = CursorCol();
        topLine_ = std::min(topLine_, LineCount() - 1);
        row_ = 0;
        SetCursor(LineCount() - 1, col);
    }
}

void ProgrammerModel::InsertLine(int i, std::string text) {
    if (i < 0 || i > LineCount()) return;
    lines_.insert(lines_.begin() + i, std::move(text));
    selecting_ = false;
}

// A new text is read from its start: the cursor goes to 0,0.
void ProgrammerModel::SetText(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    ClearLines();
    lines_ = std::move(lines);
}

std::string ProgrammerModel::GetText() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void ProgrammerModel::TrimLine(int line) {
    if (line < 0 || line >= LineCount()) return;
    std::string& s = lines_[line];
    size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
}

void ProgrammerModel::PadLine(int line, int col) {
    std::string& s = lines_[line];
    if (static_cast<int>(s.size()) < col) s.append(col - s.size(), ' ');
}

void ProgrammerModel::EnsureLine(int line) {
    while (LineCount() <= line)
        lines_.emplace_back();
}

void ProgrammerModel::SetCursor(int line, int col) {
    if (line < 0 || line >= LineCount() || col < 0 || col > kMaxColumn) return;
    if (line != CursorLine()) TrimLine(CursorLine());
    if (line < topLine_) topLine_ = line;
    if (line >= topLine_ + visibleLines_) topLine_ = line - visibleLines_ + 1;
    if (col < leftCol_) leftCol_ = col;
    if (col >= leftCol_ + visibleCols_) leftCol_ = col - visibleCols_ + 1;
    row_ = line - topLine_;
    col_ = col - leftCol_;
    if (caretShown_) watcher_->OnCursorChange(line, col);
}

void ProgrammerModel::PlaceCursor(int line, int col) {
    SetCursor(line, std::clamp(col, 0, kMaxColumn));
}

void ProgrammerModel::SetCellSize(int charWidth, int lineHeight) {
    charWidth_ = std::max(1, std::abs(charWidth));
    lineHeight_ = std::max(1, std::abs(lineHeight));
}

// At least one line and column count as visible so that scrolling the
// cursor into view always has somewhere to put it.
void ProgrammerModel::SetClientSize(int width, int height) {
    visibleLines_ = std::max(1, height / lineHeight_);
    visibleCols_ = std::max(1, width / charWidth_);
}

TextPosition ProgrammerModel::PointToPosition(int x, int y) const {
    return {topLine_ + y / lineHeight_, leftCol_ + (x + charWidth_ / 2) / charWidth_};
}

ScrollBarState ProgrammerModel::ScrollBar() const {
    return {std::max(0, LineCount() - visibleLines_), topLine_, visibleLines_ - 1};
}

void ProgrammerModel::Scroll(ScrollAction action, int thumbPosition) {
    ScrollBarState bar = ScrollBar();
    int pos = topLine_;
    switch (action) {
        case ScrollAction::LineUp:
            pos -= 1;
            break;
        case ScrollAction::LineDown:
            pos += 1;
            break;
        case ScrollAction::PageUp:
            pos -= std::max(1, bar.page);
            break;
        case ScrollAction::PageDown:
            pos += std::max(1, bar.page);
            break;
        case ScrollAction::Thumb:
            pos = thumbPosition;
            break;
        case ScrollAction::Top:
            pos = 0;
            break;
        case ScrollAction::Bottom:
            pos = bar.max;
            break;
    }
    pos = std::clamp(pos, 0, bar.max);
    int line = CursorLine();
    topLine_ = pos;
    row_ = line - topLine_;
}

void ProgrammerModel::SetFocus(bool focused) {
    caretShown_ = focused && !readOnly;
}

SelectionBounds ProgrammerModel::Selection() const {
    TextPosition a = anchor_, c = Cursor();
    bool anchorFirst = a.line < c.line || (a.line == c.line && a.col <= c.col);
    return anchorFirst ? SelectionBounds{a, c} : SelectionBounds{c, a};
}

// Columns beyond a line's end select nothing there.
std::string ProgrammerModel::SelText() const {
    if (!HasSelection()) return {};
    auto [start, end] = Selection();
    auto part = [&](int line, int from, int to) {
        const std::string& s = Line(line);
        size_t f = std::min<size_t>(from, s.size());
        size_t t = std::min<size_t>(to, s.size());
        return f < t ? s.substr(f, t - f) : std::string();
    };
    if (start.line == end.line) return part(start.line, start.col, end.col);
    std::string text = part(start.line, start.col, INT32_MAX);
    for (int i = start.line + 1; i < end.line; ++i)
        text += "\r\n" + Line(i);
    return text + "\r\n" + part(end.line, 0, end.col);
}

std::pair<int, int> ProgrammerModel::SelectedColumns(int line) const {
    if (!HasSelection()) return {0, 0};
    auto [start, end] = Selection();
    if (line < start.line || line > end.line) return {0, 0};
    return {line == start.line ? start.col : 0, line == end.line ? end.col : INT32_MAX};
}

void ProgrammerModel::Select(TextPosition from, TextPosition to) {
    auto valid = [&](TextPosition p) {
        return p.line >= 0 && p.line < LineCount() && p.col >= 0 && p.col <= kMaxColumn;
    };
    if (!valid(from) || !valid(to)) return;
    anchor_ = from;
    selecting_ = true;
    SetCursor(to.line, to.col);
}

void ProgrammerModel::SetModified(bool flag) {
    if (flag == modified_) return;
    modified_ = flag;
    watcher_->OnChangeModified();
}

}  // namespace tallow::ide
