#pragma once

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"

// Page 11, the identifier page: the database records matching a typed identifier, one at a
// time (NEXT and PREV step through them and wrap). ACCEPT (L5 or ENTER) turns the shown
// record into a plan leg and hands it to the page that asked; RETURN (R5) goes back to that
// page without handing anything over. The candidates come from the asking page (the page in
// previousPage).
void runIdentPage();

// Makes `askingPage` the page the identifier page answers to, starts at the first candidate
// and shows the identifier page.
void openIdentPage(int askingPage);

// The plan leg for candidate `index` of a match list of kind `kind`: airport (ident, name,
// position, elevation), navaid (ident, name, position) or fix (ident, position), each with its
// dbIndex and legType 0. Kind None when the index is not a loaded record of that category.
FplLeg legFromCandidate(const NavDatabase& db, WaypointKind kind, int32_t index);

// The navaid type as the identifier page names it.
const char* navaidTypeText(NavaidType type);
