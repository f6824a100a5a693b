// The designer's surface without a window: snapping, selection stepping,
// order, deletion, drags and nudges, the clipboard's cascade, and a seeded
// long run of random edits that checks the list's invariants.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ide/model/control_tool.h"
#include "ide/model/drawer.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {
namespace {

class Recorder : public DrawerWatcher {
public:
    void OnSelectChange(TTool* tool) override { selections.push_back(tool); }
    void OnHelp() override { ++helps; }
    bool EditProperties(TTool&) override { return confirm; }
    void SetClipboardText(const std::string& text) override { clipboard = text, hasClipboard = true; }
    bool GetClipboardText(std::string& text) override {
        text = clipboard;
        return hasClipboard;
    }
    void MovePointerTo(ToolPoint p) override { pointer = p; }
    std::vector<TTool*> selections;
    int helps = 0;
    bool confirm = true;
    std::string clipboard;
    bool hasClipboard = false;
    ToolPoint pointer;
};

class DrawerTest : public ::testing::Test {
protected:
    TControlTool& Add(ToolCode code, ToolRect rect) {
        auto& tool = static_cast<TControlTool&>(CreateTool(drawer.Tools(), code));
        tool.SetRect(rect);
        return tool;
    }
    void SetUp() override { dialog = &Add(ToolCode::Dialog, {0, 0, 200, 100}); }

    Recorder watcher;
    PasteCascade cascade;
    TDrawer drawer{&watcher, cascade};
    TControlTool* dialog = nullptr;
};

TEST(DrawerSnap, PlainAndRelative) {
    EXPECT_EQ(SnapPlain(5, 4), 4);
    EXPECT_EQ(SnapPlain(6, 4), 8);
    EXPECT_EQ(SnapPlain(7, 5), 5);
    EXPECT_EQ(SnapPlain(8, 5), 10);  // half goes up
    EXPECT_EQ(SnapPlain(-3, 4), 0);
    EXPECT_EQ(SnapPlain(9, 0), 9);  // no step is a step of 1
    EXPECT_EQ(SnapRelative(9, 5, 3), 8);
    EXPECT_EQ(SnapRelative(11, 5, 3), 13);
    EXPECT_EQ(SnapRelative(3, 5, 23), 3);
}

TEST_F(DrawerTest, SelectionStepping) {
    TControlTool& a = Add(ToolCode::Button, {10, 10, 50, 30});
    TControlTool& b = Add(ToolCode::Button, {60, 10, 90, 30});
    drawer.KeyDown(DrawerKey::Tab, kNoModifier);
    EXPECT_EQ(drawer.Selected(), dialog);
    drawer.KeyDown(DrawerKey::End, kNoModifier);
    EXPECT_EQ(drawer.Selected(), &b);
    drawer.KeyDown(DrawerKey::Tab, kNoModifier);  // past the last: the dialog tool
    EXPECT_EQ(drawer.Selected(), dialog);
    drawer.KeyDown(DrawerKey::Tab, kShift);  // before the first: the last
    EXPECT_EQ(drawer.Selected(), &b);
    drawer.KeyDown(DrawerKey::Tab, kShift);
    EXPECT_EQ(drawer.Selected(), &a);
    drawer.Cancel();
    drawer.SelectPrevious();
    EXPECT_EQ(drawer.Selected(), &b);
    size_t changes = watcher.selections.size();
    drawer.SelectTool(&b);  // unchanged: no event
    EXPECT_EQ(watcher.selections.size(), changes);
    drawer.KeyDown(DrawerKey::F1, kNoModifier);
    EXPECT_EQ(watcher.helps, 1);

    TDrawer empty(nullptr, cascade);
    empty.SelectNext();
    empty.SelectLast();
    EXPECT_EQ(empty.Selected(), nullptr);
}

TEST_F(DrawerTest, OrderDeletionAndTabNumbers) {
    TControlTool& a = Add(ToolCode::Button, {10, 10, 50, 30});
    TControlTool& b = Add(ToolCode::TextBox, {60, 10, 90, 30});
    EXPECT_FALSE(drawer.MoveEarlier(&a));  // first control after the dialog
    EXPECT_FALSE(drawer.MoveLater(&b));    // last tool
    EXPECT_FALSE(drawer.MoveLater(dialog));
    EXPECT_FALSE(drawer.MoveEarlier(dialog));
    drawer.SelectTool(&b);
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::PageUp, kNoModifier));
    EXPECT_EQ(drawer.Tools().At(1), &b);
    EXPECT_EQ(drawer.TabNumber(0), -1);
    EXPECT_EQ(drawer.TabNumber(1), 1);
    EXPECT_EQ(drawer.TabNumber(2), 2);

    EXPECT_FALSE(drawer.DeleteTool(dialog));
    EXPECT_FALSE(drawer.DeleteTool(nullptr));
    EXPECT_FALSE(drawer.CopyTool(dialog));
    EXPECT_FALSE(drawer.CutTool(dialog));
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Delete, kNoModifier));  // b goes; the previous is selected
    EXPECT_EQ(drawer.Selected(), dialog);
    EXPECT_EQ(drawer.Tools().Count(), 2);
    EXPECT_TRUE(drawer.Tools().Modified());

    drawer.ClearTools();
    EXPECT_EQ(drawer.Tools().Count(), 0);
    EXPECT_EQ(drawer.Selected(), nullptr);
    TTool& shape = CreateTool(drawer.Tools(), ToolCode::Rect);
    EXPECT_EQ(drawer.TabNumber(0), 1);  // no dialog tool: numbers from 1
    drawer.SelectTool(&shape);
    EXPECT_TRUE(drawer.DeleteTool(&shape));
    EXPECT_EQ(drawer.Selected(), nullptr);
}

TEST_F(DrawerTest, PressDragAndRelease) {
    TControlTool& under = Add(ToolCode::Button, {10, 10, 60, 40});
    TControlTool& over = Add(ToolCode::Button, {30, 20, 80, 50});
    drawer.PointerDown({40, 30}, kNoModifier);  // inside both: the later one
    EXPECT_EQ(drawer.Selected(), &over);
    drawer.PointerDown({15, 15}, kNoModifier);
    EXPECT_EQ(drawer.Selected(), &under);

    drawer.PointerDown({61, 41}, kNoModifier);  // the bottom-right handle, within 2 pixels
    ASSERT_TRUE(drawer.Dragging());
    EXPECT_EQ(drawer.DragHandle(), 8);
    EXPECT_EQ(drawer.DragStart(), (ToolPoint{60, 40}));
    EXPECT_FALSE(drawer.KeyDown(DrawerKey::Delete, kNoModifier));  // nothing else during a drag
    drawer.PointerMove({97, 43}, kNoModifier);
    EXPECT_EQ(drawer.DragCurrent(), (ToolPoint{95, 44}));
    EXPECT_EQ(drawer.DragOutline(), (ToolOutline{{10, 10}, {95, 44}}));
    drawer.PointerDown({0, 0}, kNoModifier);  // ignored during a drag
    drawer.Tools().SetModified(false);
    drawer.PointerUp({97, 43}, kNoModifier);
    EXPECT_FALSE(drawer.Dragging());
    EXPECT_EQ(under.Rect(), (ToolRect{10, 10, 95, 44}));
    EXPECT_TRUE(drawer.Tools().Modified());

    drawer.PointerDown({95, 44}, kNoModifier);
    drawer.PointerUp({3, 1}, kShift);  // past the top-left corner, not snapped
    EXPECT_EQ(under.Rect(), (ToolRect{3, 1, 10, 10}));

    drawer.PointerDown({6, 5}, kNoModifier);  // the centre handle
    EXPECT_EQ(drawer.DragHandle(), 4);
    drawer.KeyDown(DrawerKey::Escape, kNoModifier);  // ends the drag, keeps the selection
    EXPECT_FALSE(drawer.Dragging());
    EXPECT_EQ(drawer.Selected(), &under);
    drawer.PointerDown({500, 500}, kNoModifier);  // nothing there
    EXPECT_EQ(drawer.Selected(), nullptr);
}

TEST_F(DrawerTest, NudgesPlacementAndDoubleClick) {
    TControlTool& button = Add(ToolCode::Button, {10, 10, 50, 30});
    drawer.SelectTool(&button);
    EXPECT_FALSE(drawer.KeyDown(DrawerKey::Right, kNoModifier));
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Right, kCtrl));
    EXPECT_EQ(button.Rect(), (ToolRect{11, 10, 51, 30}));
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Down, kShift | kCtrl));  // Shift wins: taller
    EXPECT_EQ(button.Rect(), (ToolRect{11, 10, 51, 31}));
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Left, kShift));
    EXPECT_EQ(button.Rect(), (ToolRect{11, 10, 50, 31}));

    TControlTool& placed = Add(ToolCode::TextBox, {0, 0, 40, 20});
    drawer.StartPlacement(placed);
    EXPECT_EQ(drawer.Selected(), &placed);
    EXPECT_EQ(watcher.pointer, (ToolPoint{20, 10}));
    drawer.PointerUp({101, 51}, kNoModifier);  // the centre lands on the snapped point
    EXPECT_EQ(placed.Rect(), (ToolRect{80, 42, 120, 62}));

    drawer.SelectTool(&button);
    drawer.Tools().SetModified(false);
    drawer.DoubleClick();
    EXPECT_EQ(drawer.Selected(), nullptr);
    EXPECT_TRUE(drawer.Tools().Modified());
    watcher.confirm = false;
    drawer.SelectTool(&button);
    drawer.Tools().SetModified(false);
    drawer.DoubleClick();
    EXPECT_FALSE(drawer.Tools().Modified());
}

TEST_F(DrawerTest, PastedCopiesCascadeInsideTheDialog) {
    TControlTool& button = Add(ToolCode::Button, {100, 50, 150, 70});
    ASSERT_TRUE(drawer.CopyTool(&button));
    EXPECT_EQ(watcher.clipboard.substr(0, 6), "4.101;");
    // The dialog ends at (200, 100): steps of (5, 4) fit seven times below.
    const int expectedLeft[] = {105, 110, 115, 120, 125, 130, 135, 100, 105};
    for (int left : expectedLeft) {
        auto& copy = static_cast<TControlTool&>(drawer.PasteTool());
        EXPECT_EQ(copy.Rect().left, left);
        EXPECT_EQ(copy.Rect().top, 50 + (left - 100) * 4 / 5);
        EXPECT_EQ(copy.childId, 101);  // the copied ID
        EXPECT_EQ(drawer.Selected(), &copy);
    }
    ASSERT_TRUE(drawer.CutTool(&button));
    EXPECT_EQ(drawer.Tools().IndexOf(&button), -1);

    watcher.clipboard = "99.1;2;3";
    int count = drawer.Tools().Count();
    EXPECT_THROW(drawer.PasteTool(), ToolFormatError);
    watcher.hasClipboard = false;  // nothing on the clipboard
    EXPECT_THROW(drawer.PasteTool(), ToolFormatError);
    EXPECT_EQ(drawer.Tools().Count(), count);

    TDrawer other(nullptr, SharedPasteCascade());
    EXPECT_EQ(&SharedPasteCascade(), &SharedPasteCascade());
}

TEST_F(DrawerTest, SettingsAndPaintList) {
    drawer.SetSnap(0, 40);
    EXPECT_EQ(drawer.SnapX(), kMinSnap);
    EXPECT_EQ(drawer.SnapY(), kMaxSnap);
    drawer.Tools().SetModified(false);
    drawer.SetColor(0x00FF0000);
    EXPECT_TRUE(drawer.Tools().Modified());
    TControlTool& far = Add(ToolCode::Button, {300, 300, 320, 320});
    std::vector<TTool*> painted = drawer.ToolsIn({0, 0, 100, 100});
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], dialog);
    EXPECT_EQ(drawer.ToolsIn({310, 310, 311, 311}).front(), &far);
}

// Random edits through the surface's public calls; after each, the list
// keeps its dialog tool first, the selection and drag point into the list,
// rectangles stay normalised and every tool's text form reads back to itself.
TEST(DrawerLongRun, RandomEditsKeepTheListSound) {
    Recorder watcher;
    PasteCascade cascade;
    TDrawer drawer(&watcher, cascade);
    CreateTool(drawer.Tools(), ToolCode::Dialog);
    std::mt19937 random(20261210);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto point = [&] { return ToolPoint{pick(400) - 50, pick(300) - 50}; };
    const unsigned kModifiers[] = {kNoModifier, kShift, kCtrl, kShift | kCtrl};
    for (int step = 0; step < 20000; ++step) {
        unsigned mods = kModifiers[pick(4)];
        switch (pick(9)) {
            case 0:
                if (drawer.Tools().Count() < 60) {
                    const ToolCode kinds[] = {ToolCode::Button,  ToolCode::TextBox,  ToolCode::Static,
                                              ToolCode::ListBox, ToolCode::ComboBox, ToolCode::Line,
                                              ToolCode::Circle,  ToolCode::Text,     ToolCode::RadioButton};
                    TTool& tool = CreateTool(drawer.Tools(), kinds[pick(9)]);
                    drawer.StartPlacement(tool);
                }
                break;
            case 1:
                drawer.PointerDown(point(), mods);
                break;
            case 2:
                drawer.PointerMove(point(), mods);
                break;
            case 3:
                drawer.PointerUp(point(), mods);
                break;
            case 4:
                drawer.KeyDown(static_cast<DrawerKey>(pick(12)), mods);
                break;
            case 5:
                drawer.CopyTool(drawer.Selected());
                break;
            case 6:
                if (watcher.hasClipboard && drawer.Tools().Count() < 60) drawer.PasteTool();
                break;
            case 7:
                drawer.CutTool(drawer.Selected());
                break;
            default:
                drawer.DoubleClick();
                break;
        }
        const ToolSurface& tools = drawer.Tools();
        ASSERT_EQ(tools.At(0), tools.DialogTool());
        ASSERT_EQ(tools.At(0)->Code(), ToolCode::Dialog);
        ASSERT_TRUE(drawer.Selected() == nullptr || tools.IndexOf(drawer.Selected()) >= 0);
        ASSERT_TRUE(!drawer.Dragging() || tools.IndexOf(drawer.DraggingTool()) >= 0);
        for (int i = 1; i < tools.Count(); ++i) {
            ASSERT_NE(tools.At(i)->Code(), ToolCode::Dialog);
            if (auto* rect = dynamic_cast<TRectTool*>(tools.At(i))) {
                ASSERT_LE(rect->Rect().left, rect->Rect().right);
                ASSERT_LE(rect->Rect().top, rect->Rect().bottom);
            }
        }
        if (step % 500 == 0) {
            for (int i = 0; i < tools.Count(); ++i) {
                std::unique_ptr<TTool> copy = MakeTool(tools.At(i)->Code());
                copy->FromText(tools.At(i)->ToText());
                ASSERT_EQ(copy->ToText(), tools.At(i)->ToText());
            }
        }
    }
}

}  // namespace
}  // namespace tallow::ide
