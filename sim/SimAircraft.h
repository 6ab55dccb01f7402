#pragma once

#include <cstdint>

// The stand-in simulator's "real world": one aircraft over a spherical earth, integrated with
// exact math. The program under test sees it only through the offset table.

inline constexpr int kSimEngineCount = 4;

// How the airframe rolls: full aileron commands maxRollRateDegS, and the roll rate follows the
// command as a first-order lag with the roll-mode time constant. The bank stops at its limit.
struct SimAirframe {
    const char* name = "jet";
    double rollTimeConstantS = 0.8;
    double maxRollRateDegS = 15.0;
    double maxBankDeg = 45.0;
};

// The presets, selectable by option and console command.
inline constexpr SimAirframe kSimLight{"light", 0.3, 45.0, 60.0};
inline constexpr SimAirframe kSimJet{"jet", 0.8, 15.0, 45.0};
inline constexpr SimAirframe kSimHeavy{"heavy", 1.5, 8.0, 35.0};
inline constexpr SimAirframe kSimAirframes[] = {kSimLight, kSimJet, kSimHeavy};
// False, leaving `out` alone, for a name that is no preset.
bool findAirframe(const char* name, SimAirframe& out);

// Turbulence: random roll-rate and heading-rate disturbances (first-order Gauss-Markov
// processes) of the given RMS intensity, repeatable from their seed. Zero intensity = calm.
struct SimTurbulence {
    double rollRateRmsDegS = 0.0;
    double headingRateRmsDegS = 0.0;
    uint64_t seed = 1;
    // Running state.
    uint64_t rngState = 0;
    double rollRateDegS = 0.0;
    double headingRateDegS = 0.0;
    bool active() const { return rollRateRmsDegS > 0.0 || headingRateRmsDegS > 0.0; }
};
// Sets the intensities and restarts the random sequence from `seed`.
void setTurbulence(SimTurbulence& turbulence, double rollRateRmsDegS, double headingRateRmsDegS,
                   uint64_t seed);
inline constexpr int kSimTankCount = 5;  // centre, then four wing tanks

struct SimAircraft {
    // Position and attitude.
    double latDeg = 0.0;
    double lonDeg = 0.0;
    double altitudeFt = 0.0;         // above mean sea level
    double groundElevationFt = 0.0;  // terrain under the aircraft (flat world)
    double trueAirspeedKt = 0.0;
    double headingTrueDeg = 0.0;  // 0 <= h < 360
    double bankDeg = 0.0;         // positive = right wing down
    double rollRateDegS = 0.0;    // positive = rolling right
    double verticalSpeedFpm = 0.0;
    double pitchDeg = 0.0;  // positive = nose up

    // Simulator modes and switches.
    bool onGround = false;
    bool paused = false;
    bool slewing = false;
    bool autopilotMaster = false;
    bool navGpsSwitch = false;  // true = GPS drives the NAV source
    bool metricAltimeter = false;

    // Controls and autopilot targets as last written.
    int16_t aileron = 0;               // -16384 full left .. 16384 full right
    double secondsSinceAileron = 1e9;  // time since the last aileron write
    double autopilotAltitudeFt = 0.0;
    int16_t autopilotVerticalSpeedFpm = 0;
    uint16_t autopilotHeadingRaw = 0;  // degrees * 65536 / 360
    uint16_t nav1CourseDeg = 0;

    // Bytes of the aircraft panel.
    float panelCdi = 0.0f;
    uint8_t panelCoupled = 0;
    uint8_t panelWaypoint = 0;
    uint8_t panelVnav = 0;  // bit 3 = VNAV enabled

    uint16_t clientLibVersion = 0;  // what the last client announced when it opened

    SimAirframe airframe = kSimJet;
    SimTurbulence turbulence;

    // Environment.
    double windFromDeg = 0.0;  // true
    double windSpeedKt = 0.0;
    double magVarDeg = 0.0;   // east positive, constant over the world
    double utcSeconds = 0.0;  // seconds since 1970-01-01 00:00:00 UTC

    // Fuel.
    double engineFlowLbH[kSimEngineCount] = {};  // set flow in the air
    double fuelLbPerGallon = 6.7;
    double tankCapacityGal[kSimTankCount] = {};
    double tankLevel[kSimTankCount] = {};  // fraction 0..1
};

// No airframe banks further than this.
inline constexpr double kSimMaxBankDeg = 60.0;
// Without an aileron write for this long the stand-in pilot takes over and levels the wings; while
// a program keeps writing the aileron (as steering does every frame), it alone rolls the aircraft.
inline constexpr double kSimSteeringTimeoutSeconds = 2.0;
// Climb or descent rate used when no usable vertical-speed target is set.
inline constexpr double kSimDefaultVerticalSpeedFpm = 1500.0;

// Derived motion over the ground.
struct SimGroundVector {
    double speedKt;
    double trackTrueDeg;  // 0 <= t < 360
};
SimGroundVector groundVector(const SimAircraft& aircraft);

// Fuel totals. Each engine burns its set flow in the air and idles on the ground; nothing
// flows once the tanks are dry.
inline constexpr double kSimGroundIdleFraction = 0.3;
double fuelOnBoardGallons(const SimAircraft& aircraft);
double engineFuelFlowLbH(const SimAircraft& aircraft, int engine);
double totalFuelFlowLbH(const SimAircraft& aircraft);

// Advances the aircraft by dt seconds (one integration step; callers keep dt small).
void stepAircraft(SimAircraft& aircraft, double dtSeconds);

// Puts the aircraft on the ground at the terrain elevation, or lifts it into flight at no
// less than 1000 ft above the terrain; the altitude target follows.
void setOnGround(SimAircraft& aircraft, bool onGround);

// Fills every tank to the same fraction (0..1).
void setFuelFraction(SimAircraft& aircraft, double fraction);
