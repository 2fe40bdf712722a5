#include "game/zbrane.h"

#include "game/State.h"

namespace game {

void initWeapons() {
    for (auto& g : shotGroups) {
        g.fireRequest = false;
        g.nextSlot = 1;
        g.cooldown = 0;
        for (auto& s : g.slots) {
            s.idle = true;
            s.angle = 0;
            s.hit = false;
            s.x = 800;
            s.y = 1000;
        }
    }
    for (auto& l : lasers) {
        l.idle = true;
        l.fireRequest = false;
    }
}

// --- NOT YET BUILT: firing, projectile flight and the beams come with a later issue. ---
void requestFire() {}
void stepShotGroup(int g) { (void)g; }
void stepLasers() {}

}  // namespace game
