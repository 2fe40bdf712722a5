#include "platform/web/WebInput.h"

#include <cmath>
#include <cstring>

namespace platform {

namespace {

struct Named {
    const char* code;
    int vk;
    int side;
};

const Named kNamed[] = {
    {"ArrowUp", 0x26, 0},       {"ArrowDown", 0x28, 0},     {"ArrowLeft", 0x25, 0},
    {"ArrowRight", 0x27, 0},    {"Space", 0x20, 0},         {"Enter", 0x0D, 0},
    {"NumpadEnter", 0x0D, 0},   {"Tab", 0x09, 0},           {"Escape", 0x1B, 0},
    {"Backspace", 0x08, 0},     {"ShiftLeft", 0x10, 0xA0},  {"ShiftRight", 0x10, 0xA1},
    {"ControlLeft", 0x11, 0xA2}, {"ControlRight", 0x11, 0xA3}, {"AltLeft", 0x12, 0xA4},
    {"AltRight", 0x12, 0xA5},   {"MetaLeft", 0x5B, 0},      {"MetaRight", 0x5C, 0},
    {"ContextMenu", 0x5D, 0},   {"Insert", 0x2D, 0},        {"Delete", 0x2E, 0},
    {"Home", 0x24, 0},          {"End", 0x23, 0},           {"PageUp", 0x21, 0},
    {"PageDown", 0x22, 0},      {"PrintScreen", 0x2C, 0},   {"Pause", 0x13, 0},
    {"CapsLock", 0x14, 0},      {"NumLock", 0x90, 0},       {"ScrollLock", 0x91, 0},
    {"NumpadMultiply", 0x6A, 0}, {"NumpadAdd", 0x6B, 0},    {"NumpadSubtract", 0x6D, 0},
    {"NumpadDecimal", 0x6E, 0}, {"NumpadDivide", 0x6F, 0},  {"Semicolon", 0xBA, 0},
    {"Equal", 0xBB, 0},         {"Comma", 0xBC, 0},         {"Minus", 0xBD, 0},
    {"Period", 0xBE, 0},        {"Slash", 0xBF, 0},         {"Backquote", 0xC0, 0},
    {"BracketLeft", 0xDB, 0},   {"Backslash", 0xDC, 0},     {"BracketRight", 0xDD, 0},
    {"Quote", 0xDE, 0},         {"IntlBackslash", 0xE2, 0},
};

bool startsWith(const std::string& s, const char* prefix, size_t& rest) {
    const size_t n = std::strlen(prefix);
    if (s.compare(0, n, prefix) != 0) return false;
    rest = n;
    return true;
}

int axisValue(double a) {
    if (!(a == a)) return 0;  // NaN from a confused driver
    if (a <= -1.0) return -32768;
    if (a >= 1.0) return 32767;
    return static_cast<int>(std::lround(a < 0 ? a * 32768.0 : a * 32767.0));
}

}  // namespace

int vkFromDomCode(const std::string& code, int* side) {
    if (side) *side = 0;
    size_t rest = 0;
    if (startsWith(code, "Key", rest) && code.size() == rest + 1 && code[rest] >= 'A' && code[rest] <= 'Z')
        return code[rest];
    if (startsWith(code, "Digit", rest) && code.size() == rest + 1 && code[rest] >= '0' && code[rest] <= '9')
        return code[rest];
    if (startsWith(code, "Numpad", rest) && code.size() == rest + 1 && code[rest] >= '0' && code[rest] <= '9')
        return 0x60 + (code[rest] - '0');
    if (startsWith(code, "F", rest) && code.size() > 1 && code.size() <= 3) {
        int n = 0;
        for (size_t i = 1; i < code.size(); ++i) {
            if (code[i] < '0' || code[i] > '9') return 0;
            n = n * 10 + (code[i] - '0');
        }
        return n >= 1 && n <= 24 ? 0x70 + n - 1 : 0;
    }
    for (const Named& k : kNamed) {
        if (code == k.code) {
            if (side) *side = k.side;
            return k.vk;
        }
    }
    return 0;
}

JoystickState joystickFromGamepad(const GamepadReading& pad) {
    JoystickState s;
    if (!pad.connected) return s;
    s.present = true;
    s.xMin = s.yMin = s.zMin = -32768;
    s.xMax = s.yMax = s.zMax = 32767;
    const int axes = pad.axisCount < 0 ? 0 : (pad.axisCount > 8 ? 8 : pad.axisCount);
    const int buttons = pad.buttonCount < 0 ? 0 : (pad.buttonCount > 32 ? 32 : pad.buttonCount);
    if (axes > 0) s.x = axisValue(pad.axes[0]);
    if (axes > 1) s.y = axisValue(pad.axes[1]);
    if (axes > 2) s.z = axisValue(pad.axes[2]);
    auto pressed = [&](int b) { return b < buttons && pad.buttons[b]; };
    if (!pad.standard) {
        for (int b = 0; b < buttons; ++b)
            if (pad.buttons[b]) s.buttons |= 1u << b;
        return s;
    }
    // The standard layout's buttons in the native controller order; the triggers (6, 7)
    // are axes there, not buttons.
    static const int kNativeOf[17] = {0, 1, 2, 3, 9, 10, -1, -1, 4, 6, 7, 8, 11, 12, 13, 14, 5};
    for (int b = 0; b < 17; ++b)
        if (kNativeOf[b] >= 0 && pressed(b)) s.buttons |= 1u << kNativeOf[b];
    if (pressed(14)) s.x = -32768;
    if (pressed(15)) s.x = 32767;
    if (pressed(12)) s.y = -32768;
    if (pressed(13)) s.y = 32767;
    return s;
}

bool menuChoicePressed(const GamepadReading& pad) {
    if (!pad.connected) return false;
    const int buttons = pad.buttonCount < 0 ? 0 : (pad.buttonCount > 32 ? 32 : pad.buttonCount);
    auto pressed = [&](int b) { return b < buttons && pad.buttons[b]; };
    return pad.standard ? pressed(0) || pressed(9) : pressed(0);
}

bool pictureFromCanvas(double offsetX, double offsetY, double shownWidth, double shownHeight, int& x, int& y) {
    if (!(shownWidth > 0) || !(shownHeight > 0)) return false;
    if (!(offsetX >= 0) || !(offsetY >= 0) || offsetX >= shownWidth || offsetY >= shownHeight) return false;
    x = static_cast<int>(std::floor(offsetX * kFrameWidth / shownWidth));
    y = static_cast<int>(std::floor(offsetY * kFrameHeight / shownHeight));
    if (x >= kFrameWidth) x = kFrameWidth - 1;
    if (y >= kFrameHeight) y = kFrameHeight - 1;
    return true;
}

}  // namespace platform
