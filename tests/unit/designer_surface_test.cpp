// The designer surface: the placement of a new control that Escape calls
// off, the captions new controls get, and the scrolling that brings a
// dialog larger than the window into reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/control_tool.h"
#include "ide/model/drawer.h"
#include "ide/model/surface_scroll.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {
namespace {

class Watcher : public DrawerWatcher {};

class DesignerPlacement : public ::testing::Test {
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

    Watcher watcher;
    PasteCascade cascade;
    TDrawer drawer{&watcher, cascade};
};

TEST_F(DesignerPlacement, NewControlsAreCaptionedAndEscapeCallsTheirPlacementOff) {
    TTool& button = drawer.AddForPlacement(ToolCode::Button, 75, 25);
    EXPECT_TRUE(drawer.Placing());
    EXPECT_EQ(static_cast<TTextTool&>(button).caption, "Button 1");
    drawer.PointerUp({100, 50}, kNoModifier);
    EXPECT_FALSE(drawer.Placing());
    drawer.AddForPlacement(ToolCode::Static, 180, 17);
    drawer.PointerUp({100, 100}, kNoModifier);
    drawer.AddForPlacement(ToolCode::Button, 75, 25);
    drawer.PointerUp({100, 150}, kNoModifier);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Dialog", "Button 1", "Static 1", "Button 2"}));

    // Escape while the new control follows the pointer: it goes.
    drawer.AddForPlacement(ToolCode::TextBox, 180, 20, {40, 40});
    EXPECT_EQ(RectAt(4), (ToolRect{40, 40, 220, 60}));
    EXPECT_TRUE(drawer.KeyDown(DrawerKey::Escape, kNoModifier));
    EXPECT_FALSE(drawer.Placing());
    EXPECT_FALSE(drawer.Dragging());
    EXPECT_EQ(drawer.Selected(), nullptr);
    EXPECT_EQ(drawer.Tools().Count(), 4);
    EXPECT_EQ(DefaultCaption(drawer.Tools(), ToolCode::Button), "Button 3");
    // A freed number is given again.
    EXPECT_TRUE(drawer.DeleteTool(drawer.Tools().At(1)));
    EXPECT_EQ(DefaultCaption(drawer.Tools(), ToolCode::Button), "Button 1");
    EXPECT_EQ(DefaultCaption(drawer.Tools(), ToolCode::RadioButton), "Radio Button 1");
    EXPECT_EQ(DefaultCaption(drawer.Tools(), ToolCode::Line), "");
}

TEST(SurfaceScrolling, TheBarsReachEveryToolAndClampTheOrigin) {
    ToolSurface tools;
    auto& frame = static_cast<TRectTool&>(CreateTool(tools, ToolCode::Dialog));
    frame.SetRect({10, 10, 900, 700});
    ToolPoint extent = ContentExtent(tools);
    EXPECT_GE(extent.x, 900);
    EXPECT_GE(extent.y, 700);

    SurfaceScroll scroll;
    scroll.SetViewSize(500, 300);
    scroll.SetContentExtent({900, 700});
    EXPECT_EQ(scroll.Horizontal(), (ScrollRange{900 + kSurfaceMargin - 1, 500, 0}));
    EXPECT_TRUE(scroll.Scroll(false, ScrollAction::Bottom));
    EXPECT_EQ(scroll.Origin().x, 900 + kSurfaceMargin - 500);
    EXPECT_FALSE(scroll.Scroll(false, ScrollAction::LineDown));  // at the end already
    EXPECT_TRUE(scroll.Scroll(true, ScrollAction::PageDown));
    EXPECT_EQ(scroll.Origin().y, 300);
    EXPECT_TRUE(scroll.Scroll(true, ScrollAction::Thumb, 5000));
    EXPECT_EQ(scroll.Origin().y, 700 + kSurfaceMargin - 300);
    EXPECT_EQ(scroll.ToDesign({1, 2}), (ToolPoint{441, 442}));
    EXPECT_EQ(scroll.ToClient({441, 442, 451, 452}), (ToolRect{1, 2, 11, 12}));

    // A tool above the window is brought into view; a window that grows past
    // the tools shows them from the start.
    EXPECT_TRUE(scroll.ShowRect({100, 100, 150, 120}));
    EXPECT_EQ(scroll.Origin(), (ToolPoint{100, 100}));
    EXPECT_FALSE(scroll.ShowRect({120, 120, 130, 130}));
    scroll.SetViewSize(2000, 2000);
    EXPECT_EQ(scroll.Origin(), (ToolPoint{0, 0}));
    EXPECT_EQ(scroll.Vertical(), (ScrollRange{1999, 2000, 0}));
    // No tools: nothing to scroll.
    EXPECT_EQ(ContentExtent(ToolSurface()), (ToolPoint{0, 0}));
}

}  // namespace
}  // namespace tallow::ide
