#include "SimAircraft.h"

#include <algorithm>
#include <cmath>

#include "SimEarth.h"

using namespace simearth;

namespace {

// Altitude capture: the commanded climb rate shrinks in proportion to the distance left.
constexpr double kCaptureFpmPerFt = 6.0;
constexpr double kVerticalLagSeconds = 3.0;
// The stand-in pilot's wing leveller: roll rate per degree of bank, and its limit.
constexpr double kLevellerGainPerSecond = 1.0;
constexpr double kLevellerMaxRateDegS = 5.0;
// Attitude of the airframe in level flight.
constexpr double kLevelPitchDeg = 2.5;

void rollStep(SimAircraft& a, double dt) {
    double commandedRate;
    if (a.secondsSinceAileron <= kSimSteeringTimeoutSeconds) {
        commandedRate = std::clamp(a.aileron / 16384.0, -1.0, 1.0) * kSimMaxRollRateDegS;
    } else {
        commandedRate =
            std::clamp(-a.bankDeg * kLevellerGainPerSecond, -kLevellerMaxRateDegS, kLevellerMaxRateDegS);
    }
    a.rollRateDegS += (commandedRate - a.rollRateDegS) * std::min(1.0, dt / kSimRollLagSeconds);
    a.bankDeg += a.rollRateDegS * dt;
    if (a.bankDeg > kSimMaxBankDeg || a.bankDeg < -kSimMaxBankDeg) {
        a.bankDeg = std::clamp(a.bankDeg, -kSimMaxBankDeg, kSimMaxBankDeg);
        a.rollRateDegS = 0.0;
    }
}

void turnStep(SimAircraft& a, double dt) {
    const double tasMs = a.trueAirspeedKt * kMetresPerSecondPerKnot;
    if (tasMs < 1.0) return;
    const double turnRateDegS = kGravity * std::tan(a.bankDeg * kDegToRad) / tasMs * kRadToDeg;
    a.headingTrueDeg = wrap360(a.headingTrueDeg + turnRateDegS * dt);
}

void verticalStep(SimAircraft& a, double dt) {
    const double toGo = a.autopilotAltitudeFt - a.altitudeFt;
    double limit = kSimDefaultVerticalSpeedFpm;
    const double target = a.autopilotVerticalSpeedFpm;
    // A vertical-speed target that points the right way sets the rate; otherwise the default.
    if ((target > 0 && toGo > 0) || (target < 0 && toGo < 0)) limit = std::fabs(target);
    const double commanded = std::clamp(toGo * kCaptureFpmPerFt, -limit, limit);
    a.verticalSpeedFpm += (commanded - a.verticalSpeedFpm) * std::min(1.0, dt / kVerticalLagSeconds);
    a.altitudeFt += a.verticalSpeedFpm / 60.0 * dt;
    if (a.altitudeFt < a.groundElevationFt) {
        a.altitudeFt = a.groundElevationFt;
        a.verticalSpeedFpm = 0.0;
    }
    const double tasFpm = a.trueAirspeedKt * kMetresPerSecondPerKnot / kMetresPerFoot * 60.0;
    const double pathDeg = tasFpm > 1.0 ? std::atan2(a.verticalSpeedFpm, tasFpm) * kRadToDeg : 0.0;
    a.pitchDeg = kLevelPitchDeg + pathDeg;
}

void fuelStep(SimAircraft& a, double dt) {
    if (a.fuelLbPerGallon <= 0.0) return;
    double gallons = totalFuelFlowLbH(a) / a.fuelLbPerGallon * dt / 3600.0;
    if (gallons <= 0.0) return;
    // Centre tank first, then the wing tanks evenly.
    double& centre = a.tankLevel[0];
    if (a.tankCapacityGal[0] > 0.0 && centre > 0.0) {
        const double take = std::min(gallons, centre * a.tankCapacityGal[0]);
        centre -= take / a.tankCapacityGal[0];
        gallons -= take;
    }
    for (int pass = 0; pass < kSimTankCount && gallons > 1e-12; ++pass) {
        int nonEmpty = 0;
        for (int t = 1; t < kSimTankCount; ++t)
            nonEmpty += (a.tankCapacityGal[t] > 0.0 && a.tankLevel[t] > 0.0);
        if (nonEmpty == 0) break;
        const double share = gallons / nonEmpty;
        for (int t = 1; t < kSimTankCount; ++t) {
            if (a.tankCapacityGal[t] <= 0.0 || a.tankLevel[t] <= 0.0) continue;
            const double take = std::min(share, a.tankLevel[t] * a.tankCapacityGal[t]);
            a.tankLevel[t] -= take / a.tankCapacityGal[t];
            gallons -= take;
        }
    }
    for (double& level : a.tankLevel) level = std::max(0.0, level);
}

}  // namespace

SimGroundVector groundVector(const SimAircraft& a) {
    if (a.onGround) return {0.0, wrap360(a.headingTrueDeg)};
    const double h = a.headingTrueDeg * kDegToRad;
    const double windTo = (a.windFromDeg + 180.0) * kDegToRad;
    const double north = a.trueAirspeedKt * std::cos(h) + a.windSpeedKt * std::cos(windTo);
    const double east = a.trueAirspeedKt * std::sin(h) + a.windSpeedKt * std::sin(windTo);
    const double speed = std::hypot(north, east);
    const double track =
        speed > 1e-9 ? wrap360(std::atan2(east, north) * kRadToDeg) : wrap360(a.headingTrueDeg);
    return {speed, track};
}

double fuelOnBoardGallons(const SimAircraft& a) {
    double sum = 0.0;
    for (int t = 0; t < kSimTankCount; ++t) sum += a.tankCapacityGal[t] * a.tankLevel[t];
    return sum;
}

double engineFuelFlowLbH(const SimAircraft& a, int engine) {
    if (engine < 0 || engine >= kSimEngineCount || fuelOnBoardGallons(a) <= 0.0) return 0.0;
    const double flow = std::max(0.0, a.engineFlowLbH[engine]);
    return a.onGround ? flow * kSimGroundIdleFraction : flow;
}

double totalFuelFlowLbH(const SimAircraft& a) {
    double sum = 0.0;
    for (int e = 0; e < kSimEngineCount; ++e) sum += engineFuelFlowLbH(a, e);
    return sum;
}

void stepAircraft(SimAircraft& a, double dt) {
    if (a.paused || dt <= 0.0) return;
    a.utcSeconds += dt;
    a.secondsSinceAileron += dt;
    if (a.slewing) return;
    fuelStep(a, dt);
    if (a.onGround) {
        a.bankDeg = a.rollRateDegS = a.verticalSpeedFpm = a.pitchDeg = 0.0;
        a.altitudeFt = a.groundElevationFt;
        return;
    }
    rollStep(a, dt);
    turnStep(a, dt);
    const SimGroundVector ground = groundVector(a);
    travel(a.latDeg, a.lonDeg, ground.trackTrueDeg, ground.speedKt * dt / 3600.0);
    verticalStep(a, dt);
}

void setOnGround(SimAircraft& a, bool onGround) {
    a.onGround = onGround;
    if (onGround) {
        a.altitudeFt = a.groundElevationFt;
        a.bankDeg = a.rollRateDegS = a.verticalSpeedFpm = a.pitchDeg = 0.0;
    } else {
        a.altitudeFt = std::max(a.altitudeFt, a.groundElevationFt + 1000.0);
    }
    a.autopilotAltitudeFt = a.altitudeFt;
}

void setFuelFraction(SimAircraft& a, double fraction) {
    for (double& level : a.tankLevel) level = std::clamp(fraction, 0.0, 1.0);
}
