// Replays of real play kept with their state hashes (every 40th tick): level 1 fought through
// without --god by a dodging player, and the whole game with --god from the story to the end
// text. A change that alters play makes the replay stop at the first hash that differs.
//
// When a change rightly alters play, record them again from their input (the hash lines left
// out) in the test data directory, for example:
//   grep -v ' hash ' level1.txt > in.txt && orbita --headless --play in.txt --record level1.txt
// level1.txt was found by scripts/dodge.py (fire held, up or down before each death).
#include <gtest/gtest.h>

#include "Harness.h"

using scenario::dumpAt;

namespace {

std::string replay(const char* name) {
    return scenario::readFile(std::string(ORBITA_SOURCE_DIR) + "/tests/scenario/replays/" + name);
}

}  // namespace

TEST(Replays, LevelOneIsFoughtThroughWithoutLosingALife) {
    const std::string script = replay("level1.txt");
    ASSERT_FALSE(script.empty());
    auto r = scenario::run(scenario::dataDirectory(), {}, script, 5120, {2000, 5118, 5119});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const auto& last = dumpAt(r, 5118);
    EXPECT_EQ(last["level"].i(), 1);
    EXPECT_EQ(last["lives"].i(), 3);
    EXPECT_FALSE(last["shipDying"].b);
    EXPECT_GE(dumpAt(r, 2000)["weaponLevel"].i(), 2) << "it fought: the capsule was shot";
    EXPECT_EQ(dumpAt(r, 5119)["level"].i(), 2);
}

TEST(Replays, TheWholeGameFromTheStoryToTheEndText) {
    const std::string script = replay("whole-game.txt");
    ASSERT_FALSE(script.empty());
    auto r = scenario::run(scenario::dataDirectory(), {}, script, 36000, {2, 36000});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_TRUE(dumpAt(r, 2)["inStory"].b);
    const auto& end = dumpAt(r, 36000);
    EXPECT_EQ(end["level"].i(), 8);
    EXPECT_TRUE(end["gameFinished"].b);
}
