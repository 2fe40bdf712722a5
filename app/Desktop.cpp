#include "app/Desktop.h"

#include <algorithm>
#include <cstdio>

#include "platform/Audio.h"

namespace app {

namespace {

bool named(const std::vector<std::string>& args, const char* option) {
    const std::string o = option, withValue = o + "=";
    for (const std::string& a : args)
        if (a == o || a.rfind(withValue, 0) == 0) return true;
    return false;
}

}  // namespace

void Desktop::load(Options& o, const std::vector<std::string>& args) {
    const bool headless = o.headless || !o.timedemoFile.empty();
    path_ = !o.configFile.empty() ? o.configFile : headless ? std::string() : defaultSettingsPath();
    writable_ = !headless && !path_.empty();
    if (!path_.empty()) {
        // A file that could not be read, or had lines that could not be used, is never
        // overwritten: what the player wrote there is not lost.
        if (!loadSettings(path_, settings_, problems_) || !problems_.empty()) writable_ = false;
        for (const std::string& p : problems_) std::fprintf(stderr, "orbita: %s\n", p.c_str());
    }
    const bool windowGiven = named(args, "--windowed") || named(args, "--scale");
    if (!windowGiven) {
        if (settings_.screen == ScreenMode::Window) o.windowed = true;
        if (settings_.hasScale) o.scale = settings_.scale;
    } else if (named(args, "--scale")) {
        settings_.scale = o.scale;
    }
    exclusive_ = settings_.screen == ScreenMode::Exclusive;
    o.exclusiveFullScreen = exclusive_;
    if (!settings_.language.empty() && !named(args, "--lang")) o.language = settings_.language;
}

std::unique_ptr<platform::Platform> Desktop::wrap(std::unique_ptr<platform::Platform> inner) {
    std::string why;
    if (!inner->hasDisplay(why))
        throw NoDisplayError("orbita: no display to show the game on (" + why +
                             "); use --headless to run without one");
    auto layer = std::make_unique<DesktopPlatform>(std::move(inner), settings_.bindings);
    platform_ = layer.get();
    layer->onFullScreenChanged = [this](bool fullScreen) { fullScreenChanged(fullScreen); };
    return layer;
}

bool Desktop::volumeKey(Action a) {
    switch (a) {
    case Action::VolumeUp:
    case Action::VolumeDown: {
        const int step = a == Action::VolumeUp ? 10 : -10;
        settings_.musicVolume = std::clamp(settings_.musicVolume + step, 0, 100);
        settings_.effectsVolume = std::clamp(settings_.effectsVolume + step, 0, 100);
        settings_.muted = false;
        break;
    }
    case Action::Mute:
        settings_.muted = !settings_.muted;
        break;
    default:
        return false;
    }
    applyVolumes();
    save();
    return true;
}

void Desktop::applyVolumes() const {
    platform::AudioDevice* audio = platform::currentAudio();
    if (!audio) return;
    audio->setPlayerVolumes(settings_.muted ? 0 : settings_.musicVolume, settings_.muted ? 0 : settings_.effectsVolume);
}

void Desktop::fullScreenChanged(bool fullScreen) {
    settings_.screen = fullScreen ? (exclusive_ ? ScreenMode::Exclusive : ScreenMode::FullScreen) : ScreenMode::Window;
    save();
}

void Desktop::save() {
    if (!writable_) return;
    const std::string reason = saveSettings(path_, settings_);
    if (!reason.empty()) {
        std::fprintf(stderr, "orbita: cannot write %s: %s\n", path_.c_str(), reason.c_str());
        writable_ = false;  // said once
    }
}

}  // namespace app
