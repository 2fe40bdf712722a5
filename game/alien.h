// The aliens: group behaviours per level, the hit test against the player's weapons, and
// the aliens' shots and contact with the ship.
#pragma once

#include <cstdint>

namespace media {
class TPictureCollectionItem;
}

namespace game {

struct Alien;

// Where a sprite's point lies in its picture: the top-left corner, the middle of the top edge,
// or the centre.
enum class Anchor { topLeft, topCentre, centre };

// Every alien and level-object draw: the item turned by `angle` and stretched to w x h, with
// its anchor at (x, y), on the back buffer.
void drawSprite(media::TPictureCollectionItem& item, int32_t x, int32_t y, int32_t w, int32_t h, Anchor anchor,
                int angle = 0);
// The same at the record's own point and size.
void drawSprite(media::TPictureCollectionItem& item, const Alien& a, Anchor anchor, int angle = 0);

// The ship's two open boxes: a point on an edge is outside.
bool inContactBox(int32_t x, int32_t y);  // an alien's point: shipX .. shipX + 91, shipY .. shipY + 30
bool inShotBox(int32_t x, int32_t y);     // a shot's point: shipX .. shipX + 90, shipY .. shipY + 35
// Ramming: the record's point inside the contact box destroys the ship.
void shipContact(const Alien& a);

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
