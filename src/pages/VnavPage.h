#pragma once

// The VNAV PATH pages (17): VNAV waypoints with their offsets and altitudes, the target vertical
// speed, the flight path angle and the top of descent.
void runVnavPage();
