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
    void TearDown() override {
        if (p) p->closeDisplay();
    }
    std::unique_ptr<Platform> p;
};

TEST_F(SdlWindow, ListsModesOpensAWindowAndPresents) {
    auto modes = p->displayModes();
    ASSERT_FALSE(modes.empty());
    for (const auto& m : modes) {
        EXPECT_GT(m.width, 0);
        EXPECT_GT(m.height, 0);
        EXPECT_GE(m.bitCount, 8);
    }
    WindowOptions w;
    w.fullScreen = false;
    ASSERT_TRUE(p->openDisplay({640, 480, 16}, w));
    EXPECT_TRUE(p->lastPresented().empty());
    std::vector<uint16_t> frame(kFrameWidth * kFrameHeight, 0x07E0);
    for (int i = 0; i < 3; ++i) p->present(frame.data(), true);  // vsync must not hang
    ASSERT_EQ(p->lastPresented().size(), frame.size());
    EXPECT_EQ(p->lastPresented()[1000], 0x07E0);
    p->setCursor(CursorShape::Hand);
    p->setCursor(CursorShape::None);

    // Draining the queue ends; no key is held.
    Event e;
    int n = 0;
    while (p->pollEvent(e) && n < 1000) ++n;
    EXPECT_LT(n, 1000);
    uint8_t keys[256];
    p->keyboardState(keys);
    EXPECT_EQ(keys[0x20], 0);
    EXPECT_FALSE(p->displayLost());
    EXPECT_TRUE(p->restoreDisplay());
}

TEST_F(SdlWindow, WaitEventsLeavesTheEventQueued) {
    WindowOptions w;
    w.fullScreen = false;
    ASSERT_TRUE(p->openDisplay({640, 480, 16}, w));
    Event e;
    while (p->pollEvent(e)) {
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    p->waitEvents(1000);
    ASSERT_TRUE(p->pollEvent(e));
    EXPECT_EQ(e.type, EventType::Quit);
}

TEST_F(SdlWindow, PointerPositionsArePictureCoordinatesInAScaledWindow) {
    WindowOptions w;
    w.fullScreen = false;
    w.scale = 2;
    ASSERT_TRUE(p->openDisplay({640, 480, 16}, w));
    std::vector<uint16_t> frame(kFrameWidth * kFrameHeight, 0);
    p->present(frame.data(), false);
    Event e;
    while (p->pollEvent(e)) {
    }
    SDL_Window* win = SDL_GetMouseFocus() ? SDL_GetMouseFocus() : SDL_GetKeyboardFocus();
    SDL_Event m{};
    m.type = SDL_MOUSEMOTION;
    m.motion.windowID = win ? SDL_GetWindowID(win) : 0;
    m.motion.x = 201;
    m.motion.y = 101;
    ASSERT_EQ(SDL_PushEvent(&m), 1);
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.button = SDL_BUTTON_LEFT;
    down.button.x = 1000;
    down.button.y = 900;
    SDL_Event up = down;
    up.type = SDL_MOUSEBUTTONUP;
    ASSERT_EQ(SDL_PushEvent(&down), 1);
    ASSERT_EQ(SDL_PushEvent(&up), 1);
    bool moved = false, clicked = false;
    while (p->pollEvent(e)) {
        if (e.type == EventType::MouseMove && e.x == 100 && e.y == 50) moved = true;
        if (e.type == EventType::Click) {
            clicked = true;
            EXPECT_EQ(e.x, 500);
            EXPECT_EQ(e.y, 450);
        }
    }
    EXPECT_TRUE(moved);
    EXPECT_TRUE(clicked);
}

TEST_F(SdlWindow, AltEnterTogglesAndIsNotAKey) {
    WindowOptions w;
    w.fullScreen = false;
    ASSERT_TRUE(p->openDisplay({640, 480, 16}, w));
    Event e;
    while (p->pollEvent(e)) {
    }
    SDL_Event k{};
    k.type = SDL_KEYDOWN;
    k.key.keysym.scancode = SDL_SCANCODE_RETURN;
    k.key.keysym.mod = KMOD_LALT;
    ASSERT_EQ(SDL_PushEvent(&k), 1);
    k.key.keysym.mod = KMOD_NONE;
    ASSERT_EQ(SDL_PushEvent(&k), 1);
    int enters = 0;
    while (p->pollEvent(e))
        if (e.type == EventType::KeyDown && e.key == 0x0D) ++enters;
    EXPECT_EQ(enters, 1);  // only the plain Enter
}

}  // namespace

namespace {

TEST_F(SdlWindow, FullScreenInAnOfferedModeAndBackToAWindow) {
    auto modes = p->displayModes();
    ASSERT_FALSE(modes.empty());
    ASSERT_TRUE(p->openDisplay(modes.front(), WindowOptions{}));
    std::vector<uint16_t> frame(kFrameWidth * kFrameHeight, 0xFFFF);
    p->present(frame.data(), true);
    p->toggleFullScreen();
    p->present(frame.data(), true);
    p->toggleFullScreen();
    p->present(frame.data(), true);
    EXPECT_EQ(p->lastPresented().size(), frame.size());
    // A size the display does not offer cannot be taken.
    EXPECT_FALSE(p->openDisplay({123, 45, 16}, WindowOptions{}));
}

}  // namespace
