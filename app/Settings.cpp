#include "app/Settings.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/KeyNames.h"
#include "platform/Files.h"

#ifndef __EMSCRIPTEN__
#include <ini.h>
#endif

namespace app {

namespace {

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Items of a list separated by commas or spaces.
std::vector<std::string> items(const std::string& value) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : value) {
        if (c == ',' || std::isspace(static_cast<unsigned char>(c))) {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

bool wholeNumber(const std::string& text, int lo, int hi, int& out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const int v = std::atoi(text.c_str());
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

struct Reader {
    const std::string* name;
    Settings* settings;
    std::vector<std::string>* problems;
    int line = 0;
    int lastReported = 0;

    void problem(const std::string& what) {
        problems->push_back(*name + ":" + std::to_string(line) + ": " + what);
        lastReported = line;
    }

    // One "name = value" of a section; false when the line cannot be used.
    void take(const std::string& sectionIn, const std::string& keyIn, const std::string& valueIn) {
        const std::string section = lower(trim(sectionIn)), key = lower(trim(keyIn)), value = trim(valueIn);
        Settings& s = *settings;
        if (section == "display") {
            if (key == "mode") {
                const std::string v = lower(value);
                if (v == "fullscreen") s.screen = ScreenMode::FullScreen;
                else if (v == "exclusive") s.screen = ScreenMode::Exclusive;
                else if (v == "window") s.screen = ScreenMode::Window;
                else return problem("mode must be fullscreen, exclusive or window, not \"" + value + "\"");
                s.hasScreen = true;
            } else if (key == "scale") {
                if (!wholeNumber(value, 1, 16, s.scale)) return problem("scale must be a whole number 1..16, not \"" + value + "\"");
                s.hasScale = true;
            } else {
                problem("unknown setting " + keyIn + " in [display]");
            }
        } else if (section == "sound") {
            if (key == "music" || key == "effects") {
                int& target = key == "music" ? s.musicVolume : s.effectsVolume;
                if (!wholeNumber(value, 0, 100, target)) return problem(key + " must be a volume 0..100, not \"" + value + "\"");
            } else if (key == "mute") {
                const std::string v = lower(value);
                if (v == "yes" || v == "true" || v == "1" || v == "on") s.muted = true;
                else if (v == "no" || v == "false" || v == "0" || v == "off") s.muted = false;
                else problem("mute must be yes or no, not \"" + value + "\"");
            } else {
                problem("unknown setting " + keyIn + " in [sound]");
            }
        } else if (section == "game") {
            if (key == "language") {
                const std::string v = lower(value);
                if (v != "cs" && v != "en") return problem("language must be cs or en, not \"" + value + "\"");
                s.language = v;
            } else {
                problem("unknown setting " + keyIn + " in [game]");
            }
        } else if (section == "keys") {
            Action a;
            if (!actionFromName(key, a)) return problem("unknown action " + keyIn + " in [keys]");
            std::vector<int> codes;
            for (const std::string& n : items(value)) {
                const int vk = keyCodeFromName(n);
                if (!vk) return problem("unknown key " + n);
                codes.push_back(vk);
            }
            if (codes.empty()) return problem("no key given for " + key);
            s.bindings.bindKeys(a, codes);
        } else if (section == "gamepad") {
            PadAction a;
            if (!padActionFromName(key, a)) return problem("unknown action " + keyIn + " in [gamepad]");
            std::vector<int> buttons;
            for (const std::string& n : items(value)) {
                const int b = buttonFromName(n);
                if (b < 0) return problem("unknown gamepad button " + n);
                buttons.push_back(b);
            }
            if (buttons.empty()) return problem("no button given for " + key);
            s.bindings.bindButtons(a, buttons);
        } else {
            problem("unknown section [" + sectionIn + "]");
        }
    }
};

#ifndef __EMSCRIPTEN__
struct LineSource {
    std::istringstream* in;
    Reader* reader;
};

char* readLine(char* str, int num, void* stream) {
    auto* src = static_cast<LineSource*>(stream);
    std::string line;
    if (!std::getline(*src->in, line)) return nullptr;
    ++src->reader->line;
    line += '\n';
    if (static_cast<int>(line.size()) >= num) line = line.substr(0, static_cast<size_t>(num) - 2) + "\n";
    std::memcpy(str, line.c_str(), line.size() + 1);
    return str;
}

int handler(void* user, const char* section, const char* name, const char* value) {
    static_cast<Reader*>(user)->take(section ? section : "", name ? name : "", value ? value : "");
    return 1;  // go on: every bad line is reported by the reader itself
}
#endif

const char* screenName(ScreenMode m) {
    return m == ScreenMode::Window ? "window" : m == ScreenMode::Exclusive ? "exclusive" : "fullscreen";
}

}  // namespace

std::string defaultSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/orbita/orbita.ini";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/orbita/orbita.ini";
    return "";
}

void parseSettings(const std::string& text, const std::string& name, Settings& settings,
                   std::vector<std::string>& problems) {
    Reader reader{&name, &settings, &problems};
#ifndef __EMSCRIPTEN__
    std::istringstream in(text);
    LineSource src{&in, &reader};
    const int bad = ini_parse_stream(&readLine, &src, &handler, &reader);
    // The INI reader names only the first line it could not read at all (no "=", no "]").
    if (bad > 0 && bad != reader.lastReported) {
        reader.line = bad;
        reader.problem("not a setting (name = value) nor a [section]");
    }
#else
    (void)text;
    (void)reader;
#endif
}

bool loadSettings(const std::string& path, Settings& settings, std::vector<std::string>& problems) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return true;  // no file: the defaults
    if (!S_ISREG(st.st_mode) || st.st_size > (1 << 20)) {
        problems.push_back(path + ": not a settings file (a regular file of at most 1 MiB)");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back(path + ": cannot be read: " + std::strerror(errno));
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    parseSettings(text.str(), path, settings, problems);
    return true;
}

std::string settingsText(const Settings& s) {
    std::ostringstream o;
    o << "# Orbita settings (written by the game when a setting changes in play)\n\n"
      << "[display]\n"
      << "# fullscreen (the desktop's resolution), exclusive (a 640x480 display mode) or window\n"
      << "mode = " << screenName(s.screen) << "\n"
      << "scale = " << s.scale << "\n\n"
      << "[sound]\n"
      << "music = " << s.musicVolume << "\n"
      << "effects = " << s.effectsVolume << "\n"
      << "mute = " << (s.muted ? "yes" : "no") << "\n\n"
      << "[game]\n";
    if (s.language.empty())
        o << "# language = cs\n\n";
    else
        o << "language = " << s.language << "\n\n";
    o << "[keys]\n";
    for (int i = 0; i < kActionCount; ++i) {
        const Action a = static_cast<Action>(i);
        const bool bound = !s.bindings.keys(a).empty();
        const std::vector<int>& keys = bound ? s.bindings.keys(a) : defaultKeys(a);
        std::string list;
        for (int vk : keys) {
            const char* n = keyCodeName(vk);
            if (n) list += (list.empty() ? "" : ", ") + std::string(n);
        }
        o << (bound ? "" : "# ") << actionName(a) << " = " << list << "\n";
    }
    o << "\n[gamepad]\n";
    for (int i = 0; i < kPadActionCount; ++i) {
        const PadAction a = static_cast<PadAction>(i);
        const bool bound = !s.bindings.buttons(a).empty();
        const std::vector<int>& buttons = bound ? s.bindings.buttons(a) : defaultButtons(a);
        std::string list;
        for (int b : buttons) list += (list.empty() ? "" : ", ") + buttonName(b);
        o << (bound ? "" : "# ") << padActionName(a) << " = " << list << "\n";
    }
    return o.str();
}

std::string saveSettings(const std::string& path, const Settings& settings) {
    if (path.empty()) return "no place for the settings (neither XDG_CONFIG_HOME nor HOME is set)";
    // The folders on the way are made as needed.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) return dir + ": " + std::strerror(errno);
    }
    return platform::writeFileSafely(path, settingsText(settings));
}

}  // namespace app
