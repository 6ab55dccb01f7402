#include "pages/FplEditing.h"
#include <algorithm>

#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceModes.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"

namespace {

FplPagesState& cursor() {
    return pagesState().fpl;
}

// The 0-based index the selected line stands for; past the end when no line is selected.
size_t selectedIndexOrEnd() {
    const FplPagesState& c = cursor();
    const size_t count = static_cast<size_t>(planLegCount());
    if (c.fplSelectedLine >= kFplLinesPerPage || c.fplSelectedLeg < 1) return count;
    return std::min(static_cast<size_t>(c.fplSelectedLeg - 1), count);
}

}  // namespace

void advanceFplLineSelection(int lines) {
    FplPagesState& c = cursor();
    for (int k = 0; k < lines; ++k) {
        if (c.fplSelectedLine >= kFplLinesPerPage) return;
        if (++c.fplSelectedLine >= kFplLinesPerPage) {
            c.fplSelectedLine = 0;
            ++c.fplPage;
        }
    }
}

void appendLegAtCursor(const FplLeg& leg) {
    appendLeg(leg);
    advanceFplLineSelection();
}

void insertWaypointAtSelection(const FplLeg& leg) {
    const size_t index = selectedIndexOrEnd();
    if (index >= static_cast<size_t>(planLegCount())) {
        appendLegAtCursor(leg);
    } else {
        insertLegBefore(static_cast<int>(index) + 1, leg);
        cursor().fplSelectedLine = kFplNoLine;
    }
}

void insertGap() {
    FplLeg gap;
    gap.waypointKind = WaypointKind::Gap;
    gap.markerFlag = 1;
    insertLegBefore(static_cast<int>(selectedIndexOrEnd()) + 1, gap);
    advanceFplLineSelection();
}

void pressDelete() {
    FplPagesState& c = cursor();
    ++c.deletePressCount;
    if (c.deletePressCount < 2) return;
    const int index = c.fplSelectedLeg - 1;
    if (c.fplSelectedLine >= kFplLinesPerPage || index < 0 || index >= planLegCount()) return;
    const bool airport = planLeg(index)->waypointKind == WaypointKind::Airport;
    deleteLeg(index);
    // Deleting an airport dropped the arrival choice: the arrival page starts again.
    if (airport) clearArrivalChoice();
    c.deletePressCount = 0;
}

bool lookUpIdentCandidates(const std::string& text) {
    // Nearest first to the waypoint the new one will follow (the last leg with a position
    // before the insertion point), else to the aircraft.
    GeoPoint reference = simLinkState().aircraft.position;
    for (size_t i = selectedIndexOrEnd(); i > 0; --i) {
        const FplLeg& leg = *planLeg(static_cast<int>(i) - 1);
        if (leg.latitude != 0.0f || leg.longitude != 0.0f) {
            reference = GeoPoint{leg.latitude, leg.longitude};
            break;
        }
    }
    FplPagesState& c = cursor();
    c.identCandidates = findIdentifier(navDbState().database, text, reference);
    return !c.identCandidates.empty();
}

void fillOriginAtCursor() {
    if (fillOriginFromAircraft()) advanceFplLineSelection();
}

void insertDepartureAtCursor() {
    advanceFplLineSelection(insertDepartureProcedure());
}

void insertArrivalAtCursor() {
    advanceFplLineSelection(insertArrivalProcedure());
}

void resetDeparturePage() {
    cursor().departurePage = DeparturePageState{};
}

void resetArrivalPage() {
    cursor().arrivalPage = ArrivalPageState{};
}

void clearArrivalChoice() {
    clearArrivalSelection();
    FplPagesState& c = cursor();
    resetArrivalPage();
    c.departurePage.transitionChosen = false;
    c.procedureListPage = 0;
    clearScratchpad();
}

void deleteFlightPlan() {
    clearFlightPlan();
    clearArrivalChoice();
    resetDeparturePage();
    FplPagesState& c = cursor();
    c.identCandidatesFlag = false;
    // An empty plan has one leg page; a page or line left over from the old plan would
    // point past it.
    c.fplPage = 1;
    c.fplSelectedLine = kFplNoLine;
    c.deletePressCount = 0;
    resetPlanGuidance();
}
