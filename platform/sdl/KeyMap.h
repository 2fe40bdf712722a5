// Physical keys (SDL scancodes) to the virtual-key codes the game's key table speaks.
#pragma once

#include <SDL_scancode.h>

namespace platform {

// The virtual-key code of a key (0 when the key has none). Left and right modifier keys
// both give the generic code (0x10 Shift, 0x11 Ctrl, 0x12 Alt), keypad Enter gives 0x0D.
int vkFromScancode(SDL_Scancode sc);

// For modifier keys, the code of that side (0xA0..0xA5 for left/right Shift, Ctrl, Alt,
// 0x5B/0x5C for the system keys), which the keyboard state also reports; otherwise 0.
int vkSideFromScancode(SDL_Scancode sc);

}  // namespace platform
