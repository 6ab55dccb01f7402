#pragma once

// The NAV page (16) and the direct-to page (18), with the pages the NAV page opens.
void runNavPage();
void runDirectToPage();

// Drawn by the NAV page controller.
void runNavLegPage();
void runHeadingPage(bool shownBefore);
void runManeuverMenu();
// The HOLD FIX and HOLDING pages with ARM HOLD, inside the MANEUVER menu.
void runHoldPages();

// The colour of the NAV page's divider lines.
inline constexpr float kNavOrange[3] = {0.933f, 0.596f, 0.0f};
