// Names of keyboard keys and gamepad buttons as the settings file writes them, and their
// virtual-key codes (the codes the game's key table speaks) and button numbers.
#pragma once

#include <string>

namespace app {

// The virtual-key code of a key name ("Space", "W", "F12", "KP8", "Left", ...), matched
// without regard to case; 0 when the name is unknown.
int keyCodeFromName(const std::string& name);
// The name of a virtual-key code; nullptr when it has none.
const char* keyCodeName(int vk);

// Gamepad buttons: "A", "B", "X", "Y", "Back", "Guide", "Start", "LeftStick",
// "RightStick", "LeftShoulder", "RightShoulder" (a game controller's buttons in that
// order) and "Button1" .. "Button32" (a joystick's buttons by number). The result is the
// button's index 0..31, -1 when the name is unknown.
int buttonFromName(const std::string& name);
std::string buttonName(int index);

}  // namespace app
