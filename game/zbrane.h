// The player's weapons: five projectile groups and three beams.
#pragma once

namespace game {

void initWeapons();
void requestFire();
void stepShotGroup(int g);  // g = 1..5
void stepLasers();

}  // namespace game
