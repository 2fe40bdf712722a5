// The orbita-assets program as the build runs it: its outputs, and its errors when a file cannot
// be read or written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using testfiles::runShell;

const std::string kBuilder = std::string(ORBITA_BINARY_DIR) + "/orbita-assets";

class BuilderCommand : public testfiles::TempFolderTest {
protected:
    BuilderCommand() : TempFolderTest("orbita-builder-") {}
    testfiles::Outcome run(const std::string& args) { return runShell("'" + kBuilder + "' " + args); }
    std::string q(const std::string& name) { return "'" + path(name) + "'"; }
};

TEST_F(BuilderCommand, EmbedsTheBuiltInsAndNamesWhatItCannotReadOrWrite) {
    ASSERT_EQ(run("--builtins " + q("b")).status, 0);
    auto ok = run("--embed " + q("Data.cpp") + " " + q("b"));
    EXPECT_EQ(ok.status, 0) << ok.output;
    EXPECT_GT(fs::file_size(path("Data.cpp")), 100000u);
    EXPECT_FALSE(fs::exists(path("Data.cpp.part")));

    // A built-in file missing: named, nothing written.
    fs::remove(path("b/vybuch.dxg"));
    auto missing = run("--embed " + q("Other.cpp") + " " + q("b"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("vybuch.dxg"), std::string::npos) << missing.output;
    EXPECT_FALSE(fs::exists(path("Other.cpp")));
}

TEST_F(BuilderCommand, AFullDiskUnderTheEmbeddedSourceIsAnErrorAndLeavesNoHalfFile) {
    ASSERT_EQ(run("--builtins " + q("b")).status, 0);
    // An earlier complete output stays as it was when the new one cannot be written.
    std::ofstream(path("Data.cpp")) << "// earlier\n";
    auto r = testfiles::withFileSizeLimit(64 * 1024, [&] { return run("--embed " + q("Data.cpp") + " " + q("b")); });
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("cannot write"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Data.cpp"), std::string::npos) << r.output;
    EXPECT_EQ(fs::file_size(path("Data.cpp")), 11u);
    EXPECT_FALSE(fs::exists(path("Data.cpp.part")));
}

TEST_F(BuilderCommand, IconsAreWrittenAndABlockedFolderIsNamed) {
    auto ok = run("--icons " + q("icons"));
    EXPECT_EQ(ok.status, 0) << ok.output;
    EXPECT_TRUE(fs::exists(path("icons/orbita-64.png")));
    EXPECT_TRUE(fs::exists(path("icons/orbita-256.png")));
    std::ofstream(path("file")) << "x";
    auto blocked = run("--icons " + q("file/icons"));
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.output.find("file/icons"), std::string::npos) << blocked.output;
}

TEST_F(BuilderCommand, WrongCommandLinesGetTheUsageAndWriteNothing) {
    for (const std::string& args : std::vector<std::string>{"", "''", "--icons ''", "--builtins", "--embed onlyone", "--unknown " + q("x")}) {
        auto r = runShell("cd '" + dir.string() + "' && '" + kBuilder + "' " + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.output.find("usage:"), std::string::npos) << args << ": " << r.output;
    }
    EXPECT_TRUE(fs::is_empty(dir)) << "nothing is written into the working folder";
}

}  // namespace
