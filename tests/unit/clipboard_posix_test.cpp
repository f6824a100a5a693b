// The clipboard object where there is no clipboard to reach (Linux without
// a desktop): every member that opens the clipboard says so, after reading
// its parameters and doing what comes before the clipboard; the two that
// need no opening answer. Windows runs its clipboard under Wine
// (tests/wine/clipboard_status_wine_test.cpp).
#include "objects/clipboard_object.h"

#include <gtest/gtest.h>

#include "core/main_object.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/message_box.h"
#include "tests/unit/unattended_program_test.h"

namespace tallow {
namespace {

#if !defined(_WIN32)

using ClipboardPosixTest = UnattendedProgramTest;

TEST_F(ClipboardPosixTest, EveryMemberThatOpensTheClipboardCannot) {
    ASSERT_EQ(Run("a# = Heap.alloc(8)\rdim lines$[2]"), "");
    const char* members[] = {
        "clipboard.settext \"x\"",      "clipboard.settextarray lines", "clipboard.gettextarray lines",
        "x$ = clipboard.gettext()",     "x$ = clipboard.text$",         "clipboard.text$ = \"x\"",
        "clipboard.setbuffer a#, 8, 1",
    };
    for (const char* member : members)
        EXPECT_EQ(Run(member), msg::kCannotOpenClipboard) << member;
    // gettextarray made its array anew before it failed.
    EXPECT_EQ(program.FindStringArray("lines")->items.size(), 0u);
    // getbuffer asks for the format first, which is never there.
    EXPECT_EQ(Run("clipboard.getbuffer a#, 8, 1"), msg::kClipboardFormatNotAvailable);
}

// registerformat and isformatavailable raise nothing: names get numbers of
// their own, the same for the same name, and no format is there.
TEST_F(ClipboardPosixTest, FormatsAreNumberedAndNeverAvailable) {
    ASSERT_EQ(Run("f# = clipboard.registerformat(\"Tallow Private One\")\r"
                  "g# = clipboard.registerformat(\"Tallow Private Two\")\r"
                  "h# = clipboard.registerformat(\"Tallow Private One\")\r"
                  "e# = clipboard.registerformat(\"\")\r"
                  "t# = clipboard.isformatavailable(1)\r"
                  "p# = clipboard.isformatavailable(f#)"),
              "");
    auto number = [&](const char* name) { return program.Main().numMembers.Get(name); };
    EXPECT_GE(number("f"), 0xC000);
    EXPECT_LE(number("f"), 0xFFFF);
    EXPECT_NE(number("g"), number("f"));
    EXPECT_EQ(number("h"), number("f"));
    EXPECT_EQ(number("e"), 0);
    EXPECT_EQ(number("t"), 0);
    EXPECT_EQ(number("p"), 0);
}

TEST_F(ClipboardPosixTest, ParametersAreJudgedFirst) {
    ASSERT_EQ(Run("a# = Heap.alloc(8)"), "");
    EXPECT_EQ(Run("clipboard.settextarray nosuch"), msg::kArrayNotFound);
    EXPECT_EQ(Run("clipboard.setbuffer a#, 1000, 1"), "Invalid heap address!");
    EXPECT_EQ(Run("clipboard.getbuffer a# + 1, -1, 1"), "Invalid heap address!");
    EXPECT_EQ(Run("clipboard.settext"), "required parameter missing");
    EXPECT_EQ(Run("clipboard.getbuffer a#, 8"), "required parameter missing");
    // Other members are the object's own free-form ones.
    EXPECT_EQ(Run("clipboard.other$ = \"kept\"\rif clipboard.other$ <> \"kept\" then throw \"lost\" endif"),
              "");
}

#endif

}  // namespace
}  // namespace tallow
