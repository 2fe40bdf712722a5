// A level file that declares far more than any collection holds is refused by the game with
// the usual message for a damaged file, naming it, and the game plays on within a modest
// memory limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/BombFiles.h"
#include "tests/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(ORBITA_BINARY_DIR) + "/orbita";

class DeclaredBudgetProgram : public testfiles::TempFolderTest {
protected:
    DeclaredBudgetProgram() : TempFolderTest("orbita_budget_program_") {}
};

}  // namespace

TEST_F(DeclaredBudgetProgram, TheGameRefusesAPatternBombAsALevelFileAndPlaysOn) {
    const fs::path data = fs::path(ORBITA_BINARY_DIR) / "data";
    if (!fs::is_directory(data / "pozadi")) GTEST_SKIP() << "no built data";
    fs::copy(data, dir, fs::copy_options::recursive);
    const std::vector<uint8_t> bomb = bombs::patternBomb(4096);
    std::ofstream(path("pozadi/po1.dxg"), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bomb.data()), static_cast<std::streamsize>(bomb.size()));
#ifdef ORBITA_SANITIZED
    const std::string limit = "";
#else
    const std::string limit = "ulimit -v 1048576; ";
#endif
    testfiles::Outcome r = testfiles::runShell("cd '" + dir.string() + "' && timeout -s KILL 60 sh -c \"" + limit +
                                               "exec " + kProgram + " --headless --seed 1 --warp 1 --frames 20\"");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("orbita: pozadi\\po1.dxg: Item 0 (bomb0) is too large: 16777216 patterns would bring "
                            "the file to 16777216 (at most 65536)\n"),
              std::string::npos)
        << r.output;
    // The level then finds no tiles in the list: that is reported against the same file.
    EXPECT_NE(r.output.find("orbita: pozadi\\po1.dxg: List index out of bounds (0)"), std::string::npos) << r.output;
}
