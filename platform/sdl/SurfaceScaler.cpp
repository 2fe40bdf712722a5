#include "platform/sdl/SurfaceScaler.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Platform.h"
#include "platform/Viewport.h"

namespace platform {

namespace {

// One 5-6-5 pixel widened to 8 bits a channel, the top bits repeated in the low ones.
inline uint32_t widened(uint16_t c, const SurfaceScaler::Conversion& k) {
    const uint32_t r = ((c >> 8) & 0xF8u) | (c >> 13);
    const uint32_t g = ((c >> 3) & 0xFCu) | ((c >> 9) & 3u);
    const uint32_t b = ((c << 3) & 0xF8u) | ((c >> 2) & 7u);
    return r << k.red | g << k.green | b << k.blue | k.alpha;
}

// The output rows [rows, rows + count * pitch) that show one source row.
struct OutRows {
    uint8_t* first;
    int count;
    int pitch;
    template <class Pixel>
    Pixel* row(int k, int x) const {
        return reinterpret_cast<Pixel*>(first + static_cast<size_t>(k) * pitch) + x;
    }
};

template <class Pixel>
inline void put(const OutRows& rows, int x, Pixel p) {
    for (int k = 0; k < rows.count; ++k) *rows.row<Pixel>(k, x) = p;
}

#if defined(__SSE2__)
template <class Store>
void widenByShifts(const uint16_t* in, const uint16_t* before, int n, int s, const OutRows& rows, int x,
                   const SurfaceScaler::Conversion& k, Store store) {
    const __m128i f8 = _mm_set1_epi16(0xF8), fc = _mm_set1_epi16(0xFC), three = _mm_set1_epi16(3),
                  seven = _mm_set1_epi16(7), zero = _mm_setzero_si128(),
                  alpha = _mm_set1_epi32(static_cast<int>(k.alpha));
    const __m128i rs = _mm_cvtsi32_si128(k.red), gs = _mm_cvtsi32_si128(k.green), bs = _mm_cvtsi32_si128(k.blue);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (before &&
            _mm_movemask_epi8(_mm_cmpeq_epi16(c, _mm_loadu_si128(reinterpret_cast<const __m128i*>(before + i)))) == 0xFFFF)
            continue;  // these eight are shown already
        const __m128i r = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(c, 8), f8), _mm_srli_epi16(c, 13));
        const __m128i g = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(c, 3), fc), _mm_and_si128(_mm_srli_epi16(c, 9), three));
        const __m128i b = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(c, 3), f8), _mm_and_si128(_mm_srli_epi16(c, 2), seven));
        const __m128i lo = _mm_or_si128(
            _mm_or_si128(_mm_sll_epi32(_mm_unpacklo_epi16(r, zero), rs), _mm_sll_epi32(_mm_unpacklo_epi16(g, zero), gs)),
            _mm_or_si128(_mm_sll_epi32(_mm_unpacklo_epi16(b, zero), bs), alpha));
        const __m128i hi = _mm_or_si128(
            _mm_or_si128(_mm_sll_epi32(_mm_unpackhi_epi16(r, zero), rs), _mm_sll_epi32(_mm_unpackhi_epi16(g, zero), gs)),
            _mm_or_si128(_mm_sll_epi32(_mm_unpackhi_epi16(b, zero), bs), alpha));
        const int ox = x + i * s;
        if (s == 1) {
            for (int j = 0; j < rows.count; ++j) {
                auto* o = reinterpret_cast<__m128i*>(rows.row<uint32_t>(j, ox));
                store(o, lo);
                store(o + 1, hi);
            }
        } else if (s == 2) {
            const __m128i a = _mm_unpacklo_epi32(lo, lo), bb = _mm_unpackhi_epi32(lo, lo),
                          cc = _mm_unpacklo_epi32(hi, hi), d = _mm_unpackhi_epi32(hi, hi);
            for (int j = 0; j < rows.count; ++j) {
                auto* o = reinterpret_cast<__m128i*>(rows.row<uint32_t>(j, ox));
                store(o, a);
                store(o + 1, bb);
                store(o + 2, cc);
                store(o + 3, d);
            }
        } else {
            alignas(16) uint32_t p[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(p), lo);
            _mm_store_si128(reinterpret_cast<__m128i*>(p + 4), hi);
            for (int j = 0; j < rows.count; ++j) {
                uint32_t* o = rows.row<uint32_t>(j, ox);
                for (int q = 0; q < 8; ++q)
                    for (int t = 0; t < s; ++t) *o++ = p[q];
            }
        }
    }
    for (; i < n; ++i) {
        const uint32_t p = widened(in[i], k);
        for (int t = 0; t < s; ++t) put<uint32_t>(rows, x + i * s + t, p);
    }
}
// Source pixels [0, n) of in, each s times, into every row from output column x; 32-bit
// pixels with 8-bit channels, eight source pixels at a time, those eight left as they are
// where before (the row shown now, when given) has them already. Where the rows allow, the
// stores pass by the cache: the window system reads the pixels, we do not.
void widenByShifts(const uint16_t* in, const uint16_t* before, int n, int s, const OutRows& rows, int x,
                   const SurfaceScaler::Conversion& k) {
    const bool aligned = ((reinterpret_cast<uintptr_t>(rows.row<uint32_t>(0, x)) | static_cast<uintptr_t>(rows.pitch)) & 15) == 0;
    if (aligned)
        widenByShifts(in, before, n, s, rows, x, k, [](__m128i* o, __m128i v) { _mm_stream_si128(o, v); });
    else
        widenByShifts(in, before, n, s, rows, x, k, [](__m128i* o, __m128i v) { _mm_storeu_si128(o, v); });
}
#endif

// Source pixels [0, n) of in, each s times, from output column x: by the table into the
// first row, copied into the others.
template <class Pixel>
void widenByTable(const uint16_t* in, int n, int s, const OutRows& rows, int x, const uint32_t* lut) {
    Pixel* o = rows.row<Pixel>(0, x);
    int i = 0;
    if (s == 1) {
        for (; i < n; ++i) *o++ = static_cast<Pixel>(lut[in[i]]);
    } else if (s == 2) {
        // Two output pixels in one store.
        using Pair = std::conditional_t<sizeof(Pixel) == 4, uint64_t, uint32_t>;
        for (; i < n; ++i) {
            const Pair p = static_cast<Pixel>(lut[in[i]]);
            const Pair two = p | (p << (8 * sizeof(Pixel)));
            std::memcpy(o, &two, sizeof two);
            o += 2;
        }
    } else {
        for (; i < n; ++i) {
            const Pixel p = static_cast<Pixel>(lut[in[i]]);
            for (int t = 0; t < s; ++t) *o++ = p;
        }
    }
    const size_t bytes = static_cast<size_t>(n) * s * sizeof(Pixel);
    for (int k = 1; k < rows.count; ++k) std::memcpy(rows.row<Pixel>(k, x), rows.row<Pixel>(0, x), bytes);
}

// Rows of the picture equal to those of previous (when given) are left as they are, the
// others copied into previous; the output rows written are [first, last) (first = last when
// none).
template <class Pixel>
void scaleRows(const uint16_t* picture, uint16_t* previous, uint8_t* pixels, int width, int height, int pitch,
               const SurfaceScaler::Conversion& k, const uint32_t* lut, int& first, int& last) {
    first = last = 0;
    const Viewport v = Viewport::fit(width, height);
    const int s = v.scale;
    // The part of the scaled picture inside the surface (a surface smaller than the
    // picture shows its centre).
    const int x0 = std::max(0, v.x), x1 = std::min(width, v.x + kFrameWidth * s);
    const int y0 = std::max(0, v.y), y1 = std::min(height, v.y + kFrameHeight * s);
    if (x0 >= x1 || y0 >= y1) {
        if (previous && previous != picture)
            std::memcpy(previous, picture, static_cast<size_t>(kFrameWidth) * kFrameHeight * sizeof(uint16_t));
        return;
    }
    // Columns: a source pixel cut by the left edge, whole ones, one cut by the right edge.
    const int lead = std::min(x1 - x0, (s - (x0 - v.x) % s) % s);
    const int whole = (x1 - x0 - lead) / s;
    const int sxWhole = (x0 + lead - v.x) / s;
    const int xWhole = x0 + lead, xTail = xWhole + whole * s;
#if defined(__SSE2__)
    const bool shifts = sizeof(Pixel) == 4 && k.byShifts;
#else
    const bool shifts = false;
#endif
    const int syFirst = (y0 - v.y) / s;
    int sy = syFirst;
    for (; sy * s + v.y < y1; ++sy) {
        const int ya = std::max(y0, v.y + sy * s), yb = std::min(y1, v.y + (sy + 1) * s);
        const uint16_t* in = picture + static_cast<size_t>(sy) * kFrameWidth;
        uint16_t* before = previous ? previous + static_cast<size_t>(sy) * kFrameWidth : nullptr;
        if (before && std::memcmp(in, before, kFrameWidth * sizeof(uint16_t)) == 0) continue;
        if (first == last) first = ya;
        last = yb;
        const OutRows rows{pixels + static_cast<size_t>(ya) * pitch, yb - ya, pitch};
        auto pixel = [&](int sx) {
            return shifts ? static_cast<Pixel>(widened(in[sx], k)) : static_cast<Pixel>(lut[in[sx]]);
        };
        for (int x = x0; x < xWhole; ++x) put<Pixel>(rows, x, pixel((x - v.x) / s));
#if defined(__SSE2__)
        if (shifts)
            widenByShifts(in + sxWhole, before ? before + sxWhole : nullptr, whole, s, rows, xWhole, k);
        else
#endif
            widenByTable<Pixel>(in + sxWhole, whole, s, rows, xWhole, lut);
        for (int x = xTail; x < x1; ++x) put<Pixel>(rows, x, pixel((x - v.x) / s));
        if (before) std::memcpy(before, in, kFrameWidth * sizeof(uint16_t));
    }
    // The rows a surface lower than the picture does not show.
    if (previous && previous != picture) {
        const size_t row = static_cast<size_t>(kFrameWidth);
        std::memcpy(previous, picture, syFirst * row * sizeof(uint16_t));
        std::memcpy(previous + sy * row, picture + sy * row, (kFrameHeight - sy) * row * sizeof(uint16_t));
    }
}

void scaleInto(const uint16_t* picture, void* pixels, int width, int height, int pitch, int bytesPerPixel,
               const SurfaceScaler::Conversion& k, const uint32_t* lut, uint16_t* previous, int* firstRow,
               int* lastRow) {
    auto* p = static_cast<uint8_t*>(pixels);
    int first = 0, last = 0;
    if (bytesPerPixel == 4)
        scaleRows<uint32_t>(picture, previous, p, width, height, pitch, k, lut, first, last);
    else if (bytesPerPixel == 2)
        scaleRows<uint16_t>(picture, previous, p, width, height, pitch, k, lut, first, last);
#if defined(__SSE2__)
    _mm_sfence();  // the stores that passed by the cache are done before the window system reads
#endif
    if (firstRow) *firstRow = first;
    if (lastRow) *lastRow = last;
}

}  // namespace

SurfaceScaler::Conversion SurfaceScaler::Conversion::of(const SDL_PixelFormat* format) {
    Conversion k;
    k.bytesPerPixel = format->BytesPerPixel;
    k.table.resize(65536);
    for (uint32_t c = 0; c < 65536; ++c) {
        const uint8_t r = static_cast<uint8_t>(((c >> 11) & 31) << 3 | ((c >> 11) & 31) >> 2);
        const uint8_t g = static_cast<uint8_t>(((c >> 5) & 63) << 2 | ((c >> 5) & 63) >> 4);
        const uint8_t b = static_cast<uint8_t>((c & 31) << 3 | (c & 31) >> 2);
        k.table[c] = SDL_MapRGB(format, r, g, b);
    }
    if (k.bytesPerPixel == 4 && format->Rloss == 0 && format->Gloss == 0 && format->Bloss == 0) {
        k.red = format->Rshift;
        k.green = format->Gshift;
        k.blue = format->Bshift;
        k.alpha = format->Amask;
        k.byShifts = true;
        for (uint32_t c = 0; c < 65536 && k.byShifts; ++c)
            k.byShifts = widened(static_cast<uint16_t>(c), k) == k.table[c];
    }
    return k;
}

void SurfaceScaler::scale(const uint16_t* picture, void* pixels, int width, int height, int pitch,
                          const Conversion& conversion, uint16_t* previous, int* firstRow, int* lastRow) {
    scaleInto(picture, pixels, width, height, pitch, conversion.bytesPerPixel, conversion,
              conversion.table.data(), previous, firstRow, lastRow);
}

void SurfaceScaler::scale(const uint16_t* picture, void* pixels, int width, int height, int pitch,
                          int bytesPerPixel, const uint32_t* table, uint16_t* previous, int* firstRow,
                          int* lastRow) {
    static const Conversion byTable;
    scaleInto(picture, pixels, width, height, pitch, bytesPerPixel, byTable, table, previous, firstRow, lastRow);
}

void SurfaceScaler::present(SDL_Window* window, SDL_Surface* surface, const uint16_t* picture,
                            std::vector<uint16_t>& shown, bool whole) {
    const int bpp = surface->format->BytesPerPixel;
    const size_t size = static_cast<size_t>(kFrameWidth) * kFrameHeight;
    if (bpp != 2 && bpp != 4) {
        if (shown.data() != picture) shown.assign(picture, picture + size);
        return;
    }
    if (!haveConversion_ || format_ != surface->format->format) {
        conversion_ = Conversion::of(surface->format);
        format_ = surface->format->format;
        haveConversion_ = true;
        surface_ = nullptr;
    }
    const bool fresh = surface != surface_ || surface->w != w_ || surface->h != h_;
    whole = whole || fresh || shown.size() != size;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        if (shown.data() != picture) shown.assign(picture, picture + size);
        surface_ = nullptr;  // drawn whole next time
        return;
    }
    if (fresh) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    // What has not changed since the picture shown is neither widened nor sent again.
    if (whole && shown.data() != picture) shown.assign(picture, picture + size);
    int first = 0, last = 0;
    scale(picture, surface->pixels, surface->w, surface->h, surface->pitch, conversion_,
          whole ? nullptr : shown.data(), &first, &last);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (whole) {
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
