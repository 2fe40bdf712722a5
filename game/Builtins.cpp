// The images and sounds built into the main form: the ship and its shots, the pod, the
// explosions, the HUD pictures, the effects and the menu and end music, plus the empty
// placeholder items of the lists that the scenes fill from files.
#include <cstring>
#include <memory>
#include <vector>

#include "game/Language.h"
#include "game/Main.h"
#include "media/CollectionFile.h"

#include "tools/assets/Builtins.h"

namespace game {

namespace {

using media::PictureItemData;
using media::TDIB;
using media::WaveItemData;

constexpr uint32_t kBlack = 0x000000;

void fillPictures(media::TDXImageList& list, const std::vector<PictureItemData>& items) {
    list.Items.Clear();
    for (const auto& d : items) list.Items.Add(d);
}

void fillWaves(media::TDXWaveList& list, const std::vector<WaveItemData>& items) {
    list.Items.Clear();
    for (const auto& d : items) list.Items.Add(d);
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

PictureItemData item(const char* name, std::shared_ptr<TDIB> pic, uint32_t key) {
    PictureItemData d;
    d.Name = name;
    d.Picture = std::move(pic);
    d.Transparent = true;
    d.TransparentColor = key;
    return d;
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

}  // namespace

void loadBuiltins(TMainForm& f) {
    fillPictures(f.lod, readPictures(builtins::lod()));
    fillPictures(f.vybuch, readPictures(builtins::vybuch()));
    fillPictures(f.pozadi, placeholderPozadi());
    fillPictures(f.alin, placeholderNames({"a1", "a2", "a3", "a4", "a5", "b1", "b2", "b3", "b4", "b5", "c1", "c2",
                                           "c3", "c4", "c5", "alnab", "kamen"},
                                          true));
    fillPictures(f.vob, placeholderNames({"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7", "o8", "o9", "o10", "o11",
                                          "o12", "o13", "o14", "blesk"},
                                         true));
    for (const auto& d : readPictures(builtins::podklad())) setHudPicture(f, d);
    const std::string hud = languageFile("podklad.dxg");  // the panel's texts in the player's language
    if (!hud.empty()) media::ReadPictureCollectionFile(hud, [&f](PictureItemData&& d) { setHudPicture(f, d); });
    fillWaves(f.DXWaveList1, readWaves(builtins::DXWaveList1()));
    std::vector<WaveItemData> music(2);
    music[0].Name = "hudba1";
    music[1].Name = "hudba2";
    fillWaves(f.List2, music);
}

}  // namespace game
