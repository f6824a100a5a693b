// The designer's tools without a window: the base every tool shares (paint
// settings, handles, the text and byte forms) and the two-point tools, the
// line and the rectangle, from which the text and control tools derive.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "codec/byte_cursor.h"

namespace tallow::ide {

class ToolSurface;
class ToolTextReader;

// The type codes of the clipboard text and of CreateTool, in code order.
enum class ToolCode : uint8_t {
    Line,
    Circle,
    Rect,
    Text,
    Button,
    Dialog,
    TextBox,
    ListBox,
    CheckBox,
    RadioButton,
    Static,
    ComboBox,
    Image,
    Back,
    kCount
};

// Colours as the designer stores them: system colours carry the high bit and
// the system colour index.
inline constexpr uint32_t kClBtnFace = 0x8000000F;
inline constexpr uint32_t kClBtnText = 0x80000012;

struct ToolPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ToolPoint&, const ToolPoint&) = default;
};

// Right and bottom are outside the rectangle.
struct ToolRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(ToolPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const ToolRect&, const ToolRect&) = default;
};

// Which pointer a handle shows while dragged.
enum HandleDirection : int {
    kMoveDirection = 0,
    kNeSwDirection = 2,
    kVerticalDirection = 3,
    kNwSeDirection = 4,
    kHorizontalDirection = 5,
};

struct ToolHandle {
    ToolPoint at;
    int index = 0;
    int direction = kMoveDirection;
};

// The drag outline of a tool: the line from p1 to p2 for a line, else the
// rectangle or the ellipse's bounding box with those corners.
struct ToolOutline {
    ToolPoint p1;
    ToolPoint p2;
    friend bool operator==(const ToolOutline&, const ToolOutline&) = default;
};

// A handle covers its centre and 2 pixels around it.
inline constexpr int kHandleReach = 2;

// Pen and brush, copied from the surface when a tool is made.
struct ToolPaint {
    uint32_t penColor = kClBtnText;
    uint16_t penWidth = 1;
    uint32_t brushColor = kClBtnFace;
    bool drawTransparent = false;
    friend bool operator==(const ToolPaint&, const ToolPaint&) = default;
};

// A text form or byte form that cannot be read: the message says which
// field and why. Raised by FromText and LoadFromFile of every tool.
class ToolFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TTool {
public:
    explicit TTool(ToolCode code) : code_(code) {}
    virtual ~TTool() = default;
    TTool(const TTool&) = delete;
    TTool& operator=(const TTool&) = delete;

    ToolCode Code() const { return code_; }
    ToolSurface* Surface() const { return surface_; }

    // Called once by ToolSurface::Add after the tool joined the list and took
    // the surface's paint: a kind sets what it takes from the surface here.
    virtual void Created(ToolSurface& surface) { surface_ = &surface; }

    // The byte record: the tool's fields, little-endian. LoadFromFile raises
    // ToolFormatError when the bytes end before the record does or hold an
    // impossible value; the tool is then partly read.
    virtual void SaveToFile(codec::ByteWriter& out) const;
    virtual void LoadFromFile(codec::ByteCursor& in);

    // The one-line text form of the designer's clipboard. FromText raises
    // ToolFormatError for a missing or malformed field; text after the last
    // field is ignored.
    std::string ToText() const;
    void FromText(std::string_view text);

    // Normalises the geometry and recomputes the handles.
    virtual void UpdateHandles() = 0;
    // The area a repaint of the tool must cover.
    virtual ToolRect GetBounds() const = 0;
    virtual bool HitTest(ToolPoint p) const = 0;
    // Drags handle index to the point; an index the tool lacks is ignored.
    virtual void MoveHandle(int handle, ToolPoint to) = 0;
    // What MoveHandle would give, without moving: the outline the surface
    // draws while the handle is dragged.
    virtual ToolOutline OutlineOf(int handle, ToolPoint to) const = 0;
    // Line, rectangle and every tool derived from them.
    virtual bool IsTwoPointTool() const { return false; }

    const std::vector<ToolHandle>& Handles() const { return handles_; }
    // The handle under p (within kHandleReach), or -1.
    int HandleAt(ToolPoint p) const;
    // The handles keyboard nudging drags: move, horizontal and vertical resize.
    int MoveHandleIndex() const { return moveHandle_; }
    int WidthHandleIndex() const { return widthHandle_; }
    int HeightHandleIndex() const { return heightHandle_; }
    ToolPoint HandlePoint(int index) const;

    ToolPaint paint;

protected:
    // Each class appends its own fields, then those of its base; reading goes
    // in the same order.
    virtual void WriteText(std::string& out) const;
    virtual void ReadText(ToolTextReader& in);

    void SetHandles(std::vector<ToolHandle> handles, int moveHandle, int widthHandle, int heightHandle);
    ToolRect GrowByPen(ToolRect r) const;

private:
    ToolCode code_;
    ToolSurface* surface_ = nullptr;
    std::vector<ToolHandle> handles_;
    int moveHandle_ = 0;
    int widthHandle_ = 0;
    int heightHandle_ = 0;
};

// Two points; the handles are the ends and the midpoint.
class TLineTool : public TTool {
public:
    explicit TLineTool(ToolCode code = ToolCode::Line) : TTool(code) {}

    ToolPoint P1() const { return p1_; }
    ToolPoint P2() const { return p2_; }
    void SetPoints(ToolPoint p1, ToolPoint p2);
    // Moves the tool by (dx, dy).
    void Offset(int dx, int dy) { SetPoints({p1_.x + dx, p1_.y + dy}, {p2_.x + dx, p2_.y + dy}); }

    // The two points a drag of handle to the point would give (the outline
    // shows them); an unknown handle leaves them as they are.
    virtual void ComputeMove(ToolPoint& p1, ToolPoint& p2, int handle, ToolPoint to) const;

    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;
    void UpdateHandles() override;
    ToolRect GetBounds() const override;
    // Distance to the infinite line through both points below kLineReach.
    bool HitTest(ToolPoint p) const override;
    void MoveHandle(int handle, ToolPoint to) override;
    ToolOutline OutlineOf(int handle, ToolPoint to) const override;
    bool IsTwoPointTool() const override { return true; }

protected:
    void WriteText(std::string& out) const override;
    void ReadText(ToolTextReader& in) override;

    ToolPoint p1_;
    ToolPoint p2_;
};

// A line closer than this many whole pixels is hit.
inline constexpr int kLineReach = 4;

// A rectangle between the two points, kept normalised: P1 top-left, P2
// bottom-right, with nine handles from top-left to bottom-right by rows.
class TRectTool : public TLineTool {
public:
    explicit TRectTool(ToolCode code = ToolCode::Rect) : TLineTool(code) {}

    ToolRect Rect() const { return {p1_.x, p1_.y, p2_.x, p2_.y}; }
    void SetRect(const ToolRect& r) { SetPoints({r.left, r.top}, {r.right, r.bottom}); }

    void ComputeMove(ToolPoint& p1, ToolPoint& p2, int handle, ToolPoint to) const override;
    void UpdateHandles() override;
    bool HitTest(ToolPoint p) const override { return Rect().Contains(p); }
};

// The text settings of text tools, taken from the surface.
enum : uint8_t { kTextTypeCount = 8, kTextStyleCount = 4, kTextAlignCount = 3 };

struct TextSettings {
    uint8_t textType = 0;   // ttSansSerif .. ttComic
    uint8_t textStyle = 0;  // tsNormal .. tsHighlight
    uint16_t textSize = 8;  // points
    uint8_t textAlign = 0;  // tnLeft .. tnRight
    friend bool operator==(const TextSettings&, const TextSettings&) = default;
};

// The separator between a caption and its text settings in the text form.
inline constexpr char kCaptionEnd = 20;

class TTextTool : public TRectTool {
public:
    explicit TTextTool(ToolCode code = ToolCode::Text) : TRectTool(code) {}

    void Created(ToolSurface& surface) override;
    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;

    std::string caption;
    TextSettings text;

protected:
    void WriteText(std::string& out) const override;
    void ReadText(ToolTextReader& in) override;
};

// Strings of the byte form: a 16-bit length that counts a zero byte, then
// the bytes. Reading keeps the text up to the first zero.
void WriteCountedString(codec::ByteWriter& out, std::string_view text);
std::string ReadCountedString(codec::ByteCursor& in, const char* field);

}  // namespace tallow::ide
