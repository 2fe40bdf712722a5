// The scenes end to end: story, title, menu and the way into a level.
#include <gtest/gtest.h>

#include "Harness.h"

using scenario::run;

using scenario::dumpAt;

namespace {

// Escape at tick 3 leaves the story, at tick 6 the title; the menu picture then drops
// 10 pixels a frame from -380 and snaps from -10 to 0 on its 38th frame.
const char* kToMenu =
    "@3 hold Escape\n"
    "@4 release\n"
    "@6 hold Escape\n"
    "@7 release\n";

}  // namespace

TEST(Scenes, StartsWithTheStoryAndEscapeWalksToTheMenu) {
    auto r = run(scenario::dataDirectory(), {}, kToMenu, 8, {1, 2, 3, 5, 6, 8});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto& t1 = dumpAt(r, 1);
    EXPECT_TRUE(t1["inStory"].b);
    EXPECT_FALSE(t1["inTitle"].b);
    EXPECT_FALSE(t1["inMenu"].b);
    EXPECT_EQ(t1["lastTile"].i(), 0);
    EXPECT_EQ(t1["bgTiles"][0]["x"].i(), -620);  // the first page slides in 20 pixels a frame
    EXPECT_EQ(dumpAt(r, 2)["bgTiles"][0]["x"].i(), -600);
    EXPECT_EQ(t1["displayHeight"].i(), 480);
    EXPECT_FALSE(t1["hudVisible"].b);
    EXPECT_FALSE(t1["cursorVisible"].b);
    EXPECT_EQ(t1["level"].i(), 1);
    EXPECT_EQ(t1["lives"].i(), 3);
    EXPECT_EQ(t1["stars"].a.size(), 50u);

    const auto& t3 = dumpAt(r, 3);  // title: its picture starts at -380 and drops 10 a frame
    EXPECT_FALSE(t3["inStory"].b);
    EXPECT_TRUE(t3["inTitle"].b);
    EXPECT_EQ(t3["bgTiles"][0]["y"].i(), -370);
    EXPECT_EQ(dumpAt(r, 5)["bgTiles"][0]["y"].i(), -350);

    const auto& t6 = dumpAt(r, 6);
    EXPECT_TRUE(t6["inMenu"].b);
    EXPECT_FALSE(t6["inTitle"].b);
    EXPECT_EQ(t6["bgTiles"][0]["y"].i(), -370);
    EXPECT_FALSE(t6["cursorVisible"].b);
    EXPECT_FALSE(t6["hudVisible"].b);
}

TEST(Scenes, FireTurnsStoryPagesOnlyOnceAPageHasArrived) {
    // Holding fire from the start: a page slides in for 32 frames, and the frame in which it
    // arrives turns it.
    auto r = run(scenario::dataDirectory(), {}, "@1 hold Space\n", 200, {31, 32, 33, 63, 64, 159, 160});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 31)["lastTile"].i(), 0);
    EXPECT_EQ(dumpAt(r, 31)["bgTiles"][0]["x"].i(), -20);
    EXPECT_EQ(dumpAt(r, 32)["lastTile"].i(), 1);
    EXPECT_EQ(dumpAt(r, 32)["bgTiles"][0]["x"].i(), 0);
    EXPECT_EQ(dumpAt(r, 33)["bgTiles"][1]["x"].i(), -620);
    EXPECT_EQ(dumpAt(r, 63)["lastTile"].i(), 1);
    EXPECT_EQ(dumpAt(r, 64)["lastTile"].i(), 2);
    // The fifth page turned: the title.
    EXPECT_TRUE(dumpAt(r, 159)["inStory"].b);
    EXPECT_EQ(dumpAt(r, 159)["lastTile"].i(), 4);
    EXPECT_TRUE(dumpAt(r, 160)["inTitle"].b);
    EXPECT_FALSE(dumpAt(r, 160)["inStory"].b);
}

TEST(Scenes, TitleTakesFireOnlyAtRest) {
    // Title entered before tick 3 with fire held from tick 4: the picture drops 10 pixels a
    // frame from -380 and comes to rest at 50 in tick 45, where the held fire goes through.
    auto r = run(scenario::dataDirectory(), {}, "@3 hold Escape\n@4 hold Space\n", 50, {4, 44, 45});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(dumpAt(r, 4)["inTitle"].b);
    EXPECT_TRUE(dumpAt(r, 44)["inTitle"].b);
    EXPECT_EQ(dumpAt(r, 44)["bgTiles"][0]["y"].i(), 40);
    EXPECT_TRUE(dumpAt(r, 45)["inMenu"].b);
    EXPECT_EQ(dumpAt(r, 45)["bgTiles"][0]["y"].i(), -380);
}

TEST(Scenes, MenuClicksCountOnlyAfterThePictureHasArrived) {
    // Menu entered before tick 6: y is -370 after tick 6, -20 after tick 41; in tick 42 it
    // reaches -10 and snaps to 0, and the hand pointer appears.
    std::string script = std::string(kToMenu) +
                         "@20 move 500 400\n"
                         "@20 click\n"
                         "@41 click\n"
                         "@44 click\n";
    auto r = run(scenario::dataDirectory(), {}, script, 46, {41, 42, 43, 44, 45});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dumpAt(r, 41)["bgTiles"][0]["y"].i(), -20);
    EXPECT_TRUE(dumpAt(r, 41)["inMenu"].b);  // the early clicks did nothing
    EXPECT_FALSE(dumpAt(r, 41)["cursorVisible"].b);
    EXPECT_EQ(dumpAt(r, 42)["bgTiles"][0]["y"].i(), 0);
    EXPECT_TRUE(dumpAt(r, 42)["cursorVisible"].b);
    EXPECT_TRUE(dumpAt(r, 43)["inMenu"].b);
    const auto& t44 = dumpAt(r, 44);  // the click before tick 44 started level 1
    EXPECT_FALSE(t44["inMenu"].b);
    EXPECT_EQ(t44["level"].i(), 1);
    EXPECT_EQ(t44["displayHeight"].i(), 380);
    EXPECT_TRUE(t44["hudVisible"].b);
    EXPECT_FALSE(t44["cursorVisible"].b);
    EXPECT_EQ(t44["weaponLevel"].i(), 1);
    // Its first frame scrolls by 2 pixels (the set-up's 1.0 survives into it), then 1 a frame.
    EXPECT_EQ(t44["bgTiles"][0]["x"].i(), -2);
    EXPECT_EQ(t44["bgTiles"][8]["x"].i(), 640 * 8 - 2);
    EXPECT_EQ(t44["clockPixels"].i(), 2);
    EXPECT_EQ(dumpAt(r, 45)["bgTiles"][0]["x"].i(), -3);
    EXPECT_EQ(t44["powerUpX"].i(), 399);
}

TEST(Scenes, QuitBoxEndsTheProgram) {
    std::string script = std::string(kToMenu) + "@50 move 50 50\n@50 click\n";
    auto r = run(scenario::dataDirectory(), {}, script, 400, {49, 300});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.dumps.count(49));
    EXPECT_FALSE(r.dumps.count(300));  // the program had ended
}
