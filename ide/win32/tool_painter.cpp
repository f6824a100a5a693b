// The drawing of each tool kind, chosen by the tool's type code from one
// table. The check box, radio button and combo box pictures come from
// DrawFrameControl, so the designer needs no bitmap resources of its own.
#include "ide/win32/tool_painter.h"

#include <algorithm>
#include <array>
#include <utility>

#include "ide/model/control_tool.h"
#include "ide/model/shape_forms.h"
#include "ide/model/shape_tools.h"

namespace tallow::ide::win32 {

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;
constexpr uint32_t kSystemColorIndexMask = 0xFF;
constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr int kDialogFontPoints = 8;
constexpr int kPointsPerInch = 72;
// The sunken or raised 3-D edge is two pixels wide.
constexpr int kEdgeWidth = 2;
// The gap between a check box's box and its caption, and the caption's inset
// in a title bar.
constexpr int kCaptionGap = 2;

// Styles the drawing reads.
using codec::kBsAutoRadioButton;
using codec::kBsTypeMask;
using codec::kSsAlignMask;

template <typename T>
const T* As(const TTool& tool) {
    return dynamic_cast<const T*>(&tool);
}

RECT Inset(RECT r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

struct KindPainter {
    ToolCode code;
    void (ToolPainter::*paint)(const TTool&);
};

// One row per type code, in code order.
constexpr KindPainter kKindPainters[] = {
    {ToolCode::Line, &ToolPainter::PaintLine},         {ToolCode::Circle, &ToolPainter::PaintCircle},
    {ToolCode::Rect, &ToolPainter::PaintRectangle},    {ToolCode::Text, &ToolPainter::PaintText},
    {ToolCode::Button, &ToolPainter::PaintButton},     {ToolCode::Dialog, &ToolPainter::PaintDialog},
    {ToolCode::TextBox, &ToolPainter::PaintTextBox},   {ToolCode::ListBox, &ToolPainter::PaintListBox},
    {ToolCode::CheckBox, &ToolPainter::PaintCheckBox}, {ToolCode::RadioButton, &ToolPainter::PaintCheckBox},
    {ToolCode::Static, &ToolPainter::PaintStatic},     {ToolCode::ComboBox, &ToolPainter::PaintComboBox},
    {ToolCode::Image, &ToolPainter::PaintImage},       {ToolCode::Back, &ToolPainter::PaintBack},
};
static_assert(std::size(kKindPainters) == static_cast<size_t>(ToolCode::kCount));
constexpr bool InCodeOrder() {
    for (size_t i = 0; i < std::size(kKindPainters); ++i)
        if (static_cast<size_t>(kKindPainters[i].code) != i) return false;
    return true;
}
static_assert(InCodeOrder());

// DrawText's horizontal alignment for a static's style or a text tool's
// TextAlign (tnLeft, tnCenter, tnRight).
UINT StaticAlignment(uint32_t style) {
    switch (style & kSsAlignMask) {
        case kSsRight:
            return DT_RIGHT;
        case kSsCenter:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}
constexpr UINT kTextAlignments[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
static_assert(std::size(kTextAlignments) == kTextAlignCount);

// The top-left corner a tab number sits on.
ToolPoint TopLeftOf(const TTool& tool) {
    if (auto* line = As<TLineTool>(tool))
        return {std::min(line->P1().x, line->P2().x), std::min(line->P1().y, line->P2().y)};
    if (auto* circle = As<TCircleTool>(tool))
        return {circle->Centre().x - circle->RadiusX(), circle->Centre().y - circle->RadiusY()};
    return {0, 0};
}

}  // namespace

COLORREF ToColorRef(uint32_t color) {
    if (color & kSystemColorFlag) return GetSysColor(static_cast<int>(color & kSystemColorIndexMask));
    return color & kRgbMask;
}

UniqueFont MakeDialogFont(HDC dc, bool bold) {
    int height = -MulDiv(kDialogFontPoints, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    return UniqueFont(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                  ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
}

ToolPainter::ToolPainter(HDC dc, BitmapLookup images)
    : dc_(dc),
      images_(std::move(images)),
      dialogFont_(MakeDialogFont(dc, false)),
      captionFont_(MakeDialogFont(dc, true)) {
    if (dialogFont_) {
        SelectedObject font(dc_, dialogFont_.Get());
        TEXTMETRICA metrics{};
        if (GetTextMetricsA(dc_, &metrics) && metrics.tmHeight > 0) fontHeight_ = metrics.tmHeight;
    }
}

void ToolPainter::Paint(const TTool& tool) {
    auto code = static_cast<size_t>(tool.Code());
    if (code < std::size(kKindPainters)) (this->*kKindPainters[code].paint)(tool);
}

void ToolPainter::PaintHandles(const TTool& tool) {
    for (const ToolHandle& handle : tool.Handles()) {
        RECT square{handle.at.x - kHandleReach, handle.at.y - kHandleReach, handle.at.x + kHandleReach + 1,
                    handle.at.y + kHandleReach + 1};
        InvertRect(dc_, &square);
    }
}

void ToolPainter::PaintTabNumber(const TTool& tool, int number) {
    ToolPoint at = TopLeftOf(tool);
    RECT box{at.x, at.y, at.x + kTabBoxWidthInChars * fontHeight_, at.y + fontHeight_ + 2};
    FillRect(dc_, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawTextIn(std::to_string(number), box, DT_CENTER | DT_VCENTER | DT_SINGLELINE, RGB(255, 255, 255));
}

void ToolPainter::PaintOutline(const TTool& tool, const ToolOutline& outline) {
    UniquePen pen(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    SelectedObject usePen(dc_, pen.Get());
    SelectedObject noBrush(dc_, GetStockObject(NULL_BRUSH));
    int oldMode = SetROP2(dc_, R2_NOTXORPEN);
    int oldBk = SetBkMode(dc_, TRANSPARENT);
    const ToolPoint& a = outline.p1;
    const ToolPoint& b = outline.p2;
    if (tool.Code() == ToolCode::Line) {
        MoveToEx(dc_, a.x, a.y, nullptr);
        LineTo(dc_, b.x, b.y);
    } else if (tool.Code() == ToolCode::Circle) {
        Ellipse(dc_, a.x, a.y, b.x, b.y);
    } else {
        Rectangle(dc_, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
    }
    SetBkMode(dc_, oldBk);
    SetROP2(dc_, oldMode);
}

void ToolPainter::DrawTextIn(const std::string& text, RECT area, UINT format, COLORREF color, HFONT font) {
    if (text.empty()) return;
    HFONT use = font != nullptr ? font : dialogFont_.Get();
    SelectedObject selected(dc_,
                            use != nullptr ? static_cast<HGDIOBJ>(use) : GetStockObject(DEFAULT_GUI_FONT));
    COLORREF oldColor = SetTextColor(dc_, color);
    int oldBk = SetBkMode(dc_, TRANSPARENT);
    DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &area, format);
    SetBkMode(dc_, oldBk);
    SetTextColor(dc_, oldColor);
}

void ToolPainter::FillSystem(const RECT& area, int sysColor) {
    FillRect(dc_, &area, GetSysColorBrush(sysColor));
}

UniquePen ToolPainter::MakePen(const TTool& tool) const {
    return UniquePen(
        CreatePen(PS_SOLID, std::max<int>(tool.paint.penWidth, 1), ToColorRef(tool.paint.penColor)));
}

UniqueBrush ToolPainter::MakeBrush(const TTool& tool) const {
    if (tool.paint.drawTransparent) return UniqueBrush();
    return UniqueBrush(CreateSolidBrush(ToColorRef(tool.paint.brushColor)));
}

// The frame in button face with a raised edge; the title bar inside the
// dialog-frame border, as high as the system's caption.
void ToolPainter::PaintDialog(const TTool& tool) {
    auto* dialog = As<TControlTool>(tool);
    if (dialog == nullptr) return;
    RECT r = ToRect(dialog->Rect());
    FillSystem(r, COLOR_BTNFACE);
    DrawEdge(dc_, &r, EDGE_RAISED, BF_RECT);
    int fx = GetSystemMetrics(SM_CXDLGFRAME);
    int fy = GetSystemMetrics(SM_CYDLGFRAME);
    RECT bar{r.left + fx, r.top + fy, r.right - fx,
             std::min<LONG>(r.top + fy + GetSystemMetrics(SM_CYCAPTION), r.bottom - fy)};
    if (bar.right <= bar.left || bar.bottom <= bar.top) return;
    FillSystem(bar, COLOR_ACTIVECAPTION);
    bar.left += kCaptionGap;
    DrawTextIn(dialog->caption, bar, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX,
               GetSysColor(COLOR_CAPTIONTEXT), captionFont_.Get());
}

void ToolPainter::PaintButton(const TTool& tool) {
    auto* button = As<TControlTool>(tool);
    if (button == nullptr) return;
    RECT r = ToRect(button->Rect());
    // The default button wears the extra dark frame the system gives it.
    if (button->WindowStyle() & kBsDefPushButton) {
        FrameRect(dc_, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = Inset(r, 1);
    }
    DrawFrameControl(dc_, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    DrawTextIn(button->caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, GetSysColor(COLOR_BTNTEXT));
}

void ToolPainter::PaintStatic(const TTool& tool) {
    auto* label = As<TControlTool>(tool);
    if (label == nullptr) return;
    RECT r = ToRect(label->Rect());
    uint32_t style = label->WindowStyle();
    if (style & kWsBorder) {
        DrawEdge(dc_, &r, EDGE_SUNKEN, BF_RECT);
        r = Inset(r, kEdgeWidth);
    }
    DrawTextIn(label->caption, r, StaticAlignment(style) | DT_WORDBREAK, GetSysColor(COLOR_WINDOWTEXT));
}

void ToolPainter::PaintTextBox(const TTool& tool) {
    auto* box = As<TControlTool>(tool);
    if (box == nullptr) return;
    RECT r = ToRect(box->Rect());
    FillSystem(r, COLOR_WINDOW);
    DrawEdge(dc_, &r, EDGE_SUNKEN, BF_RECT);
    DrawTextIn(box->caption, Inset(r, kEdgeWidth + 1), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
               GetSysColor(COLOR_WINDOWTEXT));
}

// Check boxes and radio buttons: the box vertically centred at the left, the
// caption two pixels to its right.
void ToolPainter::PaintCheckBox(const TTool& tool) {
    auto* box = As<TControlTool>(tool);
    if (box == nullptr) return;
    RECT r = ToRect(box->Rect());
    int top = r.top + (r.bottom - r.top - kCheckBoxSize) / 2;
    RECT mark{r.left, top, r.left + kCheckBoxSize, top + kCheckBoxSize};
    bool radio =
        tool.Code() == ToolCode::RadioButton || (box->WindowStyle() & kBsTypeMask) == kBsAutoRadioButton;
    DrawFrameControl(dc_, &mark, DFC_BUTTON, radio ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK);
    RECT text{mark.right + kCaptionGap, r.top, r.right, r.bottom};
    DrawTextIn(box->caption, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, GetSysColor(COLOR_WINDOWTEXT));
}

void ToolPainter::PaintListBox(const TTool& tool) {
    auto* list = As<TControlTool>(tool);
    if (list == nullptr) return;
    RECT r = ToRect(list->Rect());
    FillSystem(r, COLOR_WINDOW);
    DrawEdge(dc_, &r, EDGE_SUNKEN, BF_RECT);
    RECT inside = Inset(r, kEdgeWidth);
    DrawTextIn(list->caption, inside, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX,
               GetSysColor(COLOR_WINDOWTEXT));
    RECT row{inside.left, inside.top, inside.right,
             std::min<LONG>(inside.top + fontHeight_ + 2, inside.bottom)};
    if (row.right > row.left && row.bottom > row.top) DrawFocusRect(dc_, &row);
}

// Only the edit part, as high as the drop-down picture plus three pixels,
// which the combo box's hit test also uses.
void ToolPainter::PaintComboBox(const TTool& tool) {
    auto* combo = As<TComboBoxTool>(tool);
    if (combo == nullptr) return;
    RECT r = ToRect(combo->Rect());
    r.bottom = std::min<LONG>(r.bottom, r.top + combo->EditPartHeight());
    FillSystem(r, COLOR_WINDOW);
    DrawEdge(dc_, &r, EDGE_SUNKEN, BF_RECT);
    RECT inside = Inset(r, kEdgeWidth);
    RECT drop{std::max(inside.left, inside.right - combo->bitmapHeight), inside.top, inside.right,
              inside.bottom};
    if (drop.right > drop.left && drop.bottom > drop.top)
        DrawFrameControl(dc_, &drop, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    RECT text{inside.left + 1, inside.top, drop.left, inside.bottom};
    DrawTextIn(combo->caption, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
               GetSysColor(COLOR_WINDOWTEXT));
}

void ToolPainter::PaintLine(const TTool& tool) {
    auto* line = As<TLineTool>(tool);
    if (line == nullptr) return;
    UniquePen pen = MakePen(tool);
    SelectedObject usePen(dc_, pen.Get());
    MoveToEx(dc_, line->P1().x, line->P1().y, nullptr);
    LineTo(dc_, line->P2().x, line->P2().y);
}

void ToolPainter::PaintCircle(const TTool& tool) {
    auto* circle = As<TCircleTool>(tool);
    if (circle == nullptr) return;
    UniquePen pen = MakePen(tool);
    UniqueBrush brush = MakeBrush(tool);
    SelectedObject usePen(dc_, pen.Get());
    SelectedObject useBrush(dc_, brush ? static_cast<HGDIOBJ>(brush.Get()) : GetStockObject(NULL_BRUSH));
    ToolPoint c = circle->Centre();
    Ellipse(dc_, c.x - circle->RadiusX(), c.y - circle->RadiusY(), c.x + circle->RadiusX(),
            c.y + circle->RadiusY());
}

void ToolPainter::PaintRectangle(const TTool& tool) {
    auto* rect = As<TRectTool>(tool);
    if (rect == nullptr) return;
    UniquePen pen = MakePen(tool);
    UniqueBrush brush = MakeBrush(tool);
    SelectedObject usePen(dc_, pen.Get());
    SelectedObject useBrush(dc_, brush ? static_cast<HGDIOBJ>(brush.Get()) : GetStockObject(NULL_BRUSH));
    RECT r = ToRect(rect->Rect());
    Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

// Paragraph text: the brush behind it unless transparent, the words wrapped
// in the tool's font and pen colour.
void ToolPainter::PaintText(const TTool& tool) {
    auto* text = As<TTextTool>(tool);
    if (text == nullptr) return;
    RECT r = ToRect(text->Rect());
    if (UniqueBrush brush = MakeBrush(tool)) FillRect(dc_, &r, brush.Get());
    ToolFont wanted = FontOf(text->text, GetDeviceCaps(dc_, LOGPIXELSY));
    UniqueFont font(CreateFontA(wanted.height, 0, 0, 0, wanted.weight, wanted.italic, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, wanted.face));
    UINT align = kTextAlignments[std::min<size_t>(text->text.textAlign, std::size(kTextAlignments) - 1)];
    DrawTextIn(text->caption, r, align | DT_WORDBREAK | DT_NOPREFIX, ToColorRef(tool.paint.penColor),
               font.Get());
}

// The linked bitmap at its own size, centred and cut to the rectangle; a
// framed box with a cross and the file's name when there is none to show.
void ToolPainter::PaintImage(const TTool& tool) {
    auto* image = As<TImageTool>(tool);
    if (image == nullptr) return;
    RECT r = ToRect(image->Rect());
    HBITMAP bitmap = images_ && !image->fileName.empty() ? images_(image->fileName) : nullptr;
    BITMAP size{};
    if (bitmap != nullptr && GetObjectA(bitmap, sizeof size, &size) != 0) {
        UniqueMemoryDc source(CreateCompatibleDC(dc_));
        if (source) {
            SelectedObject selected(source.Get(), bitmap);
            int w = std::min<int>(size.bmWidth, r.right - r.left);
            int h = std::min<int>(size.bmHeight, r.bottom - r.top);
            int x = r.left + (r.right - r.left - w) / 2;
            int y = r.top + (r.bottom - r.top - h) / 2;
            BitBlt(dc_, x, y, w, h, source.Get(), (size.bmWidth - w) / 2, (size.bmHeight - h) / 2, SRCCOPY);
            return;
        }
    }
    FillSystem(r, COLOR_WINDOW);
    UniquePen pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    SelectedObject usePen(dc_, pen.Get());
    SelectedObject noBrush(dc_, GetStockObject(NULL_BRUSH));
    Rectangle(dc_, r.left, r.top, r.right, r.bottom);
    MoveToEx(dc_, r.left, r.top, nullptr);
    LineTo(dc_, r.right - 1, r.bottom - 1);
    MoveToEx(dc_, r.right - 1, r.top, nullptr);
    LineTo(dc_, r.left, r.bottom - 1);
    DrawTextIn(image->fileName, Inset(r, kEdgeWidth),
               DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_NOPREFIX,
               GetSysColor(COLOR_WINDOWTEXT));
}

void ToolPainter::PaintBack(const TTool& tool) {
    auto* back = As<TBackTool>(tool);
    if (back == nullptr) return;
    RECT r{0, 0, back->Corner().x, back->Corner().y};
    if (UniqueBrush brush = MakeBrush(tool)) FillRect(dc_, &r, brush.Get());
}

}  // namespace tallow::ide::win32
