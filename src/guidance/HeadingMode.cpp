#include "guidance/HeadingMode.h"

#include <cmath>

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/SteeringLaws.h"
#include "simlink/SimLinkState.h"

namespace {
constexpr float kLookAheadNm = 10.0f;
constexpr double kCaptureNm = 1.0;
}  // namespace

bool headingInterceptsActiveLeg(double& distanceNm) {
    distanceNm = 0.0;
    const PlanSegment* s = planSegment(guidanceState().activeSegment);
    if (s == nullptr) return false;
    const AircraftState& a = simLinkState().aircraft;
    const int commanded = guidanceState().heading.commandedHeading;
    const GeoPoint here{a.positionF.lat, a.positionF.lon};
    GeoPoint ahead;
    destinationPoint(here, ahead, static_cast<float>(commanded + a.magVarIntDeg), kLookAheadNm);
    const GeoPoint crossing =
        greatCircleIntersection(here, ahead, {s->fromLat, s->fromLon}, {s->toLat, s->toLon});
    const double course = normalize360(vectorCourse(here, crossing) - a.magVarIntDeg);
    distanceNm = distanceNmCosine(here.lat, here.lon, crossing.lat, crossing.lon);
    const double toWaypoint = distanceNmCosine(here.lat, here.lon, s->toLat, s->toLon);
    // Compared the short way round, so that headings either side of south compare as close.
    const float off = angleDifferenceDeg(static_cast<float>(course), static_cast<float>(commanded));
    return std::fabs(off) < 5.0f && toWaypoint > distanceNm;
}

void captureArmedIntercept() {
    HeadingModeState& h = guidanceState().heading;
    if (!h.headingMode || !h.interceptArmed) return;
    double toCrossing = 0.0;
    const bool ahead = headingInterceptsActiveLeg(toCrossing);
    if (ahead && toCrossing < kCaptureNm) {
        h.headingMode = false;
        h.interceptArmed = false;
    }
}
