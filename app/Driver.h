// Drives the program from outside: picks the back-end from the options, replays an input
// script into it, counts frame ticks, writes screenshots and state dumps when their tick
// has run, and says when the run is over. It knows nothing of the game; the program
// entry calls loopPass() at the top of every message-loop pass and tickDone() at the
// end of every frame tick.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/InputScript.h"
#include "app/Options.h"
#include "platform/Platform.h"

namespace app {

struct DriverHooks {
    // Writes the game state as JSON to path; false when it could not be written.
    std::function<bool(const std::string& path)> dumpState;
    // Called once when the run is over (--frames reached, a replay's script ended).
    std::function<void()> quit;
};

class Driver {
public:
    explicit Driver(Options options);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Creates the back-end (headless with --headless or --timedemo, else sdl), makes it
    // the current one and loads the script to replay. Throws ScriptError for a bad script.
    platform::Platform& start();
    platform::Platform& platform();
    bool started() const { return platform_ != nullptr; }

    // The options, with a replayed script's start options (seed, warp, god) in force.
    const Options& options() const { return options_; }
    platform::WindowOptions windowOptions() const;
    void setHooks(DriverHooks hooks) { hooks_ = std::move(hooks); }

    // Top of every message-loop pass: delivers the script's events for the coming tick.
    void loopPass();
    // A frame tick is starting (for the timedemo's cost figures).
    void tickStarted();
    // A frame tick has ended: counts it, writes what is due after it, checks the end.
    void tickDone();

    uint32_t tick() const { return tick_; }  // frame ticks done so far
    bool finished() const { return finished_; }
    const ScriptPlayer* player() const { return player_.get(); }

    // Frames, seconds, frames per second, median and 99th-percentile tick cost.
    std::string timedemoReport() const;

private:
    void finish();
    Options options_;
    DriverHooks hooks_;
    std::unique_ptr<platform::Platform> backEnd_;   // the real back-end
    std::unique_ptr<platform::Platform> platform_;  // what the program uses (maybe a replay layer)
    platform::Platform* active_ = nullptr;
    std::unique_ptr<ScriptPlayer> player_;
    uint32_t tick_ = 0;
    bool finished_ = false;
    bool dumpWarned_ = false;
    double tickStart_ = -1;
    double runStart_ = -1;
    double runEnd_ = -1;
    std::vector<double> tickCosts_;  // seconds
};

}  // namespace app
