// Levels in play: scrolling speeds and the level clock, level ends, pause, deaths and lives.
#include <gtest/gtest.h>

#include <cstdio>

#include "Harness.h"

using scenario::run;

using scenario::dumpAt;

namespace {

std::vector<uint32_t> range(uint32_t from, uint32_t to) {
    std::vector<uint32_t> v;
    for (uint32_t t = from; t <= to; ++t) v.push_back(t);
    return v;
}

}  // namespace

TEST(Levels, SlowLevelsMoveOnePixelEverySecondFrameAndTickTheClockEvery80) {
    // Levels 2 and 4 run at 0.6, level 5 at 0.8. Entered from outside a frame, the set-up's
    // 1.0 survives into the first frame, which therefore scrolls one pixel.
    const std::vector<uint32_t> ticks = {1, 2, 3, 4, 5, 78, 79, 158, 159};
    auto l2 = run(scenario::dataDirectory(), {"--warp", "2"}, "", 160, ticks);
    ASSERT_EQ(l2.status, 0) << l2.err;
    const int expectedPixels[] = {1, 1, 2, 2, 3};
    for (int t = 1; t <= 5; ++t) {
        EXPECT_EQ(dumpAt(l2, t)["bgTiles"][0]["y"].i(), -expectedPixels[t - 1]) << "tick " << t;
        EXPECT_EQ(dumpAt(l2, t)["bgTiles"][7]["y"].i(), 380 * 7 - expectedPixels[t - 1]) << "tick " << t;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(dumpAt(l2, 1)["scrollSpeed"].n), 0.6f);
    EXPECT_EQ(dumpAt(l2, 1)["weaponLevel"].i(), 6);
    EXPECT_EQ(dumpAt(l2, 1)["powerUpX"].i(), 1000);  // -400 parks the capsule at once
    EXPECT_EQ(dumpAt(l2, 78)["levelClock"].i(), 0);
    EXPECT_EQ(dumpAt(l2, 79)["levelClock"].i(), 1);
    EXPECT_EQ(dumpAt(l2, 79)["clockPixels"].i(), 0);
    EXPECT_EQ(dumpAt(l2, 158)["levelClock"].i(), 1);
    EXPECT_EQ(dumpAt(l2, 159)["levelClock"].i(), 2);

    auto l5 = run(scenario::dataDirectory(), {"--warp", "5"}, "", 160, ticks);
    ASSERT_EQ(l5.status, 0) << l5.err;
    for (int t = 1; t <= 5; ++t) EXPECT_EQ(dumpAt(l5, t)["bgTiles"][0]["y"].i(), expectedPixels[t - 1]);
    EXPECT_EQ(dumpAt(l5, 78)["levelClock"].i(), 0);
    EXPECT_EQ(dumpAt(l5, 79)["levelClock"].i(), 1);
    EXPECT_EQ(dumpAt(l5, 159)["levelClock"].i(), 2);

    // Level 4 first slides tile 0 down to 350 and tile 1 from -380 down to 0.
    auto l4 = run(scenario::dataDirectory(), {"--warp", "4"}, "", 760, {1, 3, 700, 759, 760});
    ASSERT_EQ(l4.status, 0) << l4.err;
    EXPECT_EQ(dumpAt(l4, 1)["bgTiles"][0]["y"].i(), 1);
    EXPECT_EQ(dumpAt(l4, 1)["bgTiles"][1]["y"].i(), -379);
    EXPECT_EQ(dumpAt(l4, 3)["bgTiles"][1]["y"].i(), -378);
    EXPECT_EQ(dumpAt(l4, 700)["bgTiles"][0]["y"].i(), 350);
    EXPECT_EQ(dumpAt(l4, 700)["bgTiles"][3]["x"].i(), -1280);  // no move to the right yet
    EXPECT_EQ(dumpAt(l4, 759)["bgTiles"][1]["y"].i(), 0);
}

TEST(Levels, TheLevelAfterAScrollOutScrollsZeroThenOne) {
    // Level 4 ends after 380 + 1280 scrolled pixels, in tick 3319.
    auto r = run(scenario::dataDirectory(), {"--warp", "4", "--god"}, "", 3325, range(3317, 3322));
    ASSERT_EQ(r.status, 0) << r.err;
    uint32_t change = 0;
    for (uint32_t t = 3317; t <= 3322 && !change; ++t)
        if (dumpAt(r, t)["level"].i() == 5) change = t;
    ASSERT_EQ(change, 3319u);
    const auto& c = dumpAt(r, change);
    EXPECT_EQ(dumpAt(r, change - 1)["level"].i(), 4);
    EXPECT_EQ(c["levelClock"].i(), 0);
    EXPECT_EQ(c["lives"].i(), 3);
    EXPECT_EQ(c["scrollAccum"].n, 0.0);  // the set-up's 1.0 was emptied by the same frame
    // Level 5's move rule ran once for tile 3, the index of level 4's last tile.
    EXPECT_EQ(c["bgTiles"][3]["y"].i(), -380 * 3 + 1);
    EXPECT_EQ(c["bgTiles"][4]["y"].i(), -380 * 4);
    EXPECT_EQ(dumpAt(r, change + 1)["bgTiles"][4]["y"].i(), -380 * 4);  // 0 pixels
    EXPECT_EQ(dumpAt(r, change + 2)["bgTiles"][4]["y"].i(), -380 * 4 + 1);  // then 1
}

TEST(Levels, PauseFreezesEverythingAndEscapeFirstOnlyUnpauses) {
    const char* script =
        "@10 hold Enter\n"
        "@11 release\n"
        "@40 hold Escape\n"
        "@41 release\n"
        "@50 hold Escape\n"
        "@51 release\n";
    std::string shots = scenario::scratchDirectory();
    auto r = run(scenario::dataDirectory(), {"--warp", "1", "--screenshot", "10:" + shots + "/a.png", "--screenshot",
                                             "30:" + shots + "/b.png"},
                 script, 52, {9, 10, 30, 39, 40, 41, 49, 50});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto& t10 = dumpAt(r, 10);
    EXPECT_TRUE(t10["paused"].b);
    // The frame in which the pause was pressed still ran to its end.
    EXPECT_EQ(t10["frameCounter"].i(), dumpAt(r, 9)["frameCounter"].i() + 1);
    for (uint32_t t : {30u, 39u}) {
        const auto& d = dumpAt(r, t);
        EXPECT_TRUE(d["paused"].b);
        for (const char* k : {"levelClock", "clockPixels", "frameCounter", "powerUpX"})
            EXPECT_EQ(d[k].i(), t10[k].i()) << k << " at tick " << t;
        EXPECT_EQ(d["bgTiles"][0]["x"].i(), t10["bgTiles"][0]["x"].i());
        for (size_t f = 0; f < 5; ++f) EXPECT_EQ(d["facesShown"][f].b, t10["facesShown"][f].b);
    }
    // Nothing is presented while paused: the picture with the pause text stays.
    std::string a = scenario::readFile(shots + "/a.png"), b = scenario::readFile(shots + "/b.png");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    // The first Escape only unpauses; the level goes on.
    EXPECT_FALSE(dumpAt(r, 40)["paused"].b);
    EXPECT_FALSE(dumpAt(r, 40)["inMenu"].b);
    EXPECT_EQ(dumpAt(r, 40)["bgTiles"][0]["x"].i(), t10["bgTiles"][0]["x"].i() - 1);
    EXPECT_EQ(dumpAt(r, 49)["level"].i(), 1);
    // The second leaves for the menu.
    EXPECT_TRUE(dumpAt(r, 50)["inMenu"].b);
    EXPECT_FALSE(dumpAt(r, 50)["hudVisible"].b);
    EXPECT_EQ(dumpAt(r, 50)["displayHeight"].i(), 480);
}

TEST(Levels, LosingTheLastLifeInLevel4RestartsLevel3WithThreeLives) {
    // Level 4's scenery is deadly in this data: the ship dies at once after every restart.
    auto r = run(scenario::dataDirectory(4), {"--warp", "4"}, "", 200, range(1, 200));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(dumpAt(r, 1)["shipDying"].b);
    uint32_t firstLoss = 0, lastLoss = 0;
    for (uint32_t t = 1; t <= 200; ++t) {
        const auto& d = dumpAt(r, t);
        if (!firstLoss && d["lives"].i() == 2) firstLoss = t;
        if (!lastLoss && d["level"].i() == 3) lastLoss = t;
    }
    ASSERT_NE(firstLoss, 0u);
    ASSERT_NE(lastLoss, 0u);
    const auto& f = dumpAt(r, firstLoss);
    EXPECT_EQ(f["level"].i(), 4);
    EXPECT_FALSE(f["shipDying"].b);
    EXPECT_EQ(f["deathFrame"].i(), 1);
    EXPECT_EQ(f["shipX"].i(), 620);  // the restart place of level 4, limited from the next frame
    EXPECT_EQ(f["shipY"].i(), 20);
    EXPECT_TRUE(f["livesShown"][0].b);
    EXPECT_TRUE(f["livesShown"][1].b);
    EXPECT_FALSE(f["livesShown"][2].b);
    EXPECT_EQ(dumpAt(r, firstLoss + 1)["shipX"].i(), 540);
    const auto& l = dumpAt(r, lastLoss);
    EXPECT_EQ(l["lives"].i(), 3);
    EXPECT_EQ(l["shipX"].i(), 300);
    EXPECT_EQ(l["shipY"].i(), 20);
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(l["livesShown"][i].b);
    EXPECT_EQ(dumpAt(r, lastLoss - 1)["lives"].i(), 1);
    const auto& end = dumpAt(r, 200);
    EXPECT_EQ(end["level"].i(), 3);
    EXPECT_FALSE(end["shipDying"].b);
    EXPECT_EQ(end["lives"].i(), 3);
}

TEST(Levels, GodModeSurvivesDeadlyScenery) {
    auto r = run(scenario::dataDirectory(4), {"--warp", "4", "--god"}, "", 100, {100});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 100)["level"].i(), 4);
    EXPECT_EQ(dumpAt(r, 100)["lives"].i(), 3);
    EXPECT_FALSE(dumpAt(r, 100)["shipDying"].b);
}

TEST(Levels, LeavingLevel5AndStartingAgainEntersLevel5WithFullLives) {
    // Deadly level 5: one life is lost, then Escape to the menu (y from -380 reaches -10 and
    // snaps in the 37th menu frame), and the start box.
    const char* script =
        "@30 hold Escape\n"
        "@31 release\n"
        "@70 move 500 400\n"
        "@70 click\n";
    auto r = run(scenario::dataDirectory(5), {"--warp", "5"}, script, 71, {29, 30, 69, 70});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 29)["lives"].i(), 2);
    EXPECT_EQ(dumpAt(r, 29)["level"].i(), 5);
    EXPECT_TRUE(dumpAt(r, 30)["inMenu"].b);
    EXPECT_EQ(dumpAt(r, 30)["lives"].i(), 3);
    EXPECT_TRUE(dumpAt(r, 69)["cursorVisible"].b);
    const auto& d = dumpAt(r, 70);
    EXPECT_FALSE(d["inMenu"].b);
    EXPECT_EQ(d["level"].i(), 5);
    EXPECT_EQ(d["lives"].i(), 3);
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(d["livesShown"][i].b);
}

TEST(Levels, Level7DestroysTheShipWhenTheClockPasses38WithTheTargetAlive) {
    // 39 clock ticks at 40 frames each (the first frame scrolls 2 pixels).
    auto r = run(scenario::dataDirectory(), {"--warp", "7"}, "", 1620, {1558, 1559, 1620});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 1558)["levelClock"].i(), 38);
    EXPECT_FALSE(dumpAt(r, 1558)["shipDying"].b);
    EXPECT_TRUE(dumpAt(r, 1558)["po7bPending"].b);
    EXPECT_FALSE(dumpAt(r, 1558)["receptVisible"].b);
    EXPECT_EQ(dumpAt(r, 1559)["levelClock"].i(), 39);
    EXPECT_TRUE(dumpAt(r, 1559)["shipDying"].b);
    const auto& d = dumpAt(r, 1620);  // restarted: the clock from 0, one life less
    EXPECT_EQ(d["level"].i(), 7);
    EXPECT_EQ(d["lives"].i(), 2);
    EXPECT_LT(d["levelClock"].i(), 3);
}

TEST(Levels, GodRunReachesEveryLevelEndAndTheEndTexts) {
    std::string shots = scenario::scratchDirectory();
    std::vector<uint32_t> ticks = {5000, 10000, 15000, 20000, 25000, 30000, 35000, 36000};
    auto r = run(scenario::dataDirectory(), {"--warp", "1", "--god", "--screenshot", "36000:" + shots + "/end.png"}, "",
                 36000, ticks);
    ASSERT_EQ(r.status, 0) << r.err;
    long long lastLevel = 0;
    for (uint32_t t : ticks) {
        long long lv = dumpAt(r, t)["level"].i();
        EXPECT_GE(lv, lastLevel);
        lastLevel = lv;
    }
    const auto& end = dumpAt(r, 36000);
    EXPECT_EQ(end["level"].i(), 8);
    EXPECT_TRUE(end["gameFinished"].b);
    EXPECT_EQ(end["bgTiles"][6]["y"].i(), 0);  // the scenery stands still at its end
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(Levels, Level8EndsWithTheEndTextsInEveryLaterFrame) {
    std::string shots = scenario::scratchDirectory();
    auto r = run(scenario::dataDirectory(),
                 {"--warp", "8", "--god", "--screenshot", "2300:" + shots + "/a.png", "--screenshot",
                  "2400:" + shots + "/b.png"},
                 "", 2400, {2277, 2278, 2279, 2400});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(dumpAt(r, 2278)["gameFinished"].b);
    EXPECT_TRUE(dumpAt(r, 2279)["gameFinished"].b);
    EXPECT_EQ(dumpAt(r, 2279)["bgTiles"][6]["y"].i(), 0);
    EXPECT_EQ(dumpAt(r, 2400)["bgTiles"][6]["y"].i(), 0);
    EXPECT_EQ(dumpAt(r, 2400)["level"].i(), 8);
    // Both pictures carry the yellow end text (RGB565 0xFFE0) around (200, 150) and (200, 200).
    for (const char* name : {"/a.png", "/b.png"}) {
        int w = 0, h = 0;
        std::vector<uint32_t> rgba;
        ASSERT_TRUE(scenario::loadPicture(shots + name, w, h, rgba));
        int yellowHigh = 0, yellowLow = 0;
        for (int y = 150; y < 180; ++y)
            for (int x = 200; x < 400; ++x) yellowHigh += (rgba[y * w + x] & 0xFFFFFF) == 0x00FFFF;
        for (int y = 200; y < 230; ++y)
            for (int x = 200; x < 400; ++x) yellowLow += (rgba[y * w + x] & 0xFFFFFF) == 0x00FFFF;
        EXPECT_GT(yellowHigh, 50) << name;
        EXPECT_GT(yellowLow, 50) << name;
    }
}
