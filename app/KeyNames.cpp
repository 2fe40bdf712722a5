#include "app/KeyNames.h"

#include <cctype>
#include <cstdlib>

namespace app {

namespace {

struct Named {
    const char* name;
    int code;
};

const Named kNamedKeys[] = {
    {"Up", 0x26},          {"Down", 0x28},         {"Left", 0x25},        {"Right", 0x27},
    {"Space", 0x20},       {"Tab", 0x09},          {"Enter", 0x0D},       {"Escape", 0x1B},
    {"Backspace", 0x08},   {"Insert", 0x2D},       {"Delete", 0x2E},      {"Home", 0x24},
    {"End", 0x23},         {"PageUp", 0x21},       {"PageDown", 0x22},    {"PrintScreen", 0x2C},
    {"ScrollLock", 0x91},  {"Pause", 0x13},        {"CapsLock", 0x14},    {"NumLock", 0x90},
    {"Shift", 0x10},       {"Ctrl", 0x11},         {"Alt", 0x12},         {"LShift", 0xA0},
    {"RShift", 0xA1},      {"LCtrl", 0xA2},        {"RCtrl", 0xA3},       {"LAlt", 0xA4},
    {"RAlt", 0xA5},        {"Menu", 0x5D},         {"KP0", 0x60},         {"KP1", 0x61},
    {"KP2", 0x62},         {"KP3", 0x63},         {"KP4", 0x64},         {"KP5", 0x65},
    {"KP6", 0x66},         {"KP7", 0x67},          {"KP8", 0x68},         {"KP9", 0x69},
    {"KPMultiply", 0x6A},  {"KPPlus", 0x6B},       {"KPMinus", 0x6D},     {"KPPeriod", 0x6E},
    {"KPDivide", 0x6F},    {"Minus", 0xBD},        {"Equals", 0xBB},      {"Comma", 0xBC},
    {"Period", 0xBE},      {"Slash", 0xBF},        {"Semicolon", 0xBA},   {"Apostrophe", 0xDE},
    {"LeftBracket", 0xDB}, {"RightBracket", 0xDD}, {"Backslash", 0xDC},   {"Grave", 0xC0},
    {"Mute", 0xAD},        {"VolumeDown", 0xAE},   {"VolumeUp", 0xAF},
};

const char* const kButtons[] = {"A",         "B",          "X",           "Y",           "Back", "Guide",
                                "Start",     "LeftStick",  "RightStick",  "LeftShoulder", "RightShoulder"};

bool sameText(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

// A number 1..limit written in decimal after prefix ("F12", "Button3"); 0 otherwise.
int numberAfter(const std::string& name, const char* prefix, int limit) {
    size_t n = std::char_traits<char>::length(prefix);
    if (name.size() <= n || name.size() > n + 2 || !sameText(name.substr(0, n), prefix)) return 0;
    int v = 0;
    for (size_t i = n; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        v = v * 10 + (name[i] - '0');
    }
    if (name[n] == '0' || v < 1 || v > limit) return 0;
    return v;
}

}  // namespace

int keyCodeFromName(const std::string& name) {
    for (const Named& k : kNamedKeys)
        if (sameText(name, k.name)) return k.code;
    if (name.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c)) return std::toupper(c);  // 'A' .. 'Z' are their own codes
        if (std::isdigit(c)) return c;                // '0' .. '9' likewise
    }
    if (int f = numberAfter(name, "F", 24)) return 0x6F + f;  // F1 = 0x70
    return 0;
}

const char* keyCodeName(int vk) {
    for (const Named& k : kNamedKeys)
        if (k.code == vk) return k.name;
    static char single[26 + 10][2];
    if (vk >= 'A' && vk <= 'Z') {
        char* s = single[vk - 'A'];
        s[0] = static_cast<char>(vk);
        return s;
    }
    if (vk >= '0' && vk <= '9') {
        char* s = single[26 + vk - '0'];
        s[0] = static_cast<char>(vk);
        return s;
    }
    static const char* const f[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                    "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                    "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    if (vk >= 0x70 && vk <= 0x87) return f[vk - 0x70];
    return nullptr;
}

int buttonFromName(const std::string& name) {
    for (int i = 0; i < static_cast<int>(sizeof kButtons / sizeof kButtons[0]); ++i)
        if (sameText(name, kButtons[i])) return i;
    if (int b = numberAfter(name, "Button", 32)) return b - 1;
    return -1;
}

std::string buttonName(int index) {
    if (index >= 0 && index < static_cast<int>(sizeof kButtons / sizeof kButtons[0])) return kButtons[index];
    return "Button" + std::to_string(index + 1);
}

}  // namespace app
