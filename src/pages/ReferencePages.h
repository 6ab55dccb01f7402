#pragma once

#include "navdb/FplLeg.h"

// The reference pages behind the DATA/NAV menu: NAV/SID, NAV/STAR, NAV/APPR and NAV/RNWY.
// The pilot names an airport on R1, then chooses from numbered lists (type the number,
// ENTER) and reads a summary. They only browse: nothing of the plan or of the departure and
// arrival choices changes. Pages are named by the DATA page's dataNavPage values.

// Forgets the page's airport and every choice.
void resetReferencePage(int dataNavPage);
// One frame of the page: keys, then drawing.
void runReferencePage(int dataNavPage);
// The identifier page's ACCEPT on behalf of the reference page open on the DATA page: an
// airport becomes its airport (with every later choice forgotten); other records are not
// taken.
void receiveReferenceAirport(const FplLeg& leg);
