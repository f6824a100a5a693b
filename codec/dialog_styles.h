// The published style bits of dialog templates (the WS_, DS_, BS_, ES_, SS_,
// LBS_ and CBS_ values of the Windows headers) that Tallow reads and writes,
// defined once: the engine, the platform's dialog model, the GTK module,
// the IDE and the tools take them from here and none from the system.
#pragma once

#include <cstdint>

namespace tallow::codec {

// Window styles.
constexpr uint32_t kWsPopup = 0x80000000;
constexpr uint32_t kWsChild = 0x40000000;
constexpr uint32_t kWsVisible = 0x10000000;
constexpr uint32_t kWsCaption = 0x00C00000;
constexpr uint32_t kWsBorder = 0x00800000;
constexpr uint32_t kWsVScroll = 0x00200000;
constexpr uint32_t kWsSysMenu = 0x00080000;
constexpr uint32_t kWsGroup = 0x00020000;
constexpr uint32_t kWsTabStop = 0x00010000;
constexpr uint32_t kWsMinimizeBox = 0x00020000;  // on a dialog, where WS_GROUP means nothing
constexpr uint32_t kWsMaximizeBox = 0x00010000;  // on a dialog, where WS_TABSTOP means nothing

// Dialog styles. DS_SETFONT: the header carries a point size and a typeface.
constexpr uint32_t kDsSetFont = 0x40;

// Button styles: the kind in the low four bits, then the flags.
constexpr uint32_t kBsPushButton = 0x0;
constexpr uint32_t kBsDefPushButton = 0x1;
constexpr uint32_t kBsCheckBox = 0x2;
constexpr uint32_t kBsAutoCheckBox = 0x3;
constexpr uint32_t kBsRadioButton = 0x4;
constexpr uint32_t kBs3State = 0x5;
constexpr uint32_t kBsAuto3State = 0x6;
constexpr uint32_t kBsGroupBox = 0x7;
constexpr uint32_t kBsAutoRadioButton = 0x9;
constexpr uint32_t kBsTypeMask = 0xF;
constexpr uint32_t kBsLeftText = 0x20;

// Edit styles.
constexpr uint32_t kEsCenter = 0x1;
constexpr uint32_t kEsRight = 0x2;
constexpr uint32_t kEsMultiline = 0x4;
constexpr uint32_t kEsUpperCase = 0x8;
constexpr uint32_t kEsLowerCase = 0x10;
constexpr uint32_t kEsPassword = 0x20;
constexpr uint32_t kEsAutoHScroll = 0x80;
constexpr uint32_t kEsReadOnly = 0x800;
constexpr uint32_t kEsWantReturn = 0x1000;

// Static styles: the alignment of the text kinds (left is 0).
constexpr uint32_t kSsCenter = 0x1;
constexpr uint32_t kSsRight = 0x2;
constexpr uint32_t kSsAlignMask = kSsCenter | kSsRight;

// List box styles.
constexpr uint32_t kLbsSort = 0x2;
constexpr uint32_t kLbsMultipleSel = 0x8;
constexpr uint32_t kLbsNoIntegralHeight = 0x100;
constexpr uint32_t kLbsExtendedSel = 0x800;
constexpr uint32_t kLbsDisableNoScroll = 0x1000;

// Combo box styles: the kind in the low two bits, then the flags.
constexpr uint32_t kCbsSimple = 0x1;
constexpr uint32_t kCbsDropDown = 0x2;
constexpr uint32_t kCbsDropDownList = 0x3;
constexpr uint32_t kCbsTypeMask = 0x3;
constexpr uint32_t kCbsSort = 0x100;
constexpr uint32_t kCbsNoIntegralHeight = 0x400;
constexpr uint32_t kCbsDisableNoScroll = 0x800;

}  // namespace tallow::codec
