// The frame timer on the virtual clock, and the edge-latched input states.
#include "MediaFixture.h"
#include "media/DXInput.h"
#include "media/DXTimer.h"

using namespace media;

class TimerTest : public HeadlessDisplay {
protected:
    // One pass of the message loop's idle processing at the current virtual time.
    uint32_t Idle(TDXTimer& t) {
        bool done = true;
        uint32_t wait = 0;
        t.AppIdle(done, wait);
        EXPECT_FALSE(done) << "the idle work is never reported finished";
        return wait;
    }
};

TEST_F(TimerTest, TicksAreSpacedByTheIntervalAndReportTheirLag) {
    TDXTimer timer;
    timer.SetInterval(25);
    std::vector<std::pair<uint32_t, int>> ticks;
    timer.OnTimer = [&](TObject*, int lag) { ticks.push_back({platform_->ticks(), lag}); };
    const uint32_t start = platform_->ticks();
    timer.Loaded();
    ASSERT_TRUE(timer.Running());
    EXPECT_TRUE(Application().HasOnIdle());
    // Polled every millisecond: exactly one tick every 25 ms, each with lag 1.
    for (int ms = 0; ms < 100; ++ms) {
        Idle(timer);
        control_->advanceClock(1);
    }
    ASSERT_EQ(ticks.size(), 3u);
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].first - start, 25u * (i + 1));
        EXPECT_EQ(ticks[i].second, 1);
    }
    // Between ticks the loop is told how long it may wait.
    EXPECT_EQ(Idle(timer), 25u);  // at 100 ms: the fourth tick
    EXPECT_EQ(ticks.size(), 4u);
    control_->advanceClock(10);
    EXPECT_EQ(Idle(timer), 15u);
    EXPECT_EQ(ticks.size(), 4u);
    // A tick that itself takes 10 ms leaves 15 ms to wait, not a whole interval.
    control_->advanceClock(15);
    timer.OnTimer = [&](TObject*, int lag) {
        ticks.push_back({platform_->ticks(), lag});
        control_->advanceClock(10);
    };
    EXPECT_EQ(Idle(timer), 15u);
    ASSERT_EQ(ticks.size(), 5u);
    control_->advanceClock(15);
    timer.OnTimer = [&](TObject*, int lag) {
        ticks.push_back({platform_->ticks(), lag});
        control_->advanceClock(40);
    };
    EXPECT_EQ(Idle(timer), 0u) << "an overlong tick: the next one is due at once";
    timer.OnTimer = [&](TObject*, int lag) { ticks.push_back({platform_->ticks(), lag}); };
    Idle(timer);
    ASSERT_EQ(ticks.size(), 7u);
    EXPECT_EQ(ticks.back().second, 1);
    // After a 100 ms stall the next tick reports 4 intervals.
    ticks.clear();
    control_->advanceClock(100);
    Idle(timer);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].second, 4);
}

TEST_F(TimerTest, IntervalZeroTicksOnEveryPassWithTheElapsedMilliseconds) {
    TDXTimer timer;
    timer.SetInterval(0);
    EXPECT_EQ(timer.Interval(), 0);
    std::vector<int> lags;
    timer.OnTimer = [&](TObject*, int lag) { lags.push_back(lag); };
    timer.Loaded();
    Idle(timer);
    control_->advanceClock(7);
    Idle(timer);
    EXPECT_EQ(lags, (std::vector<int>{1, 7}));
    timer.SetInterval(-5);
    EXPECT_EQ(timer.Interval(), 0);
}

TEST_F(TimerTest, FrameRateIsMeasuredAboutOnceASecond) {
    TDXTimer timer;
    timer.SetInterval(25);
    timer.OnTimer = [](TObject*, int) {};
    timer.Loaded();
    for (int i = 0; i < 45; ++i) {
        control_->advanceClock(25);
        Idle(timer);
    }
    EXPECT_EQ(timer.FrameRate(), 40);
}

TEST_F(TimerTest, EnabledAndActivation) {
    TDXTimer timer;
    timer.SetInterval(25);
    int count = 0;
    timer.OnTimer = [&](TObject*, int) { ++count; };
    timer.SetEnabled(false);
    timer.Loaded();
    EXPECT_FALSE(Application().HasOnIdle());
    timer.SetEnabled(true);
    EXPECT_TRUE(Application().HasOnIdle());
    // Losing activation removes the idle handler; regaining it measures from the switch.
    timer.AppDeactivate();
    EXPECT_FALSE(Application().HasOnIdle());
    control_->advanceClock(500);
    timer.AppActivate();
    EXPECT_TRUE(Application().HasOnIdle());
    std::vector<int> lags;
    timer.OnTimer = [&](TObject*, int lag) { lags.push_back(lag); };
    control_->advanceClock(30);
    Idle(timer);
    EXPECT_EQ(lags, (std::vector<int>{1}));
    timer.SetEnabled(false);
    EXPECT_FALSE(Application().HasOnIdle());
    EXPECT_FALSE(timer.Running());
    // A timer that is gone is no longer called on activation changes.
    {
        TDXTimer shortLived;
        shortLived.Loaded();
        EXPECT_TRUE(static_cast<bool>(Application().OnActivate));
    }
    EXPECT_FALSE(static_cast<bool>(Application().OnActivate));
    EXPECT_FALSE(static_cast<bool>(Application().OnDeactivate));
    control_->setActive(false);
    control_->setActive(true);
    Application().ProcessMessages();
}

TEST_F(TimerTest, TheMessageLoopRunsTicksBackToBackOnTheVirtualClock) {
    Open();
    TDXTimer timer;
    timer.SetInterval(25);
    std::vector<uint32_t> times;
    timer.OnTimer = [&](TObject*, int) {
        times.push_back(platform_->ticks());
        if (times.size() == 5) Application().Terminate();
    };
    timer.Loaded();
    Application().Run();
    ASSERT_EQ(times.size(), 5u);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 25u);
}

class InputTest : public HeadlessDisplay {};

TEST_F(InputTest, KeysSetTheirStatesWithEdgeLatching) {
    TDXInput input;
    control_->setForeground(true);
    control_->setKey(0x0D, true);  // Enter
    input.Update();
    EXPECT_TRUE(input.States.Has(isButton2));
    EXPECT_TRUE(input.States.Has(isButton6));
    control_->setKey(0x0D, false);
    control_->setKey(0x25, true);  // cursor left
    control_->setKey(0x4B, true);  // K
    input.Update();
    EXPECT_FALSE(input.States.Has(isButton2));
    EXPECT_TRUE(input.States.Has(isLeft));
    EXPECT_TRUE(input.States.Has(isUp));
    EXPECT_EQ(input.States.FirstByte(), 0x05);
    control_->releaseAllKeys();
    // Space held: Button4 frame after frame; removed by a caller, it comes back only after
    // a release and a new press.
    control_->setKey(0x20, true);
    input.Update();
    input.Update();
    EXPECT_TRUE(input.States.Has(isButton4));
    input.States.Remove(isButton4);
    input.Update();
    EXPECT_FALSE(input.States.Has(isButton4));
    control_->setKey(0x20, false);
    input.Update();
    control_->setKey(0x20, true);
    input.Update();
    EXPECT_TRUE(input.States.Has(isButton4));
    // A state a caller adds stays until one of its keys goes from down to up.
    input.States.Add(isButton9);
    input.Update();
    EXPECT_TRUE(input.States.Has(isButton9));
    control_->setKey(0x71, true);
    input.Update();
    control_->setKey(0x71, false);
    input.Update();
    EXPECT_FALSE(input.States.Has(isButton9));
}

TEST_F(InputTest, AnInputReaderBelongsToAForm) {
    TDXInput owned(form_.get());
    EXPECT_TRUE(owned.States.Bits() == 0);
    TPanel panel;
    try {
        TDXInput stray(&panel);
        FAIL() << "only a form can own the input reader";
    } catch (const EDXInputError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
    }
    EXPECT_THROW(TDXInput{nullptr}, EDXInputError);
}

TEST_F(InputTest, NothingIsReadWhileTheWindowIsNotInFront) {
    TDXInput input;
    control_->setForeground(true);
    control_->setKey(0x26, true);
    input.Update();
    EXPECT_TRUE(input.States.Has(isUp));
    control_->setForeground(false);
    input.Update();
    EXPECT_FALSE(input.States.Has(isUp));
    input.ActiveOnly = false;
    input.Update();
    EXPECT_TRUE(input.States.Has(isUp));
}

TEST_F(InputTest, JoystickAxesNeedMoreThanHalfTheTravel) {
    // Readings 0..65535 with the dead zone of half the travel.
    EXPECT_EQ(TJoystick::ConvertAxis(32767, 0, 65535, 50, 1000), 0);
    EXPECT_EQ(TJoystick::ConvertAxis(49151, 0, 65535, 50, 1000), 0);
    EXPECT_GT(TJoystick::ConvertAxis(49200, 0, 65535, 50, 1000), 0);
    EXPECT_EQ(TJoystick::ConvertAxis(65535, 0, 65535, 50, 1000), 1000);
    EXPECT_EQ(TJoystick::ConvertAxis(0, 0, 65535, 50, 1000), -1000);
    EXPECT_EQ(TJoystick::ConvertAxis(0, -32768, 32767, 50, 1000), 0);
    EXPECT_EQ(TJoystick::ConvertAxis(5, 0, 10, 100, 1000), 0) << "a full dead zone never divides by zero";
    TDXInput input;
    control_->setForeground(true);
    platform::JoystickState js;
    js.present = true;
    js.x = 0;
    js.y = 65535;
    js.xMin = js.yMin = 0;
    js.xMax = js.yMax = 65535;
    js.z = 32767;
    js.buttons = 0x5;
    control_->setJoystick(0, js);
    input.Update();
    EXPECT_TRUE(input.States.Has(isLeft));
    EXPECT_TRUE(input.States.Has(isDown));
    EXPECT_FALSE(input.States.Has(isUp));
    EXPECT_TRUE(input.States.Has(isButton1));
    EXPECT_FALSE(input.States.Has(isButton2));
    EXPECT_TRUE(input.States.Has(isButton3));
}
