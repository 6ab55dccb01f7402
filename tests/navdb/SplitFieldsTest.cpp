#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "navdb/SplitFields.h"

using Fields = std::vector<std::string>;

TEST(SplitFields, RunsOfDelimitersCountAsOneAndEmptyFieldsDisappear) {
    EXPECT_EQ(splitFields(",,,A,B,,,C,,,"), (Fields{"A", "B", "C"}));
    EXPECT_EQ(splitFields(",,,"), Fields{});
    // No trimming and no quoting: blanks and quotes stay in the field.
    EXPECT_EQ(splitFields(" A , \"B,C\""), (Fields{" A ", " \"B", "C\""}));
    // Any character of the set delimits.
    EXPECT_EQ(splitFields("K=V;W", "=;"), (Fields{"K", "V", "W"}));
}

TEST(SplitFields, ConversionsSaturateInsteadOfOverflowing) {
    // A field longer than the conversion buffer still converts.
    EXPECT_DOUBLE_EQ(fieldDouble(std::string(100, '0') + "7.5"), 7.5);
    EXPECT_EQ(fieldRealToInt("-270.9"), -270);
    EXPECT_EQ(fieldRealToInt("nan"), 0);
    EXPECT_EQ(fieldRealToInt("1e30"), INT32_MAX);
    EXPECT_EQ(toUint16(70000), 65535);
    EXPECT_EQ(toUint16(-3), 0);
    EXPECT_EQ(toInt16(-11), -11);
    EXPECT_EQ(toInt16(40000), 32767);
}

// The conversions take a shortcut for plain decimal fields; on the texts where a shortcut goes
// wrong they must give exactly what the C library gives (integers saturated to 32 bits).
// The leg-builder fuzz target makes the same comparison on arbitrary fields.
TEST(SplitFields, ConversionsMatchTheCLibraryAtTheEdges) {
    std::istringstream edges(
        "1e400 -1e400 1e-400 0x1A -0x10 9223372036854775808 -9223372036854775809 99999999999999999999 "
        "-99999999999999999999 inf -nan .5 -.5 -. 5. 1e 1e+ +7 --1 0.1 123456789.123456789 1e5x 12e-3 00012");
    for (std::string s; edges >> s;) {
        double expected = std::strtod(s.c_str(), nullptr);
        double got = fieldDouble(s);
        EXPECT_TRUE(std::isnan(expected) ? std::isnan(got) : std::memcmp(&expected, &got, sizeof got) == 0)
            << s;
        long wide = std::strtol(s.c_str(), nullptr, 10);
        EXPECT_EQ(fieldInt(s), std::clamp<long>(wide, INT32_MIN, INT32_MAX)) << s;
    }
}
