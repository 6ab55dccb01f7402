#pragma once

#include <string>
#include <vector>

// The numbered lists of the procedure selection pages (DEPARTURE, ARRIVAL) and the reference
// pages (NAV/SID, NAV/STAR, NAV/APPR, NAV/RNWY): nine entries per list page on rows 2 to 10,
// chosen by typing the entry's number and pressing ENTER.

inline constexpr int kListEntriesPerPage = 9;

// List pages needed for `count` entries; one for an empty list.
int numberedListPages(int count);

// NEXT (only when the list has more than one page's worth) and PREV, each press consumed,
// then the page clamped to the list.
void stepNumberedList(int& listPage, int count);

// Where the number and the text of each entry stand.
struct ListColumns {
    int number = 2;
    int text = 4;
};

// The entries of list page `listPage`: the 1-based number small white, the text small green.
// An empty text leaves its number out as well (entries that keep their number but are not
// shown).
void drawNumberedList(int listPage, const std::vector<std::string>& texts, ListColumns columns = {});

// What a pending ENTER brought. ENTER is consumed and the scratchpad cleared either way.
struct ListEntry {
    enum Kind { None, Empty, Number } kind = None;
    int number = 0;  // the scratchpad read as an integer (0 when it is not one)

    // A number from 1 to `count`: the 0-based position it chooses; -1 otherwise.
    int positionIn(size_t count) const {
        return kind == Number && number >= 1 && static_cast<size_t>(number) <= count ? number - 1 : -1;
    }
};
ListEntry takeListEntry();

// The entry field of the DEPARTURE and ARRIVAL pages: a white bar two characters wide ending
// at `lastColumn` of `row`, with "--" or the typed characters in small black.
void drawSelectionEntryField(int row, int lastColumn = 22);

// The entry field of the reference pages: the typed characters in white from column 21 of
// `row` (small on the runway step, large after it), or "--" small white; a box behind it on
// the runway step.
void drawReferenceEntryField(int row, bool runwayStep);
