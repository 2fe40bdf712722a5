// The program above the game: options, the back-end, the main form and the message loop, with
// the drivers that run it from outside (scripts, recording, state dumps, the data check).
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/Program.h"

#include "app/Desktop.h"
#include "app/Driver.h"
#include "app/Options.h"
#include "app/Recorder.h"
#include "app/VerifyData.h"
#include "game/Language.h"
#include "game/Main.h"
#include "game/State.h"
#include "game/StateDump.h"
#include "game/data1.h"
#include "media/Errors.h"
#include "platform/Files.h"
#include "platform/Png.h"

namespace app {

namespace {

bool isDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string programDirectory(const char* argv0) {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path;
    if (n > 0) {
        buf[n] = 0;
        path = buf;
    } else if (argv0) {
        path = argv0;
    }
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The game reads its data from the working directory. Without pozadi/ there, use the data
// beside the program (a build tree), else the installed data.
void chooseDataDirectory(const char* argv0) {
    if (isDirectory("pozadi")) return;
    const std::string dir = programDirectory(argv0);
    for (const std::string& candidate :
         {dir + "/data", dir, dir + "/../share/orbita", dir + "/../share/games/orbita", dir + "/../data"}) {
        if (isDirectory(candidate + "/pozadi")) {
            if (chdir(candidate.c_str()) == 0) return;
        }
    }
}

// Starts a level at once, as the menu's start box would after the menu has been entered.
// A menu set-up that fails (its picture file missing) is reported and the level still starts,
// as it could from the menu.
void warpTo(int warpLevel) {
    game::TMainForm& f = *game::MainForm;
    game::inStory = false;
    game::inTitle = false;
    game::inMenu = true;
    media::Application().Guard([] { game::setupScene(); });
    game::level = static_cast<uint8_t>(warpLevel);
    game::inMenu = false;
    f.podklad.Visible = true;
    f.DXDraw.Cursor = media::crNone;
    game::setupScene();
}

// Paths given on the command line are meant from where the program was started, before it
// changes to its data directory.
std::string currentDirectory() {
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string();
}

void makeAbsolute(std::string& path, const std::string& base) {
    if (path.empty() || path[0] == '/' || base.empty()) return;
    path = base + "/" + path;
}

// A path given on the command line as the file it names now: made absolute against the start
// folder, and its folder's links resolved (the folders that exist), so that a spelling that
// depends on the working folder (/proc/self/cwd/x, or a link to it) still names the same file
// once the program has changed to its data folder. The last part is kept as given: a link
// there is the file's own business (the writer refuses to follow it).
void resolveAtStart(std::string& path, const std::string& base) {
    if (path.empty()) return;
    makeAbsolute(path, base);
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return;
    const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::weakly_canonical(folder, ec);
    if (ec || real.empty() || !real.is_absolute()) return;
    std::string resolved = real.string();
    if (resolved.back() != '/') resolved += '/';
    path = resolved + path.substr(slash + 1);
}

// Everything the run reads or writes by a name from the command line, and the settings file
// that may be saved later: resolved before the program changes folder.
void resolveOptionPaths(Options& o, const std::string& base) {
    resolveAtStart(o.playFile, base);
    resolveAtStart(o.recordFile, base);
    resolveAtStart(o.timedemoFile, base);
    resolveAtStart(o.configFile, base);
    for (auto& s : o.screenshots) resolveAtStart(s.path, base);
    for (auto& d : o.stateDumps) resolveAtStart(d.path, base);
}

// A recording knows only keys: the stick and the buttons the game reads are written as the
// keys that give the same input states (stick to the arrows, button 1 Tab, button 2 Enter,
// button 4 Space). The other buttons give states the game never reads.
void addJoystickKeys(media::TDXInput& input, uint8_t keys[256]) {
    input.Joystick.Update();
    const media::TDXInputStates& s = input.Joystick.States;
    const struct {
        int state;
        int vk;
    } map[] = {{media::isUp, 0x26},      {media::isDown, 0x28},    {media::isLeft, 0x25},
               {media::isRight, 0x27},   {media::isButton1, 0x09}, {media::isButton2, 0x0D},
               {media::isButton4, 0x20}};
    for (const auto& m : map)
        if (s.Has(m.state)) keys[m.vk] |= 0x80;
}

// One run of the program, in the steps runProgram takes; what the steps share.
class ProgramRun {
public:
    ProgramRun(Driver& driver, std::string startDirectory)
        : driver_(driver), o_(driver.options()), startDirectory_(std::move(startDirectory)),
          application_(media::Application()), backEnd_(driver.platform()) {}

    // The seed, god mode and the recorder the options ask for.
    void applyStartOptions() {
        game::godMode = o_.god;
        // A recording needs a known seed: take one from the clock when none was given.
        uint32_t seed = o_.seed;
        bool hasSeed = o_.hasSeed;
        if (!hasSeed && !o_.recordFile.empty()) {
            seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
            hasSeed = true;
        }
        game::setFixedSeed(hasSeed, seed);

        if (!o_.recordFile.empty()) {
            ScriptHeader header;
            header.present = true;
            header.hasSeed = true;
            header.seed = seed;
            header.warp = o_.warp;
            header.god = o_.god;
            recorder_ = std::make_unique<Recorder>(header);
        }
    }

    // The main form, made the application's.
    void createForm() {
        form_ = std::make_unique<game::TMainForm>();
        form_->DXDraw.WindowOptions = driver_.windowOptions();
        application_.SetMainForm(form_.get());
    }

    // The driver writes state dumps, ends the run, runs at the top of every loop pass and
    // times the scenes' set-ups.
    void connectDriver() {
        DriverHooks hooks;
        hooks.dumpState = [](const std::string& path) {
            return platform::writeFileSafely(path, game::stateJson(game::currentShellFacts()));
        };
        media::TApplication& application = application_;
        hooks.quit = [&application] { application.Terminate(); };
        driver_.setHooks(hooks);

        Driver& driver = driver_;
        application_.OnLoopPass = [&driver] { driver.loopPass(); };
        // The set-ups are timed by the driver (the timedemo reports the largest).
        timedDriver = &driver_;
        game::setupObserver = [](bool done) {
            if (!timedDriver) return;
            if (done) {
                timedDriver->setupDone();
                return;
            }
            static const char* const levels[] = {"level 0", "level 1", "level 2", "level 3", "level 4",
                                                  "level 5", "level 6", "level 7", "level 8"};
            const char* scene = game::inStory   ? "story"
                                : game::inTitle ? "title"
                                : game::inMenu  ? "menu"
                                : game::level <= 8 ? levels[game::level]
                                                   : "level";
            timedDriver->setupStarted(scene);
        };
    }

    // Around every frame tick: the driver's counts, the recording, the replay's hash check.
    void hookTicks() {
        form_->BeforeTick = [this] {
            driver_.tickStarted(form_->DXTimer.LastTickTime());
            if (recorder_) {
                uint8_t keys[256] = {};
                backEnd_.keyboardState(keys);
                addJoystickKeys(form_->DXInput, keys);
                recorder_->tickStarting(game::tick + 1, keys);
            }
        };
        form_->AfterTick = [this] {
            // The state is hashed only where it is kept (every 40th tick of a recording) or
            // checked (where the replayed script has a hash).
            const uint32_t tick = game::tick;
            uint64_t expected = 0;
            const bool check = !mismatch_ && driver_.player() && driver_.player()->expectedHash(tick, expected);
            const bool keep = recorder_ && tick % Recorder::kHashEvery == 0;
            const uint64_t hash = check || keep ? game::stateHash() : 0;
            if (recorder_) {
                recorder_->tickDone(tick, hash);
                // Written as it goes: a crash or a kill loses a few seconds, not the session.
                const std::string reason = recorder_->checkpoint(o_.recordFile, tick);
                if (!reason.empty() && !recordWarned_) {
                    std::fprintf(stderr, "orbita: cannot write %s yet: %s\n", o_.recordFile.c_str(), reason.c_str());
                    recordWarned_ = true;
                }
            }
            if (check && expected != hash) {
                std::fprintf(stderr, "orbita: the game state differs from the recording at tick %u\n", tick);
                mismatch_ = true;
                status_ = 1;
                application_.Terminate();
                return;
            }
            driver_.tickDone();
        };
    }

    // A recording also takes the keys, pointer moves and clicks as the form receives them.
    void recordEvents() {
        if (!recorder_) return;
        Recorder* recorder = recorder_.get();
        auto previousKey = form_->OnKeyDown;
        form_->OnKeyDown = [recorder, previousKey](media::TObject* s, int& key, int shift) {
            recorder->keyDown(game::tick + 1, key);
            previousKey(s, key, shift);
        };
        auto previousMove = form_->DXDraw.OnMouseMove;
        form_->DXDraw.OnMouseMove = [recorder, previousMove](media::TObject* s, int shift, int x, int y) {
            recorder->pointerMove(game::tick + 1, x, y);
            previousMove(s, shift, x, y);
        };
        auto previousClick = form_->DXDraw.OnClick;
        form_->DXDraw.OnClick = [recorder, previousClick](media::TObject* s) {
            recorder->click(game::tick + 1);
            previousClick(s);
        };
    }

    // PrintScreen saves into the directory the program was started from, not into the data.
    void savePrintScreens() {
        form_->OnPrintScreen = [this] {
            const std::vector<uint16_t>& frame = backEnd_.lastPresented();
            if (frame.size() < static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight) return;
            std::string path;
            do {
                char name[32];
                std::snprintf(name, sizeof name, "orbita-%03d.png", ++screenshotNumber_);
                path = name;
                makeAbsolute(path, startDirectory_);
            } while (access(path.c_str(), F_OK) == 0 && screenshotNumber_ < 1000);
            std::string reason;
            if (!platform::saveRgb565Png(path, platform::kFrameWidth, platform::kFrameHeight, frame.data(), &reason))
                driver_.outputFailed(path, reason);
        };
    }

    // The form's components and the game's data modules; a warp starts its level at once.
    // The desktop's layer: the menu takes keys while its boxes answer the pointer; the pause
    // text shows while the window has lost the focus. F12 saves a screenshot as PrintScreen
    // does; the volume keys change the volume.
    void desktopComforts(Desktop& desktop) {
        game::TMainForm* f = form_.get();
        if (DesktopPlatform* desk = desktop.platform()) {
            desk->menuActive = [f] { return game::inMenu && f->DXDraw.Cursor != media::crNone; };
            desk->pauseText = [] { return game::pauseText(); };
        }
        auto previousKey = form_->OnKeyDown;
        form_->OnKeyDown = [f, &desktop, previousKey](media::TObject* s, int& key, int shift) {
            Action action;
            if (actionOfGameKey(key, action)) {
                if (action == Action::Screenshot && key != 0x2C && f->OnPrintScreen) f->OnPrintScreen();
                desktop.volumeKey(action);
            }
            previousKey(s, key, shift);
        };
    }

    void startGame() {
        form_->Loaded();
        game::dat1 = new game::Tdat1;
        game::DataModule1 = new game::TDataModule1;
        if (o_.warp >= 1 && o_.warp <= 8) application_.Guard([this] { warpTo(o_.warp); });
    }

    // What follows the loop: the reports, the recording saved, everything taken down.
    void endRun() {
        if (!o_.timedemoFile.empty()) std::printf("%s\n", driver_.timedemoReport().c_str());
        if (o_.pacing) std::printf("%s\n", driver_.pacingReport().c_str());
        if (recorder_) {
            recorder_->finish(game::tick);
            const std::string reason = recorder_->save(o_.recordFile);
            if (!reason.empty()) driver_.outputFailed(o_.recordFile, reason);
        }
        status_ = driver_.reportOutputs(status_);
        game::setupObserver = nullptr;
        timedDriver = nullptr;
        form_->DXTimer.SetEnabled(false);
        form_->DXDraw.Finalize();
        application_.SetMainForm(nullptr);
        form_.reset();
        delete game::DataModule1;
        delete game::dat1;
        game::DataModule1 = nullptr;
        game::dat1 = nullptr;
    }

    media::TApplication& application() { return application_; }
    int status() const { return status_; }

private:
    static Driver* timedDriver;  // the driver the set-up observer reports to
    Driver& driver_;
    const Options& o_;
    const std::string startDirectory_;
    media::TApplication& application_;
    platform::Platform& backEnd_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<game::TMainForm> form_;
    int status_ = 0;
    bool mismatch_ = false;
    bool recordWarned_ = false;
    int screenshotNumber_ = 0;
};

Driver* ProgramRun::timedDriver = nullptr;

}  // namespace

int runProgram(int argc, char** argv) {
    Options options = parseOptionsOrExit(argc, argv);
    const std::string startDirectory = currentDirectory();
    resolveOptionPaths(options, startDirectory);
    // The player's settings (headless runs: only --config FILE) fill what the command line left open.
    Desktop desktop;
    desktop.load(options, std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    chooseDataDirectory(argc > 0 ? argv[0] : nullptr);
    const std::string languageNote = game::chooseLanguage(options.language);
    if (options.verifyData) return verifyData(std::cout) ? 0 : 1;

    Driver driver(options);
#ifndef __EMSCRIPTEN__
    // The browser has its own page, keys and focus; the desktop's layer is for the desktop.
    driver.wrapDesktop = [&desktop](std::unique_ptr<platform::Platform> p) { return desktop.wrap(std::move(p)); };
#endif
    try {
        driver.start();
    } catch (const NoDisplayError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const OptionError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbita: %s\n", media::ErrorText(e).c_str());
        return 2;
    }
    // A language without its files: said in a box with a window (in the page's message in a
    // browser, on standard error always), and the game goes on in Czech.
    if (!languageNote.empty()) media::Application().ShowMessage(languageNote);
    ProgramRun run(driver, startDirectory);
    run.applyStartOptions();
    run.createForm();
    run.connectDriver();
    run.hookTicks();
    run.recordEvents();
    run.savePrintScreens();
    run.desktopComforts(desktop);
    run.startGame();
    desktop.applyVolumes();
    // In the browser the loop runs from its animation frames after this function has handed
    // it over, so the end of the run is a step of its own.
    run.application().Run([&run] { run.endRun(); });
    return run.status();
}

}  // namespace app
