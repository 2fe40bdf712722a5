#include "tools/assets/Landmarks14.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/Art.h"
#include "tools/assets/Landmarks.h"
#include "tools/assets/Noise.h"

namespace assets {
namespace {

void Path(Canvas& c, const std::vector<std::pair<double, double>>& pts) {
    cairo_new_path(c.cr());
    for (size_t i = 0; i < pts.size(); ++i) {
        if (i == 0) cairo_move_to(c.cr(), pts[i].first, pts[i].second);
        else cairo_line_to(c.cr(), pts[i].first, pts[i].second);
    }
    cairo_close_path(c.cr());
}

}  // namespace

// ------------------------------------------------------------------ terrain shapes

void SolidPolygon(World& w, const std::vector<std::pair<double, double>>& pts) {
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (auto& p : pts) {
        minX = std::min(minX, p.first), maxX = std::max(maxX, p.first);
        minY = std::min(minY, p.second), maxY = std::max(maxY, p.second);
    }
    for (int y = std::max(0, int(minY)); y <= std::min(w.h - 1, int(maxY) + 1); ++y)
        for (int x = std::max(0, int(minX)); x <= std::min(w.w - 1, int(maxX) + 1); ++x) {
            bool in = false;
            const double px = x + 0.5, py = y + 0.5;
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                const auto& a = pts[i];
                const auto& b = pts[j];
                if ((a.second > py) != (b.second > py) &&
                    px < (b.first - a.first) * (py - a.second) / (b.second - a.second) + a.first)
                    in = !in;
            }
            if (in) w.S(x, y) = 1;
        }
}

void SolidShard(World& w, double x0, double y0, double x1, double y1, double width) {
    const double dx = x1 - x0, dy = y1 - y0, l = std::max(1.0, std::hypot(dx, dy));
    const double nx = -dy / l * width / 2, ny = dx / l * width / 2;
    const double mx = x0 + dx * 0.38, my = y0 + dy * 0.38;
    SolidPolygon(w, {{x0, y0}, {mx + nx, my + ny}, {x1, y1}, {mx - nx, my - ny}});
}

void SolidIsland(World& w, double cx, double top, double halfW, double depth, uint32_t seed) {
    std::vector<std::pair<double, double>> pts;
    const int n = 24;
    for (int k = 0; k <= n; ++k) {  // the top, left to right, gently rough
        double x = cx - halfW + 2 * halfW * k / n;
        pts.push_back({x, top + 4 * Noise1(x / 20.0, seed) + 6 * std::pow(std::fabs(k - n / 2.0) / (n / 2.0), 3)});
    }
    for (int k = 1; k < n; ++k) {  // the underside, right to left, tapering to a point
        double u = 1 - 2.0 * k / n;
        double x = cx + halfW * u;
        double d = depth * std::pow(1 - std::fabs(u), 1.6) + 6;
        pts.push_back({x, top + d + 5 * Noise1(x / 9.0, seed + 1)});
    }
    SolidPolygon(w, pts);
}

bool LayeredCrystal(int x, int depth, uint32_t seed) {
    // Three layers: fine facets in the crust, larger below, the largest deep down, with a seam
    // (a lime band two pixels high) where one layer meets the next.
    const int seam1 = 16 + int(3 * Noise1(x / 40.0, seed)), seam2 = 38 + int(5 * Noise1(x / 55.0, seed + 1));
    if (std::abs(depth - seam1) < 1 || std::abs(depth - seam2) < 1) return true;
    const double cell = depth < seam1 ? 13 : depth < seam2 ? 22 : 36;
    const uint32_t layer = depth < seam1 ? 0 : depth < seam2 ? 1 : 2;
    return VoronoiSeam(x, depth * (depth < seam1 ? 1.6 : 1.0), cell, seed + 10 * layer) < 2.2;
}

// ------------------------------------------------------------------ the crystal plain

void Ridge(Canvas& c, double x0, double x1, double base, double amp, double scale, uint32_t seed, Rgb body, Rgb rim) {
    cairo_t* cr = c.cr();
    cairo_new_path(cr);
    cairo_move_to(cr, x0, 380);
    for (double x = x0; x <= x1; x += 3) cairo_line_to(cr, x, Profile(x, seed, base, amp, scale));
    cairo_line_to(cr, x1, 380);
    cairo_close_path(cr);
    FillWith(c, body);
    // The sun is low on the right: the slopes facing it catch a thin line of light.
    for (double x = x0; x < x1; x += 3) {
        double ya = Profile(x, seed, base, amp, scale), yb = Profile(x + 3, seed, base, amp, scale);
        if (yb >= ya) continue;
        Line(c, x, ya + 1, x + 3, yb + 1, 1.6, rim, std::min(1.0, (ya - yb) / 3.0));
    }
}

void SunsetClouds(Canvas& c, double x0, double x1, double yTop, double yBottom, uint32_t seed) {
    // Long thin clouds low over the hills, dark above and lit from below by the set sun; the
    // further right (the later in the evening), the redder their light.
    Rng r(seed);
    for (double x = x0 + r.Range(0, 200); x < x1; x += r.Range(180, 520)) {
        const double y = r.Range(yTop, yBottom), rx = r.Range(60, 170), ry = r.Range(4, 9);
        const double p = (x - x0) / std::max(1.0, x1 - x0);
        const Rgb lit = {255, uint8_t(170 - 90 * p), uint8_t(110 - 30 * p)};
        for (int k = 0; k < 3; ++k) {
            const double cx = x + r.Range(-rx, rx) * 0.5, cy = y + r.Range(-4, 4), kx = rx * r.Range(0.4, 0.8);
            Ellipse(c, cx, cy, kx, ry);
            LinearV(c, cy - ry, cy + ry, {{0, {80, 44, 96}}, {0.55, {120, 60, 110}}, {1, lit}});
            cairo_save(c.cr());
            cairo_clip_preserve(c.cr());
            cairo_paint_with_alpha(c.cr(), 0.75);
            cairo_restore(c.cr());
            cairo_new_path(c.cr());
        }
    }
}

void Beacon(Canvas& c, double x, double ground, double h) {
    // A route marker: a slim lattice mast with a lamp, the first sight after landing.
    Truss(c, x, ground, x, ground - h, 6, {80, 64, 96});
    Line(c, x - 10, ground, x + 10, ground, 3, {60, 46, 70});
    Glow(c, x, ground - h - 4, 14, {255, 200, 90});
    Rect(c, x - 3, ground - h - 6, 6, 5, {255, 230, 170});
}

void StandingStones(Canvas& c, double x, double ground, uint32_t seed) {
    // A ring of old stones on a knoll, one lintel still across, a faint glow between them.
    Rng r(seed);
    Ellipse(c, x + 110, ground + 4, 150, 22);
    FillWith(c, {58, 30, 66});
    Radial(c, x + 110, ground - 40, 110, {{0, {255, 170, 110}, 0.35}, {1, {255, 120, 80}, 0}});
    c.FillCircle(x + 110, ground - 40, 110);
    const double xs[] = {0, 44, 92, 138, 186, 226};
    for (int k = 0; k < 6; ++k) {
        double h = r.Range(50, 78) * (k == 2 || k == 3 ? 1.15 : 1), wd = r.Range(18, 26), lean = r.Range(-5, 5);
        double sx = x + xs[k];
        Path(c, {{sx, ground}, {sx + lean, ground - h}, {sx + wd * 0.85 + lean, ground - h - 4}, {sx + wd, ground}});
        LinearV(c, ground - h, ground, {{0, {96, 66, 104}}, {1, {44, 26, 56}}});
        cairo_fill(c.cr());
        Line(c, sx + wd * 0.85 + lean, ground - h - 3, sx + wd, ground, 2, {230, 140, 110}, 0.8);  // sunward edge
        for (int g = 0; g < 3; ++g) {  // worn glyphs
            double gy = ground - h * (0.3 + 0.2 * g);
            Line(c, sx + wd * 0.3, gy, sx + wd * 0.65, gy - 3, 1.5, {40, 20, 50}, 0.9);
        }
    }
    Path(c, {{x + 86, ground - 92}, {x + 170, ground - 96}, {x + 172, ground - 82}, {x + 88, ground - 78}});
    LinearV(c, ground - 96, ground - 78, {{0, {110, 76, 116}}, {1, {50, 30, 62}}});
    cairo_fill(c.cr());
    Line(c, x + 86, ground - 93, x + 170, ground - 97, 1.5, {240, 160, 120}, 0.8);
}

void AlienFlora(Canvas& c, double x, double ground, double w, uint32_t seed) {
    // Tall stalks bent by the wind, each carrying a glowing bulb; low fronds at their feet.
    Rng r(seed);
    const int n = int(w / 26);
    for (int k = 0; k < n; ++k) {
        double sx = x + k * w / n + r.Range(-8, 8), h = r.Range(36, 96), bend = r.Range(8, 24);
        cairo_move_to(c.cr(), sx, ground);
        cairo_curve_to(c.cr(), sx - 4, ground - h * 0.4, sx - bend, ground - h * 0.8, sx - bend * 0.8, ground - h);
        Stroke(c, {70, 34, 70}, r.Range(3, 5), 1);
        // Muted amber and violet, low over the ground: nothing like a shot in the air.
        const Rgb bulb = r.Uniform() < 0.5 ? Rgb{225, 150, 95} : Rgb{190, 120, 210};
        Glow(c, sx - bend * 0.8, ground - h, 11, bulb, 0.4);
        Ellipse(c, sx - bend * 0.8, ground - h - 3, 5, 8);
        FillWith(c, bulb);
        for (int f = 0; f < 4; ++f) {
            double a = -M_PI / 2 + r.Range(-1.3, 1.3), l = r.Range(14, 30);
            cairo_move_to(c.cr(), sx, ground);
            cairo_curve_to(c.cr(), sx + std::cos(a) * l * 0.3, ground - 10, sx + std::cos(a) * l, ground + std::sin(a) * l * 0.6,
                           sx + std::cos(a) * l * 1.2, ground + std::sin(a) * l * 0.3);
            Stroke(c, {110, 48, 90}, 2.5, 0.9);
        }
    }
}

void RadioDish(Canvas& c, double x, double ground, double r) {
    // A listening dish on a turret, turned to the sky, its feed lit red.
    const Rgb steel{120, 112, 140};
    Path(c, {{x - r * 0.35, ground}, {x - r * 0.12, ground - r * 0.9}, {x + r * 0.12, ground - r * 0.9}, {x + r * 0.35, ground}});
    LinearV(c, ground - r, ground, {{0, {110, 100, 130}}, {1, {50, 40, 64}}});
    cairo_fill(c.cr());
    cairo_save(c.cr());
    cairo_translate(c.cr(), x, ground - r);
    cairo_rotate(c.cr(), -0.5);
    cairo_save(c.cr());
    cairo_scale(c.cr(), 1, 0.38);
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), 0, 0, r, 0, M_PI);
    cairo_close_path(c.cr());
    cairo_restore(c.cr());
    LinearV(c, -r * 0.4, r * 0.4, {{0, {210, 200, 220}}, {1, {90, 80, 110}}});
    cairo_fill(c.cr());
    cairo_save(c.cr());
    cairo_scale(c.cr(), 1, 0.12);
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), 0, 0, r, 0, 2 * M_PI);
    cairo_restore(c.cr());
    FillWith(c, {70, 60, 90});
    for (double s : {-0.7, 0.7}) Line(c, r * s, 0, 0, -r * 0.75, 2, steel);
    Line(c, 0, 0, 0, -r * 0.75, 2, steel);
    Glow(c, 0, -r * 0.78, 10, {255, 70, 60});
    cairo_restore(c.cr());
}

void Volcano(Canvas& c, double x, double base, double w, double h) {
    // A far cone with a glowing crater and a lava thread, its plume leaning with the wind.
    Path(c, {{x - w / 2, base}, {x - w * 0.08, base - h}, {x + w * 0.08, base - h + 4}, {x + w / 2, base}});
    LinearV(c, base - h, base, {{0, {90, 44, 70}}, {1, {60, 30, 60}}});
    cairo_fill(c.cr());
    for (int i = 0; i < 9; ++i) {
        double px = x - i * 16 - i * i * 2, py = base - h - 14 - i * 20, pr = 16 + i * 6;
        Radial(c, px, py, pr, {{0, {110, 70, 90}, 0.55 - i * 0.04}, {1, {80, 50, 80}, 0}});
        c.FillCircle(px, py, pr);
    }
    Radial(c, x, base - h, w * 0.22, {{0, {255, 200, 90}, 0.9}, {0.4, {255, 90, 30}, 0.6}, {1, {200, 40, 20}, 0}});
    c.FillCircle(x, base - h, w * 0.22);
    cairo_move_to(c.cr(), x + 3, base - h + 4);
    cairo_curve_to(c.cr(), x + 10, base - h * 0.7, x + 2, base - h * 0.5, x + 16, base - h * 0.25);
    Stroke(c, {255, 120, 40}, 2.5, 0.9);
}

void Pylons(Canvas& c, double x0, double x1, double ground, double h, int n) {
    // Power line on lattice masts, the cables sagging between them.
    const double step = (x1 - x0) / std::max(1, n - 1);
    for (int k = 0; k < n; ++k) {
        const double px = x0 + k * step;
        Truss(c, px - 12, ground, px - 3, ground - h, 5, {70, 60, 84});
        Truss(c, px + 12, ground, px + 3, ground - h, 5, {70, 60, 84});
        Line(c, px - 16, ground - h + 4, px + 16, ground - h + 4, 3, {80, 70, 96});
        Glow(c, px, ground - h - 4, 5, {255, 80, 60}, 0.8);
        if (k + 1 < n)
            for (double o : {-14.0, 14.0}) {
                cairo_move_to(c.cr(), px + o, ground - h + 5);
                cairo_curve_to(c.cr(), px + o + step * 0.3, ground - h + 30, px + o + step * 0.7, ground - h + 30, px + o + step, ground - h + 5);
                Stroke(c, {30, 20, 36}, 1.2, 0.9);
            }
    }
}

void SunsetLake(Canvas& c, double x0, double x1, double y, double h, uint32_t seed) {
    // Still water on the plain, mirroring the glow of the horizon in broken streaks.
    c.Flush();
    Rng r(seed);
    cairo_new_path(c.cr());
    cairo_move_to(c.cr(), x0, y + h * 0.5);
    cairo_curve_to(c.cr(), x0 + 40, y, x1 - 40, y, x1, y + h * 0.5);
    cairo_curve_to(c.cr(), x1 - 40, y + h, x0 + 40, y + h, x0, y + h * 0.5);
    cairo_close_path(c.cr());
    LinearV(c, y, y + h, {{0, {240, 130, 90}}, {0.5, {130, 50, 90}}, {1, {50, 20, 60}}});
    cairo_fill(c.cr());
    for (int i = 0; i < int((x1 - x0) / 6); ++i) {
        double sx = r.Range(x0 + 30, x1 - 30), sy = y + r.Range(h * 0.2, h * 0.8), l = r.Range(8, 30);
        Line(c, sx, sy, sx + l, sy, 1.2, {255, 210, 150}, r.Range(0.3, 0.8));
    }
}

// ------------------------------------------------------------------ the cave

void Crates(Canvas& c, double x, double floor, int n, uint32_t seed) {
    Rng r(seed);
    double cx = x;
    for (int k = 0; k < n; ++k) {
        const double s = r.Range(22, 32);
        const double y = floor - s;
        LinearV(c, y, y + s, {{0, {150, 110, 70}}, {1, {85, 58, 36}}});
        c.FillRect(cx, y, s, s);
        cairo_rectangle(c.cr(), cx + 1, y + 1, s - 2, s - 2);
        Stroke(c, {60, 40, 24}, 2, 1);
        Line(c, cx + 2, y + 2, cx + s - 2, y + s - 2, 2, {70, 48, 28});
        Rect(c, cx + s * 0.3, y + s * 0.4, s * 0.4, 3, {200, 170, 60}, 0.8);  // a stencilled band
        if (k == 1 && n > 2) {  // one more on top
            const double t = s * 0.8;
            LinearV(c, y - t, y, {{0, {160, 120, 80}}, {1, {90, 62, 40}}});
            c.FillRect(cx + 4, y - t, t, t);
            cairo_rectangle(c.cr(), cx + 5, y - t + 1, t - 2, t - 2);
            Stroke(c, {60, 40, 24}, 2, 1);
        }
        cx += s + 2;
    }
}

void Rails(Canvas& c, double x0, double x1, double y) {
    for (double x = x0; x < x1; x += 14) Rect(c, x, y - 2, 8, 5, {70, 50, 36});
    Line(c, x0, y - 3, x1, y - 3, 2, {150, 140, 150});
    Line(c, x0, y - 1.5, x1, y - 1.5, 1, {70, 66, 80});
}

void MineCart(Canvas& c, double x, double rail) {
    Path(c, {{x, rail - 34}, {x + 58, rail - 34}, {x + 52, rail - 8}, {x + 6, rail - 8}});
    LinearV(c, rail - 34, rail - 8, {{0, {120, 100, 90}}, {1, {60, 46, 44}}});
    cairo_fill(c.cr());
    Line(c, x, rail - 33, x + 58, rail - 33, 2.5, {170, 150, 130});
    for (double b : {x + 16.0, x + 40.0}) Line(c, b, rail - 32, b - 1, rail - 9, 2, {70, 54, 50});
    for (int k = 0; k < 5; ++k) {  // ore heaped in it, a few blue crumbs
        Ellipse(c, x + 10 + k * 9, rail - 36, 7, 5);
        FillWith(c, k % 2 ? Rgb{70, 60, 80} : Rgb{90, 80, 100});
    }
    Rect(c, x + 22, rail - 40, 4, 3, {170, 190, 255});
    for (double wx : {x + 14.0, x + 44.0}) {
        c.ColourRgb({40, 36, 40});
        c.FillCircle(wx, rail - 6, 6);
        c.ColourRgb({130, 120, 120});
        c.FillCircle(wx, rail - 6, 2);
    }
}

void StringLights(Canvas& c, double x0, double y0, double x1, double y1, int n, double sag) {
    cairo_move_to(c.cr(), x0, y0);
    cairo_curve_to(c.cr(), x0 + (x1 - x0) / 3, y0 + sag, x0 + 2 * (x1 - x0) / 3, y1 + sag, x1, y1);
    Stroke(c, {30, 26, 30}, 1.5, 1);
    for (int k = 1; k < n; ++k) {
        double t = double(k) / n, u = 1 - t;
        // The cable's Bezier point at t.
        double bx = u * u * u * x0 + 3 * u * u * t * (x0 + (x1 - x0) / 3) + 3 * u * t * t * (x0 + 2 * (x1 - x0) / 3) + t * t * t * x1;
        double by = u * u * u * y0 + 3 * u * u * t * (y0 + sag) + 3 * u * t * t * (y1 + sag) + t * t * t * y1;
        Line(c, bx, by, bx, by + 5, 1, {30, 26, 30});
        Radial(c, bx, by + 8, 34, {{0, {255, 190, 110}, 0.3}, {1, {255, 160, 80}, 0}});
        c.FillCircle(bx, by + 8, 34);
        Glow(c, bx, by + 8, 12, {255, 200, 120}, 0.85);
        c.ColourRgb({255, 235, 190});
        c.FillCircle(bx, by + 8, 2.5);
    }
}

void Winch(Canvas& c, double x, double y, double ropeTo) {
    // A sheave on a timber cross-beam over the shaft, its rope hanging down with a hook.
    Rect(c, x - 60, y - 6, 120, 12, {100, 70, 46});
    Line(c, x - 60, y - 6, x + 60, y - 6, 1.5, {150, 110, 80});
    for (double s : {-1.0, 1.0}) Line(c, x + s * 50, y + 6, x + s * 70, y + 46, 6, {90, 62, 40});
    Ellipse(c, x, y + 18, 16, 16);
    cairo_set_line_width(c.cr(), 4);
    c.ColourRgb({150, 140, 130});
    cairo_stroke(c.cr());
    for (int k = 0; k < 4; ++k) {
        double a = k * M_PI / 4;
        Line(c, x - 15 * std::cos(a), y + 18 - 15 * std::sin(a), x + 15 * std::cos(a), y + 18 + 15 * std::sin(a), 1.5, {120, 110, 100});
    }
    Line(c, x + 15, y + 18, x + 15, ropeTo, 1.5, {60, 50, 40});
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), x + 11, ropeTo + 6, 5, -0.3, M_PI);
    Stroke(c, {160, 150, 150}, 2.5, 1);
}

void Waterfall(Canvas& c, double x, double top, double bottom, double w, uint32_t seed) {
    // Water from a crack in the roof, a veil of streaks and a cloud of spray where it lands.
    Rng r(seed);
    cairo_pattern_t* p = cairo_pattern_create_linear(x - w / 2, 0, x + w / 2, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.45, 0.55, 0.75, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.6, 0.7, 0.85, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.45, 0.55, 0.75, 0);
    cairo_set_source(c.cr(), p);
    cairo_pattern_destroy(p);
    c.FillRect(x - w / 2, top, w, bottom - top);
    for (int i = 0; i < int(w * 1.5); ++i) {
        double sx = x + r.Range(-w * 0.4, w * 0.4), sy = r.Range(top, bottom - 20), l = r.Range(20, 60);
        Line(c, sx, sy, sx + r.Range(-1, 1), std::min(bottom, sy + l), 1, {200, 215, 235}, r.Range(0.3, 0.7));
    }
    for (int i = 0; i < 7; ++i) {
        double sx = x + r.Range(-w * 0.8, w * 0.8), sy = bottom - r.Range(0, 24), sr = r.Range(12, 24);
        Radial(c, sx, sy, sr, {{0, {210, 220, 240}, 0.5}, {1, {160, 170, 210}, 0}});
        c.FillCircle(sx, sy, sr);
    }
}

void Mushrooms(Canvas& c, double x, double floor, double w, int n, uint32_t seed) {
    // Tall pale mushrooms with glowing caps, amber and rose (never the crystals' blue).
    Rng r(seed);
    for (int k = 0; k < n; ++k) {
        double mx = x + r.Range(0, w), h = r.Range(18, 60), cw = h * r.Range(0.35, 0.6);
        const Rgb cap = r.Uniform() < 0.5 ? Rgb{255, 170, 90} : Rgb{240, 120, 190};
        Glow(c, mx, floor - h, cw * 2.2, cap, 0.35);
        cairo_move_to(c.cr(), mx, floor);
        cairo_curve_to(c.cr(), mx - 3, floor - h * 0.4, mx + 3, floor - h * 0.7, mx, floor - h);
        Stroke(c, {190, 170, 160}, std::max(2.0, h / 12), 1);
        cairo_new_path(c.cr());
        cairo_arc(c.cr(), mx, floor - h + 2, cw, M_PI, 2 * M_PI);
        cairo_close_path(c.cr());
        LinearV(c, floor - h - cw, floor - h + 2, {{0, Shade(cap, 1.15)}, {1, Shade(cap, 0.55)}});
        cairo_fill(c.cr());
        for (int d = 0; d < 3; ++d) {
            c.ColourRgb({255, 240, 220}, 0.8);
            c.FillCircle(mx - cw * 0.5 + d * cw * 0.5, floor - h - cw * 0.45 + (d % 2) * 3, 1.5);
        }
    }
}

void Carvings(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    // A panel cut smooth into the rock by someone long gone: a border, rows of glyphs and a
    // great eye in the middle, picked out by a faint amber light.
    Rng r(seed);
    cairo_rectangle(c.cr(), x, y, w, h);
    LinearV(c, y, y + h, {{0, {100, 80, 96}}, {1, {56, 44, 62}}});
    cairo_fill(c.cr());
    cairo_rectangle(c.cr(), x + 4, y + 4, w - 8, h - 8);
    Stroke(c, {36, 26, 40}, 3, 1);
    cairo_rectangle(c.cr(), x + 3, y + 3, w - 8, h - 8);
    Stroke(c, {160, 130, 130}, 1, 0.7);
    const double ex = x + w / 2, ey = y + h / 2;
    cairo_save(c.cr());
    cairo_translate(c.cr(), ex, ey);
    cairo_scale(c.cr(), 1, 0.55);
    cairo_arc(c.cr(), 0, 0, w * 0.22, 0, 2 * M_PI);
    cairo_restore(c.cr());
    Stroke(c, {36, 26, 40}, 3, 1);
    Glow(c, ex, ey, w * 0.12, {255, 170, 80}, 0.8);
    for (int row = 0; row < 2; ++row)
        for (double gx = x + 12; gx < x + w - 16; gx += 14) {
            double gy = row == 0 ? y + 12 : y + h - 26;
            switch (r.Int(4)) {
            case 0: Line(c, gx, gy, gx + 8, gy + 14, 2, {36, 26, 40}); Line(c, gx + 8, gy, gx, gy + 14, 2, {36, 26, 40}); break;
            case 1: cairo_new_path(c.cr()); cairo_arc(c.cr(), gx + 4, gy + 7, 5, 0, 2 * M_PI); Stroke(c, {36, 26, 40}, 2, 1); break;
            case 2: Line(c, gx + 4, gy, gx + 4, gy + 14, 2, {36, 26, 40}); Line(c, gx, gy + 5, gx + 8, gy + 5, 2, {36, 26, 40}); break;
            default: Path(c, {{gx, gy + 14}, {gx + 4, gy}, {gx + 8, gy + 14}}); Stroke(c, {36, 26, 40}, 2, 1); break;
            }
        }
    Radial(c, ex, y + h, w * 0.8, {{0, {255, 180, 100}, 0.25}, {1, {255, 150, 80}, 0}});
    c.FillCircle(ex, y + h, w * 0.8);
}

void CaveColumns(Canvas& c, double x0, double x1, double top, double bottom, uint32_t seed, Rgb body, Rgb rim) {
    // Columns far back in the cave, where stalactites met stalagmites: harmless rock, darker
    // than the wall behind, lit on one edge.
    Rng r(seed);
    for (double x = x0 + r.Range(0, 80); x < x1; x += r.Range(120, 220)) {
        const double wd = r.Range(16, 36), waist = r.Range(0.3, 0.55), wy = r.Range(0.4, 0.6);
        const double my = top + (bottom - top) * wy;
        cairo_new_path(c.cr());
        cairo_move_to(c.cr(), x - wd * 1.6, top);
        cairo_curve_to(c.cr(), x - wd, top + 40, x - wd * waist, my - 30, x - wd * waist, my);
        cairo_curve_to(c.cr(), x - wd * waist, my + 30, x - wd, bottom - 40, x - wd * 1.6, bottom);
        cairo_line_to(c.cr(), x + wd * 1.6, bottom);
        cairo_curve_to(c.cr(), x + wd, bottom - 40, x + wd * waist, my + 30, x + wd * waist, my);
        cairo_curve_to(c.cr(), x + wd * waist, my - 30, x + wd, top + 40, x + wd * 1.6, top);
        cairo_close_path(c.cr());
        cairo_pattern_t* p = cairo_pattern_create_linear(x - wd * 1.6, 0, x + wd * 1.6, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, body.r / 255.0, body.g / 255.0, body.b / 255.0);
        cairo_pattern_add_color_stop_rgb(p, 0.8, body.r / 255.0 * 1.2, body.g / 255.0 * 1.2, body.b / 255.0 * 1.2);
        cairo_pattern_add_color_stop_rgb(p, 1, rim.r / 255.0, rim.g / 255.0, rim.b / 255.0);
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        cairo_fill(c.cr());
    }
}

}  // namespace assets
