#pragma once

#include <cstdint>

// Every simulator offset the system reads or writes, with its size in bytes. The aircraft-state
// reads, the output writes, the stand-in simulator and the protocol documentation all take
// their numbers from here, so an offset is spelled exactly once.
struct SimVar {
    uint32_t offset;
    uint32_t size;
};

namespace simvar {

// Link handshake.
inline constexpr SimVar kServerVersion{0x3304, 4};     // at least 0x19980005
inline constexpr SimVar kSimulatorVersion{0x3308, 4};  // 0xFADE in the high half, simulator code low
inline constexpr SimVar kClientLibVersion{0x330A, 2};  // written by the client when it opens

// Per-frame aircraft state.
inline constexpr SimVar kLatitude{0x0560, 8};   // int64, degrees = raw * 2.0951091487837895e-15
inline constexpr SimVar kLongitude{0x0568, 8};  // int64, degrees = raw * 360 / 2^64
inline constexpr SimVar kZuluHour{0x023B, 1};
inline constexpr SimVar kZuluMinute{0x023C, 1};
inline constexpr SimVar kZuluSecond{0x023A, 1};
inline constexpr SimVar kDayOfYear{0x023E, 2};  // 1-based
inline constexpr SimVar kYear{0x0240, 2};
inline constexpr SimVar kOnGround{0x0366, 2};           // non-zero = on the ground
inline constexpr SimVar kAltimeterAltitude{0x3324, 4};  // feet, or metres when the units setting is non-zero
inline constexpr SimVar kUnitsSetting{0x0C18, 2};
inline constexpr SimVar kWindSpeed{0x0E90, 2};      // knots
inline constexpr SimVar kWindDirection{0x0E92, 2};  // unsigned, degrees true * 65536 / 360, from
inline constexpr SimVar kGroundSpeed{0x02B4, 4};    // metres per second * 65536
inline constexpr SimVar kHeadingTrue{0x0580, 4};    // unsigned 32-bit angle
inline constexpr SimVar kBank{0x057C, 4};           // signed 32-bit angle, positive = left wing down
inline constexpr SimVar kPitch{0x0578, 4};          // signed 32-bit angle, positive = nose down
inline constexpr SimVar kRadioAltitude{0x31E4, 4};  // metres * 65536
inline constexpr SimVar kPaused{0x0264, 2};
inline constexpr SimVar kSlewing{0x05DC, 2};
inline constexpr SimVar kGroundTrackMag{0x6040, 8};  // double, magnetic ground track, radians
inline constexpr SimVar kRollRate{0x30B0, 8};        // double, radians per second, positive = rolling left

// Guidance inputs.
inline constexpr SimVar kMagVariation{0x02A0, 2};  // signed, degrees * 65536 / 360, east positive
inline constexpr SimVar kNavGpsSwitch{0x132C, 4};  // non-zero = GPS drives the NAV source
inline constexpr SimVar kAutopilotMaster{0x07BC, 4};
inline constexpr SimVar kPanelVnav{0x784A, 1};  // bit 3 set by the aircraft panel = VNAV enabled

// Fuel.
inline constexpr SimVar kEngineFuelFlow[4] = {{0x2060, 8}, {0x2160, 8}, {0x2260, 8}, {0x2360, 8}};  // lb/h
inline constexpr SimVar kFuelWeightPerGallon{0x0AF4, 2};  // lb * 256
inline constexpr int kFuelTankCount = 5;
// Level (fraction * 8388608) and capacity (US gallons): centre, then the four wing tanks.
inline constexpr SimVar kFuelTankLevel[kFuelTankCount] = {
    {0x0B74, 4}, {0x0B7C, 4}, {0x0B84, 4}, {0x0B94, 4}, {0x0B9C, 4}};
inline constexpr SimVar kFuelTankCapacity[kFuelTankCount] = {
    {0x0B78, 4}, {0x0B80, 4}, {0x0B88, 4}, {0x0B98, 4}, {0x0BA0, 4}};

// Outputs written by guidance.
inline constexpr SimVar kPanelWaypoint{0x784C, 1};           // active waypoint number, low byte
inline constexpr SimVar kPanelCoupled{0x7848, 1};            // 1 = lateral navigation coupled
inline constexpr SimVar kNav1Course{0x0C4E, 2};              // degrees magnetic
inline constexpr SimVar kPanelCdi{0x7844, 4};                // float, lateral deviation -127..127
inline constexpr SimVar kAutopilotHeading{0x07CC, 2};        // degrees * 65536 / 360
inline constexpr SimVar kAileron{0x0BB6, 2};                 // -16384 (full left) .. 16384 (full right)
inline constexpr SimVar kAutopilotAltitude{0x07D4, 4};       // metres * 65536
inline constexpr SimVar kAutopilotVerticalSpeed{0x07F2, 2};  // ft/min, signed

}  // namespace simvar

// Whether the system reads an offset, writes it, or both.
enum class SimVarUse : uint8_t { Read, Write, ReadWrite };

struct SimVarEntry {
    SimVar var;
    SimVarUse use;
    const char* name;
};

// The whole table, for the simulator, the documentation and checks that walk every offset.
inline constexpr SimVarEntry kSimVarTable[] = {
    {simvar::kServerVersion, SimVarUse::Read, "server version"},
    {simvar::kSimulatorVersion, SimVarUse::Read, "simulator version"},
    {simvar::kClientLibVersion, SimVarUse::Write, "client library version"},
    {simvar::kLatitude, SimVarUse::Read, "latitude"},
    {simvar::kLongitude, SimVarUse::Read, "longitude"},
    {simvar::kZuluHour, SimVarUse::Read, "UTC hour"},
    {simvar::kZuluMinute, SimVarUse::Read, "UTC minute"},
    {simvar::kZuluSecond, SimVarUse::Read, "UTC second"},
    {simvar::kDayOfYear, SimVarUse::Read, "day of year"},
    {simvar::kYear, SimVarUse::Read, "year"},
    {simvar::kOnGround, SimVarUse::Read, "on ground"},
    {simvar::kAltimeterAltitude, SimVarUse::Read, "altimeter altitude"},
    {simvar::kUnitsSetting, SimVarUse::Read, "units setting"},
    {simvar::kWindSpeed, SimVarUse::Read, "wind speed"},
    {simvar::kWindDirection, SimVarUse::Read, "wind direction"},
    {simvar::kGroundSpeed, SimVarUse::Read, "ground speed"},
    {simvar::kHeadingTrue, SimVarUse::Read, "true heading"},
    {simvar::kBank, SimVarUse::Read, "bank"},
    {simvar::kPitch, SimVarUse::Read, "pitch"},
    {simvar::kRadioAltitude, SimVarUse::Read, "radio altitude"},
    {simvar::kPaused, SimVarUse::Read, "paused"},
    {simvar::kSlewing, SimVarUse::Read, "slew mode"},
    {simvar::kGroundTrackMag, SimVarUse::Read, "magnetic ground track"},
    {simvar::kRollRate, SimVarUse::Read, "roll rate"},
    {simvar::kMagVariation, SimVarUse::Read, "magnetic variation"},
    {simvar::kNavGpsSwitch, SimVarUse::Read, "NAV/GPS switch"},
    {simvar::kAutopilotMaster, SimVarUse::Read, "autopilot master"},
    {simvar::kPanelVnav, SimVarUse::Read, "panel VNAV enable"},
    {simvar::kEngineFuelFlow[0], SimVarUse::Read, "engine 1 fuel flow"},
    {simvar::kEngineFuelFlow[1], SimVarUse::Read, "engine 2 fuel flow"},
    {simvar::kEngineFuelFlow[2], SimVarUse::Read, "engine 3 fuel flow"},
    {simvar::kEngineFuelFlow[3], SimVarUse::Read, "engine 4 fuel flow"},
    {simvar::kFuelWeightPerGallon, SimVarUse::Read, "fuel weight per gallon"},
    {simvar::kFuelTankLevel[0], SimVarUse::Read, "centre tank level"},
    {simvar::kFuelTankCapacity[0], SimVarUse::Read, "centre tank capacity"},
    {simvar::kFuelTankLevel[1], SimVarUse::Read, "tank 2 level"},
    {simvar::kFuelTankCapacity[1], SimVarUse::Read, "tank 2 capacity"},
    {simvar::kFuelTankLevel[2], SimVarUse::Read, "tank 3 level"},
    {simvar::kFuelTankCapacity[2], SimVarUse::Read, "tank 3 capacity"},
    {simvar::kFuelTankLevel[3], SimVarUse::Read, "tank 4 level"},
    {simvar::kFuelTankCapacity[3], SimVarUse::Read, "tank 4 capacity"},
    {simvar::kFuelTankLevel[4], SimVarUse::Read, "tank 5 level"},
    {simvar::kFuelTankCapacity[4], SimVarUse::Read, "tank 5 capacity"},
    {simvar::kPanelWaypoint, SimVarUse::Write, "panel active waypoint"},
    {simvar::kPanelCoupled, SimVarUse::Write, "panel coupled"},
    {simvar::kNav1Course, SimVarUse::Write, "NAV1 course"},
    {simvar::kPanelCdi, SimVarUse::Write, "panel lateral deviation"},
    {simvar::kAutopilotHeading, SimVarUse::Write, "autopilot heading"},
    {simvar::kAileron, SimVarUse::Write, "aileron"},
    {simvar::kAutopilotAltitude, SimVarUse::Write, "autopilot altitude"},
    {simvar::kAutopilotVerticalSpeed, SimVarUse::Write, "autopilot vertical speed"},
};
