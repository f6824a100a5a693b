// Which lines the code editor's window repaints after a command, decided
// from the model's state before and after it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ide/model/editor_keys.h"
#include "ide/model/editor_repaint.h"

namespace tallow::ide {
namespace {

// 20 lines in a view of 10 lines by 40 columns.
class Repaint : public ::testing::Test {
protected:
    Repaint() {
        e.SetCellSize(8, 13);
        e.SetClientSize(40 * 8, 10 * 13);
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        e.SetText(text);
    }
    RepaintRange After(const std::function<void()>& command) {
        EditorSnapshot before = TakeSnapshot(e);
        command();
        return LinesToRepaint(before, TakeSnapshot(e));
    }
    static bool Lines(const RepaintRange& r, int first, int last) {
        return !r.wholeView && r.first == first && r.last == last;
    }
    void Key(EditorKey key, unsigned modifiers = kNoModifier) { HandleKey(e, key, modifiers); }

    ProgrammerModel e;
};

TEST_F(Repaint, EditsAndMovesTouchTheCursorLinesOnly) {
    e.SetCursor(4, 2);
    EXPECT_TRUE(Lines(After([&] { HandleChar(e, 'x'); }), 4, 4));
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Down); }), 4, 5));
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Delete); }), 5, 5));
    // Nothing moved and nothing changed: the cursor line still counts, it
    // is cheap and a refused edit may have trimmed it.
    EXPECT_TRUE(Lines(After([] {}), 5, 5));
}

TEST_F(Repaint, AGrowingSelectionRepaintsBetweenItsOldAndNewEnd) {
    e.SetCursor(1, 0);
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Down, kShift); }), 1, 2));
    Key(EditorKey::Down, kShift);
    Key(EditorKey::Down, kShift);
    // The anchor stays on line 1: line 1 ... 3 keep their painting.
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Down, kShift); }), 4, 5));
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Up, kShift); }), 4, 5));
    // Back onto the anchor the selection is empty and vanishes: all of it.
    EXPECT_TRUE(Lines(After([&] { e.MoveTo(1, 0, true); }), 1, 4));
}

TEST_F(Repaint, ClearingOrReplacingASelectionRepaintsAllOfIt) {
    e.Select({2, 1}, {6, 3});
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Left); }), 2, 6));
    e.Select({7, 3}, {3, 1});
    EXPECT_TRUE(Lines(After([&] { e.MouseDown(0, 0); }), 0, 7));
    // A new anchor elsewhere: the old selection and the new one.
    e.Select({1, 0}, {2, 0});
    EXPECT_TRUE(Lines(After([&] { e.Select({5, 0}, {6, 0}); }), 1, 6));
}

TEST_F(Repaint, ALineAddedOrRemovedRepaintsDownToTheEnd) {
    e.SetCursor(3, 2);
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Enter); }), 3, RepaintRange::kToLastLine));
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Y, kCtrl); }), 4, RepaintRange::kToLastLine));
    e.SetCursor(4, 0);
    EXPECT_TRUE(Lines(After([&] { Key(EditorKey::Backspace); }), 3, RepaintRange::kToLastLine));
    // A selection over several lines deleted by a typed character.
    e.Select({5, 2}, {8, 1});
    EXPECT_TRUE(Lines(After([&] { HandleChar(e, 'z'); }), 5, RepaintRange::kToLastLine));
}

TEST_F(Repaint, AScrolledViewRepaintsWhole) {
    EXPECT_TRUE(After([&] { e.Scroll(ScrollAction::LineDown); }).wholeView);
    EXPECT_TRUE(After([&] { Key(EditorKey::PageDown); }).wholeView);
    e.SetCursor(12, 0);
    EXPECT_TRUE(After([&] { e.SetCursorCol(60); }).wholeView);  // scrolled sideways
    EXPECT_FALSE(After([&] { e.SetCursorCol(50); }).wholeView);
}

}  // namespace
}  // namespace tallow::ide
