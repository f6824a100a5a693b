// The designer surface's scrolling.
#include "ide/model/surface_scroll.h"

#include <algorithm>

namespace tallow::ide {

ToolPoint ContentExtent(const ToolSurface& tools) {
    ToolPoint far;
    for (int i = 0; i < tools.Count(); ++i) {
        ToolRect bounds = tools.At(i)->GetBounds();
        far.x = std::max(far.x, bounds.right);
        far.y = std::max(far.y, bounds.bottom);
    }
    return far;
}

// The plane is the tools' extent and the margin, but never smaller than the view.
ScrollRange SurfaceScroll::Range(int content, int view, int position) {
    int plane = std::max(content > 0 ? content + kSurfaceMargin : 0, view);
    return {std::max(plane - 1, 0), std::max(view, 0), position};
}

int SurfaceScroll::Limit(int content, int view) const {
    ScrollRange range = Range(content, view, 0);
    return std::max(0, range.max + 1 - range.page);
}

void SurfaceScroll::Clamp() {
    origin_.x = std::clamp(origin_.x, 0, Limit(content_.x, view_.x));
    origin_.y = std::clamp(origin_.y, 0, Limit(content_.y, view_.y));
}

void SurfaceScroll::SetViewSize(int width, int height) {
    view_ = {std::max(width, 0), std::max(height, 0)};
    Clamp();
}

void SurfaceScroll::SetContentExtent(ToolPoint extent) {
    content_ = {std::max(extent.x, 0), std::max(extent.y, 0)};
    Clamp();
}

bool SurfaceScroll::ScrollTo(ToolPoint origin) {
    ToolPoint before = origin_;
    origin_ = origin;
    Clamp();
    return !(origin_ == before);
}

bool SurfaceScroll::Scroll(bool vertical, ScrollAction action, int thumbPosition) {
    int position = vertical ? origin_.y : origin_.x;
    int page = std::max(1, vertical ? view_.y : view_.x);
    switch (action) {
        case ScrollAction::LineUp:
            position -= kSurfaceLineStep;
            break;
        case ScrollAction::LineDown:
            position += kSurfaceLineStep;
            break;
        case ScrollAction::PageUp:
            position -= page;
            break;
        case ScrollAction::PageDown:
            position += page;
            break;
        case ScrollAction::Thumb:
            position = thumbPosition;
            break;
        case ScrollAction::Top:
            position = 0;
            break;
        case ScrollAction::Bottom:
            position = vertical ? Limit(content_.y, view_.y) : Limit(content_.x, view_.x);
            break;
    }
    return ScrollTo(vertical ? ToolPoint{origin_.x, position} : ToolPoint{position, origin_.y});
}

bool SurfaceScroll::ShowRect(const ToolRect& r) {
    auto axis = [](int low, int high, int origin, int view) {
        if (high - low > view || low < origin) return low;
        if (high > origin + view) return high - view;
        return origin;
    };
    return ScrollTo({axis(r.left, r.right, origin_.x, view_.x), axis(r.top, r.bottom, origin_.y, view_.y)});
}

}  // namespace tallow::ide
