// A designer surface's window: paints the tools of a TDrawer (each kind as
// the dialog will show it, in system colours), the selection's handles and
// the drag outline, feeds the drawer pointer and key events, places new
// controls interactively and keeps the designer's private clipboard format.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "codec/dialog_template.h"
#include "ide/model/drawer.h"
#include "ide/model/surface_scroll.h"
#include "ide/model/template_generator.h"
#include "ide/model/tool_factory.h"
#include "ide/win32/win_handles.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32 {

inline constexpr const char* kDrawerClass = "TallowDrawer";
// The registered clipboard format that carries a tool's text form: the
// designer's own name for it, so that copies go between every designer.
inline constexpr const char* kToolClipboardFormat = ide::kToolClipboardFormat;

// The metrics of the dialog font ("MS Sans Serif", 8 points) on this display:
// what pixels become dialog units with.
DialogMetrics MeasureDialogMetrics();

// True when the clipboard holds the designer's format.
bool ClipboardHasTool();

class DrawerView : public Window, private DrawerWatcher {
public:
    DrawerView();

    // A child window with that control id; throws when the system refuses.
    void Create(HWND parent, int id, const RECT& area);

    TDrawer& Drawer() { return drawer_; }
    const TDrawer& Drawer() const { return drawer_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // Replaces the tools by the template's (a TemplateError leaves them) and
    // clears the modified flag.
    void LoadTemplate(const codec::DialogTemplate& dialog, const DialogMetrics& metrics);
    // The template of the tools (raises TemplateError as BuildTemplate does).
    codec::DialogTemplate MakeTemplate(const DialogMetrics& metrics) const;
    // Removes every tool and adds a dialog frame with corners (w, h) and
    // (3w, 3h), w and h a quarter of the client size, captioned "Dialog".
    void AddDialogFrame();

    // Adds a control of that kind with corners (0,0) and (width, height) and
    // starts interactive placement: the pointer jumps to its centre and the
    // control follows it until a click drops it. Returns the new tool.
    TTool& AddControl(ToolCode kind, int width, int height);

    // Designer Edit commands; each raises std::runtime_error("No tool selected")
    // when no tool (or only the dialog frame) is selected.
    void CutSelected();
    void CopySelected();
    void DeleteSelected();
    void Paste();
    // The grid dialog ("Grid Snap"); true on OK.
    bool EditGrid();
    void ToggleTabOrder();

    // Told after every change of the tools' modified flag, of the selection
    // and on F1.
    std::function<void()> onChangeModified;
    std::function<void(TTool*)> onSelectChange;
    std::function<void()> onHelp;
    // A background tool set the surface's size.
    std::function<void(int width, int height)> onResize;

    // Paints the surface into dc as WM_PAINT does (through a buffer): the
    // background, the tools in the area (of the client), tab numbers,
    // handles, drag outline.
    void PaintInto(HDC dc, const RECT& area);

    // What of the design plane the window shows; the scroll bars follow it.
    const SurfaceScroll& Scrolling() const { return scroll_; }
    void ScrollTo(ToolPoint origin);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct MessageHandler;
    static const MessageHandler kMessageHandlers[];

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
    LRESULT OnButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM, LPARAM) { return DLGC_WANTARROWS | DLGC_WANTTAB; }
    LRESULT OnCaptureChanged(WPARAM, LPARAM lParam);
    LRESULT OnSize(WPARAM, LPARAM lParam);
    LRESULT OnHorizontalScroll(WPARAM wParam, LPARAM) { return OnScroll(false, wParam); }
    LRESULT OnVerticalScroll(WPARAM wParam, LPARAM) { return OnScroll(true, wParam); }
    LRESULT OnScroll(bool vertical, WPARAM wParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM);

    // The design plane's point under a pointer message's client point.
    ToolPoint DesignPoint(LPARAM lParam) const;
    // The scroll bars from the tools' extent and the window's size.
    void UpdateScrollBars();

    // Runs a drawer call that may start, move or end a drag: repaints where
    // the outline was and is, and holds the pointer capture while dragging.
    template <typename F>
    void TrackingDrag(F&& call);
    // The area the present drag outline covers; empty without a drag.
    RECT OutlineArea() const;
    HCURSOR PointerShape() const;

    // DrawerWatcher
    void OnChangeModified() override;
    void OnSelectChange(TTool* tool) override;
    void OnHelp() override;
    void OnResize(int width, int height) override;
    void Invalidate(const ToolRect& area) override;
    void ShowSizePointer(bool size) override;
    void MovePointerTo(ToolPoint point) override;
    bool EditProperties(TTool& tool) override;
    void SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string& text) override;

    // The bitmaps of linked image files, each loaded once (null: it could not
    // be loaded).
    HBITMAP LinkedBitmap(const std::string& fileName);

    TDrawer drawer_;
    SurfaceScroll scroll_;
    bool updatingBars_ = false;  // the bars are being set (their WM_SIZE comes back)
    std::map<std::string, UniqueBitmap> images_;
    std::string name_;
    bool sizePointer_ = false;
    // The dialog font's height at the last paint (tab number boxes).
    int fontHeight_ = 13;
};

}  // namespace tallow::ide::win32
