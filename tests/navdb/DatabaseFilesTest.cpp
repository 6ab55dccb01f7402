#include <gtest/gtest.h>

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
        "R,08,80,6562,0,0,0,80,47.25,11.32,1906,0\n",
        airports);
    ASSERT_EQ(airports.size(), 2u);
    const Airport& eham = airports[0];
    EXPECT_EQ(eham.ident, "EHAM");
    EXPECT_EQ(eham.name, "SCHIPHOL");
    EXPECT_FLOAT_EQ(eham.latitude, 52.3086f);
    EXPECT_FLOAT_EQ(eham.longitude, 4.7639f);
    EXPECT_EQ(eham.elevation, -11);  // truncated toward zero, and below sea level stays negative
    EXPECT_EQ(eham.dbIndex, -1);     // the loader does not set it
    ASSERT_EQ(eham.runways.size(), 1u);
    const Runway& r18 = eham.runways[0];
    EXPECT_EQ(r18.ident, "18R");  // the carriage return never reaches a field
    EXPECT_EQ(r18.heading, 183u);
    EXPECT_EQ(r18.length, 12467);
    EXPECT_EQ(r18.secondLength, 150);
    EXPECT_TRUE(r18.keptFlag);
    EXPECT_FLOAT_EQ(r18.keptReal, 3.5f);
    EXPECT_EQ(r18.inboundCourse, 183);
    EXPECT_FLOAT_EQ(r18.thresholdLatitude, 52.3630f);
    EXPECT_FLOAT_EQ(r18.thresholdLongitude, 4.7119f);
    EXPECT_EQ(r18.elevation, -12);
    EXPECT_FLOAT_EQ(r18.keptReal2, 0.5f);
    EXPECT_EQ(airports[1].ident, "LOWI");
    EXPECT_EQ(airports[1].elevation, 1906);
    ASSERT_EQ(airports[1].runways.size(), 1u);
    EXPECT_EQ(airports[1].runways[0].ident, "08");
    EXPECT_EQ(r.records, 2u);
    EXPECT_EQ(r.children, 2u);
    EXPECT_EQ(r.skipped, 4u);
    EXPECT_EQ(r.firstSkippedLine, 1u);
}

TEST(AirportsFile, AnEmptyFieldShiftsEveryLaterField) {
    std::vector<Airport> airports;
    readAirports("A,KAAA,NAME,10,20,30\nR,04,40,5000,,1,2.5,40,10.1,20.1,31,0.5,99\n", airports);
    ASSERT_EQ(airports.size(), 1u);
    ASSERT_EQ(airports[0].runways.size(), 1u);
    const Runway& r = airports[0].runways[0];
    EXPECT_EQ(r.secondLength, 1);  // field 5's value moved to field 4
    EXPECT_TRUE(r.keptFlag);       // "2.5" reads as 2
    EXPECT_FLOAT_EQ(r.keptReal, 40.0f);
    EXPECT_EQ(r.inboundCourse, 10);  // "10.1" read as an integer
    EXPECT_FLOAT_EQ(r.thresholdLatitude, 20.1f);
    EXPECT_FLOAT_EQ(r.thresholdLongitude, 31.0f);
    EXPECT_EQ(r.elevation, 0);
    EXPECT_FLOAT_EQ(r.keptReal2, 99.0f);
}

TEST(NavaidsFile, TypesIndicesAndSkippedLines) {
    std::vector<Navaid> navaids;
    ReadReport r = readNavaids(
        "SPY,SPIJKERBOOR,113.30,1,1,0,52.54,4.85,0,x,x,x,1.5\n"
        "\n"
        "IAM,ILS/CAT,110.55,0,0,0,52.3,4.7,-10,x,x,x,0\n"
        "IAX,ILS/CATII,110.55,0,0,0,52.3,4.7,0,x,x,x,0\n"
        "DME,SOME DME,110.55,0,1,0,52.3,4.7,0,x,x,x,0\n"
        "SHORT,LINE,1,1\n"
        "VOR,PLAIN VOR,117.0,1,0,0,10,20,500,x,x,x,-2.25\n",
        navaids);
    ASSERT_EQ(navaids.size(), 5u);
    EXPECT_EQ(navaids[0].type, NavaidType::VorDme);
    EXPECT_EQ(navaids[1].type, NavaidType::Localizer);  // both flags clear and named exactly ILS/CAT
    EXPECT_EQ(navaids[2].type, NavaidType::Ndb);        // only begins with ILS/CAT
    EXPECT_EQ(navaids[3].type, NavaidType::Dme);
    EXPECT_EQ(navaids[4].type, NavaidType::Vor);
    EXPECT_EQ(navaids[0].ident, "SPY");
    EXPECT_EQ(navaids[0].name, "SPIJKERBOOR");
    EXPECT_FLOAT_EQ(navaids[0].frequency, 113.30f);
    EXPECT_FLOAT_EQ(navaids[0].declination, 1.5f);
    EXPECT_EQ(navaids[1].elevation, -10);
    EXPECT_FLOAT_EQ(navaids[4].latitude, 10.0f);
    EXPECT_FLOAT_EQ(navaids[4].longitude, 20.0f);
    EXPECT_EQ(navaids[4].elevation, 500);
    EXPECT_FLOAT_EQ(navaids[4].declination, -2.25f);
    // Blank and skipped lines do not advance the index: it is the position in the list.
    for (size_t i = 0; i < navaids.size(); ++i) EXPECT_EQ(navaids[i].dbIndex, static_cast<int32_t>(i));
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_EQ(r.firstSkippedLine, 6u);
}

TEST(WaypointsFile, FixesAndIndices) {
    std::vector<Fix> fixes;
    ReadReport r = readWaypoints("ARTIP,52.5,5.5,EH\n\n,,\nBAD,1\nSUGOL,52.52,3.96,EH\n", fixes);
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_EQ(fixes[0].ident, "ARTIP");
    EXPECT_EQ(fixes[0].regionText, "EH");
    EXPECT_FLOAT_EQ(fixes[1].latitude, 52.52f);
    EXPECT_FLOAT_EQ(fixes[1].longitude, 3.96f);
    EXPECT_EQ(fixes[0].dbIndex, 0);
    EXPECT_EQ(fixes[1].dbIndex, 1);
    EXPECT_EQ(r.skipped, 1u);  // ",," is an empty line, "BAD,1" is short
    EXPECT_EQ(r.firstSkippedLine, 4u);
}

TEST(AirwaysFile, HeadersSegmentsAndOrphans) {
    std::vector<Airway> airways;
    ReadReport r = readAirways(
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
    const AirwaySegment& s = airways[0].segments[0];
    EXPECT_EQ(s.fromIdent, "SPY");
    EXPECT_FLOAT_EQ(s.fromLatitude, 52.5f);
    EXPECT_FLOAT_EQ(s.fromLongitude, 4.8f);
    EXPECT_EQ(s.toIdent, "ARTIP");
    EXPECT_FLOAT_EQ(s.toLatitude, 52.5f);
    EXPECT_FLOAT_EQ(s.toLongitude, 5.5f);
    EXPECT_FLOAT_EQ(s.inboundValue, 90.0f);
    EXPECT_FLOAT_EQ(s.outboundValue, 270.0f);
    EXPECT_FLOAT_EQ(s.segmentLength, 25.5f);
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
    std::string t;
    ASSERT_TRUE(cycleTextFromField("XXXXX0123456789", t));
    EXPECT_EQ(t, "01-234-6789");
    ASSERT_TRUE(cycleTextFromField("XXXXX012345", t));
    EXPECT_EQ(t, "01-234-");
    EXPECT_FALSE(cycleTextFromField("XXXXX01234", t));
    EXPECT_EQ(t, "01-234-");
}
