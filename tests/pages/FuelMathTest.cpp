// The FUEL pages' arithmetic against figures worked out by hand.
#include <gtest/gtest.h>

#include "pages/FuelMath.h"

namespace {

TEST(FuelMath, ConverterChainsTruncatedStepsFromEveryUnit) {
    struct Case {
        FuelUnit unit;
        int typed;
        FuelUnitValues expected;  // lb, kg, US gal, imp gal, litres
    };
    const Case cases[] = {
        // 500 x 2.20462 = 1102.3, then as from 1102 lb; the typed kilograms stay.
        {FuelUnit::Kilograms, 500, {1102, 500, 162, 134, 613}},
        // 50000 x 2.20462 is 110231 exactly, though the product in binary lands just below it.
        {FuelUnit::Kilograms, 50000, {110231, 50000, 16210, 13497, 61361}},
        // 100 x 6.8 = 680 lb; 680 x 0.453592 = 308.4 kg; 83.3 imp gal; 378.5 litres.
        {FuelUnit::UsGallons, 100, {680, 308, 100, 83, 378}},
        // 100 / 0.832674 = 120.1 US gal -> 816 lb -> 370.1 kg; 120 x 3.78541 = 454.2 litres.
        {FuelUnit::ImperialGallons, 100, {816, 370, 120, 100, 454}},
        // 1000 x 0.219969 = 219.97 imp gal; 219 / 0.832674 = 263.01 US gal -> 1788.4 lb -> 811.0 kg.
        {FuelUnit::Litres, 1000, {1788, 811, 263, 219, 1000}},
        {FuelUnit::Pounds, 0, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convertFuel(c.unit, c.typed), c.expected)
            << "unit " << static_cast<int>(c.unit) << ", typed " << c.typed;
    }
}

// The worked flight of the FUEL page tests (60 NM at 240 kt, 4000 lb at 1200 lb/h) covers the
// ordinary figures; these are the edges the pages do not reach.
TEST(FuelMath, NoGroundSpeedOrFlowGivesNothingAndBurnSaturates) {
    EXPECT_EQ(timeToGoHours(60.0, 0), 0.0);
    EXPECT_EQ(timeToGoHours(60.0, -5), 0.0);
    // Below a flow of 1 lb/h there is no endurance.
    EXPECT_EQ(enduranceHours(4000, 0), 0.0);
    // A saturating truncation: a silly flow times a long time does not overflow.
    EXPECT_EQ(fuelForHours(99999, 1e7), 2147483647);
}

TEST(FuelMath, ClockTimesWrapAtMidnight) {
    // 23:50 plus half an hour is 00:20; plus 25 hours is 00:50 the day after.
    EXPECT_EQ(clockAfter(23, 50, 0.5).hours, 0);
    EXPECT_EQ(clockAfter(23, 50, 0.5).minutes, 20);
    EXPECT_EQ(clockAfter(23, 50, 25.0).hours, 0);
    EXPECT_EQ(clockAfter(23, 50, 25.0).minutes, 50);
    // Off at 10:50, now 11:10: twenty minutes, not one hour forty.
    EXPECT_EQ(minutesSince(10, 50, 11, 10), 20);
    EXPECT_EQ(minutesSince(23, 30, 0, 15), 45);
    EXPECT_EQ(minutesSince(9, 0, 9, 0), 0);
    EXPECT_EQ(wrapHour(4 - 8), 20);
    EXPECT_EQ(wrapHour(22 + 5), 3);
}

}  // namespace
