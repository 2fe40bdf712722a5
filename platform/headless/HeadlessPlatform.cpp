// The headless back-end: no window, no audio device, no video subsystem. Time is a
// virtual clock that moves only when the program waits (or a test advances it), so the
// frame timer's wait for its next tick costs nothing and ticks run back to back.
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/Font.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

namespace platform {

namespace {

constexpr uint32_t kForever = 0x7FFFFFFFu;

class HeadlessPlatform final : public Platform, public HeadlessControl {
public:
    explicit HeadlessPlatform(uint32_t intervalMs) : interval_(intervalMs) {
        std::memset(keys_, 0, sizeof keys_);
        events_.reserve(64);
        modes_ = {{640, 480, 8},  {640, 480, 16},  {640, 480, 32},  {800, 600, 16},
                  {800, 600, 32}, {1024, 768, 16}, {1024, 768, 32}, {1280, 1024, 32},
                  {1920, 1080, 32}};
    }

    bool isHeadless() const override { return true; }

    uint32_t ticks() override { return clock_; }

    std::vector<DisplayMode> displayModes() override { return modes_; }

    bool openDisplay(const DisplayMode& mode, const WindowOptions& options) override {
        if (options.fullScreen) {
            bool offered = false;
            for (const auto& m : modes_)
                if (m.width == mode.width && m.height == mode.height && m.bitCount == mode.bitCount) offered = true;
            if (!offered) return false;
        }
        open_ = true;
        fullScreen_ = options.fullScreen;
        return true;
    }
    void closeDisplay() override { open_ = false; }

    void present(const uint16_t* pixels, bool /*waitVBlank*/) override {
        if (!pixels) return;
        last_.assign(pixels, pixels + kFrameWidth * kFrameHeight);
    }
    const std::vector<uint16_t>& lastPresented() const override { return last_; }

    bool displayLost() override { return lost_; }
    bool restoreDisplay() override {
        if (restoreFails_) return false;
        lost_ = false;
        return true;
    }
    void waitVBlank() override {}
    void setCursor(CursorShape) override {}
    void toggleFullScreen() override { fullScreen_ = !fullScreen_; }

    bool pollEvent(Event& event) override {
        if (head_ >= events_.size()) return false;
        event = events_[head_++];
        if (head_ == events_.size()) {  // drained: the room is used again from the start
            events_.clear();
            head_ = 0;
        }
        return true;
    }
    void waitEvents(uint32_t timeoutMs) override {
        // A real wait ends at once when something is pending. Nothing but the program
        // itself can post an event here, so a wait "for ever" (a loop with no timer
        // running) moves the clock on by one timer interval instead of weeks.
        if (head_ < events_.size()) return;
        clock_ += timeoutMs >= kForever ? interval_ : timeoutMs;
    }
    void keyboardState(uint8_t keys[256]) override { std::memcpy(keys, keys_, sizeof keys_); }
    bool isForeground() override { return foreground_; }
    bool isActive() override { return active_; }
    JoystickState joystick(int id) override {
        auto it = joysticks_.find(id);
        return it == joysticks_.end() ? JoystickState{} : it->second;
    }

    void messageBox(const std::string& text) override {
        std::fprintf(stderr, "orbita: %s\n", text.c_str());
        std::fflush(stderr);
    }
    bool renderText(const std::string& utf8, int pointSize, TextMask& out) override {
        return fonts_.render(utf8, pointSize, out);
    }

    // --- HeadlessControl ----------------------------------------------------
    void pushEvent(const Event& e) override { events_.push_back(e); }
    void setKey(int vk, bool down) override {
        if (vk < 0 || vk > 255) return;
        keys_[vk] = down ? 0x80 : 0;
    }
    void releaseAllKeys() override { std::memset(keys_, 0, sizeof keys_); }
    void setForeground(bool foreground) override { foreground_ = foreground; }
    void setActive(bool active) override {
        if (active == active_) return;
        active_ = active;
        Event e;
        e.type = active ? EventType::Activate : EventType::Deactivate;
        events_.push_back(e);
    }
    void setDisplayModes(const std::vector<DisplayMode>& modes) override { modes_ = modes; }
    void setDisplayLost(bool lost) override { lost_ = lost; }
    void setRestoreFails(bool fails) override { restoreFails_ = fails; }
    void setJoystick(int id, const JoystickState& state) override {
        if (state.present)
            joysticks_[id] = state;
        else
            joysticks_.erase(id);
    }
    void advanceClock(uint32_t ms) override { clock_ += ms; }

private:
    uint32_t interval_;
    uint32_t clock_ = 0;
    bool open_ = false;
    bool fullScreen_ = true;
    bool lost_ = false;
    bool restoreFails_ = false;
    bool foreground_ = true;
    bool active_ = true;
    uint8_t keys_[256];
    std::vector<Event> events_;  // pending from head_ on
    size_t head_ = 0;
    std::vector<DisplayMode> modes_;
    std::map<int, JoystickState> joysticks_;
    std::vector<uint16_t> last_;
    FontCache fonts_;
};

}  // namespace

std::unique_ptr<Platform> createHeadlessPlatform(uint32_t timerIntervalMs) {
    return std::make_unique<HeadlessPlatform>(timerIntervalMs);
}

}  // namespace platform
