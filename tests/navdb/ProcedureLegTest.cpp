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

// The kept column, the altitude and the two kept columns after it start at `k` in every row.
void expectTail(const FplLeg& leg, int k) {
    EXPECT_EQ(leg.procColumnA, 100 + k);
    EXPECT_EQ(leg.altitudeFt, 101 + k);
    EXPECT_EQ(leg.procColumnB, 103 + k);
    EXPECT_EQ(leg.procColumnC, 104 + k);
}

void expectFix(const FplLeg& leg) {
    EXPECT_EQ(leg.ident, "101");
    EXPECT_FLOAT_EQ(leg.latitude, 102.0f);
    EXPECT_FLOAT_EQ(leg.longitude, 103.0f);
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

TEST(ProcedureLeg, TrackToFixColumns) {
    FplLeg tf = build("TF", 15, LegOrigin::Departure);
    expectFix(tf);
    EXPECT_EQ(tf.turnDirection, 104);
    EXPECT_EQ(tf.navaidIdent, "105");
    EXPECT_EQ(tf.navaidParamA, 106);
    EXPECT_EQ(tf.courseDeg, 108);  // field 8
    expectTail(tf, 10);            // altitude from field 11; fields 7, 9 and 12 unread
    EXPECT_FLOAT_EQ(tf.distanceNm, 0.0f);
    EXPECT_EQ(tf.departureProcLeg, 1);
    EXPECT_EQ(tf.arrivalProcLeg, 0);
    EXPECT_EQ(tf.waypointKind, WaypointKind::None);  // the builder does not decide the kind

    // FD is TF; FC is TF plus its distance in field 9.
    FplLeg fd = build("FD", 15);
    EXPECT_EQ(fd.courseDeg, 108);
    expectTail(fd, 10);
    FplLeg fc = build("FC", 15);
    EXPECT_EQ(fc.courseDeg, 108);
    EXPECT_FLOAT_EQ(fc.fcDistanceNm, 109.0f);
    expectTail(fc, 10);
}

TEST(ProcedureLeg, CourseAndFixColumns) {
    for (const char* code : {"CD", "CF"}) {
        FplLeg leg = build(code, 15);
        expectFix(leg);
        EXPECT_EQ(leg.turnDirection, 104);
        EXPECT_EQ(leg.navaidIdent, "105");
        EXPECT_EQ(leg.navaidParamA, 106);
        EXPECT_EQ(leg.courseDeg, 108);
        EXPECT_FLOAT_EQ(leg.distanceNm, 109.0f);
        expectTail(leg, 10);
    }
    for (const char* code : {"FA", "FM"}) {
        FplLeg leg = build(code, 14);
        expectFix(leg);
        EXPECT_EQ(leg.navaidParamA, 106);
        EXPECT_EQ(leg.courseDeg, 108);
        expectTail(leg, 9);
    }
    FplLeg af = build("AF", 14);
    expectFix(af);
    EXPECT_EQ(af.turnDirection, 104);
    EXPECT_EQ(af.navaidIdent, "105");
    EXPECT_EQ(af.arcRadialDeg, 106);
    EXPECT_FLOAT_EQ(af.distanceNm, 107.0f);
    EXPECT_FLOAT_EQ(af.arcParam, 108.0f);
    expectTail(af, 9);

    FplLeg df = build("DF", 13);
    expectFix(df);
    EXPECT_EQ(df.navaidParamA, 106);
    EXPECT_EQ(df.courseDeg, 0);
    expectTail(df, 8);

    FplLeg iF = build("IF", 12);
    expectFix(iF);
    EXPECT_EQ(iF.turnDirection, 0);
    EXPECT_EQ(iF.navaidIdent, "104");
    EXPECT_EQ(iF.navaidParamA, 105);
    expectTail(iF, 7);

    FplLeg pi = build("PI", 15);
    expectFix(pi);
    EXPECT_EQ(pi.navaidIdent, "105");
    EXPECT_FLOAT_EQ(pi.piParamA, 106.0f);
    EXPECT_EQ(pi.piParamB, 107);
    EXPECT_EQ(pi.piParamC, 108);
    EXPECT_FLOAT_EQ(pi.piParamD, 109.0f);
    expectTail(pi, 10);

    FplLeg rf = build("RF", 13);
    expectFix(rf);
    EXPECT_EQ(rf.turnDirection, 104);
    EXPECT_EQ(rf.centerFixIdent, "105");
    EXPECT_FLOAT_EQ(rf.arcParam, 106.0f);
    EXPECT_FLOAT_EQ(rf.rfParam, 107.0f);
    expectTail(rf, 8);

    FplLeg hf = build("HF", 15);
    expectFix(hf);
    EXPECT_EQ(hf.turnDirection, 104);
    EXPECT_FLOAT_EQ(hf.holdCourseDeg, 108.0f);
    EXPECT_FLOAT_EQ(hf.holdLegValue, 109.0f);
    expectTail(hf, 10);
}

TEST(ProcedureLeg, CourseAndHeadingLegsWithoutAFix) {
    FplLeg ca = build("CA", 8);
    EXPECT_EQ(ca.turnDirection, 101);
    EXPECT_EQ(ca.courseDeg, 102);
    expectTail(ca, 3);
    EXPECT_TRUE(ca.ident.empty());

    FplLeg ci = build("CI", 10);
    EXPECT_EQ(ci.navaidIdent, "102");
    EXPECT_EQ(ci.navaidParamB, 103);
    EXPECT_EQ(ci.courseDeg, 104);
    expectTail(ci, 5);

    FplLeg cr = build("CR", 10);
    EXPECT_EQ(cr.navaidIdent, "102");
    EXPECT_EQ(cr.radialDeg, 103);
    EXPECT_EQ(cr.courseDeg, 104);
    expectTail(cr, 5);

    FplLeg vi = build("VI", 10);
    EXPECT_EQ(vi.turnDirection, 101);
    EXPECT_EQ(vi.headingDeg, 104);
    expectTail(vi, 5);

    FplLeg vm = build("VM", 10);
    EXPECT_FLOAT_EQ(vm.latitude, 101.0f);
    EXPECT_FLOAT_EQ(vm.longitude, 102.0f);
    EXPECT_EQ(vm.turnDirection, 103);
    EXPECT_EQ(vm.headingDeg, 104);
    expectTail(vm, 5);

    FplLeg vr = build("VR", 10);
    EXPECT_EQ(vr.navaidIdent, "102");
    EXPECT_EQ(vr.radialDeg, 103);
    EXPECT_EQ(vr.headingDeg, 104);
    expectTail(vr, 5);
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
