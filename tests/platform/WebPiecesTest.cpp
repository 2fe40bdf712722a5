// Pieces of the browser back-end that need no browser: the frame clock under animation
// frames of every common rate, key codes, gamepads and the pointer on a scaled canvas.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/web/FrameClock.h"
#include "platform/web/WebInput.h"

using namespace platform;

namespace {

// Runs the frame timer's rule (a tick when its clock is at least 25 ms past the last
// tick) once per animation frame and returns the ticks of each frame.
struct TimerRun {
    std::vector<int> ticksPerFrame;
    std::vector<uint32_t> tickClocks;  // the timer's clock at every tick
    int total = 0;
};

TimerRun RunTimer(const std::vector<double>& frameTimes) {
    FrameClock clock;
    TimerRun r;
    uint32_t last = 0;
    bool first = true;
    for (double t : frameTimes) {
        clock.frame(t);
        if (first) {
            last = clock.now();
            first = false;
        }
        int ticks = 0;
        // The program's loop may pass several times within one frame (events): the
        // timer is asked every time.
        for (int pass = 0; pass < 3; ++pass) {
            if (clock.now() - last >= 25) {
                last = clock.now();
                ++ticks;
                r.tickClocks.push_back(last);
            }
        }
        r.ticksPerFrame.push_back(ticks);
        r.total += ticks;
    }
    return r;
}

std::vector<double> Frames(double hz, double seconds, double start = 1000.0) {
    std::vector<double> t;
    for (int i = 0; i <= static_cast<int>(hz * seconds); ++i) t.push_back(start + i * 1000.0 / hz);
    return t;
}

}  // namespace

TEST(FrameClock, FortyTicksASecondAtEveryScreenRateNeverTwoInOneFrame) {
    for (double hz : {30.0, 50.0, 60.0, 75.0, 120.0, 144.0, 165.0, 240.0}) {
        TimerRun r = RunTimer(Frames(hz, 10.0));
        const int expected = hz >= 40.0 ? 400 : static_cast<int>(hz * 10);  // at most one a frame
        EXPECT_NEAR(r.total, expected, 1) << hz << " Hz";
        for (size_t i = 0; i < r.ticksPerFrame.size(); ++i) ASSERT_LE(r.ticksPerFrame[i], 1) << hz << " Hz";
        for (size_t i = 1; i < r.tickClocks.size(); ++i) ASSERT_GE(r.tickClocks[i] - r.tickClocks[i - 1], 25u);
    }
}

TEST(FrameClock, AStallGivesOneLateTickAndNoBurstAfterIt) {
    std::vector<double> t = Frames(60.0, 1.0);
    const double resume = t.back() + 700.0;  // the tab was hidden for 0.7 s
    for (double s : Frames(60.0, 1.0, resume)) t.push_back(s);
    TimerRun r = RunTimer(t);
    const size_t at = Frames(60.0, 1.0).size();  // the first frame after the stall
    EXPECT_EQ(r.ticksPerFrame[at], 1);
    // The timer sees the missed intervals as one long gap (its lag count), then the
    // usual rhythm: two ticks in three frames, no catching up.
    int after = 0;
    for (size_t i = at + 1; i < at + 31; ++i) after += r.ticksPerFrame[i];
    EXPECT_EQ(after, 20);
    for (int n : r.ticksPerFrame) ASSERT_LE(n, 1);
}

TEST(FrameClock, JitterAndTimeStampsThatGoBackDoNotBunchTicks) {
    std::vector<double> t;
    double now = 500.0;
    for (int i = 0; i < 600; ++i) {
        now += 1000.0 / 60.0 + ((i * 7919) % 11 - 5) * 0.8;  // +-4 ms of jitter
        t.push_back(now);
        if (i % 97 == 0) t.push_back(now - 3.0);  // a stamp from the past
    }
    TimerRun r = RunTimer(t);
    EXPECT_NEAR(r.total, (now - 500.0) / 25.0, 2.0);
    for (int n : r.ticksPerFrame) ASSERT_LE(n, 1);

    FrameClock fast;
    fast.step();
    fast.step();
    EXPECT_EQ(fast.now(), 50u);
}

TEST(WebInput, KeyCodesMatchTheNativeKeyTable) {
    int side = -1;
    EXPECT_EQ(vkFromDomCode("KeyA"), 0x41);
    EXPECT_EQ(vkFromDomCode("KeyZ"), 0x5A);
    EXPECT_EQ(vkFromDomCode("KeyK"), 0x4B);
    EXPECT_EQ(vkFromDomCode("Digit0"), 0x30);
    EXPECT_EQ(vkFromDomCode("Numpad8"), 0x68);
    EXPECT_EQ(vkFromDomCode("Numpad2"), 0x62);
    EXPECT_EQ(vkFromDomCode("ArrowLeft"), 0x25);
    EXPECT_EQ(vkFromDomCode("Space"), 0x20);
    EXPECT_EQ(vkFromDomCode("Tab"), 0x09);
    EXPECT_EQ(vkFromDomCode("NumpadEnter"), 0x0D);
    EXPECT_EQ(vkFromDomCode("Escape"), 0x1B);
    EXPECT_EQ(vkFromDomCode("F1"), 0x70);
    EXPECT_EQ(vkFromDomCode("F12"), 0x7B);
    EXPECT_EQ(vkFromDomCode("ShiftRight", &side), 0x10);
    EXPECT_EQ(side, 0xA1);
    EXPECT_EQ(vkFromDomCode("KeyA", &side), 0x41);
    EXPECT_EQ(side, 0);
    // Nothing half-matching a pattern gets a code.
    for (const char* bad : {"", "Key", "KeyAA", "Keya", "Digit", "Numpad", "F", "F0", "F99", "Fx", "Unidentified"})
        EXPECT_EQ(vkFromDomCode(bad), 0) << bad;
}

TEST(WebInput, StandardGamepadGivesTheNativeControllerState) {
    GamepadReading pad;
    EXPECT_FALSE(joystickFromGamepad(pad).present);  // unplugged
    pad.connected = true;
    pad.standard = true;
    pad.axisCount = 4;
    pad.axes[0] = -1.0;
    pad.axes[1] = 0.5;
    pad.axes[2] = 2.0;  // out of range: clamped
    pad.buttonCount = 17;
    pad.buttons[0] = true;   // A
    pad.buttons[3] = true;   // Y
    pad.buttons[9] = true;   // Start
    pad.buttons[7] = true;   // right trigger: an axis natively, no button
    pad.buttons[15] = true;  // pad right wins over the stick
    JoystickState s = joystickFromGamepad(pad);
    EXPECT_TRUE(s.present);
    EXPECT_EQ(s.xMin, -32768);
    EXPECT_EQ(s.xMax, 32767);
    EXPECT_EQ(s.x, 32767);
    EXPECT_EQ(s.y, 16384);
    EXPECT_EQ(s.z, 32767);
    EXPECT_EQ(s.buttons, (1u << 0) | (1u << 3) | (1u << 6) | (1u << 14));

    // Any other pad: its own buttons, its own axes, no direction pad.
    pad.standard = false;
    pad.axisCount = 1;
    pad.axes[0] = std::nan("");
    s = joystickFromGamepad(pad);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.y, 0);
    EXPECT_EQ(s.buttons, (1u << 0) | (1u << 3) | (1u << 7) | (1u << 9) | (1u << 15));
    pad.buttonCount = 1000;  // a count beyond the table is cut, not read past it
    EXPECT_TRUE(joystickFromGamepad(pad).present);
}

TEST(WebInput, GamepadMenuChoiceIsStartOrAOnTheStartBox) {
    GamepadReading pad;
    pad.buttonCount = 17;
    pad.buttons[0] = true;
    EXPECT_FALSE(menuChoicePressed(pad));  // unplugged
    pad.connected = true;
    pad.standard = true;
    EXPECT_TRUE(menuChoicePressed(pad));  // A
    pad.buttons[0] = false;
    pad.buttons[3] = true;  // Y, the fire of play: no choice
    EXPECT_FALSE(menuChoicePressed(pad));
    pad.buttons[9] = true;  // Start
    EXPECT_TRUE(menuChoicePressed(pad));
    pad.buttonCount = 9;  // a pad reporting fewer buttons: Start is not read
    EXPECT_FALSE(menuChoicePressed(pad));
    pad.standard = false;  // any other pad: its first button
    pad.buttons[0] = true;
    EXPECT_TRUE(menuChoicePressed(pad));
    pad.buttonCount = -3;
    EXPECT_FALSE(menuChoicePressed(pad));
    // The click lands inside the start box (exclusive bounds 450..600, 370..460).
    EXPECT_TRUE(kStartBoxX > 450 && kStartBoxX < 600 && kStartBoxY > 370 && kStartBoxY < 460);
}

TEST(WebInput, PointerOnAScaledCanvas) {
    int x = -1, y = -1;
    ASSERT_TRUE(pictureFromCanvas(0, 0, 1280, 960, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(pictureFromCanvas(1279.5, 959.9, 1280, 960, x, y));
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    ASSERT_TRUE(pictureFromCanvas(501, 301, 1920, 1440, x, y));  // scale 3
    EXPECT_EQ(x, 167);
    EXPECT_EQ(y, 100);
    EXPECT_FALSE(pictureFromCanvas(-1, 5, 640, 480, x, y));
    EXPECT_FALSE(pictureFromCanvas(640, 5, 640, 480, x, y));
    EXPECT_FALSE(pictureFromCanvas(5, 5, 0, 480, x, y));
}
