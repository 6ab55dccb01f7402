#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ImportTestText.h"
#include "TempDir.h"
#include "navdb/DatabaseLoad.h"
#include "navdb/NavDatabase.h"
#include "import/DatabaseWriter.h"
#include "import/SourceText.h"
#include "import/WorldImport.h"

using namespace navimport;

namespace {

void writeGz(const std::filesystem::path& path, const std::string& content) {
    gzFile file = gzopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, content.data(), static_cast<unsigned>(content.size())),
              static_cast<int>(content.size()));
    gzclose(file);
}

// A small world: one airport, a VOR/DME, fixes and two airways; the navaid file compressed,
// the others plain text.
struct WorldFolder {
    TempDir dir;
    WorldFolder() {
        std::filesystem::create_directories(dir.path() / "in");
        writeGz(
            dir.path() / "in/nav.dat.gz",
            sourceText(810,
                       "3  47.43536111 -122.30961111    354 11680 130   19.0 SEA  SEATTLE VORTAC\n"
                       "12  47.43569722 -122.30999167    354 11680 130    0.0 SEA  SEATTLE VORTAC\n"
                       "2  40.00000000 -100.00000000      0   362  25    0.0 FAR  FAR AWAY NDB\n"
                       "3  40.50000000 -101.00000000   2000 11500  40   10.0 LON  LONE VOR\n"
                       "4  47.42939200 -122.30805600    338 11030  18  180.343 ISNQ KSEA 16L ILS-cat-I\n"
                       "12  47.43433300 -122.30630000    369 11030  18    0.000 ISNQ KSEA 16L DME-ILS\n"));
        dir.write(
            "in/apt.dat",
            sourceText(
                1000,
                "1      433 1 0 KSEA Seattle Tacoma Intl\n"
                "100   46.02   2   1 0.00 1 3 0 16L  47.46379733 -122.30775222    0.00   46.02 3  2 1 1 "
                "34R  47.43117533 -122.30804122    0.00  121.92 3  8 1 0\n"
                "1      100 1 0 KFAR Far Field\n"
                "100   30 1 0 0 0 2 1 09 40.0 -101.0 0 0 2 0 0 0 27 40.0 -100.99 0 0 2 0 0 0\n"));
        dir.write("in/fix.dat", sourceText(600,
                                           " 47.354875 -122.130664 SESOY\n"
                                           " 40.500000 -100.500000 FARFX\n"
                                           " 47.700000 -122.200000 INBOX\n"));
        dir.write("in/awy.dat",
                  sourceText(640,
                             "SEA    47.435378 -122.309622 SESOY  47.354875 -122.130664 1 040 180 V4\n"
                             "SESOY  47.354875 -122.130664 NOFIX  47.300000 -121.900000 1 040 180 V4\n"
                             "FAR    40.000000 -100.000000 FARFX  40.500000 -100.500000 1 040 180 V99\n"
                             // LON as the airway data places it, 3.7 NM from the VOR itself.
                             "FARFX  40.500000 -100.500000 LON    40.550000 -101.050000 1 040 180 V99\n"));
    }
    std::string in() const { return (dir.path() / "in").string(); }
    std::string out() const { return (dir.path() / "out").string(); }
};

}  // namespace

// The import into a data root, then the program's own load of what it wrote.
TEST(ImportRun, TheProgramsReadersTakeWhatTheImporterWrites) {
    WorldFolder world;
    ImportOptions options{world.in(), (world.dir.path() / "data").string(), false, {}};
    ImportReport report;
    std::vector<std::string> stages;
    ASSERT_TRUE(runImport(options, report, [&](std::string_view stage, double fraction) {
        if (fraction == 1.0) stages.emplace_back(stage);
    })) << formatReport(report);
    EXPECT_EQ(stages, (std::vector<std::string>{"nav.dat.gz", "apt.dat.gz", "fix.dat.gz", "awy.dat.gz"}));
    // The airway point without a fix record (NOFIX) becomes a fix; LON, a few miles off its
    // VOR, does not (a fix there would stand in the way of the VOR).
    EXPECT_EQ(linesOf(world.dir.read("data/Waypoints.txt")),
              (std::vector<std::string>{"SESOY,47.354875,-122.130664,--", "FARFX,40.500000,-100.500000,--",
                                        "INBOX,47.700000,-122.200000,--", "NOFIX,47.300000,-121.900000,--"}));
    EXPECT_EQ(report.fixes.notes["added from airway data (no fix or navaid there)"], 1);
    // Cycle 2013.10 took effect on 19 September 2013 and ran until 17 October 2013.
    EXPECT_EQ(world.dir.read("data/Cycle.txt"), "2013.10,1310 17OCT 2013,EFFECTIVE 19SEP2013\n");
    // No temporary files stay behind.
    for (const auto& entry : std::filesystem::directory_iterator(world.dir.path() / "data"))
        EXPECT_EQ(entry.path().extension(), ".txt") << entry.path();

    NavDatabase db;
    loadDatabaseNow(db, world.dir.str());
    ASSERT_TRUE(databaseFullyLoaded(db));
    EXPECT_EQ(db.cycleText, "17-OCT-2013");
    // The type of each navaid as the database decides it from the flags and the name: 3 VOR/DME,
    // 1 NDB, 2 VOR, 0 localizer, 4 DME.
    std::string types;
    for (const Navaid& n : db.navaids)
        types += n.ident + ":" + std::to_string(static_cast<int>(n.type)) + " ";
    EXPECT_EQ(types, "SEA:3 FAR:1 LON:2 ISNQ:0 ISNQ:4 ");
    EXPECT_FLOAT_EQ(db.navaids[0].declination, 19.0f);
    ASSERT_EQ(db.airports.size(), 2u);
    EXPECT_EQ(db.airports[0].runways.size(), 2u);
    // SEA to SESOY: 8.73 NM on 124 degrees true, back on 304.
    ASSERT_EQ(db.airways.size(), 2u);
    ASSERT_EQ(db.airways[0].segments.size(), 2u);
    EXPECT_EQ(linesOf(world.dir.read("data/Ats.txt"))[1],
              "S,SEA,47.435378,-122.309622,SESOY,47.354875,-122.130664,124,304,8.73");
}

TEST(ImportRun, TheBoxKeepsAirwaysThatEnterItWholeWithTheirPoints) {
    WorldFolder world;
    // A box around Seattle: V4 enters it, V99 (over Kansas) does not.
    ImportOptions options{world.in(), world.out(), true, GeoBox{47.0, -123.0, 48.0, -122.0}};
    ImportReport report;
    ASSERT_TRUE(runImport(options, report)) << formatReport(report);
    std::vector<std::string> airways = linesOf(world.dir.read("out/Ats.txt"));
    ASSERT_EQ(airways.size(), 3u);
    EXPECT_EQ(airways[0], "A,V4,2");
    // NOFIX lies east of the box but is a point of V4; SESOY and INBOX lie inside.
    EXPECT_EQ(linesOf(world.dir.read("out/Waypoints.txt")),
              (std::vector<std::string>{"SESOY,47.354875,-122.130664,--", "INBOX,47.700000,-122.200000,--",
                                        "NOFIX,47.300000,-121.900000,--"}));
    // SEA and the ILS of 16L inside; the NDB on V99 and the lone VOR outside.
    EXPECT_EQ(linesOf(world.dir.read("out/Navaids.txt")).size(), 3u);
    EXPECT_EQ(linesOf(world.dir.read("out/airports.txt")).size(), 3u);
    EXPECT_EQ(report.airports.skipped["outside the box"], 1);
    EXPECT_EQ(report.navaids.skipped["outside the box"], 2);
    EXPECT_EQ(report.fixes.skipped["outside the box"], 1);
    EXPECT_EQ(report.airways.skipped["outside the box"], 1);
}

// A source missing, of another format, without a version, cut short or damaged: nothing is
// written, the database already there stays as it was, and the problem names the file.
TEST(ImportRun, BadSourcesWriteNothing) {
    struct Case {
        const char* what;
        const char* file;
        std::string content;
    };
    std::vector<Case> cases = {
        {"missing", "fix.dat", ""},
        {"newer format", "nav.dat.gz", sourceText(1100, "")},
        {"no format version", "apt.dat", "I\nVersion unknown\n99\n"},
        {"cut short", "awy.dat", "I\n640 Version\nSEA 47.4 -122.3 SESOY 47.3 -122.1 1 040 180 V4\n"},
        {"damaged", "nav.dat.gz", "half of the compressed stream"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorldFolder world;
        std::filesystem::path path = world.dir.path() / "in" / c.file;
        if (std::string(c.what) == "damaged") {
            // Keep the first half of the compressed bytes: the stream ends in the middle.
            std::string nav = world.dir.read("in/nav.dat.gz");
            world.dir.write("in/nav.dat.gz", nav.substr(0, nav.size() / 2));
        } else {
            std::filesystem::remove(path);
            if (!c.content.empty()) writeGz(path, c.content);
        }
        world.dir.write("out/airports.txt", "A,OLD,OLD DATA,1,2,3\n");
        ImportOptions options{world.in(), world.out(), false, {}};
        ImportReport report;
        EXPECT_FALSE(runImport(options, report));
        ASSERT_EQ(report.problems.size(), 1u);
        EXPECT_NE(report.problems[0].find(std::string(c.file).substr(0, 7)), std::string::npos);
        EXPECT_FALSE(report.outputTouched);
        EXPECT_EQ(world.dir.read("out/airports.txt"), "A,OLD,OLD DATA,1,2,3\n");
        EXPECT_FALSE(std::filesystem::exists(world.dir.path() / "out/Navaids.txt"));
    }
}

TEST(ImportRun, LongLinesArriveWholeFromCompressedFiles) {
    TempDir dir;
    std::string longName(200000, 'X');
    writeGz(dir.path() / "long.gz", "first\r\n" + longName + "\r\nlast");
    GzLineSource source;
    ASSERT_TRUE(source.open((dir.path() / "long.gz").string()));
    std::vector<std::string> lines;
    std::string line;
    while (source.next(line)) lines.push_back(line);
    EXPECT_FALSE(source.failed());
    EXPECT_EQ(lines, (std::vector<std::string>{"first", longName, "last"}));
    EXPECT_DOUBLE_EQ(source.progress(), 1.0);
}

TEST(ImportCycle, CycleDatesAndAStaleCycleFileIsRemoved) {
    // Cycles of 28 days; known effective dates: 2013.10 on 19 Sep 2013, 2020.01 on 2 Jan 2020,
    // 2013.13 on 12 Dec 2013 (2013 has no fourteenth cycle).
    EXPECT_EQ(expiryText(cycleDates("2013.10")), "17-OCT-2013");
    EXPECT_EQ(expiryText(cycleDates("2020.01")), "30-JAN-2020");
    EXPECT_EQ(expiryText(cycleDates("2013.13")), "09-JAN-2014");
    EXPECT_FALSE(cycleDates("2013.14").valid);
    EXPECT_FALSE(cycleDates("2013.1").valid);

    // A database written without a cycle removes the old cycle file: it would date the new data.
    TempDir dir;
    dir.write("Cycle.txt", "2001.01,0101 01JAN 2001\n");
    WorldDatabase database;
    ImportReport report;
    ASSERT_TRUE(writeDatabaseFiles(database, dir.str(), report));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Cycle.txt"));
    EXPECT_TRUE(report.cycleText.empty());
}

TEST(ImportBox, LinesThroughTheBoxAndAcrossThe180thMeridian) {
    GeoBox seattle{47.0, -123.0, 48.0, -122.0};
    // Both ends outside, the line through the middle.
    EXPECT_TRUE(lineEntersBox(seattle, 46.0, -122.5, 49.0, -122.5));
    EXPECT_FALSE(lineEntersBox(seattle, 46.0, -121.5, 49.0, -121.5));
    // Passing by a corner.
    EXPECT_FALSE(lineEntersBox(seattle, 46.5, -122.0, 47.5, -121.0));
    // A line across the 180th meridian against a box just west of it.
    GeoBox west{10.0, -180.0, 20.0, -178.0};
    EXPECT_TRUE(lineEntersBox(west, 15.0, 179.0, 15.0, -179.0));
    EXPECT_FALSE(lineEntersBox(west, 15.0, 170.0, 15.0, 175.0));
    // A box across the 180th meridian.
    GeoBox dateline{10.0, 170.0, 20.0, -170.0};
    EXPECT_TRUE(insideBox(dateline, 15.0, 179.0));
    EXPECT_TRUE(insideBox(dateline, 15.0, -175.0));
    EXPECT_FALSE(insideBox(dateline, 15.0, 160.0));
    EXPECT_FALSE(lineEntersBox(dateline, 15.0, -160.0, 15.0, -165.0));
    EXPECT_TRUE(lineEntersBox(dateline, 15.0, -160.0, 15.0, -175.0));
    EXPECT_TRUE(lineEntersBox(dateline, 5.0, 165.0, 25.0, 175.0));
}
