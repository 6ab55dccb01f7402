#pragma once

#include <cstdint>
#include <string>

#include "geo/Geodesy.h"

// The program's picture of the simulated aircraft, read from the simulator and converted once
// into engineering units. Pages and guidance read it from simLinkState().aircraft.
struct AircraftState {
    GeoPoint position;  // degrees, north and east positive
    struct {
        float lat = 0.0f;
        float lon = 0.0f;
    } positionF;  // 32-bit copy used by most pages and the flight plan

    uint8_t zuluHour = 0;
    uint8_t zuluMinute = 0;
    uint8_t zuluSecond = 0;
    std::string monthName = "0";  // "JAN".."DEC"; "0" before the first date arrives
    int32_t dayOfMonth = 0;
    int16_t year = 0;

    int16_t onGround = 0;
    int32_t altimeterFt = 0;
    int32_t radioAltitudeFt = 0;
    int16_t windSpeedKt = 0;
    int32_t windDirectionDeg = 0;
    float groundSpeedKt = 0.0f;
    int32_t headingMagDeg = 0;  // 0..359
    float bankDeg = 0.0f;       // positive = left wing down
    int16_t paused = 0;
    int16_t slewing = 0;
    double groundTrackRad = 0.0;  // magnetic
    double rollRate = 0.0;

    // From the guidance read.
    float magVarDeg = 0.0f;  // east positive
    int32_t magVarIntDeg = 0;
    float headingMagF = 0.0f;  // not wrapped
    int32_t groundSpeedIntKt = 0;
    int32_t navGpsSwitch = 0;     // non-zero = GPS
    int32_t autopilotMaster = 0;  // non-zero = on
};

// Lateral navigation is coupled while the autopilot master is on and the NAV/GPS switch
// selects GPS.
inline bool lnavCoupled(const AircraftState& a) {
    return a.navGpsSwitch != 0 && a.autopilotMaster != 0;
}

// Attitude values of the DATA page, as the page shows them.
struct DataPageAttitude {
    float bankDeg = 0.0f;   // positive = right wing down
    float pitchDeg = 0.0f;  // positive = nose up
    int variationDeg = 0;   // east positive
    int headingDeg = 0;     // magnetic, 0..359
};

// Fuel values of the FUEL pages.
struct FuelReading {
    static constexpr int kEngines = 4;
    static constexpr int kTanks = 5;
    double engineFlowLbH[kEngines] = {};
    int32_t groundSpeedKt = 0;
    int32_t radioAltitudeFt = 0;
    float weightPerGallonLb = 0.0f;
    float tankLevel[kTanks] = {};          // fraction 0..1
    int32_t tankCapacityGal[kTanks] = {};  // US gallons
    int32_t fuelOnBoardLb = 0;
    int32_t fuelUsedLb = 0;  // reference quantity - fuel on board, 0..100000
    int32_t totalFuelFlowLbH = 0;
    float enduranceHours = 0.0f;
    int32_t engine1FlowLbH = 0;
    int32_t engine2FlowLbH = 0;

    // Raw values as last received; a failed batch leaves them, and so the results, unchanged.
    struct {
        int32_t groundSpeed = 0;
        int32_t radioAltitude = 0;
        uint16_t weightPerGallon = 0;
        int32_t tankLevel[kTanks] = {};
    } raw;
};


// The reads. Nothing is read while the link is down (simLinkState().simLinked); the values then
// keep their last readings.

// Once per frame, before the pages: position, time and date, altitudes, wind, speed, heading,
// bank, pause/slew, ground track and roll rate into simLinkState().aircraft.
void readSimulatorState();
// At the start of each guidance frame: variation, magnetic heading, integer ground speed and
// the autopilot switches. Converts only when the batch succeeded; returns whether it did.
bool readGuidanceInputs();
// Bit 3 of the aircraft panel's byte; false when not linked or the read failed.
bool readPanelVnavEnabled();
// Once per second while the DATA page shows attitude: updates and returns simLinkState().attitude.
const DataPageAttitude& readDataPageAttitude();
// For the FUEL pages: updates and returns simLinkState().fuel. `referenceFuelLb` is the
// quantity that fuel used is counted from.
const FuelReading& readFuelData(int referenceFuelLb);

// The writes. Each is sent at once; nothing is written while the link is down. They return
// whether the value reached the simulator.

// Active waypoint number for the aircraft panel (low byte of the ordinal).
bool writePanelWaypoint(uint8_t waypointOrdinalLowByte);
// Coupled indication for the aircraft panel.
bool writePanelCoupled(bool coupled);
// NAV1 course (truncated) and the panel's lateral deviation, in one batch.
bool writeNav1CourseAndDeviation(float desiredCourseMagDeg, float crossTrackNm);
bool writeAutopilotHeading(float headingDeg);
// The aileron for a bank-hold output of -10..10.
bool writeAileron(float bankHoldOutput);
bool writeAutopilotAltitude(float altitudeFt);
bool writeAutopilotVerticalSpeed(int verticalSpeedFpm);

// The values those writes send.
float cdiDeflection(float crossTrackNm);                    // -127..127
uint16_t autopilotHeadingValue(float headingDeg);           // degrees * 65536 / 360
int16_t aileronValue(float bankHoldOutput);                 // -16384..16384
int32_t autopilotAltitudeValue(float altitudeFt);           // metres * 65536
int16_t autopilotVerticalSpeedValue(int verticalSpeedFpm);  // -5000..5000
