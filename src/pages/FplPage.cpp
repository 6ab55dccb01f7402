#include <cstdlib>
#include <string>

#include "pages/FplEditing.h"
#include "pages/Paging.h"
#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "pages/PagesState.h"
#include "guidance/GuidanceState.h"
#include "navdb/NavDbState.h"
#include "simlink/SimLinkState.h"
#include "cdu/CduRenderer.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "pages/PageDrawing.h"
#include "pages/FplPages.h"
#include "geo/Geodesy.h"
#include "pages/RoutePages.h"

namespace {

constexpr size_t kScratchpadLimit = 7;
constexpr int kTruncateCommand = 98;
constexpr float kTimeToGoMinimumKt = 40.0f;

int dataRow(int line) {
    return 2 + 2 * line;
}
int labelRow(int line) {
    return 1 + 2 * line;
}

bool isMarker(const FplLeg& leg) {
    return leg.waypointKind == WaypointKind::Gap || leg.waypointKind == WaypointKind::NoLink ||
           leg.waypointKind == WaypointKind::EndOfApproach;
}

// Legs whose own line shows their course: no course/distance line above them.
bool showsOwnCourse(LegType t) {
    return t == LegType::CF || t == LegType::CA || t == LegType::VR || t == LegType::VI;
}

void drawTurnArrow(const FplLeg& leg, int line) {
    const float y = textRowY[labelRow(line)] + 0.012f;
    if (leg.turnDirection == 1) drawArrowShape(textColumnX[1], y, 90.0f, colourWhite);
    if (leg.turnDirection == 2) drawArrowShape(textColumnX[0], y, -90.0f, colourWhite);
}

// What one leg line needs to know about its surroundings.
struct LineContext {
    int line = 0;
    bool selected = false;      // drawn on the white bar
    bool typing = false;        // selected with text in the scratchpad: the text stands in
    bool promptsShown = false;  // the right half belongs to DEL/INFO/TUNE/OVFLY
    Rgba colour = colourGreen;  // data colour on the bar or off it
    Rgba courseColour = colourGreen;
};

// Legs whose own text stands at column 1 of the label row ("HDG159\xb0", "ARC9.00",
// "HLD129\xb0"): the course would be written over it.
bool labelRowTaken(const FplLeg& leg) {
    switch (leg.legType) {
        case LegType::AF:
        case LegType::VA:
        case LegType::VD:
        case LegType::VM:
        case LegType::HF:
            return true;
        default:
            return false;
    }
}

// Legs that show their recommended navaid right at column 15 of the data row, where the time
// to go would stand.
bool dataRowNavaid(const FplLeg& leg) {
    return leg.legType == LegType::AF || leg.legType == LegType::VD;
}

// The course/distance line above leg k (and the time to go beside it). True when a distance
// was drawn at column 15 of the label row.
bool drawCourseAndDistance(int k, const FplLeg& leg, const LineContext& c) {
    const PlanSegment* s = planSegment(k - 1);
    if (s == nullptr) return false;
    const int label = labelRow(c.line);
    const int data = dataRow(c.line);
    if (leg.directTo) {
        drawTextAt(2, label, c.courseColour, fontMed, alignLeft, "DIRECT");
    } else if (s->distanceNm != 0.0f && !labelRowTaken(leg)) {
        const int course = static_cast<int>(normalize360(s->courseTrue - s->magVar));
        drawTextAt(2, label, c.courseColour, fontMed, alignLeft, "%03d\xb0", course);
    }
    const int activeTo = guidanceState().activeSegment + 1;
    const AircraftState& a = simLinkState().aircraft;
    const bool fast = a.groundSpeedKt > kTimeToGoMinimumKt && !dataRowNavaid(leg);
    // A leg that ends without a position (a heading to an altitude, say) has no point to
    // measure to: its segment end is 0N 0E, thousands of miles away.
    if (k == activeTo && s->toLat != 0.0) {
        const GeoPoint here{a.positionF.lat, a.positionF.lon};
        const GeoPoint end{s->toLat, s->toLon};
        drawTextAt(15, label, c.courseColour, fontMed, alignRight, "%4.1fNM", distanceNm(here, end));
        if (fast)
            drawTextAt(15, data, c.courseColour, fontMed, alignRight, "%s",
                       timeToGoText(here, end, a.groundSpeedKt).c_str());
        return true;
    }
    if (k > activeTo && s->distanceNm != 0.0f) {
        drawTextAt(15, label, colourGreen, fontMed, alignRight, "%4.1fNM", s->distanceNm);
        if (fast)
            drawTextAt(15, data, colourGreen, fontMed, alignRight, "%s",
                       timeToGoText(s->distanceNm, a.groundSpeedKt).c_str());
        return true;
    }
    return false;
}

// The data-row text by leg type at column 2 and the label-row items that go with it.
void drawDescription(int k, FplLeg& leg, const LineContext& c) {
    const int label = labelRow(c.line);
    const int data = dataRow(c.line);
    const bool name = !c.typing;  // the typed text takes the identifier's place
    auto ident = [&](const char* text) {
        if (name) drawTextAt(2, data, c.colour, fontLarge, alignLeft, "%s", text);
    };
    switch (leg.legType) {
        case LegType::AF:
            if (name) drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(R-%d)", leg.arcRadialDeg);
            drawTextAt(15, data, colourGreen, fontMed, alignRight, "%s", leg.navaidIdent.c_str());
            drawTextAt(1, label, colourGreen, fontMed, alignLeft, "ARC%3.2f", leg.distanceNm);
            drawTurnArrow(leg, c.line);
            // The navaid is on the data row already; here the distance to go comes first.
            if (k == 0 || !drawCourseAndDistance(k, leg, c))
                drawTextAt(15, label, colourGreen, fontMed, alignRight, "%s", leg.navaidIdent.c_str());
            return;
        case LegType::CA:
            if (name) drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(%dFT)", leg.altitudeFt);
            drawTextAt(1, label, colourGreen, fontMed, alignLeft, "CRS%03d\xb0", leg.courseDeg);
            break;
        case LegType::CF:
            ident(leg.ident.c_str());
            drawTextAt(1, label, colourGreen, fontMed, alignLeft, "CRS%d\xb0", leg.courseDeg);
            drawTextAt(15, label, colourGreen, fontMed, alignRight, "%s", leg.navaidIdent.c_str());
            break;
        case LegType::VA:
        case LegType::VM:
        case LegType::VI:
        case LegType::VD:
            if (name) {
                if (leg.legType == LegType::VA)
                    drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(%dFT)", leg.altitudeFt);
                if (leg.legType == LegType::VM)
                    drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(VECTOR)");
                if (leg.legType == LegType::VI)
                    drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(INTCPT)");
                if (leg.legType == LegType::VD)
                    drawTextAt(2, data, c.colour, fontLarge, alignLeft, "(D-%3.1f)", leg.distanceNm);
            }
            if (leg.legType == LegType::VD)
                drawTextAt(15, data, colourGreen, fontMed, alignRight, "%s", leg.navaidIdent.c_str());
            drawTextAt(1, label, colourGreen, fontMed, alignLeft, "HDG%03d\xb0", leg.headingDeg);
            if (leg.legType == LegType::VI) drawTurnArrow(leg, c.line);
            break;
        case LegType::VR:
            if (leg.headingDeg > 0) {
                if (name)
                    drawTextAt(2, data, c.colour, fontLarge, alignLeft, "%s(R-%d)", leg.ident.c_str(),
                               leg.radialDeg);
                drawTextAt(15, data, colourGreen, fontMed, alignRight, "%s", leg.navaidIdent.c_str());
                drawTextAt(1, label, colourGreen, fontMed, alignLeft, "HDG%03d\xb0", leg.headingDeg);
                drawTurnArrow(leg, c.line);
            } else {
                ident(leg.ident.c_str());
            }
            break;
        case LegType::HF: {
            ident(leg.ident.c_str());
            drawTextAt(1, label, colourGreen, fontMed, alignLeft, "HLD%3.0f\xb0", leg.holdCourseDeg);
            drawTurnArrow(leg, c.line);
            // A hold fix is flown over.
            std::vector<FplLeg>& legs = flightPlanState().plan.legs;
            if (k > 0) legs[static_cast<size_t>(k - 1)].overfly = 1;
            break;
        }
        default:
            // Plain waypoints, DF, IF and the legs without a description of their own show
            // their identifier.
            ident(leg.ident.c_str());
            break;
    }
    if (!showsOwnCourse(leg.legType) && k > 0) drawCourseAndDistance(k, leg, c);
}

void drawAltitude(const FplLeg& leg, int line) {
    const int data = dataRow(line);
    if (leg.altitudeFt < 1) {
        drawTextAt(23, data, colourGreen, fontLarge, alignRight, "------");
        return;
    }
    if (leg.altitudeIsFlightLevel)
        drawTextAt(23, data, colourGreen, fontLarge, alignRight, "FL%d", leg.altitudeFt / 100);
    else
        drawTextAt(23, data, colourGreen, fontLarge, alignRight, "%d", leg.altitudeFt);
    const float x = textColumnX[18] + 0.013f;
    if (leg.departureProcLeg) drawArrowShape(x, textRowY[data] + 0.001f, 0.0f, colourWhite);
    if (leg.arrivalProcLeg) drawArrowShape(x, textRowY[data] + 0.023f, 180.0f, colourWhite);
}

// R(j+1) pending with no prompts on screen edits the altitude of the leg on line j.
bool altitudeEntryOn(const FplLeg& leg, int line, bool promptsShown) {
    return !promptsShown && leg.waypointKind != WaypointKind::Airport &&
           cduState().keys.pendingLsk == kLskR1 + line;
}

void runAltitudeEntry(int k, int line) {
    KeyState& keys = cduState().keys;
    const int data = dataRow(line);
    drawBar(textColumnX[19] - 0.026f, textRowY[data] + 0.011f, 6 * 0.0264f, 0.016f, colourWhite);
    drawTextAt(23, data, colourBlack, fontLarge, alignRight, "%s", keys.scratchpad.c_str());
    if (keys.pendingPadKey == kPadEnter && !keys.scratchpad.empty()) {
        setAltitudeConstraint(k, std::atoi(keys.scratchpad.c_str()));
        resetPadKey();
        clearScratchpad();
        resetLsk();
    }
}

void drawLegLine(int k, int line, bool promptsShown) {
    const FplPagesState& cur = pagesState().fpl;
    FplLeg& leg = flightPlanState().plan.legs[static_cast<size_t>(k)];
    LineContext c;
    c.line = line;
    c.selected = cur.fplSelectedLine == line;
    c.typing = c.selected && !cduState().keys.scratchpad.empty();
    c.promptsShown = promptsShown;
    const bool active = k == guidanceState().activeSegment + 1;
    c.courseColour = active ? colourMagenta : colourGreen;
    c.colour = c.selected ? colourBlack : c.courseColour;
    const int data = dataRow(line);

    drawTextAt(0, data, colourWhite, fontMed, alignLeft, "%d", k + 1);
    if (isMarker(leg)) {
        if (c.typing) return;
        if (leg.waypointKind == WaypointKind::Gap)
            drawTextAt(2, data, c.colour, fontLarge, alignLeft, "* GAP*");
        if (leg.waypointKind == WaypointKind::EndOfApproach)
            drawTextAt(2, data, c.colour, fontLarge, alignLeft, "* EOA*");
        if (leg.waypointKind == WaypointKind::NoLink && cduState().secondsCounter % 2 == 0)
            drawTextAt(2, data, c.colour, fontLarge, alignLeft, "* NO LINK*");
        return;
    }
    const bool entry = altitudeEntryOn(leg, line, promptsShown);
    if (!promptsShown && !entry) drawAltitude(leg, line);
    drawDescription(k, leg, c);
    if (leg.waypointKind == WaypointKind::Airport && !c.typing)
        drawTextAt(2, data, c.colour, fontLarge, alignLeft, "%s", leg.ident.c_str());
    if (leg.overfly) drawTextAt(7, data, c.selected ? colourBlack : colourGreen, fontLarge, alignLeft, "*");
    if (entry) runAltitudeEntry(k, line);
}

void drawSelectedLine() {
    const FplPagesState& cur = pagesState().fpl;
    const int data = dataRow(cur.fplSelectedLine);
    drawBar(textColumnX[3] - 0.026f, textRowY[data] + 0.011f, 0.1848f, 0.016f, colourWhite);
    drawTextAt(2, data, colourBlack, fontLarge, alignLeft, "%s", cduState().keys.scratchpad.c_str());
    drawTextAt(0, data, colourWhite, fontMed, alignLeft, "%d", cur.fplSelectedLeg);
}

void drawDelInfoPrompts(const FplLeg& leg) {
    drawBar(textColumnX[17] - 0.026f, textRowY[6] + 0.0275f, 0.2112f, 0.176f, colourBlack);
    drawRightPromptText(2, 21, "DEL");
    drawRightPromptText(4, 21, "INFO");
    if (leg.frequency != 0.0f) drawRightPromptText(6, 21, "TUNE");
    drawRightPromptText(8, 21, "OVFLY");
    cduPush();
    cduColour(colourGreen);
    cduLineWidth(4.0f);
    cduLine(0.58f, 0.549f, 0.58f, 0.835f);
    cduPop();
}

void actOnPromptKeys(int index) {
    FlightPlanState& st = flightPlanState();
    FplPagesState& cur = pagesState().fpl;
    CduState& cdu = cduState();
    const int key = cdu.keys.pendingLsk;
    if (key < kLskR1 || key >= kLskCount) return;
    const FplLeg& leg = st.plan.legs[static_cast<size_t>(index)];
    if (key == kLskR2 && leg.waypointKind != WaypointKind::None) {
        cur.identCandidates = matchLeg(navDbState().database, leg);
        cur.identCandidatesFlag = !cur.identCandidates.empty();
        cdu.previousPage = kPageFpl;
        cdu.currentPage = kPageIdent;
    } else if (key == kLskR1) {
        pressDelete();
    } else if (key == kLskR4) {
        toggleOverfly(index);
    }
    // TUNE has no action; R5 is no prompt here. Neither is left pending to act later.
    resetLsk();
}

void drawCopyPrompts() {
    drawTextAt(15, 5, colourWhite, fontMed, alignLeft, "COPY");
    drawRightPromptText(6, 21, "PLT RTE");
    drawTextAt(16, 7, colourWhite, fontMed, alignLeft, "COPY");
    drawRightPromptText(8, 21, "CO RTE");
    // PLT RTE leads to the stored-route list; CO RTE has no action. The keys are taken so
    // they do not act later as altitude entries.
    const int key = cduState().keys.pendingLsk;
    if (key == kLskR3) openRouteListPage();
    if (key == kLskR3 || key == kLskR4) resetLsk();
}

void drawSummary() {
    const FlightPlanState& st = flightPlanState();
    cduCallList(listMessageAnnunciator);
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "FPL SUMMARY");
    static constexpr const char* kLeft[] = {"DEPART", "ETD UTC", "     LCL", "TAS (MAN)", "FF (MAN)"};
    static constexpr const char* kRight[] = {"ARRIVE", "ETA UTC", "LCL", "RESERVES", "MIN FUEL"};
    for (int i = 0; i < 5; ++i) {
        drawTextAt(0, 1 + 2 * i, colourWhite, fontMed, alignLeft, "%s", kLeft[i]);
        drawTextAt(23, 1 + 2 * i, colourWhite, fontMed, alignRight, "%s", kRight[i]);
    }
    const ProcedureSelections& sel = st.selections;
    if (sel.departureRunway != nullptr && sel.departureAirport != nullptr)
        drawTextAt(1, 2, colourGreen, fontLarge, alignLeft, "%s", sel.departureAirport->ident.c_str());
    if (sel.arrivalAirport != nullptr)
        drawTextAt(22, 2, colourGreen, fontLarge, alignRight, "%s", sel.arrivalAirport->ident.c_str());
    if (simLinkState().simLinked)
        drawTextAt(1, 4, colourGreen, fontLarge, alignLeft, "%02d:%02d", simLinkState().aircraft.zuluHour,
                   simLinkState().aircraft.zuluMinute);
    else
        drawTextAt(1, 4, colourGreen, fontLarge, alignLeft, "--:--");
}

}  // namespace

void runFplPage() {
    FlightPlanState& st = flightPlanState();
    FplPagesState& cur = pagesState().fpl;
    CduState& cdu = cduState();
    KeyState& keys = cdu.keys;

    if (keys.scratchpad.size() > kScratchpadLimit) keys.scratchpad.resize(kScratchpadLimit);

    // 98 ENTER truncates after the selected leg; without a selected line there is no leg to
    // keep the plan up to, and nothing is removed.
    if (keys.pendingPadKey == kPadEnter && std::atoi(keys.scratchpad.c_str()) == kTruncateCommand) {
        if (cur.fplSelectedLine < kFplLinesPerPage) truncateAfter(cur.fplSelectedLeg);
        clearScratchpad();
        resetPadKey();
    }

    fillOriginAtCursor();

    // The leg pages, then the FPL SUMMARY.
    const int pageCount = fplPageCount();
    if (stepPage(cur.fplPage, pageCount + 1)) {
        resetLsk();
        cur.fplSelectedLine = kFplNoLine;
        cur.identCandidatesFlag = false;
    }
    cur.fplPage = clampPage(cur.fplPage, pageCount + 1);

    if (st.selections.departureRunway != nullptr && st.selections.arrivalAirport != nullptr)
        st.planComplete = true;

    if (cur.fplPage > pageCount) {
        drawSummary();
        return;
    }

    // Line selection: a left key selects its line, the same key again deselects it. A new
    // selection ends an INFO look-up, so the leg number follows the line again.
    if (keys.pendingLsk >= kLskL1 && keys.pendingLsk < kLskR1) {
        cur.fplSelectedLine = cur.fplSelectedLine == keys.pendingLsk ? kFplNoLine : keys.pendingLsk;
        cur.identCandidatesFlag = false;
        resetLsk();
    }
    if (!cur.identCandidatesFlag && keys.pendingLsk != kLskR2)
        cur.fplSelectedLeg = (cur.fplPage - 1) * kFplLinesPerPage + cur.fplSelectedLine + 1;

    const int count = planLegCount();
    const bool lineSelected = cur.fplSelectedLine < kFplLinesPerPage;
    const bool selectedLegExists = lineSelected && cur.fplSelectedLeg >= 1 && cur.fplSelectedLeg <= count;

    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "FPL %d/%d", cur.fplPage, pageCount);
    cduCallList(listMessageAnnunciator);
    if (count > 1 && !selectedLegExists) drawTextAt(23, 1, colourWhite, fontMed, alignRight, "ALT/FL");

    if (lineSelected) drawSelectedLine();
    const int first = (cur.fplPage - 1) * kFplLinesPerPage;
    for (int k = first; k < count && k < first + kFplLinesPerPage; ++k) {
        drawLegLine(k, k - first, selectedLegExists);
    }

    if (keys.pendingPadKey == kPadEnter) {
        if (!keys.scratchpad.empty() && lookUpIdentCandidates(keys.scratchpad)) {
            cdu.previousPage = kPageFpl;
            cdu.currentPage = kPageIdent;
            resetLsk();
            clearScratchpad();
        }
        resetPadKey();
    }

    if (selectedLegExists) {
        cur.promptsShown = true;
        drawDelInfoPrompts(st.plan.legs[static_cast<size_t>(cur.fplSelectedLeg - 1)]);
        actOnPromptKeys(cur.fplSelectedLeg - 1);
    } else {
        cur.promptsShown = false;
        if (count < 2) drawCopyPrompts();
    }

    // A new selection starts the DEL count afresh: one press on a leg never deletes it.
    if (cur.fplSelectedLine != cur.fplPreviousSelectedLine) {
        clearScratchpad();
        cur.deletePressCount = 0;
    }
    cur.fplPreviousSelectedLine = cur.fplSelectedLine;
}
