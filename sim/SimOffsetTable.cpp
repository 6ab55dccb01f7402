#include "SimOffsetTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "SimEarth.h"
#include "simlink/SimOffsets.h"

using namespace simearth;

namespace {

constexpr double kTwoTo32 = 4294967296.0;
constexpr double kTwoTo64 = 18446744073709551616.0;
constexpr double kLatitudeUnit = 2.0951091487837895e-15;  // degrees per raw unit

using Bytes = uint8_t[8];

template <typename T>
void put(uint8_t* out, T value) {
    std::memcpy(out, &value, sizeof value);  // the protocol is little-endian, as is this host
}

template <typename T>
T get(const uint8_t* in) {
    T value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

// Rounds to the nearest integer of type T, saturating at its limits.
template <typename T>
T roundTo(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = std::round(value);
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

// An angle as a fraction of the full circle in an unsigned 32-bit word.
uint32_t angle32(double deg) {
    const double r = std::round(wrap360(deg) / 360.0 * kTwoTo32);
    return r >= kTwoTo32 ? 0u : static_cast<uint32_t>(r);
}

uint16_t angle16(double deg) {
    const double r = std::round(wrap360(deg) / 360.0 * 65536.0);
    return r >= 65536.0 ? 0 : static_cast<uint16_t>(r);
}

// A signed angle (-180..180) as a signed 32-bit fraction of the circle.
int32_t signedAngle32(double deg) {
    return roundTo<int32_t>(wrap180(deg) / 360.0 * kTwoTo32);
}


struct Entry {
    SimVar var;
    void (*encode)(const SimAircraft&, uint8_t*);  // null = write-only
    void (*decode)(SimAircraft&, const uint8_t*);  // null = read-only
};

using A = SimAircraft;
using B = uint8_t;

template <int N>
void encodeFlow(const A& a, B* o) {
    put<double>(o, engineFuelFlowLbH(a, N));
}
template <int N>
void encodeTankLevel(const A& a, B* o) {
    put<int32_t>(o, roundTo<int32_t>(a.tankLevel[N] * 8388608.0));
}
template <int N>
void encodeTankCapacity(const A& a, B* o) {
    put<int32_t>(o, roundTo<int32_t>(a.tankCapacityGal[N]));
}

const Entry kEntries[] = {
    {simvar::kServerVersion, [](const A&, B* o) { put<uint32_t>(o, kStandInServerVersion); }, nullptr},
    {simvar::kSimulatorVersion, [](const A&, B* o) { put<uint32_t>(o, 0xFADE0000u | kStandInSimulatorCode); },
     nullptr},
    // Overlaps the high half of the simulator version: the write is kept apart so it never
    // changes what that offset reads.
    {simvar::kClientLibVersion, nullptr, [](A& a, const B* i) { a.clientLibVersion = get<uint16_t>(i); }},
    {simvar::kLatitude, [](const A& a, B* o) { put<int64_t>(o, roundTo<int64_t>(a.latDeg / kLatitudeUnit)); },
     nullptr},
    {simvar::kLongitude,
     [](const A& a, B* o) { put<int64_t>(o, roundTo<int64_t>(wrap180(a.lonDeg) / 360.0 * kTwoTo64)); },
     nullptr},
    {simvar::kZuluSecond, [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).second)); },
     nullptr},
    {simvar::kZuluHour, [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).hour)); },
     nullptr},
    {simvar::kZuluMinute, [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).minute)); },
     nullptr},
    {simvar::kDayOfYear,
     [](const A& a, B* o) { put<uint16_t>(o, static_cast<uint16_t>(dayOfYear(simUtc(a.utcSeconds).date))); }, nullptr},
    {simvar::kYear, [](const A& a, B* o) { put<uint16_t>(o, static_cast<uint16_t>(simUtc(a.utcSeconds).date.year)); },
     nullptr},
    {simvar::kOnGround, [](const A& a, B* o) { put<uint16_t>(o, a.onGround ? 1 : 0); }, nullptr},
    {simvar::kAltimeterAltitude,
     [](const A& a, B* o) {
         put<int32_t>(o, roundTo<int32_t>(a.metricAltimeter ? a.altitudeFt * kMetresPerFoot : a.altitudeFt));
     },
     nullptr},
    {simvar::kUnitsSetting, [](const A& a, B* o) { put<uint16_t>(o, a.metricAltimeter ? 1 : 0); }, nullptr},
    {simvar::kWindSpeed, [](const A& a, B* o) { put<uint16_t>(o, roundTo<uint16_t>(a.windSpeedKt)); },
     nullptr},
    {simvar::kWindDirection, [](const A& a, B* o) { put<uint16_t>(o, angle16(a.windFromDeg)); }, nullptr},
    {simvar::kGroundSpeed,
     [](const A& a, B* o) {
         put<int32_t>(o, roundTo<int32_t>(groundVector(a).speedKt * kMetresPerSecondPerKnot * 65536.0));
     },
     nullptr},
    {simvar::kHeadingTrue, [](const A& a, B* o) { put<uint32_t>(o, angle32(a.headingTrueDeg)); }, nullptr},
    // The simulator counts bank positive with the left wing down and pitch positive nose down.
    {simvar::kBank, [](const A& a, B* o) { put<int32_t>(o, signedAngle32(-a.bankDeg)); }, nullptr},
    {simvar::kPitch, [](const A& a, B* o) { put<int32_t>(o, signedAngle32(-a.pitchDeg)); }, nullptr},
    {simvar::kRadioAltitude,
     [](const A& a, B* o) {
         const double metres = std::max(0.0, a.altitudeFt - a.groundElevationFt) * kMetresPerFoot;
         put<int32_t>(o, roundTo<int32_t>(metres * 65536.0));
     },
     nullptr},
    {simvar::kPaused, [](const A& a, B* o) { put<uint16_t>(o, a.paused ? 1 : 0); }, nullptr},
    {simvar::kSlewing, [](const A& a, B* o) { put<uint16_t>(o, a.slewing ? 1 : 0); }, nullptr},
    {simvar::kGroundTrackMag,
     [](const A& a, B* o) {
         put<double>(o, wrap360(groundVector(a).trackTrueDeg - a.magVarDeg) * kDegToRad);
     },
     nullptr},
    {simvar::kRollRate, [](const A& a, B* o) { put<double>(o, -a.rollRateDegS * kDegToRad); }, nullptr},
    {simvar::kMagVariation,
     [](const A& a, B* o) { put<int16_t>(o, roundTo<int16_t>(wrap180(a.magVarDeg) / 360.0 * 65536.0)); },
     nullptr},
    {simvar::kNavGpsSwitch, [](const A& a, B* o) { put<uint32_t>(o, a.navGpsSwitch ? 1 : 0); },
     [](A& a, const B* i) { a.navGpsSwitch = get<uint32_t>(i) != 0; }},
    {simvar::kAutopilotMaster, [](const A& a, B* o) { put<uint32_t>(o, a.autopilotMaster ? 1 : 0); },
     [](A& a, const B* i) { a.autopilotMaster = get<uint32_t>(i) != 0; }},
    {simvar::kPanelVnav, [](const A& a, B* o) { put<uint8_t>(o, a.panelVnav); },
     [](A& a, const B* i) { a.panelVnav = get<uint8_t>(i); }},
    {simvar::kEngineFuelFlow[0], encodeFlow<0>, nullptr},
    {simvar::kEngineFuelFlow[1], encodeFlow<1>, nullptr},
    {simvar::kEngineFuelFlow[2], encodeFlow<2>, nullptr},
    {simvar::kEngineFuelFlow[3], encodeFlow<3>, nullptr},
    {simvar::kFuelWeightPerGallon,
     [](const A& a, B* o) { put<uint16_t>(o, roundTo<uint16_t>(a.fuelLbPerGallon * 256.0)); }, nullptr},
    {simvar::kFuelTankLevel[0], encodeTankLevel<0>, nullptr},
    {simvar::kFuelTankCapacity[0], encodeTankCapacity<0>, nullptr},
    {simvar::kFuelTankLevel[1], encodeTankLevel<1>, nullptr},
    {simvar::kFuelTankCapacity[1], encodeTankCapacity<1>, nullptr},
    {simvar::kFuelTankLevel[2], encodeTankLevel<2>, nullptr},
    {simvar::kFuelTankCapacity[2], encodeTankCapacity<2>, nullptr},
    {simvar::kFuelTankLevel[3], encodeTankLevel<3>, nullptr},
    {simvar::kFuelTankCapacity[3], encodeTankCapacity<3>, nullptr},
    {simvar::kFuelTankLevel[4], encodeTankLevel<4>, nullptr},
    {simvar::kFuelTankCapacity[4], encodeTankCapacity<4>, nullptr},
    {simvar::kPanelWaypoint, [](const A& a, B* o) { put<uint8_t>(o, a.panelWaypoint); },
     [](A& a, const B* i) { a.panelWaypoint = get<uint8_t>(i); }},
    {simvar::kPanelCoupled, [](const A& a, B* o) { put<uint8_t>(o, a.panelCoupled); },
     [](A& a, const B* i) { a.panelCoupled = get<uint8_t>(i); }},
    {simvar::kNav1Course, [](const A& a, B* o) { put<uint16_t>(o, a.nav1CourseDeg); },
     [](A& a, const B* i) { a.nav1CourseDeg = get<uint16_t>(i); }},
    {simvar::kPanelCdi, [](const A& a, B* o) { put<float>(o, a.panelCdi); },
     [](A& a, const B* i) { a.panelCdi = get<float>(i); }},
    {simvar::kAutopilotHeading, [](const A& a, B* o) { put<uint16_t>(o, a.autopilotHeadingRaw); },
     [](A& a, const B* i) { a.autopilotHeadingRaw = get<uint16_t>(i); }},
    {simvar::kAileron, [](const A& a, B* o) { put<int16_t>(o, a.aileron); },
     [](A& a, const B* i) {
         a.aileron = std::clamp<int16_t>(get<int16_t>(i), -16384, 16384);
         a.secondsSinceAileron = 0.0;
     }},
    {simvar::kAutopilotAltitude,
     [](const A& a, B* o) {
         put<int32_t>(o, roundTo<int32_t>(a.autopilotAltitudeFt * kMetresPerFoot * 65536.0));
     },
     [](A& a, const B* i) { a.autopilotAltitudeFt = get<int32_t>(i) / 65536.0 / kMetresPerFoot; }},
    {simvar::kAutopilotVerticalSpeed, [](const A& a, B* o) { put<int16_t>(o, a.autopilotVerticalSpeedFpm); },
     [](A& a, const B* i) { a.autopilotVerticalSpeedFpm = get<int16_t>(i); }},
};

// The part of [offset, offset + size) that an entry covers, as positions in both.
struct Overlap {
    uint32_t inEntry;
    uint32_t inRequest;
    uint32_t length;
};

bool overlap(const SimVar& var, uint32_t offset, uint32_t size, Overlap& out) {
    const uint64_t begin = std::max<uint64_t>(var.offset, offset);
    const uint64_t end = std::min<uint64_t>(uint64_t{var.offset} + var.size, uint64_t{offset} + size);
    if (begin >= end) return false;
    out.inEntry = static_cast<uint32_t>(begin - var.offset);
    out.inRequest = static_cast<uint32_t>(begin - offset);
    out.length = static_cast<uint32_t>(end - begin);
    return true;
}

}  // namespace

void SimOffsetTable::readOffset(uint32_t offset, uint8_t* destination, uint32_t size) {
    ++reads_;
    if (destination == nullptr || size == 0) return;
    std::memset(destination, 0, size);
    for (const Entry& e : kEntries) {
        Overlap o;
        if (e.encode == nullptr || !overlap(e.var, offset, size, o)) continue;
        Bytes bytes{};
        e.encode(world_.aircraft, bytes);
        std::memcpy(destination + o.inRequest, bytes + o.inEntry, o.length);
    }
}

void SimOffsetTable::writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) {
    ++writes_;
    if (source == nullptr || size == 0) return;
    for (const Entry& e : kEntries) {
        Overlap o;
        if (e.decode == nullptr || !overlap(e.var, offset, size, o)) continue;
        // A partial write changes only the bytes it covers.
        Bytes bytes{};
        if (e.encode != nullptr) e.encode(world_.aircraft, bytes);
        std::memcpy(bytes + o.inEntry, source + o.inRequest, o.length);
        e.decode(world_.aircraft, bytes);
    }
}
