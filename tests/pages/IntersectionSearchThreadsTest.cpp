// The nearest-intersection search thread and a context destroyed while it runs (the LIST
// page tests cover its results). Run under ThreadSanitizer by the test script.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "shell/Fms.h"
#include "TestRecords.h"
#include "navdb/DatabaseLoad.h"
#include "pages/IntersectionSearch.h"

namespace {

TEST(IntersectionSearchThreads, ContextDestroyedDuringASearch) {
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
