// Pixel-exact drawing of image-list pictures: Draw, DrawRotated, clipping and colour keys.
#include <cmath>

#include "MediaFixture.h"

using media::ColorToDevice;
using media::TDirectDrawSurface;

namespace {

std::vector<uint16_t> Pixels(TDirectDrawSurface& s) { return std::vector<uint16_t>(s.Bits(), s.Bits() + s.Width() * s.Height()); }

// The rotated draw worked pixel by pixel in the plainest way: every row of the box is walked
// from its left edge, leading pixels outside the pattern skipped, then drawn until the source
// position leaves the pattern or the row reaches the surface's right edge.
void ReferenceRotated(std::vector<uint16_t>& out, int dw, int dh, const media::TDIB& pic, int X, int Y, int W, int H,
                      double cx, double cy, int angle, bool transparent, uint32_t key) {
    const double* cs = media::Cos256();
    const int a = angle & 255;
    const double c = cs[a], s = cs[(a + 192) & 255];
    const int sw = pic.Width(), sh = pic.Height();
    int xs[4], ys[4];
    const int px[4] = {0, W, 0, W}, py[4] = {0, 0, H, H};
    for (int i = 0; i < 4; ++i) {
        double lx = std::nearbyint(px[i] - W * cx), ly = std::nearbyint(py[i] - H * cy);
        xs[i] = int(std::nearbyint(lx * c - ly * s)) + X;
        ys[i] = int(std::nearbyint(lx * s + ly * c)) + Y;
    }
    int x0 = std::max(*std::min_element(xs, xs + 4), 0), x1 = std::min(*std::max_element(xs, xs + 4), dw);
    int y0 = std::max(*std::min_element(ys, ys + 4), 0), y1 = std::min(*std::max_element(ys, ys + 4), dh);
    if (x1 - x0 < 1 || y1 - y0 < 1) return;
    const int64_t c16 = std::lrint(c * 65536), s16 = std::lrint(s * 65536);
    const int64_t duX = sw * c16 / W, dvX = -(sh * s16) / H, duY = sw * s16 / W, dvY = sh * c16 / H;
    const int64_t u0 = std::llrint(sw * cx * 65536), v0 = std::llrint(sh * cy * 65536);
    for (int y = y0; y < y1; ++y) {
        int x = x0;
        auto u = [&](int xx) { return u0 + int64_t(xx - X) * duX + int64_t(y - Y) * duY; };
        auto v = [&](int xx) { return v0 + int64_t(xx - X) * dvX + int64_t(y - Y) * dvY; };
        auto inside = [&](int xx) { return u(xx) >= 0 && u(xx) < (int64_t(sw) << 16) && v(xx) >= 0 && v(xx) < (int64_t(sh) << 16); };
        while (x < dw && !inside(x)) ++x;
        for (; x < dw && inside(x); ++x) {
            uint32_t p = pic.Pixel(int(u(x) >> 16), int(v(x) >> 16));
            if (transparent && p == key) continue;
            out[size_t(y) * dw + x] = ColorToDevice(p);
        }
    }
}

}  // namespace

class DrawTest : public HeadlessDisplay {};

TEST_F(DrawTest, DrawPlacesThePictureAndClipsAtEveryEdge) {
    Open();
    auto pic = NumberedPicture(20, 10);
    auto* item = AddPicture(pic, false);
    ASSERT_EQ(item->PatternCount(), 1);
    EXPECT_EQ(item->Width(), 20);
    EXPECT_EQ(item->Height(), 10);
    struct P { int x, y; } points[] = {{5, 7}, {-6, 3}, {4, -4}, {630, 100}, {100, 475}, {-19, -9}, {635, 476}};
    for (auto p : points) {
        Surface().Fill(0);
        item->Draw(Surface(), p.x, p.y, 0);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                int sx = x - p.x, sy = y - p.y;
                uint16_t want = (sx >= 0 && sx < 20 && sy >= 0 && sy < 10) ? ColorToDevice(pic->Pixel(sx, sy)) : 0;
                ASSERT_EQ(Surface().At(x, y), want) << "draw at " << p.x << "," << p.y << " pixel " << x << "," << y;
            }
    }
    // Wholly off the surface: nothing, and no fault.
    Surface().Fill(0);
    for (auto p : std::vector<P>{{641, 0}, {0, 481}, {-20, 0}, {0, -10}, {-100000, 5}, {100000, 100000}}) item->Draw(Surface(), p.x, p.y, 0);
    for (uint16_t v : Pixels(Surface())) ASSERT_EQ(v, 0);
    // Invalid pattern indexes draw nothing.
    item->Draw(Surface(), 0, 0, 1);
    item->Draw(Surface(), 0, 0, -1);
    for (uint16_t v : Pixels(Surface())) ASSERT_EQ(v, 0);
}

TEST_F(DrawTest, ColourKeyOnlyWhenTransparent) {
    Open();
    auto pic = std::make_shared<media::TDIB>(3, 1, 24);
    pic->SetPixel(0, 0, 0xFFFFFF);
    pic->SetPixel(1, 0, 0x0000FF);
    pic->SetPixel(2, 0, 0xFEFFFF);  // rounds to the key's device colour but is not the key
    auto* keyed = AddPicture(pic, true, 0xFFFFFF);
    Surface().Fill(ColorToDevice(0x123456));
    keyed->Draw(Surface(), 10, 10, 0);
    EXPECT_EQ(Surface().At(10, 10), ColorToDevice(0x123456));
    EXPECT_EQ(Surface().At(11, 10), ColorToDevice(0x0000FF));
    EXPECT_NE(Surface().At(12, 10), ColorToDevice(0x123456)) << "a near-white pixel must stay visible";
    keyed->DrawRotated(Surface(), 20, 20, 3, 1, 0, 0, 0, 0, 255);
    EXPECT_EQ(Surface().At(20, 20), ColorToDevice(0x123456));
    keyed->Transparent = false;
    keyed->Draw(Surface(), 10, 10, 0);
    keyed->DrawRotated(Surface(), 20, 20, 3, 1, 0, 0, 0, 0, 255);
    EXPECT_EQ(Surface().At(10, 10), ColorToDevice(0xFFFFFF));
    EXPECT_EQ(Surface().At(20, 20), ColorToDevice(0xFFFFFF));
    // Changing the transparent colour changes the key of the existing surfaces.
    keyed->Transparent = true;
    keyed->SetTransparentColor(0x0000FF);
    Surface().Fill(0);
    keyed->Draw(Surface(), 10, 10, 0);
    EXPECT_EQ(Surface().At(10, 10), ColorToDevice(0xFFFFFF));
    EXPECT_EQ(Surface().At(11, 10), 0);
}

TEST_F(DrawTest, RotatedAtAngleZeroEqualsDraw) {
    Open();
    auto pic = NumberedPicture(17, 9);
    auto* item = AddPicture(pic, true, pic->Pixel(3, 3));
    for (auto p : std::vector<std::pair<int, int>>{{0, 0}, {50, 60}, {-5, -3}, {630, 475}, {200, 476}}) {
        Surface().Fill(0);
        item->Draw(Surface(), p.first, p.second, 0);
        auto plain = Pixels(Surface());
        Surface().Fill(0);
        item->DrawRotated(Surface(), p.first, p.second, 17, 9, 0, 0.0, 0.0, 0, 255);
        EXPECT_EQ(Pixels(Surface()), plain) << p.first << "," << p.second;
        Surface().Fill(0);
        item->DrawRotated(Surface(), p.first, p.second, 17, 9, 0, 0.0, 0.0, 256, 255);
        EXPECT_EQ(Pixels(Surface()), plain) << "angle 256 draws like 0";
    }
}

TEST_F(DrawTest, QuarterTurnsAreExactRotations) {
    Open();
    auto pic = NumberedPicture(6, 4);
    auto* item = AddPicture(pic, false);
    // Angle 64 about the centre: destination offset (dx, dy) shows source (3 + dy, 2 - dx).
    Surface().Fill(0);
    item->DrawRotated(Surface(), 100, 100, 6, 4, 0, 0.5, 0.5, 64, 255);
    int drawn = 0;
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 110; ++x) {
            if (!Surface().At(x, y)) continue;
            ++drawn;
            const int dx = x - 100, dy = y - 100;
            // Source: u = 3 + dy * 6 / 6, v = 2 - dx * 4 / 4.
            ASSERT_EQ(Surface().At(x, y), ColorToDevice(pic->Pixel(3 + dy, 2 - dx))) << x << "," << y;
        }
    // The turned picture is 4 wide and 6 tall (its last column lies just past the corner box:
    // a row runs on while its source position stays inside the picture).
    EXPECT_EQ(drawn, 4 * 6);
    // Angle 128 turns it upside down, 192 and -64 are the same quarter turn back.
    Surface().Fill(0);
    item->DrawRotated(Surface(), 100, 100, 6, 4, 0, 0.5, 0.5, 192, 255);
    auto a192 = Pixels(Surface());
    Surface().Fill(0);
    item->DrawRotated(Surface(), 100, 100, 6, 4, 0, 0.5, 0.5, -64, 255);
    EXPECT_EQ(Pixels(Surface()), a192);
    Surface().Fill(0);
    item->DrawRotated(Surface(), 100, 100, 6, 4, 0, 0.5, 0.5, 128, 255);
    EXPECT_EQ(Surface().At(101, 101), ColorToDevice(pic->Pixel(2, 1)));  // u = 3 - dx, v = 2 - dy
}

TEST_F(DrawTest, RotatedMatchesThePlainPerPixelWalkAtEveryAngle) {
    Open(640, 380);
    auto pic = NumberedPicture(23, 17);
    const uint32_t key = pic->Pixel(5, 5);
    auto* item = AddPicture(pic, true, key);
    struct Case { int x, y, w, h; double cx, cy; } cases[] = {
        {320, 190, 40, 40, 0.5, 0.5}, {5, 7, 33, 31, 0.5, 0.5}, {630, 370, 52, 20, 0.5, 0.5},
        {100, 0, 96, 31, 0.5, 0.0}, {-10, 200, 30, 60, 0.0, 0.0}, {300, 379, 23, 17, 0.0, 0.0}};
    std::vector<uint16_t> want(640 * 380);
    for (const Case& c : cases) {
        for (int angle = 0; angle < 256; ++angle) {
            Surface().Fill(0);
            std::fill(want.begin(), want.end(), 0);
            item->DrawRotated(Surface(), c.x, c.y, c.w, c.h, 0, c.cx, c.cy, angle, 255);
            ReferenceRotated(want, 640, 380, *pic, c.x, c.y, c.w, c.h, c.cx, c.cy, angle, true, key);
            ASSERT_EQ(Pixels(Surface()), want) << "at " << c.x << "," << c.y << " angle " << angle;
        }
    }
}

TEST_F(DrawTest, RotatedOffTheSurfaceOrDegenerateDrawsNothing) {
    Open();
    auto* item = AddPicture(NumberedPicture(8, 8), false);
    Surface().Fill(0);
    item->DrawRotated(Surface(), -100, -100, 40, 40, 0, 0.5, 0.5, 30, 255);
    item->DrawRotated(Surface(), 800, 1000, 40, 40, 0, 0.5, 0.5, 0, 255);
    item->DrawRotated(Surface(), 100, 100, 0, 40, 0, 0.5, 0.5, 0, 255);
    item->DrawRotated(Surface(), 100, 100, 40, 0, 0, 0.5, 0.5, 0, 255);
    item->DrawRotated(Surface(), 100, 100, 40, 40, 0, 0.5, 0.5, 0, 0);
    item->DrawRotated(Surface(), 100, 100, 40, 40, 3, 0.5, 0.5, 0, 255);
    for (uint16_t v : Pixels(Surface())) ASSERT_EQ(v, 0);
    // Partly visible: only the visible part, and exactly the stretched picture there.
    item->DrawRotated(Surface(), -4, -4, 16, 16, 0, 0.0, 0.0, 0, 255);
    EXPECT_NE(Surface().At(0, 0), 0);
    EXPECT_NE(Surface().At(11, 11), 0);
    EXPECT_EQ(Surface().At(12, 12), 0);
}

TEST_F(DrawTest, PatternGridAndStretchedDraws) {
    Open();
    auto pic = NumberedPicture(22, 10);  // two 10 x 10 cells with a 2-pixel gap
    auto list = std::make_unique<media::TDXImageList>();
    auto* item = list->Items.Add();
    item->SetPicture(pic);
    item->PatternWidth = 10;
    item->PatternHeight = 10;
    item->SkipWidth = 2;
    item->Transparent = false;
    list->SetDXDraw(draw_.get());
    ASSERT_EQ(item->PatternCount(), 2);
    Surface().Fill(0);
    item->Draw(Surface(), 0, 0, 1);
    EXPECT_EQ(Surface().At(0, 0), ColorToDevice(pic->Pixel(12, 0)));
    EXPECT_EQ(Surface().At(9, 9), ColorToDevice(pic->Pixel(21, 9)));
    EXPECT_EQ(Surface().At(10, 0), 0);
    // A stretched draw to twice the size repeats every source pixel twice.
    item->DrawRotated(Surface(), 100, 100, 20, 20, 0, 0.0, 0.0, 0, 255);
    EXPECT_EQ(Surface().At(101, 101), ColorToDevice(pic->Pixel(0, 0)));
    EXPECT_EQ(Surface().At(102, 100), ColorToDevice(pic->Pixel(1, 0)));
    EXPECT_EQ(Surface().At(119, 119), ColorToDevice(pic->Pixel(9, 9)));
    EXPECT_EQ(Surface().At(120, 119), 0);
    // Two rows of cells: pattern index = row x columns + column.
    auto tall = NumberedPicture(22, 23);
    item->SetPicture(tall);
    item->SkipHeight = 3;
    item->Restore();
    ASSERT_EQ(item->PatternCount(), 4);
    EXPECT_EQ(item->Patterns()[3].Rect.Left, 12);
    EXPECT_EQ(item->Patterns()[3].Rect.Top, 13);
    EXPECT_EQ(item->Patterns()[2].Rect.Left, 0);
    EXPECT_EQ(item->Patterns()[2].Rect.Bottom, 23);
    // A gap that cancels the cell size makes no grid (and no division by zero).
    item->SkipWidth = -10;
    item->Restore();
    EXPECT_EQ(item->PatternCount(), 0);
    item->SkipWidth = -15;
    item->Restore();
    EXPECT_EQ(item->PatternCount(), 0);
    item->Draw(Surface(), 0, 0, 0);  // no pattern: nothing happens
    list.reset();
}

TEST_F(DrawTest, AGridPatternDrawsLikeAPictureOfItsCellAlone) {
    Open();
    auto sheet = NumberedPicture(29, 26);  // 3 x 2 cells of 9 x 12 with gaps of 1 and 2
    auto cell = std::make_shared<media::TDIB>(9, 12, 24);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 9; ++x) cell->SetPixel(x, y, sheet->Pixel(10 + x, 14 + y));
    const uint32_t key = sheet->Pixel(12, 16);
    auto* whole = AddPicture(cell, true, key);
    auto* grid = AddPicture(sheet, true, key);
    grid->PatternWidth = 9;
    grid->PatternHeight = 12;
    grid->SkipWidth = 1;
    grid->SkipHeight = 2;
    grid->Restore();
    ASSERT_EQ(grid->PatternCount(), 6);
    for (int angle : {0, 13, 64, 100, 128, 200, 250}) {
        Surface().Fill(0);
        whole->DrawRotated(Surface(), 60, 50, 31, 19, 0, 0.5, 0.5, angle, 255);
        auto want = Pixels(Surface());
        Surface().Fill(0);
        grid->DrawRotated(Surface(), 60, 50, 31, 19, 4, 0.5, 0.5, angle, 255);
        ASSERT_EQ(Pixels(Surface()), want) << "angle " << angle;
    }
    Surface().Fill(0);
    whole->Draw(Surface(), -3, 5, 0);
    auto want = Pixels(Surface());
    Surface().Fill(0);
    grid->Draw(Surface(), -3, 5, 4);
    EXPECT_EQ(Pixels(Surface()), want);
}

TEST_F(DrawTest, ACollectionCannotBeInitialisedForAClosedDisplay) {
    media::TDXImageList list;
    auto* item = list.Items.Add();
    item->SetPicture(NumberedPicture(3, 3));
    try {
        list.Items.Initialize(draw_.get());
        FAIL() << "the display is not open";
    } catch (const media::EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "TPictureCollection cannot be initialized");
    }
    item->Restore();
    EXPECT_FALSE(item->Initialized());
    EXPECT_EQ(item->PatternCount(), 0);
}

TEST_F(DrawTest, ItemsOutsideTheListRaiseTheListIndexError) {
    Open();
    AddPicture(NumberedPicture(2, 2));
    auto& items = lists_.back()->Items;
    EXPECT_NO_THROW(items.Items(0));
    EXPECT_THROW(items.Items(1), media::EListError);
    EXPECT_THROW(items.Items(-1), media::EListError);
    try {
        items.Items(5);
    } catch (const media::EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
}

TEST_F(DrawTest, PicturesDrawNothingUntilTheDisplayIsInitialised) {
    auto* item = AddPicture(NumberedPicture(4, 4));
    EXPECT_FALSE(item->Initialized());
    EXPECT_EQ(item->PatternCount(), 0);
    EXPECT_EQ(item->Width(), 4);  // sizes are valid anyway
    Open();
    EXPECT_TRUE(item->Initialized());
    EXPECT_EQ(item->PatternCount(), 1);
    draw_->Finalize();
    EXPECT_FALSE(item->Initialized());
    EXPECT_EQ(item->PatternCount(), 0);
}
