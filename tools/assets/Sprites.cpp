// The ship, its shots, the pod, explosions, the HUD pictures and every alien and level-object
// sprite of the run-time sets.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/assets/Art.h"
#include "tools/assets/Assets.h"
#include "tools/assets/Noise.h"
#include "tools/assets/Texts.h"

namespace assets {


std::shared_ptr<media::TDIB> Sprite(int w, int h, double drawnW, double drawnH, int bits, uint32_t key, const Draw& fn) {
    Canvas c(w, h);
    cairo_save(c.cr());
    cairo_scale(c.cr(), w / drawnW, h / drawnH);
    fn(c);
    cairo_restore(c.cr());
    return ToDib(c, bits, key);
}

std::shared_ptr<media::TDIB> Sprite(int w, int h, int bits, uint32_t key, const Draw& fn) {
    return Sprite(w, h, w, h, bits, key, fn);
}

std::vector<std::shared_ptr<media::TDIB>> FitFrames(int w, int h, double drawnW, double drawnH, int frames, int bits, uint32_t key,
                                                    const std::function<void(Canvas&, int)>& fn, const std::string& flush) {
    // Measure the ink on a canvas with room of one drawn size on every side.
    const int mw = int(std::ceil(drawnW * 3)), mh = int(std::ceil(drawnH * 3));
    int x0 = mw, y0 = mh, x1 = -1, y1 = -1;
    for (int f = 0; f < frames; ++f) {
        Canvas m(mw, mh);
        cairo_save(m.cr());
        cairo_translate(m.cr(), drawnW, drawnH);
        fn(m, f);
        cairo_restore(m.cr());
        m.Flush();
        // Any trace of ink counts: a faint edge pixel can become opaque once stretched.
        cairo_surface_t* surf = cairo_get_target(m.cr());
        const unsigned char* data = cairo_image_surface_get_data(surf);
        const int stride = cairo_image_surface_get_stride(surf);
        for (int y = 0; y < mh; ++y)
            for (int x = 0; x < mw; ++x)
                if (reinterpret_cast<const uint32_t*>(data + y * stride)[x] >> 24 > 8)
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    std::vector<std::shared_ptr<media::TDIB>> out;
    if (x1 < 0) {  // nothing drawn
        for (int f = 0; f < frames; ++f) out.push_back(Sprite(w, h, drawnW, drawnH, bits, key, [&](Canvas& c) { fn(c, f); }));
        return out;
    }
    auto margin = [&](char side) { return flush.find(side) == std::string::npos ? 1.0 : 0.0; };
    const double ix0 = x0 - drawnW, iy0 = y0 - drawnH, iw = x1 + 1 - x0, ih = y1 + 1 - y0;
    const double ml = margin('L'), mr = margin('R'), mt = margin('T'), mb = margin('B');
    for (int f = 0; f < frames; ++f) {
        Canvas c(w, h);
        cairo_save(c.cr());
        cairo_translate(c.cr(), ml, mt);
        cairo_scale(c.cr(), (w - ml - mr) / iw, (h - mt - mb) / ih);
        cairo_translate(c.cr(), -ix0, -iy0);
        fn(c, f);
        cairo_restore(c.cr());
        out.push_back(ToDib(c, bits, key));
    }
    return out;
}

void LinearV(Canvas& c, double y0, double y1, std::initializer_list<std::pair<double, Rgb>> stops) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    for (auto& s : stops) cairo_pattern_add_color_stop_rgb(p, s.first, s.second.r / 255.0, s.second.g / 255.0, s.second.b / 255.0);
    cairo_set_source(c.cr(), p);
    cairo_pattern_destroy(p);
}

void Radial(Canvas& c, double x, double y, double r, std::initializer_list<std::tuple<double, Rgb, double>> stops) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    for (auto& s : stops) {
        const Rgb& k = std::get<1>(s);
        cairo_pattern_add_color_stop_rgba(p, std::get<0>(s), k.r / 255.0, k.g / 255.0, k.b / 255.0, std::get<2>(s));
    }
    cairo_set_source(c.cr(), p);
    cairo_pattern_destroy(p);
}

void Poly(Canvas& c, std::initializer_list<std::pair<double, double>> pts) {
    bool first = true;
    for (auto& p : pts) {
        if (first) cairo_move_to(c.cr(), p.first, p.second);
        else cairo_line_to(c.cr(), p.first, p.second);
        first = false;
    }
    cairo_close_path(c.cr());
}

void Ellipse(Canvas& c, double x, double y, double rx, double ry) {
    cairo_save(c.cr());
    cairo_translate(c.cr(), x, y);
    cairo_scale(c.cr(), rx, ry);
    cairo_new_sub_path(c.cr());
    cairo_arc(c.cr(), 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(c.cr());
}

void Stroke(Canvas& c, Rgb k, double w, double a) {
    c.ColourRgb(k, a);
    cairo_set_line_width(c.cr(), w);
    cairo_stroke(c.cr());
}

Rgb Shade(Rgb a, double k) {
    return {uint8_t(std::clamp(a.r * k, 0.0, 255.0)), uint8_t(std::clamp(a.g * k, 0.0, 255.0)), uint8_t(std::clamp(a.b * k, 0.0, 255.0))};
}

void ShadeAcross(Canvas& c, double x, double w, Rgb k) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x, 0, x + w, 0);
    const Rgb lo = Shade(k, 0.45), hi = Shade(k, 1.25);
    cairo_pattern_add_color_stop_rgb(p, 0, lo.r / 255.0, lo.g / 255.0, lo.b / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 0.35, hi.r / 255.0, hi.g / 255.0, hi.b / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, lo.r / 400.0, lo.g / 400.0, lo.b / 400.0);
    cairo_set_source(c.cr(), p);
    cairo_pattern_destroy(p);
}

void Line(Canvas& c, double x0, double y0, double x1, double y1, double w, Rgb k, double a) {
    cairo_move_to(c.cr(), x0, y0);
    cairo_line_to(c.cr(), x1, y1);
    Stroke(c, k, w, a);
}

void Rect(Canvas& c, double x, double y, double w, double h, Rgb k, double a) {
    c.ColourRgb(k, a);
    c.FillRect(x, y, w, h);
}

// ------------------------------------------------------------------ the player's ship

// In a 96 x 31 box, nose to the right at (95, 15).
void DrawShip(Canvas& c) {
    cairo_t* cr = c.cr();
    // Fins.
    Poly(c, {{12, 11}, {28, 1}, {42, 1}, {38, 10}});
    LinearV(c, 0, 11, {{0, {210, 60, 40}}, {1, {120, 20, 20}}});
    cairo_fill_preserve(cr);
    Stroke(c, {60, 10, 10}, 1, 1);
    Poly(c, {{12, 20}, {28, 30}, {42, 30}, {38, 21}});
    LinearV(c, 20, 31, {{0, {150, 30, 25}}, {1, {80, 10, 10}}});
    cairo_fill_preserve(cr);
    Stroke(c, {60, 10, 10}, 1, 1);
    // Hull.
    Poly(c, {{6, 9}, {58, 6}, {84, 11}, {95, 15.5}, {84, 20}, {58, 25}, {6, 22}});
    LinearV(c, 6, 25, {{0, {235, 240, 250}}, {0.35, {160, 175, 200}}, {0.7, {90, 100, 130}}, {1, {40, 45, 70}}});
    cairo_fill_preserve(cr);
    Stroke(c, {30, 30, 50}, 1, 1);
    // Stripe.
    Poly(c, {{20, 17}, {70, 17}, {78, 19}, {20, 20}});
    c.Colour(0.85, 0.15, 0.1);
    cairo_fill(cr);
    // Cockpit.
    Ellipse(c, 68, 13, 11, 4.2);
    LinearV(c, 9, 17, {{0, {200, 250, 255}}, {0.5, {40, 150, 220}}, {1, {10, 40, 90}}});
    cairo_fill(cr);
    // Engine and flame.
    c.Colour(0.25, 0.25, 0.3);
    c.FillRect(2, 10, 7, 11);
    Radial(c, 2, 15.5, 7, {{0, {255, 255, 200}, 1}, {0.5, {255, 170, 40}, 1}, {1, {200, 50, 0}, 0}});
    Ellipse(c, 2, 15.5, 4, 4.5);
    cairo_fill(cr);
    // Panel lines.
    cairo_move_to(cr, 30, 9);
    cairo_line_to(cr, 30, 22);
    cairo_move_to(cr, 48, 8);
    cairo_line_to(cr, 48, 23);
    Stroke(c, {70, 80, 110}, 1, 0.8);
}

std::shared_ptr<media::TDIB> ShipPicture() { return Sprite(96, 31, 8, 0xFFFFFF, DrawShip); }

void DrawPod(Canvas& c, int frame) {
    cairo_t* cr = c.cr();
    const double cx = 20, cy = 20.5;
    // Four claws turning with the frame.
    for (int k = 0; k < 4; ++k) {
        double a = frame * M_PI / 8 + k * M_PI / 2;
        double ca = std::cos(a), sa = std::sin(a);
        auto P = [&](double r, double t) { return std::make_pair(cx + ca * r - sa * t, cy + sa * r + ca * t); };
        auto p1 = P(8, -6), p2 = P(19.5, -2.5), p3 = P(19.5, 2.5), p4 = P(8, 6);
        Poly(c, {p1, p2, p3, p4});
        c.Colour(0.75, 0.75, 0.85);
        cairo_fill_preserve(cr);
        Stroke(c, {60, 40, 20}, 1, 1);
    }
    Radial(c, cx - 4, cy - 4, 16, {{0, {255, 250, 200}, 1}, {0.3, {255, 170, 40}, 1}, {0.75, {200, 60, 10}, 1}, {1, {90, 20, 5}, 1}});
    c.FillCircle(cx, cy, 10);
    c.Colour(0.3, 0.1, 0.0);
    cairo_set_line_width(cr, 1.5);
    cairo_arc(cr, cx, cy, 10, 0, 2 * M_PI);
    cairo_stroke(cr);
}

std::vector<media::PictureItemData> BuildLod() {
    std::vector<media::PictureItemData> v;
    v.push_back(PictureItem("rak1", ShipPicture(), true, 0xFFFFFF));
    for (int f = 0; f < 4; ++f)
        v.push_back(PictureItem("ko" + std::to_string(f + 1), Sprite(40, 41, 4, 0xFFFFFF, [f](Canvas& c) { DrawPod(c, f); }), true, 0xFFFFFF));
    v.push_back(PictureItem("nab1", Sprite(15, 4, 4, 0, [](Canvas& c) {
        c.Antialias(false);
        c.Colour(0.9, 0.4, 0.05); c.FillRect(0, 0, 15, 4);
        c.Colour(1, 0.85, 0.2); c.FillRect(2, 1, 13, 2);
        c.Colour(1, 1, 0.9); c.FillRect(8, 1, 7, 2);
    }), true, 0));
    auto gunPod = [](bool gold) {
        return [gold](Canvas& c) {
            cairo_t* cr = c.cr();
            Rgb hi = gold ? Rgb{255, 230, 120} : Rgb{210, 220, 240}, lo = gold ? Rgb{140, 90, 10} : Rgb{60, 70, 100};
            c.Colour(0.35, 0.35, 0.4);
            c.FillRect(14, 7, 12, 5);  // barrel
            c.Colour(0.9, 0.9, 0.95);
            c.FillRect(23, 8, 3, 3);
            Ellipse(c, 10, 9.5, 9.5, 7.5);
            LinearV(c, 2, 17, {{0, hi}, {1, lo}});
            cairo_fill_preserve(cr);
            Stroke(c, {20, 20, 30}, 1, 1);
            c.Colour(gold ? 0.9 : 0.2, gold ? 0.2 : 0.8, gold ? 0.1 : 1.0);
            c.FillCircle(10, 9, 2.5);
        };
    };
    v.push_back(PictureItem("nab2", Sprite(26, 19, 8, 0, gunPod(false)), true, 0));
    v.push_back(PictureItem("nab3", Sprite(26, 19, 8, 0, gunPod(true)), true, 0));
    v.push_back(PictureItem("z1", Sprite(33, 31, 4, 0, [](Canvas& c) {
        cairo_t* cr = c.cr();
        cairo_new_path(cr);
        cairo_arc(cr, 10, 15.5, 9, M_PI / 2, 3 * M_PI / 2);
        cairo_arc(cr, 23, 15.5, 9, -M_PI / 2, M_PI / 2);
        cairo_close_path(cr);
        LinearV(c, 6, 25, {{0, {255, 240, 200}}, {0.4, {240, 120, 20}}, {1, {120, 30, 0}}});
        cairo_fill_preserve(cr);
        Stroke(c, {60, 20, 0}, 1.2, 1);
        c.Colour(0.15, 0.1, 0.3);
        c.FillRect(14, 7, 5, 17);
        c.Font(12, true);
        c.Colour(1, 1, 0.6);
        c.Text(11.5, 20, "W");
    }), true, 0));
    for (int k = 2; k <= 4; ++k) {
        media::PictureItemData z;
        z.Name = "z" + std::to_string(k);
        z.Transparent = true;
        z.TransparentColor = 0;
        v.push_back(z);
    }
    for (int f = 0; f < 4; ++f)
        v.push_back(PictureItem("las" + std::to_string(f + 1), Sprite(46, 78, 8, 0, [f](Canvas& c) {
            cairo_t* cr = c.cr();
            // A crackling field behind the ship's stern: the ship's rear sits at (30, 22)..(46, 53).
            Rng r(900 + f);
            for (int arc = 0; arc < 3; ++arc) {
                double x = 8 + arc * 6 + f * 1.5;
                cairo_move_to(cr, 38, 6 + arc * 3);
                double y = 6 + arc * 3;
                while (y < 72 - arc * 3) {
                    y += 6;
                    double bulge = 1 - std::pow((y - 39) / 36, 2);
                    cairo_line_to(cr, 38 - (38 - x) * bulge + r.Range(-3, 3), y);
                }
                Stroke(c, arc == 1 ? Rgb{255, 255, 255} : Rgb{120, 200, 255}, arc == 1 ? 1.5 : 2.5, 1);
            }
            Radial(c, 30, 38, 18, {{0, {220, 240, 255}, 1}, {0.5, {80, 120, 255}, 0.9}, {1, {40, 20, 160}, 0}});
            Ellipse(c, 30, 38, 8 + f * 1.5, 14 + f * 3);
            cairo_fill(cr);
        }), true, 0));
    return v;
}

void DrawFireball(Canvas& c, double w, double h, int stage, uint32_t seed) {
    cairo_t* cr = c.cr();
    Rng r(seed);
    const double cx = w / 2, cy = h / 2;
    const double R = std::min(w, h) / 2 - 1;
    // Puffs: bright at the first stage, smoky at the last.
    int puffs = 9 + stage * 3;
    for (int i = 0; i < puffs; ++i) {
        double a = r.Range(0, 2 * M_PI), d = r.Range(0, R * (0.25 + 0.15 * stage));
        double pr = R * r.Range(0.25, 0.45) * (0.7 + 0.1 * stage);
        double px = cx + std::cos(a) * d, py = cy + std::sin(a) * d;
        Rgb core = stage < 2 ? Rgb{255, 255, 220} : Rgb{255, 200, 80};
        Rgb mid = stage < 3 ? Rgb{255, 140, 20} : Rgb{170, 70, 20};
        Rgb edge = stage < 2 ? Rgb{220, 40, 0} : Rgb{90, 60, 50};
        Radial(c, px, py, pr, {{0, core, 1}, {0.45, mid, 1}, {1, edge, 0.9}});
        c.FillCircle(px, py, pr);
    }
    if (stage == 0) {  // sparks
        for (int i = 0; i < 10; ++i) {
            double a = r.Range(0, 2 * M_PI);
            cairo_move_to(cr, cx + std::cos(a) * R * 0.3, cy + std::sin(a) * R * 0.3);
            cairo_line_to(cr, cx + std::cos(a) * R, cy + std::sin(a) * R);
            Stroke(c, {255, 230, 120}, 1.5, 1);
        }
    }
}

std::vector<media::PictureItemData> BuildVybuch() {
    const int size[4][2] = {{63, 60}, {60, 60}, {58, 60}, {66, 63}};
    std::vector<media::PictureItemData> v;
    for (int f = 0; f < 4; ++f) {
        int w = size[f][0], h = size[f][1];
        v.push_back(PictureItem("nabvyb" + std::to_string(f + 1),
                                Sprite(w, h, 4, 0, [=](Canvas& c) { DrawFireball(c, w, h, f, 50 + f); }), true, 0));
    }
    return v;
}

// ------------------------------------------------------------------ HUD

// The one plain colour of the panel's wells, and of the faces' ground.
constexpr Rgb kHudWell{10, 13, 23};

// The pilot's face; look: 0 straight, 1 left, 2 right, 3 up, 4 down.
void DrawFace(Canvas& c, int look) {
    cairo_t* cr = c.cr();
    // The face's ground is the panel well's own colour: wherever the game shows it in the well,
    // only the head shows, never the picture's edge.
    c.ColourRgb(kHudWell);
    c.FillRect(0, 0, 81, 72);
    double dx = look == 1 ? -3 : look == 2 ? 3 : 0, dy = look == 3 ? -3 : look == 4 ? 3 : 0;
    // At the lowest places only rows 0..60 are shown above the panel's edge: the head is drawn a
    // little smaller, so that it sits whole in rows 2..58 whichever way it looks.
    cairo_translate(cr, 40.5, 30);
    cairo_scale(cr, 0.92, 0.92);
    cairo_translate(cr, -40.5, -31);
    double hx = 40.5 + dx * 0.6, hy = 31 + dy * 0.5;
    // Helmet.
    Ellipse(c, hx, hy, 29, 29);
    LinearV(c, hy - 29, hy + 29, {{0, {250, 250, 255}}, {0.5, {170, 180, 200}}, {1, {70, 80, 110}}});
    cairo_fill_preserve(cr);
    Stroke(c, {20, 20, 40}, 1.5, 1);
    c.Colour(0.8, 0.15, 0.1);
    c.FillRect(hx - 3, hy - 29, 6, 9);
    // Face opening.
    Ellipse(c, hx, hy + 3, 20, 20);
    c.Colour(0.95, 0.75, 0.6);
    cairo_fill_preserve(cr);
    Stroke(c, {60, 40, 40}, 1.2, 1);
    // Eyebrows.
    cairo_move_to(cr, hx - 15, hy - 6 + dy * 0.3);
    cairo_line_to(cr, hx - 5, hy - 7 + dy * 0.3);
    cairo_move_to(cr, hx + 5, hy - 7 + dy * 0.3);
    cairo_line_to(cr, hx + 15, hy - 6 + dy * 0.3);
    Stroke(c, {90, 50, 20}, 2.2, 1);
    // Eyes.
    for (int s = -1; s <= 1; s += 2) {
        double ex = hx + s * 9, ey = hy + 1;
        Ellipse(c, ex, ey, 6, 5);
        c.Colour(1, 1, 1);
        cairo_fill_preserve(cr);
        Stroke(c, {40, 30, 30}, 1, 1);
        c.Colour(0.2, 0.45, 0.85);
        c.FillCircle(ex + dx, ey + dy * 0.8, 2.8);
        c.Colour(0.02, 0.02, 0.05);
        c.FillCircle(ex + dx, ey + dy * 0.8, 1.4);
    }
    // Nose and mouth.
    cairo_move_to(cr, hx + dx * 0.3, hy + 5);
    cairo_line_to(cr, hx - 2 + dx * 0.3, hy + 12);
    cairo_line_to(cr, hx + 2, hy + 12);
    Stroke(c, {150, 90, 70}, 1.2, 1);
    cairo_move_to(cr, hx - 7, hy + 17);
    cairo_curve_to(cr, hx - 3, hy + 20 + (look == 4 ? -2 : 0), hx + 3, hy + 20 + (look == 4 ? -2 : 0), hx + 7, hy + 17);
    Stroke(c, {120, 40, 40}, 1.8, 1);
    // Microphone.
    cairo_move_to(cr, hx - 24, hy + 8);
    cairo_curve_to(cr, hx - 20, hy + 22, hx - 12, hy + 24, hx - 8, hy + 23);
    Stroke(c, {40, 40, 50}, 2, 1);
    c.Colour(0.1, 0.1, 0.12);
    c.FillCircle(hx - 8, hy + 23, 2.5);
}

void DrawRecipeCard(Canvas& c, double w, double h, bool large) {
    cairo_t* cr = c.cr();
    double rr = large ? 4 : 2;
    cairo_new_path(cr);
    cairo_arc(cr, rr + 0.5, rr + 0.5, rr, M_PI, 1.5 * M_PI);
    cairo_arc(cr, w - rr - 0.5, rr + 0.5, rr, 1.5 * M_PI, 2 * M_PI);
    cairo_arc(cr, w - rr - 0.5, h - rr - 0.5, rr, 0, 0.5 * M_PI);
    cairo_arc(cr, rr + 0.5, h - rr - 0.5, rr, 0.5 * M_PI, M_PI);
    cairo_close_path(cr);
    LinearV(c, 0, h, {{0, {255, 248, 220}}, {1, {225, 205, 160}}});
    cairo_fill_preserve(cr);
    Stroke(c, {120, 80, 40}, 1, 1);
    // A plum at the top.
    double px = w / 2, py = h * 0.2, pr = w * 0.2;
    Radial(c, px - pr * 0.3, py - pr * 0.3, pr * 1.3, {{0, {160, 120, 220}, 1}, {1, {50, 20, 100}, 1}});
    c.FillCircle(px, py, pr);
    cairo_move_to(cr, px, py - pr);
    cairo_line_to(cr, px + pr * 0.4, py - pr * 1.5);
    Stroke(c, {90, 60, 20}, 1, 1);
    // Handwritten lines.
    Rng r(7);
    for (double y = h * 0.4; y < h - 4; y += large ? 6 : 5) {
        double x0 = 4 + r.Range(0, 2), x1 = w - 4 - r.Range(0, w * 0.3);
        cairo_move_to(cr, x0, y);
        for (double x = x0; x < x1; x += 2) cairo_line_to(cr, x, y + std::sin(x * 1.7 + y) * 0.8);
        Stroke(c, {40, 50, 130}, 0.8, 1);
    }
}

// A label of the panel, centred on cx with its baseline at y (rotated a quarter turn to read
// upwards when `upright` is false): every label text of the panel is drawn here.
void PanelLabel(Canvas& c, double cx, double y, const std::string& text, double size, bool upright = true) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    c.Font(size, true);
    const double w = c.TextWidth(text);
    if (upright) {
        cairo_translate(cr, cx - w / 2, y);
    } else {
        cairo_translate(cr, y, cx + w / 2);
        cairo_rotate(cr, -M_PI / 2);
    }
    c.Colour(1.0, 0.85, 0.3);
    c.Text(0, 0, text);
    cairo_restore(cr);
}

// The key legend: one row a key, its name and what it does.
void KeyLegend(Canvas& c, double x, double y, double nameW, double rowH, const std::vector<std::pair<std::string, std::string>>& rows) {
    c.Font(8.5, true);
    for (size_t k = 0; k < rows.size(); ++k) {
        c.Colour(1.0, 0.85, 0.3);
        c.Text(x, y + k * rowH, rows[k].first);
        c.Colour(0.75, 0.85, 1.0);
        c.Text(x + nameW, y + k * rowH, rows[k].second);
    }
}

std::vector<media::PictureItemData> BuildHud(const Texts& t) {
    std::vector<media::PictureItemData> v;
    // The panel shows rows 0..77 of the 631 x 83 picture, with the form's grey (66, 65, 66) above
    // and below it and the panel's black to the right of it: the frames close by row 77, the top
    // and bottom edges carry the form's grey and the right edge ends in black. The faces are shown
    // at (282, 17), (258, 17), (242, 17), (250, 15) and (266, 9), 81 x 72 each: one plain well
    // holds them all (x 242..362, y 9..77) with its frame outside. The recipe is shown at (386, 3),
    // the life markers at (20, 39), (85, 39) and (50, 64).
    v.push_back(PictureItem("meny", Sprite(631, 83, 8, 0, [&t](Canvas& c) {
        cairo_t* cr = c.cr();
        LinearV(c, 0, 78, {{0, {66, 65, 66}}, {0.03, {150, 155, 175}}, {0.12, {95, 100, 120}}, {0.9, {40, 44, 58}}, {1, {66, 65, 66}}});
        c.FillRect(0, 0, 631, 83);
        cairo_pattern_t* edge = cairo_pattern_create_linear(619, 0, 631, 0);
        cairo_pattern_add_color_stop_rgba(edge, 0, 0, 0, 0, 0);
        cairo_pattern_add_color_stop_rgba(edge, 1, 0, 0, 0, 1);
        cairo_set_source(cr, edge);
        cairo_pattern_destroy(edge);
        c.FillRect(619, 0, 12, 83);
        // A well: its inside [x, x + w) x [y, y + h) plain, a bevelled frame around it.
        auto well = [&](double x, double y, double w, double h) {
            cairo_rectangle(cr, x - 1.5, y - 1.5, w + 3, h + 3);
            Stroke(c, {25, 27, 36}, 1, 1);
            cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
            Stroke(c, {170, 175, 200}, 1, 0.8);
            c.ColourRgb(kHudWell);
            c.FillRect(x, y, w, h);
        };
        well(12, 30, 120, 48);    // lives: the markers at (20..124, 39..81), cut at row 77
        well(142, 14, 90, 64);    // the keys
        well(242, 9, 121, 69);    // the faces: the union of their places, shown down to row 77
        well(385, 2, 41, 76);     // the recipe, 39 x 78 at (386, 3)
        well(445, 10, 168, 62);   // logo
        for (double x : {5.0, 137.0, 237.0, 378.0, 436.0})
            for (double y : {8.0, 70.0}) {
                Radial(c, x - 1, y - 1, 3, {{0, {230, 230, 240}, 1}, {1, {60, 60, 70}, 1}});
                c.FillCircle(x, y, 2.5);
            }
        // Over each well its label; the recipe's reads upwards beside its well.
        PanelLabel(c, 72, 24, t.hudLives, 13);
        PanelLabel(c, 302.5, 7, t.hudPilot, 8);
        PanelLabel(c, 37, 374, t.hudRecipe, 9, false);
        // What is always true for the pilot: the keys of the ship.
        KeyLegend(c, 145, 30, 49, 13, {{t.hudKeys[0][0], t.hudKeys[0][1]}, {t.hudKeys[1][0], t.hudKeys[1][1]}, {t.hudKeys[2][0], t.hudKeys[2][1]}, {t.hudKeys[3][0], t.hudKeys[3][1]}});
        c.Font(30, true);
        c.OutlinedText(456, 48, "ORBITA", {255, 190, 40}, {120, 30, 0}, 3);
        c.Font(10, false);
        c.Colour(0.6, 0.8, 1.0);
        c.Text(468, 64, t.subtitle);
    }), false, 0));
    const char* faces[] = {"obrov", "oblev", "obprav", "obhore", "obdole"};
    for (int f = 0; f < 5; ++f)
        v.push_back(PictureItem(faces[f], Sprite(81, 72, 8, 0, [f](Canvas& c) { DrawFace(c, f); }), false, 0));
    // The third marker is shown from row 64, so its lowest rows fall under the panel's edge: the
    // markers draw the ship in their upper 25 rows of 31.
    auto marker = Sprite(96, 31, 96, 31, 8, 0xFFFFFF, [](Canvas& c) {
        cairo_translate(c.cr(), 0, 0);
        cairo_scale(c.cr(), 1, 25.0 / 31);
        DrawShip(c);
    });
    for (int k = 1; k <= 3; ++k) v.push_back(PictureItem("zi" + std::to_string(k), marker, true, 0xFFFFFF));
    // Shown from row 3 of the panel, so its lowest 3 rows are cut: the card ends above them.
    v.push_back(PictureItem("recept", Sprite(39, 78, 8, 0, [](Canvas& c) { DrawRecipeCard(c, 39, 74, true); }), true, 0));
    return v;
}

}  // namespace assets
