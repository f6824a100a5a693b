// The status object's progress window in the desktop module.
#pragma once

#include "gui_table.h"

namespace tallow::gui {

TallowGuiStatus* CreateStatus();
void DestroyStatus(TallowGuiStatus* status);
void ShowStatus(TallowGuiStatus* status);
void HideStatus(TallowGuiStatus* status);
bool StatusVisible(TallowGuiStatus* status);
void SetStatusCaption(TallowGuiStatus* status, const char* text);
void SetStatusMessage(TallowGuiStatus* status, const char* text);
void SetStatusPercent(TallowGuiStatus* status, int percent);

}  // namespace tallow::gui
