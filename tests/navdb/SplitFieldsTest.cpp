#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "navdb/SplitFields.h"

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

TEST(SplitFields, ConversionsSaturateInsteadOfOverflowing) {
    EXPECT_EQ(fieldInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(fieldInt("-99999999999999999999"), INT32_MIN);
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

// The conversions take a shortcut for plain decimal fields; on any text they must give
// exactly what the C library gives.
TEST(SplitFields, ConversionsMatchTheCLibraryOnAnyText) {
    std::mt19937 rng(99);
    const std::string alphabet = "0123456789-+.eExXinaf ";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 14);
    std::vector<std::string> samples = {"1e400",
                                        "-1e400",
                                        "1e-400",
                                        "0x1A",
                                        "-0x10",
                                        "9223372036854775808",
                                        "-9223372036854775809",
                                        "inf",
                                        "-nan",
                                        ".5",
                                        "-.5",
                                        "-.",
                                        "5.",
                                        "1e",
                                        "1e+"};
    for (int i = 0; i < 200000; ++i) {
        std::string s;
        for (size_t n = length(rng); n > 0; --n) s += alphabet[pick(rng)];
        samples.push_back(s);
    }
    for (const std::string& s : samples) {
        double expected = std::strtod(s.c_str(), nullptr);
        double got = fieldDouble(s);
        if (std::isnan(expected)) {
            ASSERT_TRUE(std::isnan(got)) << s;
        } else {
            ASSERT_EQ(std::memcmp(&expected, &got, sizeof got), 0) << s;
        }
        long wide = std::strtol(s.c_str(), nullptr, 10);
        int32_t narrow =
            wide > INT32_MAX ? INT32_MAX : (wide < INT32_MIN ? INT32_MIN : static_cast<int32_t>(wide));
        ASSERT_EQ(fieldInt(s), narrow) << s;
    }
}
