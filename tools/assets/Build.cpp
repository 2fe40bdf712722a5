// The lists of collection files the builder writes, and writing them.
#include <filesystem>
#include <stdexcept>

#include "tools/assets/Assets.h"
#include "platform/Files.h"

namespace assets {

namespace {

OutputFile Pictures(const std::string& path, std::vector<media::PictureItemData> items) {
    OutputFile s;
    s.path = path;
    s.pictures = std::move(items);
    return s;
}

OutputFile Waves(const std::string& path, std::vector<media::WaveItemData> items) {
    OutputFile s;
    s.path = path;
    s.isWave = true;
    s.waves = std::move(items);
    return s;
}

}  // namespace

std::vector<OutputFile> BuildBuiltins() {
    return {Pictures("lod.dxg", BuildLod()), Pictures("vybuch.dxg", BuildVybuch()),
            Pictures("podklad.dxg", BuildHud()), Waves("DXWaveList1.dxg", BuildEffects())};
}

std::vector<OutputFile> BuildDataLayout() {
    std::vector<const Texts*> languages;
    for (const Texts& t : Languages()) languages.push_back(&t);
    std::vector<OutputFile> v;
    std::vector<OutputFile> own;  // the other languages' files, below lang/<code>/
    v.push_back(Pictures("pozadi/story.dxg", BuildStory()));
    v.push_back(Pictures("pozadi/menu.dxg", BuildMenu()));
    for (int level = 1; level <= 8; ++level) {
        const std::string name = level == 7 ? "po7a" : "po" + std::to_string(level);
        auto sets = BuildLevelTilesIn(level, 0, languages);
        v.push_back(Pictures("pozadi/" + name + ".dxg", std::move(sets[0])));
        // Only the first tile carries the sector's sign: the others are the Czech ones.
        for (size_t k = 1; k < languages.size(); ++k) {
            sets[k].resize(1);
            own.push_back(Pictures(LanguageFolder(*languages[k]) + "pozadi/" + name + ".dxg", std::move(sets[k])));
        }
        if (level == 7) v.push_back(Pictures("pozadi/po7b.dxg", BuildLevelTiles(7, 1)));
    }
    for (int level : {1, 2, 3, 4, 5, 7, 8}) v.push_back(Pictures("alin/al" + std::to_string(level) + ".dxg", BuildAlienSet(level)));
    for (int level : {2, 5, 6, 7, 8}) v.push_back(Pictures("vob/vob" + std::to_string(level) + ".dxg", BuildObjectSet(level)));
    v.push_back(Waves("zvuky/menu1.dxg", BuildMusic(0)));
    for (int level = 1; level <= 8; ++level) v.push_back(Waves("zvuky/d" + std::to_string(level) + ".dxg", BuildMusic(level)));
    for (size_t k = 1; k < languages.size(); ++k)
        for (OutputFile& f : BuildLanguageFiles(*languages[k], false)) v.push_back(std::move(f));
    for (OutputFile& f : own) v.push_back(std::move(f));
    return v;
}

std::string LanguageFolder(const Texts& t) { return "lang/" + t.code + "/"; }

std::vector<OutputFile> BuildLanguageFiles(const Texts& t, bool levels) {
    const std::string dir = LanguageFolder(t);
    std::vector<OutputFile> v;
    v.push_back(Pictures(dir + "pozadi/story.dxg", BuildStory(t)));
    v.push_back(Pictures(dir + "pozadi/menu.dxg", BuildMenu(t)));
    // The HUD panel: the picture with the labels and the key legend (the faces, markers and
    // the recipe carry no text and stay the built-in ones).
    std::vector<media::PictureItemData> hud = BuildHud(t);
    hud.resize(1);
    v.push_back(Pictures(dir + "podklad.dxg", std::move(hud)));
    OutputFile texts;
    texts.path = dir + "texts.txt";
    texts.isText = true;
    texts.text = GameTextsFile(t);
    v.push_back(std::move(texts));
    if (levels)
        for (int level = 1; level <= 8; ++level) {
            auto tiles = BuildLevelTilesIn(level, 0, {&t}).front();
            tiles.resize(1);
            v.push_back(Pictures(dir + "pozadi/" + (level == 7 ? std::string("po7a") : "po" + std::to_string(level)) + ".dxg",
                                 std::move(tiles)));
        }
    return v;
}

void WriteCollections(const std::string& outDir, const std::vector<OutputFile>& files) {
    namespace fs = std::filesystem;
    for (const auto& s : files) {
        fs::path p = fs::path(outDir) / s.path;
        fs::create_directories(p.parent_path());
        if (s.isText) {
            const std::string reason = platform::writeFileSafely(p.string(), s.text);
            if (!reason.empty()) throw std::runtime_error("cannot write " + p.string() + ": " + reason);
        } else if (s.isWave) media::WriteWaveCollectionFile(p.string(), s.waves);
        else media::WritePictureCollectionFile(p.string(), s.pictures);
    }
}

}  // namespace assets
