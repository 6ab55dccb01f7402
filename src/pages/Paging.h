#pragma once

// Paged lists of the CDU pages. Page numbers count from 1, as the pages show them
// ("LIST 2/3"); every page keeps its page number that way.

// Pages needed for `entries` at `perPage` a page; an empty list still has one page.
int pageCountFor(int entries, int perPage);

// `page` limited to 1..pageCount.
int clampPage(int page, int pageCount);

// A pending NEXT or PREV is consumed and moves `page` by one within 1..pageCount, without
// wrapping. True when one was consumed.
bool stepPage(int& page, int pageCount);

// The 0-based index of the first entry on `page`.
inline int firstEntryOnPage(int page, int perPage) {
    return (page - 1) * perPage;
}
