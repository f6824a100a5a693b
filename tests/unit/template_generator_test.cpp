// Dialog templates from designer surfaces and back: the header and item
// fields, dialog-unit rounding, a dialog with every control kind through the
// engine's reader, large dialogs, and damaged templates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "codec/dialog_template.h"
#include "ide/model/control_tool.h"
#include "ide/model/template_generator.h"
#include "ide/model/tool_factory.h"
#include "platform/dialog_model.h"

namespace tallow::ide {
namespace {

constexpr DialogMetrics kMetrics{7, 13, 18};

TControlTool& Add(ToolSurface& surface, ToolCode code, ToolRect rect, std::string caption) {
    auto& control = static_cast<TControlTool&>(CreateTool(surface, code));
    control.SetRect(rect);
    control.caption = std::move(caption);
    return control;
}

// A dialog with one control of every kind, a tri-state check box among them.
void FillEveryKind(ToolSurface& surface) {
    Add(surface, ToolCode::Dialog, {10, 20, 410, 320}, "Every kind");
    Add(surface, ToolCode::Static, {20, 50, 100, 65}, "Name:");
    Add(surface, ToolCode::TextBox, {110, 50, 300, 71}, "edit me");
    Add(surface, ToolCode::Button, {8, 8, 83, 33}, "OK").style |= kBsDefPushButton;
    Add(surface, ToolCode::CheckBox, {20, 80, 150, 97}, "Check").style = 0x50030006;
    Add(surface, ToolCode::RadioButton, {20, 100, 150, 117}, "Radio");
    Add(surface, ToolCode::ListBox, {20, 130, 200, 250}, "");
    Add(surface, ToolCode::ComboBox, {210, 130, 390, 250}, "Pick");
}

TEST(TemplateGenerator, DialogUnitsRoundHalvesToEven) {
    EXPECT_EQ(UnitsX(75, kMetrics), 43);
    EXPECT_EQ(UnitsY(25, kMetrics), 15);
    DialogMetrics even{8, 16, 0};
    EXPECT_EQ(UnitsX(5, even), 2);  // 2.5
    EXPECT_EQ(UnitsX(7, even), 4);  // 3.5
    EXPECT_EQ(UnitsX(-5, even), -2);
    EXPECT_EQ(PixelsX(5, {6, 16, 0}), 8);  // 7.5
    EXPECT_EQ(PixelsY(3, {6, 12, 0}), 4);  // 4.5
    EXPECT_EQ(PixelsY(5, {6, 12, 0}), 8);  // 7.5
}

TEST(TemplateGenerator, HeaderOfADialogWithoutControls) {
    ToolSurface surface;
    Add(surface, ToolCode::Dialog, {14, 2, 89, 100}, "Caf\xE9");
    codec::DialogTemplate dialog;
    ASSERT_TRUE(codec::ReadDialogTemplate(WriteTemplate(surface, kMetrics, "first"), dialog));
    EXPECT_EQ(dialog.style, 0x00CB00C4u);  // DS_SETFONT in, WS_VISIBLE out
    EXPECT_EQ(dialog.items.size(), 0u);
    EXPECT_EQ(dialog.x, 8);
    EXPECT_EQ(dialog.y, 12);  // (2 + 18) * 8 / 13
    EXPECT_EQ(dialog.cx, 43);
    EXPECT_EQ(dialog.cy, 49);                               // (98 - 18) * 8 / 13
    EXPECT_EQ(dialog.title, std::u16string(u"Caf\u00E9"));  // the byte, not a translation
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, u"MS Sans Serif");
    EXPECT_FALSE(dialog.menu.isOrdinal);
    EXPECT_TRUE(dialog.menu.name.empty());
}

TEST(TemplateGenerator, BytesOfADialogWithOneButton) {
    // Written out field by field from the published layout.
    // clang-format off
    const uint8_t kGolden[] = {
        0xC4, 0x00, 0xCB, 0x00,  0, 0, 0, 0,            // style, extended style
        1, 0,  8, 0,  16, 0,  100, 0,  100, 0,          // items, x, y, cx, cy
        0, 0,  0, 0,                                    // no menu, no class
        'T', 0, 0, 0,                                   // title
        8, 0,                                           // point size
        'M', 0, 'S', 0, ' ', 0, 'S', 0, 'a', 0, 'n', 0, 's', 0,
        ' ', 0, 'S', 0, 'e', 0, 'r', 0, 'i', 0, 'f', 0, 0, 0,  // typeface, up to a 4-byte boundary
        0x00, 0x00, 0x03, 0x50,  0, 0, 0, 0,            // item style, extended style
        4, 0,  8, 0,  40, 0,  14, 0,  101, 0,           // x, y, cx, cy, ID
        'B', 0, 'U', 0, 'T', 0, 'T', 0, 'O', 0, 'N', 0, 0, 0,  // class
        'O', 0, 'K', 0, 0, 0,                           // title
        0, 0,                                           // no creation data
    };
    // clang-format on
    ToolSurface surface;
    Add(surface, ToolCode::Dialog, {16, 32, 216, 232}, "T");
    Add(surface, ToolCode::Button, {24, 48, 104, 76}, "OK");
    std::vector<uint8_t> bytes = WriteTemplate(surface, {8, 16, 0}, "golden");
    EXPECT_EQ(bytes, std::vector<uint8_t>(std::begin(kGolden), std::end(kGolden)));
}

TEST(TemplateGenerator, NoDialogToolIsAFormatError) {
    ToolSurface surface;
    Add(surface, ToolCode::Button, {0, 0, 10, 10}, "B");
    try {
        WriteTemplate(surface, kMetrics, "d");
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_STREQ(e.what(), kDialogFormatError);
    }
    EXPECT_THROW(ReadTemplate(surface, codec::DialogTemplate{}, kMetrics), TemplateError);
    ToolSurface shapes;
    CreateTool(shapes, ToolCode::Back);  // a background is no dialog
    EXPECT_THROW(WriteTemplate(shapes, kMetrics, "d"), TemplateError);
}

TEST(TemplateGenerator, EveryControlKindComesBackInOrder) {
    ToolSurface surface;
    FillEveryKind(surface);
    CreateTool(surface, ToolCode::Circle);  // shapes have no window: left out
    std::vector<uint8_t> bytes = WriteTemplate(surface, kMetrics, "every");

    codec::DialogTemplate dialog;
    ASSERT_TRUE(codec::ReadDialogTemplate(bytes, dialog));
    ASSERT_EQ(dialog.items.size(), 7u);
    EXPECT_EQ(dialog.items[2].windowClass, codec::NameOrOrdinal::Named(u"BUTTON"));
    EXPECT_EQ(dialog.items[2].style, 0x50030001u);
    EXPECT_EQ(dialog.items[2].cx, 43);
    EXPECT_EQ(dialog.items[2].cy, 15);

    ToolSurface back;
    Add(back, ToolCode::Dialog, {}, "");
    back.SetModified(false);
    ReadTemplate(back, bytes, kMetrics);
    EXPECT_TRUE(back.Modified());
    ASSERT_EQ(back.Count(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        auto& want = static_cast<TControlTool&>(*surface.At(i));
        auto& got = static_cast<TControlTool&>(*back.At(i));
        EXPECT_EQ(got.Code(), want.Code());
        EXPECT_EQ(got.caption, want.caption);
        EXPECT_EQ(got.WindowStyle() & ~kWsVisible, want.WindowStyle() & ~kWsVisible);
        EXPECT_EQ(got.childId, want.childId);
        // One dialog unit is 2 pixels across and 2 down with these metrics.
        ToolRect a = got.Rect(), b = want.Rect();
        EXPECT_LE(std::abs(a.left - b.left), 2);
        EXPECT_LE(std::abs(a.top - b.top), 2);
        EXPECT_LE(std::abs(a.right - b.right), 3);
        EXPECT_LE(std::abs(a.bottom - b.bottom), 3);
    }
    EXPECT_EQ(WriteTemplate(back, kMetrics, "every"), bytes);  // stable after one trip
}

TEST(TemplateGenerator, TheEnginesDialogModelSeesTheControls) {
    ToolSurface surface;
    FillEveryKind(surface);
    codec::DialogTemplate dialog;
    ASSERT_TRUE(codec::ReadDialogTemplate(WriteTemplate(surface, kMetrics, "every"), dialog));
    platform::DialogModel model(dialog);
    EXPECT_EQ(model.Caption(), "Every kind");
    EXPECT_EQ(model.ControlText(101, 100), "edit me");
    EXPECT_EQ(model.ControlText(100, 100), "Name:");
    EXPECT_EQ(model.DefaultPushButton(), 102);
    EXPECT_TRUE(model.HasControl(105));
    EXPECT_TRUE(model.HasControl(106));
    model.SetCheck(103, 2);
    EXPECT_EQ(model.Check(103), 2);  // the tri-state box is one
    model.SetCheck(104, 2);
    EXPECT_EQ(model.Check(104), 1);
}

TEST(TemplateGenerator, ButtonKindsAndUnknownClassesWhenReading) {
    codec::DialogTemplate dialog;
    dialog.style = 0x00CB00C4;
    auto item = [&](const char16_t* cls, uint32_t style, uint16_t id) {
        codec::DialogItem i;
        i.style = style;
        i.id = id;
        i.windowClass = codec::NameOrOrdinal::Named(cls);
        i.title = codec::NameOrOrdinal::Named(u"t");
        dialog.items.push_back(i);
    };
    item(u"BUTTON", 0x50030006, 1);
    item(u"BUTTON", 0x50030009, 2);
    item(u"BUTTON", 0x50030001, 3);
    item(u"SCROLLBAR", 0x50000000, 4);
    item(u"button", 0x50000000, 5);  // names compare exactly
    item(u"EDIT", 0x50800000, 6);
    dialog.items.push_back(dialog.items.back());
    dialog.items.back().windowClass = codec::NameOrOrdinal::Number(0x85);  // the combo box's ordinal
    ToolSurface surface;
    Add(surface, ToolCode::Dialog, {}, "");
    ReadTemplate(surface, dialog, kMetrics);
    ASSERT_EQ(surface.Count(), 6);
    EXPECT_EQ(surface.At(1)->Code(), ToolCode::CheckBox);
    EXPECT_EQ(surface.At(2)->Code(), ToolCode::RadioButton);
    EXPECT_EQ(surface.At(3)->Code(), ToolCode::Button);
    EXPECT_EQ(surface.At(4)->Code(), ToolCode::TextBox);
    EXPECT_EQ(surface.At(5)->Code(), ToolCode::ComboBox);
    auto& dialogTool = static_cast<TControlTool&>(*surface.At(0));
    EXPECT_EQ(dialogTool.style, 0x00CB0084u);
    EXPECT_EQ(static_cast<TControlTool&>(*surface.At(1)).baseStyle, 0x50000000u);
}

TEST(TemplateGenerator, LargeDialogsAreWrittenWhole) {
    // Past the 16 KB a fixed buffer would hold: every item must survive.
    constexpr int kControls = 600;
    ToolSurface surface;
    Add(surface, ToolCode::Dialog, {0, 0, 2000, 2000}, "Big");
    for (int i = 0; i < kControls; ++i)
        Add(surface, ToolCode::Button, {i, i, i + 50, i + 20}, "A caption long enough to fill a template");
    std::vector<uint8_t> bytes = WriteTemplate(surface, kMetrics, "big");
    EXPECT_GT(bytes.size(), 16384u * 3);
    ToolSurface back;
    Add(back, ToolCode::Dialog, {}, "");
    ReadTemplate(back, bytes, kMetrics);
    ASSERT_EQ(back.Count(), kControls + 1);
    EXPECT_EQ(static_cast<TControlTool&>(*back.At(kControls)).childId, 100 + kControls);
}

TEST(TemplateGenerator, TheItemCountLimit) {
    // A template holds at most 65535 items: loading that many keeps their
    // IDs, and one control more is refused by name instead of miscounted.
    codec::DialogTemplate dialog;
    codec::DialogItem item;
    item.windowClass = codec::NameOrOrdinal::Named(u"EDIT");
    item.title = codec::NameOrOrdinal::Named(u"");
    dialog.items.assign(kMaxTemplateItems, item);
    dialog.items.back().id = 7;
    ToolSurface surface;
    Add(surface, ToolCode::Dialog, {}, "");
    ReadTemplate(surface, dialog, kMetrics);
    ASSERT_EQ(surface.Count(), static_cast<int>(kMaxTemplateItems) + 1);
    EXPECT_EQ(static_cast<TControlTool&>(*surface.At(surface.Count() - 1)).childId, 7);
    EXPECT_EQ(BuildTemplate(surface, kMetrics, "full").items.size(), kMaxTemplateItems);
    CreateTool(surface, ToolCode::Button);
    try {
        BuildTemplate(surface, kMetrics, "Crowded");
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_NE(std::string(e.what()).find("\"Crowded\""), std::string::npos);
    }
}

TEST(TemplateGenerator, DamagedTemplatesLeaveTheSurfaceAlone) {
    ToolSurface surface;
    FillEveryKind(surface);
    std::vector<uint8_t> bytes = WriteTemplate(surface, kMetrics, "every");
    ToolSurface back;
    Add(back, ToolCode::Dialog, {1, 2, 3, 4}, "keep");
    for (size_t cut : {size_t{0}, size_t{3}, size_t{20}, bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        EXPECT_THROW(ReadTemplate(back, std::span<const uint8_t>(bytes.data(), cut), kMetrics),
                     TemplateError);
    }
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(static_cast<TControlTool&>(*back.At(0)).caption, "keep");
}

}  // namespace
}  // namespace tallow::ide
