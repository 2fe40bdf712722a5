// Set pieces of the level backdrops: buildings, machines and natural landmarks, drawn with Cairo
// into the scenery (never into the deadly terrain, which the levels paint over them).
#pragma once

#include <cstdint>

#include "tools/assets/Canvas.h"

namespace assets {

// Small parts.
void FillWith(Canvas& c, Rgb k, double a = 1);  // fills the current path
void Glow(Canvas& c, double x, double y, double r, Rgb k, double a = 0.9);
void Beam(Canvas& c, double x0, double y0, double x1, double y1, double w, Rgb k);  // steel with a lit edge
void Truss(Canvas& c, double x0, double y0, double x1, double y1, double depth, Rgb k);  // lattice girder
void Chain(Canvas& c, double x0, double y0, double x1, double y1, Rgb k);
void Window(Canvas& c, double x, double y, double w, double h, Rgb light, Rgb frame);

// Level 1: a planet's crystal plain.
void CrashedShip(Canvas& c, double x, double y, double len);
void Colony(Canvas& c, double x, double ground, uint32_t seed);
void PitHead(Canvas& c, double x, double ground);  // the head frame over the gun shaft
// Level 2: the shaft.
void LiftCage(Canvas& c, double x, double y);
void Fan(Canvas& c, double x, double y, double r);
void Bracket(Canvas& c, double x0, double deck, double x1, double wallX, Rgb k);  // a deck carried by a strut
void Emitter(Canvas& c, double x, double y, bool facesRight, double armToX);
// Level 3: the canyon.
void RockArch(Canvas& c, double x, double base, double w, double h, Rgb rock);
void Derrick(Canvas& c, double x, double ground, double h);
void WaterTower(Canvas& c, double x, double ground);
void CaveMouth(Canvas& c, double x, double y, double w, double h);
void LampMount(Canvas& c, double x, double roof, double hangY);  // a steel anchor through the roof
// Level 4: the cave.
void Timbering(Canvas& c, double x, double roof, double floor);
void Geode(Canvas& c, double x, double y, double r, uint32_t seed);
void CrystalCluster(Canvas& c, double x, double y, double dirX, double dirY, double size, uint32_t seed);
// Level 5: the chasm.
void Scaffold(Canvas& c, double x, double y, double w, double h);
void Ammonite(Canvas& c, double x, double y, double r);
void CliffDwellings(Canvas& c, double x, double y, double w, double h, uint32_t seed);
void FactoryUnderside(Canvas& c, double w, double y0, double y1);
// Level 6: the factory.
void Furnace(Canvas& c, double x, double floor, double w, double roof);
void ControlRoom(Canvas& c, double x, double y, double w, double h, uint32_t seed);
void Tanks(Canvas& c, double x, double floor, int n);
void Hydraulics(Canvas& c, double x, double roof, double w, double bottom, double guides);
void Gear(Canvas& c, double x, double y, double r, int teeth, Rgb k);
void Crane(Canvas& c, double x, double roof, double hookY);
void Gate(Canvas& c, double x, double roof, double w, double floor, bool fortress);
// Level 7: the fortress.
void Column(Canvas& c, double x, double top, double w, double floor, Rgb stone);
void Statue(Canvas& c, double x, double floor, double h, Rgb glow);
void RoseWindow(Canvas& c, double x, double y, double r, Rgb glow);
void Banner(Canvas& c, double x, double y, double w, double h, Rgb cloth, Rgb sign);
void Torch(Canvas& c, double x, double y, Rgb flame);
void Breach(Canvas& c, double x, double y, double w, double h, uint32_t seed);
// Level 8: space.
void StationWreck(Canvas& c, double x, double y, double r);
void Comet(Canvas& c, double x, double y, double len, double angle);
void Satellite(Canvas& c, double x, double y, double size);

}  // namespace assets
