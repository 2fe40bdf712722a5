// Fuzz target: the input-script reader. Bad input may only end with a ScriptError whose
// message shows no raw control character; a script that is read must write out and read
// back as the same script, and must play into the headless hooks without going wrong.
// Anything else (a crash, an over-read, another exception, a broken round trip) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/InputScript.h"
#include "platform/headless/HeadlessControl.h"

namespace {

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "fuzz_script: %s\n", what);
    std::abort();
}

bool sameHeader(const app::ScriptHeader& a, const app::ScriptHeader& b) {
    return a.present == b.present && a.hasSeed == b.hasSeed && (!a.hasSeed || a.seed == b.seed) &&
           a.warp == b.warp && a.god == b.god;
}

bool sameEvent(const app::ScriptEvent& a, const app::ScriptEvent& b) {
    if (a.tick != b.tick || a.op != b.op) return false;
    switch (a.op) {
    case app::ScriptOp::Hold: return a.keys == b.keys;
    case app::ScriptOp::Move: return a.x == b.x && a.y == b.y;
    case app::ScriptOp::Hash: return a.hash == b.hash;
    default: return true;
    }
}

// The headless hooks, checking what a player of scripts may deliver.
class Hooks : public platform::HeadlessControl {
public:
    void pushEvent(const platform::Event& e) override {
        if (e.type == platform::EventType::KeyDown && (e.key <= 0 || e.key > 0xFF || !down_[e.key]))
            finding("a key-down event for a key that is not held");
        if ((e.type == platform::EventType::MouseMove || e.type == platform::EventType::Click) &&
            (e.x < 0 || e.x >= platform::kFrameWidth || e.y < 0 || e.y >= platform::kFrameHeight))
            finding("a pointer event off the display");
    }
    void setKey(int vk, bool down) override {
        if (vk <= 0 || vk > 0xFF) finding("a key code out of range");
        if (down_[vk] == down) finding("a key set to the state it already has");
        down_[vk] = down;
    }
    void releaseAllKeys() override {}
    void setForeground(bool) override {}
    void setActive(bool) override {}
    void setDisplayModes(const std::vector<platform::DisplayMode>&) override {}
    void setDisplayLost(bool) override {}
    void setRestoreFails(bool) override {}
    void setJoystick(int, const platform::JoystickState&) override {}
    void advanceClock(uint32_t) override {}

private:
    bool down_[256] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    app::InputScript script;
    try {
        script = app::parseScriptText(text, "fuzz.txt");
    } catch (const app::ScriptError& e) {
        for (const char* p = e.what(); *p; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (c < 0x20 || c == 0x7F) finding("a raw control character in an error message");
        }
        return 0;
    }
    app::InputScript again;
    try {
        again = app::parseScriptText(app::scriptText(script), "again.txt");
    } catch (const app::ScriptError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        finding("a script that was read does not read back once written");
    }
    if (!sameHeader(script.header, again.header)) finding("the header changed in a round trip");
    if (script.events.size() != again.events.size()) finding("the number of events changed in a round trip");
    for (size_t i = 0; i < script.events.size(); ++i)
        if (!sameEvent(script.events[i], again.events[i])) finding("an event changed in a round trip");

    Hooks hooks;
    app::ScriptPlayer player(std::move(script), hooks);
    const uint32_t last = player.lastTick();
    // Every event once, then a tick after the last one delivers nothing more.
    player.beforeTick(last / 2);
    player.beforeTick(last);
    if (!player.finished()) finding("events left after the last tick");
    if (last < 0xFFFFFFFFu) player.beforeTick(last + 1);
    return 0;
}
