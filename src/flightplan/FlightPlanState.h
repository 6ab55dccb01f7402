#pragma once

#include <cstdint>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "navdb/NavDatabase.h"

// Step state of the DEPARTURE page.
struct DeparturePageState {
    bool runwayChosen = false;
    bool sidChosen = false;
    bool noSid = false;
    bool transitionChosen = false;
    int32_t runwayPosition = -1;
    int32_t sidPosition = -1;
    int32_t step = 1;
};

// Step state of the ARRIVAL page.
struct ArrivalPageState {
    bool runwayChosen = false;
    bool starChosen = false;
    bool starTransitionChosen = false;
    bool approachChosen = false;
    bool approachTransitionChosen = false;
    bool skipStar = false;
    bool skipApproachTransition = false;
    int32_t runwayPosition = -1;
    int32_t starPosition = -1;
    int32_t step = 1;
};

// One line of the FPL CLR page: a plan leg outside the procedures, with its number in the
// plan and the course and distance from the kept leg before it.
struct ClearanceLine {
    FplLeg leg;
    int32_t legNumber = 0;
    double distanceNm = 0.0;
    double courseDeg = 0.0;
};

// One line of the PPOS TO WPT page: a waypoint leg and where it stood in the plan.
struct PposWaypoint {
    FplLeg leg;
    int32_t legIndex = 0;
};

// State owned by the flightplan/ folder. One instance lives in the Fms context; code reaches it
// through fms().flightplan.
struct FlightPlanState {
    FlightPlan plan;
    std::vector<PlanSegment> planSegments;
    int32_t routeDistanceNm = 0;  // sum of the segment distances, each truncated to whole NM
    bool planChanged = false;     // set by each rebuild, consumed by guidance
    ProcedureSelections selections;

    // FPL page cursor, shared with the identifier and LIST pages.
    int fplPage = 1;                   // 1-based; leg pages, then the FPL SUMMARY
    int fplSelectedLine = kFplNoLine;  // 0..4 for L1..L5
    int fplPreviousSelectedLine = kFplNoLine;
    int fplSelectedLeg = 0;  // 1-based leg number on the selected line
    int deletePressCount = 0;
    bool promptsShown = false;  // DEL/INFO/TUNE/OVFLY on screen
    // The records matching an identifier typed on the FPL page (or an INFO request).
    IdentMatches identCandidates;
    bool identCandidatesFlag = false;  // set by INFO when the leg matched records
    bool originPending = true;         // the origin is filled once from the aircraft
    bool planComplete = false;         // departure runway and arrival airport chosen

    DeparturePageState departurePage;
    ArrivalPageState arrivalPage;
    int procedureListPage = 0;  // shared by the departure and arrival pages

    int fplMenuPage = 1;  // kept between visits

    // FPL CLR: a snapshot taken on entry.
    std::vector<ClearanceLine> clearanceLines;
    int clearancePage = 1;
    // PPOS TO WPT: the waypoint legs, a snapshot taken on entry.
    std::vector<PposWaypoint> pposWaypoints;
    int pposPage = 1;
};
