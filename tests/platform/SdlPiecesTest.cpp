// Pieces of the SDL back-end that need no display: key codes and the picture's place in
// the window.
#include <gtest/gtest.h>

#include "platform/sdl/KeyMap.h"
#include "platform/Viewport.h"

using namespace platform;

namespace {

TEST(KeyMap, RangeEndsAndKeysWithTwoScancodes) {
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_Z), 0x5A);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_9), 0x39);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_0), 0x30);  // after 9 among scancodes, first among codes
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_9), 0x69);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_F12), 0x7B);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_KP_ENTER), 0x0D);
    EXPECT_EQ(vkFromScancode(SDL_SCANCODE_RSHIFT), 0x10);
    EXPECT_EQ(vkSideFromScancode(SDL_SCANCODE_RSHIFT), 0xA1);
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {  // every code fits the key table
        int vk = vkFromScancode(static_cast<SDL_Scancode>(sc));
        ASSERT_TRUE(vk >= 0 && vk < 256) << sc;
    }
}

TEST(KeyMap, KeyTableHasBothCodesOfAModifierAndCanLeaveEnterOut) {
    unsigned char state[SDL_NUM_SCANCODES] = {};
    state[SDL_SCANCODE_RETURN] = 1;
    state[SDL_SCANCODE_LALT] = 1;
    state[SDL_SCANCODE_K] = 1;
    unsigned char keys[256];
    keyTableFromScancodes(state, SDL_NUM_SCANCODES, false, keys);
    EXPECT_EQ(keys[0x0D], 0x80);
    EXPECT_EQ(keys[0x12], 0x80);
    EXPECT_EQ(keys[0xA4], 0x80);
    EXPECT_EQ(keys[0x4B], 0x80);
    EXPECT_EQ(keys[0x4C], 0);
    // The Enter of Alt+Enter switches the screen; the game must not see it held (pause).
    state[SDL_SCANCODE_RETURN] = 0;
    state[SDL_SCANCODE_KP_ENTER] = 1;
    keyTableFromScancodes(state, SDL_NUM_SCANCODES, true, keys);
    EXPECT_EQ(keys[0x0D], 0);
    EXPECT_EQ(keys[0x4B], 0x80);
    // A short state array is read only as far as it goes.
    keyTableFromScancodes(state, 10, false, keys);
    EXPECT_EQ(keys[0x4B], 0);  // K is scancode 14, beyond the 10 entries given
}

TEST(Viewport, LargestWholeScaleCentredAndPointerMapping) {
    Viewport v = Viewport::fit(640, 480);
    EXPECT_EQ(v.scale, 1);
    EXPECT_EQ(v.x + v.y, 0);
    v = Viewport::fit(1920, 1080);  // 3x would be 1440 tall
    EXPECT_EQ(v.scale, 2);
    EXPECT_EQ(v.x, 320);
    EXPECT_EQ(v.y, 60);
    int x = -1, y = -1;
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
    v = Viewport::fit(320, 240);  // smaller than the picture: its centre shows
    ASSERT_TRUE(v.toPicture(0, 0, x, y));
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 120);
}

}  // namespace
