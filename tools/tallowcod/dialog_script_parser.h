// Reads dialog-resource script text (NAME DIALOG x, y, cx, cy with its
// options and BEGIN ... END block of controls) into classic templates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codec/dialog_template.h"
#include "tools/tallowcod/rc_lexer.h"

namespace tallow::codec {

struct ScriptDialog {
    std::string name;  // as written (the resource compiler would upper-case it)
    int line = 0;      // of the name, for messages about the dialog
    DialogTemplate dialog;
};

// Every DIALOG of the text, in order, with the styles each statement implies
// exactly as the resource compiler applies them. Raises DialogScriptError
// ("FILE:LINE: expected ...") at the first fault.
std::vector<ScriptDialog> ParseDialogScript(std::string_view text, std::string_view fileName);

}  // namespace tallow::codec
