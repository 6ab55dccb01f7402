// Degrees and minutes as the pages show them.
#include <gtest/gtest.h>

#include <limits>

#include "pages/PositionText.h"

namespace {

TEST(PositionText, DegreesMinutesRoundAndCarry) {
    DegreesMinutes dm = degreesMinutes(-33.5, 1);
    EXPECT_EQ(dm.degrees, 33);
    EXPECT_DOUBLE_EQ(dm.minutes, 30.0);
    dm = degreesMinutes(151.25, 1);
    EXPECT_EQ(dm.degrees, 151);
    EXPECT_DOUBLE_EQ(dm.minutes, 15.0);
    // 47.4505 degrees: 27.03 minutes, shown with one decimal as 27.0.
    dm = degreesMinutes(47.4505, 1);
    EXPECT_EQ(dm.degrees, 47);
    EXPECT_NEAR(dm.minutes, 27.0, 1e-9);
    // 33.9999 degrees is 59.994 minutes: rounds to a full degree, never "33 60.0".
    dm = degreesMinutes(33.9999, 1);
    EXPECT_EQ(dm.degrees, 34);
    EXPECT_DOUBLE_EQ(dm.minutes, 0.0);
    // With two decimals 59.994 stays below 60.
    dm = degreesMinutes(33.9999, 2);
    EXPECT_EQ(dm.degrees, 33);
    EXPECT_NEAR(dm.minutes, 59.99, 1e-9);
    // Garbage from a corrupt record shows as zero instead of an undefined conversion.
    dm = degreesMinutes(std::numeric_limits<double>::quiet_NaN(), 1);
    EXPECT_EQ(dm.degrees, 0);
    EXPECT_EQ(latitudeHemisphere(-0.1), 'S');
    EXPECT_EQ(latitudeHemisphere(0.0), 'N');
    EXPECT_EQ(longitudeHemisphere(-0.1), 'W');
    EXPECT_EQ(longitudeHemisphere(151.25), 'E');
}

}  // namespace
