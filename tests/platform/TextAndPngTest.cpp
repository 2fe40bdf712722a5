// Canvas text masks and PNG pictures on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/Font.h"
#include "platform/Platform.h"
#include "platform/Png.h"

using namespace platform;

namespace {

std::string tempPath(const std::string& name) { return testing::TempDir() + "orbita_platform_" + name; }

TEST(Text, CzechTextAsCoverageMaskScaledByPointSize) {
    if (FontCache::facePath().empty()) GTEST_SKIP() << "DejaVu Sans is not installed";
    auto p = createHeadlessPlatform();
    TextMask m, big;
    ASSERT_TRUE(p->renderText(u8"Žluťoučký kůň", 15, m));
    // 15 points at 96 dpi is 20 pixels to the em; the line is a little taller.
    EXPECT_GE(m.height, 20);
    EXPECT_LE(m.height, 30);
    ASSERT_EQ(m.coverage.size(), size_t(m.width) * m.height);
    EXPECT_EQ(*std::max_element(m.coverage.begin(), m.coverage.end()), 255);
    EXPECT_EQ(*std::min_element(m.coverage.begin(), m.coverage.end()), 0);
    ASSERT_TRUE(p->renderText(u8"Žluťoučký kůň", 30, big));
    EXPECT_GT(big.width, m.width * 3 / 2);

    ASSERT_TRUE(p->renderText("", 15, m));  // an empty line has height but no ink
    EXPECT_EQ(m.width, 0);
    EXPECT_GT(m.height, 0);
    EXPECT_FALSE(p->renderText("x", 0, m));
    EXPECT_FALSE(p->renderText("x", 100000, m));  // refused, not a gigantic mask
}

TEST(Png, RoundTripKeepsEveryChannel) {
    std::vector<uint32_t> in = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80402010, 0x00000000, 0xFFFFFFFF};
    std::string path = tempPath("roundtrip.png");
    ASSERT_TRUE(savePng(path, 3, 2, in));
    int w = 0, h = 0;
    std::vector<uint32_t> out;
    ASSERT_TRUE(loadPng(path, w, h, out));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(out, in);
    std::remove(path.c_str());
}

TEST(Png, RefusesBadInput) {
    std::vector<uint32_t> px(4, 0xFF000000);
    std::string path = tempPath("bad.png");
    EXPECT_FALSE(savePng(path, 0, 2, px));
    EXPECT_FALSE(savePng(path, 3, 2, px));  // fewer pixels than the size says
    EXPECT_FALSE(saveRgb565Png(path, 640, 480, nullptr));
    int w = -1, h = -1;
    std::vector<uint32_t> out;
    EXPECT_FALSE(loadPng(tempPath("missing.png"), w, h, out));
    std::ofstream(path, std::ios::binary) << "\x89PNG\r\n\x1a\n this is not a picture";
    EXPECT_FALSE(loadPng(path, w, h, out));
    std::remove(path.c_str());
}

TEST(Png, Rgb565IsWidenedToFullIntensity) {
    const uint16_t px[6] = {0xF800, 0x07E0, 0x001F, 0x0000, 0xFFFF, 0x0400};
    std::string path = tempPath("rgb565.png");
    ASSERT_TRUE(saveRgb565Png(path, 6, 1, px));
    int w = 0, h = 0;
    std::vector<uint32_t> out;
    ASSERT_TRUE(loadPng(path, w, h, out));
    EXPECT_EQ(out, (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000, 0xFFFFFFFF,
                                          0xFF008200}));  // green 32 of 63 -> 130
    std::remove(path.c_str());
}

}  // namespace
