// Nothing is reported as success that was not: standard output that cannot be written is
// an error, two outputs of one run in one file are refused before anything runs, a second
// run recording into a file another run is recording to is refused, and a closed terminal
// (SIGHUP) ends a recording as cleanly as SIGTERM. All run as a user would.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/InputScript.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(ORBITA_BINARY_DIR) + "/orbita";
const std::string kDxg = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";

class HonestOutputs : public testfiles::TempFolderTest {
protected:
    HonestOutputs() : TempFolderTest("orbita_outputs_") {}
    testfiles::Outcome run(const std::string& commandLine) {
        return testfiles::runShell("cd '" + dir.string() + "' && timeout -s KILL 60 " + commandLine);
    }
};

}  // namespace

TEST_F(HonestOutputs, StandardOutputOnAFullDiskIsAnError) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string picture = std::string(ORBITA_BINARY_DIR) + "/data/alin/al1.dxg";
    struct Case {
        std::string command, program;
    } cases[] = {
        {kProgram + " --help", "orbita"},
        {kProgram + " --headless --frames 3 --pacing", "orbita"},
        {kDxg + " --help", "orbita-dxg"},
        {kDxg + " list " + picture, "orbita-dxg"},
        {kDxg + " list --json " + picture, "orbita-dxg"},
        {kDxg + " check " + picture, "orbita-dxg"},
    };
    for (const Case& c : cases) {
        // Standard error stays with the test; only standard output goes to the full disk.
        testfiles::Outcome r = run("sh -c '" + c.command + " 2>&1 >/dev/full'");
        EXPECT_EQ(r.status, 1) << c.command << ": " << r.output;
        EXPECT_NE(r.output.find(c.program + ": cannot write standard output"), std::string::npos)
            << c.command << ": " << r.output;
    }
    // The same commands with somewhere to write succeed.
    EXPECT_EQ(run(kDxg + " list " + picture + " >/dev/null").status, 0);
    EXPECT_EQ(run(kProgram + " --help >/dev/null").status, 0);
}

TEST_F(HonestOutputs, TwoOutputsInOneFileAreRefusedBeforeAnythingRuns) {
    fs::create_directories(dir / "sub");
    fs::create_directory_symlink(dir / "sub", dir / "link");
    const char* commands[] = {
        "--record out.txt --dump-state 20:out.txt",
        "--screenshot 20:x.png --dump-state 20:x.png",
        "--screenshot 20:x.png --screenshot 30:./x.png",
        "--dump-state 20:sub/s.json --dump-state 30:link/s.json",
        "--record sub/r.txt --screenshot 10:link/../sub/r.txt",
    };
    for (const char* c : commands) {
        testfiles::Outcome r = run(kProgram + " --headless --seed 1 --frames 40 " + c);
        EXPECT_EQ(r.status, 2) << c << ": " << r.output;
        EXPECT_NE(r.output.find("is the same file as"), std::string::npos) << c << ": " << r.output;
    }
    for (const char* f : {"out.txt", "x.png", "sub/s.json", "sub/r.txt"}) EXPECT_FALSE(fs::exists(path(f))) << f;
}

TEST_F(HonestOutputs, ASecondRecordingIntoTheSameFileIsRefusedAndAHangUpEndsTheFirstWhole) {
    const std::string recording = path("rec.txt");
    pid_t pid = fork();
    if (pid == 0) {
        const std::string log = path("log.txt");
        if (!freopen(log.c_str(), "w", stderr)) _exit(126);
        execl(kProgram.c_str(), kProgram.c_str(), "--headless", "--seed", "7", "--record", recording.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    bool written = false;
    for (int i = 0; i < 200 && !written; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        written = fs::exists(recording);
    }
    EXPECT_TRUE(written);
    // Another spelling of the same file, by another run: refused, the first run's file untouched.
    testfiles::Outcome second = run(kProgram + " --headless --seed 8 --frames 5 --record ./rec.txt");
    EXPECT_EQ(second.status, 2) << second.output;
    EXPECT_NE(second.output.find("is being written by another run"), std::string::npos) << second.output;

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGHUP);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal instead of cleanly";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const app::InputScript s = app::loadScript(recording);
    EXPECT_EQ(s.header.seed, 7u);  // the first run's recording, not the second's
    ASSERT_FALSE(s.events.empty());
    EXPECT_GT(s.events.back().tick, 40u);
    EXPECT_FALSE(fs::exists(recording + ".lock"));
    // Once it has ended, the file may be recorded to again.
    EXPECT_EQ(run(kProgram + " --headless --seed 9 --frames 5 --record rec.txt").status, 0);
}

TEST_F(HonestOutputs, OutputsAreResolvedInTheFolderTheRunWasStartedIn) {
    // The program reads its data from a folder of its own and changes to it; a name that
    // depends on the working folder still means the folder the user was in.
    const fs::path data = fs::path(ORBITA_BINARY_DIR) / "data";
    ASSERT_TRUE(fs::is_directory(data / "pozadi"));
    fs::create_directory_symlink("/proc/self/cwd", dir / "here");
    const char* names[] = {"outputs-rec.txt", "outputs-state.json", "outputs-shot.png", "outputs-linked.txt"};
    for (const char* n : names) fs::remove(data / n);

    testfiles::Outcome r = run(kProgram +
                               " --headless --seed 3 --frames 30 --record /proc/self/cwd/outputs-rec.txt"
                               " --dump-state 10:/proc/self/cwd/outputs-state.json"
                               " --screenshot 10:/proc/self/cwd/outputs-shot.png");
    EXPECT_EQ(r.status, 0) << r.output;
    r = run(kProgram + " --headless --seed 3 --frames 30 --record here/outputs-linked.txt");
    EXPECT_EQ(r.status, 0) << r.output;
    for (const char* n : names) {
        EXPECT_TRUE(fs::is_regular_file(dir / n)) << n << " is not in the start folder";
        EXPECT_FALSE(fs::exists(data / n)) << n << " went into the data folder";
        fs::remove(data / n);
    }

    // The replayed script and the outputs are compared as the files they are at the start.
    const std::string script = app::scriptText(app::loadScript(path("outputs-rec.txt")));
    const char* sameAsScript[] = {
        "--play outputs-rec.txt --record /proc/self/cwd/outputs-rec.txt",
        "--play /proc/self/cwd/outputs-rec.txt --record ./outputs-rec.txt",
        "--play here/outputs-rec.txt --dump-state 5:outputs-rec.txt",
        "--timedemo outputs-rec.txt --screenshot 5:/proc/self/cwd/outputs-rec.txt",
    };
    for (const char* c : sameAsScript) {
        r = run(kProgram + " --headless " + c);
        EXPECT_EQ(r.status, 2) << c << ": " << r.output;
        EXPECT_NE(r.output.find("is the script being replayed"), std::string::npos) << c << ": " << r.output;
    }
    EXPECT_EQ(app::scriptText(app::loadScript(path("outputs-rec.txt"))), script);
    r = run(kProgram + " --headless --seed 3 --frames 30 --dump-state 10:outputs-d.json"
                       " --dump-state 20:/proc/self/cwd/outputs-d.json");
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("is the same file as"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(data / "outputs-d.json"));
    EXPECT_FALSE(fs::exists(dir / "outputs-d.json"));
    fs::remove(data / "outputs-d.json");
}
