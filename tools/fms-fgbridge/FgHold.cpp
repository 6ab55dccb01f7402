#include "FgHold.h"

#include <algorithm>

void FgHold::engage(double altitudeFt, double airspeedKt) {
    engaged_ = true;
    altitudeFt_ = altitudeFt;
    airspeedKt_ = airspeedKt;
    pitchIntegral_ = 0.0;
    speedIntegral_ = 0.0;
}

void FgHold::update(const FgState& s, double dt) {
    if (!engaged_ || dt <= 0.0) return;
    dt = std::min(dt, 0.2);  // a stall of FlightGear must not wind the integrators up
    // Climb or sink toward the altitude at up to 500 ft/min.
    const double wantedFps = std::clamp((altitudeFt_ - s.altitudeFt) * 0.08, -8.0, 8.0);
    const double vsError = wantedFps - s.verticalSpeedFps;
    pitchIntegral_ = std::clamp(pitchIntegral_ + vsError * dt, -40.0, 40.0);
    // More climb wanted: elevator up (negative).
    elevator_ = std::clamp(-(0.012 * vsError + 0.006 * pitchIntegral_), -0.6, 0.4);
    aileron_ = std::clamp(-0.03 * s.rollDeg - 0.01 * s.rollRateDegS, -0.5, 0.5);
    const double speedError = airspeedKt_ - s.airspeedKt;
    speedIntegral_ = std::clamp(speedIntegral_ + speedError * dt, -200.0, 200.0);
    throttle_ = std::clamp(0.75 + 0.03 * speedError + 0.004 * speedIntegral_, 0.2, 1.0);
}
