#pragma once

// Page 15, the DATA tree: the DATA index (1/4 to 4/4, with heading, attitude, variation,
// date and time on 4/4), the DATA/NAV menu with its WPT IDENT field, and the
// waypoint-identification result. The tree keeps its place while other pages are shown.
void runDataPage();
