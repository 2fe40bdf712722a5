// The message loop taken one pass at a time, as a back-end that is called by its system
// (the browser's animation frames) runs it, against the loop that runs itself.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "media/DXInput.h"
#include "media/DXTimer.h"
#include "media/Forms.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

using namespace media;

namespace {

// The headless back-end, except that it takes the loop over: passes run only when the test
// says so, one per "frame", as a browser would call them.
class DrivingPlatform final : public platform::Platform {
public:
    DrivingPlatform() : inner_(platform::createHeadlessPlatform(25)) {}
    bool isHeadless() const override { return true; }
    uint32_t ticks() override { return inner_->ticks(); }
    std::vector<platform::DisplayMode> displayModes() override { return inner_->displayModes(); }
    bool openDisplay(const platform::DisplayMode& m, const platform::WindowOptions& o) override {
        return inner_->openDisplay(m, o);
    }
    void closeDisplay() override {}
    void present(const uint16_t* p, bool w) override { inner_->present(p, w); }
    const std::vector<uint16_t>& lastPresented() const override { return inner_->lastPresented(); }
    bool displayLost() override { return false; }
    bool restoreDisplay() override { return true; }
    void waitVBlank() override {}
    void setCursor(platform::CursorShape) override {}
    void toggleFullScreen() override {}
    bool pollEvent(platform::Event& e) override { return inner_->pollEvent(e); }
    void waitEvents(uint32_t ms) override { waited_.push_back(ms); }
    void keyboardState(uint8_t keys[256]) override { inner_->keyboardState(keys); }
    bool isForeground() override { return true; }
    bool isActive() override { return true; }
    platform::JoystickState joystick(int) override { return {}; }
    void messageBox(const std::string&) override {}
    bool renderText(const std::string&, int, platform::TextMask&) override { return false; }
    bool driveLoop(const std::function<bool(uint32_t&)>& pass, const std::function<void()>& done) override {
        pass_ = pass;
        done_ = done;
        return true;
    }

    // One animation frame: the clock moves on by `ms`, then one pass. False once over.
    bool frame(uint32_t ms) {
        platform::headlessControl(*inner_)->advanceClock(ms);
        uint32_t waitMs = 0;
        if (pass_(waitMs)) return true;
        done_();
        return false;
    }
    bool driving() const { return static_cast<bool>(pass_); }
    std::vector<uint32_t> waited_;

private:
    std::unique_ptr<platform::Platform> inner_;
    std::function<bool(uint32_t&)> pass_;
    std::function<void()> done_;
};

class LoopPass : public ::testing::Test {
protected:
    void SetUp() override {
        Application().ResetForTests();
        platform::setCurrent(&platform_);
    }
    void TearDown() override {
        Application().ResetForTests();
        platform::setCurrent(nullptr);
    }
    DrivingPlatform platform_;
};

}  // namespace

TEST_F(LoopPass, ABackEndThatDrivesTheLoopGetsEveryPassAndTheEnd) {
    TDXTimer timer;
    timer.SetInterval(25);
    std::vector<uint32_t> ticks;
    timer.OnTimer = [&](TObject*, int lag) {
        ticks.push_back(platform_.ticks());
        EXPECT_EQ(lag, ticks.size() == 3 ? 4 : 1);  // the third frame comes after a 100 ms stall
        if (ticks.size() == 4) Application().Terminate();
    };
    timer.Loaded();
    bool ended = false;
    Application().Run([&] { ended = true; });
    // Run handed the loop over and came back at once; nothing has ticked yet.
    ASSERT_TRUE(platform_.driving());
    EXPECT_FALSE(ended);
    EXPECT_TRUE(ticks.empty());

    EXPECT_TRUE(platform_.frame(10));   // not due yet: no tick
    EXPECT_TRUE(platform_.frame(15));   // 25 ms: one tick
    EXPECT_TRUE(platform_.frame(25));   // one tick
    EXPECT_TRUE(platform_.frame(100));  // late: still one tick, reporting the lag
    EXPECT_FALSE(platform_.frame(25));  // the fourth tick ends the run
    EXPECT_TRUE(ended);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{25, 50, 150, 175}));
    // The back-end never blocks: the loop does not wait between the passes it is given.
    EXPECT_TRUE(platform_.waited_.empty());
}

TEST_F(LoopPass, TheOrdinaryLoopRunsItselfAndThenTheEnd) {
    auto headless = platform::createHeadlessPlatform(25);
    platform::setCurrent(headless.get());
    int passes = 0;
    Application().OnLoopPass = [&] {
        if (++passes == 3) Application().Terminate();
    };
    bool ended = false;
    Application().Run([&] { ended = true; });
    EXPECT_TRUE(ended);
    EXPECT_EQ(passes, 3);
    // A pass after the end reports that the loop is over and runs nothing.
    uint32_t waitMs = 99;
    EXPECT_FALSE(Application().Pass(waitMs));
    EXPECT_EQ(passes, 3);
    platform::setCurrent(nullptr);
}
