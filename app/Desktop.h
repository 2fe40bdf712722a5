// The desktop program's comforts around the game: the player's settings (read at start,
// written back when a setting changes in play), the layer that turns pressed keys into the
// game's keys, the volume keys and the honest start without a display. Headless runs read
// settings only from --config FILE and never write any.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/DesktopPlatform.h"
#include "app/Options.h"
#include "app/Settings.h"

namespace app {

// There is no display to show a window on: the program stops with status 1.
class NoDisplayError : public std::runtime_error {
public:
    explicit NoDisplayError(const std::string& message) : std::runtime_error(message) {}
};

class Desktop {
public:
    // Reads the settings the options call for, reports every bad line on standard error
    // once, and puts the settings into the options where the command line (args) left
    // them open: the window mode and scale, the language.
    void load(Options& options, const std::vector<std::string>& args);

    const Settings& settings() const { return settings_; }
    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }

    // Wraps the desktop back-end: refuses (NoDisplayError) when it has no display, else
    // the binding layer over it, which this object keeps informed.
    std::unique_ptr<platform::Platform> wrap(std::unique_ptr<platform::Platform> inner);
    DesktopPlatform* platform() const { return platform_; }

    // The volume keys: up and down by 10, mute switches. The change is heard at once and
    // saved. False for a key that is no volume key.
    bool volumeKey(Action action);
    // The player's volumes to the sound device (after it has opened).
    void applyVolumes() const;
    // Full screen or window, as Alt+Enter left it: saved.
    void fullScreenChanged(bool fullScreen);

    // Problems met (also printed): for the tests.
    const std::vector<std::string>& problems() const { return problems_; }

private:
    void save();
    Settings settings_;
    std::string path_;
    bool writable_ = false;
    bool exclusive_ = false;
    DesktopPlatform* platform_ = nullptr;
    std::vector<std::string> problems_;
};

}  // namespace app
