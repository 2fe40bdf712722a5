// The SDL back-end with a real window. Needs an X display (the xvfb test runs these
// under Xvfb); skipped otherwise.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Platform.h"

using namespace platform;

namespace {

class SdlWindow : public testing::Test {
protected:
    void SetUp() override {
        const char* d = std::getenv("DISPLAY");
        if (!d || !*d) GTEST_SKIP() << "no display";
        p = createSdlPlatform();
    }
    void open(int scale) {
        WindowOptions w;
        w.fullScreen = false;
        w.scale = scale;
        ASSERT_TRUE(p->openDisplay({640, 480, 16}, w));
        p->present(frame.data(), true);  // vsync must not hang
        drain();
    }
    std::vector<Event> drain() {
        std::vector<Event> out;
        Event e;
        while (p->pollEvent(e) && out.size() < 1000) out.push_back(e);
        return out;
    }
    void push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }
    std::unique_ptr<Platform> p;
    std::vector<uint16_t> frame = std::vector<uint16_t>(kFrameWidth * kFrameHeight, 0x07E0);
};

TEST_F(SdlWindow, FullScreenInAnOfferedModeToggledAndRefusedForOthers) {
    auto modes = p->displayModes();
    ASSERT_FALSE(modes.empty());
    for (const auto& m : modes) EXPECT_TRUE(m.width > 0 && m.height > 0 && m.bitCount >= 8);
    ASSERT_TRUE(p->openDisplay(modes.front(), WindowOptions{}));
    p->present(frame.data(), true);
    p->toggleFullScreen();
    p->present(frame.data(), true);
    p->toggleFullScreen();
    ASSERT_EQ(p->lastPresented().size(), frame.size());
    EXPECT_EQ(p->lastPresented()[1000], 0x07E0);
    // A mode the display does not offer is refused only for the exclusive full screen; the
    // desktop's own full screen takes any request, without a mode switch.
    WindowOptions exclusive;
    exclusive.exclusive = true;
    EXPECT_FALSE(p->openDisplay({123, 45, 16}, exclusive));
    ASSERT_TRUE(p->openDisplay({123, 45, 16}, WindowOptions{}));
    EXPECT_TRUE(p->isFullScreen());
    p->toggleFullScreen();
    EXPECT_FALSE(p->isFullScreen());
}

TEST_F(SdlWindow, WaitEventsLeavesTheEventQueued) {
    open(1);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    p->waitEvents(1000);
    auto ev = drain();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, EventType::Quit);
}

TEST_F(SdlWindow, PointerInPictureCoordinatesAndAltEnterIsNoKey) {
    open(2);
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.x = 201;
    m.motion.y = 101;
    push(m);
    SDL_Event b{};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.button = SDL_BUTTON_LEFT;
    b.button.x = 1000;
    b.button.y = 900;
    push(b);
    b.type = SDL_MOUSEBUTTONUP;
    push(b);  // a click is reported on release
    SDL_Event k{};
    k.type = SDL_KEYDOWN;
    k.key.keysym.scancode = SDL_SCANCODE_RETURN;
    k.key.keysym.mod = KMOD_LALT;
    push(k);
    k.key.keysym.mod = KMOD_NONE;
    push(k);
    auto ev = drain();
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0].type, EventType::MouseMove);
    EXPECT_EQ(ev[0].x, 100);
    EXPECT_EQ(ev[0].y, 50);
    EXPECT_EQ(ev[1].type, EventType::Click);
    EXPECT_EQ(ev[1].x, 500);
    EXPECT_EQ(ev[1].y, 450);
    EXPECT_EQ(ev[2].type, EventType::KeyDown);  // only the plain Enter
    EXPECT_EQ(ev[2].key, 0x0D);
}

}  // namespace
