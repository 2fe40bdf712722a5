// The run driver on the headless back-end: script start options, event delivery before
// each tick, screenshots and state dumps after their tick, and the end of the run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>

#include "app/Driver.h"
#include "app/ReplayPlatform.h"
#include "platform/Png.h"
#include "platform/headless/HeadlessControl.h"

using namespace app;

namespace {

std::string temp(const std::string& name) { return testing::TempDir() + "orbita_driver_" + name; }

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::vector<platform::Event> drain(platform::Platform& p) {
    std::vector<platform::Event> out;
    platform::Event e;
    while (p.pollEvent(e)) out.push_back(e);
    return out;
}

TEST(Driver, HeadlessBackEndBecomesCurrent) {
    Options o;
    o.headless = true;
    {
        Driver d(o);
        platform::Platform& p = d.start();
        EXPECT_TRUE(p.isHeadless());
        EXPECT_EQ(&platform::current(), &p);
        EXPECT_EQ(&d.start(), &p);  // started once
        EXPECT_EQ(d.player(), nullptr);
    }
    EXPECT_FALSE(platform::hasCurrent());  // the back-end went with the driver
}

TEST(Driver, ScriptHeaderGivesItsStartOptionsAndEventsArriveBeforeTheirTick) {
    std::string path = temp("play.txt");
    writeFile(path, "orbita-script 1 seed=9 warp=4\n@1 hold Space\n@3 move 10 20\n@3 click\n");
    Options o;
    o.headless = true;
    o.god = true;
    o.playFile = path;
    Driver d(o);
    platform::Platform& p = d.start();
    EXPECT_TRUE(d.options().hasSeed);
    EXPECT_EQ(d.options().seed, 9u);
    EXPECT_EQ(d.options().warp, 4);
    EXPECT_TRUE(d.options().god);  // the header says nothing of god: the command line's --god stays

    d.loopPass();  // before tick 1
    auto ev = drain(p);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].key, 0x20);
    d.tickDone();
    d.loopPass();  // before tick 2: nothing new
    EXPECT_TRUE(drain(p).empty());
    d.tickDone();
    d.loopPass();
    ev = drain(p);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[1].type, platform::EventType::Click);
    EXPECT_EQ(ev[1].x, 10);
    EXPECT_FALSE(d.finished());
    d.tickDone();
    EXPECT_TRUE(d.finished());  // a headless replay ends with its script
    std::remove(path.c_str());
}

TEST(Driver, ScreenshotsDumpsAndFrameLimitAfterTheirTick) {
    Options o;
    o.headless = true;
    o.frames = 3;
    o.screenshots = {{2, temp("shot.png")}, {1, temp("early.png")}};
    o.stateDumps = {{2, temp("state.json")}};
    std::vector<std::string> dumped;
    int quits = 0;
    Driver d(o);
    d.setHooks({[&](const std::string& path) {
                    dumped.push_back(path);
                    return std::string();
                },
                [&] { ++quits; }});
    platform::Platform& p = d.start();

    testing::internal::CaptureStderr();
    d.tickDone();  // tick 1: nothing has been shown yet
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("no picture"), std::string::npos);

    std::vector<uint16_t> frame(platform::kFrameWidth * platform::kFrameHeight, 0xF800);
    frame[platform::kFrameWidth * 479 + 639] = 0x001F;
    p.present(frame.data(), true);
    d.tickDone();  // tick 2
    EXPECT_EQ(d.tick(), 2u);
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    ASSERT_TRUE(platform::loadPng(temp("shot.png"), w, h, rgba));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(rgba[0], 0xFF0000FFu);
    EXPECT_EQ(rgba.back(), 0xFFFF0000u);
    EXPECT_EQ(dumped, std::vector<std::string>{temp("state.json")});
    EXPECT_FALSE(d.finished());
    EXPECT_EQ(quits, 0);

    d.tickDone();  // tick 3 = --frames
    EXPECT_TRUE(d.finished());
    d.tickDone();
    EXPECT_EQ(quits, 1);  // said once
    std::remove(temp("shot.png").c_str());
}

TEST(Driver, TimedemoRunsHeadlessAndReports) {
    std::string path = temp("demo.txt");
    writeFile(path, "@2 hold Space\n@4 release\n");
    Options o;
    o.timedemoFile = path;
    Driver d(o);
    EXPECT_TRUE(d.start().isHeadless());
    while (!d.finished() && d.tick() < 100) {
        d.loopPass();
        d.tickStarted();
        d.tickDone();
    }
    EXPECT_EQ(d.tick(), 4u);
    std::string r = d.timedemoReport();
    EXPECT_EQ(r.rfind("4 frames, ", 0), 0u) << r;
    EXPECT_NE(r.find("99th percentile"), std::string::npos);
    std::remove(path.c_str());
}

TEST(Driver, ReplayLayerReplacesRealInputOnly) {
    auto inner = platform::createHeadlessPlatform();
    platform::HeadlessControl* real = platform::headlessControl(*inner);
    auto replay = std::make_unique<ReplayPlatform>(*inner);
    platform::HeadlessControl* script = platform::headlessControl(*replay);
    ASSERT_NE(script, nullptr);

    platform::Event k;
    k.type = platform::EventType::KeyDown;
    k.key = 0x41;
    real->pushEvent(k);              // the person at the keyboard
    real->setKey(0x41, true);
    real->setActive(false);          // focus changes still get through
    k.key = 0x20;
    script->pushEvent(k);            // the script
    script->setKey(0x20, true);

    auto ev = drain(*replay);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].type, platform::EventType::KeyDown);
    EXPECT_EQ(ev[0].key, 0x20);
    EXPECT_EQ(ev[1].type, platform::EventType::Deactivate);
    uint8_t keys[256];
    replay->keyboardState(keys);
    EXPECT_TRUE(keys[0x20] & 0x80);
    EXPECT_EQ(keys[0x41], 0);

    std::vector<uint16_t> frame(platform::kFrameWidth * platform::kFrameHeight, 7);
    replay->present(frame.data(), false);
    EXPECT_EQ(inner->lastPresented().size(), frame.size());

    // Handed over, the real keyboard and pointer count again.
    replay->handOver();
    k.key = 0x41;
    real->pushEvent(k);
    ev = drain(*replay);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].key, 0x41);
    replay->keyboardState(keys);
    EXPECT_TRUE(keys[0x41] & 0x80);
    EXPECT_EQ(keys[0x20], 0);
}

}  // namespace

namespace {

TEST(Driver, HandWrittenScriptKeepsCommandLineOptionsAndBadOnesNameTheirLine) {
    std::string path = temp("hand.txt");
    Options o;
    o.headless = true;
    o.warp = 7;
    o.playFile = path;
    writeFile(path, "@1 hold Up\n");
    Driver good(o);
    good.start();
    EXPECT_EQ(good.options().warp, 7);
    writeFile(path, "@1 hold Up\n@2 hold Foo\n");
    Driver bad(o);
    try {
        bad.start();
        ADD_FAILURE() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(std::string(e.what()), path + ":2: unknown key Foo");
    }
    std::remove(path.c_str());
}

}  // namespace

namespace {

std::string headerError(const std::string& header, Options o) {
    ScriptHeader h = parseScriptText(header + "\n", "demo.txt").header;
    try {
        applyScriptHeader(o, h, "demo.txt");
    } catch (const OptionError& e) {
        return e.what();
    }
    return "";
}

TEST(Driver, AHeaderSilentAboutAnOptionKeepsItAndOneThatContradictsItIsAnError) {
    Options o;
    o.warp = 3;
    o.god = true;
    o.hasSeed = true;
    o.seed = 5;
    Options kept = o;
    applyScriptHeader(kept, parseScriptText("orbita-script 1\n").header, "demo.txt");
    EXPECT_EQ(kept.warp, 3);
    EXPECT_TRUE(kept.god);
    EXPECT_EQ(kept.seed, 5u);
    Options agreeing = o;
    applyScriptHeader(agreeing, parseScriptText("orbita-script 1 seed=5 warp=3 god=1\n").header, "demo.txt");
    EXPECT_EQ(agreeing.warp, 3);

    EXPECT_EQ(headerError("orbita-script 1 seed=7", o), "orbita: --seed 5 contradicts the header of demo.txt (seed=7)");
    EXPECT_EQ(headerError("orbita-script 1 warp=2", o), "orbita: --warp 3 contradicts the header of demo.txt (warp=2)");
    EXPECT_EQ(headerError("orbita-script 1 god=0", o), "orbita: --god contradicts the header of demo.txt (god=0)");

    Options none;
    applyScriptHeader(none, parseScriptText("orbita-script 1 seed=7 warp=2 god=1\n").header, "demo.txt");
    EXPECT_TRUE(none.hasSeed);
    EXPECT_EQ(none.seed, 7u);
    EXPECT_EQ(none.warp, 2);
    EXPECT_TRUE(none.god);
    // A hand-written script without a header leaves every option alone.
    Options hand = o;
    applyScriptHeader(hand, parseScriptText("@1 release\n").header, "demo.txt");
    EXPECT_EQ(hand.seed, 5u);
}

TEST(Driver, ARecordingMayNotReplaceTheScriptItReplaysHoweverItIsSpelt) {
    const std::string play = temp("replayed.txt");
    writeFile(play, "orbita-script 1 seed=1\n@5 release\n");
    const std::string link = temp("replayed-link.txt");
    std::remove(link.c_str());
    ASSERT_EQ(symlink(play.c_str(), link.c_str()), 0);
    Options o;
    o.headless = true;
    o.playFile = play;
    auto refusal = [&](const Options& options) {
        try {
            Driver d(options);
            d.start();
        } catch (const OptionError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    Options viaLink = o;
    viaLink.recordFile = link;
    EXPECT_EQ(refusal(viaLink), "orbita: --record " + link + " is the script being replayed");
    Options viaDot = o;
    viaDot.recordFile = testing::TempDir() + "./orbita_driver_replayed.txt";
    EXPECT_NE(refusal(viaDot), "");
    Options shot = o;
    shot.screenshots = {{1, link}};
    EXPECT_EQ(refusal(shot), "orbita: --screenshot " + link + " is the script being replayed");
    // A link to anything else is refused too, before the run: it would never be written.
    const std::string other = temp("other-link.txt");
    std::remove(other.c_str());
    ASSERT_EQ(symlink(temp("nowhere").c_str(), other.c_str()), 0);
    Options dangling = o;
    dangling.recordFile = other;
    EXPECT_EQ(refusal(dangling), "orbita: --record " + other + " is a symbolic link");
    Options fine = o;
    fine.recordFile = temp("new-recording.txt");
    EXPECT_EQ(refusal(fine), "");
    std::ifstream in(play);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "orbita-script 1 seed=1\n@5 release\n");
    std::remove(link.c_str());
    std::remove(other.c_str());
    std::remove(play.c_str());
}

TEST(Driver, OutputsThatCannotBeWrittenAreNamedAndFailTheRun) {
    Options o;
    o.headless = true;
    o.screenshots = {{1, "/dev/full"}, {1, temp("no/such/folder/shot.png")}};
    o.stateDumps = {{1, temp("state.json")}};
    Driver d(o);
    d.setHooks({[](const std::string&) { return std::string("No space left on device"); }, [] {}});
    platform::Platform& p = d.start();
    std::vector<uint16_t> frame(platform::kFrameWidth * platform::kFrameHeight, 0);
    p.present(frame.data(), true);
    testing::internal::CaptureStderr();
    d.tickDone();
    const int status = d.reportOutputs(0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("orbita: cannot write /dev/full: is not a regular file\n"), std::string::npos) << err;
    EXPECT_NE(err.find("orbita: cannot write " + temp("state.json") + ": No space left on device\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("orbita: 3 outputs could not be written: /dev/full, " + temp("no/such/folder/shot.png") +
                       ", " + temp("state.json") + "\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(d.failedOutputs().size(), 3u);
    EXPECT_EQ(d.reportOutputs(2), 2) << "an earlier failure's status is kept";
}

TEST(Driver, AStopSignalEndsTheRunAfterTheCurrentTick) {
    Options o;
    o.headless = true;
    int quits = 0;
    Driver d(o);
    d.setHooks({nullptr, [&] { ++quits; }});
    d.start();
    d.loopPass();
    EXPECT_FALSE(Driver::stopRequested());
    raise(SIGTERM);
    EXPECT_TRUE(Driver::stopRequested());
    d.loopPass();
    EXPECT_TRUE(d.finished());
    EXPECT_EQ(quits, 1);
    signal(SIGTERM, SIG_DFL);
}

}  // namespace
