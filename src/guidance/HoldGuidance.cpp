#include "guidance/HoldGuidance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flightplan/FlightPlan.h"
#include "flightplan/FlightPlanState.h"
#include "guidance/GuidanceState.h"
#include "guidance/LateralGuidance.h"
#include "guidance/SteeringLaws.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "simlink/AircraftState.h"
#include "simlink/SimLinkState.h"

namespace {

constexpr float kBankGain = 2.5f;
constexpr float kMaxBankDeg = 30.0f;
constexpr float kBankHoldLimitDeg = 25.0f;  // what bank hold steers to at most
constexpr float kForcedTurnBeyondDeg = 90.0f;
constexpr float kOnInboundDeg = 2.0f;
constexpr float kOnOutboundDeg = 3.0f;
constexpr float kAtFixNm = 0.1f;
// The lines are drawn this far out from the fix; the inbound leg ends abeam the fix.
constexpr float kLineLengthNm = 20.0f;
// The teardrop's outbound heading lies this far from the outbound course, on the holding side.
constexpr float kTeardropOffsetDeg = 30.0f;
// The entries hand over to the track law once the heading is within this of the inbound
// course: the law intercepts the line from wherever the turn has brought the aircraft.
constexpr float kInterceptHandoverDeg = 90.0f;
// The direct entry's turn at the fix keeps the hold's direction until this close to the course.
constexpr float kDirectEntryForcedBeyondDeg = 20.0f;

HoldDefinition& hold() {
    return guidanceState().hold;
}

bool isHoldLeg(LegType t) {
    return t == LegType::HF || t == LegType::HA || t == LegType::HM;
}

GeoPoint aircraftPosition() {
    const AircraftState& a = simLinkState().aircraft;
    return {a.positionF.lat, a.positionF.lon};
}

int32_t reciprocal(int32_t courseDeg) {
    return static_cast<int32_t>(normalize360(courseDeg + 180.0));
}

// Variation at the fix: the segment into the fix carries it (the first leg's own segment
// otherwise).
float variationAtFix(int fixIndex) {
    if (const PlanSegment* s = planSegment(fixIndex - 1)) return s->magVar;
    if (const PlanSegment* s = planSegment(fixIndex)) return s->magVar;
    return 0.0f;
}

// A line from the fix outward on magnetic course `courseDeg`.
HoldLine lineFromFix(const GeoPoint& fix, float courseDeg, float variation) {
    HoldLine l;
    l.from = fix;
    destinationPoint(fix, l.to, courseDeg + variation, kLineLengthNm);
    l.courseDeg = courseDeg;
    return l;
}

// The inbound and outbound lines run through the fix on the defined courses (not along the
// leg into the fix, which a course entered by the pilot need not follow).
void buildHoldLines() {
    HoldDefinition& h = hold();
    const FplLeg* fix = planLeg(h.fixLegIndex);
    if (fix == nullptr) return;
    const GeoPoint p{fix->latitude, fix->longitude};
    const float variation = variationAtFix(h.fixLegIndex);
    h.outbound = lineFromFix(p, static_cast<float>(h.outboundCourseDeg), variation);
    h.inbound.from = h.outbound.to;
    h.inbound.to = p;
    h.inbound.courseDeg = static_cast<float>(h.inboundCourseDeg);
    h.inbound.crossTrackNm = h.inbound.offsetNm = 0.0f;
    float entryCourse = static_cast<float>(h.outboundCourseDeg);
    if (h.entryType == kEntryTeardrop)
        entryCourse += h.holdTurn == 1 ? kTeardropOffsetDeg : -kTeardropOffsetDeg;
    h.entry = lineFromFix(p, static_cast<float>(normalize360(entryCourse)), variation);
}

// Bank toward `courseDeg`: the shorter way (turn 0), or in the hold's direction (1 left, 2
// right) while more than 90 degrees remain. Positive banks turn left.
void turnToward(float courseDeg, int turn, float& errorDeg, float forcedBeyondDeg = kForcedTurnBeyondDeg) {
    const AircraftState& a = simLinkState().aircraft;
    // The difference is wrapped: two half-circle headings either side of south are close,
    // and an unwrapped difference there would turn the long way round.
    errorDeg = angleDifferenceDeg(static_cast<float>(a.headingMagDeg), courseDeg);
    const float size = std::fabs(errorDeg);
    float bank = kBankGain * errorDeg;
    if (size > forcedBeyondDeg && turn == 2) bank = -kBankGain * size;
    if (size > forcedBeyondDeg && turn == 1) bank = kBankGain * size;
    bankHold(clampf(bank, -kMaxBankDeg, kMaxBankDeg));
    SteeringState& s = guidanceState().steering;
    s.displayedBankDeg = s.rateLimitedBankDeg;
}

// Track law along a line at its offset; the distance flown along it from its start.
float trackLine(HoldLine& l) {
    const GeoPoint p = aircraftPosition();
    const float xtk = crossTrackNm(l.from, l.to, p);
    l.crossTrackNm = xtk + l.offsetNm;
    trackHold(l.courseDeg, l.crossTrackNm);
    guidanceState().lateral.crossTrackError = l.crossTrackNm;
    writeNav1CourseAndDeviation(l.courseDeg, l.crossTrackNm);
    return signedAlongTrackNm(l.from, l.to, p, xtk);
}

// A leg starts: its time from now, its tracking without the previous leg's integral.
void startLeg(int32_t state) {
    HoldDefinition& h = hold();
    h.holdState = state;
    h.holdTimer = 0.0f;
    elapsedSeconds(h.holdTimerStamp);
    resetTrackHoldIntegrator();
}

// The outbound leg ends by time, or else by distance; with neither it goes on.
bool outboundLegDone(float alongNm) {
    const HoldDefinition& h = hold();
    if (h.legTimeMin != 0.0f) return h.holdTimer >= h.legTimeMin * 60.0f;
    return h.legDistanceNm != 0.0f && alongNm >= h.legDistanceNm;
}

// The first outbound leg after an entry is flown a full turn's width (at the 25 degrees bank
// hold allows) from the inbound course, so that the inbound turn ends on it. The cross-track
// where that turn onto it ended says nothing of the width: the turn may have begun off the
// inbound course or turned less than a half circle, and the inbound turn would then end on the
// non-holding side. Later legs keep where their turn ended.
float firstOutboundOffset() {
    const HoldDefinition& h = hold();
    const float speedFtS = simLinkState().aircraft.groundSpeedKt * 1.68781f;
    const float radiusNm =
        speedFtS * speedFtS / (32.174f * std::tan(kBankHoldLimitDeg * 0.0174533f)) / 6076.12f;
    const float side = h.holdTurn == 1 ? -1.0f : 1.0f;  // right of the inbound course for right turns
    return side * 2.0f * radiusNm;
}

void trace(const char* format, double a, double b = 0.0) {
    // Every frame: only for the debugging log's user.
    if (platform().settings.enableDebug) std::printf(format, a, b);
}

void flyInbound(LegType type) {
    HoldDefinition& h = hold();
    const float along = trackLine(h.inbound);
    trace("inboundTrack Error:%f\r", h.inbound.crossTrackNm);
    const float toFix = distanceNm(aircraftPosition(), h.inbound.to);
    if (toFix > kAtFixNm && along < kLineLengthNm) return;
    if (type == LegType::HF) {
        h.holdState = kHoldNone;  // the hold is left at the fix
        sequenceLeg();
    } else {
        h.holdState = kHoldTurnToOutbound;
    }
}

void flyOutbound(HoldLine& line, int32_t next) {
    HoldDefinition& h = hold();
    const float along = trackLine(line);
    h.holdTimer += elapsedSeconds(h.holdTimerStamp);
    trace("outboundTrack Error:%f holdTime:%f\r", line.crossTrackNm, h.holdTimer);
    if (outboundLegDone(along)) h.holdState = next;
}

}  // namespace

int32_t holdEntryFor(float headingMagDeg, int32_t inboundCourseDeg, int32_t holdTurn) {
    const float fromInbound = static_cast<float>(inboundCourseDeg) - headingMagDeg;
    // Degrees round from the inbound course, counted toward the holding side.
    float theta = std::fmod(holdTurn == 1 ? fromInbound : -fromInbound, 360.0f);
    if (theta < 0.0f) theta += 360.0f;
    if (theta >= 110.0f && theta <= 180.0f) return kEntryParallel;
    if (theta > 180.0f && theta < 250.0f) return kEntryTeardrop;
    return kEntryDirect;
}

void chooseHoldFix(int legIndex) {
    HoldDefinition& h = hold();
    std::vector<FplLeg>& legs = flightPlanState().plan.legs;
    if (legIndex < 0 || static_cast<size_t>(legIndex) >= legs.size()) return;
    // A fix chosen before loses its fly-over mark with its role.
    if (h.fixLegIndex >= 0 && h.fixLegIndex != legIndex && static_cast<size_t>(h.fixLegIndex) < legs.size())
        legs[static_cast<size_t>(h.fixLegIndex)].overfly = 0;
    legs[static_cast<size_t>(legIndex)].overfly = 1;
    h.fixLegIndex = legIndex;
    h.holdFixIndex = legIndex;
    h.holdTurn = 2;
    h.legDistanceNm = 0.0f;
    h.entryType = kEntryDirect;
    h.legTimeMin = 1.0f;
    const PlanSegment* into = planSegment(legIndex - 1);
    h.inboundCourseDeg = into != nullptr ? static_cast<int32_t>(into->courseTrue - into->magVar) : 0;
    h.inboundCourseDeg = static_cast<int32_t>(normalize360(h.inboundCourseDeg));
    h.outboundCourseDeg = reciprocal(h.inboundCourseDeg);
    h.holdFieldSelection = 8;
    h.holdState = kHoldNone;
    rebuildPlanSegments();  // the fix is now a fly-over point
    buildHoldLines();
}

void setHoldInboundCourse(int32_t courseDeg) {
    HoldDefinition& h = hold();
    h.inboundCourseDeg = courseDeg;
    h.outboundCourseDeg = reciprocal(courseDeg);
    buildHoldLines();
}

void setHoldOutboundCourse(int32_t courseDeg) {
    HoldDefinition& h = hold();
    h.outboundCourseDeg = courseDeg;
    h.inboundCourseDeg = reciprocal(courseDeg);
    buildHoldLines();
}

bool planHasHoldLeg() {
    for (const PlanSegment& s : planSegments())
        if (isHoldLeg(s.toLegType)) return true;
    return false;
}

void insertHoldLeg() {
    FplLeg leg;
    leg.waypointKind = WaypointKind::Hold;
    leg.legType = LegType::HM;
    // Leg number fix + 2 is index fix + 1.
    insertLegBefore(hold().fixLegIndex + 2, leg);
}

void armHold() {
    hold().holdState = kHoldArmed;
    if (!planHasHoldLeg() && hold().fixLegIndex >= 0) insertHoldLeg();
}

void disarmHold() {
    hold().holdState = kHoldNone;
    const PlanSegment* s = planSegment(guidanceState().activeSegment);
    if (s != nullptr && isHoldLeg(s->toLegType)) sequenceLeg();
}

void startHoldAtFix() {
    HoldDefinition& h = hold();
    if (h.holdState == kHoldNone) return;
    h.entryType = holdEntryFor(simLinkState().aircraft.headingMagF, h.inboundCourseDeg, h.holdTurn);
    buildHoldLines();
    h.firstCircuit = true;
    if (h.entryType == kEntryDirect)
        startLeg(kHoldTurnToOutbound);
    else
        startLeg(kHoldEntryTurnOut);
}

void predictHoldEntry() {
    HoldDefinition& h = hold();
    if (h.fixLegIndex < 0 || (h.holdState != kHoldNone && h.holdState != kHoldArmed)) return;
    h.entryType = holdEntryFor(simLinkState().aircraft.headingMagF, h.inboundCourseDeg, h.holdTurn);
}

void holdGuidance(LegType type) {
    HoldDefinition& h = hold();
    float e = 0.0f;
    switch (h.holdState) {
        case kHoldInbound:
            flyInbound(type);
            break;
        case kHoldTurnToInbound:
            h.inbound.crossTrackNm = crossTrackNm(h.inbound.from, h.inbound.to, aircraftPosition());
            turnToward(static_cast<float>(h.inboundCourseDeg), h.holdTurn, e);
            if (std::fabs(e) < kOnInboundDeg) startLeg(kHoldInbound);
            break;
        case kHoldOutbound:
            flyOutbound(h.outbound, kHoldTurnToInbound);
            break;
        case kHoldTurnToOutbound: {
            const float xtk = crossTrackNm(h.inbound.from, h.inbound.to, aircraftPosition());
            // The turn at the fix after a direct entry goes the hold's way even when the
            // other way is shorter: the shorter way would cross to the non-holding side.
            const bool directEntry = h.firstCircuit && h.entryType == kEntryDirect;
            turnToward(static_cast<float>(h.outboundCourseDeg), h.holdTurn, e,
                       directEntry ? kDirectEntryForcedBeyondDeg : kForcedTurnBeyondDeg);
            if (std::fabs(e) < kOnOutboundDeg) {
                startLeg(kHoldOutbound);
                h.outbound.offsetNm = h.firstCircuit ? firstOutboundOffset() : xtk;
                h.firstCircuit = false;
            }
            break;
        }
        case kHoldEntryTurnOut:
            turnToward(h.entry.courseDeg, 0, e);
            if (std::fabs(e) < kOnOutboundDeg) startLeg(kHoldEntryOutbound);
            break;
        case kHoldEntryOutbound:
            flyOutbound(h.entry, kHoldEntryTurnBack);
            break;
        case kHoldEntryTurnBack: {
            // Parallel: back across the outbound course to the holding side; teardrop: the
            // hold's own turn.
            const int away = h.holdTurn == 1 ? 2 : 1;
            turnToward(static_cast<float>(h.inboundCourseDeg),
                       h.entryType == kEntryParallel ? away : h.holdTurn, e);
            if (std::fabs(e) < kInterceptHandoverDeg) startLeg(kHoldInbound);
            break;
        }
        default:  // none or armed: nothing is flown
            break;
    }
}
