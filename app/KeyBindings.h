// Key bindings: the keys a player presses become the game's own keys before anything else
// sees them, so that recordings, scripts and the game's key table only ever speak the
// game's keys. A binding names the keys of one action; it replaces that action's default
// keys, and a key bound explicitly does only what its bindings say.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

enum class Action { Up, Down, Left, Right, Fire, Pod, Pause, Back, Screenshot, VolumeUp, VolumeDown, Mute };
constexpr int kActionCount = 12;

// Gamepad actions: the buttons that give the game's input states (fire Button4, pod
// Button1, pause Button2) and back, which acts as the Escape key.
enum class PadAction { Fire, Pod, Pause, Back };
constexpr int kPadActionCount = 4;

// The settings names ("up", "volume_up", ...), and the action of a name (false if none).
const char* actionName(Action a);
bool actionFromName(const std::string& name, Action& a);
const char* padActionName(PadAction a);
bool padActionFromName(const std::string& name, PadAction& a);

// The game's keys of an action: the first is the one a bound key turns into.
const std::vector<int>& defaultKeys(Action a);
// The action whose default keys include this game key (false for none, e.g. F2).
bool actionOfGameKey(int vk, Action& a);
// Default buttons (indices 0..31) of a gamepad action; back has none.
const std::vector<int>& defaultButtons(PadAction a);

class KeyBindings {
public:
    KeyBindings() { compile(); }

    // An empty list restores the defaults of that action.
    void bindKeys(Action a, std::vector<int> keys);
    void bindButtons(PadAction a, std::vector<int> buttons);
    const std::vector<int>& keys(Action a) const { return keys_[static_cast<int>(a)]; }
    const std::vector<int>& buttons(PadAction a) const { return buttons_[static_cast<int>(a)]; }
    bool isDefault() const;

    // The game keys a pressed key gives (none, one or several).
    const std::vector<int>& gameKeys(int vk) const { return keyMap_[vk & 0xFF]; }
    // The game's key table from the pressed keys' table (high bit: down).
    void translateTable(const uint8_t pressed[256], uint8_t game[256]) const;
    // The game's buttons from the pressed ones (bit i: button i); back is left out.
    uint32_t translateButtons(uint32_t pressed) const;
    // The buttons that act as back (Escape).
    uint32_t backButtons() const { return backMask_; }

private:
    void compile();
    std::array<std::vector<int>, kActionCount> keys_;
    std::array<std::vector<int>, kPadActionCount> buttons_;
    std::array<std::vector<int>, 256> keyMap_;
    std::array<uint32_t, 32> buttonMap_{};
    uint32_t backMask_ = 0;
};

}  // namespace app
