// The game state as a JSON dump and as a hash, for the state dumps, the recordings and the
// replays' checks.
#pragma once

#include <cstdint>
#include <string>

namespace game {

// The shared state as one JSON object (keys named as the variables, plus tick and the
// HUD/display facts passed in).
struct ShellFacts {
    int displayHeight = 0;
    bool receptVisible = false;
    bool livesShown[3] = {false, false, false};
    bool cursorVisible = false;
    bool hudVisible = false;
    // Which of the five HUD faces (obrov, oblev, obprav, obhore, obdole) are visible.
    bool facesShown[5] = {false, false, false, false, false};
};
std::string stateJson(const ShellFacts& facts);
// A 64-bit hash of the whole game state (every variable of game/State.h and the generator).
uint64_t stateHash();

}  // namespace game
