// The game's random generator: our own, with a fixed sequence, so that a seed replays the same
// game everywhere.
#include "game/Random.h"

#include <chrono>

namespace game {

namespace {

uint64_t rngState = 0x853c49e6748fea9bULL;
bool fixedSeedSet = false;
uint64_t fixedSeedValue = 0;

// 64-bit linear congruential step; the high 32 bits are the output.
uint32_t nextRandom() {
    rngState = rngState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(rngState >> 32);
}

}  // namespace

int32_t Random(int32_t n) {
    if (n <= 0) return 0;
    uint32_t r = nextRandom();
    return static_cast<int32_t>((static_cast<uint64_t>(r) * static_cast<uint32_t>(n)) >> 32);
}

void setRandomSeed(uint64_t seed) {
    // Spread the seed so that neighbouring seeds give unrelated sequences.
    uint64_t z = seed + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    rngState = z ^ (z >> 31);
}

void Randomize() {
    if (fixedSeedSet) {
        setRandomSeed(fixedSeedValue);
        return;
    }
    auto now = std::chrono::system_clock::now().time_since_epoch();
    setRandomSeed(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

uint64_t randomState() { return rngState; }
void setRandomState(uint64_t state) { rngState = state; }
void setFixedSeed(bool enabled, uint64_t seed) {
    fixedSeedSet = enabled;
    fixedSeedValue = seed;
}

}  // namespace game
