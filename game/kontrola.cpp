#include "game/kontrola.h"

#include "game/Main.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"
#include "game/alien.h"
#include "game/data1.h"
#include "media/DXSound.h"

namespace game {

namespace {

// --- the destructible objects: the level-5 target, the level-7 target and obstacle ---------

// One frame of the explosion that runs over the object while its counter is under 12 (the
// caller tests that first, so that the random point is drawn only then); a strike that finds
// it finished starts it again.
void explosionFrame(Alien& o, int32_t x, int32_t y) {
    drawExplosion(o.explodeFrame, x, y);
    o.explodeFrame += 1;
}

// The object absorbs whatever strikes its rectangle in every frame, alive or not; a live one
// loses one hit per struck frame, whatever the damage. Returns whether it took the hit.
bool takesHit(Alien& o, bool damageAllowed) {
    if (!weaponHitTest(o.x, o.y, o.width, o.height) || o.dead || !damageAllowed) return false;
    o.hits -= 1;
    return true;
}

// After the hit: the explosion again, and the fall under 2 hits once the clock is past the
// object's threshold.
void afterHit(Alien& o, int32_t threshold) {
    if (o.explodeFrame > 11) o.explodeFrame = 1;
    if (o.hits < 2 && levelClock > threshold) o.dead = true;
}

// The fallen object turns back one step a frame, from 0 through 255 down to 192, where it rests.
void turnFall(Alien& o) {
    if (o.angle != 192) o.angle -= 1;
}

}  // namespace

void stepL5Target() {
    Alien& o = levelObject;
    if (!o.dead) {
        drawSprite(vobImage(0), o, Anchor::topLeft);
    } else {
        drawSprite(vobImage(0), o.x - 30, o.y, o.width, o.height, Anchor::topLeft, o.angle);
        turnFall(o);
    }
    o.y += scrollStep;
    if (o.angle == 196) playMusic(Music::first);  // 60 frames after the fall
    shipContact(o);
    if (o.explodeFrame < 12) explosionFrame(o, o.x + Random(o.width), o.y);
    // It takes damage only before clock 18 and can fall only after clock 15.
    if (takesHit(o, levelClock < 18)) afterHit(o, 15);
}

void stepL5Spinner() {
    Alien& s = aliensC[1];
    drawSprite(vobImage(1), s, Anchor::centre, s.angle);
    s.y += scrollStep;
    s.angle += 1;
}

void stepL6Stones() {
    const int32_t t3 = bgTiles[3].x;
    const int32_t t4 = bgTiles[4].x;
    if (t4 + 220 < 0) return;
    for (Stone& s : stones) {
        drawSprite(alinImage(16), s.x, 226, s.width, s.height, Anchor::topLeft);  // always at one height
        s.x += s.speed;
        if (levelClock == 21) {
            playMusic(Music::second);
            music(Music::first).SetLooped(false);
        }
        if (s.x > 640 || s.x > t4 + 205) {
            // Back to the start of the stream; after clock 41 from the left edge.
            s.x = t3 - 275;
            if (levelClock > 41) s.x = 0;
            s.speed = 3 + Random(5);
            s.width = 20;
            s.height = 20;
        }
    }
}

void stepL6Riser() {
    Alien& r = aliensD[1];
    const int32_t t4 = bgTiles[4].x;
    const int32_t t5 = bgTiles[5].x;
    const int32_t t6 = bgTiles[6].x;
    if (t6 < 640 || t4 > 600) return;
    // vy is the growth: the riser comes up 365 pixels into tile 4, grows, then leaves right.
    drawSprite(vobImage(12), r.x, r.y, r.width + r.vy, r.height + r.vy, Anchor::centre);
    if (r.y > 305) {
        r.y -= 4;
        r.x = t4 + 365;
    }
    if (r.y <= 305) {
        if (r.vy < 15) {
            r.vy += 2;
            r.x = t4 + 365;
        }
        if (r.vy >= 15) r.x += 20;
    }
    if (r.x > t5 + 165) {
        r.y = 400;
        r.x = t4 + 365;
        r.vy = 0;
    }
}

void stepL7Item() {
    Alien& item = aliensC[1];
    media::TImage& recept = MainForm->recept;
    if (recept.Visible) return;  // taken: gone for the rest of the level
    drawSprite(alinImage(16), item, Anchor::topLeft);
    item.x -= scrollStep;
    // Taken inside the ship's box widened by 20 to the left, above and below and by 9 to the right.
    if (shipX - 20 < item.x && item.x < shipX + 100 && shipY - 20 < item.y && item.y < shipY + 50)
        recept.Visible = true;
}

void stepL7Target() {
    Alien& o = aliensD[1];
    if (!o.dead) drawSprite(alinImage(14), o, Anchor::topLeft);  // fallen, it is not drawn at all
    o.x -= scrollStep;
    shipContact(o);
    if (o.explodeFrame < 12) explosionFrame(o, o.x + Random(o.width), o.y);
    if (takesHit(o, true)) {
        drawSprite(alinImage(15), o, Anchor::topLeft);  // the hit flash
        afterHit(o, 32);
    }
    if (levelClock == 20) playMusic(Music::first);
    if (levelClock == 33) music(Music::first).SetLooped(false);
}

void stepL7Obstacle() {
    Alien& o = levelObject;
    if (!o.dead) {
        drawSprite(vobImage(0), o, Anchor::topCentre);
    } else {
        drawSprite(vobImage(0), o, Anchor::topCentre, o.angle);
        if (o.angle == 196) {  // the frame in which 196 is drawn
            music(Music::second).SetLooped(true);
            playMusic(Music::second);
        }
        turnFall(o);
    }
    o.x -= scrollStep;
    shipContact(o);
    if (o.explodeFrame < 12) explosionFrame(o, o.x, o.y + Random(o.height));
    if (takesHit(o, true)) afterHit(o, 61);
}

void stepL7Chasers() {
    for (int i = 1; i <= 3; ++i) {
        Alien& c = aliensA[i];
        if (!c.dead) drawSprite(alinImage(0), c, Anchor::topLeft);
        c.x += c.speed;  // from the left to the right
        // They follow the ship's height, dead or alive.
        if (shipY < c.y) c.y -= c.vy;
        if (shipY > c.y) c.y += c.vy;
        if (c.dead && c.explodeFrame < 12) {
            drawExplosion(c.explodeFrame, c.x - 30, c.y - 30);
            c.explodeFrame += 1;
            c.y += 2;
            if (c.explodeFrame >= 12) c.x = 800;
        }
        shipContact(c);
        if (weaponHitTest(c.x, c.y, c.width, c.height) && !c.dead) {
            c.hits -= hitDamage;
            if (c.hits <= 2) c.dead = true;
        }
        if (c.x > 700 && spawnWindowA) {
            c.x = -Random(700);
            c.hits = c.maxHits;
            c.y = -150;
            c.explodeFrame = 1;
            c.dead = false;
            c.vy = 3 + Random(6);
            c.speed = 5 + Random(7);
            c.anim = Random(2);
            if (c.anim == 0) c.y = 400;  // half come from above the display, half from below
        }
    }
}

void stepL8Scenery() {
    Alien& o = levelObject;
    // Four pictures of five frames each.
    if (o.anim >= 1 && o.anim <= 20) drawSprite(vobImage((o.anim - 1) / 5), o, Anchor::topLeft);
    o.anim += 1;
    if (o.anim > 20) o.anim = 1;
    o.y += scrollStep;
}

void stepL8Descender() {
    Alien& d = aliensA[1];
    // Four pictures of three frames each.
    if (d.anim >= 1 && d.anim <= 12) drawSprite(alinImage((d.anim - 1) / 3), d, Anchor::topLeft);
    d.anim += 1;
    if (d.anim > 12) d.anim = 1;
    if (d.y < 0) d.y += scrollStep;  // down with the scenery until its top reaches the display's
    if (levelClock == 52) music(Music::first).SetLooped(false);
    if (levelClock > 41) d.y += scrollStep;
    // Only two sides: anywhere left of its right edge and above its bottom edge is deadly.
    if (shipX < d.x + d.width && shipY < d.y + d.height) destroyShip();
}

}  // namespace game
