// Records what the player does, tick by tick, in the input-script format: every key-down
// event in its order (Escape pressed again while held, as by its auto-repeat, is let go and
// pressed again in the script so that the replay delivers the event too), the keys held as
// each tick starts, pointer moves and clicks, and every 40th tick a hash of the game state
// so that a replay can be checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/InputScript.h"

namespace app {

class Recorder {
public:
    explicit Recorder(ScriptHeader header);

    // Events seen between ticks; they belong to the next tick to run.
    void keyDown(uint32_t nextTick, int vk);
    void pointerMove(uint32_t nextTick, int x, int y);
    void click(uint32_t nextTick);
    // The keys held as the tick starts (keys[vk] high bit set while down).
    // A key that went down and up again between two ticks is not held at the tick.
    void tickStarting(uint32_t tick, const uint8_t keys[256]);
    // The state hash after a tick; kept for every 40th tick.
    void tickDone(uint32_t tick, uint64_t stateHash);

    // The game ended after this tick: the script closes with a line at that tick (the keys
    // then held, so nothing changes), so that a replay runs as many ticks as were recorded.
    void finish(uint32_t lastTick);

    static constexpr uint32_t kHashEvery = 40;
    // Lines set aside at the start (a hash line every second, so about an hour of play).
    static constexpr size_t kReservedLines = 4096;
    const InputScript& script() const { return script_; }
    // The recording as it would be if the game ended after lastTick.
    InputScript snapshot(uint32_t lastTick) const;
    // Writes the script safely; empty on success, else why not.
    std::string save(const std::string& path) const;

    // A recording is written as it goes, so that a crash or a kill loses at most the last
    // few seconds: writes the recording up to lastTick when kCheckpointSeconds have passed
    // since the last write (at once with force). Empty on success, else why not.
    static constexpr double kCheckpointSeconds = 5.0;
    std::string checkpoint(const std::string& path, uint32_t lastTick, bool force = false);

private:
    void hold(uint32_t tick, const std::vector<int>& keys);

    InputScript script_;
    std::vector<int> held_;  // keys of the last hold line
    std::vector<int> nowScratch_, sortedNow_, sortedHeld_;  // working sets, never held across calls
    // Key lists with room for every key, handed to new hold lines.
    static constexpr size_t kReservedKeyLists = 1024;
    std::vector<std::vector<int>> keyLists_;
    double lastWrite_ = -1;  // seconds on the steady clock
    bool pendingMove_ = false;
    ScriptEvent move_;
};

// The keys a script can name, in a fixed order.
const std::vector<int>& scriptKeys();

}  // namespace app
