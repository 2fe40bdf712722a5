// The player's weapons: five projectile groups of 15 slots for weapon levels 1 to 5, and
// three line beams (two from the ship, one from the force pod) for weapon level 6.
#pragma once

#include <cstdint>

namespace game {

// The tables' start state; run once, when the form is created.
void initWeapons();
// What the fire input does in a frame of play.
void requestFire();
// Group g's fire step (g = 1..5): the gated launch, then the group's flight step.
void stepShotGroup(int g);
// Moves, frees and draws the projectiles of group g.
void flyShotGroup(int g);
// The three beams: start, growth, retraction and drawing.
void stepLasers();

// Outside the display control (points on its edges count as inside).
bool isOutsideDisplay(int32_t x, int32_t y);

}  // namespace game
