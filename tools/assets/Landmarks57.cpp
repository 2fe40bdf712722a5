#include "tools/assets/Landmarks57.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "tools/assets/Art.h"
#include "tools/assets/Landmarks.h"
#include "tools/assets/Noise.h"
#include "tools/assets/Terrain.h"

namespace assets {
namespace {

void Seg(Canvas& c, double x0, double y0, double x1, double y1, double w, Rgb k, double a = 1) {
    cairo_move_to(c.cr(), x0, y0);
    cairo_line_to(c.cr(), x1, y1);
    Stroke(c, k, w, a);
}

// A box lit from the top left: face, lit top edge, dark right edge.
void Slab(Canvas& c, double x, double y, double w, double h, Rgb k) {
    LinearV(c, y, y + h, {{0, Shade(k, 1.25)}, {1, Shade(k, 0.7)}});
    c.FillRect(x, y, w, h);
    c.ColourRgb(Shade(k, 1.6));
    c.FillRect(x, y, w, 2);
    c.ColourRgb(Shade(k, 0.45));
    c.FillRect(x + w - 2, y, 2, h);
}

double Smooth(double a, double b, double t) {
    t = std::clamp((t - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// A pillar's drum shaded across its width, as the standing columns are.
void Drum(Canvas& c, double x, double y0, double w, double y1, Rgb stone) {
    ShadeAcross(c, x, w, stone);
    cairo_fill(c.cr());
    (void)y0;
    (void)y1;
}

}  // namespace

// ------------------------------------------------------------------ level 5

Rgb ChasmWall(int x, int y, int w, int h, uint32_t seed) {
    const double up = 1 - double(y) / h;
    // Rock by height: red at the bottom, banded ochre sandstone in the middle, grey slate at the top.
    Rgb dark = up < 0.5 ? Mix({62, 26, 22}, {80, 56, 28}, up * 2) : Mix({80, 56, 28}, {44, 47, 58}, (up - 0.5) * 2);
    Rgb lit = up < 0.5 ? Mix({176, 92, 60}, {200, 150, 84}, up * 2) : Mix({200, 150, 84}, {132, 138, 155}, (up - 0.5) * 2);
    // Two layers of buttresses stand out of the wall, the near ones broad, the far ones narrow;
    // each is shaded across as a rounded form lit from the upper left, and the far wall lies in
    // haze behind them. Toward the sides the walls come nearer.
    auto ridge = [&](double xx, double scale, uint32_t sd) {
        double wx = xx + 70 * Noise1(y / 260.0, sd) + 12 * Noise1(y / 38.0, sd + 1);
        return 0.5 + 0.5 * Noise1(wx / scale, sd + 2);
    };
    const double side = std::pow(std::fabs(x - w / 2.0) / (w / 2.0), 2.0);
    auto nearAt = [&](double xx) { return std::max(ridge(xx, 105, seed + 11), 0.35 + 0.5 * side); };
    const double nr = nearAt(x), nSlope = (nearAt(x + 4) - nearAt(x - 4)) * 24;
    const double fr = ridge(x, 42, seed + 21), fSlope = (ridge(x + 3, 42, seed + 21) - ridge(x - 3, 42, seed + 21)) * 14;
    const double n = Fbm(x / 45.0, y / 70.0, seed, 4);
    // The far layer: narrow ribs, softly shaded, hazy.
    Rgb far = Mix(dark, lit, 0.25 + 0.35 * n);
    far = Shade(far, 0.7 + 0.35 * std::clamp(fSlope, -1.0, 1.0) + 0.2 * fr);
    const Rgb haze = Mix({34, 24, 30}, {82, 84, 100}, std::pow(up, 1.5));
    far = Mix(far, haze, 0.5);
    // The near layer: strata across it, their tops catching the light.
    Rgb near = Mix(dark, lit, 0.3 + 0.55 * n);
    const double bandPos = y / 24.0 + 1.6 * Fbm(x / 170.0, y / 120.0, seed + 5, 2);
    const int bed = int(std::floor(bandPos));
    const double f = bandPos - bed;
    near = Shade(near, f < 0.06 ? 1.22 : f > 0.82 ? 0.8 : 1.0 + 0.06 * Rand2(bed, 0, seed + 8));
    const double lambert = std::clamp(0.55 + 0.6 * nSlope, 0.0, 1.2);
    near = Shade(near, 0.5 + 0.65 * lambert);
    // Between the layers: a buttress's edge shades the far wall beside it.
    const double cover = Smooth(0.5, 0.56, nr);
    const double occl = Smooth(0.38, 0.5, nr) * (1 - cover);
    far = Shade(far, 1 - 0.5 * occl);
    Rgb rock = Mix(far, near, cover);
    const double light = 1 - std::fabs(x - 330) / 520.0;
    return Shade(rock, 0.8 + 0.35 * light * (0.6 + 0.4 * up));
}

void CrushedLift(Canvas& c, double x, double floor, double cableTop) {
    // The factory's goods lift, fallen down the chasm: its car lies crumpled on its side in the
    // rubble, its cable hanging down to it from far above, its lamp still burning.
    Radial(c, x + 120, floor - 60, 170, {{0, {255, 190, 100}, 0.5}, {0.45, {255, 150, 70}, 0.2}, {1, {255, 150, 70}, 0}});
    c.FillRect(x - 60, floor - 230, 360, 230);
    cairo_move_to(c.cr(), x + 96, cableTop);
    cairo_curve_to(c.cr(), x + 90, floor - 200, x + 120, floor - 120, x + 84, floor - 70);
    Stroke(c, {40, 36, 34}, 3, 1);
    cairo_save(c.cr());
    cairo_translate(c.cr(), x + 80, floor - 38);
    cairo_rotate(c.cr(), -0.22);
    // The car's frame with its corner posts and the buckled roof.
    cairo_rectangle(c.cr(), -70, -34, 140, 62);
    LinearV(c, -34, 28, {{0, {120, 125, 135}}, {1, {50, 52, 60}}});
    cairo_fill(c.cr());
    for (double px : {-70.0, -24.0, 22.0, 66.0}) {
        c.ColourRgb({70, 72, 80});
        c.FillRect(px, -34, 4, 62);
    }
    Poly(c, {{-74, -34}, {-20, -46}, {10, -36}, {74, -40}, {74, -30}, {-74, -28}});
    FillWith(c, {90, 92, 100});
    for (int k = 0; k < 7; ++k) {  // hazard stripes along its sill
        Poly(c, {{-66.0 + k * 20, 22}, {-58.0 + k * 20, 22}, {-64.0 + k * 20, 28}, {-72.0 + k * 20, 28}});
        FillWith(c, {230, 170, 30});
    }
    Window(c, -60, -22, 30, 24, {40, 30, 30}, {60, 60, 70});
    Window(c, 30, -22, 30, 24, {40, 30, 30}, {60, 60, 70});
    Poly(c, {{-10, -20}, {8, -24}, {14, 10}, {-4, 14}});  // its door burst open
    FillWith(c, {20, 16, 16});
    cairo_restore(c.cr());
    Glow(c, x + 150, floor - 78, 26, {255, 190, 90}, 0.85);
    Rubble(c, x + 80, floor, 260, 57);
    Rubble(c, x + 210, floor, 90, 58);
}

void Sandfall(Canvas& c, double x, double y0, double y1, double w, uint32_t seed) {
    Rng r(seed);
    // The cleft it pours from.
    Ellipse(c, x, y0, w * 0.8, 12);
    FillWith(c, {20, 14, 14});
    // Sand and grit pouring down in strands, fanning out as they fall, pebbles among them.
    Poly(c, {{x - w / 2, y0}, {x + w / 2, y0}, {x + w * 0.9, y1}, {x - w * 0.9, y1}});
    FillWith(c, {90, 65, 40}, 0.45);
    for (int i = 0; i < 22; ++i) {
        double u = r.Range(-0.5, 0.5);
        double a = r.Range(0.3, 0.75);
        cairo_move_to(c.cr(), x + u * w, y0);
        cairo_curve_to(c.cr(), x + u * w * 1.2, y0 + (y1 - y0) * 0.3, x + u * w * 1.6, y0 + (y1 - y0) * 0.7, x + u * w * 1.8, y1);
        Stroke(c, i % 4 ? Rgb{200, 160, 105} : Rgb{240, 210, 160}, r.Range(1.2, 3), a);
    }
    for (int i = 0; i < 30; ++i) {
        double t = r.Uniform();
        c.ColourRgb({110, 80, 55});
        c.FillCircle(x + r.Range(-0.6, 0.6) * w * (1 + t), y0 + (y1 - y0) * t, r.Range(1, 2.2));
    }
    // A cloud of dust where it lands.
    for (int i = 0; i < 5; ++i) {
        double sx = x + r.Range(-w, w), sy = y1 - r.Range(0, 20);
        Radial(c, sx, sy, w * 1.3, {{0, {220, 190, 150}, 0.45}, {1, {200, 170, 130}, 0}});
        c.FillCircle(sx, sy, w * 1.3);
    }
}

void RopeBridge(Canvas& c, double x0, double x1, double y, double sag) {
    // Snapped in the middle: each half droops from its anchor on the wall, its planks askew.
    for (int half = 0; half < 2; ++half) {
        const double ax = half ? x1 : x0, dir = half ? -1 : 1;
        const double len = (x1 - x0) * (half ? 0.36 : 0.42);
        const double ex = ax + dir * len * 0.8, ey = y + len * 0.5;
        auto at = [&](double t, double off) {
            double px = ax + (ex - ax) * t;
            double py = y + (ey - y) * t * t - sag * std::sin(t * M_PI) * 0.3 + off;
            return std::make_pair(px, py);
        };
        Slab(c, ax - 12, y - 10, 24, 18, {120, 110, 105});
        for (int k = 1; k < 14; ++k) {
            if (k == 6 || k == 10) continue;  // planks lost
            auto a = at(k / 14.0, -6), b = at(k / 14.0, 6);
            const double tilt = (k % 3 - 1) * 3;
            Seg(c, a.first + tilt, a.second, b.first - tilt, b.second, 8, {60, 38, 22});
            Seg(c, a.first + tilt - 1, a.second, b.first - tilt - 1, b.second, 3, {170, 125, 75});
        }
        for (double off : {-7.0, 7.0}) {
            auto p0 = at(0, off);
            cairo_move_to(c.cr(), p0.first, p0.second);
            for (int k = 1; k <= 20; ++k) {
                auto p = at(k / 20.0, off);
                cairo_line_to(c.cr(), p.first, p.second);
            }
            Stroke(c, {40, 28, 18}, 3, 1);
        }
        auto e = at(1, 7);  // the torn rope's end
        cairo_move_to(c.cr(), e.first, e.second);
        cairo_curve_to(c.cr(), e.first + dir * 8, e.second + 20, e.first - dir * 6, e.second + 34, e.first + dir * 4, e.second + 50);
        Stroke(c, {40, 28, 18}, 2.5, 1);
    }
}

void FossilSkeleton(Canvas& c, double x, double y, double len) {
    // A long-necked creature laid bare in a darker seam of the rock.
    Ellipse(c, x + len * 0.45, y + 10, len * 0.62, 46);
    FillWith(c, {40, 26, 22}, 0.5);
    const Rgb bone{214, 198, 160}, dark{60, 45, 35};
    auto spine = [&](double t, double& px, double& py) {
        px = x + len * t;
        py = y + 26 * std::sin(t * M_PI * 1.6) - 30 * std::exp(-t * 6);
    };
    for (int k = 0; k <= 34; ++k) {  // vertebrae
        double px, py, t = k / 34.0;
        spine(t, px, py);
        double r = 3 + 4 * std::sin(std::min(1.0, t * 1.4) * M_PI) + 1;
        Ellipse(c, px, py, r * 0.8, r);
        FillWith(c, dark);
        Ellipse(c, px, py, r * 0.55, r * 0.8);
        FillWith(c, bone);
        if (t > 0.35 && t < 0.7 && k % 2 == 0) {  // ribs
            cairo_move_to(c.cr(), px, py);
            cairo_curve_to(c.cr(), px - 10, py + 20, px - 4, py + 38, px + 6, py + 44);
            Stroke(c, dark, 4, 0.9);
            cairo_move_to(c.cr(), px, py);
            cairo_curve_to(c.cr(), px - 10, py + 20, px - 4, py + 38, px + 6, py + 44);
            Stroke(c, bone, 2.2, 1);
        }
    }
    double hx, hy;
    spine(0, hx, hy);
    Poly(c, {{hx - 4, hy - 8}, {hx - 30, hy - 2}, {hx - 34, hy + 6}, {hx - 6, hy + 8}});  // the skull
    FillWith(c, bone);
    Ellipse(c, hx - 10, hy - 1, 3, 2.5);
    FillWith(c, dark);
    for (double t : {0.4, 0.62}) {  // legs
        double px, py;
        spine(t, px, py);
        Seg(c, px, py + 8, px - 14, py + 40, 5, dark);
        Seg(c, px, py + 8, px - 14, py + 40, 3, bone);
        Seg(c, px - 14, py + 40, px - 4, py + 64, 3, bone);
    }
}

void GlowWorms(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    Rng r(seed);
    for (int i = 0; i < 26; ++i) {
        double px = x + r.Range(0, w), len = r.Range(0.3, 1) * h;
        Seg(c, px, y, px + r.Range(-2, 2), y + len, 1, {150, 220, 230}, 0.35);
        Glow(c, px, y + len, 4, {120, 230, 255}, 0.8);
    }
}

void MineralVein(Canvas& c, double x0, double y0, double x1, double y1, Rgb k, uint32_t seed) {
    // A seam of crystals along a bed of the rock: a soft band of their colour, the crystals
    // set in it as small lit facets, a few catching the light.
    Rng r(seed);
    auto at = [&](double t) {
        return std::make_pair(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t + 16 * std::sin(t * M_PI));
    };
    cairo_set_line_cap(c.cr(), CAIRO_LINE_CAP_ROUND);
    for (double wdt : {16.0, 7.0}) {
        auto p0 = at(0);
        cairo_move_to(c.cr(), p0.first, p0.second);
        for (int i = 1; i <= 16; ++i) {
            auto p = at(i / 16.0);
            cairo_line_to(c.cr(), p.first, p.second);
        }
        Stroke(c, wdt > 10 ? Shade(k, 0.3) : Shade(k, 0.55), wdt, wdt > 10 ? 0.35 : 0.45);
    }
    cairo_set_line_cap(c.cr(), CAIRO_LINE_CAP_BUTT);
    for (int i = 0; i < 26; ++i) {
        auto p = at(r.Uniform());
        const double px = p.first + r.Range(-5, 5), py = p.second + r.Range(-4, 4), sz = r.Range(2, 4.5);
        Poly(c, {{px, py - sz}, {px + sz * 0.6, py}, {px, py + sz}, {px - sz * 0.6, py}});
        FillWith(c, Mix(k, {255, 255, 255}, r.Range(0, 0.5)), 0.9);
        if (r.Uniform() < 0.2) Glow(c, px, py, 6, k, 0.6);
    }
}

void RockNet(Canvas& c, double x0, double x1, double y, double sag, uint32_t seed) {
    // A steel net strung between the walls to catch falling rock, sagging under what it caught.
    auto cable = [&](double t) { return y + sag * 4 * t * (1 - t); };
    auto belly = [&](double t) { return cable(t) + 10 + 46 * std::pow(4 * t * (1 - t), 2); };
    Rng r(seed);
    for (int i = 0; i < 9; ++i) {  // the rocks in its belly, behind the mesh
        double t = 0.5 + r.Range(-0.16, 0.16);
        double bx = x0 + (x1 - x0) * t, rr = r.Range(10, 20);
        double by = belly(t) - rr * 0.8;
        // Angular grey stones, unlike the round brown rocks that fall through the chasm.
        const double a = r.Range(0, 1);
        Poly(c, {{bx - rr, by + rr * 0.5}, {bx - rr * 0.7, by - rr * (0.4 + 0.3 * a)}, {bx + rr * 0.1, by - rr * 0.8},
                 {bx + rr, by - rr * 0.2}, {bx + rr * 0.8, by + rr * 0.6}});
        LinearV(c, by - rr, by + rr, {{0, {150, 145, 140}}, {1, {50, 48, 50}}});
        cairo_fill(c.cr());
    }
    const int n = 40;
    for (int i = 0; i <= n; ++i) {  // the mesh: diagonals both ways between cable and belly
        for (int d : {-1, 1}) {
            double t0 = double(i) / n, t1 = double(i + d * 2) / n;
            if (t1 < 0 || t1 > 1) continue;
            Seg(c, x0 + (x1 - x0) * t0, cable(t0), x0 + (x1 - x0) * t1, belly(t1), 1, {150, 150, 160}, 0.7);
        }
    }
    for (auto line : {0, 1}) {
        cairo_move_to(c.cr(), x0, line ? belly(0) : cable(0));
        for (int i = 1; i <= 30; ++i) {
            double t = i / 30.0;
            cairo_line_to(c.cr(), x0 + (x1 - x0) * t, line ? belly(t) : cable(t));
        }
        Stroke(c, line ? Rgb{120, 120, 130} : Rgb{180, 180, 190}, line ? 2 : 3, 1);
    }
    for (double ax : {x0, x1}) Slab(c, ax - 10, y - 8, 20, 16, {130, 130, 140});
}

// ------------------------------------------------------------------ level 7 after the fall

Rgb ScorchedBrick(int x, int y, uint32_t seed) {
    // The quake has buckled the wall: its courses sag and rise along the hall, and each course
    // has slid a little along itself between the fractures.
    const int yy = y + 80 + int(std::lround(14 * Noise1(x / 230.0, seed + 30)));
    const int row = yy / 40;
    const int seg = x / 300;
    const int xx = x + 80 + int(40 * Rand2(row, seg, seed + 31));
    const int bx = (xx + (row % 2) * 40) % 80, by = yy % 40;
    const int brick = (xx + (row % 2) * 40) / 80;
    Rgb stone = Mix({58, 34, 36}, {128, 82, 68}, Fbm(x / 90.0, y / 60.0, seed, 3));
    stone = Shade(stone, 0.8 + 0.35 * Rand2(brick, row, seed + 3));
    // Soot rising up the wall in streaks, thickest under the battlements.
    const double soot = Fbm(x / 22.0, y / 150.0, seed + 4, 2);
    stone = Shade(stone, std::clamp(0.55 + 0.6 * (y / 380.0) * (0.6 + 0.7 * soot), 0.4, 1.1));
    // Fire below lights the bricks' lower edges and the lower wall; a red haze fills the halls.
    if (by >= 36) stone = Mix(stone, {220, 110, 50}, 0.35);
    const double fire = std::pow(y / 380.0, 1.6) * (0.45 + 0.55 * Fbm(x / 110.0, 0.5, seed + 6, 2));
    stone = Mix(stone, {240, 110, 35}, 0.7 * fire);
    stone = Mix(stone, {120, 30, 20}, 0.15);
    if (bx < 2 || by < 2) stone = Shade(stone, 0.4);
    // Bricks shaken out of the wall leave holes.
    if (bx >= 2 && by >= 2 && Rand2(brick, row, seed + 7) < 0.035) stone = Mix({14, 8, 8}, {90, 34, 16}, by / 40.0 * 0.8);
    return stone;
}

void FireCrack(Canvas& c, double x, double y, double len, double angle, uint32_t seed) {
    Rng r(seed);
    std::vector<std::pair<double, double>> pts{{x, y}};
    double a = angle, px = x, py = y;
    for (double l = 0; l < len; l += 7) {
        a = angle + 0.6 * (a - angle) + r.Range(-0.7, 0.7);  // zigzags about its course
        px += 7 * std::cos(a);
        py += 7 * std::sin(a);
        pts.push_back({px, py});
    }
    const struct { double w; Rgb k; double a; } passes[] = {{7, {12, 6, 6}, 0.85}, {3.5, {255, 100, 25}, 0.8}, {1.3, {255, 225, 140}, 0.95}};
    for (const auto& pass : passes) {
        cairo_move_to(c.cr(), pts[0].first, pts[0].second);
        for (size_t i = 1; i < pts.size(); ++i) cairo_line_to(c.cr(), pts[i].first, pts[i].second);
        cairo_set_line_join(c.cr(), CAIRO_LINE_JOIN_ROUND);
        Stroke(c, pass.k, pass.w, pass.a);
    }
    // A branch or two off the main fissure.
    if (len > 50) {
        size_t at = pts.size() / 2;
        FireCrack(c, pts[at].first, pts[at].second, len * 0.4, angle + (r.Uniform() < 0.5 ? 0.9 : -0.9), seed + 1);
    }
}

void Flames(Canvas& c, double x, double floor, double w, double h, uint32_t seed) {
    Rng r(seed);
    Radial(c, x + w / 2, floor, std::max(w, h) * 1.1, {{0, {255, 150, 50}, 0.55}, {1, {255, 80, 20}, 0}});
    c.FillRect(x - w, floor - 2 * h, 3 * w, 2 * h);
    const int n = std::max(2, int(w / 9));
    for (int i = 0; i < n; ++i) {
        double cx = x + (i + 0.5) * w / n + r.Range(-3, 3);
        double hh = h * r.Range(0.45, 1.0), hw = w / n * r.Range(0.8, 1.3);
        double lean = r.Range(-0.3, 0.3) * hh;
        cairo_move_to(c.cr(), cx - hw, floor);
        cairo_curve_to(c.cr(), cx - hw, floor - hh * 0.5, cx + lean - hw * 0.2, floor - hh * 0.7, cx + lean, floor - hh);
        cairo_curve_to(c.cr(), cx + lean + hw * 0.2, floor - hh * 0.7, cx + hw, floor - hh * 0.5, cx + hw, floor);
        cairo_close_path(c.cr());
        cairo_pattern_t* p = cairo_pattern_create_linear(0, floor, 0, floor - hh);
        cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.95, 0.7, 1);
        cairo_pattern_add_color_stop_rgba(p, 0.35, 1, 0.6, 0.1, 0.95);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.15, 0.05, 0.1);
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        cairo_fill(c.cr());
    }
    for (int i = 0; i < 10; ++i) {  // sparks
        c.Colour(1, 0.8, 0.3, 0.9);
        c.FillCircle(x + r.Range(0, w), floor - h - r.Range(0, h), r.Range(0.8, 1.8));
    }
}

void SmokePlume(Canvas& c, double x, double y0, double y1, double w, uint32_t seed) {
    Rng r(seed);
    const int n = 12;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / (n - 1);
        double px = x + w * 0.8 * std::sin(t * 2.5 + r.Range(0, 0.6)), py = y0 + (y1 - y0) * t;
        double rr = w * (0.35 + 0.9 * t);
        // Lit by the fire below it, darkening as it rises.
        const Rgb k = Mix({170, 110, 80}, {70, 55, 55}, t);
        Radial(c, px, py, rr, {{0, k, 0.7 - 0.4 * t}, {1, k, 0}});
        c.FillCircle(px, py, rr);
    }
}

void BrokenColumn(Canvas& c, double x, double top, double w, double floor, Rgb stone, uint32_t seed) {
    Rng r(seed);
    const double stump = floor - (floor - top) * r.Range(0.3, 0.45);
    // The stump with its jagged break.
    cairo_move_to(c.cr(), x, floor);
    cairo_line_to(c.cr(), x, stump + 8);
    for (int k = 1; k <= 5; ++k) cairo_line_to(c.cr(), x + w * k / 5.0, stump + r.Range(-10, 10));
    cairo_line_to(c.cr(), x + w, floor);
    cairo_close_path(c.cr());
    Drum(c, x, stump, w, floor, stone);
    Slab(c, x - 8, floor - 16, w + 16, 16, Shade(stone, 0.85));
    // The top still hangs from the vault, broken off under its capital.
    const double hang = top + 20 + r.Range(30, 60);
    cairo_move_to(c.cr(), x, top);
    cairo_line_to(c.cr(), x + w, top);
    cairo_line_to(c.cr(), x + w, hang + r.Range(-8, 8));
    for (int k = 4; k >= 0; --k) cairo_line_to(c.cr(), x + w * k / 5.0, hang + r.Range(-10, 12));
    cairo_close_path(c.cr());
    Drum(c, x, top, w, hang, stone);
    Slab(c, x - 8, top, w + 16, 14, Shade(stone, 0.9));
    // Its drums lie on the floor, one against the stump; which way it fell differs.
    const double side = r.Uniform() < 0.5 ? 1 : -1, mid = x + w / 2;
    cairo_save(c.cr());
    cairo_translate(c.cr(), mid + side * (w / 2 + 30), floor - w * 0.45);
    cairo_rotate(c.cr(), r.Range(-0.25, 0.25));
    cairo_rectangle(c.cr(), -w * 0.7, -w * 0.45, w * 1.4, w * 0.9);
    LinearV(c, -w * 0.45, w * 0.45, {{0, Shade(stone, 1.2)}, {0.4, Shade(stone, 0.9)}, {1, Shade(stone, 0.4)}});
    cairo_fill(c.cr());
    Ellipse(c, -side * w * 0.7, 0, w * 0.15, w * 0.45);
    FillWith(c, Shade(stone, 1.05));
    cairo_restore(c.cr());
    if (r.Uniform() < 0.6) {
        const double lx = mid - side * (w / 2 + 26), tall = r.Range(60, 100);
        cairo_save(c.cr());
        cairo_translate(c.cr(), lx, floor - tall / 2 - 6);
        cairo_rotate(c.cr(), -side * r.Range(0.25, 0.45));
        cairo_rectangle(c.cr(), -w * 0.45, -tall / 2, w * 0.9, tall);
        cairo_restore(c.cr());
        Drum(c, lx - w * 0.45, 0, w * 0.9, 0, Shade(stone, 0.85));
    }
    Rubble(c, x + w / 2, floor, w * 2.2, seed + 3);
}

void ToppledStatue(Canvas& c, double x, double floor, double h) {
    const Rgb stone{105, 88, 110};
    // The plinth stands empty, its top broken; the warden lies along the floor beside it.
    Slab(c, x - 30, floor - 24, 60, 24, Shade(stone, 0.8));
    Poly(c, {{x - 24, floor - 24}, {x - 20, floor - 40}, {x - 6, floor - 32}, {x + 4, floor - 44}, {x + 22, floor - 30}, {x + 24, floor - 24}});
    FillWith(c, Shade(stone, 0.7));
    cairo_save(c.cr());
    cairo_translate(c.cr(), x + 34, floor - 14);
    cairo_rotate(c.cr(), -M_PI / 2 + 0.08);
    // In its own frame the statue stands from y 0 (its foot) up to y -h*0.75 (its shoulders).
    Poly(c, {{-20, 0}, {-12, -h * 0.72}, {12, -h * 0.72}, {20, 0}});
    LinearV(c, -h * 0.75, 0, {{0, Shade(stone, 0.6)}, {1, Shade(stone, 1.15)}});
    cairo_fill(c.cr());
    for (double yy = -h * 0.65; yy < -10; yy += 14) Seg(c, -14, yy, 14, yy + 4, 1, Shade(stone, 0.55));
    cairo_restore(c.cr());
    // The head broken off and rolled further, one horn snapped; the eyes dark.
    const double hx = x + 34 + h * 0.84, hy = floor - 16;
    Ellipse(c, hx, hy, 16, 13);
    FillWith(c, stone);
    Poly(c, {{hx - 6, hy - 10}, {hx - 4, hy - 30}, {hx + 4, hy - 12}});
    FillWith(c, stone);
    Poly(c, {{hx + 8, hy - 8}, {hx + 16, hy - 15}, {hx + 12, hy - 5}});
    FillWith(c, Shade(stone, 0.8));
    for (double ex : {hx - 5, hx + 5}) {
        Ellipse(c, ex, hy, 3, 2);
        FillWith(c, {30, 10, 10});
    }
    // The staff broken across the floor, its stone gone dark.
    Seg(c, x - 10, floor - 6, x + 60, floor - 22, 4, Shade(stone, 0.6));
    Seg(c, x + 68, floor - 26, x + 110, floor - 40, 4, Shade(stone, 0.6));
    c.ColourRgb({90, 30, 25});
    c.FillCircle(x + 114, floor - 42, 6);
    Rubble(c, x + h * 0.5, floor, 90, 91);
}

void ShatteredRoseWindow(Canvas& c, double x, double y, double r) {
    Ellipse(c, x, y, r + 12, r + 12);
    FillWith(c, {34, 22, 24});
    // Through the empty frame: smoke lit red by the fires outside.
    Ellipse(c, x, y, r, r);
    Radial(c, x, y + r * 0.6, r * 1.3, {{0, {255, 140, 50}, 1}, {0.45, {160, 40, 20}, 1}, {1, {40, 10, 12}, 1}});
    cairo_fill(c.cr());
    Rng rg(41);
    cairo_save(c.cr());
    Ellipse(c, x, y, r, r);
    cairo_clip(c.cr());
    for (int i = 0; i < 6; ++i) {
        double sx = x + rg.Range(-r, r), sy = y + rg.Range(-r, r) - 10;
        Radial(c, sx, sy, r * 0.5, {{0, {30, 20, 22}, 0.7}, {1, {30, 20, 22}, 0}});
        c.FillCircle(sx, sy, r * 0.5);
    }
    // What is left of the glass: shards of the old blue along the rim.
    for (int k = 0; k < 12; ++k) {
        if (k % 3 == 1) continue;
        double a0 = k * M_PI / 6, a1 = a0 + M_PI / 6;
        double d = rg.Range(0.55, 0.8);
        Poly(c, {{x + r * std::cos(a0), y + r * std::sin(a0)}, {x + r * std::cos(a1), y + r * std::sin(a1)},
                 {x + r * d * std::cos((a0 + a1) / 2 + rg.Range(-0.2, 0.2)), y + r * d * std::sin((a0 + a1) / 2)}});
        FillWith(c, k % 2 ? Rgb{70, 150, 200} : Rgb{40, 90, 150}, 0.9);
    }
    cairo_restore(c.cr());
    // The tracery: some spokes still there, others broken short.
    for (int k = 0; k < 12; ++k) {
        double a = k * M_PI / 6;
        double l = k % 4 == 0 ? 1.0 : k % 4 == 2 ? 0.45 : 0.7;
        Seg(c, x + r * std::cos(a), y + r * std::sin(a), x + r * (1 - l) * std::cos(a), y + r * (1 - l) * std::sin(a), 3, {34, 22, 24});
    }
    Ellipse(c, x, y, r * 0.3, r * 0.3);
    cairo_set_line_width(c.cr(), 3);
    c.ColourRgb({34, 22, 24});
    cairo_stroke(c.cr());
    Radial(c, x, y + r, r * 2.2, {{0, {255, 110, 40}, 0.18}, {1, {255, 110, 40}, 0}});
    c.FillRect(x - r * 2.2, y, r * 4.4, r * 3);
}

void AlarmBeacon(Canvas& c, double x, double y) {
    // Two beams swept from the lamp, then the lamp itself on its bracket.
    for (double a : {-0.35, M_PI + 0.5}) {
        cairo_move_to(c.cr(), x, y);
        cairo_line_to(c.cr(), x + 170 * std::cos(a - 0.16), y + 170 * std::sin(a - 0.16));
        cairo_line_to(c.cr(), x + 170 * std::cos(a + 0.16), y + 170 * std::sin(a + 0.16));
        cairo_close_path(c.cr());
        Radial(c, x, y, 170, {{0, {255, 60, 40}, 0.45}, {1, {255, 40, 30}, 0}});
        cairo_fill(c.cr());
    }
    Slab(c, x - 10, y + 6, 20, 8, {80, 70, 75});
    Glow(c, x, y, 22, {255, 50, 30}, 0.85);
    Ellipse(c, x, y, 7, 6);
    FillWith(c, {255, 90, 70});
    c.ColourRgb({255, 220, 200});
    c.FillCircle(x - 2, y - 2, 2);
}

void Rubble(Canvas& c, double x, double floor, double w, uint32_t seed) {
    Rng r(seed);
    for (int i = 0; i < int(w / 5); ++i) {
        double u = r.Range(-0.5, 0.5);
        double hgt = (1 - std::fabs(u) * 2) * w * 0.22;
        double bx = x + u * w, by = floor - r.Range(0, std::max(1.0, hgt)) - 3;
        double bw = r.Range(6, 16), bh = r.Range(4, 9);
        cairo_save(c.cr());
        cairo_translate(c.cr(), bx, by);
        cairo_rotate(c.cr(), r.Range(-0.6, 0.6));
        cairo_rectangle(c.cr(), -bw / 2, -bh / 2, bw, bh);
        cairo_restore(c.cr());
        const Rgb k = Mix({40, 32, 34}, {120, 90, 80}, r.Uniform());
        FillWith(c, k);
    }
}

void FallenCage(Canvas& c, double x, double floor, double chainTop) {
    // The chain snapped halfway down, its torn end swinging.
    Chain(c, x, chainTop, x + 6, chainTop + 70, {90, 80, 70});
    Seg(c, x + 6, chainTop + 70, x + 10, chainTop + 78, 2, {150, 130, 110});
    // The cage on its side on the floor, bars bent.
    cairo_save(c.cr());
    cairo_translate(c.cr(), x - 10, floor - 26);
    cairo_rotate(c.cr(), 1.35);
    cairo_rectangle(c.cr(), -32, -24, 64, 48);
    Stroke(c, {120, 100, 80}, 3, 1);
    for (int b = 1; b < 4; ++b) {
        cairo_move_to(c.cr(), -32 + b * 16, -24);
        cairo_curve_to(c.cr(), -32 + b * 16 + (b == 2 ? 8 : 0), -8, -32 + b * 16 - (b == 2 ? 6 : 0), 8, -32 + b * 16, 24);
        Stroke(c, {100, 85, 70}, 2, 1);
    }
    cairo_restore(c.cr());
}

void BurntBanner(Canvas& c, double x, double y, double w, double h) {
    Seg(c, x - 6, y, x + w + 6, y, 4, {110, 90, 50});
    // What the fire left of the cloth: a charred top with a ragged, glowing lower edge.
    Rng r{static_cast<uint32_t>(x)};
    cairo_move_to(c.cr(), x, y);
    cairo_line_to(c.cr(), x + w, y);
    std::vector<std::pair<double, double>> edge;
    for (int k = 6; k >= 0; --k) edge.push_back({x + w * k / 6.0, y + h * r.Range(0.25, 0.6)});
    for (auto& e : edge) cairo_line_to(c.cr(), e.first, e.second);
    cairo_close_path(c.cr());
    LinearV(c, y, y + h * 0.6, {{0, {80, 25, 20}}, {1, {30, 12, 10}}});
    cairo_fill(c.cr());
    cairo_move_to(c.cr(), edge[0].first, edge[0].second);
    for (auto& e : edge) cairo_line_to(c.cr(), e.first, e.second);
    Stroke(c, {255, 120, 30}, 2, 0.9);
    for (auto& e : edge) Glow(c, e.first, e.second, 6, {255, 110, 30}, 0.6);
}

}  // namespace assets
