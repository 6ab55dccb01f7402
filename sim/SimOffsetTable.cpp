#include "SimOffsetTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "OffsetEncoding.h"
#include "SimEarth.h"
#include "simlink/SimOffsets.h"

using namespace simearth;

namespace {

using namespace offsetcode;

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

const Entry<SimAircraft> kEntries[] = {
    {simvar::kServerVersion, [](const A&, B* o) { put<uint32_t>(o, kStandInServerVersion); }, nullptr},
    {simvar::kSimulatorVersion, [](const A&, B* o) { put<uint32_t>(o, 0xFADE0000u | kStandInSimulatorCode); },
     nullptr},
    // Overlaps the high half of the simulator version: the write is kept apart so it never
    // changes what that offset reads.
    {simvar::kClientLibVersion, nullptr, [](A& a, const B* i) { a.clientLibVersion = get<uint16_t>(i); }},
    {simvar::kLatitude, [](const A& a, B* o) { put<int64_t>(o, latitudeRaw(a.latDeg)); }, nullptr},
    {simvar::kLongitude, [](const A& a, B* o) { put<int64_t>(o, longitudeRaw(a.lonDeg)); }, nullptr},
    {simvar::kZuluSecond,
     [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).second)); }, nullptr},
    {simvar::kZuluHour,
     [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).hour)); }, nullptr},
    {simvar::kZuluMinute,
     [](const A& a, B* o) { put<uint8_t>(o, static_cast<uint8_t>(simUtc(a.utcSeconds).minute)); }, nullptr},
    {simvar::kDayOfYear,
     [](const A& a, B* o) { put<uint16_t>(o, static_cast<uint16_t>(dayOfYear(simUtc(a.utcSeconds).date))); },
     nullptr},
    {simvar::kYear,
     [](const A& a, B* o) { put<uint16_t>(o, static_cast<uint16_t>(simUtc(a.utcSeconds).date.year)); },
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

}  // namespace

void SimOffsetTable::readOffset(uint32_t offset, uint8_t* destination, uint32_t size) {
    ++reads_;
    readTable(kEntries, world_.aircraft, offset, destination, size);
}

void SimOffsetTable::writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) {
    ++writes_;
    writeTable(kEntries, world_.aircraft, offset, source, size);
}
