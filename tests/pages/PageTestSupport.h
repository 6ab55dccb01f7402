#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Harness.h"
#include "PlanSteps.h"

// A small database in the files the loaders read, written into a harness's data root, and
// the steps from power-on to the INIT page.
//
// Airports: YSSY and YSBK near Sydney, and DUP, an airport whose identifier is also a fix.
// Navaids: SY (VOR/DME at YSSY), three VORs called TRI (file order: 113.10, 114.20, 115.30),
// BK (NDB near YSBK) and RIC (NDB 28.7 NM north-west of YSSY).
// Fixes: DUP, and two intersections near YSSY. Airways: J1 from SY to BK.
inline void writeSmallDatabase(const TempDir& dir) {
    dir.write("data/airports.txt",
              "A,YSSY,SYDNEY KINGSFORD SMITH,-33.9461,151.1772,21\n"
              "R,16R,155,12999,0,0,0,155,-33.9300,151.1700,21,0\n"
              "A,YSBK,BANKSTOWN,-33.9244,150.9883,29\n"
              "A,DUP,DUPLICATE FIELD,-34.5000,150.5000,100\n");
    dir.write("data/Navaids.txt",
              "SY,SYDNEY,112.10,1,1,0,-33.9400,151.1800,20,0,0,0,12.5\n"
              "TRI,TRIPLE ONE,113.10,1,0,0,-30.0000,150.0000,500,0,0,0,11.0\n"
              "TRI,TRIPLE TWO,114.20,1,1,0,-35.2500,149.5000,600,0,0,0,-3.5\n"
              "TRI,TRIPLE THREE,115.30,1,1,0,10.0000,-20.0000,700,0,0,0,0\n"
              "BK,BANKSTOWN,404.00,0,0,0,-33.9200,150.9900,30,0,0,0,12\n"
              "RIC,RICHMOND,260.00,0,0,0,-33.6000,150.7800,60,0,0,0,12\n");
    dir.write("data/Waypoints.txt",
              "DUP,-34.6000,150.6000,YM\n"
              "ABBEY,-34.0000,151.3000,YM\n"
              "COOGE,-33.9200,151.2600,YM\n");
    dir.write("data/Ats.txt",
              "A,J1,1\n"
              "S,SY,-33.9400,151.1800,BK,-33.9200,150.9900,0,0,10\n");
    dir.write("data/Cycle.txt", "1,2401 25FEB 2024\n");
}

// 29 February 2024, 12:34:56 UTC: 19 782 days after 1 January 1970.
constexpr double kLeapDayNoon = 19782.0 * 86400.0 + 12 * 3600 + 34 * 60 + 56;

// Powers the unit on and runs frames until the database is loaded and INIT is shown.
inline void powerOnToInit(Harness& h) {
    h.powerOn();
    h.waitForDatabase();
    h.frames(2);
}

// ... and accepts INIT, which unlocks the function keys.
inline void powerOnAndAccept(Harness& h) {
    powerOnToInit(h);
    h.press("L5");
    h.frame();
}

// A unit and the key steps of the page tests: a key and the frames for its page to act and
// show the result (a page draws before it acts on its keys), typed text, a list number
// entered, plan legs named from the database (a fix before a navaid before an airport), and
// the screen compared with a picture in which '^' stands for the degree sign.
class PageTest : public ::testing::Test {
protected:
    explicit PageTest(HarnessOptions options = {}) : h(options) {}
    void press(const char* key, int frames = 2) {
        h.press(key);
        h.frames(frames);
    }
    void type(const char* text) {
        h.type(text);
        h.frame();
    }
    void choose(const char* number) {
        type(number);
        press("ENTER");
    }
    void planOf(std::initializer_list<const char*> idents) {
        for (const char* ident : idents) appendIdent(h.context.navdb.database, ident);
    }
    std::string picture(std::string expected) const {
        for (char& c : expected)
            if (c == '^') c = static_cast<char>(0xB0);
        return h.screen().diff(expected);
    }
    Harness h;
};

// The screen against a picture, in a PageTest.
#define EXPECT_SCREEN(expected) EXPECT_EQ(picture(expected), "")

// A unit on the sample database, switched on with INIT accepted.
class SampleDatabasePage : public PageTest {
protected:
    void SetUp() override { powerOnAndAccept(h); }
};

// A unit on the small database, written before the first frame.
class SmallDatabasePage : public PageTest {
protected:
    SmallDatabasePage() : PageTest(HarnessOptions{.sampleDatabase = false}) { writeSmallDatabase(h.dir); }
};

// A unit on the sample database, not yet switched on.
using KeyedPage = PageTest;
