#pragma once

#include <string>
#include <vector>

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"
#include "pages/NumberedList.h"
#include "pages/PagesState.h"

// Pieces shared by the DEPARTURE and ARRIVAL pages.

// The database airport an airport leg names; null for another leg or an index outside the
// airport table.
Airport* airportOfLeg(const FplLeg* leg);

// The runway at `position` of the airport, or null. Also makes it the airport's selected
// runway, which the procedure readers and list builders work on: the departure and arrival
// pages may share one airport, so each sets its own runway before it reads.
Runway* pointAirportAt(Airport& airport, int32_t position);

// The runway identifiers of the airport, in file order.
std::vector<std::string> runwayIdents(const Airport& airport);

// A list step: NEXT and PREV, the title "<page> %d/%d" with the list page, the entries, and
// what ENTER brought.
ListEntry runSelectionList(const char* page, const std::vector<std::string>& texts, ListColumns columns = {});

// The step states and the list page the two pages share.
DeparturePageState& departurePageState();
ArrivalPageState& arrivalPageState();
int& procedureListPage();

// Puts the chosen procedures into the plan (as R5 does) and leaves for the FPL page.
void insertDepartureAndLeave();
void insertArrivalAndLeave();

// ARRIVE and the ARRIVAL page's start-again key: the arrival runway, approach and approach
// transition are forgotten and the page starts at its first step.
void startArrivalAgain();
