// Running out of memory is said in the system's own words ("Out of memory"), naming the file
// being read: a level file whose one picture is as large as a file may hold, a script as long
// as a script may be, each under a limit on the address space that the same run with ordinary
// files stays within. The game goes on after a data file it could not hold, as after a damaged
// one; the tools fail with status 1. All run as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/BombFiles.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(ORBITA_BINARY_DIR) + "/orbita";
const std::string kDxg = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";
// Room for the program with its ordinary data, not for a picture of 4096 x 4096 pixels
// (64 MiB once expanded) besides.
const std::string kLimit = "ulimit -v 90000; ";

class OutOfMemory : public testfiles::TempFolderTest {
protected:
    OutOfMemory() : TempFolderTest("orbita_oom_") {}
    void SetUp() override {
        TempFolderTest::SetUp();
#ifdef ORBITA_SANITIZED
        GTEST_SKIP() << "a sanitizer's shadow memory does not fit an address-space limit";
#endif
        data = fs::path(ORBITA_BINARY_DIR) / "data";
        if (!fs::is_directory(data / "pozadi")) GTEST_SKIP() << "no built data";
    }
    testfiles::Outcome limited(const std::string& folder, const std::string& commandLine) {
        return testfiles::runShell("cd '" + folder + "' && timeout -s KILL 60 sh -c \"" + kLimit + "exec " +
                                   commandLine + "\"");
    }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(path(name), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    fs::path data;
};

}  // namespace

TEST_F(OutOfMemory, AGreatPictureInALevelFileIsNamedAndTheGamePlaysOn) {
    const std::string run = kProgram + " --headless --seed 1 --warp 1 --frames 20";
    // The ordinary data fits the limit; where it does not, the limit says nothing here.
    const testfiles::Outcome control = limited(data.string(), run);
    if (control.status != 0 || control.output.find("Out of memory") != std::string::npos)
        GTEST_SKIP() << "the program needs more room than the limit here: " << control.output;

    fs::copy(data, dir, fs::copy_options::recursive);
    write("pozadi/po1.dxg", bombs::patternBomb(4096, 1, "great", 0));  // within what a file may declare
    const testfiles::Outcome r = limited(dir.string(), run);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("orbita: pozadi\\po1.dxg: Out of memory\n"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("bad_alloc"), std::string::npos) << r.output;

    // The data check names it too, and fails.
    const testfiles::Outcome check = limited(dir.string(), kProgram + " --verify-data");
    EXPECT_EQ(check.status, 1) << check.output;
    EXPECT_NE(check.output.find("pozadi\\po1.dxg: Out of memory\n"), std::string::npos) << check.output;
}

TEST_F(OutOfMemory, TheToolNamesTheFileItCouldNotHold) {
    const std::string ordinary = (data / "pozadi" / "po2.dxg").string();
    const testfiles::Outcome control = limited(dir.string(), kDxg + " check " + ordinary);
    if (control.status != 0) GTEST_SKIP() << "the tool needs more room than the limit here: " << control.output;

    write("great.dxg", bombs::patternBomb(4096, 1, "great", 0));
    for (const char* command : {"check", "list", "list --json"}) {
        const testfiles::Outcome r = limited(dir.string(), kDxg + " " + command + " great.dxg");
        EXPECT_EQ(r.status, 1) << command << ": " << r.output;
        EXPECT_EQ(r.output, "orbita-dxg: great.dxg: Out of memory\n") << command;
    }
}

TEST_F(OutOfMemory, AScriptTooLongForTheMemoryIsNamed) {
    {
        std::ofstream out(path("long.txt"));
        size_t bytes = 0;
        for (uint32_t tick = 1; bytes < (size_t(15) << 20); ++tick) {
            const std::string line = "@" + std::to_string(tick) + (tick % 2 ? " hold Space\n" : " release\n");
            out << line;
            bytes += line.size();
        }
    }
    const testfiles::Outcome r = limited(dir.string(), kProgram + " --headless --play long.txt --frames 2");
    if (r.status == 0) GTEST_SKIP() << "the script fitted in the limit here";
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_EQ(r.output, "orbita: cannot read script " + (fs::canonical(dir) / "long.txt").string() + ": Out of memory\n");
}
