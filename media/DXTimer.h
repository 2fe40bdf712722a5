// The frame timer: calls OnTimer at its interval from the application's idle pass.
#pragma once

#include <cstdint>
#include <functional>

#include "media/Forms.h"

namespace media {

class TCustomDXTimer : public TObject {
public:
    TCustomDXTimer();
    ~TCustomDXTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);
    bool ActiveOnly = true;
    int FrameRate() const { return frameRate_; }
    // The clock reading at which the latest tick was started.
    uint32_t LastTickTime() const { return oldTime_; }
    bool Running() const { return running_; }

    std::function<void(TObject*, int lagCount)> OnTimer;
    std::function<void(TObject*)> OnActivate, OnDeactivate;

    // The form has finished loading: start when enabled.
    void Loaded();
    // The idle handler; public so tests can drive it with a fake clock.
    void AppIdle(bool& done, uint32_t& waitMs);
    void AppActivate();
    void AppDeactivate();

private:
    void Start();
    void Stop();
    bool enabled_ = true;
    bool loading_ = true;
    int interval_ = 1000;
    int divisor_ = 1000;
    bool running_ = false;
    bool hooked_ = false;  // the application's activation handlers call this timer
    uint32_t oldTime_ = 0, oldTime2_ = 0;
    uint32_t frameCount_ = 0;
    int frameRate_ = 0;
};

class TDXTimer : public TCustomDXTimer {};

}  // namespace media
