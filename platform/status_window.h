// The status object's progress window: a caption, a one-line message and a
// progress bar from 0 to 100. On Windows a modeless dialog from the
// library's resources; on Linux a line on standard error while that is a
// terminal (and the run is not unattended).
#pragma once

#include <memory>
#include <string>

#include "handles.h"

namespace tallow::platform {

class StatusWindow {
public:
    virtual ~StatusWindow() = default;

    // Never null, also while the window is hidden.
    virtual Handle NativeHandle() const = 0;
    virtual bool Visible() const = 0;

    // Shows the window centred on the screen, owned by parentWindow as it is
    // now, and makes it the program's parentWindow (so that boxes and
    // dialogs opened meanwhile belong to it); the old value is kept for
    // Hide. The bar starts at 0. A window shown already is only redrawn.
    virtual void Show(Handle& parentWindow) = 0;
    // Gives parentWindow back its value from before Show and hides the
    // window; nothing when it is hidden. The user's close box does the same.
    virtual void Hide(Handle& parentWindow) = 0;

    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetMessage(const std::string& text) = 0;
    virtual void SetPercent(int percent) = 0;
};

// A hidden status window owned by *parentWindow as it is now; parentWindow
// is the owning program's slot, which the window's close box restores. Null
// when the system cannot make the window.
std::unique_ptr<StatusWindow> MakeStatusWindow(Handle* parentWindow);

}  // namespace tallow::platform
