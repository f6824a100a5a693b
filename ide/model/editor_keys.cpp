// The key table and the commands it names.
#include "ide/model/editor_keys.h"

#include <array>

namespace tallow::ide {

namespace {

using enum EditorKey;
using C = EditorCommand;

// Navigation keys appear twice: with Shift they extend the selection.
constexpr KeyBinding kKeyTable[] = {
    {Insert, kCtrl, C::Copy},
    {Insert, kShift, C::Paste},
    {Delete, kNoModifier, C::Delete},
    {Delete, kShift, C::Cut},
    {Backspace, kNoModifier, C::Backspace},
    {Enter, kNoModifier, C::Enter},
    {Tab, kNoModifier, C::Tab},
    {Y, kCtrl, C::DeleteLine},
    {Left, kNoModifier, C::Left},
    {Left, kShift, C::Left},
    {Right, kNoModifier, C::Right},
    {Right, kShift, C::Right},
    {Left, kCtrl, C::WordLeft},
    {Left, kCtrl | kShift, C::WordLeft},
    {Right, kCtrl, C::WordRight},
    {Right, kCtrl | kShift, C::WordRight},
    {Up, kNoModifier, C::Up},
    {Up, kShift, C::Up},
    {Down, kNoModifier, C::Down},
    {Down, kShift, C::Down},
    {Home, kNoModifier, C::Home},
    {Home, kShift, C::Home},
    {Home, kCtrl, C::DocumentHome},
    {Home, kCtrl | kShift, C::DocumentHome},
    {End, kNoModifier, C::End},
    {End, kShift, C::End},
    {End, kCtrl, C::DocumentEnd},
    {End, kCtrl | kShift, C::DocumentEnd},
    {PageUp, kNoModifier, C::PageUp},
    {PageUp, kShift, C::PageUp},
    {PageDown, kNoModifier, C::PageDown},
    {PageDown, kShift, C::PageDown},
};

using Handler = void (*)(ProgrammerModel&, bool extend);

void DeleteOrChar(ProgrammerModel& e, bool copy) {
    if (e.HasSelection()) return e.DeleteSelection(copy);
    e.DeleteChar(e.CursorLine(), e.CursorCol(), false);
}

void ReplaceSelectionFirst(ProgrammerModel& e) {
    if (e.HasSelection()) e.DeleteSelection(false);
}

// In the order of EditorCommand.
constexpr Handler kHandlers[] = {
    [](ProgrammerModel& e, bool) { e.CopyToClipboard(); },
    [](ProgrammerModel& e, bool) { e.PasteFromClipboard(); },
    [](ProgrammerModel& e, bool) { DeleteOrChar(e, false); },
    [](ProgrammerModel& e, bool) { DeleteOrChar(e, true); },
    [](ProgrammerModel& e, bool) {
        if (e.HasSelection()) return e.DeleteSelection(false);
        e.DeleteChar(e.CursorLine(), e.CursorCol() - 1, true);
    },
    [](ProgrammerModel& e, bool) {
        ReplaceSelectionFirst(e);
        e.SplitLine(e.CursorLine(), e.CursorCol(), true);
    },
    [](ProgrammerModel& e, bool) { HandleChar(e, '\t'); },
    [](ProgrammerModel& e, bool) { e.DeleteCursorLine(); },
    [](ProgrammerModel& e, bool x) { e.MoveLeft(x); },
    [](ProgrammerModel& e, bool x) { e.MoveRight(x); },
    [](ProgrammerModel& e, bool x) { e.MoveWordLeft(x); },
    [](ProgrammerModel& e, bool x) { e.MoveWordRight(x); },
    [](ProgrammerModel& e, bool x) { e.MoveUp(x); },
    [](ProgrammerModel& e, bool x) { e.MoveDown(x); },
    [](ProgrammerModel& e, bool x) { e.MoveHome(x); },
    [](ProgrammerModel& e, bool x) { e.MoveDocumentHome(x); },
    [](ProgrammerModel& e, bool x) { e.MoveEnd(x); },
    [](ProgrammerModel& e, bool x) { e.MoveDocumentEnd(x); },
    [](ProgrammerModel& e, bool x) { e.PageUp(x); },
    [](ProgrammerModel& e, bool x) { e.PageDown(x); },
};
static_assert(std::size(kHandlers) == static_cast<size_t>(EditorCommand::kCount));

// How each command counts for Undo, in the order of EditorCommand: not at
// all (a movement, a copy), or a change that runs on with its own kind.
enum class Edit : uint8_t { kNone, kStep, kTyping, kDeleting };
constexpr Edit kEdits[] = {
    Edit::kNone, Edit::kStep, Edit::kDeleting, Edit::kStep, Edit::kDeleting, Edit::kTyping, Edit::kTyping,
    Edit::kStep, Edit::kNone, Edit::kNone,     Edit::kNone, Edit::kNone,     Edit::kNone,   Edit::kNone,
    Edit::kNone, Edit::kNone, Edit::kNone,     Edit::kNone, Edit::kNone,     Edit::kNone,
};
static_assert(std::size(kEdits) == static_cast<size_t>(EditorCommand::kCount));

// Replacing a selection starts a step: typing goes on in it, a delete ends it.
void BeginEdit(ProgrammerModel& e, Edit edit) {
    if (edit == Edit::kNone) return;
    UndoRun run = edit == Edit::kTyping     ? UndoRun::kTyping
                  : edit == Edit::kDeleting ? UndoRun::kDeleting
                                            : UndoRun::kNoRun;
    if (!e.HasSelection()) return e.BeginEdit(run);
    e.BeginEdit(run == UndoRun::kTyping ? run : UndoRun::kNoRun, true);
}

}  // namespace

std::optional<EditorCommand> FindKeyCommand(EditorKey key, unsigned modifiers) {
    for (const KeyBinding& b : kKeyTable) {
        if (b.key == key && b.modifiers == modifiers) return b.command;
    }
    return std::nullopt;
}

bool HandleKey(ProgrammerModel& editor, EditorKey key, unsigned modifiers) {
    std::optional<EditorCommand> command = FindKeyCommand(key, modifiers);
    if (!command || editor.readOnly) return false;
    BeginEdit(editor, kEdits[static_cast<size_t>(*command)]);
    kHandlers[static_cast<size_t>(*command)](editor, (modifiers & kShift) != 0);
    return true;
}

bool HandleChar(ProgrammerModel& editor, unsigned char ch) {
    if (editor.readOnly || (ch < 32 && ch != '\t')) return false;
    BeginEdit(editor, Edit::kTyping);
    ReplaceSelectionFirst(editor);
    editor.InsertChar(ch, editor.CursorLine(), editor.CursorCol());
    return true;
}

}  // namespace tallow::ide
