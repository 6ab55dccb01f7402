#include "SimAircraft.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Uniform in (0, 1] from a 64-bit xorshift generator: the same seed gives the same air on
// every platform.
double nextUniform(uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (static_cast<double>(state >> 11) + 1.0) / 9007199254740992.0;
}

double nextGaussian(uint64_t& state) {
    const double u1 = nextUniform(state);
    const double u2 = nextUniform(state);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

// One step of a first-order Gauss-Markov process with RMS `rms` and correlation time `tau`.
double gaussMarkov(double value, double rms, double tau, double dt, uint64_t& state) {
    const double keep = std::exp(-dt / tau);
    return value * keep + rms * std::sqrt(1.0 - keep * keep) * nextGaussian(state);
}

constexpr double kRollGustSeconds = 1.0;
constexpr double kHeadingGustSeconds = 3.0;

void turbulenceStep(SimAircraft& a, double dt) {
    SimTurbulence& t = a.turbulence;
    if (!t.active()) {
        t.rollRateDegS = t.headingRateDegS = 0.0;
        return;
    }
    t.rollRateDegS = gaussMarkov(t.rollRateDegS, t.rollRateRmsDegS, kRollGustSeconds, dt, t.rngState);
    t.headingRateDegS =
        gaussMarkov(t.headingRateDegS, t.headingRateRmsDegS, kHeadingGustSeconds, dt, t.rngState);
}

void rollStep(SimAircraft& a, double dt) {
    const SimAirframe& f = a.airframe;
    double commandedRate;
    if (a.secondsSinceAileron <= kSimSteeringTimeoutSeconds) {
        commandedRate = std::clamp(a.aileron / 16384.0, -1.0, 1.0) * f.maxRollRateDegS;
    } else {
        commandedRate =
            std::clamp(-a.bankDeg * kLevellerGainPerSecond, -kLevellerMaxRateDegS, kLevellerMaxRateDegS);
    }
    // Gusts roll the aircraft through the same roll mode as the ailerons do.
    commandedRate += a.turbulence.rollRateDegS;
    const double tau = std::max(f.rollTimeConstantS, 1e-3);
    a.rollRateDegS += (commandedRate - a.rollRateDegS) * std::min(1.0, dt / tau);
    a.bankDeg += a.rollRateDegS * dt;
    const double limit = std::clamp(f.maxBankDeg, 0.0, kSimMaxBankDeg);
    if (a.bankDeg > limit || a.bankDeg < -limit) {
        a.bankDeg = std::clamp(a.bankDeg, -limit, limit);
        a.rollRateDegS = 0.0;
    }
}

void turnStep(SimAircraft& a, double dt) {
    const double tasMs = a.trueAirspeedKt * kMetresPerSecondPerKnot;
    if (tasMs < 1.0) return;
    const double turnRateDegS = kGravity * std::tan(a.bankDeg * kDegToRad) / tasMs * kRadToDeg;
    a.headingTrueDeg = wrap360(a.headingTrueDeg + (turnRateDegS + a.turbulence.headingRateDegS) * dt);
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

bool findAirframe(const char* name, SimAirframe& out) {
    for (const SimAirframe& f : kSimAirframes) {
        if (std::strcmp(f.name, name) == 0) {
            out = f;
            return true;
        }
    }
    return false;
}

void setTurbulence(SimTurbulence& t, double rollRateRmsDegS, double headingRateRmsDegS, uint64_t seed) {
    t.rollRateRmsDegS = std::max(0.0, rollRateRmsDegS);
    t.headingRateRmsDegS = std::max(0.0, headingRateRmsDegS);
    t.seed = seed;
    // Any seed, 0 included, gives a usable non-zero generator state.
    t.rngState = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    if (t.rngState == 0) t.rngState = 1;
    t.rollRateDegS = t.headingRateDegS = 0.0;
}

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
    turbulenceStep(a, dt);
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
