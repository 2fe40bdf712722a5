// The story pages, the title picture and the menu.
#include <algorithm>
#include <cmath>

#include "tools/assets/Art.h"
#include "tools/assets/Assets.h"
#include "tools/assets/Noise.h"
#include "tools/assets/Texts.h"

namespace assets {
namespace {

Rgb Scale2(Rgb a, double k) {
    auto f = [k](int v) { return static_cast<uint8_t>(std::min(255.0, v * k)); };
    return {f(a.r), f(a.g), f(a.b)};
}

void SpaceBackground(Canvas& c, int w, int h, uint32_t seed, Rgb top, Rgb bottom) {
    LinearV(c, 0, h, {{0, top}, {1, bottom}});
    c.FillRect(0, 0, w, h);
    c.Flush();
    Rng r(seed);
    for (int i = 0; i < w * h / 500; ++i) {
        int x = r.Int(w), y = r.Int(h);
        double b = r.Range(0.3, 1);
        c.Set(x, y, {uint8_t(200 * b + 55 * b), uint8_t(210 * b + 40 * b), uint8_t(255 * b)});
    }
    c.MarkDirty();
    // A faint nebula.
    for (int i = 0; i < 8; ++i) {
        double x = r.Range(0, w), y = r.Range(0, h), rad = r.Range(60, 160);
        Radial(c, x, y, rad, {{0, {150, 60, 170}, 0.25}, {1, {40, 20, 80}, 0}});
        c.FillCircle(x, y, rad);
    }
}

void Saucer(Canvas& c, double x, double y, double s) {
    cairo_t* cr = c.cr();
    Ellipse(c, x, y - s * 0.25, s * 0.35, s * 0.3);
    LinearV(c, y - s * 0.55, y, {{0, {220, 240, 255}}, {1, {60, 90, 140}}});
    cairo_fill(cr);
    Ellipse(c, x, y, s, s * 0.28);
    LinearV(c, y - s * 0.28, y + s * 0.28, {{0, {200, 200, 210}}, {0.5, {120, 120, 135}}, {1, {40, 40, 50}}});
    cairo_fill(cr);
    for (int k = -2; k <= 2; ++k) {
        c.Colour(1, 0.5, 0.2);
        c.FillCircle(x + k * s * 0.35, y + s * 0.05, s * 0.06);
    }
}

void Frame(Canvas& c, double x, double y, double w, double h) {
    cairo_rectangle(c.cr(), x + 1, y + 1, w - 2, h - 2);
    Stroke(c, {255, 200, 80}, 2, 1);
    cairo_rectangle(c.cr(), x + 4, y + 4, w - 8, h - 8);
    Stroke(c, {120, 70, 20}, 1, 1);
}

void PageText(Canvas& c, int page, const Texts& t) {
    c.Font(23, true);
    auto lines = c.WrapLines(570, t.story[page]);
    double y = 300;
    if (lines.size() > 5) { c.Font(21, true); lines = c.WrapLines(580, t.story[page]); y = 292; }
    for (const auto& l : lines) {
        c.OutlinedText(34, y, l, {255, 235, 170}, {40, 10, 0}, 3);
        y += 31;
    }
    c.Font(13, true);
    c.Colour(0.7, 0.6, 0.9);
    c.Text(570, 468, std::to_string(page + 1) + " / 5");
    // How to go on, on every page.
    c.Font(12, true);
    c.Colour(0.95, 0.85, 0.55);
    c.Text(34, 468, page < 4 ? t.storyNext : t.storyLast);
}

void Illustration(Canvas& c, int page, const Texts& t) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_rectangle(cr, 20, 16, 600, 244);
    cairo_clip(cr);
    switch (page) {
    case 0: {  // the grey fleet over Earth, the recipe carried away
        SpaceBackground(c, 640, 270, 1, {5, 5, 30}, {30, 20, 70});
        Radial(c, 200, 420, 300, {{0, {150, 210, 255}, 1}, {0.6, {30, 90, 200}, 1}, {1, {5, 20, 60}, 1}});
        c.FillCircle(250, 480, 300);
        Rng r(3);
        for (int i = 0; i < 9; ++i) Saucer(c, 330 + r.Range(0, 260), 50 + r.Range(0, 150), r.Range(14, 34));
        cairo_save(cr);
        cairo_translate(cr, 500, 90);
        cairo_rotate(cr, 0.3);
        DrawRecipeCard(c, 36, 48, true);
        cairo_restore(cr);
        cairo_move_to(cr, 480, 150);
        cairo_line_to(cr, 510, 110);
        Stroke(c, {120, 255, 255}, 2, 0.8);
        break;
    }
    case 1: {  // the council chamber and the one pilot
        LinearV(c, 0, 270, {{0, {40, 30, 60}}, {1, {10, 5, 20}}});
        c.FillRect(0, 0, 640, 270);
        for (int k = 0; k < 7; ++k) {
            double x = 60 + k * 85;
            LinearV(c, 30, 260, {{0, {200, 180, 140}}, {1, {80, 60, 40}}});
            c.FillRect(x, 30, 22, 230);
        }
        Ellipse(c, 320, 250, 220, 30);
        c.Colour(0.3, 0.15, 0.1);
        cairo_fill(cr);
        Radial(c, 320, 120, 130, {{0, {255, 250, 200}, 0.9}, {1, {255, 200, 80}, 0}});
        c.FillCircle(320, 120, 130);
        // The pilot: helmet and shoulders.
        c.Colour(0.15, 0.2, 0.4);
        cairo_move_to(cr, 250, 260);
        cairo_curve_to(cr, 260, 190, 380, 190, 390, 260);
        cairo_fill(cr);
        Radial(c, 310, 140, 50, {{0, {255, 255, 255}, 1}, {0.5, {180, 190, 210}, 1}, {1, {60, 70, 90}, 1}});
        c.FillCircle(320, 160, 42);
        Ellipse(c, 320, 165, 28, 18);
        c.Colour(0.1, 0.3, 0.5);
        cairo_fill(cr);
        c.Font(40, true);
        c.OutlinedText(440, 150, t.you, {255, 220, 60}, {80, 20, 0}, 4);
        break;
    }
    case 2: {  // the eight sectors; green rock means death
        SpaceBackground(c, 640, 270, 3, {5, 10, 30}, {20, 10, 40});
        double px = 70, py = 140;
        for (int k = 0; k < 8; ++k) {
            double x = 70 + k * 70, y = 140 + std::sin(k * 1.3) * 70;
            cairo_move_to(cr, px, py);
            cairo_line_to(cr, x, y);
            Stroke(c, {255, 220, 120}, 2, 0.7);
            Radial(c, x - 5, y - 5, 24, {{0, {255, 255, 230}, 1}, {0.5, {200, 120, 255}, 1}, {1, {60, 20, 120}, 1}});
            c.FillCircle(x, y, 20);
            c.Font(16, true);
            c.Colour(0.05, 0.0, 0.1);
            c.Text(x - 5, y + 6, std::to_string(k + 1));
            px = x; py = y;
        }
        // A warning sample of the deadly rock colours (green and lime, drawn as plain text colour, not terrain).
        c.Font(15, true);
        c.OutlinedText(40, 250, t.greenIsDeath, {120, 255, 140}, {0, 40, 10}, 3);
        break;
    }
    case 3: {  // the ship with its pod and laser
        SpaceBackground(c, 640, 270, 4, {5, 5, 25}, {10, 30, 60});
        cairo_save(cr);
        cairo_translate(cr, 170, 110);
        cairo_scale(cr, 2.6, 2.6);
        DrawShip(c);
        cairo_restore(cr);
        cairo_move_to(cr, 420, 150);
        cairo_line_to(cr, 620, 150);
        Stroke(c, {255, 80, 255}, 4, 1);
        cairo_move_to(cr, 420, 150);
        cairo_line_to(cr, 620, 150);
        Stroke(c, {255, 255, 255}, 1.5, 1);
        cairo_save(cr);
        cairo_translate(cr, 480, 44);
        cairo_scale(cr, 2, 2);
        DrawPod(c, 1);
        cairo_restore(cr);
        cairo_move_to(cr, 430, 120);
        cairo_curve_to(cr, 460, 60, 490, 70, 500, 80);
        Stroke(c, {255, 200, 100}, 2, 0.6);
        break;
    }
    default: {  // the keys
        LinearV(c, 0, 270, {{0, {20, 20, 40}}, {1, {5, 5, 15}}});
        c.FillRect(0, 0, 640, 270);
        auto key = [&](double x, double y, double w, const std::string& label) {
            LinearV(c, y, y + 40, {{0, {240, 240, 245}}, {1, {150, 150, 165}}});
            c.FillRect(x, y, w, 40);
            cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, 39);
            Stroke(c, {40, 40, 50}, 1, 1);
            size_t chars = 0;  // characters, not bytes: the arrows take three bytes each
            for (unsigned char ch : label) chars += (ch & 0xC0) != 0x80;
            c.Font(chars > 2 ? 13 : 18, true);
            c.Colour(0.1, 0.1, 0.15);
            c.Text(x + (w - c.TextWidth(label)) / 2, y + 26, label);
        };
        // Three crosses of keys that steer the same way, and what the other keys do.
        const struct { const char* up; const char* left; const char* down; const char* right; double x; } crosses[] = {
            {"↑", "←", "↓", "→", 30}, {"K", "H", "J", "L", 190}, {"8", "4", "2", "6", 350}};
        for (const auto& k : crosses) {
            key(k.x + 46, 40, 44, k.up);
            key(k.x, 84, 44, k.left);
            key(k.x + 46, 84, 44, k.down);
            key(k.x + 92, 84, 44, k.right);
        }
        auto caption = [&](double x, double y, const std::string& text) {
            c.Font(12, true);
            c.Colour(1.0, 0.85, 0.4);
            c.Text(x, y, text);
        };
        caption(30, 142, t.flyArrows);
        caption(190, 142, t.orHJKL);
        caption(350, 142, t.orKeypad);
        key(44, 170, 250, t.spaceKey);
        key(310, 170, 70, "Tab");
        key(396, 170, 80, "Enter");
        key(492, 170, 60, "Esc");
        caption(134, 228, t.fire);
        caption(322, 228, t.pod);
        caption(414, 228, t.pause);
        caption(496, 228, t.back);
        cairo_save(cr);
        cairo_translate(cr, 540, 36);
        cairo_rotate(cr, 0.15);
        DrawRecipeCard(c, 48, 72, true);
        cairo_restore(cr);
        break;
    }
    }
    cairo_restore(cr);
    Frame(c, 18, 14, 604, 248);
}

std::shared_ptr<media::TDIB> StoryPage(int page, const Texts& t) {
    Canvas c(640, 480);
    LinearV(c, 0, 480, {{0, {25, 12, 40}}, {1, {8, 4, 16}}});
    c.FillRect(0, 0, 640, 480);
    Illustration(c, page, t);
    PageText(c, page, t);
    return ToDib(c, 16, 0);
}

void TitleArt(Canvas& c, const Texts& t) {
    SpaceBackground(c, 640, 380, 9, {0, 0, 15}, {30, 10, 50});
    cairo_t* cr = c.cr();
    Radial(c, 470, 330, 260, {{0, {255, 180, 100}, 1}, {0.5, {160, 50, 60}, 1}, {1, {20, 5, 30}, 1}});
    c.FillCircle(520, 420, 220);
    cairo_save(cr);
    cairo_translate(cr, 60, 285);
    cairo_scale(cr, 1.4, 1.4);
    DrawShip(c);
    cairo_restore(cr);
    c.Font(118, true);
    double tw = c.TextWidth("ORBITA");
    cairo_move_to(cr, (640 - tw) / 2, 170);
    cairo_text_path(cr, "ORBITA");
    cairo_set_line_width(cr, 10);
    c.Colour(0.25, 0.05, 0.0);
    cairo_stroke_preserve(cr);
    LinearV(c, 70, 170, {{0, {255, 255, 210}}, {0.45, {255, 200, 40}}, {0.55, {230, 110, 10}}, {1, {150, 30, 0}}});
    cairo_fill(cr);
    c.Font(34, true, true);
    double sw = c.TextWidth(t.subtitle);
    c.OutlinedText((640 - sw) / 2, 225, t.subtitle, {170, 220, 255}, {10, 20, 60}, 4);
    c.Font(14, true);
    double hw = c.TextWidth(t.pressSpace);
    c.Colour(0.8, 0.8, 0.9);
    c.Text((640 - hw) / 2, 360, t.pressSpace);
}

void Box(Canvas& c, double x, double y, double w, double h, const std::string& label, bool lit, Rgb tint) {
    cairo_t* cr = c.cr();
    Rgb top = lit ? Rgb{255, 250, 210} : Scale2(tint, 0.9);
    Rgb bottom = lit ? tint : Scale2(tint, 0.3);
    LinearV(c, y, y + h, {{0, top}, {1, bottom}});
    c.FillRect(x, y, w, h);
    cairo_rectangle(cr, x + 1, y + 1, w - 2, h - 2);
    Stroke(c, lit ? Rgb{255, 255, 255} : Rgb{200, 180, 120}, 2, 1);
    c.Font(h > 80 ? 19 : 24, true);
    double tw = c.TextWidth(label);
    c.OutlinedText(x + (w - tw) / 2, y + h / 2 + 9, label, lit ? Rgb{60, 10, 0} : Rgb{255, 240, 200},
                   lit ? Rgb{255, 255, 220} : Rgb{30, 10, 0}, 3);
}

}  // namespace

std::vector<media::PictureItemData> BuildStory(const Texts& t) {
    std::vector<media::PictureItemData> v;
    for (int p = 0; p < 5; ++p) v.push_back(PictureItem("p" + std::to_string(p), StoryPage(p, t), false, 0));
    return v;
}

std::vector<media::PictureItemData> BuildMenu(const Texts& t) {
    std::vector<media::PictureItemData> v;
    {
        Canvas c(640, 380);
        TitleArt(c, t);
        v.push_back(PictureItem("p0", ToDib(c, 16, 0), false, 0));
    }
    const Rgb quitTint{200, 50, 40}, startTint{40, 170, 220};
    {
        Canvas c(640, 480);
        SpaceBackground(c, 640, 480, 12, {0, 0, 20}, {25, 10, 45});
        cairo_t* cr = c.cr();
        Radial(c, 320, 600, 420, {{0, {120, 180, 255}, 1}, {0.7, {20, 60, 150}, 1}, {1, {5, 10, 40}, 1}});
        c.FillCircle(320, 640, 380);
        c.Font(64, true);
        double tw = c.TextWidth("ORBITA");
        c.OutlinedText((640 - tw) / 2, 150, "ORBITA", {255, 200, 50}, {90, 20, 0}, 6);
        c.Font(20, true, true);
        double sw = c.TextWidth(t.subtitle);
        c.OutlinedText((640 - sw) / 2, 185, t.subtitle, {170, 220, 255}, {10, 20, 60}, 3);
        c.Font(16, true);
        c.Colour(0.85, 0.85, 0.95);
        const std::string& hint = t.menuHint;
        c.Text((640 - c.TextWidth(hint)) / 2, 250, hint);
        c.Font(13, true);
        c.Colour(0.7, 0.8, 1.0);
        const std::string& mouse = t.menuMouse;
        c.Text((640 - c.TextWidth(mouse)) / 2, 274, mouse);
        cairo_save(cr);
        cairo_translate(cr, 250, 300);
        cairo_scale(cr, 1.5, 1.5);
        DrawShip(c);
        cairo_restore(cr);
        Box(c, 5, 5, 90, 90, t.quit, false, quitTint);
        Box(c, 480, 380, 110, 70, t.start, false, startTint);
        v.push_back(PictureItem("p1", ToDib(c, 16, 0), false, 0));
    }
    {
        Canvas c(100, 100);
        c.Colour(0, 0, 0);
        c.FillRect(0, 0, 100, 100);
        Radial(c, 50, 50, 60, {{0, {255, 120, 60}, 0.9}, {1, {255, 60, 0}, 0}});
        c.FillRect(0, 0, 100, 100);
        Box(c, 5, 5, 90, 90, t.quit, true, quitTint);
        v.push_back(PictureItem("p2", ToDib(c, 16, 0), false, 0));
    }
    {
        Canvas c(110, 70);
        Box(c, 0, 0, 110, 70, t.start, true, startTint);
        v.push_back(PictureItem("p3", ToDib(c, 16, 0), false, 0));
    }
    return v;
}

}  // namespace assets
