// The builder's picture conversion: colour keys, collision colours, colour tables, text wrapping.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tools/assets/Canvas.h"

namespace {

using assets::Canvas;
using assets::Rgb;
using assets::IsDeadly565;
using assets::Rgb565;
using assets::ToDib;

TEST(ToDib, TransparentPixelsTakeTheKeyAndOpaqueOnesNeverDo) {
    for (uint32_t key : {0x000000u, 0xFFFFFFu}) {
        Canvas c(4, 2);
        c.Set(0, 0, {0, 0, 0});        // black
        c.Set(1, 0, {255, 255, 255});  // white
        c.Set(2, 0, {4, 2, 6});        // reads back as black in 16 bits
        c.Set(3, 0, {250, 253, 251});  // reads back as white in 16 bits
        // Row 1 stays transparent.
        auto dib = ToDib(c, 24, key);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dib->Pixel(x, 1), key) << "transparent pixel " << x;
            EXPECT_NE(Rgb565(dib->Pixel(x, 0)), Rgb565(key)) << "opaque pixel " << x << " would be a hole, key " << key;
        }
    }
}

TEST(ToDib, CollisionColoursOnlyWhereTerrainWasSet) {
    Canvas c(4, 1);
    c.Set(0, 0, {0, 128, 0});
    c.Set(1, 0, {3, 254, 5});
    c.SetDeadly(2, 0, false);
    c.SetDeadly(3, 0, true);
    auto dib = ToDib(c, 24, 0);
    EXPECT_FALSE(IsDeadly565(dib->Pixel(0, 0)));
    EXPECT_FALSE(IsDeadly565(dib->Pixel(1, 0)));
    EXPECT_EQ(dib->Pixel(2, 0), 0x008000u);
    EXPECT_EQ(dib->Pixel(3, 0), 0x00FF00u);
    // Painting over terrain with an ordinary colour makes it harmless again.
    c.Set(3, 0, {0, 255, 0});
    EXPECT_FALSE(IsDeadly565(ToDib(c, 24, 0)->Pixel(3, 0)));
}

TEST(ToDib, DeadlyCodesAreExactlyTheTwoCollisionColours) {
    EXPECT_TRUE(IsDeadly565(0x008000));
    EXPECT_TRUE(IsDeadly565(0x00FF00));
    EXPECT_TRUE(IsDeadly565(assets::Bgr(7, 131, 7)));
    EXPECT_TRUE(IsDeadly565(assets::Bgr(7, 252, 7)));
    EXPECT_FALSE(IsDeadly565(assets::Bgr(8, 128, 0)));
    EXPECT_FALSE(IsDeadly565(assets::Bgr(0, 128, 8)));
    EXPECT_FALSE(IsDeadly565(assets::Bgr(0, 127, 0)));
    EXPECT_FALSE(IsDeadly565(assets::Bgr(0, 132, 0)));
    EXPECT_FALSE(IsDeadly565(assets::Bgr(0, 251, 0)));
}

TEST(ToDib, PalettedPicturesFitTheirTableAndKeepTheKey) {
    for (int bits : {4, 8}) {
        Canvas c(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if ((x + y) % 7) c.Set(x, y, {uint8_t(x * 4), uint8_t(y * 4), uint8_t((x * y) & 0xFF)});
        auto dib = ToDib(c, bits, 0xFFFFFF);
        ASSERT_EQ(dib->Palette().size(), size_t(1) << bits);
        EXPECT_EQ(dib->Palette()[0], 0xFFFFFFu);
        std::set<uint32_t> table(dib->Palette().begin(), dib->Palette().end());
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                uint32_t p = dib->Pixel(x, y);
                EXPECT_TRUE(table.count(p)) << "pixel not in the table";
                if ((x + y) % 7 == 0) EXPECT_EQ(p, 0xFFFFFFu);
                else EXPECT_NE(Rgb565(p), Rgb565(0xFFFFFF));
                EXPECT_FALSE(IsDeadly565(p));
            }
        for (uint32_t p : dib->Palette()) EXPECT_FALSE(IsDeadly565(p));
    }
}

TEST(ToDib, QuantisingKeepsColoursClose) {
    // A smooth gradient through 8-bit quantisation stays within a few steps of the original.
    Canvas c(256, 4);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 4; ++y) c.Set(x, y, {uint8_t(x), uint8_t(255 - x), uint8_t(x / 2 + 40)});
    auto dib = ToDib(c, 8, 0);
    for (int x = 0; x < 256; ++x) {
        uint32_t p = dib->Pixel(x, 0);
        EXPECT_NEAR(int(p & 0xFF), x, 6);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 255 - x, 6);
    }
}

TEST(WrapLines, FitsTheWidthKeepsEveryWordAndNeverStartsWithADash) {
    Canvas c(640, 100);
    c.Font(23, true);
    const std::string text =
        "Ovládání: šipky nebo H J K L – let, mezerník – palba, Tab – koule, Enter – pauza, Esc – zpět. "
        "V sedmém sektoru znič strážce a seber recept. Hodně štěstí, pilote!";
    for (double width : {200.0, 350.0, 570.0}) {
        auto lines = c.WrapLines(width, text);
        std::string joined;
        for (const auto& l : lines) {
            EXPECT_LE(c.TextWidth(l), width + 1) << l;
            EXPECT_NE(l.rfind("\xE2\x80\x93", 0), 0u) << "line starts with a dash: " << l;
            joined += (joined.empty() ? "" : " ") + l;
        }
        EXPECT_EQ(joined, text);
    }
}

TEST(DrawOverTerrain, SceneryDrawnOverRockLeavesEveryDeadlyPixelAsItWas) {
    Canvas c(8, 4);
    for (int x = 0; x < 8; ++x) c.Set(x, 0, {40, 40, 60});  // sky
    for (int y = 1; y < 4; ++y)
        for (int x = 0; x < 8; ++x) c.SetDeadly(x, y, (x + y) % 3 == 0);  // rock with lime lines
    c.MarkDirty();
    c.DrawOverTerrain([](Canvas& k) {
        k.Colour(0.5, 0.5, 0.55);
        k.FillRect(2, 0, 4, 4);  // a steel post through sky and rock
        k.Flush();
        k.Set(7, 3, {200, 100, 50});  // and pixel writes, which clear the deadly mark
        k.MarkDirty();
    });
    c.Flush();
    for (int x = 0; x < 8; ++x) {
        Rgb sky = c.Get(x, 0);
        if (x >= 2 && x < 6) EXPECT_GT(sky.r, 100) << "the post shows against the sky at " << x;
        else EXPECT_EQ(sky.r, 40) << x;
        for (int y = 1; y < 4; ++y) {
            EXPECT_TRUE(c.IsDeadlyPixel(x, y)) << x << "," << y;
            Rgb p = c.Get(x, y);
            EXPECT_EQ(p.g, (x + y) % 3 == 0 ? 255 : 128) << x << "," << y;
            EXPECT_EQ(p.r | p.b, 0) << x << "," << y;
        }
    }
}

}  // namespace
