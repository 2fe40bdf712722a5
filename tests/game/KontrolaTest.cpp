// The level objects of levels 5 to 8, worked frame by frame on a headless main form: the
// targets' damage windows and falls with their music cues, the item that must be taken, the
// chasers, the stones, the riser and the descender's two-sided contact.
#include <vector>

#include "game/kontrola.h"
#include "PlayFixture.h"

using namespace game;

namespace {

constexpr uint32_t kRed = 0x0000FF;  // as the form's colours are written: blue, green, red
constexpr uint32_t kBlue = 0xFF0000;

class LevelObjects : public PlayFrame {
protected:
    void SetUp() override {
        PlayFrame::SetUp();
        form().recept.Visible = false;
    }
    // Strikes the object's rectangle with a forward-gun projectile in each of n frames.
    template <typename Step>
    static void strikeFrames(int n, const Alien& o, Step step) {
        for (int k = 0; k < n; ++k) {
            projectileAt(1, o.x + 5, o.y + 5);
            step();
        }
    }
};

}  // namespace

TEST_F(LevelObjects, TheLevel5TargetFallsOnlyAtClock16Or17) {
    levelObject = entry(190, 100, 20, 60, 200);
    levelClock = 10;
    strikeFrames(19, levelObject, stepL5Target);
    EXPECT_EQ(levelObject.hits, 1) << "one hit per struck frame, whatever the damage";
    EXPECT_FALSE(levelObject.dead);
    strikeFrames(3, levelObject, stepL5Target);
    EXPECT_EQ(levelObject.hits, -2);
    EXPECT_FALSE(levelObject.dead) << "under 2 hits, but not yet past clock 15";
    levelClock = 16;
    strikeFrames(1, levelObject, stepL5Target);
    EXPECT_TRUE(levelObject.dead);

    levelObject = entry(190, 100, 1, 60, 200);
    levelClock = 17;
    strikeFrames(1, levelObject, stepL5Target);
    EXPECT_TRUE(levelObject.dead);

    // From clock 18 it takes no damage, though it still consumes what strikes it.
    levelObject = entry(190, 100, 1, 60, 200);
    levelClock = 18;
    strikeFrames(5, levelObject, stepL5Target);
    EXPECT_FALSE(levelObject.dead);
    EXPECT_EQ(levelObject.hits, 1);
    EXPECT_TRUE(projectileConsumed(1));
}

TEST_F(LevelObjects, AStrikeRestartsAFinishedExplosion) {
    levelObject = entry(190, 100, 20, 60, 200);
    levelClock = 10;
    for (int k = 0; k < 11; ++k) stepL5Target();
    EXPECT_EQ(levelObject.explodeFrame, 12) << "one explosion at the start of the level";
    stepL5Target();
    EXPECT_EQ(levelObject.explodeFrame, 12);
    strikeFrames(1, levelObject, stepL5Target);
    EXPECT_EQ(levelObject.explodeFrame, 1);
    stepL5Target();
    EXPECT_EQ(levelObject.explodeFrame, 2);
}

TEST_F(LevelObjects, TheFallenLevel5TargetCuesTheTune60FramesLaterAndRestsAt192After65) {
    levelObject = entry(190, 100, 1, 60, 200);
    levelObject.explodeFrame = 12;
    levelClock = 16;
    strikeFrames(1, levelObject, stepL5Target);
    ASSERT_TRUE(levelObject.dead);
    silence();
    std::vector<int> drawn;
    int cueFrame = 0;
    for (int k = 1; k <= 70; ++k) {
        drawn.push_back(levelObject.angle);
        stepL5Target();
        if (!cueFrame && playing(Music::first)) cueFrame = k;
    }
    EXPECT_EQ(cueFrame, 60);
    EXPECT_EQ(drawn[0], 0);
    EXPECT_EQ(drawn[1], 255);
    EXPECT_EQ(drawn[63], 193);
    EXPECT_EQ(drawn[64], 192);
    EXPECT_EQ(drawn[69], 192);
}

TEST_F(LevelObjects, TheLevel7ObstacleCuesInTheFrameThatDraws196) {
    levelObject = entry(600, 110, 20, 60, 100);
    levelObject.dead = true;
    levelObject.explodeFrame = 12;
    levelObject.angle = 197;
    stepL7Obstacle();
    EXPECT_FALSE(playing(Music::second));
    EXPECT_EQ(levelObject.angle, 196);
    stepL7Obstacle();
    EXPECT_TRUE(playing(Music::second));
    EXPECT_TRUE(music(Music::second).Looped());
}

TEST_F(LevelObjects, TheLevel7TargetFallsOnlyPastClock32AndFallenStillRamsAndAbsorbs) {
    paint(alinImage(14), kRed);
    paint(alinImage(15), kBlue);
    aliensD[1] = entry(300, 30, 2, 80, 120);
    aliensD[1].explodeFrame = 12;
    levelClock = 32;
    strikeFrames(1, aliensD[1], stepL7Target);
    EXPECT_EQ(aliensD[1].hits, 1);
    EXPECT_FALSE(aliensD[1].dead);
    EXPECT_GT(countColour(kBlue), 0) << "the hit picture, in the frame of the hit";
    levelClock = 33;
    strikeFrames(1, aliensD[1], stepL7Target);
    EXPECT_TRUE(aliensD[1].dead);

    surface().Fill(0);
    shipX = 250;
    shipY = 10;
    strikeFrames(1, aliensD[1], stepL7Target);
    EXPECT_EQ(countColour(kRed), 0) << "fallen, it is not drawn";
    EXPECT_TRUE(projectileConsumed(1));
    EXPECT_TRUE(shipDying);
}

TEST_F(LevelObjects, TheLevel7ItemIsTakenInsideTheWidenedBox) {
    shipX = 100;
    shipY = 100;
    struct Case {
        int32_t x, y;
        bool taken;
    };
    for (Case c : {Case{199, 100, true}, Case{200, 100, false}, Case{81, 100, true}, Case{80, 100, false},
                   Case{150, 81, true}, Case{150, 80, false}, Case{150, 149, true}, Case{150, 150, false}}) {
        form().recept.Visible = false;
        aliensC[1] = entry(c.x, c.y, 4, 30, 30);
        stepL7Item();
        EXPECT_EQ(form().recept.Visible, c.taken) << c.x << "," << c.y;
    }
    // Once taken, it stays where it was.
    form().recept.Visible = true;
    scrollStep = 5;
    stepL7Item();
    EXPECT_EQ(aliensC[1].x, 150);
}

TEST_F(LevelObjects, AChaserAt12HitsFallsToAHeavyShotAndAt13Lives) {
    for (int32_t hits : {12, 13}) {
        aliensA[1] = entry(300, 100, hits, 50, 30);
        aliensA[1].vy = 0;
        aliensA[2] = entry(2000, 100, 20);
        aliensA[3] = entry(2000, 100, 20);
        projectileAt(5, 310, 110);
        stepL7Chasers();
        EXPECT_EQ(aliensA[1].hits, hits - 10);
        EXPECT_EQ(aliensA[1].dead, hits == 12);
    }
    // A chaser beyond 700 comes back from the left, above or below the display, once the window
    // opens.
    spawnWindowA = true;
    aliensA[1] = entry(800, 0, 20, 50, 30);
    aliensA[1].dead = true;
    stepL7Chasers();
    const Alien& c = aliensA[1];
    EXPECT_FALSE(c.dead);
    EXPECT_TRUE(c.x > -700 && c.x <= 0) << c.x;
    EXPECT_EQ(c.y, c.anim == 0 ? 400 : -150);
    EXPECT_TRUE(c.speed >= 5 && c.speed <= 11);
    EXPECT_TRUE(c.vy >= 3 && c.vy <= 8);
}

TEST_F(LevelObjects, TheDescenderIsDeadlyLeftOfItsRightEdgeAndAboveItsBottom) {
    aliensA[1] = entry(205, 0, 0, 100, 200);
    levelClock = 30;
    struct Case {
        int32_t x, y;
        bool deadly;
    };
    for (Case c : {Case{0, 0, true}, Case{304, 199, true}, Case{305, 100, false}, Case{100, 200, false}}) {
        shipDying = false;
        shipX = c.x;
        shipY = c.y;
        stepL8Descender();
        EXPECT_EQ(shipDying, c.deadly) << c.x << "," << c.y;
    }
    // It waits at the top until clock 42, then comes down with the scenery.
    scrollStep = 2;
    stepL8Descender();
    EXPECT_EQ(aliensA[1].y, 0);
    levelClock = 42;
    stepL8Descender();
    EXPECT_EQ(aliensA[1].y, 2);
    aliensA[1].y = -10;
    stepL8Descender();
    EXPECT_EQ(aliensA[1].y, -6) << "above the top, it moves twice";
}

TEST_F(LevelObjects, TheStonesAllRestartFromOnePlaceWithTheirOwnSpeeds) {
    bgTiles[3].x = 500;
    bgTiles[4].x = 1000;
    levelClock = 30;
    for (Stone& s : stones) s = Stone{800, 27, 0, 0, 0};
    stepL6Stones();
    for (const Stone& s : stones) {
        EXPECT_EQ(s.x, 225);
        EXPECT_TRUE(s.speed >= 3 && s.speed <= 7);
        EXPECT_EQ(s.width, 20);
        EXPECT_EQ(s.height, 20);
    }
    levelClock = 42;
    for (Stone& s : stones) s.x = 800;
    stepL6Stones();
    for (const Stone& s : stones) EXPECT_EQ(s.x, 0);
    bgTiles[4].x = -221;
    for (Stone& s : stones) s.x = 800;
    stepL6Stones();
    EXPECT_EQ(stones[1].x, 800) << "tile 4 gone: the stream stops";
}

TEST_F(LevelObjects, TheRiserRisesGrowsAndLeavesAtItsPlaceInTile4) {
    bgTiles[4].x = 0;
    bgTiles[5].x = 640;
    bgTiles[6].x = 1280;
    aliensD[1] = entry(1460, 400, 0, 50, 50);
    aliensD[1].vy = 0;
    auto frames = [](int n) {
        for (int k = 0; k < n; ++k) stepL6Riser();
    };
    frames(24);
    EXPECT_EQ(aliensD[1].y, 304);
    EXPECT_EQ(aliensD[1].x, 365);
    EXPECT_EQ(aliensD[1].vy, 2);
    frames(7);
    EXPECT_EQ(aliensD[1].vy, 16);
    EXPECT_EQ(aliensD[1].x, 385);
    frames(21);
    EXPECT_EQ(aliensD[1].x, 805);
    frames(1);
    EXPECT_EQ(aliensD[1].x, 365);
    EXPECT_EQ(aliensD[1].y, 400);
    EXPECT_EQ(aliensD[1].vy, 0);
    bgTiles[6].x = 639;
    frames(1);
    EXPECT_EQ(aliensD[1].y, 400) << "outside its part of the level it does nothing";
}
