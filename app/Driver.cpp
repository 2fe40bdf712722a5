#include "app/Driver.h"

#include "app/ReplayPlatform.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace app {

namespace {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

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
            platform_ = std::make_unique<ReplayPlatform>(*backEnd_);
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
    if (player_ && player_->finished() && tick_ >= player_->lastTick()) {
        if (replayEnds) finish();
        // In a window the person at the machine takes over where the script ends.
        if (auto* replay = dynamic_cast<ReplayPlatform*>(platform_.get())) replay->handOver();
    }
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
