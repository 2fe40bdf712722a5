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
#include "app/TickStats.h"
#include "platform/Platform.h"

namespace app {

struct DriverHooks {
    // Writes the game state as JSON to path; empty on success, else why it could not be written.
    std::function<std::string(const std::string& path)> dumpState;
    // Called once when the run is over (--frames reached, a replay's script ended).
    std::function<void()> quit;
};

// Puts a replayed script's start options into the options. A key the header does not name
// leaves the command line's option in force; a header that contradicts an option given on
// the command line (--seed, --warp, --god) is an error (OptionError), not a silent choice.
void applyScriptHeader(Options& options, const ScriptHeader& header, const std::string& scriptPath);

// Refuses (OptionError) a --record, --screenshot or --dump-state target that is the same file
// as the script being replayed, however it is spelt (links, ./, absolute paths), and a
// --record target that is a link or no regular file, before anything runs.
void checkOutputTargets(const Options& options);

class Driver {
public:
    explicit Driver(Options options);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Creates the back-end (headless with --headless or --timedemo, else the one
    // with a real display (sdl, or web in the browser)), makes it
    // the current one and loads the script to replay. Throws ScriptError for a bad script,
    // OptionError for options that contradict it or outputs that would overwrite it.
    // From here on SIGINT and SIGTERM end the run cleanly after the current tick.
    platform::Platform& start();
    platform::Platform& platform();
    bool started() const { return platform_ != nullptr; }

    // The options, with a replayed script's start options (seed, warp, god) in force.
    const Options& options() const { return options_; }
    platform::WindowOptions windowOptions() const;
    void setHooks(DriverHooks hooks) { hooks_ = std::move(hooks); }
    // Wraps the desktop back-end before anything uses it (key bindings, the menu by keys);
    // may throw to refuse the start (no display).
    std::function<std::unique_ptr<platform::Platform>(std::unique_ptr<platform::Platform>)> wrapDesktop;

    // Top of every message-loop pass: delivers the script's events for the coming tick.
    void loopPass();
    // A frame tick is starting (for the timedemo's cost figures), started by the frame timer
    // at this reading of the platform's clock (for the pacing figures).
    void tickStarted(uint32_t clockMs = 0);
    // A frame tick has ended: counts it, writes what is due after it, checks the end.
    void tickDone();

    uint32_t tick() const { return tick_; }  // frame ticks done so far

    // A scene's set-up starts (scene names it: "story", "level 3", ...) and ends; the
    // timedemo reports the dearest one.
    void setupStarted(const char* scene);
    void setupDone();
    using SetupCost = TickStats::SetupCost;
    const SetupCost& largestSetup() const { return stats_.largestSetup(); }
    const SetupCost& dearestSetup() const { return stats_.dearestSetup(); }

    // An output could not be written: says so on standard error at once and keeps it for
    // the end of the run.
    void outputFailed(const std::string& path, const std::string& reason);
    const std::vector<std::string>& failedOutputs() const { return failedOutputs_; }
    // At the end of the run: one line naming every output that could not be written; the
    // exit status the run should end with (1 when any failed, else status).
    int reportOutputs(int status) const;
    // A stop signal (SIGINT, SIGTERM) has arrived since start().
    static bool stopRequested();
    bool finished() const { return finished_; }
    const ScriptPlayer* player() const { return player_.get(); }

    // The pacing figures (with --pacing) and the timedemo's figures (TickStats tells them).
    std::string pacingReport() const { return stats_.pacingReport(); }
    std::string timedemoReport() const { return stats_.timedemoReport(tick_); }

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
    TickStats stats_;  // the timings of the ticks and the set-ups
    std::vector<std::string> failedOutputs_;
};

}  // namespace app
