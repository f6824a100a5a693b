// The drawing shapes that reach a surface only through the clipboard: the
// ellipse, the background and the linked image.
#pragma once

#include <string>

#include "ide/model/tool.h"

namespace tallow::ide {

// An ellipse given by its centre and two radii; handles top, bottom, left,
// right and centre, in that index order.
class TCircleTool final : public TTool {
public:
    TCircleTool() : TTool(ToolCode::Circle) {}

    ToolPoint Centre() const { return centre_; }
    int RadiusX() const { return rx_; }
    int RadiusY() const { return ry_; }
    void Set(ToolPoint centre, int rx, int ry);

    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;
    void UpdateHandles() override;
    ToolRect GetBounds() const override;
    // Within RadiusX of the centre.
    bool HitTest(ToolPoint p) const override;
    void MoveHandle(int handle, ToolPoint to) override;
    ToolOutline OutlineOf(int handle, ToolPoint to) const override;

protected:
    void WriteText(std::string& out) const override;
    void ReadText(ToolTextReader& in) override;

private:
    struct Ellipse {
        ToolPoint centre;
        int rx;
        int ry;
    };
    // The ellipse a drag of handle to the point gives.
    Ellipse Moved(int handle, ToolPoint to) const;

    ToolPoint centre_;
    int rx_ = 0;
    int ry_ = 0;
};

// A background from (0, 0) to its point; like the dialog tool it takes index
// 0 and stands for the frame, and it sets the surface's size.
class TBackTool final : public TTool {
public:
    TBackTool() : TTool(ToolCode::Back) {}

    ToolPoint Corner() const { return corner_; }
    void SetCorner(ToolPoint corner);

    void Created(ToolSurface& surface) override;
    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;
    void UpdateHandles() override;
    ToolRect GetBounds() const override;
    bool HitTest(ToolPoint p) const override { return ToolRect{0, 0, corner_.x, corner_.y}.Contains(p); }
    void MoveHandle(int handle, ToolPoint to) override;
    ToolOutline OutlineOf(int handle, ToolPoint to) const override;

protected:
    void WriteText(std::string& out) const override;
    void ReadText(ToolTextReader& in) override;

private:
    ToolPoint corner_;
};

// A rectangle showing a bitmap file; the window loads the bitmap from the
// linked name. The link is not part of the text form.
class TImageTool final : public TRectTool {
public:
    TImageTool() : TRectTool(ToolCode::Image) {}

    void SaveToFile(codec::ByteWriter& out) const override;
    void LoadFromFile(codec::ByteCursor& in) override;
    // Grows the rectangle around its centre to at least width x height (the
    // size of a newly linked bitmap).
    void GrowToAtLeast(int width, int height);

    std::string fileName;
};

}  // namespace tallow::ide
