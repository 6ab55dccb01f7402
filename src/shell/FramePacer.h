#pragma once

#include <cstdint>

class Clock;

// Keeps frames at most `framesPerSecond` apart on the clock's performance counter. A display
// that waits for its refresh in present() already spaces them and the pacer then waits for
// nothing; without one (no vertical sync, a remote or virtual display) the pacer sleeps out
// the rest of each period instead of drawing as fast as the machine can. A frame that ran
// late starts the count again: there is no burst of short frames to catch up.
class FramePacer {
public:
    explicit FramePacer(int framesPerSecond) : framesPerSecond_(framesPerSecond) {}
    // Called once after each frame has been presented.
    void waitForNextFrame(Clock& clock);

private:
    int framesPerSecond_;
    int64_t nextMicros_ = -1;
};
