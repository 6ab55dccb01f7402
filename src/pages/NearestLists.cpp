#include "pages/NearestLists.h"

#include <algorithm>
#include <cmath>

#include "geo/Geodesy.h"

namespace {

// No distance on the sphere reaches this; a corrupt coordinate is clamped to it.
constexpr float kLongestNm = 11000.0f;

void sortByDistance(std::vector<NearestEntry>& list) {
    std::sort(list.begin(), list.end(), [](const NearestEntry& a, const NearestEntry& b) {
        return a.distanceNm != b.distanceNm ? a.distanceNm < b.distanceNm : a.index < b.index;
    });
}

WaypointKind kindOf(NearestCategory category) {
    switch (category) {
        case NearestCategory::Airport:
            return WaypointKind::Airport;
        case NearestCategory::Vor:
        case NearestCategory::Ndb:
            return WaypointKind::Navaid;
        case NearestCategory::Fix:
            return WaypointKind::Fix;
    }
    return WaypointKind::None;
}

// The reference record is left out wherever the sort put it: several records within the
// same whole mile share distance 0, so it is not necessarily first.
void dropReference(std::vector<NearestEntry>& list, NearestCategory category, const FplLeg& reference) {
    if (reference.waypointKind == kindOf(category) && reference.dbIndex >= 0) {
        auto it = std::find_if(list.begin(), list.end(),
                               [&](const NearestEntry& e) { return e.index == reference.dbIndex; });
        if (it != list.end()) {
            list.erase(it);
            return;
        }
    }
    if (category != NearestCategory::Airport && !list.empty() && list.front().distanceNm == 0)
        list.erase(list.begin());
}

bool isVorListed(NavaidType type) {
    return type != NavaidType::Ndb && type != NavaidType::Dme;
}

}  // namespace

int32_t wholeNmFrom(const FplLeg& reference, float latitude, float longitude) {
    float d = distanceNm(GeoPoint{reference.latitude, reference.longitude}, GeoPoint{latitude, longitude});
    if (!(d > 0.0f)) return 0;  // also NaN
    return static_cast<int32_t>(std::min(d, kLongestNm));
}

std::vector<NearestEntry> buildNearestList(const NavDatabase& db, NearestCategory category,
                                           const FplLeg& reference) {
    std::vector<NearestEntry> list;
    switch (category) {
        case NearestCategory::Airport:
            if (!isSet(db.airportsLoaded)) return list;
            for (size_t i = 0; i < db.airports.size(); ++i) {
                const Airport& a = db.airports[i];
                list.push_back({static_cast<int32_t>(i), wholeNmFrom(reference, a.latitude, a.longitude)});
            }
            break;
        case NearestCategory::Vor:
        case NearestCategory::Ndb:
            if (!isSet(db.navaidsLoaded)) return list;
            for (size_t i = 0; i < db.navaids.size(); ++i) {
                const Navaid& n = db.navaids[i];
                bool wanted =
                    category == NearestCategory::Ndb ? n.type == NavaidType::Ndb : isVorListed(n.type);
                if (wanted)
                    list.push_back(
                        {static_cast<int32_t>(i), wholeNmFrom(reference, n.latitude, n.longitude)});
            }
            break;
        case NearestCategory::Fix: {
            if (!isSet(db.fixesLoaded)) return list;
            std::atomic<bool> never{false};
            buildNearestFixList(db.fixes, reference, never, list);
            return list;
        }
    }
    sortByDistance(list);
    dropReference(list, category, reference);
    return list;
}

bool buildNearestFixList(const std::vector<Fix>& fixes, const FplLeg& reference,
                         const std::atomic<bool>& cancel, std::vector<NearestEntry>& out) {
    out.clear();
    out.reserve(fixes.size());
    for (size_t i = 0; i < fixes.size(); ++i) {
        // A destroyed context or a new search does not wait for the whole list.
        if ((i & 4095) == 0 && cancel.load(std::memory_order_relaxed)) return false;
        out.push_back(
            {static_cast<int32_t>(i), wholeNmFrom(reference, fixes[i].latitude, fixes[i].longitude)});
    }
    sortByDistance(out);
    dropReference(out, NearestCategory::Fix, reference);
    return true;
}
