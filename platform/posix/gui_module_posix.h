// The desktop module (libtallowgui.so), loaded the first time a desktop
// operation needs it: only with a display to reach (DISPLAY or
// WAYLAND_DISPLAY), when the run is not unattended and not confined. Without
// it every caller keeps its behaviour without a desktop.
#pragma once

#include <poll.h>

#include <string>

#include "platform/posix/gui/gui_table.h"

namespace tallow::platform {

// The module's table once it is loaded and connected to the display; null
// when there is no module, no display, or the run is unattended. Tries the
// load once per process.
const TallowGuiTable* GuiModule();

// The module's table when it has been loaded already (never loads it): for
// waits that dispatch the desktop's events only when a desktop is in use.
const TallowGuiTable* LoadedGuiModule();

// Dispatches the desktop's pending events, when the module is loaded.
void PumpGuiEvents();

// poll(2) that keeps the desktop's windows answering while it waits: once
// the module is loaded, it waits in short slices and dispatches the
// desktop's events after each. timeoutMs < 0 waits without a limit. With
// no fds (count 0) it only lets the time pass. A signal does not end the
// wait early (EINTR is retried for the time that is left).
int PollPumping(struct pollfd* fds, unsigned long count, int timeoutMs);

// A text the module returned, as a string (empty for null), freed.
std::string TakeGuiText(const TallowGuiTable& gui, char* text);

}  // namespace tallow::platform
