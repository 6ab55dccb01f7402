#include "simlink/AircraftState.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geo/Calendar.h"
#include "simlink/SimLinkState.h"
#include "simlink/SimOffsets.h"
#include "simlink/SimLink.h"

namespace {

constexpr double kLatitudePerUnit = 2.0951091487837895e-15;
constexpr double kLongitudePerUnit = 1.951563910473908e-17;  // 360 / 2^64
constexpr double kDegreesPerHeadingUnit = 8.381e-8;          // 360 / 2^32 as the program has always used it
constexpr double kDegreesPer32 = 360.0 / 4294967296.0;
constexpr double kDegreesPer16 = 360.0 / 65536.0;

// Truncation toward zero that saturates instead of overflowing on values the simulator
// should never send.
int32_t truncInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

// Magnetic heading in whole degrees 0..359 from a true heading and a variation.
int32_t wrapHeading(double headingDeg) {
    int32_t h = truncInt(headingDeg);
    if (h < 0) h += 360;
    // West variation can lift the magnetic heading past 360.
    if (h >= 360) h -= 360;
    return h;
}

// Queues reads and writes of table entries against the unit's link.
struct Batch {
    SimLink& link = simLinkState().link;
    uint32_t result = SIM_OK;

    template <typename T>
    void read(const SimVar& var, T* destination) {
        static_assert(sizeof(T) <= 8);
        link.read(var.offset, std::min<uint32_t>(var.size, sizeof(T)), destination, result);
    }
    template <typename T>
    void write(const SimVar& var, const T& value) {
        link.write(var.offset, std::min<uint32_t>(var.size, sizeof(T)), &value, result);
    }
    bool process() { return link.process(result); }
};

bool linked() {
    return simLinkState().simLinked;
}

}  // namespace

void readSimulatorState() {
    if (!linked()) return;
    AircraftState& s = simLinkState().aircraft;
    Batch b;
    // These start from zero each frame, so a failed batch reads as zeros for them.
    s.altimeterFt = 0;
    int64_t latRaw = 0;
    int64_t lonRaw = 0;
    uint16_t dayOfYear = 0;
    int16_t yearRaw = 0;
    int16_t units = 0;
    uint16_t windDirectionRaw = 0;
    int32_t groundSpeedRaw = 0;
    uint32_t headingRaw = 0;
    int32_t bankRaw = 0;
    int32_t radioAltitudeRaw = 0;

    b.read(simvar::kLatitude, &latRaw);
    b.read(simvar::kLongitude, &lonRaw);
    b.read(simvar::kZuluHour, &s.zuluHour);
    b.read(simvar::kZuluMinute, &s.zuluMinute);
    b.read(simvar::kZuluSecond, &s.zuluSecond);
    b.read(simvar::kDayOfYear, &dayOfYear);
    b.read(simvar::kYear, &yearRaw);
    b.read(simvar::kOnGround, &s.onGround);
    b.read(simvar::kAltimeterAltitude, &s.altimeterFt);
    b.read(simvar::kUnitsSetting, &units);
    b.read(simvar::kWindSpeed, &s.windSpeedKt);
    b.read(simvar::kWindDirection, &windDirectionRaw);
    b.read(simvar::kGroundSpeed, &groundSpeedRaw);
    b.read(simvar::kHeadingTrue, &headingRaw);
    b.read(simvar::kBank, &bankRaw);
    b.read(simvar::kRadioAltitude, &radioAltitudeRaw);
    b.read(simvar::kPaused, &s.paused);
    b.read(simvar::kSlewing, &s.slewing);
    b.read(simvar::kGroundTrackMag, &s.groundTrackRad);
    b.read(simvar::kRollRate, &s.rollRate);
    const bool ok = b.process();

    s.radioAltitudeFt = truncInt(radioAltitudeRaw / 65536.0 * geo::kFtPerMetreRadio);
    s.headingMagDeg = wrapHeading(headingRaw * kDegreesPerHeadingUnit - s.magVarIntDeg);
    // Latitude and longitude are not preset, so a failed batch keeps the last position.
    if (ok) {
        s.position.lat = latRaw * kLatitudePerUnit;
        s.position.lon = lonRaw * kLongitudePerUnit;
        s.positionF.lat = static_cast<float>(s.position.lat);
        s.positionF.lon = static_cast<float>(s.position.lon);
    }
    // Likewise the date: no valid day of the year, no change.
    CivilDate date;
    if (dateFromDayOfYear(yearRaw, dayOfYear, date)) {
        s.dayOfMonth = date.day;
        s.monthName = monthAbbreviation(date.month);
        s.year = static_cast<int16_t>(date.year);
    }
    s.windDirectionDeg = roundHalfAway(windDirectionRaw * kDegreesPer16);
    s.groundSpeedKt = static_cast<float>(groundSpeedRaw / 65536.0 * geo::kKnotsPerMetrePerSec);
    if (units != 0) s.altimeterFt = truncInt(s.altimeterFt * geo::kFtPerMetre);
    s.bankDeg = static_cast<float>(bankRaw * kDegreesPer32);
}

bool readGuidanceInputs() {
    if (!linked()) return false;
    AircraftState& s = simLinkState().aircraft;
    Batch b;
    uint32_t headingRaw = 0;
    int16_t magVarRaw = 0;
    int32_t groundSpeedRaw = 0;
    b.read(simvar::kHeadingTrue, &headingRaw);
    b.read(simvar::kMagVariation, &magVarRaw);
    b.read(simvar::kNavGpsSwitch, &s.navGpsSwitch);
    b.read(simvar::kAutopilotMaster, &s.autopilotMaster);
    b.read(simvar::kGroundSpeed, &groundSpeedRaw);
    b.process();
    if (b.result != SIM_OK) return false;
    s.magVarDeg = static_cast<float>(magVarRaw * kDegreesPer16);
    s.magVarIntDeg = truncInt(s.magVarDeg);
    s.headingMagF = static_cast<float>(headingRaw * kDegreesPerHeadingUnit - s.magVarDeg);
    s.groundSpeedIntKt = truncInt(groundSpeedRaw / 65536.0 * geo::kKnotsPerMetrePerSec);
    return true;
}

bool readPanelVnavEnabled() {
    if (!linked()) return false;
    Batch b;
    uint8_t panel = 0;
    b.read(simvar::kPanelVnav, &panel);
    b.process();
    return (panel & 8) != 0;
}

const DataPageAttitude& readDataPageAttitude() {
    DataPageAttitude& att = simLinkState().attitude;
    if (!linked()) return att;
    Batch b;
    int32_t bankRaw = 0;
    int32_t pitchRaw = 0;
    int16_t variationRaw = 0;
    uint32_t headingRaw = 0;
    b.read(simvar::kBank, &bankRaw);
    b.read(simvar::kPitch, &pitchRaw);
    b.read(simvar::kMagVariation, &variationRaw);
    b.read(simvar::kHeadingTrue, &headingRaw);
    // The page keeps its last values while the simulator does not answer.
    if (!b.process()) return att;
    att.bankDeg = static_cast<float>(-bankRaw * kDegreesPer32);
    att.pitchDeg = static_cast<float>(-pitchRaw * kDegreesPer32);
    att.variationDeg = truncInt(variationRaw * kDegreesPer16);
    att.headingDeg = wrapHeading(headingRaw * kDegreesPerHeadingUnit - att.variationDeg);
    return att;
}

const FuelReading& readFuelData(int referenceFuelLb) {
    FuelReading& f = simLinkState().fuel;
    if (!linked()) return f;
    Batch b;
    for (int e = 0; e < FuelReading::kEngines; ++e) b.read(simvar::kEngineFuelFlow[e], &f.engineFlowLbH[e]);
    b.read(simvar::kGroundSpeed, &f.raw.groundSpeed);
    b.read(simvar::kRadioAltitude, &f.raw.radioAltitude);
    b.read(simvar::kFuelWeightPerGallon, &f.raw.weightPerGallon);
    for (int t = 0; t < FuelReading::kTanks; ++t) {
        b.read(simvar::kFuelTankLevel[t], &f.raw.tankLevel[t]);
        b.read(simvar::kFuelTankCapacity[t], &f.tankCapacityGal[t]);
    }
    b.process();

    f.groundSpeedKt = truncInt(f.raw.groundSpeed / 65536.0 * geo::kKnotsPerMetrePerSec);
    f.radioAltitudeFt = truncInt(f.raw.radioAltitude / 65536.0 * geo::kFtPerMetreRadio);
    f.weightPerGallonLb = f.raw.weightPerGallon / 256.0f;
    double gallons = 0.0;
    for (int t = 0; t < FuelReading::kTanks; ++t) {
        f.tankLevel[t] = static_cast<float>(f.raw.tankLevel[t] / 8388608.0);
        gallons += static_cast<double>(f.tankCapacityGal[t]) * f.tankLevel[t];
    }
    f.fuelOnBoardLb = truncInt(gallons * f.weightPerGallonLb);
    f.fuelUsedLb = std::clamp(referenceFuelLb - f.fuelOnBoardLb, 0, 100000);
    double totalFlow = 0.0;
    for (double flow : f.engineFlowLbH) totalFlow += flow;
    f.totalFuelFlowLbH = truncInt(totalFlow);
    f.enduranceHours =
        f.totalFuelFlowLbH >= 1 ? static_cast<float>(f.fuelOnBoardLb) / f.totalFuelFlowLbH : 0.0f;
    f.engine1FlowLbH = truncInt(f.engineFlowLbH[0]);
    f.engine2FlowLbH = truncInt(f.engineFlowLbH[1]);
    return f;
}

float cdiDeflection(float crossTrackNm) {
    return clampf(-crossTrackNm * 25.4f, -127.0f, 127.0f);
}

uint16_t autopilotHeadingValue(float headingDeg) {
    // 360 degrees is 65536, which the 16-bit offset holds as 0: the same direction.
    return static_cast<uint16_t>(truncInt(headingDeg * 65536.0 / 360.0) & 0xFFFF);
}

int16_t aileronValue(float bankHoldOutput) {
    const float output = clampf(bankHoldOutput, -10.0f, 10.0f);
    return static_cast<int16_t>(truncInt(-output * 1638.4));
}

int32_t autopilotAltitudeValue(float altitudeFt) {
    return truncInt(altitudeFt / geo::kFtPerMetre * 65536.0);
}

int16_t autopilotVerticalSpeedValue(int verticalSpeedFpm) {
    return static_cast<int16_t>(std::clamp(verticalSpeedFpm, -5000, 5000));
}

namespace {

template <typename T>
bool writeOne(const SimVar& var, T value) {
    if (!linked()) return false;
    Batch b;
    b.write(var, value);
    return b.process();
}

}  // namespace

bool writePanelWaypoint(uint8_t waypointOrdinalLowByte) {
    return writeOne(simvar::kPanelWaypoint, waypointOrdinalLowByte);
}

bool writePanelCoupled(bool coupled) {
    return writeOne(simvar::kPanelCoupled, static_cast<uint8_t>(coupled ? 1 : 0));
}

bool writeNav1CourseAndDeviation(float desiredCourseMagDeg, float crossTrackNm) {
    if (!linked()) return false;
    Batch b;
    b.write(simvar::kNav1Course, static_cast<int16_t>(truncInt(desiredCourseMagDeg)));
    b.write(simvar::kPanelCdi, cdiDeflection(crossTrackNm));
    return b.process();
}

bool writeAutopilotHeading(float headingDeg) {
    return writeOne(simvar::kAutopilotHeading, autopilotHeadingValue(headingDeg));
}

bool writeAileron(float bankHoldOutput) {
    return writeOne(simvar::kAileron, aileronValue(bankHoldOutput));
}

bool writeAutopilotAltitude(float altitudeFt) {
    return writeOne(simvar::kAutopilotAltitude, autopilotAltitudeValue(altitudeFt));
}

bool writeAutopilotVerticalSpeed(int verticalSpeedFpm) {
    return writeOne(simvar::kAutopilotVerticalSpeed, autopilotVerticalSpeedValue(verticalSpeedFpm));
}
