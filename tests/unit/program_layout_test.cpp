// The search for the programs and documents beside TallowEdit in every place
// it is started from, and Run's and Compile's decisions.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ide/model/program_layout.h"
#include "ide/model/run_report.h"

namespace tallow::ide {
namespace {

// A file system of the named files only; either separator, any case.
FileProbe Files(std::set<std::string> files) {
    return [files](const std::string& path) {
        for (const std::string& file : files)
            if (SamePath(file, path)) return true;
        return false;
    };
}

TEST(ProgramLayout, PathsCollapseAndCompareWithoutCase) {
    EXPECT_EQ(CollapsePath("C:\\a\\b\\..\\..\\c\\.\\d"), "C:\\c\\d");
    EXPECT_EQ(CollapsePath("C:/a/b/../"), "C:\\a\\");
    EXPECT_EQ(CollapsePath("C:\\..\\..\\x"), "C:\\x");  // the drive is the top
    EXPECT_EQ(CollapsePath("Z:\\"), "Z:\\");
    EXPECT_EQ(CollapsePath("..\\a\\..\\..\\b"), "..\\..\\b");
    EXPECT_EQ(CollapsePath("\\\\server\\share\\x\\..\\y"), "\\\\server\\share\\y");
    EXPECT_TRUE(SamePath("c:\\Tallow\\A.cod", "C:/tallow/x/../a.COD"));
    EXPECT_FALSE(SamePath("C:\\a.cod", "C:\\b.cod"));
    EXPECT_EQ(LayoutRoots("C:\\build\\ide\\win32\\"),
              (std::vector<std::string>{"C:\\build\\ide\\win32\\", "C:\\build\\ide\\", "C:\\build\\"}));
    EXPECT_EQ(LayoutRoots("C:\\bin\\"), (std::vector<std::string>{"C:\\bin\\", "C:\\"}));
}

TEST(ProgramLayout, EveryPlaceTallowEditStartsFromFindsItsPrograms) {
    // The build tree: TallowEdit two folders below the programs, the
    // documents in docs/.
    ProgramLayout build = FindProgramLayout(
        "Z:\\src\\build\\win64\\ide\\win32\\",
        Files({"Z:\\src\\build\\win64\\tallowrun.exe", "Z:\\src\\build\\win64\\TallowMake.exe",
               "Z:\\src\\build\\win64\\TallowCore.dll", "Z:\\src\\build\\win64\\docs\\reference\\index.html",
               "Z:\\src\\build\\win64\\docs\\guide\\index.html"}));
    EXPECT_EQ(build.launcher, "Z:\\src\\build\\win64\\tallowrun.exe");
    EXPECT_EQ(build.builder, "Z:\\src\\build\\win64\\TallowMake.exe");
    EXPECT_EQ(build.engine, "Z:\\src\\build\\win64\\TallowCore.dll");
    EXPECT_EQ(build.reference, "Z:\\src\\build\\win64\\docs\\reference\\");
    EXPECT_EQ(build.guide, "Z:\\src\\build\\win64\\docs\\guide\\");

    // The Windows installation: bin\ and share\doc\tallow\ beside it.
    std::string app = "C:\\Users\\a b\\AppData\\Local\\Programs\\Tallow\\";
    ProgramLayout installed = FindProgramLayout(
        app + "bin\\", Files({app + "bin\\tallowrun.exe", app + "bin\\TallowMake.exe",
                              app + "bin\\TallowCore.dll", app + "share\\doc\\tallow\\reference\\index.html",
                              app + "share\\doc\\tallow\\guide\\index.html"}));
    EXPECT_EQ(installed.launcher, app + "bin\\tallowrun.exe");
    EXPECT_EQ(installed.builder, app + "bin\\TallowMake.exe");
    EXPECT_EQ(installed.reference, app + "share\\doc\\tallow\\reference\\");
    EXPECT_EQ(installed.guide, app + "share\\doc\\tallow\\guide\\");

    // The Debian package: lib/tallowedit/ with the documents two folders up.
    ProgramLayout debian = FindProgramLayout(
        "Z:\\usr\\lib\\tallowedit\\",
        Files({"Z:\\usr\\lib\\tallowedit\\tallowrun.exe", "Z:\\usr\\lib\\tallowedit\\TallowMake.exe",
               "Z:\\usr\\share\\doc\\tallow\\reference\\index.html",
               "Z:\\usr\\share\\doc\\tallow\\guide\\index.html"}));
    EXPECT_EQ(debian.launcher, "Z:\\usr\\lib\\tallowedit\\tallowrun.exe");
    EXPECT_EQ(debian.reference, "Z:\\usr\\share\\doc\\tallow\\reference\\");
    EXPECT_EQ(debian.guide, "Z:\\usr\\share\\doc\\tallow\\guide\\");
    EXPECT_EQ(debian.engine, "");

    // A copied folder: everything beside TallowEdit, the nearest copy first.
    ProgramLayout copied = FindProgramLayout(
        "D:\\tools\\tallow\\",
        Files({"D:\\tools\\tallow\\TallowMake.exe", "D:\\tools\\TallowMake.exe",
               "D:\\tools\\tallow\\reference\\index.html", "D:\\tools\\docs\\reference\\index.html"}));
    EXPECT_EQ(copied.builder, "D:\\tools\\tallow\\TallowMake.exe");
    EXPECT_EQ(copied.reference, "D:\\tools\\tallow\\reference\\");
    EXPECT_EQ(copied.launcher, "");
    EXPECT_EQ(copied.guide, "");

    // Three folders up is too far: an unrelated tree is not taken.
    EXPECT_EQ(FindProgramLayout("C:\\a\\b\\c\\d\\", Files({"C:\\a\\TallowMake.exe"})).builder, "");
}

TEST(RunReport, TheRouteAndTheLaunchersCommandLine) {
    EXPECT_EQ(ChooseRunRoute(true, true), RunRoute::Shell);
    EXPECT_EQ(ChooseRunRoute(true, false), RunRoute::Shell);
    EXPECT_EQ(ChooseRunRoute(false, true), RunRoute::Launcher);
    EXPECT_EQ(ChooseRunRoute(false, false), RunRoute::None);
    EXPECT_EQ(LauncherCommandLine("C:\\Program Files\\t\\tallowrun.exe", "C:\\My Files\\a.cod"),
              "\"C:\\Program Files\\t\\tallowrun.exe\" \"C:\\My Files\\a.cod\"");
}

TEST(RunReport, TheRunnersErrorLineIsFoundWhereverItStands) {
    auto error = ParseRunDiagnostic("C:\\My Files\\a.cod:12:9: error: unknown variable encountered: 'y#'\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->file, "C:\\My Files\\a.cod");
    EXPECT_EQ(error->line, 12);
    EXPECT_EQ(error->column, 9);
    EXPECT_EQ(error->message, "unknown variable encountered: 'y#'");

    // After other output, with CR LF, and with the script's part named.
    error = ParseRunDiagnostic("some output\r\nZ:\\t\\b.cod:script:3:1: error: unbalanced parenthesis\r\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->file, "Z:\\t\\b.cod");
    EXPECT_EQ(error->line, 3);
    EXPECT_EQ(error->message, "unbalanced parenthesis");

    // Nothing that only looks like it.
    EXPECT_FALSE(ParseRunDiagnostic(""));
    EXPECT_FALSE(ParseRunDiagnostic("a.cod:x:9: error: m"));
    EXPECT_FALSE(ParseRunDiagnostic("a.cod:9: error: m"));
    EXPECT_FALSE(ParseRunDiagnostic(":3:4: error: m"));
    EXPECT_FALSE(ParseRunDiagnostic("a.cod:3:4: warning: m"));
    EXPECT_FALSE(ParseRunDiagnostic("a.cod:99999999999:4: error: m"));  // no overflow
}

TEST(RunReport, MessagesSayWhatFailedAndWhy) {
    EXPECT_EQ(NoRunnerMessage("C:\\a.cod"),
              "Cannot run 'C:\\a.cod': no program is registered to open code files, and tallowrun.exe is not "
              "beside TallowEdit.");
    EXPECT_EQ(CannotCompileMessage("C:\\a.cod", "Access is denied."),
              "Cannot compile 'C:\\a.cod': Access is denied.");
    EXPECT_EQ(NoBuilderMessage("a.cod"), "Cannot compile 'a.cod': TallowMake.exe is not beside TallowEdit.");
    EXPECT_EQ(CompiledMessage("C:\\a.exe"), "The program was compiled to 'C:\\a.exe'.");
    EXPECT_EQ(CompileFailedStatus("C:\\a.exe", 1), "Not compiled: C:\\a.exe (TallowMake.exe status 1)");
}

}  // namespace
}  // namespace tallow::ide
