// The layer over the desktop back-end (the sdl one) that makes the keys a player presses
// into the game's own keys before anything else sees them (key bindings, gamepad
// buttons), lets the keyboard and a gamepad choose in the menu as the pointer would, and
// shows the pause text while the window has lost the focus. Everything above it
// (recordings, the game's key table, the replay layer) speaks only the game's keys.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/KeyBindings.h"
#include "platform/Platform.h"

namespace app {

struct MenuBoxes {
    // Where the pointer goes for the start and the quit box (inside each).
    int startX = 525, startY = 415;
    int quitX = 50, quitY = 50;
};

class DesktopPlatform final : public platform::Platform {
public:
    DesktopPlatform(std::unique_ptr<platform::Platform> inner, KeyBindings bindings);

    // True while the menu takes a choice (its boxes answer the pointer).
    std::function<bool()> menuActive;
    // The text shown while the window has lost the focus (the game's pause text).
    std::function<std::string()> pauseText;
    // Alt+Enter (or the system) switched between full screen and a window.
    std::function<void(bool fullScreen)> onFullScreenChanged;

    platform::Platform& inner() { return *in_; }
    const KeyBindings& bindings() const { return bindings_; }

    bool isHeadless() const override { return in_->isHeadless(); }
    bool hasDisplay(std::string& why) override { return in_->hasDisplay(why); }
    bool isFullScreen() const override { return in_->isFullScreen(); }
    uint32_t ticks() override { return in_->ticks(); }
    std::vector<platform::DisplayMode> displayModes() override { return in_->displayModes(); }
    bool openDisplay(const platform::DisplayMode& m, const platform::WindowOptions& o) override;
    void closeDisplay() override { in_->closeDisplay(); }
    void present(const uint16_t* pixels, bool waitVBlank) override { in_->present(pixels, waitVBlank); }
    const std::vector<uint16_t>& lastPresented() const override;
    bool displayLost() override { return in_->displayLost(); }
    bool restoreDisplay() override { return in_->restoreDisplay(); }
    void waitVBlank() override { in_->waitVBlank(); }
    void setCursor(platform::CursorShape shape) override { in_->setCursor(shape); }
    void toggleFullScreen() override;
    bool pollEvent(platform::Event& e) override;
    void waitEvents(uint32_t timeoutMs) override;
    void waitUntil(uint32_t dueMs) override;
    void keyboardState(uint8_t keys[256]) override;
    bool isForeground() override { return in_->isForeground(); }
    bool isActive() override { return in_->isActive(); }
    platform::JoystickState joystick(int id) override;
    void messageBox(const std::string& text) override { in_->messageBox(text); }
    bool renderText(const std::string& utf8, int pointSize, platform::TextMask& out) override {
        return in_->renderText(utf8, pointSize, out);
    }

    bool driveLoop(const std::function<bool(uint32_t&)>& pass, const std::function<void()>& done) override {
        return in_->driveLoop(pass, done);
    }

    // Which box the keyboard has chosen in the menu (false: the start box).
    bool quitChosen() const { return quitChosen_; }

private:
    void translate(const platform::Event& raw);
    void menuKey(int gameKey);
    void choose();
    void pollPad();
    void showPaused();
    void watchFullScreen();

    std::unique_ptr<platform::Platform> in_;
    KeyBindings bindings_;
    MenuBoxes boxes_;
    std::vector<platform::Event> queue_;
    size_t head_ = 0;
    bool swallowed_[256] = {};  // keys that chose in the menu, kept out of the table until let go
    uint32_t padSwallowed_ = 0;
    uint32_t padBefore_ = 0;
    bool quitChosen_ = false;
    bool fullScreen_ = false;
    std::vector<uint16_t> paused_;  // the picture with the pause text, while it is shown
    std::vector<uint16_t> keep_;    // and the game's own last picture meanwhile
};

}  // namespace app
