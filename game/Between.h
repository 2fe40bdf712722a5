// The range test of the hit boxes and the pod's docking zones.
#pragma once

#include <cstdint>

namespace game {

// Strictly between: a value on an edge is outside.
inline bool strictlyBetween(int32_t v, int32_t lo, int32_t hi) { return lo < v && v < hi; }

}  // namespace game
