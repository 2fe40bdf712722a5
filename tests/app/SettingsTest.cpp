// The player's settings file: what it says, what it may not say, and that it is written
// back complete and read again the same.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/Desktop.h"
#include "app/KeyNames.h"
#include "app/Settings.h"

namespace {

std::string tempFolder() {
    char name[] = "/tmp/orbita-settings-XXXXXX";
    const char* d = mkdtemp(name);
    return d ? d : "";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Settings, EveryKeyIsRead) {
    app::Settings s;
    std::vector<std::string> problems;
    app::parseSettings(
        "[display]\nmode = window\nscale = 2\n"
        "[sound]\nmusic = 40\neffects = 70\nmute = yes\n"
        "[game]\nlanguage = en\n"
        "[keys]\nfire = A, LCtrl\nup = W\n"
        "[gamepad]\nfire = A\nback = Start\n",
        "t.ini", s, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(s.screen, app::ScreenMode::Window);
    EXPECT_EQ(s.scale, 2);
    EXPECT_EQ(s.musicVolume, 40);
    EXPECT_EQ(s.effectsVolume, 70);
    EXPECT_TRUE(s.muted);
    EXPECT_EQ(s.language, "en");
    EXPECT_EQ(s.bindings.keys(app::Action::Fire), (std::vector<int>{'A', 0xA2}));
    EXPECT_EQ(s.bindings.keys(app::Action::Up), (std::vector<int>{'W'}));
    EXPECT_EQ(s.bindings.buttons(app::PadAction::Fire), (std::vector<int>{0}));
    EXPECT_EQ(s.bindings.buttons(app::PadAction::Back), (std::vector<int>{6}));
}

TEST(Settings, EachBadLineIsNamedOnceWithItsNumberAndTheDefaultStays) {
    app::Settings s;
    std::vector<std::string> problems;
    app::parseSettings(
        "# comment\n"
        "[display]\n"
        "scale = 99\n"           // 3: out of range
        "mode = sideways\n"      // 4
        "[sound]\n"
        "music = loud\n"         // 6
        "effects = 30\n"
        "[keys]\n"
        "fire = NoSuchKey\n"     // 9
        "jump = Space\n"         // 10
        "[elsewhere]\n"
        "x = 1\n"                // 12
        "garbage line\n",        // 13
        "my.ini", s, problems);
    ASSERT_EQ(problems.size(), 7u);
    EXPECT_EQ(problems[0].rfind("my.ini:3: ", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("my.ini:4: ", 0), 0u) << problems[1];
    EXPECT_EQ(problems[2].rfind("my.ini:6: ", 0), 0u) << problems[2];
    EXPECT_EQ(problems[3].rfind("my.ini:9: ", 0), 0u) << problems[3];
    EXPECT_NE(problems[3].find("NoSuchKey"), std::string::npos);
    EXPECT_EQ(problems[4].rfind("my.ini:10: ", 0), 0u) << problems[4];
    EXPECT_EQ(problems[5].rfind("my.ini:12: ", 0), 0u) << problems[5];
    EXPECT_EQ(problems[6].rfind("my.ini:13: ", 0), 0u) << problems[6];
    EXPECT_EQ(s.scale, 1);
    EXPECT_EQ(s.screen, app::ScreenMode::FullScreen);
    EXPECT_EQ(s.musicVolume, 100);
    EXPECT_EQ(s.effectsVolume, 30);
    EXPECT_TRUE(s.bindings.keys(app::Action::Fire).empty());  // the default, Space, stays
}

TEST(Settings, WrittenAtomicallyAndReadBackTheSame) {
    const std::string dir = tempFolder();
    ASSERT_FALSE(dir.empty());
    const std::string path = dir + "/deep/orbita/orbita.ini";
    app::Settings s;
    s.screen = app::ScreenMode::Exclusive;
    s.scale = 3;
    s.musicVolume = 20;
    s.effectsVolume = 90;
    s.muted = true;
    s.language = "en";
    s.bindings.bindKeys(app::Action::Pause, {'P'});
    s.bindings.bindButtons(app::PadAction::Pod, {2});
    ASSERT_EQ(app::saveSettings(path, s), "");
    app::Settings back;
    std::vector<std::string> problems;
    ASSERT_TRUE(app::loadSettings(path, back, problems));
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(back.screen, s.screen);
    EXPECT_EQ(back.scale, 3);
    EXPECT_EQ(back.musicVolume, 20);
    EXPECT_EQ(back.effectsVolume, 90);
    EXPECT_TRUE(back.muted);
    EXPECT_EQ(back.language, "en");
    EXPECT_EQ(back.bindings.keys(app::Action::Pause), (std::vector<int>{'P'}));
    EXPECT_EQ(back.bindings.buttons(app::PadAction::Pod), (std::vector<int>{2}));
    EXPECT_TRUE(back.bindings.keys(app::Action::Fire).empty());
    // The defaults are written as comments that name them.
    EXPECT_NE(readFile(path).find("# fire = Space"), std::string::npos);
    std::system(("rm -rf " + dir).c_str());
}

TEST(Settings, PlaceFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/some/where", 1);
    EXPECT_EQ(app::defaultSettingsPath(), "/some/where/orbita/orbita.ini");
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored, as the rule says
    const char* home = std::getenv("HOME");
    if (home && *home) EXPECT_EQ(app::defaultSettingsPath(), std::string(home) + "/.config/orbita/orbita.ini");
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(Settings, HeadlessReadsOnlyWhatItIsGivenAndNeverWrites) {
    const std::string dir = tempFolder();
    const std::string path = dir + "/given.ini";
    std::ofstream(path) << "[display]\nmode = window\nscale = 2\n[game]\nlanguage = en\n";
    app::Options o;
    o.headless = true;
    app::Desktop none;
    none.load(o, {"--headless"});
    EXPECT_TRUE(none.path().empty());
    EXPECT_FALSE(none.writable());

    o.configFile = path;
    app::Desktop given;
    given.load(o, {"--headless", "--config", path});
    EXPECT_EQ(given.path(), path);
    EXPECT_FALSE(given.writable());
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.scale, 2);
    EXPECT_EQ(o.language, "en");
    EXPECT_FALSE(given.volumeKey(app::Action::Fire));
    EXPECT_TRUE(given.volumeKey(app::Action::VolumeDown));
    EXPECT_EQ(given.settings().musicVolume, 90);
    EXPECT_EQ(readFile(path), "[display]\nmode = window\nscale = 2\n[game]\nlanguage = en\n");
    std::system(("rm -rf " + dir).c_str());
}

TEST(Settings, TheCommandLineWinsOverTheFile) {
    const std::string dir = tempFolder();
    const std::string path = dir + "/given.ini";
    std::ofstream(path) << "[display]\nmode = window\nscale = 3\n[game]\nlanguage = en\n";
    app::Options o;
    o.configFile = path;
    o.scale = 2;
    o.windowed = true;
    o.language = "cs";
    app::Desktop d;
    d.load(o, {"--scale", "2", "--lang", "cs", "--config", path});
    EXPECT_EQ(o.scale, 2);
    EXPECT_EQ(o.language, "cs");
    std::system(("rm -rf " + dir).c_str());
}

TEST(Settings, AFileWithBadLinesIsNeverOverwritten) {
    const std::string dir = tempFolder();
    const std::string path = dir + "/orbita.ini";
    const std::string text = "[sound]\nmusic = 50\nbogus\n";
    std::ofstream(path) << text;
    app::Options o;
    o.configFile = path;
    app::Desktop d;
    d.load(o, {"--config", path});
    ASSERT_EQ(d.problems().size(), 1u);
    EXPECT_EQ(d.problems()[0].rfind(path + ":3: ", 0), 0u) << d.problems()[0];
    EXPECT_FALSE(d.writable());
    d.volumeKey(app::Action::Mute);
    EXPECT_EQ(readFile(path), text);
    std::system(("rm -rf " + dir).c_str());
}

TEST(KeyNames, NamesAndCodesGoBothWays) {
    for (const char* n : {"Space", "A", "Z", "0", "9", "F1", "F12", "F24", "KP8", "PrintScreen", "VolumeUp", "LCtrl"}) {
        const int vk = app::keyCodeFromName(n);
        ASSERT_NE(vk, 0) << n;
        ASSERT_NE(app::keyCodeName(vk), nullptr) << n;
        EXPECT_EQ(app::keyCodeFromName(app::keyCodeName(vk)), vk) << n;
    }
    EXPECT_EQ(app::keyCodeFromName("space"), 0x20);
    EXPECT_EQ(app::keyCodeFromName("F0"), 0);
    EXPECT_EQ(app::keyCodeFromName("F25"), 0);
    EXPECT_EQ(app::keyCodeFromName("F012"), 0);
    EXPECT_EQ(app::keyCodeFromName(""), 0);
    EXPECT_EQ(app::buttonFromName("a"), 0);
    EXPECT_EQ(app::buttonFromName("Start"), 6);
    EXPECT_EQ(app::buttonFromName("Button32"), 31);
    EXPECT_EQ(app::buttonFromName("Button33"), -1);
    EXPECT_EQ(app::buttonFromName("Button0"), -1);
}

}  // namespace
