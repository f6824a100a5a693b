// The tools' property dialogs (ShowToolProperties in ide_dialogs.h): the ids
// of their controls, for whoever drives them from outside (the GUI tests).
#pragma once

#include "ide/win32/ide_dialogs.h"

namespace tallow::ide::win32 {

// The control form. The option controls of the visible page have the ids
// kFirstOptionId + their index in StyleOptionsOf(page).
inline constexpr int kWindowTextField = 101;
inline constexpr int kChildIdLabel = 102;
inline constexpr int kChildIdField = 103;  // its up-down is 104
inline constexpr int kPageTabs = 105;
inline constexpr int kOkShortcutButton = 106;
inline constexpr int kCancelShortcutButton = 107;
inline constexpr int kFirstOptionId = 120;

// "Drawing Canvas", pen and brush.
inline constexpr int kPenWidthField = 201;  // its up-down is 202
inline constexpr int kPenColorButton = 203;
inline constexpr int kPenColorSwatch = 204;
inline constexpr int kBrushColorButton = 205;
inline constexpr int kBrushColorSwatch = 206;
inline constexpr int kTransparentCheck = 207;

// "Paragraph Text".
inline constexpr int kParagraphField = 301;
inline constexpr int kCanvasButton = 302;
inline constexpr int kFontButton = 303;

// "Drawing Canvas", the font settings.
inline constexpr int kTextTypeList = 401;
inline constexpr int kTextStyleList = 402;
inline constexpr int kTextSizeField = 403;  // its up-down is 404
inline constexpr int kTextAlignList = 405;

}  // namespace tallow::ide::win32
