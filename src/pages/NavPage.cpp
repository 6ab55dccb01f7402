#include <cmath>
#include <cstdlib>
#include <string>

#include "cdu/CduState.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "pages/NavPages.h"
#include "pages/PageDrawing.h"
#include "pages/Paging.h"

namespace {

const Rgba kOrange{kNavOrange[0], kNavOrange[1], kNavOrange[2], 1.0f};
constexpr unsigned char kDegree = 0xB0;

bool isHold(LegType t) {
    return t == LegType::HF || t == LegType::HM;
}

// Whole degrees 0..360 of a course.
int courseDeg(double deg) {
    return static_cast<int>(normalize360(deg));
}

// "%4.1fNM" below 10 NM, decided on the unrounded value, else "%4.0fNM".
void drawDistance(int row, const Rgba& colour, float nm) {
    drawTextAt(7, row, colour, fontMed, alignRight, nm < 10.0f ? "%4.1fNM" : "%4.0fNM", nm);
}

struct ClockTime {
    int hour;
    int minute;
};

// A time plus the hours and minutes of a time-to-go text ("h+m"), wrapped at midnight.
ClockTime addTimeToGo(ClockTime t, const std::string& ttg) {
    const size_t plus = ttg.find('+');
    const int h = std::atoi(ttg.c_str());
    const int m = plus == std::string::npos ? 0 : std::atoi(ttg.c_str() + plus + 1);
    t.hour += h;
    if (t.hour > 23) t.hour -= 24;
    t.minute += m;
    if (t.minute >= 60) {
        t.minute -= 60;
        t.hour += 1;
        if (t.hour > 23) t.hour -= 24;
    }
    return t;
}

// The turn arrow of a hold: at column 1 pointing left for left turns, else at column 0 right.
void drawHoldArrow(int row, const Rgba& colour) {
    if (guidanceState().hold.holdTurn == 1)
        drawArrowAt(1, row, 90.0f, colour);
    else
        drawArrowAt(0, row, -90.0f, colour);
}

void drawFixedText(bool hdgPageShown) {
    const NavPageState& st = pagesState().nav;
    drawTextAt(7, 0, colourGreen, fontLarge, alignLeft, "NAV %d/2", st.navSubPage + 1);
    drawTextAt(0, 2, colourWhite, fontMed, alignLeft, "FR");
    drawTextAt(0, 4, colourWhite, fontMed, alignLeft, "TO");
    drawTextAt(0, 6, colourWhite, fontMed, alignLeft, "NX");
    drawTextAt(0, 8, colourWhite, fontMed, alignLeft, "XTK ( )");
    drawTextAt(0, 9, colourWhite, fontMed, alignLeft, "WND");
    drawTextAt(15, 8, colourWhite, fontMed, alignLeft, "GS");
    drawTextAt(15, 9, colourWhite, fontMed, alignLeft, "ANP");
    cduPush();
    cduColour(kOrange);
    cduLineWidth(2.0f);
    cduLine(textColumnX[0], textRowY[7] + 0.013f, textColumnX[0] + 0.48f, textRowY[7] + 0.013f);
    cduPop();
    // The HDG page takes the right half of the screen; what the NAV page keeps there would
    // be drawn over by it.
    if (hdgPageShown) return;
    drawTextAt(15, 10, colourWhite, fontMed, alignLeft, "RNP");
    drawRightPromptText(2, 22, "HDG");
    drawRightPromptText(4, 22, "MNVR");
    cduPush();
    cduColour(kOrange);
    cduLineWidth(2.0f);
    cduLine(textColumnX[18], textRowY[1] - 0.204f, textColumnX[18], textRowY[1] - 0.004f);
    cduPop();
}

// Course field (row 3) and TO field (row 4) of the active leg.
void drawActiveLeg(const PlanSegment& s, const FplLeg& t) {
    const Rgba& m = colourMagenta;
    switch (s.toLegType) {
        case LegType::None:
        case LegType::IF:
        case LegType::TF:
            drawTextAt(1, 3, m, fontMed, alignLeft, "%03d%c", courseDeg(s.courseTrue - s.magVar), kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "%s", t.ident.c_str());
            break;
        case LegType::CA:
            drawTextAt(1, 3, m, fontMed, alignLeft, "%03d%c", t.courseDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(%dFT)", t.altitudeFt);
            break;
        case LegType::CF:
            drawTextAt(1, 3, m, fontMed, alignLeft, "%03d%c", t.courseDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "%s", t.ident.c_str());
            break;
        case LegType::DF: {
            const AircraftState& a = simLinkState().aircraft;
            const GeoPoint here{a.positionF.lat, a.positionF.lon};
            const int course = courseDeg(initialBearing(here, {s.toLat, s.toLon}) - a.magVarIntDeg);
            drawTextAt(1, 3, m, fontMed, alignLeft, "%03d%c", course, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "%s", t.ident.c_str());
            break;
        }
        case LegType::VA:
            drawTextAt(1, 3, m, fontMed, alignLeft, "HDG%03d%c", t.headingDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(%dFT)", t.altitudeFt);
            break;
        case LegType::VD:
            drawTextAt(1, 3, m, fontMed, alignLeft, "HDG%03d%c", t.headingDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(D-%3.1f)", t.distanceNm);
            break;
        case LegType::VI:
            drawTextAt(1, 3, m, fontMed, alignLeft, "HDG%03d%c", t.headingDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(INTCPT)");
            break;
        case LegType::VM:
            drawTextAt(1, 3, m, fontMed, alignLeft, "HDG%03d%c", t.headingDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(VECTOR)");
            break;
        case LegType::VR:
            drawTextAt(1, 3, m, fontMed, alignLeft, "%03d%c", t.headingDeg, kDegree);
            drawTextAt(3, 4, m, fontLarge, alignLeft, "(R-%d)", t.radialDeg);
            break;
        case LegType::HF:
        case LegType::HM: {
            const FplLeg* from = planLeg(s.fromLeg);
            drawTextAt(1, 3, m, fontMed, alignLeft, "HLD%03d%c", guidanceState().hold.inboundCourseDeg, kDegree);
            drawTextAt(2, 4, m, fontLarge, alignLeft, "(HOLD)");
            drawTextAt(8, 1, colourGreen, fontMed, alignLeft, "HOLDING");
            if (from != nullptr) drawTextAt(11, 3, m, fontMed, alignRight, "%s", from->ident.c_str());
            drawHoldArrow(3, m);
            break;
        }
        case LegType::HA:
            drawTextAt(8, 1, colourGreen, fontMed, alignLeft, "HOLDING");
            break;
        default:
            break;
    }
}

// Course field (row 5) and field (row 6) of the next leg.
void drawNextLeg(const PlanSegment& s, const PlanSegment& n, const FplLeg& u) {
    const Rgba& g = colourGreen;
    const bool armed = guidanceState().hold.holdState == 1;
    switch (n.toLegType) {
        case LegType::None:
        case LegType::TF:
            drawTextAt(1, 5, g, fontMed, alignLeft, "%03d%c", courseDeg(n.courseTrue - n.magVar), kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "%s", u.ident.c_str());
            break;
        case LegType::IF:
            drawTextAt(1, 5, g, fontMed, alignLeft, "%03d%c", courseDeg(n.courseTrue - s.magVar), kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "%s", u.ident.c_str());
            break;
        case LegType::CA:
            drawTextAt(3, 5, g, fontMed, alignLeft, "%03d%c", courseDeg(n.courseTrue - n.magVar), kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(%dFT)", u.altitudeFt);
            break;
        case LegType::CF:
            drawTextAt(1, 5, g, fontMed, alignLeft, "%03d%c", u.courseDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "%s", u.ident.c_str());
            break;
        case LegType::VA:
            drawTextAt(1, 5, g, fontMed, alignLeft, "HDG%03d%c", u.headingDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(%dFT)", u.altitudeFt);
            break;
        case LegType::VD:
            drawTextAt(1, 5, g, fontMed, alignLeft, "HDG%03d%c", u.headingDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(D-%3.1f)", u.distanceNm);
            break;
        case LegType::VI:
            drawTextAt(1, 5, g, fontMed, alignLeft, "HDG%03d%c", u.headingDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(INTCPT)");
            break;
        case LegType::VM:
            drawTextAt(1, 5, g, fontMed, alignLeft, "HDG%03d%c", u.headingDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(VECTOR)");
            break;
        case LegType::VR:
            drawTextAt(1, 5, g, fontMed, alignLeft, "%03d%c", u.headingDeg, kDegree);
            drawTextAt(3, 6, g, fontLarge, alignLeft, "(R-%d)", u.radialDeg);
            break;
        case LegType::HF:
        case LegType::HM: {
            const FplLeg* from = planLeg(n.fromLeg);
            drawTextAt(1, 5, g, fontMed, alignLeft, "HLD%03d%c", guidanceState().hold.inboundCourseDeg, kDegree);
            drawHoldArrow(5, g);
            drawTextAt(2, 6, g, fontLarge, alignLeft, "(HOLD)");
            if (from != nullptr) drawTextAt(11, 5, g, fontMed, alignRight, "%s", from->ident.c_str());
            if (armed) drawTextAt(8, 1, g, fontMed, alignLeft, "HOLD ARMED");
            break;
        }
        case LegType::HA:
            if (armed) drawTextAt(8, 1, g, fontMed, alignLeft, "HOLD ARMED");
            break;
        default:
            break;
    }
}

void drawFromField(const PlanSegment& s, const FplLeg& t) {
    const FplLeg* from = planLeg(s.fromLeg);
    if (from == nullptr) return;
    const Rgba& g = colourGreen;
    // A direct-to leg starts where the aircraft was when it was made.
    if (t.directTo && s.toLegType == LegType::DF) {
        drawTextAt(3, 2, g, fontLarge, alignLeft, "(PPOS)");
        return;
    }
    switch (from->legType) {
        case LegType::None:
        case LegType::CF:
        case LegType::IF:
        case LegType::TF:
        case LegType::DF:  // a direct-to-fix leg ends at a named fix like the others
            drawTextAt(3, 2, g, fontLarge, alignLeft, "%s", from->ident.c_str());
            break;
        case LegType::CA:
        case LegType::VA:
            drawTextAt(3, 2, g, fontLarge, alignLeft, "(%dFT)", from->altitudeFt);
            break;
        case LegType::VD:
            drawTextAt(3, 2, g, fontLarge, alignLeft, "(D-%3.1f)", from->distanceNm);
            break;
        case LegType::VI:
            drawTextAt(3, 2, g, fontLarge, alignLeft, "(INTCPT)");
            break;
        case LegType::VM:
            drawTextAt(3, 2, g, fontLarge, alignLeft, "(VECTOR)");
            break;
        case LegType::VR:
            drawTextAt(3, 2, g, fontLarge, alignLeft, "(R-%d)", from->radialDeg);
            break;
        case LegType::HF:
        case LegType::HM:
            drawTextAt(2, 2, g, fontLarge, alignLeft, "(HOLD)");
            break;
        default:
            break;
    }
}

// Distances, times to go and arrival times of the active and the next leg.
void drawDistancesAndTimes(const PlanSegment& s, const PlanSegment* n, bool hdgPageShown) {
    const AircraftState& a = simLinkState().aircraft;
    if (isHold(s.toLegType) || s.toLegType == LegType::VA) return;
    const GeoPoint here{a.positionF.lat, a.positionF.lon};
    const GeoPoint reference = isHold(s.toLegType) ? GeoPoint{s.fromLat, s.fromLon} : GeoPoint{s.toLat, s.toLon};
    const float d = distanceNm(here, reference);
    drawDistance(3, colourMagenta, d);
    const bool times = a.groundSpeedKt > 40.0f && !hdgPageShown;
    ClockTime arrival{a.zuluHour, a.zuluMinute};
    if (times) {
        const std::string ttg = timeToGoText(d, a.groundSpeedKt);
        arrival = addTimeToGo(arrival, ttg);
        drawTextAt(17, 3, colourMagenta, fontMed, alignRight, "%s", ttg.c_str());
        drawTextAt(17, 4, colourMagenta, fontLarge, alignRight, "%02d:%02d", arrival.hour, arrival.minute);
    }
    if (n == nullptr || isHold(n->toLegType)) return;
    drawDistance(5, colourGreen, n->distanceNm);
    if (!times) return;
    const std::string ttg = timeToGoText(n->distanceNm, a.groundSpeedKt);
    const ClockTime next = addTimeToGo(arrival, ttg);
    drawTextAt(17, 5, colourGreen, fontMed, alignRight, "%s", ttg.c_str());
    drawTextAt(17, 6, colourGreen, fontLarge, alignRight, "%02d:%02d", next.hour, next.minute);
}

void drawStatusLine() {
    const AircraftState& a = simLinkState().aircraft;
    const float xtk = guidanceState().lateral.crossTrackError;
    drawTextAt(9, 8, colourGreen, fontMed, alignLeft, "%2.3f", std::fabs(xtk));
    drawTextAt(8, 8, colourGreen, fontMed, alignLeft, "%s", xtk < 0.0f ? "R" : "L");
    drawTextAt(23, 8, colourGreen, fontMed, alignRight, "%03d", static_cast<int>(a.groundSpeedKt));
    drawTextAt(12, 9, colourGreen, fontMed, alignRight, "%03dT/%03d", a.windDirectionDeg,
               static_cast<int>(a.windSpeedKt));
}

void drawNavPage() {
    const NavPageState& st = pagesState().nav;
    drawFixedText(st.hdgPageShown);
    const PlanSegment* s = planSegment(st.shownSegment);
    const FplLeg* t = s != nullptr ? planLeg(s->toLeg) : nullptr;
    bool noNext = true;
    if (s != nullptr && t != nullptr) {
        const PlanSegment* n = planSegment(st.shownSegment + 1);
        const FplLeg* u = n != nullptr ? planLeg(n->toLeg) : nullptr;
        drawActiveLeg(*s, *t);
        if (n != nullptr && !isHold(s->toLegType)) {
            noNext = false;
            if (u != nullptr) drawNextLeg(*s, *n, *u);
        }
        drawFromField(*s, *t);
        drawDistancesAndTimes(*s, n, st.hdgPageShown);
    }
    if (noNext) drawTextAt(3, 6, colourGreen, fontMed, alignLeft, "----------");
    drawStatusLine();
}

void actOnKeys() {
    NavPageState& st = pagesState().nav;
    KeyState& keys = cduState().keys;
    const int lsk = keys.pendingLsk;
    if ((lsk == kLskL1 || lsk == kLskL2) && st.navLegMode == 0) {
        st.navLegMode = 1;
        st.navLegSelection = lsk == kLskL1 ? 1 : 2;
        resetLsk();
    }
    // The HDG page owns R1 (its heading field) and R2 (INTERCEPT) while it is shown; its MNVR
    // prompt sits at R3. The NAV LEG page covers the right side with its list.
    if (st.navLegMode == 0) {
        if (!st.hdgPageShown && lsk == kLskR1) {
            st.hdgPageShown = true;
            resetLsk();
        } else if ((!st.hdgPageShown && lsk == kLskR2) || (st.hdgPageShown && lsk == kLskR3)) {
            st.maneuverMenuShown = 1;
            resetLsk();
        }
    }
    // NAV 2/2 has no content: NEXT and PREV are taken and the page stays.
    int page = st.navSubPage + 1;
    stepPage(page, 1);
    st.navSubPage = page - 1;
}

}  // namespace

void runNavPage() {
    CduState& cdu = cduState();
    NavPageState& st = pagesState().nav;
    // Arriving from another page (direct-to): the NAV page itself, not the menu. Taken once,
    // so that MNVR works from the next frame on.
    if (cdu.previousPage != kPageNav) {
        st.maneuverMenuShown = 0;
        cdu.previousPage = kPageNav;
    }
    if (st.maneuverMenuShown != 0) {
        runManeuverMenu();
        st.hdgPageShownBefore = false;
        return;
    }
    actOnKeys();
    if (st.maneuverMenuShown != 0) {
        runManeuverMenu();
        st.hdgPageShownBefore = false;
        return;
    }
    st.shownSegment = guidanceState().activeSegment;
    if (st.navLegMode == 1) {
        runNavLegPage();
    } else if (st.navLegMode == 3) {
        drawRightPromptText(10, 21, "RETURN");
        if (cdu.keys.pendingLsk == kLskR5) {
            st.navLegMode = 0;
            resetLsk();
        }
    } else {
        drawNavPage();
    }
    if (st.hdgPageShown && st.navLegMode == 0) {
        runHeadingPage(st.hdgPageShownBefore);
        st.hdgPageShownBefore = st.hdgPageShown;
    } else {
        guidanceState().heading.hdgTurnDirection = 0;
        st.hdgPageShownBefore = false;
    }
}
