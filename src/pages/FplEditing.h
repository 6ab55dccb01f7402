#pragma once

#include <string>

#include "navdb/FplLeg.h"

// Plan edits made from the pages, with what they do to the FPL page's cursor and the page
// states: the plan model itself knows nothing of pages or the scratchpad.

// Moves the FPL line selection on by `lines` (line 5 goes on to line 1 of the next FPL
// page; with no line selected the selection stays as it is).
void advanceFplLineSelection(int lines = 1);
// appendLeg, with the selection moved on by one line.
void appendLegAtCursor(const FplLeg& leg);
// The identifier page's ACCEPT on behalf of the FPL page: the leg goes before the selected
// line's leg, or is appended when the selected line is past the end of the plan (or no line
// is selected). Afterwards an append leaves the next empty line selected and an insertion
// within the plan leaves no line selected.
void insertWaypointAtSelection(const FplLeg& leg);
// The LIST page's GAP request: a gap marker before the selected line's leg (appended when
// that is past the end), the line selection advanced by one. The caller shows page 4.
void insertGap();
// One press of DEL: the second press deletes the selected leg when it exists (an airport
// leg also drops the arrival procedures; leg 1 also drops the departure runway).
void pressDelete();
// Looks the text up in the database into the FPL page's candidate list; true when something
// matched.
bool lookUpIdentCandidates(const std::string& text);
// The origin fill of the FPL page, with the selection moved on when it appended.
void fillOriginAtCursor();
// Procedure insertions from the DEPARTURE and ARRIVAL pages, with the selection moved on by
// the legs they appended.
void insertDepartureAtCursor();
void insertArrivalAtCursor();

// Forgets the arrival runway, approach and approach transition (the arrival airport and the
// STAR stay) and sends the arrival page back to its first step.
void clearArrivalChoice();
// The departure and arrival page step states.
void resetDeparturePage();
void resetArrivalPage();

// DELETE FPL and start-up: empty plan, no selections, page states and the guidance modes
// that depend on the plan reset, empty waypoint list written.
void deleteFlightPlan();
