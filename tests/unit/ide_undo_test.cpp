// Undo and Redo in the code editor (typing, deleting, the clipboard,
// Replace All) and on the designer surface (adding, moving, sizing,
// nudging, properties, pasting, deleting).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/control_tool.h"
#include "ide/model/drawer.h"
#include "ide/model/editor_keys.h"
#include "ide/model/main_form_model.h"
#include "ide/model/tool_factory.h"
#include "tests/unit/fake_document_host.h"

namespace tallow::ide {
namespace {

class Clipboard : public ProgrammerWatcher, public DrawerWatcher {
public:
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    bool GetClipboardText(std::string& text) override {
        text = clipboard;
        return !clipboard.empty();
    }
    bool EditProperties(TTool& tool) override {
        if (!confirm) return false;
        static_cast<TTextTool&>(tool).caption = "changed";
        return true;
    }
    std::string clipboard;
    bool confirm = true;
};

class EditorUndo : public ::testing::Test {
protected:
    void Type(std::string_view text) {
        for (char c : text)
            HandleChar(e, static_cast<unsigned char>(c));
    }
    Clipboard clipboard;
    ProgrammerModel e{&clipboard};
};

TEST_F(EditorUndo, ARunOfTypingOrDeletingIsOneStepUntilTheCursorMoves) {
    e.SetText("x = 1");
    e.SetCursor(0, 5);
    Type("23");
    HandleKey(e, EditorKey::Enter, kNoModifier);
    Type("y");  // typing and Enter run on together
    EXPECT_EQ(e.GetText(), "x = 123\r\ny\r\n");
    HandleKey(e, EditorKey::Backspace, kNoModifier);
    HandleKey(e, EditorKey::Backspace, kNoModifier);  // joins the lines: still the same run
    EXPECT_EQ(e.GetText(), "x = 123\r\n");
    e.MoveLeft(false);
    Type("!");
    EXPECT_EQ(e.GetText(), "x = 12!3\r\n");

    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.GetText(), "x = 123\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 6}));
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.GetText(), "x = 123\r\ny\r\n");
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.GetText(), "x = 1\r\n");
    EXPECT_EQ(e.Cursor(), (TextPosition{0, 5}));
    EXPECT_FALSE(e.Undo());

    ASSERT_TRUE(e.Redo());
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(e.GetText(), "x = 123\r\n");
    EXPECT_TRUE(e.Modified());
    // A new edit forgets what could be redone.
    Type("z");
    EXPECT_FALSE(e.Redo());
}

TEST_F(EditorUndo, PasteCutDeleteLineAndAReplacedSelectionAreStepsOfTheirOwn) {
    e.SetText("one two");
    e.SetCursor(0, 7);
    clipboard.clipboard = " three";
    HandleKey(e, EditorKey::Insert, kShift);  // paste
    e.Select({0, 0}, {0, 4});
    HandleKey(e, EditorKey::Delete, kShift);  // cut
    EXPECT_EQ(e.GetText(), "two three\r\n");
    e.Select({0, 0}, {0, 3});
    Type("2");  // replaces the selection: one step, then typing runs on
    Type("2");
    EXPECT_EQ(e.GetText(), "22 three\r\n");
    HandleKey(e, EditorKey::Y, kCtrl);
    EXPECT_EQ(e.GetText(), "");

    std::vector<std::string> seen;
    while (e.Undo())
        seen.push_back(e.GetText());
    EXPECT_EQ(seen, (std::vector<std::string>{"22 three\r\n", "two three\r\n", "one two three\r\n",
                                              "one two\r\n"}));
    // A key that changes nothing leaves no step behind.
    e.SetCursor(0, 0);
    HandleKey(e, EditorKey::Backspace, kNoModifier);
    EXPECT_EQ(e.GetText(), "one two\r\n");
    EXPECT_FALSE(e.Undo());
}

TEST(MainFormUndo, ReplaceAllIsOneStepAndANewDocumentHasNone) {
    FakeDocumentHost host;
    MainFormModel form(host);
    ProgrammerModel& editor = form.Editor();
    EXPECT_FALSE(editor.CanUndo());
    editor.SetText("a a a\r\na");
    EXPECT_EQ(form.ReplaceAll("a", "bb", true), 4);
    EXPECT_EQ(editor.GetText(), "bb bb bb\r\nbb\r\n");
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(editor.GetText(), "a a a\r\na\r\n");
    EXPECT_FALSE(editor.Undo());
    EXPECT_TRUE(editor.Redo());
    form.OnClear();
    EXPECT_FALSE(editor.CanUndo());
}

class DesignerUndo : public ::testing::Test {
protected:
    void SetUp() override {
        auto& frame = static_cast<TControlTool&>(CreateTool(drawer.Tools(), ToolCode::Dialog));
        frame.SetRect({0, 0, 300, 200});
        frame.caption = "Dialog";
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i < drawer.Tools().Count(); ++i)
            captions.push_back(static_cast<TTextTool*>(drawer.Tools().At(i))->caption);
        return captions;
    }
    ToolRect RectAt(int i) { return static_cast<TRectTool*>(drawer.Tools().At(i))->Rect(); }

    Clipboard watcher;
    PasteCascade cascade;
    TDrawer drawer{&watcher, cascade};
};

TEST_F(DesignerUndo, APlacementIsOneStepAndEscapeLeavesNone) {
    drawer.AddForPlacement(ToolCode::Button, 75, 25);
    drawer.PointerUp({100, 50}, kNoModifier);
    drawer.AddForPlacement(ToolCode::Static, 180, 17);
    drawer.PointerUp({100, 100}, kNoModifier);
    // Escape while the new control follows the pointer: it goes, and Undo
    // then takes back the control before it.
    drawer.AddForPlacement(ToolCode::TextBox, 180, 20, {40, 40});
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Escape, kNoModifier));
    EXPECT_EQ(drawer.Tools().Count(), 3);
    ASSERT_TRUE(drawer.Undo());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Dialog", "Button 1"}));
    ASSERT_TRUE(drawer.Redo());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Dialog", "Button 1", "Static 1"}));
    EXPECT_FALSE(drawer.Redo());
}

TEST_F(DesignerUndo, EveryChangeOfTheToolsIsAStepAndNudgesRunTogether) {
    TTool& added = drawer.AddForPlacement(ToolCode::Button, 40, 20);
    drawer.PointerUp({100, 50}, kNoModifier);
    ToolRect placed = RectAt(1);
    (void)added;
    // A drag of the bottom-right handle.
    drawer.SelectTool(drawer.Tools().At(1));
    drawer.PointerDown({placed.right, placed.bottom}, kNoModifier);
    drawer.PointerUp({placed.right + 20, placed.bottom + 10}, kShift);
    ToolRect resized = RectAt(1);
    EXPECT_EQ(resized.right, placed.right + 20);
    // Three nudges, one step.
    for (int i = 0; i < 3; ++i)
        drawer.KeyDown(DrawerKey::Right, kCtrl);
    ToolRect nudged = RectAt(1);
    EXPECT_EQ(nudged.left, resized.left + 3);
    // Properties, paste, delete.
    drawer.DoubleClick();
    EXPECT_EQ(Captions()[1], "changed");
    watcher.confirm = false;
    drawer.SelectTool(drawer.Tools().At(1));
    drawer.DoubleClick();  // cancelled: no step
    drawer.CopyTool(drawer.Tools().At(1));
    drawer.PasteTool();
    EXPECT_EQ(drawer.Tools().Count(), 3);
    EXPECT_TRUE(drawer.DeleteTool(drawer.Selected()));
    drawer.Tools().SetModified(false);

    ASSERT_TRUE(drawer.Undo());  // the deletion
    EXPECT_EQ(drawer.Tools().Count(), 3);
    EXPECT_TRUE(drawer.Tools().Modified());
    ASSERT_TRUE(drawer.Undo());  // the paste
    EXPECT_EQ(drawer.Tools().Count(), 2);
    ASSERT_TRUE(drawer.Undo());  // the properties
    EXPECT_EQ(Captions()[1], "Button 1");
    ASSERT_TRUE(drawer.Undo());  // the nudges
    EXPECT_EQ(RectAt(1), resized);
    ASSERT_TRUE(drawer.Undo());  // the resize
    EXPECT_EQ(RectAt(1), placed);
    ASSERT_TRUE(drawer.Undo());  // the adding
    EXPECT_EQ(drawer.Tools().Count(), 1);
    EXPECT_EQ(drawer.Tools().DialogTool(), drawer.Tools().At(0));
    EXPECT_FALSE(drawer.Undo());

    ASSERT_TRUE(drawer.Redo());
    ASSERT_TRUE(drawer.Redo());
    EXPECT_EQ(RectAt(1), resized);
    // The restored tools keep their IDs and the frame.
    EXPECT_EQ(static_cast<TControlTool*>(drawer.Tools().At(1))->childId, 101);
    drawer.ForgetUndo();
    EXPECT_FALSE(drawer.CanUndo());
}

}  // namespace
}  // namespace tallow::ide
