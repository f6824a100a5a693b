// Designed dialogs of the desktop module: a template's controls as toolkit
// widgets on a fixed layout, placed where the template puts them.
#pragma once

#include <cstddef>
#include <cstdint>

#include <gtk/gtk.h>

#include <string>

#include "gui_table.h"

namespace tallow::gui {

// A dialog's base units: the average character width and the character
// height of its font, in pixels.
struct BaseUnits {
    int x = 6, y = 13;
};
// Measured on window, with the font its style gives it.
BaseUnits MeasureBaseUnits(GtkWidget* window);
// A widget name no other window of the process has (for its style rules).
std::string UniqueWidgetName();
// A style rule giving the widget named name and its children the font face
// (the toolkit's sans serif when empty or not installed) at points.
std::string FontCss(const std::string& name, const std::string& face, int points);

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
