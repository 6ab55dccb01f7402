#include "navdb/ProcedureLeg.h"

#include <array>

#include "navdb/SplitFields.h"

namespace {
// In the order field 0 is compared; position + 1 is the LegType value.
constexpr std::array<std::string_view, 23> kCodes = {"AF", "CA", "CD", "CI", "CF", "CR", "DF", "FA",
                                                     "FC", "FD", "FM", "IF", "PI", "RF", "TF", "VA",
                                                     "VD", "VI", "VM", "VR", "HF", "HA", "HM"};

// Highest column read plus one, by LegType value.
constexpr std::array<size_t, 24> kMinimumFields = {1,  14, 8,  15, 10, 15, 10, 13, 14, 15, 15, 14,
                                                   12, 15, 13, 15, 8,  10, 10, 10, 10, 15, 1,  1};

// ident, latitude and longitude: the least a hold line needs to name its fix.
constexpr size_t kFixFields = 4;

struct Columns {
    std::span<const std::string_view> f;
    FplLeg& leg;

    std::string text(size_t i) const { return std::string(f[i]); }
    float real(size_t i) const { return fieldReal(f[i]); }
    int32_t integer(size_t i) const { return fieldInt(f[i]); }
    int32_t realToInt(size_t i) const { return fieldRealToInt(f[i]); }

    // ident, latitude, longitude in columns 1..3.
    void fix() {
        leg.ident = text(1);
        leg.latitude = real(2);
        leg.longitude = real(3);
    }
    // The fix, then the turn direction and the recommended navaid.
    void fixTurnNavaid() {
        fix();
        leg.turnDirection = integer(4);
        leg.navaidIdent = text(5);
    }
    // The kept column at `k`, the altitude at k + 1 and two kept columns at k + 3 and k + 4:
    // the same tail in every row.
    void tail(size_t k) {
        leg.procColumnA = integer(k);
        leg.altitudeFt = integer(k + 1);
        leg.procColumnB = integer(k + 3);
        leg.procColumnC = integer(k + 4);
    }
    // HF and the other holds: the fix, the turn, the inbound course and the leg length.
    void holdColumns() {
        fix();
        leg.turnDirection = integer(4);
        leg.holdCourseDeg = real(8);
        leg.holdLegValue = real(9);
        tail(10);
    }
    // TF and its relatives (FA, FM, FC, FD, CD, CF): fix, navaid, its parameter, the course.
    void fixAndCourse(size_t tailStart) {
        fixTurnNavaid();
        leg.navaidParamA = integer(6);
        leg.courseDeg = integer(8);
        tail(tailStart);
    }
};
}  // namespace

LegType legTypeFromCode(std::string_view code) {
    for (size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == code) return static_cast<LegType>(i + 1);
    return LegType::None;
}

size_t minimumLegFields(LegType type) {
    auto i = static_cast<size_t>(type);
    return i < kMinimumFields.size() ? kMinimumFields[i] : 1;
}

bool buildProcedureLeg(std::span<const std::string_view> fields, FplLeg& leg, LegOrigin origin) {
    if (fields.empty()) return true;
    LegType type = legTypeFromCode(fields[0]);
    if (type == LegType::None) return true;  // not a path terminator: nothing stored
    if (fields.size() < minimumLegFields(type)) return false;
    leg.legType = type;
    Columns c{fields, leg};
    switch (type) {
        case LegType::AF:
            c.fixTurnNavaid();
            leg.arcParam = c.real(8);
            leg.distanceNm = c.real(7);
            leg.arcRadialDeg = c.integer(6);
            c.tail(9);
            break;
        case LegType::CA:
            leg.turnDirection = c.integer(1);
            leg.courseDeg = c.integer(2);
            c.tail(3);
            break;
        case LegType::CD:
        case LegType::CF:
            c.fixAndCourse(10);
            leg.distanceNm = c.real(9);
            break;
        case LegType::CI:
            leg.turnDirection = c.integer(1);
            leg.navaidIdent = c.text(2);
            leg.navaidParamB = c.integer(3);
            leg.courseDeg = c.integer(4);
            c.tail(5);
            break;
        case LegType::CR:
            leg.turnDirection = c.integer(1);
            leg.navaidIdent = c.text(2);
            leg.radialDeg = c.realToInt(3);
            leg.courseDeg = c.integer(4);
            c.tail(5);
            break;
        case LegType::DF:
            c.fixTurnNavaid();
            leg.navaidParamA = c.integer(6);
            c.tail(8);
            break;
        case LegType::FA:
        case LegType::FM:
            c.fixAndCourse(9);
            break;
        case LegType::FC:
            c.fixAndCourse(10);
            leg.fcDistanceNm = c.real(9);
            break;
        case LegType::FD:
        case LegType::TF:
            c.fixAndCourse(10);
            break;
        case LegType::IF:
            c.fix();
            leg.navaidIdent = c.text(4);
            leg.navaidParamA = c.integer(5);
            c.tail(7);
            break;
        case LegType::PI:
            c.fixTurnNavaid();
            leg.piParamA = c.real(6);
            leg.piParamB = c.integer(7);
            leg.piParamC = c.integer(8);
            leg.piParamD = c.real(9);
            c.tail(10);
            break;
        case LegType::RF:
            c.fix();
            leg.turnDirection = c.integer(4);
            leg.centerFixIdent = c.text(5);
            leg.arcParam = static_cast<float>(c.integer(6));
            leg.rfParam = c.real(7);
            c.tail(8);
            break;
        case LegType::VA:
            leg.turnDirection = c.integer(1);
            leg.headingDeg = c.realToInt(2);
            c.tail(3);
            break;
        case LegType::VD:
            // Column 8 is both the heading (truncated) and, unchanged, the frequency field.
            leg.headingDeg = c.realToInt(8);
            leg.navaidIdent = c.text(5);
            leg.frequency = c.real(8);
            leg.distanceNm = c.real(9);
            break;
        case LegType::VI:
            leg.turnDirection = c.integer(1);
            leg.headingDeg = c.realToInt(4);
            c.tail(5);
            break;
        case LegType::VM:
            leg.latitude = c.real(1);
            leg.longitude = c.real(2);
            leg.turnDirection = c.integer(3);
            leg.headingDeg = c.realToInt(4);
            c.tail(5);
            break;
        case LegType::VR:
            leg.turnDirection = c.integer(1);
            leg.navaidIdent = c.text(2);
            leg.radialDeg = c.realToInt(3);
            leg.headingDeg = c.realToInt(4);
            c.tail(5);
            break;
        case LegType::HF:
            c.holdColumns();
            break;
        case LegType::HA:
        case LegType::HM:
            // A hold to an altitude or a manual termination is still a hold at its fix: the
            // lines carry the columns of HF. Without its fix the leg would stand in the plan
            // as a blank line cut off from the approach that starts at that fix.
            if (fields.size() >= minimumLegFields(LegType::HF))
                c.holdColumns();
            else if (fields.size() >= kFixFields)
                c.fix();
            break;
        case LegType::None:
            return true;  // only the type
    }
    if (origin == LegOrigin::Departure) {
        leg.departureProcLeg = 1;
    } else {
        leg.arrivalProcLeg = 1;
    }
    return true;
}

bool buildProcedureLeg(const std::vector<std::string>& fields, FplLeg& leg, LegOrigin origin) {
    std::vector<std::string_view> views(fields.begin(), fields.end());
    return buildProcedureLeg(std::span<const std::string_view>(views), leg, origin);
}
