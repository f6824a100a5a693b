#include "ide/win32/programmer_view.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ide/model/comment_colouring.h"
#include "ide/model/editor_keys.h"

namespace tallow::ide::win32 {

namespace {

constexpr int kCaretWidth = 2;
constexpr int kWheelLines = 3;
// How often a drag held outside the window moves the cursor on (and so
// scrolls the text) while the pointer stands still.
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragIntervalMs = 50;

struct VirtualKey {
    int code;
    EditorKey key;
};

constexpr VirtualKey kVirtualKeys[] = {
    {VK_INSERT, EditorKey::Insert}, {VK_DELETE, EditorKey::Delete}, {VK_BACK, EditorKey::Backspace},
    {VK_RETURN, EditorKey::Enter},  {VK_TAB, EditorKey::Tab},       {'Y', EditorKey::Y},
    {VK_LEFT, EditorKey::Left},     {VK_RIGHT, EditorKey::Right},   {VK_UP, EditorKey::Up},
    {VK_DOWN, EditorKey::Down},     {VK_HOME, EditorKey::Home},     {VK_END, EditorKey::End},
    {VK_PRIOR, EditorKey::PageUp},  {VK_NEXT, EditorKey::PageDown},
};

std::optional<EditorKey> FindEditorKey(WPARAM code) {
    for (const VirtualKey& k : kVirtualKeys) {
        if (static_cast<WPARAM>(k.code) == code) return k.key;
    }
    return std::nullopt;
}

bool KeyHeld(int code) {
    return (GetKeyState(code) & 0x8000) != 0;
}

unsigned HeldModifiers() {
    return (KeyHeld(VK_SHIFT) ? kShift : 0u) | (KeyHeld(VK_CONTROL) ? kCtrl : 0u) |
           (KeyHeld(VK_MENU) ? kAlt : 0u);
}

struct ScrollCode {
    int code;
    ScrollAction action;
};

constexpr ScrollCode kScrollCodes[] = {
    {SB_LINEUP, ScrollAction::LineUp},    {SB_LINEDOWN, ScrollAction::LineDown},
    {SB_PAGEUP, ScrollAction::PageUp},    {SB_PAGEDOWN, ScrollAction::PageDown},
    {SB_THUMBTRACK, ScrollAction::Thumb}, {SB_THUMBPOSITION, ScrollAction::Thumb},
    {SB_TOP, ScrollAction::Top},          {SB_BOTTOM, ScrollAction::Bottom},
};

}  // namespace

const ProgrammerView::MessageEntry ProgrammerView::kMessages[] = {
    {WM_CREATE, &ProgrammerView::OnCreate},
    {WM_SIZE, &ProgrammerView::OnSize},
    {WM_PAINT, &ProgrammerView::OnPaint},
    {WM_PRINTCLIENT, &ProgrammerView::OnPrintClient},
    {WM_ERASEBKGND, &ProgrammerView::OnEraseBackground},
    {WM_GETDLGCODE, &ProgrammerView::OnGetDlgCode},
    {WM_SETFOCUS, &ProgrammerView::OnSetFocus},
    {WM_KILLFOCUS, &ProgrammerView::OnKillFocus},
    {WM_KEYDOWN, &ProgrammerView::OnKeyDown},
    {WM_CHAR, &ProgrammerView::OnChar},
    {WM_VSCROLL, &ProgrammerView::OnVScroll},
    {WM_MOUSEWHEEL, &ProgrammerView::OnMouseWheel},
    {WM_LBUTTONDOWN, &ProgrammerView::OnLButtonDown},
    {WM_MOUSEMOVE, &ProgrammerView::OnMouseMove},
    {WM_LBUTTONUP, &ProgrammerView::OnLButtonUp},
    {WM_CAPTURECHANGED, &ProgrammerView::OnCaptureChanged},
    {WM_TIMER, &ProgrammerView::OnTimer},
};

ProgrammerView::ProgrammerView(ProgrammerModel& model, const ProgrammerLook& look)
    : model_(model), look_(look) {}

void ProgrammerView::Create(HWND parent, int id, const RECT& area) {
    RegisterClass(kProgrammerClass, 0, nullptr, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM)));
    Window::Create(kProgrammerClass, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPCHILDREN,
                   WS_EX_CLIENTEDGE, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT ProgrammerView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return Default(message, wParam, lParam);
}

// The font and its cell; the window's size follows in WM_SIZE.
LRESULT ProgrammerView::OnCreate(WPARAM, LPARAM) {
    LOGFONTA lf{};
    lf.lfHeight = look_.fontHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(lf.lfFaceName, look_.fontName, LF_FACESIZE);
    font_.Reset(CreateFontIndirectA(&lf));
    if (!font_) return -1;
    WindowDc dc(Handle());
    SelectedObject selected(dc.Get(), font_.Get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    model_.SetCellSize(metrics.tmAveCharWidth, metrics.tmHeight);
    RECT client{};
    GetClientRect(Handle(), &client);
    model_.SetClientSize(client.right, client.bottom);
    UpdateScrollBar();
    return 0;
}

LRESULT ProgrammerView::OnSize(WPARAM, LPARAM lParam) {
    model_.SetClientSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    // A taller window may show lines past the end: the top comes back into range.
    model_.Scroll(ScrollAction::Thumb, model_.TopLine());
    Refresh();
    return 0;
}

void ProgrammerView::Refresh() {
    if (!Handle()) return;
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateScrollBar();
    UpdateCaret();
}

void ProgrammerView::ShowCursor() {
    model_.SetCursor(model_.CursorLine(), model_.CursorCol());
    Refresh();
}

void ProgrammerView::UpdateScrollBar() {
    ScrollBarState bar = model_.ScrollBar();
    // The system's range runs to the last position plus a page less one, so
    // that a thumb of a screen's size can stand at the model's last position.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nPage = static_cast<UINT>(model_.VisibleLines());
    info.nMax = bar.max + model_.VisibleLines() - 1;
    info.nPos = bar.position;
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void ProgrammerView::UpdateCaret() {
    if (model_.CaretShown() && GetFocus() == Handle()) SetCaretPos(model_.CaretX(), model_.CaretY());
}

void ProgrammerView::Repaint(const EditorSnapshot& before) {
    EditorSnapshot after = TakeSnapshot(model_);
    RepaintRange range = LinesToRepaint(before, after);
    if (range.wholeView && before.leftCol == after.leftCol && ScrollPixels(before.topLine)) {
        // The moved pixels show the old picture at the new top line.
        EditorSnapshot moved = before;
        moved.topLine = after.topLine;
        range = LinesToRepaint(moved, after);
    }
    if (range.wholeView) {
        InvalidateRect(Handle(), nullptr, FALSE);
    } else if (!range.Empty()) {
        InvalidateLines(range.first, range.last);
    }
    if (before.lineCount != after.lineCount || before.topLine != after.topLine) UpdateScrollBar();
    UpdateCaret();
}

// False when nothing of the old picture can stay: the text moved by a
// screen or more, or part of the window waits to be painted (the update
// region does not move with the pixels).
bool ProgrammerView::ScrollPixels(int oldTop) {
    int lines = oldTop - model_.TopLine();
    RECT pending{};
    if (std::abs(lines) >= model_.VisibleLines() || GetUpdateRect(Handle(), &pending, FALSE)) return false;
    bool caret = model_.CaretShown() && GetFocus() == Handle();
    if (caret) HideCaret(Handle());
    ScrollWindowEx(Handle(), 0, lines * model_.LineHeight(), nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE);
    if (caret) ShowCaret(Handle());
    return true;
}

void ProgrammerView::InvalidateLines(int first, int last) {
    RECT client{};
    GetClientRect(Handle(), &client);
    int height = model_.LineHeight();
    // Rows are counted from the top line; one more than fits may show in part.
    int firstRow = std::max(0, first - model_.TopLine());
    int lastRow = last == RepaintRange::kToLastLine ? model_.VisibleLines() : last - model_.TopLine();
    lastRow = std::min(lastRow, model_.VisibleLines());
    if (lastRow < firstRow) return;
    RECT rows{0, firstRow * height, client.right, (lastRow + 1) * height};
    if (last == RepaintRange::kToLastLine) rows.bottom = client.bottom;
    InvalidateRect(Handle(), &rows, FALSE);
}

LRESULT ProgrammerView::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Handle());
    Paint(dc.Get(), dc.Area());
    return 0;
}

LRESULT ProgrammerView::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT client{};
    GetClientRect(Handle(), &client);
    Paint(reinterpret_cast<HDC>(wParam), client);
    return 0;
}

LRESULT ProgrammerView::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // every pixel is painted by Paint
}

// Each row is drawn into a bitmap one line high and copied in one piece,
// so that nothing flickers.
void ProgrammerView::Paint(HDC dc, const RECT& area) {
    RECT client{};
    GetClientRect(Handle(), &client);
    int width = client.right;
    int height = model_.LineHeight();
    if (width <= 0 || area.bottom <= area.top) return;
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) return;
    SelectedObject selectedBitmap(memory.Get(), bitmap.Get());
    SelectedObject selectedFont(memory.Get(), font_.Get());
    for (int row = std::max(0, static_cast<int>(area.top) / height); row * height < area.bottom; ++row) {
        PaintLine(memory.Get(), model_.TopLine() + row, width);
        BitBlt(dc, 0, row * height, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
}

// One line on the editor's background: plain text, comments and the
// selected columns as the colouring rule splits it. Only the visible
// columns are drawn, but the whole line is scanned for quotes and comments.
void ProgrammerView::PaintLine(HDC dc, int line, int width) {
    int height = model_.LineHeight();
    int cell = model_.CharWidth();
    RECT whole{0, 0, width, height};
    SetBkColor(dc, look_.backColor);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &whole, "", 0, nullptr);
    if (line >= model_.LineCount()) return;
    const std::string& text = model_.Line(line);
    auto [selFrom, selTo] = model_.SelectedColumns(line);
    int leftCol = model_.LeftCol();
    int lastCol = leftCol + model_.VisibleCols() + 1;  // the column cut by the right edge too
    std::vector<INT> advances;
    for (const ColouredRun& run : ColourLine(text, model_.remText, selFrom, selTo)) {
        int from = std::max(run.start, leftCol);
        int to = std::min(run.start + run.length, lastCol);
        if (from >= to) continue;
        COLORREF ink = run.comment ? look_.remColor : look_.textColor;
        if (run.selected && !run.comment) ink = GetSysColor(COLOR_HIGHLIGHTTEXT);
        SetTextColor(dc, ink);
        SetBkColor(dc, run.selected ? GetSysColor(COLOR_HIGHLIGHT) : look_.backColor);
        // Fixed cells, so that a tab or any other odd glyph keeps one column.
        advances.assign(to - from, cell);
        RECT box{(from - leftCol) * cell, 0, (to - leftCol) * cell, height};
        ExtTextOutA(dc, box.left, 0, ETO_OPAQUE | ETO_CLIPPED, &box, text.data() + from,
                    static_cast<UINT>(to - from), advances.data());
    }
}

LRESULT ProgrammerView::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_WANTARROWS;
}

// The caret shows only while the editor has the focus and may be edited.
LRESULT ProgrammerView::OnSetFocus(WPARAM, LPARAM) {
    model_.SetFocus(true);
    if (!model_.CaretShown()) return 0;
    CreateCaret(Handle(), nullptr, kCaretWidth, model_.LineHeight() + 1);
    SetCaretPos(model_.CaretX(), model_.CaretY());
    ShowCaret(Handle());
    return 0;
}

LRESULT ProgrammerView::OnKillFocus(WPARAM, LPARAM) {
    if (model_.CaretShown()) DestroyCaret();
    model_.SetFocus(false);
    return 0;
}

LRESULT ProgrammerView::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    std::optional<EditorKey> key = FindEditorKey(wParam);
    if (!key) return Default(WM_KEYDOWN, wParam, lParam);
    unsigned modifiers = HeldModifiers();
    Command([&] { HandleKey(model_, *key, modifiers); });
    return 0;
}

// Backspace, Enter and Tab arrive as keys too and act there; the
// characters the system makes of them and of Ctrl combinations (Ctrl+Y is
// 25, Ctrl+Backspace the DEL character) are dropped here so that each key
// acts once and no control character lands in the text.
LRESULT ProgrammerView::OnChar(WPARAM wParam, LPARAM) {
    constexpr WPARAM kDel = 0x7F;
    auto ch = static_cast<unsigned char>(wParam);
    if (wParam > 0xFF || ch < ' ' || wParam == kDel) return 0;
    Command([&] { HandleChar(model_, ch); });
    return 0;
}

LRESULT ProgrammerView::OnVScroll(WPARAM wParam, LPARAM) {
    int code = LOWORD(wParam);
    for (const ScrollCode& entry : kScrollCodes) {
        if (entry.code != code) continue;
        int thumb = 0;
        if (entry.action == ScrollAction::Thumb) {
            // The 32-bit position, not the 16 bits the message carries.
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(Handle(), SB_VERT, &info);
            thumb = info.nTrackPos;
        }
        Command([&] { model_.Scroll(entry.action, thumb); });
        break;
    }
    return 0;
}

LRESULT ProgrammerView::OnMouseWheel(WPARAM wParam, LPARAM) {
    wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (notches == 0) return 0;
    ScrollAction action = notches > 0 ? ScrollAction::LineUp : ScrollAction::LineDown;
    int lines = std::abs(notches) * kWheelLines;
    Command([&] {
        for (int i = 0; i < lines; ++i)
            model_.Scroll(action);
    });
    return 0;
}

LRESULT ProgrammerView::OnLButtonDown(WPARAM, LPARAM lParam) {
    if (model_.readOnly) return 0;
    if (GetFocus() != Handle()) SetFocus(Handle());
    SetCapture(Handle());
    dragging_ = true;
    dragPoint_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Command([&] { model_.MouseDown(dragPoint_.x, dragPoint_.y); });
    return 0;
}

LRESULT ProgrammerView::OnMouseMove(WPARAM, LPARAM lParam) {
    if (dragging_) DragTo(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

// Outside the client area the timer keeps moving the cursor, which scrolls
// the text, until the pointer comes back or the button is released.
void ProgrammerView::DragTo(int x, int y) {
    dragPoint_ = {x, y};
    Command([&] { model_.MouseDrag(x, y); });
    RECT client{};
    GetClientRect(Handle(), &client);
    if (PtInRect(&client, dragPoint_)) {
        KillTimer(Handle(), kDragTimer);
    } else {
        SetTimer(Handle(), kDragTimer, kDragIntervalMs, nullptr);
    }
}

LRESULT ProgrammerView::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam != kDragTimer) return Default(WM_TIMER, wParam, lParam);
    if (dragging_) {
        DragTo(dragPoint_.x, dragPoint_.y);
    } else {
        KillTimer(Handle(), kDragTimer);
    }
    return 0;
}

LRESULT ProgrammerView::OnLButtonUp(WPARAM, LPARAM) {
    if (dragging_) ReleaseCapture();  // WM_CAPTURECHANGED ends the drag
    StopDrag();
    return 0;
}

LRESULT ProgrammerView::OnCaptureChanged(WPARAM, LPARAM) {
    StopDrag();
    return 0;
}

void ProgrammerView::StopDrag() {
    dragging_ = false;
    KillTimer(Handle(), kDragTimer);
}

}  // namespace tallow::ide::win32
