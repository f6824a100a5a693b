// The main window's document without a window: a fresh document, dialog
// naming, tabs and status texts, code files of both versions written and
// read, and Replace All.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/code_file.h"
#include "ide/model/main_form_model.h"
#include "ide/model/main_form_rules.h"
#include "tests/unit/fake_document_host.h"

namespace tallow::ide {
namespace {

codec::DialogTemplate WithButton(codec::DialogTemplate dialog, uint16_t id, const std::u16string& title) {
    codec::DialogItem button;
    button.style = 0x50030001;
    button.x = 10, button.y = 20, button.cx = 43, button.cy = 15;
    button.id = id;
    button.windowClass = codec::NameOrOrdinal::Named(u"BUTTON");
    button.title = codec::NameOrOrdinal::Named(title);
    dialog.items.push_back(button);
    return dialog;
}

class MainForm : public ::testing::Test {
protected:
    MainForm() : form(host) {
        form.today = [] { return CreationDate{2026, 12, 10}; };
        form.Document().Setup();
        form.Document().New();
    }
    FakeDocumentHost host;
    MainFormModel form;
};

TEST_F(MainForm, FreshDocument) {
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "Dialog"}));
    EXPECT_EQ(form.Editor().GetText(), "Dialog.Execute()\r\n");
    EXPECT_EQ(host.title, "untitled.cod - Tallow95");
    EXPECT_EQ(form.ModifiedText(), "");
    EXPECT_EQ(form.PositionText(), "1: 1");
    EXPECT_FALSE(form.Document().Modified());
    EXPECT_FALSE(form.Created().IsSet());
    // The frame: the middle of a 551 x 323 surface below a caption bar, in
    // dialog units of a 7 x 13 font, without WS_VISIBLE but with the font.
    const codec::DialogTemplate& frame = form.Dialogs()[0].dialog;
    EXPECT_EQ(frame.style, 0x00CB00C4u);
    EXPECT_EQ(frame.x, 78);    // 137 * 4 / 7 = 78.3
    EXPECT_EQ(frame.y, 60);    // (80 + 18) * 8 / 13 = 60.3
    EXPECT_EQ(frame.cx, 157);  // 274 * 4 / 7 = 156.6
    EXPECT_EQ(frame.cy, 87);   // (160 - 18) * 8 / 13 = 87.4
    EXPECT_EQ(frame.title, u"Dialog");
    EXPECT_EQ(frame.typeface, u"MS Sans Serif");
}

TEST_F(MainForm, ModifiedMarkAndStatus) {
    form.Editor().InsertChar('x', 0, 0);
    EXPECT_TRUE(form.Document().Modified());
    EXPECT_EQ(form.ModifiedText(), "Modified");
    form.Editor().SetFocus(true);  // the editor reports its cursor while it shows the caret
    form.Editor().MoveTo(0, 3, false);
    EXPECT_EQ(form.PositionText(), "1: 4");
    form.SelectTab(1);
    EXPECT_EQ(form.PositionText(), "");
}

TEST_F(MainForm, DialogNamesFillGaps) {
    form.AddDialog();
    form.AddDialog();
    form.AddDialog();
    EXPECT_EQ(form.TabCaptions(),
              (std::vector<std::string>{"Code", "Dialog", "Dialog1", "Dialog2", "Dialog3"}));
    EXPECT_EQ(form.ActiveTab(), 4);
    EXPECT_TRUE(form.Document().Modified());
    EXPECT_FALSE(form.DeleteDialog(0));  // the first dialog stays
    ASSERT_TRUE(form.DeleteDialog(2));
    EXPECT_EQ(form.ActiveTab(), 3);  // same index: "Dialog3"
    ASSERT_TRUE(form.DeleteDialog(2));
    EXPECT_EQ(form.ActiveTab(), 2);  // was the last: the one before
    form.AddDialog();
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "Dialog", "Dialog1", "Dialog2"}));
    // F6 after the last tab comes back to the code.
    form.SelectNextTab();
    EXPECT_EQ(form.ActiveTab(), 0);
    form.SelectNextTab();
    EXPECT_EQ(form.CurrentDialog(), 0u);
}

TEST_F(MainForm, RenameRefusesReservedAndInvalidNames) {
    form.AddDialog();
    for (const char* name : {"Editor", "Status", "Button1", "Dialog", "dialog1", "N10", "CompileMenuItem"})
        EXPECT_EQ(form.RenameDialog(1, name), RenameResult::Reserved) << name;
    for (const char* name : {"", "1st", "has space", "a.b", "Sixteen_chars_xx"})
        EXPECT_EQ(form.RenameDialog(1, name), RenameResult::Invalid) << name;
    EXPECT_EQ(form.RenameDialog(1, "Fifteen_chars_x"), RenameResult::Renamed);
    EXPECT_EQ(form.RenameDialog(0, "_ask2"), RenameResult::Renamed);
    // A renamed first dialog frees "Dialog" for the next new one.
    form.AddDialog();
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "_ask2", "Fifteen_chars_x", "Dialog1"}));
}

TEST_F(MainForm, ClearKeepsOnlyAFreshFirstDialog) {
    form.AddDialog();
    form.RenameDialog(0, "Main");
    form.SetDialogTemplate(0, WithButton(form.Dialogs()[0].dialog, 7, u"Go"));
    form.Editor().SetText("print 1");
    host.answers = {SaveAnswer::No};
    ASSERT_TRUE(form.Document().New());
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "Dialog"}));
    EXPECT_TRUE(form.Dialogs()[0].dialog.items.empty());
    EXPECT_EQ(form.Editor().GetText(), "Dialog.Execute()\r\n");
    EXPECT_FALSE(form.Document().Modified());
    EXPECT_EQ(form.ActiveTab(), 0);
}

TEST_F(MainForm, SavedDocumentReadsBack) {
    form.RenameDialog(0, "ask");
    form.SetDialogTemplate(0, WithButton(form.Dialogs()[0].dialog, 7, u"Go"));
    form.AddDialog();
    form.Editor().SetText("print str(ask.execute())\r\nDialog1.close");
    host.saveChoices = {"/w/demo.cod"};
    ASSERT_TRUE(form.Document().Save());
    EXPECT_EQ(form.Created(), (CreationDate{2026, 12, 10}));

    codec::CodeFile file;
    ASSERT_EQ(codec::ReadCodeFile(host.files["/w/demo.cod"], file), codec::CodeFileError::None);
    EXPECT_EQ(file.version, 1);
    EXPECT_EQ(file.year, 2026);
    ASSERT_EQ(file.dialogs.size(), 2u);
    EXPECT_EQ(file.dialogs[0].name, "ask");
    EXPECT_EQ(file.dialogs[1].name, "Dialog1");
    EXPECT_EQ(file.code, std::string("print str(ask.execute())\r\nDialog1.close") + '\0');

    // A later save keeps the first date.
    form.today = [] { return CreationDate{2030, 1, 1}; };
    form.Editor().InsertChar('\'', 1, 0);
    ASSERT_TRUE(form.Document().Save());
    ASSERT_EQ(codec::ReadCodeFile(host.files["/w/demo.cod"], file), codec::CodeFileError::None);
    EXPECT_EQ(file.year, 2026);

    std::vector<codec::DialogTemplate> saved;
    for (const DialogPage& page : form.Dialogs())
        saved.push_back(page.dialog);
    ASSERT_TRUE(form.Document().New());
    ASSERT_TRUE(form.Document().OpenFile("/w/demo.cod"));
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "ask", "Dialog1"}));
    EXPECT_EQ(form.Dialogs()[0].dialog, saved[0]);
    EXPECT_EQ(form.Dialogs()[1].dialog, saved[1]);
    EXPECT_EQ(form.Editor().Line(1), "'Dialog1.close");
    EXPECT_EQ(form.Created(), (CreationDate{2026, 12, 10}));
    EXPECT_FALSE(form.Document().Modified());
    EXPECT_EQ(host.title, "demo.cod - Tallow95");
}

TEST_F(MainForm, VersionZeroFillsTheFirstDialog) {
    codec::CodeFile file;
    file.version = 0;
    file.year = 1997, file.month = 3, file.day = 4;
    codec::CodeFileDialog only;
    only.name = "dialog";
    only.templateBytes = codec::WriteDialogTemplate(WithButton(form.Dialogs()[0].dialog, 9, u"OK"));
    file.dialogs.push_back(only);
    file.code = std::string("dialog.execute()") + '\0';
    host.files["/w/old.cod"] = codec::WriteCodeFile(file);

    ASSERT_TRUE(form.Document().OpenFile("/w/old.cod"));
    EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "Dialog"}));
    ASSERT_EQ(form.Dialogs()[0].dialog.items.size(), 1u);
    EXPECT_EQ(form.Dialogs()[0].dialog.items[0].id, 9);
    EXPECT_EQ(form.Created(), (CreationDate{1997, 3, 4}));
    EXPECT_EQ(form.Editor().GetText(), "dialog.execute()\r\n");

    // Saved again, it becomes a version-1 file.
    form.Editor().InsertChar(' ', 0, 16);
    ASSERT_TRUE(form.Document().Save());
    ASSERT_EQ(codec::ReadCodeFile(host.files["/w/old.cod"], file), codec::CodeFileError::None);
    EXPECT_EQ(file.version, 1);
    EXPECT_EQ(file.dialogs[0].name, "Dialog");
}

TEST_F(MainForm, UnusableFilesAreRefused) {
    host.files["/w/text.cod"] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(form.Document().OpenFile("/w/text.cod"));
    EXPECT_EQ(host.warnings.back(), "Cannot read '/w/text.cod'");

    // Names the window could not give a dialog, or the same name twice.
    for (std::vector<std::string> names : {std::vector<std::string>{"Editor"}, {"a", "A"}, {"bad name"}}) {
        codec::CodeFile file;
        for (const std::string& name : names)
            file.dialogs.push_back({name, {}, codec::WriteDialogTemplate(form.Dialogs()[0].dialog)});
        file.code = std::string(1, '\0');
        host.files["/w/names.cod"] = codec::WriteCodeFile(file);
        EXPECT_FALSE(form.Document().OpenFile("/w/names.cod")) << names[0];
        EXPECT_EQ(form.TabCaptions(), (std::vector<std::string>{"Code", "Dialog"}));
        EXPECT_TRUE(form.Document().Untitled());
    }
}

TEST_F(MainForm, FailedSaveBeforeRunKeepsEverything) {
    form.AddDialog();
    form.Editor().SetText("print 1\r\nprint 2");
    form.Editor().InsertChar('x', 1, 7);
    host.failWrites = true;
    host.answers = {SaveAnswer::Yes};
    host.saveChoices = {"/w/run.cod"};
    EXPECT_FALSE(form.Document().QuerySave(true));
    EXPECT_EQ(form.Editor().GetText(), "print 1\r\nprint 2x\r\n");
    EXPECT_TRUE(form.Editor().Modified());
    EXPECT_EQ(form.Dialogs().size(), 2u);
    EXPECT_TRUE(form.Document().Modified());
    EXPECT_EQ(form.ModifiedText(), "Modified");
    EXPECT_FALSE(form.Created().IsSet());
}

TEST_F(MainForm, ReplaceAllCountsAndRestoresTheCursor) {
    form.Editor().SetText("a cat\r\ncatcat\r\ndog");
    form.Editor().SetCursor(2, 1);
    EXPECT_EQ(form.ReplaceAll("CAT", "cow", false), 3);
    EXPECT_EQ(form.Editor().GetText(), "a cow\r\ncowcow\r\ndog\r\n");
    EXPECT_EQ(form.Editor().Cursor(), (TextPosition{2, 1}));
    EXPECT_EQ(ReplaceAllMessage(3, "CAT"), "Replaced 3 occurances of 'CAT'");
    // A replacement that contains the text is not replaced again.
    EXPECT_EQ(form.ReplaceAll("cow", "cows", true), 3);
    EXPECT_EQ(form.ReplaceAll("horse", "x", true), 0);
    EXPECT_EQ(form.Editor().Cursor(), (TextPosition{2, 1}));
    EXPECT_EQ(ReplaceAllMessage(0, "horse"), "Search string 'horse' not found");
}

}  // namespace
}  // namespace tallow::ide
