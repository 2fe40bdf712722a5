// Driving the program from outside: recording and replaying, errors from the data files,
// the data check.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "Harness.h"
#include "TestData.h"

using scenario::run;

namespace {

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

int runIn(const std::string& dir, const std::string& args, std::string* out = nullptr) {
    std::string outFile = scenario::scratchDirectory() + "/out.txt";
    std::string cmd = "cd '" + dir + "' && '" + std::string(ORBITA_BINARY_DIR) + "/orbita' " + args + " >'" + outFile +
                      "' 2>&1";
    int raw = std::system(cmd.c_str());
    if (out) *out = scenario::readFile(outFile);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

TEST(Driving, ARecordedGameReplaysToTheSameStateHashes) {
    std::string dir = scenario::scratchDirectory();
    // Play into level 1 from the start, moving and pausing, and record it.
    const char* script =
        "@3 hold Escape\n@4 release\n@6 hold Escape\n@7 release\n"
        "@50 move 500 400\n@50 click\n"
        "@60 hold Up Right\n@75 hold Down Space\n@90 hold Enter\n@91 release\n@100 hold Escape\n@101 release\n"
        "@120 hold Left Tab\n@130 release\n";
    auto rec = run(scenario::dataDirectory(), {"--record", dir + "/rec.txt"}, script, 200, {200});
    ASSERT_EQ(rec.status, 0) << rec.err;
    std::string text = scenario::readFile(dir + "/rec.txt");
    ASSERT_EQ(text.rfind("orbita-script 1", 0), 0u) << text;
    EXPECT_NE(text.find("seed=7"), std::string::npos);
    EXPECT_EQ(countOf(text, " hash "), 5);  // ticks 40, 80, ..., 200
    EXPECT_NE(text.find("click"), std::string::npos);

    // Replaying it reaches the same hashes and the same state.
    std::string out;
    std::string dumpPath = dir + "/replay.json";
    EXPECT_EQ(runIn(scenario::dataDirectory(), "--headless --play '" + dir + "/rec.txt' --dump-state 200:'" + dumpPath + "'",
                    &out),
              0)
        << out;
    auto replayed = testjson::parseFile(dumpPath);
    const auto& original = rec.dumps.at(200);
    for (const char* k : {"shipX", "shipY", "level", "levelClock", "frameCounter", "faceRoll", "mouseX"})
        EXPECT_EQ(replayed[k].i(), original[k].i()) << k;
    EXPECT_EQ(replayed["paused"].b, original["paused"].b);

    // A replay that no longer matches stops at the first differing hash with status 1.
    std::string tampered = std::regex_replace(text, std::regex("@120 hash [0-9a-fA-F]+"), "@120 hash 123");
    ASSERT_NE(tampered, text);
    scenario::writeFile(dir + "/bad.txt", tampered);
    EXPECT_EQ(runIn(scenario::dataDirectory(), "--headless --play '" + dir + "/bad.txt'", &out), 1);
    EXPECT_NE(out.find("tick 120"), std::string::npos) << out;

    // Re-recording a played script gives the same events and hashes.
    EXPECT_EQ(runIn(scenario::dataDirectory(),
                    "--headless --play '" + dir + "/rec.txt' --record '" + dir + "/again.txt'", &out),
              0)
        << out;
    EXPECT_EQ(scenario::readFile(dir + "/again.txt"), text);
}

TEST(Driving, ATapBetweenTicksAndAKeyPressedAgainWhileHeldReplay) {
    // Space tapped between ticks 33 and 34, after the first story page has arrived: the key
    // is up again at tick 34, so the page stays. Escape held from tick 36 leaves the story;
    // pressed again while still held (as a key's auto-repeat does) before tick 38 it leaves
    // the title as well.
    std::string dir = scenario::scratchDirectory();
    const char* script =
        "@34 hold Space\n@34 release\n"
        "@36 hold Escape\n@38 release\n@38 hold Escape\n@39 release\n";
    auto rec = run(scenario::dataDirectory(), {"--record", dir + "/rec.txt"}, script, 90, {35, 40});
    ASSERT_EQ(rec.status, 0) << rec.err;
    EXPECT_EQ(rec.dumps.at(35)["lastTile"].i(), 0);
    EXPECT_TRUE(rec.dumps.at(40)["inMenu"].b);
    // The replay checks the state hash of ticks 40 and 80 against the recording, and runs
    // to the last recorded tick, 90.
    std::string out;
    std::string dumpPath = dir + "/replay.json";
    EXPECT_EQ(runIn(scenario::dataDirectory(), "--headless --play '" + dir + "/rec.txt' --dump-state 40:'" + dumpPath +
                                                   "' --dump-state 90:'" + dir + "/last.json'",
                    &out),
              0)
        << out << scenario::readFile(dir + "/rec.txt");
    EXPECT_TRUE(testjson::parseFile(dumpPath)["inMenu"].b) << scenario::readFile(dir + "/rec.txt");
    EXPECT_FALSE(scenario::readFile(dir + "/last.json").empty()) << scenario::readFile(dir + "/rec.txt");
}

TEST(Driving, AMissingDataFileIsReportedOnceAndTheGameGoesOn) {
    std::string dir = scenario::scratchDirectory();
    testdata::writeDataDirectory(dir);
    std::remove((dir + "/pozadi/po3.dxg").c_str());
    auto r = run(dir, {"--warp", "3"}, "", 100, {100});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(countOf(r.err, "Cannot open file pozadi\\po3.dxg"), 1) << r.err;
    ASSERT_TRUE(r.dumps.count(100));
    EXPECT_GE(r.dumps[100]["level"].i(), 3);

    // A damaged file gives the reader's message, once; the emptied list then fails its first
    // access with the list-index error, once too; the story scene still runs.
    scenario::writeFile(dir + "/pozadi/story.dxg", "TPF0 but nothing more");
    auto d = run(dir, {}, "", 60, {60});
    EXPECT_EQ(d.status, 0);
    EXPECT_EQ(std::count(d.err.begin(), d.err.end(), '\n'), 2) << d.err;
    EXPECT_EQ(countOf(d.err, "List index out of bounds (0)"), 1) << d.err;
    ASSERT_TRUE(d.dumps.count(60));
    EXPECT_TRUE(d.dumps[60]["inStory"].b);
}

TEST(Driving, AWarpWithoutTheMenuPicturesStillEntersItsLevel) {
    std::string dir = scenario::scratchDirectory();
    testdata::writeDataDirectory(dir);
    std::remove((dir + "/pozadi/menu.dxg").c_str());
    auto r = run(dir, {"--warp", "2"}, "", 10, {10});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(countOf(r.err, "Cannot open file pozadi\\menu.dxg"), 1) << r.err;
    ASSERT_TRUE(r.dumps.count(10));
    EXPECT_FALSE(r.dumps[10]["inMenu"].b);
    EXPECT_EQ(r.dumps[10]["level"].i(), 2);
    EXPECT_EQ(r.dumps[10]["displayHeight"].i(), 380);
}

TEST(Driving, AShortPictureFileGivesOneListIndexErrorNotAStorm) {
    std::string dir = scenario::scratchDirectory();
    testdata::writeDataDirectory(dir);
    // A level-1 background with four tiles instead of nine: drawing tile 3 fails every frame.
    scenario::writeFile(dir + "/pozadi/po1.dxg", scenario::readFile(dir + "/pozadi/menu.dxg"));  // four pictures
    auto r = run(dir, {"--warp", "1"}, "", 100, {100});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(countOf(r.err, "List index out of bounds (4)"), 1) << r.err;
    EXPECT_TRUE(r.dumps.count(100));
}

TEST(Driving, VerifyDataReportsMissingAndShortFiles) {
    std::string out;
    EXPECT_EQ(runIn(scenario::dataDirectory(), "--verify-data", &out), 0) << out;

    std::string dir = scenario::scratchDirectory();
    testdata::writeDataDirectory(dir);
    std::remove((dir + "/vob/vob6.dxg").c_str());
    scenario::writeFile(dir + "/pozadi/po2.dxg", scenario::readFile(dir + "/pozadi/menu.dxg"));
    scenario::writeFile(dir + "/zvuky/d3.dxg", "not a collection");
    EXPECT_EQ(runIn(dir, "--verify-data", &out), 1);
    EXPECT_NE(out.find("vob\\vob6.dxg"), std::string::npos) << out;
    EXPECT_NE(out.find("pozadi\\po2.dxg: holds 4 items, the game addresses 8"), std::string::npos) << out;
    EXPECT_NE(out.find("zvuky\\d3.dxg"), std::string::npos) << out;
    EXPECT_EQ(out.find("po1.dxg"), std::string::npos) << out;
}

TEST(Driving, VerifyDataChecksTheFilesOfEveryLanguage) {
    std::string dir = scenario::scratchDirectory();
    testdata::writeDataDirectory(dir);
    std::string out;
    std::filesystem::create_directories(dir + "/lang/en/pozadi");
    std::filesystem::create_directories(dir + "/lang/de");
    scenario::writeFile(dir + "/lang/en/texts.txt", "pause=P\nend1=E\nend2=F\n");
    // English's first level picture by its Czech name is fine; a story whose pictures have
    // other names would be passed over, and a broken HUD file is named.
    scenario::writeFile(dir + "/lang/en/pozadi/po1.dxg", scenario::readFile(dir + "/pozadi/po1.dxg"));
    scenario::writeFile(dir + "/lang/en/pozadi/story.dxg", scenario::readFile(dir + "/pozadi/menu.dxg"));
    scenario::writeFile(dir + "/lang/en/podklad.dxg", "not a collection");
    EXPECT_EQ(runIn(dir, "--verify-data", &out), 1);
    EXPECT_NE(out.find("lang/de/texts.txt: missing (the game would show Czech)"), std::string::npos) << out;
    EXPECT_NE(out.find("lang/en/pozadi/story.dxg: picture \"titul\" takes the place of no Czech picture"), std::string::npos) << out;
    EXPECT_NE(out.find("lang/en/podklad.dxg: "), std::string::npos) << out;
    EXPECT_EQ(out.find("po1.dxg"), std::string::npos) << out;
    std::filesystem::remove_all(dir + "/lang/de");
    std::filesystem::remove(dir + "/lang/en/podklad.dxg");
    std::filesystem::remove(dir + "/lang/en/pozadi/story.dxg");
    EXPECT_EQ(runIn(dir, "--verify-data", &out), 0) << out;
    EXPECT_NE(out.find("complete, and the files of 1 language beside them"), std::string::npos) << out;
}

TEST(Driving, TimedemoPrintsItsFigures) {
    std::string dir = scenario::scratchDirectory();
    scenario::writeFile(dir + "/demo.txt", "@1 hold Escape\n@2 release\n@3 hold Escape\n@4 release\n@60 release\n");
    std::string out;
    EXPECT_EQ(runIn(scenario::dataDirectory(), "--timedemo '" + dir + "/demo.txt'", &out), 0) << out;
    EXPECT_NE(out.find("60 frames"), std::string::npos) << out;
    EXPECT_NE(out.find("frames per second"), std::string::npos) << out;
}

TEST(Driving, TheInstalledProgramFindsItsDataFromAnyDirectory) {
    std::string prefix = scenario::scratchDirectory();
    std::string out;
    std::string cmd = "cmake --install '" + std::string(ORBITA_BINARY_DIR) + "' --prefix '" + prefix + "' >'" + prefix +
                      "/install.log' 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << scenario::readFile(prefix + "/install.log");
    for (const char* f : {"/games/orbita", "/share/applications/orbita.desktop", "/share/man/man6/orbita.6"})
        EXPECT_FALSE(scenario::readFile(prefix + f).empty()) << f;
    if (scenario::readFile(prefix + "/share/orbita/pozadi/story.dxg").empty())
        GTEST_SKIP() << "the build made no data to install";
    std::string elsewhere = scenario::scratchDirectory();
    std::string run = "cd '" + elsewhere + "' && '" + prefix + "/games/orbita' --headless --seed 1 --frames 5 --dump-state 5:'" +
                      elsewhere + "/s.json' 2>'" + elsewhere + "/err.txt'";
    EXPECT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(scenario::readFile(elsewhere + "/err.txt"), "");
    auto d = testjson::parseFile(elsewhere + "/s.json");
    EXPECT_TRUE(d["inStory"].b);
}

TEST(Driving, TheRealWindowRunsUnderAVirtualDisplay) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
    std::string dir = scenario::scratchDirectory();
    // The system display libraries keep allocations that SDL never frees and unloads at exit,
    // so a sanitizer build cannot even name them: leak checks belong to the headless runs.
    std::string cmd = "cd '" + scenario::dataDirectory() + "' && SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 $(command -v flock >/dev/null && echo flock -w 280 /tmp/orbita-xvfb.lock) xvfb-run -a '" +
                      std::string(ORBITA_BINARY_DIR) + "/orbita' --windowed --seed 7 --warp 1 --frames 40 --screenshot 40:'" +
                      dir + "/w.png' >'" + dir + "/log.txt' 2>&1";
    int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << scenario::readFile(dir + "/log.txt");
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    ASSERT_TRUE(scenario::loadPicture(dir + "/w.png", w, h, rgba)) << scenario::readFile(dir + "/log.txt");
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    // The level's scenery (0x401010 through the 16-bit surface) fills the play area; the HUD
    // panel shows below it.
    auto share = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < w; ++x) n += (rgba[y * w + x] & 0xFFFFFF) == 0x421010;
        return static_cast<double>(n) / ((y1 - y0) * w);
    };
    EXPECT_GT(share(0, 380), 0.8);
    EXPECT_LT(share(385, 463), 0.1);
}
