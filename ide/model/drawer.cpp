// Selection, drags, keys, order and clipboard of the designer's surface.
#include "ide/model/drawer.h"

#include <algorithm>

#include "ide/model/control_tool.h"
#include "ide/model/shape_tools.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {

namespace {

int16_t Wrap16(int value) {
    return static_cast<int16_t>(value);
}

// The frame pasted tools cascade inside.
ToolRect FrameOf(const TTool& frame) {
    if (auto* rect = dynamic_cast<const TRectTool*>(&frame)) return rect->Rect();
    if (auto* back = dynamic_cast<const TBackTool*>(&frame))
        return {0, 0, back->Corner().x, back->Corner().y};
    return {};
}

bool Intersect(const ToolRect& a, const ToolRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

PasteCascade& SharedPasteCascade() {
    static PasteCascade cascade;
    return cascade;
}

int SnapPlain(int v, int step) {
    step = std::max(step, kMinSnap);
    int16_t t = Wrap16(v + step / 2);
    return Wrap16(t - t % step);
}

int SnapRelative(int v, int step, int origin) {
    step = std::max(step, kMinSnap);
    int c = Wrap16(origin) % step;
    int16_t e = Wrap16(v + step / 2 - c);
    return Wrap16(e + c - e % step);
}

std::string DefaultCaption(const ToolSurface& tools, ToolCode code) {
    const ControlKind* kind = FindControlKind(code);
    if (kind == nullptr) return {};
    for (int n = 1;; ++n) {
        std::string caption = std::string(kind->name) + " " + std::to_string(n);
        bool taken = false;
        for (int i = 0; i < tools.Count() && !taken; ++i) {
            auto* text = dynamic_cast<const TTextTool*>(tools.At(i));
            taken = text != nullptr && text->caption == caption;
        }
        if (!taken) return caption;
    }
}

TDrawer::TDrawer(DrawerWatcher* watcher, PasteCascade& cascade)
    : watcher_(watcher), cascade_(cascade), tools_(watcher) {}

void TDrawer::SetColor(uint32_t color) {
    color_ = color;
    tools_.SetModified(true);
    InvalidateAll();
}

void TDrawer::SetSnap(int x, int y) {
    snapX_ = std::clamp(x, kMinSnap, kMaxSnap);
    snapY_ = std::clamp(y, kMinSnap, kMaxSnap);
    InvalidateAll();
}

void TDrawer::SetShowTabs(bool on) {
    showTabs_ = on;
    InvalidateAll();
}

void TDrawer::SelectTool(TTool* tool) {
    if (tool == selected_) return;
    history_.BreakRun();
    Invalidate(selected_);
    selected_ = tool;
    Invalidate(selected_);
    if (watcher_ != nullptr) watcher_->OnSelectChange(selected_);
}

void TDrawer::Cancel() {
    if (placing_ != nullptr && placing_ == dragging_)
        CancelPlacement();
    else if (Dragging())
        EndDrag();
    else
        SelectTool(nullptr);
}

// The new tool goes, and with it the step its adding began.
void TDrawer::CancelPlacement() {
    TTool* tool = placing_;
    placing_ = nullptr;
    EndDrag();
    SelectTool(nullptr);
    Invalidate(tool);
    tools_.Remove(tool);
    history_.DropLast();
}

void TDrawer::SelectNext() {
    int n = tools_.Count();
    if (n == 0) return;
    int i = tools_.IndexOf(selected_);
    SelectTool(tools_.At(i < 0 || i + 1 >= n ? 0 : i + 1));
}

void TDrawer::SelectPrevious() {
    int n = tools_.Count();
    if (n == 0) return;
    int i = tools_.IndexOf(selected_);
    SelectTool(tools_.At(i <= 0 ? n - 1 : i - 1));
}

void TDrawer::SelectFirst() {
    if (tools_.Count() > 0) SelectTool(tools_.At(0));
}

void TDrawer::SelectLast() {
    if (tools_.Count() > 0) SelectTool(tools_.At(tools_.Count() - 1));
}

bool TDrawer::DeleteTool(TTool* tool) {
    if (tool == nullptr || tool == tools_.DialogTool() || tools_.IndexOf(tool) < 0) return false;
    Record();
    if (tool == dragging_) EndDrag();
    if (tool == selected_) {
        if (tools_.Count() < 2)
            SelectTool(nullptr);
        else
            SelectPrevious();
    }
    Invalidate(tool);
    tools_.Remove(tool);
    return true;
}

bool TDrawer::MoveEarlier(TTool* tool) {
    int i = tools_.IndexOf(tool);
    int lowest = tools_.DialogTool() != nullptr ? 2 : 1;
    if (i < lowest) return false;
    Record();
    tools_.Move(i, i - 1);
    tools_.SetModified(true);
    InvalidateAll();
    return true;
}

bool TDrawer::MoveLater(TTool* tool) {
    int i = tools_.IndexOf(tool);
    if (i < 0 || i == tools_.Count() - 1 || tool == tools_.DialogTool()) return false;
    Record();
    tools_.Move(i, i + 1);
    tools_.SetModified(true);
    InvalidateAll();
    return true;
}

void TDrawer::ClearTools() {
    dragging_ = nullptr;
    dragHandle_ = -1;
    selected_ = nullptr;
    placing_ = nullptr;
    tools_.Clear();
    InvalidateAll();
}

bool TDrawer::CopyTool(TTool* tool) {
    if (tool == nullptr || tool == tools_.DialogTool() || tools_.IndexOf(tool) < 0) return false;
    if (watcher_ != nullptr) watcher_->SetClipboardText(ToolToClipboardText(*tool));
    return true;
}

bool TDrawer::CutTool(TTool* tool) {
    return CopyTool(tool) && DeleteTool(tool);
}

TTool& TDrawer::PasteTool() {
    std::string text;
    if (watcher_ != nullptr && !watcher_->GetClipboardText(text)) text.clear();
    Record();
    TTool* pasted = nullptr;
    try {
        pasted = &PasteToolText(tools_, text);
    } catch (...) {
        history_.DropLast();
        throw;
    }
    TTool& tool = *pasted;
    auto* rect = dynamic_cast<TRectTool*>(&tool);
    if (rect != nullptr && tools_.DialogTool() != nullptr) {
        ToolRect frame = FrameOf(*tools_.DialogTool());
        ToolRect r = rect->Rect();
        if (r.right + snapX_ + cascade_.ox > frame.right || r.bottom + snapY_ + cascade_.oy > frame.bottom)
            cascade_ = {};
        else
            cascade_ = {cascade_.ox + snapX_, cascade_.oy + snapY_};
        rect->Offset(cascade_.ox, cascade_.oy);
    }
    SelectTool(&tool);
    Invalidate(&tool);
    return tool;
}

ToolPoint TDrawer::Snap(ToolPoint p, unsigned modifiers) const {
    if (modifiers & kShift) return p;
    if ((modifiers & kCtrl) && Dragging())
        return {SnapRelative(p.x, snapX_, dragStart_.x), SnapRelative(p.y, snapY_, dragStart_.y)};
    return {SnapPlain(p.x, snapX_), SnapPlain(p.y, snapY_)};
}

void TDrawer::PointerDown(ToolPoint p, unsigned modifiers) {
    if (Dragging()) return;
    int handle = selected_ != nullptr ? selected_->HandleAt(p) : -1;
    if (handle >= 0) {
        dragging_ = selected_;
        dragHandle_ = handle;
        dragStart_ = selected_->HandlePoint(handle);
        dragCurrent_ = Snap(p, modifiers);
        return;
    }
    for (int i = tools_.Count() - 1; i >= 0; --i) {
        if (tools_.At(i)->HitTest(p)) {
            SelectTool(tools_.At(i));
            return;
        }
    }
    Cancel();
}

void TDrawer::PointerMove(ToolPoint p, unsigned modifiers) {
    if (Dragging()) {
        dragCurrent_ = Snap(p, modifiers);
        return;
    }
    if (watcher_ != nullptr) watcher_->ShowSizePointer(selected_ != nullptr && selected_->HandleAt(p) >= 0);
}

void TDrawer::PointerUp(ToolPoint p, unsigned modifiers) {
    if (!Dragging()) return;
    ToolPoint to = Snap(p, modifiers);
    TTool* tool = dragging_;
    int handle = dragHandle_;
    // A placement's step began when the tool was added.
    if (tool == placing_)
        placing_ = nullptr;
    else
        Record();
    EndDrag();
    Invalidate(tool);
    tool->MoveHandle(handle, to);
    Invalidate(tool);
    tools_.SetModified(true);
}

void TDrawer::DoubleClick() {
    if (Dragging() || selected_ == nullptr) return;
    TTool* tool = selected_;
    Record();
    bool confirmed = watcher_ != nullptr && watcher_->EditProperties(*tool);
    if (!confirmed) history_.DropLast();
    SelectTool(nullptr);
    if (confirmed) {
        Invalidate(tool);
        tools_.SetModified(true);
    }
}

void TDrawer::StartPlacement(TTool& tool) {
    if (tools_.IndexOf(&tool) < 0) return;
    SelectTool(&tool);
    dragging_ = &tool;
    dragHandle_ = tool.MoveHandleIndex();
    dragStart_ = tool.HandlePoint(dragHandle_);
    dragCurrent_ = dragStart_;
    if (watcher_ != nullptr) {
        watcher_->MovePointerTo(dragStart_);
        watcher_->ShowSizePointer(true);
    }
}

TTool& TDrawer::AddForPlacement(ToolCode code, int width, int height, ToolPoint at) {
    if (Dragging()) Cancel();
    Record();
    TTool& tool = CreateTool(tools_, code);
    if (auto* rect = dynamic_cast<TRectTool*>(&tool))
        rect->SetRect({at.x, at.y, at.x + width, at.y + height});
    if (auto* text = dynamic_cast<TTextTool*>(&tool)) text->caption = DefaultCaption(tools_, code);
    StartPlacement(tool);
    placing_ = &tool;
    return tool;
}

TDrawer::DrawerState TDrawer::CurrentState() const {
    DrawerState state;
    for (int i = 0; i < tools_.Count(); ++i)
        state.tools.push_back(ToolToClipboardText(*tools_.At(i)));
    state.selected = tools_.IndexOf(selected_);
    return state;
}

// The tools are made again from their texts, the frame first as it was.
void TDrawer::Restore(const DrawerState& state) {
    ClearTools();
    for (const std::string& text : state.tools)
        PasteToolText(tools_, text);
    SelectTool(tools_.At(state.selected));
    tools_.SetModified(true);
    InvalidateAll();
}

bool TDrawer::Undo() {
    if (Dragging()) return false;
    std::optional<DrawerState> state = history_.Undo(CurrentState());
    if (!state) return false;
    Restore(*state);
    return true;
}

bool TDrawer::Redo() {
    if (Dragging()) return false;
    std::optional<DrawerState> state = history_.Redo(CurrentState());
    if (!state) return false;
    Restore(*state);
    return true;
}

bool TDrawer::KeyDown(DrawerKey key, unsigned modifiers) {
    if (key == DrawerKey::Escape) {
        Cancel();
        return true;
    }
    if (Dragging()) return false;
    switch (key) {
        case DrawerKey::Tab:
            if (modifiers & kShift)
                SelectPrevious();
            else
                SelectNext();
            return true;
        case DrawerKey::Home:
            SelectFirst();
            return true;
        case DrawerKey::End:
            SelectLast();
            return true;
        case DrawerKey::F1:
            if (watcher_ != nullptr) watcher_->OnHelp();
            return true;
        case DrawerKey::PageUp:
            return MoveEarlier(selected_);
        case DrawerKey::PageDown:
            return MoveLater(selected_);
        case DrawerKey::Delete:
            return DeleteTool(selected_);
        default:
            return Nudge(key, modifiers);
    }
}

// Ctrl+arrow drags the move handle by a pixel, Shift+arrow the width
// (left/right) or height (up/down) handle; Shift wins. Not snapped.
bool TDrawer::Nudge(DrawerKey key, unsigned modifiers) {
    if (selected_ == nullptr || !(modifiers & (kShift | kCtrl))) return false;
    int dx = key == DrawerKey::Left ? -1 : key == DrawerKey::Right ? 1 : 0;
    int dy = key == DrawerKey::Up ? -1 : key == DrawerKey::Down ? 1 : 0;
    int handle = selected_->MoveHandleIndex();
    if (modifiers & kShift) handle = dx != 0 ? selected_->WidthHandleIndex() : selected_->HeightHandleIndex();
    ToolPoint from = selected_->HandlePoint(handle);
    Record(UndoRun::kNudging);
    Invalidate(selected_);
    selected_->MoveHandle(handle, {from.x + dx, from.y + dy});
    Invalidate(selected_);
    tools_.SetModified(true);
    return true;
}

ToolOutline TDrawer::DragOutline() const {
    if (!Dragging()) return {};
    return dragging_->OutlineOf(dragHandle_, dragCurrent_);
}

int TDrawer::TabNumber(int index) const {
    if (tools_.At(index) == nullptr || tools_.At(index) == tools_.DialogTool()) return -1;
    return tools_.DialogTool() != nullptr ? index : index + 1;
}

std::vector<TTool*> TDrawer::ToolsIn(const ToolRect& area) const {
    std::vector<TTool*> found;
    for (int i = 0; i < tools_.Count(); ++i)
        if (Intersect(tools_.At(i)->GetBounds(), area)) found.push_back(tools_.At(i));
    return found;
}

void TDrawer::Invalidate(const TTool* tool) {
    if (tool != nullptr && watcher_ != nullptr) watcher_->Invalidate(tool->GetBounds());
}

void TDrawer::InvalidateAll() {
    if (watcher_ != nullptr) watcher_->Invalidate({});
}

void TDrawer::EndDrag() {
    dragging_ = nullptr;
    dragHandle_ = -1;
}

}  // namespace tallow::ide
