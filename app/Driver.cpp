#include "app/Driver.h"

#include "app/ReplayPlatform.h"
#include "platform/Files.h"
#include "platform/Png.h"
#include "platform/headless/HeadlessControl.h"

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <cstdio>
#include <sstream>

namespace app {

namespace {

volatile sig_atomic_t g_stop = 0;

// The lock of the file being recorded to, held from start() to the driver's end.
std::unique_ptr<platform::FileLock> g_recordLock;

// The file a path names, however it is spelt: links and ".." of the folders that exist
// resolved, so that two spellings of one output compare equal before it exists.
std::string resolvedPath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : p.string();
}

void onStopSignal(int) { g_stop = 1; }

// The first SIGINT, SIGTERM or SIGHUP (the terminal closed) asks for a clean end; a second
// one, should the run not get there, ends the program at once as usual.
void catchStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
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
    // Two outputs of one run in one file: one would silently replace the other.
    std::vector<std::pair<std::string, std::string>> outputs;  // option and path
    if (!o.recordFile.empty()) outputs.emplace_back("--record", o.recordFile);
    for (const TickFile& s : o.screenshots) outputs.emplace_back("--screenshot", s.path);
    for (const TickFile& d : o.stateDumps) outputs.emplace_back("--dump-state", d.path);
    std::vector<std::string> resolved;
    for (const auto& out : outputs) resolved.push_back(resolvedPath(out.second));
    for (size_t i = 0; i < outputs.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (resolved[i] == resolved[j] || platform::sameFile(outputs[i].second, outputs[j].second))
                refuse(outputs[i].first + " " + outputs[i].second + " is the same file as " + outputs[j].first + " " +
                       outputs[j].second);
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
    g_recordLock.reset();
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
    if (!options_.recordFile.empty()) {
        // A second run recording into the same file would lose one of the two recordings.
        auto lock = std::make_unique<platform::FileLock>(options_.recordFile);
        if (!lock->locked()) refuse("--record " + options_.recordFile + " " + lock->reason());
        g_recordLock = std::move(lock);
    }
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
        // The timedemo counts the ticks' costs in a histogram of fixed size, made now: a script
        // whose last tick is billions of ticks away runs in the same memory as a short one.
        if (!options_.timedemoFile.empty()) stats_.prepareTickCosts();
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

void Driver::setupStarted(const char* scene) { stats_.setupStarted(scene, tick_); }

void Driver::setupDone() { stats_.setupDone(); }

void Driver::tickStarted(uint32_t clockMs) { stats_.tickStarted(tick_ + 1, clockMs, options_.pacing && active_); }

void Driver::tickDone() {
    ++tick_;
    stats_.tickDone(tick_, !options_.timedemoFile.empty());
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

}  // namespace app
