// Collection files: the container, the value kinds, picture and wave items, the error
// messages and round trips through the writers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "media/CollectionFile.h"
#include "media/DxgWave.h"
#include "media/Errors.h"
#include "CollectionBytes.h"

using namespace media;
using dxgtest::Bytes;

namespace {

std::vector<PictureItemData> readPictures(const Bytes& f) {
    std::vector<PictureItemData> items;
    ReadPictureCollection(f.b.data(), f.b.size(), [&](PictureItemData&& d) { items.push_back(std::move(d)); });
    return items;
}

std::vector<WaveItemData> readWaves(const Bytes& f) {
    std::vector<WaveItemData> items;
    ReadWaveCollection(f.b.data(), f.b.size(), [&](WaveItemData&& d) { items.push_back(std::move(d)); });
    return items;
}

template <typename F>
std::string messageOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    return "no error";
}

std::vector<uint8_t> smallDib() {
    Bytes d = dxgtest::infoHeader(2, 1, 24);
    d.u8(0).u8(0).u8(0xFF).u8(0xFF).u8(0xFF).u8(0xFF).u8(0).u8(0);
    return dxgtest::pictureData(d);
}

Bytes riff(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    Bytes w;
    w.raw("RIFF").u32(0).raw("WAVE");
    for (const auto& c : chunks) w.raw(c.first).u32(static_cast<uint32_t>(c.second.size())).raw(c.second);
    return w;
}

std::vector<uint8_t> fmt(int channels, int rate, int bits) {
    Bytes f;
    int align = channels * bits / 8;
    f.u16(1).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits);
    return f.b;
}

}  // namespace

TEST(CollectionFile, PictureItemWithEveryProperty) {
    Bytes f = dxgtest::fileStart();
    f.u8(0x01).prop("Name").str("rak1").prop("PatternHeight").int8(-3).prop("PatternWidth").int16(300);
    f.prop("Picture.Data").binary(smallDib()).prop("SkipHeight").int32(70000).prop("SkipWidth").int8(2);
    f.prop("SystemMemory").boolean(true).prop("Transparent").boolean(false);
    f.prop("TransparentColor").int32(0x2A558F).u8(0);
    dxgtest::fileEnd(f);
    auto items = readPictures(f);
    ASSERT_EQ(items.size(), 1u);
    const PictureItemData& it = items[0];
    EXPECT_EQ(it.Name, "rak1");
    EXPECT_EQ(it.PatternHeight, -3);
    EXPECT_EQ(it.PatternWidth, 300);
    EXPECT_EQ(it.SkipHeight, 70000);
    EXPECT_EQ(it.SkipWidth, 2);
    EXPECT_TRUE(it.SystemMemory);
    EXPECT_FALSE(it.Transparent);
    EXPECT_EQ(it.TransparentColor, 0x2A558Fu);
    ASSERT_TRUE(it.Picture);
    EXPECT_EQ(it.Picture->Pixel(0, 0), 0x0000FFu);  // stored blue, green, red
    EXPECT_EQ(it.Picture->Pixel(1, 0), 0xFFFFFFu);
}

TEST(CollectionFile, ContainerVariants) {
    // A 63-character resource name, an order number before each item, a prefix byte with a
    // child position, a long-string name, colour identifiers and defaults.
    Bytes f;
    f.u8(0xFF).u16(10).raw(std::string(63, 'Q')).u8(0).u16(0).u32(12345);
    ASSERT_EQ(f.size(), 73u);
    f.raw("TPF0").u8(0xF2).int8(5).sstr("AnythingElse").sstr("obj").prop("List").u8(0x0E);
    f.int8(0).u8(0x01).prop("Name").lstr("first").prop("TransparentColor").ident("clWhite").u8(0);
    f.int16(1).u8(0x01).prop("TransparentColor").ident("CLBLACK").u8(0);
    f.int32(2).u8(0x01).prop("TransparentColor").ident("clLime").u8(0);
    dxgtest::fileEnd(f);
    auto items = readPictures(f);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Name, "first");
    EXPECT_EQ(items[0].TransparentColor, 0xFFFFFFu);
    EXPECT_EQ(items[1].TransparentColor, 0u);
    EXPECT_EQ(items[2].TransparentColor, 0x00FF00u);
    // Defaults: no picture, transparent, not in system memory.
    EXPECT_FALSE(items[1].Picture);
    EXPECT_TRUE(items[1].Transparent);
    EXPECT_FALSE(items[1].SystemMemory);

    Bytes empty = dxgtest::fileStart();
    dxgtest::fileEnd(empty);
    EXPECT_TRUE(readPictures(empty).empty());
}

TEST(CollectionFile, PictureDataKinds) {
    auto one = [](const std::vector<uint8_t>& data) {
        Bytes f = dxgtest::fileStart();
        f.u8(0x01).prop("Picture.Data").binary(data).u8(0);
        dxgtest::fileEnd(f);
        return readPictures(f).at(0).Picture;
    };
    Bytes bmp;
    bmp.raw("BM").u32(14 + 40 + 4).u32(0).u32(54).raw(dxgtest::infoHeader(1, 1, 24).b).u8(0x33).u8(0x22).u8(0x11).u8(0);
    Bytes bitmapKind;
    bitmapKind.sstr("TBitmap").u32(static_cast<uint32_t>(bmp.size())).raw(bmp.b);
    auto p = one(bitmapKind.b);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Pixel(0, 0), 0x332211u);

    Bytes emptyDib;
    emptyDib.sstr("TDIB");
    EXPECT_TRUE(one(emptyDib.b)->Empty());
    Bytes other;
    other.sstr("TJPEGImage").u32(7);
    EXPECT_TRUE(one(other.b)->Empty());
}

TEST(CollectionFile, StreamErrors) {
    Bytes good = dxgtest::fileStart();
    dxgtest::fileEnd(good);
    Bytes badMarker = good;
    badMarker.b[0] = 0xFE;
    EXPECT_EQ(messageOf([&] { readPictures(badMarker); }), "Invalid stream format");
    Bytes badType = good;
    badType.b[1] = 11;
    EXPECT_EQ(messageOf([&] { readPictures(badType); }), "Invalid stream format");
    Bytes badSignature = good;
    badSignature.b[37] = 'X';  // the 'T' of "TPF0", after the 37-byte header
    EXPECT_EQ(messageOf([&] { readPictures(badSignature); }), "Invalid stream format");
    EXPECT_EQ(messageOf([] { ReadPictureCollection(nullptr, 0, [](PictureItemData&&) {}); }),
              "Invalid stream format");

    Bytes unknown = dxgtest::fileStart();
    unknown.u8(0x01).prop("Name").str("a").u8(0).u8(0x01).prop("Colour").int8(1).u8(0);
    dxgtest::fileEnd(unknown);
    std::vector<PictureItemData> got;
    EXPECT_EQ(messageOf([&] {
                  ReadPictureCollection(unknown.b.data(), unknown.b.size(),
                                        [&](PictureItemData&& d) { got.push_back(std::move(d)); });
              }),
              "Property Colour does not exist");
    // The list keeps what was read, the item being read included.
    EXPECT_EQ(got.size(), 2u);

    Bytes wrongKind = dxgtest::fileStart();
    wrongKind.u8(0x01).prop("Transparent").int8(1).u8(0);
    dxgtest::fileEnd(wrongKind);
    EXPECT_EQ(messageOf([&] { readPictures(wrongKind); }), "Invalid property value");
    Bytes badColour = dxgtest::fileStart();
    badColour.u8(0x01).prop("TransparentColor").ident("clPlaid").u8(0);
    dxgtest::fileEnd(badColour);
    EXPECT_EQ(messageOf([&] { readPictures(badColour); }), "Invalid property value");

    // A picture file is not a wave file.
    Bytes pictures = dxgtest::fileStart();
    pictures.u8(0x01).prop("PatternWidth").int8(1).u8(0);
    dxgtest::fileEnd(pictures);
    EXPECT_EQ(messageOf([&] { readWaves(pictures); }), "Property PatternWidth does not exist");
}

TEST(CollectionFile, FileOpenErrorShowsPathAsWritten) {
    EXPECT_EQ(messageOf([] { ReadPictureCollectionFile("no_such_dir\\po3.dxg", [](PictureItemData&&) {}); }),
              "Cannot open file no_such_dir\\po3.dxg");
    EXPECT_THROW(ReadWaveCollectionFile("no_such_dir\\d1.dxg", [](WaveItemData&&) {}), EFOpenError);
    // A directory is no file.
    const std::string dir = ::testing::TempDir();
    EXPECT_EQ(messageOf([&] { ReadCollectionFileBytes(dir); }), "Cannot open file " + dir);
}

TEST(CollectionFile, WaveItemsAndChunks) {
    // An odd-sized extra chunk is skipped by its exact size; a zero identifier ends the list.
    Bytes wav = riff({{"LIST", {1, 2, 3}}, {"fmt ", fmt(1, 22050, 16)}, {"data", {9, 8, 7, 6}}});
    wav.u32(0).u32(0xFFFFFFFF);
    Bytes f = dxgtest::fileStart("TWaveCollectionComponent");
    f.u8(0x01).prop("Name").str("kul").prop("Looped").boolean(true).prop("MaxPlayingCount").int8(-4);
    f.prop("Wave.WAVE").binary(wav.b).u8(0);
    f.u8(0x01).prop("Name").str("hudba1").prop("Wave.WAVE").binary({}).u8(0);
    dxgtest::fileEnd(f);
    auto items = readWaves(f);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Name, "kul");
    EXPECT_TRUE(items[0].Looped);
    EXPECT_EQ(items[0].MaxPlayingCount, 0);  // negative becomes 0
    ASSERT_TRUE(items[0].Wave);
    EXPECT_EQ(items[0].Wave->Format.BitsPerSample, 16);
    EXPECT_EQ(items[0].Wave->Format.AvgBytesPerSec, 44100u);
    EXPECT_EQ(items[0].Wave->Data, (std::vector<uint8_t>{9, 8, 7, 6}));
    ASSERT_TRUE(items[1].Wave);
    EXPECT_TRUE(items[1].Wave->Empty());
}

TEST(CollectionFile, WaveErrors) {
    Bytes notRiff;
    notRiff.raw("RIFX").u32(4).raw("WAVE");
    EXPECT_EQ(messageOf([&] { ReadWave(notRiff.b.data(), notRiff.size()); }), "Wave is invalid");
    Bytes notWave;
    notWave.raw("RIFF").u32(4).raw("AVI ");
    EXPECT_EQ(messageOf([&] { ReadWave(notWave.b.data(), notWave.size()); }), "Wave is invalid");
    Bytes tooShort;
    tooShort.raw("RIFF");
    EXPECT_EQ(messageOf([&] { ReadWave(tooShort.b.data(), tooShort.size()); }), "Wave is invalid");

    TWave noFormat;
    noFormat.Format.Channels = 0;
    noFormat.Data = {1};
    EXPECT_EQ(messageOf([&] { WriteWave(noFormat); }), "Format is invalid");
    // Samples without a "fmt " chunk have no format, and such a wave cannot be written.
    Bytes dataOnly = riff({{"data", {1, 2, 3}}});
    TWave formatless = ReadWave(dataOnly.b.data(), dataOnly.size());
    EXPECT_EQ(formatless.Data.size(), 3u);
    EXPECT_EQ(formatless.Format.Channels, 0);
    EXPECT_EQ(formatless.Format.SamplesPerSec, 0u);
    EXPECT_EQ(formatless.Format.BitsPerSample, 0);
    EXPECT_EQ(messageOf([&] { WriteWave(formatless); }), "Format is invalid");
    std::vector<uint8_t> buffer;
    TWaveStream stream(buffer);
    EXPECT_EQ(messageOf([&] { stream.Open(true); }), "Format is invalid");
    stream.SetFormat(TWaveFormat{});
    stream.Open(true);
    EXPECT_EQ(messageOf([&] { stream.Open(true); }), "Stream has already been opened");
}

TEST(CollectionFile, PictureRoundTrip) {
    std::vector<PictureItemData> items(4);
    items[0].Name = "p0";
    items[0].Picture = std::make_shared<TDIB>(3, 2, 8);
    items[0].Picture->SetPixel(2, 1, 0x2C517F);
    items[0].Transparent = false;
    items[0].TransparentColor = 0x111E2C;
    items[1].Name = "z2";  // no picture
    items[2].Name = std::string(300, 'n');  // long string
    items[2].PatternWidth = 40;
    items[2].PatternHeight = 100000;
    items[2].SkipWidth = -1;
    items[2].SkipHeight = 200;
    items[2].SystemMemory = true;
    items[2].TransparentColor = 0xFFFFFF;
    items[2].Picture = std::make_shared<TDIB>(5, 4, 16);
    items[2].Picture->SetPixel(4, 3, 0x00FF00);
    items[3].Picture = std::make_shared<TDIB>();  // empty picture

    std::vector<uint8_t> bytes = WritePictureCollection(items);
    const std::string name = "TPICTURECOLLECTIONCOMPONENT";
    ASSERT_GT(bytes.size(), name.size() + 10);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 3 + static_cast<long>(name.size())), name);
    const size_t at = name.size() + 4;
    EXPECT_EQ(bytes[at] | (bytes[at + 1] << 8), 0x1030);
    const uint32_t size = bytes[at + 2] | (bytes[at + 3] << 8) | (bytes[at + 4] << 16) | (uint32_t(bytes[at + 5]) << 24);
    EXPECT_EQ(size, bytes.size() - at - 6);
    EXPECT_EQ(DetectCollectionKind(bytes.data(), bytes.size()), CollectionKind::Pictures);

    std::vector<PictureItemData> back;
    ReadPictureCollection(bytes.data(), bytes.size(), [&](PictureItemData&& d) { back.push_back(std::move(d)); });
    ASSERT_EQ(back.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back[i].Name, items[i].Name);
        EXPECT_EQ(back[i].PatternWidth, items[i].PatternWidth);
        EXPECT_EQ(back[i].PatternHeight, items[i].PatternHeight);
        EXPECT_EQ(back[i].SkipWidth, items[i].SkipWidth);
        EXPECT_EQ(back[i].SkipHeight, items[i].SkipHeight);
        EXPECT_EQ(back[i].SystemMemory, items[i].SystemMemory);
        EXPECT_EQ(back[i].Transparent, items[i].Transparent);
        EXPECT_EQ(back[i].TransparentColor, items[i].TransparentColor);
        ASSERT_EQ(!back[i].Picture, !items[i].Picture);
        if (items[i].Picture) {
            EXPECT_EQ(back[i].Picture->Pixels(), items[i].Picture->Pixels());
            EXPECT_EQ(back[i].Picture->Width(), items[i].Picture->Width());
        }
    }
    EXPECT_EQ(WritePictureCollection(back), bytes);
}

TEST(CollectionFile, AWriterTakesOneItemAtATimeAndKnowsTheSizeSoFar) {
    std::vector<PictureItemData> items(3);
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].Name = "p" + std::to_string(i);
        items[i].Picture = std::make_shared<TDIB>(int(4 + i), 3, 24);
    }
    CollectionWriter writer(CollectionKind::Pictures);
    EXPECT_EQ(writer.Size(), WritePictureCollection({}).size());
    for (size_t i = 0; i < items.size(); ++i) {
        writer.Add(items[i]);
        const std::vector<PictureItemData> sofar(items.begin(), items.begin() + long(i) + 1);
        EXPECT_EQ(writer.Size(), WritePictureCollection(sofar).size()) << i;
        EXPECT_EQ(writer.Count(), i + 1);
    }
    const std::vector<uint8_t> bytes = writer.Finish();
    EXPECT_EQ(bytes, WritePictureCollection(items));
    size_t n = 0;
    ReadPictureCollection(bytes.data(), bytes.size(), [&](PictureItemData&&) { ++n; });
    EXPECT_EQ(n, items.size());
    // An empty collection is a file too; a wave has no place among pictures, nor a picture among waves.
    const std::vector<uint8_t> none = CollectionWriter(CollectionKind::Waves).Finish();
    EXPECT_EQ(DetectCollectionKind(none.data(), none.size()), CollectionKind::Waves);
    WaveItemData wave;
    EXPECT_THROW(CollectionWriter(CollectionKind::Pictures).Add(wave), EInvalidOperation);
    EXPECT_THROW(CollectionWriter(CollectionKind::Waves).Add(items[0]), EInvalidOperation);
}

TEST(CollectionFile, WrittenColoursAreNamedOnlyWhenEveryReaderKnowsTheName) {
    std::vector<PictureItemData> items(3);
    items[0].TransparentColor = 0xFFFFFF;
    items[1].TransparentColor = 0x0000FF;  // has a name in the longer list, written as a number
    items[2].TransparentColor = 0x00FF00;
    std::vector<uint8_t> bytes = WritePictureCollection(items);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find(std::string("\x07\x07") + "clWhite"), std::string::npos);
    EXPECT_EQ(text.find("clRed"), std::string::npos);
    EXPECT_EQ(text.find("clLime"), std::string::npos);
    EXPECT_NE(text.find(std::string("TransparentColor\x03\xFF\x00", 19)), std::string::npos);
    std::vector<PictureItemData> back;
    ReadPictureCollection(bytes.data(), bytes.size(), [&](PictureItemData&& d) { back.push_back(std::move(d)); });
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(back[i].TransparentColor, items[i].TransparentColor) << i;
}

TEST(CollectionFile, WaveRoundTripAndFiles) {
    std::vector<WaveItemData> items(3);
    items[0].Name = "hudba";
    items[0].Looped = true;
    items[0].MaxPlayingCount = 2;
    items[0].Wave = std::make_shared<TWave>();
    items[0].Wave->Data = {1, 2, 3, 4, 5};  // odd size
    items[1].Name = "hudba1";
    items[1].Wave = std::make_shared<TWave>();
    items[2].Name = "none";
    const std::string path = std::string(::testing::TempDir()) + "orbita_waves_test.dxg";
    WriteWaveCollectionFile(path, items);
    std::vector<uint8_t> bytes = ReadCollectionFileBytes(path);
    EXPECT_EQ(DetectCollectionKind(bytes.data(), bytes.size()), CollectionKind::Waves);
    std::vector<WaveItemData> back;
    ReadWaveCollectionFile(path, [&](WaveItemData&& d) { back.push_back(std::move(d)); });
    std::remove(path.c_str());
    ASSERT_EQ(back.size(), 3u);
    EXPECT_TRUE(back[0].Looped);
    EXPECT_EQ(back[0].MaxPlayingCount, 2);
    EXPECT_EQ(back[0].Wave->Data, items[0].Wave->Data);
    EXPECT_EQ(back[0].Wave->Format.SamplesPerSec, 22050u);
    EXPECT_TRUE(back[1].Wave && back[1].Wave->Empty());
    EXPECT_FALSE(back[2].Wave);
    EXPECT_EQ(WriteWaveCollection(back), bytes);
}
