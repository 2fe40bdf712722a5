// Presents the 640 x 480 RGB565 picture in a window's own surface at the largest whole
// scale that fits, centred on black. Each 16-bit pixel becomes the surface's format by a
// table or, for 32-bit surfaces with 8-bit channels, by shifts and masks eight pixels at a
// time (giving the table's values exactly); each source row is widened once and stored into
// every output row of its scale. Only what changed since the last picture is widened (by
// shifts, runs of eight pixels; by the table, rows) and only the rows that changed are sent to
// the window system, the black border only when the surface is new, has changed its size or
// the window was uncovered.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace platform {

class SurfaceScaler {
public:
    // How 16-bit pixels become the destination's.
    struct Conversion {
        int bytesPerPixel = 4;
        std::vector<uint32_t> table;  // 65536 entries, the destination pixel of each colour
        // 32-bit destinations whose red, green and blue are 8 bits wide: their places, the
        // pixels worked out rather than looked up (the alpha bits all set, as the table has them).
        bool byShifts = false;
        int red = 0, green = 0, blue = 0;
        uint32_t alpha = 0;

        // The conversion into a surface format (5-6-5 bits widened with their top bits
        // repeated, so white stays white); byShifts only where it gives the table's values.
        static Conversion of(const SDL_PixelFormat* format);
    };

    // The picture into the surface and to the window system; shown is the picture the
    // surface shows (what differs from it is drawn) and becomes this one. whole draws and
    // sends everything (the window was uncovered, or shown is not what the surface shows).
    void present(SDL_Window* window, SDL_Surface* surface, const uint16_t* picture, std::vector<uint16_t>& shown,
                 bool whole = false);

    // The scaling itself, into 16- or 32-bit pixel rows (for the tests and the bench): pitch
    // in bytes. With previous (the picture the pixels show now), rows equal in both are
    // skipped, and by shifts also the runs of eight pixels equal in both; previous becomes
    // the picture. The output rows written are [firstRow, lastRow).
    static void scale(const uint16_t* picture, void* pixels, int width, int height, int pitch,
                      const Conversion& conversion, uint16_t* previous = nullptr, int* firstRow = nullptr,
                      int* lastRow = nullptr);
    // The same by a table alone.
    static void scale(const uint16_t* picture, void* pixels, int width, int height, int pitch, int bytesPerPixel,
                      const uint32_t* table, uint16_t* previous = nullptr, int* firstRow = nullptr,
                      int* lastRow = nullptr);

private:
    Conversion conversion_;
    uint32_t format_ = 0;
    bool haveConversion_ = false;
    SDL_Surface* surface_ = nullptr;
    int w_ = 0, h_ = 0;
};

}  // namespace platform
