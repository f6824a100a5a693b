// The property dialogs of the tools as models: options ticked for a style,
// what OK writes back, the button shortcuts, and the shapes' forms.
#include <gtest/gtest.h>

#include <string>

#include "ide/model/control_tool_form.h"
#include "ide/model/shape_forms.h"
#include "ide/model/tool_factory.h"

namespace tallow::ide {
namespace {

class DesignerForms : public ::testing::Test {
protected:
    TControlTool& Add(ToolCode code) { return static_cast<TControlTool&>(CreateTool(surface, code)); }
    void SetUp() override { Add(ToolCode::Dialog); }
    ToolSurface surface;
};

TEST_F(DesignerForms, ButtonPageAndItsShortcuts) {
    TControlTool& button = Add(ToolCode::Button);
    button.style |= kBsDefPushButton;
    button.caption = "Go";
    TControlToolForm form(button);
    EXPECT_EQ(form.Title(), "Button Properties");
    EXPECT_TRUE(form.ShowsChildId());
    EXPECT_TRUE(form.Ticked("Default"));
    EXPECT_TRUE(form.Ticked("Tab Stop"));
    form.PressCancelShortcut();
    EXPECT_FALSE(form.Ticked("Default"));
    EXPECT_EQ(form.ChildId(), 2);
    EXPECT_EQ(form.WindowText(), "Cancel");
    form.SetTicked("Group", false);
    surface.SetModified(false);
    form.Apply(button);
    EXPECT_EQ(button.style, 0x10000u);  // only the page's ticks
    EXPECT_EQ(button.WindowStyle(), 0x50010000u);
    EXPECT_EQ(button.childId, 2);
    EXPECT_EQ(button.caption, "Cancel");
    EXPECT_TRUE(surface.Modified());

    TControlToolForm again(button);
    again.PressOkShortcut();
    EXPECT_TRUE(again.Ticked("Default"));
    EXPECT_EQ(again.ChildId(), 1);
    EXPECT_EQ(again.WindowText(), "OK");
}

TEST_F(DesignerForms, TextBoxGroupsOpenAndWriteBack) {
    TControlTool& edit = Add(ToolCode::TextBox);
    TControlToolForm form(edit);
    for (const char* on : {"Tab Stop", "Group", "Auto HScroll", "Normal", "Single-Line"})
        EXPECT_TRUE(form.Ticked(on)) << on;
    for (const char* off : {"Lowercase", "Uppercase", "Multi-Line", "Password"})
        EXPECT_FALSE(form.Ticked(off)) << off;
    form.SetTicked("Uppercase", true);
    form.SetTicked("Password", true);
    form.SetTicked("Normal", false);  // a radio is cleared only by another
    EXPECT_FALSE(form.Ticked("Normal"));
    EXPECT_TRUE(form.Ticked("Uppercase"));
    EXPECT_FALSE(form.Ticked("Single-Line"));
    EXPECT_EQ(form.Style(), 0x10000u | 0x20000u | 0x80u | 0x8u | 0x20u);

    edit.style = 0x50831004;  // multi-line needs both of its bits
    EXPECT_TRUE(TControlToolForm(edit).Ticked("Multi-Line"));
    edit.style = 0x50831000;
    EXPECT_TRUE(TControlToolForm(edit).Ticked("Single-Line"));
    edit.style = 0x18;  // both case bits: the later option wins
    TControlToolForm both(edit);
    EXPECT_TRUE(both.Ticked("Uppercase"));
    EXPECT_FALSE(both.Ticked("Lowercase"));
}

TEST_F(DesignerForms, OtherPages) {
    TControlTool& combo = Add(ToolCode::ComboBox);
    combo.style = 0x50830203;
    TControlToolForm comboForm(combo);
    EXPECT_TRUE(comboForm.Ticked("Drop-Down List"));
    EXPECT_FALSE(comboForm.Ticked("Drop-Down"));
    EXPECT_EQ(comboForm.Title(), "Combo Box Properties");

    TControlTool& check = Add(ToolCode::CheckBox);
    check.style = 0x50030006;
    TControlToolForm checkForm(check);
    EXPECT_TRUE(checkForm.Ticked("Tri-State"));
    EXPECT_FALSE(checkForm.Ticked("Normal"));

    TControlTool& label = Add(ToolCode::Static);
    label.style = 0x50820002;
    TControlToolForm labelForm(label);
    EXPECT_TRUE(labelForm.Ticked("Right-Align"));
    EXPECT_FALSE(labelForm.Ticked("Left-Align"));
    EXPECT_TRUE(labelForm.Ticked("Border"));
    labelForm.SetTicked("Center-Align", true);
    EXPECT_EQ(labelForm.Style(), kWsBorder | kSsCenter);

    auto& dialog = static_cast<TControlTool&>(*surface.DialogTool());
    TControlToolForm dialogForm(dialog);
    EXPECT_EQ(dialogForm.Title(), "Dialog Properties");
    EXPECT_FALSE(dialogForm.ShowsChildId());
    EXPECT_TRUE(dialogForm.Ticked("System Menu"));
    dialogForm.SetTicked("Maximize Box", false);
    dialogForm.SetChildId(5);
    dialogForm.Apply(dialog);
    EXPECT_EQ(dialog.style, 0xA0000u);
    EXPECT_EQ(dialog.childId, 99);  // the hidden field writes nothing

    TControlTool& list = Add(ToolCode::ListBox);
    TControlToolForm listForm(list);
    listForm.PressOkShortcut();  // not on this page
    EXPECT_EQ(listForm.ChildId(), list.childId);
    listForm.SetChildId(50000);
    EXPECT_EQ(listForm.ChildId(), kMaxChildIdField);
    listForm.SetChildId(0);
    EXPECT_EQ(listForm.ChildId(), kMinChildIdField);
    list.childId = 65535;  // an ID from elsewhere stays unless the field is changed
    TControlToolForm keep(list);
    keep.Apply(list);
    EXPECT_EQ(list.childId, 65535);
}

TEST_F(DesignerForms, ShapeForms) {
    auto& text = static_cast<TTextTool&>(CreateTool(surface, ToolCode::Text));
    TMemoToolForm memo(text);
    memo.SetText(std::string(300, 'x') + "\r\nsecond");
    EXPECT_EQ(memo.Text().size(), kMaxParagraphText);
    memo.SetText("a\tb\nc");
    EXPECT_EQ(memo.Text(), "a\tb");
    memo.Canvas().SetPenWidth(40);
    memo.Canvas().SetDrawTransparent(true);
    memo.Font().SetTextSize(2);
    memo.Font().SetTextType(8);  // no such type: unchanged
    memo.Font().SetTextStyle(3);
    memo.Font().SetTextAlign(2);
    surface.SetModified(false);
    memo.Apply(text);
    EXPECT_EQ(text.caption, "a\tb");
    EXPECT_EQ(text.paint.penWidth, kMaxPenWidth);
    EXPECT_TRUE(text.paint.drawTransparent);
    EXPECT_EQ(text.text, (TextSettings{0, 3, kMinTextSize, 2}));
    EXPECT_TRUE(surface.Modified());

    ToolFont font = FontOf({7, 3, 8, 0}, 96);
    EXPECT_STREQ(font.face, "Comic Sans MS");
    EXPECT_EQ(font.height, -11);
    EXPECT_EQ(font.weight, 700);
    EXPECT_TRUE(font.italic);
    font = FontOf({4, 2, 10, 0}, 120);
    EXPECT_STREQ(font.face, "FixedSys");
    EXPECT_EQ(font.weight, 100);
    EXPECT_TRUE(font.italic);

    auto& image = static_cast<TImageTool&>(CreateTool(surface, ToolCode::Image));
    image.SetRect({100, 100, 110, 200});
    LinkImage(image, "a.bmp", 40, 20);
    EXPECT_EQ(image.Rect(), (ToolRect{85, 100, 125, 200}));
    EXPECT_EQ(image.fileName, "a.bmp");
}

}  // namespace
}  // namespace tallow::ide
