// Which lines of the code editor a command changed on screen: the window
// takes a snapshot of the model before a key, character or mouse command,
// another after it, and repaints only what differs.
#pragma once

#include <climits>

#include "ide/model/programmer_model.h"

namespace tallow::ide {

// What the painted picture of an editor depends on, apart from the text of
// the lines a command edits (those are always the cursor's or the selection's).
struct EditorSnapshot {
    int cursorLine = 0;
    int topLine = 0;
    int leftCol = 0;
    int lineCount = 0;
    bool hasSelection = false;  // a non-empty selection is painted
    TextPosition anchor;
    SelectionBounds selection;
};

EditorSnapshot TakeSnapshot(const ProgrammerModel& editor);

// Text lines first ... last to repaint (last is kToLastLine for "every line
// from first down"), or the whole view when it scrolled.
struct RepaintRange {
    static constexpr int kToLastLine = INT_MAX;
    bool wholeView = false;
    int first = 0;
    int last = -1;
    bool Empty() const { return !wholeView && last < first; }
};

// The old and the new cursor line (an edit changes the one, leaving a line
// trims its blanks); while the anchor stays, the lines between the old and
// the new moving end of the selection, otherwise both selections whole; from
// the first of these down when the line count changed.
RepaintRange LinesToRepaint(const EditorSnapshot& before, const EditorSnapshot& after);

}  // namespace tallow::ide
