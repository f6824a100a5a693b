// The IDE's own modal dialogs, each built from an in-memory template and run
// with DialogBoxIndirectParam: the property dialogs of the tools, the grid
// dialog, the name dialog and the about box. Each returns true on OK and has
// written the result into its argument then; Cancel changes nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ide/model/tool.h"

namespace tallow::ide::win32 {

// The control form (dialog tool and every control kind, its notebook page
// chosen by the kind) or the shape's form (line, circle, rectangle, text,
// image, background), as the tool's kind asks. onHelp, when given, runs for
// F1 in the control form (the surface's context help).
bool ShowToolProperties(HWND owner, TTool& tool, const std::function<void()>& onHelp = {});

// "Grid Snap": both steps within 1-16.
bool ShowGridDialog(HWND owner, int& snapX, int& snapY);

// "Change Dialog Name": one edit field of at most 15 characters filled with
// current; the entered text, or nothing for Cancel. Goes through
// ModalAnswers::NameDialog when answers are installed.
std::optional<std::string> ShowNameDialog(HWND owner, const std::string& current);

// "About Tallow95": editorDate and engineVersion are the texts shown beside
// "Editor Date:" and "Engine Version:" (see ide/model/about_texts.h; either
// is "Unknown" when its file cannot be read).
void ShowAboutBox(HWND owner, const std::string& editorDate, const std::string& engineVersion);

}  // namespace tallow::ide::win32
