// The player's weapons and the hit test, worked frame by frame on a headless main form with
// the built-in pictures: launches, flight, freeing, drawing, the beams and every damage case.
#include <gtest/gtest.h>

#include <vector>

#include "game/Main.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"
#include "game/alien.h"
#include "game/zbrane.h"
#include "tests/support/HeadlessShell.h"

using namespace game;

namespace {

constexpr uint16_t kBlack = 0;

class Weapons : public ::testing::Test {
protected:
    void SetUp() override {
        shell_.OpenForPlay();
        surface().Fill(0);
        silence();
    }
    void TearDown() override {
        shell_.Close();
        godMode = false;
    }
    TMainForm& form() { return *shell_.form; }
    media::TDirectDrawSurface& surface() { return form().DXDraw.Surface(); }

    // Stops every effect, so that Playing() afterwards tells what was started since.
    void silence() {
        for (int i = 0; i <= 9; ++i) effect(static_cast<Effect>(i)).Stop();
    }
    bool heard(Effect e) { return effect(e).Playing(); }

    // The weapon steps of one frame of play at weapon levels 1 to 5.
    void groupFrame() {
        for (int g : {1, 5, 2, 3, 4}) stepShotGroup(g);
    }
    // The back buffer as it is now, then cleared.
    std::vector<uint16_t> takePicture() {
        std::vector<uint16_t> v;
        for (int y = 0; y < surface().Height(); ++y)
            for (int x = 0; x < surface().Width(); ++x) v.push_back(surface().At(x, y));
        surface().Fill(0);
        return v;
    }
    Shot& slot(int g, int s) { return shotGroups[g].slots[s]; }
    void fly(int g, int s, int x, int y) {
        slot(g, s).idle = false;
        slot(g, s).x = x;
        slot(g, s).y = y;
    }
    bool parked(const Shot& s) { return s.idle && s.x == 800 && s.y == 1000; }
    // Columns of row y holding the colour.
    std::vector<int> columnsOf(int y, media::TColor c) {
        std::vector<int> v;
        for (int x = 0; x < surface().Width(); ++x)
            if (surface().At(x, y) == media::ColorToDevice(c)) v.push_back(x);
        return v;
    }

    support::HeadlessShell shell_;
};

}  // namespace

TEST_F(Weapons, TheForwardGunLaunchesEveryFifthFrameAndMovesInItsLaunchFrame) {
    weaponLevel = 1;
    shipX = 100;
    shipY = 100;
    std::vector<int> launchFrames;
    for (int frame = 1; frame <= 20; ++frame) {
        const int before = shotGroups[1].nextSlot;
        requestFire();
        groupFrame();
        if (shotGroups[1].nextSlot != before) launchFrames.push_back(frame);
        if (frame == 5) {
            // Launched at shipX + 84 and drawn, already moved, at shipX + 96.
            EXPECT_EQ(slot(1, 1).x, 196);
            EXPECT_EQ(slot(1, 1).y, 115);
            std::vector<uint16_t> drawn = takePicture();
            lodImage(5).Draw(surface(), 196, 115, 0);
            EXPECT_EQ(drawn, takePicture());
            EXPECT_TRUE(heard(Effect::kul));
        }
    }
    EXPECT_EQ(launchFrames, (std::vector<int>{5, 10, 15, 20}));
    EXPECT_EQ(shotGroups[1].cooldown, 0);
    // Only group 1 fires at weapon level 1.
    for (int g = 2; g <= 5; ++g)
        for (int s = 1; s <= 15; ++s) EXPECT_TRUE(parked(slot(g, s)));
}

TEST_F(Weapons, ABusySlotCostsTheLaunchAndTheRingWraps) {
    weaponLevel = 1;
    shipX = 100;
    shipY = 100;
    shotGroups[1].cooldown = 4;  // at the gate: this frame launches
    shotGroups[1].nextSlot = 15;
    fly(1, 15, 300, 50);
    requestFire();
    stepShotGroup(1);
    EXPECT_EQ(slot(1, 15).x, 312);  // the old projectile flew on, nothing new was launched
    EXPECT_EQ(slot(1, 15).y, 50);
    EXPECT_EQ(shotGroups[1].nextSlot, 1);
    EXPECT_FALSE(shotGroups[1].fireRequest);
}

TEST_F(Weapons, AProjectileIsDrawnOnceBeyondTheEdgeAndFreedTheNextFrame) {
    weaponLevel = 1;
    fly(1, 1, 636, 100);
    flyShotGroup(1);
    EXPECT_EQ(slot(1, 1).x, 648);
    EXPECT_FALSE(slot(1, 1).idle);
    flyShotGroup(1);
    EXPECT_TRUE(parked(slot(1, 1)));
    // The edges count as inside.
    EXPECT_FALSE(isOutsideDisplay(0, 0));
    EXPECT_FALSE(isOutsideDisplay(640, 380));
    EXPECT_TRUE(isOutsideDisplay(641, 380));
    EXPECT_TRUE(isOutsideDisplay(640, 381));
    EXPECT_TRUE(isOutsideDisplay(-1, 0));
    EXPECT_TRUE(isOutsideDisplay(0, -1));
}

TEST_F(Weapons, AStruckForwardShotStallsItsGroupForAFrameAndAnUpwardShotDoesNot) {
    weaponLevel = 4;
    fly(1, 1, 100, 100);
    fly(1, 2, 200, 100);
    fly(1, 3, 300, 100);
    ASSERT_TRUE(weaponHitTest(190, 90, 20, 20));
    EXPECT_TRUE(slot(1, 2).hit);
    flyShotGroup(1);
    EXPECT_EQ(slot(1, 1).x, 112);
    EXPECT_TRUE(parked(slot(1, 2)));
    EXPECT_FALSE(slot(1, 2).hit);
    EXPECT_EQ(slot(1, 3).x, 300);  // neither moved nor drawn in this frame
    EXPECT_EQ(surface().At(305, 101), kBlack);
    flyShotGroup(1);
    EXPECT_EQ(slot(1, 3).x, 312);

    fly(3, 1, 100, 300);
    fly(3, 2, 100, 200);
    fly(3, 3, 100, 100);
    ASSERT_TRUE(weaponHitTest(90, 190, 20, 20));
    flyShotGroup(3);
    EXPECT_EQ(slot(3, 1).y, 288);
    EXPECT_TRUE(parked(slot(3, 2)));
    EXPECT_FALSE(slot(3, 2).hit);
    EXPECT_EQ(slot(3, 3).y, 88);  // the pass goes on
}

TEST_F(Weapons, UpwardAndDownwardShotsTurnAsTheyFly) {
    weaponLevel = 4;
    shipX = 200;
    shipY = 200;
    shotGroups[3].cooldown = 4;
    shotGroups[4].cooldown = 4;
    requestFire();
    std::vector<int> up, down;
    for (int frame = 0; frame < 9; ++frame) {
        const int upAngle = slot(3, 1).angle, downAngle = slot(4, 1).angle;
        if (frame > 0) {
            up.push_back(upAngle);
            down.push_back(downAngle);
            flyShotGroup(3);
            flyShotGroup(4);
        } else {
            stepShotGroup(3);
            stepShotGroup(4);
            // Launched at (shipX + 33, shipY + 5) and (shipX + 28, shipY + 15), moved at once,
            // drawn centred at their points with their first angles.
            EXPECT_EQ(slot(3, 1).x, 233);
            EXPECT_EQ(slot(3, 1).y, 193);
            EXPECT_EQ(slot(4, 1).x, 228);
            EXPECT_EQ(slot(4, 1).y, 227);
            EXPECT_EQ(slot(3, 1).width, 26);
            EXPECT_EQ(slot(3, 1).height, 19);
            std::vector<uint16_t> drawn = takePicture();
            lodImage(6).DrawRotated(surface(), 233, 193, 26, 19, 0, 0.5, 0.5, 255, 255);
            lodImage(6).DrawRotated(surface(), 228, 227, 26, 19, 0, 0.5, 0.5, 0, 255);
            EXPECT_EQ(drawn, takePicture());
            up.push_back(255);
            down.push_back(0);
        }
    }
    // The angle each frame was drawn with.
    EXPECT_EQ(up, (std::vector<int>{255, 243, 231, 219, 207, 195, 195, 195, 195}));
    EXPECT_EQ(down, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 70}));
}

TEST_F(Weapons, TheRearGunTurnsItsSpriteAboutItsCorner) {
    weaponLevel = 2;
    fly(2, 1, 300, 100);
    flyShotGroup(2);
    EXPECT_EQ(slot(2, 1).x, 288);
    EXPECT_EQ(slot(2, 1).width, 15);
    EXPECT_EQ(slot(2, 1).height, 4);
    std::vector<uint16_t> drawn = takePicture();
    lodImage(5).DrawRotated(surface(), 288, 100, 15, 4, 0, 0.0, 0.0, 129, 255);
    EXPECT_EQ(drawn, takePicture());
}

TEST_F(Weapons, TheForwardGunsPictureFollowsTheWeaponLevelWhenDrawn) {
    weaponLevel = 1;
    fly(1, 1, 100, 100);
    weaponLevel = 5;
    flyShotGroup(1);
    std::vector<uint16_t> drawn = takePicture();
    lodImage(7).Draw(surface(), 112, 100, 0);
    EXPECT_EQ(drawn, takePicture());
}

TEST_F(Weapons, LaunchPointsAndSoundsFollowTheWeaponLevel) {
    shipX = 100;
    shipY = 100;
    struct Case {
        int weapon;
        bool kul, raket1, raket2;
        int x1, y1;  // where group 1's projectile is after its launch frame
    } cases[] = {{1, true, false, false, 196, 115}, {2, true, false, false, 196, 115},
                 {4, false, true, false, 196, 115}, {5, true, false, true, 137, 118}};
    for (const Case& c : cases) {
        initWeapons();
        silence();
        weaponLevel = static_cast<uint8_t>(c.weapon);
        for (auto& g : shotGroups) g.cooldown = 5;  // every group at its gate
        requestFire();
        stepShotGroup(1);
        EXPECT_EQ(slot(1, 1).x, c.x1) << c.weapon;
        EXPECT_EQ(slot(1, 1).y, c.y1) << c.weapon;
        if (c.weapon == 5) {
            // Group 1 is silent at weapon level 5; the heavy shot plays "raket2" and "kul".
            EXPECT_FALSE(heard(Effect::kul));
            stepShotGroup(5);
            EXPECT_EQ(slot(5, 1).x, 137);
            EXPECT_EQ(slot(5, 1).y, 92);
        }
        EXPECT_EQ(heard(Effect::kul), c.kul) << c.weapon;
        EXPECT_EQ(heard(Effect::raket1), c.raket1) << c.weapon;
        EXPECT_EQ(heard(Effect::raket2), c.raket2) << c.weapon;
    }
    // The rear gun starts at (shipX + 12, shipY + 6) and is at once 12 further left.
    stepShotGroup(2);
    EXPECT_EQ(slot(2, 1).x, 100);
    EXPECT_EQ(slot(2, 1).y, 106);
}

TEST_F(Weapons, TheHeavyShotPausesAfterItsFifteenthUntilThatOnePassesX600) {
    weaponLevel = 5;
    shipX = 100;
    shipY = 100;
    std::vector<int> launches;  // frames
    std::vector<int> slotsUsed;
    for (int frame = 1; frame <= 135; ++frame) {
        std::vector<bool> idleBefore;
        for (int s = 1; s <= 15; ++s) idleBefore.push_back(slot(5, s).idle);
        requestFire();
        stepShotGroup(5);
        for (int s = 1; s <= 15; ++s)
            if (idleBefore[s - 1] && !slot(5, s).idle) {
                launches.push_back(frame);
                slotsUsed.push_back(s);
            }
        if (frame == 126) {
            EXPECT_EQ(slot(5, 15).x, 137 + 36 * 12);  // 569: still short of 600
            EXPECT_EQ(shotGroups[5].nextSlot, 7);  // the index kept moving at 96, 102, ... 126
        }
    }
    std::vector<int> expected;
    for (int n = 1; n <= 15; ++n) expected.push_back(6 * n);
    expected.push_back(132);  // slot 15 was at 629 when this frame began
    EXPECT_EQ(launches, expected);
    EXPECT_EQ(slotsUsed.back(), 7);
}

TEST_F(Weapons, RequestsLeftFromWeaponLevelSixFireOnceWhenTheGroupsRunAgain) {
    weaponLevel = 6;
    shipX = 100;
    shipY = 100;
    requestFire();
    for (auto& l : lasers) EXPECT_TRUE(l.fireRequest);
    for (auto& g : shotGroups) EXPECT_TRUE(g.fireRequest);
    weaponLevel = 1;  // back to level 1 after a lost last life in level 2
    shotGroups[1].cooldown = 4;  // at its gate
    shotGroups[2].cooldown = 2;  // not yet
    shotGroups[5].cooldown = 5;
    groupFrame();
    EXPECT_FALSE(slot(1, 1).idle);
    EXPECT_TRUE(slot(2, 1).idle);
    EXPECT_FALSE(slot(5, 1).idle);  // group 5 launches too, without the fire input
    for (auto& g : shotGroups) EXPECT_FALSE(g.fireRequest);
    for (int frame = 0; frame < 12; ++frame) groupFrame();
    EXPECT_TRUE(slot(1, 2).idle);
    EXPECT_TRUE(slot(2, 1).idle);
    EXPECT_TRUE(slot(5, 2).idle);
}

TEST_F(Weapons, TheUpperShipBeamGrowsThenRetractsWithTheShip) {
    weaponLevel = 6;
    shipX = 80;
    shipY = 200;
    podAnim = 2;  // "laser" sounds in this phase of the pod's cycle, "laser3" does not
    podFront = podRear = podTop = podBottom = false;
    requestFire();
    stepLasers();
    EXPECT_TRUE(heard(Effect::laser));
    EXPECT_FALSE(heard(Effect::laser3));
    // Its first frame runs from 87 to 233 (x2 = 73 + 80); the end point is not drawn.
    std::vector<int> cols = columnsOf(184, 0xFFFF00);
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols.front(), 87);
    EXPECT_EQ(cols.back(), 232);
    EXPECT_EQ(cols.size(), 146u);
    EXPECT_EQ(lasers[1].x2, 153);
    // The lower beam runs at shipY + 48.
    EXPECT_EQ(columnsOf(248, 0xFFFF00).size(), 146u);

    std::vector<int> x1s, x2s;
    for (int frame = 2; lasers[1].idle == false && frame < 40; ++frame) {
        surface().Fill(0);
        stepLasers();
        x1s.push_back(lasers[1].x1);
        x2s.push_back(lasers[1].x2);
    }
    EXPECT_EQ(x2s, (std::vector<int>{233, 313, 393, 473, 553, 553, 553, 553, 553, 553, 553}));
    EXPECT_EQ(x1s, (std::vector<int>{7, 7, 7, 7, 87, 167, 247, 327, 407, 487, 567}));
    EXPECT_TRUE(lasers[1].idle);
    EXPECT_FALSE(lasers[1].fireRequest);
    // Its last line ran from the back end before its last step: 80 + 487 to 80 + 553.
    cols = columnsOf(184, 0xFFFF00);
    EXPECT_EQ(cols.front(), 567);
    EXPECT_EQ(cols.back(), 632);

    // A running beam follows the ship and ignores new requests.
    requestFire();
    stepLasers();
    EXPECT_EQ(lasers[1].x2, 153);
    lasers[1].fireRequest = true;
    shipX = 100;
    shipY = 150;
    surface().Fill(0);
    stepLasers();
    EXPECT_EQ(lasers[1].x2, 233);
    EXPECT_EQ(lasers[1].y1, 134);
    cols = columnsOf(134, 0xFFFF00);
    EXPECT_EQ(cols.front(), 107);
    EXPECT_EQ(cols.back(), 332);
}

TEST_F(Weapons, AStruckShipBeamStopsGrowingAndRetracts) {
    weaponLevel = 6;
    shipX = 80;
    shipY = 200;
    requestFire();
    stepLasers();  // x2 = 153, y1 = 184
    // The left edge 120 lies in the span 7 .. 153 and right of shipX; the band holds y1.
    ASSERT_TRUE(weaponHitTest(120, 180, 30, 30));
    EXPECT_EQ(hitDamage, 10);
    EXPECT_TRUE(lasers[1].hit);
    EXPECT_EQ(lasers[1].x2, 53);
    stepLasers();
    EXPECT_EQ(lasers[1].x2, 53);  // no growth
    EXPECT_EQ(lasers[1].x1, 87);
    EXPECT_TRUE(lasers[1].idle);  // 87 >= 53
}

TEST_F(Weapons, ThePodBeamFiresWhereThePodIsDocked) {
    weaponLevel = 6;
    podFront = true;
    podRear = podTop = podBottom = false;
    podX = 175;
    podY = 100;
    shipX = 20;
    shipY = 300;
    lasers[3].fireRequest = true;
    std::vector<int> ends;
    for (int frame = 1; frame <= 6 && (frame == 1 || !lasers[3].idle); ++frame) {
        surface().Fill(0);
        stepLasers();
        // The red line is drawn somewhere in the rows podY + 5 .. podY + 34.
        int last = -1;
        for (int y = 105; y <= 134; ++y) {
            std::vector<int> c = columnsOf(y, 0x0000FF);
            if (!c.empty()) {
                EXPECT_EQ(c.front(), 205);
                last = c.back();
            }
        }
        ends.push_back(last + 1);
    }
    EXPECT_EQ(ends, (std::vector<int>{430, 510, 590, 640}));  // the last, to 670, is clipped
    EXPECT_TRUE(lasers[3].idle);

    // From x = 500 the front beam is too long at once: nothing drawn, ended in its first frame.
    podX = 500;
    lasers[3].fireRequest = true;
    surface().Fill(0);
    stepLasers();
    EXPECT_TRUE(lasers[3].idle);
    for (int y = 0; y < 380; ++y) EXPECT_TRUE(columnsOf(y, 0x0000FF).empty());

    // A beam marked as struck ends in its next step without a line.
    podX = 175;
    lasers[3].fireRequest = true;
    stepLasers();
    lasers[3].hit = true;
    surface().Fill(0);
    stepLasers();
    EXPECT_TRUE(lasers[3].idle);
    for (int y = 0; y < 380; ++y) EXPECT_TRUE(columnsOf(y, 0x0000FF).empty());
}

TEST_F(Weapons, ThePodBeamsOtherDirections) {
    weaponLevel = 6;
    shipX = 300;
    shipY = 300;
    auto fireFrom = [&](bool& side) {
        podFront = podRear = podTop = podBottom = false;
        side = true;
        lasers[3] = LaserBeam{};
        lasers[3].idle = true;
        lasers[3].fireRequest = true;
    };
    // Backwards from the pod at x 300: the far end moves 80 left a frame until it reaches 0.
    podX = 300;
    podY = 100;
    podAnim = 4;  // "laser2" sounds every fourth frame of the pod's cycle
    fireFrom(podRear);
    stepLasers();
    EXPECT_TRUE(heard(Effect::laser2));
    EXPECT_EQ(lasers[3].x1, 210);
    stepLasers();
    stepLasers();
    stepLasers();
    EXPECT_EQ(lasers[3].x1, -30);
    EXPECT_TRUE(lasers[3].idle);

    // Upwards from y 200: the upper end climbs 80 a frame from 200 until it is 0 or less.
    silence();
    podAnim = 5;
    podY = 200;
    fireFrom(podTop);
    stepLasers();
    EXPECT_FALSE(heard(Effect::laser2));
    EXPECT_EQ(lasers[3].y2, 195);
    EXPECT_EQ(lasers[3].y1, 120);
    EXPECT_GE(lasers[3].x1, podX - 33);
    EXPECT_LE(lasers[3].x1, podX - 4);
    stepLasers();
    stepLasers();
    EXPECT_EQ(lasers[3].y1, -40);
    EXPECT_TRUE(lasers[3].idle);

    // Downwards from y 100: the lower end moves from 120 by 80 until it reaches 350.
    podY = 100;
    fireFrom(podBottom);
    std::vector<int> y2s;
    while (true) {
        stepLasers();
        y2s.push_back(lasers[3].y2);
        if (lasers[3].idle) break;
    }
    EXPECT_EQ(y2s, (std::vector<int>{200, 280, 360}));
    EXPECT_EQ(lasers[3].y1, 120);

    // The jitter is drawn afresh in every frame.
    std::vector<int> xs;
    podY = 0;
    fireFrom(podBottom);
    for (int i = 0; i < 4; ++i) {
        stepLasers();
        xs.push_back(lasers[3].x1);
    }
    EXPECT_FALSE(xs[0] == xs[1] && xs[1] == xs[2] && xs[2] == xs[3]);
}

TEST_F(Weapons, TheHitTestTakesPointsStrictlyInside) {
    // Nothing in flight: the parked slots lie outside an ordinary rectangle.
    podX = -50;
    podY = 300;
    EXPECT_FALSE(weaponHitTest(100, 100, 50, 50));
    fly(1, 1, 100, 120);  // on the left edge
    fly(1, 2, 150, 120);  // on the right edge
    fly(1, 3, 120, 100);  // on the top edge
    fly(1, 4, 120, 150);  // on the bottom edge
    EXPECT_FALSE(weaponHitTest(100, 100, 50, 50));
    for (int s = 1; s <= 4; ++s) EXPECT_FALSE(slot(1, s).hit);
    initWeapons();

    // Two forward-gun shots inside: both consumed, damage 2.
    fly(1, 5, 101, 101);
    fly(1, 6, 149, 149);
    EXPECT_TRUE(weaponHitTest(100, 100, 50, 50));
    EXPECT_EQ(hitDamage, 2);
    EXPECT_TRUE(slot(1, 5).hit && slot(1, 6).hit);
    EXPECT_EQ(slot(1, 5).x, 800);
    EXPECT_EQ(slot(1, 6).y, 1000);
    // Consumed: a second, overlapping target tested later in the frame is not struck.
    EXPECT_FALSE(weaponHitTest(90, 90, 70, 70));

    // A heavy shot among them makes it 10; a heavy shot outside leaves 2.
    fly(1, 7, 120, 120);
    fly(5, 1, 125, 125);
    EXPECT_TRUE(weaponHitTest(100, 100, 50, 50));
    EXPECT_EQ(hitDamage, 10);
    fly(1, 8, 120, 120);
    fly(5, 2, 300, 125);
    EXPECT_TRUE(weaponHitTest(100, 100, 50, 50));
    EXPECT_EQ(hitDamage, 2);
    EXPECT_FALSE(slot(5, 2).hit);
    // Groups 2 to 4 deal 2 as well.
    fly(4, 1, 120, 120);
    EXPECT_TRUE(weaponHitTest(100, 100, 50, 50));
    EXPECT_EQ(hitDamage, 2);

    // A rectangle around the parking point is struck by every parked slot.
    initWeapons();
    EXPECT_TRUE(weaponHitTest(790, 990, 20, 20));
    EXPECT_EQ(hitDamage, 10);
    for (auto& g : shotGroups)
        for (auto& s : g.slots) EXPECT_TRUE(s.hit && parked(s));
}

TEST_F(Weapons, ThePodStrikesWithItsCentreAndTheRearBeamDealsTwenty) {
    podX = 100;
    podY = 100;  // its point is (120, 120)
    podFront = podTop = podBottom = false;
    podRear = true;
    EXPECT_TRUE(weaponHitTest(110, 110, 20, 20));
    EXPECT_EQ(hitDamage, 10);
    EXPECT_TRUE(weaponHitTest(110, 110, 20, 20));  // again, in every frame it stays
    EXPECT_FALSE(weaponHitTest(120, 110, 20, 20));  // its point on the left edge

    // The rear beam also strikes a target left of the pod: 20.
    lasers[3].x1 = 20;
    lasers[3].x2 = 100;
    lasers[3].y1 = 115;
    EXPECT_TRUE(weaponHitTest(90, 110, 40, 20));
    EXPECT_EQ(hitDamage, 20);
    EXPECT_TRUE(lasers[3].hit);
    EXPECT_EQ(lasers[3].x2, -500);
    EXPECT_EQ(lasers[3].y1, -100);
    // Moved off the screen: a second target in the same place is struck by the pod only.
    EXPECT_TRUE(weaponHitTest(90, 110, 40, 20));
    EXPECT_EQ(hitDamage, 10);
}

TEST_F(Weapons, TheBeamsTestTheTargetsLeftOrTopEdge) {
    podX = -50;
    podY = 300;
    shipX = 100;
    LaserBeam& k = lasers[1];
    k.x1 = 7;
    k.x2 = 300;
    k.y1 = 200;
    // The band: top < y1 + 10 and y1 < top + height + 10.
    EXPECT_TRUE(weaponHitTest(150, 209, 10, 10));
    k.x2 = 300;
    EXPECT_FALSE(weaponHitTest(150, 210, 10, 10));
    EXPECT_TRUE(weaponHitTest(150, 181, 10, 10));
    k.x2 = 300;
    EXPECT_FALSE(weaponHitTest(150, 180, 10, 10));
    // The span must hold the left edge, and the left edge must be right of the ship's tail.
    EXPECT_FALSE(weaponHitTest(300, 195, 10, 10));
    EXPECT_FALSE(weaponHitTest(100, 195, 10, 10));
    EXPECT_TRUE(weaponHitTest(101, 195, 10, 10));
    EXPECT_EQ(k.x2, 200);

    // The pod's front beam deals 10 right of the pod; top and bottom beams test the top edge
    // and deal 20.
    lasers[1] = LaserBeam{};
    LaserBeam& p = lasers[3];
    podX = 100;
    podY = 200;
    podFront = true;
    p = LaserBeam{};
    p.x1 = 130;
    p.x2 = 400;
    p.y1 = 210;
    EXPECT_FALSE(weaponHitTest(90, 205, 10, 10));  // left of the pod
    EXPECT_TRUE(weaponHitTest(200, 205, 10, 10));
    EXPECT_EQ(hitDamage, 10);
    podFront = false;
    podTop = true;
    p = LaserBeam{};
    p.x1 = 105;
    p.y1 = 20;
    p.y2 = 195;
    EXPECT_FALSE(weaponHitTest(100, 199, 10, 10));  // its top edge is not in the span 20 .. 195
    p.y2 = 195;
    EXPECT_FALSE(weaponHitTest(120, 100, 10, 10));  // x1 105 not within 110 .. 140 widened
    EXPECT_TRUE(weaponHitTest(96, 100, 10, 10));
    EXPECT_EQ(hitDamage, 20);
    EXPECT_EQ(p.y2, -100);
    podTop = false;
    podBottom = true;
    p = LaserBeam{};
    p.x1 = 105;
    p.y1 = 220;
    p.y2 = 350;
    EXPECT_TRUE(weaponHitTest(100, 300, 10, 10));
    EXPECT_EQ(hitDamage, 20);
    EXPECT_EQ(p.y2, -500);
    EXPECT_EQ(p.y1, -100);
}

TEST_F(Weapons, TheCapsuleIsCollectedOnlyLeftOf550ButAlwaysConsumesTheShot) {
    weaponLevel = 2;
    powerUpX = 300;
    powerUpY = 170;
    fly(1, 1, 290, 160);
    updatePowerUp();
    EXPECT_EQ(weaponLevel, 4);  // 2 + 1 is 3, which never lasts
    EXPECT_EQ(powerUpX, 999);
    EXPECT_TRUE(slot(1, 1).hit);
    EXPECT_EQ(slot(1, 1).x, 800);

    weaponLevel = 1;
    powerUpX = 560;
    fly(1, 2, 550, 160);
    updatePowerUp();
    EXPECT_EQ(weaponLevel, 1);
    EXPECT_EQ(powerUpX, 559);
    EXPECT_TRUE(slot(1, 2).hit);
    EXPECT_EQ(slot(1, 2).x, 800);
}

TEST(GodMode, AGodModeShipIsNotEvenMarked) {
    clearAllState();
    godMode = true;
    destroyShip();
    EXPECT_FALSE(shipDying);
    godMode = false;
    destroyShip();
    EXPECT_TRUE(shipDying);
    shipDying = false;
}

#ifdef ORBITA_CHECKED_TABLES
TEST(TablesDeathTest, AnIndexOutsideATableStopsWithItsMessage) {
    EXPECT_DEATH(aliensA[7].x = 1, "table index 7 outside 1 \\.\\. 6");
    EXPECT_DEATH(shotGroups[0].cooldown = 1, "table index 0 outside 1 \\.\\. 5");
}
#endif
