// The run driver on the headless back-end: script start options, event delivery before
// each tick, screenshots and state dumps after their tick, and the end of the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "app/Driver.h"
#include "app/ReplayPlatform.h"

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

TEST(Driver, ScriptHeaderOverridesStartOptionsAndEventsArriveBeforeTheirTick) {
    std::string path = temp("play.txt");
    writeFile(path, "orbita-script 1 seed=9 warp=4\n@1 hold Space\n@3 move 10 20\n@3 click\n");
    Options o;
    o.headless = true;
    o.god = true;
    o.warp = 7;
    o.playFile = path;
    Driver d(o);
    platform::Platform& p = d.start();
    EXPECT_TRUE(d.options().hasSeed);
    EXPECT_EQ(d.options().seed, 9u);
    EXPECT_EQ(d.options().warp, 4);
    EXPECT_FALSE(d.options().god);  // a recorded header carries every start option

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
                    return true;
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
