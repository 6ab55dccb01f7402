#pragma once

// Page 2, the start-up self-test: starts the database load, shows the unit's name and the
// self-test lines (each shows PASS once its time has passed, the DATABASE line once the
// airports, navaids and airways are loaded, with LOADING blinking until then), and moves
// on to INIT as soon as the database is ready.
void runStartupPage();
