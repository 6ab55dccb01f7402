#pragma once

#include "navdb/FplLeg.h"

// The airway reference page, drawn by the DATA page while DATA/NAV shows it: the airways
// through a reference waypoint (REF WPT, L1) and the points of the one chosen by its number
// (AIRWAY IDENT, L2).
void runAirwayReferencePage();
// Forgets the reference waypoint, its airways and the choice.
void resetAirwayReferencePage();
// The identifier page's ACCEPT for REF WPT: a new reference waypoint.
void receiveAirwayReference(const FplLeg& leg);

// The airway entry page (FRM/VIA/TO), drawn by the LIST page for the airway chosen on its
// airway list: a point number and ENTER append the airway from the plan's last waypoint to
// that point.
void runAirwayEntryPage();

// Appends the points of airway `airwayIndex` after the plan's last waypoint up to and
// including point `toNumber` (1-based, clamped to the airway), in the direction that leads
// there; from the first point when the last waypoint is not on the airway. Points that are
// no database record are left out. Shows the plan's last FPL page.
void enterAirway(int airwayIndex, int toNumber);
