// Our own scaling of the 640 x 480 picture into a window's surface: every output pixel is
// the picture's pixel under it at the largest whole scale, centred, the border untouched,
// and a surface smaller than the picture shows its centre without writing outside.
#include <gtest/gtest.h>

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

}  // namespace
