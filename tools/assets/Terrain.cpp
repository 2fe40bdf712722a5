// The terrain and backdrop helpers of the level worlds: solid shapes, the deadly materials and
// their painting, and the backdrop pieces (sky fills, stars, planets, plates).
#include "tools/assets/Terrain.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/Art.h"
#include "tools/assets/Noise.h"

namespace assets {

// ------------------------------------------------------------------ terrain helpers

void SolidRect(World& w, int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y < std::min(w.h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w.w, x1); ++x) w.S(x, y) = 1;
}

void ClearRect(World& w, int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y < std::min(w.h, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w.w, x1); ++x) w.S(x, y) = 0;
}

// A rough rock: an ellipse with a noisy rim.
void SolidBlob(World& w, double cx, double cy, double rx, double ry, uint32_t seed) {
    for (int y = int(cy - ry * 1.3); y <= int(cy + ry * 1.3); ++y)
        for (int x = int(cx - rx * 1.3); x <= int(cx + rx * 1.3); ++x) {
            if (!w.In(x, y)) continue;
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            double a = std::atan2(dy, dx);
            double r = 1 + 0.22 * Noise1(a * 3 + 10, seed) + 0.08 * Noise1(a * 11 + 3, seed + 1);
            if (dx * dx + dy * dy < r * r) w.S(x, y) = 1;
        }
}

// A spike hanging down from y0 to y1 (or standing up when y1 < y0), base width bw.
void SolidSpike(World& w, double cx, double y0, double y1, double bw, uint32_t seed) {
    int ya = int(std::min(y0, y1)), yb = int(std::max(y0, y1));
    for (int y = ya; y <= yb; ++y) {
        double t = std::fabs(y - y0) / std::max(1.0, std::fabs(y1 - y0));
        double half = bw / 2 * (1 - t) * (1 + 0.15 * Noise1(y * 0.1, seed)) + 1;
        for (int x = int(cx - half); x <= int(cx + half); ++x)
            if (w.In(x, y)) w.S(x, y) = 1;
    }
}

// Rough profile around `base`, amplitude `amp`, feature length `scale`.
double Profile(double x, uint32_t seed, double base, double amp, double scale) {
    return base + amp * (0.7 * Noise1(x / scale, seed) + 0.3 * Noise1(x / (scale / 3.7), seed + 9));
}

// The thin roof over the start (the ship may restart at y = 20) blends into the level's roof.
int RampRoof(int x, double roof) {
    double t = std::clamp((x - 700) / 200.0, 0.0, 1.0);
    t = t * t * (3 - 2 * t);
    return int(9 + (roof - 9) * t);
}

// City-block distance, capped, to the nearest solid pixel (toSolid) or open pixel (!toSolid);
// 0 for the pixels of that kind themselves.
std::vector<uint8_t> Distance(const World& w, bool toSolid, int cap) {
    std::vector<uint8_t> d(w.solid.size(), 0);
    auto at = [&](int x, int y) -> uint8_t& { return d[static_cast<size_t>(y) * w.w + x]; };
    for (int y = 0; y < w.h; ++y)
        for (int x = 0; x < w.w; ++x) {
            bool mine = w.solid[static_cast<size_t>(y) * w.w + x] != 0;
            if (mine == toSolid) continue;  // pixels of the other kind are the sources
            int v = cap;
            if (x > 0) v = std::min(v, at(x - 1, y) + 1);
            if (y > 0) v = std::min(v, at(x, y - 1) + 1);
            at(x, y) = static_cast<uint8_t>(v);
        }
    for (int y = w.h - 1; y >= 0; --y)
        for (int x = w.w - 1; x >= 0; --x) {
            if (at(x, y) == 0) continue;
            int v = at(x, y);
            if (x + 1 < w.w) v = std::min(v, at(x + 1, y) + 1);
            if (y + 1 < w.h) v = std::min(v, at(x, y + 1) + 1);
            at(x, y) = static_cast<uint8_t>(v);
        }
    return d;
}

namespace {

bool CrystalLine(int x, int y, uint32_t seed) { return VoronoiSeam(x, y, 30, seed) < 2.2; }

// True where the material shows its lime lines, false for its green body.
bool MaterialLime(Material m, int x, int y, uint32_t seed) {
    switch (m) {
    case Material::Crystal: return CrystalLine(x, y, seed);
    case Material::Strata: {  // ragged sediment: wavy bands with cracks between them
        double band = y / 13.0 + 2.2 * Fbm(x / 90.0, y / 40.0, seed, 3);
        double f = band - std::floor(band);
        if (f < 0.16) return true;
        return std::fabs(Fbm(x / 28.0, y / 28.0, seed + 3, 2) - 0.5) < 0.012;
    }
    case Material::Columns: {  // basalt columns along the shaft, broken into drums
        double col = x / 22.0 + 0.6 * Noise1(y / 70.0, seed);
        int c = int(std::floor(col));
        double f = col - c;
        if (f < 0.12) return true;
        int drum = int(std::floor((y + 97 * Rand2(c, 0, seed)) / 46.0));
        return int(y + 97 * Rand2(c, 0, seed)) % 46 < 2 && Rand2(c, drum, seed + 1) < 0.8;
    }
    case Material::Plates: {  // riveted armour plates
        int px = ((x % 80) + 80) % 80, py = ((y % 40) + 40) % 40;
        if (px < 2 || py < 2) return true;
        bool rivetX = (px >= 6 && px < 9) || (px >= 72 && px < 75);
        bool rivetY = (py >= 6 && py < 9) || (py >= 32 && py < 35);
        if (rivetX && rivetY) return true;
        return (px + py) % 40 < 2 && Rand2(x / 80, y / 40, seed) < 0.3;  // a stencilled diagonal on some
    }
    case Material::Bricks: {  // fortress brickwork
        int row = int(std::floor(y / 20.0));
        int bx = ((x + (row % 2) * 20) % 40 + 40) % 40, by = ((y % 20) + 20) % 20;
        if (bx < 2 || by < 2) return true;
        int brick = int(std::floor((x + (row % 2) * 20) / 40.0));
        return Rand2(brick, row, seed) < 0.12 && bx > 10 && bx < 14 && by > 5 && by < 15;  // chipped
    }
    case Material::Craters: {  // pitted asteroid rock
        const double cell = 48;
        int cx = int(std::floor(x / cell)), cy = int(std::floor(y / cell));
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                if (Rand2(cx + i, cy + j, seed + 7) < 0.35) continue;
                double px = (cx + i + 0.5) * cell + (Rand2(cx + i, cy + j, seed) - 0.5) * 20;
                double py = (cy + j + 0.5) * cell + (Rand2(cx + i, cy + j, seed + 1) - 0.5) * 20;
                double r = 6 + 12 * Rand2(cx + i, cy + j, seed + 2);
                double d = std::hypot(x - px, y - py);
                if (d > r - 2.2 && d < r) return true;
            }
        return std::fabs(Fbm(x / 35.0, y / 35.0, seed + 3, 2) - 0.5) < 0.01;
    }
    }
    return false;
}

}  // namespace

// Writes the deadly terrain: a lime rim, the material's pattern inside, and around it a band of
// shadow over the backdrop, so the terrain sits in the scene instead of floating on it.
void PaintTerrain(World& w, Material m, uint32_t seed) {
    w.canvas.Flush();
    const int kShade = 9;
    std::vector<uint8_t> inside = Distance(w, false, 4);
    std::vector<uint8_t> outside = Distance(w, true, kShade);
    for (int y = 0; y < w.h; ++y)
        for (int x = 0; x < w.w; ++x) {
            size_t i = static_cast<size_t>(y) * w.w + x;
            if (w.solid[i]) {
                bool lime = inside[i] <= 2 || MaterialLime(m, x, y, seed);
                w.canvas.SetDeadly(x, y, lime);
            } else if (outside[i] < kShade) {
                double k = 0.25 + 0.75 * (outside[i] - 1) / double(kShade - 1);
                Rgb c = w.canvas.Get(x, y);
                w.canvas.Set(x, y, {uint8_t(c.r * k), uint8_t(c.g * k), uint8_t(c.b * k)});
            }
        }
    w.canvas.MarkDirty();
}

// Draws scenery over the painted terrain (a prop fixed into the rock, a crystal growing from a
// wall); the deadly pixels stay as they were, so the hit test reads the same terrain.
void OverTerrain(World& w, const std::function<void(Canvas&)>& fn) { w.canvas.DrawOverTerrain(fn); }

// ------------------------------------------------------------------ backdrop helpers

void PixelBackdrop(World& w, const std::function<Rgb(int, int)>& f) {
    w.canvas.Flush();
    for (int y = 0; y < w.h; ++y)
        for (int x = 0; x < w.w; ++x) w.canvas.Set(x, y, f(x, y));
    w.canvas.MarkDirty();
}

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {uint8_t(a.r + (b.r - a.r) * t), uint8_t(a.g + (b.g - a.g) * t), uint8_t(a.b + (b.b - a.b) * t)};
}

void Stars(World& w, int x0, int y0, int x1, int y1, int count, uint32_t seed) {
    Rng r(seed);
    w.canvas.Flush();
    for (int i = 0; i < count; ++i) {
        int x = x0 + r.Int(x1 - x0), y = y0 + r.Int(y1 - y0);
        double b = r.Range(0.4, 1.0);
        Rgb c = Shade(r.Uniform() < 0.2 ? Rgb{255, 220, 180} : Rgb{220, 230, 255}, b);
        w.canvas.Set(x, y, c);
        if (b > 0.93) {
            w.canvas.SetAlpha(x - 1, y, c, 0.5);
            w.canvas.SetAlpha(x + 1, y, c, 0.5);
            w.canvas.SetAlpha(x, y - 1, c, 0.5);
            w.canvas.SetAlpha(x, y + 1, c, 0.5);
        }
    }
    w.canvas.MarkDirty();
}

void Planet(Canvas& c, double x, double y, double r, Rgb light, Rgb dark, bool ring) {
    cairo_t* cr = c.cr();
    if (ring) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1, 0.25);
        cairo_arc(cr, 0, 0, r * 1.8, M_PI, 2 * M_PI);
        cairo_restore(cr);
        Stroke(c, {220, 190, 150}, r * 0.12, 0.8);
    }
    Radial(c, x - r * 0.4, y - r * 0.4, r * 1.6, {{0, light, 1}, {0.6, dark, 1}, {1, {10, 5, 20}, 1}});
    c.FillCircle(x, y, r);
    if (ring) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1, 0.25);
        cairo_arc(cr, 0, 0, r * 1.8, 0, M_PI);
        cairo_restore(cr);
        Stroke(c, {240, 210, 170}, r * 0.12, 0.9);
    }
}

void MetalPlate(Canvas& c, double x, double y, double w, double h, Rgb base) {
    LinearV(c, y, y + h, {{0, Mix(base, {255, 255, 255}, 0.35)}, {1, Shade(base, 0.45)}});
    c.FillRect(x, y, w, h);
    cairo_rectangle(c.cr(), x + 0.5, y + 0.5, w - 1, h - 1);
    Stroke(c, Shade(base, 0.3), 1, 1);
}

}  // namespace assets
