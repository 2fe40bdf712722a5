// The program's command-line options.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

// "after tick N, write FILE" (screenshots and state dumps).
struct TickFile {
    uint32_t tick = 0;
    std::string path;
};

struct Options {
    bool windowed = false;  // a window instead of full screen (also set by --scale)
    bool exclusiveFullScreen = false;  // full screen by a display-mode switch (a setting)
    int scale = 1;          // whole-number scale of the 640 x 480 picture in a window
    bool headless = false;
    bool hasSeed = false;
    uint32_t seed = 0;
    int warp = 0;  // 0: start normally; 1..8: straight into that level
    bool god = false;
    uint32_t frames = 0;  // 0: no limit; N: end cleanly after tick N
    std::string playFile;
    std::string recordFile;
    std::string timedemoFile;
    std::vector<TickFile> screenshots;
    std::vector<TickFile> stateDumps;
    bool verifyData = false;
    bool pacing = false;  // at the end, report the ticks' pacing and the processor time used
    bool help = false;
    bool version = false;
    std::string configFile;         // --config FILE: the settings file to read (headless too)
    std::string language = "cs";    // the language of the game's texts: "cs" or "en"
};

// A command line that cannot be used; what() is the whole message ("orbita: ...").
class OptionError : public std::runtime_error {
public:
    explicit OptionError(const std::string& message) : std::runtime_error(message) {}
};

constexpr int kMaxScale = 16;
constexpr int kLevels = 8;

// Parses the arguments after the program name. Both "--seed 5" and "--seed=5" work.
Options parseOptions(const std::vector<std::string>& args);
Options parseOptions(int argc, char** argv);

// The --help text.
std::string usage();
// The --version text ("orbita 1.0").
std::string versionText();

// For the program entry: parses, prints the help and exits 0 for --help, prints the
// error and exits with status 2 for a bad command line.
Options parseOptionsOrExit(int argc, char** argv);

}  // namespace app
