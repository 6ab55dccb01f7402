#include "pages/ProcedurePageParts.h"

#include "cdu/CduRenderer.h"
#include "cdu/CduState.h"
#include "cdu/KeyInput.h"
#include "flightplan/FlightPlan.h"
#include "navdb/NavDbState.h"
#include "pages/FplEditing.h"
#include "pages/PageTable.h"
#include "pages/PagesState.h"

Airport* airportOfLeg(const FplLeg* leg) {
    if (leg == nullptr || leg->waypointKind != WaypointKind::Airport) return nullptr;
    NavDatabase& db = navDbState().database;
    if (!isSet(db.airportsLoaded) || leg->dbIndex < 0 ||
        static_cast<size_t>(leg->dbIndex) >= db.airports.size())
        return nullptr;
    return &db.airports[static_cast<size_t>(leg->dbIndex)];
}

Runway* pointAirportAt(Airport& airport, int32_t position) {
    if (position < 0 || static_cast<size_t>(position) >= airport.runways.size()) return nullptr;
    Runway& runway = airport.runways[static_cast<size_t>(position)];
    airport.selectedRunwayIndex = position;
    airport.selectedRunwayIdent = runway.ident;
    return &runway;
}

std::vector<std::string> runwayIdents(const Airport& airport) {
    std::vector<std::string> idents;
    for (const Runway& r : airport.runways) idents.push_back(r.ident);
    return idents;
}

ListEntry runSelectionList(const char* page, const std::vector<std::string>& texts, ListColumns columns) {
    int& listPage = procedureListPage();
    const int count = static_cast<int>(texts.size());
    stepNumberedList(listPage, count);
    drawTextAt(5, 0, colourGreen, fontLarge, alignLeft, "%s %d/%d", page, listPage + 1,
               numberedListPages(count));
    drawNumberedList(listPage, texts, columns);
    return takeListEntry();
}

DeparturePageState& departurePageState() {
    return pagesState().fpl.departurePage;
}
ArrivalPageState& arrivalPageState() {
    return pagesState().fpl.arrivalPage;
}
int& procedureListPage() {
    return pagesState().fpl.procedureListPage;
}

void insertDepartureAndLeave() {
    insertDepartureProcedure();
    cduState().currentPage = kPageFpl;
}

void insertArrivalAndLeave() {
    insertArrivalProcedure();
    cduState().currentPage = kPageFpl;
}

void startArrivalAgain() {
    clearArrivalSelection();
}
