// The weapons and the aliens in the whole program: fire held in level 1 collects the capsule,
// the beams and the pod in level 2, the pod keeping its state across a restart, and the ship
// dying by an alien's shot and by ramming, with the restart and the step back one level.
#include <gtest/gtest.h>

#include "Harness.h"

using scenario::run;

using scenario::dumpAt;

TEST(Combat, FireHeldInLevelOneShootsTheCapsule) {
    // The ship climbs to y 136 in four frames, so that its shots fly at the capsule's height.
    auto r = run(scenario::dataDirectory(), {"--warp", "1", "--god"}, "@1 hold Up Space\n@5 hold Space\n", 30,
                 {4, 5, 20, 21});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 4)["shotGroups"][0]["slots"][0]["x"].i(), 800);
    // The first launch, in the fifth frame, at shipX + 84, drawn at once at shipX + 96.
    const auto& first = dumpAt(r, 5)["shotGroups"][0]["slots"][0];
    EXPECT_EQ(first["x"].i(), 176);
    EXPECT_EQ(first["y"].i(), 151);
    EXPECT_FALSE(first["idle"].b);
    // The capsule drifts left from 400; in frame 21 the shot (356, 151) lies in its rectangle
    // 355 .. 380 x 145 .. 170: weapon level 2, the capsule parked at 1000 and moving again.
    EXPECT_EQ(dumpAt(r, 20)["weaponLevel"].i(), 1);
    EXPECT_EQ(dumpAt(r, 20)["powerUpX"].i(), 380);
    EXPECT_EQ(dumpAt(r, 21)["weaponLevel"].i(), 2);
    EXPECT_EQ(dumpAt(r, 21)["powerUpX"].i(), 999);
    EXPECT_EQ(dumpAt(r, 21)["shotGroups"][0]["slots"][0]["x"].i(), 800);
    EXPECT_TRUE(dumpAt(r, 21)["shotGroups"][0]["slots"][0]["idle"].b);
}

TEST(Combat, LevelTwoFiresTheBeamsAndThePodDocksAtTheTail) {
    auto r = run(scenario::dataDirectory(), {"--warp", "2", "--god"}, "@1 hold Space\n", 70, {1, 65, 66, 67});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto& l1 = dumpAt(r, 1)["lasers"][0];
    EXPECT_FALSE(l1["idle"].b);
    EXPECT_EQ(l1["x1"].i(), 7);
    EXPECT_EQ(l1["x2"].i(), 153);  // from a ship at x 80
    EXPECT_EQ(l1["y1"].i(), 184);
    EXPECT_EQ(dumpAt(r, 1)["lasers"][1]["y1"].i(), 248);
    // The pod homes in from (-50, 300) and the tail zone takes it in frame 66.
    EXPECT_TRUE(dumpAt(r, 65)["podReturning"].b);
    EXPECT_FALSE(dumpAt(r, 66)["podReturning"].b);
    EXPECT_TRUE(dumpAt(r, 66)["podRear"].b);
    EXPECT_FALSE(dumpAt(r, 66)["podFront"].b);
    EXPECT_EQ(dumpAt(r, 66)["podX"].i(), 16);
    EXPECT_EQ(dumpAt(r, 66)["podY"].i(), 234);
    EXPECT_EQ(dumpAt(r, 67)["podX"].i(), 40);
    EXPECT_EQ(dumpAt(r, 67)["podY"].i(), 195);
}

TEST(Combat, ThePodKeepsItsStateThroughTheMenu) {
    // Docked at the tail in frame 66; leave for the menu and start the level again: the pod
    // is where it was and docked as it was.
    const char* script =
        "@1 release\n@80 hold Escape\n@81 release\n@130 move 500 400\n@131 click\n";
    auto r = run(scenario::dataDirectory(), {"--warp", "2", "--god"}, script, 140, {79, 131});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto& before = dumpAt(r, 79);
    const auto& after = dumpAt(r, 131);
    EXPECT_FALSE(after["inMenu"].b);
    EXPECT_EQ(after["levelClock"].i(), 0);  // the level started again
    for (const char* k : {"podX", "podY", "podFlight", "podAngle"})
        EXPECT_EQ(before[k].i(), after[k].i()) << k;
    for (const char* k : {"podLaunched", "podReturning", "podFront", "podRear", "podTop", "podBottom"})
        EXPECT_EQ(before[k].b, after[k].b) << k;
}

TEST(Combat, AFlyersShotKillsTheShipAndTheLevelStartsAgainWithALifeLess) {
    // Nobody touches the keys: the ship waits at (80, 200) in level 1.
    auto r = run(scenario::dataDirectory(), {"--warp", "1"}, "", 1450, {1430, 1431, 1448, 1449});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto& before = dumpAt(r, 1430)["aliensA"][0];
    EXPECT_TRUE(before["shotFlying"].b);
    EXPECT_EQ(before["shotX"].i(), 176);
    EXPECT_EQ(before["shotY"].i(), 217);
    EXPECT_FALSE(dumpAt(r, 1430)["shipDying"].b);
    // Seven pixels on, at 169, the shot is inside the box 80 .. 170 x 200 .. 235: the ship is
    // struck and the shot ends at once.
    const auto& hit = dumpAt(r, 1431);
    EXPECT_TRUE(hit["shipDying"].b);
    EXPECT_EQ(hit["aliensA"][0]["shotX"].i(), 0);
    EXPECT_FALSE(hit["aliensA"][0]["shotFlying"].b);
    EXPECT_TRUE(hit["aliensA"][0]["shotReady"].b);
    EXPECT_EQ(dumpAt(r, 1448)["lives"].i(), 3);
    const auto& again = dumpAt(r, 1449);
    EXPECT_EQ(again["lives"].i(), 2);
    EXPECT_EQ(again["level"].i(), 1);
    EXPECT_EQ(again["levelClock"].i(), 0);
    EXPECT_FALSE(again["shipDying"].b);
    EXPECT_EQ(again["shipX"].i(), 80);
    EXPECT_EQ(again["shipY"].i(), 200);
}

TEST(Combat, AFlyerRamsTheShipAndFliesOn) {
    // Five frames down: the ship waits at (80, 280), in the path of the level's low flyers.
    auto r = run(scenario::dataDirectory(), {"--warp", "1"}, "@1 hold Down\n@6 release\n", 473, {471, 472, 473});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(dumpAt(r, 471)["shipDying"].b);
    const auto& hit = dumpAt(r, 472);
    EXPECT_TRUE(hit["shipDying"].b);
    const auto& a = hit["aliensA"][0];
    EXPECT_EQ(a["x"].i(), 169);  // inside 80 .. 171 x 280 .. 310
    EXPECT_EQ(a["y"].i(), 299);
    EXPECT_FALSE(a["dead"].b);
    EXPECT_EQ(dumpAt(r, 473)["aliensA"][0]["x"].i(), 169 - a["speed"].i());
}

TEST(Combat, EmplacementBoltsTakeTheLastLifeInLevelTwoAndLevelOneStartsWithThree) {
    // The ship waits in level 2; at clock 9 of every attempt the first emplacement fires a bolt
    // that finds the ship in its launch frame.
    auto r = run(scenario::dataDirectory(), {"--warp", "2"}, "", 2260, {734, 735, 736, 753, 1506, 2241, 2258, 2259});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(dumpAt(r, 734)["shipDying"].b);
    EXPECT_FALSE(dumpAt(r, 734)["aliensA"][0]["shotFlying"].b);
    const auto& hit = dumpAt(r, 735);
    EXPECT_TRUE(hit["shipDying"].b);
    EXPECT_EQ(hit["aliensA"][0]["anim"].i(), 16);
    // Launched at (x + 50, y + 100) = (60, 232), moved to 90, inside the box; set to 700, which
    // is not yet past the end, so it flies once more.
    EXPECT_EQ(hit["aliensA"][0]["shotX"].i(), 700);
    EXPECT_EQ(hit["aliensA"][0]["shotY"].i(), 232);
    EXPECT_TRUE(hit["aliensA"][0]["shotFlying"].b);
    EXPECT_EQ(dumpAt(r, 736)["aliensA"][0]["shotX"].i(), 730);
    EXPECT_FALSE(dumpAt(r, 736)["aliensA"][0]["shotFlying"].b);
    EXPECT_EQ(dumpAt(r, 753)["lives"].i(), 2);
    EXPECT_EQ(dumpAt(r, 1506)["lives"].i(), 1);
    EXPECT_TRUE(dumpAt(r, 2241)["shipDying"].b);
    EXPECT_EQ(dumpAt(r, 2258)["level"].i(), 2);
    const auto& back = dumpAt(r, 2259);
    EXPECT_EQ(back["level"].i(), 1);
    EXPECT_EQ(back["lives"].i(), 3);
    EXPECT_EQ(back["levelClock"].i(), 0);
    EXPECT_FALSE(back["shipDying"].b);
}

TEST(Combat, LevelSevenWantsTheTargetDownAndTheItemTaken) {
    // Fire held high up: the target is struck from clock 31 on but falls only at clock 33; the
    // second picture set follows in the next frame. At y 40 the ship takes the item on the way.
    auto high = run(scenario::dataDirectory(), {"--warp", "7"}, "@1 hold Up Space\n@11 hold Space\n", 1600,
                    {1316, 1320, 1321, 1459, 1460, 1600});
    ASSERT_EQ(high.status, 0) << high.err;
    EXPECT_FALSE(dumpAt(high, 1316)["aliensD"][0]["dead"].b);
    EXPECT_LT(dumpAt(high, 1316)["aliensD"][0]["hits"].i(), 2);
    EXPECT_EQ(dumpAt(high, 1316)["levelClock"].i(), 32);
    EXPECT_TRUE(dumpAt(high, 1320)["aliensD"][0]["dead"].b);
    EXPECT_EQ(dumpAt(high, 1320)["levelClock"].i(), 33);
    EXPECT_TRUE(dumpAt(high, 1320)["po7bPending"].b);
    EXPECT_FALSE(dumpAt(high, 1321)["po7bPending"].b);
    EXPECT_FALSE(dumpAt(high, 1459)["receptVisible"].b);
    EXPECT_TRUE(dumpAt(high, 1460)["receptVisible"].b);
    EXPECT_GT(dumpAt(high, 1600)["levelClock"].i(), 39);
    EXPECT_FALSE(dumpAt(high, 1600)["shipDying"].b);
    EXPECT_EQ(dumpAt(high, 1600)["lives"].i(), 3);

    // Lower, the target falls just the same but the item passes above: destroyed at clock 39.
    auto low = run(scenario::dataDirectory(), {"--warp", "7"}, "@1 hold Up Space\n@9 hold Space\n", 1560,
                   {1321, 1558, 1559});
    ASSERT_EQ(low.status, 0) << low.err;
    EXPECT_TRUE(dumpAt(low, 1321)["aliensD"][0]["dead"].b);
    EXPECT_FALSE(dumpAt(low, 1558)["shipDying"].b);
    EXPECT_FALSE(dumpAt(low, 1559)["receptVisible"].b);
    EXPECT_TRUE(dumpAt(low, 1559)["shipDying"].b);
    EXPECT_EQ(dumpAt(low, 1559)["levelClock"].i(), 39);
}
