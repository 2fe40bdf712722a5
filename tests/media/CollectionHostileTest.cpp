// Hostile collection files: each must end the load with the DIB or stream message,
// without crashing, over-reading or allocating what the file cannot justify.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "media/CollectionFile.h"
#include "media/DxgWave.h"
#include "media/Errors.h"
#include "CollectionBytes.h"

using namespace media;
using dxgtest::Bytes;

namespace {

// Loads a one-item picture file whose item has the given properties; returns the message.
std::string loadItem(const Bytes& properties, size_t* itemsSeen = nullptr) {
    Bytes f = dxgtest::fileStart();
    f.u8(0x01).raw(properties.b).u8(0);
    dxgtest::fileEnd(f);
    size_t n = 0;
    std::string message = "no error";
    try {
        ReadPictureCollection(f.b.data(), f.b.size(), [&](PictureItemData&&) { ++n; });
    } catch (const Exception& e) {
        message = e.what();
    }
    if (itemsSeen) *itemsSeen = n;
    return message;
}

std::string loadDib(const Bytes& dib) {
    Bytes p;
    p.prop("Picture.Data").binary(dxgtest::pictureData(dib));
    return loadItem(p);
}

Bytes rleDib(int w, int h, int bits, const Bytes& rle) {
    Bytes d = dxgtest::infoHeader(w, h, bits, bits == 8 ? 1 : 2, static_cast<uint32_t>(rle.size()));
    for (int i = 0; i < (1 << bits); ++i) dxgtest::quad(d, static_cast<uint32_t>(i));
    return d.raw(rle.b);
}

}  // namespace

TEST(CollectionHostile, HugeDeclaredPictures) {
    // 100000 x 100000 declared in a file of about 2 KiB, raw and run-length.
    Bytes raw = dxgtest::infoHeader(100000, 100000, 24);
    raw.raw(std::vector<uint8_t>(2000, 0x55));
    EXPECT_EQ(loadDib(raw), "DIB is invalid");
    Bytes rle;
    for (int i = 0; i < 100; ++i) rle.u8(255).u8(1);
    EXPECT_EQ(loadDib(rleDib(100000, 100000, 8, rle)), "DIB is invalid");
    EXPECT_EQ(loadDib(rleDib(100000, -100000, 4, rle)), "DIB is invalid");
    EXPECT_EQ(loadDib(dxgtest::infoHeader(INT32_MAX, INT32_MIN, 32).u32(0)), "DIB is invalid");
    // Rows needing more bytes than the data has.
    EXPECT_EQ(loadDib(dxgtest::infoHeader(0x7FFFFFFF, 1, 1).u32(0).u32(0).u32(0)), "DIB is invalid");
}

TEST(CollectionHostile, RunLengthPastTheRowOrImage) {
    Bytes longRun;
    longRun.u8(5).u8(1).u8(0).u8(1);  // 5 pixels into a 4-pixel row
    EXPECT_EQ(loadDib(rleDib(4, 2, 8, longRun)), "DIB is invalid");
    Bytes longAbsolute;
    longAbsolute.u8(0).u8(6).u32(0x01010101).u16(0x0101).u8(0).u8(1);
    EXPECT_EQ(loadDib(rleDib(4, 2, 8, longAbsolute)), "DIB is invalid");
    Bytes absolutePastData;
    absolutePastData.u8(0).u8(200).u8(1);
    EXPECT_EQ(loadDib(rleDib(4, 2, 8, absolutePastData)), "DIB is invalid");
    Bytes deltaPastImage;
    deltaPastImage.u8(0).u8(2).u8(1).u8(9).u8(1).u8(1);
    EXPECT_EQ(loadDib(rleDib(4, 2, 8, deltaPastImage)), "DIB is invalid");
    Bytes deltaPastRow;
    deltaPastRow.u8(0).u8(2).u8(200).u8(0);
    EXPECT_EQ(loadDib(rleDib(4, 2, 4, deltaPastRow)), "DIB is invalid");
    Bytes tooManyLines;
    tooManyLines.u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(1).u8(1);
    EXPECT_EQ(loadDib(rleDib(4, 2, 4, tooManyLines)), "DIB is invalid");
    Bytes truncatedDelta;
    truncatedDelta.u8(0).u8(2).u8(1);
    EXPECT_EQ(loadDib(rleDib(4, 2, 8, truncatedDelta)), "DIB is invalid");
    // The header's image size larger than the data.
    Bytes d = dxgtest::infoHeader(4, 2, 8, 1, 5000);
    for (int i = 0; i < 256; ++i) dxgtest::quad(d, 0);
    d.u8(0).u8(1);
    EXPECT_EQ(loadDib(d), "DIB is invalid");
}

TEST(CollectionHostile, ColourTables) {
    // A million colours used: the table is capped at 256 entries and then runs out of data.
    Bytes d = dxgtest::infoHeader(2, 2, 8, 0, 0, 1000000);
    d.raw(std::vector<uint8_t>(100, 0));
    EXPECT_EQ(loadDib(d), "DIB is invalid");
    Bytes big = dxgtest::infoHeader(1, 1, 24, 0, 0, 0xFFFFFFFF);
    EXPECT_EQ(loadDib(big), "DIB is invalid");
}

TEST(CollectionHostile, LengthsPastTheEnd) {
    Bytes binary;
    binary.prop("Picture.Data").u8(0x0A).u32(0xFFFFFFF0).u32(0);
    EXPECT_EQ(loadItem(binary), "Invalid stream format");
    Bytes str;
    str.prop("Name").u8(0x06).u8(200).raw("abc");
    EXPECT_EQ(loadItem(str), "Invalid stream format");
    Bytes lstr;
    lstr.prop("Name").u8(0x0C).u32(0x7FFFFFFF).raw("abc");
    EXPECT_EQ(loadItem(lstr), "Invalid stream format");
    Bytes propName;
    propName.u8(250).raw("Na");
    EXPECT_EQ(loadItem(propName), "Invalid stream format");
    Bytes bitmapLength;
    bitmapLength.sstr("TBitmap").u32(0x10000000).raw("BM");
    Bytes p;
    p.prop("Picture.Data").binary(bitmapLength.b);
    EXPECT_EQ(loadItem(p), "Invalid stream format");
    Bytes kindName;
    kindName.u8(40).raw("TDIB");
    Bytes k;
    k.prop("Picture.Data").binary(kindName.b);
    EXPECT_EQ(loadItem(k), "Invalid stream format");
    // A file cut anywhere ends with the stream message and never reads past its end.
    Bytes full = dxgtest::fileStart();
    full.u8(0x01).prop("Name").str("x").prop("Picture.Data").binary(dxgtest::pictureData(dxgtest::infoHeader(1, 1, 24).u32(0))).u8(0);
    dxgtest::fileEnd(full);
    for (size_t n = 0; n < full.size(); ++n) {
        std::vector<uint8_t> cut(full.b.begin(), full.b.begin() + static_cast<long>(n));
        EXPECT_THROW(ReadPictureCollection(cut.data(), cut.size(), [](PictureItemData&&) {}), Exception) << n;
    }
}

TEST(CollectionHostile, NestingAndUnknownValues) {
    Bytes deep;
    deep.prop("Name");
    for (int i = 0; i < 100000; ++i) deep.u8(0x01);
    EXPECT_EQ(loadItem(deep), "Invalid stream format");
    Bytes deepCollections;
    deepCollections.prop("Name");
    for (int i = 0; i < 50000; ++i) deepCollections.u8(0x0E).u8(0x01).prop("x");
    EXPECT_EQ(loadItem(deepCollections), "Invalid stream format");
    // Moderate nesting is stepped over but is no name.
    Bytes shallow;
    shallow.prop("Name").u8(0x01).u8(0x01).int8(1).u8(0).u8(0);
    EXPECT_EQ(loadItem(shallow), "Invalid property value");
    Bytes unknownType;
    unknownType.prop("Name").u8(0x05).raw(std::string(10, '\0'));
    EXPECT_EQ(loadItem(unknownType), "Invalid stream format");
    // A name with no zero terminator in the first 79 bytes.
    Bytes header;
    header.u8(0xFF).u16(10).raw(std::string(200, 'A'));
    EXPECT_THROW(ReadPictureCollection(header.b.data(), header.size(), [](PictureItemData&&) {}), EReadError);
}

TEST(CollectionHostile, WaveChunksPastTheData) {
    Bytes w;
    w.raw("RIFF").u32(0).raw("WAVE").raw("data").u32(0x7FFFFFFF).u32(0);
    EXPECT_THROW(ReadWave(w.b.data(), w.size()), EWaveError);
    Bytes f;
    f.raw("RIFF").u32(0).raw("WAVE").raw("fmt ").u32(1000).u16(1);
    EXPECT_THROW(ReadWave(f.b.data(), f.size()), EWaveError);
    // A short format chunk gives what it holds and zeros for the rest.
    Bytes s;
    s.raw("RIFF").u32(0).raw("WAVE").raw("fmt ").u32(4).u16(1).u16(2).raw("data").u32(1).u8(7);
    TWave wave = ReadWave(s.b.data(), s.size());
    EXPECT_EQ(wave.Format.Channels, 2);
    EXPECT_EQ(wave.Format.AvgBytesPerSec, 0u);
    EXPECT_EQ(wave.DurationMs(), 0u);
    EXPECT_EQ(wave.Data.size(), 1u);
}
