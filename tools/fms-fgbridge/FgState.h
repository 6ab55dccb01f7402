#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The aircraft as FlightGear last reported it, in FlightGear's own units and signs, one field
// per value of the output packet of flightgear/Protocol/fmsbridge.xml (in that order).
struct FgState {
    double stampSec = 0.0;    // /sim/time/steady-clock-sec: real seconds of the day (UTC)
    double latDeg = 0.0;      // north positive
    double lonDeg = 0.0;      // east positive
    double altitudeFt = 0.0;  // above sea level
    double aglFt = 0.0;       // above the ground
    double groundSpeedKt = 0.0;
    double headingTrueDeg = 0.0;
    double trackTrueDeg = 0.0;
    double rollDeg = 0.0;       // right wing down positive
    double pitchDeg = 0.0;      // nose up positive
    double rollRateDegS = 0.0;  // rolling right positive
    double windFromDeg = 0.0;   // true
    double windKt = 0.0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // UTC
    bool onGround = false;                                               // any gear carries weight
    bool paused = false;                                                 // /sim/freeze/master
    double magVarDeg = 0.0;                                              // east positive
    double fuelDensityPpg = 0.0;                                         // pounds per US gallon
    static constexpr int kTanks = 5;
    double tankLevelGal[kTanks] = {};
    double tankCapacityGal[kTanks] = {};
    static constexpr int kEngines = 4;
    double fuelFlowGph[kEngines] = {};
    // Autopilot targets and NAV1 as they stand in FlightGear (what the bridge sends back for
    // the targets the program has not set).
    double headingBugDeg = 0.0;
    double targetAltitudeFt = 0.0;
    double targetVerticalSpeedFpm = 0.0;
    double nav1CourseDeg = 0.0;
    double verticalSpeedFps = 0.0;
    double airspeedKt = 0.0;  // indicated
};

// The number of comma-separated values of one output packet.
inline constexpr int kFgPacketFields = 45;

// Reads one output packet (one line; a trailing newline is allowed). Refuses, leaving `out`
// alone and saying why, a packet with another number of values, a value that is not a
// finite number, or a position, date or time out of range: a packet from another protocol
// file or a damaged one must never reach the program.
bool parseFgPacket(std::string_view packet, FgState& out, std::string& error);
