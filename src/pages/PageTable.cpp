#include "pages/PageTable.h"

#include "pages/StartupPage.h"
#include "pages/FplPages.h"
#include "pages/DataPage.h"
#include "pages/FuelPages.h"
#include "pages/IdentPage.h"
#include "pages/InitPage.h"
#include "pages/ListPage.h"
#include "pages/ProcedurePages.h"
#include "pages/RoutePages.h"
#include "pages/NavPages.h"
#include "pages/VnavPage.h"

namespace {

// The one table of CDU pages, by page number. Pages of later subsystems are wired in here as
// they arrive; until then their number draws nothing but the bezel and the overlays. The
// identifier page (11) fetches its candidates from the page in previousPage, and the NAV
// page (16) resets its own state when previousPage is not 16: both are their pages' rules.
constexpr PageTable kPages = {
    {},                                    // 0: not a page
    {},                                    // 1: not a page
    {runStartupPage},                      // 2: start-up self-test
    {runInitPage},                         // 3: INIT
    {runFplPage},                          // 4: FPL
    {runFplMenuPage},                      // 5: FPL MENU
    {runDeparturePage},                    // 6: DEPARTURE
    {runArrivalPage},                      // 7: ARRIVAL
    {runPilotRoutePage},                   // 8: PLT ROUTE
    {runFplClearancePage},                 // 9: FPL CLR
    {runPposToWptPage},                    // 10: PPOS TO WPT
    {runIdentPage},                        // 11: identifier page
    {},                                    // 12: no page function
    {runFuelPage, resetFuelEntry},         // 13: FUEL
    {runListPage, resetListSelection},     // 14: LIST
    {runDataPage},                         // 15: DATA
    {runNavPage},                          // 16: NAV
    {runVnavPage},                         // 17: VNAV
    {runDirectToPage},                     // 18: direct-to / NAV LEG
    {runRouteListPage},                    // 19: stored route list
};

}  // namespace

const PageTable& pageTable() {
    return kPages;
}
