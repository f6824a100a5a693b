// Key scripts: the text that sendkeys types, turned into the key strokes
// that type it. Plain characters are typed through the keyboard layout;
// escapes latch modifiers ("\+" Shift, "\^" Ctrl, "\@" Alt), type a
// backslash ("\\") or name a key ("\[F5]", "\[TAB]").
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/desktop.h"

namespace tallow {

// The key and modifiers that type a character, false when none does
// (platform::KeyForChar, or a fixed layout in tests).
using CharKeyMap = bool (*)(char c, platform::CharKey& key);

// Receives strokes in the order they are typed.
using StrokeSink = std::function<void(std::span<const platform::KeyStroke> strokes)>;
// Strokes go to the sink in batches of at most this many, so that a long
// text is typed without holding all of its strokes at once.
constexpr size_t kStrokeBatch = 4096;

struct KeyScript {
    std::vector<platform::KeyStroke> strokes;
    // The text named a key that does not exist ("Unknown key code!"): the
    // strokes are those before the name, and the rest was not read.
    bool unknownKey = false;
};

// Reads the whole text and hands its strokes to sink. Each key is pressed
// with its latched modifiers (Ctrl, Alt, Shift down in that order, the key
// down and up, then Ctrl, Alt, Shift up), after which the latches are clear.
// A lone backslash at the end or a key name without its closing bracket ends
// the text; any other character after a backslash is ignored, and so is a
// character no key types. False when the text named an unknown key: the
// strokes before it were handed over, and the rest was not read.
bool ReadKeyScript(std::string_view text, CharKeyMap map, const StrokeSink& sink);
// The same with every stroke collected.
KeyScript ParseKeyScript(std::string_view text, CharKeyMap map);

// The virtual key of a bracketed key name (without its brackets, any case):
// F1 to F24, then the names of the key table; 0 when there is none.
int KeyNameCode(std::string_view name);

}  // namespace tallow
