// Encoding pictures at every depth and reading them back.
#include <gtest/gtest.h>

#include "media/DIBFile.h"
#include "media/Errors.h"

using namespace media;

namespace {

TDIB pattern(int w, int h, int bits, int colours) {
    TDIB d(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.SetPixel(x, y, static_cast<uint32_t>(((x * 7 + y * 3) % colours) * 0x0F0B07));
    return d;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

}  // namespace

TEST(DIBWrite, EveryDepthReadsBackPixelExactly) {
    struct Case {
        int bits, colours;
    } cases[] = {{1, 2}, {4, 16}, {8, 256}, {24, 1000}, {32, 1000}};
    for (const Case& c : cases) {
        for (int w : {1, 3, 8, 13}) {
            TDIB in = pattern(w, 5, c.bits, c.colours);
            std::vector<uint8_t> bytes = WriteDIB(in);
            TDIB out = ReadDIB(bytes.data(), bytes.size());
            ASSERT_EQ(out.Width(), w);
            ASSERT_EQ(out.Height(), 5);
            EXPECT_EQ(out.BitCount(), c.bits);
            EXPECT_EQ(out.Pixels(), in.Pixels()) << c.bits << " bits, width " << w;
            // Writing what was read gives the same bytes again.
            EXPECT_EQ(WriteDIB(out), bytes);
        }
    }
}

TEST(DIBWrite, SixteenBitsAreFiveSixFiveBitFields) {
    TDIB in(2, 1, 16);
    in.SetPixel(0, 0, 0x008000);  // pure green survives
    in.SetPixel(1, 0, 0x13579B);
    std::vector<uint8_t> bytes = WriteDIB(in);
    EXPECT_EQ(le32(bytes, 16), 3u);  // compression: bit fields
    EXPECT_EQ(le32(bytes, 40), 0xF800u);
    EXPECT_EQ(le32(bytes, 44), 0x07E0u);
    EXPECT_EQ(le32(bytes, 48), 0x001Fu);
    TDIB out = ReadDIB(bytes.data(), bytes.size());
    EXPECT_EQ(out.Pixel(0, 0), 0x008000u);
    EXPECT_EQ(out.Pixel(1, 0), Color565(((0x9B >> 3) << 11) | ((0x57 >> 2) << 5) | (0x13 >> 3)));
    EXPECT_EQ(WriteDIB(out), bytes);
}

TEST(DIBWrite, PaletteBuiltFromUsedColoursOrGiven) {
    TDIB in(3, 1, 4);
    in.SetPixel(0, 0, 0xFFFFFF);
    in.SetPixel(1, 0, 0x0000FF);
    in.SetPixel(2, 0, 0xFFFFFF);
    std::vector<uint8_t> bytes = WriteDIB(in);
    EXPECT_EQ(le32(bytes, 32), 0u);  // colours used: the full 16-entry table
    TDIB out = ReadDIB(bytes.data(), bytes.size());
    std::vector<uint32_t> table(16, 0);
    table[0] = 0xFFFFFF;
    table[1] = 0x0000FF;
    EXPECT_EQ(out.Palette(), table);
    EXPECT_EQ(out.Pixels(), in.Pixels());
    EXPECT_EQ(WriteDIB(out), bytes);

    in.Palette() = {0x000000, 0x0000FF, 0x00FF00, 0xFFFFFF};
    bytes = WriteDIB(in);
    EXPECT_EQ(le32(bytes, 32), 4u);  // a given table is written as it is
    out = ReadDIB(bytes.data(), bytes.size());
    EXPECT_EQ(out.Palette(), in.Palette());
    EXPECT_EQ(out.Pixels(), in.Pixels());
}

TEST(DIBWrite, Errors) {
    TDIB tooMany = pattern(5, 1, 1, 3);
    EXPECT_THROW(WriteDIB(tooMany), EDIBError);
    TDIB notInPalette(1, 1, 8);
    notInPalette.SetPixel(0, 0, 0x123456);
    notInPalette.Palette() = {0};
    EXPECT_THROW(WriteDIB(notInPalette), EDIBError);
    TDIB badDepth(1, 1, 12);
    try {
        WriteDIB(badDepth);
        FAIL();
    } catch (const EDIBError& e) {
        EXPECT_STREQ(e.what(), "Bitcount in invalid (12)");
    }
    EXPECT_TRUE(WriteDIB(TDIB()).empty());
}

TEST(DIBWrite, BitmapFileRoundTrip) {
    TDIB in = pattern(7, 3, 8, 40);
    std::vector<uint8_t> file = WriteBitmapFile(in);
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(le32(file, 2), file.size());
    TDIB out = ReadBitmapFile(file.data(), file.size());
    EXPECT_EQ(out.Pixels(), in.Pixels());
}
