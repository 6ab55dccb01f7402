#include "pages/VnavPage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr int kCandidatesPerPage = 7;
constexpr int kMessageVsLow = 11;
constexpr unsigned char kDegree = 0xB0;
const Rgba kOrange{kNavOrange[0], kNavOrange[1], kNavOrange[2], 1.0f};
const char* const kMessages[] = {"UNDEF",           "NONE",         "APPR ALT - RESTR", "FPA TOO STEEP",
                                 "LEG RESTRICTION", "NO CLIMB VTO", "NO ENTRY - APPR",  "NO ENTRY - HOLD",
                                 "NO ENTRY - VERT", "NO VWPT ALT",  "TARGET V/S HIGH",  "TARGET V/S LOW",
                                 "XTK TOO GREAT"};

enum VnavEntry { kChoose = 0, kOffset = 1, kAltitude = 2, kTargetVs = 3, kIdle = 4 };

VnavState& vnav() {
    return guidanceState().vnav;
}

VnavPageState& page() {
    return pagesState().vnav;
}

// The slot in the VNAV waypoint list a line stands for: page 1 L3 and L4 the first two, page
// 2 L1 to L4 the third to sixth.
int slotOfLine(int pageNumber, int lsk) {
    return pageNumber == 1 ? lsk - kLskL3 : 2 + (lsk - kLskL1);
}

int rowOfLine(int lsk) {
    return 2 + 2 * (lsk - kLskL1);
}

// The legs offered for choice: waypoints from the active leg's TO waypoint on, without gaps
// and end-of-approach markers.
std::vector<int> candidates() {
    std::vector<int> out;
    const PlanSegment* s = planSegment(guidanceState().activeSegment);
    for (int i = s != nullptr ? s->toLeg : 0; i < planLegCount(); ++i) {
        const WaypointKind k = planLeg(i)->waypointKind;
        if (k != WaypointKind::None && k != WaypointKind::Gap && k != WaypointKind::EndOfApproach)
            out.push_back(i);
    }
    return out;
}

FplLeg* legAt(int index) {
    std::vector<FplLeg>& legs = flightPlanState().plan.legs;
    return index >= 0 && static_cast<size_t>(index) < legs.size() ? &legs[static_cast<size_t>(index)]
                                                                  : nullptr;
}

// The waypoint an offset or altitude entry is for: the one just chosen on its line.
FplLeg* enteredWaypoint() {
    const std::vector<int32_t>& w = vnav().waypointLegs;
    const int slot = std::clamp(slotOfLine(page().vnavPage, page().selectedLine), 0, 5);
    if (w.empty()) return nullptr;
    return legAt(w[std::min(static_cast<size_t>(slot), w.size() - 1)]);
}

FplLeg* firstWaypoint() {
    return vnav().waypointLegs.empty() ? nullptr : legAt(vnav().waypointLegs.front());
}

const std::string& cutScratchpad(size_t width) {
    std::string& s = cduState().keys.scratchpad;
    if (s.size() > width) s.resize(width);
    return s;
}

void accepted(int32_t nextState) {
    clearScratchpad();
    resetPadKey();
    vnav().vnavState = nextState;
}

void takeKeys() {
    KeyState& keys = cduState().keys;
    VnavPageState& p = page();
    if (vnav().vnavState != kChoose) {
        if (keys.pendingFunctionKey == kFnNext) p.vnavPage = 2;
        if (keys.pendingFunctionKey == kFnPrev) p.vnavPage = 1;
        if (keys.pendingFunctionKey == kFnNext || keys.pendingFunctionKey == kFnPrev) resetFunctionKey();
    }
    const int lsk = keys.pendingLsk;
    const bool waypointLine =
        p.vnavPage == 1 ? (lsk == kLskL3 || lsk == kLskL4) : (lsk >= kLskL1 && lsk <= kLskL4);
    if (waypointLine) {
        vnav().vnavState = kChoose;
        clearScratchpad();
        p.selectedLine = lsk;
        p.candidatePage = 1;
        resetLsk();
    } else if (lsk == kLskR1 && p.vnavPage == 1) {
        vnav().vnavState = kTargetVs;
        p.vsNegative = false;
        clearScratchpad();
        resetLsk();
    }
}

void chooseWaypoint() {
    VnavPageState& p = page();
    KeyState& keys = cduState().keys;
    if (keys.pendingLsk == kLskR5) {
        resetLsk();
        clearScratchpad();
        vnav().vnavState = kIdle;
        return;
    }
    const std::vector<int> list = candidates();
    const int pages = pageCountFor(static_cast<int>(list.size()), kCandidatesPerPage);
    stepPage(p.candidatePage, pages);
    const std::string& typed = cutScratchpad(2);
    if (keys.pendingPadKey == kPadEnter && typed.empty()) resetPadKey();
    if (keys.pendingPadKey == kPadEnter) {
        const int index = std::atoi(typed.c_str()) - 1;
        accepted(kChoose);
        FplLeg* leg = legAt(index);
        if (leg == nullptr) return;
        leg->vnavOffsetNm = 0;
        // The line's own slot takes the waypoint; beyond the list's end it is added.
        std::vector<int32_t>& w = vnav().waypointLegs;
        const size_t slot = static_cast<size_t>(std::max(0, slotOfLine(p.vnavPage, p.selectedLine)));
        if (slot < w.size())
            w[slot] = index;
        else
            w.push_back(index);
        p.offsetNegative = false;
        vnav().vnavState = kOffset;
    }
}

void takeEntry() {
    VnavPageState& p = page();
    KeyState& keys = cduState().keys;
    const int32_t state = vnav().vnavState;
    if (keys.pendingPadKey == kPadPlusMinus && (state == kOffset || state == kTargetVs)) {
        bool& negative = state == kOffset ? p.offsetNegative : p.vsNegative;
        negative = !negative;
        resetPadKey();
    }
    const size_t width = state == kOffset ? 2 : 5;
    const std::string& typed = cutScratchpad(width);
    if (keys.pendingPadKey != kPadEnter) return;
    if (typed.empty()) {
        resetPadKey();
        return;
    }
    const int value = std::abs(std::atoi(typed.c_str()));
    FplLeg* w = enteredWaypoint();
    switch (state) {
        case kOffset:
            if (w != nullptr) w->vnavOffsetNm = p.offsetNegative ? -value : value;
            accepted(kAltitude);
            break;
        case kAltitude:
            if (w != nullptr) {
                w->altitudeFt = value;
                w->vnavAltitudeEntered = 1;
            }
            accepted(p.vnavPage == 1 && p.selectedLine == kLskL3 ? kTargetVs : kIdle);
            p.vsNegative = false;
            break;
        case kTargetVs:
            vnav().targetVsFpm = p.vsNegative ? -value : value;
            accepted(kIdle);
            break;
        default:
            break;
    }
}

// One waypoint line: ident, offset and altitude, or the entry in progress on it.
void drawWaypointLine(int row, const FplLeg* leg, bool entryLine) {
    const int32_t state = vnav().vnavState;
    const std::string& typed = cduState().keys.scratchpad;
    if (entryLine && state == kChoose) {
        drawFieldBar(3, row, 2);
        drawTextAt(3, row, colourBlack, fontLarge, alignLeft, "%s", typed.empty() ? "--" : typed.c_str());
        return;
    }
    drawTextAt(3, row, colourGreen, fontLarge, alignLeft, "%s",
               leg != nullptr ? leg->ident.c_str() : "-----");
    if (entryLine && state == kOffset) {
        drawFieldBar(9, row, 3);
        if (typed.empty())
            drawTextAt(11, row, colourBlack, fontLarge, alignRight, "---");
        else
            drawTextAt(11, row, colourBlack, fontLarge, alignRight, page().offsetNegative ? "-%s" : "%s",
                       typed.c_str());
    } else if (leg != nullptr && leg->vnavOffsetNm != 0) {
        drawTextAt(11, row, colourGreen, fontLarge, alignRight, "%2d", leg->vnavOffsetNm);
    } else {
        drawTextAt(11, row, colourGreen, fontLarge, alignRight, "---");
    }
    if (entryLine && state == kAltitude) {
        drawFieldBar(17, row, 7);
        drawTextAt(23, row, colourBlack, fontLarge, alignRight, "@ %s",
                   typed.empty() ? "-----" : typed.c_str());
    } else if (leg != nullptr && leg->altitudeFt != 0) {
        drawTextAt(23, row, colourGreen, fontLarge, alignRight, "@ %5d", leg->altitudeFt);
    } else {
        drawTextAt(23, row, colourGreen, fontLarge, alignRight, "@------");
    }
}

void drawWaypointLines() {
    const VnavPageState& p = page();
    const std::vector<int32_t>& w = vnav().waypointLegs;
    const int firstSlot = p.vnavPage == 1 ? 0 : 2;
    const int lines = p.vnavPage == 1 ? 2 : 4;
    const int firstLsk = p.vnavPage == 1 ? kLskL3 : kLskL1;
    const bool entering = vnav().vnavState <= kAltitude;
    for (int k = 0; k < lines; ++k) {
        const size_t slot = static_cast<size_t>(firstSlot + k);
        const FplLeg* leg = slot < w.size() ? legAt(w[slot]) : nullptr;
        const int lsk = firstLsk + k;
        drawWaypointLine(rowOfLine(lsk), leg, entering && p.selectedLine == lsk);
    }
}

void drawCandidates() {
    const std::vector<int> list = candidates();
    const int first = firstEntryOnPage(page().candidatePage, kCandidatesPerPage);
    for (int k = 0; k < kCandidatesPerPage && first + k < static_cast<int>(list.size()); ++k) {
        const int index = list[static_cast<size_t>(first + k)];
        drawTextAt(14, 2 + k, colourWhite, fontMed, alignLeft, "%d", index + 1);
        drawTextAt(17, 2 + k, colourGreen, fontMed, alignLeft, "%s", planLeg(index)->ident.c_str());
    }
    drawRightPromptText(10, 21, "RETURN");
}

// Flight path angle, top of descent or the message, for the target V/S and the first waypoint.
void drawPath(float distanceNm) {
    VnavPageState& p = page();
    const FplLeg* w = firstWaypoint();
    const int32_t vs = vnav().targetVsFpm;
    if (vs == 0 || w == nullptr) return;
    const AircraftState& a = simLinkState().aircraft;
    const int above = a.altimeterFt - w->altitudeFt;
    const int gs = static_cast<int>(a.groundSpeedKt);
    p.flightPathAngleDeg = clampf(flightPathAngleDeg(vs, gs, above), -9.9f, 9.9f);
    drawTextAt(23, 3, colourGreen, fontMed, alignRight, "%01.01f%c", p.flightPathAngleDeg, kDegree);
    const float need = distanceForAltitudeChangeNm(vs, gs, above);
    float tod = distanceNm - need;
    p.messageIndex = tod < 0.0f ? kMessageVsLow : 0;
    tod = clampf(tod + static_cast<float>(w->vnavOffsetNm), 0.0f, 1000.0f);
    if (p.messageIndex != 0) {
        drawTextAt(2, 3, colourYellow, fontLarge, alignLeft, "%s", kMessages[p.messageIndex]);
        return;
    }
    drawTextAt(2, 3, colourWhite, fontLarge, alignLeft, "TOD ");
    if (!simLinkState().simLinked) {
        drawTextAt(6, 3, colourGreen, fontLarge, alignLeft, "--.-NM/--.--");
        return;
    }
    // No ground speed, no time: the distance alone.
    if (!(a.groundSpeedKt > 1.0f)) {
        drawTextAt(6, 3, colourGreen, fontLarge, alignLeft, "%02.1fNM/-+--", tod);
        return;
    }
    const float hours = tod / a.groundSpeedKt;
    const int whole = static_cast<int>(hours);
    const int minutes = static_cast<int>((hours - static_cast<float>(whole)) * 60.0f);
    drawTextAt(6, 3, colourGreen, fontLarge, alignLeft, "%02.1fNM/%01d+%02d", tod, whole, minutes);
}

void drawTargetVs() {
    const std::string& typed = cduState().keys.scratchpad;
    if (vnav().vnavState == kTargetVs) {
        drawFieldBar(18, 2, 6);
        if (typed.empty())
            drawTextAt(23, 2, colourBlack, fontMed, alignRight, "------");
        else
            drawTextAt(23, 2, colourBlack, fontMed, alignRight, page().vsNegative ? "-%s" : "%s",
                       typed.c_str());
        return;
    }
    if (vnav().targetVsFpm != 0)
        drawTextAt(23, 2, colourGreen, fontMed, alignRight, "%d", vnav().targetVsFpm);
    else
        drawTextAt(23, 2, colourGreen, fontMed, alignRight, "-----");
}

void drawPage() {
    const VnavPageState& p = page();
    const bool choosing = vnav().vnavState == kChoose;
    drawTextAt(4, 0, colourGreen, fontLarge, alignLeft, "VNAV PATH %d/2", p.vnavPage);
    cduPush();
    cduColour(kOrange);
    cduLineWidth(2.0f);
    cduLine(textColumnX[0], textRowY[9] + 0.013f, textColumnX[23] + 0.0267f, textRowY[9] + 0.013f);
    cduPop();
    drawWaypointLines();
    if (choosing) drawCandidates();
    if (p.vnavPage != 1) return;
    drawTextAt(0, 4, colourWhite, fontMed, alignLeft, "FR");
    drawTextAt(0, 6, colourWhite, fontMed, alignLeft, "TO");
    drawTextAt(0, 8, colourWhite, fontMed, alignLeft, "NX");
    drawTextAt(3, 4, colourGreen, fontLarge, alignLeft, "PPOS");
    float distance = 0.0f;
    if (const FplLeg* w = firstWaypoint()) {
        const AircraftState& a = simLinkState().aircraft;
        distance =
            static_cast<float>(distanceNmCosine(a.positionF.lat, a.positionF.lon, w->latitude, w->longitude));
    }
    drawTextAt(7, 5, colourGreen, fontMed, alignRight, "%4.1fNM", distance);
    if (choosing) return;
    drawTextAt(23, 1, colourWhite, fontMed, alignRight, "TGT V/S");
    drawTargetVs();
    drawRightPromptText(10, 21, "VTO");
    drawPath(distance);
}

}  // namespace

void runVnavPage() {
    takeKeys();
    if (vnav().vnavState == kChoose)
        chooseWaypoint();
    else
        takeEntry();
    drawPage();
}
