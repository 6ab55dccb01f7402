#include "pages/Paging.h"
#include "pages/DataPage.h"

#include <algorithm>
#include <cmath>

#include "cdu/CduState.h"
#include "guidance/GuidanceState.h"
#include "navdb/NavDbState.h"
#include "pages/PagesState.h"
#include "simlink/SimLinkState.h"
#include "cdu/KeyInput.h"
#include "pages/AirwayPages.h"
#include "pages/IdentField.h"
#include "pages/CrossFill.h"
#include "pages/PageDrawing.h"
#include "pages/ReferencePages.h"

namespace {

constexpr int kWaypointFieldWidth = 5;

void runIndexPage(DataPageState& st) {
    stepPage(st.dataIndexPage, 4);
    drawTextAt(8, 0, colourGreen, fontLarge, alignLeft, "DATA %d/4", st.dataIndexPage);
    switch (st.dataIndexPage) {
        case 1: {
            static constexpr const char* kItems[] = {"NAV DATA", "PILOT DATA", "CO DATA", "DISK", "TAWS"};
            for (int i = 0; i < 5; ++i) drawLeftPromptText(2 + 2 * i, kItems[i]);
            if (crossFillPrompts().ownReady) drawRightPromptText(8, 22, "MSTR XFILL");
            break;
        }
        case 2:
        case 3:
            drawTextAt(0, 2, colourWhite, fontLarge, alignLeft, "NO DATA");
            break;
        default: {
            const DataPageAttitude& att = simLinkState().attitude;
            const AircraftState& ac = simLinkState().aircraft;
            drawTextAt(0, 1, colourWhite, fontMed, alignLeft, "HDG(IRS)");
            drawTextAt(0, 3, colourWhite, fontMed, alignLeft, "PIT(ANALOG)");
            drawTextAt(0, 5, colourWhite, fontMed, alignLeft, "ROLL(ANALOG)");
            drawTextAt(0, 7, colourWhite, fontMed, alignLeft, "VARIATION");
            drawTextAt(23, 1, colourWhite, fontMed, alignRight, "DATE");
            drawTextAt(23, 3, colourWhite, fontMed, alignRight, "UTC");
            drawTextAt(23, 5, colourWhite, fontMed, alignRight, "ROLL CMD");
            if (simLinkState().simLinked) {
                drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "%03d", att.headingDeg);
                drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, att.pitchDeg >= 0.0f ? "+%2.1f" : "%2.1f",
                           att.pitchDeg);
                drawTextAt(0, 6, colourGreen, fontLarge, alignLeft,
                           att.bankDeg >= 0.0f ? "R %2.1f" : "L %2.1f", std::fabs(att.bankDeg));
                drawTextAt(0, 8, colourGreen, fontLarge, alignLeft, att.variationDeg >= 0 ? "E%03d" : "W%03d",
                           att.variationDeg);
                drawTextAt(23, 2, colourGreen, fontLarge, alignRight, "%02d-%s-%02d", ac.dayOfMonth,
                           ac.monthName.c_str(), ac.year - 2000);
                drawTextAt(23, 4, colourGreen, fontLarge, alignRight, "%02d:%02d:%02d", ac.zuluHour,
                           ac.zuluMinute, ac.zuluSecond);
            } else {
                drawTextAt(0, 2, colourGreen, fontLarge, alignLeft, "---");
                drawTextAt(0, 4, colourGreen, fontLarge, alignLeft, "-----");
                drawTextAt(0, 6, colourGreen, fontLarge, alignLeft, "-----");
                drawTextAt(0, 8, colourGreen, fontLarge, alignLeft, "-----");
                drawTextAt(23, 2, colourGreen, fontLarge, alignRight, "---------");
                drawTextAt(23, 4, colourGreen, fontLarge, alignRight, "--:--:--");
            }
            // The steering's commanded bank while it steers; the side letter carries the sign.
            const float commanded = guidanceState().steering.displayedBankDeg;
            if (simLinkState().simLinked && lnavCoupled(ac))
                drawTextAt(23, 6, colourGreen, fontLarge, alignRight, commanded >= 0.0f ? "L %2.1f" : "R %2.1f",
                           std::fabs(commanded));
            else
                drawTextAt(23, 6, colourGreen, fontLarge, alignRight, "-----");
            break;
        }
    }
}

void runNavMenu(DataPageState& st) {
    stepPage(st.dataNavMenuPage, 2);
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "DATA/NAV %d/2", st.dataNavMenuPage);
    if (st.dataNavMenuPage == 1) {
        static constexpr const char* kItems[] = {"SID", "STAR", "APPROACH", "RUNWAY", "AIRWAY"};
        for (int i = 0; i < 5; ++i) drawLeftPromptText(2 + 2 * i, kItems[i]);
        drawTextAt(23, 1, colourWhite, fontMed, alignRight, "WPT IDENT");
        drawTextAt(17, 3, colourWhite, fontMed, alignRight, "REV EXP");
        drawTextAt(23, 5, colourWhite, fontMed, alignRight, "REGION");
        drawTextAt(23, 6, colourGreen, fontLarge, alignRight, "WORLDWIDE");
        drawTextAt(23, 7, colourGreen, fontLarge, alignRight, "2000FT");
        drawTextAt(23, 8, colourWhite, fontMed, alignRight, "RNV TEST DB");
        if (st.identList.empty())
            runIdentField(st.waypointField, kLskR1, 2, 23, true, kWaypointFieldWidth);
    } else {
        drawLeftPromptText(2, "ACTIVATE");
        drawLeftPromptText(10, "DB STATUS");
    }
    drawRightPromptText(10, 22, "RETURN");
}

void drawWaypointResult(const DataPageState& st) {
    const NavDatabase& db = navDbState().database;
    const int32_t index = st.identList.front().index;
    const WaypointKind kind = st.identList.front().kind;
    std::string ident;
    std::string name;
    double lat = 0.0;
    double lon = 0.0;
    const char* category = "";
    const size_t i = static_cast<size_t>(index);
    if (kind == WaypointKind::Airport && index >= 0 && i < db.airports.size()) {
        const Airport& a = db.airports[i];
        ident = a.ident, name = a.name, lat = a.latitude, lon = a.longitude, category = "APT";
    } else if (kind == WaypointKind::Navaid && index >= 0 && i < db.navaids.size()) {
        const Navaid& n = db.navaids[i];
        ident = n.ident, name = n.name, lat = n.latitude, lon = n.longitude, category = "NAV";
    } else {
        return;
    }
    drawTextAt(6, 0, colourGreen, fontLarge, alignLeft, "%s", ident.c_str());
    drawTextAt(0, 1, colourGreen, fontLarge, alignLeft, "%s", name.c_str());
    drawTextAt(1, 2, colourGreen, fontLarge, alignLeft, "%s", category);
    drawTextAt(6, 2, colourGreen, fontLarge, alignLeft, "%c", lat < 0.0 ? 'S' : 'N');
    drawTextAt(13, 2, colourGreen, fontLarge, alignRight, "%3.2f", std::fabs(lat));
    drawTextAt(6, 3, colourGreen, fontLarge, alignLeft, "%c", lon > 0.0 ? 'E' : 'W');
    drawTextAt(13, 3, colourGreen, fontLarge, alignRight, "%3.2f", std::fabs(lon));
    drawRightPromptText(10, 22, "RETURN");
}

}  // namespace

void runDataPage() {
    refreshCrossFillPrompts();
    DataPageState& st = pagesState().data;
    KeyState& keys = cduState().keys;
    if (cduState().newSecond) readDataPageAttitude();

    if (st.dataLevel == kDataIndex) {
        if (keys.pendingLsk == kLskL1) st.dataLevel = kDataNav;
        // The other keys of the index have no function; none of them stays pending.
        if (keys.pendingLsk != kLskNone) resetLsk();
    } else if (st.dataNavPage == kDataNavMenu) {
        // SID, STAR and APPROACH start their reference pages afresh; RUNWAY shows its page
        // as it was left; AIRWAY opens the airway reference page afresh.
        static constexpr int kReferencePages[] = {kDataNavSid, kDataNavStar, kDataNavApproach,
                                                  kDataNavRunway};
        if (keys.pendingLsk >= kLskL1 && keys.pendingLsk <= kLskL4) {
            const int page = kReferencePages[keys.pendingLsk - kLskL1];
            if (page != kDataNavRunway) resetReferencePage(page);
            st.dataNavPage = page;
        }
        if (keys.pendingLsk == kLskL5) {
            resetAirwayReferencePage();
            st.dataNavPage = kDataNavAirway;
        }
        if (keys.pendingLsk >= kLskL1 && keys.pendingLsk <= kLskL5) resetLsk();
        if (keys.pendingLsk == kLskR5) {
            st.dataLevel = kDataIndex;
            resetLsk();
            resetPadKey();
        }
    }
    if (keys.pendingLsk == kLskR5 && (st.dataNavPage == kDataNavWaypoint || st.dataNavPage == kDataNavApproach ||
                                   st.dataNavPage == kDataNavAirway)) {
        if (st.dataNavPage == kDataNavAirway) {
            resetAirwayReferencePage();
            clearScratchpad();
            resetPadKey();
        }
        st.dataNavPage = kDataNavMenu;
        st.identList = IdentMatches{};
        resetLsk();
    }

    // A lookup from WPT IDENT: airports and navaids have a result page; any other result is
    // dropped, so that the field can be used again.
    if (st.dataLevel == kDataNav && st.dataNavPage == kDataNavMenu && !st.identList.empty()) {
        const WaypointKind kind = st.identList.front().kind;
        if (kind == WaypointKind::Airport || kind == WaypointKind::Navaid)
            st.dataNavPage = kDataNavWaypoint;
        else
            st.identList = IdentMatches{};
    }
    if (st.dataNavPage == kDataNavWaypoint && st.identList.empty()) st.dataNavPage = kDataNavMenu;

    if (st.dataLevel == kDataIndex)
        runIndexPage(st);
    else if (st.dataNavPage == kDataNavMenu)
        runNavMenu(st);
    else if (st.dataNavPage == kDataNavWaypoint)
        drawWaypointResult(st);
    else if (st.dataNavPage >= kDataNavSid && st.dataNavPage <= kDataNavRunway)
        runReferencePage(st.dataNavPage);
    else if (st.dataNavPage == kDataNavAirway)
        runAirwayReferencePage();

    // An ENTER no field took would hold up typing into the scratchpad.
    if (keys.pendingPadKey == kPadEnter && cduState().currentPage == kPageData) resetPadKey();
}
