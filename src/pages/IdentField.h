#pragma once

#include "navdb/NavDatabase.h"
#include "pages/PagesState.h"

// The identifier entry field: wherever the pilot names a waypoint by its identifier.
//
// While its line select key is pending the field is in use: a white bar with the typed text
// (the scratchpad, cut to the field's width) in black. ENTER then looks the text up in the
// database, stores the matches as the current page's candidates and opens the identifier
// page with the current page as the asking page. Otherwise the field shows its text, or one
// "-" per character while empty. Returns true in the frame in which it searched.
bool runIdentField(IdentField& field, int lsk, int row, int column, bool rightAligned, int width);

// The candidate list that page `page` supplies to the identifier page; null for a page
// without one.
IdentMatches* identCandidatesOf(int page);
