#include <gtest/gtest.h>

#include <string>
#include <vector>

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

double number(const std::string& text) {
    return text.empty() ? 0.0 : std::stod(text);
}

// Every attribute the builder may write, read back as a number, in the order of their names.
const std::vector<std::string> kAttributeNames = {
    "ident", "lat",  "lon",        "turn",     "navaid",  "paramA",    "paramB", "course", "heading",
    "alt",   "dist", "radial",     "arcParam", "rfParam", "arcRadial", "fcDist", "piA",    "piB",
    "piC",   "piD",  "holdCourse", "holdLeg",  "center",  "freq",      "colA",   "colB",   "colC"};
template <typename... T>
std::vector<double> asNumbers(const T&... values) {
    return {static_cast<double>(values)...};
}
std::vector<double> attributes(const FplLeg& l) {
    return asNumbers(number(l.ident), l.latitude, l.longitude, l.turnDirection, number(l.navaidIdent),
                     l.navaidParamA, l.navaidParamB, l.courseDeg, l.headingDeg, l.altitudeFt, l.distanceNm,
                     l.radialDeg, l.arcParam, l.rfParam, l.arcRadialDeg, l.fcDistanceNm, l.piParamA,
                     l.piParamB, l.piParamC, l.piParamD, l.holdCourseDeg, l.holdLegValue,
                     number(l.centerFixIdent), l.frequency, l.procColumnA, l.procColumnB, l.procColumnC);
}
}  // namespace

// The field count and column layout of every path terminator, in the order of their type
// numbers: each listed attribute holds the number of its column, and every attribute a row
// does not list stays at its default. One field fewer is not a usable leg and stores nothing.
TEST(ProcedureLeg, FieldCountAndColumnsOfEveryPathTerminator) {
    using Cols = std::vector<std::pair<std::string, int>>;
    const Cols fix = {{"ident", 1}, {"lat", 2}, {"lon", 3}};
    auto with = [](Cols a, const Cols& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    // The kept column, the altitude and two kept columns: k, k + 1, k + 3, k + 4.
    auto tail = [](int k) { return Cols{{"colA", k}, {"alt", k + 1}, {"colB", k + 3}, {"colC", k + 4}}; };
    const Cols fixCourse = with(fix, {{"turn", 4}, {"navaid", 5}, {"paramA", 6}, {"course", 8}});
    const Cols tf = with(fixCourse, tail(10));
    const Cols cd = with(with(fixCourse, {{"dist", 9}}), tail(10));
    const Cols fa = with(fixCourse, tail(9));
    const std::vector<std::tuple<std::string, size_t, Cols>> rows = {
        {"AF", 14,
         with(with(fix, {{"turn", 4}, {"navaid", 5}, {"arcRadial", 6}, {"dist", 7}, {"arcParam", 8}}),
              tail(9))},
        {"CA", 8, with({{"turn", 1}, {"course", 2}}, tail(3))},
        {"CD", 15, cd},
        {"CI", 10, with({{"turn", 1}, {"navaid", 2}, {"paramB", 3}, {"course", 4}}, tail(5))},
        {"CF", 15, cd},
        {"CR", 10, with({{"turn", 1}, {"navaid", 2}, {"radial", 3}, {"course", 4}}, tail(5))},
        {"DF", 13, with(with(fix, {{"turn", 4}, {"navaid", 5}, {"paramA", 6}}), tail(8))},
        {"FA", 14, fa},
        {"FC", 15, with(tf, {{"fcDist", 9}})},
        {"FD", 15, tf},
        {"FM", 14, fa},
        {"IF", 12, with(with(fix, {{"navaid", 4}, {"paramA", 5}}), tail(7))},
        {"PI", 15,
         with(with(fix, {{"turn", 4}, {"navaid", 5}, {"piA", 6}, {"piB", 7}, {"piC", 8}, {"piD", 9}}),
              tail(10))},
        {"RF", 13, with(with(fix, {{"turn", 4}, {"center", 5}, {"arcParam", 6}, {"rfParam", 7}}), tail(8))},
        {"TF", 15, tf},
        {"VA", 8, with({{"turn", 1}, {"heading", 2}}, tail(3))},
        {"VD", 10, {{"navaid", 5}, {"heading", 8}, {"freq", 8}, {"dist", 9}}},
        {"VI", 10, with({{"turn", 1}, {"heading", 4}}, tail(5))},
        {"VM", 10, with({{"lat", 1}, {"lon", 2}, {"turn", 3}, {"heading", 4}}, tail(5))},
        {"VR", 10, with({{"turn", 1}, {"navaid", 2}, {"radial", 3}, {"heading", 4}}, tail(5))},
        {"HF", 15, with(with(fix, {{"turn", 4}, {"holdCourse", 8}, {"holdLeg", 9}}), tail(10))},
    };
    int expectedType = 1;
    for (const auto& [code, count, cols] : rows) {
        SCOPED_TRACE(code);
        FplLeg shortLeg;
        EXPECT_FALSE(buildProcedureLeg(numberedLine(code, count - 1), shortLeg, LegOrigin::Departure));
        EXPECT_EQ(shortLeg.legType, LegType::None);
        EXPECT_EQ(shortLeg.departureProcLeg, 0);
        FplLeg leg;
        ASSERT_TRUE(buildProcedureLeg(numberedLine(code, count), leg, LegOrigin::Departure));
        EXPECT_EQ(static_cast<int>(leg.legType), expectedType++);
        EXPECT_EQ(leg.departureProcLeg, 1);
        EXPECT_EQ(leg.arrivalProcLeg, 0);
        const std::vector<double> values = attributes(leg);
        ASSERT_EQ(values.size(), kAttributeNames.size());
        for (size_t i = 0; i < values.size(); ++i) {
            double expected = 0.0;
            for (const auto& [attr, column] : cols)
                if (attr == kAttributeNames[i]) expected = 100 + column;
            EXPECT_FLOAT_EQ(values[i], expected) << kAttributeNames[i];
        }
        EXPECT_EQ(leg.waypointKind, WaypointKind::None);  // the readers decide the kind
    }
}

FplLeg built(const std::vector<std::string>& fields) {
    FplLeg leg;
    EXPECT_TRUE(buildProcedureLeg(fields, leg, LegOrigin::Departure)) << (fields.empty() ? "" : fields[0]);
    return leg;
}

TEST(ProcedureLeg, RealColumnsTruncateTowardZero) {
    EXPECT_EQ(built(splitFields("VA,2,270.9,5,3000,x,6,7")).headingDeg, 270);
    EXPECT_EQ(built(splitFields("CR,1,SPY,-45.7,90,0,5000,0,0,0")).radialDeg, -45);
    // VD: field 8 is both the truncated heading and, unchanged, the frequency.
    FplLeg vd = built(splitFields("VD,1,2,3,4,SPY,6,7,123.75,8.5"));
    EXPECT_EQ(vd.headingDeg, 123);
    EXPECT_FLOAT_EQ(vd.frequency, 123.75f);
}

TEST(ProcedureLeg, HeadersAndUnknownCodesStoreNothing) {
    // A header met inside a block, a lower-case code and an empty line store nothing, yet
    // none of them is a short line.
    for (const std::string code : {"SID", "tf", ""}) {
        FplLeg leg = built(code.empty() ? std::vector<std::string>{} : numberedLine(code, 15));
        EXPECT_EQ(leg.legType, LegType::None) << code;
        EXPECT_EQ(leg.departureProcLeg, 0) << code;
        EXPECT_TRUE(leg.ident.empty() && leg.altitudeFt == 0) << code;
    }
}

TEST(ProcedureLeg, HoldsToAnAltitudeOrManualKeepTheirFix) {
    // HM and HA read the columns of HF and go and come with their procedure.
    FplLeg hf;
    ASSERT_TRUE(buildProcedureLeg(numberedLine("HF", 15), hf, LegOrigin::Arrival));
    for (const auto& [code, type] : {std::pair{"HM", LegType::HM}, std::pair{"HA", LegType::HA}}) {
        FplLeg leg;
        ASSERT_TRUE(buildProcedureLeg(numberedLine(code, 15), leg, LegOrigin::Arrival));
        EXPECT_EQ(leg.legType, type);
        EXPECT_EQ(attributes(leg), attributes(hf));
        EXPECT_EQ(leg.arrivalProcLeg, 1);
    }
    // The sample KSEA approach transition that ends in a hold at MILLT.
    FplLeg millt = built(splitFields("HM,MILLT,47.252153,-122.308003,2,SEA,159,11.0,339.0,1.0,1,4000,0,0,0"));
    EXPECT_EQ(millt.ident, "MILLT");
    EXPECT_FLOAT_EQ(millt.latitude, 47.252153f);
    // Shorter lines keep what they have: the fix, or the type alone.
    FplLeg fixOnly = built(splitFields("HM,MILLT,47.25,-122.3"));
    EXPECT_EQ(fixOnly.ident, "MILLT");
    EXPECT_FLOAT_EQ(fixOnly.longitude, -122.3f);
    FplLeg bare = built(splitFields("HA"));
    EXPECT_EQ(bare.legType, LegType::HA);
    EXPECT_TRUE(bare.ident.empty());
}
