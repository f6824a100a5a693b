// Classic in-memory dialog templates (DLGTEMPLATE followed by DLGITEMTEMPLATE
// items, with the DS_SETFONT fields): one reader and one writer that every
// part of Tallow uses. No system call: the bytes are the published layout.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/dialog_styles.h"

namespace tallow::codec {

// A field that holds either a UTF-16 name (NUL-terminated in the bytes) or
// an ordinal (0xFFFF followed by the 16-bit number). An empty name with
// isOrdinal false is the single 0x0000 unit ("none").
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::u16string name;

    static NameOrOrdinal Named(std::u16string text) { return {false, 0, std::move(text)}; }
    static NameOrOrdinal Number(uint16_t value) { return {true, value, {}}; }
    bool operator==(const NameOrOrdinal&) const = default;
};

// One DLGITEMTEMPLATE, fields in the order of the bytes.
struct DialogItem {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    NameOrOrdinal windowClass;  // "BUTTON", ... or an ordinal (0x80 button ... 0x85 combo box)
    NameOrOrdinal title;
    std::vector<uint8_t> creationData;  // the bytes after the 16-bit size
    bool operator==(const DialogItem&) const = default;
};

// One DLGTEMPLATE and its items. pointSize and typeface are present in the
// bytes only when style has DS_SETFONT.
struct DialogTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    uint16_t pointSize = 0;
    std::u16string typeface;
    std::vector<DialogItem> items;
    bool operator==(const DialogTemplate&) const = default;
};

// Reads a template from bytes, checking every field against the end of the
// bytes: false (and out untouched in part) when a field, a string without
// its terminating zero, or an item runs past them. Bytes after the last item
// are allowed (padding).
bool ReadDialogTemplate(std::span<const uint8_t> bytes, DialogTemplate& out);

// The template's bytes: the header, then each item aligned to 4 bytes from
// the start of the template, as the system expects.
std::vector<uint8_t> WriteDialogTemplate(const DialogTemplate& dialog);

// 8-bit text to and from the UTF-16 of a template: each byte zero-extended,
// and back the low byte of each unit (the engine's strings are 8-bit).
std::u16string WidenBytes(std::string_view text);
std::string NarrowUnits(std::u16string_view text);

}  // namespace tallow::codec
