#include "navdb/NavDatabase.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "geo/Geodesy.h"

namespace {
GeoPoint pointOf(float latitude, float longitude) {
    return GeoPoint{latitude, longitude};
}

// A list is read only once its loader has published it; before that it reads as empty.
template <typename T>
std::span<const T> loadedOrEmpty(const std::vector<T>& list, const ReadyFlag& flag) {
    return isSet(flag) ? std::span<const T>(list) : std::span<const T>();
}
}  // namespace

FplLeg nearestAirport(const NavDatabase& db, double latitude, double longitude) {
    std::span<const Airport> airports = loadedOrEmpty(db.airports, db.airportsLoaded);
    GeoPoint here{latitude, longitude};
    bool plainHere = latitude >= -90.0 && latitude <= 90.0;
    float best = 55555.0f;
    size_t bestIndex = 0;
    for (size_t i = 0; i < airports.size(); ++i) {
        const Airport& a = airports[i];
        // A great-circle distance is at least 60 NM per degree of latitude difference (for
        // latitudes within +-90). An airport that cannot come out strictly nearer is passed
        // over without the trigonometry; the margin covers the rounding of the float result.
        if (plainHere && a.latitude >= -90.0f && a.latitude <= 90.0f &&
            std::fabs(a.latitude - latitude) * 60.0 > best * 1.0001 + 0.01)
            continue;
        float d = distanceNm(here, pointOf(a.latitude, a.longitude));
        if (best > d) {
            best = d;
            bestIndex = i;
        }
    }
    FplLeg leg;
    leg.waypointKind = WaypointKind::Airport;
    leg.dbIndex = static_cast<int32_t>(bestIndex);
    if (bestIndex < airports.size()) {
        const Airport& a = airports[bestIndex];
        leg.ident = a.ident;
        leg.latitude = a.latitude;
        leg.longitude = a.longitude;
        leg.elevationFt = a.elevationFt;
    }
    return leg;
}

std::optional<GeoPoint> recordPosition(const NavDatabase& db, const IdentMatch& match) {
    const size_t i = static_cast<size_t>(match.index);
    if (match.index < 0) return std::nullopt;
    switch (match.kind) {
        case WaypointKind::Fix:
            if (i < db.fixes.size()) return GeoPoint{db.fixes[i].latitude, db.fixes[i].longitude};
            break;
        case WaypointKind::Navaid:
            if (i < db.navaids.size()) return GeoPoint{db.navaids[i].latitude, db.navaids[i].longitude};
            break;
        case WaypointKind::Airport:
            if (i < db.airports.size()) return GeoPoint{db.airports[i].latitude, db.airports[i].longitude};
            break;
        default:
            break;
    }
    return std::nullopt;
}

IdentMatches findIdentifier(const NavDatabase& db, const std::string& ident, const GeoPoint& reference) {
    struct Found {
        IdentMatch match;
        float distanceNm;
    };
    std::vector<Found> found;
    auto collect = [&](auto records, WaypointKind kind) {
        for (size_t i = 0; i < records.size(); ++i) {
            if (records[i].ident != ident) continue;
            const float d = distanceNm(reference, GeoPoint{records[i].latitude, records[i].longitude});
            // A record whose position gives no distance goes last rather than anywhere.
            found.push_back({{kind, static_cast<int32_t>(i)}, std::isnan(d) ? INFINITY : d});
        }
    };
    collect(loadedOrEmpty(db.fixes, db.fixesLoaded), WaypointKind::Fix);
    collect(loadedOrEmpty(db.navaids, db.navaidsLoaded), WaypointKind::Navaid);
    collect(loadedOrEmpty(db.airports, db.airportsLoaded), WaypointKind::Airport);
    // Stable: equally near records keep the collection order.
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.distanceNm < b.distanceNm; });
    IdentMatches result;
    result.reserve(found.size());
    for (const Found& f : found) result.push_back(f.match);
    return result;
}

namespace {
void matchFixes(const NavDatabase& db, const FplLeg& leg, IdentMatches& result) {
    std::span<const Fix> fixes = loadedOrEmpty(db.fixes, db.fixesLoaded);
    for (size_t i = 0; i < fixes.size(); ++i) {
        if (fixes[i].ident == leg.ident && fixes[i].latitude == leg.latitude)
            result.push_back({WaypointKind::Fix, static_cast<int32_t>(i)});
    }
}

// Navaids match by latitude alone: navaid legs built without a name (LIST page) still match.
void matchNavaids(const NavDatabase& db, const FplLeg& leg, IdentMatches& result) {
    std::span<const Navaid> navaids = loadedOrEmpty(db.navaids, db.navaidsLoaded);
    for (size_t i = 0; i < navaids.size(); ++i) {
        if (navaids[i].latitude == leg.latitude) result.push_back({WaypointKind::Navaid, static_cast<int32_t>(i)});
    }
}
}  // namespace

IdentMatches matchLeg(const NavDatabase& db, const FplLeg& leg) {
    IdentMatches result;
    switch (leg.waypointKind) {
        case WaypointKind::Airport: {
            std::span<const Airport> airports = loadedOrEmpty(db.airports, db.airportsLoaded);
            for (size_t i = 0; i < airports.size(); ++i)
                if (airports[i].name == leg.name) result.push_back({WaypointKind::Airport, static_cast<int32_t>(i)});
            break;
        }
        case WaypointKind::Navaid:
            matchNavaids(db, leg, result);
            break;
        case WaypointKind::Fix:
            matchFixes(db, leg, result);
            break;
        case WaypointKind::AirwayEntry:
            matchFixes(db, leg, result);
            matchNavaids(db, leg, result);
            break;
        default:
            break;
    }
    return result;
}

const Navaid* findNavaidNear(const NavDatabase& db, const FplLeg& leg) {
    for (const Navaid& n : loadedOrEmpty(db.navaids, db.navaidsLoaded)) {
        if (n.ident != leg.ident) continue;
        if (!(n.latitude - leg.latitude < 1.0f)) continue;
        if (n.type == NavaidType::Localizer || n.type == NavaidType::Dme) continue;
        return &n;
    }
    return nullptr;
}

const Fix* findFixNear(const NavDatabase& db, const FplLeg& leg) {
    for (const Fix& f : loadedOrEmpty(db.fixes, db.fixesLoaded))
        if (f.ident == leg.ident && f.latitude - leg.latitude < 1.0f) return &f;
    return nullptr;
}

void airwaysThroughFix(const NavDatabase& db, const FplLeg& leg, std::vector<AirwayRef>& out) {
    out.clear();
    std::span<const Airway> airways = loadedOrEmpty(db.airways, db.airwaysLoaded);
    for (size_t i = 0; i < airways.size(); ++i) {
        for (const AirwaySegment& s : airways[i].segments) {
            if (s.fromIdent != leg.ident) continue;
            // Consecutive entries of one airway collapse to one.
            if (!out.empty() && out.back().name == airways[i].name) continue;
            out.push_back(AirwayRef{airways[i].name, static_cast<int32_t>(i)});
        }
    }
}

float magneticVariationAt(const NavDatabase& db, double latitude, double longitude) {
    if (!isSet(db.navaidsLoaded)) return 0.0f;
    int32_t i = nearestVariationNavaid(db.navaidGrid, db.navaids, latitude, longitude);
    return i < 0 ? 0.0f : db.navaids[static_cast<size_t>(i)].declination;
}
