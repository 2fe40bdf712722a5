// Scene and level set-up, and the small shared routines: explosions, the star field and
// the HUD (lives, faces), and the reset of the pod's docking flags.
#pragma once

#include <cstdint>

namespace game {

// The new-game reset; run once, by the form's creation handler.
void resetGame();
// Prepares whatever scene the scene flags select: the story, the title or menu, or the
// level `level`. Never changes the flags or `level` itself.
void setupScene();

void drawExplosion(uint32_t frame, int32_t x, int32_t y);
void drawStars();
void refillLives();
void showLives();
void clearPodDock();
void hideFaces();

}  // namespace game
