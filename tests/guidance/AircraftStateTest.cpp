#include <gtest/gtest.h>

#include "geo/Calendar.h"

#include <cmath>

#include "shell/Fms.h"
#include "TableOffsetSpace.h"
#include "simlink/AircraftState.h"
#include "simlink/SimOffsets.h"
#include "platform/Clock.h"
#include "InProcessSimTransport.h"

namespace {

// The unit's link connected to a raw table; declared before the context so it outlives it.
struct RawLink : ::testing::Test {
    TableOffsetSpace sim;
    ManualClock clock;
    InProcessSimTransport transport{&sim, &clock};
    Fms context;
    ScopedFms current{context};
    AircraftState& state = context.simlink.aircraft;

    void SetUp() override {
        context.simlink.link.setTransport(&transport);
        uint32_t result = 0;
        ASSERT_TRUE(context.simlink.link.open(0, result)) << simResultText(result);
        context.simlink.simLinked = true;
    }
    void failNextBatches() { transport.replyOverride = 0; }
    void answerAgain() { transport.replyOverride.reset(); }
};

// Signed 32-bit and 16-bit fractions of the circle, as the simulator encodes angles.
const auto angle32 = [](double deg) { return static_cast<int32_t>(deg / 360.0 * 4294967296.0); };
const auto heading32 = [](double deg) { return static_cast<uint32_t>(deg / 360.0 * 4294967296.0); };
const auto variation16 = [](double deg) { return static_cast<int16_t>(std::lround(deg * 65536 / 360)); };

}  // namespace

TEST(Calendar, MonthsAndLeapYears) {
    struct Case {
        int day, year, dayOfMonth;
        const char* month;
    };
    // 2000 is a leap year (divisible by 400), 1900 is not (by 100 only).
    const Case cases[] = {{60, 2003, 1, "MAR"},  {60, 2004, 29, "FEB"}, {60, 2000, 29, "FEB"},
                          {60, 1900, 1, "MAR"},  {1, 2003, 1, "JAN"},   {31, 2003, 31, "JAN"},
                          {366, 2004, 31, "DEC"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.day << " " << c.year);
        CivilDate d;
        ASSERT_TRUE(dateFromDayOfYear(c.year, c.day, d));
        EXPECT_EQ(d.day, c.dayOfMonth);
        EXPECT_STREQ(monthAbbreviation(d.month), c.month);
        EXPECT_EQ(d.year, c.year);
        EXPECT_EQ(dayOfYear(d), c.day);
    }
    // Days that do not exist leave the date alone instead of walking off the month table.
    CivilDate d{1999, 12, 31};
    for (int day : {0, 366, 65535}) EXPECT_FALSE(dateFromDayOfYear(2003, day, d)) << day;
    EXPECT_EQ(d.day, 31);
    // Days since the epoch, both ways, across a century that is not a leap year.
    EXPECT_EQ(daysFromCivil({2100, 3, 1}) - daysFromCivil({2100, 2, 28}), 1);
    EXPECT_EQ(civilFromDays(daysFromCivil({2015, 1, 8})).day, 8);
}

TEST_F(RawLink, PerFrameConversions) {
    sim.set<int64_t>(simvar::kLatitude, static_cast<int64_t>(47.5 / 2.0951091487837895e-15));
    sim.set<int64_t>(simvar::kLongitude, static_cast<int64_t>(-122.25 / (360.0 / 18446744073709551616.0)));
    sim.set<int32_t>(simvar::kAltimeterAltitude, 1000);
    sim.set<int16_t>(simvar::kUnitsSetting, 1);           // metres
    sim.set<uint16_t>(simvar::kWindDirection, 49152);     // 270 degrees: only fits unsigned
    sim.set<int32_t>(simvar::kGroundSpeed, 100 * 65536);  // 100 m/s
    sim.set<uint32_t>(simvar::kHeadingTrue, 0xFFFFFFFFu);
    sim.set<int32_t>(simvar::kBank, angle32(15.0));  // left wing down
    sim.set<int32_t>(simvar::kRadioAltitude, 1000 * 65536);
    readSimulatorState();

    EXPECT_NEAR(state.position.lat, 47.5, 1e-12);
    EXPECT_NEAR(state.position.lon, -122.25, 1e-12);
    EXPECT_EQ(state.positionF.lon, -122.25f);
    EXPECT_EQ(state.altimeterFt, 3280);  // 1000 m * 3.28084, truncated
    EXPECT_EQ(state.windDirectionDeg, 270);
    EXPECT_FLOAT_EQ(state.groundSpeedKt, 194.0f);  // with the program's 1.94 knots per m/s
    EXPECT_EQ(state.headingMagDeg, 359);           // unsigned: just under 360, not -1
    EXPECT_NEAR(state.bankDeg, 15.0f, 1e-5);
    EXPECT_EQ(state.radioAltitudeFt, 3280);  // 1000 m * 3.28

    // Feet stay feet; wind rounds half away from zero; bank to the right is negative.
    sim.set<int16_t>(simvar::kUnitsSetting, 0);
    sim.set<int32_t>(simvar::kAltimeterAltitude, -35);
    sim.set<uint16_t>(simvar::kWindDirection, 91);  // 0.4999 degrees
    sim.set<int32_t>(simvar::kBank, angle32(-20.0));
    readSimulatorState();
    EXPECT_EQ(state.altimeterFt, -35);
    EXPECT_EQ(state.windDirectionDeg, 0);
    EXPECT_NEAR(state.bankDeg, -20.0f, 1e-5);
    sim.set<uint16_t>(simvar::kWindDirection, 92);  // 0.5054 degrees
    readSimulatorState();
    EXPECT_EQ(state.windDirectionDeg, 1);
}

TEST_F(RawLink, HeadingUsesTheLastGuidanceVariation) {
    sim.set<uint32_t>(simvar::kHeadingTrue, 0x20000000u);  // 45 degrees true (44.99 with 8.381e-8)
    sim.set<int16_t>(simvar::kMagVariation, variation16(15.5));
    readSimulatorState();
    EXPECT_EQ(state.headingMagDeg, 44);  // no guidance read yet: variation 0

    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_NEAR(state.magVarDeg, 15.5f, 0.003);
    EXPECT_EQ(state.magVarIntDeg, 15);
    EXPECT_NEAR(state.headingMagF, 45.0 - 15.5, 0.01);
    readSimulatorState();
    EXPECT_EQ(state.headingMagDeg, 29);  // trunc(44.99 - 15)

    // West variation lifts the magnetic heading past 360, which wraps past north.
    sim.set<int16_t>(simvar::kMagVariation, variation16(-19.5));
    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_EQ(state.magVarIntDeg, -19);  // -19.5007 truncates toward zero
    sim.set<uint32_t>(simvar::kHeadingTrue, heading32(350.0));
    readSimulatorState();
    EXPECT_EQ(state.headingMagDeg, 8);  // 349.962 (with 8.381e-8) + 19 = 368.96
    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_NEAR(state.headingMagF, 369.463f, 0.001f);  // the float form is not wrapped
}

TEST_F(RawLink, FailedPerFrameBatchZeroesOnlyWhatStartsFromZero) {
    sim.set<int64_t>(simvar::kLatitude, static_cast<int64_t>(10.0 / 2.0951091487837895e-15));
    sim.set<uint16_t>(simvar::kDayOfYear, 32);
    sim.set<int32_t>(simvar::kAltimeterAltitude, 5000);
    sim.set<int16_t>(simvar::kWindSpeed, 30);
    sim.set<uint16_t>(simvar::kWindDirection, 16384);
    sim.set<int32_t>(simvar::kGroundSpeed, 50 * 65536);
    sim.set<uint32_t>(simvar::kHeadingTrue, 0x40000000u);
    sim.set<int32_t>(simvar::kBank, 0x01000000);
    sim.set<int32_t>(simvar::kRadioAltitude, 300 * 65536);
    sim.set<double>(simvar::kRollRate, 0.25);
    readSimulatorState();
    ASSERT_EQ(state.altimeterFt, 5000);

    failNextBatches();
    readSimulatorState();
    // Preset each frame: zero after a failed batch.
    EXPECT_EQ(state.altimeterFt, 0);
    EXPECT_EQ(state.windDirectionDeg, 0);
    EXPECT_EQ(state.groundSpeedKt, 0.0f);
    EXPECT_EQ(state.headingMagDeg, 0);
    EXPECT_EQ(state.bankDeg, 0.0f);
    EXPECT_EQ(state.radioAltitudeFt, 0);
    // Read straight into the state, or kept on purpose: unchanged.
    EXPECT_NEAR(state.position.lat, 10.0, 1e-12);
    EXPECT_EQ(state.monthName, "FEB");
    EXPECT_EQ(state.windSpeedKt, 30);
    EXPECT_EQ(state.rollRate, 0.25);

    // A metric units setting from an earlier frame does not scale the zeroed altimeter.
    answerAgain();
    sim.set<int16_t>(simvar::kUnitsSetting, 1);
    readSimulatorState();
    EXPECT_EQ(state.altimeterFt, 16404);  // 5000 m
    failNextBatches();
    readSimulatorState();
    EXPECT_EQ(state.altimeterFt, 0);
}

TEST_F(RawLink, GuidanceAndPanelReadsConvertOnlyWhenTheBatchSucceeds) {
    sim.set<uint32_t>(simvar::kHeadingTrue, 0x40000000u);
    sim.set<int16_t>(simvar::kMagVariation, variation16(10.5));
    sim.set<uint32_t>(simvar::kNavGpsSwitch, 1);
    sim.set<uint32_t>(simvar::kAutopilotMaster, 1);
    sim.set<int32_t>(simvar::kGroundSpeed, 100 * 65536);
    sim.set<uint8_t>(simvar::kPanelVnav, 8);
    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_EQ(state.groundSpeedIntKt, 194);
    EXPECT_TRUE(lnavCoupled(state));
    EXPECT_TRUE(readPanelVnavEnabled());
    const float heading = state.headingMagF;

    sim.set<uint32_t>(simvar::kAutopilotMaster, 0);
    sim.set<int32_t>(simvar::kGroundSpeed, 10 * 65536);
    sim.set<int16_t>(simvar::kMagVariation, 0);
    failNextBatches();
    EXPECT_FALSE(readGuidanceInputs());
    EXPECT_EQ(state.groundSpeedIntKt, 194);
    EXPECT_EQ(state.magVarIntDeg, 10);
    EXPECT_EQ(state.headingMagF, heading);
    EXPECT_TRUE(lnavCoupled(state));
    EXPECT_FALSE(readPanelVnavEnabled());

    answerAgain();
    ASSERT_TRUE(readGuidanceInputs());
    EXPECT_EQ(state.groundSpeedIntKt, 19);
    EXPECT_FALSE(lnavCoupled(state));
    sim.set<uint8_t>(simvar::kPanelVnav, 0xF7);  // every bit but 3
    EXPECT_FALSE(readPanelVnavEnabled());
}

TEST_F(RawLink, NothingIsReadOrWrittenWhileNotLinked) {
    sim.set<int32_t>(simvar::kAltimeterAltitude, 5000);
    sim.set<uint8_t>(simvar::kPanelVnav, 8);
    context.simlink.simLinked = false;
    const int before = transport.requestCount;
    readSimulatorState();
    EXPECT_FALSE(readGuidanceInputs());
    EXPECT_FALSE(readPanelVnavEnabled());
    readDataPageAttitude();
    readFuelData(0);
    EXPECT_FALSE(writeAileron(5.0f));
    EXPECT_FALSE(writeNav1CourseAndDeviation(100.0f, 1.0f));
    EXPECT_EQ(transport.requestCount, before);
    EXPECT_EQ(state.altimeterFt, 0);
    EXPECT_EQ(sim.get<int16_t>(simvar::kAileron), 0);
}

TEST_F(RawLink, DataPageAttitudeWrapsPastNorthAndKeepsItsLastReadingOnFailure) {
    // The signs and the variation are shown on the DATA page; here the wrap and a failed read.
    sim.set<int16_t>(simvar::kMagVariation, variation16(-20.5));
    sim.set<uint32_t>(simvar::kHeadingTrue, heading32(350.0));
    const DataPageAttitude& att = readDataPageAttitude();
    EXPECT_EQ(att.variationDeg, -20);
    EXPECT_EQ(att.headingDeg, 9);  // 349.99 + 20 wraps past north

    failNextBatches();
    sim.set<int32_t>(simvar::kBank, angle32(30.0));
    sim.set<uint32_t>(simvar::kHeadingTrue, heading32(10.0));
    EXPECT_EQ(readDataPageAttitude().headingDeg, 9);
    EXPECT_EQ(att.bankDeg, 0.0f);
}

TEST_F(RawLink, FuelQuantitiesFlowsAndEndurance) {
    sim.set<double>(simvar::kEngineFuelFlow[0], 600.7);
    sim.set<double>(simvar::kEngineFuelFlow[1], 599.6);
    sim.set<uint16_t>(simvar::kFuelWeightPerGallon, 1715);  // 6.69921875 lb
    sim.set<int32_t>(simvar::kFuelTankLevel[0], 4194304);   // half of 200 gal
    sim.set<int32_t>(simvar::kFuelTankCapacity[0], 200);
    sim.set<int32_t>(simvar::kFuelTankLevel[4], 8388608);  // all of 350 gal
    sim.set<int32_t>(simvar::kFuelTankCapacity[4], 350);
    const FuelReading& f = readFuelData(5000);
    EXPECT_EQ(f.fuelOnBoardLb, 3014);  // 450 gal * 6.69921875 = 3014.65
    EXPECT_EQ(f.fuelUsedLb, 1986);
    EXPECT_EQ(f.totalFuelFlowLbH, 1200);  // 1200.3 truncated
    EXPECT_NEAR(f.enduranceHours, 3014.0f / 1200.0f, 1e-6);
    EXPECT_FLOAT_EQ(f.tankLevel[0], 0.5f);

    // Fuel used never goes below 0 or above 100000; no flow, no endurance.
    EXPECT_EQ(readFuelData(1000).fuelUsedLb, 0);
    EXPECT_EQ(readFuelData(200000).fuelUsedLb, 100000);
    sim.set<double>(simvar::kEngineFuelFlow[0], 0.5);
    sim.set<double>(simvar::kEngineFuelFlow[1], 0.0);
    EXPECT_EQ(readFuelData(0).enduranceHours, 0.0f);

    // A failed batch keeps the last quantities.
    sim.set<int32_t>(simvar::kFuelTankLevel[4], 0);
    failNextBatches();
    EXPECT_EQ(readFuelData(5000).fuelOnBoardLb, 3014);
}

TEST_F(RawLink, WritesLandAtTheirOffsetsInTheirEncodings) {
    EXPECT_TRUE(writePanelWaypoint(0x34));
    EXPECT_TRUE(writePanelCoupled(true));
    EXPECT_TRUE(writeNav1CourseAndDeviation(163.9f, -1.0f));
    EXPECT_TRUE(writeAutopilotHeading(180.0f));
    EXPECT_TRUE(writeAileron(-5.0f));
    EXPECT_TRUE(writeAutopilotAltitude(10000.0f));
    EXPECT_TRUE(writeAutopilotVerticalSpeed(-1800));
    EXPECT_EQ(sim.get<uint8_t>(simvar::kPanelWaypoint), 0x34);
    EXPECT_EQ(sim.get<uint8_t>(simvar::kPanelCoupled), 1);
    EXPECT_EQ(sim.get<int16_t>(simvar::kNav1Course), 163);
    EXPECT_FLOAT_EQ(sim.get<float>(simvar::kPanelCdi), 25.4f);
    EXPECT_EQ(sim.get<uint16_t>(simvar::kAutopilotHeading), 32768);
    EXPECT_EQ(sim.get<int16_t>(simvar::kAileron), 8192);
    EXPECT_EQ(sim.get<int32_t>(simvar::kAutopilotAltitude), 199753721);  // 3048 m * 65536
    EXPECT_EQ(sim.get<int16_t>(simvar::kAutopilotVerticalSpeed), -1800);
    // Neighbouring panel bytes are untouched by the one-byte writes.
    EXPECT_EQ(sim.table.count(simvar::kPanelVnav.offset), 0u);
    failNextBatches();
    EXPECT_FALSE(writeAileron(5.0f));

    // The limits of the values sent.
    EXPECT_EQ(aileronValue(25.0f), -16384);  // never past full deflection
    EXPECT_EQ(aileronValue(1.0f), -1638);    // truncated toward zero
    EXPECT_FLOAT_EQ(cdiDeflection(-10.0f), 127.0f);
    EXPECT_EQ(autopilotHeadingValue(359.9f), 65517);
    EXPECT_EQ(autopilotHeadingValue(360.0f), 0);
    EXPECT_EQ(autopilotAltitudeValue(1e6f), 2147483647);  // saturates instead of overflowing
    EXPECT_EQ(autopilotVerticalSpeedValue(-7000), -5000);
}
