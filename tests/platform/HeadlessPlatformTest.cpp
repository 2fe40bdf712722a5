// The headless back-end: virtual clock, event queue, key table, window focus and the
// display hooks, all without a display.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Platform.h"

using namespace platform;

namespace {

Event key(int vk) {
    Event e;
    e.type = EventType::KeyDown;
    e.key = vk;
    return e;
}

TEST(HeadlessPlatform, ClockMovesOnlyWhenWaitingWithNothingPending) {
    auto p = createHeadlessPlatform(25);
    HeadlessControl* c = headlessControl(*p);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(p->isHeadless());
    uint32_t t0 = p->ticks();
    EXPECT_EQ(p->ticks(), t0);  // reading the clock does not move it
    p->waitEvents(25);
    EXPECT_EQ(p->ticks(), t0 + 25);
    c->advanceClock(100);
    EXPECT_EQ(p->ticks(), t0 + 125);
    // A pending event ends the wait at once.
    c->pushEvent(key(0x20));
    p->waitEvents(25);
    EXPECT_EQ(p->ticks(), t0 + 125);
    Event e;
    ASSERT_TRUE(p->pollEvent(e));
    // Waiting for ever (no timer running) costs one timer interval, not weeks.
    p->waitEvents(0xFFFFFFFFu);
    EXPECT_EQ(p->ticks(), t0 + 150);
}

TEST(HeadlessPlatform, ClockWrapsLikeA32BitCounter) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    c->advanceClock(0xFFFFFFF0u - p->ticks());
    p->waitEvents(0x20);
    EXPECT_EQ(p->ticks(), 0x10u);
}

TEST(HeadlessPlatform, EventsComeOutInOrderAndActivationIsQueuedOnChange) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    Event e;
    EXPECT_FALSE(p->pollEvent(e));
    Event click;
    click.type = EventType::Click;
    click.x = 12;
    click.y = 34;
    c->pushEvent(key(0x0D));
    c->pushEvent(click);
    EXPECT_TRUE(p->isActive());
    c->setActive(true);  // no change, nothing queued
    c->setActive(false);
    c->setActive(true);

    ASSERT_TRUE(p->pollEvent(e));
    EXPECT_EQ(e.type, EventType::KeyDown);
    EXPECT_EQ(e.key, 0x0D);
    ASSERT_TRUE(p->pollEvent(e));
    EXPECT_EQ(e.type, EventType::Click);
    EXPECT_EQ(e.x, 12);
    EXPECT_EQ(e.y, 34);
    ASSERT_TRUE(p->pollEvent(e));
    EXPECT_EQ(e.type, EventType::Deactivate);
    ASSERT_TRUE(p->pollEvent(e));
    EXPECT_EQ(e.type, EventType::Activate);
    EXPECT_FALSE(p->pollEvent(e));
    EXPECT_TRUE(p->isActive());

    EXPECT_TRUE(p->isForeground());
    c->setForeground(false);
    EXPECT_FALSE(p->isForeground());
    EXPECT_TRUE(p->isActive());  // separate from the focus of the application
}

TEST(HeadlessPlatform, KeyTableHasHighBitForHeldKeys) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    uint8_t keys[256];
    std::fill(keys, keys + 256, 0xFF);
    p->keyboardState(keys);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(keys[i], 0) << i;

    c->setKey(0x25, true);
    c->setKey(0x20, true);
    c->setKey(-1, true);   // ignored, not written outside the table
    c->setKey(256, true);  // likewise
    p->keyboardState(keys);
    EXPECT_TRUE(keys[0x25] & 0x80);
    EXPECT_TRUE(keys[0x20] & 0x80);
    EXPECT_EQ(keys[0x26], 0);

    c->setKey(0x25, false);
    p->keyboardState(keys);
    EXPECT_EQ(keys[0x25], 0);
    EXPECT_TRUE(keys[0x20] & 0x80);
    c->releaseAllKeys();
    p->keyboardState(keys);
    EXPECT_EQ(keys[0x20], 0);
}

TEST(HeadlessPlatform, DisplayModesOpeningAndLostDisplay) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    auto modes = p->displayModes();
    auto offered = [&](int w, int h, int b) {
        for (const auto& m : p->displayModes())
            if (m.width == w && m.height == h && m.bitCount == b) return true;
        return false;
    };
    EXPECT_TRUE(offered(640, 480, 16));
    EXPECT_TRUE(offered(640, 480, 32));

    WindowOptions full;
    EXPECT_TRUE(p->openDisplay({640, 480, 16}, full));
    EXPECT_FALSE(p->openDisplay({641, 480, 16}, full));
    c->setDisplayModes({{640, 480, 32}});
    EXPECT_FALSE(p->openDisplay({640, 480, 16}, full));
    EXPECT_TRUE(p->openDisplay({640, 480, 32}, full));
    WindowOptions window;
    window.fullScreen = false;
    window.scale = 2;
    EXPECT_TRUE(p->openDisplay({640, 480, 16}, window));  // a window takes any mode

    EXPECT_FALSE(p->displayLost());
    c->setDisplayLost(true);
    c->setRestoreFails(true);
    EXPECT_TRUE(p->displayLost());
    EXPECT_FALSE(p->restoreDisplay());
    EXPECT_TRUE(p->displayLost());
    c->setRestoreFails(false);
    EXPECT_TRUE(p->restoreDisplay());
    EXPECT_FALSE(p->displayLost());
}

TEST(HeadlessPlatform, PresentKeepsACopyOfTheFrame) {
    auto p = createHeadlessPlatform();
    EXPECT_TRUE(p->lastPresented().empty());
    std::vector<uint16_t> frame(kFrameWidth * kFrameHeight, 0x07E0);
    frame[0] = 0xF800;
    frame.back() = 0x001F;
    p->present(frame.data(), true);
    frame[0] = 0;  // the back-end holds its own copy
    ASSERT_EQ(p->lastPresented().size(), frame.size());
    EXPECT_EQ(p->lastPresented()[0], 0xF800);
    EXPECT_EQ(p->lastPresented()[1], 0x07E0);
    EXPECT_EQ(p->lastPresented().back(), 0x001F);
    p->present(nullptr, false);  // nothing to show: the last picture stays
    EXPECT_EQ(p->lastPresented()[0], 0xF800);
}

TEST(HeadlessPlatform, JoystickIsAbsentUntilSet) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    EXPECT_FALSE(p->joystick(0).present);
    JoystickState s;
    s.present = true;
    s.x = 100;
    s.buttons = 0x9;
    c->setJoystick(0, s);
    EXPECT_TRUE(p->joystick(0).present);
    EXPECT_EQ(p->joystick(0).x, 100);
    EXPECT_EQ(p->joystick(0).buttons, 0x9u);
    EXPECT_FALSE(p->joystick(1).present);
    c->setJoystick(0, JoystickState{});
    EXPECT_FALSE(p->joystick(0).present);
}

TEST(HeadlessPlatform, MessageBoxWritesOneLineToStandardError) {
    auto p = createHeadlessPlatform();
    testing::internal::CaptureStderr();
    p->messageBox("Cannot open file pozadi\\po3.dxg");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "orbita: Cannot open file pozadi\\po3.dxg\n");
}

TEST(HeadlessPlatform, NeverStartsVideoAndOnlySdlBackEndIsNotControllable) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) GTEST_SKIP() << "video already started by another test in this process";
    auto h = createHeadlessPlatform();
    Event e;
    uint8_t keys[256];
    TextMask m;
    h->displayModes();
    h->openDisplay({640, 480, 16}, WindowOptions{});
    h->pollEvent(e);
    h->keyboardState(keys);
    h->renderText("abc", 15, m);
    h->setCursor(CursorShape::Hand);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);

    // Creating the SDL back-end is lazy too.
    auto s = createSdlPlatform();
    s->ticks();
    EXPECT_FALSE(s->isHeadless());
    EXPECT_EQ(headlessControl(*s), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(HeadlessPlatform, CurrentBackEnd) {
    auto p = createHeadlessPlatform();
    Platform* before = hasCurrent() ? &current() : nullptr;
    setCurrent(p.get());
    EXPECT_TRUE(hasCurrent());
    EXPECT_EQ(&current(), p.get());
    setCurrent(nullptr);
    EXPECT_FALSE(hasCurrent());
    EXPECT_THROW(current(), std::logic_error);
    setCurrent(before);
}

}  // namespace
