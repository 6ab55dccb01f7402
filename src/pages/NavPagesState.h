#pragma once

#include <vector>

// State of the NAV page and the pages it opens (NAV LEG, HDG, MANEUVER), and of the
// direct-to page's lists.
struct NavPageState {
    int navSubPage = 0;         // the title shows it + 1; nothing changes it
    int maneuverMenuShown = 0;  // 1: the MANEUVER menu instead of the NAV page
    int navLegMode = 0;         // 0 NAV page, 1 NAV LEG page, 3 RETURN prompt only
    int navLegSelection = 1;    // 1 FROM (L1), 2 TO (L2)
    int shownSegment = 0;       // the active segment as taken for this frame's drawing

    // NAV LEG page: the plan legs that have a waypoint, by leg index; rebuilt when the page opens.
    std::vector<int> navLegCandidates;
    int navLegModeBefore = 0;
    int navLegListPage = 1;  // also the direct-to page's second step

    // HDG page.
    bool hdgPageShown = false;
    bool hdgPageShownBefore = false;
    int cmdHdgValue = 0;
    bool interceptPossible = false;

    // MANEUVER menu: 0 the menu, 1 HOLDING DEFN, 2 DTO HOLD, 3 HDG, 4 PPOS HOLD, 5 PVOR, 6 SXTK.
    int maneuverSubState = 0;
    bool planHasHoldLeg = false;  // noted when HOLDING DEFN is chosen
    // HOLDING DEFN: 0 the HOLD FIX list, 1 the HOLDING definition page.
    int holdPageMode = 0;
    int holdFixListPage = 1;

    int dtoListPage = 1;
};
