// The dialog designer's surface without a window: the tool list with the
// selection, handle drags with grid snapping, keyboard nudging, deletion,
// reordering (the tab order), tab numbers and the designer's clipboard text.
// The window paints from it and feeds it pointer and key events; it answers
// through DrawerWatcher.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ide/model/editor_keys.h"
#include "ide/model/tool.h"
#include "ide/model/tool_surface.h"
#include "ide/model/undo_history.h"

namespace tallow::ide {

// What the surface asks of and tells its window. Every member has a
// do-nothing default.
class DrawerWatcher : public ToolSurfaceWatcher {
public:
    virtual void OnSelectChange(TTool* /*tool*/) {}
    virtual void OnHelp() {}
    // The area must be painted again; an empty rectangle means everything.
    virtual void Invalidate(const ToolRect& /*area*/) {}
    // The pointer shape: the size pointer over a handle, else the default.
    virtual void ShowSizePointer(bool /*size*/) {}
    // Interactive placement moves the screen pointer to a point of the surface.
    virtual void MovePointerTo(ToolPoint /*point*/) {}
    // Opens the tool's property dialog; true when it was confirmed.
    virtual bool EditProperties(TTool& /*tool*/) { return false; }
    virtual void SetClipboardText(const std::string& /*text*/) {}
    // False when the clipboard holds no tool.
    virtual bool GetClipboardText(std::string& /*text*/) { return false; }
};

// The offset by which pasted tools cascade. One is kept for the whole run of
// the program and shared by every surface (SharedPasteCascade).
struct PasteCascade {
    int ox = 0;
    int oy = 0;
};
PasteCascade& SharedPasteCascade();

// The keys the surface acts on.
enum class DrawerKey : uint8_t {
    Escape,
    Tab,
    Home,
    End,
    F1,
    PageUp,
    PageDown,
    Delete,
    Left,
    Right,
    Up,
    Down
};

// The grid dialog's range for either step.
inline constexpr int kMinSnap = 1;
inline constexpr int kMaxSnap = 16;
inline constexpr const char* kGridSnapTitle = "Grid Snap";

// Snaps v to a grid of step (1 when smaller): plain to the nearest multiple
// (halves go up), relative to the grid shifted so that origin lies on it.
// Computed in 16-bit arithmetic like the coordinates the surface works in.
int SnapPlain(int v, int step);
int SnapRelative(int v, int step, int origin);

// A new control's caption, which makes it visible on the surface: its kind's
// name and the smallest number no tool on the surface has with that name
// ("Button 1", "Text Box 2"); empty for the shapes.
std::string DefaultCaption(const ToolSurface& tools, ToolCode code);

class TDrawer {
public:
    explicit TDrawer(DrawerWatcher* watcher = nullptr, PasteCascade& cascade = SharedPasteCascade());

    ToolSurface& Tools() { return tools_; }
    const ToolSurface& Tools() const { return tools_; }

    // Published settings and their defaults.
    uint32_t Color() const { return color_; }
    void SetColor(uint32_t color);  // marks modified
    int SnapX() const { return snapX_; }
    int SnapY() const { return snapY_; }
    void SetSnap(int x, int y);  // the grid dialog's OK; held within 1-16
    bool ShowTabs() const { return showTabs_; }
    void SetShowTabs(bool on);

    TTool* Selected() const { return selected_; }
    void SelectTool(TTool* tool);
    // Ends a drag or, with none, deselects.
    void Cancel();
    void SelectNext();
    void SelectPrevious();
    void SelectFirst();
    void SelectLast();

    // Refuse no tool and the dialog tool; a selected tool passes the selection
    // to the previous one.
    bool DeleteTool(TTool* tool);
    bool MoveEarlier(TTool* tool);
    bool MoveLater(TTool* tool);
    void PutFirst(TTool& tool) { tools_.PutFirst(tool); }
    void ClearTools();

    // "type.text" on the clipboard; refused for no tool and the dialog tool.
    bool CopyTool(TTool* tool);
    bool CutTool(TTool* tool);
    // Adds the clipboard's tool, cascaded inside the dialog, and selects it.
    // Raises ToolFormatError (kUnknownClipboardType for an unknown type); the
    // surface is then unchanged.
    TTool& PasteTool();

    // Pointer events; modifiers as in editor_keys.h (kShift: no snap,
    // kCtrl: snap relative to the drag start).
    void PointerDown(ToolPoint p, unsigned modifiers);
    void PointerMove(ToolPoint p, unsigned modifiers);
    void PointerUp(ToolPoint p, unsigned modifiers);
    void DoubleClick();
    // Selects the new tool and starts a drag of its move handle.
    void StartPlacement(TTool& tool);
    // Adds a tool of the kind with corners at and at + (width, height) and
    // its default caption, and starts its placement; the drop that ends it
    // completes one step for Undo, Escape calls it off (the tool goes again).
    TTool& AddForPlacement(ToolCode code, int width, int height, ToolPoint at = {});
    bool Placing() const { return placing_ != nullptr; }

    // ---- undo: adding, deleting, moving, resizing, reordering, pasting
    // and property changes are steps; a run of nudges of one control is one.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // A loaded or new dialog starts without steps.
    void ForgetUndo() { history_.Clear(); }
    // False when the key does nothing in the present state.
    bool KeyDown(DrawerKey key, unsigned modifiers);

    bool Dragging() const { return dragging_ != nullptr; }
    TTool* DraggingTool() const { return dragging_; }
    int DragHandle() const { return dragHandle_; }
    ToolPoint DragStart() const { return dragStart_; }
    ToolPoint DragCurrent() const { return dragCurrent_; }
    // Where the dragged tool would go: the outline drawn during a drag.
    ToolOutline DragOutline() const;

    // The number shown on the tool at index when tabs are shown; -1 for the
    // dialog tool, which shows none.
    int TabNumber(int index) const;
    // The tools a paint of the area draws, in list order.
    std::vector<TTool*> ToolsIn(const ToolRect& area) const;

private:
    // The tools as their clipboard texts in list order, and the selection.
    struct DrawerState {
        std::vector<std::string> tools;
        int selected = -1;
        // The selection alone makes no step.
        friend bool operator==(const DrawerState& a, const DrawerState& b) { return a.tools == b.tools; }
    };
    DrawerState CurrentState() const;
    void Restore(const DrawerState& state);
    void Record(UndoRun run = UndoRun::kNoRun) { history_.Record(CurrentState(), run); }
    void CancelPlacement();

    ToolPoint Snap(ToolPoint p, unsigned modifiers) const;
    bool Nudge(DrawerKey key, unsigned modifiers);
    void Invalidate(const TTool* tool);
    void InvalidateAll();
    void EndDrag();

    DrawerWatcher* watcher_;
    PasteCascade& cascade_;
    ToolSurface tools_;
    TTool* selected_ = nullptr;
    TTool* dragging_ = nullptr;
    int dragHandle_ = -1;
    ToolPoint dragStart_;
    ToolPoint dragCurrent_;
    uint32_t color_ = kClBtnFace;
    int snapX_ = 5;
    int snapY_ = 4;
    bool showTabs_ = false;
    TTool* placing_ = nullptr;  // the new tool until its placement ends
    UndoHistory<DrawerState> history_;
};

}  // namespace tallow::ide
