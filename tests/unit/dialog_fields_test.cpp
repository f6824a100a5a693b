// What the IDE's dialogs show and read without a window: the about box's two
// values and the numbers typed into spin fields.
#include <gtest/gtest.h>

#include <climits>

#include "ide/model/about_texts.h"
#include "ide/model/field_number.h"

namespace tallow::ide {
namespace {

TEST(AboutTexts, EditorDateUsesTwelveHourClockWithoutLeadingZeros) {
    EXPECT_EQ(FormatEditorDate({2026, 12, 10, 15, 5}), "12/10/2026  3:5 PM");
    EXPECT_EQ(FormatEditorDate({1996, 3, 7, 9, 45}), "3/7/1996  9:45 AM");
    EXPECT_EQ(FormatEditorDate({1996, 3, 7, 0, 0}), "3/7/1996  12:0 AM");     // midnight
    EXPECT_EQ(FormatEditorDate({1996, 3, 7, 12, 30}), "3/7/1996  12:30 PM");  // noon
    EXPECT_EQ(FormatEditorDate({1996, 3, 7, 23, 59}), "3/7/1996  11:59 PM");
}

TEST(AboutTexts, EngineVersionPadsTheMinorToThreeDigits) {
    EXPECT_EQ(FormatEngineVersion(0x00010005), "1.005");
    EXPECT_EQ(FormatEngineVersion(0x0002000C), "2.012");
    EXPECT_EQ(FormatEngineVersion(0x00000000), "0.000");
    EXPECT_EQ(FormatEngineVersion(0x000403E8), "4.1000");       // wider minors are not cut
    EXPECT_EQ(FormatEngineVersion(0xFFFFFFFF), "65535.65535");  // both words unsigned
}

TEST(FieldNumber, ReadsSignedDecimalsBetweenBlanks) {
    EXPECT_EQ(ParseFieldNumber("16"), 16);
    EXPECT_EQ(ParseFieldNumber("  7 "), 7);
    EXPECT_EQ(ParseFieldNumber("-3"), -3);
    EXPECT_EQ(ParseFieldNumber("+12"), 12);
    EXPECT_EQ(ParseFieldNumber("007"), 7);
}

TEST(FieldNumber, RefusesWhatIsNoNumber) {
    EXPECT_EQ(ParseFieldNumber(""), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("   "), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("-"), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("12a"), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("1 2"), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("1,000"), std::nullopt);
    EXPECT_EQ(ParseFieldNumber("0x10"), std::nullopt);
}

TEST(FieldNumber, HoldsHugeValuesAtTheEndsOfInt) {
    EXPECT_EQ(ParseFieldNumber("2147483647"), INT_MAX);
    EXPECT_EQ(ParseFieldNumber("2147483648"), INT_MAX);
    EXPECT_EQ(ParseFieldNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseFieldNumber("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseFieldNumber("99999999999999999999999999"), INT_MAX);
}

}  // namespace
}  // namespace tallow::ide
