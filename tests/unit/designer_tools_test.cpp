// The designer's tools without a window: child IDs, handles and their moves,
// hit tests, and the text and byte forms of every kind, including text and
// records that arrive damaged from the clipboard or a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/control_tool.h"
#include "ide/model/shape_tools.h"
#include "ide/model/tool_factory.h"
#include "ide/model/tool_surface.h"

namespace tallow::ide {
namespace {

std::vector<uint8_t> Bytes(const TTool& tool) {
    codec::ByteWriter out;
    tool.SaveToFile(out);
    return out.Take();
}

TControlTool& AddControl(ToolSurface& surface, ToolCode code) {
    return static_cast<TControlTool&>(CreateTool(surface, code));
}

TEST(DesignerTools, FreshButtonTextFormMatchesTheClipboardLayout) {
    ToolSurface surface;
    AddControl(surface, ToolCode::Dialog);
    TControlTool& button = AddControl(surface, ToolCode::Button);
    button.SetRect({8, 8, 83, 33});
    button.caption = "OK";
    const std::string expected = std::string("101;1342177280;1342373888;OK") + '\x14' + "\x01\x01\x09" +
                                 "8;8;83;33;80000012;1;8000000F;F";
    EXPECT_EQ(button.ToText(), expected);
    EXPECT_EQ(ToolToClipboardText(button), "4." + expected);
}

TEST(DesignerTools, ChildIdsAndTheDialogToolsPlace) {
    ToolSurface surface;
    TControlTool& first = AddControl(surface, ToolCode::TextBox);
    EXPECT_EQ(first.childId, 101);
    TControlTool& label = AddControl(surface, ToolCode::Static);
    EXPECT_EQ(label.childId, 100);
    EXPECT_EQ(AddControl(surface, ToolCode::Button).childId, 102);
    TControlTool& dialog = AddControl(surface, ToolCode::Dialog);
    EXPECT_EQ(dialog.childId, 99);
    EXPECT_EQ(surface.At(0), &dialog);
    EXPECT_EQ(surface.DialogTool(), &dialog);
    EXPECT_EQ(surface.At(1), &first);
    first.childId = 500;
    EXPECT_EQ(AddControl(surface, ToolCode::ComboBox).childId, 501);
    EXPECT_TRUE(surface.Modified());
    EXPECT_EQ(dialog.WindowStyle(), 0x10CB0084u);
    EXPECT_EQ(dialog.windowClass, "DIALOG");
}

TEST(DesignerTools, RectangleHandlesMovesAndNormalisation) {
    ToolSurface surface;
    TRectTool& rect = static_cast<TRectTool&>(CreateTool(surface, ToolCode::Rect));
    rect.SetRect({10, 20, 31, 41});
    ASSERT_EQ(rect.Handles().size(), 9u);
    EXPECT_EQ(rect.HandlePoint(4), (ToolPoint{20, 30}));  // truncated midpoint
    EXPECT_EQ(rect.HandlePoint(5), (ToolPoint{31, 30}));
    EXPECT_EQ(rect.HandlePoint(7), (ToolPoint{20, 41}));
    EXPECT_EQ(rect.HandleAt({12, 22}), 0);
    EXPECT_EQ(rect.HandleAt({13, 22}), -1);

    rect.MoveHandle(0, {50, 60});  // top-left dragged past bottom-right
    EXPECT_EQ(rect.Rect(), (ToolRect{31, 41, 50, 60}));
    rect.MoveHandle(4, {50, 60});  // centre (40, 50) moves by (10, 10)
    EXPECT_EQ(rect.Rect(), (ToolRect{41, 51, 60, 70}));
    rect.MoveHandle(2, {45, 0});
    EXPECT_EQ(rect.Rect(), (ToolRect{41, 0, 45, 70}));
    rect.MoveHandle(7, {0, 30});
    EXPECT_EQ(rect.Rect(), (ToolRect{41, 0, 45, 30}));
    rect.MoveHandle(9, {0, 0});  // no such handle
    rect.MoveHandle(-1, {0, 0});
    EXPECT_EQ(rect.Rect(), (ToolRect{41, 0, 45, 30}));

    // The outline does not move the tool.
    EXPECT_EQ(rect.OutlineOf(6, {100, 100}), (ToolOutline{{100, 0}, {45, 100}}));
    EXPECT_EQ(rect.Rect(), (ToolRect{41, 0, 45, 30}));
    rect.paint.penWidth = 3;
    EXPECT_EQ(rect.GetBounds(), (ToolRect{36, -5, 50, 35}));
}

TEST(DesignerTools, HitTests) {
    ToolSurface surface;
    auto& line = static_cast<TLineTool&>(CreateTool(surface, ToolCode::Line));
    line.SetPoints({0, 0}, {100, 100});
    EXPECT_TRUE(line.HitTest({52, 48}));    // 2.8 pixels off
    EXPECT_TRUE(line.HitTest({202, 198}));  // beyond the end: the line is unlimited
    EXPECT_TRUE(line.HitTest({55, 50}));    // 3.5 pixels, truncated to 3
    EXPECT_FALSE(line.HitTest({56, 50}));   // 4.2
    line.SetPoints({10, 0}, {10, 50});      // vertical: horizontal distance
    EXPECT_TRUE(line.HitTest({13, 500}));
    EXPECT_FALSE(line.HitTest({14, 5}));
    line.SetPoints({10, 10}, {10, 10});  // a point
    EXPECT_TRUE(line.HitTest({7, 99}));
    line.MoveHandle(1, {20, 30});  // the midpoint moves both ends
    EXPECT_EQ(line.P1(), (ToolPoint{20, 30}));
    EXPECT_EQ(line.P2(), (ToolPoint{20, 30}));

    auto& rect = static_cast<TRectTool&>(CreateTool(surface, ToolCode::Rect));
    rect.SetRect({0, 0, 10, 10});
    EXPECT_TRUE(rect.HitTest({0, 9}));
    EXPECT_FALSE(rect.HitTest({10, 5}));

    AddControl(surface, ToolCode::Dialog);
    TControlTool& combo = AddControl(surface, ToolCode::ComboBox);
    combo.SetRect({0, 100, 80, 200});
    EXPECT_TRUE(combo.HitTest({5, 100 + kDefaultComboBitmapHeight + 2}));
    EXPECT_FALSE(combo.HitTest({5, 100 + kDefaultComboBitmapHeight + 3}));
    TControlTool& list = AddControl(surface, ToolCode::ListBox);
    list.SetRect({0, 100, 80, 200});
    EXPECT_TRUE(list.HitTest({5, 150}));
}

TEST(DesignerTools, CircleAndBackgroundHandles) {
    ToolSurface surface;
    auto& circle = static_cast<TCircleTool&>(CreateTool(surface, ToolCode::Circle));
    circle.Set({50, 50}, 20, 10);
    EXPECT_EQ(circle.HandlePoint(0), (ToolPoint{50, 40}));
    EXPECT_EQ(circle.HandlePoint(3), (ToolPoint{70, 50}));
    EXPECT_EQ(circle.Handles()[0].direction, kVerticalDirection);
    EXPECT_EQ(circle.Handles()[2].direction, kHorizontalDirection);
    EXPECT_TRUE(circle.HitTest({50, 69}));  // within rx, though outside ry
    EXPECT_FALSE(circle.HitTest({65, 65}));
    EXPECT_EQ(circle.OutlineOf(3, {80, 0}), (ToolOutline{{20, 30}, {80, 70}}));
    EXPECT_EQ(circle.RadiusX(), 20);
    circle.MoveHandle(1, {0, 75});  // bottom: ry = vertical distance
    EXPECT_EQ(circle.RadiusY(), 25);
    circle.MoveHandle(2, {20, 0});  // left: rx 30, ry grows by 10
    EXPECT_EQ(circle.RadiusX(), 30);
    EXPECT_EQ(circle.RadiusY(), 35);
    circle.MoveHandle(4, {0, 0});
    EXPECT_EQ(circle.Centre(), (ToolPoint{0, 0}));

    ToolSurface back;
    CreateTool(back, ToolCode::Line);
    auto& background = static_cast<TBackTool&>(CreateTool(back, ToolCode::Back));
    EXPECT_EQ(back.At(0), &background);
    EXPECT_EQ(back.DialogTool(), &background);
    background.SetCorner({300, 200});
    EXPECT_EQ(background.HandlePoint(0), (ToolPoint{299, 199}));
    EXPECT_EQ(background.OutlineOf(0, {9, 9}), (ToolOutline{{0, 0}, {10, 10}}));
    background.MoveHandle(0, {399, 249});
    EXPECT_EQ(back.Width(), 400);
    EXPECT_EQ(back.Height(), 250);
}

// A tool of every kind with fields that differ from the defaults.
void Decorate(TTool& tool) {
    tool.paint = {0x00123456, 3, 0x00ABCDEF, true};
    if (auto* rect = dynamic_cast<TRectTool*>(&tool))
        rect->SetRect({-5, 7, 120, 300});
    else if (auto* line = dynamic_cast<TLineTool*>(&tool))
        line->SetPoints({90, -3}, {4, 70});
    if (auto* text = dynamic_cast<TTextTool*>(&tool)) {
        text->caption = "Caption; with \xE9 and ;";
        // Size 19 travels as character 20, the caption's end; size 58 as ";".
        text->text = {3, 2, static_cast<uint16_t>(tool.Code() == ToolCode::Text ? 19 : 58), 2};
    }
    if (auto* control = dynamic_cast<TControlTool*>(&tool)) {
        control->childId = 4321;
        control->style = 0x80000000 | control->style;
    }
    if (auto* circle = dynamic_cast<TCircleTool*>(&tool)) circle->Set({40, 41}, 12, 9);
    if (auto* back = dynamic_cast<TBackTool*>(&tool)) back->SetCorner({640, 480});
    if (auto* image = dynamic_cast<TImageTool*>(&tool)) image->fileName = "pictures\\logo.bmp";
}

TEST(DesignerTools, EveryKindRoundTripsThroughTextAndBytes) {
    for (int i = 0; i < static_cast<int>(ToolCode::kCount); ++i) {
        auto code = static_cast<ToolCode>(i);
        SCOPED_TRACE(i);
        ToolSurface from;
        TTool& original = CreateTool(from, code);
        Decorate(original);

        ToolSurface to;
        TTool& pasted = PasteToolText(to, ToolToClipboardText(original));
        EXPECT_EQ(pasted.Code(), code);
        EXPECT_EQ(pasted.ToText(), original.ToText());
        auto* text = dynamic_cast<TTextTool*>(&pasted);
        if (text != nullptr) {
            EXPECT_EQ(text->text.textAlign, 0);  // not part of the text form
            text->text.textAlign = 2;
        }
        if (code == ToolCode::Image) static_cast<TImageTool&>(pasted).fileName = "pictures\\logo.bmp";
        EXPECT_EQ(Bytes(pasted), Bytes(original));

        std::vector<uint8_t> bytes = Bytes(original);
        std::unique_ptr<TTool> loaded = MakeTool(code);
        codec::ByteCursor in(bytes);
        loaded->LoadFromFile(in);
        EXPECT_EQ(in.Remaining(), 0u);
        EXPECT_EQ(Bytes(*loaded), bytes);
        EXPECT_EQ(loaded->ToText(), original.ToText());
    }
}

TEST(DesignerTools, DamagedRecordsAreRefusedWithoutReadingPastThem) {
    ToolSurface surface;
    AddControl(surface, ToolCode::Dialog);
    TControlTool& button = AddControl(surface, ToolCode::Button);
    button.caption = "Go";
    std::vector<uint8_t> bytes = Bytes(button);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TButtonTool loaded;
        codec::ByteCursor in(std::span<const uint8_t>(bytes.data(), cut));
        EXPECT_THROW(loaded.LoadFromFile(in), ToolFormatError) << cut;
    }
    bytes[24] = 9;  // text type beyond ttComic
    TButtonTool loaded;
    codec::ByteCursor in(bytes);
    EXPECT_THROW(loaded.LoadFromFile(in), ToolFormatError);
}

TEST(DesignerTools, DamagedClipboardTextLeavesTheSurfaceAlone) {
    ToolSurface surface;
    AddControl(surface, ToolCode::Dialog);
    std::string good = ToolToClipboardText(AddControl(surface, ToolCode::Button));
    surface.SetModified(false);
    const int count = surface.Count();

    auto message = [&](const std::string& text) {
        try {
            PasteToolText(surface, text);
        } catch (const ToolFormatError& e) {
            return std::string(e.what());
        }
        return std::string("pasted");
    };
    EXPECT_EQ(message("14." + good.substr(2)), kUnknownClipboardType);
    EXPECT_EQ(message("5." + good.substr(2)), kUnknownClipboardType);  // a second dialog frame
    EXPECT_EQ(message("13.1;2;80000012;1;8000000F;F"), kUnknownClipboardType);
    EXPECT_NE(message("x." + good.substr(2)).find("tool type"), std::string::npos);
    EXPECT_NE(message("4"), "pasted");
    EXPECT_NE(message(""), "pasted");
    EXPECT_NE(message("4.101;1;2;OK"), "pasted");              // no caption end
    EXPECT_NE(message("4.101;1;2;OK\x14\x01\x01"), "pasted");  // settings cut short
    EXPECT_NE(message("0.1;2;3;"), "pasted");                  // missing pen fields: empty tokens
    EXPECT_NE(message("0.1;2;3;4;80000012;1;8000000F0;F"), "pasted");
    EXPECT_NE(message("4.70000;1;2;OK\x14\x01\x01\x09"
                      "1;1;5;5;0;1;0;F"),
              "pasted");  // ID past 16 bits
    EXPECT_NE(message("0.1;2;3;99999999999;0;1;0;F"), "pasted");
    EXPECT_EQ(surface.Count(), count);
    EXPECT_FALSE(surface.Modified());

    // The type code is masked with 127, and a pasted control keeps its ID.
    TTool& pasted = PasteToolText(surface, "132." + good.substr(2));
    EXPECT_EQ(pasted.Code(), ToolCode::Button);
    EXPECT_EQ(static_cast<TControlTool&>(pasted).childId, 101);
    EXPECT_EQ(surface.Count(), count + 1);
    EXPECT_TRUE(surface.Modified());
}

}  // namespace
}  // namespace tallow::ide
