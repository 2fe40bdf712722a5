// The headless back-end: virtual clock, event queue, key table, focus and the display
// hooks, all without a display.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

using namespace platform;

namespace {

Event keyDown(int vk) {
    Event e;
    e.type = EventType::KeyDown;
    e.key = vk;
    return e;
}

TEST(HeadlessPlatform, ClockMovesOnlyWhenWaitingWithNothingPending) {
    auto p = createHeadlessPlatform(25);
    HeadlessControl* c = headlessControl(*p);
    ASSERT_NE(c, nullptr);
    uint32_t t0 = p->ticks();
    EXPECT_EQ(p->ticks(), t0);  // reading the clock does not move it
    p->waitEvents(25);
    c->advanceClock(100);
    EXPECT_EQ(p->ticks(), t0 + 125);
    c->pushEvent(keyDown(0x20));
    p->waitEvents(25);  // a pending event ends the wait at once
    EXPECT_EQ(p->ticks(), t0 + 125);
    Event e;
    ASSERT_TRUE(p->pollEvent(e));
    p->waitEvents(0xFFFFFFFFu);  // waiting for ever costs one timer interval, not weeks
    EXPECT_EQ(p->ticks(), t0 + 150);
    c->advanceClock(0xFFFFFFF0u - p->ticks());
    p->waitEvents(0x20);  // wraps like a 32-bit system clock
    EXPECT_EQ(p->ticks(), 0x10u);
}

TEST(HeadlessPlatform, EventsInOrderAndActivationQueuedOnlyOnChange) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    Event click;
    click.type = EventType::Click;
    click.x = 12;
    click.y = 34;
    c->pushEvent(keyDown(0x0D));
    c->pushEvent(click);
    c->setActive(true);  // already active: nothing queued
    c->setActive(false);
    c->setActive(true);
    std::vector<Event> got;
    Event e;
    while (p->pollEvent(e)) got.push_back(e);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].key, 0x0D);
    EXPECT_EQ(got[1].type, EventType::Click);
    EXPECT_EQ(got[1].y, 34);
    EXPECT_EQ(got[2].type, EventType::Deactivate);
    EXPECT_EQ(got[3].type, EventType::Activate);
    c->setForeground(false);
    EXPECT_FALSE(p->isForeground());
    EXPECT_TRUE(p->isActive());  // separate from the focus of the application
}

TEST(HeadlessPlatform, KeyTableHasHighBitForHeldKeys) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    uint8_t keys[256];
    c->setKey(0x25, true);
    c->setKey(0x20, true);
    c->setKey(-1, true);   // ignored, never written outside the table
    c->setKey(256, true);
    c->setKey(0x25, false);
    p->keyboardState(keys);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(keys[i], i == 0x20 ? 0x80 : 0) << i;
    c->releaseAllKeys();
    p->keyboardState(keys);
    EXPECT_EQ(keys[0x20], 0);
}

TEST(HeadlessPlatform, DisplayModesPresentAndLostDisplay) {
    auto p = createHeadlessPlatform();
    HeadlessControl* c = headlessControl(*p);
    WindowOptions full, window;
    window.fullScreen = false;
    EXPECT_TRUE(p->openDisplay({640, 480, 16}, full));  // the default list has 16 and 32 bits
    EXPECT_TRUE(p->openDisplay({640, 480, 32}, full));
    EXPECT_FALSE(p->openDisplay({641, 480, 16}, full));
    c->setDisplayModes({{640, 480, 32}});
    EXPECT_FALSE(p->openDisplay({640, 480, 16}, full));
    EXPECT_TRUE(p->openDisplay({640, 480, 16}, window));  // a window takes any mode

    EXPECT_TRUE(p->lastPresented().empty());
    std::vector<uint16_t> frame(kFrameWidth * kFrameHeight, 0x07E0);
    frame[0] = 0xF800;
    p->present(frame.data(), true);
    frame[0] = 0;  // the back-end keeps its own copy
    p->present(nullptr, false);
    ASSERT_EQ(p->lastPresented().size(), frame.size());
    EXPECT_EQ(p->lastPresented()[0], 0xF800);

    c->setDisplayLost(true);
    c->setRestoreFails(true);
    EXPECT_FALSE(p->restoreDisplay());
    EXPECT_TRUE(p->displayLost());
    c->setRestoreFails(false);
    EXPECT_TRUE(p->restoreDisplay());
    EXPECT_FALSE(p->displayLost());
}

TEST(HeadlessPlatform, MessageBoxWritesOneLineToStandardError) {
    auto p = createHeadlessPlatform();
    testing::internal::CaptureStderr();
    p->messageBox("Cannot open file pozadi\\po3.dxg");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "orbita: Cannot open file pozadi\\po3.dxg\n");
}

TEST(HeadlessPlatform, NeitherBackEndStartsVideoBeforeItIsNeeded) {
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
    auto s = createSdlPlatform();
    s->ticks();
    EXPECT_EQ(headlessControl(*s), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

}  // namespace
