#include "shell/FramePacer.h"

#include "platform/Clock.h"

void FramePacer::waitForNextFrame(Clock& clock) {
    const int64_t now = clock.perfCounter() * 1000000 / clock.perfFrequency();
    if (nextMicros_ < 0) nextMicros_ = now;
    nextMicros_ += 1000000 / framesPerSecond_;
    if (nextMicros_ > now) {
        clock.sleepMicros(nextMicros_ - now);
    } else {
        nextMicros_ = now;
    }
}
