#include "SimWorld.h"

#include <algorithm>
#include <cmath>

void SimWorld::step(double dtSeconds) {
    if (!(dtSeconds > 0.0) || !std::isfinite(dtSeconds)) return;
    pending_ += dtSeconds;
    // Whole steps in this slice; the tolerance keeps 5 x 0.02 s from counting as 4 steps.
    const int64_t steps = static_cast<int64_t>(std::floor(pending_ / kStepSeconds + 1e-6));
    pending_ = std::max(0.0, pending_ - static_cast<double>(steps) * kStepSeconds);
    for (int64_t i = 0; i < steps; ++i) {
        if (!aircraft.paused && runSeconds() + 1e-9 >= nextSample_) record();
        stepAircraft(aircraft, kStepSeconds);
        ++steps_;
    }
}

void SimWorld::clearTrack() {
    track_.clear();
    trackInterval_ = 1.0;
    nextSample_ = runSeconds();
}

void SimWorld::record() {
    if (track_.size() >= kMaxTrackPoints) {
        size_t kept = 0;
        for (size_t i = 0; i < track_.size(); i += 2) track_[kept++] = track_[i];
        track_.resize(kept);
        trackInterval_ *= 2.0;
    }
    const SimGroundVector ground = groundVector(aircraft);
    track_.push_back({runSeconds(), aircraft.latDeg, aircraft.lonDeg, aircraft.altitudeFt,
                      aircraft.headingTrueDeg, aircraft.bankDeg, ground.speedKt});
    nextSample_ = runSeconds() + trackInterval_;
}
