#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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

const Rgba kOrange{kNavOrange[0], kNavOrange[1], kNavOrange[2], 1.0f};
constexpr unsigned char kDegree = 0xB0;

bool isHold(LegType t) {
    return t == LegType::HF || t == LegType::HM;
}

// Whole degrees 0..360 of a course.
int courseDeg(double deg) {
    return static_cast<int>(normalize360(deg));
}

// "%4.1fNM" below 10 NM, decided on the unrounded value, else "%4.0fNM". Right-aligned at
// column 12: at column 7 its digits fell on the course field beside it ("188°" from column 1,
// "HDG188°" for heading legs) and the two read as one number.
void drawDistance(int row, const Rgba& colour, float nm) {
    drawTextAt(12, row, colour, fontMed, alignRight, nm < 10.0f ? "%4.1fNM" : "%4.0fNM", nm);
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

// Row 1 over a hold: HOLDING while it is flown, HOLD ARMED while it is next and armed.
void drawHoldLabel(bool active) {
    if (active)
        drawTextAt(8, 1, colourGreen, fontMed, alignLeft, "HOLDING");
    else if (guidanceState().hold.holdState == 1)
        drawTextAt(8, 1, colourGreen, fontMed, alignLeft, "HOLD ARMED");
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

// The course field and the field below it of a leg: the active leg's in magenta (rows 3 and 4),
// the next leg's in green (rows 5 and 6). `waypointCourse` is the course a waypoint leg shows.
void drawLegFields(const PlanSegment& seg, const FplLeg& to, int waypointCourse, bool active) {
    const int row = active ? 3 : 5;
    const Rgba& c = active ? colourMagenta : colourGreen;
    auto course = [&](int column, const char* prefix, int deg) {
        drawTextAt(column, row, c, fontMed, alignLeft, "%s%03d%c", prefix, deg, kDegree);
    };
    auto field = [&](const std::string& text) {
        drawTextAt(3, row + 1, c, fontLarge, alignLeft, "%s", text.c_str());
    };
    auto altitude = [&] { field("(" + std::to_string(to.altitudeFt) + "FT)"); };
    switch (seg.toLegType) {
        case LegType::None:
        case LegType::IF:
        case LegType::TF:
            course(1, "", waypointCourse);
            field(to.ident);
            break;
        case LegType::CA:
            // The next leg's course stands two columns further in.
            if (active)
                course(1, "", to.courseDeg);
            else
                course(3, "", waypointCourse);
            altitude();
            break;
        case LegType::CF:
            course(1, "", to.courseDeg);
            field(to.ident);
            break;
        case LegType::DF: {
            if (!active) break;
            const AircraftState& a = simLinkState().aircraft;
            const GeoPoint here{a.positionF.lat, a.positionF.lon};
            course(1, "", courseDeg(initialBearing(here, {seg.toLat, seg.toLon}) - a.magVarIntDeg));
            field(to.ident);
            break;
        }
        case LegType::VA:
            course(1, "HDG", to.headingDeg);
            altitude();
            break;
        case LegType::VD: {
            char dme[24];
            std::snprintf(dme, sizeof dme, "(D-%3.1f)", to.distanceNm);
            course(1, "HDG", to.headingDeg);
            field(dme);
            break;
        }
        case LegType::VI:
            course(1, "HDG", to.headingDeg);
            field("(INTCPT)");
            break;
        case LegType::VM:
            course(1, "HDG", to.headingDeg);
            field("(VECTOR)");
            break;
        case LegType::VR:
            course(1, "", to.headingDeg);
            field("(R-" + std::to_string(to.radialDeg) + ")");
            break;
        case LegType::HF:
        case LegType::HM: {
            const FplLeg* from = planLeg(seg.fromLeg);
            course(1, "HLD", guidanceState().hold.inboundCourseDeg);
            drawHoldArrow(row, c);
            drawTextAt(2, row + 1, c, fontLarge, alignLeft, "(HOLD)");
            if (from != nullptr) drawTextAt(11, row, c, fontMed, alignRight, "%s", from->ident.c_str());
            drawHoldLabel(active);
            break;
        }
        case LegType::HA:
            drawHoldLabel(active);
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
    const GeoPoint reference =
        isHold(s.toLegType) ? GeoPoint{s.fromLat, s.fromLon} : GeoPoint{s.toLat, s.toLon};
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
        drawLegFields(*s, *t, courseDeg(s->courseTrue - s->magVar), true);
        if (n != nullptr && !isHold(s->toLegType)) {
            noNext = false;
            // An IF leg next shows its course with the active leg's variation.
            const float variation = n->toLegType == LegType::IF ? s->magVar : n->magVar;
            if (u != nullptr) drawLegFields(*n, *u, courseDeg(n->courseTrue - variation), false);
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
