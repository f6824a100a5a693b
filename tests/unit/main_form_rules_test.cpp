// The main window's fixed rules: names, help topics, the builder's command
// line, the listing, the help contents merge and the window's placement.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/main_form_rules.h"
#include "ide/model/window_settings.h"
#include "tests/unit/fake_document_host.h"

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
    EXPECT_EQ(BuilderCommandLine("C:\\Tallow\\TallowMake.exe", "C:\\My Files\\demo.cod", "C:\\out\\demo.exe"),
              "C:\\Tallow\\TallowMake.exe C:\\My Files\\demo.cod\"C:\\out\\demo.exe");
    // The builder reads its arguments after its own path, which must stay one word.
    EXPECT_EQ(BuilderCommandLine("C:\\Program Files\\Tallow\\TallowMake.exe", "a.cod", "a.exe"),
              "\"C:\\Program Files\\Tallow\\TallowMake.exe\" a.cod\"a.exe");
}

TEST(MainFormRules, PrintListing) {
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

TEST(MainFormRules, WindowPlacementRoundTripsAndKeepsDefaults) {
    FakeDocumentHost host;
    WindowPlacement current;
    EXPECT_EQ(ReadWindowPlacement(host, current), current);
    std::string section = std::string(kSettingsKey) + "|Window|";
    host.registry[section + "Width"] = "800x";
    host.registry[section + "Left"] = "-20";
    host.registry[section + "State"] = "2";
    WindowPlacement read = ReadWindowPlacement(host, current);
    EXPECT_EQ(read.width, 575);
    EXPECT_EQ(read.left, -20);
    EXPECT_TRUE(read.maximized);
    WindowPlacement saved{10, 20, 640, 480, false};
    WriteWindowPlacement(host, saved);
    EXPECT_EQ(host.registry[section + "State"], "0");
    EXPECT_EQ(ReadWindowPlacement(host, current), saved);
}

}  // namespace
}  // namespace tallow::ide
