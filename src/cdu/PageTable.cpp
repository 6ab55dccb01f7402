#include "cdu/PageTable.h"

#include "cdu/StartupPage.h"
#include "flightplan/FplPages.h"
#include "pages/DataPage.h"
#include "pages/FuelPages.h"
#include "pages/IdentPage.h"
#include "pages/InitPage.h"
#include "pages/ListPage.h"

namespace {

// The one table of CDU pages, by page number. Pages of later subsystems are wired in here as
// they arrive; until then their number draws nothing but the bezel and the overlays. The
// identifier page (11) fetches its candidates from the page in previousPage, and the NAV
// page (16) resets its own state when previousPage is not 16: both are their pages' rules.
constexpr PageEntry kPages[kLastPage + 1] = {
    {},                // 0: not a page
    {},                // 1: not a page
    {runStartupPage},  // 2: start-up self-test
    {drawInitPage, true},  // 3: INIT
    {runFplPage, true},    // 4: FPL
    {runFplMenuPage},      // 5: FPL MENU
    {},                // 6: DEPARTURE
    {},                // 7: ARRIVAL
    {},                // 8: PLT ROUTE
    {runFplClearancePage},  // 9: FPL CLR
    {runPposToWptPage},     // 10: PPOS TO WPT
    {runIdentPage},    // 11: identifier page
    {},                // 12: no page function
    {runFuelPage, true},   // 13: FUEL
    {drawListPage},    // 14: LIST
    {drawDataPage, true},  // 15: DATA
    {},                // 16: NAV
    {},                // 17: VNAV
    {},                // 18: direct-to / NAV LEG
    {},                // 19: stored route list
};

}  // namespace

PageEntry pageEntry(int page) {
    if (page < 0 || page > kLastPage) return {};
    return kPages[page];
}
