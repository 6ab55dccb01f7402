#pragma once

#include <cstdint>

// Roll steering: three outer laws turn a navigation error into a commanded bank, and the inner
// bank-hold law turns that bank into an aileron deflection. Banks use the simulator's sign:
// positive = left wing down.

// One limited PID controller, shared in shape by the three laws.
struct PidController {
    float processValue = 0.0f;
    float feedForwardInput = 0.0f;  // multiplied by kFeedForward and added
    float rateInput = 0.0f;         // multiplied by kRate and subtracted
    float dt = 0.0f;                // seconds since the previous update
    float error = 0.0f;             // last error after limiting
    float errorMin = 0.0f;
    float errorMax = 0.0f;
    float kP = 0.0f;
    float kRate = 0.0f;
    float kI = 0.0f;
    float kFeedForward = 0.0f;
    float pTerm = 0.0f;
    float iTerm = 0.0f;
    float setpoint = 0.0f;
    float output = 0.0f;
    float setpointMax = 0.0f;
    float setpointMin = 0.0f;
    float outputMin = 0.0f;
    float outputMax = 0.0f;
    float iMin = 0.0f;
    float iMax = 0.0f;
    int32_t integrationMask = 0;  // integration is skipped while (saturationFlags & mask) != 0
    int32_t saturationFlags = 0;  // bit 0 error limited, bit 1 output limited
};

inline constexpr int32_t kErrorLimited = 1;
inline constexpr int32_t kOutputLimited = 2;

// One update. An error clipped at errorMax clears every flag (only a clip at errorMin keeps
// bit 0), so the bank-hold integrator stops only on a low clip after a limited output.
void pidStep(PidController& pid);

// The three controllers with their constants.
PidController bankHoldController();
PidController trackHoldController();
PidController headingHoldController();

struct SteeringState {
    PidController bankPid = bankHoldController();
    PidController trackPid = trackHoldController();
    PidController headingPid = headingHoldController();
    float rateLimitedBankDeg = 0.0f;  // what bank hold steers to, moved 0.5 degrees per call
    float displayedBankDeg = 0.0f;    // the same, copied after each outer law (DATA page)
    int32_t previousCommandedHeading = 0;
    // Performance-counter stamps of the laws' time steps.
    int64_t bankStamp = 0;
    int64_t trackStamp = 0;
    int64_t headingStamp = 0;
};

// Start-up: the bank-hold constants, including its first time step of 0.05 s.
void initSteering();

// Inner law: steers the bank toward `requestedBankDeg` (positive left) and writes the aileron.
void bankHold(float requestedBankDeg);
// Outer law for track legs: holds the desired magnetic course with no cross-track error;
// beyond 5000 ft either side it intercepts at 45 degrees. Does nothing while the simulator is
// paused or slewing.
void trackHold(float desiredCourseMagDeg, float crossTrackNm);
// Outer law toward the commanded heading of heading mode (also direct-to-fix legs); writes
// the autopilot heading.
void headingHold();
// Proportional outer law for heading legs.
void headingLegSteer(float headingDeg);
// Clears the track-hold integrator (the hold's legs start their tracking afresh).
void resetTrackHoldIntegrator();

// Signed difference a - b wrapped into -180..180.
float angleDifferenceDeg(float a, float b);
