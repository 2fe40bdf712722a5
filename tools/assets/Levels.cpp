// The eight level backgrounds. Each level is painted as one continuous world picture (so tiles
// join without seams) and then cut into 640 x 380 tiles in the order the level lays them out.
// Deadly terrain is written pixel by pixel in the two exact collision colours only; everything
// else is kept off those colours.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

#include "tools/assets/Art.h"
#include "tools/assets/Assets.h"
#include "tools/assets/Landmarks.h"
#include "tools/assets/Landmarks14.h"
#include "tools/assets/Landmarks57.h"
#include "tools/assets/Noise.h"
#include "tools/assets/Terrain.h"
#include "tools/assets/Texts.h"

namespace assets {
namespace {

constexpr int kTileW = 640;
constexpr int kTileH = 380;

// Tile origins within the world picture, in tile index order.
struct Layout {
    int worldW, worldH;
    std::vector<std::pair<int, int>> tiles;
};

Layout LevelLayout(int level) {
    const int n = LevelTileCount(level);
    Layout l;
    switch (level) {
    case 2:  // each tile continues the previous one below it
        l.worldW = kTileW;
        l.worldH = kTileH * n;
        for (int i = 0; i < n; ++i) l.tiles.push_back({0, kTileH * i});
        break;
    case 5:
    case 8:  // each tile continues the previous one above it
        l.worldW = kTileW;
        l.worldH = kTileH * n;
        for (int i = 0; i < n; ++i) l.tiles.push_back({0, kTileH * (n - 1 - i)});
        break;
    case 4:  // tile 1 above tile 0, tiles 2 and 3 to the left of tile 1
        l.worldW = kTileW * 3;
        l.worldH = kTileH * 2;
        l.tiles = {{1280, 380}, {1280, 0}, {640, 0}, {0, 0}};
        break;
    default:  // each tile continues the previous one to the right
        l.worldW = kTileW * n;
        l.worldH = kTileH;
        for (int i = 0; i < n; ++i) l.tiles.push_back({kTileW * i, 0});
        break;
    }
    return l;
}

// ------------------------------------------------------------------ level worlds

void Level1(World& w) {  // over a planet's surface at dusk
    const uint32_t s = 101;
    // The sun sets as the level goes on: the horizon's glow turns from orange to a deep red.
    PixelBackdrop(w, [&](int x, int y) {
        double t = y / 270.0, p = double(x) / w.w;
        Rgb mid = Mix({70, 30, 90}, {45, 18, 70}, p), low = Mix({235, 120, 70}, {170, 50, 70}, p * p);
        Rgb sky = t < 0.5 ? Mix({12, 8, 40}, mid, t / 0.5) : Mix(mid, low, (t - 0.5) / 0.5);
        double n = Fbm(x / 160.0, y / 40.0, s, 3);
        return Mix(sky, {120, 60, 140}, std::max(0.0, n - 0.55) * 0.9);
    });
    Stars(w, 0, 0, w.w, 180, 1400, s);
    Canvas& c = w.canvas;
    Planet(c, 900, 90, 55, {250, 200, 150}, {150, 70, 60}, true);
    Planet(c, 3300, 60, 22, {200, 220, 255}, {60, 80, 140}, false);
    Planet(c, 4700, 130, 80, {255, 170, 120}, {120, 40, 50}, false);
    // Three ranges of hills, paler and hazier the further they lie, each with its sunward
    // slopes catching the last light; a volcano smokes far off in the middle of the way.
    SunsetClouds(c, 0, w.w, 150, 215, s + 19);
    Volcano(c, 4080, 262, 280, 150);
    Ridge(c, 0, w.w, 235, 45, 260, s + 20, {110, 60, 100}, {245, 160, 130});
    Ridge(c, 0, w.w, 270, 30, 140, s + 21, {70, 40, 80}, {225, 115, 105});
    Ridge(c, 0, w.w, 302, 12, 60, s + 22, {50, 27, 60}, {200, 90, 95});
    // Landmarks all along: a ring of old stones, a wrecked ship on the hills, a grove of glowing
    // stalks in a crater, a colony under its beacon with its listening dish, a lake mirroring the
    // sunset, a power line, and at the end the head frame over the shaft the next sector goes down.
    Beacon(c, 300, 314, 118);
    StandingStones(c, 690, 312, s + 30);
    CrashedShip(c, 1750, 268, 260);
    {  // the wreck's nose buried in a heap of thrown-up soil
        cairo_t* cr = c.cr();
        cairo_move_to(cr, 1560, 320);
        cairo_curve_to(cr, 1700, 300, 1800, 282, 1870, 280);
        cairo_curve_to(cr, 1910, 279, 1950, 300, 2010, 320);
        cairo_close_path(cr);
        c.ColourRgb({62, 36, 72});
        cairo_fill(cr);
    }
    AlienFlora(c, 2110, 330, 250, s + 31);
    Colony(c, 3020, 318, s);
    RadioDish(c, 3530, 318, 56);
    SunsetLake(c, 4430, 4920, 296, 26, s + 32);
    AlienFlora(c, 4960, 326, 110, s + 33);
    Pylons(c, 4520, 5330, 318, 118, 4);
    PitHead(c, 5380, 318);
    // Ground: the crystal plain, dipping into a crater and rising to a mesa on the way.
    auto ground = [&](int x) {
        double g = Profile(x, s, 322, 18, 180);
        if (x > 2060 && x < 2400) {  // the crater and its raised rims
            const double u = (x - 2070) / 320.0;
            g += 16 * std::sin(M_PI * std::clamp(u, 0.0, 1.0)) - 10 * std::exp(-std::pow(u / 0.08, 2)) - 10 * std::exp(-std::pow((u - 1) / 0.08, 2));
        }
        const double m = std::clamp((x - 3960) / 26.0, 0.0, 1.0) * std::clamp((4330 - x) / 26.0, 0.0, 1.0);
        return int(g + (282 + 4 * Noise1(x / 18.0, s + 5) - g) * m);
    };
    for (int x = 0; x < w.w; ++x)
        for (int y = std::max(0, ground(x)); y < w.h; ++y) w.S(x, y) = 1;
    // Crystal spires: a twin pair, a crowded clump at the crater's rim, one on the mesa, a tall
    // one by the lake and a small one before the pit (centre, tip, base width).
    const double spires[][3] = {{1060, 262, 56}, {1112, 232, 72}, {2446, 284, 40}, {2480, 248, 62},
                                {2514, 292, 36}, {4200, 226, 46}, {4700, 230, 78}, {5250, 264, 50}};
    for (auto& sp : spires) SolidSpike(w, sp[0], sp[0] > 4000 && sp[0] < 4300 ? 290 : 340, sp[1], sp[2], int(sp[0]));
    // Shards (end, end, width): a long slab tilted over the wreck, a splinter cluster over the
    // crater, one leaning out of the ground and a diamond hanging over the mesa's end.
    const double shards[][5] = {{1410, 80, 1570, 56, 30}, {2160, 38, 2196, 98, 22}, {2214, 26, 2240, 84, 18},
                                {2250, 58, 2304, 72, 16}, {3660, 345, 3730, 236, 42}, {4382, 28, 4402, 112, 40}};
    for (auto& sh : shards) SolidShard(w, sh[0], sh[1], sh[2], sh[3], sh[4]);
    SolidIsland(w, 2790, 48, 74, 64, s + 6);  // a floating island over the colony's approach
    const double rocks[][3] = {{3470, 52, 36}, {4960, 48, 26}, {5066, 88, 20}};
    for (auto& r : rocks) SolidBlob(w, r[0], r[1], r[2], r[2] * 0.62, int(r[0]) + 3);
    PaintTerrain(w, Material::Crystal, s);
    // Each formation is cut in its own way, instead of the plain's cells: the ground in layers
    // of facets, small under the crust and large deep down; each spire one crystal of long facets
    // meeting at its tip; each shard split along its ridge and across. Only the pattern inside
    // changes: every one of these pixels stays deadly.
    std::vector<uint8_t> inside = Distance(w, false, 4);
    auto rim = [&](int x, int y) { return inside[static_cast<size_t>(y) * w.w + x] <= 2; };
    for (int x = 0; x < w.w; ++x) {
        const int g = ground(x);
        for (int y = std::max(0, g); y < w.h; ++y)
            if (!rim(x, y)) w.canvas.SetDeadly(x, y, LayeredCrystal(x, y - g, s));
    }
    for (size_t k = 0; k < std::size(spires); ++k) {
        const double cx = spires[k][0], tip = spires[k][1], half0 = spires[k][2] / 2, foot = cx > 4000 && cx < 4300 ? 290 : 340;
        const int facets = 3 + int(k % 3);
        const double band = k % 2 ? tip + (foot - tip) * 0.45 : -1;
        for (int y = int(tip); y < foot; ++y)
            for (int x = int(cx - half0 - 6); x <= int(cx + half0 + 6); ++x) {
                if (!w.In(x, y) || !w.S(x, y) || y >= ground(x) || rim(x, y)) continue;
                double half = half0 * (foot - y) / (foot - tip) + 1;
                double u = std::clamp((x - cx) / half, -1.0, 1.0);
                double f = (u + 1) / 2 * facets;
                bool edge = f - std::floor(f) < 0.14 || std::fabs(u) < 0.05;
                if (band > 0 && std::fabs(y - band) < 1.5) edge = true;
                w.canvas.SetDeadly(x, y, edge);
            }
    }
    for (auto& sh : shards) {
        const double dx = sh[2] - sh[0], dy = sh[3] - sh[1], l = std::hypot(dx, dy);
        for (int y = int(std::min(sh[1], sh[3]) - sh[4]); y <= int(std::max(sh[1], sh[3]) + sh[4]); ++y)
            for (int x = int(std::min(sh[0], sh[2]) - sh[4]); x <= int(std::max(sh[0], sh[2]) + sh[4]); ++x) {
                if (!w.In(x, y) || !w.S(x, y) || y >= ground(x) || rim(x, y)) continue;
                const double u = ((x - sh[0]) * dx + (y - sh[1]) * dy) / l, v = (-(x - sh[0]) * dy + (y - sh[1]) * dx) / l;
                if (u < -2 || u > l + 2 || std::fabs(v) > sh[4]) continue;
                w.canvas.SetDeadly(x, y, std::fabs(v) < 1.1 || (std::fmod(u + 2, l / 4) < 2.2 && u > 8 && u < l - 8));
            }
    }
    w.canvas.MarkDirty();
}

void Level2(World& w) {  // a vertical shaft of gun emplacements
    const uint32_t s = 202;
    // Dusk light falls in at the top; the rock warms with depth, and the bottom opens into the
    // red canyon of the next sector.
    PixelBackdrop(w, [&](int x, int y) {
        double n = Fbm(x / 60.0, y / 60.0, s, 4);
        double depth = double(y) / w.h;
        Rgb dark = Mix({25, 30, 55}, {50, 30, 35}, depth), light = Mix({70, 75, 110}, {120, 80, 70}, depth);
        Rgb base = Mix(dark, light, n);
        double vignette = 1 - 0.5 * std::pow(std::fabs(x - 320) / 320.0, 2);
        base = Shade(base, vignette);
        if (y < 300) base = Mix(base, {170, 90, 110}, 0.5 * std::pow(1 - y / 300.0, 2));
        const int open = w.h - 330;
        if (y > open) {
            double t = std::min(1.0, (y - open) / 260.0);
            double edge = 0.5 + 0.5 * std::cos((x - 320) / 320.0 * M_PI);
            Rgb canyon = Mix({250, 190, 120}, {240, 120, 90}, t);
            if (y > w.h - 120 + 30 * Noise1(x / 90.0, s + 7)) canyon = Mix({150, 70, 50}, {200, 110, 60}, Fbm(x / 30.0, y / 8.0, s + 8, 2));
            base = Mix(base, canyon, t * (0.35 + 0.65 * edge));
        }
        return base;
    });
    Canvas& c = w.canvas;
    // Pipes and girders of the shaft.
    for (double px : {150.0, 470.0}) {
        cairo_pattern_t* p = cairo_pattern_create_linear(px - 10, 0, px + 10, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.2, 0.2, 0.25);
        cairo_pattern_add_color_stop_rgb(p, 0.4, 0.7, 0.7, 0.8);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.15, 0.15, 0.2);
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        c.FillRect(px - 10, 0, 20, w.h - 300);
        MetalPlate(c, px - 16, w.h - 312, 32, 12, {110, 110, 125});
    }
    // Cross-beams: new steel with amber lamps at the top, rusted plates with red lamps further
    // down, and near the bottom old timber with lanterns.
    for (int y = 120; y < w.h - 330; y += 320) {
        const int zone = y < 1100 ? 0 : y < 2100 ? 1 : 2;
        const Rgb plate = zone == 0 ? Rgb{90, 95, 120} : zone == 1 ? Rgb{120, 80, 60} : Rgb{110, 80, 50};
        MetalPlate(c, 0, y, 640, 14, plate);
        for (int x = 20; x < 640; x += 40) {
            if (zone == 0) c.Colour(0.8, 0.6, 0.1);
            else if (zone == 1) c.Colour(0.35, 0.2, 0.15);
            else c.Colour(0.3, 0.2, 0.1);
            c.FillRect(x, y + 4, zone == 2 ? 3 : 20, 6);
        }
        const Rgb lamp = zone == 0 ? Rgb{255, 180, 60} : zone == 1 ? Rgb{255, 70, 50} : Rgb{255, 200, 110};
        for (double lx : zone == 1 ? std::vector<double>{200, 440} : std::vector<double>{320}) Glow(c, lx, y + 24, 20, lamp);
    }
    // Landmarks: the old lift's cage hanging on its guides, and the great ventilation fan.
    LiftCage(c, 250, 920);
    Fan(c, 330, 1860, 110);
    // Decks carrying the emplacements, each on a strut into the wall, and the emitters of the
    // barriers below two of them on arms from the walls.
    const int guns[][2] = {{10, 500}, {10, 1250}, {80, 2250}};
    for (auto& g : guns) Bracket(c, 0, g[1] + 118, g[0] + 95, 0, {120, 110, 100});
    for (auto& b : {std::array<int, 3>{110, 690, 196}, std::array<int, 3>{200, 1460, 190}}) {
        Emitter(c, b[0], b[1], true, 0);
        Emitter(c, b[0] + b[2], b[1], false, 640);
    }
    // Walls: rough rock on both sides, bulging between the emplacements, and teeth from the right.
    for (int y = 0; y < w.h; ++y) {
        double l = Profile(y, s, 10, 16, 90);
        double nearGun = 1e9;
        for (auto& g : guns) nearGun = std::min(nearGun, std::fabs(y - (g[1] + 60.0)));
        if (nearGun > 140) l += 40 * std::clamp((nearGun - 140) / 80, 0.0, 1.0) * (0.6 + 0.4 * Noise1(y / 50.0, s + 3));
        int r = int(Profile(y, s + 1, 612, 14, 80));
        for (int x = 0; x < std::max(0, int(l)); ++x) w.S(x, y) = 1;
        for (int x = std::max(0, r); x < w.w; ++x) w.S(x, y) = 1;
    }
    const int teeth[][2] = {{900, 470}, {1700, 440}, {2000, 520}, {2600, 460}};
    for (auto& t : teeth) SolidBlob(w, 640, t[0], 640 - t[1], 28, t[0]);
    // Keep the emplacements' ledges clear of rock.
    for (auto& g : guns) ClearRect(w, 0, g[1] - 10, g[0] + 100, g[1] + 132);
    PaintTerrain(w, Material::Columns, s);
}

void Level3(World& w) {  // ground cannons in a canyon
    const uint32_t s = 303;
    // Desert sky, far buttes and near canyon walls with strata and erosion streaks.
    auto butte = [&](double x, uint32_t seed, double base, double amp) {
        double n = Noise1(x / 260.0, seed) * 1.6;
        double q = std::round(n * 2) / 2;  // flat tops
        double f = n - q;
        return base - amp * (q + std::clamp(f * 6, -0.5, 0.5) * 0.5);
    };
    std::vector<int> far(w.w), near(w.w);
    for (int x = 0; x < w.w; ++x) {
        far[x] = int(butte(x * 0.6, s + 30, 170, 45));
        near[x] = int(butte(x, s + 31, 245, 55));
    }
    PixelBackdrop(w, [&](int x, int y) {
        double t = y / 380.0;
        Rgb sky = Mix({250, 190, 120}, {240, 120, 90}, t * 1.4);
        // Toward the end the canyon narrows and its walls close over the sky.
        double close = std::clamp((x - 4150) / 500.0, 0.0, 1.0);
        sky = Mix(sky, {150, 70, 60}, close * 0.7);
        if (y < far[x]) return sky;
        double streak = Fbm(x / 6.0, y / 140.0, s + 2, 2);
        double strata = 0.5 + 0.5 * std::sin(y / 7.0 + 3 * Fbm(x / 200.0, y / 80.0, s, 2));
        if (y < near[x]) {
            Rgb rock = Mix({180, 100, 90}, {150, 80, 90}, strata);
            return Mix(rock, sky, 0.35 + 0.2 * streak);
        }
        Rgb rock = Mix({150, 60, 30}, {205, 110, 55}, strata);
        rock = Shade(rock, 0.75 + 0.45 * streak);
        if (y - near[x] < 3) rock = {230, 150, 90};
        return rock;
    });
    // Landmarks: a stone arch among the far buttes, an abandoned wind pump with its truck, a
    // water tower, and at the end the mouth of the blue cave of the next sector.
    RockArch(w.canvas, 640, 214, 280, 120, {175, 105, 90});
    Derrick(w.canvas, 2050, 322, 160);
    WaterTower(w.canvas, 3560, 320);
    CaveMouth(w.canvas, 4760, 150, 230, 175);
    const int lamps[] = {1140, 2200, 2880, 3280};
    auto roofAt = [&](int x) { return RampRoof(x, Profile(x, s, 40, 12, 150)); };
    for (int x = 0; x < w.w; ++x) {
        int roof = roofAt(x);
        for (int y = 0; y < roof; ++y) w.S(x, y) = 1;
        int ground = int(320 + std::fabs(Profile(x, s + 2, 0, 8, 60)));
        for (int y = ground; y < w.h; ++y) w.S(x, y) = 1;
    }
    // Floating boulders above the cannons' track (the cannons drive along the whole ground) and
    // rocks hanging from the roof.
    const int boulders[][2] = {{1800, 195}, {2550, 205}, {3700, 190}, {4500, 200}};
    for (auto& m : boulders) SolidBlob(w, m[0], m[1], 55, 24, m[0] + 1);
    const int stal[][2] = {{1450, 120}, {2400, 130}, {3050, 115}, {4100, 125}, {4800, 110}};
    for (auto& st : stal) SolidSpike(w, st[0], 30, st[1], 60, st[0] + 2);
    for (int lx : lamps) ClearRect(w, lx + 20, 0, lx + 44, 70);
    PaintTerrain(w, Material::Strata, s);
    // The lamps' mounts: steel anchors set into the rock where the roof is cut for them.
    OverTerrain(w, [&](Canvas& c) {
        for (int lx : lamps) LampMount(c, lx + 20, std::max(roofAt(lx + 20), roofAt(lx + 43)), 68);
    });
}

void Level4(World& w) {  // a cave: up a shaft, then left along a tunnel
    const uint32_t s = 404;
    // Layered blue rock with deep recesses and a few veins of light. Each stretch has its own
    // light: the miners' lamps warm at the foot of the shaft, a cold glow of crystal at its head,
    // the pale shimmer of the lake, and toward the tunnel's far end (the left) the rock turns to
    // the brown of the chasm beyond, lit by the daylight coming in from there.
    auto light = [](double x, double y, double cx, double cy, double r) {
        double d = std::hypot(x - cx, (y - cy) * 1.3) / r;
        return d >= 1 ? 0.0 : (1 - d) * (1 - d);
    };
    PixelBackdrop(w, [&](int x, int y) {
        double n = Fbm(x / 70.0, y / 45.0, s, 4);
        double strata = 0.5 + 0.5 * std::sin(y / 8.0 + 3.2 * Fbm(x / 160.0, y / 70.0, s + 5, 3));
        double recess = std::clamp((Fbm(x / 150.0, y / 90.0, s + 7, 3) - 0.3) / 0.35, 0.0, 1.0);
        Rgb base = Mix({20, 18, 40}, {84, 64, 98}, 0.7 * n + 0.3 * strata);
        base = Shade(base, 0.45 + 0.7 * recess * recess * (3 - 2 * recess));
        // Relief: the faces of the rock turned to the light (from the upper left) are brighter.
        auto h = [&](double px, double py) { return Fbm(px / 38.0, py / 26.0, s + 11, 3); };
        base = Shade(base, std::clamp(1 + 3.2 * (h(x - 2, y - 2) - h(x + 2, y + 2)), 0.55, 1.6));
        double vein = std::fabs(Fbm(x / 30.0, y / 30.0, s + 2, 2) - 0.5);
        if (vein < 0.005 && recess > 0.5) base = Mix(base, {120, 160, 255}, 0.3);
        base = Mix(base, {255, 170, 90}, 0.3 * light(x, y, 1560, 640, 360));   // the camp's lamps
        base = Mix(base, {110, 140, 230}, 0.3 * light(x, y, 1720, 150, 300));  // the crystal at the shaft's head
        base = Mix(base, {120, 200, 210}, 0.28 * light(x, y, 980, 320, 380));  // the lake
        if (y < 380 && x < 560) {
            double t = std::pow((560 - x) / 560.0, 1.5);
            Rgb brown = Mix({60, 35, 25}, {150, 95, 60}, n);
            base = Mix(base, brown, t);
            double ray = 0.5 + 0.5 * std::sin(y / 23.0 + x / 90.0);
            base = Mix(base, {255, 200, 140}, t * t * 0.35 * ray);
        }
        return base;
    });
    Canvas& c = w.canvas;
    // Far back, columns where stalactites met stalagmites long ago: darker than the wall.
    CaveColumns(c, 660, 1260, 30, 350, s + 20, {30, 30, 56}, {90, 120, 160});
    CaveColumns(c, 1300, 1520, 30, 350, s + 21, {28, 26, 50}, {120, 130, 200});
    // The foot of the shaft (tile 0): the miners' camp, with rails, an ore cart, crates and
    // lamps strung under the ledge; a ladder climbs the shaft's right side.
    Rails(c, 1380, 1660, 702);
    MineCart(c, 1430, 702);
    Crates(c, 1552, 702, 3, s + 22);
    StringLights(c, 1330, 404, 1900, 452, 8, 50);
    for (double lx : {1852.0, 1884.0}) {
        cairo_move_to(c.cr(), lx, 110);
        cairo_line_to(c.cr(), lx, 702);
        Stroke(c, {96, 70, 50}, 4, 1);
    }
    for (double ly = 120; ly < 702; ly += 22) {
        cairo_move_to(c.cr(), 1852, ly);
        cairo_line_to(c.cr(), 1884, ly);
        Stroke(c, {120, 90, 60}, 3, 1);
    }
    MetalPlate(c, 1826, 104, 94, 8, {120, 86, 56});  // the landing at its top, into the wall
    Beam(c, 1832, 112, 1912, 170, 5, {100, 72, 48});
    // The head of the shaft (tile 1): the timbered mouth of the tunnel on the ledge, and the
    // winch that lowered the miners, its rope hanging down the shaft.
    Timbering(c, 1330, 40, 336);
    Winch(c, 1700, 66, 330);
    // The lake (tile 2): a waterfall from a crack in the roof into still water lit from below,
    // with glowing mushrooms on its shores.
    {
        cairo_new_path(c.cr());
        cairo_move_to(c.cr(), 690, 338);
        cairo_curve_to(c.cr(), 760, 296, 1160, 296, 1240, 338);
        cairo_close_path(c.cr());
        LinearV(c, 300, 338, {{0, {120, 170, 190}}, {0.4, {50, 90, 120}}, {1, {20, 34, 60}}});
        cairo_fill(c.cr());
        Rng r(s + 23);
        for (int i = 0; i < 60; ++i) {
            double x = r.Range(740, 1190), y = r.Range(306, 334), l = r.Range(6, 24);
            cairo_move_to(c.cr(), x, y);
            cairo_line_to(c.cr(), x + l, y);
            Stroke(c, {200, 225, 235}, 1, r.Range(0.2, 0.6));
        }
    }
    Waterfall(c, 985, 36, 318, 34, s + 24);
    Mushrooms(c, 740, 338, 130, 7, s + 25);
    Mushrooms(c, 1120, 338, 110, 5, s + 26);
    // The far end (tile 3): a carved panel left by someone long gone, and roots hanging in
    // where the daylight comes through.
    Carvings(c, 392, 132, 112, 84, s + 27);
    {
        Rng r(s + 28);
        for (int i = 0; i < 14; ++i) {
            double x = r.Range(60, 300), len = r.Range(50, 150);
            cairo_move_to(c.cr(), x, 30);
            cairo_curve_to(c.cr(), x + r.Range(-20, 20), 30 + len * 0.4, x + r.Range(-25, 25), 30 + len * 0.7, x + r.Range(-15, 15), 30 + len);
            Stroke(c, {60, 38, 24}, r.Range(1.5, 3.5), 0.95);
        }
    }
    {  // the tunnel's far end: a ragged opening onto the sunlit chasm
        cairo_t* cr = c.cr();
        cairo_move_to(cr, 0, 40);
        cairo_line_to(cr, 40, 60);
        cairo_line_to(cr, 28, 120);
        cairo_line_to(cr, 62, 190);
        cairo_line_to(cr, 36, 260);
        cairo_line_to(cr, 55, 340);
        cairo_line_to(cr, 0, 340);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 70, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.86, 0.62);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.75, 0.5, 0.3);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
        cairo_fill(cr);
        Radial(c, 0, 190, 260, {{0, {255, 220, 160}, 0.5}, {1, {255, 180, 110}, 0}});
        c.FillRect(0, 0, 260, 380);
    }
    // Tile 0 (world 1280..1920 x 380..760): floor where the two cannons stand (y 320 in the tile).
    for (int x = 1280; x < 1920; ++x) {
        int floor = 380 + int(322 + std::fabs(Profile(x, s, 0, 6, 50)));
        for (int y = floor; y < 760; ++y) w.S(x, y) = 1;
    }
    SolidBlob(w, 1300, 470, 40, 60, 5);
    // Tiles 3, 2 and 1 (world y 0..380): a tunnel with a roof and a floor.
    for (int x = 0; x < 1920; ++x) {
        int roof = int(Profile(x, s + 1, 34, 10, 120));
        for (int y = 0; y < roof; ++y) w.S(x, y) = 1;
        bool shaft = x >= 1280 + 250;  // the floor of tile 1 opens into the shaft from tile 0
        if (!shaft) {
            int floor = int(Profile(x, s + 2, 340, 12, 100));
            // Under tile 1 the floor is a ledge over the shaft: give it a rough underside in tile 0.
            int bottom = x >= 1280 ? int(Profile(x, s + 4, 400, 10, 40)) : 380;
            if (x >= 1280 + 220) bottom = std::min(bottom, 380 + (1280 + 250 - x));  // taper at its tip
            for (int y = floor; y < bottom; ++y) w.S(x, y) = 1;
        }
    }
    // The right wall of tile 1 (beyond every ship position's test points) hangs down from the
    // roof only part of the way and ends in a point: the ship restarting at the display's right
    // edge, as the shaft comes down, sees open rock face beside it for its first seconds.
    for (int y = 0; y < 250; ++y) {
        double wd = 6 + std::fabs(Profile(y, s + 3, 0, 4, 40));
        if (y > 190) wd *= (250 - y) / 60.0;
        for (int x = 1920 - int(wd); x < 1920; ++x) w.S(x, y) = 1;
    }
    // Stalactites and stalagmites, a different set in each stretch: twin fangs near the far end,
    // a broad curtain over the lake with a pair of stumps on its shore (x, from, to, base width).
    const int stal[][4] = {{128, 30, 136, 50}, {186, 30, 108, 40}, {520, 30, 120, 70}, {900, 30, 118, 130}, {1250, 30, 110, 70}};
    for (auto& st : stal) SolidSpike(w, st[0], st[1], st[2], st[3], st[0]);
    const int mite[][3] = {{330, 230, 80}, {700, 240, 80}, {1062, 234, 62}, {1108, 272, 50}};
    for (auto& m : mite) SolidSpike(w, m[0], 350, m[1], m[2], m[0] + 1);
    PaintTerrain(w, Material::Crystal, s);
    // Blue crystals grow from the walls, roof and floor, pointing away from the rock; none in
    // the open air, where they would look like shots. They crowd the shaft and grow sparse
    // toward the daylight.
    std::vector<uint8_t> near = Distance(w, true, 4);
    Rng r(s);
    OverTerrain(w, [&](Canvas& cv) {
        const int cell = 64;
        for (int cy = 0; cy < w.h; cy += cell)
            for (int cx = 0; cx < w.w; cx += cell) {
                if (cx < 1280 && cy >= 380) continue;  // no tile there
                std::vector<std::pair<int, int>> spots;
                for (int y = cy; y < std::min(w.h, cy + cell); ++y)
                    for (int x = cx; x < std::min(w.w, cx + cell); ++x)
                        if (!w.S(x, y) && near[static_cast<size_t>(y) * w.w + x] == 2) spots.push_back({x, y});
                const double keep = cx >= 1280 ? 0.7 : cx >= 640 ? 0.5 : 0.3;
                if (spots.empty() || r.Uniform() > keep) continue;
                auto [x, y] = spots[r.Int(int(spots.size()))];
                double nx = 0, ny = 0;
                for (int dy = -7; dy <= 7; ++dy)
                    for (int dx = -7; dx <= 7; ++dx)
                        if (w.In(x + dx, y + dy) && w.S(x + dx, y + dy)) nx -= dx, ny -= dy;
                double l = std::hypot(nx, ny);
                if (l < 1) continue;
                CrystalCluster(cv, x, y, nx / l, ny / l, r.Range(10, 20), Hash2(x, y, s));
            }
    });
}

void Level5(World& w, const Layout& l) {  // a falling-rock chasm
    const uint32_t s = 505;
    const int H = w.h;
    // The back wall changes as the ship climbs: red rock at the bottom, banded ochre sandstone
    // in the middle, grey slate near the top where the factory's light comes down. Buttresses
    // of nearer rock stand out of the hazy far wall.
    PixelBackdrop(w, [&](int x, int y) { return ChasmWall(x, y, w.w, H, s); });
    Canvas& c = w.canvas;
    const int base = l.tiles[0].second;  // world y of the start screen's top
    // Dust falling through shafts of light from far above.
    Rng dust(s);
    for (int i = 0; i < 16; ++i) {
        double x = dust.Range(80, 560), wdt = dust.Range(20, 60);
        cairo_pattern_t* p = cairo_pattern_create_linear(x - wdt, 0, x + wdt, 0);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.85, 0.6, 0);
        cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.85, 0.6, 0.12);
        cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.85, 0.6, 0);
        double y0 = dust.Range(0, H - 600);
        cairo_push_group(c.cr());
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        c.FillRect(x - wdt, y0, 2 * wdt, 600);
        cairo_pop_group_to_source(c.cr());
        cairo_pattern_t* fade = cairo_pattern_create_linear(0, y0, 0, y0 + 600);
        cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
        cairo_pattern_add_color_stop_rgba(fade, 0.5, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
        cairo_mask(c.cr(), fade);
        cairo_pattern_destroy(fade);
    }
    c.Flush();
    for (int i = 0; i < 5000; ++i) {
        int x = 40 + dust.Int(560), y = dust.Int(H);
        c.SetAlpha(x, y, {230, 200, 160}, 0.6);
    }
    c.MarkDirty();
    // Roots and cables hanging into the chasm.
    for (int i = 0; i < 24; ++i) {
        double x = dust.Uniform() < 0.5 ? dust.Range(30, 120) : dust.Range(520, 610), y = dust.Range(0, H - 200);
        cairo_move_to(c.cr(), x, y);
        cairo_curve_to(c.cr(), x + dust.Range(-30, 30), y + 60, x + dust.Range(-30, 30), y + 120, x + dust.Range(-20, 20), y + dust.Range(120, 200));
        Stroke(c, {50, 30, 20}, dust.Range(2, 4), 0.9);
    }
    // Landmarks on the way up: a collapsed mine scaffold, a giant fossil shell in the wall,
    // dwellings carved into the rock, and at the top the underside of the factory above.
    Scaffold(c, 400, base - 1000, 130, 300);
    Ammonite(c, 420, base - 1750, 80);
    CliffDwellings(c, 130, base - 2320, 360, 210, s);
    FactoryUnderside(c, w.w, 0, 300);
    // And between them, one to every screen or so: the factory's lift car crushed on the chasm's
    // floor, sand pouring from a cleft over the tower's ledge, a rope bridge snapped across, a
    // long-necked skeleton in the rock, a net full of caught rocks, glinting seams of crystal, and
    // threads of light under the outcrops.
    CrushedLift(c, 60, H - 14, base);
    Sandfall(c, 96, base - 700, base - 230, 22, s + 1);
    RopeBridge(c, 24, 616, base - 1440, 40);
    FossilSkeleton(c, 170, base - 1220, 290);
    RockNet(c, 30, 610, base - 1990, 50, s + 2);
    const double veins[][4] = {{70, base - 420.0, 230, base - 450.0}, {430, base - 1250.0, 600, base - 1290.0},
                               {50, base - 1870.0, 220, base - 1900.0}, {450, base - 2660.0, 610, base - 2700.0}};
    const Rgb veinColours[] = {{225, 175, 95}, {250, 205, 110}, {205, 160, 215}, {225, 175, 95}};  // no shot-like blue
    for (size_t k = 0; k < std::size(veins); ++k) MineralVein(c, veins[k][0], veins[k][1], veins[k][2], veins[k][3], veinColours[k], s + 40 + k);
    for (int k = 0; k < 6; ++k) {
        double y = base - 500 - k * 430;
        if (y < 40) break;
        GlowWorms(c, 500, y + 30, 110, 40, s + 60 + k);
        if (y - 215 > 40) GlowWorms(c, 10, y - 215 + 24, 70, 36, s + 70 + k);
    }
    // The spinner's hub (it turns about (270, -2490) of the start screen), on a beam across.
    double hy = base - 2490;
    Truss(c, 0, hy + 30, 640, hy + 30, 16, {90, 90, 105});
    MetalPlate(c, 262, hy, 16, 44, {100, 100, 120});
    c.Colour(0.15, 0.12, 0.12);
    c.FillCircle(270, hy, 22);
    // The ledge under the tower (top-left (190, -460), 80 x 240): a steel deck hung on chains
    // and braced by struts into both walls.
    double ty = base - 460 + 240;
    Chain(c, 166, ty - 360, 166, ty, {60, 55, 50});
    Chain(c, 294, ty - 360, 294, ty, {60, 55, 50});
    Beam(c, 170, ty + 14, 10, ty + 150, 8, {110, 95, 80});
    Beam(c, 290, ty + 14, 630, ty + 170, 8, {110, 95, 80});
    Truss(c, 10, ty + 8, 160, ty + 8, 10, {100, 90, 80});
    Truss(c, 300, ty + 8, 630, ty + 8, 10, {100, 90, 80});
    MetalPlate(c, 160, ty, 140, 16, {130, 110, 90});
    for (double x = 166; x < 296; x += 16) {
        c.Colour(0.9, 0.7, 0.15);
        c.FillRect(x, ty + 10, 8, 4);
    }
    for (int y = 0; y < H; ++y) {
        int lw = int(Profile(y, s, 30, 20, 60));
        int rw = int(Profile(y, s + 1, 606, 20, 70));
        for (int x = 0; x < lw; ++x) w.S(x, y) = 1;
        for (int x = std::max(0, rw); x < w.w; ++x) w.S(x, y) = 1;
    }
    // Outcrops from the right wall, well above the start.
    for (int k = 0; k < 6; ++k) {
        double y = base - 500 - k * 430;
        if (y < 40) break;
        SolidBlob(w, 640, y, 120 + (k % 3) * 20, 35, 50 + k);
        if (y - 215 > 40) SolidBlob(w, 0, y - 215, 70 + (k % 2) * 20, 30, 60 + k);
    }

    // The bottom of the chasm: rubble under the start screen.
    for (int x = 0; x < w.w; ++x)
        for (int y = int(Profile(x, s + 4, H - 14, 6, 40)); y < H; ++y) w.S(x, y) = 1;
    PaintTerrain(w, Material::Strata, s);
}

void Level6(World& w) {  // a factory with a stone conveyor
    const uint32_t s = 606;
    PixelBackdrop(w, [&](int x, int y) {
        int px = x % 80, py = y % 60;
        Rgb panel = Mix({45, 50, 65}, {80, 85, 105}, Fbm(x / 200.0, y / 200.0, s, 2));
        if (px < 2 || py < 2) panel = Shade(panel, 0.6);
        if ((px == 6 || px == 74) && (py == 6 || py == 54)) panel = {170, 170, 185};
        return panel;
    });
    Canvas& c = w.canvas;
    // Halls one after another: the furnace, the control room, the tank farm, and at the end the
    // great door standing open onto the fortress of the next sector.
    Furnace(c, 40, 330, 210, 46);
    Crane(c, 720, 46, 150);
    Gear(c, 1150, 110, 60, 14, {75, 78, 92});
    Gear(c, 1232, 160, 34, 9, {95, 85, 65});
    ControlRoom(c, 2290, 84, 280, 120, s);
    Tanks(c, 3250, 330, 3);
    Gate(c, 3990, 46, 290, 330, true);
    for (int y : {20, 36}) {
        LinearV(c, y, y + 10, {{0, {200, 200, 210}}, {1, {70, 70, 80}}});
        c.FillRect(0, y, w.w, 10);
    }
    // The press's gantry, rams and housing (it stands at (1460, 50), 140 x 110; its piston head,
    // 120 x 49 at (1470, 160), is shown alone for half of the machine's cycle).
    Hydraulics(c, 1460, 20, 140, 50, 176);
    // The conveyor under the stones (they roll along y = 226, 20 high).
    const int belt0 = 1920 - 275, belt1 = 2560 + 225;
    MetalPlate(c, belt0, 246, belt1 - belt0, 12, {60, 60, 70});
    for (int x = belt0; x < belt1; x += 24) {
        c.Colour(0.75, 0.75, 0.8);
        c.FillCircle(x + 12, 252, 4);
    }
    for (int x = belt0 + 40; x < belt1; x += 220) MetalPlate(c, x, 258, 14, 72, {100, 100, 110});
    // The hatch the slag bubble rises from (365 into tile 4).
    MetalPlate(c, 2560 + 335, 318, 60, 12, {200, 120, 40});
    // Warning stripes on the floor edge.
    for (int x = 0; x < w.w; x += 30) {
        Poly(c, {{double(x), 322}, {x + 15.0, 322}, {x + 7.0, 330}, {x - 8.0, 330}});
        c.Colour(0.95, 0.75, 0.1);
        cairo_fill(c.cr());
    }
    for (int x = 0; x < w.w; ++x) {
        int roof = RampRoof(x, 14 + std::fabs(Profile(x, s, 0, 6, 80)));
        for (int y = 0; y < roof; ++y) w.S(x, y) = 1;
        for (int y = 330; y < w.h; ++y) w.S(x, y) = 1;
    }
    ClearRect(w, 2560 + 335, 318, 2560 + 395, 380);  // the hatch
    // Deadly presses hanging from the roof and blocks standing on the floor.
    const int hang[][2] = {{950, 140}, {2150, 120}, {3450, 135}, {4050, 120}};
    for (auto& h : hang) SolidRect(w, h[0], 0, h[0] + 50, h[1]);
    const int stand[][2] = {{1250, 230}, {3150, 220}, {3800, 235}};
    for (auto& st : stand) SolidRect(w, st[0], st[1], st[0] + 60, 380);
    PaintTerrain(w, Material::Plates, s);
}

// An arrow slit in the fortress's outer rampart at x, the sky seen through it shaded from
// `top` to `bottom`.
void ArrowSlit(Canvas& c, double x, Rgb top, Rgb bottom) {
    cairo_t* cr = c.cr();
    cairo_new_path(cr);
    cairo_arc(cr, x + 14, 150, 14, M_PI, 2 * M_PI);
    cairo_line_to(cr, x + 28, 240);
    cairo_line_to(cr, x, 240);
    cairo_close_path(cr);
    LinearV(c, 136, 240, {{0, top}, {1, bottom}});
    cairo_fill(cr);
}

// The fortress as the ship enters it: purple stone, cyan runes, banners and torches.
void FortressScenery(Canvas& c, uint32_t s) {
    const Rgb glow{80, 240, 255};
    // The outer rampart: arrow slits with the night outside, banners and torches between them.
    for (int k = 0, x = 200; x < 1300; ++k, x += 190) {
        ArrowSlit(c, x, {10, 12, 40}, {30, 20, 70});
        c.Colour(0.9, 0.9, 1);
        c.FillRect(x + 8, 160 + (k * 37) % 50, 2, 2);
        if (k % 2) Banner(c, x + 70, 60, 44, 150, {140, 20, 60}, {230, 190, 80});
        else Torch(c, x + 92, 200, {255, 150, 40});
    }
    // The guardian's hall: a band of runes behind the dais, two stone wardens flanking it.
    for (int k = 0; k < 14; ++k) Glow(c, 1380 + k * 45, 80 + (k % 2) * 12, 9, glow);
    Statue(c, 1480, 330, 210, glow);
    Statue(c, 1880, 330, 210, glow);
    // The obelisk's court under a great rose window.
    RoseWindow(c, 2720, 130, 80, {90, 200, 255});
    for (int x : {2440, 2990}) {
        Column(c, x, 40, 40, 330, {130, 95, 160});
        Torch(c, x + 20, 120, {255, 150, 40});
    }
    // The vault: heavy pillars with chains and cages hanging between them.
    for (int k = 0, x = 3350; x < 5000; ++k, x += 260) {
        Column(c, x, 36, 50, 330, {105, 70, 130});
        if (k % 2) {
            Chain(c, x + 150, 30, x + 150, 140, {90, 80, 70});
            cairo_rectangle(c.cr(), x + 126, 140, 48, 64);
            Stroke(c, {120, 100, 80}, 3, 1);
            for (int b = 1; b < 4; ++b) {
                cairo_move_to(c.cr(), x + 126 + b * 12, 140);
                cairo_line_to(c.cr(), x + 126 + b * 12, 204);
                Stroke(c, {100, 85, 70}, 2, 1);
            }
        } else {
            Glow(c, x + 150, 180, 30, glow, 0.5);
        }
    }
    // At the end the wall lies broken open onto space, where the way home goes on.
    Breach(c, 5250, 70, 430, 250, s);
    // The guardian's dais (it stands at (1620, 30) and is 110 x 270) and the obelisk's plinth.
    MetalPlate(c, 1590, 298, 170, 32, {160, 120, 200});
    MetalPlate(c, 2680, 318, 80, 12, {160, 120, 200});
}

// The same halls once the guardian has fallen: the fortress shakes apart. Its walls are sooted
// and cracked open onto fire, the wardens and pillars are down, the rose window is blown out,
// the cages lie on the floor and alarm lamps sweep the vault; smoke and embers rise everywhere.
void FortressAfterTheFall(Canvas& c, uint32_t s) {
    const Rgb stone{96, 78, 84};
    // The outer rampart: the slits show the burning night outside; banners burnt to rags.
    for (int k = 0, x = 200; x < 1300; ++k, x += 190) {
        ArrowSlit(c, x, {50, 12, 12}, {170, 60, 20});
        if (k % 2) BurntBanner(c, x + 70, 60, 44, 150);
        else Flames(c, x + 80, 326, 30, 60, s + k);
    }
    // Fissures glowing with fire run through the walls from the battlements down.
    const double cracks[][4] = {{1300, 40, 150, 1.3}, {2150, 40, 170, 1.7}, {2560, 44, 120, 1.2}, {3180, 40, 200, 1.9},
                                {3700, 40, 150, 1.4}, {4260, 44, 180, 1.6}, {4660, 40, 130, 1.3}, {5080, 40, 160, 1.8}};
    for (size_t i = 0; i < std::size(cracks); ++i) FireCrack(c, cracks[i][0], cracks[i][1], cracks[i][2], cracks[i][3], s + 20 + i);
    // The guardian's hall: the runes gone dark but for a few flickering red; one warden
    // toppled off its plinth, the other standing cracked with its eyes dead.
    for (int k = 0; k < 14; ++k) {
        c.ColourRgb({30, 18, 22});
        c.FillCircle(1380 + k * 45, 80 + (k % 2) * 12, 5);
        if (k % 4 == 1) Glow(c, 1380 + k * 45, 80 + (k % 2) * 12, 8, {255, 50, 30}, 0.7);
    }
    cairo_save(c.cr());
    cairo_translate(c.cr(), 2 * 1480, 0);
    cairo_scale(c.cr(), -1, 1);  // it fell away from the dais
    ToppledStatue(c, 1480, 330, 210);
    cairo_restore(c.cr());
    Statue(c, 1880, 330, 210, {120, 30, 20});
    FireCrack(c, 1872, 150, 90, 1.8, s + 5);
    // The obelisk's court: the rose window blown out onto the fires outside, one pillar down.
    ShatteredRoseWindow(c, 2720, 130, 80);
    Column(c, 2440, 40, 40, 330, stone);
    FireCrack(c, 2452, 60, 110, 1.5, s + 6);
    BrokenColumn(c, 2990, 40, 40, 330, stone, s + 7);
    Flames(c, 2405, 326, 70, 80, s + 8);
    SmokePlume(c, 2440, 250, 50, 30, s + 9);
    for (double gx : {2660.0, 2700.0, 2745.0, 2790.0}) {  // the window's glass on the floor
        Poly(c, {{gx, 316}, {gx + 6, 306}, {gx + 11, 316}});
        FillWith(c, {70, 150, 200}, 0.9);
    }
    // The vault: pillars cracked or broken, cages fallen, alarm lamps sweeping the dark.
    for (int k = 0, x = 3350; x < 5000; ++k, x += 260) {
        if (k % 3 == 1) BrokenColumn(c, x, 36, 50, 330, Shade(stone, 0.85), s + 30 + k);
        else Column(c, x, 36, 50, 330, Shade(stone, 0.85));
        if (k % 2) {
            FallenCage(c, x + 150, 316, 30);
        } else {
            AlarmBeacon(c, x + 150, 110);
            const int fx = x + (k == 2 ? 60 : 110);  // beside the tower at 4000, not behind it
            SmokePlume(c, fx + 30, 260, 40, 34, s + 50 + k);
            Flames(c, fx, 326, 60, 70 + 15 * (k % 3), s + 40 + k);
        }
    }
    for (double rx : {2250.0, 3120.0, 3900.0, 4600.0, 5150.0}) Rubble(c, rx, 318, 70, uint32_t(rx));
    // At the end the breach, wider now, its rim on fire and the wall's stones flying out.
    Breach(c, 5250, 70, 430, 250, s);
    Flames(c, 5290, 300, 80, 50, s + 60);
    Flames(c, 5560, 300, 70, 40, s + 61);
    Rng r(s + 62);
    for (int i = 0; i < 14; ++i) {
        cairo_save(c.cr());
        cairo_translate(c.cr(), 5330 + r.Range(0, 330), 100 + r.Range(0, 180));
        cairo_rotate(c.cr(), r.Range(0, 3));
        const double b = r.Range(5, 12);
        cairo_rectangle(c.cr(), -b, -b * 0.6, 2 * b, 1.2 * b);
        cairo_restore(c.cr());
        FillWith(c, Mix({50, 40, 44}, {120, 90, 80}, r.Uniform()));
    }
    // The guardian's dais scorched and split, burning where it fell; the obelisk's plinth.
    MetalPlate(c, 1590, 298, 170, 32, {90, 50, 50});
    MetalPlate(c, 2680, 318, 80, 12, {110, 80, 80});
    Rng e(77);
    for (int i = 0; i < 30; ++i) {
        double x = 1560 + e.Range(0, 240), y = e.Range(260, 330);
        Radial(c, x, y, 14, {{0, {255, 255, 200}, 1}, {0.5, {255, 120, 20}, 0.9}, {1, {200, 40, 0}, 0}});
        c.FillCircle(x, y, e.Range(5, 12));
    }
    cairo_move_to(c.cr(), 1600, 300);
    cairo_line_to(c.cr(), 1650, 318);
    cairo_line_to(c.cr(), 1700, 302);
    cairo_line_to(c.cr(), 1740, 326);
    Stroke(c, {20, 5, 5}, 3, 1);
    SmokePlume(c, 1680, 270, 40, 50, s + 63);
    // Embers drifting up through the halls, thicker near the floor.
    Rng em(s + 64);
    for (int i = 0; i < 900; ++i) {
        const double x = em.Range(0, c.Width()), y = 316 - 270 * std::pow(em.Uniform(), 0.7);
        if (em.Uniform() < 0.15) Glow(c, x, y, 5, {255, 120, 40}, 0.7);
        c.ColourRgb(em.Uniform() < 0.3 ? Rgb{255, 230, 140} : Rgb{255, 130, 40}, em.Range(0.5, 1));
        c.FillRect(x, y, 2, 2);
    }
}

void Level7(World& w, bool afterFall) {  // the alien fortress guarding the recipe
    const uint32_t s = 707;
    PixelBackdrop(w, [&](int x, int y) {
        if (afterFall) return ScorchedBrick(x, y, s);
        int bx = (x + (y / 40 % 2) * 40) % 80, by = y % 40;
        Rgb stone = Mix({50, 20, 70}, {110, 60, 140}, Fbm(x / 90.0, y / 60.0, s, 3));
        if (bx < 2 || by < 2) stone = Shade(stone, 0.55);
        return stone;
    });
    Canvas& c = w.canvas;
    if (afterFall) FortressAfterTheFall(c, s);
    else FortressScenery(c, s);
    // The deadline in the stones: from the gate on, lamp boards along the floor light one lamp
    // more every few seconds, amber turning red, up to the place where the ship is lost at clock
    // 39 unless it holds the recipe; warning signs with the recipe card stand before the guardian.
    for (int k = 0; k < 9; ++k) {
        const double bx = 760 + k * 190, by = 284;
        if (bx > 1540 && bx < 1800) continue;  // the guardian's dais
        MetalPlate(c, bx, by, 64, 22, {70, 60, 80});
        const int lit = 1 + k * 4 / 8;
        for (int l = 0; l < 5; ++l) {
            const double lx = bx + 8 + l * 12, ly = by + 11;
            if (l < lit) {
                const Rgb col = lit >= 5 ? Rgb{255, 40, 30} : lit >= 3 ? Rgb{255, 110, 30} : Rgb{255, 190, 40};
                Glow(c, lx, ly, 9, col, 0.8);
                c.ColourRgb(col);
            } else {
                c.Colour(0.18, 0.12, 0.14);
            }
            c.FillCircle(lx, ly, 4);
        }
        for (int st = 0; st < 4; ++st) {  // hazard stripes under the board
            Poly(c, {{bx + st * 16, by + 22}, {bx + st * 16 + 8, by + 22}, {bx + st * 16 + 2, by + 28}, {bx + st * 16 - 6, by + 28}});
            c.Colour(0.95, 0.7, 0.1);
            cairo_fill(c.cr());
        }
    }
    for (double sx : {1310.0, 1530.0, 2090.0}) {
        cairo_t* cr = c.cr();
        Poly(c, {{sx, 196}, {sx + 26, 242}, {sx - 26, 242}});
        c.Colour(0.95, 0.75, 0.1);
        cairo_fill_preserve(cr);
        Stroke(c, {120, 20, 10}, 3, 1);
        cairo_save(cr);
        cairo_translate(cr, sx - 8, 210);
        DrawRecipeCard(c, 16, 24, false);
        cairo_restore(cr);
        c.Colour(0.75, 0.1, 0.05);
        c.FillRect(sx - 1.5, 244, 3, 36);
    }
    // Battlements above, towers below.
    for (int x = 0; x < w.w; ++x) {
        int roof = RampRoof(x, ((x + 20) / 40) % 2 ? 22 : 36);
        for (int y = 0; y < roof; ++y) w.S(x, y) = 1;
        int floor = 330 - (((x / 48) % 3 == 0 && x > 760) ? 14 : 0);
        for (int y = floor; y < w.h; ++y) w.S(x, y) = 1;
    }
    const int towers[][2] = {{1100, 240}, {2200, 250}, {3300, 235}, {4000, 245}, {4800, 240}};
    for (auto& t : towers) SolidRect(w, t[0], t[1], t[0] + 70, 380);
    // Stalactites hang from the battlements; none from where the recipe comes into sight up to
    // the recipe, so a ship making straight for it at its height meets no rock on the way.
    const int hangs[][2] = {{930, 120}, {2450, 110}, {3600, 125}, {4450, 115}, {5300, 120}};
    for (auto& h : hangs) SolidSpike(w, h[0], 20, h[1], 60, h[0]);
    // The dais and the plinth stand clear.
    ClearRect(w, 1590, 290, 1760, 330);
    ClearRect(w, 2680, 300, 2760, 330);
    // A gate in the battlements over the guardian (it stands up to y = 30).
    ClearRect(w, 1570, 14, 1780, 40);
    PaintTerrain(w, Material::Bricks, s);
}

void Level8(World& w, const Layout& l) {  // the way home past a descending hulk
    const uint32_t s = 808;
    const int H = w.h;
    PixelBackdrop(w, [&](int x, int y) {
        double n = Fbm(x / 120.0, y / 120.0, s, 4);
        Rgb sp = Mix({2, 4, 20}, {20, 30, 70}, double(H - y) / H);
        return Mix(sp, {90, 40, 130}, std::max(0.0, n - 0.5) * 1.4);
    });
    Stars(w, 0, 0, w.w, H, 2600, s);
    Canvas& c = w.canvas;
    // Home: the Earth and the Moon at the top, where the journey ends.
    Planet(c, 420, 120, 110, {150, 200, 255}, {20, 60, 160}, false);
    cairo_t* cr = c.cr();
    Rng r(s);
    for (int i = 0; i < 6; ++i) {  // continents
        double x = 420 + r.Range(-70, 70), y = 120 + r.Range(-70, 70);
        Ellipse(c, x, y, r.Range(15, 35), r.Range(10, 25));
        c.Colour(0.45, 0.55, 0.25);
        cairo_fill(cr);
    }
    Planet(c, 150, 250, 28, {230, 230, 230}, {90, 90, 100}, false);
    Satellite(c, 560, 250, 40);
    // On the way up: the wreck of a station, then a comet passing the Moon's side of the sky.
    Planet(c, 560, H - 300, 90, {230, 120, 200}, {90, 30, 90}, true);  // the aliens' world, left behind
    StationWreck(c, 440, H - 1400, 80);
    Comet(c, 250, H - 2000, 320, -0.6);
    // The buoy's mast (it starts at (152, -240) of the start screen, 100 x 100).
    const int base = l.tiles[0].second;
    MetalPlate(c, 192, base - 240 + 100, 20, 60, {120, 120, 140});
    // Asteroid walls.
    for (int y = 0; y < H; ++y) {
        int lw = int(Profile(y, s, 30, 22, 80));
        int rw = int(Profile(y, s + 1, 612, 14, 90));
        for (int x = 0; x < std::max(0, lw); ++x) w.S(x, y) = 1;
        for (int x = std::max(0, rw); x < w.w; ++x) w.S(x, y) = 1;
    }
    for (int k = 0; k < 6; ++k) {
        double y = base - 420 - k * 300;
        if (y < 260) break;
        SolidBlob(w, 640, y, 90, 30, 80 + k);
        SolidBlob(w, 0, y - 150, 110, 40, 90 + k);
    }
    ClearRect(w, 0, 0, w.w, 60);  // open sky above the Earth
    PaintTerrain(w, Material::Craters, s);
}

// A lit sign on a post in the open part of the first tile: the sector's number and name. It is
// scenery: the deadly pixels under it, if any, are kept as they were.
void PaintSign(World& w, const Layout& l, int level, const Texts& t) {
    const int x0 = l.tiles[0].first + 360, y0 = l.tiles[0].second + 236, sw = 230, sh = 58;
    Canvas& c = w.canvas;
    c.Flush();
    std::vector<std::pair<std::pair<int, int>, bool>> keep;
    for (int y = y0 - 4; y < y0 + sh + 40; ++y)
        for (int x = x0 - 4; x < x0 + sw + 4; ++x)
            if (w.In(x, y) && w.S(x, y)) keep.push_back({{x, y}, c.Get(x, y).g > 200});
    cairo_t* cr = c.cr();
    c.Antialias(true);
    // Post, frame and face.
    LinearV(c, y0 + sh, y0 + sh + 40, {{0, {90, 90, 100}}, {1, {40, 40, 48}}});
    c.FillRect(x0 + sw / 2 - 4, y0 + sh, 8, 40);
    LinearV(c, y0, y0 + sh, {{0, {70, 60, 40}}, {1, {30, 24, 16}}});
    c.FillRect(x0 - 3, y0 - 3, sw + 6, sh + 6);
    LinearV(c, y0, y0 + sh, {{0, {30, 40, 80}}, {1, {10, 14, 36}}});
    c.FillRect(x0, y0, sw, sh);
    cairo_rectangle(cr, x0 + 2.5, y0 + 2.5, sw - 5, sh - 5);
    Stroke(c, {230, 180, 70}, 1, 0.9);
    for (double bx : {x0 + 6.0, x0 + sw - 6.0})
        for (double by : {y0 + 6.0, y0 + sh - 6.0}) {
            c.Colour(0.75, 0.7, 0.6);
            c.FillCircle(bx, by, 2);
        }
    const std::string head = t.sector + " " + std::to_string(level);
    c.Font(15, true);
    c.OutlinedText(x0 + (sw - c.TextWidth(head)) / 2, y0 + 24, head, {255, 200, 60}, {60, 20, 0}, 3);
    c.Font(14, true, true);
    const std::string& name = t.levelNames[level];
    c.OutlinedText(x0 + (sw - c.TextWidth(name)) / 2, y0 + 47, name, {200, 230, 255}, {0, 10, 40}, 3);
    c.Flush();
    for (auto& k : keep) c.SetDeadly(k.first.first, k.first.second, k.second);
    c.MarkDirty();
}

// The first `count` tiles (all by default).
std::vector<media::PictureItemData> CutTiles(World& w, const Layout& l, size_t count = SIZE_MAX) {
    std::vector<media::PictureItemData> v;
    w.canvas.Flush();
    for (size_t i = 0; i < l.tiles.size() && i < count; ++i) {
        Canvas t(kTileW, kTileH);
        for (int y = 0; y < kTileH; ++y)
            for (int x = 0; x < kTileW; ++x) {
                int wx = l.tiles[i].first + x, wy = l.tiles[i].second + y;
                if (w.canvas.IsDeadlyPixel(wx, wy)) t.SetDeadly(x, y, w.canvas.Get(wx, wy).g > 200);
                else t.Set(x, y, w.canvas.Get(wx, wy));
            }
        t.MarkDirty();
        v.push_back(PictureItem("p" + std::to_string(i), ToDib(t, 16, 0), false, 0));
    }
    return v;
}

}  // namespace

int LevelTileCount(int level) {
    static const int last[] = {0, 8, 7, 7, 3, 8, 6, 8, 6};
    return (level >= 1 && level <= 8) ? last[level] + 1 : 0;
}

std::vector<media::PictureItemData> BuildLevelTiles(int level, int variant) {
    return BuildLevelTilesIn(level, variant, {&Czech()}).front();
}

std::vector<std::vector<media::PictureItemData>> BuildLevelTilesIn(int level, int variant,
                                                                   const std::vector<const Texts*>& languages) {
    Layout l = LevelLayout(level);
    World w(l.worldW, l.worldH);
    switch (level) {
    case 1: Level1(w); break;
    case 2: Level2(w); break;
    case 3: Level3(w); break;
    case 4: Level4(w); break;
    case 5: Level5(w, l); break;
    case 6: Level6(w); break;
    case 7: Level7(w, variant == 1); break;
    default: Level8(w, l); break;
    }
    // The sign lies within the first tile and repaints all of its face: the first language's
    // tiles are cut as they always were, the others' first tiles after their sign is painted over it.
    std::vector<std::vector<media::PictureItemData>> sets;
    for (const Texts* t : languages) {
        if (variant == 0) PaintSign(w, l, level, *t);
        if (sets.empty()) {
            sets.push_back(CutTiles(w, l));
            continue;
        }
        sets.push_back(sets.front());
        sets.back()[0] = CutTiles(w, l, 1).front();
    }
    return sets;
}

}  // namespace assets
