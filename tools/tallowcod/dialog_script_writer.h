// Writes a classic template as dialog-resource script text that the reader
// turns back into the same template.
#pragma once

#include <string>
#include <string_view>

#include "codec/dialog_template.h"

namespace tallow::codec {

// The DIALOG statement of one template: the statement that states each
// control most plainly (PUSHBUTTON, LTEXT, ...), CONTROL where none fits,
// styles as the differences from what a statement implies. Reading the text
// back gives the same template. Raises DialogScriptError for what a DIALOG
// script cannot hold (control creation data).
std::string WriteDialogScript(std::string_view name, const DialogTemplate& dialog);

}  // namespace tallow::codec
