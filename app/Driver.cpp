#include "app/Driver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <sstream>

namespace app {

namespace {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

class ReplayPlatform final : public platform::Platform, public platform::HeadlessControl {
public:
    explicit ReplayPlatform(platform::Platform& inner) : in_(inner) { std::memset(keys_, 0, sizeof keys_); }

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
    bool restoreDisplay() override {
        if (restoreFails_) return false;
        lost_ = false;
        return in_.restoreDisplay();
    }
    void waitVBlank() override { in_.waitVBlank(); }
    void setCursor(platform::CursorShape shape) override { in_.setCursor(shape); }
    void toggleFullScreen() override { in_.toggleFullScreen(); }

    bool pollEvent(platform::Event& e) override {
        if (!queue_.empty()) {
            e = queue_.front();
            queue_.pop_front();
            return true;
        }
        // The real keyboard and pointer are ignored while the script plays.
        while (in_.pollEvent(e)) {
            if (e.type == platform::EventType::KeyDown || e.type == platform::EventType::Click ||
                e.type == platform::EventType::MouseMove)
                continue;
            return true;
        }
        return false;
    }
    void waitEvents(uint32_t timeoutMs) override {
        if (queue_.empty()) in_.waitEvents(timeoutMs);
    }
    void keyboardState(uint8_t keys[256]) override { std::memcpy(keys, keys_, sizeof keys_); }
    // The replay reads its keys whatever window is in front.
    bool isForeground() override { return foreground_; }
    bool isActive() override { return in_.isActive(); }
    platform::JoystickState joystick(int id) override {
        auto it = std::find_if(sticks_.begin(), sticks_.end(), [&](const auto& p) { return p.first == id; });
        return it == sticks_.end() ? platform::JoystickState{} : it->second;
    }
    void messageBox(const std::string& text) override { in_.messageBox(text); }
    bool renderText(const std::string& utf8, int pointSize, platform::TextMask& out) override {
        return in_.renderText(utf8, pointSize, out);
    }

    void pushEvent(const platform::Event& e) override { queue_.push_back(e); }
    void setKey(int vk, bool down) override {
        if (vk >= 0 && vk < 256) keys_[vk] = down ? 0x80 : 0;
    }
    void releaseAllKeys() override { std::memset(keys_, 0, sizeof keys_); }
    void setForeground(bool foreground) override { foreground_ = foreground; }
    void setActive(bool active) override {
        platform::Event e;
        e.type = active ? platform::EventType::Activate : platform::EventType::Deactivate;
        queue_.push_back(e);
    }
    void setDisplayModes(const std::vector<platform::DisplayMode>&) override {}
    void setDisplayLost(bool lost) override { lost_ = lost; }
    void setRestoreFails(bool fails) override { restoreFails_ = fails; }
    void setJoystick(int id, const platform::JoystickState& s) override {
        sticks_.erase(std::remove_if(sticks_.begin(), sticks_.end(), [&](const auto& p) { return p.first == id; }),
                      sticks_.end());
        if (s.present) sticks_.emplace_back(id, s);
    }
    void advanceClock(uint32_t ms) override { extraMs_ += ms; }

private:
    platform::Platform& in_;
    std::deque<platform::Event> queue_;
    uint8_t keys_[256];
    bool foreground_ = true;
    bool lost_ = false;
    bool restoreFails_ = false;
    uint32_t extraMs_ = 0;
    std::vector<std::pair<int, platform::JoystickState>> sticks_;
};

}  // namespace

std::unique_ptr<platform::Platform> makeReplayPlatform(platform::Platform& inner) {
    return std::make_unique<ReplayPlatform>(inner);
}

Driver::Driver(Options options) : options_(std::move(options)) {}

Driver::~Driver() {
    if (platform::hasCurrent() && active_ && &platform::current() == active_) platform::setCurrent(nullptr);
    player_.reset();
    platform_.reset();
    backEnd_.reset();
}

platform::Platform& Driver::start() {
    if (active_) return *active_;
    const std::string& scriptPath = !options_.timedemoFile.empty() ? options_.timedemoFile : options_.playFile;
    InputScript script;
    if (!scriptPath.empty()) {
        script = loadScript(scriptPath);
        const ScriptHeader& h = script.header;
        if (h.present) {  // a recorded script carries every start option that changes the game
            if (h.hasSeed) {
                options_.hasSeed = true;
                options_.seed = h.seed;
            }
            options_.warp = h.warp;
            options_.god = h.god;
        }
    }
    bool headless = options_.headless || !options_.timedemoFile.empty();
    backEnd_ = headless ? platform::createHeadlessPlatform(25) : platform::createSdlPlatform();
    active_ = backEnd_.get();
    if (!scriptPath.empty()) {
        platform::HeadlessControl* control = platform::headlessControl(*backEnd_);
        if (!control) {
            platform_ = makeReplayPlatform(*backEnd_);
            active_ = platform_.get();
            control = platform::headlessControl(*platform_);
        }
        player_ = std::make_unique<ScriptPlayer>(std::move(script), *control);
    }
    platform::setCurrent(active_);
    return *active_;
}

platform::Platform& Driver::platform() { return active_ ? *active_ : start(); }

platform::WindowOptions Driver::windowOptions() const {
    platform::WindowOptions w;
    w.fullScreen = !options_.windowed;
    w.scale = options_.windowed ? options_.scale : 1;
    return w;
}

void Driver::loopPass() {
    if (player_) player_->beforeTick(tick_ + 1);
}

void Driver::tickStarted() {
    tickStart_ = now();
    if (runStart_ < 0) runStart_ = tickStart_;
}

void Driver::tickDone() {
    ++tick_;
    if (tickStart_ >= 0) {
        double t = now();
        tickCosts_.push_back(t - tickStart_);
        runEnd_ = t;
        tickStart_ = -1;
    }
    for (const TickFile& s : options_.screenshots) {
        if (s.tick != tick_ || !active_) continue;
        const std::vector<uint16_t>& frame = active_->lastPresented();
        if (frame.size() < static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight)
            std::fprintf(stderr, "orbita: no picture has been shown yet for %s\n", s.path.c_str());
        else if (!platform::saveRgb565Png(s.path, platform::kFrameWidth, platform::kFrameHeight, frame.data()))
            std::fprintf(stderr, "orbita: cannot write %s\n", s.path.c_str());
    }
    for (const TickFile& d : options_.stateDumps) {
        if (d.tick != tick_) continue;
        if (!hooks_.dumpState) {
            if (!dumpWarned_) std::fprintf(stderr, "orbita: state dumps are not available\n");
            dumpWarned_ = true;
        } else if (!hooks_.dumpState(d.path)) {
            std::fprintf(stderr, "orbita: cannot write %s\n", d.path.c_str());
        }
    }
    if (options_.frames && tick_ >= options_.frames) finish();
    // A replay without a window (or a timedemo) ends with its script unless --frames says otherwise.
    bool replayEnds = !options_.timedemoFile.empty() || (options_.headless && !options_.frames);
    if (player_ && replayEnds && player_->finished() && tick_ >= player_->lastTick()) finish();
}

void Driver::finish() {
    if (finished_) return;
    finished_ = true;
    if (hooks_.quit) hooks_.quit();
}

std::string Driver::timedemoReport() const {
    std::vector<double> c = tickCosts_;
    std::sort(c.begin(), c.end());
    auto percentile = [&](double p) {
        if (c.empty()) return 0.0;
        size_t i = static_cast<size_t>(std::ceil(p * static_cast<double>(c.size()))) ;
        i = i == 0 ? 0 : i - 1;
        return c[std::min(i, c.size() - 1)];
    };
    double seconds = runStart_ >= 0 && runEnd_ >= runStart_ ? runEnd_ - runStart_ : 0.0;
    char buf[256];
    std::snprintf(buf, sizeof buf, "%u frames, %.3f seconds, %.1f frames per second, median %.3f ms, 99th percentile %.3f ms",
                  tick_, seconds, seconds > 0 ? tick_ / seconds : 0.0, percentile(0.5) * 1000.0,
                  percentile(0.99) * 1000.0);
    return buf;
}

}  // namespace app
