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

// The 256-entry key table (high bit set for a key that is down) from SDL's per-scancode
// state. With withoutEnter, both Enter keys read as up: an Enter that went down as part
// of Alt+Enter switches the screen mode and must not also reach the game as a held key.
void keyTableFromScancodes(const unsigned char* state, int count, bool withoutEnter, unsigned char keys[256]);

}  // namespace platform
