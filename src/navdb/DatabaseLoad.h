#pragma once

#include <string>

#include "navdb/NavDatabase.h"

// The start-up load: four loader threads read the database files in parallel while the
// frames go on; the start-up page polls the flags once per frame.
//
//   thread 1: cycle file, then airports   -> airportsLoaded
//   thread 2: navaids (and the navaid grid) -> navaidsLoaded
//   thread 3: airways                     -> airwaysLoaded
//   thread 4: waypoints                   -> fixesLoaded
//
// The threads get the data root as a parameter and write only their own list and flag.

// Starts the loader threads once: nothing when the load was already requested or started;
// a thread whose flag is already set is not started.
void startDatabaseLoad(NavDatabase& db, const std::string& dataRoot);

// What the start-up page calls every frame while the load has not been requested: starts
// the load and marks it requested.
void requestDatabaseLoad(NavDatabase& db, const std::string& dataRoot);

bool databaseLoadRequested(const NavDatabase& db);
// Airports, navaids and airways are loaded (the "DATABASE PASS" condition).
bool databasePartsLoaded(const NavDatabase& db);
// The parts and the two preset flags: the start-up page may move on to INIT.
bool databaseReady(const NavDatabase& db);
// The fixes are loaded too (not waited for at start-up).
bool databaseFullyLoaded(const NavDatabase& db);

// Waits for the loader threads to end (tools, tests and benchmarks; the program never waits).
void waitForDatabaseLoad(NavDatabase& db);

// The same readers run one after another on the calling thread, flags set as they finish.
void loadDatabaseNow(NavDatabase& db, const std::string& dataRoot);

// For a database filled in code (tests, tools): builds the navaid grid and sets every flag.
void markDatabaseLoaded(NavDatabase& db);
