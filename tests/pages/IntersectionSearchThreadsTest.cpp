// The nearest-intersection search thread: result, ready flag, one writer at a time, and a
// context destroyed while the thread runs. Run under ThreadSanitizer by the test script.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "Fms.h"
#include "TestRecords.h"
#include "navdb/DatabaseLoad.h"
#include "pages/IntersectionSearch.h"

namespace {

bool waitReady(const IntersectionSearch& search) {
    for (int i = 0; i < 2000 && !search.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return search.ready();
}

TEST(ListPageThreads, SearchWaitsForTheFixesAndIgnoresASecondStart) {
    NavDatabase db;
    addFix(db, "NEAR1", 45.06f, 7.0f);  // 3.6 NM
    addFix(db, "ATREF", 45.0f, 7.0f);   // the reference's own position
    addFix(db, "FAR01", 45.52f, 7.0f);  // 31.2 NM
    // The fixes loader has not published: the worker must not read the list yet.
    IntersectionSearch search;
    FplLeg reference = legAt(WaypointKind::Airport, 0, 45.0f, 7.0f);
    ASSERT_TRUE(search.start(db, reference));
    EXPECT_TRUE(search.running());
    EXPECT_FALSE(search.start(db, reference));  // one writer on the list at a time
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(search.ready());
    EXPECT_TRUE(search.result().empty());

    publish(db.fixesLoaded);
    ASSERT_TRUE(waitReady(search));
    EXPECT_FALSE(search.running());
    ASSERT_EQ(search.result().size(), 2u);  // ATREF at distance 0 goes
    EXPECT_EQ(search.result()[0].index, 0);
    EXPECT_EQ(search.result()[0].distanceNm, 3);
    EXPECT_EQ(search.result()[1].index, 2);
    EXPECT_EQ(search.result()[1].distanceNm, 31);

    // Once finished a new search may start, from a new reference.
    ASSERT_TRUE(search.start(db, legAt(WaypointKind::Fix, 2, 45.52f, 7.0f)));
    ASSERT_TRUE(waitReady(search));
    ASSERT_EQ(search.result().size(), 2u);
    EXPECT_EQ(search.result()[0].index, 0);  // 27.6 NM
    EXPECT_EQ(search.result()[0].distanceNm, 27);
}

TEST(ListPageThreads, ContextDestroyedDuringASearch) {
    // A long list so that the worker is still sorting when the context goes away, and a
    // second context whose fixes never load, so that its worker is still waiting.
    for (bool loaded : {true, false}) {
        auto context = std::make_unique<Fms>();
        NavDatabase& db = context->navdb.database;
        for (int i = 0; i < 100000; ++i)
            addFix(db, "F", 40.0f + (i % 1000) * 0.01f, 10.0f + (i / 1000) * 0.01f);
        if (loaded) markDatabaseLoaded(db);
        ASSERT_TRUE(
            context->pages.list.intersections.start(db, legAt(WaypointKind::Airport, 0, 41.0f, 11.0f)));
        auto before = std::chrono::steady_clock::now();
        context.reset();  // must neither crash nor leave a thread reading freed lists
        // Cancelled, not waited for: well under the time a full search may take.
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    }
}

}  // namespace
