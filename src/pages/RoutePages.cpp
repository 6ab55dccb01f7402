#include "pages/RoutePages.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "flightplan/RouteFiles.h"
#include "navdb/NavDbState.h"
#include "pages/FplEditing.h"
#include "pages/PageDrawing.h"
#include "pages/PagesState.h"
#include "pages/Paging.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace {

constexpr int kWaypointsPerPage = 5;
constexpr int kRoutesPerPage = 8;
// Two digits as drawn; up to four are taken so that every route of a long list can be named.
constexpr size_t kRouteNumberDigits = 4;

int dataRow(int line) {
    return 2 + 2 * line;
}

// PREV and NEXT; the caller clamps.
int pagingStep() {
    KeyState& keys = cduState().keys;
    int step = 0;
    if (keys.pendingFunctionKey == kFnNext) step = 1;
    if (keys.pendingFunctionKey == kFnPrev) step = -1;
    if (step != 0) resetFunctionKey();
    return step;
}

// Shows `page`, which returns to the current page; the current page's own return target is
// kept in `returnPrevious` for then.
void openSubPage(int page, int& returnPrevious) {
    CduState& cdu = cduState();
    returnPrevious = cdu.previousPage;
    cdu.previousPage = cdu.currentPage;
    cdu.currentPage = page;
}

void returnToPreviousPage(int returnPrevious) {
    CduState& cdu = cduState();
    cdu.currentPage = cdu.previousPage;
    if (returnPrevious >= 0) cdu.previousPage = returnPrevious;
    clearScratchpad();
    resetLsk();
}

// --- PLT ROUTE ---

void drawRouteNameEntry(const std::string& typed) {
    std::string shown = typed;
    shown.resize(kRouteNameMaxLength, '-');
    drawFieldBar(7, 1, static_cast<int>(kRouteNameMaxLength));
    drawTextAt(7, 1, colourBlack, fontLarge, alignLeft, "%s", shown.c_str());
}

// --- Route list ---

std::filesystem::file_time_type routesFolderTime() {
    std::error_code ec;
    auto t = std::filesystem::last_write_time(joinPath(platform().dataRoot, kRoutesFolder), ec);
    return ec ? std::filesystem::file_time_type{} : t;
}

// Lists the folder when the page has not listed it yet, when it has changed, and once a second
// for changes its time stamp does not show.
void refreshRouteNames(RouteListPageState& st) {
    const int second = cduState().secondsCounter;
    const auto folderTime = routesFolderTime();
    if (st.listed && st.listedAtSecond == second && folderTime == st.folderTime) return;
    const std::vector<std::string> names = listRouteNames(platform().dataRoot);
    if (names != st.names) {
        st.names = names;
        st.selectedLine = -1;  // the line may hold another route now
        st.deletePressCount = 0;
    }
    st.listed = true;
    st.listedAtSecond = second;
    st.folderTime = folderTime;
}

int routePageCount(const RouteListPageState& st) {
    return pageCountFor(static_cast<int>(st.names.size()), kRoutesPerPage);
}

// The route shown on the data row of line select key `line` (L1..L5): rows 2, 4, 6 and 8
// hold the second, fourth, sixth and eighth name of the page; row 10 holds none.
int routeOnLine(const RouteListPageState& st, int line) {
    const int slot = dataRow(line) - 1;  // names stand on rows 1..8
    if (slot >= kRoutesPerPage) return -1;
    const int k = st.listPage * kRoutesPerPage + slot;
    return k < static_cast<int>(st.names.size()) ? k : -1;
}

// The route replaces the plan as DELETE FPL would clear it (guidance modes, page states and
// the FPL page's cursor start afresh); a route that cannot be read leaves the plan alone.
void loadRoute(const std::string& name) {
    std::string text;
    if (readRouteText(name, text)) {
        deleteFlightPlan();
        loadRouteText(text, name);
        cduState().currentPage = kPageFpl;
    } else {
        pagesState().routeList.listed = false;  // gone since it was listed
    }
    resetLsk();
}

void handleRouteListKeys(RouteListPageState& st) {
    KeyState& keys = cduState().keys;
    const int lsk = keys.pendingLsk;
    if (lsk >= kLskL1 && lsk <= kLskL5) {
        const int line = lsk - kLskL1;
        st.selectedLine = (st.selectedLine == line || routeOnLine(st, line) < 0) ? -1 : line;
        st.deletePressCount = 0;
        resetLsk();
        return;
    }
    if (lsk == kLskR5) {
        st.selectedLine = -1;
        returnToPreviousPage(st.returnPrevious);
        return;
    }
    if (lsk == kLskNone) return;
    const int selected = st.selectedLine >= 0 ? routeOnLine(st, st.selectedLine) : -1;
    if (selected >= 0 && lsk == kLskR1) {
        // As DEL on the FPL page: the second press removes the route.
        if (++st.deletePressCount >= 2) {
            deleteRouteFile(st.names[static_cast<size_t>(selected)]);
            st.selectedLine = -1;
            st.deletePressCount = 0;
            st.listed = false;
        }
    } else if (selected >= 0 && lsk == kLskR2) {
        const std::string name = st.names[static_cast<size_t>(selected)];
        st.selectedLine = -1;
        loadRoute(name);
        return;
    }
    resetLsk();
}

void handleRouteNumber(RouteListPageState& st) {
    KeyState& keys = cduState().keys;
    if (keys.pendingPadKey != kPadEnter) return;
    resetPadKey();
    if (keys.scratchpad.empty()) return;
    const int n = std::atoi(keys.scratchpad.c_str());
    clearScratchpad();
    resetLsk();
    if (n >= 1 && n <= static_cast<int>(st.names.size())) {
        st.selectedLine = -1;
        loadRoute(st.names[static_cast<size_t>(n - 1)]);
    }
}

void drawRouteList(const RouteListPageState& st) {
    drawTextAt(0, 0, colourGreen, fontLarge, alignLeft, "COPY PLT RTE");
    drawTextAt(23, 0, colourGreen, fontLarge, alignRight, "LIST %d/%d", st.listPage + 1, routePageCount(st));
    const int first = st.listPage * kRoutesPerPage;
    const int selected = st.selectedLine >= 0 ? routeOnLine(st, st.selectedLine) : -1;
    for (int k = first; k < first + kRoutesPerPage && k < static_cast<int>(st.names.size()); ++k) {
        const int row = 1 + (k - first);
        const std::string number = std::to_string(k + 1) + " ";
        drawTextAt(0, row, colourWhite, fontLarge, alignLeft, "%s", number.c_str());
        // Three-digit numbers push the name on rather than over it.
        const int column = std::max(3, static_cast<int>(number.size()));
        if (k == selected)
            drawBar(textColumnX[4] - 0.026f, textRowY[row] + 0.011f, 0.2112f, 0.016f, colourWhite);
        drawTextAt(column, row, k == selected ? colourBlack : colourGreen, fontLarge, alignLeft, "%s",
                   st.names[static_cast<size_t>(k)].c_str());
    }
    if (selected >= 0) {
        drawBar(textColumnX[17] - 0.026f, textRowY[6] + 0.0385f, 0.2112f, 0.192f, colourBlack);
        drawRightPromptText(2, 21, "DELETE");
        drawRightPromptText(4, 21, "LOAD");
    } else {
        const KeyState& keys = cduState().keys;
        drawTextAt(18, 2, colourWhite, fontMed, alignLeft, "SELECT");
        drawTextAt(18, 3, colourWhite, fontMed, alignLeft, "ROUTE");
        drawTextAt(19, 4, colourWhite, fontMed, alignLeft, "#");
        drawFieldBar(21, 4, 2);
        if (keys.scratchpad.empty())
            drawTextAt(22, 4, colourBlack, fontMed, alignRight, "--");
        else
            drawTextAt(22, 4, colourBlack, fontMed, alignRight, "%d", std::atoi(keys.scratchpad.c_str()));
    }
    drawRightPromptText(10, 21, "RETURN");
}

}  // namespace

void openPilotRoutePage() {
    pagesState().pilotRoute = PilotRoutePageState{};
    openSubPage(kPagePilotRoute, pagesState().pilotRoute.returnPrevious);
}

void runPilotRoutePage() {
    PilotRoutePageState& st = pagesState().pilotRoute;
    KeyState& keys = cduState().keys;
    if (keys.scratchpad.size() > kRouteNameMaxLength) keys.scratchpad.resize(kRouteNameMaxLength);

    std::vector<const FplLeg*> waypoints;
    for (const FplLeg& leg : flightPlan().legs)
        if (!leg.ident.empty()) waypoints.push_back(&leg);

    const int pageCount = fplPageCount();
    const int step = pagingStep();
    if (step < 0 || (step > 0 && pageCount > 1)) st.listPage += step;
    st.listPage = std::clamp(st.listPage, 1, pageCount);

    drawTextAt(3, 0, colourGreen, fontLarge, alignLeft, "PLT ROUTE %d/%d", st.listPage, pageCount);
    const size_t first = static_cast<size_t>(st.listPage - 1) * kWaypointsPerPage;
    for (size_t i = first; i < waypoints.size() && i < first + kWaypointsPerPage; ++i) {
        const int row = dataRow(static_cast<int>(i - first));
        drawTextAt(0, row, colourWhite, fontMed, alignLeft, "%s", i == 0 ? " 1" : "--");
        drawTextAt(3, row, colourGreen, fontLarge, alignLeft, "%s", waypoints[i]->ident.c_str());
    }

    if (!st.stored) {
        drawRouteNameEntry(keys.scratchpad);
        if (keys.pendingPadKey == kPadEnter) {
            resetPadKey();
            // Only a route that was written counts as stored; otherwise the name stays to be
            // corrected or tried again.
            if (!keys.scratchpad.empty() && writeRouteFile(keys.scratchpad)) {
                st.storedName = keys.scratchpad;
                st.stored = true;
                clearScratchpad();
            }
        }
    }
    if (st.stored) drawTextAt(7, 1, colourGreen, fontLarge, alignLeft, "%s", st.storedName.c_str());
    drawRightPromptText(10, 21, "RETURN");

    if (keys.pendingLsk == kLskR5) {
        const int returnPrevious = st.returnPrevious;
        st = PilotRoutePageState{};
        returnToPreviousPage(returnPrevious);
    } else if (keys.pendingLsk != kLskNone) {
        resetLsk();  // no other key acts here; none is left to act on the page behind
    }
}

void openRouteListPage() {
    RouteListPageState& st = pagesState().routeList;
    st.listed = false;
    st.listPage = 0;
    st.selectedLine = -1;
    st.deletePressCount = 0;
    openSubPage(kPageRouteList, st.returnPrevious);
}

void runRouteListPage() {
    RouteListPageState& st = pagesState().routeList;
    KeyState& keys = cduState().keys;
    if (keys.scratchpad.size() > kRouteNumberDigits) keys.scratchpad.resize(kRouteNumberDigits);
    refreshRouteNames(st);

    const int step = pagingStep();
    if (step != 0) {
        st.listPage += step;
        st.selectedLine = -1;
    }
    st.listPage = std::clamp(st.listPage, 0, routePageCount(st) - 1);

    handleRouteListKeys(st);
    if (cduState().currentPage != kPageRouteList) return;
    handleRouteNumber(st);
    if (cduState().currentPage != kPageRouteList) return;
    drawRouteList(st);
}
