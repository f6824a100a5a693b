// The part of a designer surface that its window shows. The design plane
// runs from (0, 0) to the far edges of the tools and a margin beyond them,
// and is at least as large as the window; the window shows it from an origin
// that the scroll bars move, so a dialog larger than the window can be
// reached whole.
#pragma once

#include "ide/model/programmer_model.h"
#include "ide/model/tool.h"
#include "ide/model/tool_surface.h"

namespace tallow::ide {

// Room kept beyond the tools' far edges, so that a control can be dropped
// past the last one.
inline constexpr int kSurfaceMargin = 40;
// The distance a scroll bar's arrow moves.
inline constexpr int kSurfaceLineStep = 16;

// One scroll bar as the system takes it: the range 0 ... max, the page (the
// window's size along it) and the position.
struct ScrollRange {
    int max = 0;
    int page = 0;
    int position = 0;
    friend bool operator==(const ScrollRange&, const ScrollRange&) = default;
};

// The far right and bottom edges of the tools' bounds; (0, 0) for none.
ToolPoint ContentExtent(const ToolSurface& tools);

class SurfaceScroll {
public:
    // Each keeps the origin within the new range.
    void SetViewSize(int width, int height);
    void SetContentExtent(ToolPoint extent);

    ToolPoint Origin() const { return origin_; }
    ScrollRange Horizontal() const { return Range(content_.x, view_.x, origin_.x); }
    ScrollRange Vertical() const { return Range(content_.y, view_.y, origin_.y); }

    // A scroll bar's action; true when the origin moved.
    bool Scroll(bool vertical, ScrollAction action, int thumbPosition = 0);
    bool ScrollTo(ToolPoint origin);
    // Scrolls as little as needed for r to be seen (its top-left when it
    // is larger than the window).
    bool ShowRect(const ToolRect& r);

    // Between the window's client coordinates and the design plane.
    ToolPoint ToDesign(ToolPoint client) const { return {client.x + origin_.x, client.y + origin_.y}; }
    ToolRect ToClient(const ToolRect& design) const {
        return {design.left - origin_.x, design.top - origin_.y, design.right - origin_.x,
                design.bottom - origin_.y};
    }

private:
    static ScrollRange Range(int content, int view, int position);
    int Limit(int content, int view) const;
    void Clamp();

    ToolPoint view_;
    ToolPoint content_;
    ToolPoint origin_;
};

}  // namespace tallow::ide
