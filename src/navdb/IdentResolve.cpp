#include "navdb/IdentResolve.h"

#include <algorithm>

#include "geo/Geodesy.h"
#include "navdb/NavDatabase.h"

namespace {

template <typename T>
const std::vector<T>* loadedList(const std::vector<T>& list, const ReadyFlag& flag) {
    return isSet(flag) ? &list : nullptr;
}

template <typename T>
void buildTable(IdentTable& table, const std::vector<T>& list) {
    if (table.builtOver == list.size()) return;
    table.entries.clear();
    table.entries.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        table.entries.emplace_back(std::string_view(list[i].ident), static_cast<int32_t>(i));
    // Stable by identifier: namesakes keep their list order.
    std::stable_sort(table.entries.begin(), table.entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    table.builtOver = list.size();
}

template <typename T>
std::span<const std::pair<std::string_view, int32_t>> lookUp(IdentTable& table, const std::vector<T>* list,
                                                             std::string_view ident) {
    if (list == nullptr) return {};
    buildTable(table, *list);
    auto range = std::equal_range(table.entries.begin(), table.entries.end(),
                                  std::pair<std::string_view, int32_t>(ident, 0),
                                  [](const auto& a, const auto& b) { return a.first < b.first; });
    return {range.first, range.second};
}

}  // namespace

std::span<const std::pair<std::string_view, int32_t>> recordsNamed(const NavDatabase& db, WaypointKind kind,
                                                                   std::string_view ident) {
    IdentIndex& index = db.identIndex;
    switch (kind) {
        case WaypointKind::Airport:
            return lookUp(index.airports, loadedList(db.airports, db.airportsLoaded), ident);
        case WaypointKind::Navaid:
            return lookUp(index.navaids, loadedList(db.navaids, db.navaidsLoaded), ident);
        case WaypointKind::Fix:
            return lookUp(index.fixes, loadedList(db.fixes, db.fixesLoaded), ident);
        default:
            return {};
    }
}

bool recordPosition(const NavDatabase& db, WaypointKind kind, int32_t index, double& latitude,
                    double& longitude) {
    // A table still being read is not looked at (its loader may be growing it).
    if (recordIdent(db, kind, index) == nullptr) return false;
    const std::optional<GeoPoint> p = recordPosition(db, IdentMatch{kind, index});
    if (!p) return false;
    latitude = p->lat;
    longitude = p->lon;
    return true;
}

const std::string* recordIdent(const NavDatabase& db, WaypointKind kind, int32_t index) {
    if (index < 0) return nullptr;
    const size_t i = static_cast<size_t>(index);
    if (kind == WaypointKind::Airport && isSet(db.airportsLoaded) && i < db.airports.size())
        return &db.airports[i].ident;
    if (kind == WaypointKind::Navaid && isSet(db.navaidsLoaded) && i < db.navaids.size())
        return &db.navaids[i].ident;
    if (kind == WaypointKind::Fix && isSet(db.fixesLoaded) && i < db.fixes.size()) return &db.fixes[i].ident;
    return nullptr;
}

ResolvedRecord resolveIdent(const NavDatabase& db, std::string_view ident,
                            const std::optional<GeoPoint>& near, const ResolveOptions& options) {
    ResolvedRecord best;
    float bestDistance = 0.0f;
    for (WaypointKind kind : options.kinds) {
        for (const auto& [name, index] : recordsNamed(db, kind, ident)) {
            if (kind == WaypointKind::Navaid && options.skipLocalizers) {
                NavaidType t = db.navaids[static_cast<size_t>(index)].type;
                if (t == NavaidType::Localizer || t == NavaidType::Dme) continue;
            }
            ResolvedRecord r;
            r.kind = kind;
            r.index = index;
            if (!recordPosition(db, kind, index, r.latitude, r.longitude)) continue;
            if (!near) return r;  // the first record of the first kind that has one
            float d = distanceNm(*near, GeoPoint{r.latitude, r.longitude});
            if (!(d <= options.maxDistanceNm)) continue;
            // Strictly nearer wins: of equal distances the earlier kind and record stay.
            if (!best || d < bestDistance) {
                best = r;
                bestDistance = d;
            }
        }
    }
    return best;
}

FplLeg legForRecord(const NavDatabase& db, WaypointKind kind, int32_t index) {
    FplLeg leg;
    double latitude = 0.0;
    double longitude = 0.0;
    if (!recordPosition(db, kind, index, latitude, longitude)) return leg;
    const size_t i = static_cast<size_t>(index);
    leg.waypointKind = kind;
    leg.legType = LegType::None;
    leg.latitude = static_cast<float>(latitude);
    leg.longitude = static_cast<float>(longitude);
    leg.dbIndex = index;
    if (kind == WaypointKind::Airport) {
        const Airport& a = db.airports[i];
        leg.ident = a.ident;
        leg.name = a.name;
        leg.elevationFt = a.elevationFt;
    } else if (kind == WaypointKind::Navaid) {
        const Navaid& n = db.navaids[i];
        leg.ident = n.ident;
        leg.name = n.name;
    } else {
        leg.ident = db.fixes[i].ident;
    }
    return leg;
}

void addNavaidRadio(const NavDatabase& db, FplLeg& leg) {
    if (leg.waypointKind != WaypointKind::Navaid || leg.dbIndex < 0) return;
    const size_t i = static_cast<size_t>(leg.dbIndex);
    if (!isSet(db.navaidsLoaded) || i >= db.navaids.size()) return;
    leg.frequency = db.navaids[i].frequency;
    leg.declination = db.navaids[i].declination;
}
