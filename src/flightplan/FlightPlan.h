#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flightplan/FplLeg.h"
#include "navdb/NavDatabase.h"

// The one flight plan of the unit: legs in flying order. Leg 1 (index 0) is the origin;
// after an arrival is inserted the destination airport stays last. Marker legs (gap,
// no-link, end of approach) sit in the list like any other leg.
struct FlightPlan {
    std::vector<FplLeg> legs;
};

// The geometry between two consecutive legs, derived by rebuildPlanSegments. Segment i joins
// leg i to leg i + 1; the legs are named by index, valid until the next change of the plan
// (every change is followed by a rebuild).
struct PlanSegment {
    int32_t fromLeg = 0;
    int32_t toLeg = 0;
    double fromLat = 0.0;
    double fromLon = 0.0;
    double toLat = 0.0;
    double toLon = 0.0;
    float distanceNm = 0.0f;
    float courseTrue = 0.0f;  // 0..360
    LegType toLegType = LegType::None;
    float magVar = 0.0f;  // course shown = courseTrue - magVar
    // Legs with a waypoint kind other than None among legs 1..toLeg (the origin not counted).
    int32_t waypointOrdinal = 0;
};

// The departure and arrival choices. Airports and runways point into the database, whose
// lists never move after loading. The procedures are copies: the procedure lists they come
// from are replaced whenever a procedure file is read again.
struct ProcedureSelections {
    Airport* departureAirport = nullptr;
    Runway* departureRunway = nullptr;  // its sidRunwayLegs hold the chosen SID's runway part
    std::optional<Procedure> sidTransition;
    Airport* arrivalAirport = nullptr;
    Runway* arrivalRunway = nullptr;
    std::optional<Procedure> star;  // the chosen STAR-transition record with its legs
    std::optional<ApproachTransition> approachTransition;
    std::optional<FinalApproach> approach;
};

// FPL page lines: L1..L5 are 0..4; no line selected.
constexpr int kFplNoLine = 10;
constexpr int kFplLinesPerPage = 5;

// --- Read access ---
const FlightPlan& flightPlan();
int planLegCount();
// The leg at a 0-based index; nullptr outside the plan.
const FplLeg* planLeg(int index);
const FplLeg* lastPlanLeg();
const std::vector<PlanSegment>& planSegments();
// nullptr outside the segment list.
const PlanSegment* planSegment(int index);
int32_t routeDistanceNm();
// Leg pages of the FPL page: leg count / 5 + 1 (there is always an empty line to append on).
int fplPageCount();

// --- The rebuild ---
// Recomputes the segments and the route distance, sets planChanged and writes the
// simulator's waypoint list. Run after every change of the plan.
void rebuildPlanSegments();

// --- Editing ---
// Pushes the leg at the end, advances the FPL line selection by one (line 5 goes on to line 1
// of the next FPL page; with no line selected the selection stays as it is), rebuilds.
void appendLeg(const FplLeg& leg);
// Places the leg before leg number `legNumber` (1-based); a number past the end appends
// without touching the selection. Rebuilds.
void insertLegBefore(int legNumber, const FplLeg& leg);
// The identifier page's ACCEPT on behalf of the FPL page: the leg goes before the selected
// line's leg, or is appended when the selected line is past the end of the plan (or no line
// is selected). Afterwards an append leaves the next empty line selected and an insertion
// within the plan leaves no line selected.
void insertWaypointAtSelection(const FplLeg& leg);
// The LIST page's GAP request: a gap marker before the selected line's leg (appended when
// that is past the end), rebuilt, the line selection advanced by one. The caller shows page 4.
void insertGap();
// One press of DEL: the second press deletes the selected leg when it exists (an airport
// leg also drops the arrival procedures; leg 1 also drops the departure runway).
void pressDelete();
// Removes the leg at a 0-based index with the delete rule's effects on the selections.
void deleteLeg(int index);
// Keeps legs 1..legNumber and removes the rest.
void truncateAfter(int legNumber);
void toggleOverfly(int index);
// Direct-to: the legs strictly between the two indices go (none when the next one is not after
// the direct-to leg), the direct-to leg becomes a direct-to-fix leg (DF) made by direct-to,
// and the plan is rebuilt.
void makeDirectTo(int dtoIndex, int nxIndex);
// An entered altitude constraint: below 1000 a flight level (x 100), else feet.
void setAltitudeConstraint(int index, int value);
// The FPL page's origin fill: when the origin is still pending, the simulator link is up and
// the plan is empty, appends the airport nearest to the aircraft and clears the flag (a plan
// that already has legs only clears it).
void fillOriginFromAircraft();
// Looks the text up in the database into the FPL page's candidate list; true when something
// matched.
bool lookUpIdentCandidates(const std::string& text);

// --- Procedures ---
// A SID accepted on the DEPARTURE page: earlier SID legs go, the runway part and the
// transition follow the origin.
void insertDepartureProcedure();
// The arrival selection completed on the ARRIVAL page: STAR, approach transition, approach,
// runway and end-of-approach marker go before the destination.
void insertArrivalProcedure();

// --- Resets ---
// DELETE FPL and start-up: empty plan, no selections, page states and dependent guidance
// states reset, empty waypoint list written.
void clearFlightPlan();
// Forgets the arrival runway, approach and approach transition (the arrival airport and the
// STAR stay) and sends the arrival page back to its first step.
void clearArrivalSelection();
// The departure and arrival page step states.
void resetDeparturePage();
void resetArrivalPage();
