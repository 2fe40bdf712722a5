// Drawing surface of the asset builder: a Cairo image surface for smooth shapes, gradients and
// text, plus exact pixel helpers, and the conversion into the game's pictures (TDIB) with the
// colour rules that keep the ship's collision colours and the colour keys where they belong.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/CollectionFile.h"
#include "media/DIB.h"

namespace assets {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// The two colours the ship dies on, and their 16-bit codes.
constexpr Rgb kDeadlyGreen{0, 128, 0};
constexpr Rgb kDeadlyLime{0, 255, 0};

// RGB565 code of a colour, as the 16-bit back buffer stores it.
inline uint16_t Rgb565(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
inline uint16_t Rgb565(uint32_t bgr) { return Rgb565(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
inline uint32_t Bgr(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (b << 16); }
// True when the colour reads back as one of the two deadly colours.
bool IsDeadly565(uint32_t bgr);

class Canvas {
public:
    Canvas(int width, int height);  // fully transparent
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Width() const { return w_; }
    int Height() const { return h_; }
    cairo_t* cr() { return cr_; }

    // Exact pixels (opaque), bypassing Cairo. Call Flush() after Cairo drawing first.
    void Flush();
    void MarkDirty();
    void Set(int x, int y, Rgb c);
    void SetAlpha(int x, int y, Rgb c, double a);  // blends over what is there
    Rgb Get(int x, int y) const;
    bool Opaque(int x, int y) const;
    void Clear(int x, int y);  // transparent

    // Cairo conveniences.
    void Colour(double r, double g, double b, double a = 1.0);
    void ColourRgb(Rgb c, double a = 1.0) { Colour(c.r / 255.0, c.g / 255.0, c.b / 255.0, a); }
    void Antialias(bool on);
    void FillRect(double x, double y, double w, double h);
    void FillCircle(double x, double y, double r);
    void Font(double size, bool bold = true, bool serif = false);
    double TextWidth(const std::string& utf8);
    void Text(double x, double y, const std::string& utf8);  // baseline at y
    // Text with a dark outline and a fill colour.
    void OutlinedText(double x, double y, const std::string& utf8, Rgb fill, Rgb outline, double width);
    // Word-wrapped text in a column; returns the y after the last line.
    double WrapText(double x, double y, double maxWidth, double lineHeight, const std::string& utf8);
    std::vector<std::string> WrapLines(double maxWidth, const std::string& utf8);

    // Deadly pixels may only come from here.
    void SetDeadly(int x, int y, bool lime);
    // Runs `draw` (Cairo or pixel drawing) and then puts every deadly pixel back as it was, in
    // place and colour: scenery drawn over terrain never changes what the ship dies on.
    void DrawOverTerrain(const std::function<void(Canvas&)>& draw);
    bool IsDeadlyPixel(int x, int y) const { return deadly_[static_cast<size_t>(y) * w_ + x] != 0; }

private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
    std::vector<uint8_t> deadly_;
};

// Converts to a picture of the given bit depth. Pixels that are transparent (alpha < 128)
// take the key colour; every other pixel is kept off the key's 16-bit code and, unless it was
// set with SetDeadly, off the deadly codes. Depths 4 and 8 get a quantised colour table.
std::shared_ptr<media::TDIB> ToDib(Canvas& c, int bits, uint32_t key);

// A picture item with the catalogue's fixed settings.
media::PictureItemData PictureItem(const std::string& name, std::shared_ptr<media::TDIB> pic,
                                   bool transparent, uint32_t key);
// A small fully transparent picture for item slots a file does not use.
media::PictureItemData BlankItem(const std::string& name);

}  // namespace assets
