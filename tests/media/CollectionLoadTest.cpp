// TPictureCollection::LoadFromFile: items replaced from a file, the path as the game
// writes it, and what is left after an error.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"
#include "media/Errors.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

class CollectionLoad : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder per test: CTest runs the cases as processes side by side, and one case's
        // clean-up must not remove the files another is reading.
        dir = fs::path(::testing::TempDir()) /
              ("orbita_collection_load_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir);
        std::vector<PictureItemData> items(2);
        items[0].Name = "p0";
        items[0].Transparent = false;
        items[0].TransparentColor = 0x111E2C;
        items[0].PatternWidth = 2;
        items[0].SkipHeight = 1;
        items[0].SystemMemory = true;
        items[0].Picture = std::make_shared<TDIB>(4, 3, 8);
        items[0].Picture->SetPixel(3, 2, 0x00FF00);
        items[1].Name = "z2";
        WritePictureCollectionFile((dir / "po3.dxg").string(), items);
        bytes = ReadCollectionFileBytes((dir / "po3.dxg").string());
    }
    void TearDown() override { fs::remove_all(dir); }
    // The path as the game writes it, with a backslash before the file name.
    std::string gamePath(const std::string& name) const { return dir.string() + "\\" + name; }
    void writeRaw(const std::string& name, const std::vector<uint8_t>& data) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }

    fs::path dir;
    std::vector<uint8_t> bytes;
    TDXImageList list;
};

}  // namespace

TEST_F(CollectionLoad, ReplacesAllItems) {
    list.Items.Add()->Name = "old";
    list.Items.LoadFromFile(gamePath("po3.dxg"));
    ASSERT_EQ(list.Items.Count(), 2);
    TPictureCollectionItem* p0 = list.Items[0];
    EXPECT_EQ(p0->Name, "p0");
    EXPECT_FALSE(p0->Transparent);
    EXPECT_EQ(p0->TransparentColor(), 0x111E2Cu);
    EXPECT_EQ(p0->PatternWidth, 2);
    EXPECT_EQ(p0->SkipHeight, 1);
    EXPECT_TRUE(p0->SystemMemory);
    ASSERT_TRUE(p0->Picture());
    EXPECT_EQ(p0->Picture()->Pixel(3, 2), 0x00FF00u);
    EXPECT_EQ(p0->Width(), 2);
    EXPECT_EQ(p0->Height(), 3);
    EXPECT_EQ(list.Items[1]->Name, "z2");
    EXPECT_FALSE(list.Items[1]->Picture());
}

TEST_F(CollectionLoad, MissingFileKeepsItems) {
    list.Items.Add()->Name = "old";
    try {
        list.Items.LoadFromFile(gamePath("po9.dxg"));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + gamePath("po9.dxg"));
    }
    ASSERT_EQ(list.Items.Count(), 1);
    EXPECT_EQ(list.Items[0]->Name, "old");
}

TEST_F(CollectionLoad, ErrorsLeaveWhatWasRead) {
    list.Items.Add()->Name = "old";
    writeRaw("junk.dxg", {'n', 'o', 't'});
    EXPECT_THROW(list.Items.LoadFromFile(gamePath("junk.dxg")), EReadError);
    EXPECT_EQ(list.Items.Count(), 0);

    // Cut inside the second item: the first is complete, the second is there half-read.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 5);
    writeRaw("cut.dxg", cut);
    EXPECT_THROW(list.Items.LoadFromFile(gamePath("cut.dxg")), EReadError);
    ASSERT_EQ(list.Items.Count(), 2);
    EXPECT_TRUE(list.Items[0]->Picture());
    EXPECT_EQ(list.Items[1]->Name, "z2");
}
