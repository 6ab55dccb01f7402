#include "navdb/DatabaseLoad.h"

#include <system_error>

#include "navdb/DatabaseFiles.h"

namespace {
// When the system refuses another thread, the readers run on the caller instead: a slower
// start-up, never a missing database or an exception in the frame.
template <typename F>
void startOrRun(std::thread& slot, F work) {
    try {
        slot = std::thread(work);
    } catch (const std::system_error&) {
        work();
    }
}
}  // namespace

void startDatabaseLoad(NavDatabase& db, const std::string& dataRoot) {
    if (isSet(db.loadRequested) || isSet(db.loadStarted)) return;
    publish(db.loadStarted);
    std::array<std::thread, 4>& t = db.loaderThreads.threads;
    // Each thread gets its own copy of the root and writes only its own list and flag.
    if (!isSet(db.airportsLoaded))
        startOrRun(t[0], [&db, dataRoot] {
            loadCycleFile(db, dataRoot);
            loadAirportsFile(db, dataRoot);
        });
    if (!isSet(db.navaidsLoaded)) startOrRun(t[1], [&db, dataRoot] { loadNavaidsFile(db, dataRoot); });
    if (!isSet(db.airwaysLoaded)) startOrRun(t[2], [&db, dataRoot] { loadAirwaysFile(db, dataRoot); });
    if (!isSet(db.fixesLoaded)) startOrRun(t[3], [&db, dataRoot] { loadWaypointsFile(db, dataRoot); });
}

void requestDatabaseLoad(NavDatabase& db, const std::string& dataRoot) {
    if (isSet(db.loadRequested)) return;
    startDatabaseLoad(db, dataRoot);
    publish(db.loadRequested);
}

bool databaseLoadRequested(const NavDatabase& db) {
    return isSet(db.loadRequested);
}

bool databasePartsLoaded(const NavDatabase& db) {
    return isSet(db.airportsLoaded) && isSet(db.navaidsLoaded) && isSet(db.airwaysLoaded);
}

bool databaseReady(const NavDatabase& db) {
    return databasePartsLoaded(db) && isSet(db.presetReadyA) && isSet(db.presetReadyB);
}

bool databaseFullyLoaded(const NavDatabase& db) {
    return databasePartsLoaded(db) && isSet(db.fixesLoaded);
}

void waitForDatabaseLoad(NavDatabase& db) {
    db.loaderThreads.joinAll();
}

void loadDatabaseNow(NavDatabase& db, const std::string& dataRoot) {
    if (isSet(db.loadStarted)) {
        waitForDatabaseLoad(db);
        return;
    }
    publish(db.loadStarted);
    if (!isSet(db.airportsLoaded)) {
        loadCycleFile(db, dataRoot);
        loadAirportsFile(db, dataRoot);
    }
    if (!isSet(db.navaidsLoaded)) loadNavaidsFile(db, dataRoot);
    if (!isSet(db.airwaysLoaded)) loadAirwaysFile(db, dataRoot);
    if (!isSet(db.fixesLoaded)) loadWaypointsFile(db, dataRoot);
}

void markDatabaseLoaded(NavDatabase& db) {
    buildNavaidGrid(db.navaidGrid, db.navaids);
    publish(db.airportsLoaded);
    publish(db.navaidsLoaded);
    publish(db.airwaysLoaded);
    publish(db.fixesLoaded);
}
