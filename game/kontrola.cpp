#include "game/kontrola.h"

#include "game/State.h"

namespace game {

// --- NOT YET BUILT: the level objects of levels 5 to 8 come with a later issue. ---
void stepL5Target() {}
void stepL5Spinner() {}
void stepL6Stones() {}
void stepL6Riser() {}
void stepL7Item() {}
void stepL7Target() {}
void stepL7Obstacle() {}
void stepL7Chasers() {}
void stepL8Scenery() {}
void stepL8Descender() {}

}  // namespace game
