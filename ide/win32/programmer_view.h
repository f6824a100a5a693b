// The code editor's window: paints a ProgrammerModel in a fixed-pitch font
// with comments coloured, keeps the caret and the vertical scroll bar, and
// turns keys, characters and the mouse into the model's commands. The model
// does the editing; the window repaints only the lines a change touched.
#pragma once

#include <windows.h>

#include "ide/model/editor_repaint.h"
#include "ide/model/programmer_model.h"
#include "ide/win32/clipboard_text.h"
#include "ide/win32/win_handles.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32 {

inline constexpr const char* kProgrammerClass = "TallowProgrammer";

struct ProgrammerLook {
    const char* fontName = "Courier";
    int fontHeight = -13;  // as in LOGFONT: negative is the character height
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF remColor = RGB(0, 0, 255);  // comments
    COLORREF backColor = RGB(255, 255, 255);
};

class ProgrammerView : public Window {
public:
    // The model must outlive the window.
    ProgrammerView(ProgrammerModel& model, const ProgrammerLook& look = {});

    // A child window with that control id; throws when the system refuses.
    void Create(HWND parent, int id, const RECT& area);

    ProgrammerModel& Model() { return model_; }
    // The model changed outside the window (new text, find, replace): the
    // whole client is repainted, the scroll bar and the caret follow.
    void Refresh();
    // Scrolls so that the cursor line is visible, then Refresh().
    void ShowCursor();

    // Paints the client area's part `area` into dc (WM_PAINT and WM_PRINTCLIENT).
    void Paint(HDC dc, const RECT& area);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    using Handler = LRESULT (ProgrammerView::*)(WPARAM, LPARAM);
    struct MessageEntry {
        UINT message;
        Handler handler;
    };
    static const MessageEntry kMessages[];

    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnChar(WPARAM, LPARAM);
    LRESULT OnVScroll(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);

    // Runs a command on the model and repaints what it changed.
    template <typename F>
    void Command(F&& command) {
        EditorSnapshot before = TakeSnapshot(model_);
        command();
        Repaint(before);
    }
    void Repaint(const EditorSnapshot& before);
    void InvalidateLines(int first, int last);
    // Moves the window's pixels by the change of the top line; false when it
    // could not (everything must be painted then).
    bool ScrollPixels(int oldTop);
    void UpdateScrollBar();
    void UpdateCaret();
    void DragTo(int x, int y);
    void StopDrag();
    void PaintLine(HDC dc, int line, int width);

    ProgrammerModel& model_;
    ProgrammerLook look_;
    UniqueFont font_;
    int wheelRest_ = 0;  // wheel movement short of one notch
    bool dragging_ = false;
    POINT dragPoint_{};
};

}  // namespace tallow::ide::win32
