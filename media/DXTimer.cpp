#include "media/DXTimer.h"

#include <algorithm>
#include <cmath>

namespace media {

// ---------------------------------------------------------------------------------------
// TCustomDXTimer

TCustomDXTimer::TCustomDXTimer() = default;

TCustomDXTimer::~TCustomDXTimer() {
    Stop();
    // The application must not call a timer that is gone when its activation changes.
    if (hooked_) {
        Application().OnActivate = nullptr;
        Application().OnDeactivate = nullptr;
    }
}

void TCustomDXTimer::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    if (loading_) return;
    if (enabled_)
        Start();
    else
        Stop();
}

void TCustomDXTimer::SetInterval(int value) {
    interval_ = std::max(value, 0);
    divisor_ = std::max(value, 1);
}

void TCustomDXTimer::Loaded() {
    loading_ = false;
    if (enabled_) Start();
}

void TCustomDXTimer::Start() {
    Stop();
    TApplication& app = Application();
    app.OnActivate = [this] { AppActivate(); };
    app.OnDeactivate = [this] { AppDeactivate(); };
    hooked_ = true;
    running_ = true;
    if (ActiveOnly && !app.Active()) return;
    const uint32_t now = platform::current().ticks();
    oldTime_ = oldTime2_ = now;
    app.SetOnIdle([this](bool& done, uint32_t& waitMs) { AppIdle(done, waitMs); });
}

void TCustomDXTimer::Stop() {
    if (!running_) return;
    Application().ClearOnIdle();
    running_ = false;
}

void TCustomDXTimer::AppIdle(bool& done, uint32_t& waitMs) {
    done = false;  // idle work is never finished: call again
    const uint32_t now = platform::current().ticks();
    const uint32_t elapsedSinceTick = now - oldTime_;
    if (elapsedSinceTick < static_cast<uint32_t>(interval_)) {
        // Not due yet: the loop may wait for events until the next tick is due.
        waitMs = static_cast<uint32_t>(interval_) - elapsedSinceTick;
        return;
    }
    const int lagCount = static_cast<int>(elapsedSinceTick / static_cast<uint32_t>(divisor_));
    oldTime_ = now;
    ++frameCount_;
    const uint32_t elapsed = std::max<uint32_t>(now - oldTime2_, 1);
    if (elapsed >= 1000) {
        frameRate_ = static_cast<int>(std::lround(double(frameCount_) * 1000.0 / elapsed));
        frameCount_ = 0;
        oldTime2_ = now;
    }
    waitMs = static_cast<uint32_t>(interval_);
    if (OnTimer) OnTimer(this, std::max(lagCount, 1));
    // The next tick is due one interval after this one, however long the tick took.
    if (!platform::hasCurrent()) return;
    const uint32_t spent = platform::current().ticks() - oldTime_;
    waitMs = spent < static_cast<uint32_t>(interval_) ? static_cast<uint32_t>(interval_) - spent : 0;
}

void TCustomDXTimer::AppActivate() {
    if (OnActivate) OnActivate(this);
    if (running_ && ActiveOnly) {
        const uint32_t now = platform::current().ticks();
        oldTime_ = oldTime2_ = now;
        Application().SetOnIdle([this](bool& done, uint32_t& waitMs) { AppIdle(done, waitMs); });
    }
}

void TCustomDXTimer::AppDeactivate() {
    if (OnDeactivate) OnDeactivate(this);
    if (running_ && ActiveOnly) Application().ClearOnIdle();
}

}  // namespace media
