// The game shell's routines against hand-worked cases, on a main form over the headless
// back-end (no data files: the pictures the routines draw are put into the lists here).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/Main.h"
#include "game/State.h"
#include "game/StateDump.h"
#include "game/data1.h"
#include "platform/Platform.h"
#include "tests/support/HeadlessShell.h"

using namespace game;

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        shell_.Open();
    }
    void TearDown() override {
        shell_.Close();
        godMode = false;
    }
    TMainForm& form() { return *form_; }
    media::TDirectDrawSurface& surface() { return form_->DXDraw.Surface(); }
    // A plain picture of one colour as a new item of a list.
    void addPicture(media::TDXImageList& list, int w, int h, uint32_t colour, bool transparent = false) {
        auto dib = std::make_shared<media::TDIB>(w, h, 24);
        for (auto& p : dib->Pixels()) p = colour;
        media::TPictureCollectionItem* it = list.Items.Add();
        it->Transparent = transparent;
        it->SetPicture(dib);
        it->Initialize();
    }
    int vybuchCopies() { return form_->DXWaveList1.Items.Items(1)->CopyCount(); }

    support::HeadlessShell shell_;
    std::unique_ptr<TMainForm>& form_ = shell_.form;
};

}  // namespace

TEST(Random, StaysInRangeAndGivesZeroForEmptyRanges) {
    setRandomSeed(1);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int r = Random(60);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 60);
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 60u);  // every face value can come up
    EXPECT_EQ(Random(1), 0);
}

TEST(Random, TheSameSeedGivesTheSameSequence) {
    setFixedSeed(true, 42);
    Randomize();
    std::vector<int> a, b;
    for (int i = 0; i < 50; ++i) a.push_back(Random(1000));
    Randomize();
    for (int i = 0; i < 50; ++i) b.push_back(Random(1000));
    EXPECT_EQ(a, b);
    setFixedSeed(true, 43);
    Randomize();
    std::vector<int> c;
    for (int i = 0; i < 50; ++i) c.push_back(Random(1000));
    EXPECT_NE(a, c);
    setFixedSeed(false, 0);
}

TEST(State, CountersHaveTheirWidths) {
    clearAllState();
    frameCounter = 255;
    frameCounter += 1;
    EXPECT_EQ(frameCounter, 0);
    deathFrame = 255;
    deathFrame += 1;
    EXPECT_EQ(deathFrame, 0);
    scrollAccum = 0.0f;
    scrollAccum = scrollAccum + 0.6f;
    scrollAccum = scrollAccum + 0.6f;
    EXPECT_EQ(static_cast<int32_t>(scrollAccum), 1);  // float32 sum of 0.6 + 0.6 truncates to 1
    static_assert(sizeof(Alien) == 4 * 11 + 3 + 3 + 2, "Alien: eleven int32, three uint8, three booleans");
}

TEST(State, TheDumpHasEveryKeyAndTheHashFollowsTheState) {
    clearAllState();
    ShellFacts facts;
    std::string json = stateJson(facts);
    for (const char* k :
         {"shipX", "shipY", "level", "weaponLevel", "lives", "shipDying", "deathFrame", "levelClock", "clockPixels",
          "scrollSpeed", "scrollAccum", "scrollStep", "bgTiles", "lastTile", "spawnWindowA", "spawnWindowB",
          "spawnWindowC", "spawnWindowD", "powerUpX", "powerUpY", "frameCounter", "laserAnim", "podAnim", "podX",
          "podY", "podFlight", "podAngle", "podLaunched", "podReturning", "podFront", "podRear", "podTop",
          "podBottom", "inStory", "inTitle", "inMenu", "paused", "gameFinished", "po7bPending", "mouseX", "mouseY",
          "faceRoll", "waveSize", "hitDamage", "aliensA", "aliensB", "aliensC", "aliensD", "levelObject", "stones",
          "shotGroups", "slots", "lasers", "stars", "tick", "displayHeight", "receptVisible", "livesShown",
          "cursorVisible", "explodeFrame", "shotFlying"})
        EXPECT_NE(json.find(std::string("\"") + k + "\":"), std::string::npos) << k;
    uint64_t h = stateHash();
    EXPECT_EQ(h, stateHash());
    aliensC[6].shotImage = 3;
    EXPECT_NE(h, stateHash());
    aliensC[6].shotImage = 0;
    EXPECT_EQ(h, stateHash());
    Random(10);  // the generator is part of the state
    EXPECT_NE(h, stateHash());
}

namespace {

std::string dumpedValue(const std::string& json, const std::string& key) {
    size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return "(missing)";
    at += key.size() + 3;
    return json.substr(at, json.find_first_of(",}]", at) - at);
}

}  // namespace

TEST(State, TheDumpGivesEachScrollValueAsTheNumberOfItsNineDigitText) {
    clearAllState();
    std::vector<float> values = {0.0f, 0.6f, 1.2f, 2.0f, 2.5f, 0.0001f, 0.00001f, 1.0f / 3.0f, 123.456f,
                                 -0.7f, 640.0f, 99999.5f, 1e-7f};
    for (int k = 1; k <= 200; ++k) values.push_back(0.1f * static_cast<float>(k));
    float sum = 0.0f;
    for (int k = 0; k < 200; ++k) values.push_back(sum += 0.6f);  // as the scroll accumulates
    for (float v : values) {
        scrollAccum = v;
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.9g", static_cast<double>(v));
        // The same number as the nine-digit text (a few are spelt with more digits), whole
        // numbers without a fraction.
        std::string dumped = dumpedValue(stateJson(ShellFacts{}), "scrollAccum");
        EXPECT_EQ(std::strtod(dumped.c_str(), nullptr), std::strtod(expected, nullptr)) << dumped;
        if (v == static_cast<float>(static_cast<int>(v))) {
            EXPECT_EQ(dumped, expected);
        }
    }
}

TEST(State, TheHashReadsTheSameBytesAsTheDump) {
    clearAllState();
    shipX = 123;
    scrollSpeed = 1.2f;
    scrollAccum = 0.6f;
    aliensB[3].dead = true;
    shotGroups[2].slots[7].angle = -5;
    stones[10].height = 44;
    levelObject.hits = 9;
    setRandomState(0x0123456789abcdefULL);
    std::string json = stateJson(ShellFacts{});
    // The game's part of the dump lies between the tick and the display facts.
    size_t from = json.find(',') + 1;
    size_t to = json.find(",\"displayHeight\"");
    ASSERT_NE(to, std::string::npos);
    std::string bytes = "{" + json.substr(from, to - from) + "}";
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](uint8_t b) {
        h ^= b;
        h *= 1099511628211ULL;
    };
    for (char c : bytes) mix(static_cast<uint8_t>(c));
    for (int i = 0; i < 8; ++i) mix(static_cast<uint8_t>(randomState() >> (8 * i)));
    EXPECT_EQ(stateHash(), h);
}

TEST_F(Shell, ExplosionsDrawTwelveFramesAndSoundInTheFirstThree) {
    surface().Fill(0);
    drawExplosion(0, 100, 100);
    drawExplosion(13, 100, 100);
    EXPECT_EQ(vybuchCopies(), 0);
    for (uint32_t f = 0; f <= 13; ++f) {
        surface().Fill(0);
        drawExplosion(f, 100, 100);
        bool drawn = false;
        for (int y = 100; y < 163 && !drawn; ++y)
            for (int x = 100; x < 166 && !drawn; ++x) drawn = surface().At(x, y) != 0;
        EXPECT_EQ(drawn, f >= 1 && f <= 12) << "frame " << f;
    }
    // Frames 1, 2 and 3 each started the sound (three overlapping copies).
    EXPECT_EQ(vybuchCopies(), 3);
}

TEST_F(Shell, StarsMoveLeftAndComeBackAnywhere) {
    for (int i = 1; i <= 50; ++i) stars[i] = {300, 100, 3};
    stars[2] = {1, 50, 4};
    surface().Fill(0);
    drawStars();
    EXPECT_EQ(surface().At(300, 100), media::ColorToDevice(0xFFFF00));
    EXPECT_EQ(stars[1].x, 297);
    EXPECT_EQ(stars[20].x, 297);
    EXPECT_EQ(stars[21].x, 300);  // only the first twenty move
    EXPECT_GE(stars[2].x, 0);     // left the screen: a new random place and speed
    EXPECT_GE(stars[2].speed, 2);
    EXPECT_LE(stars[2].speed, 6);
}

TEST_F(Shell, LivesMarkersHideOneByOneAndComeBackTogether) {
    refillLives();
    lives = 2;
    showLives();
    EXPECT_TRUE(form().zi1.Visible);
    EXPECT_TRUE(form().zi2.Visible);
    EXPECT_FALSE(form().zi3.Visible);
    lives = 1;
    showLives();
    EXPECT_FALSE(form().zi2.Visible);
    lives = 0;
    showLives();
    EXPECT_FALSE(form().zi1.Visible);
    refillLives();
    EXPECT_EQ(lives, 3);
    EXPECT_TRUE(form().zi1.Visible && form().zi2.Visible && form().zi3.Visible);
}

TEST_F(Shell, FacesShareOnePlaceAndChangeOnlyOnTheirValues) {
    hideFaces();
    for (media::TImage* f : {&form().obrov, &form().oblev, &form().obprav, &form().obhore, &form().obdole}) {
        EXPECT_FALSE(f->Visible);
        EXPECT_EQ(f->Left(), 266);
        EXPECT_EQ(f->Top(), 6);
    }
    // Roll until every value has come up once at least; the shown face follows the roll.
    form().obrov.Visible = true;
    media::TImage* expected = &form().obrov;
    for (int i = 0; i < 3000; ++i) {
        rollFace();
        switch (faceRoll) {
            case 1: expected = &form().oblev; break;
            case 20: expected = &form().obrov; break;
            case 30: expected = &form().obprav; break;
            case 40: expected = &form().obhore; break;
            case 50: expected = &form().obdole; break;
            default: break;
        }
        int shown = 0;
        for (media::TImage* f : {&form().obrov, &form().oblev, &form().obprav, &form().obhore, &form().obdole})
            shown += f->Visible;
        ASSERT_EQ(shown, 1);
        ASSERT_TRUE(expected->Visible);
    }
    // Paused: the roll is drawn but nothing changes.
    paused = true;
    for (int i = 0; i < 300; ++i) {
        rollFace();
        ASSERT_TRUE(expected->Visible);
    }
}

TEST_F(Shell, ThePowerUpDriftsSpinsAndParks) {
    surface().Fill(0);
    weaponLevel = 1;
    powerUpX = 300;
    powerUpY = 170;
    updatePowerUp();
    EXPECT_EQ(powerUpX, 299);
    powerUpX = -20;
    updatePowerUp();
    EXPECT_EQ(powerUpX, 1000);  // left the screen: parked
    weaponLevel = 3;
    powerUpX = 200;
    updatePowerUp();
    EXPECT_EQ(weaponLevel, 4);  // level 3 never lasts a frame
    weaponLevel = 5;
    updatePowerUp();
    EXPECT_EQ(powerUpX, 199);  // stops once the weapon level is 5
}

TEST_F(Shell, WeaponOverlaysFollowTheWeaponLevel) {
    surface().Fill(0);
    shipX = 200;
    shipY = 100;
    weaponLevel = 2;
    drawWeaponOverlays();
    EXPECT_EQ(surface().At(230, 100), 0);
    weaponLevel = 6;
    laserAnim = 20;
    drawWeaponOverlays();
    EXPECT_EQ(laserAnim, 1);
    for (int i = 0; i < 19; ++i) drawWeaponOverlays();
    EXPECT_EQ(laserAnim, 20);
    shipDying = true;
    drawWeaponOverlays();
    EXPECT_EQ(laserAnim, 20);  // nothing while dying
}

TEST_F(Shell, TheShipIsKeptOnThePlayAreaAndDiesOnGreenOrLime) {
    form().DXDraw.SetHeight(380);
    surface().Fill(0);
    powerUpX = 1000;
    shipX = 900;
    shipY = -50;
    updateShip();
    EXPECT_EQ(shipX, 540);
    EXPECT_EQ(shipY, 20);
    shipX = -10;
    shipY = 999;
    updateShip();
    EXPECT_EQ(shipX, 20);
    EXPECT_EQ(shipY, 350);
    EXPECT_FALSE(shipDying);

    auto paintAndTest = [&](int x, int y, media::TColor c) {
        surface().Fill(0);
        surface().At(x, y) = media::ColorToDevice(c);
        shipDying = false;
        updateShip();
        bool died = shipDying;
        shipDying = false;
        return died;
    };
    shipX = 200;
    shipY = 100;
    EXPECT_TRUE(paintAndTest(195, 98, 0x008000));   // point 1, green
    EXPECT_TRUE(paintAndTest(195, 98, 0x00FF00));   // point 1, lime
    EXPECT_TRUE(paintAndTest(290, 100, 0x00FF00));  // point 2
    EXPECT_FALSE(paintAndTest(194, 98, 0x00FF00));  // one pixel outside point 1
    EXPECT_FALSE(paintAndTest(195, 98, 0x00FE00 & 0x00F800));
    EXPECT_FALSE(paintAndTest(195, 98, 0xFFFFFF));
    godMode = true;
    EXPECT_FALSE(paintAndTest(195, 98, 0x008000));
}

TEST_F(Shell, TheWreckDriftsAndFallsOutOfView) {
    form().DXDraw.SetHeight(380);
    surface().Fill(0);
    powerUpX = 1000;
    shipX = 100;
    shipY = 100;
    shipDying = true;
    deathFrame = 1;
    for (int f = 1; f <= 18; ++f) updateShip();
    EXPECT_EQ(deathFrame, 19);
    EXPECT_EQ(shipX, 100 + 18 * 5);
    EXPECT_EQ(shipY, 420);  // after frame 18 the ship is moved out of view
    EXPECT_EQ(vybuchCopies(), 15);  // five points, three frames of sound
}

TEST_F(Shell, AFrameOfPlayMovesTheShipAndAccountsTheScroll) {
    for (int i = 0; i < 9; ++i) addPicture(form().pozadi, 640, 380, 0x402010);
    form().DXDraw.SetHeight(380);
    level = 1;
    lastTile = 8;
    for (int i = 0; i <= 8; ++i) bgTiles[i] = {640 * i, 0};
    scrollSpeed = 1.2f;
    scrollAccum = 1.0f;
    shipX = 200;
    shipY = 200;
    powerUpX = 1000;
    weaponLevel = 1;
    laserAnim = 1;
    deathFrame = 1;
    form().DXInput.States.Add(media::isLeft);
    form().DXInput.States.Add(media::isRight);
    form().DXInput.States.Add(media::isUp);
    playFrame();
    EXPECT_EQ(shipX, 200);  // left and right cancel out
    EXPECT_EQ(shipY, 184);
    EXPECT_EQ(bgTiles[0].x, -2);
    EXPECT_EQ(bgTiles[8].x, 5118);
    EXPECT_EQ(clockPixels, 2);
    EXPECT_EQ(scrollStep, 0);
    EXPECT_EQ(scrollAccum, 0.0f);
    EXPECT_EQ(frameCounter, 1);
    form().DXInput.States.Clear();
    form().DXInput.States.Add(media::isButton2);
    clockPixels = 39;
    playFrame();
    EXPECT_TRUE(paused);  // the frame ran to its end
    EXPECT_EQ(levelClock, 1);
    EXPECT_EQ(clockPixels, 0);
    EXPECT_EQ(bgTiles[0].x, -3);
    EXPECT_EQ(frameCounter, 2);
}

TEST_F(Shell, TitleAndMenuPicturesDropSoundAndHighlightTheBoxes) {
    // The menu picture set: title, menu, quit-box highlight, start-box highlight.
    form().pozadi.Items.Clear();
    addPicture(form().pozadi, 640, 480, 0x000080);
    addPicture(form().pozadi, 640, 480, 0x008080);
    addPicture(form().pozadi, 100, 100, 0x800000);
    addPicture(form().pozadi, 110, 70, 0x808000);
    const uint16_t title = media::ColorToDevice(0x000080), menu = media::ColorToDevice(0x008080);
    const uint16_t quitLit = media::ColorToDevice(0x800000), startLit = media::ColorToDevice(0x808000);

    // Title: drawn where it was, then dropped 10; the sound starts in the frame that reaches
    // 40, one frame before the picture rests at 50; fire is not held, so it stays.
    inTitle = true;
    bgTiles[0] = {0, -380};
    for (int y = -370; y <= 30; y += 10) titleFrame();
    EXPECT_EQ(bgTiles[0].y, 30);
    EXPECT_EQ(vybuchCopies(), 0);
    titleFrame();
    EXPECT_EQ(bgTiles[0].y, 40);
    EXPECT_EQ(vybuchCopies(), 1);
    titleFrame();
    titleFrame();
    EXPECT_EQ(bgTiles[0].y, 50);
    EXPECT_EQ(surface().At(10, 45), 0);  // black above the picture drawn at 50
    EXPECT_EQ(surface().At(10, 55), title);
    EXPECT_TRUE(inTitle);

    // Menu: from -380 the picture reaches -10 in its 37th frame and snaps to 0 with the sound
    // and the hand pointer; the boxes light up only from then on, under the pointer.
    inTitle = false;
    inMenu = true;
    bgTiles[0] = {0, -380};
    form().DXDraw.Cursor = media::crNone;
    mouseX = 50;
    mouseY = 50;
    for (int i = 0; i < 36; ++i) menuFrame();
    EXPECT_EQ(bgTiles[0].y, -20);
    EXPECT_EQ(form().DXDraw.Cursor, media::crNone);
    EXPECT_EQ(surface().At(0, 0), menu);  // no highlight while the picture drops
    menuFrame();
    EXPECT_EQ(bgTiles[0].y, 0);
    EXPECT_EQ(form().DXDraw.Cursor, media::crHandPoint);
    EXPECT_EQ(vybuchCopies(), 2);
    EXPECT_EQ(surface().At(0, 0), quitLit);
    EXPECT_EQ(surface().At(500, 400), menu);
    struct Case {
        int x, y;
        bool quit, start;
    } cases[] = {{1, 1, true, false},    {99, 99, true, false},   {100, 50, false, false}, {50, 0, false, false},
                 {451, 371, false, true}, {599, 459, false, true}, {450, 400, false, false}, {500, 460, false, false}};
    for (const Case& c : cases) {
        mouseX = c.x;
        mouseY = c.y;
        menuFrame();
        EXPECT_EQ(surface().At(0, 0) == quitLit, c.quit) << c.x << "," << c.y;
        EXPECT_EQ(surface().At(480, 380) == startLit, c.start) << c.x << "," << c.y;
    }
    EXPECT_EQ(vybuchCopies(), 2);  // the snap sounded once
}
