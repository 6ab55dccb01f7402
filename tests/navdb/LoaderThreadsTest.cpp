#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "RecordText.h"
#include "TempDir.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/DatabaseLoad.h"

namespace {
// The sample database of the source tree: thousands of records in all five files.
const std::string kSampleRoot = FMS_SOURCE_DIR;

// The sample's files in `dir`, but for the one named `without`.
void copySampleWithout(const TempDir& dir, const char* without) {
    std::filesystem::create_directories(dir.path() / "data");
    for (const char* file : {"airports.txt", "Navaids.txt", "Waypoints.txt", "Ats.txt", "Cycle.txt"})
        if (std::string(file) != without)
            std::filesystem::copy_file(kSampleRoot + "/data/" + file, dir.path() / "data" / file);
}

// Every field of every record, floats exactly.
std::string describe(const NavDatabase& db) {
    std::string s = db.cycleText + '\n';
    for (const Airport& a : db.airports) {
        s += recordText(a, 9) + '\n';
        for (const Runway& r : a.runways) s += recordText(r, 9) + '\n';
    }
    for (const Navaid& n : db.navaids) s += recordText(n, 9) + '\n';
    for (const Fix& f : db.fixes) s += recordText(f, 9) + '\n';
    for (const Airway& w : db.airways) {
        s += fieldsText(9, w.name, w.segmentCount) + '\n';
        for (const AirwaySegment& g : w.segments) s += recordText(g, 9) + '\n';
    }
    return s;
}

// Polls like the start-up page: once per "frame" until the parts are loaded or time is up.
bool pollUntilReady(const NavDatabase& db) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!databaseReady(db)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
}  // namespace

TEST(LoaderThreads, FourThreadsGiveExactlyTheSingleThreadedDatabase) {
    NavDatabase single;
    loadDatabaseNow(single, kSampleRoot);
    ASSERT_TRUE(databaseFullyLoaded(single));
    EXPECT_GT(single.fixes.size(), 1000u);

    NavDatabase threaded;
    requestDatabaseLoad(threaded, kSampleRoot);
    EXPECT_TRUE(databaseLoadRequested(threaded));
    ASSERT_TRUE(pollUntilReady(threaded));
    // Read what the start-up page may read as soon as it sees the flags, while the fixes may
    // still be loading (ThreadSanitizer checks the publication).
    EXPECT_EQ(findIdentifier(threaded, "KSEA", GeoPoint{}).front().kind, WaypointKind::Airport);
    EXPECT_EQ(threaded.cycleText, "17-OCT-2013");
    waitForDatabaseLoad(threaded);
    ASSERT_TRUE(databaseFullyLoaded(threaded));
    EXPECT_EQ(describe(threaded), describe(single));
    // The grid was published with the navaids (its answers are compared with the scan's apart).
    EXPECT_EQ(threaded.navaidGrid.builtOver, threaded.navaids.size());
}

TEST(LoaderThreads, TheLoadStartsOnce) {
    NavDatabase db;
    startDatabaseLoad(db, kSampleRoot);
    waitForDatabaseLoad(db);
    size_t airports = db.airports.size();
    startDatabaseLoad(db, kSampleRoot);  // already started: no thread
    requestDatabaseLoad(db, kSampleRoot);
    for (const std::thread& t : db.loaderThreads.threads) EXPECT_FALSE(t.joinable());
    EXPECT_EQ(db.airports.size(), airports);  // not read twice
    EXPECT_TRUE(databaseLoadRequested(db));

    // A database that goes away while its loaders run waits for them (the sanitizers see
    // any write into freed memory).
    for (int i = 0; i < 3; ++i) {
        NavDatabase early;
        requestDatabaseLoad(early, kSampleRoot);
    }
}

TEST(LoaderThreads, MissingFiles) {
    // Waypoints.txt missing: the start-up page still moves on to INIT, with no fixes.
    TempDir noWaypoints;
    copySampleWithout(noWaypoints, "Waypoints.txt");
    std::filesystem::remove(noWaypoints.path() / "data/Cycle.txt");
    NavDatabase noFixes;
    requestDatabaseLoad(noFixes, noWaypoints.str());
    ASSERT_TRUE(pollUntilReady(noFixes));
    waitForDatabaseLoad(noFixes);
    EXPECT_FALSE(isSet(noFixes.fixesLoaded));
    EXPECT_TRUE(noFixes.fixes.empty());
    EXPECT_FALSE(noFixes.airports.empty());
    EXPECT_TRUE(noFixes.cycleText.empty());  // no cycle file, yet the airports were read
    EXPECT_TRUE(findIdentifier(noFixes, "SESOY", GeoPoint{}).empty());

    // Navaids.txt missing: the others load, but the database never becomes ready.
    TempDir noNavaidFile;
    copySampleWithout(noNavaidFile, "Navaids.txt");
    NavDatabase noNavaids;
    requestDatabaseLoad(noNavaids, noNavaidFile.str());
    waitForDatabaseLoad(noNavaids);
    EXPECT_FALSE(databaseReady(noNavaids));
    EXPECT_TRUE(isSet(noNavaids.airportsLoaded) && isSet(noNavaids.airwaysLoaded) &&
                isSet(noNavaids.fixesLoaded));
    EXPECT_FLOAT_EQ(magneticVariationAt(noNavaids, 47.5, -122.3), 0.0f);
}
