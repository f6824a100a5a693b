// The code editor's window: paints a ProgrammerModel in a fixed-pitch font
// with comments coloured, keeps the caret and the vertical scroll bar, and
// turns keys, characters and the mouse into the model's commands. The model
// does the editing; the window repaints only the lines a change touched.
#pragma once

#include <windows.h>

#include "ide/model/programmer_model.h"
#include "ide/win32/win_handles.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32 {

inline constexpr const char* kProgrammerClass = "TallowProgrammer";

struct ProgrammerLook {
    const char* fontName = "Courier";
    int fontHeight = -13;  // as in LOGFONT: negative is the character height
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF remColor = RGB(0, 0, 255);  // comments
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

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ProgrammerModel& model_;
    ProgrammerLook look_;
    UniqueFont font_;
};

}  // namespace tallow::ide::win32
