#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImportTestText.h"
#include "import/DatabaseWriter.h"
#include "import/SourceText.h"
#include "import/XPlaneReaders.h"

using namespace navimport;

namespace {

std::vector<std::string> navaidLines(const std::vector<WorldNavaid>& navaids) {
    std::vector<std::string> lines;
    for (const WorldNavaid& navaid : navaids) {
        std::string line = navaidLine(navaid);
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Rows of the navaid format as the world file has them, junk included.
constexpr const char* kNavRows =
    "2  47.10000000 -122.50000000      0   362  25    0.0 TS   Test, Point NDB\r\n"
    "3  47.43536111 -122.30961111    354 11680 130   19.0 SEA  SEATTLE VORTAC\r\n"
    "12  47.43569722 -122.30999167    354 11680 130    0.0 SEA  SEATTLE VORTAC\r\n"
    // A DME six miles from the VOR of the same name stays a DME of its own.
    "3  27.74833298  120.62833405     17 10920  50  352.1 DST  Dongshan VOR-DME\r\n"
    "13  27.74833298  120.74833679     17 10920  50    0.0 DST  Dongshan DME\r\n"
    "4  47.42939200 -122.30805600    338 11030  18     180.343 ISNQ KSEA 16L ILS-cat-I\r\n"
    "6  47.46081700 -122.30939400    425 11030  10  300180.343 ISNQ KSEA 16L GS\r\n"
    "12  47.43433300 -122.30630000    369 11030  18       0.000 ISNQ KSEA 16L DME-ILS\r\n"
    "7  47.5 -122.3 0 0 0 161.0 ---- KSEA 16L OM\r\n"
    // A glide slope without its frequency column, as the world file holds a few.
    "6  24.01447200  121.61319400     52        10  320026.187  RCYU 03  GS\r\n"
    "2  55.15277778  038.28861111    514   732  80    0.0 \xc0\xce AKSINYINO NDB\r\n"
    "3  47.0 abc 100 11500 130 19.0 BAD BAD VOR\r\n"
    "2  95.0 10.0 0 300 25 0.0 NOR NORTH OF THE POLE NDB\r\n"
    "5  47.50000000 -122.30000000     20 10990  18     130.000 ILOC KTST 13 LOC\r\n"
    "3  46.00000000 -121.00000000   -20 11500 130  -18.5 vx   VX\r\n"
    // One identifier at two places: each DME joins the VOR it stands beside, in either order.
    "12  40.00100000 -100.00000000 0 11000 40 0.0 ABC  SECOND VOR-DME\r\n"
    "3  10.00000000  10.00000000 0 11200 40 1.0 ABC  FIRST VOR-DME\r\n"
    "3  40.00000000 -100.00000000 0 11000 40 9.0 ABC  SECOND VOR-DME\r\n"
    "12  10.00000000  10.00000000 0 11200 40 0.0 ABC  FIRST VOR-DME\r\n"
    "3  47.0\r\n"
    "42 1 2 3 4 5 6 7 8\r\n";

}  // namespace

TEST(SourceNavaids, TypesMergesAndJunkRows) {
    StringLineSource source(sourceText(810, kNavRows));
    std::string cycle;
    std::string problem;
    ASSERT_TRUE(readSourceHeader(source, 810, cycle, problem)) << problem;
    EXPECT_EQ(cycle, "2013.10");
    std::vector<WorldNavaid> navaids;
    FileReport report;
    EXPECT_TRUE(readWorldNavaids(source, navaids, report));

    std::vector<std::string> expected = {
        // NDB: kHz, no flags; the comma of the name must not split the field.
        "TS,TEST POINT NDB,362.00,0,0,25,47.100000,-122.500000,0,NDB,-,-,0.0",
        // VOR and DME at the same place: one VOR/DME, variation east positive.
        "SEA,SEATTLE VORTAC,116.80,1,1,130,47.435361,-122.309611,354,VOR/DME,-,-,19.0",
        // 352.1 is a west variation of 7.9.
        "DST,DONGSHAN VOR-DME,109.20,1,0,50,27.748333,120.628334,17,VOR,-,-,-7.9",
        "DST,DONGSHAN DME,109.20,0,1,50,27.748333,120.748337,17,DME,-,-,0.0",
        // A localizer carries the name the database recognises it by.
        "ISNQ,ILS/CAT,110.30,0,0,18,47.429392,-122.308056,338,LOC,KSEA,16L,0.0",
        // The DME of an ILS: DME flag only.
        "ISNQ,KSEA 16L DME-ILS,110.30,0,1,18,47.434333,-122.306300,369,DME,KSEA,16L,0.0",
        "ILOC,ILS/CAT,109.90,0,0,18,47.500000,-122.300000,20,LOC,KTST,13,0.0",
        // Lower-case identifier upper-cased; an elevation below sea level kept.
        "VX,VX,115.00,1,0,130,46.000000,-121.000000,-20,VOR,-,-,-18.5",
        "ABC,FIRST VOR-DME,112.00,1,1,40,10.000000,10.000000,0,VOR/DME,-,-,1.0",
        "ABC,SECOND VOR-DME,110.00,1,1,40,40.000000,-100.000000,0,VOR/DME,-,-,9.0",
    };
    EXPECT_EQ(navaidLines(navaids), expected);
    EXPECT_DOUBLE_EQ(navaids[4].localizerBearing, 180.343);

    EXPECT_EQ(
        countsText(report.skipped),
        "DME joined to its VOR (one VOR/DME record)=3; glide slope (not used)=2; identifier unusable=1; "
        "marker beacon (not used)=1; number unreadable=1; position out of range=1; too few fields=1; "
        "unknown row type=1; ");
    EXPECT_EQ(countsText(report.notes), "VOR variation above 180 read as west=1; identifier upper-cased=1; ");
}

namespace {

// Two VORs: the near one gives the variation (19 E), the one 300 NM north (25 E), beyond
// 100 NM, must not;
// and the localizer of KTST 18.
std::vector<WorldNavaid> variationStations() {
    StringLineSource source(
        "3  52.0 -122.0 0 11500 130 25.0 FAR  FAR VOR\n"
        "3  47.2 -122.3 0 11500 130 19.0 NEA  NEAR VOR\n"
        "4  47.0 -122.0 0 11030 18 175.5 ITST KTST 18 ILS-cat-I\n"
        "99\n");
    std::vector<WorldNavaid> navaids;
    FileReport report;
    EXPECT_TRUE(readWorldNavaids(source, navaids, report));
    return navaids;
}

constexpr const char* kAptRows =
    // Runway of 0.02 degrees of latitude: 1.2 NM, 7291 ft; 45.72 m wide = 150 ft; the south end
    // has a threshold displaced by 100 m = 328 ft = 0.054 NM.
    "1       -5 1 0 KTST Test, Field\r\n"
    "100   45.72   1   0 0.00 0 2 1 18   47.02000000 -122.00000000    0.00    0.00 2  0 0 1 36   47.00000000 "
    "-122.00000000  100.00    0.00 2  0 0 1\r\n"
    "100   30.00   1   0 0.00 0 2 1 09\r\n"
    "100   30.00   1   0 0.00 0 2 1 09   95.00000000 -122.00000000    0.00    0.00 2  0 0 1 27   47.00000000 "
    "-122.00000000    0.00    0.00 2  0 0 1\r\n"
    "102 H1   47.53915840 -122.30722302   2.00   10.06   10.06   1 0   0 0.00 0\r\n"
    "110 2 0.25 0.00 Taxiway\r\n"
    "1       15 1 0 VHXX [X] CLOSED Kai Tak\r\n"
    "100   60.96   1   0 0.00 0 3 1 13   22.33 114.20 0.00 0.00 3 10 0 0 31  22.30 114.22 0.00 0.00 3 0 0 "
    "1\r\n"
    "17      20 0 0 HPAD Some Heliport\r\n"
    "100   60.96   1   0 0.00 0 3 1 13   22.33 114.20 0.00 0.00 3 10 0 0 31  22.30 114.22 0.00 0.00 3 0 0 "
    "1\r\n"
    "1      100 0 0 KNOR No Runways Here\r\n"
    "102 H1   47.53915840 -122.30722302   2.00   10.06   10.06   1 0   0 0.00 0\r\n"
    "1      abc 0 0 KBAD Bad Elevation\r\n"
    "100   60.96   1   0 0.00 0 3 1 13   22.33 114.20 0.00 0.00 3 10 0 0 31  22.30 114.22 0.00 0.00 3 0 0 "
    "1\r\n"
    "1      50 0 0 KEMT\r\n"
    "100   20.00   1   0 0.00 0 3 1 N   47.30000000 -121.00000000 0.00 0.00 3 10 0 0 S  47.29000000 "
    "-121.00000000 0.00 0.00 3 0 0 1\r\n"
    // No VOR within 100 NM: headings stay true.
    "1 10 0 0 YTST Far Away\r\n"
    "100 30 1 0 0 0 2 1 09 -30.00000000 120.00000000 0 0 2 0 0 0 27 -30.00000000 120.02000000 0 0 2 0 0 "
    "0\r\n";

}  // namespace

TEST(SourceAirports, RunwaysFromTheirEndsAndJunkRows) {
    StringLineSource source(std::string(kAptRows) + "99\r\n");
    std::vector<WorldAirport> airports;
    FileReport report;
    ASSERT_TRUE(readWorldAirports(source, variationStations(), airports, report));
    ASSERT_EQ(airports.size(), 3u);

    std::vector<std::string> lines = linesOf(airportLines(airports[0]));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "A,KTST,TEST FIELD,47.010000,-122.000000,-5");
    // True 180 less 19 E = 161; the localizer's 175.5 less 19 = 156.5, rounds to 157.
    EXPECT_EQ(lines[1], "R,18,161,7291,150,1,180.0,157,47.020000,-122.000000,-5,0");
    // True 0 less 19 E = 341, no localizer; the threshold displaced by 328 ft (0.054 NM, 0.0009
    // degree) north of the end.
    EXPECT_EQ(lines[2], "R,36,341,7291,150,0,0.0,341,47.000900,-122.000000,-5,328");
    // A name missing from the row: the identifier stands in; the variation comes from NEA,
    // 29 NM away, not from FAR.
    EXPECT_EQ(airports[1].name, "KEMT");
    ASSERT_EQ(airports[1].runways.size(), 2u);
    EXPECT_EQ(airports[1].runways[0].headingMag, 161);
    ASSERT_EQ(airports[2].runways.size(), 2u);
    EXPECT_EQ(airports[2].runways[0].headingMag, 90);
    EXPECT_EQ(airports[2].runways[1].headingMag, 270);

    EXPECT_EQ(countsText(report.skipped),
              "closed=1; heliport (not used)=1; no land runway=1; number unreadable=1; "
              "runway: position out of range=1; runway: too few fields=1; ");
    EXPECT_EQ(countsText(report.notes), "no station variation within 100 NM: runway headings true=1; ");
}

TEST(SourceFixes, GoodRowsAndJunkRows) {
    StringLineSource source(
        " 47.500000 -122.000000 ALPHA\r\n"
        " 47.600000 -122.100000 gagmo\r\n"
        " 54.347222  100.036667 O\xca"
        "LU\r\n"
        " 95.000000  10.000000 NORTH\r\n"
        " 47.000000 -122.000000\r\n"
        " 47.000000 abc XX\r\n"
        " 47.000000 -122.000000 A B\r\n"
        "\r\n"
        "99\r\n");
    std::vector<WorldFix> fixes;
    FileReport report;
    ASSERT_TRUE(readWorldFixes(source, fixes, report));
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_EQ(fixLine(fixes[0]), "ALPHA,47.500000,-122.000000,--\n");
    EXPECT_EQ(fixes[1].ident, "GAGMO");
    EXPECT_EQ(countsText(report.skipped),
              "identifier unusable=1; number unreadable=1; position out of range=1; too few fields=1; "
              "too many fields=1; ");
    EXPECT_EQ(countsText(report.notes), "identifier upper-cased=1; ");
}

TEST(SourceAirways, SegmentNamesAndJunkRows) {
    StringLineSource source(
        "AMIBO  34.973889  021.658056 OMARA  35.672500  019.556667 1 095 195 M871-MT E-MT W-M871\n"
        "SAME   47.000000 -122.000000 SAME   47.000000 -122.000000 1 040 180 V5\n"
        "NONAME 47.000000 -122.000000 OTHER  47.500000 -122.000000 1 040 180\n"
        "BADLT  97.000000 -122.000000 OTHER  47.500000 -122.000000 1 040 180 V5\n"
        "BADNM  4x.000000 -122.000000 OTHER  47.500000 -122.000000 1 040 180 V5\n"
        "DASH   47.000000 -122.000000 OTHER  47.500000 -122.000000 1 040 180 --\n"
        "99\n");
    std::vector<SourceSegment> segments;
    FileReport report;
    ASSERT_TRUE(readWorldAirwaySegments(source, segments, report));
    ASSERT_EQ(segments.size(), 1u);
    // Names joined by '-' may hold blanks; a name repeated in the list counts once.
    EXPECT_EQ(segments[0].names, (std::vector<std::string>{"M871", "MT E", "MT W"}));
    EXPECT_EQ(countsText(report.skipped),
              "segment: from a point to itself=1; segment: no airway name=1; segment: number unreadable=1; "
              "segment: position out of range=1; segment: too few fields=1; ");
}

TEST(SourceText, StrictNumbersAndCleanTexts) {
    double real = 0.0;
    long whole = 0;
    EXPECT_TRUE(parseReal("+1.5", real));
    EXPECT_DOUBLE_EQ(real, 1.5);
    // Trailing junk, no text, not a number; a fraction or an overflow for an integer.
    EXPECT_FALSE(parseReal("12.5x", real) || parseReal("", real) || parseReal("nan", real));
    EXPECT_FALSE(parseInt("3.5", whole) || parseInt("99999999999999999999999", whole));
    EXPECT_EQ(cleanIdent("ab,c"), "");
    EXPECT_EQ(cleanName("  Seattle,\tTacoma\x01Intl \xe9 "), "SEATTLE TACOMA INTL");
    EXPECT_EQ(cycleFromHeader("1000 Version - no cycle"), "");
}
