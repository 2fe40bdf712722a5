// orbita-assets writes like the rest of the project, run as a user would: a link planted
// where an output goes is refused and its target kept, a pipe or a folder in place of an
// output is refused at once and left as it was, and --help goes to standard output.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kBuilder = std::string(ORBITA_BINARY_DIR) + "/orbita-assets";
const std::string kBuiltins = std::string(ORBITA_BINARY_DIR) + "/tools/assets/builtins";

class BuilderWrites : public testfiles::TempFolderTest {
protected:
    BuilderWrites() : TempFolderTest("orbita_builder_writes_") {}
    testfiles::Outcome run(const std::string& arguments) {
        return testfiles::runShell("timeout -s KILL 60 " + kBuilder + " " + arguments);
    }
    std::string text(const std::string& p) {
        std::ifstream in(p);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

}  // namespace

TEST_F(BuilderWrites, APlantedLinkAmongTheIconsIsRefusedAndItsTargetKept) {
    std::ofstream(path("precious.txt")) << "keep";
    fs::create_directories(dir / "icons");
    fs::create_symlink(path("precious.txt"), dir / "icons" / "orbita-64.png");
    testfiles::Outcome r = run("--icons " + path("icons"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output, "orbita-assets: cannot write the icon " + path("icons/orbita-64.png") +
                            ": is a symbolic link\n");
    EXPECT_EQ(text(path("precious.txt")), "keep");
    EXPECT_TRUE(fs::is_symlink(dir / "icons" / "orbita-64.png"));
}

TEST_F(BuilderWrites, APipeOrFolderInPlaceOfAnOutputIsRefusedAndLeftAsItWas) {
    if (!fs::is_directory(kBuiltins)) GTEST_SKIP() << "no built-in collections in the build";
    ASSERT_EQ(mkfifo(path("e.cpp").c_str(), 0600), 0);
    testfiles::Outcome r = run("--embed " + path("e.cpp") + " " + kBuiltins);
    EXPECT_EQ(r.status, 1) << r.output;  // 137 would be a hang
    EXPECT_EQ(r.output, "orbita-assets: cannot write " + path("e.cpp") + ": is not a regular file\n");
    EXPECT_TRUE(fs::is_fifo(path("e.cpp")));

    fs::create_directories(dir / "d.cpp");
    r = run("--embed " + path("d.cpp") + " " + kBuiltins);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output, "orbita-assets: cannot write " + path("d.cpp") + ": is not a regular file\n");

    fs::create_directories(dir / "icons");
    ASSERT_EQ(mkfifo(path("icons/orbita-256.png").c_str(), 0600), 0);
    r = run("--icons " + path("icons"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(fs::is_fifo(path("icons/orbita-256.png")));

    // An input that is a pipe is refused too, not waited on.
    fs::create_directories(dir / "in");
    ASSERT_EQ(mkfifo(path("in/lod.dxg").c_str(), 0600), 0);
    r = run("--embed " + path("ok.cpp") + " " + path("in"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output, "orbita-assets: cannot read " + path("in/lod.dxg") + ": is a pipe\n");
    EXPECT_FALSE(fs::exists(path("ok.cpp")));
}

TEST_F(BuilderWrites, HelpGoesToStandardOutputWithStatusZero) {
    testfiles::Outcome r = testfiles::runShell(kBuilder + " --help 2>/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output.rfind("usage: orbita-assets", 0), 0u) << r.output;
}
