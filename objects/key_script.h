// Key scripts: the text that sendkeys types, turned into the key strokes
// that type it. Plain characters are typed through the keyboard layout;
// escapes latch modifiers ("\+" Shift, "\^" Ctrl, "\@" Alt), type a
// backslash ("\\") or name a key ("\[F5]", "\[TAB]").
#pragma once

#include <string_view>
#include <vector>

#include "platform/desktop.h"

namespace tallow {

// The key and modifiers that type a character, false when none does
// (platform::KeyForChar, or a fixed layout in tests).
using CharKeyMap = bool (*)(char c, platform::CharKey& key);

struct KeyScript {
    std::vector<platform::KeyStroke> strokes;
    // The text named a key that does not exist ("Unknown key code!"): the
    // strokes are those before the name, and the rest was not read.
    bool unknownKey = false;
};

// Reads the whole text. Each key is pressed with its latched modifiers (Ctrl,
// Alt, Shift down in that order, the key down and up, then Ctrl, Alt, Shift
// up), after which the latches are clear. A lone backslash at the end or a
// key name without its closing bracket ends the text; any other character
// after a backslash is ignored, and so is a character no key types.
KeyScript ParseKeyScript(std::string_view text, CharKeyMap map);

// The virtual key of a bracketed key name (without its brackets, any case):
// F1 to F24, then the names of the key table; 0 when there is none.
int KeyNameCode(std::string_view name);

}  // namespace tallow
