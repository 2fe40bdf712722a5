// A level file with too few items: the list-index error names the file the items came from,
// as the game shows it ("pozadi\po1.dxg: List index out of bounds (3)").
#include <gtest/gtest.h>

#include <filesystem>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"
#include "media/DXSound.h"
#include "media/Errors.h"
#include "media/Forms.h"

using namespace media;

namespace {

template <typename F>
std::string failureText(const F& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return TApplication::FailureText(e);
    }
    return "(no error)";
}

}  // namespace

TEST(ListIndexFile, TheErrorOfAnIndexBeyondTheItemsNamesTheirFile) {
    const std::string dir = ::testing::TempDir() + "orbita_list_index";
    std::filesystem::create_directories(dir);
    const std::string pictures = dir + "/po1.dxg", waves = dir + "/d1.dxg";
    std::vector<PictureItemData> p(1);
    p[0].Picture = std::make_shared<TDIB>(2, 2, 4);
    WritePictureCollectionFile(pictures, p);
    std::vector<WaveItemData> w(1);
    WriteWaveCollectionFile(waves, w);

    TDXImageList images;
    EXPECT_EQ(failureText([&] { images.Items.Items(0); }), "List index out of bounds (0)");  // no file yet
    images.Items.LoadFromFile(pictures);
    EXPECT_EQ(failureText([&] { images.Items.Items(3); }), pictures + ": List index out of bounds (3)");
    EXPECT_EQ(images.Items.Items(0)->Width(), 2);

    TDXWaveList sounds;
    sounds.Items.LoadFromFile(waves);
    EXPECT_EQ(failureText([&] { sounds.Items.Items(1); }), waves + ": List index out of bounds (1)");
    std::filesystem::remove_all(dir);
}
