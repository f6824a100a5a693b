// The main window's placement in the settings key: section "Window" with
// "Left", "Top", "Width", "Height" and "State" (1 maximised, else 0), kept
// as the text of the numbers like the other values of that key.
#pragma once

#include "ide/model/document_host.h"

namespace tallow::ide {

inline constexpr const char* kWindowSection = "Window";

struct WindowPlacement {
    int left = 204;
    int top = 120;
    int width = 575;
    int height = 420;
    bool maximized = false;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// The stored placement; a value that is missing or not a whole number keeps
// the one in current.
WindowPlacement ReadWindowPlacement(DocumentHost& host, const WindowPlacement& current);
// The placement of the normal (restored) rectangle and whether the window is maximised.
void WriteWindowPlacement(DocumentHost& host, const WindowPlacement& placement);

}  // namespace tallow::ide
