#include "TestData.h"

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "media/CollectionFile.h"

namespace testdata {

namespace {

using media::PictureItemData;

std::shared_ptr<media::TDIB> picture(int w, int h, uint32_t colour, int stripe) {
    auto d = std::make_shared<media::TDIB>(w, h, 8);  // a colour table keeps the files small
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A vertical stripe marks the tile, so screenshots show the scrolling.
            bool mark = stripe >= 0 && x >= 20 + stripe * 30 && x < 30 + stripe * 30;
            d->SetPixel(x, y, mark ? 0xFFFFFF : colour);
        }
    return d;
}

PictureItemData item(const std::string& name, std::shared_ptr<media::TDIB> pic, bool transparent) {
    PictureItemData d;
    d.Name = name;
    d.Picture = std::move(pic);
    d.Transparent = transparent;
    d.TransparentColor = 0;
    return d;
}

std::vector<PictureItemData> tiles(int count, uint32_t colour, bool marked) {
    std::vector<PictureItemData> v;
    for (int i = 0; i < count; ++i)
        v.push_back(item("p" + std::to_string(i), picture(640, 380, colour, marked ? i : -1), false));
    return v;
}

std::vector<PictureItemData> sprites(const std::vector<std::string>& names, uint32_t colour) {
    std::vector<PictureItemData> v;
    for (size_t i = 0; i < names.size(); ++i)
        v.push_back(item(names[i], picture(40 + static_cast<int>(i), 30 + static_cast<int>(i), colour, -1), true));
    return v;
}

std::vector<media::WaveItemData> music() {
    std::vector<media::WaveItemData> v;
    for (const char* n : {"hudba1", "hudba2"}) {
        media::WaveItemData d;
        d.Name = n;
        d.Wave = std::make_shared<media::TWave>();
        d.Wave->Data.assign(2205, 0x80);
        v.push_back(d);
    }
    return v;
}

void makeDir(const std::string& d) { mkdir(d.c_str(), 0755); }

}  // namespace

void writeDataDirectory(const std::string& dir, int deadlyLevel) {
    makeDir(dir);
    for (const char* sub : {"pozadi", "alin", "vob", "zvuky"}) makeDir(dir + "/" + sub);
    std::vector<PictureItemData> story;
    for (int i = 0; i < 5; ++i) story.push_back(item("s" + std::to_string(i), picture(640, 480, 0x402000 + 0x10 * i, i), false));
    media::WritePictureCollectionFile(dir + "/pozadi/story.dxg", story);
    std::vector<PictureItemData> menu = {item("titul", picture(640, 330, 0x804020, 0), false),
                                         item("menu", picture(640, 480, 0x203060, 1), false),
                                         item("konec", picture(100, 100, 0x2020C0, -1), false),
                                         item("start", picture(150, 90, 0xC02020, -1), false)};
    media::WritePictureCollectionFile(dir + "/pozadi/menu.dxg", menu);
    const struct {
        const char* name;
        int count;
        uint32_t colour;
    } backgrounds[] = {{"po1", 9, 0x401010}, {"po2", 8, 0x101040}, {"po3", 8, 0x303030}, {"po4", 4, 0x402040},
                       {"po5", 9, 0x404010}, {"po6", 7, 0x104040}, {"po7a", 9, 0x200040}, {"po7b", 9, 0x002040},
                       {"po8", 7, 0x402000}};
    int levelOfFile = 0;
    for (const auto& b : backgrounds) {
        levelOfFile += std::string(b.name) == "po7b" ? 0 : 1;
        uint32_t colour = levelOfFile == deadlyLevel ? 0x008000 : b.colour;
        media::WritePictureCollectionFile(dir + "/pozadi/" + b.name + ".dxg", tiles(b.count, colour, levelOfFile != deadlyLevel));
    }
    const std::vector<std::string> alinNames = {"a1", "a2", "a3", "a4", "a5", "b1", "b2", "b3", "b4",
                                                "b5", "c1", "c2", "c3", "c4", "c5", "alnab", "kamen"};
    for (const char* n : {"al1", "al2", "al3", "al4", "al5", "al7", "al8"})
        media::WritePictureCollectionFile(dir + "/alin/" + n + ".dxg", sprites(alinNames, 0x2080FF));
    const std::vector<std::string> vobNames = {"o0", "o1", "o2", "o3", "o4",  "o5",  "o6",  "o7",
                                               "o8", "o9", "o10", "o11", "o12", "o13", "o14", "blesk"};
    for (const char* n : {"vob2", "vob5", "vob6", "vob7", "vob8"})
        media::WritePictureCollectionFile(dir + "/vob/" + n + ".dxg", sprites(vobNames, 0xFF8020));
    for (const char* n : {"menu1", "d1", "d2", "d3", "d4", "d5", "d6", "d7", "d8"})
        media::WriteWaveCollectionFile(dir + "/zvuky/" + n + ".dxg", music());
}

}  // namespace testdata
