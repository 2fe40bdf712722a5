// Scene and level set-up against a small data directory written here: every picture file
// names its items after itself and sizes them by their index, and every music file holds two
// one-second waves that the file marks as looped, so what the set-up loaded, which picture
// sized an entry and which music it started can all be read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/Main.h"
#include "game/State.h"
#include "game/data1.h"
#include "media/CollectionFile.h"
#include "media/Errors.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessControl.h"
#include "tests/support/HeadlessShell.h"

using namespace game;

namespace {

constexpr int32_t kUntouched = 12345;

// Item i of a sprite file is (40 + i) x (30 + i) pixels, of a vob file (60 + i) x (20 + i).
void writePictures(const std::string& path, const std::string& name, int count, int w0, int h0) {
    std::vector<media::PictureItemData> items;
    for (int i = 0; i < count; ++i) {
        media::PictureItemData d;
        d.Name = name + ":" + std::to_string(i);
        d.Picture = std::make_shared<media::TDIB>(w0 + i, h0 + i, 8);
        items.push_back(d);
    }
    media::WritePictureCollectionFile(path, items);
}

void writeMusic(const std::string& path, const std::string& name) {
    std::vector<media::WaveItemData> items;
    for (int i = 0; i < 2; ++i) {
        media::WaveItemData d;
        d.Name = name + ":" + std::to_string(i);
        d.Looped = true;
        d.Wave = std::make_shared<media::TWave>();
        d.Wave->Data.assign(22050, 0x80);  // one second
        items.push_back(d);
    }
    media::WriteWaveCollectionFile(path, items);
}

class SceneSetUp : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = ::testing::TempDir() + "orbita-scenes-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        for (const char* sub : {"pozadi", "alin", "vob", "zvuky"}) std::filesystem::create_directory(dir_ + "/" + sub);
        writePictures(dir_ + "/pozadi/story.dxg", "story", 5, 4, 4);
        writePictures(dir_ + "/pozadi/menu.dxg", "menu", 4, 4, 4);
        const struct {
            const char* name;
            int count;
        } backgrounds[] = {{"po1", 9}, {"po2", 8}, {"po3", 8}, {"po4", 4},  {"po5", 9},
                           {"po6", 7}, {"po7a", 9}, {"po7b", 9}, {"po8", 7}};
        for (const auto& b : backgrounds) writePictures(dir_ + "/pozadi/" + b.name + ".dxg", b.name, b.count, 4, 4);
        for (const char* n : {"al1", "al2", "al3", "al4", "al5", "al7", "al8"})
            writePictures(dir_ + "/alin/" + n + ".dxg", n, 17, 40, 30);
        for (const char* n : {"vob2", "vob5", "vob6", "vob7", "vob8"})
            writePictures(dir_ + "/vob/" + n + ".dxg", n, 16, 60, 20);
        for (const char* n : {"menu1", "d1", "d2", "d3", "d4", "d5", "d6", "d7", "d8"})
            writeMusic(dir_ + "/zvuky/" + n + ".dxg", n);
        ASSERT_NE(getcwd(oldDir_, sizeof oldDir_), nullptr);
        ASSERT_EQ(chdir(dir_.c_str()), 0);

        shell_.Open();
    }
    void TearDown() override {
        if (!form_) return;
        shell_.Close();
        if (chdir(oldDir_) != 0) ADD_FAILURE() << "cannot return to the start directory";
        std::filesystem::remove_all(dir_);
    }

    void enterLevel(int l) {
        inStory = inTitle = inMenu = paused = false;
        level = static_cast<uint8_t>(l);
        setupScene();
    }
    static void markEntriesUntouched() {
        for (auto* t : {&aliensA, &aliensB, &aliensC, &aliensD})
            for (Alien& a : *t) a.x = kUntouched;
        levelObject.x = kUntouched;
        for (Stone& s : stones) s.x = kUntouched;
    }
    static int placed(const Table1<Alien, 6>& t) {
        int n = 0;
        for (const Alien& a : t) n += a.x != kUntouched;
        return n;
    }
    std::string first(media::TDXImageList& list) { return list.Items.Items(0)->Name; }
    media::TWaveCollectionItem* music(int i) { return form_->List2.Items.Items(i); }
    media::TWaveCollectionItem* hudba() { return form_->DXWaveList1.Items.Items(8); }

    std::string dir_;
    char oldDir_[4096] = {};
    support::HeadlessShell shell_;
    std::unique_ptr<TMainForm>& form_ = shell_.form;
};

}  // namespace

TEST_F(SceneSetUp, EveryLevelLoadsItsFilesAndPlacesItsOwnEntriesOnly) {
    struct Row {
        const char *pozadi, *alin, *vob;  // vob nullptr: the previous level's set stays
        int a, b, c, d;                   // entries placed per group
        bool object;
        int lastTile;
        float speed;
    };
    const Row rows[] = {
        {"po1", "al1", nullptr, 6, 6, 0, 0, false, 8, 1.2f}, {"po2", "al2", "vob2", 3, 3, 0, 0, false, 7, 0.6f},
        {"po3", "al3", nullptr, 2, 4, 4, 2, false, 7, 1.2f}, {"po4", "al4", nullptr, 2, 6, 0, 0, false, 3, 0.6f},
        {"po5", "al5", "vob5", 1, 4, 1, 0, true, 8, 0.8f},   {"po6", "al1", "vob6", 3, 4, 1, 1, true, 6, 1.2f},
        {"po7a", "al7", "vob7", 4, 4, 1, 1, true, 8, 1.2f},  {"po8", "al8", "vob8", 1, 3, 0, 0, true, 6, 1.2f},
    };
    std::string vob = first(form_->vob);
    for (int l = 1; l <= 8; ++l) {
        const Row& r = rows[l - 1];
        SCOPED_TRACE("level " + std::to_string(l));
        markEntriesUntouched();
        weaponLevel = 3;
        levelClock = 99;
        clockPixels = 20;
        deathFrame = 14;
        shipDying = true;
        gameFinished = true;
        form_->DXDraw.SetHeight(480);
        enterLevel(l);
        EXPECT_EQ(first(form_->pozadi), std::string(r.pozadi) + ":0");
        EXPECT_EQ(first(form_->alin), std::string(r.alin) + ":0");
        if (r.vob) vob = std::string(r.vob) + ":0";
        EXPECT_EQ(first(form_->vob), vob);
        EXPECT_EQ(music(0)->Name, "d" + std::to_string(l) + ":0");
        EXPECT_EQ(placed(aliensA), r.a);
        EXPECT_EQ(placed(aliensB), r.b);
        EXPECT_EQ(placed(aliensC), r.c);
        EXPECT_EQ(placed(aliensD), r.d);
        EXPECT_EQ(levelObject.x != kUntouched, r.object);
        EXPECT_EQ(stones[10].x, l == 6 ? 800 : kUntouched);
        EXPECT_EQ(lastTile, r.lastTile);
        EXPECT_FLOAT_EQ(scrollSpeed, r.speed);
        EXPECT_FLOAT_EQ(scrollAccum, 1.0f);
        EXPECT_EQ(weaponLevel, l == 1 ? 1 : 6);
        EXPECT_EQ(powerUpX, l == 1 ? 400 : -400);
        EXPECT_EQ(powerUpY, 170);
        EXPECT_EQ(levelClock, 0);
        EXPECT_EQ(clockPixels, 0);
        EXPECT_EQ(deathFrame, 1);
        EXPECT_FALSE(shipDying);
        EXPECT_FALSE(gameFinished);
        EXPECT_EQ(form_->DXDraw.Height(), 380);
        // Sizes come from the pictures the level names, with their adjustments.
        const Alien* sized = nullptr;
        int w = 0, h = 0;
        switch (l) {
            case 1: sized = &aliensB[6], w = 40 - 40, h = 30 - 50; break;
            case 2: sized = &aliensB[3], w = 50, h = 40; break;
            case 3: sized = &aliensD[2], w = 46, h = 36; break;
            case 4: sized = &aliensB[6], w = 46, h = 36; break;
            case 5: sized = &aliensC[1], w = 61, h = 21; break;
            case 6: sized = &aliensD[1], w = 72, h = 32; break;
            case 7: sized = &aliensB[4], w = 50 - 40, h = 40 - 40; break;
            case 8: sized = &aliensA[1], w = 40, h = 30 + 35; break;
            default: break;
        }
        if (sized) {
            EXPECT_EQ(sized->width, w);
            EXPECT_EQ(sized->height, h);
            EXPECT_EQ(sized->explodeFrame, 1);
            EXPECT_EQ(sized->anim, 1);
            EXPECT_EQ(sized->hits, sized->maxHits);
        }
    }
}

TEST_F(SceneSetUp, LevelStartsThatAreEasyToGetWrong) {
    enterLevel(2);
    EXPECT_EQ(aliensA[1].x, 10);
    EXPECT_EQ(aliensA[2].x, 10);
    EXPECT_EQ(aliensA[3].x, 80);
    EXPECT_EQ(bgTiles[7].y, 380 * 7);

    enterLevel(4);  // tile 1 waits above the play area, tile 0 is in view
    const int32_t tiles[4][2] = {{0, 0}, {0, -380}, {-640, 0}, {-1280, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bgTiles[i].x, tiles[i][0]) << "tile " << i;
        EXPECT_EQ(bgTiles[i].y, tiles[i][1]) << "tile " << i;
    }

    // A restart of level 7 loads the first picture set again and hides the item again.
    enterLevel(7);
    EXPECT_TRUE(po7bPending);
    EXPECT_FALSE(form_->recept.Visible);
    form_->pozadi.Items.LoadFromFile("pozadi\\po7b.dxg");
    po7bPending = false;
    form_->recept.Visible = true;
    enterLevel(7);
    EXPECT_EQ(first(form_->pozadi), "po7a:0");
    EXPECT_TRUE(po7bPending);
    EXPECT_FALSE(form_->recept.Visible);
}

TEST_F(SceneSetUp, StoryTitleAndMenuSetUpsAndTheirMusic) {
    inStory = true;
    bgTiles[6] = {7, 7};
    setupScene();
    EXPECT_EQ(first(form_->pozadi), "story:0");
    EXPECT_EQ(music(0)->Name, "menu1:0");
    EXPECT_TRUE(music(0)->Looped());
    EXPECT_TRUE(music(0)->Playing());
    EXPECT_EQ(lastTile, 0);
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(bgTiles[i].x, -640);
    EXPECT_EQ(bgTiles[6].x, 7);
    EXPECT_EQ(form_->DXDraw.Cursor, media::crNone);

    // The title stops the story music and starts nothing.
    inStory = false;
    inTitle = true;
    lives = 1;
    form_->zi2.Visible = form_->zi3.Visible = false;
    form_->DXDraw.SetHeight(380);
    setupScene();
    EXPECT_FALSE(music(0)->Playing());
    EXPECT_FALSE(hudba()->Playing());
    EXPECT_EQ(lives, 3);
    EXPECT_TRUE(form_->zi2.Visible && form_->zi3.Visible);
    EXPECT_EQ(form_->DXDraw.Height(), 480);
    EXPECT_EQ(first(form_->pozadi), "menu:0");
    EXPECT_EQ(bgTiles[0].x, 0);
    EXPECT_EQ(bgTiles[0].y, -380);

    // The menu starts "hudba" looped, and restarts it from its beginning on every entry.
    inTitle = false;
    inMenu = true;
    setupScene();
    ASSERT_TRUE(hudba()->Looped());
    ASSERT_NE(hudba()->MainBuffer(), nullptr);
    EXPECT_TRUE(hudba()->MainBuffer()->Looping());
    platform::headlessControl(*shell_.platform)->advanceClock(1000);
    EXPECT_GT(hudba()->MainBuffer()->Position(), 0u);
    setupScene();
    EXPECT_EQ(hudba()->MainBuffer()->Position(), 0u);
    EXPECT_TRUE(hudba()->MainBuffer()->Looping());

    // It plays on through the levels; each level's music follows its own table, and the
    // menu stops the looping level music when it is entered again.
    const struct {
        bool looped0, playing0, looped1;
    } expected[] = {{true, true, true},   {true, true, true},  {true, true, true},  {false, false, true},
                    {true, false, false}, {true, true, true},  {true, false, true}, {true, true, false}};
    for (int l = 1; l <= 8; ++l) {
        SCOPED_TRACE("level " + std::to_string(l));
        enterLevel(l);
        EXPECT_EQ(music(0)->Looped(), expected[l - 1].looped0);
        EXPECT_EQ(music(0)->Playing(), expected[l - 1].playing0);
        EXPECT_EQ(music(1)->Looped(), expected[l - 1].looped1);
        EXPECT_FALSE(music(1)->Playing());
        EXPECT_TRUE(hudba()->Playing());
    }
    inMenu = true;
    setupScene();
    EXPECT_FALSE(music(0)->Looped());
    EXPECT_FALSE(music(0)->Playing());
    EXPECT_FALSE(music(1)->Looped());
}

TEST_F(SceneSetUp, ALoadThatFailsLeavesTheSetUpWhereItStopped) {
    auto failsWith = [this](int l, const std::string& message) {
        try {
            enterLevel(l);
        } catch (const media::Exception& e) {
            EXPECT_EQ(e.Message(), message) << "level " << l;
            return;
        }
        ADD_FAILURE() << "level " << l << " set up without an error";
    };
    auto spoil = [](int32_t clock) {
        levelClock = clock;
        weaponLevel = 2;
        lastTile = 1;
        waveSize = 1;
        scrollSpeed = 5.0f;
    };

    // Level 1 resets and lays out its tiles before it loads anything.
    std::remove("pozadi/po1.dxg");
    spoil(50);
    failsWith(1, "Cannot open file pozadi\\po1.dxg");
    EXPECT_EQ(levelClock, 0);
    EXPECT_EQ(weaponLevel, 1);
    EXPECT_EQ(lastTile, 8);
    EXPECT_EQ(bgTiles[8].x, 640 * 8);
    EXPECT_EQ(waveSize, 1);
    EXPECT_FLOAT_EQ(scrollSpeed, 1.2f);  // the common start came first
    EXPECT_EQ(form_->DXDraw.Height(), 380);

    // Level 2 also sets its speed first; its tiles come after the pictures.
    std::remove("vob/vob2.dxg");
    spoil(50);
    failsWith(2, "Cannot open file vob\\vob2.dxg");
    EXPECT_EQ(levelClock, 0);
    EXPECT_EQ(weaponLevel, 6);
    EXPECT_FLOAT_EQ(scrollSpeed, 0.6f);
    EXPECT_EQ(lastTile, 1);
    EXPECT_EQ(first(form_->alin), "al2:0");

    // Levels 3 to 8 load first: nothing of the level is reset.
    std::remove("alin/al3.dxg");
    spoil(50);
    failsWith(3, "Cannot open file alin\\al3.dxg");
    EXPECT_EQ(first(form_->pozadi), "po3:0");
    EXPECT_EQ(levelClock, 50);
    EXPECT_EQ(weaponLevel, 2);
    EXPECT_FLOAT_EQ(scrollSpeed, 1.2f);

    // Level 7 has asked for its second set before its alien pictures fail.
    std::remove("alin/al7.dxg");
    po7bPending = false;
    failsWith(7, "Cannot open file alin\\al7.dxg");
    EXPECT_TRUE(po7bPending);

    // The music comes last: everything else of level 5 is in place.
    std::remove("zvuky/d5.dxg");
    markEntriesUntouched();
    spoil(50);
    failsWith(5, "Cannot open file zvuky\\d5.dxg");
    EXPECT_EQ(levelClock, 0);
    EXPECT_EQ(placed(aliensB), 4);
    EXPECT_EQ(aliensC[1].x, 270);

    // A picture set with too few items fails at its first missing item: level 8's alien
    // set without item 4 places the descending object and aliensA 1, not the flyers.
    writePictures("alin/al8.dxg", "al8", 4, 40, 30);
    markEntriesUntouched();
    failsWith(8, "List index out of bounds (4)");
    EXPECT_EQ(levelObject.x, 152);
    EXPECT_EQ(aliensA[1].x, 205);
    EXPECT_EQ(aliensA[1].height, 30 + 35);
    EXPECT_EQ(aliensB[2].x, kUntouched);
}
