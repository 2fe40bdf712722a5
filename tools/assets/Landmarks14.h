// Set pieces and terrain shapes of the first sector (the crystal plain at dusk) and of the fourth
// (the blue cave): scenery drawn with Cairo into the backdrop, and the solid shapes and crystal
// facets that give each stretch of their terrain a face of its own.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "tools/assets/Canvas.h"
#include "tools/assets/Terrain.h"

namespace assets {

// ------------------------------------------------------------------ terrain shapes

// Fills the solid map inside a polygon (world coordinates).
void SolidPolygon(World& w, const std::vector<std::pair<double, double>>& pts);
// A crystal shard: a long diamond from (x0, y0) to (x1, y1), `width` across at its widest.
void SolidShard(World& w, double x0, double y0, double x1, double y1, double width);
// A floating island: a flat-topped rock whose underside tapers into a hanging point.
void SolidIsland(World& w, double cx, double top, double halfW, double depth, uint32_t seed);
// Crystal ground seen from the side: small facets just under the surface, larger ones deeper
// down, each layer parted from the next by a seam. True where a lime line runs.
bool LayeredCrystal(int x, int depthBelowSurface, uint32_t seed);

// ------------------------------------------------------------------ the crystal plain

// A ridge of hills from x0 to x1 over `base`, filled in `body` with its sunward edge lit.
void Ridge(Canvas& c, double x0, double x1, double base, double amp, double scale, uint32_t seed, Rgb body, Rgb rim);
void SunsetClouds(Canvas& c, double x0, double x1, double yTop, double yBottom, uint32_t seed);
void Beacon(Canvas& c, double x, double ground, double h);
void StandingStones(Canvas& c, double x, double ground, uint32_t seed);
void AlienFlora(Canvas& c, double x, double ground, double w, uint32_t seed);
void RadioDish(Canvas& c, double x, double ground, double r);
void Volcano(Canvas& c, double x, double base, double w, double h);
void Pylons(Canvas& c, double x0, double x1, double ground, double h, int n);
void SunsetLake(Canvas& c, double x0, double x1, double y, double h, uint32_t seed);

// ------------------------------------------------------------------ the cave

void Crates(Canvas& c, double x, double floor, int n, uint32_t seed);
void MineCart(Canvas& c, double x, double rail);
void Rails(Canvas& c, double x0, double x1, double y);
void StringLights(Canvas& c, double x0, double y0, double x1, double y1, int n, double sag);
void Winch(Canvas& c, double x, double y, double ropeTo);
void Waterfall(Canvas& c, double x, double top, double bottom, double w, uint32_t seed);
void Mushrooms(Canvas& c, double x, double floor, double w, int n, uint32_t seed);
void Carvings(Canvas& c, double x, double y, double w, double h, uint32_t seed);
void CaveColumns(Canvas& c, double x0, double x1, double top, double bottom, uint32_t seed, Rgb body, Rgb rim);

}  // namespace assets
