#include "navdb/SplitFields.h"

#include <gtest/gtest.h>

#include <climits>

using Fields = std::vector<std::string>;

TEST(SplitFields, RunsOfDelimitersCountAsOneAndEmptyFieldsDisappear) {
    EXPECT_EQ(splitFields("A,,B"), (Fields{"A", "B"}));
    EXPECT_EQ(splitFields(",A,"), (Fields{"A"}));
    EXPECT_EQ(splitFields(",,,A,B,,,C,,,"), (Fields{"A", "B", "C"}));
    EXPECT_EQ(splitFields(""), Fields{});
    EXPECT_EQ(splitFields(",,,"), Fields{});
    // No trimming and no quoting: blanks and quotes stay in the field.
    EXPECT_EQ(splitFields(" A , \"B,C\""), (Fields{" A ", " \"B", "C\""}));
    // Any character of the set delimits.
    EXPECT_EQ(splitFields("K=V;W", "=;"), (Fields{"K", "V", "W"}));
}

TEST(SplitFields, NumbersConvertLikeTheCLibraryAndSaturate) {
    EXPECT_EQ(fieldInt("  42abc"), 42);
    EXPECT_EQ(fieldInt("-17"), -17);
    EXPECT_EQ(fieldInt("+8"), 8);
    EXPECT_EQ(fieldInt("12.9"), 12);
    EXPECT_EQ(fieldInt("abc"), 0);
    EXPECT_EQ(fieldInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(fieldInt("-99999999999999999999"), INT32_MIN);
    EXPECT_DOUBLE_EQ(fieldDouble(" 1.5e2x"), 150.0);
    EXPECT_DOUBLE_EQ(fieldDouble("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(fieldDouble("N51"), 0.0);
    // A field longer than the conversion buffer still converts.
    EXPECT_DOUBLE_EQ(fieldDouble(std::string(100, '0') + "7.5"), 7.5);
    EXPECT_EQ(fieldRealToInt("270.9"), 270);
    EXPECT_EQ(fieldRealToInt("-270.9"), -270);
    EXPECT_EQ(fieldRealToInt("nan"), 0);
    EXPECT_EQ(fieldRealToInt("1e30"), INT32_MAX);
    EXPECT_EQ(toUint16(70000), 65535);
    EXPECT_EQ(toUint16(-3), 0);
    EXPECT_EQ(toInt16(-11), -11);
    EXPECT_EQ(toInt16(40000), 32767);
}
