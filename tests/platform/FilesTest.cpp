// Safe writes and bounded reads: a write that fails keeps the old file, links and special
// files are refused, and reading a pipe never blocks.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Files.h"
#include "platform/Platform.h"
#include "platform/Png.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

class Files : public testfiles::TempFolderTest {
protected:
    Files() : TempFolderTest("orbita_files_") {}
    static std::string read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Names in the folder, so that a left-over temporary file shows.
    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

// Runs f in a child process that is killed after a few seconds; true when it ended by itself
// with status 0.
template <typename F>
bool endsInTime(const F& f) {
    pid_t pid = fork();
    if (pid == 0) {
        alarm(5);
        _exit(f() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(Files, AWriteReplacesTheWholeFileAndLeavesNothingBehind) {
    const std::string p = path("out.json");
    EXPECT_EQ(platform::writeFileSafely(p, std::string("first, longer content")), "");
    EXPECT_EQ(read(p), "first, longer content");
    chmod(p.c_str(), 0640);
    EXPECT_EQ(platform::writeFileSafely(p, std::string("second")), "");
    EXPECT_EQ(read(p), "second");
    struct stat st {};
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its mode";
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(platform::writeFileSafely(p, std::string()), "") << "an empty file is a file";
    EXPECT_EQ(read(p), "");
}

TEST_F(Files, LinksAndSpecialFilesAtTheTargetAreRefusedNotFollowed) {
    const std::string victim = path("victim");
    std::ofstream(victim) << "keep me";
    fs::create_symlink(victim, path("live.png"));
    fs::create_symlink(path("nowhere"), path("dangling.png"));
    EXPECT_EQ(platform::writeFileSafely(path("live.png"), std::string("x")), "is a symbolic link");
    EXPECT_EQ(platform::writeFileSafely(path("dangling.png"), std::string("x")), "is a symbolic link");
    EXPECT_EQ(read(victim), "keep me");
    EXPECT_FALSE(fs::exists(path("nowhere")));
    EXPECT_TRUE(fs::is_symlink(path("live.png")));

    fs::create_directory(path("folder"));
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(platform::writeFileSafely(path("folder"), std::string("x")), "is not a regular file");
    EXPECT_EQ(platform::writeFileSafely(path("pipe"), std::string("x")), "is not a regular file");
    EXPECT_EQ(platform::writeFileSafely("/dev/full", std::string("x")), "is not a regular file");
    EXPECT_EQ(platform::unwritableReason(path("new")), "");
    EXPECT_EQ(entries(), 5u) << "no temporary file is left";

    EXPECT_NE(platform::writeFileSafely(path("no/such/folder/f"), std::string("x")), "");
}

TEST_F(Files, AFullDiskKeepsThePreviousFileAndSaysWhy) {
    const std::string p = path("shot.png");
    std::ofstream(p) << "the previous good picture";
    const std::string reason =
        testfiles::withFileSizeLimit(4096, [&] { return platform::writeFileSafely(p, std::string(100000, 'x')); });
    EXPECT_EQ(reason, "File too large");
    EXPECT_EQ(read(p), "the previous good picture");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(Files, ReadingChecksTheKindOfFileBeforeOpeningIt) {
    const std::string pipe = path("po1.dxg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Opening a pipe with no writer would wait for ever; the check must come first.
    EXPECT_TRUE(endsInTime([&] {
        std::vector<uint8_t> bytes;
        return platform::readRegularFile(pipe, bytes) == platform::ReadFailure::NotRegular;
    }));
    std::vector<uint8_t> bytes;
    EXPECT_EQ(platform::readRegularFile("/dev/zero", bytes), platform::ReadFailure::NotRegular);
    EXPECT_EQ(platform::readRegularFile(dir.string(), bytes), platform::ReadFailure::NotRegular);
    EXPECT_EQ(platform::readRegularFile(path("absent"), bytes), platform::ReadFailure::Missing);

    std::ofstream(path("data")) << "0123456789";
    EXPECT_EQ(platform::readRegularFile(path("data"), bytes, 9), platform::ReadFailure::TooLarge);
    EXPECT_TRUE(bytes.empty());
    fs::create_symlink(path("data"), path("link"));
    EXPECT_EQ(platform::readRegularFile(path("link"), bytes, 10), platform::ReadFailure::None);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
}

TEST_F(Files, SameFileSeesThroughSpellingsAndLinks) {
    std::ofstream(path("demo.txt")) << "@1 release\n";
    fs::create_symlink(path("demo.txt"), path("link.txt"));
    EXPECT_TRUE(platform::sameFile(path("demo.txt"), path("link.txt")));
    EXPECT_TRUE(platform::sameFile(path("demo.txt"), (dir / "." / "demo.txt").string()));
    EXPECT_FALSE(platform::sameFile(path("demo.txt"), path("other.txt")));
    std::ofstream(path("other.txt")) << "@1 release\n";
    EXPECT_FALSE(platform::sameFile(path("demo.txt"), path("other.txt")));
}

TEST_F(Files, PngWritesAreSafeAndDeclaredSizesAreCheckedBeforeDecoding) {
    const std::vector<uint32_t> pixels(6, 0xFF0000FFu);
    std::string error;
    ASSERT_TRUE(platform::savePng(path("a.png"), 3, 2, pixels, &error)) << error;
    int w = 0, h = 0;
    std::vector<uint32_t> back;
    ASSERT_TRUE(platform::loadPng(path("a.png"), w, h, back, &error)) << error;
    EXPECT_EQ(w, 3);
    EXPECT_EQ(back, pixels);

    fs::create_symlink(path("elsewhere.png"), path("b.png"));
    EXPECT_FALSE(platform::savePng(path("b.png"), 3, 2, pixels, &error));
    EXPECT_EQ(error, "is a symbolic link");
    EXPECT_FALSE(fs::exists(path("elsewhere.png")));

    // A PNG header that declares 30000 x 30000: refused from its header, nothing decoded.
    std::ifstream in(path("a.png"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    uint32_t dw = 0, dh = 0;
    ASSERT_TRUE(platform::pngDeclaredSize(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), dw, dh));
    EXPECT_EQ(dw, 3u);
    EXPECT_EQ(dh, 2u);
    const char giant[8] = {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30};
    bytes.replace(16, 8, giant, 8);
    std::ofstream(path("giant.png"), std::ios::binary) << bytes;
    platform::PngLimits limits{16384, 16384, 8192ull * 8192};
    EXPECT_FALSE(platform::loadPng(path("giant.png"), w, h, back, &error, limits));
    EXPECT_EQ(error, "the picture is 30000 x 30000 pixels, larger than a collection can hold");
    EXPECT_FALSE(platform::pngDeclaredSize(reinterpret_cast<const uint8_t*>("GIF89a"), 6, dw, dh));
}
