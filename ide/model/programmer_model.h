// The code editor's text and view state without any window: lines, cursor
// (which may stand beyond a line's end), anchor and selection, every edit and
// movement with its cursor result, and the view geometry for a given cell
// size. The window class paints from it and feeds it keys and mouse events.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ide/model/undo_history.h"

namespace tallow::ide {

// The highest column the cursor may stand on; typing never makes a line
// longer than this, because the painting code works in byte-sized columns.
inline constexpr int kMaxColumn = 255;
inline constexpr int kDefaultTabSpaces = 2;

// What the editor tells its owner. Every member has a do-nothing default.
class ProgrammerWatcher {
public:
    virtual ~ProgrammerWatcher() = default;
    // The absolute cursor line and column; only while the caret is shown.
    virtual void OnCursorChange(int /*row*/, int /*col*/) {}
    virtual void OnChangeModified() {}
    virtual void SetClipboardText(const std::string& /*text*/) {}
    // False when the clipboard holds no text.
    virtual bool GetClipboardText(std::string& /*text*/) { return false; }
};

struct TextPosition {
    int line = 0;
    int col = 0;
    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// The normalised ends of a selection: start is never after end.
struct SelectionBounds {
    TextPosition start;
    TextPosition end;
};

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom };

struct ScrollBarState {
    int max = 0;  // the range is 0 ... max
    int position = 0;
    int page = 0;
};

class ProgrammerModel {
public:
    explicit ProgrammerModel(ProgrammerWatcher* watcher = nullptr);

    // ---- options
    int tabSpaces = kDefaultTabSpaces;
    bool readOnly = false;
    std::string breakCharsLeft;
    std::string breakCharsRight;
    std::string remText;

    // ---- text
    const std::vector<std::string>& Lines() const { return lines_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // Line i, or an empty string when there is no such line.
    const std::string& Line(int i) const;
    // One empty line, cursor at 0,0, no selection, not modified.
    void Clear();
    void ClearLines();
    void DeleteLine(int i);
    void InsertLine(int i, std::string text);
    // Splits at CR LF, lone CR and lone LF; a final line end adds no line.
    // The cursor goes to 0,0 and the selection is cleared.
    void SetText(std::string_view text);
    // Every line followed by CR LF.
    std::string GetText() const;

    // ---- cursor and view
    int CursorLine() const { return topLine_ + row_; }
    int CursorCol() const { return leftCol_ + col_; }
    int TopLine() const { return topLine_; }
    int LeftCol() const { return leftCol_; }
    int CursorRow() const { return row_; }
    int CursorViewCol() const { return col_; }
    void SetCursorLine(int line) { SetCursor(line, CursorCol()); }
    void SetCursorCol(int col) { SetCursor(CursorLine(), col); }
    // Ignored unless the line exists and 0 <= col <= kMaxColumn.
    void SetCursor(int line, int col);

    // The font's cell in pixels (signs are dropped) and the client area.
    void SetCellSize(int charWidth, int lineHeight);
    void SetClientSize(int width, int height);
    int LineHeight() const { return lineHeight_; }
    int CharWidth() const { return charWidth_; }
    int VisibleLines() const { return visibleLines_; }
    int VisibleCols() const { return visibleCols_; }
    // Where the caret goes, in client pixels.
    int CaretX() const { return col_ * charWidth_; }
    int CaretY() const { return row_ * lineHeight_; }
    TextPosition PointToPosition(int x, int y) const;
    ScrollBarState ScrollBar() const;
    // Keeps the cursor on its text line; the top line is clamped to the range.
    void Scroll(ScrollAction action, int thumbPosition = 0);
    // The caret exists only while the editor has the focus and is editable.
    void SetFocus(bool focused);
    bool CaretShown() const { return caretShown_; }

    // ---- selection
    bool Selecting() const { return selecting_; }
    TextPosition Anchor() const { return anchor_; }
    bool HasSelection() const { return selecting_ && !(anchor_ == Cursor()); }
    SelectionBounds Selection() const;
    std::string SelText() const;
    // The selected columns of one line as [from, to); to is INT32_MAX when
    // the selection runs on past the line's end, from == to when none.
    std::pair<int, int> SelectedColumns(int line) const;
    void ClearSelection() { selecting_ = false; }
    // Selects from `from` to `to` (the cursor end); ignored when either is invalid.
    void Select(TextPosition from, TextPosition to);

    // ---- edits (each ignores positions it cannot use)
    void InsertChar(unsigned char ch, int line, int col);
    void DeleteChar(int line, int position, bool smart);
    void SplitLine(int line, int col, bool autoIndent);
    void JoinLines(int line);
    void DeleteSelection(bool copyFirst);
    void InsertText(std::string_view text);
    void ReplaceSelection(std::string_view text) { InsertText(text); }
    void CutToClipboard() { DeleteSelection(true); }
    void CopyToClipboard();
    void PasteFromClipboard();
    // Deletes the cursor line; the cursor goes to column 0 of the same line number.
    void DeleteCursorLine();
    bool Find(std::string_view text, bool matchCase);

    bool Modified() const { return modified_; }
    void SetModified(bool flag);

    // ---- undo. The editing commands (keys, clipboard, replace) call
    // BeginEdit before they change the text; a run of typed characters, or
    // of deletes, is one step until the cursor moves or another edit comes.
    // fresh: the change starts a run of its kind anew.
    void BeginEdit(UndoRun run = UndoRun::kNoRun, bool fresh = false);
    // Back to the text and cursor before the last step, or forward again;
    // false when there is none. Each marks the text modified.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // A new document's text starts without steps.
    void ForgetUndo() { history_.Clear(); }

    // ---- movements, as the keys and the mouse make them. `extend` grows the
    // selection from the anchor; otherwise the selection is cleared.
    void MoveTo(int line, int col, bool extend);
    void MoveLeft(bool extend) { MoveTo(CursorLine(), CursorCol() - 1, extend); }
    void MoveRight(bool extend) { MoveTo(CursorLine(), CursorCol() + 1, extend); }
    void MoveUp(bool extend) { MoveTo(CursorLine() - 1, CursorCol(), extend); }
    void MoveDown(bool extend) { MoveTo(CursorLine() + 1, CursorCol(), extend); }
    void MoveHome(bool extend) { MoveTo(CursorLine(), 0, extend); }
    void MoveDocumentHome(bool extend) { MoveTo(0, 0, extend); }
    void MoveEnd(bool extend);
    void MoveDocumentEnd(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void PageDown(bool extend);
    void PageUp(bool extend);
    void MouseDown(int x, int y);
    void MouseDrag(int x, int y);

    TextPosition Cursor() const { return {CursorLine(), CursorCol()}; }

private:
    struct EditState {
        std::vector<std::string> lines;
        TextPosition cursor;
        friend bool operator==(const EditState&, const EditState&) = default;
    };
    EditState CurrentState() const { return {lines_, Cursor()}; }
    void Restore(EditState state);

    void TrimLine(int line);
    void PadLine(int line, int col);
    void EnsureLine(int line);
    // Every edit ends a selection in progress, whose anchor may name a
    // line or column the edit has moved.
    void MarkModified() {
        selecting_ = false;
        SetModified(true);
    }
    void PlaceCursor(int line, int col);  // clamps col to kMaxColumn
    void BeginMove();
    void EndMove(bool extend);
    bool IsWordStart(const std::string& s, int col) const;
    bool IsWordEnd(const std::string& s, int col) const;
    void PageTo(int newTop, bool extend);

    ProgrammerWatcher* watcher_;
    ProgrammerWatcher noWatcher_;
    std::vector<std::string> lines_;
    int topLine_ = 0;
    int leftCol_ = 0;
    int row_ = 0;
    int col_ = 0;
    TextPosition anchor_;
    bool selecting_ = false;
    int lineHeight_ = 1;
    int charWidth_ = 1;
    int visibleLines_ = 1;
    int visibleCols_ = 1;
    bool caretShown_ = false;
    bool modified_ = false;
    UndoHistory<EditState> history_;
};

// Number of blanks at the start of s.
int LeadingBlanks(std::string_view s);

}  // namespace tallow::ide
