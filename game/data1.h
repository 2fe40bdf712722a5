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
// The tick in which setupScene last ran (a scene's set-up may allocate; a tick after it not).
extern uint32_t lastSetupTick;
// Told when a set-up starts (false) and when it has ended (true), even by an error; the
// program's timedemo times the set-ups with it.
using SetupObserver = void (*)(bool done);
extern SetupObserver setupObserver;

void drawExplosion(uint32_t frame, int32_t x, int32_t y);
void drawStars();
void refillLives();
void showLives();
void clearPodDock();
void hideFaces();

}  // namespace game
