// The UTF-8 decoder: the characters of valid text, and what it refuses.
#include "platform/utf8_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tallow::platform {
namespace {

using Characters = std::vector<uint32_t>;

TEST(Utf8TextTest, ValidTextGivesItsCharacters) {
    Characters characters;
    ASSERT_TRUE(DecodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", characters));
    EXPECT_EQ(characters, (Characters{'a', 0xE9, 0x20AC, 0x1F600}));
    ASSERT_TRUE(DecodeUtf8("", characters));
    EXPECT_TRUE(characters.empty());
    ASSERT_TRUE(DecodeUtf8("\xF4\x8F\xBF\xBF", characters));  // the last character
    EXPECT_EQ(characters, Characters{0x10FFFF});
}

TEST(Utf8TextTest, InvalidTextIsRefused) {
    Characters characters;
    for (const char* text : {"\xE9", "caf\xE9", "\xC3", "\xE2\x82", "\xC0\xAF", "\xE0\x80\xAF",
                             "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\x80",
                             "a\xC3"
                             "a"})
        EXPECT_FALSE(DecodeUtf8(text, characters)) << text;
}

}  // namespace
}  // namespace tallow::platform
