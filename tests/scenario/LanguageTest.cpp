// The language changes what the player reads and nothing of play: the whole game played from
// the same script in Czech and in English gives the same state hashes and dumps, and a
// language without its files says so and plays in Czech.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Harness.h"
#include "media/CollectionFile.h"
#include "media/DIB.h"

namespace {

namespace fs = std::filesystem;

std::string withoutHashes(const std::string& script) {
    std::string out;
    size_t pos = 0;
    while (pos < script.size()) {
        size_t end = script.find('\n', pos);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(pos, end - pos);
        if (line.find(" hash ") == std::string::npos) out += line + "\n";
        pos = end + 1;
    }
    return out;
}

struct LanguageRun {
    scenario::Result result;
    std::string recording, storyShot, levelShot;
    std::vector<std::string> dumps;
};

const std::vector<uint32_t> kDumpTicks = {300, 5000, 20000, 36000};

LanguageRun play(const std::string& dataDir, const std::string& language, const std::string& script, uint32_t frames) {
    const std::string dir = scenario::scratchDirectory();
    std::vector<std::string> args = {"--lang", language, "--record", dir + "/rec.txt", "--screenshot", "58:" + dir + "/story.png"};
    // A picture of a level, where the run lasts long enough for one (a tick past the run's end is refused).
    if (frames >= 900) args.insert(args.end(), {"--screenshot", "900:" + dir + "/level.png"});
    for (uint32_t t : kDumpTicks)
        if (t <= frames) args.insert(args.end(), {"--dump-state", std::to_string(t) + ":" + dir + "/d" + std::to_string(t) + ".json"});
    LanguageRun r;
    r.result = scenario::run(dataDir, args, script, frames, {});
    r.recording = scenario::readFile(dir + "/rec.txt");
    r.storyShot = scenario::readFile(dir + "/story.png");
    r.levelShot = scenario::readFile(dir + "/level.png");
    for (uint32_t t : kDumpTicks)
        if (t <= frames) r.dumps.push_back(scenario::readFile(dir + "/d" + std::to_string(t) + ".json"));
    return r;
}

TEST(Language, TheWholeGamePlaysTheSameInCzechAndEnglish) {
    // The game's own data, as the build wrote it: the real scenery, whose deadly colours the
    // ship meets, with the English pictures beside the Czech ones.
    const std::string data = std::string(ORBITA_BINARY_DIR) + "/data";
    if (!fs::exists(data + "/lang/en/texts.txt")) GTEST_SKIP() << "no English data in this build";
    const std::string script =
        withoutHashes(scenario::readFile(std::string(ORBITA_SOURCE_DIR) + "/tests/scenario/replays/whole-game.txt"));
    ASSERT_FALSE(script.empty());
    const LanguageRun cs = play(data, "cs", script, 36000);
    const LanguageRun en = play(data, "en", script, 36000);
    for (const LanguageRun* r : {&cs, &en}) {
        ASSERT_EQ(r->result.status, 0) << r->result.err;
        EXPECT_TRUE(r->result.err.empty()) << r->result.err;  // English found all its files
        ASSERT_NE(r->recording.find(" hash "), std::string::npos);
        ASSERT_EQ(r->dumps.size(), kDumpTicks.size());
    }
    EXPECT_EQ(cs.recording, en.recording) << "the state hashes every 40 ticks";
    for (size_t i = 0; i < kDumpTicks.size(); ++i) EXPECT_EQ(cs.dumps[i], en.dumps[i]) << "tick " << kDumpTicks[i];
    EXPECT_NE(en.dumps.back().find("\"gameFinished\":true"), std::string::npos);
    // What the player read did change: the story page and the level's sign and HUD.
    EXPECT_NE(cs.storyShot, en.storyShot);
    EXPECT_NE(cs.levelShot, en.levelShot);
}

TEST(Language, MissingFilesAreReportedAndCzechIsShown) {
    // The tests' small data set has no lang/ folder.
    const std::string data = scenario::dataDirectory();
    const std::string script = "@3 hold Escape\n@4 release\n@100 hold Escape\n@101 release\n";
    const LanguageRun cs = play(data, "cs", script, 300);
    const LanguageRun en = play(data, "en", script, 300);
    ASSERT_EQ(cs.result.status, 0) << cs.result.err;
    EXPECT_TRUE(cs.result.err.empty()) << cs.result.err;
    ASSERT_EQ(en.result.status, 0) << en.result.err;
    EXPECT_EQ(en.result.err,
              "orbita: the files of language \"en\" are missing (lang/en/texts.txt); the game shows its texts in Czech\n");
    EXPECT_EQ(cs.recording, en.recording);
    EXPECT_EQ(cs.storyShot, en.storyShot) << "the Czech pictures";
    ASSERT_EQ(cs.dumps.size(), 1u);
    EXPECT_EQ(cs.dumps, en.dumps);
}

TEST(Language, ALanguageWithSomeFilesTakesThemAndTheCzechRest) {
    // A language is files only: its texts, and pictures by the Czech names where it has them.
    const std::string data = scenario::scratchDirectory();
    fs::copy(scenario::dataDirectory(), data, fs::copy_options::recursive);
    fs::create_directories(data + "/lang/de/pozadi");
    scenario::writeFile(data + "/lang/de/texts.txt", "pause=Pause >> Esc   weiter...\nend1=E1\nend2=E2\n");
    // The first story page of the tests' data set ("s0"), in another colour.
    media::PictureItemData page;
    page.Name = "s0";
    page.Picture = std::make_shared<media::TDIB>(640, 480, 16);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) page.Picture->SetPixel(x, y, 0x3060C0);
    page.Transparent = false;
    media::WritePictureCollectionFile(data + "/lang/de/pozadi/story.dxg", {page});
    const LanguageRun cs = play(data, "cs", "", 60);
    const LanguageRun de = play(data, "de", "", 60);
    ASSERT_EQ(de.result.status, 0) << de.result.err;
    EXPECT_TRUE(de.result.err.empty()) << de.result.err;
    EXPECT_NE(cs.storyShot, de.storyShot) << "the language's first story page";
    EXPECT_EQ(cs.recording, de.recording);
}

}  // namespace
