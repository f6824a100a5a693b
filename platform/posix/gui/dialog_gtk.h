// Designed dialogs of the desktop module: a template's controls as toolkit
// widgets on a fixed layout, placed where the template puts them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gui_table.h"

namespace tallow::gui {

// Null when the bytes are no valid template. The window is hidden.
TallowGuiDialog* CreateDialog(const uint8_t* bytes, size_t length);
void DestroyDialog(TallowGuiDialog* dialog);
void SetDialogCaption(TallowGuiDialog* dialog, const char* text);
void PushControl(TallowGuiDialog* dialog, const TallowGuiControlState& state);
void ReadControl(TallowGuiDialog* dialog, TallowGuiControlState& state);
void FocusControl(TallowGuiDialog* dialog, int id);
bool DialogVisible(TallowGuiDialog* dialog);
int ExecuteDialog(TallowGuiDialog* dialog, int waitMode);
void HideDialog(TallowGuiDialog* dialog);

}  // namespace tallow::gui
