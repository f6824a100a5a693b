// The designer surface's window: cracks pointer, key and paint messages into
// TDrawer calls, paints through an off-screen buffer, and answers the
// drawer's requests (repaint, pointer shape, clipboard, property dialogs).
#include "ide/win32/drawer_view.h"

#include "ide/win32/clipboard_text.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "ide/model/control_tool.h"
#include "ide/model/ide_messages.h"
#include "ide/model/shape_forms.h"
#include "ide/win32/ide_dialogs.h"
#include "ide/win32/tool_painter.h"

namespace tallow::ide::win32 {

namespace {

// The letters whose average width is the dialog font's character width.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kAlphabetLength = 52;
static_assert(sizeof kAlphabet - 1 == kAlphabetLength);
// The classic dialog base units, for a screen that cannot measure its font.
constexpr int kFallbackCharWidth = 6;
constexpr int kFallbackCharHeight = 13;
// How far beyond its corners a drag outline is repainted (the dotted pen and
// rounding at the ends).
constexpr int kOutlineSlack = 2;
constexpr const char* kDialogFrameCaption = "Dialog";
// A tool's repaint area begins at most this far before its top-left corner
// (the pen width and two pixels), where its tab number box begins.
constexpr int kTabBoxReach = kMaxPenWidth + 2;

struct KeyRow {
    WPARAM virtualKey;
    DrawerKey key;
};
constexpr KeyRow kKeys[] = {
    {VK_ESCAPE, DrawerKey::Escape}, {VK_TAB, DrawerKey::Tab},       {VK_HOME, DrawerKey::Home},
    {VK_END, DrawerKey::End},       {VK_F1, DrawerKey::F1},         {VK_PRIOR, DrawerKey::PageUp},
    {VK_NEXT, DrawerKey::PageDown}, {VK_DELETE, DrawerKey::Delete}, {VK_LEFT, DrawerKey::Left},
    {VK_RIGHT, DrawerKey::Right},   {VK_UP, DrawerKey::Up},         {VK_DOWN, DrawerKey::Down},
};

ToolPoint PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

unsigned PointerModifiers(WPARAM wParam) {
    return ((wParam & MK_SHIFT) ? kShift : kNoModifier) | ((wParam & MK_CONTROL) ? kCtrl : kNoModifier);
}

unsigned KeyModifiers() {
    return (GetKeyState(VK_SHIFT) < 0 ? kShift : kNoModifier) |
           (GetKeyState(VK_CONTROL) < 0 ? kCtrl : kNoModifier);
}

UINT ToolFormat() {
    static const UINT format = RegisterClipboardFormatA(kToolClipboardFormat);
    return format;
}

}  // namespace

// Regular weight, as the system itself measures the font a template names
// when it turns dialog units into pixels.
DialogMetrics MeasureDialogMetrics() {
    DialogMetrics m{kFallbackCharWidth, kFallbackCharHeight, GetSystemMetrics(SM_CYCAPTION)};
    WindowDc screen(nullptr);
    UniqueFont font = screen.Get() != nullptr ? MakeDialogFont(screen.Get(), false) : UniqueFont();
    if (!font) return m;
    SelectedObject selected(screen.Get(), font.Get());
    SIZE extent{};
    TEXTMETRICA metrics{};
    if (GetTextExtentPoint32A(screen.Get(), kAlphabet, kAlphabetLength, &extent) &&
        GetTextMetricsA(screen.Get(), &metrics)) {
        int width = (extent.cx / (kAlphabetLength / 2) + 1) / 2;
        if (width > 0 && metrics.tmHeight > 0) {
            m.bx = width;
            m.by = metrics.tmHeight;
        }
    }
    return m;
}

bool ClipboardHasTool() {
    return ToolFormat() != 0 && IsClipboardFormatAvailable(ToolFormat());
}

struct DrawerView::MessageHandler {
    UINT message;
    LRESULT (DrawerView::*handle)(WPARAM, LPARAM);
};

const DrawerView::MessageHandler DrawerView::kMessageHandlers[] = {
    {WM_PAINT, &DrawerView::OnPaint},
    {WM_PRINTCLIENT, &DrawerView::OnPrintClient},
    {WM_ERASEBKGND, &DrawerView::OnEraseBackground},
    {WM_LBUTTONDOWN, &DrawerView::OnButtonDown},
    {WM_MOUSEMOVE, &DrawerView::OnMouseMove},
    {WM_LBUTTONUP, &DrawerView::OnButtonUp},
    {WM_LBUTTONDBLCLK, &DrawerView::OnDoubleClick},
    {WM_SETCURSOR, &DrawerView::OnSetCursor},
    {WM_KEYDOWN, &DrawerView::OnKeyDown},
    {WM_GETDLGCODE, &DrawerView::OnGetDlgCode},
    {WM_CAPTURECHANGED, &DrawerView::OnCaptureChanged},
    {WM_SIZE, &DrawerView::OnSize},
    {WM_HSCROLL, &DrawerView::OnHorizontalScroll},
    {WM_VSCROLL, &DrawerView::OnVerticalScroll},
    {WM_MOUSEWHEEL, &DrawerView::OnMouseWheel},
};

namespace {

// The scroll bar actions the surface follows, by their notification codes.
struct ScrollRow {
    WORD code;
    ScrollAction action;
};
constexpr ScrollRow kScrollActions[] = {
    {SB_LINEUP, ScrollAction::LineUp},    {SB_LINEDOWN, ScrollAction::LineDown},
    {SB_PAGEUP, ScrollAction::PageUp},    {SB_PAGEDOWN, ScrollAction::PageDown},
    {SB_THUMBTRACK, ScrollAction::Thumb}, {SB_THUMBPOSITION, ScrollAction::Thumb},
    {SB_TOP, ScrollAction::Top},          {SB_BOTTOM, ScrollAction::Bottom},
};

void SetBar(HWND window, int bar, const ScrollRange& range) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = range.max;
    info.nPage = static_cast<UINT>(range.page);
    info.nPos = range.position;
    SetScrollInfo(window, bar, &info, TRUE);
}

}  // namespace

DrawerView::DrawerView() : drawer_(this) {}

void DrawerView::Create(HWND parent, int id, const RECT& area) {
    RegisterClass(kDrawerClass, CS_DBLCLKS, nullptr);
    Window::Create(kDrawerClass, "",
                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, 0,
                   area.left, area.top, area.right - area.left, area.bottom - area.top, parent,
                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void DrawerView::LoadTemplate(const codec::DialogTemplate& dialog, const DialogMetrics& metrics) {
    // ReadTemplate refuses only these; checked first so that a refusal
    // leaves the present tools.
    if (metrics.bx <= 0 || metrics.by <= 0) throw TemplateError(kDialogFormatError);
    drawer_.ClearTools();
    CreateTool(drawer_.Tools(), ToolCode::Dialog);
    ReadTemplate(drawer_.Tools(), dialog, metrics);
    drawer_.ForgetUndo();
    drawer_.Tools().SetModified(false);
}

codec::DialogTemplate DrawerView::MakeTemplate(const DialogMetrics& metrics) const {
    return BuildTemplate(drawer_.Tools(), metrics, name_);
}

void DrawerView::AddDialogFrame() {
    RECT client{};
    if (Handle() != nullptr) GetClientRect(Handle(), &client);
    int w = client.right / 4;
    int h = client.bottom / 4;
    drawer_.ClearTools();
    auto& frame = static_cast<TControlTool&>(CreateTool(drawer_.Tools(), ToolCode::Dialog));
    frame.SetRect({w, h, 3 * w, 3 * h});
    frame.caption = kDialogFrameCaption;
    drawer_.ForgetUndo();
}

TTool& DrawerView::AddControl(ToolCode kind, int width, int height) {
    if (Handle() != nullptr) SetFocus(Handle());
    TTool* tool = nullptr;
    // Placed where the window shows the plane, however far it is scrolled.
    TrackingDrag([&] { tool = &drawer_.AddForPlacement(kind, width, height, scroll_.Origin()); });
    return *tool;
}

void DrawerView::CutSelected() {
    if (!drawer_.CutTool(drawer_.Selected())) throw std::runtime_error(msg::kNoToolSelected);
}

void DrawerView::CopySelected() {
    if (!drawer_.CopyTool(drawer_.Selected())) throw std::runtime_error(msg::kNoToolSelected);
}

void DrawerView::DeleteSelected() {
    if (!drawer_.DeleteTool(drawer_.Selected())) throw std::runtime_error(msg::kNoToolSelected);
}

void DrawerView::Paste() {
    drawer_.PasteTool();
}

bool DrawerView::EditGrid() {
    int x = drawer_.SnapX();
    int y = drawer_.SnapY();
    if (!ShowGridDialog(Handle(), x, y)) return false;
    drawer_.SetSnap(x, y);
    return true;
}

void DrawerView::ToggleTabOrder() {
    drawer_.SetShowTabs(!drawer_.ShowTabs());
}

// The area is drawn into a bitmap of its size first (its origin moved so
// that the painter works in client coordinates) and then copied out in one
// piece, so that tools never flicker while they are repainted.
void DrawerView::PaintInto(HDC dc, const RECT& clientArea) {
    int width = clientArea.right - clientArea.left;
    int height = clientArea.bottom - clientArea.top;
    if (width <= 0 || height <= 0) return;
    UniqueMemoryDc buffer(CreateCompatibleDC(dc));
    UniqueBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!buffer || !bitmap) return;
    SelectedObject target(buffer.Get(), bitmap.Get());
    HDC out = buffer.Get();
    // The painter works in the design plane's coordinates.
    ToolPoint origin = scroll_.Origin();
    RECT area = clientArea;
    OffsetRect(&area, origin.x, origin.y);
    SetViewportOrgEx(out, -area.left, -area.top, nullptr);
    {
        UniqueBrush background(CreateSolidBrush(ToColorRef(drawer_.Color())));
        FillRect(out, &area, background.Get());
        ToolPainter painter(out, [this](const std::string& file) { return LinkedBitmap(file); });
        fontHeight_ = painter.FontHeight();
        for (TTool* tool : drawer_.ToolsIn({area.left, area.top, area.right, area.bottom}))
            painter.Paint(*tool);
        if (drawer_.ShowTabs()) {
            const ToolSurface& tools = drawer_.Tools();
            for (int i = 0; i < tools.Count(); ++i)
                if (int number = drawer_.TabNumber(i); number >= 0)
                    painter.PaintTabNumber(*tools.At(i), number);
        }
        if (drawer_.Selected() != nullptr) painter.PaintHandles(*drawer_.Selected());
        if (drawer_.Dragging()) painter.PaintOutline(*drawer_.DraggingTool(), drawer_.DragOutline());
    }
    BitBlt(dc, clientArea.left, clientArea.top, width, height, out, area.left, area.top, SRCCOPY);
}

LRESULT DrawerView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageHandler& row : kMessageHandlers)
        if (row.message == message) return (this->*row.handle)(wParam, lParam);
    return Default(message, wParam, lParam);
}

LRESULT DrawerView::OnPaint(WPARAM, LPARAM) {
    PaintDc paint(Handle());
    if (paint.Get() != nullptr) PaintInto(paint.Get(), paint.Area());
    return 0;
}

LRESULT DrawerView::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT client{};
    GetClientRect(Handle(), &client);
    PaintInto(reinterpret_cast<HDC>(wParam), client);
    return 0;
}

// "press": takes the focus; a press on a handle starts a drag.
LRESULT DrawerView::OnButtonDown(WPARAM wParam, LPARAM lParam) {
    SetFocus(Handle());
    TrackingDrag([&] { drawer_.PointerDown(DesignPoint(lParam), PointerModifiers(wParam)); });
    return 0;
}

LRESULT DrawerView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    TrackingDrag([&] { drawer_.PointerMove(DesignPoint(lParam), PointerModifiers(wParam)); });
    return 0;
}

LRESULT DrawerView::OnButtonUp(WPARAM wParam, LPARAM lParam) {
    TrackingDrag([&] { drawer_.PointerUp(DesignPoint(lParam), PointerModifiers(wParam)); });
    return 0;
}

LRESULT DrawerView::OnDoubleClick(WPARAM, LPARAM) {
    drawer_.DoubleClick();
    return 0;
}

LRESULT DrawerView::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return Default(WM_SETCURSOR, wParam, lParam);
    SetCursor(PointerShape());
    return TRUE;
}

LRESULT DrawerView::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    auto row = std::find_if(std::begin(kKeys), std::end(kKeys),
                            [&](const KeyRow& k) { return k.virtualKey == wParam; });
    if (row == std::end(kKeys)) return Default(WM_KEYDOWN, wParam, lParam);
    TrackingDrag([&] { drawer_.KeyDown(row->key, KeyModifiers()); });
    return 0;
}

// Another window took the pointer in the middle of a drag (a box popped up,
// the user switched programs): the drag ends where it began.
LRESULT DrawerView::OnCaptureChanged(WPARAM, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != Handle() && drawer_.Dragging())
        TrackingDrag([&] { drawer_.Cancel(); });
    return 0;
}

ToolPoint DrawerView::DesignPoint(LPARAM lParam) const {
    return scroll_.ToDesign(PointOf(lParam));
}

LRESULT DrawerView::OnSize(WPARAM, LPARAM lParam) {
    scroll_.SetViewSize(LOWORD(lParam), HIWORD(lParam));
    UpdateScrollBars();
    return 0;
}

LRESULT DrawerView::OnScroll(bool vertical, WPARAM wParam) {
    WORD code = LOWORD(wParam);
    for (const ScrollRow& row : kScrollActions) {
        if (row.code != code) continue;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, &info);
        if (scroll_.Scroll(vertical, row.action, info.nTrackPos)) ScrollTo(scroll_.Origin());
        break;
    }
    return 0;
}

LRESULT DrawerView::OnMouseWheel(WPARAM wParam, LPARAM) {
    int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    bool horizontal = (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0;
    for (int i = 0; i < std::abs(notches); ++i)
        scroll_.Scroll(!horizontal, notches > 0 ? ScrollAction::LineUp : ScrollAction::LineDown);
    ScrollTo(scroll_.Origin());
    return 0;
}

// The whole window is painted again from the buffer, which does not flicker.
void DrawerView::ScrollTo(ToolPoint origin) {
    scroll_.ScrollTo(origin);
    UpdateScrollBars();
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

// A bar shows only when the plane is larger than the window; showing or
// hiding one resizes the client (WM_SIZE comes back here), which settles
// after a round or two.
void DrawerView::UpdateScrollBars() {
    ToolPoint before = scroll_.Origin();
    scroll_.SetContentExtent(ContentExtent(drawer_.Tools()));
    if (Handle() == nullptr || updatingBars_) return;
    updatingBars_ = true;
    SetBar(Handle(), SB_HORZ, scroll_.Horizontal());
    SetBar(Handle(), SB_VERT, scroll_.Vertical());
    RECT client{};
    GetClientRect(Handle(), &client);
    scroll_.SetViewSize(client.right, client.bottom);
    SetBar(Handle(), SB_HORZ, scroll_.Horizontal());
    SetBar(Handle(), SB_VERT, scroll_.Vertical());
    updatingBars_ = false;
    if (!(scroll_.Origin() == before)) InvalidateRect(Handle(), nullptr, FALSE);
}

template <typename F>
void DrawerView::TrackingDrag(F&& call) {
    RECT before = OutlineArea();
    call();
    RECT after = OutlineArea();
    if (Handle() == nullptr) return;
    if (!EqualRect(&before, &after)) {
        if (!IsRectEmpty(&before)) InvalidateRect(Handle(), &before, FALSE);
        if (!IsRectEmpty(&after)) InvalidateRect(Handle(), &after, FALSE);
    }
    if (drawer_.Dragging() && GetCapture() != Handle())
        SetCapture(Handle());
    else if (!drawer_.Dragging() && GetCapture() == Handle())
        ReleaseCapture();
}

HBITMAP DrawerView::LinkedBitmap(const std::string& fileName) {
    auto found = images_.find(fileName);
    if (found == images_.end()) {
        HANDLE loaded = LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        found = images_.emplace(fileName, UniqueBitmap(static_cast<HBITMAP>(loaded))).first;
    }
    return found->second.Get();
}

RECT DrawerView::OutlineArea() const {
    if (!drawer_.Dragging()) return {};
    ToolOutline o = drawer_.DragOutline();
    ToolRect design{std::min(o.p1.x, o.p2.x) - kOutlineSlack, std::min(o.p1.y, o.p2.y) - kOutlineSlack,
                    std::max(o.p1.x, o.p2.x) + kOutlineSlack + 1,
                    std::max(o.p1.y, o.p2.y) + kOutlineSlack + 1};
    return ToRect(scroll_.ToClient(design));
}

HCURSOR DrawerView::PointerShape() const {
    return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(sizePointer_ ? IDC_CROSS : IDC_ARROW));
}

void DrawerView::OnChangeModified() {
    if (onChangeModified) onChangeModified();
}

void DrawerView::OnSelectChange(TTool* tool) {
    if (onSelectChange) onSelectChange(tool);
}

void DrawerView::OnHelp() {
    if (onHelp) onHelp();
}

// With tab numbers shown, a tool's number box can reach past the tool's
// bounds (it is three characters wide at the top-left): the area grows to
// hold it, so that moving a small tool leaves no stale box behind.
void DrawerView::Invalidate(const ToolRect& area) {
    if (Handle() == nullptr) return;
    UpdateScrollBars();
    if (area == ToolRect{}) {
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    RECT r = ToRect(scroll_.ToClient(area));
    if (drawer_.ShowTabs()) {
        r.right = std::max<LONG>(r.right, r.left + kTabBoxReach + kTabBoxWidthInChars * fontHeight_);
        r.bottom = std::max<LONG>(r.bottom, r.top + kTabBoxReach + fontHeight_ + 2);
    }
    InvalidateRect(Handle(), &r, FALSE);
}

void DrawerView::OnResize(int width, int height) {
    if (onResize) onResize(width, height);
}

void DrawerView::ShowSizePointer(bool size) {
    sizePointer_ = size;
    if (Handle() != nullptr && (GetCapture() == Handle() || GetFocus() == Handle()))
        SetCursor(PointerShape());
}

void DrawerView::MovePointerTo(ToolPoint point) {
    if (Handle() == nullptr) return;
    ToolRect client = scroll_.ToClient({point.x, point.y, point.x, point.y});
    POINT screen{client.left, client.top};
    ClientToScreen(Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
}

bool DrawerView::EditProperties(TTool& tool) {
    return ShowToolProperties(Handle(), tool, [this] { OnHelp(); });
}

void DrawerView::SetClipboardText(const std::string& text) {
    if (!SetClipboardFormatText(Handle(), ToolFormat(), text))
        throw std::runtime_error("Cannot open the clipboard");
}

bool DrawerView::GetClipboardText(std::string& text) {
    return GetClipboardFormatText(Handle(), ToolFormat(), text);
}

}  // namespace tallow::ide::win32
