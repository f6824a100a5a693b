// The control statements of dialog scripts and the styles each implies, as
// the resource compiler applies them: one table that the reader and the
// writer share.
#pragma once

#include <cstdint>
#include <string_view>

#include "codec/dialog_styles.h"

namespace tallow::codec {

// A dialog without a STYLE statement.
constexpr uint32_t kDefaultDialogStyle = kWsPopup | kWsBorder | kWsSysMenu;

// One statement such as PUSHBUTTON. Without a style argument the control
// gets defaultStyle; with one, the argument's terms start from baseStyle
// (each | adds bits, each NOT removes them). WS_CHILD | WS_VISIBLE are in
// both. typeMask and typeValue say which styles the writer may spell with
// this statement.
struct ControlStatement {
    std::string_view keyword;
    uint16_t classOrdinal;  // 0x80 button, 0x81 edit, 0x82 static, 0x83 list box, 0x85 combo box
    bool hasText;           // the statement starts with the control's text
    uint32_t typeMask;
    uint32_t typeValue;
    uint32_t defaultStyle;
    uint32_t baseStyle;
};

constexpr uint32_t kControl = kWsChild | kWsVisible;

constexpr ControlStatement kControlStatements[] = {
    {"PUSHBUTTON", 0x80, true, 0xF, 0x0, kControl | 0x00010000, kControl | 0x00010000},
    {"DEFPUSHBUTTON", 0x80, true, 0xF, 0x1, kControl | 0x00010001, kControl | 0x00010001},
    {"CHECKBOX", 0x80, true, 0xF, 0x2, kControl | 0x00010002, kControl | 0x00010002},
    {"AUTOCHECKBOX", 0x80, true, 0xF, 0x3, kControl | 0x00010003, kControl | 0x00010003},
    {"RADIOBUTTON", 0x80, true, 0xF, 0x4, kControl | 0x00010004, kControl | 0x00000004},
    {"GROUPBOX", 0x80, true, 0xF, 0x7, kControl | 0x00000007, kControl | 0x00000007},
    {"AUTORADIOBUTTON", 0x80, true, 0xF, 0x9, kControl | 0x00010009, kControl | 0x00000009},
    {"LTEXT", 0x82, true, 0x1F, 0x0, kControl | 0x00020000, kControl | 0x00000000},
    {"CTEXT", 0x82, true, 0x1F, 0x1, kControl | 0x00020001, kControl | 0x00000001},
    {"RTEXT", 0x82, true, 0x1F, 0x2, kControl | 0x00020002, kControl | 0x00000002},
    {"EDITTEXT", 0x81, false, 0, 0, kControl | 0x00810000, kControl | 0x00810000},
    {"LISTBOX", 0x83, false, 0, 0, kControl | 0x00800001, kControl | 0x00800001},
    {"COMBOBOX", 0x85, false, 0, 0, kControl | 0x00010001, kControl | 0x00000000},
};

}  // namespace tallow::codec
