#include "flightplan/FlightPlan.h"

#include <algorithm>

#include "flightplan/FlightPlanState.h"
#include "navdb/NavDbState.h"
#include "simlink/SimLinkState.h"
#include "flightplan/PlanExport.h"
#include "geo/Geodesy.h"

namespace {

FlightPlanState& state() {
    return flightPlanState();
}
std::vector<FplLeg>& legs() {
    return flightPlanState().plan.legs;
}

GeoPoint positionOf(const FplLeg& leg) {
    return GeoPoint{leg.latitude, leg.longitude};
}

GeoPoint aircraftPosition() {
    const AircraftState& a = simLinkState().aircraft;
    return GeoPoint{a.positionF.lat, a.positionF.lon};
}

// The position of the navaid a VD or VR leg names: of the records with its identifier (see
// findIdentifier), the one nearest to the aircraft, when closer than 6000 NM (a single record
// is taken wherever it is). Nothing when no record qualifies.
std::optional<GeoPoint> recommendedNavaidPosition(const NavDatabase& db, const std::string& ident) {
    const GeoPoint aircraft = aircraftPosition();
    const IdentMatches m = findIdentifier(db, ident, aircraft);
    if (m.empty()) return std::nullopt;
    const std::optional<GeoPoint> nearest = recordPosition(db, m.front());
    if (m.size() == 1 || (nearest && distanceNm(aircraft, *nearest) < 6000.0f)) return nearest;
    return std::nullopt;
}

float variationAt(const GeoPoint& p) {
    return magneticVariationAt(navDbState().database, p.lat, p.lon);
}

PlanSegment buildSegment(const std::vector<FplLeg>& plan, size_t i, int32_t ordinal) {
    const NavDatabase& db = navDbState().database;
    const FplLeg& from = plan[i];
    const FplLeg& to = plan[i + 1];
    PlanSegment s;
    s.fromLeg = static_cast<int32_t>(i);
    s.toLeg = static_cast<int32_t>(i + 1);
    s.toLegType = to.legType;
    s.waypointOrdinal = ordinal;
    GeoPoint start = positionOf(from);
    GeoPoint end = positionOf(to);
    // A hold leg has no position of its own: the leg after it starts at the hold fix.
    if (from.waypointKind == WaypointKind::Hold && i >= 1) start = positionOf(plan[i - 1]);
    s.magVar = variationAt(end);

    switch (to.legType) {
        case LegType::CA:
            start = aircraftPosition();
            s.magVar = variationAt(start);
            destinationPoint(start, end, static_cast<float>(to.courseDeg) + s.magVar, 20.0f);
            break;
        case LegType::VD:
            if (std::optional<GeoPoint> p = recommendedNavaidPosition(db, to.navaidIdent)) end = *p;
            break;
        case LegType::CF:
            if (to.ident != to.navaidIdent)
                destinationPoint(end, start, static_cast<float>(to.courseDeg) + s.magVar + 180.0f,
                                 to.distanceNm);
            break;
        case LegType::VR:
            start = positionOf(to);
            if (std::optional<GeoPoint> p = recommendedNavaidPosition(db, to.navaidIdent)) start = *p;
            s.magVar = variationAt(start);
            destinationPoint(start, end, static_cast<float>(to.radialDeg) + s.magVar, 20.0f);
            break;
        case LegType::VI:
            // An intercept needs the leg after it; as the last leg it keeps the plain geometry.
            if (i + 2 < plan.size()) {
                const FplLeg& next = plan[i + 2];
                start = positionOf(next);
                s.magVar = variationAt(start);
                destinationPoint(start, end, static_cast<float>(next.courseDeg) + s.magVar, 20.0f);
            }
            break;
        default:
            break;
    }

    s.fromLat = start.lat;
    s.fromLon = start.lon;
    s.toLat = end.lat;
    s.toLon = end.lon;
    if (start.lat == 0.0 || end.lat == 0.0) {
        s.distanceNm = 0.0f;
        s.courseTrue = 0.0f;
    } else {
        s.distanceNm = distanceNm(start, end);
        float course = initialBearing(start, end);
        if (course > 360.0f)
            course -= 360.0f;
        else if (course < 0.0f)
            course += 360.0f;
        s.courseTrue = course;
    }
    return s;
}

FplLeg markerLeg(WaypointKind kind, int32_t markerFlag) {
    FplLeg leg;
    leg.waypointKind = kind;
    leg.markerFlag = markerFlag;
    return leg;
}

// Markers a procedure insertion adds belong to that procedure, so that choosing the procedure
// again replaces them with its legs instead of leaving them behind.
FplLeg departureNoLink() {
    FplLeg leg = markerLeg(WaypointKind::NoLink, 0);
    leg.departureProcLeg = 1;
    return leg;
}

FplLeg arrivalMarker(WaypointKind kind, int32_t markerFlag) {
    FplLeg leg = markerLeg(kind, markerFlag);
    leg.arrivalProcLeg = 1;
    return leg;
}

// A leg an earlier arrival insertion put in: procedure legs, their markers, the runway.
bool fromEarlierArrival(const FplLeg& leg) {
    return leg.arrivalProcLeg != 0 || leg.waypointKind == WaypointKind::Runway;
}

}  // namespace

// --- Read access ---

const FlightPlan& flightPlan() {
    return state().plan;
}
int planLegCount() {
    return static_cast<int>(legs().size());
}

const FplLeg* planLeg(int index) {
    if (index < 0 || static_cast<size_t>(index) >= legs().size()) return nullptr;
    return &legs()[static_cast<size_t>(index)];
}

const FplLeg* lastPlanLeg() {
    return legs().empty() ? nullptr : &legs().back();
}
const std::vector<PlanSegment>& planSegments() {
    return state().planSegments;
}

const PlanSegment* planSegment(int index) {
    const std::vector<PlanSegment>& s = state().planSegments;
    if (index < 0 || static_cast<size_t>(index) >= s.size()) return nullptr;
    return &s[static_cast<size_t>(index)];
}

int32_t routeDistanceNm() {
    return state().routeDistanceNm;
}
int fplPageCount() {
    return planLegCount() / kFplLinesPerPage + 1;
}

// --- The rebuild ---

void rebuildPlanSegments() {
    FlightPlanState& st = state();
    const std::vector<FplLeg>& plan = st.plan.legs;
    st.planSegments.clear();
    st.routeDistanceNm = 0;
    int32_t ordinal = 0;
    for (size_t i = 0; i + 1 < plan.size(); ++i) {
        if (plan[i + 1].waypointKind != WaypointKind::None) ++ordinal;
        PlanSegment s = buildSegment(plan, i, ordinal);
        st.routeDistanceNm += static_cast<int32_t>(s.distanceNm);
        st.planSegments.push_back(s);
    }
    st.planChanged = true;
    exportSimulatorPlan();
}

// --- Editing ---

void appendLeg(const FplLeg& leg) {
    legs().push_back(leg);
    rebuildPlanSegments();
}

void appendLegs(const std::vector<FplLeg>& newLegs) {
    if (newLegs.empty()) return;
    legs().insert(legs().end(), newLegs.begin(), newLegs.end());
    rebuildPlanSegments();
}

void insertLegBefore(int legNumber, const FplLeg& leg) {
    if (legNumber < 1 || static_cast<size_t>(legNumber) > legs().size()) {
        legs().push_back(leg);
    } else {
        legs().insert(legs().begin() + (legNumber - 1), leg);
    }
    rebuildPlanSegments();
}

void deleteLeg(int index) {
    if (index < 0 || static_cast<size_t>(index) >= legs().size()) return;
    ProcedureSelections& sel = state().selections;
    if (legs()[static_cast<size_t>(index)].waypointKind == WaypointKind::Airport) {
        clearArrivalSelection();
        sel.arrivalRunway = nullptr;
    }
    if (index == 0) sel.departureRunway = nullptr;
    legs().erase(legs().begin() + index);
    rebuildPlanSegments();
}

void truncateAfter(int legNumber) {
    if (legNumber < 0 || static_cast<size_t>(legNumber) >= legs().size()) return;
    legs().erase(legs().begin() + legNumber, legs().end());
    rebuildPlanSegments();
}

void toggleOverfly(int index) {
    if (index < 0 || index >= planLegCount()) return;
    FplLeg& leg = legs()[static_cast<size_t>(index)];
    leg.overfly = leg.overfly ? 0 : 1;
    rebuildPlanSegments();
}

void makeDirectTo(int dtoIndex, int nxIndex) {
    const int count = planLegCount();
    if (dtoIndex < 0 || dtoIndex >= count) return;
    if (nxIndex > dtoIndex + 1 && nxIndex < count)
        legs().erase(legs().begin() + dtoIndex + 1, legs().begin() + nxIndex);
    FplLeg& leg = legs()[static_cast<size_t>(dtoIndex)];
    leg.directTo = true;
    leg.legType = LegType::DF;
    rebuildPlanSegments();
}

void setAltitudeConstraint(int index, int value) {
    if (index < 0 || index >= planLegCount()) return;
    FplLeg& leg = legs()[static_cast<size_t>(index)];
    if (value < 1000) {
        leg.altitudeFt = value * 100;
        leg.altitudeIsFlightLevel = true;
    } else {
        leg.altitudeFt = value;
        leg.altitudeIsFlightLevel = false;
    }
    rebuildPlanSegments();
}

bool fillOriginFromAircraft() {
    FlightPlanState& st = state();
    if (!st.originPending || !simLinkState().simLinked) return false;
    // A plan begun another way (LIST page, a stored route) already has its first leg; the
    // nearest airport would only land at its end.
    if (!st.plan.legs.empty()) {
        st.originPending = false;
        return false;
    }
    const NavDatabase& db = navDbState().database;
    // Without airports there is nothing to fill in; the origin stays pending.
    if (!isSet(db.airportsLoaded) || db.airports.empty()) return false;
    const AircraftState& a = simLinkState().aircraft;
    appendLeg(nearestAirport(db, a.positionF.lat, a.positionF.lon));
    st.originPending = false;
    return true;
}

// --- Procedures ---

int insertDepartureProcedure() {
    FlightPlanState& st = state();
    if (legs().empty()) return 0;
    FplLeg origin = legs().front();
    legs().erase(legs().begin());
    // Legs of an earlier SID go, wherever they stand after the origin.
    std::erase_if(legs(), [](const FplLeg& leg) { return leg.departureProcLeg != 0; });

    std::vector<FplLeg> added;
    std::string lastIdent;
    if (st.selections.departureRunway != nullptr) {
        for (const FplLeg& leg : st.selections.departureRunway->sidRunwayLegs) {
            added.push_back(leg);
            lastIdent = leg.ident;
        }
    }
    const std::optional<Procedure>& transition = st.selections.sidTransition;
    if (transition && transition->transitionName != "NONE" && !transition->legs.empty()) {
        const std::vector<FplLeg>& t = transition->legs;
        size_t first = 1;
        if (t.front().ident != lastIdent) {
            added.push_back(departureNoLink());
            first = 0;
        }
        added.insert(added.end(), t.begin() + static_cast<std::ptrdiff_t>(first), t.end());
    }

    legs().insert(legs().begin(), origin);
    legs().insert(legs().begin() + 1, added.begin(), added.end());
    rebuildPlanSegments();
    return static_cast<int>(added.size());
}

int insertArrivalProcedure() {
    FlightPlanState& st = state();
    if (legs().empty()) return 0;
    FplLeg destination = legs().back();
    legs().pop_back();
    // A new arrival replaces the one inserted before, as a new SID replaces the old one.
    std::erase_if(legs(), fromEarlierArrival);
    const ProcedureSelections& sel = st.selections;
    int appended = 0;
    auto append = [&appended](const FplLeg& leg) {
        appendLeg(leg);
        ++appended;
    };

    auto appendFrom = [&append](const std::vector<FplLeg>& list, size_t first) {
        for (size_t k = first; k < list.size(); ++k) append(list[k]);
    };
    auto lastIdentIs = [](const std::string& ident) {
        return !legs().empty() && legs().back().ident == ident;
    };

    std::string lastStarIdent;
    if (sel.star && !sel.star->legs.empty()) {
        const std::vector<FplLeg>& star = sel.star->legs;
        // An empty plan has nothing to join: the whole STAR goes in without a marker.
        if (legs().empty()) {
            appendFrom(star, 0);
        } else if (!lastIdentIs(star.front().ident)) {
            append(arrivalMarker(WaypointKind::NoLink, 0));
            appendFrom(star, 0);
        } else {
            appendFrom(star, 1);
        }
        lastStarIdent = star.back().ident;
    }

    if (sel.approachTransition && !sel.approachTransition->legs.empty()) {
        const std::vector<FplLeg>& t = sel.approachTransition->legs;
        if (lastIdentIs(t.front().ident)) {
            appendFrom(t, 1);
        } else {
            // A transition that does not start where the plan ends still leads to the final:
            // its legs follow a no-link marker rather than being dropped.
            append(arrivalMarker(WaypointKind::NoLink, 0));
            appendFrom(t, 0);
        }
    }

    if (sel.approach) {
        const std::vector<FplLeg>& approach = sel.approach->legs;
        bool joinCheck = false;
        std::string joinIdent;
        if (sel.approachTransition) {
            joinCheck = true;
            if (!sel.approachTransition->legs.empty()) joinIdent = sel.approachTransition->legs.back().ident;
        } else if (sel.star) {
            joinCheck = true;
            joinIdent = lastStarIdent;
        }
        if (!approach.empty()) {
            if (joinCheck && approach.front().ident != joinIdent) {
                append(arrivalMarker(WaypointKind::NoLink, 0));
                appendFrom(approach, 0);
            } else if (joinCheck) {
                appendFrom(approach, 1);
            } else {
                appendFrom(approach, 0);
            }
        }
        if (sel.arrivalRunway != nullptr) {
            FplLeg runway;
            runway.waypointKind = WaypointKind::Runway;
            runway.ident = sel.arrivalRunway->ident;
            runway.altitudeFt = sel.arrivalRunway->elevationFt;
            runway.latitude = sel.arrivalRunway->thresholdLatitude;
            runway.longitude = sel.arrivalRunway->thresholdLongitude;
            append(runway);
        }
        legs().push_back(arrivalMarker(WaypointKind::EndOfApproach, 1));
    }
    append(destination);
    return appended;
}

// --- Resets ---

void clearArrivalSelection() {
    FlightPlanState& st = state();
    ProcedureSelections& sel = st.selections;
    sel.arrivalRunway = nullptr;
    sel.approach.reset();
    sel.approachTransition.reset();
    if (sel.arrivalAirport != nullptr) sel.arrivalAirport->starsLoaded = 0;
}

void clearFlightPlan() {
    FlightPlanState& st = state();
    st.plan.legs.clear();
    if (st.selections.departureRunway != nullptr) st.selections.departureRunway->sidRunwayLegs.clear();
    // The arrival airport's STARs are to be read again: forget the arrival choice first.
    clearArrivalSelection();
    st.selections = ProcedureSelections{};
    st.planSegments.clear();
    st.routeDistanceNm = 0;
    st.planComplete = false;
    exportSimulatorPlan();
}
