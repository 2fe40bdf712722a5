#include "platform/sdl/SurfaceScaler.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/Platform.h"
#include "platform/Viewport.h"

namespace platform {

namespace {

// Rows of the picture equal to those of previous (when given) are left as they are; the
// output rows written are [first, last) (first = last when none).
template <class Pixel>
void scaleRows(const uint16_t* picture, const uint16_t* previous, uint8_t* pixels, int width, int height, int pitch,
               const uint32_t* lut, int& first, int& last) {
    first = last = 0;
    const Viewport v = Viewport::fit(width, height);
    const int s = v.scale;
    // The part of the scaled picture inside the surface (a surface smaller than the
    // picture shows its centre).
    const int x0 = std::max(0, v.x), x1 = std::min(width, v.x + kFrameWidth * s);
    const int y0 = std::max(0, v.y), y1 = std::min(height, v.y + kFrameHeight * s);
    if (x0 >= x1 || y0 >= y1) return;
    const size_t rowBytes = static_cast<size_t>(x1 - x0) * sizeof(Pixel);
    int lastSource = -1;
    bool lastSame = false;
    const uint8_t* lastRow = nullptr;
    for (int y = y0; y < y1; ++y) {
        const int sy = (y - v.y) / s;
        Pixel* out = reinterpret_cast<Pixel*>(pixels + static_cast<size_t>(y) * pitch) + x0;
        if (sy == lastSource) {
            if (!lastSame) std::memcpy(out, lastRow, rowBytes);
            continue;
        }
        const uint16_t* in = picture + static_cast<size_t>(sy) * kFrameWidth;
        lastSource = sy;
        lastRow = reinterpret_cast<const uint8_t*>(out);
        lastSame = previous && std::memcmp(in, previous + static_cast<size_t>(sy) * kFrameWidth,
                                           kFrameWidth * sizeof(uint16_t)) == 0;
        if (lastSame) continue;
        if (first == last) first = y;
        last = std::min(y1, v.y + (sy + 1) * s);
        int x = x0;
        // The first source pixel may be cut by the surface's left edge.
        while (x < x1 && (x - v.x) % s != 0) {
            out[x - x0] = static_cast<Pixel>(lut[in[(x - v.x) / s]]);
            ++x;
        }
        Pixel* o = out + (x - x0);
        int sx = (x - v.x) / s;
        if (s == 1) {
            for (; x < x1; ++x) *o++ = static_cast<Pixel>(lut[in[sx++]]);
        } else if (s == 2) {
            // Two output pixels in one store.
            using Pair = std::conditional_t<sizeof(Pixel) == 4, uint64_t, uint32_t>;
            for (; x + 1 < x1; x += 2) {
                const Pair p = static_cast<Pixel>(lut[in[sx++]]);
                const Pair two = p | (p << (8 * sizeof(Pixel)));
                std::memcpy(o, &two, sizeof two);
                o += 2;
            }
            if (x < x1) *o = static_cast<Pixel>(lut[in[sx]]);
        } else {
            for (; x < x1; ++sx) {
                const Pixel p = static_cast<Pixel>(lut[in[sx]]);
                for (int k = 0; k < s && x < x1; ++k, ++x) *o++ = p;
            }
        }
    }
}

}  // namespace

void SurfaceScaler::scale(const uint16_t* picture, void* pixels, int width, int height, int pitch,
                          int bytesPerPixel, const uint32_t* lut, const uint16_t* previous, int* firstRow,
                          int* lastRow) {
    auto* p = static_cast<uint8_t*>(pixels);
    int first = 0, last = 0;
    if (bytesPerPixel == 4)
        scaleRows<uint32_t>(picture, previous, p, width, height, pitch, lut, first, last);
    else if (bytesPerPixel == 2)
        scaleRows<uint16_t>(picture, previous, p, width, height, pitch, lut, first, last);
    if (firstRow) *firstRow = first;
    if (lastRow) *lastRow = last;
}

void SurfaceScaler::present(SDL_Window* window, SDL_Surface* surface, const uint16_t* picture) {
    const int bpp = surface->format->BytesPerPixel;
    if (bpp != 2 && bpp != 4) return;
    if (lut_.empty() || lutFormat_ != surface->format->format) {
        lut_.resize(65536);
        for (uint32_t c = 0; c < 65536; ++c) {
            // 5-6-5 bits widened with their top bits repeated, so white stays white.
            const uint8_t r = static_cast<uint8_t>(((c >> 11) & 31) << 3 | ((c >> 11) & 31) >> 2);
            const uint8_t g = static_cast<uint8_t>(((c >> 5) & 63) << 2 | ((c >> 5) & 63) >> 4);
            const uint8_t b = static_cast<uint8_t>((c & 31) << 3 | (c & 31) >> 2);
            lut_[c] = SDL_MapRGB(surface->format, r, g, b);
        }
        lutFormat_ = surface->format->format;
        surface_ = nullptr;
    }
    const bool fresh = surface != surface_ || surface->w != w_ || surface->h != h_;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    if (fresh) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    // Rows that have not changed since the last picture are neither widened nor sent again.
    const bool compare = !fresh && previous_.size() == static_cast<size_t>(kFrameWidth) * kFrameHeight;
    int first = 0, last = 0;
    scale(picture, surface->pixels, surface->w, surface->h, surface->pitch, bpp, lut_.data(),
          compare ? previous_.data() : nullptr, &first, &last);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    previous_.assign(picture, picture + static_cast<size_t>(kFrameWidth) * kFrameHeight);
    if (fresh) {
        SDL_UpdateWindowSurface(window);
        surface_ = surface;
        w_ = surface->w;
        h_ = surface->h;
        return;
    }
    if (first == last) return;  // the same picture again
    const Viewport v = Viewport::fit(surface->w, surface->h);
    const int x0 = std::max(0, v.x);
    SDL_Rect r{x0, first, std::min(surface->w, v.x + kFrameWidth * v.scale) - x0, last - first};
    SDL_UpdateWindowSurfaceRects(window, &r, 1);
}

}  // namespace platform
