// The frame as the player sees it, on the quick paths: a level's back buffer presented where
// it lies with the HUD painted below it only when the HUD changes, 16-bit pictures kept in the
// display's format, and a collection read ahead of its load.
#include <unistd.h>

#include <filesystem>
#include <random>

#include "MediaFixture.h"
#include "media/CollectionFile.h"
#include "media/DIBFile.h"

using media::ColorToDevice;
using media::TImage;
using media::TPanel;

namespace {

class PresentationTest : public HeadlessDisplay {
protected:
    // A level's layout: the display 640 x 380 at the top, the HUD panel below with a picture.
    void OpenLevel() {
        Open(640, 480);
        panel_.SetParent(form_.get());
        panel_.SetBounds(0, 385, 640, 78);
        panel_.Color = 0x000080;
        image_.SetParent(&panel_);
        image_.SetBounds(20, 39, 4, 3);
        auto pic = std::make_shared<media::TDIB>(4, 3, 24);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) pic->SetPixel(x, y, 0x102030u * (1 + x + 4 * y));
        image_.SetPicture(pic);
        draw_->SetHeight(380);
    }
    // What the window must show: the back buffer, the form's colour, the panel and its picture.
    std::vector<uint16_t> Expected() {
        std::vector<uint16_t> w(640 * 480, ColorToDevice(form_->Color));
        for (int y = 0; y < 380; ++y)
            for (int x = 0; x < 640; ++x) w[y * 640 + x] = Surface().At(x, y);
        if (panel_.Visible) {
            for (int y = 385; y < 463; ++y)
                for (int x = 0; x < 640; ++x) w[y * 640 + x] = ColorToDevice(panel_.Color);
            if (image_.Visible)
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 4; ++x)
                        w[(385 + 39 + y) * 640 + 20 + x] = ColorToDevice(image_.Picture()->Pixel(x, y));
        }
        return w;
    }
    void Scribble(uint32_t seed) {
        std::mt19937 rng(seed);
        for (int y = 0; y < Surface().Height(); ++y)
            for (int x = 0; x < 640; ++x) Surface().At(x, y) = static_cast<uint16_t>(rng());
    }
    TPanel panel_;
    TImage image_;
};

}  // namespace

TEST_F(PresentationTest, ALevelFrameShowsTheBackBufferAndTheHudPaintedOnlyWhenItChanges) {
    OpenLevel();
    const uint64_t before = form_->OutsidePaints();
    Scribble(1);
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented(), Expected());
    EXPECT_EQ(form_->OutsidePaints(), before + 1);
    // Frames that change only the play area leave the HUD as it was painted.
    for (uint32_t i = 2; i < 5; ++i) {
        Scribble(i);
        draw_->Flip();
        ASSERT_EQ(platform_->lastPresented(), Expected()) << "frame " << i;
    }
    EXPECT_EQ(form_->OutsidePaints(), before + 1);
    // Each change of what the HUD shows paints it again, once.
    const std::function<void()> changes[] = {
        [&] { image_.Visible = false; },
        [&] { image_.Visible = true; },
        [&] { panel_.Color = 0x008000; },
        [&] { image_.SetLeft(30); image_.SetLeft(20); },  // moved and back: nothing to paint
        [&] { image_.SetPicture(std::make_shared<media::TDIB>(*image_.Picture())); },
        [&] { panel_.Visible = false; },
    };
    const int paints[] = {1, 1, 1, 0, 1, 1};
    for (int i = 0; i < 6; ++i) {
        const uint64_t n = form_->OutsidePaints();
        changes[i]();
        Scribble(10 + i);
        draw_->Flip();
        draw_->Flip();
        EXPECT_EQ(platform_->lastPresented(), Expected()) << "change " << i;
        EXPECT_EQ(form_->OutsidePaints(), n + paints[i]) << "change " << i;
    }
}

TEST_F(PresentationTest, DrawingOnTheBackBufferNeverReachesTheRowsBelowIt) {
    OpenLevel();
    Scribble(3);
    draw_->Flip();
    auto pic = std::make_shared<media::TDIB>(50, 50, 24);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) pic->SetPixel(x, y, 0xFFFFFF);
    media::TPictureCollectionItem* item = AddPicture(pic, false);
    Surface().Fill(ColorToDevice(0xFF0000));
    item->Draw(Surface(), 300, 360, 0);
    item->DrawRotated(Surface(), 100, 370, 60, 60, 0, 0.5, 0.5, 37);
    auto& canvas = Surface().Canvas();
    canvas.SetPixel(5, 380, 0xFFFFFF);
    canvas.MoveTo(0, 375);
    canvas.LineTo(639, 479);
    canvas.Font.Size = 15;
    canvas.TextOut(10, 370, "Pauza");
    canvas.Release();
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented(), Expected());
}

TEST_F(PresentationTest, ACoveredDisplayOrADifferentLayoutTakesTheGeneralPath) {
    OpenLevel();
    Scribble(4);
    draw_->Flip();
    // A panel over the play area: it shows on top, and the display under it is clipped.
    TPanel over;
    over.SetParent(form_.get());
    over.SetBounds(100, 100, 20, 20);
    over.Color = 0xFFFFFF;
    Scribble(5);
    draw_->Flip();
    std::vector<uint16_t> want = Expected();
    for (int y = 100; y < 120; ++y)
        for (int x = 100; x < 120; ++x) want[y * 640 + x] = ColorToDevice(0xFFFFFF);
    EXPECT_EQ(platform_->lastPresented(), want);
    // Gone again: the quick path paints the rows below afresh.
    over.SetParent(nullptr);
    const uint64_t n = form_->OutsidePaints();
    Scribble(6);
    draw_->Flip();
    EXPECT_EQ(platform_->lastPresented(), Expected());
    EXPECT_EQ(form_->OutsidePaints(), n + 1);
}

TEST(Pictures565, ASixteenBitPictureReadsAsItsColoursAndBuildsTheSameSurface) {
    media::TDIB original(9, 7, 16);
    std::mt19937 rng(11);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) original.SetPixel(x, y, media::Color565(static_cast<uint16_t>(rng())));
    original.SetPixel(0, 0, 0x008000);  // the deadly green survives
    original.SetPixel(1, 0, 0x000000);
    const std::vector<uint8_t> bytes = media::WriteDIB(original);
    const media::TDIB read = media::ReadDIB(bytes.data(), bytes.size());
    ASSERT_NE(read.DevicePixels(), nullptr);
    EXPECT_EQ(read.BitCount(), 16);
    EXPECT_EQ(read.Pixels(), original.Pixels());
    EXPECT_EQ(read.Pixel(0, 0), 0x008000u);
    EXPECT_EQ((*read.DevicePixels())[1], 0);
    // Changing a pixel gives up the display-format copy and keeps the others.
    media::TDIB changed = read;
    changed.SetPixel(2, 2, 0xFFFFFF);
    EXPECT_EQ(changed.DevicePixels(), nullptr);
    EXPECT_EQ(changed.Pixel(2, 2), 0xFFFFFFu);
    EXPECT_EQ(changed.Pixel(3, 2), original.Pixel(3, 2));
}

class Pictures565Surface : public HeadlessDisplay {};

TEST_F(Pictures565Surface, TheKeyRuleIsTheSameForBothKindsOfPicture) {
    Open();
    media::TDIB original(16, 4, 16);
    for (int i = 0; i < 64; ++i) original.SetPixel(i % 16, i / 16, i % 3 == 0 ? 0x000000 : 0x10A0F0);
    const std::vector<uint8_t> bytes = media::WriteDIB(original);
    // A key colour that the display shows exactly, and one that it rounds (0x010101 shows as
    // black, so black pixels of the picture must be nudged off the key).
    for (media::TColor key : {0x000000u, 0x010101u}) {
        auto kept = std::make_shared<media::TDIB>(media::ReadDIB(bytes.data(), bytes.size()));
        auto widened = std::make_shared<media::TDIB>(*kept);
        widened->Pixels();  // the 24-bit path
        ASSERT_NE(kept->DevicePixels(), nullptr);
        ASSERT_EQ(widened->DevicePixels(), nullptr);
        media::TPictureCollectionItem* a = AddPicture(kept, true, key);
        media::TPictureCollectionItem* b = AddPicture(widened, true, key);
        const media::TDirectDrawSurface& sa = *a->Patterns()[0].Surface;
        const media::TDirectDrawSurface& sb = *b->Patterns()[0].Surface;
        EXPECT_TRUE(std::equal(sa.Bits(), sa.Bits() + 64, sb.Bits())) << std::hex << key;
        EXPECT_EQ(sa.At(0, 0), key == 0 ? 0 : 1) << std::hex << key;
    }
}

class PreparedCollection : public HeadlessDisplay {
protected:
    std::string dir_ = "/tmp/orbita-prepared-" + std::to_string(getpid());
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        HeadlessDisplay::TearDown();
    }
};

TEST_F(PreparedCollection, ALoadAfterPrepareGivesWhatAPlainLoadGives) {
    Open();
    std::filesystem::create_directories(dir_);
    std::vector<media::PictureItemData> items(2);
    for (int i = 0; i < 2; ++i) {
        items[i].Name = "p" + std::to_string(i);
        items[i].Transparent = i == 1;
        items[i].Picture = std::make_shared<media::TDIB>(8, 6, 16);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) items[i].Picture->SetPixel(x, y, media::Color565(uint16_t(x * 977 + y * 31 + i)));
    }
    const std::string file = dir_ + "/b.dxg";
    media::WritePictureCollectionFile(file, items);
    media::TDXImageList plain, ahead;
    plain.SetDXDraw(draw_.get());
    ahead.SetDXDraw(draw_.get());
    plain.Items.LoadFromFile(file);
    ahead.Items.Prepare(file);
    EXPECT_TRUE(ahead.Items.Prepared(file));
    EXPECT_EQ(ahead.Items.Count(), 0) << "prepared items wait until the load";
    ahead.Items.LoadFromFile(file);
    EXPECT_FALSE(ahead.Items.Prepared(file));
    ASSERT_EQ(ahead.Items.Count(), plain.Items.Count());
    for (int i = 0; i < plain.Items.Count(); ++i) {
        media::TPictureCollectionItem* p = plain.Items.Items(i);
        media::TPictureCollectionItem* q = ahead.Items.Items(i);
        EXPECT_EQ(q->Name, p->Name);
        EXPECT_EQ(q->Transparent, p->Transparent);
        ASSERT_TRUE(q->Initialized());
        Surface().Fill(0);
        p->Draw(Surface(), 0, 0, 0);
        const std::vector<uint16_t> viaPlain(Surface().Bits(), Surface().Bits() + 640 * 480);
        Surface().Fill(0);
        q->Draw(Surface(), 0, 0, 0);
        EXPECT_TRUE(std::equal(viaPlain.begin(), viaPlain.end(), Surface().Bits())) << "item " << i;
    }
    // A file that cannot be read ahead is reported by the load, as a plain load reports it.
    ahead.Items.Prepare(dir_ + "/absent.dxg");
    EXPECT_FALSE(ahead.Items.Prepared(dir_ + "/absent.dxg"));
    try {
        ahead.Items.LoadFromFile(dir_ + "/absent.dxg");
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + dir_ + "/absent.dxg");
    }
    EXPECT_EQ(ahead.Items.Count(), 2) << "a file that cannot be opened leaves the items";
}

class KeyRuns : public HeadlessDisplay {};

TEST_F(KeyRuns, AKeyedBlitByRunsEqualsThePixelByPixelOneAtEveryClip) {
    Open(64, 48);
    std::mt19937 rng(5);
    media::TDirectDrawSurface sprite, plain;
    ASSERT_TRUE(sprite.Create(23, 17));
    ASSERT_TRUE(plain.Create(23, 17));
    const uint16_t key = 0x1234;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) {
            // Runs of every length, rows wholly key, rows with no key at all.
            const uint16_t p = y == 3 ? key : y == 5 ? 0x0F0F : (rng() % 3 == 0 ? key : static_cast<uint16_t>(rng()));
            sprite.At(x, y) = p;
            plain.At(x, y) = p;
        }
    sprite.SetColorKey(key);
    plain.SetColorKey(key);
    sprite.PrepareKeyRuns();
    ASSERT_TRUE(sprite.HasKeyRuns());
    EXPECT_FALSE(plain.HasKeyRuns());
    media::TDirectDrawSurface a, b;
    ASSERT_TRUE(a.Create(64, 48));
    ASSERT_TRUE(b.Create(64, 48));
    for (int dy = -20; dy <= 50; dy += 7)
        for (int dx = -25; dx <= 66; dx += 5) {
            const media::TRect src{dx % 3, dy % 2 == 0 ? 0 : 2, 23 - (dx & 1), 17 - (dy & 3)};
            for (int i = 0; i < 64 * 48; ++i) a.Bits()[i] = b.Bits()[i] = static_cast<uint16_t>(i * 7);
            ASSERT_TRUE(a.BltFast(dx, dy, sprite, src, true));
            ASSERT_TRUE(b.BltFast(dx, dy, plain, src, true));
            ASSERT_TRUE(std::equal(a.Bits(), a.Bits() + 64 * 48, b.Bits())) << dx << ", " << dy;
        }
    EXPECT_TRUE(sprite.HasKeyRuns()) << "reading a sprite keeps its runs";
    sprite.At(0, 0) = 1;
    EXPECT_FALSE(sprite.HasKeyRuns()) << "a write gives them up";
    sprite.PrepareKeyRuns();
    sprite.SetColorKey(0x4321);
    EXPECT_FALSE(sprite.HasKeyRuns()) << "so does a new key";
}
