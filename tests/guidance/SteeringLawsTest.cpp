#include <gtest/gtest.h>

#include <cmath>

#include "Harness.h"
#include "guidance/SteeringLaws.h"

namespace {

// The laws on a unit linked to the in-process simulator; the aircraft values are set by hand
// and the clock moves 20 ms between calls.
struct Laws : ::testing::Test {
    Harness h;
    AircraftState& a = h.context.simlink.aircraft;
    SteeringState& s = h.context.guidance.steering;
    HeadingModeState& hdg = h.context.guidance.heading;

    void SetUp() override {
        h.start();
        ASSERT_TRUE(h.context.simlink.simLinked);
        initSteering();
    }
    void tick() { h.sim.clock.advanceMs(20); }
    int16_t aileron() const { return h.sim.world.aircraft.aileron; }
    // Sets the magnetic ground track the track law reads.
    void trackDeg(double deg) { a.groundTrackRad = deg / 57.2957795129; }
};

TEST(PidStep, SaturationFlagsFollowTheClipRules) {
    PidController c = bankHoldController();
    c.dt = 1.0f;
    c.kRate = 1.0f;
    c.rateInput = -5.0f;  // rolling right: adds 5 to the output
    // Clipped at errorMax: every flag clears, so the integrator runs on the clipped error.
    c.processValue = -30.0f;
    c.setpoint = 10.0f;
    pidStep(c);
    EXPECT_EQ(c.error, 25.0f);
    EXPECT_FLOAT_EQ(c.iTerm, 0.035f * 25.0f);
    EXPECT_EQ(c.output, 10.0f);  // 0.875 + 6.25 + 5, limited
    EXPECT_EQ(c.saturationFlags, kOutputLimited);

    // Clipped at errorMin after a limited output: bit 0 joins bit 1 and integration stops.
    c.processValue = 30.0f;
    c.setpoint = -10.0f;
    pidStep(c);
    EXPECT_EQ(c.error, -25.0f);
    EXPECT_FLOAT_EQ(c.iTerm, 0.035f * 25.0f);
    EXPECT_EQ(c.saturationFlags, kErrorLimited);  // the output -0.375 is inside its limits again

    // Clipped at errorMin after an output inside its limits: it integrates.
    pidStep(c);
    EXPECT_FLOAT_EQ(c.iTerm, 0.0f);

    // The setpoint is limited first and the integrator keeps to its own limits.
    c = bankHoldController();
    c.dt = 1000.0f;
    c.setpoint = 40.0f;
    pidStep(c);
    EXPECT_EQ(c.setpoint, 25.0f);
    EXPECT_EQ(c.iTerm, 4.0f);
}

TEST_F(Laws, BankHoldRampsHalfADegreePerCallAndAlternatesAroundAnUnevenRequest) {
    for (int i = 0; i < 19; ++i) {
        bankHold(10.0f);
        tick();
    }
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 9.5f);
    bankHold(10.0f);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 10.0f);
    bankHold(10.0f);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 10.0f);
    // 10.2 is never reached: the command steps over it and back.
    bankHold(10.2f);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 10.5f);
    bankHold(10.2f);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 10.0f);
    bankHold(10.2f);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 10.5f);

    // Wanting more left bank moves the aileron to the left (negative), in proportion.
    EXPECT_LT(aileron(), 0);
    EXPECT_EQ(aileron(), static_cast<int16_t>(-s.bankPid.output * 1638.4f));
    // Rolling left already damps the command.
    const float still = s.bankPid.output;
    a.rollRate = 2.0;
    bankHold(10.5f);
    EXPECT_LT(s.bankPid.output, still);
}

TEST_F(Laws, TrackHoldInterceptsAt45DegreesBeyond5000FeetAndTurnsTheShortWay) {
    // 2 NM right of a leg of course 090, tracking 090: steer to 045 with no cross-track term.
    trackDeg(90.0);
    trackHold(90.0f, 2.0f);
    EXPECT_EQ(s.trackPid.processValue, 0.0f);
    EXPECT_EQ(s.trackPid.error, 0.0f);
    EXPECT_FLOAT_EQ(s.trackPid.feedForwardInput, -45.0f);
    EXPECT_GT(s.trackPid.output, 0.0f);  // left bank
    // Left of the leg by the same distance: 135, a right turn.
    tick();
    trackHold(90.0f, -2.0f);
    EXPECT_FLOAT_EQ(s.trackPid.feedForwardInput, 45.0f);
    EXPECT_LT(s.trackPid.output, 0.0f);

    // Inside 5000 ft the cross-track term acts: right of the leg and on course banks left.
    tick();
    trackHold(90.0f, 0.1f);
    EXPECT_FLOAT_EQ(s.trackPid.processValue, -607.6f);
    EXPECT_FLOAT_EQ(s.trackPid.pTerm, 0.005f * 607.6f);

    // A course 150 degrees to the right of the track turns right, not 210 degrees left.
    trackDeg(100.0);
    tick();
    trackHold(250.0f, 0.0f);
    EXPECT_FLOAT_EQ(s.trackPid.feedForwardInput, 45.0f);
    EXPECT_LT(s.trackPid.output, 0.0f);
    // And across north the other way: 350 to 010 is 20 degrees right.
    trackDeg(350.0);
    tick();
    trackHold(10.0f, 0.0f);
    EXPECT_NEAR(s.trackPid.feedForwardInput, 20.0f, 1e-3f);

    // Nothing runs while the simulator is paused or slewing.
    const PidController before = s.trackPid;
    a.paused = 1;
    trackHold(90.0f, 3.0f);
    a.paused = 0;
    a.slewing = 1;
    trackHold(90.0f, 3.0f);
    EXPECT_EQ(s.trackPid.feedForwardInput, before.feedForwardInput);
    EXPECT_EQ(s.trackPid.iTerm, before.iTerm);
}

TEST_F(Laws, HeadingHoldTurnsTheShorterWayOrTheChosenOneAndGivesTheAutopilotItsHeading) {
    // 170 to 190: right, with the bank of a 20-degree turn (not the half circle the two
    // half-circle angles differ by).
    a.headingMagDeg = 170;
    a.headingMagF = 170.0f;
    hdg.commandedHeading = 190;
    headingHold();
    EXPECT_FLOAT_EQ(s.headingPid.error, 20.0f);
    EXPECT_FLOAT_EQ(s.headingPid.output, -30.0f);  // clipped at 30, right
    // The first call after a new command gives the autopilot the current heading.
    EXPECT_NEAR(h.sim.world.aircraft.autopilotHeadingRaw * 360.0 / 65536.0, 170.0, 0.01);
    tick();
    a.headingMagDeg = 185;
    a.headingMagF = 185.0f;
    headingHold();
    EXPECT_NEAR(h.sim.world.aircraft.autopilotHeadingRaw * 360.0 / 65536.0, 190.0, 0.01);
    EXPECT_LT(s.headingPid.output, 0.0f);
    EXPECT_GT(s.headingPid.output, -15.0f);

    // The other way: 190 to 170 is a left turn.
    tick();
    a.headingMagDeg = 190;
    a.headingMagF = 190.0f;
    hdg.commandedHeading = 170;
    headingHold();
    EXPECT_GT(s.headingPid.output, 0.0f);

    // TURN R from 100 to 090 goes right, the long way, until within 5 degrees.
    tick();
    a.headingMagDeg = 100;
    a.headingMagF = 100.0f;
    hdg.commandedHeading = 90;
    hdg.hdgTurnDirection = 2;
    headingHold();
    EXPECT_LT(s.headingPid.output, 0.0f);
    EXPECT_EQ(hdg.hdgTurnDirection, 2);
    tick();
    a.headingMagDeg = 87;
    a.headingMagF = 87.0f;
    headingHold();
    EXPECT_EQ(hdg.hdgTurnDirection, 0);
    EXPECT_LT(s.headingPid.output, 0.0f);  // the last 3 degrees, right
    // The DATA page's bank is the rate-limited command.
    EXPECT_EQ(s.displayedBankDeg, s.rateLimitedBankDeg);
}

TEST_F(Laws, HeadingLegSteerBanksInProportionTheShortWay) {
    a.headingMagDeg = 150;
    headingLegSteer(159.0f);
    // 9 degrees short of the heading: 15.75 degrees right requested; the command ramps to it.
    EXPECT_EQ(s.rateLimitedBankDeg, -0.5f);
    for (int i = 0; i < 40; ++i) {
        tick();
        headingLegSteer(159.0f);
    }
    EXPECT_NEAR(s.rateLimitedBankDeg, -15.75f, 0.5f);
    // From 350 to 010 across north: right, 35 degrees asked, 30 given.
    a.headingMagDeg = 350;
    for (int i = 0; i < 80; ++i) {
        tick();
        headingLegSteer(10.0f);
    }
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, -30.0f);
}

TEST_F(Laws, WithTheLinkDownNothingIsWrittenButTheLawsKeepTheirState) {
    h.context.simlink.simLinked = false;
    h.sim.world.aircraft.aileron = 1234;
    a.bankDeg = 0.0f;
    for (int i = 0; i < 10; ++i) {
        tick();
        bankHold(10.0f);
    }
    EXPECT_EQ(h.sim.world.aircraft.aileron, 1234);
    EXPECT_FLOAT_EQ(s.rateLimitedBankDeg, 5.0f);
    EXPECT_GT(s.bankPid.iTerm, 0.0f);
    // Time steps come from the clock: 20 ms each.
    EXPECT_NEAR(s.bankPid.dt, 0.02f, 1e-6f);
}

}  // namespace
