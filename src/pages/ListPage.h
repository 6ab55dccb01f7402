#pragma once

// Page 14, LIST: the airports, VORs, NDBs and intersections nearest to the first waypoint of
// the flight plan and the airways through it; a number and ENTER append the chosen record to
// the plan. GAP inserts a gap marker at the FPL page's selected line. Nothing is drawn while
// the plan is empty.
void runListPage();

// The LIST key: the page opens at its first list page. Its type and lists stay until a key
// of the page rebuilds them.
void resetListSelection();
