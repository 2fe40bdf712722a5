// The clock the frame timer reads in the browser. The browser wakes the program once per
// animation frame (60, 120, 144 Hz or whatever the screen does); the game wants one tick
// every 25 ms. This clock moves only at the start of an animation frame, and then by whole
// timer intervals, so the frame timer sees ticks exactly 25 ms apart on its clock, never
// more than one per animation frame, and 40 a second on average over real time. After a
// stall (a hidden tab, a slow frame) it moves once by all the intervals missed, which the
// timer reports as one late tick: the game runs late, it never hurries to catch up.
#pragma once

#include <cstdint>

namespace platform {

class FrameClock {
public:
    explicit FrameClock(uint32_t intervalMs = 25) : interval_(intervalMs ? intervalMs : 1) {}

    // The start of an animation frame at `nowMs` (the browser's time stamp).
    void frame(double nowMs);
    // As fast as possible: every call is one interval later (tests and timings).
    void step() { clock_ += interval_; }
    uint32_t now() const { return clock_; }

private:
    uint32_t interval_;
    uint32_t clock_ = 0;
    double last_ = 0.0;
    bool started_ = false;
    double debt_ = 0.0;  // real time not yet given to the clock, below one interval
};

}  // namespace platform
