#include <string>

#include "pages/Paging.h"
#include "pages/FplEditing.h"
#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "pages/PagesState.h"
#include "guidance/GuidanceState.h"
#include "simlink/SimLinkState.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "pages/PageDrawing.h"
#include "pages/FplPages.h"
#include "geo/Geodesy.h"
#include "pages/RoutePages.h"

namespace {

constexpr int kMaxClearanceLegs = 99;
constexpr int kClearanceLinesPerPage = 5;
constexpr int kPposLinesPerPage = 7;
constexpr float kTimeToGoMinimumKt = 40.0f;

// Ten texts per menu page: L1..L5 then R1..R5.
constexpr const char* kMenuTexts[2][10] = {
    {"NORMAL", "CLEARANCE", "PPOS TO WPT", "DEPART", "DELETE FPL", "STORE FPL", "", "RAIM PRED", "ARRIVE",
     "RETURN"},
    {"COMPRESSED", "WPT TO DEST", "WPT DEFN", "FPL WIND", "", "INVERT FPL", "", "", "TORVANE RTE", "RETURN"},
};

// PREV and NEXT on the list pages: NEXT only while the plan fills more than one FPL page.
void stepListPage(int& page, int pageCount) {
    KeyState& keys = cduState().keys;
    if (keys.pendingFunctionKey == kFnNext && fplPageCount() <= 1) {
        resetFunctionKey();
        return;
    }
    stepPage(page, pageCount);
}

bool enteredFromAnotherPage() {
    const CduState& cdu = cduState();
    return cdu.previousPage != cdu.currentPage;
}

void buildClearance() {
    FlightPlanState& st = flightPlanState();
    FplPagesState& cur = pagesState().fpl;
    cur.clearanceLines.clear();
    const int magVar = simLinkState().aircraft.magVarIntDeg;
    const std::vector<FplLeg>& legs = st.plan.legs;
    for (size_t i = 0; i < legs.size(); ++i) {
        if (static_cast<int>(cur.clearanceLines.size()) >= kMaxClearanceLegs) break;
        const FplLeg& leg = legs[i];
        if (leg.departureProcLeg || leg.arrivalProcLeg) continue;
        ClearanceLine line;
        line.leg = leg;
        line.legNumber = static_cast<int32_t>(i + 1);
        if (!cur.clearanceLines.empty()) {
            const FplLeg& before = cur.clearanceLines.back().leg;
            line.distanceNm =
                distanceNmCosine(leg.latitude, leg.longitude, before.latitude, before.longitude);
            // The magnetic course from the kept leg before to this one.
            line.courseDeg = normalize360(
                initialBearingCosine(before.latitude, before.longitude, leg.latitude, leg.longitude) -
                magVar);
        }
        cur.clearanceLines.push_back(line);
    }
    cur.clearancePage = 0;
}

void buildPposWaypoints() {
    FlightPlanState& st = flightPlanState();
    FplPagesState& cur = pagesState().fpl;
    cur.pposWaypoints.clear();
    for (size_t i = 0; i < st.plan.legs.size(); ++i) {
        if (st.plan.legs[i].waypointKind == WaypointKind::None) continue;
        cur.pposWaypoints.push_back(PposWaypoint{st.plan.legs[i], static_cast<int32_t>(i)});
    }
    cur.pposPage = 0;
}

// Distance from the aircraft along the plan to the leg at `legIndex`: to the end of the
// active leg, then along the segments. Nothing for legs already passed or a plan that has
// changed under the snapshot.
std::optional<float> distanceAlongPlan(const PposWaypoint& w) {
    const FlightPlanState& st = flightPlanState();
    const int activeTo = guidanceState().activeSegment + 1;
    const FplLeg* leg = planLeg(w.legIndex);
    if (leg == nullptr || leg->ident != w.leg.ident || w.legIndex < activeTo) return std::nullopt;
    // A marker has no position to measure to.
    if (leg->latitude == 0.0f) return std::nullopt;
    // Legs ahead that end without a position (a heading to an altitude, say) end at 0N 0E in
    // their segments: measure from the aircraft to the first point ahead that has one.
    int first = activeTo - 1;
    while (first < w.legIndex - 1 && planSegment(first) != nullptr && planSegment(first)->toLat == 0.0)
        ++first;
    const PlanSegment* start = planSegment(first);
    if (start == nullptr || start->toLat == 0.0) return std::nullopt;
    const AircraftState& a = simLinkState().aircraft;
    float d = distanceNm(GeoPoint{a.positionF.lat, a.positionF.lon}, GeoPoint{start->toLat, start->toLon});
    for (int s = first + 1; s < w.legIndex && static_cast<size_t>(s) < st.planSegments.size(); ++s)
        d += st.planSegments[static_cast<size_t>(s)].distanceNm;
    return d;
}

}  // namespace

void runFplMenuPage() {
    FplPagesState& cur = pagesState().fpl;
    CduState& cdu = cduState();
    KeyState& keys = cdu.keys;
    stepPage(cur.fplMenuPage, 2);
    const int menu = clampPage(cur.fplMenuPage, 2);

    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "FPL MENU %d/2", menu);
    for (int i = 0; i < 5; ++i) {
        const int row = 2 + 2 * i;
        const char* left = kMenuTexts[menu - 1][i];
        const char* right = kMenuTexts[menu - 1][5 + i];
        if (left[0] != '\0') drawLeftPromptText(row, left);
        if (right[0] != '\0') drawRightPromptText(row, 21, right);
    }

    const int key = keys.pendingLsk;
    if (key == kLskNone) return;
    resetLsk();
    if (key == kLskR5) {
        cdu.currentPage = cdu.previousPage;
        return;
    }
    if (menu != 1) return;
    switch (key) {
        case kLskL1:  // NORMAL
            cdu.currentPage = kPageFpl;
            cdu.previousPage = kPageFpl;
            break;
        case kLskL2:  // CLEARANCE
            cdu.currentPage = kPageFplClear;
            break;
        case kLskL3:  // PPOS TO WPT
            cdu.currentPage = kPagePposToWpt;
            break;
        case kLskL4:  // DEPART
            cdu.previousPage = kPageFplMenu;
            cdu.currentPage = kPageDeparture;
            break;
        case kLskR4:  // ARRIVE: the arrival is chosen afresh
            cdu.previousPage = kPageFplMenu;
            cdu.currentPage = kPageArrival;
            clearArrivalChoice();
            break;
        case kLskR1:  // STORE FPL
            openPilotRoutePage();
            cdu.previousPage = kPageFplMenu;
            break;
        case kLskL5:  // DELETE FPL
            deleteFlightPlan();
            cdu.previousPage = kPageFplMenu;
            cdu.currentPage = kPageFpl;
            break;
        default:
            // RAIM PRED and the empty entries have no action.
            break;
    }
}

void runFplClearancePage() {
    FlightPlanState& st = flightPlanState();
    FplPagesState& cur = pagesState().fpl;
    CduState& cdu = cduState();
    if (enteredFromAnotherPage()) buildClearance();
    const std::vector<ClearanceLine>& lines = cur.clearanceLines;
    const int pageCount = pageCountFor(static_cast<int>(lines.size()), kClearanceLinesPerPage);
    stepListPage(cur.clearancePage, pageCount);
    cur.clearancePage = clampPage(cur.clearancePage, pageCount);
    cduCallList(listMessageAnnunciator);
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "FPL CLR %d/%d", cur.clearancePage, pageCount);

    const ProcedureSelections& sel = st.selections;
    const size_t first = static_cast<size_t>(firstEntryOnPage(cur.clearancePage, kClearanceLinesPerPage));
    for (size_t i = first; i < lines.size() && i < first + kClearanceLinesPerPage; ++i) {
        const int line = static_cast<int>(i - first);
        const int row = 2 + 2 * line;
        drawTextAt(0, row, colourGreen, fontMed, alignLeft, "%d", lines[i].legNumber);
        drawTextAt(3, row, colourGreen, fontLarge, alignLeft, "%s", lines[i].leg.ident.c_str());
        // Course and distance to the next kept leg, between the two lines; the first kept leg
        // leaves that row to the departure route.
        const bool lastOnPage = line == kClearanceLinesPerPage - 1;
        if (i > 0 && !lastOnPage && i + 1 < lines.size()) {
            const ClearanceLine& next = lines[i + 1];
            cduPush();
            cduColour(colourGreen);
            cduTranslate(textColumnX[2], textRowY[row + 1]);
            cduScale(textScaleX, textScaleY);
            drawCduText(fontMed, alignLeft, "%03d", static_cast<int>(next.courseDeg));
            cduTranslate(0.0f, 0.25f);
            cduScale(0.6f, 0.6f);
            drawCduText(fontMed, alignLeft, "0");
            cduPop();
            drawTextAt(15, row + 1, colourGreen, fontMed, alignRight, "%6.1fNM", next.distanceNm);
        }
        if (i + 1 == lines.size() && lines[i].leg.waypointKind == WaypointKind::Airport &&
            sel.arrivalRunway != nullptr) {
            std::string text = sel.arrivalRunway->ident;
            if (sel.star) text += "." + sel.star->name + "." + sel.star->transitionName;
            drawTextAt(5, row + 1, colourGreen, fontLarge, alignLeft, "%s", text.c_str());
        }
    }
    if (cur.clearancePage == 1) {
        if (sel.departureRunway != nullptr && sel.departureAirport != nullptr)
            drawTextAt(3, 2, colourGreen, fontLarge, alignLeft, "%s", sel.departureAirport->ident.c_str());
        if (sel.sidTransition && sel.departureRunway != nullptr)
            drawTextAt(5, 3, colourGreen, fontLarge, alignLeft, "%s.%s.%s",
                       sel.departureRunway->ident.c_str(), sel.sidTransition->name.c_str(),
                       sel.sidTransition->transitionName.c_str());
    }
    cdu.previousPage = cdu.currentPage;
}

void runPposToWptPage() {
    FplPagesState& cur = pagesState().fpl;
    CduState& cdu = cduState();
    if (enteredFromAnotherPage()) buildPposWaypoints();
    const int pageCount = pageCountFor(static_cast<int>(cur.pposWaypoints.size()), kPposLinesPerPage);
    stepListPage(cur.pposPage, pageCount);
    cur.pposPage = clampPage(cur.pposPage, pageCount);
    cduCallList(listMessageAnnunciator);

    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "FPL %d/%d", cur.pposPage, pageCount);
    drawTextAt(7, 1, colourGreen, fontMed, alignLeft, "PPOS TO WPT");
    drawTextAt(12, 2, colourWhite, fontLarge, alignLeft, "DIST-NM TIME");
    cduPush();
    cduColour(colourYellow);
    cduLineWidth(2.0f);
    cduLine(0.458f, 0.803f, 0.767f, 0.803f);
    cduPop();

    const AircraftState& a = simLinkState().aircraft;
    const size_t first = static_cast<size_t>(firstEntryOnPage(cur.pposPage, kPposLinesPerPage));
    for (size_t i = first; i < cur.pposWaypoints.size() && i < first + kPposLinesPerPage; ++i) {
        const int row = 3 + static_cast<int>(i - first);
        const PposWaypoint& w = cur.pposWaypoints[i];
        drawTextAt(1, row, colourWhite, fontLarge, alignLeft, "%d", static_cast<int>(i + 1));
        drawTextAt(4, row, colourGreen, fontLarge, alignLeft, "%s", w.leg.ident.c_str());
        if (std::optional<float> d = distanceAlongPlan(w)) {
            drawTextAt(18, row, colourGreen, fontMed, alignRight, *d < 1000.0f ? "%.1f" : "%.0f", *d);
            if (a.groundSpeedKt > kTimeToGoMinimumKt)
                drawTextAt(23, row, colourGreen, fontMed, alignRight, "%s",
                           timeToGoText(*d, a.groundSpeedKt).c_str());
        }
    }
    cdu.previousPage = cdu.currentPage;
}
