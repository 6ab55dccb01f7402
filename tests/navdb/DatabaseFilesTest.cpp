#include <gtest/gtest.h>

#include "RecordText.h"
#include "navdb/DatabaseFiles.h"

TEST(AirportsFile, AirportsRunwaysAndTheLinesOutsideTheFormat) {
    std::vector<Airport> airports;
    ReadReport r = readAirports(
        "R,09,90,1000,0,0,0,90,1,2,3,4\n"  // before any airport: skipped
        "A,EHAM,SCHIPHOL,52.3086,4.7639,-11.8\n"
        "R,18R,183,12467,150,1,3.5,183,52.3630,4.7119,-12,0.5\r\n"
        "X,IGNORED,LINE\n"
        "\n"
        "R,36L,3,11000,,1,3.5,3,52.3,4.7,-11,0.5\n"  // an empty field leaves 11 fields: skipped
        "A,SHORT,LINE,1,2\n"                         // too few fields: skipped
        "R,27,270,5000,0,0,0,270,1,2,3,4\n"          // belongs to the skipped airport: skipped
        "A,LOWI,INNSBRUCK,47.26,11.34,1906.9\n"
        "R,04,40,5000,,1,2.5,40,10.1,20.1,31,0.5,99\n",  // 12 fields left, every one shifted
        airports);
    ASSERT_EQ(airports.size(), 2u);
    ASSERT_EQ(airports[0].runways.size(), 1u);
    ASSERT_EQ(airports[1].runways.size(), 1u);
    // Elevation truncated toward zero, negative below sea level; the loader leaves dbIndex.
    EXPECT_EQ(recordText(airports[0]), "EHAM,SCHIPHOL,52.3086,4.7639,-11,-1");
    // The carriage return never reaches the last field.
    EXPECT_EQ(recordText(airports[0].runways[0]), "18R,183,12467,150,1,3.5,183,52.363,4.7119,-12,0.5");
    EXPECT_EQ(recordText(airports[1]), "LOWI,INNSBRUCK,47.26,11.34,1906,-1");
    // Field 5's value in field 4, "2.5" a set flag, "10.1" an integer course, "0.5" elevation 0.
    EXPECT_EQ(recordText(airports[1].runways[0]), "04,40,5000,1,1,40,10,20.1,31,0,99");
    EXPECT_EQ(r.records, 2u);
    EXPECT_EQ(r.children, 2u);
    EXPECT_EQ(r.skipped, 4u);
    EXPECT_EQ(r.firstSkippedLine, 1u);
}

TEST(NavaidsFile, TypesIndicesAndSkippedLines) {
    std::vector<Navaid> navaids;
    ReadReport r = readNavaids(
        "SPY,SPIJKERBOOR,113.30,1,1,7,52.54,4.85,0,x,x,x,1.5\n"
        "\n"
        "IAM,ILS/CAT,110.55,0,0,0,52.3,4.7,-10,x,x,x,0\n"  // both flags clear, named ILS/CAT
        "IAX,ILS/CATII,110.55,0,0,0,52.3,4.7,0,x,x,x,0\n"  // only begins with ILS/CAT
        "DME,SOME DME,110.55,0,1,0,52.3,4.7,0,x,x,x,0\n"
        "SHORT,LINE,1,1\n"
        "VOR,PLAIN VOR,117.0,1,0,0,10,20,500,x,x,x,-2.25\n",
        navaids);
    // Blank and skipped lines do not advance the index: it is the position in the list.
    std::vector<std::string> expected = {
        "SPY,SPIJKERBOOR,113.3,3,7,52.54,4.85,0,1.5,0", "IAM,ILS/CAT,110.55,0,0,52.3,4.7,-10,0,1",
        "IAX,ILS/CATII,110.55,1,0,52.3,4.7,0,0,2", "DME,SOME DME,110.55,4,0,52.3,4.7,0,0,3",
        "VOR,PLAIN VOR,117,2,0,10,20,500,-2.25,4"};
    ASSERT_EQ(navaids.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(recordText(navaids[i]), expected[i]);
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_EQ(r.firstSkippedLine, 6u);
}

TEST(WaypointsAndAirwaysFiles, RecordsIndicesAndOrphans) {
    std::vector<Fix> fixes;
    ReadReport r = readWaypoints("ARTIP,52.5,5.5,EH\n\n,,\nBAD,1\nSUGOL,52.52,3.96,EH\n", fixes);
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_EQ(recordText(fixes[0]), "ARTIP,52.5,5.5,EH,0");
    EXPECT_EQ(recordText(fixes[1]), "SUGOL,52.52,3.96,EH,1");
    EXPECT_EQ(r.skipped, 1u);  // ",," is an empty line, "BAD,1" is short
    EXPECT_EQ(r.firstSkippedLine, 4u);

    std::vector<Airway> airways;
    r = readAirways(
        "S,ORPHAN,1,2,TO,3,4,5,6,7.5\n"
        "A,UL620,3\n"
        "S,SPY,52.5,4.8,ARTIP,52.5,5.5,90,270,25.5\n"
        "Q,IGNORED\n"
        "A,BROKEN\n"
        "S,LOST,1,2,TO,3,4,5,6,7.5\n"
        "A,UN872,0\n"
        "S,A,1,2,B,3,4,5,6\n"  // short
        "S,A,1,2,B,3,4,5,6,7\n",
        airways);
    ASSERT_EQ(airways.size(), 2u);
    EXPECT_EQ(airways[0].name, "UL620");
    EXPECT_EQ(airways[0].segmentCount, 3);  // as given, not as counted
    ASSERT_EQ(airways[0].segments.size(), 1u);
    EXPECT_EQ(recordText(airways[0].segments[0]), "SPY,52.5,4.8,ARTIP,52.5,5.5,90,270,25.5");
    EXPECT_EQ(airways[1].name, "UN872");
    EXPECT_EQ(airways[1].segments.size(), 1u);
    EXPECT_EQ(r.skipped, 4u);  // orphan, broken header, its segment, short segment
    EXPECT_EQ(r.firstSkippedLine, 1u);
}

TEST(CycleFile, LastGoodLineWinsAndShortFieldsAreSkipped) {
    std::string cycle = "old";
    ReadReport r = readCycle("X,AIRAC0123456789\nX,ABCDE2401250222\nX,ABCDE12345\nX\n", cycle);
    EXPECT_EQ(cycle, "24-012-0222");
    EXPECT_EQ(r.records, 2u);
    EXPECT_EQ(r.skipped, 2u);  // a 10-character field cannot take the two dashes; a line without field 1
    std::string shortest;
    EXPECT_TRUE(cycleTextFromField("XXXXX012345", shortest) && shortest == "01-234-");
}
