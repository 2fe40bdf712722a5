#include "platform/sdl/SurfaceScaler.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/Platform.h"
#include "platform/Viewport.h"

namespace platform {

namespace {

template <class Pixel>
void scaleRows(const uint16_t* picture, uint8_t* pixels, int width, int height, int pitch, const uint32_t* lut) {
    const Viewport v = Viewport::fit(width, height);
    const int s = v.scale;
    // The part of the scaled picture inside the surface (a surface smaller than the
    // picture shows its centre).
    const int x0 = std::max(0, v.x), x1 = std::min(width, v.x + kFrameWidth * s);
    const int y0 = std::max(0, v.y), y1 = std::min(height, v.y + kFrameHeight * s);
    if (x0 >= x1 || y0 >= y1) return;
    const size_t rowBytes = static_cast<size_t>(x1 - x0) * sizeof(Pixel);
    int lastSource = -1;
    const uint8_t* lastRow = nullptr;
    for (int y = y0; y < y1; ++y) {
        const int sy = (y - v.y) / s;
        Pixel* out = reinterpret_cast<Pixel*>(pixels + static_cast<size_t>(y) * pitch) + x0;
        if (sy == lastSource) {
            std::memcpy(out, lastRow, rowBytes);
            continue;
        }
        const uint16_t* in = picture + static_cast<size_t>(sy) * kFrameWidth;
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
        lastSource = sy;
        lastRow = reinterpret_cast<const uint8_t*>(out);
    }
}

}  // namespace

void SurfaceScaler::scale(const uint16_t* picture, void* pixels, int width, int height, int pitch,
                          int bytesPerPixel, const uint32_t* lut) {
    auto* p = static_cast<uint8_t*>(pixels);
    if (bytesPerPixel == 4)
        scaleRows<uint32_t>(picture, p, width, height, pitch, lut);
    else if (bytesPerPixel == 2)
        scaleRows<uint16_t>(picture, p, width, height, pitch, lut);
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
    scale(picture, surface->pixels, surface->w, surface->h, surface->pitch, bpp, lut_.data());
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (fresh) {
        SDL_UpdateWindowSurface(window);
        surface_ = surface;
        w_ = surface->w;
        h_ = surface->h;
        return;
    }
    const Viewport v = Viewport::fit(surface->w, surface->h);
    SDL_Rect r{std::max(0, v.x), std::max(0, v.y), std::min(surface->w, kFrameWidth * v.scale),
               std::min(surface->h, kFrameHeight * v.scale)};
    SDL_UpdateWindowSurfaceRects(window, &r, 1);
}

}  // namespace platform
