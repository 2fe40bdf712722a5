// Presents the 640 x 480 RGB565 picture in a window's own surface at the largest whole
// scale that fits, centred on black: a table turns each 16-bit pixel into the surface's
// format, each source row is widened once and copied for the other rows of its scale, and
// only the rows that changed are widened and sent to the window system (the black border only when
// the surface is new or has changed its size).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace platform {

class SurfaceScaler {
public:
    void present(SDL_Window* window, SDL_Surface* surface, const uint16_t* picture);

    // The scaling itself, into any 16- or 32-bit pixel rows (for the tests and the bench):
    // pitch in bytes, lut the 65536-entry table of the destination format. With previous
    // (the picture the pixels show now), rows equal in both are skipped; the output rows
    // written are [firstRow, lastRow).
    static void scale(const uint16_t* picture, void* pixels, int width, int height, int pitch, int bytesPerPixel,
                      const uint32_t* lut, const uint16_t* previous = nullptr, int* firstRow = nullptr,
                      int* lastRow = nullptr);

private:
    std::vector<uint32_t> lut_;
    std::vector<uint16_t> previous_;  // the picture last shown
    uint32_t lutFormat_ = 0;
    SDL_Surface* surface_ = nullptr;
    int w_ = 0, h_ = 0;
};

}  // namespace platform
