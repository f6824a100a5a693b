// The code editor's cursor movements: by key (with or without extending the
// selection), by word, by page and by mouse.
#include <algorithm>

#include "ide/model/programmer_model.h"

namespace tallow::ide {

// The anchor stays where a selection in progress began; otherwise it is
// taken from the cursor before the move.
void ProgrammerModel::BeginMove() {
    if (!selecting_) anchor_ = Cursor();
    history_.BreakRun();
}

void ProgrammerModel::EndMove(bool extend) {
    selecting_ = extend;
}

void ProgrammerModel::MoveTo(int line, int col, bool extend) {
    BeginMove();
    SetCursor(line, col);
    EndMove(extend);
}

void ProgrammerModel::MoveEnd(bool extend) {
    BeginMove();
    TrimLine(CursorLine());
    PlaceCursor(CursorLine(), static_cast<int>(Line(CursorLine()).size()));
    EndMove(extend);
}

void ProgrammerModel::MoveDocumentEnd(bool extend) {
    BeginMove();
    TrimLine(CursorLine());
    int last = LineCount() - 1;
    PlaceCursor(last, static_cast<int>(Line(last).size()));
    EndMove(extend);
}

bool ProgrammerModel::IsWordStart(const std::string& s, int col) const {
    auto breaks = [&](char c) { return breakCharsLeft.find(c) != std::string::npos; };
    return col >= 0 && col < static_cast<int>(s.size()) && !breaks(s[col]) &&
           (col == 0 || breaks(s[col - 1]));
}

bool ProgrammerModel::IsWordEnd(const std::string& s, int col) const {
    auto breaks = [&](char c) { return breakCharsRight.find(c) != std::string::npos; };
    int last = static_cast<int>(s.size()) - 1;
    return col >= 0 && col <= last && !breaks(s[col]) && s[col] != ' ' && (col == last || breaks(s[col + 1]));
}

// Stops on the next word start or after the next word end, stepping to the
// next line when the cursor is at or beyond the end of its line.
void ProgrammerModel::MoveWordRight(bool extend) {
    int line = CursorLine(), col = CursorCol();
    if (line >= LineCount()) return;
    BeginMove();
    if (IsWordEnd(Line(line), col)) {
        PlaceCursor(line, col + 1);
        return EndMove(extend);
    }
    if (col >= static_cast<int>(Line(line).size())) {
        if (line + 1 >= LineCount()) return EndMove(extend);
        ++line;
        col = 0;
    } else {
        ++col;
    }
    const std::string& s = Line(line);
    int target = static_cast<int>(s.size());
    for (int i = col; i < static_cast<int>(s.size()); ++i) {
        if (IsWordStart(s, i)) {
            target = i;
            break;
        }
        if (IsWordEnd(s, i)) {
            target = i + 1;
            break;
        }
    }
    PlaceCursor(line, target);
    EndMove(extend);
}

// Stops on the previous word start or after the previous word end; from
// column 0 it steps to the end of the line above.
void ProgrammerModel::MoveWordLeft(bool extend) {
    int line = CursorLine(), col = CursorCol();
    if (line >= LineCount() || (line == 0 && col == 0)) return;
    BeginMove();
    if (col == 0) {
        --line;
        col = static_cast<int>(Line(line).size());
    } else {
        col = std::min(col - 1, static_cast<int>(Line(line).size()));
    }
    const std::string& s = Line(line);
    int target = col;
    if (!IsWordStart(s, col)) {
        target = 0;
        for (int i = col - 1; i >= 0; --i) {
            if (IsWordEnd(s, i)) {
                target = i + 1;
                break;
            }
            if (IsWordStart(s, i)) {
                target = i;
                break;
            }
        }
    }
    PlaceCursor(line, target);
    EndMove(extend);
}

void ProgrammerModel::PageTo(int newTop, bool extend) {
    BeginMove();
    int line = std::min(newTop + row_, LineCount() - 1);
    if (newTop != topLine_ || line != CursorLine()) {
        // Moving the top first hides which line the cursor leaves, so that
        // line loses its trailing blanks here.
        TrimLine(CursorLine());
        topLine_ = newTop;
        row_ = line - newTop;
        SetCursor(line, CursorCol());
    }
    EndMove(extend);
}

void ProgrammerModel::PageDown(bool extend) {
    if (LineCount() == 0) return;
    TrimLine(CursorLine());
    int newTop = topLine_ + visibleLines_;
    if (newTop >= LineCount()) newTop = LineCount() - row_ - 1;
    PageTo(std::max(0, newTop), extend);
}

void ProgrammerModel::PageUp(bool extend) {
    if (LineCount() == 0) return;
    PageTo(std::max(0, topLine_ - visibleLines_), extend);
}

void ProgrammerModel::MouseDown(int x, int y) {
    if (readOnly) return;
    SetFocus(true);
    selecting_ = false;
    TextPosition p = PointToPosition(x, y);
    MoveTo(p.line, p.col, false);
}

// Dragging below the window scrolls it by way of the cursor; positions past
// the last line are ignored.
void ProgrammerModel::MouseDrag(int x, int y) {
    if (readOnly) return;
    TextPosition p = PointToPosition(x, y);
    MoveTo(p.line, p.col, true);
}

}  // namespace tallow::ide
