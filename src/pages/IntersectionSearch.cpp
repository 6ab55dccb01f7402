#include "pages/IntersectionSearch.h"

#include <chrono>

namespace {

const std::vector<NearestEntry> kNoEntries;

// How often a worker waiting for the fixes loader looks at its flags again.
constexpr std::chrono::milliseconds kLoaderPoll{5};

void runSearch(const std::vector<Fix>* fixes, const ReadyFlag* fixesLoaded, FplLeg reference,
               const std::atomic<bool>* cancel, std::vector<NearestEntry>* result, ReadyFlag* ready) {
    // The fix list may still be growing: it is read only once its loader has published it.
    while (!isSet(*fixesLoaded)) {
        if (cancel->load(std::memory_order_relaxed)) return;
        std::this_thread::sleep_for(kLoaderPoll);
    }
    if (buildNearestFixList(*fixes, reference, *cancel, *result)) publish(*ready);
}

}  // namespace

bool IntersectionSearch::start(const NavDatabase& db, const FplLeg& reference) {
    if (running()) return false;
    if (worker_.joinable()) worker_.join();  // finished: nothing left to wait for
    result_.clear();
    ready_.store(0, std::memory_order_relaxed);  // no worker exists now
    cancel_.store(false, std::memory_order_relaxed);
    started_ = true;
    worker_ = std::thread(runSearch, &db.fixes, &db.fixesLoaded, reference, &cancel_, &result_, &ready_);
    return true;
}

const std::vector<NearestEntry>& IntersectionSearch::result() const {
    return ready() ? result_ : kNoEntries;
}

void IntersectionSearch::stop() {
    cancel_.store(true, std::memory_order_relaxed);
    if (worker_.joinable()) worker_.join();
    // A cancelled search never published; the next start begins from scratch.
    if (!isSet(ready_)) started_ = false;
}
