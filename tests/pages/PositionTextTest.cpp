// Degrees and minutes as the pages show them.
#include <gtest/gtest.h>

#include <limits>

#include "pages/PositionText.h"

namespace {

TEST(PositionText, MinutesRoundAndCarry) {
    // The INIT page tests cover whole positions and the carry with one decimal; with two,
    // 33.9999 degrees (59.994 minutes) stays below 60.
    DegreesMinutes dm = degreesMinutes(33.9999, 2);
    EXPECT_EQ(dm.degrees, 33);
    EXPECT_NEAR(dm.minutes, 59.99, 1e-9);
    // Garbage from a corrupt record shows as zero instead of an undefined conversion.
    dm = degreesMinutes(std::numeric_limits<double>::quiet_NaN(), 1);
    EXPECT_EQ(dm.degrees, 0);
    EXPECT_EQ(latitudeHemisphere(0.0), 'N');
}

}  // namespace
