#include "game/alien.h"

#include "game/Pictures.h"
#include "game/State.h"
#include "media/DXImageList.h"

namespace game {

namespace {

// Strictly between: a value on an edge is outside.
bool inside(int32_t v, int32_t lo, int32_t hi) { return lo < v && v < hi; }

}  // namespace

// Every test below runs, in this order, and later ones may overwrite hitDamage. What struck
// is consumed: a projectile is parked, a beam is flagged and cut back.
bool weaponHitTest(int32_t left, int32_t top, int32_t width, int32_t height) {
    bool result = false;
    const int32_t right = left + width;
    const int32_t bottom = top + height;

    // Projectiles are points. The damage is set back to 2 for every group, so it stays 10
    // only when the heavy shot (the last group) struck.
    for (int g = 1; g <= 5; ++g) {
        hitDamage = 2;
        for (Shot& s : shotGroups[g].slots) {
            if (inside(s.x, left, right) && inside(s.y, top, bottom)) {
                hitDamage = 10;
                s.hit = true;
                result = true;
                s.x = 800;
                s.y = 1000;
            }
        }
    }

    // The pod strikes with its centre, wherever it was last left, in every frame it stays.
    if (inside(podX + 20, left, right) && inside(podY + 20, top, bottom)) {
        result = true;
        hitDamage = 10;
    }

    // The ship beams: only the target's left edge against the beam's span, the beam's height
    // within the target's band widened by 10 pixels, and never at or behind the ship's tail.
    for (int k = 1; k <= 2; ++k) {
        LaserBeam& b = lasers[k];
        if (inside(left, b.x1, b.x2) && top < b.y1 + 10 && b.y1 < bottom + 10 && left > shipX) {
            b.hit = true;
            result = true;
            hitDamage = 10;
            b.x2 -= 100;
        }
    }

    // The pod beam, by the side the pod is docked on; a strike moves the beam off the screen.
    // Each test reads the beam as the tests before it left it.
    LaserBeam& p = lasers[3];
    if (podRear && left < podX && inside(left, p.x1, p.x2) && top < p.y1 + 10 && p.y1 < bottom + 10) {
        p.hit = true;
        result = true;
        hitDamage = 20;
        p.x2 = -500;
        p.y1 = -100;
    }
    if (podFront && left > podX && inside(left, p.x1, p.x2) && top < p.y1 + 10 && p.y1 < bottom + 10) {
        p.hit = true;
        result = true;
        hitDamage = 10;
        p.x2 = -500;
        p.y1 = -100;
    }
    if (podTop && top < podY && inside(top, p.y1, p.y2) && left < p.x1 + 10 && p.x1 < right + 10) {
        p.hit = true;
        result = true;
        hitDamage = 20;
        p.x2 = -500;
        p.y1 = -100;
        p.y2 = -100;
    }
    if (podBottom && top > podY && inside(top, p.y1, p.y2) && left < p.x1 + 10 && p.x1 < right + 10) {
        p.hit = true;
        result = true;
        hitDamage = 20;
        p.x2 = -500;
        p.y2 = -500;
        p.y1 = -100;
    }
    return result;
}

void drawSprite(media::TPictureCollectionItem& item, int32_t x, int32_t y, int32_t w, int32_t h, Anchor anchor,
                int angle) {
    const double cx = anchor == Anchor::topLeft ? 0.0 : 0.5;
    const double cy = anchor == Anchor::centre ? 0.5 : 0.0;
    item.DrawRotated(backBuffer(), x, y, w, h, 0, cx, cy, angle, 255);
}

void drawSprite(media::TPictureCollectionItem& item, const Alien& a, Anchor anchor, int angle) {
    drawSprite(item, a.x, a.y, a.width, a.height, anchor, angle);
}

bool inContactBox(int32_t x, int32_t y) { return shipX < x && x < shipX + 91 && shipY < y && y < shipY + 30; }

bool inShotBox(int32_t x, int32_t y) { return shipX < x && x < shipX + 90 && shipY < y && y < shipY + 35; }

void shipContact(const Alien& a) {
    if (inContactBox(a.x, a.y)) destroyShip();
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
