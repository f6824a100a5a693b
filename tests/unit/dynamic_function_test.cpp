// Declared signatures of library functions and the integer widths that
// script numbers take on the way in and out.
#include "objects/dynamic_function.h"

#include <gtest/gtest.h>

namespace tallow {
namespace {

using T = DynamicType;

TEST(DynamicFunction, SignaturesDecodeEveryCode) {
    std::optional<DynamicSignature> s = ParseSignature(" NS2,S  @NU1 @NS4,,@S NU4 NS1 V NX2 NU2");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->result.type, T::S16);
    const std::pair<T, bool> expected[] = {{T::String, false}, {T::U8, true},   {T::S32, true},
                                           {T::String, true},  {T::U32, false}, {T::S8, false},
                                           {T::Void, false},   {T::S16, false}, {T::U16, false}};
    ASSERT_EQ(s->params.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(s->params[i].type, expected[i].first) << i;
        EXPECT_EQ(s->params[i].byReference, expected[i].second) << i;
    }
    // Characters after the third do not count; a result is never by reference.
    s = ParseSignature("@NU4xyz Vabc Sdef");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->result.type, T::U32);
    EXPECT_FALSE(s->result.byReference);
    EXPECT_EQ(s->params.size(), 2u);
}

TEST(DynamicFunction, InvalidItemsRejectTheWholeSignature) {
    for (const char* text :
         {"", " , ", "X", "NU4 X", "N8", "N", "NU", "NU4 N", "NU3", "@", "NU4 @", "nu4", "s"})
        EXPECT_FALSE(ParseSignature(text)) << '"' << text << '"';
}

TEST(DynamicFunction, NumbersKeepTheirWidthBothWays) {
    EXPECT_EQ(ToNativeWidth(T::U8, 257), 1u);
    EXPECT_EQ(ToNativeWidth(T::S8, -1), 0xFFu);
    EXPECT_EQ(ToNativeWidth(T::S16, -2.9), 0xFFFEu);
    EXPECT_EQ(ToNativeWidth(T::U32, 4294967295.0), 0xFFFFFFFFu);
    EXPECT_EQ(ToNativeWidth(T::S32, -2147483648.0), 0x80000000u);
    EXPECT_EQ(ToNativeWidth(T::U32, 1e12), 0x80000000u);

    EXPECT_EQ(FromNativeWidth(T::U16, 0x1234FFFF), 65535);
    EXPECT_EQ(FromNativeWidth(T::S16, 0x1234FFFF), -1);
    EXPECT_EQ(FromNativeWidth(T::U8, 0x180), 128);
    EXPECT_EQ(FromNativeWidth(T::S8, 0x180), -128);
    EXPECT_EQ(FromNativeWidth(T::U32, 0xFFFFFFFFFFFFFFFFull), 4294967295.0);
    EXPECT_EQ(FromNativeWidth(T::S32, 0xFFFFFFFF80000000ull), -2147483648.0);
}

}  // namespace
}  // namespace tallow
