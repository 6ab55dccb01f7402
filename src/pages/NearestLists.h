#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "navdb/FplLeg.h"
#include "navdb/NavDatabase.h"

// The nearest-record lists of the LIST page: every record of one category with its distance
// from a reference leg, nearest first.

struct NearestEntry {
    int32_t index = 0;       // database index in the category's list
    int32_t distanceNm = 0;  // great-circle distance truncated to whole NM, never below 0
};

enum class NearestCategory {
    Airport,  // every airport
    Vor,      // navaids of every type but NDB and DME-only
    Ndb,      // navaids of type NDB
    Fix,      // every named fix
};

// Builds the list for a category whose list is loaded (an unloaded list gives an empty
// result). Entries are sorted by distance, equal distances by database index. The reference
// record itself never appears (it is found by its dbIndex when the reference leg is of the
// list's kind); otherwise a navaid or fix list drops its first entry when that lies at
// distance 0, a record co-located with the reference.
std::vector<NearestEntry> buildNearestList(const NavDatabase& db, NearestCategory category,
                                           const FplLeg& reference);

// The fix list from the fixes themselves, for the search thread. Returns false, with `out`
// unspecified, when `cancel` was raised before the list was complete.
bool buildNearestFixList(const std::vector<Fix>& fixes, const FplLeg& reference,
                         const std::atomic<bool>& cancel, std::vector<NearestEntry>& out);

// Whole nautical miles from the reference leg to a point, truncated, never below 0 and never
// undefined for a corrupt coordinate.
int32_t wholeNmFrom(const FplLeg& reference, float latitude, float longitude);
