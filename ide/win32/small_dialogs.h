// The grid, name and about dialogs (declared in ide_dialogs.h): the ids of
// their controls, for whoever drives them from outside (the GUI tests).
#pragma once

#include "ide/win32/ide_dialogs.h"

namespace tallow::ide::win32 {

// "Grid Snap": each field's up-down has the field's id + 1.
inline constexpr int kGridXField = 101;
inline constexpr int kGridYField = 103;

// "Change Dialog Name".
inline constexpr int kNameField = 101;

// "About Tallow95": the two values beside their labels.
inline constexpr int kAboutProductText = 101;
inline constexpr int kAboutTaglineText = 102;
inline constexpr int kAboutDateLabel = 103;
inline constexpr int kAboutDateText = 104;
inline constexpr int kAboutVersionLabel = 105;
inline constexpr int kAboutVersionText = 106;

}  // namespace tallow::ide::win32
