#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/Fms.h"
#include "geo/Geodesy.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDatabase.h"
#include "navdb/ProcedureLeg.h"
#include "navdb/Procedures.h"
#include "navdb/SplitFields.h"

// The sample database shipped in data/, loaded with the program's own readers.

namespace {

struct SampleDatabase : ::testing::Test {
    static NavDatabase& db() {
        static NavDatabase* database = [] {
            auto* loaded = new NavDatabase;
            loadDatabaseNow(*loaded, FMS_SOURCE_DIR);
            return loaded;
        }();
        return *database;
    }
    static Airport& airport(const std::string& ident) {
        for (Airport& a : db().airports) {
            if (a.ident == ident) return a;
        }
        ADD_FAILURE() << "no airport " << ident;
        static Airport none;
        return none;
    }
    static std::string procedureText(const std::string& ident) {
        std::string text;
        EXPECT_TRUE(readFileCapped(procedureFilePath(FMS_SOURCE_DIR, ident), text)) << ident;
        return text;
    }
};

// A fix or navaid of that identifier, within 0.01 NM of `at` when a position is given.
bool known(const NavDatabase& db, const std::string& ident, const GeoPoint* at = nullptr) {
    auto near = [at](float lat, float lon) {
        return at == nullptr || distanceNm(*at, GeoPoint{lat, lon}) < 0.01f;
    };
    for (const Fix& f : db.fixes)
        if (f.ident == ident && near(f.latitude, f.longitude)) return true;
    for (const Navaid& n : db.navaids)
        if (n.ident == ident && near(n.latitude, n.longitude)) return true;
    return false;
}

}  // namespace

// The committed sample as the program reads it (its load on the loader threads is tested
// with the database).
TEST_F(SampleDatabase, RunwaysAndAirwaysAsTheProgramReadsThem) {
    NavDatabase& d = db();
    ASSERT_TRUE(databaseFullyLoaded(d));
    EXPECT_GT(d.airways.size(), 20u);
    // Seattle-Tacoma 16L: a runway lying 180.3 degrees true, 19 E variation at SEA: 161
    // magnetic, and so is its localizer.
    const Runway* r16l = nullptr;
    for (const Runway& r : airport("KSEA").runways)
        if (r.ident == "16L") r16l = &r;
    ASSERT_NE(r16l, nullptr);
    EXPECT_EQ(r16l->headingMag, 161u);
    EXPECT_EQ(r16l->inboundCourseMag, 161u);

    // Every airway is an unbroken chain: each segment starts where the one before ended.
    for (const Airway& airway : d.airways) {
        ASSERT_EQ(static_cast<size_t>(airway.segmentCount), airway.segments.size()) << airway.name;
        for (size_t i = 1; i < airway.segments.size(); ++i) {
            EXPECT_EQ(airway.segments[i].fromIdent, airway.segments[i - 1].toIdent) << airway.name;
        }
    }
}

// Every leg line builds; every path terminator and approach kind is there; every record a leg
// names is in the sample. A CF leg is drawn back from its fix on its course (plus the
// variation the program finds there) for its distance: that start must be where the leg
// before it ends, or the aircraft would be steered along a line that does not join the
// procedure.
TEST_F(SampleDatabase, ProceduresUseEveryPathTerminatorOnKnownPointsAndJoinUp) {
    NavDatabase& d = db();
    std::set<LegType> seen;
    std::map<std::string, int> approachKinds;
    int joints = 0;
    auto check = [&](const std::vector<FplLeg>& legs, const std::string& what, bool joinUp) {
        for (size_t i = 0; i < legs.size(); ++i) {
            const FplLeg& leg = legs[i];
            seen.insert(leg.legType);
            GeoPoint at{leg.latitude, leg.longitude};
            EXPECT_TRUE(leg.ident.empty() || known(d, leg.ident, &at)) << what << " " << leg.ident;
            EXPECT_TRUE(leg.navaidIdent.empty() || known(d, leg.navaidIdent)) << what;
            EXPECT_TRUE(leg.centerFixIdent.empty() || known(d, leg.centerFixIdent)) << what;
            EXPECT_LT(leg.altitudeFt, 18000) << what;
            const FplLeg* before = i > 0 ? &legs[i - 1] : nullptr;
            if (!joinUp || before == nullptr || leg.legType != LegType::CF || leg.ident == leg.navaidIdent ||
                before->latitude == 0.0f)
                continue;
            GeoPoint start;
            destinationPoint(
                at, start,
                static_cast<float>(leg.courseDeg) + magneticVariationAt(d, at.lat, at.lon) + 180.0f,
                leg.distanceNm);
            EXPECT_LT(distanceNm(start, GeoPoint{before->latitude, before->longitude}), 1.0f)
                << what << " " << leg.ident;
            ++joints;
        }
    };
    for (const char* ident : {"KSEA", "KBFI", "KPAE"}) {
        Airport& apt = airport(ident);
        ASSERT_FALSE(apt.runways.empty()) << ident;
        std::string text = procedureText(ident);

        // Every line of every block builds with the leg builder: no line is short of fields.
        bool inBlock = false;
        forEachLine(text, [&](size_t number, std::string_view line) {
            std::vector<std::string> fields = splitFields(line);
            if (fields.empty() || !inBlock) {
                inBlock = !fields.empty();
                EXPECT_TRUE(!inBlock || fields[0] == "SID" || fields[0] == "STAR" || fields[0] == "APPTR" ||
                            fields[0] == "FINAL")
                    << ident << " line " << number;
                return;
            }
            FplLeg leg;
            EXPECT_TRUE(buildProcedureLeg(fields, leg, LegOrigin::Arrival)) << ident << " line " << number;
            EXPECT_NE(leg.legType, LegType::None) << ident << " line " << number;
        });
        EXPECT_FALSE(inBlock) << ident << ": the last block needs an empty line after it";

        // Read with the procedure readers, runway by runway.
        ProcedureLists lists;
        for (size_t r = 0; r < apt.runways.size(); ++r) {
            apt.selectedRunwayIndex = static_cast<int32_t>(r);
            Runway& runway = apt.runways[r];
            readSids(apt, lists, text);
            readStars(apt, lists, text);
            readFinalApproaches(runway, apt, text);
            readApproachTransitions(runway, apt, text);
            for (const Procedure& p : runway.sids) check(p.legs, std::string(ident) + " SID " + p.name, true);
            for (const Procedure& p : runway.stars)
                check(p.legs, std::string(ident) + " STAR " + p.name, false);
            for (const ApproachTransition& t : runway.approaches.transitions)
                check(t.legs, std::string(ident) + " APPTR " + t.approachName, false);
            for (const FinalApproach& f : runway.approaches.finals) {
                check(f.legs, std::string(ident) + " FINAL " + f.typeText, true);
                ++approachKinds[f.typeText];
                // The leg count of the header keeps every leg of the block.
                EXPECT_EQ(static_cast<int32_t>(f.legs.size()), f.legLimit - 2) << ident << " " << f.typeText;
            }
        }
    }
    for (int code = static_cast<int>(LegType::AF); code <= static_cast<int>(LegType::HM); ++code)
        EXPECT_TRUE(seen.count(static_cast<LegType>(code))) << "path terminator " << code << " not used";
    for (const char* kind : {"ILS", "LOC", "GPS", "VOR", "NDB"}) EXPECT_GT(approachKinds[kind], 0) << kind;
    EXPECT_GT(approachKinds["RNPY"] + approachKinds["RNPZ"] + approachKinds["RNP"], 0);
    EXPECT_GT(joints, 5);
}
