// Our own scaling of the 640 x 480 picture into a window's surface: every output pixel is
// the picture's pixel under it at the largest whole scale, centred, the border untouched,
// and a surface smaller than the picture shows its centre without writing outside; the
// colours worked out by shifts are the surface format's own, for every 16-bit colour.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cstring>
#include <vector>

#include "platform/Viewport.h"
#include "platform/sdl/SurfaceScaler.h"

namespace {

std::vector<uint32_t> identityTable() {
    std::vector<uint32_t> t(65536);
    for (uint32_t i = 0; i < 65536; ++i) t[i] = i | 0xAB000000u;
    return t;
}

std::vector<uint16_t> pattern() {
    std::vector<uint16_t> p(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) p[y * 640 + x] = static_cast<uint16_t>(x * 7 + y * 31);
    return p;
}

void check(int w, int h, int bpp) {
    const auto lut = identityTable();
    const auto picture = pattern();
    const int pitch = w * bpp + 8;  // rows with slack after them
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * h + 64, 0x5A);
    platform::SurfaceScaler::scale(picture.data(), out.data(), w, h, pitch, bpp, lut.data());
    const platform::Viewport v = platform::Viewport::fit(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t got;
            if (bpp == 4)
                got = reinterpret_cast<const uint32_t*>(out.data() + static_cast<size_t>(y) * pitch)[x];
            else
                got = reinterpret_cast<const uint16_t*>(out.data() + static_cast<size_t>(y) * pitch)[x];
            int px, py;
            if (v.toPicture(x, y, px, py)) {
                const uint32_t want = bpp == 4 ? lut[picture[py * 640 + px]] : picture[py * 640 + px];
                ASSERT_EQ(got, want) << w << "x" << h << " at " << x << "," << y;
            } else {
                ASSERT_EQ(got, bpp == 4 ? 0x5A5A5A5Au : 0x5A5Au) << "border written at " << x << "," << y;
            }
        }
        for (int i = w * bpp; i < pitch; ++i) ASSERT_EQ(out[static_cast<size_t>(y) * pitch + i], 0x5A);
    }
}

TEST(SurfaceScaler, EveryScaleAndSizeGivesThePicturesPixels) {
    for (int bpp : {4, 2}) {
        check(640, 480, bpp);
        check(1280, 960, bpp);
        check(1920, 1080, bpp);  // scale 2, letterboxed
        check(1923, 1441, bpp);  // scale 3, odd borders
        check(800, 500, bpp);
        check(300, 200, bpp);    // smaller than the picture: its centre
    }
}

TEST(SurfaceScaler, OnlyChangedRowsAreWrittenAndTheResultIsTheWholePicture) {
    const auto lut = identityTable();
    auto before = pattern();
    const int w = 1920, h = 1080, pitch = w * 4;  // scale 2, picture at (320, 60)
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * h), fresh(out.size());
    platform::SurfaceScaler::scale(before.data(), out.data(), w, h, pitch, 4, lut.data());
    auto after = before;
    for (int x = 0; x < 640; ++x) {
        after[100 * 640 + x] ^= 0x1234;
        after[101 * 640 + x] ^= 0x0F0F;
    }
    int first = -1, last = -1;
    platform::SurfaceScaler::scale(after.data(), out.data(), w, h, pitch, 4, lut.data(), before.data(), &first, &last);
    EXPECT_EQ(first, 60 + 2 * 100);
    EXPECT_EQ(last, 60 + 2 * 102);
    platform::SurfaceScaler::scale(after.data(), fresh.data(), w, h, pitch, 4, lut.data());
    EXPECT_TRUE(out == fresh);
    platform::SurfaceScaler::scale(after.data(), out.data(), w, h, pitch, 4, lut.data(), after.data(), &first, &last);
    EXPECT_EQ(first, last);  // nothing changed, nothing written
}

// Every 16-bit colour among the first 65 536 pixels, neighbours far apart.
std::vector<uint16_t> allColours() {
    std::vector<uint16_t> p(640 * 480);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint16_t>(i * 40503u);
    return p;
}

// The colour SDL gives the format for a 5-6-5 pixel, its bits widened with the top ones repeated.
uint32_t mapped(const SDL_PixelFormat* f, uint16_t c) {
    const int r = c >> 11, g = (c >> 5) & 63, b = c & 31;
    return SDL_MapRGB(f, static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
                      static_cast<uint8_t>(b << 3 | b >> 2));
}

// The picture scaled into a w x h surface of the format whose rows start skew bytes past a
// 16-byte boundary and are pitch bytes apart: the format's own pixels inside, the border
// and the slack untouched.
void checkFormat(const SDL_PixelFormat* f, const platform::SurfaceScaler::Conversion& k, int w, int h, int pitch,
                 int skew) {
    const auto picture = allColours();
    const int bpp = f->BytesPerPixel;
    std::vector<uint8_t> buffer(static_cast<size_t>(pitch) * h + 64, 0x5A);
    uint8_t* base = buffer.data() + ((16 - reinterpret_cast<uintptr_t>(buffer.data()) % 16) % 16) + skew;
    const size_t used = static_cast<size_t>(pitch) * (h - 1) + static_cast<size_t>(w) * bpp;
    std::vector<uint8_t> before(buffer);
    platform::SurfaceScaler::scale(picture.data(), base, w, h, pitch, k);
    const platform::Viewport v = platform::Viewport::fit(w, h);
    std::vector<uint32_t> colours(65536);
    for (uint32_t c = 0; c < 65536; ++c) colours[c] = mapped(f, static_cast<uint16_t>(c));
    for (size_t i = 0; i < buffer.size(); ++i) {
        const uint8_t* at = buffer.data() + i;
        const size_t off = static_cast<size_t>(at - base);
        const bool inside = at >= base && off < used && static_cast<int>(off % pitch) < w * bpp;
        if (!inside) {
            ASSERT_EQ(buffer[i], before[i]) << w << "x" << h << ": written outside the rows at byte " << i;
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t got = 0;
            std::memcpy(&got, base + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bpp, bpp);
            int px, py;
            const uint32_t want = v.toPicture(x, y, px, py) ? colours[picture[py * 640 + px]]
                                                            : (bpp == 4 ? 0x5A5A5A5Au : 0x5A5Au);
            ASSERT_EQ(got, want) << SDL_GetPixelFormatName(f->format) << " " << w << "x" << h << " pitch " << pitch
                                 << " skew " << skew << " at " << x << "," << y;
        }
}

TEST(SurfaceScaler, SurfaceFormatsGetTheirOwnColoursAtEveryScaleAndAlignment) {
    struct Case {
        uint32_t format;
        bool byShifts;  // 32 bits with 8-bit channels
    };
    for (const Case c : {Case{SDL_PIXELFORMAT_RGB888, true}, Case{SDL_PIXELFORMAT_ARGB8888, true},
                         Case{SDL_PIXELFORMAT_BGR888, true}, Case{SDL_PIXELFORMAT_RGBA8888, true},
                         Case{SDL_PIXELFORMAT_ARGB2101010, false}, Case{SDL_PIXELFORMAT_RGB565, false},
                         Case{SDL_PIXELFORMAT_RGB555, false}}) {
        SDL_PixelFormat* f = SDL_AllocFormat(c.format);
        ASSERT_NE(f, nullptr) << SDL_GetError();
        const auto k = platform::SurfaceScaler::Conversion::of(f);
        EXPECT_EQ(k.byShifts, c.byShifts) << SDL_GetPixelFormatName(c.format);
        for (uint32_t i = 0; i < 65536; ++i)
            ASSERT_EQ(k.table[i], mapped(f, static_cast<uint16_t>(i))) << SDL_GetPixelFormatName(c.format) << " " << i;
        const int bpp = f->BytesPerPixel;
        // Rows on 16-byte boundaries (the stores that pass by the cache) and off them.
        checkFormat(f, k, 640, 480, 640 * bpp, 0);
        checkFormat(f, k, 640, 480, 640 * bpp + 4, 4);
        checkFormat(f, k, 1280, 960, 1280 * bpp, 0);
        checkFormat(f, k, 1920, 1080, 1920 * bpp, 0);    // scale 2 letterboxed
        checkFormat(f, k, 1283, 961, 1283 * bpp + 8, 4);  // scale 2, the picture one pixel in
        checkFormat(f, k, 1923, 1441, 1923 * bpp, 0);    // scale 3, odd borders
        checkFormat(f, k, 2600, 1930, 2600 * bpp, 0);    // scale 4
        checkFormat(f, k, 300, 205, 300 * bpp + 12, 0);  // smaller: its centre, cut pixels at both edges
        checkFormat(f, k, 1277, 955, 1277 * bpp, 0);     // scale 1, cut
        SDL_FreeFormat(f);
    }
}

TEST(SurfaceScaler, ChangedRowsAreCopiedIntoThePreviousPicture) {
    SDL_PixelFormat* f = SDL_AllocFormat(SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(f, nullptr) << SDL_GetError();
    const auto k = platform::SurfaceScaler::Conversion::of(f);
    SDL_FreeFormat(f);
    auto before = allColours(), after = before;
    const int w = 1920, h = 1080, pitch = w * 4;
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * h), fresh(out.size());
    platform::SurfaceScaler::scale(before.data(), out.data(), w, h, pitch, k);
    for (int x = 0; x < 640; ++x) after[479 * 640 + x] ^= 0x8001;
    int first = -1, last = -1;
    platform::SurfaceScaler::scale(after.data(), out.data(), w, h, pitch, k, before.data(), &first, &last);
    EXPECT_EQ(first, 60 + 2 * 479);
    EXPECT_EQ(last, 60 + 2 * 480);
    EXPECT_TRUE(before == after);
    platform::SurfaceScaler::scale(after.data(), fresh.data(), w, h, pitch, k);
    EXPECT_TRUE(out == fresh);
}

// Scattered changes (single pixels, runs across the eight-pixel groups, the first and last
// columns) into a surface that shows the picture before: the same pixels as a fresh scaling,
// at every scale and with rows on and off 16-byte boundaries.
TEST(SurfaceScaler, ScatteredChangesGiveTheSamePixelsAsAFreshPicture) {
    SDL_PixelFormat* f = SDL_AllocFormat(SDL_PIXELFORMAT_ARGB8888);
    ASSERT_NE(f, nullptr) << SDL_GetError();
    const auto k = platform::SurfaceScaler::Conversion::of(f);
    SDL_FreeFormat(f);
    ASSERT_TRUE(k.byShifts);
    struct Size {
        int w, h, pitch, skew;
    };
    for (const Size z : {Size{640, 480, 2560, 0}, Size{1280, 960, 5120, 0}, Size{1920, 1080, 7680, 0},
                         Size{1283, 961, 5140, 4}, Size{1923, 1441, 7696, 8}, Size{300, 205, 1212, 0}}) {
        const auto start = allColours();
        auto shown = start, next = start;
        uint32_t seed = 12345;
        for (int i = 0; i < 3000; ++i) {
            seed = seed * 1103515245u + 12345u;
            const size_t at = (seed >> 8) % next.size();
            const int run = 1 + static_cast<int>((seed >> 4) % 11);
            for (int j = 0; j < run && at + j < next.size(); ++j) next[at + j] = static_cast<uint16_t>(~next[at + j]);
        }
        for (int y = 0; y < 480; y += 7) {
            next[y * 640] ^= 0x0841;
            next[y * 640 + 639] ^= 0x0841;
        }
        std::vector<uint8_t> a(static_cast<size_t>(z.pitch) * z.h + 32, 0), b(a.size(), 0);
        uint8_t* pa = a.data() + ((16 - reinterpret_cast<uintptr_t>(a.data()) % 16) % 16) + z.skew;
        uint8_t* pb = b.data() + ((16 - reinterpret_cast<uintptr_t>(b.data()) % 16) % 16) + z.skew;
        platform::SurfaceScaler::scale(start.data(), pa, z.w, z.h, z.pitch, k);
        platform::SurfaceScaler::scale(next.data(), pa, z.w, z.h, z.pitch, k, shown.data());
        platform::SurfaceScaler::scale(next.data(), pb, z.w, z.h, z.pitch, k);
        EXPECT_TRUE(shown == next) << z.w << "x" << z.h;  // the rows not shown too
        EXPECT_TRUE(std::memcmp(pa, pb, static_cast<size_t>(z.pitch) * z.h) == 0) << z.w << "x" << z.h;
    }
}

}  // namespace
