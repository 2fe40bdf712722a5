// pack never makes a file the reader refuses: the pictures of one file are held to the
// reader's budget, and a name longer than a short string is refused; nothing is written then.
#include <gtest/gtest.h>

#include <filesystem>

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
