// Helpers of the tests that meet files: a fresh folder for each test, a command line run
// with its output captured, and a write run as on a nearly full disk.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

namespace testfiles {

struct Outcome {
    int status = -1;     // exit status; -1 when the command did not exit by itself
    std::string output;  // standard output and standard error together
};

// Runs a shell command line; its standard error goes with its output.
inline Outcome runShell(const std::string& commandLine) {
    Outcome r;
    FILE* p = popen((commandLine + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Runs f with files limited to maxBytes, which makes writes past it fail as they would on a
// full disk (the limit's signal is ignored meanwhile); gives f's result.
template <typename F>
auto withFileSizeLimit(rlim_t maxBytes, const F& f) {
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = maxBytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto result = f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

class TempFolderTest : public ::testing::Test {
protected:
    explicit TempFolderTest(const char* prefix) : prefix_(prefix) {}
    void SetUp() override {
        dir = std::filesystem::path(::testing::TempDir()) /
              (prefix_ + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;

private:
    std::string prefix_;
};

}  // namespace testfiles
