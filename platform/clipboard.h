// The system clipboard. Every call that needs the clipboard open opens it
// (with no owner window), does its one thing and closes it again on every
// path. Where there is no clipboard to reach (Linux without a desktop) those
// calls answer kCannotOpen; the two that need no opening answer anyway.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallow::platform {

// The ANSI text format.
constexpr unsigned kClipboardText = 1;

enum class ClipboardStatus {
    kOk,
    kCannotOpen,  // the clipboard is held by another program, or there is none
    kNoData,      // opened, but it has no data of the format
};

// Hands a copy of bytes to the clipboard in format, without emptying it
// first: data in other formats stays.
ClipboardStatus PutClipboardData(unsigned format, std::span<const uint8_t> bytes);
// A copy of the clipboard's data in format: the system's block for it, cut
// to maxBytes.
ClipboardStatus GetClipboardData(unsigned format, size_t maxBytes, std::vector<uint8_t>& out);
// Whether the clipboard holds data in format (false without a clipboard).
bool ClipboardHasFormat(unsigned format);
// The format number registered for name (0 when the system refuses), the
// same for the same name; without a clipboard, from a table of the process.
unsigned RegisterClipboardFormatName(const std::string& name);

}  // namespace tallow::platform
