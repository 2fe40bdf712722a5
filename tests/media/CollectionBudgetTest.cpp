// The reader's budget over a whole collection file: the item that would go over it is
// refused before its picture is decoded and is not handed over; the items before it are.
#include <gtest/gtest.h>

#include "media/CollectionFile.h"
#include "media/Errors.h"
#include "tests/BombFiles.h"

using namespace media;

namespace {

std::string readAll(const std::vector<uint8_t>& bytes, std::vector<PictureItemData>& items) {
    try {
        ReadPictureCollection(bytes.data(), bytes.size(), [&](PictureItemData&& d) { items.push_back(std::move(d)); });
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

PictureItemData cut(int pw, int ph, int w, int h, int sw = 0, int sh = 0) {
    PictureItemData d;
    d.Picture = std::make_shared<TDIB>(pw, ph, 1);
    d.PatternWidth = w;
    d.PatternHeight = h;
    d.SkipWidth = sw;
    d.SkipHeight = sh;
    return d;
}

}  // namespace

TEST(CollectionBudget, TheItemThatGoesOverIsRefusedAndTheOnesBeforeItAreKept) {
    std::vector<PictureItemData> items;
    const std::string message = readAll(bombs::patternBomb(2048, 5, "p", 0), items);
    EXPECT_EQ(message,
              "Item 4 (p4) is too large: a picture of 2048x2048 would bring the file to 20971520 pixels (at most "
              "16777216)");
    ASSERT_EQ(items.size(), 5u);  // the fifth without its picture: refused before decoding
    for (int i = 0; i < 4; ++i) EXPECT_EQ(items[static_cast<size_t>(i)].Picture->Width(), 2048);
    EXPECT_FALSE(items[4].Picture);

    items.clear();
    EXPECT_EQ(readAll(bombs::patternBomb(4096), items),
              "Item 0 (bomb0) is too large: 16777216 patterns would bring the file to 16777216 (at most 65536)");
    EXPECT_TRUE(items.empty());  // decoded, but never handed to a list
}

TEST(CollectionBudget, ANameWithControlCharactersIsShownEscaped) {
    std::vector<PictureItemData> items;
    EXPECT_EQ(readAll(bombs::patternBomb(8192, 1, "x\x1b[2J\n"), items),
              "Item 0 (x\\x1b[2J\\x0a0) is too large: a picture of 8192x8192 would bring the file to 67108864 pixels "
              "(at most 16777216)");
}

TEST(CollectionBudget, PatternsAreCountedAsTheImageListCutsThem) {
    EXPECT_EQ(PatternCountOf(PictureItemData{}), 0u);
    EXPECT_EQ(PatternCountOf(cut(32, 16, 0, 0)), 1u);    // the whole picture
    EXPECT_EQ(PatternCountOf(cut(32, 16, 32, 16)), 1u);
    EXPECT_EQ(PatternCountOf(cut(32, 16, 8, 8)), 8u);
    EXPECT_EQ(PatternCountOf(cut(30, 16, 8, 8)), 6u);    // a part cell at the edge is no pattern
    EXPECT_EQ(PatternCountOf(cut(34, 16, 8, 8, 2, 0)), 6u);   // gaps between the cells
    EXPECT_EQ(PatternCountOf(cut(32, 16, 8, 8, -4, 0)), 14u);  // overlapping cells
    EXPECT_EQ(PatternCountOf(cut(32, 16, 8, 8, -8, 0)), 0u);   // a gap that swallows the cell
    EXPECT_EQ(PatternCountOf(cut(4096, 4096, 1, 1)), 16777216u);
}
