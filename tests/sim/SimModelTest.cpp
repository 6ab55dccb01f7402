#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "SimWorld.h"

namespace {

// Level flight with no wind, autopilot holding the current altitude.
SimWorld levelFlight(double headingDeg, double tasKt) {
    SimWorld w;
    w.aircraft.latDeg = 10.0;
    w.aircraft.lonDeg = 20.0;
    w.aircraft.altitudeFt = w.aircraft.autopilotAltitudeFt = 5000.0;
    w.aircraft.headingTrueDeg = headingDeg;
    w.aircraft.trueAirspeedKt = tasKt;
    return w;
}

// Holds the aileron at `value` for `seconds`, writing it every 0.1 s as the program would.
void holdAileron(SimWorld& w, int16_t value, double seconds) {
    const long slices = std::lround(seconds / 0.1);
    for (long i = 0; i < slices; ++i) {
        w.aircraft.aileron = value;
        w.aircraft.secondsSinceAileron = 0.0;
        w.step(0.1);
    }
}

}  // namespace

TEST(SimModel, StraightFlightCoversTheDistanceOverTheGround) {
    // One nautical mile is one minute of arc: 360 kt for 10 minutes is 60 NM = 1 degree, north
    // along a meridian or east along the equator, where crossing the date line wraps.
    struct Case {
        double heading, lat, lon, endLat, endLon;
    };
    const Case cases[] = {
        {0.0, 10.0, 20.0, 11.0, 20.0}, {90.0, 0.0, 20.0, 0.0, 21.0}, {90.0, 0.0, 179.5, 0.0, -179.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lon);
        SimWorld w = levelFlight(c.heading, 360.0);
        w.aircraft.latDeg = c.lat;
        w.aircraft.lonDeg = c.lon;
        w.step(600.0);
        EXPECT_NEAR(w.aircraft.latDeg, c.endLat, 1e-6);
        EXPECT_NEAR(w.aircraft.lonDeg, c.endLon, 1e-6);
        EXPECT_NEAR(w.aircraft.altitudeFt, 5000.0, 1e-6);
    }
}

TEST(SimModel, WindGivesDriftAndGroundSpeed) {
    SimWorld w = levelFlight(0.0, 100.0);
    w.aircraft.windFromDeg = 270.0;  // blows toward the east
    w.aircraft.windSpeedKt = 100.0;
    const SimGroundVector g = groundVector(w.aircraft);
    EXPECT_NEAR(g.trackTrueDeg, 45.0, 1e-9);
    EXPECT_NEAR(g.speedKt, 100.0 * std::sqrt(2.0), 1e-9);

    // Headwind: ground speed is the difference and the track stays on the heading.
    w.aircraft.windFromDeg = 0.0;
    w.aircraft.windSpeedKt = 30.0;
    EXPECT_NEAR(groundVector(w.aircraft).speedKt, 70.0, 1e-9);

    // An hour in that headwind covers 70 NM.
    w.step(3600.0);
    EXPECT_NEAR((w.aircraft.latDeg - 10.0) * 60.0, 70.0, 1e-4);
}

TEST(SimModel, BankTurnsAtTheCoordinatedRate) {
    // Turn rate = g tan(bank) / TAS: 200 kt = 102.889 m/s, 30 degrees -> 0.055031 rad/s = 3.1530 deg/s.
    SimWorld w = levelFlight(0.0, 200.0);
    w.aircraft.bankDeg = 30.0;
    holdAileron(w, 0, 10.0);
    EXPECT_NEAR(w.aircraft.bankDeg, 30.0, 1e-9);
    EXPECT_NEAR(w.aircraft.headingTrueDeg, 31.530, 0.01);

    // Left bank turns left and the heading wraps below 0.
    w.aircraft.headingTrueDeg = 10.0;
    w.aircraft.bankDeg = -30.0;
    holdAileron(w, 0, 10.0);
    EXPECT_NEAR(w.aircraft.headingTrueDeg, 360.0 + 10.0 - 31.530, 0.01);
}

TEST(SimModel, AileronDrivesTheRollRateThroughEachAirframesRollMode) {
    for (const SimAirframe& f : kSimAirframes) {
        SimWorld w = levelFlight(0.0, 250.0);
        w.aircraft.airframe = f;
        // After one time constant the roll rate stands at 1 - 1/e of the full-deflection rate,
        // and the bank is the integral of that rate: max * (t - tau (1 - e^-t/tau)).
        holdAileron(w, 16384, f.rollTimeConstantS);
        EXPECT_NEAR(w.aircraft.rollRateDegS, f.maxRollRateDegS * (1.0 - std::exp(-1.0)), 0.02 * f.maxRollRateDegS)
            << f.name;
        EXPECT_NEAR(w.aircraft.bankDeg, f.maxRollRateDegS * f.rollTimeConstantS * std::exp(-1.0),
                    0.03 * f.maxRollRateDegS * f.rollTimeConstantS)
            << f.name;

        // Half deflection to the left reverses and halves the rate once the lag has passed.
        holdAileron(w, -8192, 6.0 * f.rollTimeConstantS);
        EXPECT_NEAR(w.aircraft.rollRateDegS, -f.maxRollRateDegS / 2, 0.02 * f.maxRollRateDegS) << f.name;

        // Held long enough, the bank stops at the airframe's limit.
        holdAileron(w, -16384, 30.0);
        EXPECT_DOUBLE_EQ(w.aircraft.bankDeg, -f.maxBankDeg) << f.name;
    }
}

TEST(SimModel, TurbulenceIsRepeatableFromItsSeedAndOfItsIntensity) {
    auto fly = [](uint64_t seed, double rollRms) {
        SimWorld w = levelFlight(0.0, 250.0);
        setTurbulence(w.aircraft.turbulence, rollRms, rollRms / 10.0, seed);
        std::vector<double> banks;
        double sumSquares = 0.0;
        for (int i = 0; i < 6000; ++i) {
            holdAileron(w, 0, 0.05);
            banks.push_back(w.aircraft.bankDeg);
            sumSquares += w.aircraft.turbulence.rollRateDegS * w.aircraft.turbulence.rollRateDegS;
        }
        return std::make_pair(banks, std::sqrt(sumSquares / 6000.0));
    };
    const auto [first, firstRms] = fly(7, 5.0);
    const auto [again, againRms] = fly(7, 5.0);
    const auto [other, otherRms] = fly(8, 5.0);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    // Five minutes of gusts have about the intensity asked for.
    EXPECT_NEAR(firstRms, 5.0, 1.0);
    EXPECT_NEAR(otherRms, 5.0, 1.0);
    // Calm air leaves the wings level.
    const auto [calm, calmRms] = fly(7, 0.0);
    EXPECT_EQ(calmRms, 0.0);
    for (double bank : calm) ASSERT_EQ(bank, 0.0);
}

TEST(SimModel, WingsLevelWhenTheProgramStopsSteering) {
    SimWorld w = levelFlight(0.0, 250.0);
    holdAileron(w, 16384, 2.0);
    const double banked = w.aircraft.bankDeg;
    ASSERT_GT(banked, 15.0);
    // The last aileron value still acts for the steering time-out...
    w.step(kSimSteeringTimeoutSeconds - 0.1);
    EXPECT_GT(w.aircraft.bankDeg, banked);
    // ...then the stand-in pilot levels the wings.
    w.step(30.0);
    EXPECT_NEAR(w.aircraft.bankDeg, 0.0, 0.1);
}

TEST(SimModel, AutopilotTargetsDriveTheAltitude) {
    SimWorld w = levelFlight(0.0, 250.0);
    // A climb with no vertical-speed target uses the default rate and captures without overshoot.
    w.aircraft.autopilotAltitudeFt = 8000.0;
    w.step(60.0);
    EXPECT_NEAR(w.aircraft.verticalSpeedFpm, kSimDefaultVerticalSpeedFpm, 1.0);
    EXPECT_GT(w.aircraft.pitchDeg, 2.5);  // nose up in the climb
    w.step(300.0);
    EXPECT_NEAR(w.aircraft.altitudeFt, 8000.0, 1.0);
    EXPECT_LE(w.aircraft.altitudeFt, 8000.0 + 1e-6);

    // A descent at the written vertical speed: about 800 ft per minute once established.
    w.aircraft.autopilotAltitudeFt = 4000.0;
    w.aircraft.autopilotVerticalSpeedFpm = -800;
    w.step(30.0);
    const double before = w.aircraft.altitudeFt;
    w.step(60.0);
    EXPECT_NEAR(before - w.aircraft.altitudeFt, 800.0, 5.0);

    // A vertical-speed target pointing away from the altitude target is not followed.
    w.aircraft.autopilotAltitudeFt = 9000.0;
    w.step(60.0);
    EXPECT_GT(w.aircraft.verticalSpeedFpm, 0.0);
}

TEST(SimModel, FuelDrainsByFlowCentreTankFirst) {
    SimWorld w = levelFlight(0.0, 250.0);
    SimAircraft& a = w.aircraft;
    a.fuelLbPerGallon = 6.5;
    a.tankCapacityGal[0] = 100.0;
    a.tankCapacityGal[1] = 200.0;
    a.tankCapacityGal[2] = 200.0;
    setFuelFraction(a, 1.0);
    a.engineFlowLbH[0] = a.engineFlowLbH[1] = 325.0;  // 650 lb/h = 100 gal/h
    w.step(1800.0);
    EXPECT_NEAR(a.tankLevel[0], 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(a.tankLevel[1], 1.0);
    w.step(3600.0);  // 50 more gallons from the centre, then 25 from each wing tank
    EXPECT_NEAR(a.tankLevel[0], 0.0, 1e-9);
    EXPECT_NEAR(a.tankLevel[1], 0.875, 1e-6);
    EXPECT_NEAR(a.tankLevel[2], 0.875, 1e-6);
    EXPECT_NEAR(fuelOnBoardGallons(a), 350.0, 1e-4);
    // Dry tanks stop the flow and never go negative.
    w.step(4.0 * 3600.0);
    EXPECT_NEAR(fuelOnBoardGallons(a), 0.0, 1e-9);
    EXPECT_EQ(totalFuelFlowLbH(a), 0.0);
    for (double level : a.tankLevel) EXPECT_GE(level, 0.0);
}

TEST(SimModel, PauseSlewAndGroundFreezeWhatTheyShould) {
    SimWorld w = levelFlight(90.0, 300.0);
    SimAircraft& a = w.aircraft;
    a.utcSeconds = 1000.0;
    a.paused = true;
    w.step(60.0);
    EXPECT_EQ(a.lonDeg, 20.0);
    EXPECT_EQ(a.utcSeconds, 1000.0);

    a.paused = false;
    a.slewing = true;
    w.step(60.0);
    EXPECT_EQ(a.lonDeg, 20.0);
    EXPECT_NEAR(a.utcSeconds, 1060.0, 1e-6);

    a.slewing = false;
    a.groundElevationFt = 300.0;
    setOnGround(a, true);
    w.step(60.0);
    EXPECT_EQ(a.lonDeg, 20.0);
    EXPECT_EQ(a.altitudeFt, 300.0);
    EXPECT_EQ(groundVector(a).speedKt, 0.0);

    // Lifting off puts the aircraft at least 1000 ft above the terrain, holding that altitude.
    setOnGround(a, false);
    EXPECT_EQ(a.altitudeFt, 1300.0);
    w.step(60.0);
    EXPECT_NEAR(a.altitudeFt, 1300.0, 1e-6);
    EXPECT_GT(a.lonDeg, 20.0);
}

// The track file test covers the samples of one long step.
TEST(SimModel, StepCarriesTheRemainderOfSmallSlices) {
    SimWorld w = levelFlight(0.0, 360.0);
    for (int i = 0; i < 1000; ++i) w.step(0.007);  // 7 s in slices smaller than one step
    EXPECT_NEAR(w.runSeconds(), 7.0, SimWorld::kStepSeconds);
    EXPECT_EQ(w.track().size(), 7u);  // samples at 0..6 s

    // Non-finite or negative slices are ignored.
    const double before = w.runSeconds();
    w.step(-5.0);
    w.step(std::nan(""));
    EXPECT_EQ(w.runSeconds(), before);
}
