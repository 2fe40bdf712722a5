// The terrain and backdrop helpers of the level worlds. A world is one continuous picture of a
// level with a map of its solid (deadly) pixels; the helpers shape that map, paint it in the two
// collision colours, and draw the harmless backdrop behind it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/assets/Canvas.h"

namespace assets {

struct World {
    int w, h;
    Canvas canvas;
    std::vector<uint8_t> solid;
    World(int W, int H) : w(W), h(H), canvas(W, H), solid(static_cast<size_t>(W) * H, 0) {}
    uint8_t& S(int x, int y) { return solid[static_cast<size_t>(y) * w + x]; }
    bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// ------------------------------------------------------------------ terrain helpers

void SolidRect(World& w, int x0, int y0, int x1, int y1);
void ClearRect(World& w, int x0, int y0, int x1, int y1);
// A rough rock: an ellipse with a noisy rim.
void SolidBlob(World& w, double cx, double cy, double rx, double ry, uint32_t seed);
// A spike hanging down from y0 to y1 (or standing up when y1 < y0), base width bw.
void SolidSpike(World& w, double cx, double y0, double y1, double bw, uint32_t seed);
// Rough profile around `base`, amplitude `amp`, feature length `scale`.
double Profile(double x, uint32_t seed, double base, double amp, double scale);
// The thin roof over the start (the ship may restart at y = 20, and keeps ten pixels from the
// roof there) blends into the level's roof.
int RampRoof(int x, double roof);

// The deadly material of a level: every solid pixel is one of the two collision colours; the
// pattern inside is drawn as shapes and lines at least two pixels wide, so that nothing shimmers
// when the scenery moves a pixel a frame.
enum class Material { Crystal, Strata, Columns, Plates, Bricks, Craters };

// City-block distance, capped, to the nearest solid pixel (toSolid) or open pixel (!toSolid);
// 0 for the pixels of that kind themselves.
std::vector<uint8_t> Distance(const World& w, bool toSolid, int cap);
// Writes the deadly terrain: a lime rim, the material's pattern inside, and around it a band of
// shadow over the backdrop, so the terrain sits in the scene instead of floating on it.
void PaintTerrain(World& w, Material m, uint32_t seed);
// Draws scenery over the painted terrain (a prop fixed into the rock, a crystal growing from a
// wall); the deadly pixels stay as they were, so the hit test reads the same terrain.
void OverTerrain(World& w, const std::function<void(Canvas&)>& fn);

// ------------------------------------------------------------------ backdrop helpers

void PixelBackdrop(World& w, const std::function<Rgb(int, int)>& f);
Rgb Mix(Rgb a, Rgb b, double t);
void Stars(World& w, int x0, int y0, int x1, int y1, int count, uint32_t seed);
void Planet(Canvas& c, double x, double y, double r, Rgb light, Rgb dark, bool ring);
void MetalPlate(Canvas& c, double x, double y, double w, double h, Rgb base);

}  // namespace assets
