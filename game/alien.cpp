#include "game/alien.h"

#include "game/Between.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/data1.h"
#include "game/State.h"
#include "media/DXImageList.h"

namespace game {

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
            if (strictlyBetween(s.x, left, right) && strictlyBetween(s.y, top, bottom)) {
                hitDamage = 10;
                s.hit = true;
                result = true;
                s.x = 800;
                s.y = 1000;
            }
        }
    }

    // The pod strikes with its centre, wherever it was last left, in every frame it stays.
    if (strictlyBetween(podX + 20, left, right) && strictlyBetween(podY + 20, top, bottom)) {
        result = true;
        hitDamage = 10;
    }

    // The ship beams: only the target's left edge against the beam's span, the beam's height
    // within the target's band widened by 10 pixels, and never at or behind the ship's tail.
    for (int k = 1; k <= 2; ++k) {
        LaserBeam& b = lasers[k];
        if (strictlyBetween(left, b.x1, b.x2) && top < b.y1 + 10 && b.y1 < bottom + 10 && left > shipX) {
            b.hit = true;
            result = true;
            hitDamage = 10;
            b.x2 -= 100;
        }
    }

    // The pod beam, by the side the pod is docked on; a strike moves the beam off the screen.
    // Each test reads the beam as the tests before it left it.
    LaserBeam& p = lasers[3];
    if (podRear && left < podX && strictlyBetween(left, p.x1, p.x2) && top < p.y1 + 10 && p.y1 < bottom + 10) {
        p.hit = true;
        result = true;
        hitDamage = 20;
        p.x2 = -500;
        p.y1 = -100;
    }
    if (podFront && left > podX && strictlyBetween(left, p.x1, p.x2) && top < p.y1 + 10 && p.y1 < bottom + 10) {
        p.hit = true;
        result = true;
        hitDamage = 10;
        p.x2 = -500;
        p.y1 = -100;
    }
    if (podTop && top < podY && strictlyBetween(top, p.y1, p.y2) && left < p.x1 + 10 && p.x1 < right + 10) {
        p.hit = true;
        result = true;
        hitDamage = 20;
        p.x2 = -500;
        p.y1 = -100;
        p.y2 = -100;
    }
    if (podBottom && top > podY && strictlyBetween(top, p.y1, p.y2) && left < p.x1 + 10 && p.x1 < right + 10) {
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

// --- the common steps ------------------------------------------------------------------

namespace {

enum class List { alin, vob };

media::TPictureCollectionItem& image(List list, int index) {
    return list == List::alin ? alinImage(index) : vobImage(index);
}

// One picture of an animation: drawn while the counter is in lo .. hi.
struct Cel {
    int lo, hi, item;
};

struct Animation {
    List list;
    int cycle;
    const Cel* cels;
    int count;
};

constexpr Cel kA12[] = {{1, 3, 0}, {4, 6, 1}, {7, 9, 2}, {10, 12, 3}};
constexpr Cel kA16[] = {{1, 4, 0}, {5, 8, 1}, {9, 12, 2}, {13, 16, 3}};
constexpr Cel kB16[] = {{1, 4, 10}, {5, 8, 11}, {9, 12, 12}, {13, 16, 13}};
constexpr Cel kB20[] = {{1, 5, 5}, {6, 10, 6}, {11, 15, 7}, {16, 20, 8}};
// The blinkers light in the first 24 frames of their 50 and stay dark for the rest.
constexpr Cel kB50[] = {{1, 3, 10},   {13, 15, 10}, {4, 6, 11},   {16, 18, 11},
                        {7, 9, 12},   {19, 21, 12}, {10, 12, 13}, {22, 24, 13}};
constexpr Cel kV16[] = {{1, 4, 0}, {5, 8, 1}, {9, 12, 2}, {13, 16, 3}};
constexpr Cel kV40[] = {{1, 5, 0}, {21, 40, 0}, {6, 10, 1}, {11, 15, 2}, {16, 20, 3}};
// The level-6 machine: a body and, below it, a lower part of its own rhythm.
constexpr Cel kV50Body[] = {{1, 3, 4},   {13, 15, 4}, {4, 6, 5},   {16, 18, 5},
                            {7, 9, 6},   {19, 21, 6}, {10, 12, 7}, {22, 24, 7}};
constexpr Cel kV50Lower[] = {{1, 3, 8}, {25, 32, 8}, {4, 6, 9}, {33, 38, 9}, {39, 44, 10}, {45, 50, 11}};

template <size_t N>
constexpr Animation animation(List list, int cycle, const Cel (&cels)[N]) {
    return {list, cycle, cels, static_cast<int>(N)};
}

constexpr Animation A12 = animation(List::alin, 12, kA12);
constexpr Animation A16 = animation(List::alin, 16, kA16);
constexpr Animation B16 = animation(List::alin, 16, kB16);
constexpr Animation B20 = animation(List::alin, 20, kB20);
constexpr Animation B50 = animation(List::alin, 50, kB50);
constexpr Animation V16 = animation(List::vob, 16, kV16);
constexpr Animation V40 = animation(List::vob, 40, kV40);

void drawCels(List list, const Cel* cels, int count, int anim, int32_t x, int32_t y, int32_t w, int32_t h,
              Anchor anchor) {
    for (int k = 0; k < count; ++k)
        if (anim >= cels[k].lo && anim <= cels[k].hi) drawSprite(image(list, cels[k].item), x, y, w, h, anchor);
}

void advance(Alien& a, int cycle) {
    a.anim += 1;
    if (a.anim > cycle) a.anim = 1;
}

// Draws what the table gives for the counter, then moves the counter on.
void animate(Alien& a, const Animation& t, Anchor anchor) {
    drawCels(t.list, t.cels, t.count, a.anim, a.x, a.y, a.width, a.height, anchor);
    advance(a, t.cycle);
}

void animateMachine(Alien& a) {
    drawCels(List::vob, kV50Body, 8, a.anim, a.x, a.y, a.width, a.height, Anchor::topLeft);
    drawCels(List::vob, kV50Lower, 6, a.anim, a.x + 10, a.y + 110, 120, 49, Anchor::topLeft);
    advance(a, 50);
}

// Eleven frames of explosion over a dead entry, drifting by `drift` (given the frame just
// reached); at frame 12 the entry is parked outside the play area.
template <typename Drift, typename Park>
void explosionStep(Alien& a, Drift drift, Park park) {
    if (!a.dead || a.explodeFrame >= 12) return;
    drawExplosion(a.explodeFrame, a.x - 30, a.y - 30);
    a.explodeFrame += 1;
    drift(a);
    if (a.explodeFrame >= 12) park(a);
}

auto noDrift = [](Alien&) {};
auto fall = [](int dy) { return [dy](Alien& a) { a.y += dy; }; };
auto parkLeft = [](Alien& a) { a.x = -500; };

enum class Threshold { below2, atMost2 };

struct Rect {
    int32_t left, top, width, height;
};
Rect centred(const Alien& a) { return {a.x - a.width / 2, a.y - a.height / 2, a.width, a.height}; }
Rect topLeft(const Alien& a) { return {a.x, a.y, a.width, a.height}; }

// The record's rectangle against the player's weapons: a live entry loses the damage, reacts,
// and dies when its hits fall under the threshold.
template <typename Reaction>
void weaponTest(Alien& a, Rect r, Threshold t, Reaction react) {
    if (!weaponHitTest(r.left, r.top, r.width, r.height) || a.dead) return;
    a.hits -= hitDamage;
    react(a);
    if (t == Threshold::below2 ? a.hits < 2 : a.hits <= 2) a.dead = true;
}

void weaponTest(Alien& a, Rect r, Threshold t) { weaponTest(a, r, t, noDrift); }

// Back in play: full hits, no explosion.
void revive(Alien& a) {
    a.hits = a.maxHits;
    a.explodeFrame = 1;
    a.dead = false;
}

bool clockIn(int32_t lo, int32_t hi) { return levelClock >= lo && levelClock <= hi; }

// --- the aliens' shots ----------------------------------------------------------------------

// Shot pictures cycle through alin items 5, 6, 7, 8.
void nextShotImage(Alien& a) {
    a.shotImage += 1;
    if (a.shotImage > 8 || a.shotImage < 5) a.shotImage = 5;
}

void launchShot(Alien& a, int32_t x, int32_t y) {
    a.shotX = x;
    a.shotY = y;
    a.shotReady = false;
    a.shotFlying = true;
}

void endShot(Alien& a) {
    a.shotReady = true;
    a.shotFlying = false;
}

// The flyers' shot: straight to the left, a little faster than its owner.
void forwardShot(Alien& a) {
    if (a.shotReady && a.x > 0 && a.x < 550 && a.y < 250) launchShot(a, a.x, a.y);
    if (!a.shotFlying) return;
    a.shotX -= a.speed + 4;
    nextShotImage(a);
    drawSprite(alinImage(a.shotImage), a.shotX, a.shotY, 52, 20, Anchor::centre);
    if (inShotBox(a.shotX, a.shotY)) {
        destroyShip();
        a.shotX = 0;
    }
    if (a.shotX < 10) endShot(a);
}

// The climbers' shot: up and to the left at 45 degrees.
void diagonalShot(Alien& a) {
    if (a.shotReady && a.x > 0 && a.x < 550) launchShot(a, a.x + 25, a.y - 10);
    if (!a.shotFlying) return;
    const int32_t step = a.speed / 2 + 2;
    a.shotX -= step;
    a.shotY -= step;
    nextShotImage(a);
    drawSprite(alinImage(a.shotImage), a.shotX, a.shotY, 52, 20, Anchor::centre, 25);
    if (inShotBox(a.shotX, a.shotY)) {
        destroyShip();
        a.shotX = 0;
    }
    if (a.shotX < 10 || a.shotY < 10) endShot(a);
}

// The emplacements' bolt: fired in one part of their 40-frame cycle, flying right; it does not
// follow the scrolling.
void emplacementShot(Alien& a) {
    if (a.shotReady && a.y < 350 && !a.dead && a.anim >= 16 && a.anim <= 20) launchShot(a, a.x + 50, a.y + 100);
    if (!a.shotFlying) return;
    a.shotX += a.speed;
    nextShotImage(a);
    drawSprite(alinImage(a.shotImage), a.shotX, a.shotY, 59, 42, Anchor::centre);
    if (inShotBox(a.shotX, a.shotY)) {
        destroyShip();
        a.shotX = 700;  // not yet past the end: it flies once more, off the screen
    }
    if (a.shotX > 700) endShot(a);
}

// The cannons' shell: it rises from a random column at the bottom, not from the cannon.
void mortarShot(Alien& a) {
    if (a.shotReady && a.x > 0 && levelClock > 23) launchShot(a, Random(640), 350);
    if (!a.shotFlying) return;
    a.shotY -= a.speed + 2;
    drawSprite(alinImage(5), a.shotX, a.shotY, 33, 32, Anchor::topLeft, 190);
    if (inShotBox(a.shotX, a.shotY)) {
        destroyShip();
        a.shotY = 0;
    }
    if (a.shotY < 10) endShot(a);
}

// A struck flyer is knocked 13 pixels away from the middle of the play area.
void knockAside(Alien& a) { a.y += a.y < 200 ? 13 : -13; }

// The flyers of levels 1 and 6, from the explosion on.
void flyerTail(Alien& a) {
    explosionStep(a, fall(5), parkLeft);
    shipContact(a);
    weaponTest(a, centred(a), Threshold::below2, knockAside);
}

}  // namespace

// --- the groups -----------------------------------------------------------------------------

void stepL1GroupA() {
    if (clockIn(1, 44) || clockIn(100, 120)) waveSize = 2;
    const int n = waveSize;
    for (int i = 1; i <= n; ++i) {
        Alien& a = aliensA[i];
        if (!a.dead) animate(a, A12, Anchor::centre);
        if (a.x > -400) a.x -= a.speed;
        // After clock 44 they climb until they reach their height vy.
        if (a.y > a.vy && a.x < 550 && levelClock > 44) a.y -= a.speed;
        forwardShot(a);
        flyerTail(a);
        if (a.x < 0 && spawnWindowA) {
            if (clockIn(1, 44) || clockIn(100, 120)) {
                waveSize = 2;
                a.x = 700;
                a.y = Random(310);
                a.speed = 3 + Random(3);
            }
            if (clockIn(44, 60)) {  // at clock 44 both apply and this one wins
                waveSize = 3;
                a.x = 500 + Random(300);
                a.y = 310;
                a.speed = 3 + Random(3);
            }
            revive(a);
        }
    }
}

void stepL6GroupA() {
    for (int i = 1; i <= 2; ++i) {
        Alien& a = aliensA[i];
        if (!a.dead && a.x > 0) animate(a, A12, Anchor::centre);
        if (a.x > -400) a.x -= a.speed;
        forwardShot(a);
        flyerTail(a);
        if (a.x < 0 && spawnWindowA) {
            a.x = 700;
            a.y = 30 + Random(300);
            a.speed = 3 + Random(3);
            revive(a);
        }
    }
}

void stepClimbers() {
    waveSize = 4;
    for (int i = 1; i <= 3; ++i) {
        Alien& a = aliensB[i];
        if (!a.dead && a.x >= 0 && a.y <= 400) animate(a, B16, Anchor::centre);
        if (a.x > -400) a.x -= a.speed;
        // They rise diagonally to y 310, then fly level.
        if (a.y > 310 && a.x < 550) a.y -= a.speed;
        diagonalShot(a);
        // The wreck is thrown up for four frames, then falls.
        explosionStep(
            a,
            [](Alien& e) {
                if (e.explodeFrame >= 2 && e.explodeFrame <= 5) e.y -= 10;
                if (e.explodeFrame >= 6 && e.explodeFrame <= 12) e.y += 10;
            },
            parkLeft);
        shipContact(a);
        weaponTest(a, centred(a), Threshold::atMost2);
        if (a.x < 0 && spawnWindowB) {
            waveSize = 6;
            a.x = 1000 + Random(1000);
            a.y = 450;
            a.speed = 3 + Random(8);
            revive(a);
        }
    }
}

void stepL2GroupA() {
    for (int i = 1; i <= 3; ++i) {
        Alien& a = aliensA[i];
        // The two emplacements' platforms, drawn again at every entry's turn.
        if (!aliensA[1].dead) drawSprite(vobImage(10), 110, aliensA[1].y + 190, 196, 20, Anchor::topLeft);
        if (!aliensA[2].dead) drawSprite(vobImage(10), 200, aliensA[2].y + 210, 190, 20, Anchor::topLeft);
        if (!a.dead) animate(a, V40, Anchor::topLeft);
        if (a.dead) drawSprite(vobImage(8), a, Anchor::topLeft);  // the wreck
        a.y -= scrollStep;
        emplacementShot(a);
        // Twenty frames of destruction; the wreck stays and scrolls on.
        if (a.dead && a.explodeFrame < 20) {
            drawSprite(vobImage(4 + (a.explodeFrame - 1) / 5), a, Anchor::topLeft);
            a.explodeFrame += 1;
        }
        shipContact(a);
        weaponTest(a, topLeft(a), Threshold::below2, [](Alien& e) {
            drawSprite(vobImage(9), e.x + 3, e.y - 2, 22, e.height, Anchor::topLeft);  // the hit flash
        });
    }
}

void stepL2GroupB() {
    for (int i = 1; i <= 2; ++i) {
        Alien& a = aliensB[i];
        if (!a.dead) animate(a, B16, Anchor::centre);
        a.y -= a.speed;
        explosionStep(a, noDrift, [](Alien& e) { e.y = -500; });
        shipContact(a);
        weaponTest(a, centred(a), Threshold::atMost2);
        if (a.y < 0 && spawnWindowB) {
            a.x = Random(640);
            a.y = 450;
            a.speed = 1 + Random(3);
            revive(a);
        }
    }
}

void stepL3GroupA() {
    for (int i = 1; i <= 2; ++i) {
        Alien& a = aliensA[i];
        animate(a, A12, Anchor::topLeft);
        a.x -= scrollStep;
        if (levelClock > 23) a.x -= 2;
        if (level == 4) a.y += scrollStep;
        mortarShot(a);
        if (a.x + a.width < 0) a.x = 630;
    }
}

void stepL3GroupB() {
    for (int i = 1; i <= 4; ++i) {
        Alien& a = aliensB[i];
        animate(a, B50, Anchor::topLeft);
        a.x -= scrollStep;
    }
}

void stepL3GroupC() {
    for (int i = 1; i <= 4; ++i) {
        Alien& a = aliensC[i];
        if (!a.dead) {
            drawSprite(alinImage(4), a, Anchor::topLeft);
            a.x -= a.speed;  // a dead one stands still
        }
        explosionStep(a, noDrift, parkLeft);
        shipContact(a);
        weaponTest(a, topLeft(a), Threshold::below2, [](Alien& e) { e.y += 2; });
        if (a.x < 0 && spawnWindowC) {
            a.x = 700;
            a.speed = 10 + Random(10);
            a.y = 135;
            revive(a);
        }
    }
}

void stepL3GroupD() {
    for (int i = 1; i <= 2; ++i) {
        Alien& a = aliensD[i];
        // Low in the play area the jumper is not drawn, but it can still strike and be struck.
        if (!a.dead && a.y < 300) drawSprite(alinImage(6), a, Anchor::topLeft, a.angle);
        if (a.x > -400 && !a.dead) a.x -= a.speed;
        a.y += a.vy;
        if (a.y > 320)
            a.angle = 20;
        else
            a.angle -= 3;
        if (a.y > 340) a.vy = -10;
        if (a.y < 200) a.vy = 12;
        explosionStep(a, fall(10), parkLeft);
        shipContact(a);
        weaponTest(a, topLeft(a), Threshold::atMost2);
        if (a.x < 0 && spawnWindowD) {
            a.x = 640;
            a.y = 350;
            a.angle = 0;
            a.speed = 8 + Random(8);
            revive(a);
        }
    }
}

void stepL4GroupB() {
    const int n = waveSize;
    for (int i = 1; i <= n; ++i) {
        Alien& a = aliensB[i];
        if (!a.dead) animate(a, B20, Anchor::topCentre);
        if (a.x < 700) a.x += a.speed;
        a.y += a.vy;
        if (a.y > 260) a.vy = -8;
        if (a.y < 100) a.vy = 8;
        // Each frame a bouncer spends high up near the left edge starts the level's tune.
        if (a.y < 100 && a.x > 10 && a.x < 100) playMusic(Music::first);
        explosionStep(a, fall(2), [](Alien& e) { e.x = 800; });
        shipContact(a);
        // Tested as a top-left rectangle although it is drawn top-centred.
        weaponTest(a, topLeft(a), Threshold::atMost2);
        if (a.x > 700 && spawnWindowB) {
            a.x = -Random(500);
            a.y = 260;
            a.speed = 3 + Random(8);
            revive(a);
        }
    }
}

void stepL5GroupA() {
    Alien& a = aliensA[1];
    animate(a, A16, Anchor::topLeft);
    a.y -= a.vy;
    shipContact(a);
    if (a.y < -50 && spawnWindowA) a.y = 400;  // the pillar cannot be destroyed
}

void stepFallingStones() {
    const int n = waveSize;
    for (int i = 1; i <= n; ++i) {
        Alien& a = aliensB[i];
        if (!a.dead) drawSprite(alinImage(4), a, Anchor::topLeft, a.angle);
        a.y += a.vy;
        if (level == 5)
            a.angle = 0;
        else
            a.angle += 1;  // the stones of level 8 spin
        // Parked at 400, not yet past the respawn line: a dead stone falls on a little first.
        explosionStep(a, fall(2), [](Alien& e) { e.y = 400; });
        shipContact(a);
        weaponTest(a, topLeft(a), Threshold::atMost2);
        if (a.y > 400 && spawnWindowB) {
            a.x = 300 + Random(300);
            a.y = -50;
            playMusic(Music::second);
            a.vy = 2 + Random(6);
            revive(a);
        }
    }
}

void stepL6Hazard() {
    animate(levelObject, V16, Anchor::topLeft);
    levelObject.x -= scrollStep;
    shipContact(levelObject);
}

void stepL6Machine() {
    animateMachine(aliensC[1]);
    aliensC[1].x -= scrollStep;
}

}  // namespace game
