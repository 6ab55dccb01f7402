#include "FgOffsetSpace.h"

#include <algorithm>
#include <cmath>

#include "OffsetEncoding.h"
#include "SimEarth.h"
#include "geo/Calendar.h"
#include "simlink/SimOffsets.h"

using namespace offsetcode;
using namespace simearth;

namespace {

using M = FgModel;
using B = uint8_t;

template <int N>
void encodeFlow(const M& m, B* o) {
    put<double>(o, m.state.fuelFlowGph[N] * m.state.fuelDensityPpg);
}
template <int N>
void encodeTankLevel(const M& m, B* o) {
    const double capacity = m.state.tankCapacityGal[N];
    const double fraction = capacity > 0.0 ? std::clamp(m.state.tankLevelGal[N] / capacity, 0.0, 1.0) : 0.0;
    put<int32_t>(o, roundTo<int32_t>(fraction * 8388608.0));
}
template <int N>
void encodeTankCapacity(const M& m, B* o) {
    put<int32_t>(o, roundTo<int32_t>(std::max(0.0, m.state.tankCapacityGal[N])));
}

uint16_t encodeDayOfYear(const FgState& s) {
    return static_cast<uint16_t>(dayOfYear(CivilDate{s.year, s.month, s.day}));
}

// A target write: kept and counted so the bridge sends the targets to FlightGear.
template <typename T, T FgWrites::*Field, uint8_t Bit>
void decodeTarget(M& m, const B* i) {
    m.writes.*Field = get<T>(i);
    m.writes.targetsSet |= Bit;
    ++m.writes.targetWrites;
}

const Entry<FgModel> kEntries[] = {
    {simvar::kServerVersion, [](const M&, B* o) { put<uint32_t>(o, kBridgeServerVersion); }, nullptr},
    {simvar::kSimulatorVersion,
     [](const M&, B* o) { put<uint32_t>(o, 0xFADE0000u | kFlightGearSimulatorCode); }, nullptr},
    // Overlaps the high half of the simulator version: kept apart so it never changes that.
    {simvar::kClientLibVersion, nullptr,
     [](M& m, const B* i) { m.writes.clientLibVersion = get<uint16_t>(i); }},
    {simvar::kLatitude, [](const M& m, B* o) { put<int64_t>(o, latitudeRaw(m.state.latDeg)); }, nullptr},
    {simvar::kLongitude, [](const M& m, B* o) { put<int64_t>(o, longitudeRaw(m.state.lonDeg)); }, nullptr},
    {simvar::kZuluSecond, [](const M& m, B* o) { put<uint8_t>(o, static_cast<uint8_t>(m.state.second)); },
     nullptr},
    {simvar::kZuluHour, [](const M& m, B* o) { put<uint8_t>(o, static_cast<uint8_t>(m.state.hour)); },
     nullptr},
    {simvar::kZuluMinute, [](const M& m, B* o) { put<uint8_t>(o, static_cast<uint8_t>(m.state.minute)); },
     nullptr},
    {simvar::kDayOfYear, [](const M& m, B* o) { put<uint16_t>(o, encodeDayOfYear(m.state)); }, nullptr},
    {simvar::kYear, [](const M& m, B* o) { put<uint16_t>(o, static_cast<uint16_t>(m.state.year)); }, nullptr},
    {simvar::kOnGround, [](const M& m, B* o) { put<uint16_t>(o, m.state.onGround ? 1 : 0); }, nullptr},
    {simvar::kAltimeterAltitude,
     [](const M& m, B* o) { put<int32_t>(o, roundTo<int32_t>(m.state.altitudeFt)); }, nullptr},
    {simvar::kUnitsSetting, [](const M&, B* o) { put<uint16_t>(o, 0); }, nullptr},
    {simvar::kWindSpeed, [](const M& m, B* o) { put<uint16_t>(o, roundTo<uint16_t>(m.state.windKt)); },
     nullptr},
    {simvar::kWindDirection, [](const M& m, B* o) { put<uint16_t>(o, angle16(m.state.windFromDeg)); },
     nullptr},
    {simvar::kGroundSpeed,
     [](const M& m, B* o) {
         put<int32_t>(o, roundTo<int32_t>(m.state.groundSpeedKt * kMetresPerSecondPerKnot * 65536.0));
     },
     nullptr},
    {simvar::kHeadingTrue, [](const M& m, B* o) { put<uint32_t>(o, angle32(m.state.headingTrueDeg)); },
     nullptr},
    // The protocol counts bank positive with the left wing down and pitch positive nose down;
    // FlightGear the other way round.
    {simvar::kBank, [](const M& m, B* o) { put<int32_t>(o, signedAngle32(-m.state.rollDeg)); }, nullptr},
    {simvar::kPitch, [](const M& m, B* o) { put<int32_t>(o, signedAngle32(-m.state.pitchDeg)); }, nullptr},
    {simvar::kRadioAltitude,
     [](const M& m, B* o) {
         put<int32_t>(o, roundTo<int32_t>(std::max(0.0, m.state.aglFt) * kMetresPerFoot * 65536.0));
     },
     nullptr},
    {simvar::kPaused, [](const M& m, B* o) { put<uint16_t>(o, m.state.paused ? 1 : 0); }, nullptr},
    {simvar::kSlewing, [](const M&, B* o) { put<uint16_t>(o, 0); }, nullptr},  // FlightGear has no slew mode
    {simvar::kGroundTrackMag,
     [](const M& m, B* o) { put<double>(o, wrap360(m.state.trackTrueDeg - m.state.magVarDeg) * kDegToRad); },
     nullptr},
    {simvar::kRollRate, [](const M& m, B* o) { put<double>(o, -m.state.rollRateDegS * kDegToRad); }, nullptr},
    {simvar::kMagVariation,
     [](const M& m, B* o) {
         put<int16_t>(o, roundTo<int16_t>(wrap180(m.state.magVarDeg) / 360.0 * 65536.0));
     },
     nullptr},
    {simvar::kNavGpsSwitch, [](const M& m, B* o) { put<uint32_t>(o, m.writes.navGpsSwitch ? 1 : 0); },
     [](M& m, const B* i) { m.writes.navGpsSwitch = get<uint32_t>(i) != 0; }},
    {simvar::kAutopilotMaster, [](const M& m, B* o) { put<uint32_t>(o, m.writes.autopilotMaster ? 1 : 0); },
     [](M& m, const B* i) { m.writes.autopilotMaster = get<uint32_t>(i) != 0; }},
    {simvar::kPanelVnav, [](const M& m, B* o) { put<uint8_t>(o, m.writes.panelVnav); },
     [](M& m, const B* i) { m.writes.panelVnav = get<uint8_t>(i); }},
    {simvar::kEngineFuelFlow[0], encodeFlow<0>, nullptr},
    {simvar::kEngineFuelFlow[1], encodeFlow<1>, nullptr},
    {simvar::kEngineFuelFlow[2], encodeFlow<2>, nullptr},
    {simvar::kEngineFuelFlow[3], encodeFlow<3>, nullptr},
    {simvar::kFuelWeightPerGallon,
     [](const M& m, B* o) { put<uint16_t>(o, roundTo<uint16_t>(m.state.fuelDensityPpg * 256.0)); }, nullptr},
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
    {simvar::kPanelWaypoint, [](const M& m, B* o) { put<uint8_t>(o, m.writes.panelWaypoint); },
     decodeTarget<uint8_t, &FgWrites::panelWaypoint, kSetPanel>},
    {simvar::kPanelCoupled, [](const M& m, B* o) { put<uint8_t>(o, m.writes.panelCoupled); },
     decodeTarget<uint8_t, &FgWrites::panelCoupled, kSetPanel>},
    {simvar::kNav1Course, [](const M& m, B* o) { put<uint16_t>(o, m.writes.nav1CourseDeg); },
     decodeTarget<uint16_t, &FgWrites::nav1CourseDeg, kSetCourse>},
    {simvar::kPanelCdi, [](const M& m, B* o) { put<float>(o, m.writes.panelCdi); },
     decodeTarget<float, &FgWrites::panelCdi, kSetPanel>},
    {simvar::kAutopilotHeading, [](const M& m, B* o) { put<uint16_t>(o, m.writes.autopilotHeadingRaw); },
     decodeTarget<uint16_t, &FgWrites::autopilotHeadingRaw, kSetHeading>},
    {simvar::kAileron, [](const M& m, B* o) { put<int16_t>(o, m.writes.aileron); },
     [](M& m, const B* i) {
         m.writes.aileron = std::clamp<int16_t>(get<int16_t>(i), -16384, 16384);
         ++m.writes.aileronWrites;
     }},
    {simvar::kAutopilotAltitude, [](const M& m, B* o) { put<int32_t>(o, m.writes.autopilotAltitudeRaw); },
     decodeTarget<int32_t, &FgWrites::autopilotAltitudeRaw, kSetAltitude>},
    {simvar::kAutopilotVerticalSpeed,
     [](const M& m, B* o) { put<int16_t>(o, m.writes.autopilotVerticalSpeedFpm); },
     decodeTarget<int16_t, &FgWrites::autopilotVerticalSpeedFpm, kSetVerticalSpeed>},
};

}  // namespace

void FgOffsetSpace::readOffset(uint32_t offset, uint8_t* destination, uint32_t size) {
    Overlap o;
    if (overlap(simvar::kLatitude, offset, size, o)) ++positionReads;
    readTable(kEntries, model, offset, destination, size);
}

void FgOffsetSpace::writeOffset(uint32_t offset, const uint8_t* source, uint32_t size) {
    writeTable(kEntries, model, offset, source, size);
}

double aileronNormalized(int16_t raw) {
    return std::clamp(raw / 16384.0, -1.0, 1.0);
}

double autopilotHeadingDeg(uint16_t raw) {
    return raw * 360.0 / 65536.0;
}

double autopilotAltitudeFt(int32_t raw) {
    return raw / 65536.0 / kMetresPerFoot;
}
