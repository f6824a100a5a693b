// Texts between the engine's 8-bit strings and the toolkit's UTF-8.
#pragma once

#include <string>

namespace tallow::gui {

// text as UTF-8: unchanged when it is valid UTF-8 already, else read as
// Latin-1 (the single-byte texts of scripts written elsewhere).
std::string Utf8(const char* text);
// A Windows label ("&Save", "&&") as a toolkit mnemonic label ("_Save", "&").
std::string MnemonicLabel(const std::string& text);
// A copy the engine frees with the table's FreeText.
char* CopyText(const std::string& text);

}  // namespace tallow::gui
