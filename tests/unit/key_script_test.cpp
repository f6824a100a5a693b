// The key scripts of sendkeys, read with the US layout: latches and their
// order, escapes, key names and the F-number rule, and texts that end early.
#include "objects/key_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "platform/us_key_layout.h"

namespace tallow {
namespace {

// The strokes as "+17 +67 -67 -17" (down and up), with "!" last when the
// text named an unknown key.
std::string Keys(std::string_view text) {
    KeyScript script = ParseKeyScript(text, platform::UsLayoutKeyForChar);
    std::string out;
    for (const platform::KeyStroke& s : script.strokes) {
        if (!out.empty()) out += ' ';
        out += (s.down ? '+' : '-') + std::to_string(s.virtualKey);
    }
    if (script.unknownKey) out += out.empty() ? "!" : " !";
    return out;
}

TEST(KeyScript, CharactersTypeTheirKeysWithTheModifiersTheyNeed) {
    EXPECT_EQ(Keys("a1"), "+65 -65 +49 -49");
    EXPECT_EQ(Keys("B!"), "+16 +66 -66 -16 +16 +49 -49 -16");
    EXPECT_EQ(Keys("\\\\"), "+220 -220");  // an escaped backslash is the backslash key
    EXPECT_EQ(Keys(""), "");
}

TEST(KeyScript, LatchesPressCtrlAltShiftAndClearAfterEachKey) {
    EXPECT_EQ(Keys("\\^c"), "+17 +67 -67 -17");
    EXPECT_EQ(Keys("\\+\\@\\^x"), "+17 +18 +16 +88 -88 -17 -18 -16");
    // A latch joins the modifiers the character needs itself.
    EXPECT_EQ(Keys("\\^A"), "+17 +16 +65 -65 -17 -16");
    // Cleared after the key: the second one goes alone.
    EXPECT_EQ(Keys("\\^ab"), "+17 +65 -65 -17 +66 -66");
    EXPECT_EQ(Keys("\\@\\[F4]\\[TAB]"), "+18 +115 -115 -18 +9 -9");
    // Latched at the very end: nothing is pressed.
    EXPECT_EQ(Keys("a\\^"), "+65 -65");
}

TEST(KeyScript, KeyNamesInAnyCaseAndTheFunctionKeyRule) {
    EXPECT_EQ(Keys("\\[F5]"), "+116 -116");
    EXPECT_EQ(Keys("\\[f12]"), "+123 -123");
    EXPECT_EQ(Keys("\\[F1]\\[F24]"), "+112 -112 +135 -135");
    EXPECT_EQ(Keys("\\[PageDown]\\[numlock]"), "+34 -34 +144 -144");
    EXPECT_EQ(KeyNameCode("F05"), 116);
    EXPECT_EQ(KeyNameCode("del"), 46);
    EXPECT_EQ(KeyNameCode("ScrollLock"), 145);
    // Only numbers of real function keys count.
    for (const char* name : {"F", "F0", "F25", "FOO", "F1X", "F-1", "ESC", "", "TAB "})
        EXPECT_EQ(KeyNameCode(name), 0) << name;
}

TEST(KeyScript, AnUnknownNameStopsAfterTheKeysBeforeIt) {
    EXPECT_EQ(Keys("\\[ESC]"), "!");
    EXPECT_EQ(Keys("ab\\[ESC]cd"), "+65 -65 +66 -66 !");
    // The latch set before the unknown name presses nothing.
    EXPECT_EQ(Keys("\\^\\[ESC]x"), "!");
    EXPECT_EQ(Keys("\\[]"), "!");
}

TEST(KeyScript, NamesOfAnyLength) {
    EXPECT_EQ(Keys("\\[" + std::string(100000, 'K') + "]a"), "!");
    EXPECT_EQ(Keys("\\[F" + std::string(5000, '1') + "]"), "!");
    EXPECT_EQ(Keys("\\[F" + std::string(5000, '0') + "7]"), "+118 -118");
    EXPECT_EQ(Keys("x\\[" + std::string(100000, 'K')), "+88 -88");  // never closed
}

TEST(KeyScript, LongTextsGoOutInBoundedBatchesInOrder) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += i % 2 ? "\\^\\@\\+x" : "y";
    text += "\\[NOKEY]z";
    std::vector<platform::KeyStroke> all;
    size_t batches = 0, largest = 0;
    bool known =
        ReadKeyScript(text, platform::UsLayoutKeyForChar, [&](std::span<const platform::KeyStroke> b) {
            ++batches;
            largest = std::max(largest, b.size());
            all.insert(all.end(), b.begin(), b.end());
        });
    EXPECT_FALSE(known);
    EXPECT_EQ(all.size(), 1500u * 8 + 1500u * 2);
    EXPECT_LE(largest, kStrokeBatch);
    EXPECT_GE(batches, 3u);
    EXPECT_EQ(all, ParseKeyScript(text, platform::UsLayoutKeyForChar).strokes);
    // No key at all: nothing is handed over.
    EXPECT_TRUE(ReadKeyScript("\\q", platform::UsLayoutKeyForChar,
                              [](std::span<const platform::KeyStroke>) { ADD_FAILURE(); }));
}

TEST(KeyScript, TextsThatEndEarlyOrEscapeNothing) {
    EXPECT_EQ(Keys("ab\\"), "+65 -65 +66 -66");  // a lone backslash at the end
    EXPECT_EQ(Keys("a\\[F5"), "+65 -65");        // an unclosed name
    EXPECT_EQ(Keys("\\q\\ a"), "+65 -65");       // other escaped characters are ignored
    EXPECT_EQ(Keys("a]b"), "+65 -65 +221 -221 +66 -66");
}

TEST(KeyScript, CharactersNoKeyTypesAreLeftOutAndTheLatchWaits) {
    EXPECT_EQ(Keys("\xE9"), "");
    EXPECT_EQ(Keys("\\^\xE9z"), "+17 +90 -90 -17");
    EXPECT_EQ(Keys(std::string("a\0b", 3)), "+65 -65 +66 -66");
}

TEST(UsKeyLayout, LettersDigitsPunctuationAndControlCharacters) {
    struct Case {
        char c;
        int virtualKey;
        unsigned modifiers;
    };
    const Case cases[] = {
        {'a', 'A', 0},
        {'Z', 'Z', platform::kModShift},
        {'0', '0', 0},
        {')', '0', platform::kModShift},
        {' ', 32, 0},
        {';', 0xBA, 0},
        {':', 0xBA, platform::kModShift},
        {'~', 0xC0, platform::kModShift},
        {'"', 0xDE, platform::kModShift},
        {'|', 0xDC, platform::kModShift},
        {'\t', 9, 0},
        {'\r', 13, 0},
        {'\n', 13, platform::kModCtrl},
    };
    for (const Case& k : cases) {
        platform::CharKey key;
        ASSERT_TRUE(platform::UsLayoutKeyForChar(k.c, key)) << int(k.c);
        EXPECT_EQ(key.virtualKey, k.virtualKey) << k.c;
        EXPECT_EQ(key.modifiers, k.modifiers) << k.c;
    }
    platform::CharKey key;
    for (char c : {'\0', '\x1b', '\x7f', '\xe9', '\xff'})
        EXPECT_FALSE(platform::UsLayoutKeyForChar(c, key)) << int(c);
    // Every printable character has a key.
    for (int c = 0x20; c < 0x7F; ++c)
        EXPECT_TRUE(platform::UsLayoutKeyForChar(char(c), key)) << c;
}

}  // namespace
}  // namespace tallow
