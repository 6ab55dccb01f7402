#include <gtest/gtest.h>

#include <filesystem>

#include "PlanFixture.h"

namespace {

using PlanEditing = PlanFixture;
using V = std::vector<std::string>;

TEST_F(PlanEditing, AppendAdvancesTheSelectedLineOntoTheNextPage) {
    loaded();
    appendLeg(waypoint("A", 1.0f, 1.0f));
    EXPECT_EQ(fp.fplSelectedLine, kFplNoLine);  // nothing selected: nothing to advance
    fp.fplSelectedLine = 3;
    appendLeg(waypoint("B", 1.0f, 2.0f));
    EXPECT_EQ(fp.fplSelectedLine, 4);
    EXPECT_EQ(fp.fplPage, 1);
    appendLeg(waypoint("C", 1.0f, 3.0f));
    EXPECT_EQ(fp.fplSelectedLine, 0);
    EXPECT_EQ(fp.fplPage, 2);
    EXPECT_EQ(idents(), (V{"A", "B", "C"}));
}

TEST_F(PlanEditing, IdentifierInsertAppendsPastTheEndAndInsertsWithinThePlan) {
    int apt = addAirport("KAPT", 47.0f, -122.0f, 433, "SOME FIELD");
    int nav = addNavaid("NAV", 47.5f, -122.5f);
    int fix = addFix("FIXXX", 48.0f, -123.0f);
    loaded();

    std::optional<FplLeg> airport = legFromDatabase(db, WaypointKind::Airport, apt);
    ASSERT_TRUE(airport);
    EXPECT_EQ(airport->ident, "KAPT");
    EXPECT_EQ(airport->name, "SOME FIELD");
    EXPECT_EQ(airport->elevation, 433);
    EXPECT_EQ(airport->dbIndex, apt);
    EXPECT_EQ(airport->legType, LegType::None);
    std::optional<FplLeg> navaid = legFromDatabase(db, WaypointKind::Navaid, nav);
    ASSERT_TRUE(navaid);
    EXPECT_EQ(navaid->name, "NAV VOR");
    EXPECT_EQ(navaid->waypointKind, WaypointKind::Navaid);
    std::optional<FplLeg> fixLeg = legFromDatabase(db, WaypointKind::Fix, fix);
    ASSERT_TRUE(fixLeg);
    EXPECT_FLOAT_EQ(fixLeg->latitude, 48.0f);
    EXPECT_FALSE(legFromDatabase(db, WaypointKind::Fix, 1));
    EXPECT_FALSE(legFromDatabase(db, WaypointKind::Navaid, -1));
    EXPECT_FALSE(legFromDatabase(db, WaypointKind::Gap, 0));

    // Line 1 of page 1 selected, plan empty: appended, line 2 (the next empty one) selected.
    fp.fplSelectedLine = 0;
    fp.fplSelectedLeg = 1;
    insertWaypointAtSelection(*airport);
    EXPECT_EQ(fp.fplSelectedLine, 1);
    fp.fplSelectedLeg = 2;
    insertWaypointAtSelection(*fixLeg);
    EXPECT_EQ(idents(), (V{"KAPT", "FIXXX"}));

    // Line 2 (FIXXX) selected: the navaid goes before it and the selection is dropped.
    fp.fplSelectedLine = 1;
    fp.fplSelectedLeg = 2;
    insertWaypointAtSelection(*navaid);
    EXPECT_EQ(idents(), (V{"KAPT", "NAV", "FIXXX"}));
    EXPECT_EQ(fp.fplSelectedLine, kFplNoLine);
    EXPECT_EQ(fp.planSegments.size(), 2u);

    // No line selected: the waypoint goes to the end, not before some leg off the page.
    fp.fplSelectedLeg = 1;
    insertWaypointAtSelection(*airport);
    EXPECT_EQ(idents(), (V{"KAPT", "NAV", "FIXXX", "KAPT"}));
}

TEST_F(PlanEditing, DeleteNeedsTwoPressesAndDropsTheSelectionsItInvalidates) {
    int dep = addAirport("KDEP", 47.0f, -122.0f);
    int arr = addAirport("KARR", 45.0f, -122.0f);
    loaded();
    db.airports[dep].runways.push_back(Runway{});
    db.airports[arr].runways.push_back(Runway{});
    db.airports[arr].starsLoaded = 1;
    build({*legFromDatabase(db, WaypointKind::Airport, dep), waypoint("MID", 46.0f, -122.0f),
           *legFromDatabase(db, WaypointKind::Airport, arr)});
    ProcedureSelections& sel = fp.selections;
    sel.departureAirport = &db.airports[dep];
    sel.departureRunway = &db.airports[dep].runways[0];
    sel.arrivalAirport = &db.airports[arr];
    sel.arrivalRunway = &db.airports[arr].runways[0];
    sel.star = Procedure{};
    sel.approach = FinalApproach{};
    sel.approachTransition = ApproachTransition{};
    fp.arrivalPage.runwayChosen = true;
    fp.departurePage.transitionChosen = true;
    context.cdu.keys.scratchpad = "XYZ";

    // The middle leg: first press counts, second deletes; the selections stay.
    fp.fplSelectedLine = 1;
    fp.fplSelectedLeg = 2;
    pressDelete();
    EXPECT_EQ(planLegCount(), 3);
    pressDelete();
    EXPECT_EQ(idents(), (V{"KDEP", "KARR"}));
    EXPECT_EQ(fp.deletePressCount, 0);
    EXPECT_NE(sel.departureRunway, nullptr);
    EXPECT_NE(sel.arrivalRunway, nullptr);

    // The arrival airport: the arrival procedures go, the airport and the STAR stay.
    fp.fplSelectedLeg = 2;
    pressDelete();
    pressDelete();
    EXPECT_EQ(idents(), (V{"KDEP"}));
    EXPECT_EQ(sel.arrivalRunway, nullptr);
    EXPECT_FALSE(sel.approach);
    EXPECT_FALSE(sel.approachTransition);
    EXPECT_TRUE(sel.star);
    EXPECT_EQ(sel.arrivalAirport, &db.airports[arr]);
    EXPECT_EQ(db.airports[arr].starsLoaded, 0);
    EXPECT_FALSE(fp.arrivalPage.runwayChosen);
    EXPECT_FALSE(fp.departurePage.transitionChosen);
    EXPECT_TRUE(context.cdu.keys.scratchpad.empty());

    // A press count on a line past the end deletes nothing and keeps counting.
    fp.fplSelectedLeg = 2;
    pressDelete();
    pressDelete();
    EXPECT_EQ(planLegCount(), 1);
    EXPECT_EQ(fp.deletePressCount, 2);

    // Leg 1: the departure runway goes too.
    fp.deletePressCount = 0;
    fp.fplSelectedLeg = 1;
    pressDelete();
    pressDelete();
    EXPECT_EQ(planLegCount(), 0);
    EXPECT_EQ(sel.departureRunway, nullptr);
}

TEST_F(PlanEditing, TruncateOverflyAltitudeAndGap) {
    loaded();
    build({waypoint("A", 1.0f, 1.0f), waypoint("B", 1.0f, 2.0f), waypoint("C", 1.0f, 3.0f),
           waypoint("D", 1.0f, 4.0f)});
    truncateAfter(2);
    EXPECT_EQ(idents(), (V{"A", "B"}));
    EXPECT_EQ(fp.planSegments.size(), 1u);
    truncateAfter(5);  // past the end: nothing to remove
    EXPECT_EQ(planLegCount(), 2);

    toggleOverfly(1);
    EXPECT_EQ(fp.plan.legs[1].overfly, 1);
    toggleOverfly(1);
    EXPECT_EQ(fp.plan.legs[1].overfly, 0);
    toggleOverfly(7);  // no such leg

    setAltitudeConstraint(0, 350);
    EXPECT_EQ(fp.plan.legs[0].altitudeFt, 35000);
    EXPECT_TRUE(fp.plan.legs[0].altitudeIsFlightLevel);
    setAltitudeConstraint(0, 999);
    EXPECT_EQ(fp.plan.legs[0].altitudeFt, 99900);
    setAltitudeConstraint(1, 1000);
    EXPECT_EQ(fp.plan.legs[1].altitudeFt, 1000);
    EXPECT_FALSE(fp.plan.legs[1].altitudeIsFlightLevel);
    setAltitudeConstraint(1, 0);  // not a number: no constraint
    EXPECT_LT(fp.plan.legs[1].altitudeFt, 1);

    // A gap before the selected leg, the selection moving on with it.
    fp.fplSelectedLine = 1;
    fp.fplSelectedLeg = 2;
    insertGap();
    EXPECT_EQ(idents(), (V{"A", "GAP", "B"}));
    EXPECT_EQ(fp.plan.legs[1].markerFlag, 1);
    EXPECT_EQ(fp.plan.legs[1].overfly, 0);
    EXPECT_EQ(fp.fplSelectedLine, 2);
    // Without a selected line the gap goes to the end.
    fp.fplSelectedLine = kFplNoLine;
    insertGap();
    EXPECT_EQ(idents(), (V{"A", "GAP", "B", "GAP"}));
}

TEST_F(PlanEditing, OriginComesOnceFromTheNearestAirportWhileLinked) {
    addAirport("KFAR", 40.0f, -100.0f);
    addAirport("KNEAR", 47.4f, -122.3f);
    loaded();
    setAircraft(47.45f, -122.31f);
    fillOriginFromAircraft();
    EXPECT_EQ(planLegCount(), 0);  // no link: nothing known about the aircraft yet
    context.shell.simLinked = true;
    fillOriginFromAircraft();
    EXPECT_EQ(idents(), (V{"KNEAR"}));
    EXPECT_EQ(fp.plan.legs[0].waypointKind, WaypointKind::Airport);
    EXPECT_EQ(fp.plan.legs[0].dbIndex, 1);
    EXPECT_FALSE(fp.originPending);
    fillOriginFromAircraft();
    EXPECT_EQ(planLegCount(), 1);
}

TEST_F(PlanEditing, OriginWaitsForAirports) {
    setAircraft(47.45f, -122.31f);
    context.shell.simLinked = true;
    fillOriginFromAircraft();
    EXPECT_EQ(planLegCount(), 0);
    EXPECT_TRUE(fp.originPending);
}

TEST_F(PlanEditing, ClearForgetsThePlanTheChoicesAndTheStatesBuiltOnIt) {
    int dep = addAirport("KDEP", 47.0f, -122.0f);
    loaded();
    db.airports[dep].runways.push_back(Runway{});
    Runway& runway = db.airports[dep].runways[0];
    runway.sidRunwayLegs.push_back(waypoint("SIDFX", 47.1f, -122.0f));
    build({waypoint("A", 1.0f, 1.0f), waypoint("B", 1.0f, 2.0f), waypoint("C", 1.0f, 3.0f)});
    fp.selections.departureAirport = &db.airports[dep];
    fp.selections.departureRunway = &runway;
    fp.selections.sidTransition = Procedure{};
    fp.departurePage.runwayChosen = true;
    fp.arrivalPage.starChosen = true;
    fp.identCandidatesFlag = true;
    fp.planComplete = true;
    fp.fplPage = 2;
    fp.fplSelectedLine = 3;
    context.guidance.activeSegment = 1;
    context.guidance.hold.holdFixIndex = 1;
    context.guidance.hold.holdState = 1;
    context.guidance.hold.holdTurn = 1;
    context.guidance.vnav.waypointLegs = {1, 2};
    context.guidance.vnav.vnavState = 1;
    context.guidance.directTo.dtoStep = 1;
    context.guidance.directTo.dtoLegIndex = 2;

    clearFlightPlan();
    EXPECT_EQ(planLegCount(), 0);
    EXPECT_TRUE(fp.planSegments.empty());
    EXPECT_EQ(fp.routeDistanceNm, 0);
    EXPECT_TRUE(runway.sidRunwayLegs.empty());
    EXPECT_EQ(fp.selections.departureAirport, nullptr);
    EXPECT_EQ(fp.selections.departureRunway, nullptr);
    EXPECT_FALSE(fp.selections.sidTransition);
    EXPECT_FALSE(fp.departurePage.runwayChosen);
    EXPECT_FALSE(fp.arrivalPage.starChosen);
    EXPECT_FALSE(fp.identCandidatesFlag);
    EXPECT_FALSE(fp.planComplete);
    EXPECT_EQ(fp.fplPage, 1);
    EXPECT_EQ(fp.fplSelectedLine, kFplNoLine);
    EXPECT_EQ(context.guidance.activeSegment, 0);
    EXPECT_EQ(context.guidance.hold.holdState, 0);
    EXPECT_EQ(context.guidance.hold.holdTurn, 2);
    EXPECT_EQ(context.guidance.hold.holdFixIndex, -1);
    EXPECT_TRUE(context.guidance.vnav.waypointLegs.empty());
    EXPECT_EQ(context.guidance.vnav.vnavState, 4);
    EXPECT_EQ(context.guidance.directTo.dtoStep, 0);
    EXPECT_EQ(context.guidance.directTo.dtoLegIndex, -1);
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), "");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "data/Routes/fsPlan.pln"));
}

TEST_F(PlanEditing, HoldResetClearsTheFlyOverItSetOnAnExistingLeg) {
    loaded();
    build({waypoint("A", 1.0f, 1.0f), waypoint("B", 1.0f, 2.0f)});
    fp.plan.legs[1].overfly = 1;
    context.guidance.hold.holdFixIndex = 1;
    resetHold();
    EXPECT_EQ(fp.plan.legs[1].overfly, 0);
    // A fix index past the plan is simply forgotten.
    context.guidance.hold.holdFixIndex = 9;
    resetHold();
    EXPECT_EQ(context.guidance.hold.holdFixIndex, -1);
}

}  // namespace
