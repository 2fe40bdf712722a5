#include "app/Options.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace app {

namespace {

[[noreturn]] void bad(const std::string& text) { throw OptionError("orbita: " + text); }

// A whole decimal number in lo..hi, or an error naming the option.
long long number(const std::string& option, const std::string& text, long long lo, long long hi) {
    if (text.empty()) bad(option + " needs a number");
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (*end != '\0' || errno == ERANGE || !(*s == '-' || (*s >= '0' && *s <= '9')))
        bad(option + ": not a number: " + text);
    if (v < lo || v > hi)
        bad(option + ": " + text + " is out of range (" + std::to_string(lo) + ".." + std::to_string(hi) + ")");
    return v;
}

TickFile tickFile(const std::string& option, const std::string& text) {
    auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        bad(option + " wants N:FILE, not " + text);
    TickFile tf;
    tf.tick = static_cast<uint32_t>(number(option, text.substr(0, colon), 1, 0xFFFFFFFFll));
    tf.path = text.substr(colon + 1);
    return tf;
}

}  // namespace

std::string usage() {
    return "usage: orbita [options]\n"
           "  --windowed             a window instead of full screen\n"
           "  --scale N              window at N times 640 x 480 (implies --windowed)\n"
           "  --headless             no window, no sound, virtual clock\n"
           "  --seed S               seed of the random generator\n"
           "  --warp L               start in level L (1..8) at once\n"
           "  --god                  the ship cannot be destroyed\n"
           "  --frames N             end after tick N\n"
           "  --play FILE            replay an input script\n"
           "  --record FILE          record an input script\n"
           "  --timedemo FILE        replay a script as fast as possible and report timings\n"
           "  --screenshot N:FILE    after tick N write the picture as PNG (repeatable)\n"
           "  --dump-state N:FILE    after tick N write the game state as JSON (repeatable)\n"
           "  --lang cs|en           the language of the texts: Czech (the default) or English\n"
           "  --verify-data          check the data files and exit\n"
           "  --pacing               at the end, print ticks per second, the shortest and longest\n"
           "                         interval between ticks and the share of a core used\n"
           "  --config FILE          read the settings from FILE (headless runs read none\n"
           "                         otherwise; windowed ones ~/.config/orbita/orbita.ini)\n"
           "  --version              the program's version\n"
           "  --help                 this text\n"
           "keys: cursor keys, keypad 8/2/4/6 or K/J/H/L fly; Space fires; Tab launches the pod;\n"
           "  Enter pauses, Escape continues, skips the story and the title and leaves a level;\n"
           "  in the menu the cursor keys choose a box and Enter or Space takes it; PrintScreen or\n"
           "  F12 saves a screenshot; + and - (or the volume keys) change the volume, M mutes;\n"
           "  Alt+Enter switches between full screen and a window\n";
}

std::string versionText() { return "orbita 1.0\n"; }

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    // Every option but these is given at most once: a second one would silently win.
    static const char* const kRepeatable[] = {"--screenshot", "--dump-state"};
    std::vector<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        } else if (arg == "-h") {
            arg = "--help";
        } else if (arg.size() > 1 && arg[0] == '-') {
            bad("unknown option " + arg);
        } else {
            bad("unexpected argument " + arg);
        }
        auto flag = [&]() {
            if (inlineValue) bad("option " + arg + " takes no value");
        };
        auto takeValue = [&]() -> std::string {
            if (inlineValue) return value;
            if (i + 1 >= args.size()) bad("option " + arg + " needs a value");
            return args[++i];
        };

        if (arg == "--windowed") {
            flag();
            o.windowed = true;
        } else if (arg == "--scale") {
            o.scale = static_cast<int>(number(arg, takeValue(), 1, kMaxScale));
            o.windowed = true;
        } else if (arg == "--headless") {
            flag();
            o.headless = true;
        } else if (arg == "--seed") {
            // Signed or unsigned 32-bit; stored as the generator's 32 bits.
            o.seed = static_cast<uint32_t>(number(arg, takeValue(), -2147483648ll, 4294967295ll));
            o.hasSeed = true;
        } else if (arg == "--warp") {
            o.warp = static_cast<int>(number(arg, takeValue(), 1, kLevels));
        } else if (arg == "--god") {
            flag();
            o.god = true;
        } else if (arg == "--frames") {
            o.frames = static_cast<uint32_t>(number(arg, takeValue(), 1, 0xFFFFFFFFll));
        } else if (arg == "--play") {
            o.playFile = takeValue();
            if (o.playFile.empty()) bad("option --play needs a file name");
        } else if (arg == "--record") {
            o.recordFile = takeValue();
            if (o.recordFile.empty()) bad("option --record needs a file name");
        } else if (arg == "--timedemo") {
            o.timedemoFile = takeValue();
            if (o.timedemoFile.empty()) bad("option --timedemo needs a file name");
        } else if (arg == "--screenshot") {
            o.screenshots.push_back(tickFile(arg, takeValue()));
        } else if (arg == "--dump-state") {
            o.stateDumps.push_back(tickFile(arg, takeValue()));
        } else if (arg == "--lang") {
            o.language = takeValue();
            bool plain = o.language.size() >= 2 && o.language.size() <= 8;
            for (char c : o.language) plain = plain && c >= 'a' && c <= 'z';
            if (!plain) bad("--lang: not a language code: " + o.language + " (cs or en)");
        } else if (arg == "--pacing") {
            flag();
            o.pacing = true;
        } else if (arg == "--verify-data") {
            flag();
            o.verifyData = true;
        } else if (arg == "--help") {
            flag();
            o.help = true;
        } else if (arg == "--version") {
            flag();
            o.version = true;
        } else if (arg == "--config") {
            o.configFile = takeValue();
            if (o.configFile.empty()) bad("option --config needs a file name");
        } else {
            bad("unknown option " + arg);
        }
        bool repeatable = false;
        for (const char* r : kRepeatable) repeatable = repeatable || arg == r;
        if (!repeatable) {
            for (const std::string& g : given)
                if (g == arg) bad("option " + arg + " is given twice");
            given.push_back(arg);
        }
    }
    if (!o.playFile.empty() && !o.timedemoFile.empty()) bad("--play and --timedemo cannot be used together");
    // An output due after the run's last tick would never be written.
    if (o.frames) {
        for (const TickFile& s : o.screenshots)
            if (s.tick > o.frames)
                bad("--screenshot " + std::to_string(s.tick) + ":" + s.path + " comes after the last tick (--frames " +
                    std::to_string(o.frames) + ")");
        for (const TickFile& d : o.stateDumps)
            if (d.tick > o.frames)
                bad("--dump-state " + std::to_string(d.tick) + ":" + d.path + " comes after the last tick (--frames " +
                    std::to_string(o.frames) + ")");
    }
    // Spellings, links and absolute paths of the same file are caught once the paths are known
    // (checkOutputTargets); the plain case is refused here already.
    if (!o.recordFile.empty() && (o.recordFile == o.playFile || o.recordFile == o.timedemoFile))
        bad("--record would overwrite the script being replayed");
    return o;
}

Options parseOptions(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return parseOptions(args);
}

Options parseOptionsOrExit(int argc, char** argv) {
    try {
        Options o = parseOptions(argc, argv);
        if (o.help) {
            std::fputs(usage().c_str(), stdout);
            platform::exitCheckingOutput("orbita", 0);
        }
        if (o.version) {
            std::fputs(versionText().c_str(), stdout);
            std::exit(0);
        }
        return o;
    } catch (const OptionError& e) {
        std::fprintf(stderr, "%s\n(orbita --help lists the options)\n", e.what());
        std::exit(2);
    }
}

}  // namespace app
