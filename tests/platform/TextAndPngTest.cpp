// Canvas text masks and PNG pictures on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "platform/Font.h"
#include "platform/Platform.h"

using namespace platform;

namespace {

std::string tempPath(const std::string& name) { return testing::TempDir() + "orbita_platform_" + name; }

class Text : public testing::Test {
protected:
    void SetUp() override {
        if (FontCache::facePath().empty()) GTEST_SKIP() << "DejaVu Sans is not installed";
        p = createHeadlessPlatform();
    }
    std::unique_ptr<Platform> p;
};

TEST_F(Text, RendersCzechTextAsCoverageMask) {
    TextMask m;
    ASSERT_TRUE(p->renderText(u8"Žluťoučký kůň", 15, m));
    // 15 points at 96 dpi is 20 pixels to the em; the line is a little taller.
    EXPECT_GE(m.height, 20);
    EXPECT_LE(m.height, 30);
    EXPECT_GT(m.width, 100);
    ASSERT_EQ(m.coverage.size(), size_t(m.width) * m.height);
    EXPECT_EQ(*std::max_element(m.coverage.begin(), m.coverage.end()), 255);
    EXPECT_EQ(*std::min_element(m.coverage.begin(), m.coverage.end()), 0);
    // Antialiased edges carry partial coverage.
    EXPECT_TRUE(std::any_of(m.coverage.begin(), m.coverage.end(), [](uint8_t c) { return c > 0 && c < 255; }));
}

TEST_F(Text, SizeScalesAndSpacesCarryNoInk) {
    TextMask small, big, blank;
    ASSERT_TRUE(p->renderText("Level", 10, small));
    ASSERT_TRUE(p->renderText("Level", 20, big));
    EXPECT_GT(big.width, small.width * 3 / 2);
    EXPECT_GT(big.height, small.height * 3 / 2);
    ASSERT_TRUE(p->renderText("   ", 15, blank));
    EXPECT_TRUE(std::all_of(blank.coverage.begin(), blank.coverage.end(), [](uint8_t c) { return c == 0; }));
}

TEST_F(Text, EmptyTextAndBadSizes) {
    TextMask m;
    ASSERT_TRUE(p->renderText("", 15, m));
    EXPECT_EQ(m.width, 0);
    EXPECT_GT(m.height, 0);
    EXPECT_TRUE(m.coverage.empty());
    EXPECT_FALSE(p->renderText("x", 0, m));
    EXPECT_FALSE(p->renderText("x", -5, m));
    EXPECT_FALSE(p->renderText("x", 100000, m));  // refused, not a gigantic mask
    EXPECT_EQ(m.width, 0);
}

TEST(Png, RoundTripKeepsEveryChannel) {
    const int w = 3, h = 2;
    std::vector<uint32_t> in = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0x80402010, 0x00000000, 0xFFFFFFFF};
    std::string path = tempPath("roundtrip.png");
    ASSERT_TRUE(savePng(path, w, h, in));
    int rw = 0, rh = 0;
    std::vector<uint32_t> out;
    ASSERT_TRUE(loadPng(path, rw, rh, out));
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);
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
    {
        std::ofstream f(path, std::ios::binary);
        f << "\x89PNG\r\n\x1a\n this is not a picture";
    }
    EXPECT_FALSE(loadPng(path, w, h, out));
    std::remove(path.c_str());
}

TEST(Png, Rgb565IsWidenedToFullIntensity) {
    const int w = 6, h = 1;
    const uint16_t px[w] = {0xF800, 0x07E0, 0x001F, 0x0000, 0xFFFF, 0x0400};
    std::string path = tempPath("rgb565.png");
    ASSERT_TRUE(saveRgb565Png(path, w, h, px));
    int rw = 0, rh = 0;
    std::vector<uint32_t> out;
    ASSERT_TRUE(loadPng(path, rw, rh, out));
    ASSERT_EQ(out.size(), size_t(w));
    EXPECT_EQ(out[0], 0xFF0000FFu);  // red
    EXPECT_EQ(out[1], 0xFF00FF00u);  // green
    EXPECT_EQ(out[2], 0xFFFF0000u);  // blue
    EXPECT_EQ(out[3], 0xFF000000u);  // opaque black
    EXPECT_EQ(out[4], 0xFFFFFFFFu);
    EXPECT_EQ(out[5], 0xFF008200u);  // green 32 of 63 -> 130
    std::remove(path.c_str());
}

}  // namespace
