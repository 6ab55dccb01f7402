#include "FlightRig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "PlanSteps.h"
#include "SimEarth.h"
#include "navdb/Procedures.h"
#include "pages/PageTable.h"
#include "shell/Program.h"

namespace {

using namespace simearth;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kCaptureXtkNm = 0.1;
constexpr double kCaptureAngleDeg = 5.0;
constexpr double kSteadyAfterS = 60.0;
constexpr double kOscillationAfterS = 30.0;

std::string format(const char* f, double a, double b = 0.0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, f, a, b);
    return buffer;
}

bool isTrackLeg(LegType t) {
    return t == LegType::None || t == LegType::IF || t == LegType::TF || t == LegType::CF || t == LegType::CA;
}

bool isHeadingLeg(LegType t) {
    return t == LegType::VA || t == LegType::VD || t == LegType::VI || t == LegType::VM || t == LegType::VR;
}

const char* typeName(LegType t) {
    static const char* const kNames[] = {"WPT", "AF", "CA", "CD", "CI", "CF", "CR", "DF",
                                         "FA",  "FC", "FD", "FM", "IF", "PI", "RF", "TF",
                                         "VA",  "VD", "VI", "VM", "VR", "HF", "HA", "HM"};
    const int i = static_cast<int>(t);
    return i >= 0 && i < 24 ? kNames[i] : "?";
}

// Cross-track (right positive) and signed along-track distance of a point from a great circle.
struct LinePosition {
    double xtkNm;
    double alongNm;
};
LinePosition onLine(const FlownLeg& l, double lat, double lon) {
    const double d = distanceNm(l.fromLat, l.fromLon, lat, lon) / kEarthRadiusNm;
    const double off =
        (courseDeg(l.fromLat, l.fromLon, lat, lon) - courseDeg(l.fromLat, l.fromLon, l.toLat, l.toLon)) *
        kDegToRad;
    const double xtk = std::asin(std::sin(d) * std::sin(off));
    const double along = std::acos(std::clamp(std::cos(d) / std::cos(xtk), -1.0, 1.0));
    return {xtk * kEarthRadiusNm, (std::cos(off) < 0.0 ? -along : along) * kEarthRadiusNm};
}

double lineLength(const FlownLeg& l) {
    return distanceNm(l.fromLat, l.fromLon, l.toLat, l.toLon);
}

// The leg's course where the aircraft is abeam, between its initial and final course.
double localCourse(const FlownLeg& l, double alongNm) {
    const double start = courseDeg(l.fromLat, l.fromLon, l.toLat, l.toLon);
    const double end = wrap360(courseDeg(l.toLat, l.toLon, l.fromLat, l.fromLon) + 180.0);
    const double length = lineLength(l);
    const double f = length > 0.0 ? std::clamp(alongNm / length, 0.0, 1.0) : 0.0;
    return wrap360(start + wrap180(end - start) * f);
}

double finalCourse(const FlownLeg& l) {
    return wrap360(courseDeg(l.toLat, l.toLon, l.fromLat, l.fromLon) + 180.0);
}

}  // namespace

std::string FlightConditions::label() const {
    std::string s = airframe.name;
    s += windKt > 0.0 ? format(", %.0f kt from %03.0f", windKt, windFromDeg) : ", calm";
    if (magVarOffsetDeg != 0.0) s += format(", variation %+.0f deg", magVarOffsetDeg);
    return s;
}

FlightRig::FlightRig(const FlightConditions& c) : conditions(c) {
    h.start();
    h.powerOn();
    h.waitForDatabase();
    for (int i = 0; i < 20 && h.cdu().currentPage != kPageInit; ++i) h.frame();
    h.press("L5");  // ACCEPT on the INIT page
    h.frames(2);
    // One unit, which steers.
    h.settings().unitIsFms1 = true;
}

void FlightRig::place(double lat, double lon, double headingTrue, double altitudeFt, double tasKt) {
    SimAircraft& a = h.sim.aircraft();
    a.latDeg = lat;
    a.lonDeg = lon;
    a.headingTrueDeg = headingTrue;
    a.altitudeFt = a.autopilotAltitudeFt = altitudeFt;
    a.trueAirspeedKt = tasKt;
    a.bankDeg = a.rollRateDegS = a.verticalSpeedFpm = 0.0;
    a.onGround = false;
    a.airframe = conditions.airframe;
    a.windFromDeg = conditions.windFromDeg;
    a.windSpeedKt = conditions.windKt;
    a.magVarDeg = magneticVariationAt(h.context.navdb.database, lat, lon) + conditions.magVarOffsetDeg;
    a.utcSeconds = 1715702400.0;  // 14 May 2024, 16:00 UTC
    a.autopilotMaster = false;
    a.navGpsSwitch = false;
    // The guidance reads see the new place before anything is flown.
    h.frames(2);
}

void FlightRig::engage() {
    h.sim.aircraft().autopilotMaster = true;
    h.sim.aircraft().navGpsSwitch = true;
}

void FlightRig::addIdent(const std::string& ident) {
    appendIdent(h.context.navdb.database, ident);
}

void FlightRig::addPoint(const std::string& ident, double lat, double lon) {
    appendFix(ident, lat, lon);
}

void FlightRig::addSid(const std::string& airportIdent, const std::string& runwayIdent,
                       const std::string& sid, const std::string& transition) {
    NavDatabase& db = h.context.navdb.database;
    Airport* airport = nullptr;
    for (Airport& a : db.airports)
        if (a.ident == airportIdent) airport = &a;
    ASSERT_NE(airport, nullptr) << airportIdent;
    loadSids(*airport);
    Runway* runway = nullptr;
    for (Runway& r : airport->runways)
        if (r.ident == runwayIdent) runway = &r;
    ASSERT_NE(runway, nullptr) << runwayIdent;
    ProcedureSelections& sel = h.context.flightplan.selections;
    runway->sidRunwayLegs.clear();
    for (const Procedure& p : runway->sids) {
        if (p.name == sid && p.runwayIdent == runwayIdent && p.transitionName == "NONE")
            runway->sidRunwayLegs = p.legs;
        if (p.name == sid && p.transitionName == transition) sel.sidTransition = p;
    }
    ASSERT_FALSE(runway->sidRunwayLegs.empty()) << sid << " " << runwayIdent;
    sel.departureAirport = airport;
    sel.departureRunway = runway;
    insertDepartureProcedure();
}

void FlightRig::frame() {
    // 16.667 ms a frame: three frames are exactly 50 ms of the microsecond clock.
    h.sim.clock.advanceUs(frameIndex_ % 3 == 2 ? 16666 : 16667);
    h.sim.advanceMs(0);
    ASSERT_TRUE(runFrame()) << "the frame lost the simulator link";
    ++frameIndex_;
    time_ += kFrameSeconds;
    record();
}

void FlightRig::fly(double seconds, const std::function<bool()>& stop) {
    const double end = time_ + seconds;
    while (time_ < end) {
        frame();
        if (::testing::Test::HasFatalFailure() || (stop && stop())) return;
    }
}

void FlightRig::press(const char* key) {
    h.press(key);
    frame();
    frame();
}

void FlightRig::type(const char* text) {
    h.type(text);
    frame();
}

int FlightRig::activeSegment() const {
    return h.context.guidance.activeSegment;
}

void FlightRig::record() {
    const SimAircraft& a = h.sim.world.aircraft;
    const SimGroundVector g = groundVector(a);
    recordFlightSample(legs_, pilotChange_,
                       {time_, a.latDeg, a.lonDeg, g.trackTrueDeg, a.headingTrueDeg, a.bankDeg,
                        -guidanceState().steering.rateLimitedBankDeg, a.altitudeFt});
    if (frameIndex_ % 30 == 0)
        track_.push_back({time_, a.latDeg, a.lonDeg, a.altitudeFt, a.headingTrueDeg, a.bankDeg, g.speedKt});
}

void recordFlightSample(std::vector<FlownLeg>& legs, bool& pilotChange, const FlightSample& sample) {
    const int active = guidanceState().activeSegment;
    const PlanSegment* s = planSegment(active);
    const FplLeg* to = s != nullptr ? planLeg(s->toLeg) : nullptr;
    if (s == nullptr || to == nullptr) return;
    std::string what = to->ident;
    switch (s->toLegType) {
        case LegType::CA:
        case LegType::VA:
            what = format("%.0fFT", to->altitudeFt);
            break;
        case LegType::VD:
            what = to->navaidIdent + format(" D%.1f", to->distanceNm);
            break;
        case LegType::VI:
        case LegType::VM:
            what = format("HDG%03.0f", to->headingDeg);
            break;
        case LegType::VR:
            what = to->navaidIdent + format(" R%03.0f", to->radialDeg);
            break;
        default:
            break;
    }
    const std::string name = std::string(typeName(s->toLegType)) + " " + what;
    if (legs.empty() || legs.back().segment != active || legs.back().name != name) {
        if (!legs.empty()) legs.back().sequenced = active == legs.back().segment + 1 && !pilotChange;
        pilotChange = false;
        FlownLeg leg;
        leg.segment = active;
        leg.type = s->toLegType;
        leg.name = name;
        leg.overfly = to->overfly != 0;
        leg.headingDeg = to->headingDeg;
        leg.altitudeFt = to->altitudeFt;
        leg.dmeNm = to->distanceNm;
        legs.push_back(leg);
    }
    // The geometry as it stands: a CA leg starts again where the autopilot came on.
    FlownLeg& leg = legs.back();
    leg.fromLat = s->fromLat;
    leg.fromLon = s->fromLon;
    leg.toLat = s->toLat;
    leg.toLon = s->toLon;
    leg.samples.push_back(sample);
}

std::vector<LegFigures> FlightRig::figures() const {
    std::vector<LegFigures> out;
    for (size_t i = 0; i < legs_.size(); ++i)
        out.push_back(legFigures(legs_, i, h.sim.world.aircraft.magVarDeg));
    return out;
}

std::string FlightRig::svg(const std::string& title) const {
    SimPlotOverlay overlay;
    overlay.title = title;
    for (size_t i = 0; i < legs_.size(); ++i) {
        const FlownLeg& l = legs_[i];
        if (isTrackLeg(l.type) && l.fromLat != 0.0 && l.toLat != 0.0)
            overlay.lines.push_back({l.fromLat, l.fromLon, l.toLat, l.toLon});
        if (l.sequenced && i + 1 < legs_.size() && !l.samples.empty())
            overlay.marks.push_back({l.samples.back().lat, l.samples.back().lon, "> " + legs_[i + 1].name});
    }
    overlay.lines.insert(overlay.lines.end(), extraLines.begin(), extraLines.end());
    overlay.marks.insert(overlay.marks.end(), extraMarks.begin(), extraMarks.end());
    return trackSvg(track_, overlay);
}

LegFigures legFigures(const std::vector<FlownLeg>& legs, size_t i, double magVarDeg) {
    const FlownLeg& l = legs[i];
    LegFigures r{l.name, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, l.sequenced, "-"};
    if (l.samples.empty()) return r;
    const double t0 = l.samples.front().t;
    const bool track = isTrackLeg(l.type) && l.fromLat != 0.0 && l.toLat != 0.0;

    // Capture.
    std::vector<LinePosition> pos;
    double capture = kNaN;
    for (const FlightSample& s : l.samples) {
        bool on = false;
        if (track) {
            pos.push_back(onLine(l, s.lat, s.lon));
            on = std::fabs(pos.back().xtkNm) <= kCaptureXtkNm &&
                 std::fabs(wrap180(s.trackTrue - localCourse(l, pos.back().alongNm))) <= kCaptureAngleDeg;
        } else if (isHeadingLeg(l.type)) {
            on = std::fabs(wrap180(s.headingTrue - (l.headingDeg + magVarDeg))) <= kCaptureAngleDeg;
        } else if (l.type == LegType::DF) {
            on = std::fabs(wrap180(s.trackTrue - courseDeg(s.lat, s.lon, l.toLat, l.toLon))) <= 3.0;
        }
        if (on && std::isnan(capture)) capture = s.t;
    }
    if (!std::isnan(capture)) r.captureS = capture - t0;

    if (track) {
        // The turn onto the leg: from the track flown at the end of the previous leg.
        double turn = 0.0;
        if (i > 0 && !legs[i - 1].samples.empty())
            turn = wrap180(courseDeg(l.fromLat, l.fromLon, l.toLat, l.toLon) -
                           legs[i - 1].samples.back().trackTrue);
        r.turnDeg = turn;
        const double outside = turn > 1.0 ? -1.0 : (turn < -1.0 ? 1.0 : 0.0);
        double peak = 0.0, over = 0.0, sum = 0.0, maxSteady = 0.0;
        int steady = 0;
        for (size_t k = 0; k < l.samples.size(); ++k) {
            const double x = pos[k].xtkNm;
            const double t = l.samples[k].t;
            if (std::isnan(capture) || t <= capture) peak = std::max(peak, std::fabs(x));
            over = std::max(over, outside * x);
            if (!std::isnan(capture) && t >= capture + kSteadyAfterS) {
                sum += x * x;
                maxSteady = std::max(maxSteady, std::fabs(x));
                ++steady;
            }
        }
        r.peakTurnXtkNm = peak;
        if (outside != 0.0) r.overshootNm = over;
        if (steady > 0) {
            r.steadyRmsNm = std::sqrt(sum / steady);
            r.steadyMaxNm = maxSteady;
        }
    }

    double maxBank = 0.0, maxCommand = 0.0, low = 1e9, high = -1e9;
    for (const FlightSample& s : l.samples) {
        maxBank = std::max(maxBank, std::fabs(s.bankDeg));
        maxCommand = std::max(maxCommand, std::fabs(s.commandDeg));
        if (!std::isnan(capture) && s.t >= capture + kOscillationAfterS) {
            low = std::min(low, s.bankDeg);
            high = std::max(high, s.bankDeg);
        }
    }
    r.bankOvershootDeg = std::max(0.0, maxBank - maxCommand);
    if (high >= low) r.bankP2pDeg = high - low;

    // Where the leg ended.
    if (!l.sequenced) return r;
    const FlightSample& e = l.samples.back();
    const FlownLeg* next = i + 1 < legs.size() ? &legs[i + 1] : nullptr;
    switch (l.type) {
        case LegType::CA:
        case LegType::VA:
            r.sequencedAt = format("%.0f ft", e.altitudeFt);
            break;
        case LegType::VD:
            r.sequencedAt = format("D%.2f", distanceNm(e.lat, e.lon, l.toLat, l.toLon));
            break;
        case LegType::VI:
            if (next != nullptr)
                r.sequencedAt = format("xtk %.2f NM", std::fabs(onLine(*next, e.lat, e.lon).xtkNm));
            break;
        case LegType::VR:
            r.sequencedAt = format("xtk %.2f NM", std::fabs(onLine(l, e.lat, e.lon).xtkNm));
            break;
        default: {
            const double toFix = distanceNm(e.lat, e.lon, l.toLat, l.toLon);
            const bool flyBy =
                !l.overfly && next != nullptr && isTrackLeg(next->type) && next->fromLat != 0.0;
            if (!flyBy) {
                r.sequencedAt = format("fix %.2f NM", toFix);
                break;
            }
            // Signed distance from the bisector of the turn at the fix: negative before it.
            const double in = (l.type == LegType::DF ? e.trackTrue : finalCourse(l)) * kDegToRad;
            const double out = courseDeg(next->fromLat, next->fromLon, next->toLat, next->toLon) * kDegToRad;
            double nx = std::sin(in) + std::sin(out), ny = std::cos(in) + std::cos(out);
            const double norm = std::hypot(nx, ny);
            if (norm < 1e-6) {
                r.sequencedAt = format("fix %.2f NM", toFix);
                break;
            }
            nx /= norm;
            ny /= norm;
            const double east = wrap180(e.lon - l.toLon) * 60.0 * std::cos(l.toLat * kDegToRad);
            const double north = (e.lat - l.toLat) * 60.0;
            r.sequencedAt = format("bisector %+.2f NM", east * nx + north * ny);
            break;
        }
    }
    return r;
}

namespace {

std::string figure(double v, const char* f) {
    return std::isnan(v) ? "n/a" : format(f, v);
}

}  // namespace

std::string markdownTable(const std::vector<TableRow>& rows) {
    std::string s =
        "| scenario | airframe, wind | leg | capture s | peak XTK in turn NM | overshoot NM | steady XTK RMS "
        "NM | "
        "steady XTK max NM | bank overshoot deg | bank p-p deg | sequenced at |\n"
        "|---|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
    for (const TableRow& row : rows) {
        const LegFigures& f = row.f;
        s += "| " + row.scenario + " | " + row.conditions + " | " + f.name + " | " +
             figure(f.captureS, "%.0f") + " | " + figure(f.peakTurnXtkNm, "%.2f") + " | " +
             figure(f.overshootNm, "%.2f") + " | " + figure(f.steadyRmsNm, "%.3f") + " | " +
             figure(f.steadyMaxNm, "%.3f") + " | " + figure(f.bankOvershootDeg, "%.1f") + " | " +
             figure(f.bankP2pDeg, "%.1f") + " | " + (f.sequenced ? f.sequencedAt : "not sequenced") + " |\n";
    }
    return s;
}

std::string flightOutputDir() {
    const std::string dir = std::string(FMS_BINARY_DIR) + "/flight";
    std::filesystem::create_directories(dir);
    return dir;
}

void writeText(const std::string& path, const std::string& text) {
    // Written whole and renamed, so that scenarios finishing together never leave half a file.
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::filesystem::rename(temporary, path);
}

void writeScenarioOutput(const std::string& scenario, const std::vector<TableRow>& rows) {
    writeScenarioTable(scenario, markdownTable(rows));
}

void writeScenarioTable(const std::string& scenario, const std::string& table) {
    const std::string dir = flightOutputDir();
    writeText(dir + "/" + scenario + ".md", "### " + scenario + "\n\n" + table + "\n");
    std::vector<std::string> parts;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() == ".md" && name != "flight-tests.md") parts.push_back(e.path().string());
    }
    std::sort(parts.begin(), parts.end());
    std::string all =
        "# Flight tests\n\nClosed-loop flights of the program against the stand-in simulator at 60 frames "
        "per "
        "second of simulated time. Capture: on the leg within 0.1 NM and 5 degrees of its course (heading "
        "legs: "
        "within 5 degrees of the heading; direct-to legs: the track within 3 degrees of the fix). Steady "
        "cross-track: from 60 s after capture to the end of the leg. Bank peak to peak: from 30 s after "
        "capture. "
        "Sequencing of fly-by legs is measured from the bisector of the turn (negative: before it).\n\n";
    for (const std::string& p : parts) {
        std::ifstream in(p, std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    writeText(dir + "/flight-tests.md", all);
}
