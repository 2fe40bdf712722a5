// The force pod worked frame by frame: homing, the capture zones and their sound, launches
// from each side, the screen edges, and what it does while the ship explodes.
#include <gtest/gtest.h>

#include "game/Main.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"
#include "game/zbrane.h"
#include "tests/support/HeadlessShell.h"

using namespace game;

namespace {

class Pod : public ::testing::Test {
protected:
    void SetUp() override {
        shell_.Open();
        form().DXDraw.SetHeight(380);
        weaponLevel = 6;
        // As the new-game reset leaves it: homing from off the screen, nose flag set.
        podLaunched = false;
        podReturning = true;
        podFlight = 2;
        podAngle = 0;
        podX = -50;
        podY = 300;
        podFront = true;
        podRear = podTop = podBottom = false;
        podAnim = 1;
        shipX = 80;
        shipY = 200;
        silence();
    }
    void TearDown() override { shell_.Close(); }
    TMainForm& form() { return *shell_.form; }
    void silence() { effect(Effect::pust).Stop(); }
    bool pust() { return effect(Effect::pust).Playing(); }
    // Docks the pod on one side, placed there by one frame.
    void dockOn(bool& side) {
        podLaunched = podReturning = false;
        podFront = podRear = podTop = podBottom = false;
        side = true;
        podAngle = (&side == &podTop || &side == &podBottom) ? 64 : 0;
        updatePod();
        silence();
    }

    support::HeadlessShell shell_;
};

}  // namespace

TEST_F(Pod, ComingInAtTheStartOfLevelTwoItDocksAtTheTailWithItsSound) {
    int docked = 0;
    for (int frame = 1; frame <= 80 && !docked; ++frame) {
        updatePod();
        if (!podReturning) docked = frame;
        else EXPECT_FALSE(pust()) << frame;
    }
    // It homes one pixel a frame from the left and one up: the tail zone takes it at 66.
    EXPECT_EQ(docked, 66);
    EXPECT_EQ(podX, 16);
    EXPECT_EQ(podY, 234);
    EXPECT_TRUE(podRear);
    EXPECT_FALSE(podFront);
    EXPECT_TRUE(pust());
    silence();
    updatePod();  // placed at the tail, outside every zone: no further capture
    EXPECT_EQ(podX, 40);
    EXPECT_EQ(podY, 195);
    EXPECT_FALSE(pust());
}

TEST_F(Pod, HomingIsTwiceAsFastFromTheRight) {
    podX = 400;
    podY = 100;
    podFront = false;
    updatePod();
    EXPECT_EQ(podX, 398);
    EXPECT_EQ(podY, 101);
    podX = 81;  // one right of the ship: -2, then +1
    updatePod();
    EXPECT_EQ(podX, 80);
}

TEST_F(Pod, ANoseLaunchDocksAgainAtOnceSilentlyUnlessTheShipMovesRight) {
    shipX = 200;
    dockOn(podFront);
    EXPECT_EQ(podX, 295);
    EXPECT_EQ(podY, 190);
    updatePod();
    EXPECT_FALSE(pust());  // caught again in every frame, silently

    launchPod();
    EXPECT_TRUE(pust());
    EXPECT_TRUE(podLaunched);
    EXPECT_EQ(podFlight, 40);
    silence();
    updatePod();
    EXPECT_EQ(podX, 305);  // 105 ahead: inside the nose zone
    EXPECT_FALSE(podLaunched);
    EXPECT_TRUE(podFront);
    EXPECT_FALSE(pust());

    dockOn(podFront);  // placed at 95 ahead again
    launchPod();
    shipX += 16;  // moved right in the launch frame: 89 ahead, outside the zone
    updatePod();
    EXPECT_TRUE(podLaunched);
    EXPECT_EQ(podFlight, 39);
    EXPECT_EQ(podX, 305);

    // A launch is taken only while docked.
    podFlight = 20;
    launchPod();
    EXPECT_EQ(podFlight, 20);
}

TEST_F(Pod, ATailLaunchDocksAgainWithTheSoundUnlessTheShipMovesLeft) {
    shipX = 300;
    dockOn(podRear);
    EXPECT_EQ(podX, 260);
    EXPECT_EQ(podY, 195);
    launchPod();
    silence();
    updatePod();
    EXPECT_EQ(podX, 250);
    EXPECT_TRUE(podRear);
    EXPECT_FALSE(podLaunched);
    EXPECT_TRUE(pust());

    dockOn(podRear);
    launchPod();
    shipX -= 16;
    updatePod();
    EXPECT_TRUE(podLaunched);
}

TEST_F(Pod, TopAndBottomLaunchesAlwaysLeaveAndTheFlightEndsAfter39Frames) {
    shipX = 300;
    shipY = 200;
    dockOn(podTop);
    EXPECT_EQ(podX, 375);
    EXPECT_EQ(podY, 165);
    EXPECT_EQ(podAngle, 64);
    launchPod();
    updatePod();
    EXPECT_TRUE(podLaunched);
    EXPECT_EQ(podY, 161);

    dockOn(podBottom);
    EXPECT_EQ(podY, 220);
    launchPod();
    updatePod();
    EXPECT_TRUE(podLaunched);
    EXPECT_EQ(podY, 224);
    EXPECT_EQ(podAngle, 64);

    // Up from the bottom of the play area: 156 pixels in 39 frames, then homing.
    shipX = 200;
    shipY = 350;
    dockOn(podTop);
    EXPECT_EQ(podY, 315);
    launchPod();
    int frames = 0;
    while (podLaunched && frames < 100) {
        updatePod();
        ++frames;
    }
    EXPECT_EQ(frames, 39);
    EXPECT_TRUE(podReturning);
    EXPECT_EQ(podY, 315 - 156 + 1);  // the homing already ran in the 39th frame
    EXPECT_EQ(podX, 275 - 2);
}

TEST_F(Pod, NearTheScreensEdgeTheFlightTurnsBackTheNextFrame) {
    shipX = 20;
    shipY = 200;
    podLaunched = true;
    podReturning = false;
    podFront = true;
    podFlight = 30;
    podX = 615;
    podY = 190;
    updatePod();
    EXPECT_EQ(podX, 625);
    EXPECT_EQ(podFlight, 1);
    EXPECT_TRUE(podLaunched);
    updatePod();
    EXPECT_FALSE(podLaunched);
    EXPECT_TRUE(podReturning);
    EXPECT_EQ(podX, 633);
}

TEST_F(Pod, TheZonesAreOpenAndDockingClearsTheOtherSides) {
    // Level with the ship's top edge the pod is in neither the top nor the bottom zone.
    shipX = 300;
    shipY = 200;
    podFront = true;
    podX = 320;
    podY = 201;
    podAngle = 0;
    updatePod();  // homed to 318, 200
    EXPECT_TRUE(podReturning);
    updatePod();  // 316, 200
    EXPECT_TRUE(podReturning);
    podY = 203;
    updatePod();  // 314, 202: bottom zone
    EXPECT_FALSE(podReturning);
    EXPECT_TRUE(podBottom);
    EXPECT_FALSE(podFront);
    EXPECT_EQ(podAngle, 64);
}

TEST_F(Pod, WhileTheShipExplodesThePodIsNeitherMovedNorDrawn) {
    podX = 200;
    podY = 100;
    podAnim = 5;
    shipDying = true;
    form().DXDraw.Surface().Fill(0);
    updatePod();
    EXPECT_EQ(podX, 200);
    EXPECT_EQ(podY, 100);
    EXPECT_EQ(podAnim, 5);
    for (int y = 100; y < 140; ++y)
        for (int x = 200; x < 240; ++x) ASSERT_EQ(form().DXDraw.Surface().At(x, y), 0);
    shipDying = false;
}

TEST_F(Pod, ItIsDrawnInFourFramesOfFourTurnedAboutItsCorner) {
    podX = 300;
    podY = 100;
    shipX = 20;
    shipY = 300;
    media::TDirectDrawSurface& s = form().DXDraw.Surface();
    for (int anim = 1; anim <= 16; ++anim) {
        s.Fill(0);
        podAnim = static_cast<uint8_t>(anim);
        podReturning = false;
        podLaunched = false;
        podFront = false;  // no side: stays where it is
        podAngle = 64;
        updatePod();
        std::vector<uint16_t> drawn(s.Width() * s.Height());
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) drawn[y * s.Width() + x] = s.At(x, y);
        s.Fill(0);
        lodImage(1 + (anim - 1) / 4).DrawRotated(s, 300, 100, 40, 40, 0, 0.0, 0.0, 64, 255);
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) ASSERT_EQ(drawn[y * s.Width() + x], s.At(x, y)) << anim;
        EXPECT_EQ(podAnim, anim == 16 ? 1 : anim + 1);
    }
}
