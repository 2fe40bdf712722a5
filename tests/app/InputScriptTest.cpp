// Input scripts: reading, errors with their line, writing back, and playing into the
// headless back-end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "app/InputScript.h"
#include "platform/headless/HeadlessControl.h"

using namespace app;

namespace {

std::string errorOf(const std::string& text) {
    try {
        parseScriptText(text, "script.txt");
    } catch (const ScriptError& e) {
        return e.what();
    }
    return "(no error)";
}

const char* kRecorded =
    "orbita-script 1 seed=77 warp=2 god=1\n"
    "# the start\n"
    "@1 move 320 240\n"
    "@1 click\n"
    "\n"
    "@5 hold Space Left   # fire and go left\n"
    "@9 hold KP8\n"
    "@12 release\n"
    "@40 hash 0123abcdef\n";

TEST(InputScript, ReadsHeaderEventsAndComments) {
    InputScript s = parseScriptText(kRecorded);
    EXPECT_TRUE(s.header.present);
    EXPECT_TRUE(s.header.hasSeed);
    EXPECT_EQ(s.header.seed, 77u);
    EXPECT_EQ(s.header.warp, 2);
    EXPECT_TRUE(s.header.god);
    ASSERT_EQ(s.events.size(), 6u);
    EXPECT_EQ(s.events[0].op, ScriptOp::Move);
    EXPECT_EQ(s.events[0].x, 320);
    EXPECT_EQ(s.events[0].y, 240);
    EXPECT_EQ(s.events[1].op, ScriptOp::Click);
    EXPECT_EQ(s.events[2].tick, 5u);
    EXPECT_EQ(s.events[2].op, ScriptOp::Hold);
    EXPECT_EQ(s.events[2].keys, (std::vector<int>{0x20, 0x25}));
    EXPECT_EQ(s.events[3].keys, (std::vector<int>{0x68}));
    EXPECT_EQ(s.events[4].op, ScriptOp::Release);
    EXPECT_EQ(s.events[5].op, ScriptOp::Hash);
    EXPECT_EQ(s.events[5].hash, 0x0123abcdefull);
}

TEST(InputScript, HandWrittenScriptNeedsNoHeaderAndKeyNamesIgnoreCase) {
    InputScript s = parseScriptText("@3 hold escape ENTER tab f2 F3 h j k l kp2 KP4 kp6 Up Down Right Left Up\n");
    EXPECT_FALSE(s.header.present);
    EXPECT_FALSE(s.header.hasSeed);
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].keys, (std::vector<int>{0x1B, 0x0D, 0x09, 0x71, 0x72, 0x48, 0x4A, 0x4B, 0x4C, 0x62,
                                                  0x64, 0x66, 0x26, 0x28, 0x27, 0x25}));  // Up once
    EXPECT_EQ(keyFromName("Space"), 0x20);
    EXPECT_EQ(keyFromName("A"), 0);
    EXPECT_STREQ(keyName(0x66), "KP6");
    EXPECT_EQ(keyName(0x41), nullptr);
    EXPECT_TRUE(parseScriptText("\xEF\xBB\xBForbita-script 1\r\n@1 click\r\n").header.present);  // editors' habits
}

TEST(InputScript, ErrorsNameFileAndLine) {
    EXPECT_EQ(errorOf("@1 hold Up\n\n@3 hold Foo\n"), "script.txt:3: unknown key Foo");
    EXPECT_EQ(errorOf("@-1 release\n"), "script.txt:1: bad tick @-1");
    EXPECT_EQ(errorOf("@99999999999 release\n"), "script.txt:1: bad tick @99999999999");
    EXPECT_EQ(errorOf("@4 jump\n"), "script.txt:1: unknown command jump");
    EXPECT_EQ(errorOf("@4 hold\n"), "script.txt:1: hold needs at least one key (release lets go of all)");
    EXPECT_EQ(errorOf("@4 release Up\n"), "script.txt:1: unexpected Up after release");
    EXPECT_EQ(errorOf("@4 move 3\n"), "script.txt:1: move needs 2 values");
    EXPECT_EQ(errorOf("@4 move 640 0\n"), "script.txt:1: x 640 is off the display (0..639)");
    EXPECT_EQ(errorOf("@4 move -1 0\n"), "script.txt:1: bad x -1");
    EXPECT_EQ(errorOf("@4 hash 11112222333344445\n"), "script.txt:1: bad hash 11112222333344445");
    EXPECT_EQ(errorOf("@5 release\n@4 release\n"), "script.txt:2: tick 4 comes after tick 5");
    EXPECT_EQ(errorOf("@1 release\norbita-script 1\n"), "script.txt:2: orbita-script must be the first line");
    EXPECT_EQ(errorOf("orbita-script 2\n"), "script.txt:1: unsupported script version 2");
    EXPECT_EQ(errorOf("orbita-script 1 warp=9\n"), "script.txt:1: bad warp 9 (levels are 1..8)");
    EXPECT_EQ(errorOf(std::string(5000, ' ') + "\n"), "script.txt:1: line too long (more than 4096 characters)");
}

TEST(InputScript, HostileBytesAreBoundedAndShownEscaped) {
    EXPECT_EQ(errorOf("orbita-script 1 wrap=3\n"), "script.txt:1: unknown header key wrap (the keys are seed, warp, god)");
    EXPECT_EQ(errorOf("@1 hold \x1b[2J\n"), "script.txt:1: unknown key \\x1b[2J");
    EXPECT_EQ(errorOf(std::string("@1 hold A\0B\n", 12)), "script.txt:1: unknown key A\\x00B");
    EXPECT_EQ(errorOf("@1 release\x7f\n"), "script.txt:1: unknown command release\\x7f");

    // An endless line is refused once it passes the limit, not after it has been read whole.
    struct Endless : std::streambuf {
        size_t given = 0;
        int_type underflow() override {
            static char zeros[4096] = {};
            given += sizeof zeros;
            setg(zeros, zeros, zeros + sizeof zeros);
            return 0;
        }
    } endless;
    std::istream in(&endless);
    try {
        parseScript(in, "/dev/zero");
        ADD_FAILURE() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_EQ(std::string(e.what()), "/dev/zero:1: line too long (more than 4096 characters)");
    }
    EXPECT_LE(endless.given, 3u * 4096u);
    // A line of exactly the limit is fine.
    EXPECT_EQ(parseScriptText("@1 release" + std::string(4086, ' ') + "\n").events.size(), 1u);
}

TEST(InputScript, WritesWhatItReadsAndFilesRoundTrip) {
    InputScript s = parseScriptText(kRecorded);
    s.header.hasGod = true;
    std::string text = scriptText(s);
    EXPECT_EQ(text,
              "orbita-script 1 seed=77 warp=2 god=1\n"
              "@1 move 320 240\n"
              "@1 click\n"
              "@5 hold Space Left\n"
              "@9 hold KP8\n"
              "@12 release\n"
              "@40 hash 123abcdef\n");
    std::string path = testing::TempDir() + "orbita_app_script.txt";
    ASSERT_EQ(saveScript(path, s), "");
    InputScript back = loadScript(path);
    EXPECT_EQ(scriptText(back), text);
    EXPECT_TRUE(back.header.hasWarp);
    std::remove(path.c_str());

    InputScript negativeSeed = parseScriptText("orbita-script 1 seed=-2\n");
    EXPECT_EQ(negativeSeed.header.seed, 4294967294u);
    EXPECT_EQ(scriptText(negativeSeed), "orbita-script 1 seed=4294967294\n");

    try {
        loadScript(testing::TempDir() + "orbita_no_such_script.txt");
        FAIL() << "no error";
    } catch (const ScriptError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot open script"), std::string::npos);
    }
}

// The player drives a headless back-end; events come out before the tick they name.
TEST(Player, KeysGoDownOnceAndPointerEventsKeepFileOrder) {
    auto p = platform::createHeadlessPlatform();
    ScriptPlayer player(parseScriptText("@2 hold Space\n@4 hold Space Left\n@6 move 100 200\n@6 click\n"
                                        "@6 hold Left\n@8 release\n@9 hash ff\n"),
                        *platform::headlessControl(*p));
    auto drain = [&] {
        std::vector<platform::Event> out;
        platform::Event e;
        while (p->pollEvent(e)) out.push_back(e);
        return out;
    };
    auto held = [&](int vk) {
        uint8_t keys[256];
        p->keyboardState(keys);
        return (keys[vk] & 0x80) != 0;
    };
    player.beforeTick(1);
    EXPECT_TRUE(drain().empty());
    player.beforeTick(2);
    player.beforeTick(2);  // asking again delivers nothing twice
    auto ev = drain();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].key, 0x20);
    EXPECT_TRUE(held(0x20));

    player.beforeTick(5);  // Space stays down: only Left is new
    ev = drain();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].key, 0x25);
    EXPECT_TRUE(held(0x20) && held(0x25));

    player.beforeTick(7);
    ev = drain();  // letting go of Space delivers nothing; the click lands at the pointer
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].type, platform::EventType::MouseMove);
    EXPECT_EQ(ev[1].type, platform::EventType::Click);
    EXPECT_EQ(ev[1].x, 100);
    EXPECT_EQ(ev[1].y, 200);
    EXPECT_FALSE(held(0x20));
    EXPECT_TRUE(held(0x25));
    EXPECT_FALSE(player.finished());

    player.beforeTick(9);
    EXPECT_FALSE(held(0x25));
    EXPECT_TRUE(player.finished());
    EXPECT_EQ(player.lastTick(), 9u);
    uint64_t h = 0;
    EXPECT_TRUE(player.expectedHash(9, h));
    EXPECT_EQ(h, 0xFFu);
    EXPECT_FALSE(player.expectedHash(8, h));
}

}  // namespace
