#include "shell/FramePacer.h"

#include "platform/Clock.h"

void FramePacer::waitForNextFrame(Clock& clock) {
    // Whole seconds and the rest apart: a nanosecond counter times a million would overflow
    // once the machine has been up for a few hours.
    const int64_t counter = clock.perfCounter();
    const int64_t frequency = clock.perfFrequency();
    const int64_t now = counter / frequency * 1000000 + counter % frequency * 1000000 / frequency;
    if (nextMicros_ < 0) nextMicros_ = now;
    nextMicros_ += 1000000 / framesPerSecond_;
    if (nextMicros_ > now) {
        clock.sleepMicros(nextMicros_ - now);
    } else {
        nextMicros_ = now;
    }
}
