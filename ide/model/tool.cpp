// The tool base, the line, the rectangle and the text tool: handles, hit
// tests, handle moves and both serial forms.
#include "ide/model/tool.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "ide/model/tool_surface.h"
#include "ide/model/tool_text_reader.h"

namespace tallow::ide {

namespace {

[[noreturn]] void CutShort(const char* field) {
    throw ToolFormatError(std::string("the tool record ends before its ") + field);
}

uint32_t ReadU32(codec::ByteCursor& in, const char* field) {
    uint32_t value;
    if (!in.ReadU32(value)) CutShort(field);
    return value;
}

uint16_t ReadU16(codec::ByteCursor& in, const char* field) {
    uint16_t value;
    if (!in.ReadU16(value)) CutShort(field);
    return value;
}

int ReadI16(codec::ByteCursor& in, const char* field) {
    int16_t value;
    if (!in.ReadI16(value)) CutShort(field);
    return value;
}

uint8_t ReadU8(codec::ByteCursor& in, const char* field) {
    std::span<const uint8_t> byte;
    if (!in.ReadBytes(1, byte)) CutShort(field);
    return byte[0];
}

void WriteU8(codec::ByteWriter& out, uint8_t value) {
    out.Bytes(std::span<const uint8_t>(&value, 1));
}

// The byte form keeps coordinates in 16 bits; a point beyond them is held at
// the nearest value that fits rather than wrapped to the far side.
uint16_t ClampToI16(int value) {
    return static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768, 32767)));
}

// The text form carries the size as one character above it.
constexpr int kMaxTextFormSize = 254;

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

}  // namespace

void WriteCountedString(codec::ByteWriter& out, std::string_view text) {
    // The length counts the zero byte and has 16 bits: longer text is cut at
    // the longest length that still fits, never wrapped.
    constexpr size_t kMaxText = 0xFFFE;
    text = text.substr(0, std::min(text.find('\0'), kMaxText));
    out.U16(static_cast<uint16_t>(text.size() + 1));
    out.Bytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    WriteU8(out, 0);
}

std::string ReadCountedString(codec::ByteCursor& in, const char* field) {
    uint16_t length = ReadU16(in, field);
    std::span<const uint8_t> bytes;
    if (!in.ReadBytes(length, bytes)) CutShort(field);
    std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

// --- TTool

void TTool::SaveToFile(codec::ByteWriter& out) const {
    out.U32(paint.penColor);
    out.U16(paint.penWidth);
    out.U32(paint.brushColor);
    WriteU8(out, paint.drawTransparent ? 1 : 0);
}

void TTool::LoadFromFile(codec::ByteCursor& in) {
    paint.penColor = ReadU32(in, "pen colour");
    paint.penWidth = ReadU16(in, "pen width");
    paint.brushColor = ReadU32(in, "brush colour");
    paint.drawTransparent = ReadU8(in, "transparency") != 0;
}

std::string TTool::ToText() const {
    std::string text;
    WriteText(text);
    return text;
}

void TTool::FromText(std::string_view text) {
    ToolTextReader in(text);
    ReadText(in);
    UpdateHandles();
}

void TTool::WriteText(std::string& out) const {
    AppendColor(out, paint.penColor);
    AppendNumber(out, paint.penWidth);
    AppendColor(out, paint.brushColor);
    out += paint.drawTransparent ? 'T' : 'F';
}

void TTool::ReadText(ToolTextReader& in) {
    paint.penColor = in.Color("pen colour");
    paint.penWidth = static_cast<uint16_t>(in.Number("pen width", 0, 0xFFFF));
    paint.brushColor = in.Color("brush colour");
    paint.drawTransparent = in.Flag();
}

int TTool::HandleAt(ToolPoint p) const {
    for (const ToolHandle& handle : handles_) {
        if (std::abs(p.x - handle.at.x) <= kHandleReach && std::abs(p.y - handle.at.y) <= kHandleReach)
            return handle.index;
    }
    return -1;
}

ToolPoint TTool::HandlePoint(int index) const {
    for (const ToolHandle& handle : handles_)
        if (handle.index == index) return handle.at;
    return {};
}

void TTool::SetHandles(std::vector<ToolHandle> handles, int moveHandle, int widthHandle, int heightHandle) {
    handles_ = std::move(handles);
    moveHandle_ = moveHandle;
    widthHandle_ = widthHandle;
    heightHandle_ = heightHandle;
}

ToolRect TTool::GrowByPen(ToolRect r) const {
    int grow = paint.penWidth + 2;
    return {r.left - grow, r.top - grow, r.right + grow, r.bottom + grow};
}

// --- TLineTool

void TLineTool::SetPoints(ToolPoint p1, ToolPoint p2) {
    p1_ = p1;
    p2_ = p2;
    UpdateHandles();
}

void TLineTool::ComputeMove(ToolPoint& p1, ToolPoint& p2, int handle, ToolPoint to) const {
    if (handle == 0) {
        p1 = to;
    } else if (handle == 2) {
        p2 = to;
    } else if (handle == 1) {
        ToolPoint mid = HandlePoint(1);
        int dx = to.x - mid.x, dy = to.y - mid.y;
        p1 = {p1.x + dx, p1.y + dy};
        p2 = {p2.x + dx, p2.y + dy};
    }
}

void TLineTool::MoveHandle(int handle, ToolPoint to) {
    if (handle < 0 || handle >= static_cast<int>(Handles().size())) return;
    ToolPoint p1 = p1_, p2 = p2_;
    ComputeMove(p1, p2, handle, to);
    SetPoints(p1, p2);
}

ToolOutline TLineTool::OutlineOf(int handle, ToolPoint to) const {
    ToolOutline outline{p1_, p2_};
    ComputeMove(outline.p1, outline.p2, handle, to);
    return outline;
}

void TLineTool::UpdateHandles() {
    ToolPoint mid{(p1_.x + p2_.x) / 2, (p1_.y + p2_.y) / 2};
    SetHandles({{p1_, 0, kNwSeDirection}, {mid, 1, kMoveDirection}, {p2_, 2, kNwSeDirection}}, 1, 1, 1);
}

ToolRect TLineTool::GetBounds() const {
    return GrowByPen(
        {std::min(p1_.x, p2_.x), std::min(p1_.y, p2_.y), std::max(p1_.x, p2_.x), std::max(p1_.y, p2_.y)});
}

bool TLineTool::HitTest(ToolPoint p) const {
    double dx = static_cast<double>(p2_.x) - p1_.x;
    double dy = static_cast<double>(p2_.y) - p1_.y;
    double distance;
    if (dx == 0) {
        distance = std::abs(static_cast<double>(p.x) - p1_.x);
    } else {
        // |cross product| / length: the distance to the foot of the perpendicular.
        double cross = dx * (static_cast<double>(p.y) - p1_.y) - dy * (static_cast<double>(p.x) - p1_.x);
        distance = std::abs(cross) / std::hypot(dx, dy);
    }
    return std::trunc(distance) < kLineReach;
}

void TLineTool::SaveToFile(codec::ByteWriter& out) const {
    TTool::SaveToFile(out);
    out.U16(ClampToI16(p1_.x));
    out.U16(ClampToI16(p1_.y));
    out.U16(ClampToI16(p2_.x));
    out.U16(ClampToI16(p2_.y));
}

void TLineTool::LoadFromFile(codec::ByteCursor& in) {
    TTool::LoadFromFile(in);
    p1_.x = ReadI16(in, "first point");
    p1_.y = ReadI16(in, "first point");
    p2_.x = ReadI16(in, "second point");
    p2_.y = ReadI16(in, "second point");
    UpdateHandles();
}

void TLineTool::WriteText(std::string& out) const {
    AppendNumber(out, p1_.x);
    AppendNumber(out, p1_.y);
    AppendNumber(out, p2_.x);
    AppendNumber(out, p2_.y);
    TTool::WriteText(out);
}

void TLineTool::ReadText(ToolTextReader& in) {
    p1_.x = static_cast<int>(in.Number("left", kIntMin, kIntMax));
    p1_.y = static_cast<int>(in.Number("top", kIntMin, kIntMax));
    p2_.x = static_cast<int>(in.Number("right", kIntMin, kIntMax));
    p2_.y = static_cast<int>(in.Number("bottom", kIntMin, kIntMax));
    TTool::ReadText(in);
}

// --- TRectTool

void TRectTool::ComputeMove(ToolPoint& p1, ToolPoint& p2, int handle, ToolPoint to) const {
    // Which corner coordinates each of the nine handles drags, by rows.
    struct Drag {
        bool left, top, right, bottom;
    };
    static constexpr Drag kDrags[9] = {
        {true, true, false, false},  {false, true, false, false},  {false, true, true, false},
        {true, false, false, false}, {false, false, false, false}, {false, false, true, false},
        {true, false, false, true},  {false, false, false, true},  {false, false, true, true},
    };
    if (handle < 0 || handle >= 9) return;
    if (handle == 4) {
        ToolPoint centre = HandlePoint(4);
        int dx = to.x - centre.x, dy = to.y - centre.y;
        p1 = {p1.x + dx, p1.y + dy};
        p2 = {p2.x + dx, p2.y + dy};
        return;
    }
    const Drag& drag = kDrags[handle];
    if (drag.left) p1.x = to.x;
    if (drag.top) p1.y = to.y;
    if (drag.right) p2.x = to.x;
    if (drag.bottom) p2.y = to.y;
}

void TRectTool::UpdateHandles() {
    if (p1_.x > p2_.x) std::swap(p1_.x, p2_.x);
    if (p1_.y > p2_.y) std::swap(p1_.y, p2_.y);
    int mx = static_cast<int>((static_cast<int64_t>(p1_.x) + p2_.x) / 2);
    int my = static_cast<int>((static_cast<int64_t>(p1_.y) + p2_.y) / 2);
    const int xs[3] = {p1_.x, mx, p2_.x};
    const int ys[3] = {p1_.y, my, p2_.y};
    static constexpr int kDirections[9] = {kNwSeDirection,       kVerticalDirection, kNeSwDirection,
                                           kHorizontalDirection, kMoveDirection,     kHorizontalDirection,
                                           kNeSwDirection,       kVerticalDirection, kNwSeDirection};
    std::vector<ToolHandle> handles;
    for (int i = 0; i < 9; ++i)
        handles.push_back({{xs[i % 3], ys[i / 3]}, i, kDirections[i]});
    SetHandles(std::move(handles), 4, 5, 7);
}

// --- TTextTool

void TTextTool::Created(ToolSurface& surface) {
    TRectTool::Created(surface);
    text = surface.text;
}

void TTextTool::SaveToFile(codec::ByteWriter& out) const {
    TRectTool::SaveToFile(out);
    WriteCountedString(out, caption);
    WriteU8(out, text.textType);
    WriteU8(out, text.textStyle);
    out.U16(text.textSize);
    WriteU8(out, text.textAlign);
}

void TTextTool::LoadFromFile(codec::ByteCursor& in) {
    TRectTool::LoadFromFile(in);
    caption = ReadCountedString(in, "caption");
    text.textType = ReadU8(in, "text type");
    text.textStyle = ReadU8(in, "text style");
    text.textSize = ReadU16(in, "text size");
    text.textAlign = ReadU8(in, "text alignment");
    if (text.textType >= kTextTypeCount || text.textStyle >= kTextStyleCount ||
        text.textAlign >= kTextAlignCount)
        throw ToolFormatError("the tool record holds an unknown text type, style or alignment");
}

void TTextTool::WriteText(std::string& out) const {
    out += caption;
    out += kCaptionEnd;
    // The settings travel as characters one above their values, so that none
    // is a zero byte (the text ends at the first zero on the clipboard).
    out += static_cast<char>(text.textType + 1);
    out += static_cast<char>(text.textStyle + 1);
    out += static_cast<char>(std::min<int>(text.textSize, kMaxTextFormSize) + 1);
    TRectTool::WriteText(out);
}

void TTextTool::ReadText(ToolTextReader& in) {
    caption = std::string(in.UpTo(kCaptionEnd, "caption"));
    int type = in.Char("text type") - 1;
    int style = in.Char("text style") - 1;
    int size = in.Char("text size") - 1;
    if (type < 0 || type >= kTextTypeCount || style < 0 || style >= kTextStyleCount || size < 0)
        throw ToolFormatError("the tool text holds an unknown text type, style or size");
    text.textType = static_cast<uint8_t>(type);
    text.textStyle = static_cast<uint8_t>(style);
    text.textSize = static_cast<uint16_t>(size);
    TRectTool::ReadText(in);
}

}  // namespace tallow::ide
