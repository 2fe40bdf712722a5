// Input scripts: what the player did, tick by tick, as text.
//
//   orbita-script 1 seed=S warp=L god=1     (optional first line: start options)
//   @T hold KEY...    from tick T on exactly these keys are held
//   @T release        nothing held from tick T on
//   @T move X Y       the pointer moves to display position (X, Y) before tick T
//   @T click          a click at the pointer before tick T
//   @T hash HEX       the game state's hash after tick T (written by the recorder)
//   # comment
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"

namespace app {

// A script that cannot be read; what() names the file and line ("demo.txt:3: unknown key Foo").
// Control characters of the script are shown escaped ("\x1b"), never sent to the terminal.
class ScriptError : public std::runtime_error {
public:
    explicit ScriptError(const std::string& message) : std::runtime_error(message) {}
};

// The start options a script's first line names. A key the line does not name leaves the
// command line's option in force; a key this version does not know is an error.
struct ScriptHeader {
    bool present = false;  // the file starts with the orbita-script line
    bool hasSeed = false;
    uint32_t seed = 0;
    bool hasWarp = false;  // warp=L named (L in 1..8)
    int warp = 0;          // 0: none
    bool hasGod = false;   // god=0 or god=1 named
    bool god = false;
};

// The keys a script header may name, as the error for an unknown one lists them.
constexpr const char* kScriptHeaderKeys = "seed, warp, god";

enum class ScriptOp { Hold, Release, Move, Click, Hash };

struct ScriptEvent {
    uint32_t tick = 0;
    ScriptOp op = ScriptOp::Release;
    std::vector<int> keys;  // Hold: virtual-key codes, no repeats
    int x = 0, y = 0;       // Move
    uint64_t hash = 0;      // Hash
};

struct InputScript {
    ScriptHeader header;
    std::vector<ScriptEvent> events;  // in file order; ticks never go back
};

// Key names of scripts and their virtual-key codes. Names are matched without regard
// to case; 0 / nullptr when unknown.
int keyFromName(const std::string& name);
const char* keyName(int vk);

// name is used in error messages.
InputScript parseScript(std::istream& in, const std::string& name);
InputScript parseScriptText(const std::string& text, const std::string& name = "script");
// A pipe, device or folder is refused at once (nothing waits for a writer), and so is a file
// over kMaxScriptBytes, before a byte of it is read.
constexpr size_t kMaxScriptBytes = size_t(16) << 20;
InputScript loadScript(const std::string& path);

void writeScript(std::ostream& out, const InputScript& script);
std::string scriptText(const InputScript& script);
// Written safely (platform/Files.h). Empty on success, else why it could not be written.
std::string saveScript(const std::string& path, const InputScript& script);

// Plays a script into the headless back-end's hooks: before each tick, every event
// scheduled up to that tick is delivered (key-down events for keys that go down, the
// key state, pointer moves and clicks), in file order.
class ScriptPlayer {
public:
    ScriptPlayer(InputScript script, platform::HeadlessControl& control);

    // Delivers all events of ticks <= tick not yet delivered.
    void beforeTick(uint32_t tick);
    // The hash recorded for a tick, if the script has one.
    bool expectedHash(uint32_t tick, uint64_t& hash) const;
    // Every event has been delivered.
    bool finished() const;
    // The tick of the last event (0 for an empty script).
    uint32_t lastTick() const;
    const InputScript& script() const { return script_; }

private:
    InputScript script_;
    platform::HeadlessControl& control_;
    size_t next_ = 0;
    std::vector<int> held_;
    int pointerX_ = 0, pointerY_ = 0;
    std::map<uint32_t, uint64_t> hashes_;
};

}  // namespace app
