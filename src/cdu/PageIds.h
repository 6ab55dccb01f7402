#pragma once

// CDU page numbers. `currentPage` holds one of them; sub-pages return to `previousPage`.
constexpr int kPageStartup = 2;     // start-up self-test
constexpr int kPageInit = 3;        // INIT
constexpr int kPageFpl = 4;         // flight plan
constexpr int kPageFplMenu = 5;     // FPL MENU
constexpr int kPageDeparture = 6;   // DEPARTURE
constexpr int kPageArrival = 7;     // ARRIVAL
constexpr int kPagePilotRoute = 8;  // PLT ROUTE
constexpr int kPageFplClear = 9;    // FPL CLR
constexpr int kPagePposToWpt = 10;  // PPOS TO WPT
constexpr int kPageIdent = 11;      // identifier page
constexpr int kPageBlank = 12;      // no page function: bezel and overlays only
constexpr int kPageFuel = 13;       // FUEL
constexpr int kPageList = 14;       // LIST
constexpr int kPageData = 15;       // DATA
constexpr int kPageNav = 16;        // NAV
constexpr int kPageVnav = 17;       // VNAV
constexpr int kPageDirectTo = 18;   // direct-to / NAV LEG
constexpr int kPageRouteList = 19;  // stored route list
constexpr int kFirstPage = 2;
constexpr int kLastPage = 19;

// A page function runs once per frame: it consumes the pending keys it handles, acts, and
// draws its whole screen.
using PageFunction = void (*)();

struct PageEntry {
    PageFunction run = nullptr;     // null: nothing is drawn for the page
    PageFunction opened = nullptr;  // run when a global function key opens the page
};

// Every page by number; numbers without a page have an empty entry.
using PageTable = PageEntry[kLastPage + 1];
