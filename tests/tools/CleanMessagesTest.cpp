// Names from a file reach the terminal escaped, never raw, and a file that cannot be opened
// is reported with the reason why.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "media/CollectionFile.h"
#include "media/DxgWave.h"
#include "tests/TestFiles.h"

using namespace media;

namespace {

const std::string kTool = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";

class CleanMessages : public testfiles::TempFolderTest {
protected:
    CleanMessages() : TempFolderTest("orbita_clean_") {}
};

}  // namespace

TEST_F(CleanMessages, ControlCharactersOfNamesAreShownEscaped) {
    std::vector<PictureItemData> items(2);
    items[0].Name = "a\x1b]0;owned\x07";
    items[0].Picture = std::make_shared<TDIB>(2, 2, 4);
    items[1].Name = "b\nforged line";
    const std::string file = path("names.dxg");
    WritePictureCollectionFile(file, items);
    for (const char* command : {"list ", "check ", "list --json "}) {
        testfiles::Outcome r = testfiles::runShell(kTool + " " + command + file);
        EXPECT_EQ(r.status, 0) << r.output;
        const bool raw = std::any_of(r.output.begin(), r.output.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
        });
        EXPECT_FALSE(raw) << command << r.output;
        // No line forged by a name: the heading and one line per item (JSON: its brackets).
        const size_t lines = static_cast<size_t>(std::count(r.output.begin(), r.output.end(), '\n'));
        const std::string cmd = command;
        EXPECT_EQ(lines, cmd == "check " ? 1u : cmd == "list " ? 3u : 4u) << command << r.output;
    }
    testfiles::Outcome list = testfiles::runShell(kTool + " list " + file);
    EXPECT_NE(list.output.find("a\\x1b]0;owned\\x07"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("b\\x0aforged line"), std::string::npos) << list.output;
}

TEST_F(CleanMessages, AFileThatCannotBeOpenedIsReportedWithTheReason) {
    ASSERT_EQ(mkfifo(path("pipe.dxg").c_str(), 0600), 0);
    struct Case {
        std::string file, reason;
    } cases[] = {
        {path("pipe.dxg"), "is a pipe"},
        {dir.string(), "is a directory"},
        {"/dev/null", "is a device"},
        {path("none.dxg"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        testfiles::Outcome r = testfiles::runShell("timeout -s KILL 20 " + kTool + " list " + c.file);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_EQ(r.output, "orbita-dxg: " + c.file + ": Cannot open file " + c.file + ": " + c.reason + "\n");
    }
}

TEST_F(CleanMessages, CheckRefusesAWaveThatExtractCouldNotWrite) {
    std::vector<WaveItemData> items(1);
    items[0].Name = "kul";
    items[0].Wave = std::make_shared<TWave>();
    items[0].Wave->Format.BitsPerSample = 8;
    items[0].Wave->Format.BlockAlign = 1;
    items[0].Wave->Data.assign(64, 128);
    std::vector<uint8_t> bytes = WriteWaveCollection(items);
    // Three bits a sample: no whole byte a block.
    const std::string fmt = "fmt ";
    auto at = std::search(bytes.begin(), bytes.end(), fmt.begin(), fmt.end());
    ASSERT_NE(at, bytes.end());
    const size_t f = static_cast<size_t>(at - bytes.begin()) + 8;
    bytes[f + 12] = 0;  // block align
    bytes[f + 13] = 0;
    bytes[f + 14] = 3;  // bits per sample
    bytes[f + 15] = 0;
    const std::string file = path("three.dxg");
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    testfiles::Outcome check = testfiles::runShell(kTool + " check " + file);
    EXPECT_EQ(check.status, 1) << check.output;
    EXPECT_EQ(check.output, "orbita-dxg: " + file + ": item 0 (kul): Format is invalid\n");
    testfiles::Outcome extract = testfiles::runShell(kTool + " extract " + file + " " + path("x"));
    EXPECT_EQ(extract.status, 1) << extract.output;
}
