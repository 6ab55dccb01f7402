#pragma once

// Page 8, PLT ROUTE: the plan's waypoints and a name to store them under (ENTER).
void runPilotRoutePage();
// Shows PLT ROUTE afresh (nothing stored yet), to return to the current page.
void openPilotRoutePage();

// Page 19, the stored-route list: a route is loaded by its number and ENTER, or selected
// with L1..L4 and then loaded (LOAD) or removed (DELETE, pressed twice).
void runRouteListPage();
// Shows the route list afresh, to return to the current page.
void openRouteListPage();
