#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SimAircraft.h"

// One sample of the flown track.
struct SimTrackPoint {
    double timeSeconds;  // simulator run time
    double latDeg;
    double lonDeg;
    double altitudeFt;
    double headingTrueDeg;
    double bankDeg;  // positive = right wing down
    double groundSpeedKt;
};

// The aircraft with a fixed-step integrator and the flown track. step() may be called with any
// time slice (the real time between two loop passes, or an hour in a test): it runs whole
// integration steps and carries the remainder to the next call.
class SimWorld {
public:
    // Two steps per frame of a program paced at 60 frames per second.
    static constexpr double kStepSeconds = 1.0 / 120.0;
    static constexpr size_t kMaxTrackPoints = 200000;

    SimAircraft aircraft;

    void step(double dtSeconds);
    double runSeconds() const { return static_cast<double>(steps_) * kStepSeconds; }

    // The track is sampled every trackIntervalSeconds of unpaused run time; when it grows past
    // kMaxTrackPoints every other sample is dropped and the interval doubles.
    const std::vector<SimTrackPoint>& track() const { return track_; }
    double trackIntervalSeconds() const { return trackInterval_; }
    void clearTrack();

private:
    void record();

    double pending_ = 0.0;
    int64_t steps_ = 0;
    double nextSample_ = 0.0;
    double trackInterval_ = 1.0;
    std::vector<SimTrackPoint> track_;
};
