#include "game/alien.h"

#include "game/State.h"

namespace game {

// --- NOT YET BUILT: the hit test comes with the weapons; until then nothing is struck. ---
bool weaponHitTest(int32_t left, int32_t top, int32_t width, int32_t height) {
    (void)left;
    (void)top;
    (void)width;
    (void)height;
    return false;
}

// --- NOT YET BUILT: the alien groups of every level come with a later issue. ---
void stepL1GroupA() {}
void stepClimbers() {}
void stepL2GroupA() {}
void stepL2GroupB() {}
void stepL3GroupA() {}
void stepL3GroupB() {}
void stepL3GroupC() {}
void stepL3GroupD() {}
void stepL4GroupB() {}
void stepL5GroupA() {}
void stepFallingStones() {}
void stepL6GroupA() {}
void stepL6Hazard() {}
void stepL6Machine() {}

}  // namespace game
