// The orbita-dxg tool, run as a program: list, list --json, extract, pack and check, and
// the failure reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "media/CollectionFile.h"
#include "media/DxgWave.h"
#include "platform/Platform.h"
#include "platform/Png.h"
#include "tools/dxg/DxgTool.h"
#include "tests/TestFiles.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

using Result = testfiles::Outcome;

const std::string kTool = std::string(ORBITA_BINARY_DIR) + "/orbita-dxg";

Result runTool(const std::string& arguments) { return testfiles::runShell(kTool + " " + arguments); }

// The tool under shell limits (ulimit lines) given first.
Result runLimited(const std::string& limits, const std::string& arguments) {
    return testfiles::runShell("sh -c \"" + limits + "; exec " + kTool + " " + arguments + "\"");
}

class DxgTool : public testfiles::TempFolderTest {
protected:
    DxgTool() : TempFolderTest("orbita_dxg_") {}

    // Two pictures (one keyed, one opaque 8-bit) and an item without picture.
    std::string writePictures() {
        std::vector<PictureItemData> items(3);
        items[0].Name = "rak1";
        items[0].TransparentColor = 0xFFFFFF;
        items[0].Picture = std::make_shared<TDIB>(3, 2, 4);
        for (int x = 0; x < 3; ++x) items[0].Picture->SetPixel(x, 0, 0xFFFFFF);
        items[0].Picture->SetPixel(1, 1, 0x0000FF);
        items[1].Name = "z2";
        items[2].Name = "p0";
        items[2].Transparent = false;
        items[2].SystemMemory = true;
        items[2].PatternWidth = 2;
        items[2].Picture = std::make_shared<TDIB>(4, 1, 8);
        const std::string p = path("pictures.dxg");
        WritePictureCollectionFile(p, items);
        return p;
    }

    std::string writeWaves() {
        std::vector<WaveItemData> items(2);
        items[0].Name = "kul";
        items[0].Wave = std::make_shared<TWave>();
        items[0].Wave->Format.BitsPerSample = 16;
        items[0].Wave->Format.BlockAlign = 2;
        items[0].Wave->Format.AvgBytesPerSec = 44100;
        items[0].Wave->Data.assign(101, 7);
        items[1].Name = "hudba1";
        items[1].Looped = true;
        items[1].MaxPlayingCount = 3;
        const std::string p = path("waves.dxg");
        WriteWaveCollectionFile(p, items);
        return p;
    }
};

}  // namespace

TEST_F(DxgTool, ListPicturesAsJson) {
    Result r = runTool("list --json " + writePictures());
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\"kind\": \"pictures\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("{\"Name\": \"rak1\", \"Width\": 3, \"Height\": 2, \"PictureWidth\": 3, \"PictureHeight\": 2, "
                         "\"PatternWidth\": 0, \"PatternHeight\": 0, "
                         "\"SkipWidth\": 0, \"SkipHeight\": 0, \"SystemMemory\": false, \"Transparent\": true, "
                         "\"TransparentColor\": 16777215, \"BitCount\": 4}"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("\"Name\": \"z2\", \"Width\": 0, \"Height\": 0, \"PictureWidth\": 0"), std::string::npos)
        << r.output;
    // The item's own size is its pattern size where one is set, as the game reads it.
    EXPECT_NE(r.output.find("\"Name\": \"p0\", \"Width\": 2, \"Height\": 1, \"PictureWidth\": 4, \"PictureHeight\": 1"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("\"PatternWidth\": 2"), std::string::npos);
    EXPECT_NE(r.output.find("\"SystemMemory\": true, \"Transparent\": false"), std::string::npos);
    Result text = runTool("list " + path("pictures.dxg"));
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.output.find("3 items"), std::string::npos) << text.output;
}

TEST_F(DxgTool, ListWavesAsJson) {
    Result r = runTool("list --json " + writeWaves());
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("{\"kind\": \"waves\""), std::string::npos);
    EXPECT_NE(r.output.find("{\"Name\": \"kul\", \"Looped\": false, \"MaxPlayingCount\": 0, \"Channels\": 1, "
                         "\"SamplesPerSec\": 22050, \"BitsPerSample\": 16, \"DataBytes\": 101}"),
              std::string::npos)
        << r.output;
    // An item without a wave has no format.
    EXPECT_NE(r.output.find("{\"Name\": \"hudba1\", \"Looped\": true, \"MaxPlayingCount\": 3, \"Channels\": 0, "
                         "\"SamplesPerSec\": 0, \"BitsPerSample\": 0, \"DataBytes\": 0}"),
              std::string::npos)
        << r.output;
}

TEST_F(DxgTool, ExtractPicturesWithAlphaAndSkipsEmptyItems) {
    Result r = runTool("extract " + writePictures() + " " + path("out"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("001-z2.png"), std::string::npos);
    EXPECT_NE(r.output.find("no picture, skipped"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(path("out/001-z2.png")));
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    ASSERT_TRUE(platform::loadPng(path("out/000-rak1.png"), w, h, rgba));
    ASSERT_EQ(w, 3);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(rgba[0] >> 24, 0u);  // white key: transparent
    EXPECT_EQ(rgba[4], 0xFF0000FFu);  // red, opaque
    EXPECT_EQ(rgba[3], 0xFF000000u);  // black is not the key here
    // An opaque item keeps every pixel opaque.
    ASSERT_TRUE(platform::loadPng(path("out/002-p0.png"), w, h, rgba));
    EXPECT_EQ(rgba[0], 0xFF000000u);

    // A key beyond 24 bits (clNone) equals no pixel, white included.
    std::vector<PictureItemData> none(1);
    none[0].Name = "n";
    none[0].TransparentColor = 0x1FFFFFFF;
    none[0].Picture = std::make_shared<TDIB>(1, 1, 24);
    none[0].Picture->SetPixel(0, 0, 0xFFFFFF);
    WritePictureCollectionFile(path("none.dxg"), none);
    ASSERT_EQ(runTool("extract " + path("none.dxg") + " " + path("none")).status, 0);
    ASSERT_TRUE(platform::loadPng(path("none/000-n.png"), w, h, rgba));
    EXPECT_EQ(rgba[0], 0xFFFFFFFFu);
}

TEST_F(DxgTool, PackPicturesChoosesDepthAndRoundTrips) {
    // 3 colours -> 4 bits; 200 colours -> 8 bits; 300 colours -> 24 bits.
    auto png = [&](const std::string& name, int colours) {
        std::vector<uint32_t> rgba(static_cast<size_t>(colours));
        for (int i = 0; i < colours; ++i) rgba[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010305);
        rgba[0] = 0x00000000;  // fully transparent pixel becomes the key colour
        EXPECT_TRUE(platform::savePng(path(name), colours, 1, rgba));
        return path(name);
    };
    const std::string a = png("a.png", 3), b = png("b.png", 200), c = png("c.png", 300);
    Result r = runTool("pack --pictures " + path("packed.dxg") + " --color 0x00FF00 --name first " + a +
                       " --opaque --bits auto " + b + " --pattern 10x1 " + c);
    ASSERT_EQ(r.status, 0) << r.output;
    std::vector<PictureItemData> items;
    ReadPictureCollectionFile(path("packed.dxg"), [&](PictureItemData&& d) { items.push_back(std::move(d)); });
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Name, "first");
    EXPECT_EQ(items[1].Name, "b");
    EXPECT_EQ(items[0].Picture->BitCount(), 4);
    EXPECT_EQ(items[1].Picture->BitCount(), 8);
    EXPECT_EQ(items[2].Picture->BitCount(), 24);
    EXPECT_TRUE(items[0].Transparent);
    EXPECT_EQ(items[0].TransparentColor, 0x00FF00u);
    EXPECT_EQ(items[0].Picture->Pixel(0, 0), 0x00FF00u);
    EXPECT_FALSE(items[1].Transparent);
    EXPECT_EQ(items[2].PatternWidth, 10);
    EXPECT_EQ(items[2].Picture->Pixel(299, 0), 299u * 0x010305 & 0xFFFFFF);

    // Extracting and packing again gives the same pictures.
    ASSERT_EQ(runTool("extract " + path("packed.dxg") + " " + path("x")).status, 0);
    Result again = runTool("pack --pictures " + path("again.dxg") + " --color 0x00FF00 --name first " +
                           path("x/000-first.png"));
    ASSERT_EQ(again.status, 0) << again.output;
    std::vector<PictureItemData> back;
    ReadPictureCollectionFile(path("again.dxg"), [&](PictureItemData&& d) { back.push_back(std::move(d)); });
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].Picture->Pixels(), items[0].Picture->Pixels());

    Result tooMany = runTool("pack --pictures " + path("bad.dxg") + " --bits 4 " + b);
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.output, "orbita-dxg: " + b + ": Too many colours for 4 bits per pixel\n");
}

TEST_F(DxgTool, PackWavesAndExtractThem) {
    TWave w;
    w.Format.Channels = 1;
    w.Data = {1, 2, 3};
    std::vector<uint8_t> bytes = WriteWave(w);
    std::ofstream(path("boom.wav"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                             static_cast<std::streamsize>(bytes.size()));
    Result r = runTool("pack --waves " + path("w.dxg") + " --looped --max-playing 2 " + path("boom.wav"));
    ASSERT_EQ(r.status, 0) << r.output;
    std::vector<WaveItemData> items;
    ReadWaveCollectionFile(path("w.dxg"), [&](WaveItemData&& d) { items.push_back(std::move(d)); });
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].Name, "boom");
    EXPECT_TRUE(items[0].Looped);
    EXPECT_EQ(items[0].MaxPlayingCount, 2);
    EXPECT_EQ(items[0].Wave->Data, w.Data);

    ASSERT_EQ(runTool("extract " + path("w.dxg") + " " + path("x")).status, 0);
    std::ifstream in(path("x/000-boom.wav"), std::ios::binary);
    std::vector<uint8_t> back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, bytes);

    Result skipped = runTool("extract " + writeWaves() + " " + path("y"));
    EXPECT_NE(skipped.output.find("001-hudba1.wav: item 1 (hudba1) has no samples, skipped"), std::string::npos)
        << skipped.output;
}

TEST_F(DxgTool, CheckAndFailures) {
    Result ok = runTool("check " + writePictures());
    EXPECT_EQ(ok.status, 0) << ok.output;
    EXPECT_EQ(runTool("check " + writeWaves()).status, 0);

    const std::string missing = path("missing.dxg");
    Result r = runTool("check " + missing);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + missing + ": Cannot open file " + missing + ": No such file or directory\n");

    std::ofstream(path("junk.dxg")) << "not a collection";
    r = runTool("list " + path("junk.dxg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + path("junk.dxg") + ": Invalid stream format\n");

    // A picture with a broken DIB header.
    std::vector<uint8_t> file = ReadCollectionFileBytes(writePictures());
    std::string s(file.begin(), file.end());
    size_t at = s.find("TDIB") + 4;
    file[at] = 41;
    std::ofstream(path("bad.dxg"), std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                            static_cast<std::streamsize>(file.size()));
    r = runTool("check " + path("bad.dxg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + path("bad.dxg") + ": DIB is invalid\n");

    // Samples without a format chunk: the file reads, but no sound buffer can be made of it.
    file = ReadCollectionFileBytes(writeWaves());
    s.assign(file.begin(), file.end());
    file[s.find("fmt ") + 3] = 'X';
    std::ofstream(path("noformat.dxg"), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    EXPECT_EQ(runTool("list " + path("noformat.dxg")).status, 0);
    r = runTool("check " + path("noformat.dxg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + path("noformat.dxg") + ": Sound Buffer cannot be made\n");

    EXPECT_EQ(runTool("frobnicate").status, 1);
    EXPECT_EQ(runTool("").status, 1);
    EXPECT_EQ(runTool("pack --pictures " + path("o.dxg") + " " + path("nothere.png")).output,
              "orbita-dxg: " + path("nothere.png") + ": Cannot open file " + path("nothere.png") + "\n");
}

TEST(DxgToolHelpers, ColoursAndFileNames) {
    uint32_t c = 0;
    EXPECT_TRUE(dxgtool::parseColour("0x2A558F", c));
    EXPECT_EQ(c, 0x2A558Fu);
    EXPECT_TRUE(dxgtool::parseColour("#8F552A", c));
    EXPECT_EQ(c, 0x2A558Fu);
    EXPECT_TRUE(dxgtool::parseColour("clWhite", c));
    EXPECT_EQ(c, 0xFFFFFFu);
    EXPECT_FALSE(dxgtool::parseColour("white", c));
    EXPECT_FALSE(dxgtool::parseColour("#12345", c));
    EXPECT_EQ(dxgtool::itemFileName(7, "a/b\\c", ".png"), "007-a_b_c.png");
    EXPECT_EQ(dxgtool::itemFileName(12, "", ".wav"), "012.wav");
    EXPECT_EQ(dxgtool::itemFileName(3, "..", ".png"), "003-_.png");
}

TEST_F(DxgTool, AnItemWithoutAPictureListsItsPatternSize) {
    std::vector<PictureItemData> items(1);
    items[0].Name = "box";
    items[0].PatternWidth = 40;
    items[0].PatternHeight = 30;
    WritePictureCollectionFile(path("boxes.dxg"), items);
    Result r = runTool("list --json " + path("boxes.dxg"));
    EXPECT_NE(r.output.find("\"Width\": 40, \"Height\": 30, \"PictureWidth\": 0, \"PictureHeight\": 0"), std::string::npos)
        << r.output;
    r = runTool("list " + path("boxes.dxg"));
    EXPECT_NE(r.output.find("   40x30    no picture"), std::string::npos) << r.output;
}

TEST_F(DxgTool, ExtractNeverFollowsALinkPlantedInItsFolder) {
    const std::string file = writePictures();
    fs::create_directories(dir / "out");
    const std::string victim = path("victim.txt");
    std::ofstream(victim) << "keep me";
    fs::create_symlink(victim, dir / "out" / "000-rak1.png");
    fs::create_symlink(dir / "created-elsewhere", dir / "out" / "002-p0.png");  // dangling
    Result r = runTool("extract " + file + " " + path("out"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find((dir / "out" / "000-rak1.png").string() + ": Cannot write file: is a symbolic link"),
              std::string::npos)
        << r.output;
    std::ifstream in(victim);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "keep me");
    fs::remove(dir / "out" / "000-rak1.png");
    r = runTool("extract " + file + " " + path("out"));
    EXPECT_EQ(r.status, 1) << "the dangling link is refused too";
    EXPECT_FALSE(fs::exists(dir / "created-elsewhere"));
}

TEST_F(DxgTool, AFullDiskFailsTheCommandAndKeepsThePreviousFiles) {
    const std::string file = writePictures();
    // The tool runs with a file size limit of 1 KiB, as on a nearly full disk; the limit's
    // signal is ignored so that the write reports its error.
    auto limited = [&](const std::string& arguments) { return runLimited("trap '' XFSZ; ulimit -f 2", arguments); };
    std::vector<uint32_t> big(300 * 300);
    for (size_t i = 0; i < big.size(); ++i) big[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u);
    ASSERT_TRUE(platform::savePng(path("big.png"), 300, 300, big));
    Result r = limited("pack --pictures " + file + " --opaque --bits 24 " + path("big.png"));
    EXPECT_EQ(r.status, 1) << r.output;
    // The file is named once, as in every other message of the tool.
    EXPECT_EQ(r.output, "orbita-dxg: " + file + ": Cannot write file: File too large\n");
    EXPECT_EQ(runTool("check " + file).status, 0) << "the previous collection is whole";

    std::vector<PictureItemData> items(1);
    items[0].Name = "big";
    items[0].Transparent = false;
    int w = 0, h = 0;
    std::vector<uint32_t> rgba;
    ASSERT_TRUE(platform::loadPng(path("big.png"), w, h, rgba));
    items[0].Picture = std::make_shared<TDIB>(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) items[0].Picture->SetPixel(x, y, rgba[static_cast<size_t>(y) * w + x]);
    WritePictureCollectionFile(path("one.dxg"), items);
    r = limited("extract " + path("one.dxg") + " " + path("out"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("000-big.png: Cannot write file: File too large"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dir / "out" / "000-big.png")) << "no cut picture is left";
}

TEST_F(DxgTool, PackRefusesAForgottenOutputNameAndItsOwnInputs) {
    std::vector<uint32_t> px(4, 0xFF00FF00u);
    ASSERT_TRUE(platform::savePng(path("a.png"), 2, 2, px));
    ASSERT_TRUE(platform::savePng(path("b.png"), 2, 2, px));
    const auto before = fs::file_size(path("a.png"));
    Result r = runTool("pack --pictures " + path("a.png") + " " + path("b.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output.rfind("orbita-dxg: the output " + path("a.png") + " is not named .dxg", 0), 0u) << r.output;
    EXPECT_EQ(fs::file_size(path("a.png")), before);

    const std::string waves = writeWaves();
    const auto wavesBefore = fs::file_size(waves);
    fs::create_symlink(waves, path("same.dxg"));
    r = runTool("pack --waves " + waves + " " + path("same.dxg"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + waves + ": the output is also one of the inputs\n");
    EXPECT_EQ(fs::file_size(waves), wavesBefore);
    r = runTool("pack --pictures " + path("same.dxg") + " " + path("b.png"));
    EXPECT_EQ(r.output, "orbita-dxg: " + path("same.dxg") + ": Cannot write file: is a symbolic link\n");
    EXPECT_EQ(runTool("pack --pictures " + path("UPPER.DXG") + " " + path("b.png")).status, 0);
}

TEST_F(DxgTool, PackRefusesAGiantDeclaredPictureBeforeDecodingIt) {
    std::vector<uint32_t> px(1, 0xFF0000FFu);
    ASSERT_TRUE(platform::savePng(path("tiny.png"), 1, 1, px));
    std::ifstream in(path("tiny.png"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char declared[8] = {0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30};  // 30000 x 30000
    bytes.replace(16, 8, declared, 8);
    std::ofstream(path("giant.png"), std::ios::binary) << bytes;
    // Under a memory limit far below what decoding would take.
#ifdef ORBITA_SANITIZED
    const char* memoryLimit = "true";
#else
    const char* memoryLimit = "ulimit -v 400000";
#endif
    Result r = runLimited(memoryLimit, "pack --pictures " + path("g.dxg") + " " + path("giant.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "orbita-dxg: " + path("giant.png") +
                         ": the picture is 30000 x 30000 pixels, larger than a collection can hold\n");
    EXPECT_FALSE(fs::exists(path("g.dxg")));
}
