#include "app/Driver.h"

#include "app/ReplayPlatform.h"
#include "platform/Files.h"

#include <signal.h>
#include <time.h>

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

// Processor time of this thread (or of the whole process), in seconds.
double cpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double cpuNow() { return cpuSeconds(CLOCK_THREAD_CPUTIME_ID); }

volatile sig_atomic_t g_stop = 0;

void onStopSignal(int) { g_stop = 1; }

// The first SIGINT or SIGTERM asks for a clean end; a second one, should the run not get
// there, ends the program at once as usual.
void catchStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

[[noreturn]] void refuse(const std::string& text) { throw OptionError("orbita: " + text); }

}  // namespace

void applyScriptHeader(Options& o, const ScriptHeader& h, const std::string& scriptPath) {
    if (!h.present) return;  // a hand-written script: the command line's options apply
    const std::string where = " contradicts the header of " + scriptPath;
    if (h.hasSeed) {
        if (o.hasSeed && o.seed != h.seed)
            refuse("--seed " + std::to_string(o.seed) + where + " (seed=" + std::to_string(h.seed) + ")");
        o.hasSeed = true;
        o.seed = h.seed;
    }
    if (h.hasWarp) {
        if (o.warp && o.warp != h.warp)
            refuse("--warp " + std::to_string(o.warp) + where + " (warp=" + std::to_string(h.warp) + ")");
        o.warp = h.warp;
    }
    if (h.hasGod) {
        if (o.god && !h.god) refuse("--god" + where + " (god=0)");
        o.god = h.god;
    }
}

void checkOutputTargets(const Options& o) {
    const std::string& script = !o.timedemoFile.empty() ? o.timedemoFile : o.playFile;
    auto overwritesScript = [&](const std::string& out) {
        return !script.empty() && (out == script || platform::sameFile(out, script));
    };
    if (!o.recordFile.empty()) {
        if (overwritesScript(o.recordFile)) refuse("--record " + o.recordFile + " is the script being replayed");
        const std::string reason = platform::unwritableReason(o.recordFile);
        if (!reason.empty()) refuse("--record " + o.recordFile + " " + reason);
    }
    for (const TickFile& s : o.screenshots)
        if (overwritesScript(s.path)) refuse("--screenshot " + s.path + " is the script being replayed");
    for (const TickFile& d : o.stateDumps)
        if (overwritesScript(d.path)) refuse("--dump-state " + d.path + " is the script being replayed");
}

bool Driver::stopRequested() { return g_stop != 0; }

void Driver::outputFailed(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "orbita: cannot write %s: %s\n", path.c_str(), reason.c_str());
    if (std::find(failedOutputs_.begin(), failedOutputs_.end(), path) == failedOutputs_.end())
        failedOutputs_.push_back(path);
}

int Driver::reportOutputs(int status) const {
    if (failedOutputs_.empty()) return status;
    std::string list;
    for (const std::string& p : failedOutputs_) list += (list.empty() ? "" : ", ") + p;
    std::fprintf(stderr, "orbita: %zu output%s could not be written: %s\n", failedOutputs_.size(),
                 failedOutputs_.size() == 1 ? "" : "s", list.c_str());
    return status ? status : 1;
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
        applyScriptHeader(options_, script.header, scriptPath);
    }
    checkOutputTargets(options_);
    bool headless = options_.headless || !options_.timedemoFile.empty();
    backEnd_ = headless ? platform::createHeadlessPlatform(25) : platform::createWindowedPlatform();
    if (!headless && wrapDesktop) backEnd_ = wrapDesktop(std::move(backEnd_));
    active_ = backEnd_.get();
    if (!scriptPath.empty()) {
        platform::HeadlessControl* control = platform::headlessControl(*backEnd_);
        if (!control) {
            platform_ = std::make_unique<ReplayPlatform>(*backEnd_);
            active_ = platform_.get();
            control = platform::headlessControl(*platform_);
        }
        player_ = std::make_unique<ScriptPlayer>(std::move(script), *control);
        // A replay that ends with its script writes nothing due after the script's end.
        const bool endsWithScript = !options_.timedemoFile.empty() || (options_.headless && !options_.frames);
        if (endsWithScript) {
            const uint32_t last = player_->lastTick();
            for (const TickFile& s : options_.screenshots)
                if (s.tick > last)
                    refuse("--screenshot " + std::to_string(s.tick) + ":" + s.path + " comes after the last tick of " +
                           scriptPath + " (" + std::to_string(last) + ")");
            for (const TickFile& d : options_.stateDumps)
                if (d.tick > last)
                    refuse("--dump-state " + std::to_string(d.tick) + ":" + d.path + " comes after the last tick of " +
                           scriptPath + " (" + std::to_string(last) + ")");
        }
        // The timedemo keeps every tick's cost; room for all of them is made now.
        if (!options_.timedemoFile.empty()) tickCosts_.reserve(player_->lastTick() + 16);
    }
    platform::setCurrent(active_);
    g_stop = 0;
    catchStopSignals();
    return *active_;
}

platform::Platform& Driver::platform() { return active_ ? *active_ : start(); }

platform::WindowOptions Driver::windowOptions() const {
    platform::WindowOptions w;
    w.fullScreen = !options_.windowed;
    w.scale = options_.scale;  // also the window Alt+Enter leads to
    w.exclusive = options_.exclusiveFullScreen;
    return w;
}

void Driver::loopPass() {
    if (g_stop) finish();
    if (player_) player_->beforeTick(tick_ + 1);
}

void Driver::setupStarted(const char* scene) {
    if (setupDepth_++ > 0) return;  // a set-up inside a set-up counts as part of it
    currentSetup_.scene = scene;
    currentSetup_.tick = tick_;
    currentSetup_.wall = now();
    currentSetup_.cpu = cpuNow();
}

void Driver::setupDone() {
    if (setupDepth_ == 0 || --setupDepth_ > 0) return;
    const double wall = now() - currentSetup_.wall, cpu = cpuNow() - currentSetup_.cpu;
    if (wall > largestSetup_.wall) {
        largestSetup_ = currentSetup_;
        largestSetup_.wall = wall;
        largestSetup_.cpu = cpu;
    }
    if (cpu > dearestSetup_.cpu) {
        dearestSetup_ = currentSetup_;
        dearestSetup_.wall = wall;
        dearestSetup_.cpu = cpu;
    }
}

void Driver::tickStarted(uint32_t clockMs) {
    tickStart_ = now();
    if (runStart_ < 0) runStart_ = tickStart_;
    if (options_.pacing && active_) {
        const uint32_t ms = clockMs;
        if (firstTickAt_ < 0) {
            firstTickAt_ = tickStart_;
            cpuAtFirstTick_ = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        } else {
            const double gap = tickStart_ - lastTickAt_;
            shortestInterval_ = std::min(shortestInterval_, gap);
            longestInterval_ = std::max(longestInterval_, gap);
            shortestIntervalMs_ = std::min(shortestIntervalMs_, ms - lastTickMs_);
            if (ms - lastTickMs_ > longestIntervalMs_) {
                longestIntervalMs_ = ms - lastTickMs_;
                longestIntervalTick_ = tick_ + 1;
            }
            if (ms - lastTickMs_ > 27) ++lateIntervals_;
        }
        lastTickAt_ = tickStart_;
        lastTickMs_ = ms;
        ++pacedTicks_;
    }
}

void Driver::tickDone() {
    ++tick_;
    if (tickStart_ >= 0) {
        double t = now();
        const double cost = t - tickStart_;
        if (!options_.timedemoFile.empty()) tickCosts_.push_back(cost);
        if (cost > largestCost_) {
            largestCost_ = cost;
            largestTick_ = tick_;
        }
        runEnd_ = t;
        tickStart_ = -1;
    }
    for (const TickFile& s : options_.screenshots) {
        if (s.tick != tick_ || !active_) continue;
        const std::vector<uint16_t>& frame = active_->lastPresented();
        std::string reason;
        if (frame.size() < static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight)
            outputFailed(s.path, "no picture has been shown yet");
        else if (!platform::saveRgb565Png(s.path, platform::kFrameWidth, platform::kFrameHeight, frame.data(),
                                          &reason))
            outputFailed(s.path, reason);
    }
    for (const TickFile& d : options_.stateDumps) {
        if (d.tick != tick_) continue;
        if (!hooks_.dumpState) {
            if (!dumpWarned_) std::fprintf(stderr, "orbita: state dumps are not available\n");
            dumpWarned_ = true;
        } else {
            const std::string reason = hooks_.dumpState(d.path);
            if (!reason.empty()) outputFailed(d.path, reason);
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

std::string Driver::pacingReport() const {
    char buf[320];
    if (pacedTicks_ < 2) {
        std::snprintf(buf, sizeof buf, "pacing: %u ticks, too few to measure", pacedTicks_);
        return buf;
    }
    const double span = lastTickAt_ - firstTickAt_;
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuAtFirstTick_;
    const double wall = now() - firstTickAt_;
    std::snprintf(buf, sizeof buf,
                  "pacing: %u ticks in %.3f seconds, %.3f ticks per second, intervals %u..%u ms "
                  "(the longest before tick %u; %.3f..%.3f ms on a fine clock), %u over 27 ms, "
                  "processor %.1f %% of one core",
                  pacedTicks_, span, (pacedTicks_ - 1) / span, shortestIntervalMs_, longestIntervalMs_,
                  longestIntervalTick_,
                  shortestInterval_ * 1000.0, longestInterval_ * 1000.0, lateIntervals_,
                  wall > 0 ? 100.0 * cpu / wall : 0.0);
    return buf;
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
    char buf[400];
    std::snprintf(buf, sizeof buf,
                  "%u frames, %.3f seconds, %.1f frames per second, median %.3f ms, 99th percentile %.3f ms, "
                  "largest %.3f ms at tick %u, largest set-up %.3f ms (%.3f ms CPU, %s at tick %u), "
                  "most processor time in a set-up %.3f ms (%s)",
                  tick_, seconds, seconds > 0 ? tick_ / seconds : 0.0, percentile(0.5) * 1000.0,
                  percentile(0.99) * 1000.0, largestCost_ * 1000.0, largestTick_, largestSetup_.wall * 1000.0,
                  largestSetup_.cpu * 1000.0, *largestSetup_.scene ? largestSetup_.scene : "none",
                  largestSetup_.tick, dearestSetup_.cpu * 1000.0,
                  *dearestSetup_.scene ? dearestSetup_.scene : "none");
    return buf;
}

}  // namespace app
