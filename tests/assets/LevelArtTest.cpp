// The level pictures as places: the terrain the ship dies on stays the one the levels were
// balanced with, while the scenery around it changes along each level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tools/assets/Assets.h"
#include "tools/assets/Canvas.h"

namespace {

// FNV-1a over the deadly/open state of every pixel of every tile, in tile order.
uint64_t DeadlyLayoutHash(const std::vector<media::PictureItemData>& tiles) {
    uint64_t h = 1469598103934665603ull;
    for (const auto& t : tiles)
        for (uint32_t c : t.Picture->Pixels()) {
            h ^= assets::IsDeadly565(c) ? 1u : 0u;
            h *= 1099511628211ull;
        }
    return h;
}

TEST(LevelArt, DeadlyTerrainIsTheOneTheLevelsWereBalancedWith) {
    // The hit test reads these pixels: repainting the scenery must leave every one of them where
    // it was. A deliberate change of a level's terrain updates its value here (levels 3, 6 and 7:
    // the thin roof over the start lowered from 14 to 9 pixels, a margin over the restart; level 1:
    // twin spires, a crater, a mesa, shards and a floating island in place of one spire and one
    // rock a tile; level 4: the shaft's right wall ends in a point above the restart, and twin
    // fangs, a curtain and a pair of stumps in place of three alike spikes; level 7: the
    // stalactite before the recipe moved back to x 930, out of the recipe's row).
    struct Case { int level, variant; uint64_t hash; } cases[] = {
        {1, 0, 0xcd19b5d5976abc04ull}, {2, 0, 0xa4b94e74cd24ebedull}, {3, 0, 0x0d091e4ced07303full},
        {4, 0, 0x23fa66f419f52079ull}, {5, 0, 0xc34393fe380b6b99ull}, {6, 0, 0x26fedaff8474bb36ull},
        {7, 0, 0x73f304f40f197665ull}, {7, 1, 0x73f304f40f197665ull}, {8, 0, 0xd545a545853978f9ull}};
    for (const auto& c : cases) {
        uint64_t h = DeadlyLayoutHash(assets::BuildLevelTiles(c.level, c.variant));
        EXPECT_EQ(h, c.hash) << "level " << c.level << " variant " << c.variant;
    }
}

TEST(LevelArt, CaveCrystalsGrowFromTheRock) {
    // Bright blue crystal in the open air reads as an enemy shot: every crystal pixel of the
    // cave lies close to the rock it grows from.
    const auto tiles = assets::BuildLevelTiles(4);
    size_t crystal = 0, loose = 0;
    for (const auto& t : tiles) {
        const auto& p = *t.Picture;
        const int W = p.Width(), H = p.Height();
        // Distance to the nearest deadly pixel, capped (two passes, city-block).
        const int cap = 32;
        std::vector<int> d(static_cast<size_t>(W) * H, cap);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int& v = d[static_cast<size_t>(y) * W + x];
                if (assets::IsDeadly565(p.Pixel(x, y))) v = 0;
                if (x > 0) v = std::min(v, d[static_cast<size_t>(y) * W + x - 1] + 1);
                if (y > 0) v = std::min(v, d[static_cast<size_t>(y - 1) * W + x] + 1);
            }
        for (int y = H - 1; y >= 0; --y)
            for (int x = W - 1; x >= 0; --x) {
                int& v = d[static_cast<size_t>(y) * W + x];
                if (x + 1 < W) v = std::min(v, d[static_cast<size_t>(y) * W + x + 1] + 1);
                if (y + 1 < H) v = std::min(v, d[static_cast<size_t>(y + 1) * W + x] + 1);
            }
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint32_t c = p.Pixel(x, y);
                int r = c & 0xFF, b = (c >> 16) & 0xFF;
                if (b < 225 || r >= 150) continue;
                ++crystal;
                loose += d[static_cast<size_t>(y) * W + x] >= cap;
            }
    }
    EXPECT_GT(crystal, 500u) << "the cave has its crystals";
    EXPECT_EQ(loose, 0u) << loose << " of " << crystal << " crystal pixels float in the open";
}

// Pixels of a tile that pass `is`, with the colour given as red, green, blue.
template <class Pred>
size_t Count(const media::TDIB& p, Pred is) {
    size_t n = 0;
    for (uint32_t c : p.Pixels())
        if (!assets::IsDeadly565(c)) n += is(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    return n;
}

TEST(LevelArt, TheLastTileOfALevelShowsTheNextPlace) {
    // The level cuts to the next one as soon as its last tile is on screen: that tile already
    // shows the colours of the place that follows, which its first tile does not.
    struct Case {
        int level;
        const char* next;
        bool (*is)(int r, int g, int b);
    } cases[] = {
        {2, "the red canyon", [](int r, int, int b) { return r > 180 && r > b + 80; }},
        {3, "the blue cave", [](int r, int, int b) { return b > 120 && b > r + 40; }},
        {4, "the brown chasm", [](int r, int, int b) { return r > 70 && r > b + 25; }},
        {5, "the grey factory", [](int r, int g, int b) {
             return b >= r && std::max({r, g, b}) > 40 && std::max({r, g, b}) - std::min({r, g, b}) < 30; }},
        {6, "the purple fortress", [](int r, int g, int b) { return b > g + 40 && r > g + 10; }},
    };
    for (const auto& c : cases) {
        const auto tiles = assets::BuildLevelTiles(c.level);
        const size_t first = Count(*tiles.front().Picture, c.is), last = Count(*tiles.back().Picture, c.is);
        const size_t area = size_t(tiles.back().Picture->Width()) * tiles.back().Picture->Height();
        EXPECT_GT(last, area / 64) << "level " << c.level << " ends without a sight of " << c.next;
        EXPECT_LT(first * 4, last) << "level " << c.level << " starts with " << c.next << " already";
    }
}

TEST(LevelArt, TheCanyonsLampsHangFromSteelSetIntoTheRoof) {
    // Where the roof is cut for the lamps' mounts, the cut shows the steel anchor, not a hole
    // with the sky behind it.
    const auto tiles = assets::BuildLevelTiles(3);
    for (int lamp : {1140, 2200, 2880, 3280}) {
        const auto& p = *tiles[(lamp + 20) / 640].Picture;
        const int x0 = (lamp + 20) % 640;
        size_t cut = 0, steel = 0;
        for (int y = 0; y < 70; ++y) {
            // Rows where the roof's rock stands on both sides of the cut.
            if (!assets::IsDeadly565(p.Pixel(x0 - 2, y)) || !assets::IsDeadly565(p.Pixel(x0 + 25, y))) continue;
            for (int x = x0; x < x0 + 24; ++x) {
                uint32_t c = p.Pixel(x, y);
                if (assets::IsDeadly565(c)) continue;
                int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                int hi = std::max({r, g, b}), lo = std::min({r, g, b});
                ++cut;
                steel += hi - lo <= hi / 5;
            }
        }
        EXPECT_GT(cut, 24u * 20) << "lamp at " << lamp << ": the roof has its cut";
        EXPECT_GE(steel * 10, cut * 9) << "lamp at " << lamp << ": " << steel << " of " << cut << " pixels in the cut are steel";
    }
}

// Walks along row y of a tile from x in direction `step` up to the first deadly pixel, and
// tells how many pixels it passed and how many of them were steel (a grey with little colour).
struct Walk {
    bool reachedRock = false;
    int passed = 0, steel = 0;
};
Walk WalkToRock(const media::TDIB& p, int x, int y, int step) {
    Walk w;
    for (; x >= 0 && x < p.Width(); x += step) {
        uint32_t c = p.Pixel(x, y);
        if (assets::IsDeadly565(c)) {
            w.reachedRock = true;
            break;
        }
        int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        int hi = std::max({r, g, b}), lo = std::min({r, g, b});
        ++w.passed;
        w.steel += hi > 40 && hi - lo <= hi / 4;
    }
    return w;
}

TEST(LevelArt, PropsInTheOpenAreCarriedByTheWalls) {
    // The shaft's barrier emitters and the chasm's ledge stand in the middle of the way: each is
    // joined to a wall by steel, not left floating in the air.
    struct Case {
        const char* what;
        int level, tile, x, y, step;
    } cases[] = {
        // Level 2: emitters at the barriers' ends (x 110 and 306 at y 690, x 200 and 390 at
        // y 1460; tiles are 380 high going down), their arms along the barrier's middle row.
        {"upper barrier, left emitter", 2, 1, 110 - 30, 690 - 380 + 10, -1},
        {"upper barrier, right emitter", 2, 1, 306 + 30, 690 - 380 + 10, +1},
        {"lower barrier, left emitter", 2, 3, 200 - 30, 1460 - 3 * 380 + 10, -1},
        {"lower barrier, right emitter", 2, 3, 390 + 30, 1460 - 3 * 380 + 10, +1},
        // Level 5: the tower's ledge (x 160..300) 220 above the start screen's top, so 160 into
        // tile 1; its side girders run 13 below the ledge's top.
        {"chasm ledge, to the left wall", 5, 1, 150, 160 + 13, -1},
        {"chasm ledge, to the right wall", 5, 1, 310, 160 + 13, +1},
    };
    std::vector<media::PictureItemData> tiles[9];
    for (const auto& c : cases) {
        if (tiles[c.level].empty()) tiles[c.level] = assets::BuildLevelTiles(c.level);
        Walk w = WalkToRock(*tiles[c.level][c.tile].Picture, c.x, c.y, c.step);
        EXPECT_TRUE(w.reachedRock) << c.what;
        EXPECT_GT(w.passed, 20) << c.what << ": the prop stands clear of the wall";
        EXPECT_GE(w.steel * 10, w.passed * 9) << c.what << ": " << w.steel << " of " << w.passed << " pixels to the wall are steel";
    }
}

}  // namespace

namespace {

TEST(LevelArt, TheFortressShowsItsDeadlineOnTheWayToIt) {
    // At clock 39 the ship is lost unless it holds the recipe: the tiles passed on the way there
    // carry lamp boards lit amber to red along the floor, in both halves of the fortress.
    for (int variant : {0, 1}) {
        const auto tiles = assets::BuildLevelTiles(7, variant);
        int boards = 0;
        for (int x0 = 760; x0 < 2300; x0 += 190) {
            if (x0 > 1540 && x0 < 1800) continue;
            const media::TDIB& t = *tiles[x0 / 640].Picture;
            int lamp = 0;
            for (int y = 286; y < 304; ++y)
                for (int x = x0 % 640; x < std::min(640, x0 % 640 + 64); ++x) {
                    uint32_t c = t.Pixel(x, y);
                    lamp += (c & 0xFF) > 230 && ((c >> 8) & 0xFF) < 200 && ((c >> 16) & 0xFF) < 90;
                }
            boards += lamp > 20;
        }
        EXPECT_GE(boards, 7) << "variant " << variant;
    }
}

}  // namespace

namespace {

// How sharply the brightness changes at each pixel of the scenery (-1 on and beside the deadly
// terrain, which both fortress sets share).
std::vector<double> Gradient(const media::TDIB& p) {
    const int W = p.Width(), H = p.Height();
    auto lum = [&](int x, int y) {
        uint32_t c = p.Pixel(x, y);
        return 0.3 * (c & 0xFF) + 0.59 * ((c >> 8) & 0xFF) + 0.11 * ((c >> 16) & 0xFF);
    };
    std::vector<double> g(static_cast<size_t>(W) * H, -1);
    for (int y = 0; y + 1 < H; ++y)
        for (int x = 0; x + 1 < W; ++x) {
            if (assets::IsDeadly565(p.Pixel(x, y)) || assets::IsDeadly565(p.Pixel(x + 1, y)) || assets::IsDeadly565(p.Pixel(x, y + 1))) continue;
            const double l = lum(x, y);
            g[static_cast<size_t>(y) * W + x] = std::fabs(lum(x + 1, y) - l) + std::fabs(lum(x, y + 1) - l);
        }
    return g;
}

TEST(LevelArt, TheFortressAfterTheFallIsAPlaceOfItsOwn) {
    // The second set is shown from the guardian's fall on (tiles 2 to 8 are the ones then on
    // screen): its scenery is drawn anew, not the first set's shapes in other colours. A colour
    // swap keeps the edges where they were, at whatever contrast, so the two sets' sharpness of
    // detail, pixel by pixel, would go together; drawn anew it hardly does.
    const auto a = assets::BuildLevelTiles(7, 0), b = assets::BuildLevelTiles(7, 1);
    double n = 0, sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (size_t t = 2; t < a.size(); ++t) {
        const auto ga = Gradient(*a[t].Picture), gb = Gradient(*b[t].Picture);
        for (size_t i = 0; i < ga.size(); ++i) {
            if (ga[i] < 0 || gb[i] < 0) continue;
            n += 1, sa += ga[i], sb += gb[i], saa += ga[i] * ga[i], sbb += gb[i] * gb[i], sab += ga[i] * gb[i];
        }
    }
    ASSERT_GT(n, 100000);
    const double corr = (sab / n - sa / n * sb / n) / std::sqrt((saa / n - sa * sa / n / n) * (sbb / n - sb * sb / n / n));
    std::cout << "  correlation of the two sets' detail: " << corr << "\n";
    EXPECT_LT(corr, 0.35);
}

}  // namespace

namespace {

TEST(LevelArt, TheChasmWallHasLightAndShadeAtLargeScale) {
    // A wall of fine mottling averages out to one flat murk when looked at from a distance: the
    // chasm's back wall has forms instead, lit faces and deep shadows, so the brightness of
    // 16 x 16 blocks of scenery varies widely in every tile.
    const auto tiles = assets::BuildLevelTiles(5);
    double least = 1e9;
    for (const auto& t : tiles) {
        const auto& p = *t.Picture;
        std::vector<double> blocks;
        for (int by = 0; by + 16 <= p.Height(); by += 16)
            for (int bx = 64; bx + 16 <= p.Width() - 64; bx += 16) {
                double sum = 0;
                int n = 0;
                for (int y = by; y < by + 16; ++y)
                    for (int x = bx; x < bx + 16; ++x) {
                        uint32_t c = p.Pixel(x, y);
                        if (assets::IsDeadly565(c)) continue;
                        sum += 0.3 * (c & 0xFF) + 0.59 * ((c >> 8) & 0xFF) + 0.11 * ((c >> 16) & 0xFF);
                        ++n;
                    }
                if (n == 256) blocks.push_back(sum / n);
            }
        ASSERT_GT(blocks.size(), 100u) << t.Name;
        double mean = 0, var = 0;
        for (double b : blocks) mean += b / blocks.size();
        for (double b : blocks) var += (b - mean) * (b - mean) / blocks.size();
        least = std::min(least, std::sqrt(var) / mean);
    }
    std::cout << "  least spread of block brightness: " << least << "\n";
    EXPECT_GT(least, 0.2);
}

TEST(LevelArt, ThePlainsFormationsDifferFromTileToTile) {
    // A plain where every tile shows one spire and one floating rock reads as a pattern, not a
    // place. For each tile of level 1 count the runs of columns where the crystal rises well over
    // the plain, and the pieces that float free of the ground: no such arrangement is met in more
    // than two tiles.
    const auto tiles = assets::BuildLevelTiles(1);
    std::map<std::pair<int, int>, int> seen;
    for (size_t i = 0; i < tiles.size(); ++i) {
        const media::TDIB& p = *tiles[i].Picture;
        const int W = p.Width(), H = p.Height();
        auto deadly = [&](int x, int y) { return assets::IsDeadly565(p.Pixel(x, y)); };
        int runs = 0;
        bool inRun = false;
        for (int x = 0; x < W; ++x) {
            int top = H;
            for (int y = 0; y < H; ++y)
                if (deadly(x, y) && y > 150) { top = y; break; }
            const bool high = top < 300;
            runs += high && !inRun;
            inRun = high;
        }
        // Pieces of deadly terrain that do not reach the tile's bottom row (flood fill).
        std::vector<uint8_t> mark(static_cast<size_t>(W) * H, 0);
        int floating = 0;
        for (int sy = 0; sy < H; ++sy)
            for (int sx = 0; sx < W; ++sx) {
                if (mark[static_cast<size_t>(sy) * W + sx] || !deadly(sx, sy)) continue;
                std::vector<std::pair<int, int>> stack{{sx, sy}};
                mark[static_cast<size_t>(sy) * W + sx] = 1;
                bool grounded = false;
                size_t size = 0;
                while (!stack.empty()) {
                    auto [x, y] = stack.back();
                    stack.pop_back();
                    ++size;
                    grounded |= y == H - 1;
                    const int nx[] = {x - 1, x + 1, x, x}, ny[] = {y, y, y - 1, y + 1};
                    for (int k = 0; k < 4; ++k) {
                        if (nx[k] < 0 || ny[k] < 0 || nx[k] >= W || ny[k] >= H) continue;
                        uint8_t& m = mark[static_cast<size_t>(ny[k]) * W + nx[k]];
                        if (m || !deadly(nx[k], ny[k])) continue;
                        m = 1;
                        stack.push_back({nx[k], ny[k]});
                    }
                }
                floating += !grounded && size > 100;
            }
        ++seen[{runs, floating}];
    }
    for (const auto& [shape, n] : seen)
        EXPECT_LE(n, 2) << n << " tiles show " << shape.first << " formation(s) over the plain and " << shape.second
                        << " floating piece(s)";
}

}  // namespace
