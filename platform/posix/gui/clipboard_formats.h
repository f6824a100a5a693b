// Clipboard formats of the desktop module and the record stream that carries
// them to the clipboard helper.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tallow::gui {

// Win32's text format; registered names get numbers from here on, as
// RegisterClipboardFormat gives them.
constexpr unsigned kTextFormat = 1;
constexpr unsigned kFirstRegisteredFormat = 0xC000;

// The selection target of a format: "" for text (the toolkit's text
// targets), the registered name, or "TALLOW_FORMAT_N" for another number.
std::string TargetOfFormat(unsigned format);
// The number of a registered name (the same name, the same number).
unsigned RegisterFormat(const std::string& name);

// Target name to data: what the helper serves.
using ClipboardContents = std::map<std::string, std::string>;

// The helper's input: for each entry the name's length, the name, the
// data's length and the data (lengths as 32-bit little-endian numbers).
std::string EncodeContents(const ClipboardContents& contents);
// False when the bytes end inside a record.
bool DecodeContents(const std::string& bytes, ClipboardContents& contents);

}  // namespace tallow::gui
