// The player's settings: $XDG_CONFIG_HOME/orbita/orbita.ini (~/.config/orbita/orbita.ini
// without it). Read at start; written back, through the safe writer, only when a setting
// changes through the game (Alt+Enter, the volume keys). A line that cannot be used is
// reported once, with the file and its line number, and the default stays in force.
#pragma once

#include <string>
#include <vector>

#include "app/KeyBindings.h"

namespace app {

enum class ScreenMode {
    FullScreen,  // the desktop's own resolution, the picture at the largest whole scale
    Exclusive,   // full screen in a 640 x 480 display mode (a mode switch)
    Window,
};

struct Settings {
    ScreenMode screen = ScreenMode::FullScreen;
    int scale = 1;  // the window's whole-number scale
    int musicVolume = 100;    // 0..100
    int effectsVolume = 100;  // 0..100
    bool muted = false;
    std::string language;  // "cs" or "en"; empty: not set
    KeyBindings bindings;

    // Which of the above the file named (so that the command line can win over the rest).
    bool hasScreen = false, hasScale = false;
};

// The default place of the settings file; empty when neither XDG_CONFIG_HOME nor HOME is
// set (then nothing is read or written).
std::string defaultSettingsPath();

// Reads the file. A missing file gives the defaults and no message; every line that cannot
// be used adds one message "FILE:LINE: ..." to problems. False (with a message) when the
// file exists but cannot be read.
bool loadSettings(const std::string& path, Settings& settings, std::vector<std::string>& problems);
// Parses settings text (name is used in the messages).
void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems);

// The settings as an INI text, every key written, bindings that are the defaults as
// comments naming them.
std::string settingsText(const Settings& settings);
// Writes the file (making its folder); empty on success, else the reason.
std::string saveSettings(const std::string& path, const Settings& settings);

}  // namespace app
