// The main window's fixed rules: names, command enabling, help topics,
// the builder's command line, the listing and the help contents merge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/main_form_rules.h"

namespace tallow::ide {
namespace {

TEST(MainFormRules, NewDialogNamesSkipTakenAndReservedNames) {
    EXPECT_EQ(NextDialogName({"Dialog"}), "Dialog1");
    EXPECT_EQ(NextDialogName({"Dialog", "dialog1", "Dialog3"}), "Dialog2");
    EXPECT_EQ(InvalidNameMessage("1x"), "''1x'' is not a valid component name");
    EXPECT_TRUE(IsValidComponentName("_"));
    EXPECT_TRUE(IsValidComponentName("a1_b"));
    EXPECT_FALSE(IsValidComponentName("\xe9t\xe9"));  // letters of the code page are not identifiers
}

TEST(MainFormRules, EditMenus) {
    EditMenuState designer = DesignerEditMenu(true, true, true, false);
    EXPECT_FALSE(designer.cut || designer.copy || designer.del || designer.paste);
    EXPECT_TRUE(designer.tabOrderChecked);
    designer = DesignerEditMenu(false, true, false, true);
    EXPECT_TRUE(designer.cut && designer.copy && designer.del && designer.paste);
    EXPECT_FALSE(designer.tabOrderChecked);
    EditMenuState editor = EditorEditMenu(false, true);
    EXPECT_FALSE(editor.cut || editor.copy || editor.del);
    EXPECT_TRUE(editor.paste);
    EXPECT_FALSE(CanDeleteDialog(0));
    EXPECT_FALSE(CanDeleteDialog(1));
    EXPECT_TRUE(CanDeleteDialog(2));
}

TEST(MainFormRules, NewControlSizes) {
    EXPECT_EQ(kControlCommands[0].width, 75);
    EXPECT_EQ(NewControlHeight(kControlCommands[0], -11), 25);
    EXPECT_EQ(NewControlHeight(kControlCommands[1], -11), 15);  // static: font height + 4
    EXPECT_EQ(NewControlHeight(kControlCommands[1], 13), 17);
}

TEST(MainFormRules, ContextHelp) {
    EXPECT_EQ(HelpTopicName(DesignerHelpSubject(-1)), "DIALOGxRESOURCExEDITOR");
    EXPECT_EQ(HelpTopicName(DesignerHelpSubject(2)), "TEXTxBOXES");
    EXPECT_EQ(HelpTopicName("Revision History"), "REVISIONxHISTORY");
    EXPECT_EQ(ContextHelpWord("  x# = msgbox(\"hi\")", 9), "msgbox");  // inside the word
    EXPECT_EQ(ContextHelpWord("  x# = msgbox(\"hi\")", 7), "msgbox");  // at its start
    EXPECT_EQ(ContextHelpWord("  x# = msgbox(\"hi\")", 4), "msgbox");  // blanks: the next word
    EXPECT_EQ(ContextHelpWord("a.b", 0), "a");
    EXPECT_EQ(ContextHelpWord("print", 5), "");  // beyond the line
    EXPECT_EQ(ContextHelpWord("x = ", 2), "");
}

TEST(MainFormRules, BuilderCommandLineIsExact) {
    EXPECT_EQ(ExecutableNameFor("C:\\My Files\\demo.cod"), "C:\\My Files\\demo.exe");
    EXPECT_EQ(ExecutableNameFor("C:\\v1.2\\demo"), "C:\\v1.2\\demo.exe");
    EXPECT_EQ(BuilderCommandLine("C:\\Tallow\\", "C:\\My Files\\demo.cod", "C:\\out\\demo.exe"),
              "C:\\Tallow\\TallowMake.exe C:\\My Files\\demo.cod\"C:\\out\\demo.exe");
}

TEST(MainFormRules, StatusAndListing) {
    EXPECT_EQ(PositionStatus(0, 0), "1: 1");
    EXPECT_EQ(ModifiedStatus(true), "Modified");
    EXPECT_EQ(ModifiedStatus(false), "");
    EXPECT_EQ(PrintListing("C:\\a.cod", {"print 1"}),
              (std::vector<std::string>{"Begin listing: C:\\a.cod", "", "", "", "print 1", "", "", "",
                                        "End listing: C:\\a.cod"}));
}

TEST(MainFormRules, HelpContentsMergeAddsEachLineOnce) {
    std::vector<std::string> merged = MergeHelpContents({":Base TALLOW.HLP", ":include serial.cnt"},
                                                        {"TALLOW.CNT", "serial.cnt", "dde.cnt"});
    EXPECT_EQ(merged, (std::vector<std::string>{":Base TALLOW.HLP", ":include serial.cnt",
                                                "1 Extension Objects", ":Include dde.cnt"}));
    EXPECT_EQ(MergeHelpContents(merged, {"dde.cnt"}), merged);
    EXPECT_EQ(MergeHelpContents({}, {}), std::vector<std::string>{"1 Extension Objects"});
}

TEST(MainFormRules, FileTypeRegistration) {
    std::vector<RegistryDefault> values = FileTypeRegistration("C:\\Tallow\\TallowEdit.exe");
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0].key, ".cod");
    EXPECT_EQ(values[0].value, "Tallow95CodFile");
    EXPECT_EQ(values[3].key, "Tallow95CodFile\\shell\\edit\\command");
    EXPECT_EQ(values[3].value, "\"C:\\Tallow\\TallowEdit.exe\" \"%1\"");
    EXPECT_EQ(values[4].value, "\"C:\\Tallow\\TallowEdit.exe,0\"");
}

}  // namespace
}  // namespace tallow::ide
