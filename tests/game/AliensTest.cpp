// The alien groups and their fire, worked frame by frame on a headless main form: strikes and
// thresholds, knocks, explosions and respawns, the shared entry count, the four kinds of shot and
// the ship's two open boxes.
#include <vector>

#include "game/alien.h"
#include "PlayFixture.h"

using namespace game;

namespace {

constexpr uint32_t kRed = 0x0000FF;  // as the form's colours are written: blue, green, red

class Aliens : public PlayFrame {
protected:
    void SetUp() override {
        PlayFrame::SetUp();
        for (auto* t : {&aliensA, &aliensB, &aliensC, &aliensD})
            for (int i = 1; i <= 6; ++i) (*t)[i] = parkedEntry();
    }

    // A standing flyer whose forward shot, 4 pixels a frame, reaches 146 inside the box of a ship
    // at (60, 100) in this frame.
    static void shotIntoTheShip() {
        waveSize = 1;
        aliensA[1] = entry(500, 100, 6);
        aliensA[1].speed = 0;
        aliensA[1].shotFlying = true;
        aliensA[1].shotX = 150;
        aliensA[1].shotY = 120;
        shipX = 60;
        shipY = 100;
        stepL1GroupA();
    }
    // An entry out of the way of every routine: far left, alive, not firing.
    static Alien parkedEntry() {
        Alien a;
        a.x = -450;
        a.y = -450;
        a.explodeFrame = 1;
        a.anim = 1;
        a.shotReady = false;
        return a;
    }
};

}  // namespace

TEST_F(Aliens, AFlyerFallsToTheThirdForwardGunStrikeOrToOneHeavyShot) {
    waveSize = 1;
    aliensA[1] = entry(300, 100, 6);
    std::vector<int> hits;
    for (int strike = 1; strike <= 3; ++strike) {
        projectileAt(1, aliensA[1].x, aliensA[1].y);
        stepL1GroupA();
        hits.push_back(aliensA[1].hits);
        EXPECT_EQ(shotGroups[1].slots[1].x, 800) << "the projectile that struck is consumed";
        EXPECT_EQ(aliensA[1].dead, strike == 3);
    }
    EXPECT_EQ(hits, (std::vector<int>{4, 2, 0}));
    EXPECT_EQ(aliensA[1].y, 139) << "knocked down 13 pixels at every strike";

    // Eleven explosion frames, falling 5 pixels each, then parked at the left.
    for (int frame = 1; frame <= 11; ++frame) {
        stepL1GroupA();
        EXPECT_EQ(aliensA[1].explodeFrame, frame + 1);
        EXPECT_EQ(aliensA[1].y, 139 + 5 * frame);
        EXPECT_EQ(aliensA[1].x, frame < 11 ? 300 : -500);
    }

    aliensA[1] = entry(300, 100, 6);
    projectileAt(5, 300, 100);
    stepL1GroupA();
    EXPECT_TRUE(aliensA[1].dead);
    EXPECT_EQ(aliensA[1].hits, -4);
}

TEST_F(Aliens, AStrikeKnocksAFlyerAwayFromTheMiddle) {
    waveSize = 1;
    aliensA[1] = entry(300, 200, 6);
    projectileAt(1, 300, 200);
    stepL1GroupA();
    EXPECT_EQ(aliensA[1].y, 187);

    aliensA[1] = entry(300, 199, 6);
    projectileAt(1, 300, 199);
    stepL1GroupA();
    EXPECT_EQ(aliensA[1].y, 212);
}

TEST_F(Aliens, ClimbersFallToTwoStrikesAndRiseThrownUpThenFall) {
    aliensB[1] = entry(300, 300, 6);
    aliensB[1].speed = 0;
    projectileAt(1, 300, 300);
    stepClimbers();
    EXPECT_EQ(waveSize, 4);
    EXPECT_EQ(aliensB[1].hits, 4);
    EXPECT_FALSE(aliensB[1].dead);
    projectileAt(1, 300, 300);
    stepClimbers();
    EXPECT_TRUE(aliensB[1].dead) << "threshold 3: two hits left is dead";
    std::vector<int> ys;
    for (int frame = 1; frame <= 11; ++frame) {
        stepClimbers();
        ys.push_back(aliensB[1].y);
    }
    EXPECT_EQ(ys, (std::vector<int>{290, 280, 270, 260, 270, 280, 290, 300, 310, 320, 330}));
    EXPECT_EQ(aliensB[1].x, -500);
}

TEST_F(Aliens, RisersAndTheTwoHitAliensFallToAnyStrike) {
    aliensB[1] = entry(300, 200, 3);
    aliensB[2] = parkedEntry();
    projectileAt(1, 300, 200);
    stepL2GroupB();
    EXPECT_TRUE(aliensB[1].dead);

    aliensC[1] = entry(300, 135, 2);
    aliensC[1].speed = 0;
    projectileAt(1, 310, 145);
    stepL3GroupC();
    EXPECT_TRUE(aliensC[1].dead);
    EXPECT_EQ(aliensC[1].y, 137) << "the low flyer's reaction";
}

TEST_F(Aliens, AnEmplacementSurvives249StrikesAndFallsAtThe250thOrThe50thHeavyShot) {
    for (int g : {1, 5}) {
        aliensA[1] = entry(300, 100, 500, 60, 100);
        aliensA[1].speed = 30;
        const int strikes = g == 1 ? 250 : 50;
        for (int k = 1; k <= strikes; ++k) {
            projectileAt(g, 320, 150);
            stepL2GroupA();
            ASSERT_EQ(aliensA[1].dead, k == strikes) << "group " << g << " strike " << k;
        }
        EXPECT_EQ(aliensA[1].hits, 0);
    }
    // Twenty frames of destruction, then the wreck stays and scrolls with the background.
    scrollStep = 1;
    for (int frame = 1; frame <= 25; ++frame) stepL2GroupA();
    EXPECT_EQ(aliensA[1].explodeFrame, 20);
    EXPECT_EQ(aliensA[1].x, 300);
    EXPECT_EQ(aliensA[1].y, 75);
}

TEST_F(Aliens, AnEmplacementFiresOnlyInItsCycleAndNeverAfterItsDestruction) {
    aliensA[1] = entry(300, 100, 500, 60, 100);
    aliensA[1].speed = 30;
    aliensA[1].shotReady = true;
    std::vector<int> launchAnims;
    for (int frame = 1; frame <= 40; ++frame) {
        const bool before = aliensA[1].shotFlying;
        stepL2GroupA();
        if (!before && aliensA[1].shotFlying) launchAnims.push_back(aliensA[1].anim);
    }
    // Launched with anim 16 (the counter as the animation left it), flies right 30 a frame,
    // is freed past 700 and launches again while anim is still 16..20.
    EXPECT_EQ(launchAnims, (std::vector<int>{16}));

    // A bolt that finds the ship is set to 700: it flies once more, to 730, then is freed.
    aliensA[1].shotFlying = true;
    aliensA[1].shotReady = false;
    aliensA[1].shotX = 100 - 30;
    aliensA[1].shotY = 360;
    shipX = 60;
    shipY = 340;
    stepL2GroupA();
    EXPECT_TRUE(shipDying);
    EXPECT_EQ(aliensA[1].shotX, 700);
    EXPECT_TRUE(aliensA[1].shotFlying);
    stepL2GroupA();
    EXPECT_EQ(aliensA[1].shotX, 730);
    EXPECT_FALSE(aliensA[1].shotFlying);

    // Destroyed: the wreck never launches, whatever its counter.
    aliensA[1].dead = true;
    aliensA[1].shotReady = true;
    aliensA[1].anim = 16;
    for (int frame = 1; frame <= 40; ++frame) stepL2GroupA();
    EXPECT_FALSE(aliensA[1].shotFlying);
}

TEST_F(Aliens, AFlyerKilledPastItsLineRespawnsInTheSameFrameWithoutExplosion) {
    levelClock = 30;
    spawnWindowA = true;
    aliensA[1] = entry(-10, 100, 6);
    aliensA[2] = entry(300, 100, 6);
    projectileAt(5, -10, 100);
    stepL1GroupA();
    const Alien& a = aliensA[1];
    EXPECT_FALSE(a.dead);
    EXPECT_EQ(a.explodeFrame, 1);
    EXPECT_EQ(a.hits, 6);
    EXPECT_EQ(a.x, 700);
    EXPECT_TRUE(a.y >= 0 && a.y < 310);
    EXPECT_TRUE(a.speed >= 3 && a.speed <= 5);
}

TEST_F(Aliens, AtClock44TheWaveGrowsToThreeFromTheNextPass) {
    levelClock = 44;
    spawnWindowA = true;
    waveSize = 2;
    aliensA[1] = entry(-10, 100, 6);
    aliensA[2] = entry(300, 100, 6);
    aliensA[3] = entry(400, 100, 6);
    aliensA[3].speed = 4;
    stepL1GroupA();
    EXPECT_EQ(waveSize, 3);
    EXPECT_TRUE(aliensA[1].x >= 500 && aliensA[1].x <= 799) << aliensA[1].x;
    EXPECT_EQ(aliensA[1].y, 310);
    EXPECT_EQ(aliensA[3].x, 400) << "the count is read once, before the first entry";

    // Still clock 44: the pass starts by setting the count back to 2.
    stepL1GroupA();
    EXPECT_EQ(aliensA[3].x, 400);
    // A later clock keeps the three.
    waveSize = 3;
    levelClock = 45;
    stepL1GroupA();
    EXPECT_EQ(aliensA[3].x, 396);
}

TEST_F(Aliens, ABouncerHighUpNearTheLeftEdgeStartsTheTuneFrom99Not100) {
    waveSize = 1;
    aliensB[1] = entry(50, 100, 2);
    aliensB[1].vy = 0;
    stepL4GroupB();
    EXPECT_FALSE(music(Music::first).Playing());
    aliensB[1] = entry(50, 99, 2);
    aliensB[1].vy = 0;
    stepL4GroupB();
    EXPECT_TRUE(music(Music::first).Playing());
    EXPECT_EQ(aliensB[1].vy, 8);
}

TEST_F(Aliens, AJumperLowInThePlayAreaIsNotDrawnButStrikesAndCanBeStruck) {
    paint(alinImage(6), kRed);
    aliensD[1] = entry(100, 300, 2);
    aliensD[1].vy = 0;
    aliensD[2] = parkedEntry();
    shipX = 50;
    shipY = 290;
    projectileAt(1, 110, 310);
    stepL3GroupD();
    EXPECT_EQ(countColour(kRed), 0);
    EXPECT_TRUE(shipDying);
    EXPECT_TRUE(aliensD[1].dead);
    EXPECT_EQ(aliensD[1].angle, 253) << "turning back by 3 wraps";

    shipDying = false;
    aliensD[1] = entry(100, 299, 2);
    aliensD[1].vy = 0;
    stepL3GroupD();
    EXPECT_GT(countColour(kRed), 0);
}

TEST_F(Aliens, ThePillarJumpsFromMinus70To400AndStonesFallBeforeTheyRespawn) {
    aliensA[1] = entry(300, -70, 0);
    aliensA[1].vy = 2;
    stepL5GroupA();
    EXPECT_EQ(aliensA[1].y, -72) << "no window yet";
    spawnWindowA = true;
    stepL5GroupA();
    EXPECT_EQ(aliensA[1].y, 400);
    stepL5GroupA();
    EXPECT_EQ(aliensA[1].y, 398);

    level = 8;
    waveSize = 1;
    spawnWindowB = true;
    aliensB[1] = entry(300, 400, 2);
    aliensB[1].vy = 3;
    stepFallingStones();
    EXPECT_EQ(aliensB[1].y, -50) << "fell to 403, past the line, and came back";
    EXPECT_TRUE(music(Music::second).Playing());
    EXPECT_EQ(aliensB[1].angle, 1) << "the stones of level 8 spin";
}

TEST_F(Aliens, TheShipsBoxesAreOpenAtTheirEdges) {
    shipX = 100;
    shipY = 100;
    EXPECT_FALSE(inContactBox(191, 110));
    EXPECT_TRUE(inContactBox(190, 110));
    EXPECT_FALSE(inContactBox(100, 110));
    EXPECT_FALSE(inContactBox(150, 130));
    EXPECT_TRUE(inContactBox(150, 129));
    EXPECT_FALSE(inShotBox(190, 110));
    EXPECT_TRUE(inShotBox(189, 110));
    EXPECT_TRUE(inShotBox(150, 130));
    EXPECT_TRUE(inShotBox(150, 134));
    EXPECT_FALSE(inShotBox(150, 135));
}

TEST_F(Aliens, AForwardShotMovesAndDrawsInItsLaunchFrameAndOnlyFromAbove250) {
    waveSize = 1;
    aliensA[1] = entry(549, 249, 6);
    aliensA[1].speed = 3;
    aliensA[1].shotReady = true;
    stepL1GroupA();
    EXPECT_EQ(aliensA[1].x, 546);
    EXPECT_EQ(aliensA[1].shotX, 546 - 7) << "launched where the entry moved to, then moved in the same frame";
    EXPECT_EQ(aliensA[1].shotY, 249);
    EXPECT_EQ(aliensA[1].shotImage, 5);

    aliensA[1] = entry(300, 250, 6);
    aliensA[1].shotReady = true;
    stepL1GroupA();
    EXPECT_FALSE(aliensA[1].shotFlying);

    // A shot that finds the ship ends at once, and the owner may fire again next frame.
    shotIntoTheShip();
    EXPECT_TRUE(shipDying);
    EXPECT_EQ(aliensA[1].shotX, 0);
    EXPECT_TRUE(aliensA[1].shotReady);
    EXPECT_FALSE(aliensA[1].shotFlying);
}

TEST_F(Aliens, ADiagonalShotEndsWhenEitherCoordinateFallsBelow10) {
    aliensB[1] = entry(300, 300, 6);
    aliensB[1].speed = 5;  // s = 2: 4 pixels up and left a frame
    aliensB[1].shotFlying = true;
    aliensB[1].shotX = 400;
    aliensB[1].shotY = 16;
    stepClimbers();
    EXPECT_EQ(aliensB[1].shotX, 396);
    EXPECT_EQ(aliensB[1].shotY, 12);
    EXPECT_TRUE(aliensB[1].shotFlying);
    stepClimbers();
    EXPECT_EQ(aliensB[1].shotY, 8);
    EXPECT_FALSE(aliensB[1].shotFlying);
    EXPECT_TRUE(aliensB[1].shotReady);
}

TEST_F(Aliens, AMortarShellRisesFromARandomColumnAfterClock23) {
    aliensA[1] = entry(300, 300, 0);
    aliensA[1].speed = 6;
    aliensA[1].shotReady = true;
    aliensA[2] = parkedEntry();
    level = 3;
    levelClock = 23;
    stepL3GroupA();
    EXPECT_FALSE(aliensA[1].shotFlying);
    levelClock = 24;
    stepL3GroupA();
    EXPECT_TRUE(aliensA[1].shotFlying);
    EXPECT_EQ(aliensA[1].shotY, 350 - 8);
    EXPECT_TRUE(aliensA[1].shotX >= 0 && aliensA[1].shotX < 640);
    EXPECT_EQ(aliensA[1].x, 298) << "two more a frame after clock 23";
}

TEST_F(Aliens, GodModeIsNeverMarkedButTheShotStillEnds) {
    godMode = true;
    waveSize = 1;
    shotIntoTheShip();
    EXPECT_FALSE(shipDying);
    EXPECT_FALSE(aliensA[1].shotFlying);
}
