// The program: options, the back-end, the main form and the message loop, with the drivers
// that run it from outside (scripts, recording, state dumps, the data check).
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/Desktop.h"
#include "app/Driver.h"
#include "app/Options.h"
#include "app/Recorder.h"
#include "app/VerifyData.h"
#include "game/Main.h"
#include "game/State.h"
#include "game/data1.h"
#include "platform/Files.h"

namespace game {

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
    TMainForm& f = *MainForm;
    inStory = false;
    inTitle = false;
    inMenu = true;
    media::Application().Guard([] { setupScene(); });
    level = static_cast<uint8_t>(warpLevel);
    inMenu = false;
    f.podklad.Visible = true;
    f.DXDraw.Cursor = media::crNone;
    setupScene();
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

void makeOptionPathsAbsolute(app::Options& o, const std::string& base) {
    makeAbsolute(o.playFile, base);
    makeAbsolute(o.recordFile, base);
    makeAbsolute(o.timedemoFile, base);
    for (auto& s : o.screenshots) makeAbsolute(s.path, base);
    for (auto& d : o.stateDumps) makeAbsolute(d.path, base);
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

}  // namespace

int runProgram(int argc, char** argv) {
    app::Options options = app::parseOptionsOrExit(argc, argv);
    // The player's settings (headless runs: only --config FILE) fill what the command line left open.
    app::Desktop desktop;
    desktop.load(options, std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    const std::string startDirectory = currentDirectory();
    makeOptionPathsAbsolute(options, startDirectory);
    chooseDataDirectory(argc > 0 ? argv[0] : nullptr);
    if (options.verifyData) return app::verifyData(std::cout) ? 0 : 1;

    app::Driver driver(options);
#ifndef __EMSCRIPTEN__
    // The browser has its own page, keys and focus; the desktop's layer is for the desktop.
    driver.wrapDesktop = [&desktop](std::unique_ptr<platform::Platform> p) { return desktop.wrap(std::move(p)); };
#endif
    try {
        driver.start();
    } catch (const app::NoDisplayError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const app::OptionError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbita: %s\n", e.what());
        return 2;
    }
    const app::Options& o = driver.options();
    godMode = o.god;
    // A recording needs a known seed: take one from the clock when none was given.
    uint32_t seed = o.seed;
    bool hasSeed = o.hasSeed;
    if (!hasSeed && !o.recordFile.empty()) {
        seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
        hasSeed = true;
    }
    setFixedSeed(hasSeed, seed);

    std::unique_ptr<app::Recorder> recorder;
    if (!o.recordFile.empty()) {
        app::ScriptHeader header;
        header.present = true;
        header.hasSeed = true;
        header.seed = seed;
        header.warp = o.warp;
        header.god = o.god;
        recorder = std::make_unique<app::Recorder>(header);
    }

    media::TApplication& application = media::Application();
    platform::Platform& backEnd = driver.platform();
    auto form = std::make_unique<TMainForm>();
    form->DXDraw.WindowOptions = driver.windowOptions();
    application.SetMainForm(form.get());

    int status = 0;
    bool mismatch = false;
    bool recordWarned = false;
    app::DriverHooks hooks;
    hooks.dumpState = [](const std::string& path) {
        return platform::writeFileSafely(path, stateJson(currentShellFacts()));
    };
    hooks.quit = [&application] { application.Terminate(); };
    driver.setHooks(hooks);

    application.OnLoopPass = [&driver] { driver.loopPass(); };
    // The set-ups are timed by the driver (the timedemo reports the largest).
    static app::Driver* timedDriver = nullptr;
    timedDriver = &driver;
    setupObserver = [](bool done) {
        if (!timedDriver) return;
        if (done) {
            timedDriver->setupDone();
            return;
        }
        static const char* const levels[] = {"level 0", "level 1", "level 2", "level 3", "level 4",
                                              "level 5", "level 6", "level 7", "level 8"};
        const char* scene = inStory ? "story" : inTitle ? "title" : inMenu ? "menu" : level <= 8 ? levels[level] : "level";
        timedDriver->setupStarted(scene);
    };
    form->BeforeTick = [&] {
        driver.tickStarted(form->DXTimer.LastTickTime());
        if (recorder) {
            uint8_t keys[256] = {};
            backEnd.keyboardState(keys);
            addJoystickKeys(form->DXInput, keys);
            recorder->tickStarting(tick + 1, keys);
        }
    };
    form->AfterTick = [&] {
        // The state is hashed only where it is kept (every 40th tick of a recording) or
        // checked (where the replayed script has a hash).
        uint64_t expected = 0;
        const bool check = !mismatch && driver.player() && driver.player()->expectedHash(tick, expected);
        const bool keep = recorder && tick % app::Recorder::kHashEvery == 0;
        const uint64_t hash = check || keep ? stateHash() : 0;
        if (recorder) {
            recorder->tickDone(tick, hash);
            // Written as it goes: a crash or a kill loses a few seconds, not the session.
            const std::string reason = recorder->checkpoint(o.recordFile, tick);
            if (!reason.empty() && !recordWarned) {
                std::fprintf(stderr, "orbita: cannot write %s yet: %s\n", o.recordFile.c_str(), reason.c_str());
                recordWarned = true;
            }
        }
        if (check && expected != hash) {
            std::fprintf(stderr, "orbita: the game state differs from the recording at tick %u\n", tick);
            mismatch = true;
            status = 1;
            application.Terminate();
            return;
        }
        driver.tickDone();
    };
    if (recorder) {
        auto previousKey = form->OnKeyDown;
        form->OnKeyDown = [&, previousKey](media::TObject* s, int& key, int shift) {
            recorder->keyDown(tick + 1, key);
            previousKey(s, key, shift);
        };
        auto previousMove = form->DXDraw.OnMouseMove;
        form->DXDraw.OnMouseMove = [&, previousMove](media::TObject* s, int shift, int x, int y) {
            recorder->pointerMove(tick + 1, x, y);
            previousMove(s, shift, x, y);
        };
        auto previousClick = form->DXDraw.OnClick;
        form->DXDraw.OnClick = [&, previousClick](media::TObject* s) {
            recorder->click(tick + 1);
            previousClick(s);
        };
    }
    // PrintScreen saves into the directory the program was started from, not into the data.
    int screenshotNumber = 0;
    form->OnPrintScreen = [&] {
        const std::vector<uint16_t>& frame = backEnd.lastPresented();
        if (frame.size() < static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight) return;
        std::string path;
        do {
            char name[32];
            std::snprintf(name, sizeof name, "orbita-%03d.png", ++screenshotNumber);
            path = name;
            makeAbsolute(path, startDirectory);
        } while (access(path.c_str(), F_OK) == 0 && screenshotNumber < 1000);
        std::string reason;
        if (!platform::saveRgb565Png(path, platform::kFrameWidth, platform::kFrameHeight, frame.data(), &reason))
            driver.outputFailed(path, reason);
    };

    // The desktop's layer: the menu takes keys while its boxes answer the pointer; the pause
    // text shows while the window has lost the focus.
    if (app::DesktopPlatform* desk = desktop.platform()) {
        TMainForm* f = form.get();
        desk->menuActive = [f] { return inMenu && f->DXDraw.Cursor != media::crNone; };
        desk->pauseText = [] { return pauseText(); };
    }
    // F12 saves a screenshot as PrintScreen does; the volume keys change the volume.
    {
        auto previousKey = form->OnKeyDown;
        TMainForm* f = form.get();
        form->OnKeyDown = [f, &desktop, previousKey](media::TObject* s, int& key, int shift) {
            app::Action action;
            if (app::actionOfGameKey(key, action)) {
                if (action == app::Action::Screenshot && key != 0x2C && f->OnPrintScreen) f->OnPrintScreen();
                desktop.volumeKey(action);
            }
            previousKey(s, key, shift);
        };
    }

    form->Loaded();
    desktop.applyVolumes();
    dat1 = new Tdat1;
    DataModule1 = new TDataModule1;
    if (o.warp >= 1 && o.warp <= 8) application.Guard([&] { warpTo(o.warp); });

    // What follows the loop. In the browser the loop runs from its animation frames after
    // this function has handed it over, so the end of the run is a step of its own.
    auto endRun = [&] {
        if (!o.timedemoFile.empty()) std::printf("%s\n", driver.timedemoReport().c_str());
        if (o.pacing) std::printf("%s\n", driver.pacingReport().c_str());
        if (recorder) {
            recorder->finish(tick);
            const std::string reason = recorder->save(o.recordFile);
            if (!reason.empty()) driver.outputFailed(o.recordFile, reason);
        }
        status = driver.reportOutputs(status);
        setupObserver = nullptr;
        timedDriver = nullptr;
        form->DXTimer.SetEnabled(false);
        form->DXDraw.Finalize();
        application.SetMainForm(nullptr);
        form.reset();
        delete DataModule1;
        delete dat1;
        DataModule1 = nullptr;
        dat1 = nullptr;
    };
    application.Run(endRun);
    return status;
}

}  // namespace game
