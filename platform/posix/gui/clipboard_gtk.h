// The clipboard of the desktop module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tallow::gui {

// Hands data in format to a new helper process, with the formats that the
// previous helper still owns; false when no helper could take the clipboard.
bool PutClipboard(unsigned format, const uint8_t* bytes, size_t length);
// 0 with the data, 1 when there is no clipboard, 2 when it has no data of
// the format.
int GetClipboard(unsigned format, std::string& data);
bool ClipboardHas(unsigned format);

}  // namespace tallow::gui
