// The FUEL pages through the headless harness: weights and reserves, the converter and the
// entry by tank, and a flight from lift-off with time, range, fuel state and landing weight
// worked out by hand.
#include <gtest/gtest.h>

#include "PageTestSupport.h"

namespace {

class FuelPages : public SmallDatabasePage {
protected:
    void SetUp() override {
        SimAircraft& a = h.sim.aircraft();
        a.latDeg = -32.9244;  // one degree (60 NM) north of YSBK
        a.lonDeg = 150.9883;
        a.utcSeconds = kLeapDayNoon;  // 12:34:56
        // 900 US gallons three quarters full at 6.5 lb (1664/256, exact in the simulator's
        // units): 4387.5 lb. Two engines at 600 lb/h in the air, idling on the ground.
        a.tankCapacityGal[0] = 200.0;
        a.tankCapacityGal[1] = 350.0;
        a.tankCapacityGal[2] = 350.0;
        setFuelFraction(a, 0.75);
        a.fuelLbPerGallon = 6.5;
        a.engineFlowLbH[0] = 600.0;
        a.engineFlowLbH[1] = 600.0;
        setOnGround(a, true);
        powerOnAndAccept(h);
        press("FUEL");
    }
    // A line select key, a typed value and ENTER.
    void enter(const char* key, const char* text) {
        press(key);
        h.type(text);
        press("ENTER");
    }
};

TEST_F(FuelPages, WeightsReservesAndTheFuelEntryThatOpensByItself) {
    EXPECT_SCREEN(R"(
       FUEL 1/5
BASIC WT       ALTERNATE
 ------           ------
PAX(---)@000        HOLD
 ------           ------
CARGO              EXTRA
 ------           ------
ZFW         TOTAL RESRVS
 ------           ------
GROSS WT    FUEL ONBOARD
 ------           ------)");
    enter("L1", "9000");
    enter("L2", "6");
    // Six passengers, but no average weight yet: no passenger weight.
    EXPECT_EQ(h.row(3), "PAX(  6)@000        HOLD");
    EXPECT_EQ(h.row(4), " ------           ------");
    EXPECT_EQ(h.row(8), "  9000            ------");

    // The average passenger weight lives on FUEL OPTIONS, whose RETURN comes back here.
    press("MENU");
    EXPECT_EQ(h.row(0), "      FUEL OPTIONS      ");
    enter("R4", "180");
    EXPECT_EQ(h.row(8), "------              180 ");
    press("R5");
    EXPECT_EQ(h.row(3), "PAX(  6)@180        HOLD");
    EXPECT_EQ(h.row(4), "  1080            ------");

    // Cargo completes the zero-fuel weight: 1080 + 500 + 9000. With no fuel yet the fuel
    // entry opens by itself and the typed figure goes straight in.
    enter("L3", "500");
    EXPECT_EQ(h.row(8), " 10580            ------");
    EXPECT_EQ(h.keys().pendingLsk, kLskR5);
    h.type("4000");
    h.frame();
    EXPECT_EQ(h.row(10), " ------             4000");
    EXPECT_EQ(h.screen().colourRow(10), " GGGGGG             KKKK");
    press("ENTER");
    enter("R1", "1200");
    enter("R2", "600");
    enter("R3", "300");
    EXPECT_SCREEN(R"(
       FUEL 1/5
BASIC WT       ALTERNATE
  9000              1200
PAX(  6)@180        HOLD
  1080               600
CARGO              EXTRA
   500               300
ZFW         TOTAL RESRVS
 10580              2100
GROSS WT    FUEL ONBOARD
 14580              4000)");
    EXPECT_EQ(h.renderer.offGridGlyphs(), 0);

    // A typed text that is not a number is dropped and the field stays open for a number.
    enter("R2", "X12");
    EXPECT_EQ(h.keys().pendingLsk, kLskR2);
    EXPECT_EQ(h.context.pages.fuel.holdLb, 600);
    h.type("650");
    press("ENTER");
    EXPECT_EQ(h.row(4), "  1080               650");
    EXPECT_EQ(h.row(8), " 10580              2150");
    // NEXT and PREV stop at 1/5 and 5/5.
    press("PREV");
    EXPECT_EQ(h.row(0), "       FUEL 1/5         ");
    for (int i = 0; i < 5; ++i) press("NEXT");
    EXPECT_EQ(h.row(0), "       FUEL 5/5         ");

    // The basic weight is the aircraft's: FMS.ini keeps it for the next run.
    h.end();
    EXPECT_NE(h.dir.read("FMS.ini").find("\nbasic_weight:9000\n"), std::string::npos);
}

TEST_F(FuelPages, ConverterAndTheEntryByTank) {
    press("MENU");
    enter("L1", "1000");
    EXPECT_SCREEN(R"(
      FUEL OPTIONS
LBS
 1000            XFILL
KGS
  453
US GAL       FUEL ENTRY
  147          BY TOTAL
IMP GAL      AVG PAX WT
  122              ----
LITERS
  556           RETURN)");
    // Three litres are no whole US gallon: all three volumes show dashes, the typed one too.
    enter("L5", "3");
    EXPECT_EQ(h.row(6), "------         BY TOTAL ");
    EXPECT_EQ(h.row(10), "------          RETURN  ");

    // BY TANK: the tanks are entered one by one, each ENTER opening the next line.
    press("R3");
    EXPECT_SCREEN(R"(
      FUEL ONBOARD
              LBS
 TANK 1     -----






 TOTAL
            -----   RTN)");
    h.type("1500");
    press("ENTER");
    h.type("1500");
    press("ENTER");
    h.type("800");
    press("ENTER");
    EXPECT_EQ(h.row(5), " TANK 4     -----       ");
    EXPECT_EQ(h.row(10), "             3800   RTN ");
    // Up twice and a new figure replaces tank 2 without adding a line.
    press("L2");
    press("L2");
    h.type("1200");
    press("ENTER");
    EXPECT_EQ(h.row(3), " TANK 2      1200       ");
    EXPECT_EQ(h.row(5), " TANK 4     -----       ");
    EXPECT_EQ(h.row(10), "             3500   RTN ");
    // Six tanks at most: after the sixth a figure only replaces the sixth.
    press("L4");
    for (const char* figure : {"100", "200", "300", "400"}) {
        h.type(figure);
        press("ENTER");
    }
    EXPECT_EQ(h.row(5), " TANK 4       100       ");
    EXPECT_EQ(h.row(7), " TANK 6       400       ");
    EXPECT_EQ(h.row(8), "                        ");
    EXPECT_EQ(h.row(10), "             4200   RTN ");

    // RTN: the total is the fuel on board, shown where the pilot came from.
    press("R5");
    EXPECT_EQ(h.row(0), "       FUEL 1/5         ");
    EXPECT_EQ(h.row(10), " ------             4200");
    press("MENU");
    EXPECT_EQ(h.row(6), "------          BY TANK ");

    // An entry by tank left half done starts again when FUEL is pressed.
    press("R3");
    press("R3");
    h.type("700");
    press("ENTER");
    press("FUEL");
    EXPECT_EQ(h.row(2), " TANK 1     -----       ");
    EXPECT_EQ(h.row(3), "                        ");
    EXPECT_EQ(h.row(10), "            -----   RTN ");
}

TEST_F(FuelPages, AFlightFromLiftOff) {
    enter("L1", "9000");
    enter("R5", "4000");
    press("NEXT");
    // On the ground: no take-off yet, no ground speed, so no time to anywhere.
    EXPECT_EQ(h.row(2), "   360               ---");
    EXPECT_EQ(h.row(3), "T/O --:--  ELAPSED  -+--");
    EXPECT_EQ(h.row(4), "TO  ----   --+--      NM");

    // The TO waypoint through the identifier page.
    press("L2");
    h.type("YSBK");
    press("ENTER");
    EXPECT_EQ(h.cdu().currentPage, kPageIdent);
    EXPECT_EQ(h.row(10), " ACCEPT         RETURN  ");
    press("L5");
    EXPECT_EQ(h.cdu().currentPage, kPageFuel);
    EXPECT_EQ(h.row(4), "TO  YSBK(A)--+--    60NM");

    // The pilot's flow and ground speed: 60 NM at 240 kt take 15 minutes and 300 lb at
    // 1200 lb/h. 4000 lb last 3 h 20 min and carry the aircraft 800 NM; over YSBK the
    // remaining 3700 lb last 3 h 05 min, 740 NM. Local time eight hours behind UTC.
    enter("L1", "1200");
    enter("R1", "240");
    press("L3");
    press("PLUSMINUS");
    h.type("8");
    h.frame();
    EXPECT_EQ(h.row(6), " -8 LCL    --+--        ");
    press("ENTER");
    EXPECT_SCREEN(R"(
       FUEL 2/5
FUELFLOW              GS
  1200EST         EST240
T/O --:--  ELAPSED  -+--
TO  YSBK(A)00:15    60NM
ETA UTC    12:49
 -8 LCL    04:49
   NOW         OVHD
  4000 FUEL ONBRD   3700
  3+20 ENDURANCE    3+05
   800 RANGE         740)");

    // Lift-off at 12:34. Twenty minutes at 1200 lb/h burn 400 lb.
    setOnGround(h.sim.aircraft(), false);
    h.frames(2);
    EXPECT_EQ(h.row(3), "T/O 12:34  ELAPSED  0:00");
    h.advanceMs(20 * 60 * 1000);
    h.frames(2);
    EXPECT_EQ(h.row(3), "T/O 12:34  ELAPSED  0:20");
    EXPECT_EQ(h.row(8), "  3600 FUEL ONBRD   3300");
    // Airborne with fuel on board, the weights page stays behind.
    press("PREV");
    EXPECT_EQ(h.row(0), "       FUEL 2/5         ");

    // The simulator's own ground speed from here on, frozen with the simulator: 240 kt TAS
    // arrive as 239 kt, so the 60 NM take 0.2510 h and 301 lb at 1200 lb/h.
    h.sim.aircraft().trueAirspeedKt = 240.0;
    h.sim.aircraft().paused = true;
    press("NEXT");
    EXPECT_SCREEN(R"(
       FUEL 3/5
FUELFLOW              GS
  1200               239
FUEL AT DEPARTRURE  USED
 4000                400
ONBOARD         REQUIRED
 3600                301
OVERHEAD        RESERVES
 3299     YSBK    ------
EXCESS
 3299)");
    // Landing weight: 9000 + 3600 - 301.
    press("NEXT");
    EXPECT_SCREEN(R"(
       FUEL 4/5

GROSS WT           12600
FUEL ONBOARD        3600
LANDING WT         12299
OVERHEAD  YSBK      3299
GND               --.---
AIR               --.---
TAILWIND             ---
ESAD                 ---
TEMP              ISA+00)");
    press("NEXT");
    EXPECT_EQ(h.row(4), " 600               -----");
    EXPECT_EQ(h.row(6), " 600                    ");
    enter("R1", "850");
    EXPECT_EQ(h.row(2), "                     850");
}

}  // namespace
