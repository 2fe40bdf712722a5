// The recorder writes what a real keyboard did so that a replay delivers the same key
// events and holds the same keys at every tick.
#include <gtest/gtest.h>

#include "app/Recorder.h"

namespace {

constexpr int kEscape = 0x1B, kSpace = 0x20, kUp = 0x26;

std::string body(const app::Recorder& r) {
    std::string text = app::scriptText(r.script());
    return text.substr(text.find('\n') + 1);  // without the header line
}

struct Keys {
    uint8_t k[256] = {};
    Keys& down(int vk) {
        k[vk] = 0x80;
        return *this;
    }
};

}  // namespace

TEST(Recorder, KeyEventsAndHeldKeysReplayAsTheyHappened) {
    app::ScriptHeader h;
    h.hasSeed = true;
    h.seed = 7;
    app::Recorder r(h);
    // Escape pressed and held over ticks 3 and 4; an auto-repeat of it before tick 5.
    r.keyDown(3, kEscape);
    r.tickStarting(3, Keys().down(kEscape).k);
    r.tickStarting(4, Keys().down(kEscape).k);
    r.keyDown(5, kEscape);
    r.tickStarting(5, Keys().down(kEscape).k);
    // Escape let go and Space tapped between ticks 5 and 6: the Space event happens, both
    // keys are up at tick 6.
    r.keyDown(6, kSpace);
    r.tickStarting(6, Keys().k);
    // Up held without a key event of its own (a stick pushed up), then let go; its
    // repeats need no lines, since the game acts on no key event but Escape's.
    r.tickStarting(7, Keys().down(kUp).k);
    r.keyDown(8, kUp);
    r.tickStarting(8, Keys().k);
    // Keys outside the script's table are not recorded.
    r.keyDown(9, 0x41);
    r.tickStarting(9, Keys().down(0x41).k);
    r.tickDone(39, 1);
    r.tickDone(40, 0xabc);
    r.tickStarting(41, Keys().down(kUp).k);
    r.tickStarting(42, Keys().down(kUp).k);
    r.finish(45);  // the script reaches the last recorded tick, changing nothing
    r.finish(45);
    EXPECT_EQ(body(r),
              "@3 hold Escape\n"
              "@5 release\n"
              "@5 hold Escape\n"
              "@6 hold Escape Space\n"
              "@6 release\n"
              "@7 hold Up\n"
              "@8 release\n"
              "@40 hash abc\n"
              "@41 hold Up\n"
              "@45 hold Up\n");
}

TEST(Recorder, APointerMoveIsWrittenBeforeTheClickOrTickItPrecedes) {
    app::Recorder r(app::ScriptHeader{});
    r.pointerMove(4, 10, 20);
    r.pointerMove(4, 500, 400);  // only the last place before the tick matters
    r.click(4);
    r.pointerMove(5, 30, 40);
    r.tickStarting(5, Keys().k);
    EXPECT_EQ(body(r), "@4 move 500 400\n@4 click\n@5 move 30 40\n");
}
