#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "TempDir.h"
#include "navdb/DatabaseFiles.h"
#include "navdb/DatabaseLoad.h"

namespace {
// A database of a few thousand records in all five files, with the odd blank, short and
// orphan line, so that both loads take the same decisions on the same input.
void writeDatabase(const TempDir& dir, bool withNavaids = true, bool withWaypoints = true,
                   bool withCycle = true) {
    std::ostringstream airports, navaids, fixes, airways;
    airports << "R,ORPHAN,1,2,3,4,5,6,7,8,9,10\n";
    for (int i = 0; i < 1500; ++i) {
        airports << "A,AP" << i << ",AIRPORT " << i << ',' << (i % 170) - 85 + 0.25 << ','
                 << (i % 350) - 175 + 0.5 << ',' << i * 3.7 << '\n';
        for (int k = 0; k < i % 4; ++k)
            airports << "R," << k << "L," << k * 90 << ",3000,50,1,0.5," << k * 90 << ",1.5,2.5," << i
                     << ",0\n";
        if (i % 100 == 0) airports << "\n";
    }
    for (int i = 0; i < 2500; ++i) {
        navaids << "N" << i % 900 << ",NAVAID " << i << ",11" << i % 10 << ".3," << i % 2 << ','
                << (i / 2) % 2 << ",0," << (i % 160) - 80 << ',' << (i % 340) - 170 << ',' << i % 3000
                << ",x,x,x," << (i % 7) - 3 << '\n';
        if (i % 333 == 0) navaids << "SHORT,LINE\n\n";
    }
    for (int i = 0; i < 6000; ++i) {
        fixes << "F" << i % 2000 << ',' << (i % 150) - 75 + 0.125 << ',' << (i % 300) - 150 << ",R" << i % 9
              << '\n';
        if (i % 777 == 0) fixes << "\n";
    }
    for (int i = 0; i < 400; ++i) {
        airways << "A,AW" << i << ',' << i % 5 << '\n';
        for (int k = 0; k < i % 5; ++k)
            airways << "S,F" << k << ",1.5,2.5,F" << k + 1 << ",3.5,4.5," << k * 10 << ',' << k * 20
                    << ",12.5\n";
    }
    dir.write("data/airports.txt", airports.str());
    if (withNavaids) dir.write("data/Navaids.txt", navaids.str());
    if (withWaypoints) dir.write("data/Waypoints.txt", fixes.str());
    dir.write("data/Ats.txt", airways.str());
    if (withCycle) dir.write("data/Cycle.txt", "X,AIRAC2401250222\n");
}

// Every field of every record, floats exactly.
std::string describe(const NavDatabase& db) {
    std::ostringstream s;
    s << std::hexfloat << db.cycleText << '\n';
    for (const Airport& a : db.airports) {
        s << a.ident << a.name << a.latitude << a.longitude << a.elevation << a.dbIndex << '\n';
        for (const Runway& r : a.runways)
            s << r.ident << r.heading << r.length << r.secondLength << r.elevation << r.thresholdLatitude
              << r.thresholdLongitude << r.keptFlag << r.keptReal << r.inboundCourse << r.keptReal2 << '\n';
    }
    for (const Navaid& n : db.navaids)
        s << n.ident << n.name << n.frequency << static_cast<int>(n.type) << n.keptInt << n.latitude
          << n.longitude << n.elevation << n.declination << n.dbIndex << '\n';
    for (const Fix& f : db.fixes)
        s << f.ident << f.latitude << f.longitude << f.regionText << f.dbIndex << '\n';
    for (const Airway& w : db.airways) {
        s << w.name << w.segmentCount << '\n';
        for (const AirwaySegment& g : w.segments)
            s << g.fromIdent << g.fromLatitude << g.fromLongitude << g.inboundValue << g.toIdent
              << g.toLatitude << g.toLongitude << g.outboundValue << g.segmentLength << '\n';
    }
    return s.str();
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
    TempDir dir;
    writeDatabase(dir);
    NavDatabase single;
    loadDatabaseNow(single, dir.str());
    ASSERT_TRUE(databaseFullyLoaded(single));

    NavDatabase threaded;
    EXPECT_FALSE(databaseLoadRequested(threaded));
    requestDatabaseLoad(threaded, dir.str());
    EXPECT_TRUE(databaseLoadRequested(threaded));
    ASSERT_TRUE(pollUntilReady(threaded));
    // Read what the start-up page may read as soon as it sees the flags, while the fixes may
    // still be loading (ThreadSanitizer checks the publication).
    EXPECT_EQ(threaded.airports.size(), 1500u);
    EXPECT_EQ(findIdentifier(threaded, "AP7").indices, std::vector<int32_t>{7});
    EXPECT_EQ(threaded.cycleText, "24-012-0222");
    waitForDatabaseLoad(threaded);
    ASSERT_TRUE(databaseFullyLoaded(threaded));
    EXPECT_EQ(describe(threaded), describe(single));
    EXPECT_EQ(threaded.navaids.size(), 2500u);
    EXPECT_EQ(threaded.fixes.size(), 6000u);
    EXPECT_EQ(threaded.airways.size(), 400u);
    // The grid was published with the navaids.
    EXPECT_TRUE(threaded.navaidGrid.built);
    EXPECT_EQ(threaded.navaidGrid.builtOver, threaded.navaids.size());
    for (double lat = -80; lat <= 80; lat += 7.3)
        for (double lon = -170; lon <= 170; lon += 11.1)
            ASSERT_EQ(magneticVariationAt(threaded, lat, lon), magneticVariationByScan(threaded, lat, lon));
}

TEST(LoaderThreads, TheLoadStartsOnce) {
    TempDir dir;
    writeDatabase(dir);
    NavDatabase db;
    startDatabaseLoad(db, dir.str());
    EXPECT_TRUE(isSet(db.loadStarted));
    waitForDatabaseLoad(db);
    startDatabaseLoad(db, dir.str());  // already started: no thread
    requestDatabaseLoad(db, dir.str());
    for (const std::thread& t : db.loaderThreads.threads) EXPECT_FALSE(t.joinable());
    EXPECT_EQ(db.airports.size(), 1500u);  // not read twice
    EXPECT_TRUE(databaseLoadRequested(db));

    // A database that goes away while its loaders run waits for them (the sanitizers see
    // any write into freed memory).
    for (int i = 0; i < 3; ++i) {
        NavDatabase early;
        requestDatabaseLoad(early, dir.str());
        EXPECT_TRUE(isSet(early.loadStarted));
    }
}

TEST(LoaderThreads, MissingWaypointsStillCompleteTheLoad) {
    TempDir dir;
    writeDatabase(dir, true, false, false);
    NavDatabase db;
    requestDatabaseLoad(db, dir.str());
    ASSERT_TRUE(pollUntilReady(db));
    waitForDatabaseLoad(db);
    EXPECT_TRUE(databaseReady(db));  // INIT is reachable
    EXPECT_FALSE(isSet(db.fixesLoaded));
    EXPECT_FALSE(databaseFullyLoaded(db));
    EXPECT_TRUE(db.fixes.empty());
    EXPECT_TRUE(db.cycleText.empty());  // no cycle file, yet the airports were read
    EXPECT_EQ(db.airports.size(), 1500u);
    EXPECT_EQ(findIdentifier(db, "F12").kind, WaypointKind::None);
}

TEST(LoaderThreads, MissingNavaidsNeverCompleteTheLoad) {
    TempDir dir;
    writeDatabase(dir, false);
    NavDatabase db;
    requestDatabaseLoad(db, dir.str());
    waitForDatabaseLoad(db);
    EXPECT_FALSE(isSet(db.navaidsLoaded));
    EXPECT_FALSE(databasePartsLoaded(db));
    EXPECT_FALSE(databaseReady(db));
    EXPECT_TRUE(isSet(db.airportsLoaded));
    EXPECT_TRUE(isSet(db.airwaysLoaded));
    EXPECT_TRUE(isSet(db.fixesLoaded));
    EXPECT_FLOAT_EQ(magneticVariationAt(db, 0, 0), 0.0f);
}
