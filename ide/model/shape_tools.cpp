// Geometry and serial forms of the ellipse, background and image tools.
#include "ide/model/shape_tools.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "ide/model/tool_surface.h"
#include "ide/model/tool_text_reader.h"

namespace tallow::ide {

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

int ReadI16(codec::ByteCursor& in, const char* field) {
    int16_t value;
    if (!in.ReadI16(value)) throw ToolFormatError(std::string("the tool record ends before its ") + field);
    return value;
}

void WriteI16(codec::ByteWriter& out, int value) {
    out.U16(static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768, 32767))));
}

}  // namespace

// --- TCircleTool

void TCircleTool::Set(ToolPoint centre, int rx, int ry) {
    centre_ = centre;
    rx_ = std::abs(rx);
    ry_ = std::abs(ry);
    UpdateHandles();
}

void TCircleTool::UpdateHandles() {
    SetHandles({{{centre_.x, centre_.y - ry_}, 0, kVerticalDirection},
                {{centre_.x, centre_.y + ry_}, 1, kVerticalDirection},
                {{centre_.x - rx_, centre_.y}, 2, kHorizontalDirection},
                {{centre_.x + rx_, centre_.y}, 3, kHorizontalDirection},
                {centre_, 4, kMoveDirection}},
               4, 3, 1);
}

ToolRect TCircleTool::GetBounds() const {
    return GrowByPen({centre_.x - rx_, centre_.y - ry_, centre_.x + rx_, centre_.y + ry_});
}

bool TCircleTool::HitTest(ToolPoint p) const {
    int64_t dx = p.x - centre_.x, dy = p.y - centre_.y;
    return dx * dx + dy * dy <= static_cast<int64_t>(rx_) * rx_;
}

TCircleTool::Ellipse TCircleTool::Moved(int handle, ToolPoint to) const {
    if (handle == 4) return {to, rx_, ry_};
    if (handle == 0 || handle == 1) return {centre_, rx_, std::abs(to.y - centre_.y)};
    if (handle == 2 || handle == 3) {
        // Widening keeps the shape's proportion roughly: the height changes
        // by as much as the width.
        int rx = std::abs(to.x - centre_.x);
        return {centre_, rx, std::max(0, ry_ + rx - rx_)};
    }
    return {centre_, rx_, ry_};
}

void TCircleTool::MoveHandle(int handle, ToolPoint to) {
    Ellipse moved = Moved(handle, to);
    Set(moved.centre, moved.rx, moved.ry);
}

ToolOutline TCircleTool::OutlineOf(int handle, ToolPoint to) const {
    Ellipse moved = Moved(handle, to);
    return {{moved.centre.x - moved.rx, moved.centre.y - moved.ry},
            {moved.centre.x + moved.rx, moved.centre.y + moved.ry}};
}

void TCircleTool::SaveToFile(codec::ByteWriter& out) const {
    TTool::SaveToFile(out);
    WriteI16(out, centre_.x);
    WriteI16(out, centre_.y);
    WriteI16(out, rx_);
    WriteI16(out, ry_);
}

void TCircleTool::LoadFromFile(codec::ByteCursor& in) {
    TTool::LoadFromFile(in);
    int x = ReadI16(in, "centre"), y = ReadI16(in, "centre");
    int rx = ReadI16(in, "radius"), ry = ReadI16(in, "radius");
    Set({x, y}, rx, ry);
}

void TCircleTool::WriteText(std::string& out) const {
    AppendNumber(out, centre_.x);
    AppendNumber(out, centre_.y);
    AppendNumber(out, rx_);
    AppendNumber(out, ry_);
    TTool::WriteText(out);
}

void TCircleTool::ReadText(ToolTextReader& in) {
    centre_.x = static_cast<int>(in.Number("centre x", kIntMin, kIntMax));
    centre_.y = static_cast<int>(in.Number("centre y", kIntMin, kIntMax));
    rx_ = static_cast<int>(in.Number("radius x", 0, kIntMax));
    ry_ = static_cast<int>(in.Number("radius y", 0, kIntMax));
    TTool::ReadText(in);
}

// --- TBackTool

void TBackTool::Created(ToolSurface& surface) {
    TTool::Created(surface);
    surface.MakeDialogTool(*this);
}

void TBackTool::SetCorner(ToolPoint corner) {
    corner_ = corner;
    UpdateHandles();
}

void TBackTool::UpdateHandles() {
    SetHandles({{{corner_.x - 1, corner_.y - 1}, 0, kNwSeDirection}}, 0, 0, 0);
    if (Surface() != nullptr) Surface()->SetSize(corner_.x, corner_.y);
}

ToolRect TBackTool::GetBounds() const {
    return GrowByPen({0, 0, corner_.x, corner_.y});
}

void TBackTool::MoveHandle(int handle, ToolPoint to) {
    if (handle == 0) SetCorner({to.x + 1, to.y + 1});
}

ToolOutline TBackTool::OutlineOf(int handle, ToolPoint to) const {
    return {{0, 0}, handle == 0 ? ToolPoint{to.x + 1, to.y + 1} : corner_};
}

void TBackTool::SaveToFile(codec::ByteWriter& out) const {
    TTool::SaveToFile(out);
    WriteI16(out, corner_.x);
    WriteI16(out, corner_.y);
}

void TBackTool::LoadFromFile(codec::ByteCursor& in) {
    TTool::LoadFromFile(in);
    int x = ReadI16(in, "corner"), y = ReadI16(in, "corner");
    SetCorner({x, y});
}

void TBackTool::WriteText(std::string& out) const {
    AppendNumber(out, corner_.x);
    AppendNumber(out, corner_.y);
    TTool::WriteText(out);
}

void TBackTool::ReadText(ToolTextReader& in) {
    corner_.x = static_cast<int>(in.Number("width", kIntMin, kIntMax));
    corner_.y = static_cast<int>(in.Number("height", kIntMin, kIntMax));
    TTool::ReadText(in);
}

// --- TImageTool

void TImageTool::SaveToFile(codec::ByteWriter& out) const {
    TRectTool::SaveToFile(out);
    WriteCountedString(out, fileName);
}

void TImageTool::LoadFromFile(codec::ByteCursor& in) {
    TRectTool::LoadFromFile(in);
    fileName = ReadCountedString(in, "file name");
}

void TImageTool::GrowToAtLeast(int width, int height) {
    ToolRect r = Rect();
    ToolPoint centre = HandlePoint(MoveHandleIndex());
    if (r.right - r.left < width) {
        r.left = centre.x - width / 2;
        r.right = r.left + width;
    }
    if (r.bottom - r.top < height) {
        r.top = centre.y - height / 2;
        r.bottom = r.top + height;
    }
    SetRect(r);
}

}  // namespace tallow::ide
