#include "game/zbrane.h"

#include "game/Main.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"

namespace game {

namespace {

// Items of lod that the projectiles show.
constexpr int kNab1 = 5;  // small shot, 15 x 4
constexpr int kNab2 = 6;  // upward and downward shot, 26 x 19
constexpr int kNab3 = 7;  // heavy shot, 26 x 19

constexpr media::TColor kCyan = 0xFFFF00;  // the ship's beams
constexpr media::TColor kRed = 0x0000FF;   // the pod's beam

// A launch needs the cool-down above the gate; the counter wraps above the wrap value.
// Groups 1 to 4 can launch every 5 frames, the heavy shot every 6.
int gateOf(int g) { return g == 5 ? 4 : 3; }
int wrapOf(int g) { return g == 5 ? 5 : 4; }

void park(Shot& s) {
    s.idle = true;
    s.x = 800;
    s.y = 1000;
}

// Puts the projectile at its group's launch point and plays the group's launch sound.
void launch(int g, Shot& s) {
    switch (g) {
        case 1:
            if (weaponLevel < 5) {
                s.x = shipX + 84;
                s.y = shipY + 15;
                if (weaponLevel <= 2) playEffect(Effect::kul);
                if (weaponLevel == 3 || weaponLevel == 4) playEffect(Effect::raket1);
            } else {
                s.x = shipX + 25;
                s.y = shipY + 18;
            }
            break;
        case 2:
            s.x = shipX + 12;
            s.y = shipY + 6;
            break;
        case 3:
            s.x = shipX + 33;
            s.y = shipY + 5;
            s.angle = 255;
            break;
        case 4:
            s.x = shipX + 28;
            s.y = shipY + 15;
            s.angle = 0;
            break;
        case 5:
            s.x = shipX + 25;
            s.y = shipY - 8;
            playEffect(Effect::raket2);
            playEffect(Effect::kul);
            break;
        default: break;
    }
}

// Moves a projectile in flight by its group's step and draws it.
void moveAndDraw(int g, Shot& s) {
    media::TDirectDrawSurface& dest = backBuffer();
    switch (g) {
        case 1:
            s.x += 12;
            lodImage(weaponLevel >= 5 ? kNab3 : kNab1).Draw(dest, s.x, s.y, 0);
            break;
        case 2: {
            s.x -= 12;
            media::TPictureCollectionItem& img = lodImage(kNab1);
            s.width = img.Width();
            s.height = img.Height();
            img.DrawRotated(dest, s.x, s.y, s.width, s.height, 0, 0.0, 0.0, 129, 255);
            break;
        }
        case 3:
        case 4: {
            s.y += g == 3 ? -12 : 12;
            media::TPictureCollectionItem& img = lodImage(kNab2);
            s.width = img.Width();
            s.height = img.Height();
            img.DrawRotated(dest, s.x, s.y, s.width, s.height, 0, 0.5, 0.5, s.angle, 255);
            // The upward shot turns from 255 down to 195, the downward one from 0 up to 70.
            if (g == 3 && s.angle > 205) s.angle -= 12;
            if (g == 4 && s.angle < 63) s.angle += 10;
            break;
        }
        case 5:
            s.x += 12;
            lodImage(kNab3).Draw(dest, s.x, s.y, 0);
            break;
        default: break;
    }
}

// The start rule of a beam: a pending request on an idle beam starts it.
bool starts(const LaserBeam& l) { return l.fireRequest && l.idle; }

void start(LaserBeam& l) {
    l.hit = false;
    l.idle = false;
    l.fireRequest = false;
}

void end(LaserBeam& l) {
    l.idle = true;
    l.fireRequest = false;
}

bool between(int v, int lo, int hi) { return v >= lo && v <= hi; }

// The pod beam's sound when it starts backwards, upwards or downwards: every fourth frame of
// the pod's animation cycle.
void podBeamSound() {
    if (podAnim == 4 || podAnim == 8 || podAnim == 12 || podAnim == 16) playEffect(Effect::laser2);
}

// One of the two ship beams: it grows from the ship by 80 pixels a frame up to x2 = 550 (or
// until it strikes), then its back end catches up. Both ends are measured from shipX.
void stepShipBeam(LaserBeam& l, int yOffset, bool sound, Effect effect) {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    if (starts(l)) {
        if (sound) playEffect(effect);
        l.y1 = shipY + yOffset;
        l.x1 = 7;
        l.x2 = shipX - 7;
        start(l);
    }
    if (l.idle) return;
    l.y1 = shipY + yOffset;
    c.MoveTo(shipX + l.x1, l.y1);
    if (l.x2 < 550 && !l.hit) l.x2 += 80;
    if (l.x2 >= 550 || l.hit) l.x1 += 80;
    c.LineTo(shipX + l.x2, l.y1);
    if (l.x1 >= l.x2) end(l);
}

// The pod beam in the pod's docking direction, jumping by up to 29 pixels across its line.
void stepPodBeam() {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    LaserBeam& l = lasers[3];
    if (podFront) {
        if (starts(l)) {
            l.y1 = podY;
            l.x1 = podX + 30;
            l.x2 = podX;
            start(l);
        }
        if (!l.idle) {
            l.y1 = podY + 5 + Random(30);
            c.MoveTo(l.x1, l.y1);
            if (l.x2 < 480 && !l.hit) {
                l.x2 += 80;
                c.LineTo(podX + l.x2, l.y1);
            }
            if (l.x2 >= 470 || l.hit) end(l);
        }
    }
    if (podRear) {
        if (starts(l)) {
            podBeamSound();
            l.y1 = podY + 20;
            l.x1 = podX - 10;
            l.x2 = podX;
            start(l);
        }
        if (!l.idle) {
            l.y1 = podY + 5 + Random(30);
            c.MoveTo(l.x1, l.y1);
            if (!l.hit) {
                l.x1 -= 80;
                c.LineTo(podX, l.y1);
            }
            if (l.x1 <= 0 || l.hit) end(l);
        }
    }
    if (podTop) {
        if (starts(l)) {
            podBeamSound();
            l.y1 = podY;
            l.y2 = podY - 5;
            l.x1 = podX;
            l.x2 = 2;
            start(l);
        }
        if (!l.idle) {
            l.x1 = podX - 33 + Random(30);
            c.MoveTo(l.x1, l.y1);
            if (!l.hit) {
                l.y1 -= 80;
                c.LineTo(l.x1, l.y2);
            }
            if (l.y1 <= 0 || l.hit) end(l);
        }
    }
    if (podBottom) {
        if (starts(l)) {
            podBeamSound();
            l.y1 = podY + 20;
            l.y2 = podY + 20;
            l.x1 = podX + 30;
            l.x2 = podX;
            start(l);
        }
        if (!l.idle) {
            l.x1 = podX - 33 + Random(30);
            c.MoveTo(l.x1, l.y1);
            if (l.y2 < 350 && !l.hit) {
                l.y2 += 80;
                c.LineTo(l.x1, l.y2);
            }
            if (l.y2 >= 350 || l.hit) end(l);
        }
    }
}

}  // namespace

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

void requestFire() {
    for (int g = 1; g <= weaponLevel && g <= 5; ++g) shotGroups[g].fireRequest = true;
    if (weaponLevel > 5)
        for (auto& l : lasers) l.fireRequest = true;
}

void stepShotGroup(int g) {
    ShotGroup& group = shotGroups[g];
    if (group.fireRequest && group.cooldown > gateOf(g)) {
        Shot& s = group.slots[group.nextSlot];
        // The heavy shot waits while its fifteenth projectile is still short of x = 600.
        if (s.idle && (g != 5 || shotGroups[5].slots[15].x > 600)) {
            launch(g, s);
            s.idle = false;
        }
        group.nextSlot += 1;  // a busy slot costs the launch
    }
    group.cooldown += 1;
    flyShotGroup(g);
    if (group.nextSlot > 15) group.nextSlot = 1;
    group.fireRequest = false;
    if (group.cooldown > wrapOf(g)) group.cooldown = 0;
}

void flyShotGroup(int g) {
    ShotGroup& group = shotGroups[g];
    for (int i = 1; i <= 15; ++i) {
        Shot& s = group.slots[i];
        // Tested before the move: a projectile is drawn once beyond the edge, freed next frame.
        if (isOutsideDisplay(s.x, s.y)) {
            park(s);
            if (g == 3 || g == 4) s.hit = false;
        }
        if (s.hit) {
            // A struck forward, rear or heavy shot stops its group's pass for this frame.
            park(s);
            s.hit = false;
            return;
        }
        if (!s.idle) moveAndDraw(g, s);
    }
}

void stepLasers() {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    c.Pen.Color = kCyan;
    stepShipBeam(lasers[1], -16, between(podAnim, 1, 4) || between(podAnim, 6, 10), Effect::laser);
    stepShipBeam(lasers[2], 48, between(podAnim, 10, 12) || between(podAnim, 14, 16), Effect::laser3);
    c.Pen.Color = kRed;
    stepPodBeam();
    c.Release();
}

bool isOutsideDisplay(int32_t x, int32_t y) {
    const media::TDXDraw& d = MainForm->DXDraw;
    return x < 0 || x > d.Width() || y < 0 || y > d.Height();
}

}  // namespace game
