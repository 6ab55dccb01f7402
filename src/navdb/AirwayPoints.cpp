#include "navdb/AirwayPoints.h"

#include "geo/Geodesy.h"
#include "navdb/IdentResolve.h"

std::vector<AirwayPoint> airwayPoints(const Airway& airway) {
    std::vector<AirwayPoint> points;
    points.reserve(airway.segments.size() + 1);
    for (const AirwaySegment& s : airway.segments)
        points.push_back(AirwayPoint{s.fromIdent, s.fromLatitude, s.fromLongitude});
    if (!airway.segments.empty()) {
        const AirwaySegment& last = airway.segments.back();
        points.push_back(AirwayPoint{last.toIdent, last.toLatitude, last.toLongitude});
    }
    return points;
}

FplLeg legForAirwayPoint(const NavDatabase& db, const AirwayPoint& point, WaypointKind& guess) {
    if (point.ident.size() == 5) guess = WaypointKind::Fix;
    if (point.ident.size() == 3) guess = WaypointKind::Navaid;
    if (guess != WaypointKind::Navaid) guess = WaypointKind::Fix;
    const WaypointKind other = guess == WaypointKind::Fix ? WaypointKind::Navaid : WaypointKind::Fix;
    ResolveOptions options;
    options.maxDistanceNm = kAirwayPointToleranceNm;
    const GeoPoint at{point.latitude, point.longitude};
    for (WaypointKind kind : {guess, other}) {
        options.kinds = {kind};
        ResolvedRecord r = resolveIdent(db, point.ident, at, options);
        if (!r) continue;
        FplLeg leg = legForRecord(db, r.kind, r.index);
        addNavaidRadio(db, leg);
        return leg;
    }
    return FplLeg{};
}
