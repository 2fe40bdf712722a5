// The program run as a user runs it, with hostile and clumsy inputs and outputs: a pipe in
// the data folder, three broken data files, an endless script, a recording aimed at the
// replayed script, a full disk under the screenshots and a stop signal during a recording.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/InputScript.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(ORBITA_BINARY_DIR) + "/orbita";

using testfiles::Outcome;

// Runs a shell command line in folder; a run that outlives its time limit ends with 137.
Outcome run(const std::string& folder, const std::string& commandLine, int seconds = 60) {
    return testfiles::runShell("cd '" + folder + "' && timeout -s KILL " + std::to_string(seconds) + " sh -c \"" +
                               commandLine + "\"");
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class Program : public testfiles::TempFolderTest {
protected:
    Program() : TempFolderTest("orbita_program_") {}
    // A data folder of its own: the program reads the working folder when it has pozadi/.
    // The music is the build's (a scene's set-up loads it first and stops where a load fails).
    void dataFolders() {
        for (const char* d : {"pozadi", "alin", "vob"}) fs::create_directories(dir / d);
        const fs::path music = fs::path(ORBITA_BINARY_DIR) / "data" / "zvuky";
        if (fs::is_directory(music)) fs::create_directory_symlink(music, dir / "zvuky");
        else fs::create_directories(dir / "zvuky");
    }
};

}  // namespace

TEST_F(Program, APipeInTheDataFolderIsRefusedAndNothingWaitsForIt) {
    dataFolders();
    ASSERT_EQ(mkfifo(path("pozadi/story.dxg").c_str(), 0600), 0);
    Outcome check = run(dir.string(), kProgram + " --verify-data", 20);
    EXPECT_EQ(check.status, 1) << check.output;  // 137 would be a hang cut short
    EXPECT_NE(check.output.find("pozadi\\story.dxg: Cannot open file pozadi\\story.dxg"), std::string::npos)
        << check.output;
    Outcome game = run(dir.string(), kProgram + " --headless --frames 5", 20);
    EXPECT_EQ(game.status, 0) << game.output;
    EXPECT_EQ(count(game.output, "Cannot open file pozadi\\story.dxg"), 1u) << game.output;
}

TEST_F(Program, ThreeBrokenDataFilesGiveThreeMessagesEachNamingItsFile) {
    dataFolders();
    for (const char* f : {"pozadi/story.dxg", "pozadi/menu.dxg", "pozadi/po1.dxg"})
        std::ofstream(path(f)) << "not a collection file";
    Outcome r = run(dir.string(), kProgram + " --headless --warp 1 --frames 5", 30);
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* f : {"pozadi\\story.dxg", "pozadi\\menu.dxg", "pozadi\\po1.dxg"})
        EXPECT_EQ(count(r.output, std::string("orbita: ") + f + ": Invalid stream format\n"), 1u) << f << "\n"
                                                                                                 << r.output;
}

TEST_F(Program, AnEndlessScriptIsRefusedWithinAMemoryLimit) {
#ifdef ORBITA_SANITIZED
    const std::string limit = "";
#else
    const std::string limit = "ulimit -v 1000000; ";
#endif
    Outcome r = run(dir.string(), limit + "exec " + kProgram + " --headless --play /dev/zero", 30);
    EXPECT_EQ(r.status, 2) << r.output;
    // A device is no script: refused before a byte of it is read.
    EXPECT_EQ(r.output, "orbita: cannot open script /dev/zero: is a device\n");
}

TEST_F(Program, ARecordingAimedAtALinkOfTheReplayedScriptIsRefused) {
    const std::string script = "orbita-script 1 seed=3\n@5 hold Space\n@20 release\n";
    std::ofstream(path("demo.txt")) << script;
    fs::create_symlink(path("demo.txt"), path("link.txt"));
    Outcome r = run(dir.string(), kProgram + " --headless --play demo.txt --record link.txt", 30);
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("--record " + path("link.txt") + " is the script being replayed"), std::string::npos)
        << r.output;
    r = run(dir.string(), kProgram + " --headless --play ./demo.txt --record " + path("demo.txt"), 30);
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_EQ(readText(path("demo.txt")), script);
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
}

TEST_F(Program, ScreenshotsOnAFullDiskAreNamedAndTheRunFails) {
    // A file size limit stands in for a full disk; the program still plays all its ticks.
    Outcome r = run(dir.string(),
                "trap '' XFSZ; ulimit -f 12; exec " + kProgram +
                    " --headless --frames 10 --screenshot 5:a.png --screenshot 10:/dev/full --dump-state 10:s.json",
                60);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("orbita: cannot write " + path("a.png") + ": File too large\n"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("orbita: 3 outputs could not be written: " + path("a.png") + ", /dev/full, " +
                            path("s.json") + "\n"),
              std::string::npos)
        << r.output;
    EXPECT_TRUE(fs::is_empty(dir)) << "no cut file and no temporary file is left";

    // A real small file system, where the machine lets us make one.
    if (geteuid() != 0 || run(dir.string(), "unshare -m true", 10).status != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    fs::create_directories(dir / "small");
    r = run(dir.string(), "unshare -m sh -c 'mount -t tmpfs -o size=4k tmpfs small && exec " + kProgram +
                              " --headless --frames 5 --screenshot 5:small/a.png'",
            60);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("cannot write " + path("small/a.png") + ": No space left on device"), std::string::npos)
        << r.output;
}

TEST_F(Program, ASignalDuringARecordingEndsItCleanlyAndTheRecordingReplays) {
    const std::string recording = path("rec.txt");
    pid_t pid = fork();
    if (pid == 0) {
        const std::string log = path("log.txt");
        freopen(log.c_str(), "w", stderr);
        execl(kProgram.c_str(), kProgram.c_str(), "--headless", "--seed", "11", "--record", recording.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Written as it goes: the recording is on disk while the game still runs.
    bool early = false;
    for (int i = 0; i < 100 && !early; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        early = fs::exists(recording);
    }
    EXPECT_TRUE(early);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal instead of cleanly";
    EXPECT_EQ(WEXITSTATUS(status), 0) << readText(path("log.txt"));

    const app::InputScript s = app::loadScript(recording);
    ASSERT_TRUE(s.header.present);
    EXPECT_EQ(s.header.seed, 11u);
    ASSERT_FALSE(s.events.empty());
    const uint32_t last = s.events.back().tick;
    EXPECT_GT(last, 40u);
    // The whole session replays to the same state hashes up to the last tick.
    Outcome replay = run(dir.string(), kProgram + " --headless --play rec.txt --dump-state " + std::to_string(last) +
                                       ":end.json",
                     120);
    EXPECT_EQ(replay.status, 0) << replay.output;
    EXPECT_TRUE(fs::exists(path("end.json")));
}
