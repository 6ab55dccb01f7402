#pragma once

#include <cstdint>
#include <string>

// The kind of database record a leg's fix comes from, or the kind of marker the leg is.
enum class WaypointKind : int32_t {
    None = 0,  // course, heading or altitude leg without a database fix
    Airport = 1,
    Navaid = 2,         // VOR, NDB, DME
    Fix = 3,            // named intersection
    AirwayEntry = 4,    // category not yet decided: matched as a fix, then as a navaid
    Gap = 5,            // "* GAP*"
    NoLink = 6,         // "* NO LINK*": the next leg does not start where this one ended
    EndOfApproach = 7,  // "* EOA*"
    Runway = 8,         // threshold of the arrival runway
    Hold = 9,           // hold leg after a hold fix (legType HM, no position)
};

// ARINC 424 path terminators, numbered in the order the procedure leg builder compares them.
enum class LegType : int32_t {
    None = 0,  // plain waypoint entered by the pilot, flown as TF
    AF = 1,
    CA = 2,
    CD = 3,
    CI = 4,
    CF = 5,
    CR = 6,
    DF = 7,
    FA = 8,
    FC = 9,
    FD = 10,
    FM = 11,
    IF = 12,
    PI = 13,
    RF = 14,
    TF = 15,
    VA = 16,
    VD = 17,
    VI = 18,
    VM = 19,
    VR = 20,
    HF = 21,
    HA = 22,
    HM = 23,
};

// One entry of the flight plan, and equally one leg of a procedure read from a procedure
// file: procedure legs are copied into the plan unchanged. A plain record; the plan model
// that orders and edits these lives elsewhere.
struct FplLeg {
    WaypointKind waypointKind = WaypointKind::None;
    LegType legType = LegType::None;
    std::string ident;  // shown on the FPL page
    std::string name;   // airport or navaid name; empty for fixes and procedure legs
    float longitude = 0.0f;
    float latitude = 0.0f;
    int32_t elevationFt = 0;  // airport legs
    int32_t dbIndex = -1;   // index in the database table named by waypointKind; -1 = none
    // Navaid legs made from airway data: the navaid's frequency; VD legs: their heading
    // column as a real. TUNE is offered only when this is not 0.
    float frequency = 0.0f;
    std::string navaidIdent;     // recommended navaid of a procedure leg
    int32_t navaidParamA = 0;    // integer column after the navaid identifier
    int32_t navaidParamB = 0;    // CI legs
    int32_t courseDeg = 0;       // whole degrees magnetic
    std::string centerFixIdent;  // RF arc centre
    int32_t headingDeg = 0;      // whole degrees magnetic
    int32_t markerFlag = 0;      // 1 on gap and end-of-approach markers
    int32_t vnavAltitudeEntered = 0;
    int32_t altitudeFt = 0;        // constraint; below 1 means none
    float distanceNm = 0.0f;       // CF/CD: leg length; VD: DME distance; AF: arc radius
    int32_t radialDeg = 0;         // CR and VR legs
    float arcParam = 0.0f;         // AF: procedure column 8; RF: procedure column 6
    float rfParam = 0.0f;          // RF: procedure column 7
    int32_t arcRadialDeg = 0;      // AF legs, shown as "(R-%d)"
    float fcDistanceNm = 0.0f;     // FC legs: distance column
    int32_t overfly = 0;           // fly-over waypoint, "*" on the FPL page
    uint8_t arrivalProcLeg = 0;    // from a STAR or an approach
    uint8_t departureProcLeg = 0;  // from a SID
    int32_t turnDirection = 0;     // 0 none, 1 left, 2 right
    // PI legs: procedure columns 6 to 9.
    float piParamA = 0.0f;
    int32_t piParamB = 0;
    int32_t piParamC = 0;
    float piParamD = 0.0f;
    float declination = 0.0f;    // navaid legs made from airway data
    float holdCourseDeg = 0.0f;  // HF: inbound course
    float holdLegValue = 0.0f;   // HF: leg length or time
    bool altitudeIsFlightLevel = false;
    int32_t vnavOffsetNm = 0;
    bool directTo = false;
    // Three integer procedure columns that every leg row carries (the one before the
    // altitude column and the two after it). Kept with the leg; nothing reads them.
    int32_t procColumnA = 0;
    int32_t procColumnB = 0;
    int32_t procColumnC = 0;
};
