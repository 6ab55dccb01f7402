#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "import/AirwayChains.h"
#include "import/SourceText.h"
#include "import/XPlaneReaders.h"

using namespace navimport;

namespace {

std::vector<WorldAirway> chainsOf(const char* rows, FileReport& report) {
    StringLineSource source(std::string(rows) + "99\n");
    std::vector<SourceSegment> segments;
    EXPECT_TRUE(readWorldAirwaySegments(source, segments, report));
    return buildAirwayChains(segments, report);
}

std::vector<std::string> identsOf(const WorldAirway& airway) {
    std::vector<std::string> idents;
    for (const AirwayPoint& point : airway.points) idents.push_back(point.ident);
    return idents;
}

}  // namespace

TEST(AirwayChains, ShuffledSegmentsOfOneAirwayMakeOneOrderedChain) {
    // Five points half a degree apart on one meridian, segments shuffled and partly reversed,
    // one segment listed again the other way round, one shared with V2.
    FileReport report;
    std::vector<WorldAirway> airways = chainsOf(
        "CHRLY  48.000000 -122.000000 DELTA  48.500000 -122.000000 1 040 180 V1\n"
        "BRAVO  47.500000 -122.000000 ALPHA  47.000000 -122.000000 1 040 180 V1\n"
        "DELTA  48.500000 -122.000000 ECHOO  49.000000 -122.000000 1 040 180 V1-V2\n"
        "CHRLY  48.000000 -122.000000 BRAVO  47.500000 -122.000000 1 040 180 V1\n"
        "BRAVO  47.500000 -122.000000 CHRLY  48.000000 -122.000000 1 040 180 V1\n",
        report);
    ASSERT_EQ(airways.size(), 2u);
    EXPECT_EQ(airways[0].name, "V1");
    // The chain starts at the end point listed first (ALPHA, row 2; ECHOO comes in row 3).
    EXPECT_EQ(identsOf(airways[0]), (std::vector<std::string>{"ALPHA", "BRAVO", "CHRLY", "DELTA", "ECHOO"}));
    EXPECT_EQ(airways[1].name, "V2");
    EXPECT_EQ(identsOf(airways[1]), (std::vector<std::string>{"DELTA", "ECHOO"}));
    EXPECT_EQ(report.skipped["segment: listed again (either direction)"], 1);
}

TEST(AirwayChains, BranchesComponentsAndLoops) {
    FileReport report;
    std::vector<WorldAirway> airways = chainsOf(
        // V3: a west-east line with a branch to the north at MIDDL, listed west end first.
        "WESTT  47.000000 -123.000000 MIDDL  47.000000 -122.000000 1 040 180 V3\n"
        "MIDDL  47.000000 -122.000000 NORTH  48.000000 -122.000000 1 040 180 V3\n"
        "EASTT  47.000000 -121.000000 MIDDL  47.000000 -122.000000 1 040 180 V3\n"
        // The same name on another continent: a chain of its own.
        "FARAA  50.000000  010.000000 FARBB  51.000000  010.000000 1 040 180 V3\n"
        // A closed triangle.
        "LOOPA  10.000000  010.000000 LOOPB  10.000000  011.000000 1 040 180 V9\n"
        "LOOPB  10.000000  011.000000 LOOPC  11.000000  010.500000 1 040 180 V9\n"
        "LOOPC  11.000000  010.500000 LOOPA  10.000000  010.000000 1 040 180 V9\n"
        // Same identifier at another place: a different point, so no false joint.
        "NORTH  60.000000 -150.000000 POLAR  61.000000 -150.000000 1 040 180 V9\n",
        report);
    ASSERT_EQ(airways.size(), 5u);
    // Through the branch point the chain goes straight on; the branch is a chain of its own.
    EXPECT_EQ(identsOf(airways[0]), (std::vector<std::string>{"WESTT", "MIDDL", "EASTT"}));
    EXPECT_EQ(identsOf(airways[1]), (std::vector<std::string>{"NORTH", "MIDDL"}));
    EXPECT_EQ(identsOf(airways[2]), (std::vector<std::string>{"FARAA", "FARBB"}));
    EXPECT_EQ(airways[3].name, "V9");
    EXPECT_EQ(identsOf(airways[3]), (std::vector<std::string>{"NORTH", "POLAR"}));
    EXPECT_EQ(identsOf(airways[4]), (std::vector<std::string>{"LOOPA", "LOOPB", "LOOPC", "LOOPA"}));
}

TEST(AirwayChains, EverySegmentIsUsedExactlyOnce) {
    // A star of four arms and a ladder: whatever the cut, each source segment appears in
    // exactly one chain and the chain count is the least the odd points allow.
    FileReport report;
    std::vector<WorldAirway> airways = chainsOf(
        "HUBBB  40.0 -100.0 ARMNN  41.0 -100.0 1 0 0 J1\n"
        "HUBBB  40.0 -100.0 ARMEE  40.0  -99.0 1 0 0 J1\n"
        "ARMSS  39.0 -100.0 HUBBB  40.0 -100.0 1 0 0 J1\n"
        "ARMWW  40.0 -101.0 HUBBB  40.0 -100.0 1 0 0 J1\n"
        "LADA1  30.0 -100.0 LADA2  30.0  -99.0 1 0 0 J2\n"
        "LADB1  31.0 -100.0 LADB2  31.0  -99.0 1 0 0 J2\n"
        "LADA1  30.0 -100.0 LADB1  31.0 -100.0 1 0 0 J2\n"
        "LADA2  30.0  -99.0 LADB2  31.0  -99.0 1 0 0 J2\n"
        "LADA2  30.0  -99.0 LADC2  32.0  -99.0 1 0 0 J2\n",
        report);
    std::multiset<std::string> used;
    int j1 = 0;
    int j2 = 0;
    for (const WorldAirway& airway : airways) {
        (airway.name == "J1" ? j1 : j2)++;
        for (std::size_t i = 0; i + 1 < airway.points.size(); ++i) {
            std::string a = airway.points[i].ident;
            std::string b = airway.points[i + 1].ident;
            used.insert(a < b ? a + "-" + b : b + "-" + a);
        }
    }
    std::multiset<std::string> expected = {"ARMNN-HUBBB", "ARMEE-HUBBB", "ARMSS-HUBBB",
                                           "ARMWW-HUBBB", "LADA1-LADA2", "LADB1-LADB2",
                                           "LADA1-LADB1", "LADA2-LADB2", "LADA2-LADC2"};
    EXPECT_EQ(used, expected);
    // Four end points: two chains. The ladder has two odd points (LADA2 with three segments,
    // LADC2 with one): one chain.
    EXPECT_EQ(j1, 2);
    EXPECT_EQ(j2, 1);
}
