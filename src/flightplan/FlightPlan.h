#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "navdb/FplLeg.h"
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
// Pushes the leg at the end and rebuilds. (The FPL page moves its line selection on by one
// for each leg appended; the operations below that append say how many they did.)
void appendLeg(const FplLeg& leg);
// appendLeg for each leg in order, with one rebuild at the end.
void appendLegs(const std::vector<FplLeg>& newLegs);
// Places the leg before leg number `legNumber` (1-based); a number past the end appends
// without touching the selection. Rebuilds.
void insertLegBefore(int legNumber, const FplLeg& leg);
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
// that already has legs only clears it). True when it appended.
bool fillOriginFromAircraft();

// --- Procedures ---
// A SID accepted on the DEPARTURE page: earlier SID legs go, the runway part and the
// transition follow the origin. Returns the number of legs added.
int insertDepartureProcedure();
// The arrival selection completed on the ARRIVAL page: STAR, approach transition, approach,
// runway and end-of-approach marker go before the destination. Returns the number of legs
// appended (the end-of-approach marker is pushed without counting).
int insertArrivalProcedure();

// --- Resets ---
// Empty plan, no selections, empty waypoint list written. (DELETE FPL also resets the
// guidance modes and the pages: see deleteFlightPlan.)
void clearFlightPlan();
// Forgets the arrival runway, approach and approach transition (the arrival airport and the
// STAR stay).
void clearArrivalSelection();
