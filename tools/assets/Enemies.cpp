// The alien sets (alin/alN.dxg) and the level-object sets (vob/vobN.dxg).
#include <cmath>
#include <string>

#include "tools/assets/Art.h"
#include "tools/assets/Assets.h"
#include "tools/assets/Noise.h"

namespace assets {
namespace {

constexpr uint32_t kBlack = 0;

// An alien craft facing left in a w x h box; `frame` animates its lights and engine.
void DrawCraft(Canvas& c, double w, double h, int frame, Rgb body, Rgb glow, int shape) {
    cairo_t* cr = c.cr();
    const double cx = w / 2, cy = h / 2;
    const double pulse = 0.5 + 0.5 * std::sin(frame * M_PI / 2);
    if (shape == 0) {  // saucer-fighter with swept wings
        Poly(c, {{w * 0.55, cy}, {w * 0.85, h * 0.04}, {w * 0.98, h * 0.1}, {w * 0.8, cy}, {w * 0.98, h * 0.9}, {w * 0.85, h * 0.96}});
        LinearV(c, 0, h, {{0, {body.r, body.g, body.b}}, {1, {uint8_t(body.r / 3), uint8_t(body.g / 3), uint8_t(body.b / 3)}}});
        cairo_fill_preserve(cr);
        Stroke(c, {20, 10, 30}, 1, 1);
        Ellipse(c, cx, cy, w * 0.46, h * 0.26);
        LinearV(c, cy - h * 0.26, cy + h * 0.26, {{0, {255, 255, 255}}, {0.3, body}, {1, {uint8_t(body.r / 4), uint8_t(body.g / 4), uint8_t(body.b / 4)}}});
        cairo_fill_preserve(cr);
        Stroke(c, {20, 10, 30}, 1, 1);
        Ellipse(c, w * 0.3, cy - h * 0.06, w * 0.12, h * 0.12);
        Radial(c, w * 0.28, cy - h * 0.1, w * 0.14, {{0, {255, 255, 255}, 1}, {0.4, glow, 1}, {1, {10, 10, 30}, 1}});
        cairo_fill(cr);
    } else if (shape == 1) {  // insect-like climber
        for (int k = 0; k < 3; ++k) {
            double lx = w * (0.3 + 0.2 * k);
            double sw = std::sin(frame * M_PI / 2 + k) * h * 0.08;
            cairo_move_to(cr, lx, cy);
            cairo_line_to(cr, lx + w * 0.08, h * 0.92 + sw);
            cairo_move_to(cr, lx, cy);
            cairo_line_to(cr, lx + w * 0.08, h * 0.08 - sw);
            Stroke(c, {230, 230, 200}, std::max(1.5, h * 0.08), 1);
        }
        // Translucent wings beating with the frame.
        double beat = std::sin(frame * M_PI / 2) * 0.3;
        Ellipse(c, w * 0.55, cy - h * (0.3 + beat * 0.3), w * 0.22, h * 0.18);
        c.Colour(0.8, 0.95, 1.0, 0.75);
        cairo_fill_preserve(cr);
        Stroke(c, {255, 255, 255}, 1, 1);
        Ellipse(c, cx, cy, w * 0.44, h * 0.3);
        LinearV(c, cy - h * 0.3, cy + h * 0.3, {{0, {255, 240, 230}}, {0.35, body}, {1, {uint8_t(body.r / 4), uint8_t(body.g / 4), uint8_t(body.b / 4)}}});
        cairo_fill_preserve(cr);
        Stroke(c, {30, 10, 10}, 1, 1);
        for (int k = 0; k < 3; ++k) {
            c.ColourRgb(glow, 0.6 + 0.4 * ((frame + k) % 2));
            c.FillCircle(w * (0.2 + 0.12 * k), cy - h * 0.05, std::max(1.2, h * 0.08));
        }
    } else {  // dart
        Poly(c, {{0, cy}, {w * 0.7, h * 0.1}, {w, h * 0.2}, {w * 0.85, cy}, {w, h * 0.8}, {w * 0.7, h * 0.9}});
        LinearV(c, 0, h, {{0, {255, 255, 255}}, {0.4, body}, {1, {uint8_t(body.r / 4), uint8_t(body.g / 4), uint8_t(body.b / 4)}}});
        cairo_fill_preserve(cr);
        Stroke(c, {20, 10, 30}, 1, 1);
        c.ColourRgb(glow);
        Ellipse(c, w * 0.35, cy, w * 0.1, h * 0.12);
        cairo_fill(cr);
    }
    // Engine glow at the rear (right).
    Radial(c, w * 0.97, cy, h * 0.35, {{0, {255, 255, 230}, 1}, {0.5, glow, 0.5 + 0.5 * pulse}, {1, glow, 0}});
    Ellipse(c, w * 0.97, cy, w * 0.06 + pulse * w * 0.03, h * 0.2);
    cairo_fill(cr);
}

// Mirrors what follows left to right in a picture of width w.
void Mirror(Canvas& c, double w) {
    cairo_translate(c.cr(), w, 0);
    cairo_scale(c.cr(), -1, 1);
}

// An energy bolt, drawn in a w x h box, moving left.
void DrawBolt(Canvas& c, double w, double h, int frame, Rgb core, Rgb edge) {
    cairo_t* cr = c.cr();
    double phase = frame * 0.8;
    Radial(c, w * 0.25, h / 2, w * 0.35, {{0, {255, 255, 255}, 1}, {0.35, core, 1}, {1, edge, 0}});
    Ellipse(c, w * 0.25, h / 2, w * 0.22, h * 0.45);
    cairo_fill(cr);
    cairo_move_to(cr, w * 0.25, h / 2);
    for (double x = w * 0.25; x < w; x += 3) cairo_line_to(cr, x, h / 2 + std::sin(x * 0.5 + phase) * h * 0.25 * (x / w));
    Stroke(c, core, std::max(1.5, h * 0.12), 1);
}

void DrawRock(Canvas& c, double w, double h, uint32_t seed, Rgb base) {
    cairo_t* cr = c.cr();
    Rng r(seed);
    const int n = 11;
    for (int i = 0; i < n; ++i) {
        double a = i * 2 * M_PI / n;
        double rad = r.Range(0.75, 1.0);
        double x = w / 2 + std::cos(a) * (w / 2 - 1) * rad, y = h / 2 + std::sin(a) * (h / 2 - 1) * rad;
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    Radial(c, w * 0.35, h * 0.3, std::max(w, h) * 0.8,
           {{0, {uint8_t(std::min(255, base.r + 90)), uint8_t(std::min(255, base.g + 80)), uint8_t(std::min(255, base.b + 70))}, 1},
            {0.5, base, 1},
            {1, {uint8_t(base.r / 3), uint8_t(base.g / 3), uint8_t(base.b / 3)}, 1}});
    cairo_fill_preserve(cr);
    Stroke(c, {30, 20, 15}, 1, 1);
    for (int i = 0; i < 3; ++i) {
        double x = r.Range(w * 0.25, w * 0.75), y = r.Range(h * 0.25, h * 0.75);
        c.Colour(base.r / 600.0, base.g / 600.0, base.b / 600.0, 0.8);
        c.FillCircle(x, y, std::max(1.0, w * 0.07));
    }
}

void DrawCannon(Canvas& c, double w, double h, int frame) {
    cairo_t* cr = c.cr();
    // Barrel aimed up and to the left, recoiling with the frame.
    // Frame 1 fires, frame 2 is the full recoil, frame 3 runs the barrel out again.
    double rec = (frame == 2 ? 10 : frame == 3 ? 5 : 0);
    cairo_save(cr);
    cairo_translate(cr, w * 0.5, h * 0.45);
    cairo_rotate(cr, -2.4);
    c.Colour(0.3, 0.3, 0.36);
    c.FillRect(-rec, -4, w * 0.55 - rec, 8);
    c.Colour(0.55, 0.55, 0.6);
    c.FillRect(-rec, -4, w * 0.55 - rec, 3);
    if (frame == 1) {
        Radial(c, w * 0.55, 0, 10, {{0, {255, 255, 200}, 1}, {0.5, {255, 150, 30}, 1}, {1, {255, 60, 0}, 0}});
        c.FillCircle(w * 0.55, 0, 9);
    }
    cairo_restore(cr);
    // Turret dome and tracked base.
    cairo_new_path(cr);
    cairo_arc(cr, w * 0.5, h * 0.55, w * 0.22, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    LinearV(c, h * 0.3, h * 0.6, {{0, {220, 200, 160}}, {1, {110, 80, 50}}});
    cairo_fill_preserve(cr);
    Stroke(c, {40, 30, 20}, 1, 1);
    c.Colour(0.25, 0.22, 0.2);
    c.FillRect(w * 0.1, h * 0.55, w * 0.8, h * 0.25);
    for (int k = 0; k < 5; ++k) {
        c.Colour(0.5, 0.48, 0.45);
        c.FillCircle(w * (0.18 + 0.16 * k), h * 0.8, h * 0.11);
        c.Colour(0.15, 0.15, 0.15);
        c.FillCircle(w * (0.18 + 0.16 * k) + (frame % 2), h * 0.8, h * 0.04);
    }
    c.Colour(0.95, 0.7, 0.1);
    c.FillRect(w * 0.1, h * 0.6, w * 0.8, h * 0.05);
}

void DrawBeacon(Canvas& c, double w, double h, int frame) {
    cairo_t* cr = c.cr();
    // A lamp cluster hanging from the canyon roof.
    c.Colour(0.35, 0.3, 0.3);
    c.FillRect(w * 0.45, 0, w * 0.1, h * 0.35);
    Poly(c, {{w * 0.15, h * 0.35}, {w * 0.85, h * 0.35}, {w * 0.7, h * 0.6}, {w * 0.3, h * 0.6}});
    LinearV(c, h * 0.35, h * 0.6, {{0, {150, 140, 140}}, {1, {60, 50, 50}}});
    cairo_fill(cr);
    Rgb lamps[4] = {{255, 60, 40}, {255, 200, 40}, {80, 160, 255}, {255, 80, 220}};
    for (int k = 0; k < 3; ++k) {
        bool on = (k == frame % 3) || frame == 3;
        Rgb l = lamps[(k + frame) % 4];
        double x = w * (0.3 + 0.2 * k), y = h * 0.75;
        if (on) {
            Radial(c, x, y, h * 0.3, {{0, {255, 255, 255}, 1}, {0.3, l, 1}, {1, l, 0}});
            c.FillCircle(x, y, h * 0.26);
        } else {
            c.Colour(l.r / 500.0, l.g / 500.0, l.b / 500.0);
            c.FillCircle(x, y, h * 0.1);
        }
    }
}

void DrawJelly(Canvas& c, double w, double h, int frame) {
    cairo_t* cr = c.cr();
    double squash = 1 + 0.12 * std::sin(frame * M_PI / 2);
    for (int k = 0; k < 5; ++k) {
        double x = w * (0.2 + 0.15 * k);
        cairo_move_to(cr, x, h * 0.5);
        for (double y = h * 0.5; y < h; y += 2) cairo_line_to(cr, x + std::sin(y * 0.3 + frame + k) * 3, y);
        Stroke(c, {200, 120, 255}, 2, 1);
    }
    Ellipse(c, w / 2, h * 0.35, w * 0.42 * squash, h * 0.32 / squash);
    Radial(c, w * 0.4, h * 0.25, w * 0.5, {{0, {255, 240, 255}, 1}, {0.4, {230, 90, 200}, 1}, {1, {90, 20, 120}, 1}});
    cairo_fill(cr);
    c.Colour(1, 1, 0.3);
    c.FillCircle(w * 0.38, h * 0.35, 2.5);
    c.FillCircle(w * 0.62, h * 0.35, 2.5);
}

void DrawPillar(Canvas& c, double w, double h, int frame) {
    cairo_t* cr = c.cr();
    // A glowing crystal column of an alien organism.
    Poly(c, {{w * 0.5, 0}, {w * 0.9, h * 0.12}, {w * 0.85, h}, {w * 0.15, h}, {w * 0.1, h * 0.12}});
    LinearV(c, 0, h, {{0, {255, 220, 170}}, {0.3, {200, 100, 60}}, {1, {70, 25, 20}}});
    cairo_fill_preserve(cr);
    Stroke(c, {40, 10, 10}, 1.5, 1);
    for (int k = 0; k < 6; ++k) {
        double y = h * (0.15 + 0.14 * k) + frame * h * 0.035;
        Radial(c, w / 2, y, w * 0.25, {{0, {255, 255, 200}, 1}, {0.5, {255, 120, 30}, 0.9}, {1, {255, 60, 0}, 0}});
        Ellipse(c, w / 2, y, w * 0.22, w * 0.12);
        cairo_fill(cr);
    }
}

void DrawGuardian(Canvas& c, double w, double h, bool hit) {
    cairo_t* cr = c.cr();
    // The recipe's guardian: a tall armoured sentinel with a glowing eye.
    // The hit frame is a white flash of the whole figure.
    Rgb a = hit ? Rgb{255, 255, 255} : Rgb{150, 70, 190}, b = hit ? Rgb{225, 225, 235} : Rgb{45, 15, 70};
    Poly(c, {{w * 0.3, 0}, {w * 0.7, 0}, {w * 0.95, h * 0.2}, {w * 0.85, h}, {w * 0.15, h}, {w * 0.05, h * 0.2}});
    LinearV(c, 0, h, {{0, a}, {1, b}});
    cairo_fill_preserve(cr);
    Stroke(c, {20, 5, 30}, 2, 1);
    for (int k = 1; k < 8; ++k) {
        cairo_move_to(cr, w * 0.12, h * k / 8.0);
        cairo_line_to(cr, w * 0.88, h * k / 8.0);
        Stroke(c, hit ? Rgb{200, 200, 215} : Rgb{90, 40, 120}, 1.5, 1);
    }
    Radial(c, w * 0.7, h * 0.12, w * 0.2, {{0, {255, 255, 255}, 1}, {0.3, {255, 40, 40}, 1}, {1, {120, 0, 0}, 1}});
    Ellipse(c, w * 0.7, h * 0.12, w * 0.16, h * 0.04);
    cairo_fill(cr);
    // The niche that holds the recipe. The recipe is a separate item (30 x 40), drawn at
    // (x + 20, y + 20) before the guardian, so the niche is left open and the recipe shows in it.
    cairo_rectangle(cr, 16, 16, 38, 48);
    c.ColourRgb(hit ? Rgb{255, 255, 200} : Rgb{230, 180, 60});
    cairo_fill(cr);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, 19, 19, 32, 42);
    cairo_fill(cr);
    cairo_restore(cr);
    for (int k = 0; k < 3; ++k) {
        Radial(c, w * (0.3 + 0.2 * k), h * 0.6, w * 0.12, {{0, {255, 255, 200}, 1}, {1, {255, 100, 0}, 0.0}});
        c.FillCircle(w * (0.3 + 0.2 * k), h * 0.6, w * 0.1);
    }
}

std::vector<std::string> AlienNames() {
    std::vector<std::string> n;
    for (char g : {'a', 'b', 'c'})
        for (int i = 1; i <= 5; ++i) n.push_back(std::string(1, g) + std::to_string(i));
    n.push_back("alnab");
    n.push_back("kamen");
    return n;
}

std::vector<std::string> ObjectNames() {
    std::vector<std::string> n;
    for (int i = 0; i <= 14; ++i) n.push_back("o" + std::to_string(i));
    n.push_back("blesk");
    return n;
}

std::vector<media::PictureItemData> BlankSet(const std::vector<std::string>& names) {
    std::vector<media::PictureItemData> v;
    for (auto& n : names) v.push_back(BlankItem(n));
    return v;
}

void SetItem(std::vector<media::PictureItemData>& v, int i, std::shared_ptr<media::TDIB> pic) {
    v[i].Picture = std::move(pic);
}

}  // namespace

std::vector<media::PictureItemData> BuildAlienSet(int level) {
    auto v = BlankSet(AlienNames());
    auto set = [&](int i, std::shared_ptr<media::TDIB> p) { SetItem(v, i, std::move(p)); };
    auto frames = [&](int first, const std::vector<std::shared_ptr<media::TDIB>>& pics) {
        for (size_t k = 0; k < pics.size(); ++k) set(first + static_cast<int>(k), pics[k]);
    };
    // Shot frames; `toRight` for shots that fly to the right (the bolt's head leads).
    auto shots = [&](Rgb core, Rgb edge, int w, int h, bool toRight) {
        frames(5, FitFrames(w, h, w, h, 4, 8, kBlack, [=](Canvas& c, int f) {
            if (toRight) Mirror(c, w);
            DrawBolt(c, w, h, f, core, edge);
        }));
    };
    switch (level) {
    case 1:
        // Flyers: pictures of 100 x 80, drawn 70 x 50 (flyers) and 60 x 30 (climber boxes).
        frames(0, FitFrames(100, 80, 70, 50, 4, 8, kBlack, [](Canvas& c, int f) { DrawCraft(c, 70, 50, f, {90, 170, 255}, {255, 120, 40}, 0); }));
        shots({255, 90, 60}, {200, 0, 80}, 52, 20, false);
        frames(10, FitFrames(60, 30, 60, 30, 4, 8, kBlack, [](Canvas& c, int f) { DrawCraft(c, 60, 30, f, {240, 170, 60}, {255, 60, 60}, 1); }));
        set(16, Sprite(20, 20, 8, kBlack, [](Canvas& c) { DrawRock(c, 20, 20, 16, {150, 130, 110}); }));
        break;
    case 2:
        shots({120, 200, 255}, {20, 40, 200}, 59, 42, true);
        for (int f = 0; f < 4; ++f)
            set(10 + f, Sprite(56, 56, 8, kBlack, [f](Canvas& c) {
                // A spiked mine rising up the shaft.
                cairo_t* cr = c.cr();
                for (int k = 0; k < 8; ++k) {
                    double a = k * M_PI / 4 + f * M_PI / 16;
                    cairo_move_to(cr, 28 + std::cos(a) * 14, 28 + std::sin(a) * 14);
                    cairo_line_to(cr, 28 + std::cos(a) * 26, 28 + std::sin(a) * 26);
                    Stroke(c, {200, 200, 210}, 3, 1);
                }
                Radial(c, 23, 23, 22, {{0, {255, 230, 220}, 1}, {0.4, {220, 60, 50}, 1}, {1, {60, 10, 10}, 1}});
                c.FillCircle(28, 28, 16);
                c.Colour(1, 1, 0.4, f % 2 ? 1 : 0.6);
                c.FillCircle(28, 28, 4);
            }));
        break;
    case 3:
    case 4:
        frames(0, FitFrames(80, 60, 80, 60, 4, 8, kBlack, [](Canvas& c, int f) { DrawCannon(c, 80, 60, f); }, "B"));
        if (level == 3) {
            frames(4, FitFrames(72, 30, 72, 30, 1, 8, kBlack, [](Canvas& c, int) { DrawCraft(c, 72, 30, 0, {255, 120, 160}, {120, 255, 255}, 2); }));
            // The mortar shell rises; the game turns it by 190/256 of a turn, which brings the
            // picture's right side to the top, so its head is drawn on the right.
            frames(5, FitFrames(33, 32, 33, 32, 1, 8, kBlack, [](Canvas& c, int) {
                // An iron shell with a red-hot nose, trailing pale fire: metal, not a creature.
                Mirror(c, 33);
                DrawBolt(c, 33, 32, 0, {255, 240, 170}, {150, 60, 20});
                cairo_t* cr = c.cr();
                Ellipse(c, 13, 16, 10, 6.5);
                LinearV(c, 9.5, 22.5, {{0, {200, 205, 215}}, {0.45, {110, 112, 125}}, {1, {35, 36, 45}}});
                cairo_fill_preserve(cr);
                Stroke(c, {20, 20, 26}, 1, 1);
                c.Colour(0.2, 0.2, 0.25);
                c.FillRect(18, 10.5, 2, 11);
                Radial(c, 5, 16, 7, {{0, {255, 255, 255}, 1}, {0.55, {255, 235, 215}, 1}, {1, {255, 80, 20}, 1}});
                c.FillCircle(5.5, 16, 5);
            }));
            set(6, Sprite(48, 48, 8, kBlack, [](Canvas& c) {
                // A jumper: a round violet hopper in a ribbed shell, folded legs and two big eyes.
                cairo_t* cr = c.cr();
                for (int k = 0; k < 4; ++k) {
                    double a = M_PI / 4 + k * M_PI / 2;
                    cairo_move_to(cr, 24 + std::cos(a) * 12, 24 + std::sin(a) * 12);
                    cairo_line_to(cr, 24 + std::cos(a + 0.35) * 21, 24 + std::sin(a + 0.35) * 21);
                    cairo_line_to(cr, 24 + std::cos(a - 0.1) * 23, 24 + std::sin(a - 0.1) * 23);
                    Stroke(c, {120, 220, 230}, 3, 1);
                }
                Radial(c, 19, 18, 22, {{0, {240, 210, 255}, 1}, {0.45, {150, 70, 210}, 1}, {1, {45, 15, 80}, 1}});
                c.FillCircle(24, 24, 15);
                for (int k = -1; k <= 1; ++k) {
                    cairo_arc(cr, 24, 24, 11 - k * 0, M_PI * (1.15 + 0.2 * k), M_PI * (1.3 + 0.2 * k));
                    Stroke(c, {90, 40, 140}, 1.5, 1);
                }
                for (double ex : {18.0, 30.0}) {
                    c.Colour(1, 1, 1);
                    c.FillCircle(ex, 22, 4.5);
                    c.Colour(0.05, 0.1, 0.2);
                    c.FillCircle(ex + 1, 23, 2.2);
                }
                cairo_arc(cr, 24, 28, 5, 0.2 * M_PI, 0.8 * M_PI);
                Stroke(c, {50, 10, 60}, 1.5, 1);
            }));
            for (int f = 0; f < 4; ++f) set(10 + f, Sprite(64, 40, 8, kBlack, [f](Canvas& c) { DrawBeacon(c, 64, 40, f); }));
        } else {
            // Bouncer frames; item 5 doubles as the mortar shot of the cannons.
            frames(5, FitFrames(56, 44, 56, 44, 4, 8, kBlack, [](Canvas& c, int f) { DrawJelly(c, 56, 44, f); }));
        }
        break;
    case 5:
        frames(0, FitFrames(64, 150, 64, 150, 4, 8, kBlack, [](Canvas& c, int f) { DrawPillar(c, 64, 150, f); }, "B"));
        set(4, Sprite(44, 40, 8, kBlack, [](Canvas& c) { DrawRock(c, 44, 40, 5, {170, 110, 70}); }));
        break;
    case 7:
        // Chasers fly to the right: a left-facing craft, mirrored.
        frames(0, FitFrames(70, 36, 70, 36, 1, 8, kBlack, [](Canvas& c, int) {
            cairo_translate(c.cr(), 70, 0);
            cairo_scale(c.cr(), -1, 1);
            DrawCraft(c, 70, 36, 0, {255, 80, 80}, {255, 230, 60}, 2);
        }));
        shots({255, 80, 255}, {120, 0, 160}, 52, 20, false);
        frames(10, FitFrames(100, 70, 60, 30, 4, 8, kBlack, [](Canvas& c, int f) { DrawCraft(c, 60, 30, f, {190, 90, 255}, {255, 255, 120}, 1); }));
        set(14, Sprite(110, 270, 8, kBlack, [](Canvas& c) { DrawGuardian(c, 110, 270, false); }));
        set(15, Sprite(110, 270, 8, kBlack, [](Canvas& c) { DrawGuardian(c, 110, 270, true); }));
        set(16, Sprite(30, 40, 8, kBlack, [](Canvas& c) { DrawRecipeCard(c, 30, 40, false); }));
        break;
    case 8:
        // The game draws the descender at item 0's width and its height + 35 (its box), so the
        // hulk is drawn in that box and fitted into a 160 x 200 picture.
        for (int f = 0; f < 4; ++f)
            set(f, Sprite(160, 200, 160, 235, 8, kBlack, [f](Canvas& c) {
                // The derelict hulk: a battered freighter sinking nose down, lights flickering.
                cairo_t* cr = c.cr();
                Poly(c, {{30, 0}, {130, 0}, {150, 45}, {140, 190}, {80, 234}, {20, 190}, {10, 45}});
                LinearV(c, 0, 235, {{0, {140, 140, 160}}, {0.5, {80, 80, 100}}, {1, {30, 30, 45}}});
                cairo_fill_preserve(cr);
                Stroke(c, {15, 15, 25}, 2, 1);
                for (int k = 0; k < 6; ++k) {
                    cairo_move_to(cr, 15, 35 + k * 29);
                    cairo_line_to(cr, 145, 35 + k * 29);
                    Stroke(c, {50, 50, 70}, 2, 1);
                }
                for (int k = 0; k < 8; ++k) {
                    bool on = ((k * 3 + f) % 4) != 0;
                    c.Colour(on ? 1.0 : 0.3, on ? 0.8 : 0.2, on ? 0.3 : 0.1);
                    c.FillRect(30 + (k % 4) * 27, 50 + (k / 4) * 58, 12, 8);
                }
                Radial(c, 80, 216, 25, {{0, {255, 255, 220}, 1}, {0.5, {255, 120, 30}, 0.8 - 0.15 * f}, {1, {255, 50, 0}, 0}});
                c.FillCircle(80, 216, 20);
                // Scorch holes.
                c.Colour(0.1, 0.08, 0.1);
                c.FillCircle(110, 140, 9);
                c.FillCircle(50, 105, 6);
            }));
        set(4, Sprite(40, 40, 8, kBlack, [](Canvas& c) { DrawRock(c, 40, 40, 8, {120, 120, 140}); }));
        break;
    default:
        break;
    }
    return v;
}

namespace {

// Level 2: the gun emplacements, their wrecks and the energy barrier.
void ObjectsLevel2(std::vector<media::PictureItemData>& v) {
    auto set = [&](int i, std::shared_ptr<media::TDIB> p) { SetItem(v, i, std::move(p)); };
    // Gun emplacement on the left shaft wall: an armoured tower with a sensor dome on top and
    // the cannon at its foot. The game launches its shot from (x + 50, y + 100), so the barrel
    // lies along y = 100 with its muzzle near x = 60. Shots leave while the 40-frame cycle
    // shows frames 2 and 3 (cycle values 15..19): frame 1 charges, 2 glows, 3 recoils.
    auto gun = [](Canvas& c, int f, int damage) {
        cairo_t* cr = c.cr();
        LinearV(c, 0, 120, {{0, {170, 170, 190}}, {1, {60, 60, 80}}});
        c.FillRect(0, 6, 34, 110);
        c.Colour(0.9, 0.7, 0.1);
        for (int k = 0; k < 9; ++k) c.FillRect(2, 12 + k * 11, 30, 3);
        // Sensor dome.
        Ellipse(c, 32, 30, 15, 16);
        LinearV(c, 14, 46, {{0, {220, 220, 235}}, {1, {70, 70, 90}}});
        cairo_fill_preserve(cr);
        Stroke(c, {20, 20, 30}, 1, 1);
        c.Colour(damage ? 0.4 : 1.0, damage ? 0.1 : 0.2, 0.1);
        c.FillCircle(32, 30, 5);
        // Cannon.
        if (damage < 3) {
            double rec = f == 3 ? 5 : 0;
            c.Colour(0.3, 0.3, 0.35);
            c.FillRect(34 - rec, 94, 28, 12);
            c.Colour(0.6, 0.6, 0.65);
            c.FillRect(34 - rec, 94, 28, 4);
            if (f > 0) {
                double r = f == 1 ? 5 : f == 2 ? 10 : 7;
                Radial(c, 62 - rec, 100, r + 2, {{0, {255, 255, 220}, 1}, {0.5, {120, 200, 255}, 1}, {1, {0, 60, 255}, 0}});
                c.FillCircle(62 - rec, 100, r);
            }
        }
        Ellipse(c, 30, 100, 14, 15);
        LinearV(c, 85, 115, {{0, {200, 200, 215}}, {1, {60, 60, 80}}});
        cairo_fill_preserve(cr);
        Stroke(c, {20, 20, 30}, 1, 1);
        if (damage) {
            Rng r(damage);
            for (int k = 0; k < 4 + damage * 3; ++k) {
                double fx = r.Range(8, 70), fy = r.Range(10, 110), fr = r.Range(6, 8 + damage * 2);
                Radial(c, fx, fy, fr, {{0, {255, 240, 160}, 1}, {0.6, {255, 110, 0}, 1}, {1, {160, 30, 0}, 0.6}});
                c.FillCircle(fx, fy, fr);
            }
        }
    };
    for (int f = 0; f < 4; ++f) set(f, Sprite(90, 120, 8, kBlack, [=](Canvas& c) { gun(c, f, 0); }));
    for (int f = 0; f < 4; ++f) set(4 + f, Sprite(90, 120, 8, kBlack, [=](Canvas& c) { gun(c, 0, f + 1); }));
    set(8, Sprite(90, 120, 8, kBlack, [](Canvas& c) {
        LinearV(c, 0, 120, {{0, {90, 80, 80}}, {1, {30, 25, 25}}});
        c.FillRect(0, 14, 34, 98);
        Poly(c, {{30, 86}, {52, 92}, {46, 106}, {30, 112}});
        c.Colour(0.2, 0.18, 0.18);
        cairo_fill(c.cr());
        Poly(c, {{30, 20}, {44, 26}, {38, 40}, {30, 42}});
        cairo_fill(c.cr());
        c.Colour(0.9, 0.3, 0.0);
        c.FillCircle(38, 98, 3);
    }));
    set(9, Sprite(22, 120, 8, kBlack, [](Canvas& c) {
        Radial(c, 11, 60, 60, {{0, {255, 255, 255}, 1}, {0.4, {160, 220, 255}, 1}, {1, {40, 80, 255}, 0}});
        Ellipse(c, 11, 60, 10, 59);
        cairo_fill(c.cr());
    }));
    set(10, Sprite(196, 20, 8, kBlack, [](Canvas& c) {
        // The energy barrier between two emitters.
        cairo_t* cr = c.cr();
        LinearV(c, 4, 16, {{0, {60, 20, 120}}, {0.5, {255, 200, 255}}, {1, {60, 20, 120}}});
        c.FillRect(10, 6, 176, 8);
        cairo_move_to(cr, 10, 10);
        Rng r(10);
        for (double x = 10; x < 186; x += 6) cairo_line_to(cr, x, 10 + r.Range(-5, 5));
        Stroke(c, {255, 255, 255}, 1.2, 1);
        for (double x : {0.0, 186.0}) {
            LinearV(c, 0, 20, {{0, {200, 200, 220}}, {1, {60, 60, 80}}});
            c.FillRect(x, 0, 10, 20);
        }
    }));
}

// Level 5: the signal tower and the rotating station.
void ObjectsLevel5(std::vector<media::PictureItemData>& v) {
    auto set = [&](int i, std::shared_ptr<media::TDIB> p) { SetItem(v, i, std::move(p)); };
    SetItem(v, 0, FitFrames(80, 240, 80, 240, 1, 8, kBlack, [](Canvas& c, int) {
        // A signal tower of the Grey ones; it falls when destroyed.
        cairo_t* cr = c.cr();
        Poly(c, {{30, 0}, {50, 0}, {70, 239}, {10, 239}});
        LinearV(c, 0, 240, {{0, {200, 190, 210}}, {1, {70, 60, 90}}});
        cairo_fill_preserve(cr);
        Stroke(c, {25, 20, 35}, 1.5, 1);
        for (int k = 1; k < 10; ++k) {
            double y = k * 24, hw = 10 + y / 240 * 30;
            cairo_move_to(cr, 40 - hw, y);
            cairo_line_to(cr, 40 + hw, y);
            Stroke(c, {60, 50, 80}, 2, 1);
        }
        Radial(c, 40, 12, 16, {{0, {255, 255, 255}, 1}, {0.3, {255, 60, 60}, 1}, {1, {255, 0, 0}, 0}});
        c.FillCircle(40, 12, 12);
    }, "B")[0]);
    set(1, Sprite(120, 120, 8, kBlack, [](Canvas& c) {
        // A rotating station with four arms.
        cairo_t* cr = c.cr();
        for (int k = 0; k < 4; ++k) {
            cairo_save(cr);
            cairo_translate(cr, 60, 60);
            cairo_rotate(cr, k * M_PI / 2);
            LinearV(c, -6, 6, {{0, {220, 220, 240}}, {1, {80, 80, 110}}});
            c.FillRect(10, -6, 42, 12);
            c.Colour(0.2, 0.6, 1.0);
            c.FillRect(48, -9, 9, 18);
            cairo_restore(cr);
        }
        Radial(c, 55, 55, 26, {{0, {255, 250, 220}, 1}, {0.5, {200, 150, 60}, 1}, {1, {80, 50, 20}, 1}});
        c.FillCircle(60, 60, 20);
        c.Colour(0.1, 0.1, 0.2);
        c.FillCircle(60, 60, 6);
    }));
}

// Level 6: the saw, the press and the slag bubble.
void ObjectsLevel6(std::vector<media::PictureItemData>& v) {
    auto set = [&](int i, std::shared_ptr<media::TDIB> p) { SetItem(v, i, std::move(p)); };
    for (int f = 0; f < 4; ++f)
        set(f, Sprite(60, 60, 8, kBlack, [f](Canvas& c) {
            // A spinning saw on the factory floor.
            cairo_t* cr = c.cr();
            cairo_save(cr);
            cairo_translate(cr, 30, 30);
            cairo_rotate(cr, f * M_PI / 16);
            cairo_new_path(cr);
            for (int k = 0; k < 24; ++k) {
                double a = k * M_PI / 12, r = (k % 2) ? 22 : 29;
                if (k == 0) cairo_move_to(cr, std::cos(a) * r, std::sin(a) * r);
                else cairo_line_to(cr, std::cos(a) * r, std::sin(a) * r);
            }
            cairo_close_path(cr);
            Radial(c, -5, -5, 35, {{0, {255, 255, 255}, 1}, {0.5, {180, 180, 190}, 1}, {1, {70, 70, 80}, 1}});
            cairo_fill(cr);
            c.Colour(0.8, 0.1, 0.1);
            c.FillCircle(0, 0, 7);
            cairo_restore(cr);
        }));
    for (int f = 0; f < 4; ++f)
        set(4 + f, Sprite(140, 110, 8, kBlack, [f](Canvas& c) {
            // The press: a heavy machine with pistons and gauges.
            cairo_t* cr = c.cr();
            LinearV(c, 0, 110, {{0, {190, 170, 120}}, {1, {90, 70, 40}}});
            c.FillRect(0, 0, 140, 110);
            c.Colour(0.1, 0.1, 0.1);
            for (int k = 0; k < 7; ++k) Poly(c, {{k * 20.0, 100}, {k * 20.0 + 10, 100}, {k * 20.0 + 20, 110}, {k * 20.0 + 10, 110}});
            cairo_fill(cr);
            for (int k = 0; k < 3; ++k) {
                double px = 25 + k * 45;
                c.Colour(0.2, 0.2, 0.25);
                c.FillCircle(px, 35, 15);
                c.Colour(0.95, 0.95, 0.9);
                c.FillCircle(px, 35, 12);
                double a = -M_PI / 2 + (f + k) * 0.7;
                cairo_move_to(cr, px, 35);
                cairo_line_to(cr, px + std::cos(a) * 10, 35 + std::sin(a) * 10);
                Stroke(c, {200, 20, 20}, 2, 1);
            }
            c.Colour(f % 2 ? 1.0 : 0.3, 0.2, 0.1);
            c.FillCircle(120, 80, 5);
        }));
    for (int f = 0; f < 4; ++f)
        set(8 + f, Sprite(120, 49, 8, kBlack, [f](Canvas& c) {
            // The lower part: the piston head going down and up.
            double ext = std::sin(f * M_PI / 3) * 20;
            LinearV(c, 0, 49, {{0, {200, 200, 210}}, {1, {90, 90, 100}}});
            c.FillRect(50, 0, 20, 20 + ext);
            c.Colour(0.25, 0.25, 0.3);
            c.FillRect(15, 20 + ext, 90, 49 - 20 - ext);
            c.Colour(0.95, 0.7, 0.1);
            c.FillRect(15, 20 + ext, 90, 4);
        }));
    set(12, Sprite(40, 40, 8, kBlack, [](Canvas& c) {
        // A hot slag bubble rising from the floor hatch.
        Radial(c, 15, 15, 26, {{0, {255, 255, 220}, 1}, {0.4, {255, 160, 40}, 1}, {1, {160, 30, 0}, 1}});
        c.FillCircle(20, 20, 18);
    }));
}

// Level 7: the fortress obelisk.
void ObjectsLevel7(std::vector<media::PictureItemData>& v) {
    SetItem(v, 0, FitFrames(60, 220, 60, 220, 1, 8, kBlack, [](Canvas& c, int) {
        // A fortress obelisk.
        cairo_t* cr = c.cr();
        Poly(c, {{30, 0}, {50, 20}, {55, 219}, {5, 219}, {10, 20}});
        LinearV(c, 0, 220, {{0, {230, 180, 255}}, {1, {60, 20, 90}}});
        cairo_fill_preserve(cr);
        Stroke(c, {25, 5, 35}, 1.5, 1);
        for (int k = 0; k < 5; ++k) {
            Radial(c, 30, 40 + k * 38, 10, {{0, {255, 255, 255}, 1}, {0.5, {120, 255, 255}, 1}, {1, {0, 120, 255}, 0}});
            c.FillCircle(30, 40 + k * 38, 8);
        }
    }, "B")[0]);
}

// Level 8: the navigation buoy.
void ObjectsLevel8(std::vector<media::PictureItemData>& v) {
    auto set = [&](int i, std::shared_ptr<media::TDIB> p) { SetItem(v, i, std::move(p)); };
    for (int f = 0; f < 4; ++f)
        set(f, Sprite(100, 100, 8, kBlack, [f](Canvas& c) {
            // A navigation buoy on the way home, its lamp turning.
            cairo_t* cr = c.cr();
            c.Colour(0.5, 0.5, 0.55);
            c.FillRect(45, 40, 10, 60);
            Ellipse(c, 50, 40, 28, 12);
            LinearV(c, 28, 52, {{0, {230, 230, 240}}, {1, {80, 80, 100}}});
            cairo_fill(cr);
            double a = f * M_PI / 2;
            Radial(c, 50 + std::cos(a) * 20, 25, 30, {{0, {255, 255, 230}, 1}, {0.3, {80, 200, 255}, 0.9}, {1, {0, 80, 255}, 0}});
            Ellipse(c, 50 + std::cos(a) * 18, 25, 24, 18);
            cairo_fill(cr);
            c.Colour(1, 1, 1);
            c.FillCircle(50, 25, 6);
        }));
}

}  // namespace

std::vector<media::PictureItemData> BuildObjectSet(int level) {
    auto v = BlankSet(ObjectNames());
    switch (level) {
    case 2: ObjectsLevel2(v); break;
    case 5: ObjectsLevel5(v); break;
    case 6: ObjectsLevel6(v); break;
    case 7: ObjectsLevel7(v); break;
    case 8: ObjectsLevel8(v); break;
    default: break;
    }
    return v;
}

}  // namespace assets
