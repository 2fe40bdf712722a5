// The images and sounds built into the main form: the ship and its shots, the pod, the
// explosions, the HUD pictures, the effects and the menu and end music, plus the empty
// placeholder items of the lists that the scenes fill from files.
#include <cstring>
#include <memory>
#include <vector>

#include "game/Main.h"
#include "media/CollectionFile.h"

#if __has_include("tools/assets/Builtins.h") && defined(ORBITA_HAVE_BUILTINS)
#include "tools/assets/Builtins.h"
#define ORBITA_USE_BUILTINS 1
#endif

namespace game {

namespace {

using media::PictureItemData;
using media::TDIB;
using media::WaveItemData;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

void fillPictures(media::TDXImageList& list, const std::vector<PictureItemData>& items) {
    list.Items.Clear();
    for (const auto& d : items) {
        media::TPictureCollectionItem* it = list.Items.Add();
        it->Name = d.Name;
        it->PatternWidth = d.PatternWidth;
        it->PatternHeight = d.PatternHeight;
        it->SkipWidth = d.SkipWidth;
        it->SkipHeight = d.SkipHeight;
        it->SystemMemory = d.SystemMemory;
        it->Transparent = d.Transparent;
        it->SetTransparentColor(d.TransparentColor);
        it->SetPicture(d.Picture);
    }
}

void fillWaves(media::TDXWaveList& list, const std::vector<WaveItemData>& items) {
    list.Items.Clear();
    for (const auto& d : items) {
        media::TWaveCollectionItem* it = list.Items.Add();
        it->Name = d.Name;
        it->SetLooped(d.Looped);
        it->SetMaxPlayingCount(d.MaxPlayingCount);
        if (d.Wave) it->SetWave(*d.Wave);
    }
}

void setHudPicture(TMainForm& f, const PictureItemData& d) {
    media::TImage* target = nullptr;
    if (d.Name == "meny") target = &f.meny;
    if (d.Name == "obrov") target = &f.obrov;
    if (d.Name == "oblev") target = &f.oblev;
    if (d.Name == "obprav") target = &f.obprav;
    if (d.Name == "obhore") target = &f.obhore;
    if (d.Name == "obdole") target = &f.obdole;
    if (d.Name == "zi1") target = &f.zi1;
    if (d.Name == "zi2") target = &f.zi2;
    if (d.Name == "zi3") target = &f.zi3;
    if (d.Name == "recept") target = &f.recept;
    if (target && d.Picture) target->SetPicture(d.Picture);
}

// --- placeholder pictures of the catalogued sizes -------------------------------------------

std::shared_ptr<TDIB> filled(int w, int h, int bits, uint32_t background) {
    auto dib = std::make_shared<TDIB>(w, h, bits);
    for (auto& p : dib->Pixels()) p = background;
    return dib;
}

void rect(TDIB& d, int x0, int y0, int x1, int y1, uint32_t c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (x >= 0 && y >= 0 && x < d.Width() && y < d.Height()) d.SetPixel(x, y, c);
}

void disc(TDIB& d, int cx, int cy, int r, uint32_t c) {
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && x >= 0 && y >= 0 && x < d.Width() &&
                y < d.Height())
                d.SetPixel(x, y, c);
}

PictureItemData item(const char* name, std::shared_ptr<TDIB> pic, uint32_t key) {
    PictureItemData d;
    d.Name = name;
    d.Picture = std::move(pic);
    d.Transparent = true;
    d.TransparentColor = key;
    return d;
}

std::shared_ptr<TDIB> shipPicture() {
    auto d = filled(96, 31, 8, kWhite);
    rect(*d, 6, 10, 80, 22, 0x9C8A7A);   // hull
    rect(*d, 80, 13, 94, 19, 0xC8B8A8);  // nose
    rect(*d, 30, 6, 56, 11, 0xB06030);   // cockpit
    rect(*d, 0, 12, 6, 20, 0x2060F0);    // exhaust
    return d;
}

std::vector<PictureItemData> placeholderLod() {
    std::vector<PictureItemData> v;
    v.push_back(item("rak1", shipPicture(), kWhite));
    for (const char* n : {"ko1", "ko2", "ko3", "ko4"}) {
        auto d = filled(40, 41, 4, kWhite);
        disc(*d, 20, 20, 16, 0x3070F0);
        disc(*d, 20, 20, 8, 0x80E0FF);
        v.push_back(item(n, d, kWhite));
    }
    {
        auto d = filled(15, 4, 4, kBlack);
        rect(*d, 0, 0, 15, 4, 0x00FFFF);
        v.push_back(item("nab1", d, kBlack));
    }
    for (const char* n : {"nab2", "nab3"}) {
        auto d = filled(26, 19, 8, kBlack);
        rect(*d, 2, 5, 24, 14, 0x808080);
        v.push_back(item(n, d, kBlack));
    }
    {
        auto d = filled(33, 31, 4, kBlack);
        disc(*d, 16, 15, 13, 0x0000C0);
        disc(*d, 16, 15, 6, 0x00FFFF);
        v.push_back(item("z1", d, kBlack));
    }
    for (const char* n : {"z2", "z3", "z4"}) v.push_back(item(n, nullptr, kBlack));
    const char* las[4] = {"las1", "las2", "las3", "las4"};
    for (int i = 0; i < 4; ++i) {
        auto d = filled(46, 78, 8, kBlack);
        rect(*d, 10 + i * 4, 20, 14 + i * 4, 60, 0xFF40FF);
        v.push_back(item(las[i], d, kBlack));
    }
    return v;
}

std::vector<PictureItemData> placeholderVybuch() {
    std::vector<PictureItemData> v;
    const char* names[4] = {"nabvyb1", "nabvyb2", "nabvyb3", "nabvyb4"};
    const int w[4] = {63, 60, 58, 66}, h[4] = {60, 60, 60, 63};
    for (int i = 0; i < 4; ++i) {
        auto d = filled(w[i], h[i], 4, kBlack);
        disc(*d, w[i] / 2, h[i] / 2, 10 + 5 * i, 0x0080FF);
        disc(*d, w[i] / 2, h[i] / 2, 6 + 3 * i, 0x00FFFF);
        v.push_back(item(names[i], d, kBlack));
    }
    return v;
}

std::vector<PictureItemData> placeholderNames(std::initializer_list<const char*> names, bool transparent) {
    std::vector<PictureItemData> v;
    for (const char* n : names) {
        PictureItemData d = item(n, nullptr, kBlack);
        d.Transparent = transparent;
        v.push_back(d);
    }
    return v;
}

std::vector<PictureItemData> placeholderPozadi() {
    auto v = placeholderNames({"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9"}, false);
    v[2].TransparentColor = 0x111E2C;
    v[3].TransparentColor = 0x2A558F;
    v[4].TransparentColor = 0x2C517F;
    v[5].TransparentColor = 0x091423;
    v[6].TransparentColor = 0x2D5385;
    return v;
}

std::vector<PictureItemData> placeholderHud() {
    std::vector<PictureItemData> v;
    auto meny = filled(631, 83, 8, 0x302020);
    rect(*meny, 0, 0, 631, 2, 0x808080);
    v.push_back(item("meny", meny, kBlack));
    const char* faces[5] = {"obrov", "oblev", "obprav", "obhore", "obdole"};
    const int eyeDx[5] = {0, -6, 6, 0, 0}, eyeDy[5] = {0, 0, 0, -6, 6};
    for (int i = 0; i < 5; ++i) {
        auto d = filled(81, 72, 8, kBlack);
        disc(*d, 40, 36, 30, 0x60A0E0);
        disc(*d, 30 + eyeDx[i], 28 + eyeDy[i], 4, 0x000000);
        disc(*d, 50 + eyeDx[i], 28 + eyeDy[i], 4, 0x000000);
        v.push_back(item(faces[i], d, kBlack));
    }
    for (const char* n : {"zi1", "zi2", "zi3"}) v.push_back(item(n, shipPicture(), kWhite));
    auto recept = filled(39, 78, 8, kWhite);
    rect(*recept, 6, 6, 33, 72, 0xE0E0FF);
    v.push_back(item("recept", recept, kWhite));
    return v;
}

std::shared_ptr<media::TWave> silence(int bits, size_t bytes) {
    auto w = std::make_shared<media::TWave>();
    w->Format.Channels = 1;
    w->Format.SamplesPerSec = 22050;
    w->Format.BitsPerSample = static_cast<uint16_t>(bits);
    w->Format.BlockAlign = static_cast<uint16_t>(bits / 8);
    w->Format.AvgBytesPerSec = 22050u * static_cast<uint32_t>(bits / 8);
    w->Data.assign(bytes, bits == 8 ? 0x80 : 0x00);
    return w;
}

std::vector<WaveItemData> placeholderEffects() {
    struct Row {
        const char* name;
        int bits;
        size_t bytes;
    };
    const Row rows[10] = {{"kul", 16, 21876},     {"vybuch", 16, 49946}, {"raket1", 16, 22220},
                          {"raket2", 16, 17170},  {"laser", 16, 20762},  {"laser2", 16, 44856},
                          {"laser3", 16, 25244},  {"pust", 16, 22964},   {"hudba", 8, 532225},
                          {"finish", 8, 233910}};
    std::vector<WaveItemData> v;
    for (const Row& r : rows) {
        WaveItemData d;
        d.Name = r.name;
        d.Wave = silence(r.bits, r.bytes);
        v.push_back(d);
    }
    return v;
}

#ifdef ORBITA_USE_BUILTINS
std::vector<PictureItemData> readPictures(const std::vector<uint8_t>& bytes) {
    std::vector<PictureItemData> v;
    media::ReadPictureCollection(bytes.data(), bytes.size(), [&v](PictureItemData&& d) { v.push_back(std::move(d)); });
    return v;
}
std::vector<WaveItemData> readWaves(const std::vector<uint8_t>& bytes) {
    std::vector<WaveItemData> v;
    media::ReadWaveCollection(bytes.data(), bytes.size(), [&v](WaveItemData&& d) { v.push_back(std::move(d)); });
    return v;
}
#endif

}  // namespace

void loadBuiltins(TMainForm& f) {
    std::vector<PictureItemData> lod, vybuch, hud;
    std::vector<WaveItemData> effects;
#ifdef ORBITA_USE_BUILTINS
    lod = readPictures(builtins::lod());
    vybuch = readPictures(builtins::vybuch());
    hud = readPictures(builtins::podklad());
    effects = readWaves(builtins::DXWaveList1());
#else
    lod = placeholderLod();
    vybuch = placeholderVybuch();
    hud = placeholderHud();
    effects = placeholderEffects();
#endif
    fillPictures(f.lod, lod);
    fillPictures(f.vybuch, vybuch);
    fillPictures(f.pozadi, placeholderPozadi());
    fillPictures(f.alin, placeholderNames({"a1", "a2", "a3", "a4", "a5", "b1", "b2", "b3", "b4", "b5", "c1", "c2",
                                           "c3", "c4", "c5", "alnab", "kamen"},
                                          true));
    fillPictures(f.vob, placeholderNames({"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7", "o8", "o9", "o10", "o11",
                                          "o12", "o13", "o14", "blesk"},
                                         true));
    for (const auto& d : hud) setHudPicture(f, d);
    fillWaves(f.DXWaveList1, effects);
    std::vector<WaveItemData> music(2);
    music[0].Name = "hudba1";
    music[1].Name = "hudba2";
    fillWaves(f.List2, music);
}

}  // namespace game
