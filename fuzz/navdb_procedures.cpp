// The four procedure readers and the working lists built from them, on arbitrary bytes.
// The first input byte picks the selections so that every path is reached.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "navdb/Procedures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    uint8_t choice = data[0];
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    Airport a;
    a.ident = "TEST";
    for (const char* ident : {"09", "27", "ALL", "04L"}) a.runways.emplace_back().ident = ident;
    a.selectedRunwayIndex = (choice & 7) - 1;  // -1..6: also outside the list
    a.selectedRunwayIdent = "27";
    a.sidIndex = (choice >> 3) & 3;
    a.starIndex = (choice >> 5) & 3;
    ProcedureLists lists;
    readSids(a, lists, text);
    for (const MenuEntry& e : lists.sidMenu) {
        const Runway& r = a.runways[static_cast<size_t>(a.selectedRunwayIndex)];
        if (static_cast<size_t>(e.position) >= r.sids.size()) __builtin_trap();
    }
    buildSidLists(a, lists);
    fillSidRunwayLegs(a, lists);
    readStars(a, lists, text);
    buildStarTransitions(a, lists);
    for (Runway& r : a.runways) {
        readFinalApproaches(r, a, text);
        readApproachTransitions(r, a, text);
        for (const FinalApproach& f : r.approaches.finals) {
            // Lines 2 .. legLimit - 1 of a block are its legs.
            if (!f.legs.empty() && static_cast<int64_t>(f.legs.size()) + 2 > f.legLimit) __builtin_trap();
            keepTransitionsOfApproach(r, f);
            for (const ApproachTransition& t : r.approaches.transitions)
                if (t.approachType != f.approachType) __builtin_trap();
            break;
        }
    }
    return 0;
}
