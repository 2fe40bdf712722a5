#include "tools/assets/Landmarks.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/Art.h"
#include "tools/assets/Noise.h"

namespace assets {
namespace {

// A box lit from the top left: face, lit top edge, dark right edge.
void Block(Canvas& c, double x, double y, double w, double h, Rgb k) {
    LinearV(c, y, y + h, {{0, Shade(k, 1.25)}, {1, Shade(k, 0.7)}});
    c.FillRect(x, y, w, h);
    Rect(c, x, y, w, 2, Shade(k, 1.6));
    Rect(c, x + w - 2, y, 2, h, Shade(k, 0.45));
}

}  // namespace

// ------------------------------------------------------------------ small parts

void FillWith(Canvas& c, Rgb k, double a) {
    c.ColourRgb(k, a);
    cairo_fill(c.cr());
}

void Glow(Canvas& c, double x, double y, double r, Rgb k, double a) {
    Radial(c, x, y, r, {{0, {255, 255, 235}, a}, {0.25, k, a * 0.8}, {1, k, 0}});
    c.FillCircle(x, y, r);
}

void Beam(Canvas& c, double x0, double y0, double x1, double y1, double w, Rgb k) {
    cairo_set_line_cap(c.cr(), CAIRO_LINE_CAP_BUTT);
    Line(c, x0, y0, x1, y1, w, Shade(k, 0.55));
    double dx = x1 - x0, dy = y1 - y0, l = std::max(1.0, std::hypot(dx, dy));
    double nx = -dy / l * w * 0.25, ny = dx / l * w * 0.25;
    Line(c, x0 - nx, y0 - ny, x1 - nx, y1 - ny, w * 0.35, k);
    Line(c, x0 - 2 * nx, y0 - 2 * ny, x1 - 2 * nx, y1 - 2 * ny, 1, Shade(k, 1.5), 0.8);
}

void Truss(Canvas& c, double x0, double y0, double x1, double y1, double depth, Rgb k) {
    double dx = x1 - x0, dy = y1 - y0, l = std::max(1.0, std::hypot(dx, dy));
    double nx = -dy / l * depth / 2, ny = dx / l * depth / 2;
    Line(c, x0 + nx, y0 + ny, x1 + nx, y1 + ny, 3, k);
    Line(c, x0 - nx, y0 - ny, x1 - nx, y1 - ny, 3, Shade(k, 1.3));
    int n = std::max(1, int(l / depth));
    for (int i = 0; i < n; ++i) {
        double t0 = double(i) / n, t1 = double(i + 1) / n;
        double s = i % 2 ? 1 : -1;
        Line(c, x0 + dx * t0 + s * nx, y0 + dy * t0 + s * ny, x0 + dx * t1 - s * nx, y0 + dy * t1 - s * ny, 2, Shade(k, 0.8));
    }
}

void Chain(Canvas& c, double x0, double y0, double x1, double y1, Rgb k) {
    double l = std::hypot(x1 - x0, y1 - y0);
    int n = std::max(2, int(l / 7));
    for (int i = 0; i < n; ++i) {
        double t = (i + 0.5) / n;
        double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        Ellipse(c, x, y, i % 2 ? 2 : 3, i % 2 ? 4 : 3);
        cairo_set_line_width(c.cr(), 1.5);
        c.ColourRgb(k);
        cairo_stroke(c.cr());
    }
}

void Window(Canvas& c, double x, double y, double w, double h, Rgb light, Rgb frame) {
    LinearV(c, y, y + h, {{0, Shade(light, 1.2)}, {1, Shade(light, 0.6)}});
    c.FillRect(x, y, w, h);
    cairo_rectangle(c.cr(), x, y, w, h);
    Stroke(c, frame, 2, 1);
    Line(c, x + w / 2, y, x + w / 2, y + h, 1.5, frame);
}

// ------------------------------------------------------------------ level 1

void CrashedShip(Canvas& c, double x, double y, double len) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, 0.16);  // nose down in the hillside
    // Smoke from the broken engines.
    for (int i = 0; i < 7; ++i) {
        double sx = -len * 0.45 - i * 9, sy = -10 - i * 22;
        Radial(c, sx, sy, 18 + i * 5, {{0, {90, 70, 90}, 0.45}, {1, {60, 40, 70}, 0}});
        c.FillCircle(sx, sy, 18 + i * 5);
    }
    Poly(c, {{-len / 2, -12}, {len * 0.3, -16}, {len / 2, -2}, {len * 0.3, 14}, {-len / 2, 14}});
    LinearV(c, -16, 14, {{0, {120, 110, 130}}, {1, {40, 30, 50}}});
    cairo_fill(cr);
    // A torn fin and the hull's ribs showing through a hole.
    Poly(c, {{-len * 0.35, -12}, {-len * 0.2, -12}, {-len * 0.32, -44}, {-len * 0.4, -40}});
    FillWith(c, {70, 60, 80});
    Ellipse(c, len * 0.02, 0, len * 0.12, 8);
    FillWith(c, {20, 12, 26});
    for (int k = -2; k <= 2; ++k) Line(c, len * 0.02 + k * len * 0.04, -7, len * 0.02 + k * len * 0.04, 7, 2, {100, 90, 110});
    // The cockpit, dead, and one light still blinking.
    Poly(c, {{len * 0.3, -14}, {len * 0.44, -5}, {len * 0.3, -4}});
    FillWith(c, {60, 90, 120});
    Glow(c, len * 0.22, 8, 6, {255, 80, 60});
    cairo_restore(cr);
}

void Colony(Canvas& c, double x, double ground, uint32_t seed) {
    Rng r(seed);
    // A mast with a red beacon.
    Truss(c, x + 260, ground, x + 260, ground - 170, 10, {90, 80, 110});
    Glow(c, x + 260, ground - 174, 12, {255, 60, 50});
    // Domes with lit windows, joined by tubes.
    const double domes[][2] = {{40, 46}, {130, 70}, {210, 38}, {330, 56}, {420, 34}};
    Line(c, x + 40, ground - 14, x + 420, ground - 14, 8, {70, 60, 90});
    for (auto& d : domes) {
        double cx = x + d[0], rr = d[1];
        cairo_new_sub_path(c.cr());
        cairo_arc(c.cr(), cx, ground, rr, M_PI, 2 * M_PI);
        cairo_close_path(c.cr());
        Radial(c, cx - rr * 0.4, ground - rr * 0.7, rr * 1.5, {{0, {190, 200, 230}, 1}, {0.6, {90, 90, 130}, 1}, {1, {40, 35, 60}, 1}});
        cairo_fill(c.cr());
        for (int k = 0; k < int(rr / 10); ++k) {
            double wx = cx - rr * 0.6 + r.Range(0, rr * 1.2), wy = ground - r.Range(6, rr * 0.6);
            Rect(c, wx, wy, 5, 4, r.Uniform() < 0.7 ? Rgb{255, 220, 130} : Rgb{130, 220, 255});
        }
    }
}

void PitHead(Canvas& c, double x, double ground) {
    const Rgb steel{70, 72, 92};
    // The winding house with its lit windows.
    Block(c, x, ground - 110, 170, 110, {85, 60, 70});
    Poly(c, {{x - 8, ground - 110}, {x + 85, ground - 150}, {x + 178, ground - 110}});
    FillWith(c, {60, 40, 50});
    for (int k = 0; k < 4; ++k) Window(c, x + 14 + k * 40, ground - 90, 22, 30, {255, 200, 110}, {40, 30, 30});
    Rect(c, x + 120, ground - 200, 22, 90, {60, 45, 50});  // chimney
    for (int i = 0; i < 5; ++i) {
        Radial(c, x + 131 + i * 12, ground - 210 - i * 20, 14 + i * 4, {{0, {110, 90, 110}, 0.5}, {1, {80, 60, 90}, 0}});
        c.FillCircle(x + 131 + i * 12, ground - 210 - i * 20, 14 + i * 4);
    }
    // The head frame: two legs and a back stay, the sheave wheels on top.
    const double fx = x + 300, top = ground - 240;
    Truss(c, fx - 70, ground, fx - 10, top, 14, steel);
    Truss(c, fx + 70, ground, fx + 10, top, 14, steel);
    Truss(c, fx - 170, ground - 20, fx - 10, top + 10, 10, Shade(steel, 0.8));
    Beam(c, fx - 40, top, fx + 40, top, 8, {110, 110, 130});
    for (double wx : {fx - 18.0, fx + 18.0}) {
        Ellipse(c, wx, top - 18, 22, 22);
        cairo_set_line_width(c.cr(), 4);
        c.ColourRgb({150, 140, 120});
        cairo_stroke(c.cr());
        for (int k = 0; k < 6; ++k) {
            double a = k * M_PI / 3;
            Line(c, wx, top - 18, wx + 22 * std::cos(a), top - 18 + 22 * std::sin(a), 1.5, {120, 110, 100});
        }
    }
    // Ropes down into the shaft and to the winding house; a light at the pit's mouth.
    Line(c, fx - 40, top - 18, fx - 40, ground, 1.5, {30, 30, 30});
    Line(c, fx + 4, top - 18, fx + 4, ground, 1.5, {30, 30, 30});
    Line(c, fx - 30, top - 30, x + 150, ground - 120, 1.5, {30, 30, 30});
    Glow(c, fx - 18, top - 46, 10, {255, 60, 50});
    Radial(c, fx - 18, ground, 90, {{0, {255, 190, 120}, 0.55}, {1, {255, 120, 60}, 0}});
    c.FillRect(fx - 110, ground - 90, 180, 90);
}

// ------------------------------------------------------------------ level 2

void LiftCage(Canvas& c, double x, double y) {
    const Rgb steel{120, 110, 95};
    for (double cx : {x + 10.0, x + 70.0}) Line(c, cx, y - 900, cx, y, 2, {40, 40, 45});
    Line(c, x + 40, y - 900, x + 40, y - 20, 3, {30, 30, 35});  // the broken hoist rope
    cairo_save(c.cr());
    cairo_translate(c.cr(), x + 40, y + 60);
    cairo_rotate(c.cr(), 0.12);
    cairo_rectangle(c.cr(), -40, -60, 80, 120);
    FillWith(c, {30, 28, 36}, 0.85);
    for (int k = 0; k <= 5; ++k) Line(c, -40 + k * 16, -60, -40 + k * 16, 60, 2, steel);
    for (double yy : {-60.0, -20.0, 60.0}) Line(c, -42, yy, 42, yy, 4, Shade(steel, 0.8));
    Line(c, -40, 60, 40, -60, 2, Shade(steel, 0.7));
    Glow(c, 0, -48, 8, {255, 170, 60}, 0.7);
    cairo_restore(c.cr());
}

void Fan(Canvas& c, double x, double y, double r) {
    Ellipse(c, x, y, r + 10, r + 10);
    FillWith(c, {45, 48, 60});
    Ellipse(c, x, y, r, r);
    Radial(c, x, y, r, {{0, {90, 60, 40}, 1}, {0.8, {20, 18, 24}, 1}, {1, {10, 10, 14}, 1}});
    cairo_fill(c.cr());
    for (int k = 0; k < 7; ++k) {
        double a = k * 2 * M_PI / 7;
        cairo_save(c.cr());
        cairo_translate(c.cr(), x, y);
        cairo_rotate(c.cr(), a);
        Poly(c, {{0, -4}, {r * 0.95, -r * 0.22}, {r * 0.95, r * 0.12}, {0, 4}});
        LinearV(c, -r * 0.2, r * 0.2, {{0, {140, 140, 150}}, {1, {60, 60, 70}}});
        cairo_fill(c.cr());
        cairo_restore(c.cr());
    }
    Ellipse(c, x, y, r * 0.16, r * 0.16);
    FillWith(c, {160, 150, 120});
    for (int k = 0; k < 12; ++k) {  // the grille's bolts
        double a = k * M_PI / 6;
        Rect(c, x + (r + 5) * std::cos(a) - 1.5, y + (r + 5) * std::sin(a) - 1.5, 3, 3, {160, 160, 170});
    }
}

void Bracket(Canvas& c, double x0, double deck, double x1, double wallX, Rgb k) {
    // The deck with a hazard edge, a strut from its tip down into the wall and a web under it.
    Beam(c, x1 - 6, deck + 14, wallX, deck + 14 + (x1 - wallX) * 0.8, 7, Shade(k, 0.8));
    Poly(c, {{wallX, deck + 14}, {x1 - 10, deck + 14}, {wallX, deck + 14 + (x1 - wallX) * 0.55}});
    FillWith(c, Shade(k, 0.45));
    LinearV(c, deck, deck + 14, {{0, Shade(k, 1.35)}, {1, Shade(k, 0.5)}});
    c.FillRect(x0, deck, x1 - x0, 14);
    for (double xx = x0 + 4; xx < x1 - 10; xx += 16) {
        Poly(c, {{xx, deck + 14}, {xx + 8, deck + 14}, {xx + 14, deck + 9}, {xx + 6, deck + 9}});
        FillWith(c, {230, 180, 30});
    }
    for (double xx = x0 + 8; xx < x1; xx += 24) Rect(c, xx, deck + 3, 3, 3, {200, 200, 210});
}

void Emitter(Canvas& c, double x, double y, bool facesRight, double armToX) {
    // A coil housing on an arm, its lens turned toward the barrier. (x, y): the barrier's end at
    // its top; the arm runs back into the wall at armToX.
    const double s = facesRight ? 1 : -1;
    Beam(c, x - s * 8, y + 10, armToX, y + 10, 8, {95, 95, 115});
    Truss(c, x - s * 14, y + 24, armToX, y + 24 + std::fabs(armToX - x) * 0.3, 8, {80, 80, 100});
    Block(c, x - s * 8 - (facesRight ? 16 : 0), y - 6, 16, 32, {110, 110, 135});
    for (int k = 0; k < 4; ++k) {
        Ellipse(c, x - s * 8 + (facesRight ? -8 : 8), y + k * 7, 9, 2.5);
        cairo_set_line_width(c.cr(), 2);
        c.ColourRgb({200, 140, 60});
        cairo_stroke(c.cr());
    }
    Glow(c, x, y + 10, 9, {120, 200, 255});
}

// ------------------------------------------------------------------ level 3

void RockArch(Canvas& c, double x, double base, double w, double h, Rgb rock) {
    cairo_t* cr = c.cr();
    cairo_move_to(cr, x, base);
    cairo_curve_to(cr, x + w * 0.05, base - h * 0.7, x + w * 0.2, base - h, x + w * 0.5, base - h);
    cairo_curve_to(cr, x + w * 0.8, base - h, x + w * 0.95, base - h * 0.7, x + w, base);
    cairo_line_to(cr, x + w * 0.8, base);
    cairo_curve_to(cr, x + w * 0.75, base - h * 0.6, x + w * 0.6, base - h * 0.75, x + w * 0.5, base - h * 0.75);
    cairo_curve_to(cr, x + w * 0.4, base - h * 0.75, x + w * 0.25, base - h * 0.6, x + w * 0.2, base);
    cairo_close_path(cr);
    LinearV(c, base - h, base, {{0, Shade(rock, 1.2)}, {1, Shade(rock, 0.7)}});
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    for (int k = 1; k < 6; ++k) {  // strata across it
        double yy = base - h + k * h / 6;
        Line(c, x, yy, x + w, yy + 3, 1.5, Shade(rock, 0.8), 0.6);
    }
    cairo_restore(cr);
}

void Derrick(Canvas& c, double x, double ground, double h) {
    const Rgb rust{120, 60, 40};
    Truss(c, x - 30, ground, x - 4, ground - h, 8, rust);
    Truss(c, x + 30, ground, x + 4, ground - h, 8, Shade(rust, 1.2));
    for (int k = 1; k < 5; ++k) Line(c, x - 30 + k * 6, ground - k * h / 5, x + 30 - k * 6, ground - k * h / 5, 2, rust);
    // The wind wheel on top, some vanes broken off.
    for (int k = 0; k < 12; ++k) {
        if (k == 3 || k == 8) continue;
        double a = k * M_PI / 6;
        Poly(c, {{x, ground - h}, {x + 34 * std::cos(a), ground - h + 34 * std::sin(a)},
                 {x + 34 * std::cos(a + 0.3), ground - h + 34 * std::sin(a + 0.3)}});
        FillWith(c, {150, 100, 70});
    }
    Ellipse(c, x, ground - h, 5, 5);
    FillWith(c, {60, 40, 30});
    Poly(c, {{x + 5, ground - h - 3}, {x + 50, ground - h - 10}, {x + 50, ground - h + 8}, {x + 5, ground - h + 3}});
    FillWith(c, {130, 80, 50});  // the tail vane
    // A wrecked truck beside it.
    Block(c, x + 50, ground - 26, 70, 22, {150, 110, 60});
    Block(c, x + 118, ground - 34, 32, 30, {130, 90, 50});
    Rect(c, x + 124, ground - 30, 18, 10, {60, 90, 110});
    for (double wx : {x + 66.0, x + 130.0}) {
        Ellipse(c, wx, ground - 4, 9, 9);
        FillWith(c, {30, 24, 22});
    }
}

void WaterTower(Canvas& c, double x, double ground) {
    const Rgb wood{110, 70, 45};
    for (double lx : {-26.0, -9.0, 9.0, 26.0}) Line(c, x + lx, ground, x + lx * 0.7, ground - 90, 3, Shade(wood, 0.8));
    Line(c, x - 26, ground - 20, x + 20, ground - 70, 1.5, wood);
    Line(c, x + 26, ground - 20, x - 20, ground - 70, 1.5, wood);
    Block(c, x - 28, ground - 140, 56, 52, wood);
    for (int k = 0; k < 3; ++k) Line(c, x - 28, ground - 128 + k * 16, x + 28, ground - 128 + k * 16, 2, {70, 70, 75});
    Poly(c, {{x - 32, ground - 140}, {x, ground - 162}, {x + 32, ground - 140}});
    FillWith(c, Shade(wood, 0.7));
}

void CaveMouth(Canvas& c, double x, double y, double w, double h) {
    cairo_t* cr = c.cr();
    // The cliff, then the dark mouth with the cave's blue light inside.
    cairo_move_to(cr, x - 60, y + h);
    cairo_curve_to(cr, x - 40, y - 40, x + w * 0.3, y - 90, x + w * 0.6, y - 70);
    cairo_curve_to(cr, x + w, y - 60, x + w + 60, y, x + w + 90, y + h);
    cairo_close_path(cr);
    LinearV(c, y - 90, y + h, {{0, {120, 60, 50}}, {1, {70, 30, 30}}});
    cairo_fill(cr);
    cairo_move_to(cr, x, y + h);
    cairo_curve_to(cr, x + 10, y + h * 0.2, x + w * 0.3, y, x + w * 0.5, y);
    cairo_curve_to(cr, x + w * 0.7, y, x + w - 10, y + h * 0.2, x + w, y + h);
    cairo_close_path(cr);
    Radial(c, x + w * 0.5, y + h, h, {{0, {70, 120, 220}, 1}, {0.5, {25, 30, 70}, 1}, {1, {10, 10, 25}, 1}});
    cairo_fill(cr);
    Rng r(static_cast<uint32_t>(x));
    for (int k = 0; k < 7; ++k) Glow(c, x + w * r.Range(0.2, 0.8), y + h * r.Range(0.45, 0.95), r.Range(5, 10), {100, 170, 255}, 0.8);
}

void LampMount(Canvas& c, double x, double roof, double hangY) {
    // An I-beam set into the rock from above, a flange bolted under the roof and a short drop
    // to the lamp's hook; `x` is the slot's left edge (24 wide).
    const Rgb steel{110, 104, 100};
    LinearV(c, 0, roof, {{0, Shade(steel, 0.55)}, {1, Shade(steel, 0.9)}});
    c.FillRect(x, 0, 24, roof + 4);
    Rect(c, x + 2, 0, 3, roof + 4, Shade(steel, 1.4));
    Rect(c, x + 19, 0, 3, roof + 4, Shade(steel, 0.4));
    Rect(c, x + 10, 0, 4, roof + 4, Shade(steel, 0.7));
    for (double yy = 6; yy < roof; yy += 12) {
        Rect(c, x + 5, yy, 3, 3, {190, 180, 170});
        Rect(c, x + 16, yy, 3, 3, {190, 180, 170});
    }
    Block(c, x - 2, roof, 28, 8, steel);
    Line(c, x + 12, roof + 8, x + 12, hangY, 3, {60, 55, 55});
    Ellipse(c, x + 12, hangY - 2, 4, 3);
    cairo_set_line_width(c.cr(), 2);
    c.ColourRgb({150, 140, 130});
    cairo_stroke(c.cr());
}

// ------------------------------------------------------------------ level 4

void Timbering(Canvas& c, double x, double roof, double floor) {
    const Rgb wood{105, 70, 45};
    Block(c, x, roof, 14, floor - roof, wood);
    Block(c, x + 110, roof, 14, floor - roof, wood);
    Block(c, x - 8, roof - 4, 140, 14, Shade(wood, 0.9));
    Line(c, x + 14, roof + 40, x + 40, roof + 10, 5, Shade(wood, 0.8));
    Line(c, x + 110, roof + 40, x + 84, roof + 10, 5, Shade(wood, 0.8));
    // A miner's lantern on a nail.
    Line(c, x + 62, roof + 10, x + 62, roof + 30, 1.5, {40, 30, 20});
    Glow(c, x + 62, roof + 36, 22, {255, 190, 90});
    Rect(c, x + 58, roof + 30, 8, 11, {90, 70, 40}, 0.9);
}

void CrystalCluster(Canvas& c, double x, double y, double dirX, double dirY, double size, uint32_t seed) {
    Rng r(seed);
    double base = std::atan2(dirY, dirX);
    Glow(c, x + dirX * size * 0.4, y + dirY * size * 0.4, size * 1.3, {60, 110, 255}, 0.35);
    int n = 3 + r.Int(3);
    for (int k = 0; k < n; ++k) {
        double a = base + r.Range(-0.7, 0.7), len = size * r.Range(0.5, 1.0), wd = size * r.Range(0.14, 0.24);
        double ox = x + r.Range(-size, size) * 0.3 * std::sin(base), oy = y + r.Range(-size, size) * 0.3 * std::cos(base);
        double ca = std::cos(a), sa = std::sin(a);
        auto P = [&](double u, double v) { return std::make_pair(ox + ca * u - sa * v, oy + sa * u + ca * v); };
        auto p0 = P(-2, -wd), p1 = P(len * 0.75, -wd), p2 = P(len, 0), p3 = P(len * 0.75, wd), p4 = P(-2, wd);
        Poly(c, {p0, p1, p2, p3, p4});
        FillWith(c, {70, 120, 230});
        Poly(c, {p0, p1, p2, P(len * 0.75, 0), P(-2, 0)});
        FillWith(c, {170, 210, 255});
        cairo_move_to(c.cr(), p1.first, p1.second);
        cairo_line_to(c.cr(), p2.first, p2.second);
        cairo_line_to(c.cr(), p3.first, p3.second);
        Stroke(c, {230, 245, 255}, 1, 0.9);
    }
}

void Geode(Canvas& c, double x, double y, double r, uint32_t seed) {
    // A split nodule in the wall: a rough rim of rock, a crust, and dull crystal teeth inside.
    Rng g(seed);
    cairo_new_path(c.cr());
    for (int k = 0; k < 20; ++k) {
        double a = k * 2 * M_PI / 20, rr = r * (1.25 + 0.12 * g.Range(-1, 1));
        double px = x + rr * std::cos(a), py = y + rr * 0.75 * std::sin(a);
        if (k == 0) cairo_move_to(c.cr(), px, py);
        else cairo_line_to(c.cr(), px, py);
    }
    cairo_close_path(c.cr());
    FillWith(c, {50, 40, 55});
    Ellipse(c, x, y, r * 1.05, r * 0.7);
    FillWith(c, {95, 85, 100});
    Ellipse(c, x, y, r, r * 0.65);
    Radial(c, x, y, r, {{0, {120, 110, 170}, 1}, {0.7, {60, 50, 100}, 1}, {1, {30, 24, 50}, 1}});
    cairo_fill(c.cr());
    for (int k = 0; k < 24; ++k) {
        double a = k * 2 * M_PI / 24 + g.Range(-0.1, 0.1);
        double rx = r * std::cos(a), ry = r * 0.65 * std::sin(a);
        Poly(c, {{x + rx, y + ry}, {x + rx * 0.6 + g.Range(-3, 3), y + ry * 0.6}, {x + rx * 0.92 + 4, y + ry * 0.92}});
        FillWith(c, k % 2 ? Rgb{150, 140, 200} : Rgb{100, 90, 160});
    }
}

void Column(Canvas& c, double x, double top, double w, double floor, Rgb stone) {
    // A round pillar: shaded across, a capital and a base block, joints of its drums.
    ShadeAcross(c, x, w, stone);
    c.FillRect(x, top, w, floor - top);
    for (double yy = top + 40; yy < floor - 20; yy += 46) Line(c, x, yy, x + w, yy, 1.5, Shade(stone, 0.4), 0.8);
    Block(c, x - 8, top, w + 16, 14, Shade(stone, 0.9));
    Block(c, x - 4, top + 14, w + 8, 6, Shade(stone, 0.8));
    Block(c, x - 8, floor - 16, w + 16, 16, Shade(stone, 0.85));
}

// ------------------------------------------------------------------ level 5

void Scaffold(Canvas& c, double x, double y, double w, double h) {
    const Rgb wood{120, 85, 55};
    for (double xx = x; xx <= x + w; xx += w / 3) Line(c, xx, y, xx + 6, y + h, 5, Shade(wood, 0.8));
    for (double yy = y + 20; yy < y + h; yy += 70) {
        Block(c, x - 10, yy, w + 24, 8, wood);
        for (double xx = x; xx < x + w; xx += w / 3) Line(c, xx, yy + 8, xx + w / 3, yy + 62, 3, Shade(wood, 0.7));
    }
    // A ladder and a broken end hanging down.
    for (double lx : {x + w * 0.5, x + w * 0.5 + 16}) Line(c, lx, y, lx, y + h, 2, {90, 65, 40});
    for (double yy = y + 6; yy < y + h; yy += 11) Line(c, x + w * 0.5, yy, x + w * 0.5 + 16, yy, 2, {90, 65, 40});
    Line(c, x + w + 14, y + 20, x + w + 40, y + 90, 6, Shade(wood, 0.7));
    Glow(c, x + 20, y + 10, 20, {255, 180, 80}, 0.7);
}

void Ammonite(Canvas& c, double x, double y, double r) {
    cairo_t* cr = c.cr();
    Ellipse(c, x, y, r * 1.1, r * 1.1);
    FillWith(c, {70, 50, 40}, 0.6);
    cairo_new_path(cr);
    for (int i = 0; i <= 360; ++i) {  // the shell's spiral
        double t = i / 360.0 * 3.2 * 2 * M_PI;
        double rr = r * std::exp(-0.17 * t);
        double px = x + rr * std::cos(t), py = y + rr * std::sin(t);
        if (i == 0) cairo_move_to(cr, px, py);
        else cairo_line_to(cr, px, py);
    }
    Stroke(c, {200, 170, 130}, 3, 0.9);
    for (int i = 0; i < 40; ++i) {  // ribs
        double t = i / 40.0 * 2 * 2 * M_PI;
        double r0 = r * std::exp(-0.17 * t), r1 = r * std::exp(-0.17 * (t + 2 * M_PI));
        Line(c, x + r0 * std::cos(t), y + r0 * std::sin(t), x + r1 * std::cos(t), y + r1 * std::sin(t), 1.5, {160, 130, 100}, 0.8);
    }
}

void CliffDwellings(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    Rng r(seed);
    // Carved terraces with doorways and a stair zigzagging between them.
    for (int row = 0; row < 3; ++row) {
        double yy = y + row * h / 3;
        Block(c, x + row * 20, yy + h / 3 - 12, w - row * 40, 12, {150, 110, 80});
        for (int k = 0; k < 4; ++k) {
            double dx = x + row * 20 + 20 + k * (w - row * 40 - 40) / 4 + r.Range(-6, 6);
            cairo_move_to(c.cr(), dx, yy + h / 3 - 12);
            cairo_line_to(c.cr(), dx, yy + 16);
            cairo_arc(c.cr(), dx + 10, yy + 16, 10, M_PI, 2 * M_PI);
            cairo_line_to(c.cr(), dx + 20, yy + h / 3 - 12);
            cairo_close_path(c.cr());
            FillWith(c, r.Uniform() < 0.25 ? Rgb{200, 120, 50} : Rgb{25, 15, 12});
        }
        Line(c, x + w - row * 20 - 10, yy + h / 3 - 12, x + w - row * 20 - 50, yy + h / 3 + h / 3 - 12, 5, {120, 85, 60});
    }
}

void FactoryUnderside(Canvas& c, double w, double y0, double y1) {
    // The chasm's top: the factory's floor from below, pipes, a grate with light falling through.
    Rect(c, 0, y0, w, (y1 - y0) * 0.35, {50, 55, 70});
    for (double xx = 0; xx < w; xx += 80) Beam(c, xx, y0, xx, y0 + (y1 - y0) * 0.35, 10, {90, 95, 115});
    Beam(c, 0, y0 + (y1 - y0) * 0.35, w, y0 + (y1 - y0) * 0.35, 14, {100, 100, 120});
    for (int k = 0; k < 3; ++k) {
        double py = y0 + (y1 - y0) * (0.45 + 0.12 * k);
        Beam(c, 0, py, w, py + 10 * (k - 1), 9 - k * 2, k == 1 ? Rgb{150, 100, 60} : Rgb{110, 110, 125});
    }
    for (double gx : {240.0, 400.0}) {
        Radial(c, gx, y0 + (y1 - y0) * 0.35, (y1 - y0) * 0.7, {{0, {200, 220, 255}, 0.35}, {1, {150, 170, 220}, 0}});
        Poly(c, {{gx - 30, y0 + (y1 - y0) * 0.35}, {gx + 30, y0 + (y1 - y0) * 0.35}, {gx + 70, y1}, {gx - 70, y1}});
        cairo_fill(c.cr());
        for (double xx = gx - 30; xx < gx + 30; xx += 6) Line(c, xx, y0 + (y1 - y0) * 0.3, xx, y0 + (y1 - y0) * 0.35, 2, {40, 40, 50});
    }
    for (double lx : {100.0, 320.0, 540.0}) Glow(c, lx, y0 + (y1 - y0) * 0.38, 14, {255, 230, 150});
}

// ------------------------------------------------------------------ level 6

void Furnace(Canvas& c, double x, double floor, double w, double roof) {
    // A brick furnace with its mouth aglow and a flue up through the roof.
    Block(c, x + w * 0.35, roof, w * 0.3, floor - roof - 150, {90, 60, 55});
    Block(c, x, floor - 170, w, 170, {110, 70, 60});
    for (double yy = floor - 160; yy < floor; yy += 14)
        for (double xx = x + ((int(yy) / 14) % 2) * 12; xx < x + w - 4; xx += 24) Rect(c, xx, yy, 22, 12, {125, 80, 65});
    cairo_move_to(c.cr(), x + w * 0.2, floor);
    cairo_line_to(c.cr(), x + w * 0.2, floor - 70);
    cairo_arc(c.cr(), x + w * 0.5, floor - 70, w * 0.3, M_PI, 2 * M_PI);
    cairo_line_to(c.cr(), x + w * 0.8, floor);
    cairo_close_path(c.cr());
    Radial(c, x + w * 0.5, floor - 30, w * 0.4, {{0, {255, 250, 200}, 1}, {0.4, {255, 170, 40}, 1}, {1, {170, 40, 10}, 1}});
    cairo_fill(c.cr());
    Radial(c, x + w * 0.5, floor - 60, w * 0.9, {{0, {255, 150, 50}, 0.35}, {1, {255, 100, 20}, 0}});
    c.FillRect(x - w * 0.4, floor - 220, w * 1.8, 220);
}

void ControlRoom(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    Block(c, x - 10, y - 10, w + 20, h + 20, {70, 75, 95});
    Rect(c, x, y, w, h, {14, 22, 34});
    Rng r(seed);
    // Screens and gauges behind the glass, and its reflection.
    for (int k = 0; k < 4; ++k) {
        double sx = x + 12 + k * (w - 24) / 4;
        Rect(c, sx, y + 14, (w - 24) / 4 - 10, 34, {20, 60, 70});
        cairo_move_to(c.cr(), sx + 2, y + 40);
        for (int i = 0; i < 8; ++i) cairo_line_to(c.cr(), sx + 2 + i * ((w - 24) / 4 - 14) / 7, y + 22 + r.Range(0, 18));
        Stroke(c, {120, 255, 210}, 1.5, 1);
        Ellipse(c, sx + 14, y + h - 24, 9, 9);
        FillWith(c, {200, 200, 190});
        Line(c, sx + 14, y + h - 24, sx + 14 + r.Range(-8, 8), y + h - 30, 1.5, {200, 40, 30});
        Glow(c, sx + 34, y + h - 24, 5, r.Uniform() < 0.5 ? Rgb{255, 60, 40} : Rgb{255, 200, 60});
    }
    Poly(c, {{x + w * 0.6, y}, {x + w * 0.75, y}, {x + w * 0.45, y + h}, {x + w * 0.3, y + h}});
    FillWith(c, {255, 255, 255}, 0.08);
    for (double mx : {x + w * 0.33, x + w * 0.66}) Rect(c, mx - 2, y, 4, h, {70, 75, 95});
}

void Tanks(Canvas& c, double x, double floor, int n) {
    for (int k = 0; k < n; ++k) {
        double tx = x + k * 150, th = 150 + (k % 2) * 40, tw = 110;
        cairo_pattern_t* p = cairo_pattern_create_linear(tx, 0, tx + tw, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.25, 0.3, 0.3);
        cairo_pattern_add_color_stop_rgb(p, 0.35, 0.6, 0.68, 0.62);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.15, 0.18, 0.2);
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        c.FillRect(tx, floor - th, tw, th);
        Ellipse(c, tx + tw / 2, floor - th, tw / 2, 12);
        FillWith(c, {120, 135, 125});
        for (double yy = floor - th + 30; yy < floor; yy += 40) Line(c, tx, yy, tx + tw, yy, 2, {50, 60, 60});
        Rect(c, tx + 20, floor - th + 40, 24, 10, {230, 200, 40});  // a label
        Line(c, tx + tw, floor - th + 50, tx + tw + 40, floor - th + 50, 6, {90, 80, 70});
        Line(c, tx + tw + 37, floor - th + 50, tx + tw + 37, floor, 6, {90, 80, 70});
    }
}

void Hydraulics(Canvas& c, double x, double roof, double w, double bottom, double guides) {
    // A gantry under the roof with two rams reaching down to the press's top, and the press's
    // housing behind it: a dark back plate between two guide columns down to `guides`, which
    // carry the piston head whenever the press itself is not shown.
    Rect(c, x + 8, bottom, w - 16, guides - bottom - 8, {22, 24, 32}, 0.75);
    for (double gx : {x, x + w - 10}) {
        Block(c, gx, roof + 14, 10, guides - roof - 14, {95, 100, 115});
        for (double yy = bottom + 10; yy < guides - 6; yy += 18) Rect(c, gx + 3, yy, 4, 4, {200, 200, 205});
    }
    Block(c, x - 4, guides - 8, 18, 8, {140, 120, 60});
    Block(c, x + w - 14, guides - 8, 18, 8, {140, 120, 60});
    Block(c, x - 20, roof, w + 40, 14, {120, 110, 70});
    for (double xx = x - 16; xx < x + w + 16; xx += 16) Rect(c, xx, roof + 5, 3, 3, {200, 200, 190});
    for (double rx : {x + w * 0.22, x + w * 0.78}) {
        Block(c, rx - 10, roof + 14, 20, (bottom - roof) * 0.45, {90, 95, 110});
        cairo_pattern_t* p = cairo_pattern_create_linear(rx - 5, 0, rx + 5, 0);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.5, 0.5, 0.55);
        cairo_pattern_add_color_stop_rgb(p, 0.4, 0.95, 0.95, 1);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.4, 0.4, 0.45);
        cairo_set_source(c.cr(), p);
        cairo_pattern_destroy(p);
        c.FillRect(rx - 5, roof + 14 + (bottom - roof) * 0.45, 10, (bottom - roof) * 0.55 - 14);
    }
    cairo_move_to(c.cr(), x + w * 0.22 + 10, roof + 20);
    cairo_curve_to(c.cr(), x + w * 0.5, roof + 50, x + w * 0.5, roof + 10, x + w * 0.78 - 10, roof + 24);
    Stroke(c, {30, 30, 30}, 3, 1);  // a hose
}

void Gear(Canvas& c, double x, double y, double r, int teeth, Rgb k) {
    cairo_t* cr = c.cr();
    cairo_new_path(cr);
    for (int i = 0; i < teeth * 4; ++i) {
        double a = i * 2 * M_PI / (teeth * 4), rr = (i / 2) % 2 ? r : r * 0.84;
        if (i == 0) cairo_move_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
        else cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
    }
    cairo_close_path(cr);
    Radial(c, x - r * 0.3, y - r * 0.3, r * 1.6, {{0, Shade(k, 1.3), 1}, {1, Shade(k, 0.5), 1}});
    cairo_fill(cr);
    Ellipse(c, x, y, r * 0.62, r * 0.62);
    FillWith(c, Shade(k, 0.6));
    for (int i = 0; i < 5; ++i) {  // spokes' openings
        double a = i * 2 * M_PI / 5;
        Ellipse(c, x + r * 0.42 * std::cos(a), y + r * 0.42 * std::sin(a), r * 0.13, r * 0.13);
        FillWith(c, {25, 25, 32});
    }
    Ellipse(c, x, y, r * 0.16, r * 0.16);
    FillWith(c, Shade(k, 1.4));
}

void Crane(Canvas& c, double x, double roof, double hookY) {
    // A travelling crane's rail along the roof, its trolley, the rope and a hook with a load.
    Beam(c, x - 180, roof + 6, x + 180, roof + 6, 12, {150, 130, 60});
    Block(c, x - 22, roof + 12, 44, 18, {200, 160, 40});
    Line(c, x - 6, roof + 30, x - 6, hookY, 1.5, {30, 30, 30});
    Line(c, x + 6, roof + 30, x + 6, hookY, 1.5, {30, 30, 30});
    Block(c, x - 12, hookY, 24, 10, {90, 90, 100});
    cairo_new_path(c.cr());
    cairo_arc(c.cr(), x, hookY + 22, 8, -M_PI / 2, M_PI);
    Stroke(c, {170, 170, 180}, 3, 1);
    Line(c, x - 8, hookY + 22, x - 30, hookY + 50, 1.5, {40, 40, 40});
    Line(c, x + 8, hookY + 22, x + 30, hookY + 50, 1.5, {40, 40, 40});
    Block(c, x - 40, hookY + 50, 80, 36, {120, 80, 50});
    for (double xx = x - 36; xx < x + 36; xx += 12) Line(c, xx, hookY + 52, xx, hookY + 84, 1, {80, 50, 30});
}

void Gate(Canvas& c, double x, double roof, double w, double floor, bool fortress) {
    // A great door standing open: beyond it the next place.
    Block(c, x - 30, roof, w + 60, floor - roof, {70, 75, 90});
    const double gy = roof + 30, gh = floor - gy;
    LinearV(c, gy, floor, {{0, {20, 10, 40}}, {0.6, {60, 30, 90}}, {1, {120, 60, 140}}});
    c.FillRect(x, gy, w, gh);
    Rng r(static_cast<uint32_t>(x));
    for (int i = 0; i < 40; ++i) Rect(c, x + r.Range(0, w), gy + r.Range(0, gh * 0.5), 1.5, 1.5, {230, 230, 255});
    if (fortress) {  // the fortress's towers against its sky
        for (int k = 0; k < 4; ++k) {
            double tx = x + 20 + k * w / 4, th = gh * (0.45 + 0.1 * (k % 2));
            Rect(c, tx, floor - th, w / 6, th, {70, 35, 95});
            for (int b = 0; b < 3; ++b) Rect(c, tx + b * w / 18, floor - th - 8, w / 36, 8, {70, 35, 95});
            Glow(c, tx + w / 12, floor - th * 0.6, 6, {80, 240, 255});
        }
    }
    // The door leaves, slid aside, with warning stripes.
    Block(c, x - 26, gy, 26, gh, {100, 100, 115});
    Block(c, x + w, gy, 26, gh, {100, 100, 115});
    for (double yy = gy; yy < floor; yy += 24) {
        Rect(c, x - 26, yy, 26, 10, {220, 170, 30});
        Rect(c, x + w, yy + 12, 26, 10, {220, 170, 30});
    }
    Glow(c, x + w / 2, gy - 14, 10, {255, 190, 60});
}

// ------------------------------------------------------------------ level 7

void Statue(Canvas& c, double x, double floor, double h, Rgb glow) {
    // A robed alien warden with a staff, carved in pale stone, eyes alight.
    const Rgb stone{130, 110, 160};
    Block(c, x - 30, floor - 24, 60, 24, Shade(stone, 0.8));
    Poly(c, {{x - 24, floor - 24}, {x - 14, floor - h * 0.75}, {x + 14, floor - h * 0.75}, {x + 24, floor - 24}});
    LinearV(c, floor - h, floor, {{0, Shade(stone, 1.2)}, {1, Shade(stone, 0.55)}});
    cairo_fill(c.cr());
    Ellipse(c, x, floor - h * 0.82, 13, 17);
    FillWith(c, stone);
    Poly(c, {{x - 14, floor - h * 0.88}, {x - 26, floor - h}, {x - 6, floor - h * 0.9}});
    FillWith(c, stone);
    Poly(c, {{x + 14, floor - h * 0.88}, {x + 26, floor - h}, {x + 6, floor - h * 0.9}});
    FillWith(c, stone);
    Glow(c, x - 5, floor - h * 0.83, 5, glow);
    Glow(c, x + 5, floor - h * 0.83, 5, glow);
    Line(c, x + 20, floor - 24, x + 20, floor - h * 0.95, 4, Shade(stone, 0.7));
    Glow(c, x + 20, floor - h * 0.97, 9, glow);
    for (double yy = floor - h * 0.7; yy < floor - 30; yy += 14) Line(c, x - 16, yy, x + 16, yy + 4, 1, Shade(stone, 0.7));
}

void RoseWindow(Canvas& c, double x, double y, double r, Rgb glow) {
    Ellipse(c, x, y, r + 12, r + 12);
    FillWith(c, {40, 20, 55});
    Ellipse(c, x, y, r, r);
    Radial(c, x, y, r, {{0, {255, 255, 255}, 1}, {0.3, glow, 1}, {1, Shade(glow, 0.35), 1}});
    cairo_fill(c.cr());
    for (int k = 0; k < 12; ++k) {
        double a = k * M_PI / 6;
        Line(c, x, y, x + r * std::cos(a), y + r * std::sin(a), 3, {40, 20, 55});
        Ellipse(c, x + r * 0.65 * std::cos(a + M_PI / 12), y + r * 0.65 * std::sin(a + M_PI / 12), r * 0.12, r * 0.12);
        cairo_set_line_width(c.cr(), 2);
        c.ColourRgb({40, 20, 55});
        cairo_stroke(c.cr());
    }
    Ellipse(c, x, y, r * 0.3, r * 0.3);
    cairo_set_line_width(c.cr(), 3);
    c.ColourRgb({40, 20, 55});
    cairo_stroke(c.cr());
    Radial(c, x, y + r, r * 2.2, {{0, glow, 0.18}, {1, glow, 0}});
    c.FillRect(x - r * 2.2, y, r * 4.4, r * 3);
}

void Banner(Canvas& c, double x, double y, double w, double h, Rgb cloth, Rgb sign) {
    Line(c, x - 6, y, x + w + 6, y, 4, {150, 120, 60});
    Poly(c, {{x, y}, {x + w, y}, {x + w, y + h}, {x + w / 2, y + h - w * 0.4}, {x, y + h}});
    LinearV(c, y, y + h, {{0, Shade(cloth, 1.2)}, {1, Shade(cloth, 0.6)}});
    cairo_fill(c.cr());
    Ellipse(c, x + w / 2, y + h * 0.35, w * 0.25, w * 0.25);
    cairo_set_line_width(c.cr(), 2.5);
    c.ColourRgb(sign);
    cairo_stroke(c.cr());
    Line(c, x + w / 2, y + h * 0.35 - w * 0.25, x + w / 2, y + h * 0.35 + w * 0.45, 2.5, sign);
}

void Torch(Canvas& c, double x, double y, Rgb flame) {
    Block(c, x - 4, y, 8, 22, {90, 70, 50});
    Poly(c, {{x - 7, y}, {x + 7, y}, {x + 4, y - 4}, {x - 4, y - 4}});
    FillWith(c, {120, 100, 70});
    Glow(c, x, y - 10, 26, flame, 0.6);
    Poly(c, {{x - 5, y - 4}, {x, y - 20}, {x + 5, y - 4}});
    FillWith(c, {255, 240, 180});
}

void Breach(Canvas& c, double x, double y, double w, double h, uint32_t seed) {
    // The wall broken open onto space: stars, a drifting rock, the rim of rubble.
    cairo_t* cr = c.cr();
    Rng r(seed);
    cairo_new_path(cr);
    const int n = 28;
    for (int i = 0; i < n; ++i) {
        double a = i * 2 * M_PI / n;
        double k = 0.8 + 0.2 * r.Uniform();
        double px = x + w / 2 + w / 2 * k * std::cos(a), py = y + h / 2 + h / 2 * k * std::sin(a);
        if (i == 0) cairo_move_to(cr, px, py);
        else cairo_line_to(cr, px, py);
    }
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_set_line_width(cr, 14);
    c.ColourRgb({40, 18, 50});
    cairo_stroke_preserve(cr);
    cairo_clip(cr);
    LinearV(c, y, y + h, {{0, {4, 6, 24}}, {1, {24, 20, 60}}});
    c.FillRect(x, y, w, h);
    for (int i = 0; i < 90; ++i) Rect(c, x + r.Range(0, w), y + r.Range(0, h), 1.5, 1.5, {220, 230, 255});
    for (int i = 0; i < 3; ++i) {
        double ax = x + r.Range(0.2, 0.8) * w, ay = y + r.Range(0.2, 0.8) * h, ar = r.Range(10, 24);
        Ellipse(c, ax, ay, ar, ar * 0.8);
        Radial(c, ax - ar * 0.3, ay - ar * 0.3, ar * 1.4, {{0, {150, 130, 120}, 1}, {1, {40, 30, 30}, 1}});
        cairo_fill(cr);
    }
    Radial(c, x + w * 0.7, y + h * 0.3, w * 0.35, {{0, {90, 60, 160}, 0.6}, {1, {40, 20, 90}, 0}});
    c.FillRect(x, y, w, h);
    cairo_restore(cr);
}

// ------------------------------------------------------------------ level 8

void StationWreck(Canvas& c, double x, double y, double r) {
    cairo_t* cr = c.cr();
    // A broken ring with its spokes and a drifting solar panel.
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0.5, 2 * M_PI - 0.9);
    Stroke(c, {110, 110, 130}, r * 0.16, 1);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0.5, 2 * M_PI - 0.9);
    Stroke(c, {170, 170, 190}, 2, 0.9);
    for (int k = 0; k < 5; ++k) {
        double a = 0.9 + k * 1.1;
        Line(c, x, y, x + r * std::cos(a), y + r * std::sin(a), 4, {90, 90, 105});
    }
    Ellipse(c, x, y, r * 0.2, r * 0.2);
    FillWith(c, {130, 125, 140});
    for (int k = 0; k < 6; ++k) Glow(c, x + r * std::cos(0.6 + k), y + r * std::sin(0.6 + k), 4, {255, 210, 120}, 0.8);
    cairo_save(cr);
    cairo_translate(cr, x + r * 1.5, y - r * 0.6);
    cairo_rotate(cr, 0.6);
    Rect(c, -r * 0.4, -r * 0.15, r * 0.8, r * 0.3, {40, 60, 120});
    for (int k = 1; k < 4; ++k) Line(c, -r * 0.4 + k * r * 0.2, -r * 0.15, -r * 0.4 + k * r * 0.2, r * 0.15, 1, {150, 170, 220});
    cairo_restore(cr);
}

void Comet(Canvas& c, double x, double y, double len, double angle) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, len, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.85, 0.95, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.4, 0.6, 1, 0);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    Poly(c, {{0, -5}, {len, -len * 0.12}, {len, len * 0.12}, {0, 5}});
    cairo_fill(cr);
    cairo_restore(cr);
    Glow(c, x, y, 14, {180, 220, 255}, 1);
}

void Satellite(Canvas& c, double x, double y, double size) {
    Rect(c, x - size * 0.2, y - size * 0.2, size * 0.4, size * 0.4, {200, 180, 110});
    for (double s : {-1.0, 1.0}) {
        Line(c, x + s * size * 0.2, y, x + s * size * 0.35, y, 1.5, {180, 180, 190});
        Rect(c, s > 0 ? x + size * 0.35 : x - size, y - size * 0.18, size * 0.65, size * 0.36, {40, 70, 140});
    }
    Line(c, x, y - size * 0.2, x, y - size * 0.5, 1, {200, 200, 210});
    Glow(c, x, y - size * 0.52, 4, {255, 80, 60}, 0.9);
}

}  // namespace assets
