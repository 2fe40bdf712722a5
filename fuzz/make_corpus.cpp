// Writes the fuzz seed corpus: collection files of every picture depth and of waves made
// by the writers, plus raw DIB, bitmap and wave data and two run-length pictures.
#include <cstdio>
#include <string>
#include <vector>

#include "media/CollectionFile.h"
#include "media/DIBFile.h"
#include "media/DxgWave.h"
#include "platform/Files.h"

using namespace media;

namespace {

void save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir + "/" + name;
    const std::string reason = platform::writeFileSafely(path, bytes);
    if (!reason.empty()) std::fprintf(stderr, "%s: %s\n", path.c_str(), reason.c_str());
}

std::shared_ptr<TDIB> picture(int w, int h, int bits, int colours) {
    auto d = std::make_shared<TDIB>(w, h, bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d->SetPixel(x, y, static_cast<uint32_t>((x + 2 * y) % colours) * 0x1F3B57u);
    return d;
}

void put32(std::vector<uint8_t>& o, uint32_t v) {
    for (int i = 0; i < 4; ++i) o.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A small run-length picture (8 bits: compression 1, 4 bits: compression 2).
std::vector<uint8_t> rleDib(int bits) {
    std::vector<uint8_t> rle = bits == 8 ? std::vector<uint8_t>{3, 1, 0, 3, 2, 0, 2, 0, 0, 0, 0, 2, 1, 0, 2, 1, 0, 1}
                                         : std::vector<uint8_t>{4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    std::vector<uint8_t> d;
    put32(d, 40);
    put32(d, 6);
    put32(d, 2);
    d.push_back(1);
    d.push_back(0);
    d.push_back(static_cast<uint8_t>(bits));
    d.push_back(0);
    put32(d, bits == 8 ? 1 : 2);
    put32(d, static_cast<uint32_t>(rle.size()));
    put32(d, 0);
    put32(d, 0);
    put32(d, 4);
    put32(d, 0);
    for (uint32_t c : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u}) put32(d, c);
    d.insert(d.end(), rle.begin(), rle.end());
    return d;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus DIR\n");
        return 1;
    }
    const std::string dir = argv[1];
    std::vector<PictureItemData> items;
    const int depths[] = {1, 4, 8, 16, 24, 32};
    for (int bits : depths) {
        PictureItemData item;
        item.Name = "b" + std::to_string(bits);
        item.Picture = picture(5, 3, bits, bits == 1 ? 2 : bits == 4 ? 16 : 200);
        item.TransparentColor = bits == 8 ? 0xFFFFFF : 0x2A558F;
        item.Transparent = bits != 24;
        item.PatternWidth = bits == 32 ? 2 : 0;
        item.SkipWidth = bits == 32 ? 1 : 0;
        std::vector<PictureItemData> one{item};
        save(dir, "pictures-" + std::to_string(bits) + ".dxg", WritePictureCollection(one));
        save(dir, "dib-" + std::to_string(bits) + ".bin", WriteDIB(*item.Picture));
        items.push_back(item);
    }
    PictureItemData empty;
    empty.Name = "z2";
    items.push_back(empty);
    save(dir, "pictures-all.dxg", WritePictureCollection(items));
    save(dir, "bitmap-8.bmp", WriteBitmapFile(*picture(7, 4, 8, 50)));
    save(dir, "rle-8.bin", rleDib(8));
    save(dir, "rle-4.bin", rleDib(4));

    std::vector<WaveItemData> waves(3);
    waves[0].Name = "kul";
    waves[0].Wave = std::make_shared<TWave>();
    waves[0].Wave->Format.BitsPerSample = 16;
    waves[0].Wave->Format.BlockAlign = 2;
    waves[0].Wave->Data.assign(33, 0x40);
    waves[1].Name = "hudba";
    waves[1].Looped = true;
    waves[1].MaxPlayingCount = 2;
    waves[1].Wave = std::make_shared<TWave>();
    waves[1].Wave->Data.assign(10, 0x80);
    waves[2].Name = "hudba1";
    save(dir, "waves.dxg", WriteWaveCollection(waves));
    save(dir, "wave.wav", WriteWave(*waves[0].Wave));
    return 0;
}
