// Pieces of the SDL back-end that need no display: key codes and the picture's place in
// the window.
#include <gtest/gtest.h>

#include "platform/sdl/KeyMap.h"
#include "platform/sdl/Viewport.h"

using namespace platform;

namespace {

TEST(KeyMap, RangesAndTheGamesKeys) {
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_A), 0x41);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_Z), 0x5A);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_1), 0x31);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_9), 0x39);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_0), 0x30);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_2), 0x62);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_8), 0x68);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_9), 0x69);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_F1), 0x70);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_F3), 0x72);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_F12), 0x7B);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_LEFT), 0x25);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_UP), 0x26);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_RIGHT), 0x27);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_DOWN), 0x28);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_RETURN), 0x0D);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_ENTER), 0x0D);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_TAB), 0x09);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_SPACE), 0x20);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_ESCAPE), 0x1B);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_PRINTSCREEN), 0x2C);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_RSHIFT), 0x10);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_LCTRL), 0x11);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_RALT), 0x12);
    EXPECT_EQ(vkSideFromScancode(SDL_SCANCODE_RSHIFT), 0xA1);
    EXPECT_EQ(vkSideFromScancode(SDL_SCANCODE_A), 0);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    // Every code fits the 256-entry key table.
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        int vk = vkFromScancode(static_cast<SDL_Scancode>(sc));
        ASSERT_GE(vk, 0);
        ASSERT_LT(vk, 256);
    }
}

TEST(Viewport, LargestWholeScaleCentred) {
    Viewport v = Viewport::fit(640, 480);
    EXPECT_EQ(v.scale, 1);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    v = Viewport::fit(1920, 1080);  // 3x would be 1440 tall
    EXPECT_EQ(v.scale, 2);
    EXPECT_EQ(v.x, 320);
    EXPECT_EQ(v.y, 60);
    v = Viewport::fit(1280, 1024);
    EXPECT_EQ(v.scale, 2);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 32);
    v = Viewport::fit(800, 600);
    EXPECT_EQ(v.scale, 1);
    EXPECT_EQ(v.x, 80);
    EXPECT_EQ(v.y, 60);
}

TEST(Viewport, PointerToPictureCoordinates) {
    Viewport v = Viewport::fit(1920, 1080);  // scale 2 at (320, 60)
    int x = -1, y = -1;
    ASSERT_TRUE(v.toPicture(320, 60, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(v.toPicture(321, 61, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(v.toPicture(320 + 1279, 60 + 959, x, y));
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    // The black border is not the picture, including the pixel just left of it.
    EXPECT_FALSE(v.toPicture(319, 100, x, y));
    EXPECT_FALSE(v.toPicture(400, 59, x, y));
    EXPECT_FALSE(v.toPicture(320 + 1280, 100, x, y));
    EXPECT_FALSE(v.toPicture(400, 60 + 960, x, y));

    // A window smaller than the picture shows its centre.
    v = Viewport::fit(320, 240);
    EXPECT_EQ(v.scale, 1);
    ASSERT_TRUE(v.toPicture(0, 0, x, y));
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 120);
}

}  // namespace
