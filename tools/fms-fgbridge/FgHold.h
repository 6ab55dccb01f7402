#pragma once

#include "FgState.h"

// The pitch and power hold of the flight test: keeps FlightGear's aircraft at one altitude and
// airspeed with elevator and throttle, so that only the program's lateral guidance is judged.
// A vertical-speed loop on the elevator under an altitude loop, and a speed loop on the throttle.
class FgHold {
public:
    void engage(double altitudeFt, double airspeedKt);
    void disengage() { engaged_ = false; }
    bool engaged() const { return engaged_; }
    // One step over `dt` seconds from the latest state.
    void update(const FgState& s, double dt);

    double elevator() const { return elevator_; }  // FlightGear's sign: positive = nose down
    double throttle() const { return throttle_; }
    // The aileron that levels the wings while the program does not steer (-1..1, right positive).
    double levelingAileron() const { return aileron_; }
    double targetAltitudeFt() const { return altitudeFt_; }

private:
    bool engaged_ = false;
    double altitudeFt_ = 0.0;
    double airspeedKt_ = 0.0;
    double pitchIntegral_ = 0.0;
    double speedIntegral_ = 0.0;
    double elevator_ = 0.0;
    double throttle_ = 0.8;
    double aileron_ = 0.0;
};
