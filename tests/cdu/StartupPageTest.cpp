#include <gtest/gtest.h>

#include "Harness.h"
#include "pages/PageTable.h"
#include "navdb/DatabaseLoad.h"

namespace {

// A harness without a database (it never loads) whose frames do not move the clock.
constexpr HarnessOptions stillClock{.sampleDatabase = false, .framePeriodMs = 0};

}  // namespace

TEST(StartupPage, TheUnitStaysDarkUntilSwitchedOnThenLoadingBlinksWithTheSeconds) {
    Harness h(stillClock);
    h.frames(3);
    EXPECT_TRUE(h.screen().isBlank());
    EXPECT_EQ(h.renderer.bezelDraws(), 1);

    h.powerOn();
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
    EXPECT_EQ(h.screen().diff(R"(
        ORX - 1

LEARJET 45

  CPU
  RAM
  DATABASE     LOADING
  CONFIG MODULE
  AUXILIARY
  ARINC
)"),
              "");
    EXPECT_EQ(h.screen().colourRow(0), "        GGG G G         ");  // blanks draw nothing
    EXPECT_EQ(h.screen().fontRow(2), "LLLLLLL LL              ");

    // Four samples a second for four seconds: LOADING is on in even counted seconds only.
    int shownFrames = 0;
    int changes = 0;
    bool previous = h.row(6).find("LOADING") != std::string::npos;
    for (int i = 0; i < 16; ++i) {
        h.advanceMs(250);
        h.frame();
        const bool shown = h.row(6).find("LOADING") != std::string::npos;
        EXPECT_EQ(shown, h.context.cdu.secondsCounter % 2 == 0) << "frame " << i;
        shownFrames += shown ? 1 : 0;
        changes += shown != previous ? 1 : 0;
        previous = shown;
    }
    EXPECT_EQ(shownFrames, 8);
    EXPECT_EQ(changes, 4);
}

TEST(StartupPage, EachSelfTestLinePassesAfterItsTimeAndAtOnceOnTheNextPowerOn) {
    Harness h(stillClock);
    h.powerOn();
    // PASS needs strictly more than the line's time: rows 4..9 that show PASS, as digits.
    const std::pair<int, const char*> steps[] = {{1000, ""},     {1001, "4"},    {2000, "4"},
                                                 {2001, "457"},  {4000, "457"},  {4001, "4578"},
                                                 {5000, "4578"}, {5001, "45789"}};
    int now = 0;
    for (const auto& [atMs, passed] : steps) {
        h.advanceMs(atMs - now);
        now = atMs;
        h.frame();
        for (int row : {4, 5, 7, 8, 9}) {
            const bool expected = std::string(passed).find(static_cast<char>('0' + row)) != std::string::npos;
            EXPECT_EQ(h.row(row).substr(18, 4) == "PASS", expected) << "row " << row << " at " << atMs;
        }
    }
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);  // without a database it never moves on

    // Switched off (display control, OFF/STBY) and on again: every timed line passes at once.
    for (const char* key : {"ONOFF", "R5"}) {
        h.press(key);
        h.frame();
    }
    h.frame();
    EXPECT_TRUE(h.screen().isBlank());
    h.advanceMs(500);
    h.powerOn();
    EXPECT_EQ(h.cdu().currentPage, kPageStartup);
    EXPECT_EQ(h.row(4), "  CPU             PASS  ");
    EXPECT_EQ(h.row(9), "  ARINC           PASS  ");
}

TEST(StartupPage, ALoadedDatabaseShowsPassAndLeadsToInit) {
    Harness h(stillClock);
    for (const char* file :
         {"data/airports.txt", "data/Navaids.txt", "data/Waypoints.txt", "data/Ats.txt", "data/Cycle.txt"})
        h.dir.write(file, "");
    // Loaded before the page first looks (so fast a load would otherwise race the frame).
    h.start();
    requestDatabaseLoad(h.context.navdb.database, h.dir.str());
    h.waitForDatabase();
    h.powerOn();
    // The database passes before the timed lines do; the page hands over to INIT at once.
    EXPECT_EQ(h.row(6), "  DATABASE        PASS  ");
    EXPECT_EQ(h.row(4), "  CPU                   ");
    EXPECT_EQ(h.cdu().currentPage, kPageInit);
}
