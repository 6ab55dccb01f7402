#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"
#include "pages/NearestLists.h"

// The nearest-intersection search of the LIST page, on a thread of its own: the fix list is
// long and the frames must go on while it is sorted.
//
// The main thread owns the object. The worker is handed a copy of the reference leg and the
// database's fix list with its ready flag, writes only `result` and then publishes `ready`
// (release); the main thread reads `result` only after loading `ready` (acquire). The worker
// waits for the fixes loader when the fixes are not loaded yet. Destroying the object cancels
// and joins a running worker, so a context that goes away during a search leaves no thread
// behind (the pages state is destroyed before the database it reads).
class IntersectionSearch {
public:
    IntersectionSearch() = default;
    ~IntersectionSearch() { stop(); }
    IntersectionSearch(const IntersectionSearch&) = delete;
    IntersectionSearch& operator=(const IntersectionSearch&) = delete;

    // Starts a search from `reference`. Returns false, changing nothing, while a search runs
    // (a second request never starts a second writer on the list).
    bool start(const NavDatabase& db, const FplLeg& reference);
    // A search has been started and has not finished.
    bool running() const { return started_ && !isSet(ready_); }
    // The last search has finished; result() is complete.
    bool ready() const { return isSet(ready_); }
    // The finished list; empty while a search runs.
    const std::vector<NearestEntry>& result() const;
    // Cancels a running search and waits for its thread.
    void stop();

private:
    std::thread worker_;
    ReadyFlag ready_{0};
    std::atomic<bool> cancel_{false};
    bool started_ = false;
    std::vector<NearestEntry> result_;
};
