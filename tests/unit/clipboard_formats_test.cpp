// The records that carry clipboard contents to the desktop module's helper
// process, and the format numbers of registered names.
#if !defined(_WIN32)

#include "platform/posix/gui/clipboard_formats.h"

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

}  // namespace
}  // namespace tallow::gui

#endif
