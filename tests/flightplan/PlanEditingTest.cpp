#include <gtest/gtest.h>

#include <filesystem>

#include "PlanFixture.h"
#include "pages/IdentPage.h"

namespace {

using PlanEditing = PlanFixture;
using V = std::vector<std::string>;

TEST_F(PlanEditing, InsertsGapsOriginAndTheAltitudeBoundary) {
    loaded();
    build({waypoint("A", 1.0f, 1.0f), waypoint("B", 1.0f, 2.0f)});
    // Without a selected line an insert appends, whatever leg an earlier selection left.
    cur.fplSelectedLine = kFplNoLine;
    cur.fplSelectedLeg = 1;
    insertWaypointAtSelection(waypoint("C", 1.0f, 3.0f));
    EXPECT_EQ(planIdents(), (V{"A", "B", "C"}));
    cur.fplSelectedLine = 1;
    cur.fplSelectedLeg = 2;
    insertGap();
    EXPECT_EQ(planIdents(), (V{"A", "GAP", "B", "C"}));
    EXPECT_EQ(fp.plan.legs[1].markerFlag, 1);
    EXPECT_EQ(cur.fplSelectedLine, 2);

    setAltitudeConstraint(0, 999);
    EXPECT_EQ(fp.plan.legs[0].altitudeFt, 99900);
    setAltitudeConstraint(0, 1000);
    EXPECT_EQ(fp.plan.legs[0].altitudeFt, 1000);

    // With the link up but no airports loaded there is no origin to fill in yet.
    fp.plan.legs.clear();
    context.simlink.simLinked = true;
    fillOriginFromAircraft();
    EXPECT_TRUE(fp.plan.legs.empty());
    EXPECT_TRUE(fp.originPending);
    // A plan begun another way keeps its legs: no airport is added at its end.
    addAirport(db, "KAPT", 1.0f, 1.0f);
    build({waypoint("A", 1.0f, 1.0f)});
    fillOriginFromAircraft();
    EXPECT_EQ(planIdents(), (V{"A"}));
    EXPECT_FALSE(fp.originPending);
}

TEST_F(PlanEditing, DeletingAnAirportOrTheFirstLegDropsTheChoicesBuiltOnIt) {
    int dep = addAirport(db, "KDEP", 47.0f, -122.0f);
    int arr = addAirport(db, "KARR", 45.0f, -122.0f);
    loaded();
    db.airports[dep].runways.push_back(Runway{});
    db.airports[arr].runways.push_back(Runway{});
    db.airports[arr].starsLoaded = 1;
    build({legFromCandidate(db, WaypointKind::Airport, dep), waypoint("MID", 46.0f, -122.0f),
           legFromCandidate(db, WaypointKind::Airport, arr)});
    ProcedureSelections& sel = fp.selections;
    sel.departureRunway = &db.airports[dep].runways[0];
    sel.arrivalAirport = &db.airports[arr];
    sel.arrivalRunway = &db.airports[arr].runways[0];
    sel.star = Procedure{};
    sel.approach = FinalApproach{};

    deleteLeg(1);  // a fix: the choices stay
    EXPECT_NE(sel.arrivalRunway, nullptr);
    deleteLeg(1);  // the arrival airport: its procedures go, the airport and the STAR stay
    EXPECT_EQ(planIdents(), (V{"KDEP"}));
    EXPECT_EQ(sel.arrivalRunway, nullptr);
    EXPECT_FALSE(sel.approach);
    EXPECT_TRUE(sel.star);
    EXPECT_EQ(sel.arrivalAirport, &db.airports[arr]);
    EXPECT_EQ(db.airports[arr].starsLoaded, 0);  // read again on the next choice
    EXPECT_NE(sel.departureRunway, nullptr);
    deleteLeg(0);
    EXPECT_EQ(sel.departureRunway, nullptr);
}

TEST_F(PlanEditing, ClearForgetsThePlanTheChoicesAndTheStatesBuiltOnIt) {
    int dep = addAirport(db, "KDEP", 47.0f, -122.0f);
    loaded();
    db.airports[dep].runways.push_back(Runway{});
    Runway& runway = db.airports[dep].runways[0];
    runway.sidRunwayLegs.push_back(waypoint("SIDFX", 47.1f, -122.0f));
    build({waypoint("A", 1.0f, 1.0f), waypoint("B", 1.0f, 2.0f), waypoint("C", 1.0f, 3.0f)});
    fp.selections.departureRunway = &runway;
    cur.departurePage.runwayChosen = true;
    cur.fplPage = 2;
    context.guidance.activeSegment = 1;
    context.guidance.hold.holdState = 1;
    context.guidance.vnav.vnavState = 1;
    context.guidance.directTo.dtoStep = 1;

    deleteFlightPlan();
    EXPECT_TRUE(fp.plan.legs.empty());
    EXPECT_TRUE(fp.planSegments.empty());
    EXPECT_TRUE(runway.sidRunwayLegs.empty());
    EXPECT_EQ(fp.selections.departureRunway, nullptr);
    EXPECT_FALSE(cur.departurePage.runwayChosen);
    EXPECT_EQ(cur.fplPage, 1);
    EXPECT_EQ(context.guidance.activeSegment, 0);
    EXPECT_EQ(context.guidance.hold.holdState, 0);
    EXPECT_EQ(context.guidance.vnav.vnavState, 4);
    EXPECT_EQ(context.guidance.directTo.dtoStep, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "data/Routes/fsPlan.pln"));
    EXPECT_EQ(dir.read("data/Routes/fsPlan.pln"), "");
}

}  // namespace
