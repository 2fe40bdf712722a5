// The level objects of levels 5 to 8 and the music cues tied to them.
#pragma once

namespace game {

void stepL5Target();
void stepL5Spinner();
void stepL6Stones();
void stepL6Riser();
void stepL7Item();
void stepL7Target();
void stepL7Obstacle();
void stepL7Chasers();
void stepL8Scenery();
void stepL8Descender();

}  // namespace game
