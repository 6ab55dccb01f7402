#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Fms.h"
#include "guidance/Geodesy.h"
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
        EXPECT_TRUE(readTextFile(procedureFilePath(FMS_SOURCE_DIR, ident), text)) << ident;
        return text;
    }
};

const Navaid* navaid(const NavDatabase& db, const std::string& ident, NavaidType type) {
    for (const Navaid& n : db.navaids) {
        if (n.ident == ident && n.type == type) return &n;
    }
    return nullptr;
}

// Every record the leg names must be in the sample: its fix (identifier and position), its
// recommended navaid and an arc centre.
bool knownPoint(const NavDatabase& db, const std::string& ident, float lat, float lon) {
    GeoPoint here{lat, lon};
    for (const Fix& f : db.fixes) {
        if (f.ident == ident && distanceNm(here, GeoPoint{f.latitude, f.longitude}) < 0.01f) return true;
    }
    for (const Navaid& n : db.navaids) {
        if (n.ident == ident && distanceNm(here, GeoPoint{n.latitude, n.longitude}) < 0.01f) return true;
    }
    return false;
}

bool knownIdent(const NavDatabase& db, const std::string& ident) {
    for (const Fix& f : db.fixes) {
        if (f.ident == ident) return true;
    }
    for (const Navaid& n : db.navaids) {
        if (n.ident == ident) return true;
    }
    return false;
}

}  // namespace

TEST_F(SampleDatabase, LoadsWithTheProgramsReaders) {
    NavDatabase& d = db();
    ASSERT_TRUE(databaseFullyLoaded(d));
    EXPECT_GT(d.airports.size(), 100u);
    EXPECT_GT(d.navaids.size(), 200u);
    EXPECT_GT(d.fixes.size(), 1000u);
    EXPECT_GT(d.airways.size(), 20u);
    // Cycle 2013.10 ended on 17 October 2013.
    EXPECT_EQ(d.cycleText, "17-OCT-2013");

    // The type decisions as the database makes them from the flags and names written.
    EXPECT_NE(navaid(d, "SEA", NavaidType::VorDme), nullptr);
    EXPECT_NE(navaid(d, "ISNQ", NavaidType::Localizer), nullptr);
    EXPECT_NE(navaid(d, "ISNQ", NavaidType::Dme), nullptr);
    EXPECT_NE(navaid(d, "BF", NavaidType::Ndb), nullptr);
    const Navaid* sea = navaid(d, "SEA", NavaidType::VorDme);
    ASSERT_NE(sea, nullptr);
    EXPECT_FLOAT_EQ(sea->declination, 19.0f);
    EXPECT_NEAR(sea->frequency, 116.80f, 1e-4);

    // Seattle-Tacoma 16L: the north end of a runway lying 180.3 degrees true, 19 E variation
    // at SEA: 161 magnetic; 11,900 ft long.
    Airport& ksea = airport("KSEA");
    EXPECT_NEAR(ksea.latitude, 47.45f, 0.01f);
    EXPECT_EQ(ksea.elevation, 433);
    const Runway* r16l = nullptr;
    for (const Runway& r : ksea.runways) {
        if (r.ident == "16L") r16l = &r;
    }
    ASSERT_NE(r16l, nullptr);
    EXPECT_EQ(r16l->heading, 161u);
    EXPECT_EQ(r16l->inboundCourse, 161u);
    EXPECT_NEAR(r16l->length, 11900, 30);
    EXPECT_NEAR(r16l->thresholdLatitude, 47.4638f, 1e-3f);

    // Every airway is an unbroken chain: each segment starts where the one before ended.
    for (const Airway& airway : d.airways) {
        ASSERT_EQ(static_cast<size_t>(airway.segmentCount), airway.segments.size()) << airway.name;
        for (size_t i = 1; i < airway.segments.size(); ++i) {
            EXPECT_EQ(airway.segments[i].fromIdent, airway.segments[i - 1].toIdent) << airway.name;
        }
    }
}

TEST_F(SampleDatabase, ProcedureFilesUseEveryPathTerminatorAndEveryLegBuilds) {
    NavDatabase& d = db();
    std::set<LegType> seen;
    std::map<std::string, int> approachKinds;
    for (const char* ident : {"KSEA", "KBFI", "KPAE"}) {
        Airport& apt = airport(ident);
        ASSERT_FALSE(apt.runways.empty()) << ident;
        std::string text = procedureText(ident);

        // Every line of every block builds with the leg builder: no line is short of fields.
        int blockLines = 0;
        bool inBlock = false;
        forEachLine(text, [&](size_t number, std::string_view line) {
            std::vector<std::string> fields = splitFields(line);
            if (fields.empty()) {
                inBlock = false;
                return;
            }
            if (!inBlock) {
                inBlock = true;
                EXPECT_TRUE(fields[0] == "SID" || fields[0] == "STAR" || fields[0] == "APPTR" || fields[0] == "FINAL")
                    << ident << " line " << number;
                return;
            }
            FplLeg leg;
            EXPECT_TRUE(buildProcedureLeg(fields, leg, LegOrigin::Arrival)) << ident << " line " << number;
            EXPECT_NE(leg.legType, LegType::None) << ident << " line " << number;
            ++blockLines;
        });
        EXPECT_FALSE(inBlock) << ident << ": the last block needs an empty line after it";

        // Read with the procedure readers, runway by runway, and check what the legs name.
        int legsRead = 0;
        ProcedureLists lists;
        auto check = [&](const std::vector<FplLeg>& legs, const std::string& what) {
            for (const FplLeg& leg : legs) {
                seen.insert(leg.legType);
                ++legsRead;
                if (!leg.ident.empty()) {
                    EXPECT_TRUE(knownPoint(d, leg.ident, leg.latitude, leg.longitude)) << what << " " << leg.ident;
                }
                if (!leg.navaidIdent.empty()) {
                    EXPECT_TRUE(knownIdent(d, leg.navaidIdent)) << what;
                }
                if (!leg.centerFixIdent.empty()) {
                    EXPECT_TRUE(knownIdent(d, leg.centerFixIdent)) << what;
                }
                EXPECT_LT(leg.altitudeFt, 18000) << what;
            }
        };
        for (size_t r = 0; r < apt.runways.size(); ++r) {
            apt.selectedRunwayIndex = static_cast<int32_t>(r);
            Runway& runway = apt.runways[r];
            readSids(apt, lists, text);
            readStars(apt, lists, text);
            readFinalApproaches(runway, apt, text);
            readApproachTransitions(runway, apt, text);
            for (const Procedure& p : runway.sids) check(p.legs, std::string(ident) + " SID " + p.name);
            for (const Procedure& p : runway.stars) check(p.legs, std::string(ident) + " STAR " + p.name);
            for (const ApproachTransition& t : runway.approaches.transitions) {
                check(t.legs, std::string(ident) + " APPTR " + t.approachName);
            }
            for (const FinalApproach& f : runway.approaches.finals) {
                check(f.legs, std::string(ident) + " FINAL " + f.typeText);
                ++approachKinds[f.typeText];
                // The leg count of the header keeps every leg of the block.
                EXPECT_EQ(static_cast<int32_t>(f.legs.size()), f.legLimit - 2) << ident << " " << f.typeText;
            }
        }
        EXPECT_GT(legsRead, 0) << ident;
        EXPECT_GT(blockLines, 0) << ident;
    }
    for (int code = static_cast<int>(LegType::AF); code <= static_cast<int>(LegType::HM); ++code) {
        EXPECT_TRUE(seen.count(static_cast<LegType>(code))) << "path terminator " << code << " not used";
    }
    for (const char* kind : {"ILS", "LOC", "GPS", "VOR", "NDB"}) EXPECT_GT(approachKinds[kind], 0) << kind;
    EXPECT_GT(approachKinds["RNPY"] + approachKinds["RNPZ"] + approachKinds["RNP"], 0);
}

TEST_F(SampleDatabase, CourseLegsLineUpWithTheLegBeforeThem) {
    // A CF leg is drawn back from its fix on its course (plus the variation the program finds
    // there) for its distance; that start must be where the leg before it ends, or the
    // aircraft would be steered along a line that does not join the procedure.
    NavDatabase& d = db();
    int checked = 0;
    for (const char* ident : {"KSEA", "KBFI", "KPAE"}) {
        Airport& apt = airport(ident);
        std::string text = procedureText(ident);
        ProcedureLists lists;
        auto follow = [&](const std::vector<FplLeg>& legs, const std::string& what) {
            for (size_t i = 1; i < legs.size(); ++i) {
                const FplLeg& leg = legs[i];
                const FplLeg& before = legs[i - 1];
                if (leg.legType != LegType::CF || leg.ident == leg.navaidIdent || before.latitude == 0.0f) continue;
                GeoPoint end{leg.latitude, leg.longitude};
                float variation = magneticVariationAt(d, end.lat, end.lon);
                GeoPoint start;
                destinationPoint(end, start, static_cast<float>(leg.courseDeg) + variation + 180.0f, leg.distanceNm);
                EXPECT_LT(distanceNm(start, GeoPoint{before.latitude, before.longitude}), 1.0f) << what << " " << leg.ident;
                ++checked;
            }
        };
        for (size_t r = 0; r < apt.runways.size(); ++r) {
            apt.selectedRunwayIndex = static_cast<int32_t>(r);
            Runway& runway = apt.runways[r];
            readSids(apt, lists, text);
            readFinalApproaches(runway, apt, text);
            for (const Procedure& p : runway.sids) follow(p.legs, std::string(ident) + " " + p.name);
            for (const FinalApproach& f : runway.approaches.finals) follow(f.legs, std::string(ident) + " " + f.typeText);
        }
    }
    EXPECT_GT(checked, 5);
}
