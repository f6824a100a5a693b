// The dialog object on the model of its controls: every member, property and
// message, driven by scripts as the code runner's programs drive it.
#include "objects/dialog_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/dialog_template.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/dialog_model.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

using codec::DialogItem;
using codec::DialogTemplate;
using codec::NameOrOrdinal;

constexpr uint32_t kChild = codec::kWsChild | codec::kWsVisible;

DialogItem Item(uint16_t id, uint16_t classOrdinal, uint32_t style, const char* text = "") {
    DialogItem item;
    item.id = id;
    item.style = kChild | style;
    item.windowClass = NameOrOrdinal::Number(classOrdinal);
    item.title = NameOrOrdinal::Named(codec::WidenBytes(text));
    return item;
}

// One control of every kind the members work on.
DialogTemplate FullDialog() {
    DialogTemplate d;
    d.style = codec::kDsSetFont;
    d.pointSize = 8;
    d.typeface = u"MS Sans Serif";
    d.title = u"Settings";
    d.items = {
        Item(10, 0x81, 0x4, "first"),  // multi-line edit
        Item(11, 0x82, 0, "Label"),
        Item(20, 0x83, 0),  // single selection
        Item(21, 0x83, codec::kLbsMultipleSel),
        Item(22, 0x83, codec::kLbsExtendedSel),
        Item(23, 0x83, codec::kLbsSort),
        Item(30, 0x85, 0x2, "typed"),           // drop-down
        Item(31, 0x85, 0x3 | codec::kCbsSort),  // sorted drop-down list
        Item(40, 0x80, 0x3, "Check"),           // auto check box
        Item(41, 0x80, 0x6, "Maybe"),           // auto three-state
        Item(2, 0x80, codec::kBsPushButton, "Cancel"),
        Item(1, 0x80, codec::kBsDefPushButton, "OK"),
    };
    // A class given by name works as its ordinal does.
    d.items.push_back(Item(42, 0, 0x9, "Radio"));
    d.items.back().windowClass = NameOrOrdinal::Named(u"Button");
    return d;
}

struct Box {
    std::string caption, text;
};

class DialogObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver(&Collect, this);
        program.keepState = true;
        Add("dlg", FullDialog());
    }
    void TearDown() override { platform::SetBoxObserver(nullptr, nullptr); }

    static void Collect(void* self, std::string_view text, std::string_view caption) {
        static_cast<DialogObjectTest*>(self)->boxes.push_back({std::string(caption), std::string(text)});
    }

    DialogObject& Add(const std::string& name, const DialogTemplate& d) {
        std::vector<uint8_t> bytes = codec::WriteDialogTemplate(d);
        dialogs.push_back(std::make_unique<DialogObject>(
            program, name, platform::CreateDialogWindow(bytes, &program.parentWindow)));
        return *dialogs.back();
    }

    // Runs text after creating the string array out; its elements after the
    // run, and "error: MESSAGE" last when the run failed.
    std::vector<std::string> Out(const std::string& text) {
        program.Run(("new out as stringarray\n" + text).c_str());
        std::vector<std::string> items;
        if (StringArrayObject* out = program.FindStringArray("out")) items = out->items;
        if (program.Outcome() == RunOutcome::Failed)
            items.push_back("error: " + program.LastRunError().message);
        return items;
    }
    std::string Error(const std::string& text) {
        std::vector<std::string> items = Out(text);
        return items.empty() ? "" : items.back();
    }

    using Lines = std::vector<std::string>;
    Program program;
    std::vector<std::unique_ptr<DialogObject>> dialogs;
    std::vector<Box> boxes;
};

TEST_F(DialogObjectTest, TextOfControlsAndTheLimitOfGettext) {
    EXPECT_EQ(Out("out.add dlg.gettext(10)\n"
                  "dlg.settext 10, \"changed\"\n"
                  "out.add dlg.gettext(10)\n"
                  "out.add dlg.gettext(11)\n"
                  "dlg.settext 40, \"Renamed\"\n"
                  "out.add dlg.gettext(40)\n"
                  "dlg.settext 10, \"\"\n"
                  "out.add dlg.gettext(10)\n"),
              (Lines{"first", "changed", "Label", "Renamed", ""}));
    EXPECT_EQ(Out("dlg.settext 10, string(\"x\", 255)\nout.add str(len(dlg.gettext(10)))\n"
                  "dlg.settext 10, string(\"y\", 256)\nout.add str(len(dlg.gettext(10)))\n"),
              (Lines{"255", "255"}));
    EXPECT_EQ(kMaxDialogText, 255u);
}

TEST_F(DialogObjectTest, UnknownControlIdsDoNothing) {
    EXPECT_EQ(Out("dlg.settext 999, \"x\"\n"
                  "dlg.addlist 999, \"x\"\n"
                  "dlg.selectlistindex 999, 0\n"
                  "dlg.setcheck 999\n"
                  "dlg.setfocus 999\n"
                  "dlg.gettextarray 999, lines\n"
                  "out.add \"[\" + dlg.gettext(999) + dlg.getlist(999) + dlg.getcombo(999) + \"]\"\n"
                  "out.add str(isstringarray(lines))\n"),
              (Lines{"[]", "0"}));
    // getcheck alone reports it, as a run-time error a TRY catches.
    EXPECT_EQ(Out("try\n x# = dlg.getcheck(999)\ncatch\n out.add ErrMsg$\nendtry\n"),
              (Lines{msg::kDialogControlNotFound}));
}

TEST_F(DialogObjectTest, TextArraysJoinAndSplitLines) {
    EXPECT_EQ(Out("new a as stringarray\na.add \"one\"\na.add \"two\"\na.add \"three\"\n"
                  "dlg.settextarray 10, a\n"
                  "out.add dlg.gettext(10)\n"
                  "dlg.gettextarray 10, lines\n"
                  "out.add str(lines.getsize())\n"
                  "out.addarray lines\n"),
              (Lines{"one\r\ntwo\r\nthree", "3", "one", "two", "three"}));
    // A three-line text that ends with a line break is three lines; an empty
    // line between two counts; the array is made afresh.
    EXPECT_EQ(Out("new lines as stringarray\nlines.add \"old\"\n"
                  "dlg.settext 10, \"a\" + chr(13) + chr(10) + \"b\" + chr(13) + chr(10) + \"c\" + chr(13) + "
                  "chr(10)\n"
                  "dlg.gettextarray 10, lines\nout.add str(lines.getsize())\n"
                  "dlg.settext 10, \"a\" + chr(13) + chr(13) + \"b\"\n"
                  "dlg.gettextarray 10, lines\nout.addarray lines\n"),
              (Lines{"3", "a", "", "b"}));
    EXPECT_EQ(Error("dlg.settextarray 10, nosuch\n"), std::string("error: ") + msg::kArrayNotFound);
}

TEST_F(DialogObjectTest, GettextarraySplitsAsTheDialogFunctionsAlwaysHave) {
    EXPECT_EQ(SplitDialogLines("one\r\ntwo\r\nthree\r\n"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(SplitDialogLines("one\ntwo"), (Lines{"onetwo"}));  // a lone line feed ends no line
    EXPECT_EQ(SplitDialogLines("\r\r"), (Lines{"", ""}));
    EXPECT_EQ(SplitDialogLines(""), Lines{});
    // The whole text is read, past the 255 characters of gettext.
    EXPECT_EQ(Out("dlg.settext 10, string(\"z\", 300)\ndlg.gettextarray 10, l\nout.add str(len(l$[1]))\n"),
              (Lines{"300"}));
}

TEST_F(DialogObjectTest, SingleSelectionListBox) {
    EXPECT_EQ(Out("dlg.addlist 20, \"red\"\ndlg.addlist 20, \"green\"\n"
                  "out.add \"[\" + dlg.getlist(20) + \"]\"\n"
                  "dlg.selectlistindex 20, 1\nout.add dlg.getlist(20)\n"
                  "dlg.selectlistindex 20, 5\nout.add dlg.getlist(20)\n"  // outside: unchanged
                  "dlg.selectlistindex 20, 0\nout.add dlg.getlist(20)\n"
                  "dlg.selectlistindex 20, -1\nout.add \"[\" + dlg.getlist(20) + \"]\"\n"
                  // No selection count: getlistarray does nothing, not even create the array.
                  "dlg.getlistarray 20, sel\nout.add str(isstringarray(sel))\n"
                  "dlg.clearlist 20\ndlg.selectlistindex 20, 0\nout.add \"[\" + dlg.getlist(20) + \"]\"\n"),
              (Lines{"[]", "green", "green", "red", "[]", "0", "[]"}));
}

TEST_F(DialogObjectTest, MultipleSelectionListBoxes) {
    for (const char* id : {"21", "22"}) {
        auto on = [&](std::string text) {
            for (size_t at; (at = text.find("ID")) != std::string::npos;)
                text.replace(at, 2, id);
            return text;
        };
        EXPECT_EQ(Out(on("new items as stringarray\nitems.add \"a\"\nitems.add \"b\"\nitems.add \"c\"\n"
                         "dlg.addlistarray ID, items\n"
                         "dlg.getlistarray ID, sel\nout.add str(sel.getsize())\n"
                         "dlg.selectlistindex ID, 2\ndlg.selectlistindex ID, 0\n"
                         "dlg.getlistarray ID, sel\nout.addarray sel\n"
                         "out.add dlg.getlist(ID)\n"  // the caret: the item selected last
                         "dlg.selectlistindex ID, -1\ndlg.getlistarray ID, sel\nout.add str(sel.getsize())\n"
                         "dlg.clearlist ID\ndlg.getlistarray ID, sel\nout.add str(sel.getsize())\n")),
                  (Lines{"0", "a", "c", "a", "3", "0"}))
            << "list " << id;
    }
    // Each item of getlistarray is cut to 255 characters too.
    EXPECT_EQ(Out("dlg.addlist 21, string(\"q\", 300)\ndlg.selectlistindex 21, 0\n"
                  "dlg.getlistarray 21, sel\nout.add str(len(sel$[1]))\nout.add str(len(dlg.getlist(21)))\n"),
              (Lines{"255", "255"}));
}

TEST_F(DialogObjectTest, SortedListKeepsItsOrder) {
    EXPECT_EQ(Out("dlg.addlist 23, \"pear\"\ndlg.addlist 23, \"Apple\"\ndlg.addlist 23, \"fig\"\n"
                  "dlg.selectlistindex 23, 0\nout.add dlg.getlist(23)\n"
                  "dlg.selectlistindex 23, 2\nout.add dlg.getlist(23)\n"),
              (Lines{"Apple", "pear"}));
}

TEST_F(DialogObjectTest, ComboBoxes) {
    EXPECT_EQ(
        Out("out.add dlg.getcombo(30)\n"
            "dlg.addcombo 30, \"one\"\ndlg.addcombo 30, \"two\"\n"
            "dlg.selectcomboindex 30, 1\nout.add dlg.getcombo(30)\n"
            "dlg.settext 30, \"own\"\nout.add dlg.getcombo(30)\n"
            "dlg.selectcomboindex 30, 7\nout.add \"[\" + dlg.getcombo(30) + \"]\"\n"
            "dlg.selectcomboindex 30, 0\ndlg.clearcombo 30\nout.add \"[\" + dlg.getcombo(30) + \"]\"\n"),
        (Lines{"typed", "two", "own", "[]", "[]"}));
    // A drop-down list shows its selected item and has no text of its own.
    EXPECT_EQ(Out("new a as stringarray\na.add \"zeta\"\na.add \"alpha\"\n"
                  "dlg.addcomboarray 31, a\n"
                  "dlg.settext 31, \"free\"\nout.add \"[\" + dlg.getcombo(31) + \"]\"\n"
                  "dlg.selectcomboindex 31, 0\nout.add dlg.getcombo(31)\n"),
              (Lines{"[]", "alpha"}));
    // List members leave combo boxes alone and the other way round.
    EXPECT_EQ(Out("dlg.addlist 30, \"x\"\ndlg.addcombo 20, \"y\"\ndlg.selectlistindex 20, 0\n"
                  "out.add \"[\" + dlg.getlist(20) + \"]\"\n"),
              (Lines{"[]"}));
}

TEST_F(DialogObjectTest, CheckStates) {
    EXPECT_EQ(Out("out.add str(dlg.getcheck(40))\n"
                  "dlg.setcheck 40\nout.add str(dlg.getcheck(40))\n"
                  "dlg.setcheck 40, 0\nout.add str(dlg.getcheck(40))\n"
                  // A state a button cannot take is its highest one.
                  "dlg.setcheck 40, 2\nout.add str(dlg.getcheck(40))\n"
                  "dlg.setcheck 41, 2\nout.add str(dlg.getcheck(41))\n"
                  "dlg.setcheck 42, -1\nout.add str(dlg.getcheck(42))\n"
                  "dlg.setcheck 1\nout.add str(dlg.getcheck(1))\n"
                  "out.add str(dlg.getcheck(10))\n"),
              (Lines{"0", "1", "0", "1", "2", "1", "0", "0"}));
}

TEST_F(DialogObjectTest, TitleAndHandleProperties) {
    EXPECT_EQ(Out("out.add dlg.title$\n"
                  "dlg.title$ = \"Renamed\"\nout.add dlg.title$\n"
                  "dlg.setcaption \"Again\"\nout.add dlg.TITLE$\n"
                  "if dlg.handle# <> 0 then out.add \"handle\" endif\n"
                  "dlg.other# = 5\nout.add str(dlg.other#)\n"),
              (Lines{"Settings", "Renamed", "Again", "handle", "5"}));
    EXPECT_EQ(Out("try\n dlg.handle# = 1\ncatch\n out.add ErrMsg$\nendtry\n"), (Lines{msg::kHandleReadOnly}));
    DialogObject& other = Add("other", FullDialog());
    EXPECT_NE(other.Window()->NativeHandle(), dialogs.front()->Window()->NativeHandle());
}

TEST_F(DialogObjectTest, UnattendedExecuteAnswersWithTheDefaultPushButton) {
    DialogTemplate firstOnly = FullDialog();
    firstOnly.items.pop_back();  // the radio button
    firstOnly.items.pop_back();  // the default push button
    Add("plain", firstOnly);
    DialogTemplate none;
    none.items = {Item(5, 0x81, 0)};
    Add("empty", none);
    EXPECT_EQ(Out("out.add str(dlg.execute())\nout.add str(dlg.execute(2))\nout.add str(plain.execute())\n"
                  "out.add str(empty.execute())\nout.add str(dlg.execute(0))\ndlg.close\n"),
              (Lines{"1", "1", "2", "0", "1"}));
    // Each modal execute names its dialog once; the modeless one shows nothing.
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "dlg");
    EXPECT_EQ(boxes[0].text, "dialog");
    EXPECT_EQ(boxes[2].caption, "plain");
}

TEST_F(DialogObjectTest, ADialogWithoutWindow) {
    dialogs.push_back(std::make_unique<DialogObject>(program, "bare", nullptr));
    EXPECT_EQ(Out("bare.settext 1, \"x\"\nout.add \"[\" + bare.gettext(1) + bare.title$ + \"]\"\n"
                  "out.add str(bare.handle#)\n"
                  "try\n x# = bare.execute()\ncatch\n out.add ErrMsg$\nendtry\n"),
              (Lines{"[]", "0", msg::kDialogNotInitialized}));
}

TEST_F(DialogObjectTest, ParametersAreRequiredAsEverywhere) {
    std::string missing = std::string("error: ") + msg::kRequiredParameter;
    EXPECT_EQ(Error("dlg.settext 10\n"), missing);
    EXPECT_EQ(Error("dlg.selectlistindex 20\n"), missing);
    EXPECT_EQ(Error("dlg.setcaption\n"), missing);
    EXPECT_EQ(Error("x$ = dlg.gettext()\n"), missing);
    EXPECT_EQ(Error("dlg.nosuch 1\n"), std::string("error: ") + msg::kUnknownStatement);
    // An array name is a bare word; gettextarray into a dialog's name clashes.
    EXPECT_EQ(Error("dlg.gettextarray 10, dlg\n"), std::string("error: ") + msg::kArrayNameConflict);
}

TEST(DialogModelTest, ClassesByOrdinalOrName) {
    using platform::ClassOfItem;
    using platform::ControlClass;
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Number(0x80)), ControlClass::Button);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Number(0x85)), ControlClass::ComboBox);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Number(0x86)), ControlClass::Other);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Named(u"LISTBOX")), ControlClass::ListBox);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Named(u"scrollBar")), ControlClass::ScrollBar);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Named(u"msctls_progress32")), ControlClass::Other);
    EXPECT_EQ(ClassOfItem(NameOrOrdinal::Named(u"Edit\u0100")), ControlClass::Other);
}

TEST(DialogModelTest, ExecuteAndCloseWithoutAScreen) {
    platform::DialogModel model(FullDialog());
    platform::Handle parent = nullptr;
    EXPECT_FALSE(model.Interactive());
    EXPECT_EQ(model.Execute(1, parent).value, 1);
    EXPECT_FALSE(model.Visible());
    EXPECT_EQ(model.FocusedControl(), 10);
    EXPECT_EQ(model.Execute(0, parent).value, 1);
    EXPECT_TRUE(model.Visible());
    model.Close(parent);
    EXPECT_FALSE(model.Visible());
    EXPECT_EQ(parent, nullptr);
}

}  // namespace
}  // namespace tallow
