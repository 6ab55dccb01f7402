#include <gtest/gtest.h>

#include "navdb/ProcedureLeg.h"
#include "navdb/SplitFields.h"

namespace {
// A leg line of `count` fields: the code, then field i holds the number 100 + i, so every
// attribute tells which column it came from.
std::vector<std::string> numberedLine(const std::string& code, size_t count) {
    std::vector<std::string> f = {code};
    for (size_t i = 1; i < count; ++i) f.push_back(std::to_string(100 + i));
    return f;
}

FplLeg build(const std::string& code, size_t count, LegOrigin origin = LegOrigin::Arrival) {
    FplLeg leg;
    EXPECT_TRUE(buildProcedureLeg(numberedLine(code, count), leg, origin)) << code;
    return leg;
}

enum Attr {
    Ident,
    Lat,
    Lon,
    Turn,
    Navaid,
    ParamA,
    ParamB,
    Course,
    Heading,
    Alt,
    Dist,
    Radial,
    ArcParam,
    RfParam,
    ArcRadial,
    FcDist,
    PiA,
    PiB,
    PiC,
    PiD,
    HoldCourse,
    HoldLeg,
    Center,
    Freq,
    ColA,
    ColB,
    ColC,
    AttrCount
};

double number(const std::string& text) {
    return text.empty() ? 0.0 : std::stod(text);
}

double value(const FplLeg& l, Attr a) {
    switch (a) {
        case Ident:
            return number(l.ident);
        case Lat:
            return l.latitude;
        case Lon:
            return l.longitude;
        case Turn:
            return l.turnDirection;
        case Navaid:
            return number(l.navaidIdent);
        case ParamA:
            return l.navaidParamA;
        case ParamB:
            return l.navaidParamB;
        case Course:
            return l.courseDeg;
        case Heading:
            return l.headingDeg;
        case Alt:
            return l.altitudeFt;
        case Dist:
            return l.distanceNm;
        case Radial:
            return l.radialDeg;
        case ArcParam:
            return l.arcParam;
        case RfParam:
            return l.rfParam;
        case ArcRadial:
            return l.arcRadialDeg;
        case FcDist:
            return l.fcDistanceNm;
        case PiA:
            return l.piParamA;
        case PiB:
            return l.piParamB;
        case PiC:
            return l.piParamC;
        case PiD:
            return l.piParamD;
        case HoldCourse:
            return l.holdCourseDeg;
        case HoldLeg:
            return l.holdLegValue;
        case Center:
            return number(l.centerFixIdent);
        case Freq:
            return l.frequency;
        case ColA:
            return l.procColumnA;
        case ColB:
            return l.procColumnB;
        case ColC:
            return l.procColumnC;
        case AttrCount:
            break;
    }
    return 0.0;
}
}  // namespace

TEST(ProcedureLeg, EveryPathTerminatorNeedsItsFieldCount) {
    const std::vector<std::pair<std::string, size_t>> rows = {
        {"AF", 14}, {"CA", 8},  {"CD", 15}, {"CI", 10}, {"CF", 15}, {"CR", 10}, {"DF", 13},
        {"FA", 14}, {"FC", 15}, {"FD", 15}, {"FM", 14}, {"IF", 12}, {"PI", 15}, {"RF", 13},
        {"TF", 15}, {"VA", 8},  {"VD", 10}, {"VI", 10}, {"VM", 10}, {"VR", 10}, {"HF", 15}};
    int expectedType = 1;
    for (const auto& [code, count] : rows) {
        FplLeg leg;
        EXPECT_TRUE(buildProcedureLeg(numberedLine(code, count), leg, LegOrigin::Departure)) << code;
        EXPECT_EQ(static_cast<int>(leg.legType), expectedType) << code;
        EXPECT_EQ(leg.departureProcLeg, 1) << code;
        EXPECT_EQ(leg.arrivalProcLeg, 0) << code;
        // One field fewer: not a usable leg, and nothing is stored.
        FplLeg shortLeg;
        EXPECT_FALSE(buildProcedureLeg(numberedLine(code, count - 1), shortLeg, LegOrigin::Departure))
            << code;
        EXPECT_EQ(shortLeg.legType, LegType::None) << code;
        EXPECT_EQ(shortLeg.departureProcLeg, 0) << code;
        ++expectedType;
    }
}

// The column layout of every path terminator: each listed attribute holds the number of its
// column, and every attribute a row does not list stays at its default.
TEST(ProcedureLeg, ColumnsOfEveryPathTerminator) {
    using Cols = std::vector<std::pair<Attr, int>>;
    const Cols fix = {{Ident, 1}, {Lat, 2}, {Lon, 3}};
    auto with = [](Cols a, const Cols& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    // The kept column, the altitude and two kept columns: k, k + 1, k + 3, k + 4.
    auto tail = [](int k) { return Cols{{ColA, k}, {Alt, k + 1}, {ColB, k + 3}, {ColC, k + 4}}; };
    const Cols tf = with(with(fix, {{Turn, 4}, {Navaid, 5}, {ParamA, 6}, {Course, 8}}), tail(10));
    const Cols cd = with(with(fix, {{Turn, 4}, {Navaid, 5}, {ParamA, 6}, {Course, 8}, {Dist, 9}}), tail(10));
    const Cols fa = with(with(fix, {{Turn, 4}, {Navaid, 5}, {ParamA, 6}, {Course, 8}}), tail(9));
    const std::vector<std::tuple<std::string, size_t, Cols>> rows = {
        {"AF", 14,
         with(with(fix, {{Turn, 4}, {Navaid, 5}, {ArcRadial, 6}, {Dist, 7}, {ArcParam, 8}}), tail(9))},
        {"CA", 8, with({{Turn, 1}, {Course, 2}}, tail(3))},
        {"CD", 15, cd},
        {"CF", 15, cd},
        {"CI", 10, with({{Turn, 1}, {Navaid, 2}, {ParamB, 3}, {Course, 4}}, tail(5))},
        {"CR", 10, with({{Turn, 1}, {Navaid, 2}, {Radial, 3}, {Course, 4}}, tail(5))},
        {"DF", 13, with(with(fix, {{Turn, 4}, {Navaid, 5}, {ParamA, 6}}), tail(8))},
        {"FA", 14, fa},
        {"FM", 14, fa},
        {"FC", 15, with(tf, {{FcDist, 9}})},
        {"FD", 15, tf},
        {"TF", 15, tf},
        {"IF", 12, with(with(fix, {{Navaid, 4}, {ParamA, 5}}), tail(7))},
        {"PI", 15,
         with(with(fix, {{Turn, 4}, {Navaid, 5}, {PiA, 6}, {PiB, 7}, {PiC, 8}, {PiD, 9}}), tail(10))},
        {"RF", 13, with(with(fix, {{Turn, 4}, {Center, 5}, {ArcParam, 6}, {RfParam, 7}}), tail(8))},
        {"VA", 8, with({{Turn, 1}, {Heading, 2}}, tail(3))},
        {"VD", 10, {{Navaid, 5}, {Heading, 8}, {Freq, 8}, {Dist, 9}}},
        {"VI", 10, with({{Turn, 1}, {Heading, 4}}, tail(5))},
        {"VM", 10, with({{Lat, 1}, {Lon, 2}, {Turn, 3}, {Heading, 4}}, tail(5))},
        {"VR", 10, with({{Turn, 1}, {Navaid, 2}, {Radial, 3}, {Heading, 4}}, tail(5))},
        {"HF", 15, with(with(fix, {{Turn, 4}, {HoldCourse, 8}, {HoldLeg, 9}}), tail(10))},
    };
    for (const auto& [code, count, cols] : rows) {
        FplLeg leg = build(code, count);
        for (int a = 0; a < AttrCount; ++a) {
            double expected = 0.0;
            for (const auto& [attr, column] : cols)
                if (attr == a) expected = 100 + column;
            EXPECT_FLOAT_EQ(value(leg, static_cast<Attr>(a)), expected) << code << " attribute " << a;
        }
        EXPECT_EQ(leg.waypointKind, WaypointKind::None) << code;  // the readers decide the kind
    }
}

TEST(ProcedureLeg, RealColumnsTruncateTowardZero) {
    FplLeg va;
    ASSERT_TRUE(buildProcedureLeg(splitFields("VA,2,270.9,5,3000,x,6,7"), va, LegOrigin::Departure));
    EXPECT_EQ(va.legType, LegType::VA);
    EXPECT_EQ(va.turnDirection, 2);
    EXPECT_EQ(va.headingDeg, 270);
    EXPECT_EQ(va.altitudeFt, 3000);
    EXPECT_EQ(va.procColumnA, 5);
    EXPECT_EQ(va.procColumnB, 6);
    EXPECT_EQ(va.procColumnC, 7);

    // VD: field 8 is both the truncated heading and, unchanged, the frequency.
    FplLeg vd;
    ASSERT_TRUE(buildProcedureLeg(splitFields("VD,1,2,3,4,SPY,6,7,123.75,8.5"), vd, LegOrigin::Arrival));
    EXPECT_EQ(vd.legType, LegType::VD);
    EXPECT_EQ(vd.headingDeg, 123);
    EXPECT_FLOAT_EQ(vd.frequency, 123.75f);
    EXPECT_EQ(vd.navaidIdent, "SPY");
    EXPECT_FLOAT_EQ(vd.distanceNm, 8.5f);
    EXPECT_EQ(vd.turnDirection, 0);
    EXPECT_EQ(vd.arrivalProcLeg, 1);

    FplLeg cr;
    ASSERT_TRUE(buildProcedureLeg(splitFields("CR,1,SPY,-45.7,90,0,5000,0,0,0"), cr, LegOrigin::Arrival));
    EXPECT_EQ(cr.radialDeg, -45);
}

TEST(ProcedureLeg, HoldsHeadersAndUnknownCodesSetNoOriginFlag) {
    for (const char* code : {"HA", "HM"}) {
        FplLeg leg;
        ASSERT_TRUE(buildProcedureLeg(numberedLine(code, 15), leg, LegOrigin::Departure));
        EXPECT_EQ(leg.legType, std::string(code) == "HA" ? LegType::HA : LegType::HM);
        EXPECT_EQ(leg.departureProcLeg, 0);
        EXPECT_EQ(leg.arrivalProcLeg, 0);
        EXPECT_TRUE(leg.ident.empty());
        EXPECT_EQ(leg.altitudeFt, 0);
    }
    FplLeg header;
    ASSERT_TRUE(buildProcedureLeg(numberedLine("SID", 15), header, LegOrigin::Departure));
    EXPECT_EQ(header.legType, LegType::None);
    EXPECT_EQ(header.departureProcLeg, 0);
    EXPECT_TRUE(header.ident.empty());
    FplLeg lower;  // codes are case-sensitive
    ASSERT_TRUE(buildProcedureLeg(numberedLine("tf", 15), lower, LegOrigin::Arrival));
    EXPECT_EQ(lower.legType, LegType::None);
    EXPECT_EQ(lower.arrivalProcLeg, 0);
    FplLeg empty;
    EXPECT_TRUE(buildProcedureLeg(std::vector<std::string>{}, empty, LegOrigin::Arrival));
    EXPECT_EQ(empty.legType, LegType::None);
}
