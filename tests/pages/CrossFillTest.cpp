// The cross-fill prompts of the INIT and DATA pages, with two units in one process sharing one
// in-process block (each a whole harness of its own), or one unit and a test that plays the
// other unit by writing its slots.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "PageTestSupport.h"
#include "pages/CrossFill.h"
#include "platform/SharedBlock.h"
#include "simlink/UnitExchange.h"

namespace {

// One unit on the small database, holding a block of `memory`, configured by FMS.ini.
struct Unit {
    Unit(InProcessSharedMemory& memory, bool unit1) : block(memory) {
        writeSmallDatabase(h.dir);
        h.dir.write("FMS.ini", unit1 ? "FMS1:yes\n" : "FMS1:no\n");
        h.context.platform.sharedBlock = &block;
    }
    // Runs `steps` with this unit's context current.
    void operator()(const std::function<void(Harness&)>& steps) {
        ScopedFms current(h.context);
        steps(h);
    }
    InProcessSharedBlock block;
    Harness h{HarnessOptions{.sampleDatabase = false}};
};

void acceptInit(Harness& h) {
    h.press("L5");
    h.frames(2);
}

constexpr const char* kInitRow6 = "STANDARD/EXTENDED       ";
constexpr const char* kInitRow6Xfill = "STANDARD/EXTENDED XFILL ";
constexpr const char* kInitRow8 = "25-FEB-2024             ";
constexpr const char* kInitRow8MasterXfill = "25-FEB-2024  MSTR XFILL ";

TEST(CrossFill, XfillOnUnit2FromUnit1sAcceptanceUntilUnit2Accepts) {
    InProcessSharedMemory memory;
    Unit unit1(memory, true);
    Unit unit2(memory, false);
    unit1(powerOnToInit);
    unit2(powerOnToInit);
    unit2([](Harness& h) { EXPECT_EQ(h.row(6), kInitRow6); });

    unit1(acceptInit);
    unit2([](Harness& h) {
        h.frames(2);
        EXPECT_EQ(h.row(6), kInitRow6Xfill);
        EXPECT_EQ(h.screen().colourRow(6), "GGGGGGGGGGGGGGGGG WWWWW ");
    });
    // Unit 1 has its INIT: no prompt there.
    unit1([](Harness& h) {
        h.frames(2);
        EXPECT_EQ(h.row(6), kInitRow6);
    });
    unit2(acceptInit);
    unit2([](Harness& h) { EXPECT_EQ(h.row(6), kInitRow6); });
    EXPECT_EQ(memory.blocks.begin()->second.words[kInitSlotUnit1], 1u);
    EXPECT_EQ(memory.blocks.begin()->second.words[kInitSlotUnit2], 1u);
}

TEST(CrossFill, UnitsBothConfiguredAsUnit2ShowNothingFromEachOther) {
    InProcessSharedMemory memory;
    Unit first(memory, false);
    Unit second(memory, false);
    first(powerOnToInit);
    second(powerOnToInit);
    first(acceptInit);
    second([](Harness& h) {
        h.frames(2);
        EXPECT_EQ(h.row(6), kInitRow6);
    });
}

TEST(CrossFill, MasterXfillWhileTheOtherUnitIsReadyAndThisOneOnTheGround) {
    InProcessSharedMemory memory;
    Unit unit2(memory, false);
    unit2([](Harness& h) {
        setOnGround(h.sim.aircraft(), true);
        powerOnToInit(h);
    });
    // The test plays a unit 1 that is ready to be the source of a cross-fill.
    InProcessSharedBlock peer(memory);
    ASSERT_TRUE(peer.create(kSharedBlockName, kSharedBlockBytes));
    reinterpret_cast<uint32_t*>(peer.map())[kReadySlotUnit1] = 1;
    unit2([](Harness& h) {
        h.frames(2);
        EXPECT_EQ(h.row(8), kInitRow8MasterXfill);
        // Airborne, a cross-fill is no longer offered.
        setOnGround(h.sim.aircraft(), false);
        h.frames(2);
        EXPECT_EQ(h.row(8), kInitRow8);
        setOnGround(h.sim.aircraft(), true);
        h.frames(2);
        EXPECT_EQ(h.row(8), kInitRow8MasterXfill);
        // Once this unit has its INIT the prompt goes.
        acceptInit(h);
        EXPECT_EQ(h.row(8), kInitRow8);
    });
}

// A single unit (no partner) that has everything for a cross-fill offers itself on DATA 1/4.
TEST(CrossFill, DataIndexOffersMasterXfillWhileThisUnitIsReady) {
    Harness h{HarnessOptions{.sampleDatabase = false}};
    writeSmallDatabase(h.dir);
    setOnGround(h.sim.aircraft(), true);
    powerOnAndAccept(h);
    h.press("FUEL");
    h.frames(2);
    h.press("R5");
    h.type("4000\n");
    h.frames(2);
    // A departure runway and an arrival airport as the DEPARTURE and ARRIVAL pages choose
    // them, then the FPL page, which marks the plan complete when it sees both.
    NavDatabase& db = h.context.navdb.database;
    h.context.flightplan.selections.departureRunway = &db.airports[0].runways[0];
    h.context.flightplan.selections.arrivalAirport = &db.airports[1];
    h.press("FPL");
    h.frames(2);
    EXPECT_TRUE(crossFillReady());
    h.press("DATA");
    h.frames(2);
    EXPECT_EQ(h.row(8), " DISK        MSTR XFILL ");
    // The INIT page never offers this unit to itself.
    EXPECT_FALSE(h.context.simlink.exchange.masterXfillPrompt);
    setOnGround(h.sim.aircraft(), false);
    h.frames(2);
    EXPECT_EQ(h.row(8), " DISK                   ");
}

}  // namespace
