#include "tools/assets/Icon.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/Files.h"
#include "tools/assets/Art.h"
#include "tools/assets/Landmarks.h"
#include "tools/assets/Noise.h"

namespace assets {

const std::vector<int>& IconSizes() {
    static const std::vector<int> sizes = {64, 256};
    return sizes;
}

void DrawIcon(Canvas& c) {
    // Designed on a 256 grid and scaled to the canvas.
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_scale(cr, c.Width() / 256.0, c.Height() / 256.0);
    // The sky: a disc, deep blue at the top to dusk purple below, rimmed in gold.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 128, 128, 120, 0, 2 * M_PI);
    LinearV(c, 8, 248, {{0, {10, 14, 50}}, {0.6, {50, 24, 90}}, {1, {200, 90, 80}}});
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    Rng r(256);
    for (int i = 0; i < 40; ++i) {
        double x = r.Range(10, 246), y = r.Range(10, 160), s = r.Range(1.5, 3.5);
        c.Colour(0.9, 0.92, 1, r.Range(0.5, 1));
        c.FillRect(x, y, s, s);
    }
    // A ringed planet low on the left.
    Radial(c, 50, 170, 90, {{0, {255, 200, 140}, 1}, {0.6, {170, 80, 60}, 1}, {1, {40, 15, 30}, 1}});
    c.FillCircle(70, 200, 62);
    cairo_save(cr);
    cairo_translate(cr, 70, 200);
    cairo_scale(cr, 1, 0.28);
    cairo_arc(cr, 0, 0, 105, 0, M_PI);
    cairo_restore(cr);
    Stroke(c, {240, 210, 170}, 8, 0.9);
    // The ship's trail.
    cairo_move_to(cr, -10, 220);
    cairo_curve_to(cr, 40, 190, 70, 165, 95, 150);
    Stroke(c, {255, 190, 90}, 10, 0.35);
    cairo_restore(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 128, 128, 120, 0, 2 * M_PI);
    Stroke(c, {230, 180, 70}, 8, 1);
    // The ship, large, climbing to the right.
    cairo_save(cr);
    cairo_translate(cr, 128, 118);
    cairo_rotate(cr, -0.45);
    cairo_scale(cr, 2.2, 2.2);
    cairo_translate(cr, -48, -15.5);
    DrawShip(c);
    cairo_restore(cr);
    Glow(c, 52, 166, 22, {255, 170, 60}, 0.8);
    cairo_restore(cr);
}

namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool WriteIcons(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = "cannot create the folder " + dir + ": " + ec.message();
        return false;
    }
    for (int size : IconSizes()) {
        Canvas c(size, size);
        DrawIcon(c);
        c.Flush();
        const std::string path = (std::filesystem::path(dir) / ("orbita-" + std::to_string(size) + ".png")).string();
        // Made in memory and written by the safe writer: no link followed, no pipe or device
        // replaced (or waited on), nothing left half-written.
        std::vector<uint8_t> png;
        cairo_status_t st = cairo_surface_write_to_png_stream(cairo_get_target(c.cr()), appendBytes, &png);
        if (st != CAIRO_STATUS_SUCCESS) {
            error = "cannot write the icon " + path + ": " + cairo_status_to_string(st);
            return false;
        }
        const std::string reason = platform::writeFileSafely(path, png);
        if (!reason.empty()) {
            error = "cannot write the icon " + path + ": " + reason;
            return false;
        }
    }
    return true;
}

}  // namespace assets
