#pragma once

#include <string>

#include "navdb/NavDatabase.h"

// The DEPARTURE page (6) and the ARRIVAL page (7), run once per frame while current. The pilot
// chooses step by step from numbered lists (type the entry's number, ENTER); R5 puts the
// choice into the plan and returns to the FPL page.
void runDeparturePage();
void runArrivalPage();

// An approach as the selection lists name it: the type text, a Y or Z for the RNP variants,
// and the runway ("ILS  16L", "RNVY 16C").
std::string approachListName(const FinalApproach& approach, const std::string& runwayIdent);
// The approach type's text on the ARRIVAL page ("ILS ", "RNV", "LOC "); empty for a type
// outside the table.
const char* approachTypeText(ApproachType type);
