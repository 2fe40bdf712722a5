// pack never makes a file the reader refuses: the pictures of one file are held to the
// reader's budget, and a name longer than a short string is refused; nothing is written then.
// It holds one picture at a time, and clears away the temporary file a pack stopped by a
// crash left beside its target, and nothing else.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "media/CollectionFile.h"
#include "platform/Png.h"
#include "tests/TestFiles.h"

namespace {

const std::string kTool = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";

class PackLimits : public testfiles::TempFolderTest {
protected:
    PackLimits() : TempFolderTest("orbita_pack_limits_") {}
};

}  // namespace

TEST_F(PackLimits, PicturesBeyondTheReadersBudgetAreRefusedAndNothingIsWritten) {
    const std::vector<uint32_t> grey(2048 * 2048, 0xFF808080u);
    std::string inputs;
    for (int i = 0; i < 5; ++i) {
        const std::string p = path("p" + std::to_string(i) + ".png");
        ASSERT_TRUE(platform::savePng(p, 2048, 2048, grey));
        inputs += " " + p;
    }
    const std::string out = path("out.dxg");
    testfiles::Outcome r = testfiles::runShell(kTool + " pack --pictures " + out + inputs);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output, "orbita-dxg: " + path("p4.png") +
                            ": the picture is 2048 x 2048 pixels, larger than a collection can hold together with the "
                            "16777216 pixels before it (at most 16777216 in a file)\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    // Four of them fill the budget exactly, and the file reads back.
    r = testfiles::runShell(kTool + " pack --pictures " + out + " " + path("p0.png") + " " + path("p1.png") + " " +
                            path("p2.png") + " " + path("p3.png"));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(testfiles::runShell(kTool + " check " + out).output, out + ": ok, 4 pictures\n");
}

TEST_F(PackLimits, ANameLongerThanAShortStringIsRefused) {
    const std::vector<uint32_t> px(4, 0xFF0000FFu);
    ASSERT_TRUE(platform::savePng(path("a.png"), 2, 2, px));
    const std::string out = path("names.dxg");
    testfiles::Outcome r =
        testfiles::runShell(kTool + " pack --pictures " + out + " --name " + std::string(300, 'n') + " " + path("a.png"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(r.output.rfind("orbita-dxg: --name is longer than 255 characters\n", 0), 0u) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));
    // 255 characters are fine, and extract makes a file of them.
    r = testfiles::runShell(kTool + " pack --pictures " + out + " --name " + std::string(240, 'n') + " " + path("a.png"));
    EXPECT_EQ(r.status, 0) << r.output;
    r = testfiles::runShell(kTool + " extract " + out + " " + path("x"));
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(PackLimits, PicturesArePackedOneAtATimeWithinAMemoryLimit) {
#ifdef ORBITA_SANITIZED
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit an address-space limit";
#endif
    // Nine pictures that together fill what a file may hold: 64 MiB of pixels once decoded,
    // more than the limit leaves room for when all are held at once.
    const std::vector<uint32_t> plain(1365 * 1365, 0xFF203040u);
    std::string inputs;
    for (int i = 0; i < 9; ++i) {
        const std::string p = path("m" + std::to_string(i) + ".png");
        ASSERT_TRUE(platform::savePng(p, 1365, 1365, plain));
        inputs += " " + p;
    }
    const std::string out = path("nine.dxg");
    testfiles::Outcome r =
        testfiles::runShell("sh -c \"ulimit -v 100000; exec " + kTool + " pack --pictures " + out + inputs + "\"");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, out + ": 9 pictures\n");
    EXPECT_EQ(testfiles::runShell(kTool + " check " + out).output, out + ": ok, 9 pictures\n");
}

TEST_F(PackLimits, TheTemporaryFileOfACrashedPackIsClearedAwayAndNothingElse) {
    const std::vector<uint32_t> px(4, 0xFF0000FFu);
    ASSERT_TRUE(platform::savePng(path("a.png"), 2, 2, px));
    const std::string out = path("out.dxg");
    ASSERT_EQ(testfiles::runShell(kTool + " pack --pictures " + out + " " + path("a.png")).status, 0);
    std::string packed;
    {
        std::ifstream in(out, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        packed = text.str();
    }
    auto plant = [&](const std::string& name, const std::string& content) {
        std::ofstream(path(name), std::ios::binary) << content;
    };
    // What a pack killed while writing leaves: the start of a collection file, or nothing yet.
    plant(".out.dxg.Ab12Cd", packed.substr(0, packed.size() / 2));
    plant(".out.dxg.x9Y8z7", "");
    // Not a pack's temporary file of this target: kept, whatever their names resemble.
    const char* kept[] = {".out.dxg.Ab12C", ".out.dxg.Ab12Cd7", ".other.dxg.Ab12Cd", ".out.dxg.backup", "out.dxg.Ab12Cd",
                          ".out.dxg.Ab-2Cd"};
    for (const char* k : kept) plant(k, std::string(k) == ".out.dxg.backup" ? "notes" : packed.substr(0, 10));
    plant("elsewhere.dxg", packed);
    std::filesystem::create_symlink(path("elsewhere.dxg"), path(".out.dxg.Link12"));
    std::filesystem::create_directory(path(".out.dxg.Dir123"));
    plant(".out.dxg.Dir123/inside", "kept");

    testfiles::Outcome r = testfiles::runShell(kTool + " pack --pictures " + out + " " + path("a.png"));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(std::filesystem::exists(path(".out.dxg.Ab12Cd")));
    EXPECT_FALSE(std::filesystem::exists(path(".out.dxg.x9Y8z7")));
    for (const char* k : kept) EXPECT_TRUE(std::filesystem::exists(path(k))) << k;
    EXPECT_TRUE(std::filesystem::is_symlink(path(".out.dxg.Link12")));
    EXPECT_TRUE(std::filesystem::exists(path("elsewhere.dxg")));
    EXPECT_TRUE(std::filesystem::exists(path(".out.dxg.Dir123/inside")));
    EXPECT_EQ(testfiles::runShell(kTool + " check " + out).output, out + ": ok, 1 pictures\n");

    // A pack that fails on its input clears them away too: the crashed run is over either way.
    plant(".out.dxg.Qq11Ww", "");
    std::ofstream(path("bad.png")) << "not a picture";
    r = testfiles::runShell(kTool + " pack --pictures " + out + " " + path("bad.png"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(path(".out.dxg.Qq11Ww")));
}
