// The code editor's keys: which key with which modifiers runs which command.
// The window maps its key codes to EditorKey; characters arrive separately.
#pragma once

#include <cstdint>
#include <optional>

#include "ide/model/programmer_model.h"

namespace tallow::ide {

enum class EditorKey : uint8_t {
    Insert,
    Delete,
    Backspace,
    Enter,
    Tab,
    Y,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
};

// Modifier bits; a key matches only with exactly its modifiers held.
enum : unsigned { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

enum class EditorCommand : uint8_t {
    Copy,
    Paste,
    Delete,
    Cut,
    Backspace,
    Enter,
    Tab,
    DeleteLine,
    Left,
    Right,
    WordLeft,
    WordRight,
    Up,
    Down,
    Home,
    DocumentHome,
    End,
    DocumentEnd,
    PageUp,
    PageDown,
    kCount
};

struct KeyBinding {
    EditorKey key;
    unsigned modifiers;
    EditorCommand command;
};

// The command for a key, or none when the editor does not use it.
std::optional<EditorCommand> FindKeyCommand(EditorKey key, unsigned modifiers);

// Runs the key's command; false when the key has none or the editor is
// read-only (no key acts then, navigation included).
bool HandleKey(ProgrammerModel& editor, EditorKey key, unsigned modifiers);

// A typed character: 32-255 and Tab replace the selection and are inserted.
bool HandleChar(ProgrammerModel& editor, unsigned char ch);

}  // namespace tallow::ide
