// Decoding of every DIB encoding from hand-built bytes, pixel by pixel, and the DIB
// error messages.
#include <gtest/gtest.h>

#include <string>

#include "media/DIBFile.h"
#include "media/Errors.h"
#include "CollectionBytes.h"

using namespace media;
using dxgtest::Bytes;
using dxgtest::infoHeader;
using dxgtest::quad;

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

TDIB read(const Bytes& d) { return ReadDIB(d.b.data(), d.b.size()); }

std::string dibError(const Bytes& d) {
    try {
        read(d);
    } catch (const EDIBError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(DIBRead, OneBitRowsBottomFirstWithPadding) {
    Bytes d = infoHeader(10, 2, 1);
    quad(d, 0x000000);
    quad(d, kWhite);
    // Bottom row: 1010101010, top row: 1100000011; each row padded to 4 bytes.
    d.u8(0xAA).u8(0x80).u8(0).u8(0);
    d.u8(0xC0).u8(0xC0).u8(0).u8(0);
    TDIB p = read(d);
    ASSERT_EQ(p.Width(), 10);
    ASSERT_EQ(p.Height(), 2);
    EXPECT_EQ(p.BitCount(), 1);
    const char* top = "1100000011";
    const char* bottom = "1010101010";
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(p.Pixel(x, 0), top[x] == '1' ? kWhite : 0u) << x;
        EXPECT_EQ(p.Pixel(x, 1), bottom[x] == '1' ? kWhite : 0u) << x;
    }
    ASSERT_EQ(p.Palette().size(), 2u);
}

TEST(DIBRead, FourBitColoursUsedZeroHasSixteenEntries) {
    Bytes d = infoHeader(3, 1, 4);
    for (uint32_t i = 0; i < 16; ++i) quad(d, i * 0x010101);
    d.u8(0x0F).u8(0x70).u8(0).u8(0);
    TDIB p = read(d);
    ASSERT_EQ(p.Palette().size(), 16u);
    EXPECT_EQ(p.Pixel(0, 0), 0u);
    EXPECT_EQ(p.Pixel(1, 0), 15u * 0x010101);
    EXPECT_EQ(p.Pixel(2, 0), 7u * 0x010101);
}

TEST(DIBRead, EightBitShortTableAndIndexBeyondItIsBlack) {
    Bytes d = infoHeader(5, 1, 8, 0, 0, 3);
    quad(d, kRed);
    quad(d, kGreen);
    quad(d, kBlue);
    d.u8(2).u8(1).u8(0).u8(200).u8(1).u8(0).u8(0).u8(0);
    TDIB p = read(d);
    EXPECT_EQ(p.Pixel(0, 0), kBlue);
    EXPECT_EQ(p.Pixel(1, 0), kGreen);
    EXPECT_EQ(p.Pixel(2, 0), kRed);
    EXPECT_EQ(p.Pixel(3, 0), 0u);
    EXPECT_EQ(p.Pixel(4, 0), kGreen);
}

TEST(DIBRead, SixteenBitFiveFiveFiveAndFiveSixFive) {
    // 5-5-5 without bit fields: red, green, blue, and white; one row of 4 pixels.
    Bytes d = infoHeader(4, 1, 16);
    d.u16(0x7C00).u16(0x03E0).u16(0x001F).u16(0x7FFF);
    TDIB p = read(d);
    EXPECT_EQ(p.Pixel(0, 0), kRed);
    EXPECT_EQ(p.Pixel(1, 0), kGreen);
    EXPECT_EQ(p.Pixel(2, 0), kBlue);
    EXPECT_EQ(p.Pixel(3, 0), kWhite);

    // 5-6-5 bit fields; odd width pads the row; green level 32 is exactly 128.
    Bytes e = infoHeader(3, 1, 16, 3);
    e.u32(0xF800).u32(0x07E0).u32(0x001F);
    e.u16(0xF800).u16(32 << 5).u16(0x0841).u16(0);
    TDIB q = read(e);
    EXPECT_EQ(q.Pixel(0, 0), kRed);
    EXPECT_EQ(q.Pixel(1, 0), 0x008000u);
    EXPECT_EQ(q.Pixel(2, 0), 0x080808u);  // levels 1, 2, 1 widened

    // 5-5-5 given as bit fields is accepted too.
    Bytes f = infoHeader(1, 1, 16, 3);
    f.u32(0x7C00).u32(0x03E0).u32(0x001F).u16(0x001F).u16(0);
    EXPECT_EQ(read(f).Pixel(0, 0), kBlue);
}

TEST(DIBRead, TwentyFourAndThirtyTwoBits) {
    Bytes d = infoHeader(2, 2, 24);
    // bottom row: blue, green (+2 padding), top row: red, white
    d.u8(0xFF).u8(0).u8(0).u8(0).u8(0xFF).u8(0).u8(0).u8(0);
    d.u8(0).u8(0).u8(0xFF).u8(0xFF).u8(0xFF).u8(0xFF).u8(0).u8(0);
    TDIB p = read(d);
    EXPECT_EQ(p.Pixel(0, 0), kRed);
    EXPECT_EQ(p.Pixel(1, 0), kWhite);
    EXPECT_EQ(p.Pixel(0, 1), kBlue);
    EXPECT_EQ(p.Pixel(1, 1), kGreen);

    Bytes e = infoHeader(2, 1, 32);
    e.u8(0x10).u8(0x20).u8(0x30).u8(0xAA).u8(1).u8(2).u8(3).u8(4);
    TDIB q = read(e);
    EXPECT_EQ(q.Pixel(0, 0), 0x102030u);
    EXPECT_EQ(q.Pixel(1, 0), 0x010203u);
    EXPECT_EQ(q.BitCount(), 32);
}

TEST(DIBRead, NegativeHeightStoresTopRowFirst) {
    Bytes d = infoHeader(1, -3, 8, 0, 0, 3);
    quad(d, kRed);
    quad(d, kGreen);
    quad(d, kBlue);
    d.u32(0).u32(1).u32(2);
    TDIB p = read(d);
    ASSERT_EQ(p.Height(), 3);
    EXPECT_EQ(p.Pixel(0, 0), kRed);
    EXPECT_EQ(p.Pixel(0, 1), kGreen);
    EXPECT_EQ(p.Pixel(0, 2), kBlue);
}

TEST(DIBRead, CoreHeaderWithThreeByteTable) {
    Bytes d;
    d.u32(12).u16(2).u16(1).u16(1).u16(4);
    for (uint32_t i = 0; i < 16; ++i) d.u8(i).u8(0).u8(0xF0);  // blue, green, red
    d.u8(0x1E).u8(0).u8(0).u8(0);
    TDIB p = read(d);
    EXPECT_EQ(p.Pixel(0, 0), 0x0100F0u);
    EXPECT_EQ(p.Pixel(1, 0), 0x0E00F0u);
}

TEST(DIBRead, RunLengthEightBit) {
    // 6 x 3, bottom row first: row 2 = 3 x 1, abs(2 0 2), row 1 = delta (2,0) then 2 x 1,
    // row 0 = 6 x 2 and the end mark.
    Bytes rle;
    rle.u8(3).u8(1).u8(0).u8(3).u8(2).u8(0).u8(2).u8(0);  // absolute run of 3, padded
    rle.u8(0).u8(0);                                        // end of line
    rle.u8(0).u8(2).u8(2).u8(0).u8(2).u8(1).u8(0).u8(0);    // delta, run, end of line
    rle.u8(6).u8(2).u8(0).u8(1);
    Bytes d = infoHeader(6, 3, 8, 1, static_cast<uint32_t>(rle.size()), 3);
    quad(d, 0x000000);
    quad(d, kRed);
    quad(d, kGreen);
    d.raw(rle.b);
    TDIB p = read(d);
    const uint32_t want[3][6] = {{kGreen, kGreen, kGreen, kGreen, kGreen, kGreen},
                                 {0, 0, kRed, kRed, 0, 0},
                                 {kRed, kRed, kRed, kGreen, 0, kGreen}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(p.Pixel(x, y), want[y][x]) << x << "," << y;
}

TEST(DIBRead, RunLengthFourBit) {
    // 5 x 2: bottom row = run of 5 alternating 1,2; top row = absolute 3 nibbles 3 4 5,
    // then a run of 2 of index 1.
    Bytes rle;
    rle.u8(5).u8(0x12).u8(0).u8(0);
    rle.u8(0).u8(3).u8(0x34).u8(0x50).u8(2).u8(0x11).u8(0).u8(1);
    Bytes d = infoHeader(5, 2, 4, 2, static_cast<uint32_t>(rle.size()));
    for (uint32_t i = 0; i < 16; ++i) quad(d, i);
    d.raw(rle.b);
    TDIB p = read(d);
    const uint32_t top[5] = {3, 4, 5, 1, 1}, bottom[5] = {1, 2, 1, 2, 1};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(p.Pixel(x, 0), top[x]) << x;
        EXPECT_EQ(p.Pixel(x, 1), bottom[x]) << x;
    }
}

TEST(DIBRead, EmptyDataIsEmptyPicture) {
    EXPECT_TRUE(ReadDIB(nullptr, 0).Empty());
}

TEST(DIBRead, BitmapFileHonoursPixelOffset) {
    Bytes body = infoHeader(1, 1, 24);
    Bytes f;
    f.raw("BM").u32(14 + 40 + 4 + 4).u32(0).u32(14 + 40 + 4);
    f.raw(body.b).u32(0xDEADBEEF).u8(0x30).u8(0x20).u8(0x10).u8(0);
    TDIB p = ReadBitmapFile(f.b.data(), f.b.size());
    EXPECT_EQ(p.Pixel(0, 0), 0x302010u);
    Bytes bad;
    bad.raw("XM").u32(0).u32(0).u32(0);
    EXPECT_THROW(ReadBitmapFile(bad.b.data(), bad.b.size()), EDIBError);
}

TEST(DIBRead, ErrorMessages) {
    Bytes shortRead;
    shortRead.u8(40).u8(0);
    EXPECT_EQ(dibError(shortRead), "DIB is invalid");
    Bytes v4 = infoHeader(1, 1, 24);
    v4.b[0] = 108;
    EXPECT_EQ(dibError(v4), "DIB is invalid");
    Bytes truncatedHeader = infoHeader(1, 1, 24);
    truncatedHeader.b.resize(30);
    EXPECT_EQ(dibError(truncatedHeader), "DIB is invalid");
    EXPECT_EQ(dibError(infoHeader(1, 1, 3).u32(0)), "Bitcount in invalid (3)");
    EXPECT_EQ(dibError(infoHeader(1, 1, 0).u32(0)), "Bitcount in invalid (0)");
    EXPECT_EQ(dibError(infoHeader(1, 1, 24, 4).u32(0)), "DIB is invalid");
    EXPECT_EQ(dibError(infoHeader(1, 1, 24, 1).u32(0)), "DIB is invalid");  // RLE8 needs 8 bits
    Bytes masks = infoHeader(1, 1, 16, 3);
    masks.u32(0xF000).u32(0x0F00).u32(0x00F0).u32(0);
    EXPECT_EQ(dibError(masks), "PixelFormat in invalid");
    Bytes rows = infoHeader(4, 4, 24);
    rows.u32(0);
    EXPECT_EQ(dibError(rows), "DIB is invalid");
    EXPECT_EQ(dibError(infoHeader(-1, 1, 24).u32(0)), "DIB is invalid");
}
