// A layer over a back-end without script hooks of its own (the sdl one) through which
// an input script is replayed: the script's keys and events take the place of the real
// keyboard, pointer and joystick, everything else (picture, clock, focus, quit) passes
// through. Once the script has been played out, handOver() gives the controls back to
// the person at the machine.
#pragma once

#include <deque>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

namespace app {

class ReplayPlatform final : public platform::Platform, public platform::HeadlessControl {
public:
    explicit ReplayPlatform(platform::Platform& inner);

    void handOver() { handedOver_ = true; }

    bool isHeadless() const override { return in_.isHeadless(); }
    uint32_t ticks() override { return in_.ticks() + extraMs_; }
    std::vector<platform::DisplayMode> displayModes() override { return in_.displayModes(); }
    bool openDisplay(const platform::DisplayMode& m, const platform::WindowOptions& o) override {
        return in_.openDisplay(m, o);
    }
    void closeDisplay() override { in_.closeDisplay(); }
    void present(const uint16_t* pixels, bool waitVBlank) override { in_.present(pixels, waitVBlank); }
    const std::vector<uint16_t>& lastPresented() const override { return in_.lastPresented(); }
    bool displayLost() override { return lost_ || in_.displayLost(); }
    bool restoreDisplay() override;
    void waitVBlank() override { in_.waitVBlank(); }
    void setCursor(platform::CursorShape shape) override { in_.setCursor(shape); }
    void toggleFullScreen() override { in_.toggleFullScreen(); }
    bool pollEvent(platform::Event& e) override;
    void waitEvents(uint32_t timeoutMs) override;
    void waitUntil(uint32_t dueMs) override;
    void keyboardState(uint8_t keys[256]) override;
    bool isForeground() override { return handedOver_ ? in_.isForeground() : foreground_; }
    bool isActive() override { return in_.isActive(); }
    platform::JoystickState joystick(int id) override;
    void messageBox(const std::string& text) override { in_.messageBox(text); }
    bool renderText(const std::string& utf8, int pointSize, platform::TextMask& out) override {
        return in_.renderText(utf8, pointSize, out);
    }
    bool driveLoop(const std::function<bool(uint32_t&)>& pass, const std::function<void()>& done) override {
        return in_.driveLoop(pass, done);
    }

    // --- HeadlessControl: what the script does ------------------------------------
    void pushEvent(const platform::Event& e) override { queue_.push_back(e); }
    void setKey(int vk, bool down) override;
    void releaseAllKeys() override;
    void setForeground(bool foreground) override { foreground_ = foreground; }
    void setActive(bool active) override;
    void setDisplayModes(const std::vector<platform::DisplayMode>&) override {}
    void setDisplayLost(bool lost) override { lost_ = lost; }
    void setRestoreFails(bool fails) override { restoreFails_ = fails; }
    void setJoystick(int id, const platform::JoystickState& s) override;
    void advanceClock(uint32_t ms) override { extraMs_ += ms; }

private:
    platform::Platform& in_;
    std::vector<platform::Event> queue_;  // pending from head_ on
    size_t head_ = 0;
    uint8_t keys_[256];
    bool handedOver_ = false;
    bool foreground_ = true;
    bool lost_ = false;
    bool restoreFails_ = false;
    uint32_t extraMs_ = 0;
    std::vector<std::pair<int, platform::JoystickState>> sticks_;
};

}  // namespace app
