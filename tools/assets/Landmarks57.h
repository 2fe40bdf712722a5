// Set pieces of the chasm (level 5) and of the fortress after its guardian has fallen (level 7's
// second picture set), drawn with Cairo into the scenery, never into the deadly terrain.
#pragma once

#include <cstdint>

#include "tools/assets/Canvas.h"

namespace assets {

// Level 5: the chasm.
// The back wall at a point of the chasm (world size w x h): far rock in haze between buttresses
// of nearer rock lit from the left, banded by height as the chasm rises toward the factory.
Rgb ChasmWall(int x, int y, int w, int h, uint32_t seed);
void CrushedLift(Canvas& c, double x, double floor, double cableTop);  // the factory's lift car fallen to the floor
void Sandfall(Canvas& c, double x, double y0, double y1, double w, uint32_t seed);  // pouring from a cleft in the wall
void RopeBridge(Canvas& c, double x0, double x1, double y, double sag);  // a broken plank bridge between the walls
void FossilSkeleton(Canvas& c, double x, double y, double len);  // a long-necked skeleton set in the wall
void GlowWorms(Canvas& c, double x, double y, double w, double h, uint32_t seed);  // threads of light under an overhang
void RockNet(Canvas& c, double x0, double x1, double y, double sag, uint32_t seed);  // catches falling rock
void MineralVein(Canvas& c, double x0, double y0, double x1, double y1, Rgb k, uint32_t seed);

// Level 7 after the fall: the fortress shaken, burning and breaking up.
Rgb ScorchedBrick(int x, int y, uint32_t seed);  // the back wall's brickwork, sooted and lit by fire below
void FireCrack(Canvas& c, double x, double y, double len, double angle, uint32_t seed);  // a fissure glowing with embers
void Flames(Canvas& c, double x, double floor, double w, double h, uint32_t seed);
void SmokePlume(Canvas& c, double x, double y0, double y1, double w, uint32_t seed);  // rising from y0 up to y1
void BrokenColumn(Canvas& c, double x, double top, double w, double floor, Rgb stone, uint32_t seed);
void ToppledStatue(Canvas& c, double x, double floor, double h);  // the warden fallen from its plinth
void ShatteredRoseWindow(Canvas& c, double x, double y, double r);  // its glass gone, fire behind it
void AlarmBeacon(Canvas& c, double x, double y);  // a red lamp on a bracket throwing its beams
void Rubble(Canvas& c, double x, double floor, double w, uint32_t seed);
void FallenCage(Canvas& c, double x, double floor, double chainTop);  // its chain snapped, lying on the floor
void BurntBanner(Canvas& c, double x, double y, double w, double h);

}  // namespace assets
