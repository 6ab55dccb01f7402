#include "guidance/LateralGuidance.h"

#include <cmath>
#include <vector>

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/HeadingMode.h"
#include "guidance/HoldGuidance.h"
#include "guidance/SteeringLaws.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr float kAnticipationBankDeg = 25.0f;
constexpr float kRadToDegTrack = 57.2957795129f;
constexpr float kFlyOverCaptureNm = 0.1f;
constexpr float kViHeadingWindowDeg = 20.0f;
constexpr float kVrCaptureNm = 0.2f;

GeoPoint aircraftPositionF() {
    const AircraftState& a = simLinkState().aircraft;
    return {a.positionF.lat, a.positionF.lon};
}

GeoPoint segmentStart(const PlanSegment& s) {
    return {s.fromLat, s.fromLon};
}

GeoPoint segmentEnd(const PlanSegment& s) {
    return {s.toLat, s.toLon};
}

bool pausedOrSlewing() {
    const AircraftState& a = simLinkState().aircraft;
    return a.paused != 0 || a.slewing != 0;
}

bool isHoldLeg(LegType t) {
    return t == LegType::HF || t == LegType::HA || t == LegType::HM;
}

int latchGroup(LegType t) {
    switch (t) {
        case LegType::None:
        case LegType::IF:
            return kLatchPlain;
        case LegType::CA:
            return kLatchCa;
        case LegType::CF:
            return kLatchCf;
        case LegType::DF:
            return kLatchDf;
        case LegType::TF:
            return kLatchTf;
        case LegType::VD:
            return kLatchVd;
        case LegType::VI:
            return kLatchVi;
        case LegType::VR:
            return kLatchVr;
        default:
            return -1;
    }
}

// Takes the leg's geometry when its group's flag is armed.
void latch(const PlanSegment& s) {
    LateralGuidanceState& g = guidanceState().lateral;
    const int group = latchGroup(s.toLegType);
    if (group < 0 || !g.latchArmed[group]) return;
    g.latchArmed[group] = false;
    LatchedLeg& l = g.latchedLeg;
    switch (s.toLegType) {
        case LegType::None:
        case LegType::IF:
        case LegType::TF:
        case LegType::CA:
            l.from = segmentStart(s);
            l.to = segmentEnd(s);
            l.desiredCourseMag = static_cast<float>(normalize360(s.courseTrue - s.magVar));
            break;
        case LegType::CF:
            // The course is taken again from the leg's ends. It stays in the latch: the
            // segment keeps its true course for the pages.
            l.from = segmentStart(s);
            l.to = segmentEnd(s);
            l.desiredCourseMag = static_cast<float>(normalize360(initialBearing(l.from, l.to) - s.magVar));
            break;
        case LegType::VI:
            l.from = segmentEnd(s);
            l.to = segmentStart(s);
            l.desiredCourseMag = static_cast<float>(normalize360(s.courseTrue - s.magVar));
            break;
        case LegType::VR: {
            const FplLeg* to = planLeg(s.toLeg);
            l.from = segmentStart(s);
            l.to = segmentEnd(s);
            l.desiredCourseMag = to != nullptr ? static_cast<float>(to->radialDeg) : 0.0f;
            break;
        }
        default:  // DF and VD only clear their flag
            return;
    }
    l.variation = s.magVar;
}

// Steering along the latched leg, with the NAV1 course and the panel's deviation.
void trackOutput() {
    LateralGuidanceState& g = guidanceState().lateral;
    g.crossTrackError = crossTrackNm(g.latchedLeg.from, g.latchedLeg.to, aircraftPositionF());
    trackHold(g.latchedLeg.desiredCourseMag, g.crossTrackError);
    writeNav1CourseAndDeviation(g.latchedLeg.desiredCourseMag, g.crossTrackError);
}

// Heading legs fly the leg's heading and give the autopilot that heading.
void headingLegOutput(const FplLeg& t) {
    HeadingModeState& h = guidanceState().heading;
    h.commandedHeading = t.headingDeg;
    h.hdgTurnDirection = 0;
    headingLegSteer(static_cast<float>(t.headingDeg));
    writeAutopilotHeading(static_cast<float>(t.headingDeg));
}

// The end test of waypoint legs: fly-by when the turn starts, fly-over at the fix, and either
// once the aircraft is abeam the end point.
bool waypointLegEnds(const PlanSegment& s, const FplLeg& t) {
    LateralGuidanceState& g = guidanceState().lateral;
    const AircraftState& a = simLinkState().aircraft;
    const GeoPoint p = aircraftPositionF();
    g.distanceToGo = distanceNm(p, g.latchedLeg.to);
    g.turnAnticipation =
        turnAnticipationNm(g.latchedLeg.desiredCourseMag, g.nextCourse,
                           static_cast<float>(a.groundSpeedIntKt), kAnticipationBankDeg, pausedOrSlewing());
    const float along = signedAlongTrackNm(g.latchedLeg.from, g.latchedLeg.to, p, g.crossTrackError);
    const bool abeam = along >= s.distanceNm;
    if (t.overfly == 0) return g.turnAnticipation > g.distanceToGo || abeam;
    return g.distanceToGo <= kFlyOverCaptureNm || abeam;
}

void flyLegNav() {
    LateralGuidanceState& g = guidanceState().lateral;
    FlightPlanState& fp = flightPlanState();
    const AircraftState& a = simLinkState().aircraft;
    const std::vector<PlanSegment>& segs = fp.planSegments;
    const int active = guidanceState().activeSegment;
    const PlanSegment* s = planSegment(active);
    const PlanSegment* n = planSegment(active + 1);

    if (active != g.previousActiveSegment || fp.planChanged) {
        if (s != nullptr) {
            const int group = latchGroup(s->toLegType);
            if (group >= 0) g.latchArmed[group] = true;
        }
        fp.planChanged = false;
    }
    // Remembered as checked, not at the end of the frame: a leg sequenced below must be
    // latched in the next frame.
    g.previousActiveSegment = active;
    const FplLeg* t = s != nullptr ? planLeg(s->toLeg) : nullptr;
    if (s == nullptr || t == nullptr || a.autopilotMaster == 0 || segs.empty()) {
        fp.planChanged = true;  // latched again when steering resumes
        return;
    }
    latch(*s);
    const GeoPoint p = aircraftPositionF();
    const float gs = static_cast<float>(a.groundSpeedIntKt);
    const FplLeg* nt = n != nullptr ? planLeg(n->toLeg) : nullptr;
    const float magVarInt = static_cast<float>(a.magVarIntDeg);
    bool ends = false;

    switch (s->toLegType) {
        case LegType::None:
        case LegType::IF:
        case LegType::TF:
            trackOutput();
            g.nextCourse = n != nullptr ? n->courseTrue - magVarInt : 0.0f;
            ends = waypointLegEnds(*s, *t);
            break;
        case LegType::CA:
            trackOutput();
            ends = a.altimeterFt >= t->altitudeFt;
            break;
        case LegType::CF:
            trackOutput();
            if (nt == nullptr)
                g.nextCourse = 0.0f;
            else
                g.nextCourse =
                    static_cast<float>(n->toLegType == LegType::VR ? nt->headingDeg : nt->courseDeg);
            ends = waypointLegEnds(*s, *t);
            break;
        case LegType::DF: {
            HeadingModeState& h = guidanceState().heading;
            const GeoPoint end = segmentEnd(*s);
            h.commandedHeading = static_cast<int32_t>(normalize360(initialBearing(p, end) - magVarInt));
            headingHold();
            g.distanceToGo = distanceNm(p, end);
            if (n != nullptr) {
                g.nextCourse = n->courseTrue - magVarInt;
                g.turnAnticipation =
                    turnAnticipationNm(static_cast<float>(a.groundTrackRad) * kRadToDegTrack, g.nextCourse,
                                       gs, kAnticipationBankDeg, pausedOrSlewing());
            } else {
                g.turnAnticipation = kFlyOverCaptureNm;
            }
            ends = g.turnAnticipation >= g.distanceToGo;
            break;
        }
        case LegType::VA:
            headingLegOutput(*t);
            ends = a.altimeterFt >= t->altitudeFt;
            break;
        case LegType::VD:
            headingLegOutput(*t);
            ends = distanceNm(p, segmentEnd(*s)) >= t->distanceNm;
            break;
        case LegType::VI: {
            headingLegOutput(*t);
            g.crossTrackError = n != nullptr ? crossTrackNm(segmentStart(*n), segmentEnd(*n), p) : 0.0f;
            writeNav1CourseAndDeviation(g.latchedLeg.desiredCourseMag, g.crossTrackError);
            g.nextCourse = nt != nullptr ? static_cast<float>(nt->courseDeg) : 0.0f;
            g.turnAnticipation =
                turnAnticipationNm(a.headingMagF, g.nextCourse, gs, kAnticipationBankDeg, pausedOrSlewing());
            // Within 20 degrees of the leg heading, measured the short way round north.
            const bool onHeading =
                std::fabs(angleDifferenceDeg(a.headingMagF, static_cast<float>(t->headingDeg))) <
                kViHeadingWindowDeg;
            ends = g.turnAnticipation > std::fabs(g.crossTrackError) && onHeading;
            break;
        }
        case LegType::VM:
            headingLegOutput(*t);
            break;
        case LegType::VR:
            headingLegOutput(*t);
            g.crossTrackError = crossTrackNm(g.latchedLeg.from, g.latchedLeg.to, p);
            writeNav1CourseAndDeviation(g.latchedLeg.desiredCourseMag, g.crossTrackError);
            ends = std::fabs(g.crossTrackError) <= kVrCaptureNm;
            break;
        case LegType::HF:
        case LegType::HA:
        case LegType::HM:
            if (guidanceState().hold.holdState == 0) sequenceLeg();
            holdGuidance(s->toLegType);
            break;
        default:  // not flown: no steering, no end
            break;
    }
    if (ends) sequenceLeg();
}

// The autopilot's descent toward the active leg's altitude on the planned gradient.
void vnavDescentOutput() {
    const PlanSegment* s = planSegment(guidanceState().activeSegment);
    const FplLeg* t = s != nullptr ? planLeg(s->toLeg) : nullptr;
    if (t == nullptr) return;
    const AircraftState& a = simLinkState().aircraft;
    const float d = distanceNm(aircraftPositionF(), segmentEnd(*s));
    const int delta = t->altitudeFt - a.altimeterFt;
    if (!(d > 0.0f) || std::abs(delta) <= 50 || t->altitudeFt < 11) return;
    const int verticalSpeed =
        static_cast<int>(clampf(static_cast<float>(verticalSpeedForGradientFpm(
                                    a.groundSpeedIntKt, static_cast<int>(d * 6076.12f), delta)),
                                -5000.0f, 5000.0f));
    if (delta < 0) writeAutopilotVerticalSpeed(verticalSpeed);
    writeAutopilotAltitude(static_cast<float>(t->altitudeFt));
}

}  // namespace

float signedAlongTrackNm(const GeoPoint& from, const GeoPoint& to, const GeoPoint& p, float crossTrackNm) {
    const float along = alongTrackNm(from, to, p, crossTrackNm, false);
    // The along-track distance has no sign of its own; behind the start it counts backwards, so
    // that a leg is not taken as flown while the aircraft has yet to reach it.
    const float offCourse = angleDifferenceDeg(initialBearing(from, p), initialBearing(from, to));
    return std::fabs(offCourse) > 90.0f ? -along : along;
}

void sequenceLeg() {
    if (simLinkState().aircraft.slewing != 0) return;
    const int count = static_cast<int>(flightPlanState().planSegments.size());
    int& active = guidanceState().activeSegment;
    active = std::max(0, std::min(active + 1, count - 1));
    // Reaching the hold leg with the hold armed (or flown) starts it with the entry the heading
    // gives.
    const PlanSegment* s = planSegment(active);
    if (s != nullptr && s->toLegType == LegType::HM && guidanceState().hold.holdState != kHoldNone)
        startHoldAtFix();
}

void setActiveLegByIdent(const std::string& ident) {
    const std::vector<PlanSegment>& segs = flightPlanState().planSegments;
    for (size_t i = 0; i < segs.size(); ++i) {
        const FplLeg* t = planLeg(segs[i].toLeg);
        if (t != nullptr && t->ident == ident && !isHoldLeg(segs[i].toLegType))
            guidanceState().activeSegment = static_cast<int32_t>(i);
    }
}

void flyDirectTo(int dtoIndex, int nxIndex) {
    const FplLeg* leg = planLeg(dtoIndex);
    if (leg == nullptr) return;
    const std::string ident = leg->ident;
    makeDirectTo(dtoIndex, nxIndex);
    // The chosen leg itself becomes active: found by its ident, a later leg of the same name
    // would be flown instead of the one the pilot picked.
    if (dtoIndex >= 1)
        guidanceState().activeSegment = dtoIndex - 1;
    else
        setActiveLegByIdent(ident);
}

void runGuidance() {
    LateralGuidanceState& g = guidanceState().lateral;
    const int count = static_cast<int>(flightPlanState().planSegments.size());
    // Legs deleted under the active one leave it past the end: fly the last leg instead of none.
    if (count > 0 && guidanceState().activeSegment >= count) guidanceState().activeSegment = count - 1;
    if (const PlanSegment* s = planSegment(guidanceState().activeSegment))
        g.panelWaypoint = static_cast<uint8_t>(s->waypointOrdinal & 0xFF);

    readGuidanceInputs();
    writePanelWaypoint(g.panelWaypoint);
    const AircraftState& a = simLinkState().aircraft;
    const bool coupled = lnavCoupled(a);
    captureArmedIntercept();
    predictHoldEntry();
    g.guidanceMode = guidanceState().heading.headingMode ? kGuidanceHeading : kGuidanceNav;

    bool steeredNav = false;
    if (g.guidanceMode == kGuidanceHeading) {
        if (coupled && a.paused == 0) headingHold();
    } else {
        if (count > 0 && a.onGround == 0) {
            if (coupled) {
                flyLegNav();
                steeredNav = true;
            }
            if (readPanelVnavEnabled()) vnavDescentOutput();
        }
        // CA and VI lines start from where the aircraft is when the autopilot comes on.
        if (a.autopilotMaster != 0 && !g.previousAutopilotMaster) rebuildPlanSegments();
    }
    // While the legs are not being flown, the active one is latched afresh when they are.
    if (!steeredNav) flightPlanState().planChanged = true;

    writePanelCoupled(coupled);
    g.previousGuidanceMode = g.guidanceMode;
    g.previousAutopilotMaster = a.autopilotMaster != 0;
    if (!steeredNav) g.previousActiveSegment = guidanceState().activeSegment;
}
