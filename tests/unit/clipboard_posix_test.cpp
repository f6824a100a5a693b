// The clipboard object where there is no clipboard to reach (Linux without
// a desktop): every member says so, after reading its parameters and doing
// what comes before the clipboard. Windows runs its clipboard under Wine
// (tests/wine/clipboard_status_wine_test.cpp).
#include "objects/clipboard_object.h"

#include <gtest/gtest.h>

#include "core/program.h"
#include "expr/string_array.h"
#include "platform/message_box.h"
#include "tests/unit/unattended_program_test.h"

namespace tallow {
namespace {

#if !defined(_WIN32)

using ClipboardPosixTest = UnattendedProgramTest;

TEST_F(ClipboardPosixTest, EveryMemberCannotOpenTheClipboard) {
    ASSERT_EQ(Run("a# = Heap.alloc(8)\rdim lines$[2]"), "");
    const char* members[] = {
        "clipboard.settext \"x\"",
        "clipboard.settextarray lines",
        "clipboard.gettextarray lines",
        "x$ = clipboard.gettext()",
        "x$ = clipboard.text$",
        "clipboard.text$ = \"x\"",
        "clipboard.setbuffer a#, 8, 1",
        "clipboard.getbuffer a#, 8, 1",
        "x# = clipboard.registerformat(\"Private\")",
        "x# = clipboard.isformatavailable(1)",
    };
    for (const char* member : members)
        EXPECT_EQ(Run(member), msg::kCannotOpenClipboard) << member;
    // gettextarray made its array anew before it failed.
    EXPECT_EQ(program.FindStringArray("lines")->items.size(), 0u);
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
