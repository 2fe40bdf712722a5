#include "platform/web/FrameClock.h"

#include <cmath>

namespace platform {

void FrameClock::frame(double nowMs) {
    if (!started_) {
        started_ = true;
        last_ = nowMs;
        return;
    }
    const double elapsed = nowMs - last_;
    last_ = nowMs;
    if (!(elapsed > 0.0)) return;  // a time stamp that did not move on (or went back)
    debt_ += elapsed;
    if (debt_ < interval_) return;
    const double steps = std::floor(debt_ / interval_);
    debt_ -= steps * interval_;
    clock_ += static_cast<uint32_t>(steps) * interval_;
}

}  // namespace platform
