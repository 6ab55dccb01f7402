#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Harness.h"
#include "SimAircraft.h"
#include "SimTrack.h"
#include "flightplan/FlightPlan.h"

// Closed-loop flights of the whole program against the in-process stand-in simulator, on
// simulated time at 60 frames per second, with the measurements the flight-test table reports.

// The air and airframe of one flight.
struct FlightConditions {
    SimAirframe airframe = kSimJet;
    double windFromDeg = 0.0;  // true
    double windKt = 0.0;
    // The simulator's variation is the database's at the start plus this.
    double magVarOffsetDeg = 0.0;
    std::string label() const;  // "jet, calm" / "heavy, 30 kt from 250"
};

// One frame of the flight as the simulator and the steering saw it.
struct FlightSample {
    double t;            // seconds
    double lat, lon;     // degrees
    double trackTrue;    // ground track, degrees true
    double headingTrue;  // degrees true
    double bankDeg;      // right wing down positive
    double commandDeg;   // rate-limited bank command of the steering, right positive
    double altitudeFt;
};

// A leg as it was flown: the plan's geometry while it was active and its samples.
struct FlownLeg {
    int segment = 0;
    LegType type = LegType::None;
    std::string name;  // "TF ORTIN", "VA 1500FT"
    bool overfly = false;
    double fromLat = 0, fromLon = 0, toLat = 0, toLon = 0;
    int headingDeg = 0;      // heading legs
    int altitudeFt = 0;      // CA, VA
    float dmeNm = 0.0f;      // VD
    bool sequenced = false;  // left by its end condition to the next leg
    std::vector<FlightSample> samples;
};

// The figures of one leg. NaN where a figure does not apply or was not reached.
struct LegFigures {
    std::string name;
    double captureS;       // from activation to on the leg (0.1 NM and 5 degrees) or on heading (5 degrees)
    double peakTurnXtkNm;  // largest cross-track before capture
    double overshootNm;    // largest cross-track on the outside of the turn onto the leg
    double turnDeg;        // the turn onto the leg, right positive
    double steadyRmsNm;    // cross-track RMS from 60 s after capture to the leg's end
    double steadyMaxNm;    // and its largest value
    double bankOvershootDeg;  // bank beyond the largest command
    double bankP2pDeg;        // bank peak to peak from 30 s after capture to the leg's end
    bool sequenced;
    std::string sequencedAt;  // where: from the turn's bisector, from the fix, or the end value
};

class FlightRig {
public:
    static constexpr double kFrameSeconds = 1.0 / 60.0;

    explicit FlightRig(const FlightConditions& conditions);

    Harness h;
    FlightConditions conditions;

    // Places the aircraft (after the unit is up), level at the given altitude and speed, with
    // the conditions' wind and variation. The autopilot and GPS are off until engage().
    void place(double lat, double lon, double headingTrue, double altitudeFt, double tasKt);
    void engage();

    // Plan building on the model.
    void addIdent(const std::string& ident);
    void addPoint(const std::string& ident, double lat, double lon);
    // The SID's runway part and a transition (or "NONE") of an airport's procedure file.
    void addSid(const std::string& airport, const std::string& runway, const std::string& sid,
                const std::string& transition);

    // One frame of 1/60 s; then `seconds` of frames, or until `stop` holds.
    void frame();
    void fly(double seconds, const std::function<bool()>& stop = nullptr);
    // A CDU key and the two frames that act on it and show the result.
    void press(const char* key);
    void type(const char* text);

    int activeSegment() const;
    // The next change of the active leg is the pilot's (direct-to, NAV LEG), not a sequencing.
    void expectPilotLegChange() { pilotChange_ = true; }
    double seconds() const { return time_; }
    const std::vector<FlownLeg>& legs() const { return legs_; }
    std::vector<LegFigures> figures() const;
    // The plot: planned legs, flown track, sequencing points.
    std::string svg(const std::string& title) const;
    // Drawn with the planned legs (a hold's racetrack lines).
    std::vector<SimPlotLine> extraLines;
    std::vector<SimPlotMark> extraMarks;

private:
    void record();

    double time_ = 0.0;
    int frameIndex_ = 0;
    bool pilotChange_ = false;
    std::vector<FlownLeg> legs_;
    std::vector<SimTrackPoint> track_;
};

// Adds one sample to the flown legs: a new leg when the guidance's active leg changed
// (`pilotChange`: that change was the pilot's, not a sequencing; it is reset).
void recordFlightSample(std::vector<FlownLeg>& legs, bool& pilotChange, const FlightSample& sample);

// Computes the figures of leg `i` of a flight.
LegFigures legFigures(const std::vector<FlownLeg>& legs, size_t i, double simMagVarDeg);

// The flight-test table: rows added by each scenario, written as Markdown into the build
// folder (one file per scenario, and the whole table gathered from them).
struct TableRow {
    std::string scenario;
    std::string conditions;
    LegFigures f;
};
std::string markdownTable(const std::vector<TableRow>& rows);
// Writes <build>/flight/<name>.md and .svg files and gathers every scenario's table into
// <build>/flight/flight-tests.md. Returns the folder.
std::string flightOutputDir();
void writeScenarioOutput(const std::string& scenario, const std::vector<TableRow>& rows);
// The same for a scenario with a table of its own.
void writeScenarioTable(const std::string& scenario, const std::string& table);
void writeText(const std::string& path, const std::string& text);
