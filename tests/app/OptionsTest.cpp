// Command-line options: every option, both spellings, and the errors a person will meet.
#include <gtest/gtest.h>

#include "app/Options.h"

using namespace app;

namespace {

std::string errorOf(const std::vector<std::string>& args) {
    try {
        parseOptions(args);
    } catch (const OptionError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(Options, NoArgumentsMeansTheOriginalGame) {
    Options o = parseOptions(std::vector<std::string>{});
    EXPECT_FALSE(o.windowed);
    EXPECT_FALSE(o.headless);
    EXPECT_FALSE(o.hasSeed);
    EXPECT_EQ(o.warp, 0);
    EXPECT_FALSE(o.god);
    EXPECT_EQ(o.frames, 0u);
    EXPECT_TRUE(o.playFile.empty());
    EXPECT_TRUE(o.screenshots.empty());
    EXPECT_FALSE(o.help);
}

TEST(Options, EveryOption) {
    Options o = parseOptions(std::vector<std::string>{
        "--headless", "--seed", "12345", "--warp", "3", "--god", "--frames", "400", "--play", "in.txt",
        "--record", "out.txt", "--screenshot", "40:a.png", "--screenshot=80:dir/b:c.png",
        "--dump-state", "100:s.json", "--verify-data", "--scale=3"});
    EXPECT_TRUE(o.headless);
    EXPECT_TRUE(o.hasSeed);
    EXPECT_EQ(o.seed, 12345u);
    EXPECT_EQ(o.warp, 3);
    EXPECT_TRUE(o.god);
    EXPECT_EQ(o.frames, 400u);
    EXPECT_EQ(o.playFile, "in.txt");
    EXPECT_EQ(o.recordFile, "out.txt");
    ASSERT_EQ(o.screenshots.size(), 2u);
    EXPECT_EQ(o.screenshots[0].tick, 40u);
    EXPECT_EQ(o.screenshots[0].path, "a.png");
    EXPECT_EQ(o.screenshots[1].tick, 80u);
    EXPECT_EQ(o.screenshots[1].path, "dir/b:c.png");  // only the first colon separates
    ASSERT_EQ(o.stateDumps.size(), 1u);
    EXPECT_EQ(o.stateDumps[0].tick, 100u);
    EXPECT_EQ(o.stateDumps[0].path, "s.json");
    EXPECT_TRUE(o.verifyData);
    EXPECT_EQ(o.scale, 3);
    EXPECT_TRUE(o.windowed);  // a scale only makes sense in a window

    o = parseOptions(std::vector<std::string>{"--windowed", "--timedemo", "demo.txt", "--help"});
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.scale, 1);
    EXPECT_EQ(o.timedemoFile, "demo.txt");
    EXPECT_TRUE(o.help);
}

TEST(Options, LanguageIsCzechUnlessEnglishIsAskedFor) {
    EXPECT_EQ(parseOptions(std::vector<std::string>{}).language, "cs");
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--lang", "en"}).language, "en");
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--lang=cs"}).language, "cs");
    // Another code is taken (its files decide whether it can be shown); anything that could
    // name another folder is not.
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--lang", "de"}).language, "de");
    for (const char* bad : {"EN", "e", "../x", "en_GB", ""})
        EXPECT_EQ(errorOf({"--lang", bad}), std::string("orbita: --lang: not a language code: ") + bad + " (cs or en)")
            << bad;
    EXPECT_EQ(errorOf({"--lang"}), "orbita: option --lang needs a value");
}

TEST(Options, SeedTakesAll32Bits) {
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--seed", "4294967295"}).seed, 4294967295u);
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--seed", "-1"}).seed, 4294967295u);
    EXPECT_EQ(parseOptions(std::vector<std::string>{"--seed=0"}).seed, 0u);
    EXPECT_TRUE(parseOptions(std::vector<std::string>{"--seed=0"}).hasSeed);
}

TEST(Options, ErrorsSayWhatIsWrong) {
    EXPECT_EQ(errorOf({"--x"}), "orbita: unknown option --x");
    EXPECT_EQ(errorOf({"level3"}), "orbita: unexpected argument level3");
    EXPECT_EQ(errorOf({"--seed"}), "orbita: option --seed needs a value");
    EXPECT_EQ(errorOf({"--god=1"}), "orbita: option --god takes no value");
    EXPECT_EQ(errorOf({"--frames", "ten"}), "orbita: --frames: not a number: ten");
    EXPECT_EQ(errorOf({"--frames", "0"}), "orbita: --frames: 0 is out of range (1..4294967295)");
    EXPECT_EQ(errorOf({"--warp", "9"}), "orbita: --warp: 9 is out of range (1..8)");
    EXPECT_EQ(errorOf({"--scale", "0"}), "orbita: --scale: 0 is out of range (1..16)");
    EXPECT_EQ(errorOf({"--seed", "99999999999"}), "orbita: --seed: 99999999999 is out of range (-2147483648..4294967295)");
    EXPECT_EQ(errorOf({"--seed", "999999999999999999999999"}), "orbita: --seed: not a number: 999999999999999999999999");
    EXPECT_EQ(errorOf({"--screenshot", "a.png"}), "orbita: --screenshot wants N:FILE, not a.png");
    EXPECT_EQ(errorOf({"--dump-state", "x:s.json"}), "orbita: --dump-state: not a number: x");
    EXPECT_EQ(errorOf({"--play", "a", "--timedemo", "b"}), "orbita: --play and --timedemo cannot be used together");
    EXPECT_EQ(errorOf({"--play", "a", "--record", "a"}), "orbita: --record would overwrite the script being replayed");
}

TEST(Options, BadCommandLineExitsWithStatus2AndHelpWith0) {
    const char* bad[] = {"orbita", "--bogus", nullptr};
    EXPECT_EXIT(parseOptionsOrExit(2, const_cast<char**>(bad)), testing::ExitedWithCode(2),
                "orbita: unknown option --bogus");
    const char* help[] = {"orbita", "--help", nullptr};
    EXPECT_EXIT(parseOptionsOrExit(2, const_cast<char**>(help)), testing::ExitedWithCode(0), "");
    EXPECT_NE(usage().find("--dump-state"), std::string::npos);
}

TEST(Options, VersionConfigAndOutputsAfterTheLastTick) {
    const char* version[] = {"orbita", "--version"};
    EXPECT_EXIT(parseOptionsOrExit(2, const_cast<char**>(version)), testing::ExitedWithCode(0), "");
    EXPECT_EQ(versionText().rfind("orbita ", 0), 0u);
    Options o = parseOptions(std::vector<std::string>{"--config", "my.ini", "--headless"});
    EXPECT_EQ(o.configFile, "my.ini");
    EXPECT_EQ(o.language, "cs");
    EXPECT_THROW(parseOptions(std::vector<std::string>{"--config="}), OptionError);
    // An output due after the last tick would never be written: refused before the run.
    try {
        parseOptions(std::vector<std::string>{"--frames", "3", "--screenshot", "5:x.png"});
        ADD_FAILURE() << "a screenshot after the last tick was taken";
    } catch (const OptionError& e) {
        EXPECT_NE(std::string(e.what()).find("after the last tick"), std::string::npos) << e.what();
    }
    EXPECT_THROW(parseOptions(std::vector<std::string>{"--frames", "3", "--dump-state", "4:x.json"}), OptionError);
    EXPECT_NO_THROW(parseOptions(std::vector<std::string>{"--frames", "3", "--dump-state", "3:x.json"}));
    for (const char* text : {"--config", "--version", "--pacing", "F12", "Alt+Enter"})
        EXPECT_NE(usage().find(text), std::string::npos) << text;
}

}  // namespace
