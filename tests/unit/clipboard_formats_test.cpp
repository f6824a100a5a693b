// The records that carry clipboard contents to the desktop module's helper
// process, the format numbers of registered names, and other programs' text
// as scripts read it.
#if !defined(_WIN32)

#include "platform/posix/gui/clipboard_formats.h"
#include "platform/posix/gui/clipboard_text.h"

#include <gtest/gtest.h>

namespace tallow::gui {
namespace {

TEST(ClipboardFormatsTest, ContentsSurviveTheRecordStream) {
    ClipboardContents contents{{"", "text"}, {"Tallow bytes", std::string("a\0b", 3)}, {"EMPTY", ""}};
    ClipboardContents read;
    ASSERT_TRUE(DecodeContents(EncodeContents(contents), read));
    EXPECT_EQ(read, contents);
}

TEST(ClipboardFormatsTest, TruncatedRecordsAreRefused) {
    std::string bytes = EncodeContents({{"name", "data"}});
    for (size_t cut = 1; cut < bytes.size(); ++cut) {
        ClipboardContents read;
        EXPECT_FALSE(DecodeContents(bytes.substr(0, cut), read)) << cut;
    }
    // A length beyond the bytes, not a read past them.
    std::string huge =
        "\xff\xff\xff\x7f"
        "abc";
    ClipboardContents read;
    EXPECT_FALSE(DecodeContents(huge, read));
}

TEST(ClipboardFormatsTest, RegisteredNamesKeepTheirNumbers) {
    unsigned first = RegisterFormat("Clipboard test one");
    unsigned second = RegisterFormat("Clipboard test two");
    EXPECT_GE(first, kFirstRegisteredFormat);
    EXPECT_NE(first, second);
    EXPECT_EQ(RegisterFormat("Clipboard test one"), first);
    EXPECT_EQ(RegisterFormat(""), 0u);
    EXPECT_EQ(TargetOfFormat(first), "Clipboard test one");
    EXPECT_EQ(TargetOfFormat(kTextFormat), "");
    EXPECT_EQ(TargetOfFormat(2), "TALLOW_FORMAT_2");
}

TEST(ClipboardFormatsTest, OtherProgramsTextBecomesScriptText) {
    using namespace std::string_literals;
    // UTF-8 to single bytes, with '?' for what Latin-1 lacks, and a NUL.
    EXPECT_EQ(ScriptTextOf("caf\xC3\xA9 \xE2\x82\xAC"
                           "5"),
              "caf\xE9 ?5\0"s);
    // Line feeds become CR LF; CR LF stays as it is.
    EXPECT_EQ(ScriptTextOf("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n\0"s);
    EXPECT_EQ(ScriptTextOf("\n"), "\r\n\0"s);
    // Bytes that are no UTF-8 stay.
    EXPECT_EQ(ScriptTextOf("caf\xE9\n"), "caf\xE9\r\n\0"s);
    EXPECT_EQ(ScriptTextOf(""), "\0"s);
}

}  // namespace
}  // namespace tallow::gui

#endif
