#include "ide/model/editor_repaint.h"

#include <algorithm>

namespace tallow::ide {

EditorSnapshot TakeSnapshot(const ProgrammerModel& editor) {
    EditorSnapshot s;
    s.cursorLine = editor.CursorLine();
    s.topLine = editor.TopLine();
    s.leftCol = editor.LeftCol();
    s.lineCount = editor.LineCount();
    s.hasSelection = editor.HasSelection();
    s.anchor = editor.Anchor();
    s.selection = editor.Selection();
    return s;
}

RepaintRange LinesToRepaint(const EditorSnapshot& before, const EditorSnapshot& after) {
    RepaintRange range;
    if (before.topLine != after.topLine || before.leftCol != after.leftCol) {
        range.wholeView = true;
        return range;
    }
    auto add = [&](int from, int to) {
        if (range.last < range.first) {
            range.first = from;
            range.last = to;
        } else {
            range.first = std::min(range.first, from);
            range.last = std::max(range.last, to);
        }
    };
    add(std::min(before.cursorLine, after.cursorLine), std::max(before.cursorLine, after.cursorLine));
    // A selection growing or shrinking from the same anchor changed only
    // between its moving ends, which are the cursor lines added above.
    bool sameAnchor = before.hasSelection && after.hasSelection && before.anchor == after.anchor;
    if (!sameAnchor) {
        if (before.hasSelection) add(before.selection.start.line, before.selection.end.line);
        if (after.hasSelection) add(after.selection.start.line, after.selection.end.line);
    }
    if (before.lineCount != after.lineCount) range.last = RepaintRange::kToLastLine;
    return range;
}

}  // namespace tallow::ide
