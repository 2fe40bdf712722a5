// The HUD panel as the player sees it: rows 0..77 of the console picture, the pilot's face at one
// of its five places, the life markers and the recipe in their wells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "media/DIB.h"
#include "tools/assets/Assets.h"

namespace {

constexpr int kShownRows = 78;  // the panel is 78 pixels high

struct Place {
    const char* name;
    int item, x, y;
};

// The faces' places in the panel, in the order of their pictures.
const Place kFaces[] = {{"obrov", 1, 282, 17}, {"oblev", 2, 258, 17}, {"obprav", 3, 242, 17}, {"obhore", 4, 250, 15}, {"obdole", 5, 266, 9}};

const std::vector<media::PictureItemData>& Hud() {
    static const std::vector<media::PictureItemData> hud = assets::BuildHud();
    return hud;
}

uint32_t PanelAt(int x, int y) { return Hud()[0].Picture->Pixel(x, y); }

TEST(HudPanel, OnePlainWellHoldsTheFaceAtEveryPlace) {
    // The union of the five places (x 242..362, y 9..77 as shown) is one plain colour, with the
    // well's frame just outside it, so no face covers a frame or leaves a strip of another well.
    const uint32_t well = PanelAt(242, 9);
    int off = 0;
    for (int y = 9; y < kShownRows; ++y)
        for (int x = 242; x <= 362; ++x) off += PanelAt(x, y) != well;
    EXPECT_EQ(off, 0) << "pixels of the face well that are not its plain colour";
    for (int y = 9; y < kShownRows; ++y) {
        EXPECT_NE(PanelAt(241, y), well) << "left frame, row " << y;
        EXPECT_NE(PanelAt(363, y), well) << "right frame, row " << y;
    }
    for (int x = 242; x <= 362; ++x) EXPECT_NE(PanelAt(x, 8), well) << "top frame, column " << x;
    // The face's own ground is the well's colour: its picture's edges vanish into the well.
    for (const Place& p : kFaces) {
        SCOPED_TRACE(p.name);
        const media::TDIB& f = *Hud()[p.item].Picture;
        EXPECT_GE(p.x, 242);
        EXPECT_LE(p.x + f.Width(), 363);
        EXPECT_GE(p.y, 9);
        const int lastRow = kShownRows - 1 - p.y;
        for (int x = 0; x < f.Width(); ++x) {
            EXPECT_EQ(f.Pixel(x, 0), well) << "top edge, column " << x;
            EXPECT_EQ(f.Pixel(x, lastRow), well) << "last row shown, column " << x;
        }
        for (int y = 0; y <= lastRow; ++y) {
            EXPECT_EQ(f.Pixel(0, y), well) << "left edge, row " << y;
            EXPECT_EQ(f.Pixel(f.Width() - 1, y), well) << "right edge, row " << y;
        }
        // And the pilot is there: the head fills a good part of what is shown.
        int ink = 0;
        for (int y = 0; y <= lastRow; ++y)
            for (int x = 0; x < f.Width(); ++x) ink += f.Pixel(x, y) != well;
        EXPECT_GT(ink, f.Width() * (lastRow + 1) / 4);
    }
}

TEST(HudPanel, MarkersAndRecipeSitOnPlainWells) {
    // Each shown box of a life marker and of the recipe lies on plain well, not on a frame, a
    // screw or a label.
    struct Box {
        const char* name;
        int x, y, w, h;
    } boxes[] = {{"zi1", 20, 39, 39, 18}, {"zi2", 85, 39, 39, 18}, {"zi3", 50, 64, 39, 17}, {"recept", 386, 3, 39, 78}};
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.name);
        const uint32_t well = PanelAt(b.x, b.y);
        int off = 0;
        for (int y = b.y; y < std::min(kShownRows, b.y + b.h); ++y)
            for (int x = b.x; x < b.x + b.w; ++x) off += PanelAt(x, y) != well;
        EXPECT_EQ(off, 0);
        EXPECT_EQ(well, PanelAt(242, 9)) << "every well has the one well colour";
    }
}

TEST(HudPanel, TheLabelStandsOverTheFace) {
    // The rows above the face well carry the pilot's label: bright ink there, centred over the
    // well, and none of it over the key legend's well to the left.
    auto bright = [](uint32_t c) { return (c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 170; };
    int left = 1000, right = -1;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 631; ++x)
            if (bright(PanelAt(x, y))) left = std::min(left, x), right = std::max(right, x);
    ASSERT_GE(right, 0) << "no label over the face";
    EXPECT_GE(left, 242);
    EXPECT_LE(right, 362);
    EXPECT_NEAR((left + right) / 2.0, 302, 6);
}

}  // namespace
