// The aliens: group behaviours per level, the hit test against the player's weapons, and
// the aliens' shots and contact with the ship.
#pragma once

#include <cstdint>

namespace game {

// Whether a projectile, the pod or a beam strikes the rectangle; the damage is left in
// hitDamage.
bool weaponHitTest(int32_t left, int32_t top, int32_t width, int32_t height);

void stepL1GroupA();
void stepClimbers();
void stepL2GroupA();
void stepL2GroupB();
void stepL3GroupA();
void stepL3GroupB();
void stepL3GroupC();
void stepL3GroupD();
void stepL4GroupB();
void stepL5GroupA();
void stepFallingStones();
void stepL6GroupA();
void stepL6Hazard();
void stepL6Machine();

}  // namespace game
