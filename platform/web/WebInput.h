// Browser input in the terms of the platform interface, without the browser: key codes of
// keyboard events, gamepads of the Gamepad interface, pointer positions on a scaled canvas.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace platform {

// The virtual-key code of a keyboard event's `code` (the physical key, whatever the
// layout), 0 when the key has none. Modifiers give the generic code (0x10 Shift, 0x11
// Ctrl, 0x12 Alt); `side` then receives the code of that side (0xA0..0xA5, 0x5B/0x5C),
// which the key table also holds, else 0.
int vkFromDomCode(const std::string& code, int* side = nullptr);

// One gamepad as the browser reports it.
struct GamepadReading {
    bool connected = false;
    bool standard = false;  // the browser's standard mapping (a known controller)
    int axisCount = 0;
    double axes[8] = {};  // -1 .. 1
    int buttonCount = 0;
    bool buttons[32] = {};
};

// The joystick state the media layer reads, as the native back-end gives it: axes from
// -32768 to 32767, a known controller's buttons in the native controller order (A, B, X,
// Y, Back, Guide, Start, the stick buttons, the shoulders, the direction pad), any other
// pad's buttons in its own order; a direction pad counts as the stick pushed all the way.
JoystickState joystickFromGamepad(const GamepadReading& pad);

// Whether a gamepad's menu choice is pressed: Start or A of the standard layout, the first
// button of any other pad.
bool menuChoicePressed(const GamepadReading& pad);
// The middle of the menu's start box, in picture coordinates: where the choice clicks.
constexpr int kStartBoxX = 525;
constexpr int kStartBoxY = 415;

// A pointer position in the canvas's displayed size (CSS pixels from its top-left corner)
// to picture coordinates (640 x 480). False outside the picture or for an empty canvas.
bool pictureFromCanvas(double offsetX, double offsetY, double shownWidth, double shownHeight, int& x, int& y);

}  // namespace platform
