#include <gtest/gtest.h>

#include "PlanFixture.h"
#include "navdb/Procedures.h"
#include "pages/IdentPage.h"

namespace {

using V = std::vector<std::string>;

// Leg lines in the procedure-file layout: TF carries ident, position, course and altitude.
std::string tf(const std::string& ident, double lat, double lon) {
    return "TF," + ident + "," + std::to_string(lat) + "," + std::to_string(lon) +
           ",0,SEA,0,0,180,0,0,5000,0,0,0\n";
}

const std::string kDepartureFile =
    "SID,DEPA,16L,2\n"
    "CA,0,163,0,1000,0,0,0\n" +
    tf("DFIX1", 47.3, -122.3) + tf("DFIX2", 47.2, -122.3) +
    "\n"
    "SID,DEPA,TRANA,2\n" +
    tf("DFIX2", 47.2, -122.3) + tf("TFIX3", 47.0, -122.3) +
    "\n"
    "SID,DEPA,TRANB,2\n" +
    tf("OTHER", 46.9, -122.5) + tf("TFIX4", 46.8, -122.5) + "\n";

const std::string kArrivalFile =
    "STAR,ARRA,34R,2\n" + tf("AFIX1", 45.9, -122.0) + tf("AFIX2", 45.7, -122.0) + tf("AFIX3", 45.5, -122.0) +
    "\n"
    "APPTR,I34R,34R,AFIX3\n" +
    tf("AFIX3", 45.5, -122.0) + tf("IAF1", 45.4, -122.0) +
    "\n"
    "APPTR,I34R,34R,LONER\n" +
    tf("LONER", 44.0, -121.0) + tf("LONE2", 44.2, -121.0) +
    "\n"
    "FINAL,I34R,34R,I,4,110.3,ISEA\n" +
    tf("IAF1", 45.4, -122.0) + tf("FAF1", 45.3, -122.0) + tf("MAP1", 45.2, -122.0) + "\n";

struct ProcedureInsert : PlanFixture {
    int dep = 0;
    int arr = 0;
    ProcedureLists lists;

    void SetUp() override {
        dep = addAirport(db, "KDEP", 47.5f, -122.3f);
        arr = addAirport(db, "KARR", 45.0f, -122.0f);
        loaded();
        Runway r16;
        r16.ident = "16L";
        db.airports[dep].runways.push_back(r16);
        Runway r34;
        r34.ident = "34R";
        r34.elevationFt = 250;
        r34.thresholdLatitude = 45.1f;
        r34.thresholdLongitude = -122.05f;
        db.airports[arr].runways.push_back(r34);

        Airport& d = db.airports[dep];
        d.dbIndex = dep;
        d.selectedRunwayIndex = 0;
        readSids(d, lists, kDepartureFile);
        d.sidIndex = 0;
        buildSidLists(d, lists);
        fillSidRunwayLegs(d, lists);
        ASSERT_EQ(lists.sidTransitions.size(), 2u);

        Airport& a = db.airports[arr];
        a.dbIndex = arr;
        a.selectedRunwayIndex = 0;
        readStars(a, lists, kArrivalFile);
        readApproachTransitions(a.runways[0], a, kArrivalFile);
        readFinalApproaches(a.runways[0], a, kArrivalFile);
        ASSERT_EQ(a.runways[0].approaches.transitions.size(), 2u);

        fp.selections.departureAirport = &d;
        fp.selections.departureRunway = &d.runways[0];
        fp.selections.arrivalAirport = &a;
        fp.selections.arrivalRunway = &a.runways[0];
    }
    FplLeg airportLeg(int index) { return legFromCandidate(db, WaypointKind::Airport, index); }
    const Runway& arrivalRunway() { return db.airports[arr].runways[0]; }
};

TEST_F(ProcedureInsert, SidTransitionsJoinTheRunwayPartOrFollowANoLinkAndReplaceAnEarlierSid) {
    build({airportLeg(dep), waypoint("ENRT", 46.0f, -122.0f)});
    cur.fplSelectedLine = 1;
    fp.selections.sidTransition = lists.sidTransitions[0];  // TRANA starts at DFIX2
    insertDepartureAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "(2)", "DFIX1", "DFIX2", "TFIX3", "ENRT"}));
    EXPECT_EQ(fp.plan.legs[2].departureProcLeg, 1);
    // Four legs inserted: line 2 moves on to line 6, which is line 1 of page 2.
    EXPECT_EQ(cur.fplSelectedLine, 0);
    EXPECT_EQ(cur.fplPage, 2);

    // A transition starting elsewhere follows a no-link marker; a second SID replaces every
    // leg of the first, also the one right after the origin.
    fp.selections.sidTransition = lists.sidTransitions[1];  // TRANB starts at OTHER
    insertDepartureAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "(2)", "DFIX1", "DFIX2", "NOLINK", "OTHER", "TFIX4", "ENRT"}));
    EXPECT_EQ(fp.plan.legs[4].markerFlag, 0);

    // Without a transition only the runway part goes in.
    fp.selections.sidTransition.reset();
    insertDepartureAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "(2)", "DFIX1", "DFIX2", "ENRT"}));
}

TEST_F(ProcedureInsert, StarJoinsThePlansLastWaypointOrFollowsANoLink) {
    build({airportLeg(dep), waypoint("AFIX1", 45.9f, -122.0f), airportLeg(arr)});
    fp.selections.star = arrivalRunway().stars[0];
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "AFIX1", "AFIX2", "AFIX3", "KARR"}));

    fp.plan.legs = {airportLeg(dep), waypoint("ENRT", 46.5f, -122.0f), airportLeg(arr)};
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "ENRT", "NOLINK", "AFIX1", "AFIX2", "AFIX3", "KARR"}));

    // With only the destination in the plan there is nothing to join: the whole STAR.
    fp.plan.legs = {airportLeg(arr)};
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"AFIX1", "AFIX2", "AFIX3", "KARR"}));
}

TEST_F(ProcedureInsert, ArrivalEndsWithApproachRunwayEndMarkerAndDestination) {
    build({airportLeg(dep), waypoint("AFIX1", 45.9f, -122.0f), airportLeg(arr)});
    fp.selections.star = arrivalRunway().stars[0];
    fp.selections.approachTransition = arrivalRunway().approaches.transitions[0];
    fp.selections.approach = arrivalRunway().approaches.finals[0];
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(),
              (V{"KDEP", "AFIX1", "AFIX2", "AFIX3", "IAF1", "FAF1", "MAP1", "34R", "EOA", "KARR"}));
    const FplLeg& runway = fp.plan.legs[7];
    EXPECT_EQ(runway.waypointKind, WaypointKind::Runway);
    EXPECT_EQ(runway.altitudeFt, 250);
    EXPECT_FLOAT_EQ(runway.latitude, 45.1f);
    EXPECT_EQ(fp.plan.legs[8].markerFlag, 1);

    // Completing the arrival again replaces the earlier one instead of doubling it.
    fp.selections.star.reset();
    fp.selections.approachTransition.reset();
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "AFIX1", "IAF1", "FAF1", "MAP1", "34R", "EOA", "KARR"}));
}

TEST_F(ProcedureInsert, ApproachLinksToTransitionOrStarOrStandsAlone) {
    // An approach transition that does not start at the plan's last waypoint keeps its legs
    // behind a no-link marker; the approach is then compared with the transition's last fix.
    build({airportLeg(dep), waypoint("ENRT", 46.5f, -122.0f), airportLeg(arr)});
    fp.selections.approachTransition = arrivalRunway().approaches.transitions[1];  // LONER..LONE2
    fp.selections.approach = arrivalRunway().approaches.finals[0];
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "ENRT", "NOLINK", "LONER", "LONE2", "NOLINK", "IAF1", "FAF1", "MAP1",
                               "34R", "EOA", "KARR"}));

    // STAR without transition: the approach is compared with the STAR's last fix (AFIX3).
    fp.plan.legs = {airportLeg(dep), waypoint("AFIX1", 45.9f, -122.0f), airportLeg(arr)};
    fp.selections.approachTransition.reset();
    fp.selections.star = arrivalRunway().stars[0];
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(),
              (V{"KDEP", "AFIX1", "AFIX2", "AFIX3", "NOLINK", "IAF1", "FAF1", "MAP1", "34R", "EOA", "KARR"}));

    // Neither: every approach leg, no marker.
    fp.plan.legs = {airportLeg(dep), waypoint("ENRT", 46.5f, -122.0f), airportLeg(arr)};
    fp.selections.star.reset();
    insertArrivalAtCursor();
    EXPECT_EQ(planIdents(), (V{"KDEP", "ENRT", "IAF1", "FAF1", "MAP1", "34R", "EOA", "KARR"}));
}

}  // namespace
