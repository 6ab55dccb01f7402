#include "guidance/SteeringLaws.h"

#include <cmath>
#include <cstdlib>

#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "platform/Clock.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr float kRadToDegTrack = 57.2957795129f;
constexpr float kFeetPerNm = 6076.0f;
constexpr float kInterceptBeyondFt = 5000.0f;
constexpr float kInterceptAngleDeg = 45.0f;
constexpr float kBankStepDeg = 0.5f;
constexpr float kHeadingLegGain = 1.75f;

float clampTo(float x, float low, float high) {
    return x < low ? low : (x > high ? high : x);
}

float wrap180(float deg) {
    return static_cast<float>(normalize180(deg));
}

bool pausedOrSlewing() {
    const AircraftState& a = simLinkState().aircraft;
    return a.paused != 0 || a.slewing != 0;
}

}  // namespace

float angleDifferenceDeg(float a, float b) {
    float d = std::fmod(a - b, 360.0f);
    if (d > 180.0f) d -= 360.0f;
    if (d < -180.0f) d += 360.0f;
    return d;
}

void pidStep(PidController& pid) {
    pid.setpoint = clampTo(pid.setpoint, pid.setpointMin, pid.setpointMax);
    pid.error = pid.setpoint - pid.processValue;
    if (pid.error > pid.errorMax) {
        pid.saturationFlags |= kErrorLimited;
        pid.error = pid.errorMax;
    }
    if (pid.error < pid.errorMin) {
        pid.saturationFlags |= kErrorLimited;
        pid.error = pid.errorMin;
    } else {
        pid.saturationFlags = 0;
    }
    pid.pTerm = pid.error * pid.kP;
    if ((pid.saturationFlags & pid.integrationMask) == 0) pid.iTerm += pid.kI * pid.error * pid.dt;
    pid.iTerm = clampTo(pid.iTerm, pid.iMin, pid.iMax);
    pid.output = pid.iTerm + pid.pTerm + pid.kFeedForward * pid.feedForwardInput - pid.kRate * pid.rateInput;
    if (pid.output <= pid.outputMin) {
        pid.output = pid.outputMin;
        pid.saturationFlags |= kOutputLimited;
    } else if (pid.output >= pid.outputMax) {
        pid.output = pid.outputMax;
        pid.saturationFlags |= kOutputLimited;
    } else {
        pid.saturationFlags &= ~kOutputLimited;
    }
}

PidController bankHoldController() {
    PidController c;
    c.errorMin = -25.0f;
    c.errorMax = 25.0f;
    c.kP = 0.25f;
    c.kRate = -0.1f;  // replaced by 1.0 at every update
    c.kI = 0.035f;
    c.setpointMin = -25.0f;
    c.setpointMax = 25.0f;
    c.outputMin = -10.0f;
    c.outputMax = 10.0f;
    c.iMin = -4.0f;
    c.iMax = 4.0f;
    c.integrationMask = 254;
    c.dt = 0.05f;
    return c;
}

PidController trackHoldController() {
    PidController c;
    c.errorMin = -5000.0f;
    c.errorMax = 5000.0f;
    c.kP = 0.005f;
    c.kI = 0.0024f;
    c.kFeedForward = -1.25f;
    c.outputMin = -25.0f;
    c.outputMax = 25.0f;
    c.iMin = -2.0f;
    c.iMax = 2.0f;
    return c;
}

PidController headingHoldController() {
    PidController c;
    c.errorMin = -180.0f;
    c.errorMax = 180.0f;
    c.kP = -1.5f;
    c.kI = -0.05f;
    c.setpointMin = -180.0f;
    c.setpointMax = 180.0f;
    c.outputMin = -30.0f;
    c.outputMax = 30.0f;
    c.iMin = -5.0f;
    c.iMax = 5.0f;
    return c;
}

void initSteering() {
    guidanceState().steering.bankPid = bankHoldController();
}

void bankHold(float requestedBankDeg) {
    SteeringState& s = guidanceState().steering;
    const AircraftState& a = simLinkState().aircraft;
    // Exactly one step per call, even when less remains: a request between two steps makes
    // the command alternate around it.
    float& c = s.rateLimitedBankDeg;
    if (requestedBankDeg > c) {
        c += kBankStepDeg;
    } else if (requestedBankDeg < c) {
        c -= kBankStepDeg;
    } else {
        c = requestedBankDeg;
    }
    PidController& pid = s.bankPid;
    pid.processValue = a.bankDeg;
    pid.setpoint = c;
    pid.rateInput = static_cast<float>(a.rollRate);
    pid.kRate = 1.0f;
    pid.dt = elapsedSeconds(s.bankStamp);
    pidStep(pid);
    writeAileron(pid.output);
}

void trackHold(float desiredCourseMagDeg, float crossTrackNm) {
    if (pausedOrSlewing()) return;
    SteeringState& s = guidanceState().steering;
    const AircraftState& a = simLinkState().aircraft;
    PidController& pid = s.trackPid;
    pid.processValue = -crossTrackNm * kFeetPerNm;
    pid.dt = elapsedSeconds(s.trackStamp);
    float course = wrap180(desiredCourseMagDeg);
    if (pid.processValue > kInterceptBeyondFt) {  // far left of the leg: turn right onto it
        course += kInterceptAngleDeg;
        pid.processValue = 0.0f;
    } else if (pid.processValue < -kInterceptBeyondFt) {
        course -= kInterceptAngleDeg;
        pid.processValue = 0.0f;
    }
    // The shorter way round: a plain difference of two half-circle angles can exceed 180
    // degrees and would turn the long way.
    const float trackDeg = wrap180(static_cast<float>(a.groundTrackRad) * kRadToDegTrack);
    pid.feedForwardInput = clampTo(angleDifferenceDeg(wrap180(course), trackDeg), -45.0f, 45.0f);
    pidStep(pid);
    bankHold(pid.output);
    s.displayedBankDeg = s.rateLimitedBankDeg;
}

void headingHold() {
    SteeringState& s = guidanceState().steering;
    HeadingModeState& h = guidanceState().heading;
    const AircraftState& a = simLinkState().aircraft;
    PidController& pid = s.headingPid;
    pid.setpoint = wrap180(static_cast<float>(h.commandedHeading));
    // Measured from the commanded heading the short way, so that a turn across south asks for
    // the bank of its real size, not of a half circle.
    pid.processValue =
        pid.setpoint - angleDifferenceDeg(pid.setpoint, wrap180(static_cast<float>(a.headingMagDeg)));
    pid.dt = elapsedSeconds(s.headingStamp);
    const int32_t headingRaw =
        h.commandedHeading != s.previousCommandedHeading ? a.headingMagDeg : h.commandedHeading;
    if (std::fabs(angleDifferenceDeg(a.headingMagF, static_cast<float>(h.commandedHeading))) < 5.0f)
        h.hdgTurnDirection = 0;
    pidStep(pid);
    float out = std::fabs(pid.output);
    if (h.hdgTurnDirection == 0) {
        const int k = ((a.headingMagDeg - h.commandedHeading + 360) % 360 + 360) % 360;
        out = k >= 181 ? -out : out;
    } else {
        // A chosen direction turns that way until the heading is within 5 degrees.
        out = h.hdgTurnDirection == 1 ? out : -out;
    }
    pid.output = out;
    bankHold(out);
    s.displayedBankDeg = s.rateLimitedBankDeg;
    writeAutopilotHeading(static_cast<float>(headingRaw));
    s.previousCommandedHeading = h.commandedHeading;
}

void headingLegSteer(float headingDeg) {
    const AircraftState& a = simLinkState().aircraft;
    const float d = angleDifferenceDeg(static_cast<float>(a.headingMagDeg), headingDeg);
    const int k =
        ((static_cast<int>(static_cast<float>(a.headingMagDeg) - headingDeg + 360.0f)) % 360 + 360) % 360;
    const float bank =
        clampTo(k >= 181 ? -kHeadingLegGain * std::fabs(d) : kHeadingLegGain * std::fabs(d), -30.0f, 30.0f);
    bankHold(bank);
    SteeringState& s = guidanceState().steering;
    s.displayedBankDeg = s.rateLimitedBankDeg;
}

void resetTrackHoldIntegrator() {
    guidanceState().steering.trackPid.iTerm = 0.0f;
}
