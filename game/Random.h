// The game's random generator.
#pragma once

#include <cstdint>

namespace game {

// Our own generator with a fixed sequence, so that a seed replays the same game everywhere.
// Random(n) draws uniformly from 0 .. n-1, and gives 0 for n <= 0.
int32_t Random(int32_t n);
// Seeds from the clock, or from the fixed seed when one is set.
void Randomize();
void setRandomSeed(uint64_t seed);
uint64_t randomState();
void setRandomState(uint64_t state);
// A fixed seed chosen from outside (--seed); Randomize then uses it instead of the clock.
void setFixedSeed(bool enabled, uint64_t seed);

}  // namespace game
