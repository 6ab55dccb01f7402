#pragma once

// The flight-plan pages, run once per frame by the page dispatcher while their page is
// current: each consumes the keys it handles, acts through the plan operations and draws.

// Page 4: the plan five legs per page, then the FPL SUMMARY.
void runFplPage();
// Page 5: FPL MENU.
void runFplMenuPage();
// Page 9: FPL CLR, the plan without procedure legs.
void runFplClearancePage();
// Page 10: PPOS TO WPT, the plan's waypoints with distance and time from the aircraft.
void runPposToWptPage();
