#pragma once

#include <cstdint>

#include "FgState.h"
#include "SimServer.h"

// What the server answers at the version offsets: FlightGear behind the bridge.
inline constexpr uint32_t kBridgeServerVersion = 0x19980005;
inline constexpr uint16_t kFlightGearSimulatorCode = 0x00FA;

// What the program and other clients have written, kept in the protocol's units: read back
// as written (the aileron limited), and turned into FlightGear's values by the bridge.
struct FgWrites {
    int16_t aileron = 0;         // -16384 (full left) .. 16384 (full right)
    uint64_t aileronWrites = 0;  // counts every aileron write
    uint16_t autopilotHeadingRaw = 0;
    int32_t autopilotAltitudeRaw = 0;  // metres * 65536
    int16_t autopilotVerticalSpeedFpm = 0;
    uint16_t nav1CourseDeg = 0;
    float panelCdi = 0.0f;
    uint8_t panelCoupled = 0, panelWaypoint = 0, panelVnav = 0;
    uint16_t clientLibVersion = 0;
    bool autopilotMaster = false;
    bool navGpsSwitch = false;
    uint64_t targetWrites =
        0;  // counts writes of the heading, altitude, vertical speed, course and panel values
    uint8_t targetsSet = 0;  // which targets have been written (kSet... bits)
};

inline constexpr uint8_t kSetHeading = 1, kSetAltitude = 2, kSetVerticalSpeed = 4, kSetCourse = 8,
                         kSetPanel = 16;

// The model the offsets are answered from: the latest FlightGear packet and the writes.
struct FgModel {
    FgState state;
    FgWrites writes;
};

// The simulator protocol's offsets over FlightGear's values: reads are encoded from the latest
// packet the moment they are asked for (never waiting for FlightGear), writes are kept for the
// bridge to pass on. Any offset and size is safe, as with the stand-in simulator.
class FgOffsetSpace final : public OffsetSpace {
public:
    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override;
    void writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) override;

    FgModel model;
    uint64_t positionReads = 0;  // reads that covered the latitude: the program's state reads
};

// FlightGear's values for what the program wrote.
double aileronNormalized(int16_t raw);     // -1 (full left) .. 1 (full right)
double autopilotHeadingDeg(uint16_t raw);  // magnetic
double autopilotAltitudeFt(int32_t raw);
