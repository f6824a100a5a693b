// Shortcuts on Linux as desktop entries: the two layers of quoting of the
// Exec key, the escapes of string values, and the whole entry.
#include "platform/desktop_entry.h"

#include <gtest/gtest.h>

namespace tallow::platform {
namespace {

TEST(DesktopEntry, ExecQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(ExecValue("/usr/bin/prog", {"-v", "plain.txt"}), "/usr/bin/prog -v plain.txt");
    // Reserved characters quote the word; inside quotes " ` $ \ take a
    // backslash, and the value escape doubles every backslash again.
    EXPECT_EQ(ExecValue("/opt/My App/run", {}), "\"/opt/My App/run\"");
    EXPECT_EQ(ExecValue("p", {"a b", "it's", "x>y", "~", "a;b", "*.txt", "#1", "(x)"}),
              "p \"a b\" \"it's\" \"x>y\" \"~\" \"a;b\" \"*.txt\" \"#1\" \"(x)\"");
    EXPECT_EQ(ExecValue("p", {"say \"hi\""}), "p \"say \\\\\"hi\\\\\"\"");
    EXPECT_EQ(ExecValue("p", {"$HOME", "`id`"}), "p \"\\\\$HOME\" \"\\\\`id\\\\`\"");
    EXPECT_EQ(ExecValue("p", {"c:\\x"}), "p \"c:\\\\\\\\x\"");
    // A percent sign would be a field code: it is doubled, quoted or not.
    EXPECT_EQ(ExecValue("p", {"100%", "50% off"}), "p 100%% \"50%% off\"");
    EXPECT_EQ(ExecValue("p", {""}), "p \"\"");
    EXPECT_EQ(ExecValue("p", {"line\nbreak"}), "p \"line\\nbreak\"");
}

TEST(DesktopEntry, StringValuesAreEscaped) {
    EXPECT_EQ(EscapeValue("plain text"), "plain text");
    EXPECT_EQ(EscapeValue(" lead"), "\\slead");
    EXPECT_EQ(EscapeValue("a\\b\nc\td\re"), "a\\\\b\\nc\\td\\re");
    EXPECT_EQ(EscapeValue(""), "");
}

TEST(DesktopEntry, TheWholeEntry) {
    ShellLinkFields link;
    link.target = "/usr/bin/editor";
    link.arguments = "\"my notes.txt\" -n 50%";
    link.description = "Edit my notes";
    link.workingDir = "/home/u/docs";
    link.iconFile = "/usr/share/icons/editor.png";
    link.iconIndex = 3;
    EXPECT_EQ(DesktopEntryText(link, "/home/u/Desktop/My Notes.lnk"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=My Notes\n"
              "Comment=Edit my notes\n"
              "Exec=/usr/bin/editor \"my notes.txt\" -n 50%%\n"
              "Path=/home/u/docs\n"
              "Icon=/usr/share/icons/editor.png\n");
    // Empty texts are left out; a name that is all extension stays whole.
    ShellLinkFields bare;
    bare.target = "run.sh";
    EXPECT_EQ(DesktopEntryText(bare, ".desktop"),
              "[Desktop Entry]\nType=Application\nName=.desktop\nExec=run.sh\n");
    EXPECT_EQ(DesktopEntryText(bare, "dir.v2/launch"),
              "[Desktop Entry]\nType=Application\nName=launch\nExec=run.sh\n");
}

}  // namespace
}  // namespace tallow::platform
