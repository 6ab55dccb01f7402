#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "SimOffsetTable.h"
#include "simlink/SimOffsets.h"

namespace {

struct TableFixture : ::testing::Test {
    SimWorld world;
    SimOffsetTable table{world};
    SimAircraft& a = world.aircraft;

    template <typename T>
    T read(const SimVar& var) {
        EXPECT_EQ(sizeof(T), var.size);
        T value;
        table.readOffset(var.offset, reinterpret_cast<uint8_t*>(&value), sizeof value);
        return value;
    }
    template <typename T>
    void write(const SimVar& var, T value) {
        EXPECT_EQ(sizeof(T), var.size);
        table.writeOffset(var.offset, reinterpret_cast<const uint8_t*>(&value), sizeof value);
    }
};

constexpr double kTwo32 = 4294967296.0;

}  // namespace

// The version offsets are checked by every link opened on the stand-in simulator.
TEST_F(TableFixture, PositionAndAnglesInTheSimulatorsUnits) {
    a.latDeg = -33.94612345;
    a.lonDeg = -122.30931234;
    EXPECT_NEAR(read<int64_t>(simvar::kLatitude) * 2.0951091487837895e-15, a.latDeg, 1e-12);
    EXPECT_NEAR(read<int64_t>(simvar::kLongitude) * (360.0 / 18446744073709551616.0), a.lonDeg, 1e-12);
    a.lonDeg = 180.0;  // the same meridian as -180, which fits the signed range
    EXPECT_NEAR(read<int64_t>(simvar::kLongitude) * (360.0 / 18446744073709551616.0), -180.0, 1e-12);

    // Heading is an unsigned fraction of the circle: 359.9 is near the top, not negative.
    a.headingTrueDeg = 359.9;
    EXPECT_NEAR(read<uint32_t>(simvar::kHeadingTrue) * 360.0 / kTwo32, 359.9, 1e-6);

    // The simulator's signs (bank and pitch are shown on the DATA page): rolling right is negative.
    a.rollRateDegS = 10.0;
    EXPECT_NEAR(read<double>(simvar::kRollRate), -10.0 * M_PI / 180.0, 1e-12);
}

TEST_F(TableFixture, SpeedsTrackAltitudesAndWind) {
    a.trueAirspeedKt = 300.0;
    a.headingTrueDeg = 100.0;
    a.windFromDeg = 270.0;
    a.windSpeedKt = 20.0;  // pure tailwind on a heading of 90 would be 320; here a 10-degree crosswind part
    a.magVarDeg = 15.0;
    const SimGroundVector g = groundVector(a);
    EXPECT_NEAR(read<int32_t>(simvar::kGroundSpeed) / 65536.0 / (1852.0 / 3600.0), g.speedKt, 1e-3);
    EXPECT_NEAR(read<double>(simvar::kGroundTrackMag) * 180.0 / M_PI, g.trackTrueDeg - 15.0, 1e-9);
    EXPECT_EQ(read<uint16_t>(simvar::kWindSpeed), 20);
    // 270 degrees is three quarters of the circle; the raw value only fits unsigned.
    EXPECT_EQ(read<uint16_t>(simvar::kWindDirection), 49152);

    a.altitudeFt = 3280.84;
    a.groundElevationFt = 280.84;
    EXPECT_EQ(read<int32_t>(simvar::kAltimeterAltitude), 3281);
    EXPECT_EQ(read<uint16_t>(simvar::kUnitsSetting), 0);
    EXPECT_NEAR(read<int32_t>(simvar::kRadioAltitude) / 65536.0, 3000.0 * 0.3048, 1e-4);
    a.metricAltimeter = true;
    EXPECT_EQ(read<int32_t>(simvar::kAltimeterAltitude), 1000);
    EXPECT_NE(read<uint16_t>(simvar::kUnitsSetting), 0);
}

TEST_F(TableFixture, FuelQuantitiesAndFlows) {
    a.fuelLbPerGallon = 6.7;
    a.tankCapacityGal[0] = 200.0;
    a.tankCapacityGal[4] = 350.0;
    a.tankLevel[0] = 0.5;
    a.tankLevel[4] = 0.25;
    a.engineFlowLbH[1] = 640.5;
    EXPECT_EQ(read<uint16_t>(simvar::kFuelWeightPerGallon), 1715);  // 6.7 * 256 = 1715.2
    EXPECT_EQ(read<int32_t>(simvar::kFuelTankLevel[0]), 4194304);
    EXPECT_EQ(read<int32_t>(simvar::kFuelTankLevel[4]), 2097152);
    EXPECT_EQ(read<int32_t>(simvar::kFuelTankCapacity[4]), 350);
    EXPECT_EQ(read<double>(simvar::kEngineFuelFlow[1]), 640.5);
    // Parked, the engines idle.
    setOnGround(a, true);
    EXPECT_NEAR(read<double>(simvar::kEngineFuelFlow[1]), 192.15, 1e-9);
    setFuelFraction(a, 0.0);
    EXPECT_EQ(read<double>(simvar::kEngineFuelFlow[1]), 0.0);
}

TEST_F(TableFixture, WritesTheProgramMakesAreApplied) {
    write<int16_t>(simvar::kAileron, -12000);
    EXPECT_EQ(a.aileron, -12000);
    EXPECT_EQ(a.secondsSinceAileron, 0.0);
    write<int16_t>(simvar::kAileron, 32000);  // beyond full deflection
    EXPECT_EQ(a.aileron, 16384);
    write<int32_t>(simvar::kAutopilotAltitude, 1000 * 65536);  // metres * 65536
    EXPECT_NEAR(a.autopilotAltitudeFt, 3280.84, 0.01);
    write<int16_t>(simvar::kAutopilotVerticalSpeed, -1500);
    EXPECT_EQ(a.autopilotVerticalSpeedFpm, -1500);
    // The panel's VNAV byte sits between the coupled and waypoint bytes and is not touched.
    write<uint8_t>(simvar::kPanelCoupled, 1);
    write<uint8_t>(simvar::kPanelWaypoint, 7);
    EXPECT_EQ(read<uint8_t>(simvar::kPanelVnav), 0);
    // Read-only values ignore writes.
    a.latDeg = 47.0;
    write<int64_t>(simvar::kLatitude, 0);
    EXPECT_EQ(a.latDeg, 47.0);
}

TEST_F(TableFixture, PartialAndUnknownRequestsAreSafe) {
    // A write of the aileron's high byte alone keeps its low byte.
    write<int16_t>(simvar::kAileron, 0x0102);
    const uint8_t high = 0x03;
    table.writeOffset(simvar::kAileron.offset + 1, &high, 1);
    EXPECT_EQ(a.aileron, 0x0302);

    // A read of the middle of the latitude returns those bytes of its encoding.
    a.latDeg = 12.345;
    const int64_t lat = read<int64_t>(simvar::kLatitude);
    uint8_t middle[3];
    table.readOffset(simvar::kLatitude.offset + 2, middle, 3);
    EXPECT_EQ(std::memcmp(middle, reinterpret_cast<const uint8_t*>(&lat) + 2, 3), 0);

    // Unknown offsets read as zeros, however large the request and wherever it ends.
    std::vector<uint8_t> big(40000, 0xAA);
    table.readOffset(0xFFFFF000u, big.data(), static_cast<uint32_t>(big.size()));
    for (uint8_t b : big) ASSERT_EQ(b, 0);
    table.readOffset(0x9000, big.data(), 16);
    EXPECT_EQ(big[0], 0);
    table.writeOffset(0xFFFFFFFFu, big.data(), static_cast<uint32_t>(big.size()));
    table.readOffset(0, nullptr, 0);
}

TEST_F(TableFixture, EveryOffsetTheProgramUsesIsServed) {
    // With every value of the aircraft set, each offset the program reads answers something
    // other than zeros, and each offset it writes reads back what was written.
    a.latDeg = a.lonDeg = 1.0;
    a.altitudeFt = 5000.0;
    a.groundElevationFt = 100.0;
    a.headingTrueDeg = 45.0;
    a.bankDeg = 5.0;
    a.pitchDeg = 3.0;
    a.rollRateDegS = 1.0;
    a.trueAirspeedKt = 200.0;
    a.windFromDeg = 10.0;
    a.windSpeedKt = 10.0;
    a.magVarDeg = 10.0;
    a.utcSeconds = 1715702400.0 + 3661.0;
    a.paused = a.slewing = a.autopilotMaster = a.navGpsSwitch = a.metricAltimeter = true;
    a.panelVnav = 8;
    for (int t = 0; t < kSimTankCount; ++t) a.tankCapacityGal[t] = 10.0;
    setFuelFraction(a, 1.0);
    for (double& f : a.engineFlowLbH) f = 100.0;
    for (const SimVarEntry& e : kSimVarTable) {
        std::vector<uint8_t> bytes(e.var.size, 0);
        if (e.var.offset == simvar::kOnGround.offset) continue;  // zero in flight, checked below
        if (e.use == SimVarUse::Read) {
            table.readOffset(e.var.offset, bytes.data(), e.var.size);
            bool any = false;
            for (uint8_t b : bytes) any = any || b != 0;
            EXPECT_TRUE(any) << e.name;
        } else if (e.var.offset != simvar::kClientLibVersion.offset) {
            const std::vector<uint8_t> pattern(e.var.size, 0x11);
            table.writeOffset(e.var.offset, pattern.data(), e.var.size);
            table.readOffset(e.var.offset, bytes.data(), e.var.size);
            EXPECT_EQ(bytes, pattern) << e.name;
        }
    }
    EXPECT_EQ(read<uint16_t>(simvar::kOnGround), 0);
    a.onGround = true;
    EXPECT_EQ(read<uint16_t>(simvar::kOnGround), 1);
}
