#include "app/KeyBindings.h"

#include <algorithm>

namespace app {

namespace {

const char* const kActionNames[kActionCount] = {"up",   "down", "left",       "right",     "fire",        "pod",
                                                "pause", "back", "screenshot", "volume_up", "volume_down", "mute"};
const char* const kPadActionNames[kPadActionCount] = {"fire", "pod", "pause", "back"};

// Virtual-key codes.
const std::array<std::vector<int>, kActionCount> kDefaults = {{
    {0x26, 0x4B, 0x68},  // up: Up, K, KP8
    {0x28, 0x4A, 0x62},  // down: Down, J, KP2
    {0x25, 0x48, 0x64},  // left: Left, H, KP4
    {0x27, 0x4C, 0x66},  // right: Right, L, KP6
    {0x20},              // fire: Space
    {0x09},              // pod: Tab
    {0x0D},              // pause: Enter
    {0x1B},              // back: Escape
    {0x2C, 0x7B},        // screenshot: PrintScreen, F12
    {0xAF, 0xBB, 0x6B},  // volume up: VolumeUp, Equals, KPPlus
    {0xAE, 0xBD, 0x6D},  // volume down: VolumeDown, Minus, KPMinus
    {0xAD, 0x4D},        // mute: Mute, M
}};
// Keys of the game's key table that no action names (they give input states the game
// never reads) stay what they are.
const int kOtherGameKeys[] = {0x71, 0x72};  // F2, F3

const std::array<std::vector<int>, kPadActionCount> kDefaultButtons = {{{3}, {0}, {1}, {}}};

}  // namespace

const char* actionName(Action a) { return kActionNames[static_cast<int>(a)]; }
const char* padActionName(PadAction a) { return kPadActionNames[static_cast<int>(a)]; }

bool actionFromName(const std::string& name, Action& a) {
    for (int i = 0; i < kActionCount; ++i)
        if (name == kActionNames[i]) {
            a = static_cast<Action>(i);
            return true;
        }
    return false;
}

bool padActionFromName(const std::string& name, PadAction& a) {
    for (int i = 0; i < kPadActionCount; ++i)
        if (name == kPadActionNames[i]) {
            a = static_cast<PadAction>(i);
            return true;
        }
    return false;
}

const std::vector<int>& defaultKeys(Action a) { return kDefaults[static_cast<int>(a)]; }
const std::vector<int>& defaultButtons(PadAction a) { return kDefaultButtons[static_cast<int>(a)]; }

bool actionOfGameKey(int vk, Action& a) {
    for (int i = 0; i < kActionCount; ++i)
        if (std::find(kDefaults[i].begin(), kDefaults[i].end(), vk) != kDefaults[i].end()) {
            a = static_cast<Action>(i);
            return true;
        }
    return false;
}

void KeyBindings::bindKeys(Action a, std::vector<int> keys) {
    keys_[static_cast<int>(a)] = std::move(keys);
    compile();
}

void KeyBindings::bindButtons(PadAction a, std::vector<int> buttons) {
    buttons_[static_cast<int>(a)] = std::move(buttons);
    compile();
}

bool KeyBindings::isDefault() const {
    for (const auto& k : keys_)
        if (!k.empty()) return false;
    for (const auto& b : buttons_)
        if (!b.empty()) return false;
    return true;
}

void KeyBindings::compile() {
    for (auto& m : keyMap_) m.clear();
    std::array<bool, 256> bound{};
    for (int i = 0; i < kActionCount; ++i)
        for (int vk : keys_[i]) bound[vk & 0xFF] = true;
    auto add = [this](int from, int to) {
        std::vector<int>& m = keyMap_[from & 0xFF];
        if (std::find(m.begin(), m.end(), to) == m.end()) m.push_back(to);
    };
    for (int i = 0; i < kActionCount; ++i) {
        if (keys_[i].empty()) {
            // Unbound: the default keys are the game's keys themselves, unless a binding
            // of another action has taken one of them.
            for (int vk : kDefaults[i])
                if (!bound[vk & 0xFF]) add(vk, vk);
        } else {
            for (int vk : keys_[i]) add(vk, kDefaults[i].front());
        }
    }
    for (int vk : kOtherGameKeys)
        if (!bound[vk]) add(vk, vk);

    buttonMap_.fill(0);
    backMask_ = 0;
    std::array<bool, 32> taken{};
    for (int i = 0; i < kPadActionCount; ++i)
        for (int b : buttons_[i])
            if (b >= 0 && b < 32) taken[b] = true;
    for (int b = 0; b < 32; ++b)
        if (!taken[b]) buttonMap_[b] = 1u << b;  // the joystick's buttons as they are
    for (int i = 0; i < kPadActionCount; ++i) {
        const PadAction a = static_cast<PadAction>(i);
        for (int b : buttons_[i]) {
            if (b < 0 || b >= 32) continue;
            if (a == PadAction::Back)
                backMask_ |= 1u << b;
            else
                buttonMap_[b] |= 1u << kDefaultButtons[i].front();
        }
    }
    // A default button whose action has a binding of its own no longer does that action.
    for (int i = 0; i < kPadActionCount; ++i) {
        if (buttons_[i].empty()) continue;
        for (int d : kDefaultButtons[i])
            if (!taken[d]) buttonMap_[d] &= ~(1u << d);
    }
}

void KeyBindings::translateTable(const uint8_t pressed[256], uint8_t game[256]) const {
    std::fill(game, game + 256, 0);
    for (int vk = 0; vk < 256; ++vk) {
        if (!(pressed[vk] & 0x80)) continue;
        for (int g : keyMap_[vk]) game[g] |= 0x80;
    }
}

uint32_t KeyBindings::translateButtons(uint32_t pressed) const {
    uint32_t out = 0;
    for (int b = 0; b < 32; ++b)
        if (pressed & (1u << b)) out |= buttonMap_[b];
    return out;
}

}  // namespace app
