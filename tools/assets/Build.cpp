// The lists of collection files the builder writes, and writing them.
#include <filesystem>

#include "tools/assets/Assets.h"

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
    std::vector<OutputFile> v;
    v.push_back(Pictures("pozadi/story.dxg", BuildStory()));
    v.push_back(Pictures("pozadi/menu.dxg", BuildMenu()));
    for (int level = 1; level <= 8; ++level) {
        if (level == 7) {
            v.push_back(Pictures("pozadi/po7a.dxg", BuildLevelTiles(7, 0)));
            v.push_back(Pictures("pozadi/po7b.dxg", BuildLevelTiles(7, 1)));
        } else {
            v.push_back(Pictures("pozadi/po" + std::to_string(level) + ".dxg", BuildLevelTiles(level)));
        }
    }
    for (int level : {1, 2, 3, 4, 5, 7, 8}) v.push_back(Pictures("alin/al" + std::to_string(level) + ".dxg", BuildAlienSet(level)));
    for (int level : {2, 5, 6, 7, 8}) v.push_back(Pictures("vob/vob" + std::to_string(level) + ".dxg", BuildObjectSet(level)));
    v.push_back(Waves("zvuky/menu1.dxg", BuildMusic(0)));
    for (int level = 1; level <= 8; ++level) v.push_back(Waves("zvuky/d" + std::to_string(level) + ".dxg", BuildMusic(level)));
    return v;
}

void WriteCollections(const std::string& outDir, const std::vector<OutputFile>& files) {
    namespace fs = std::filesystem;
    for (const auto& s : files) {
        fs::path p = fs::path(outDir) / s.path;
        fs::create_directories(p.parent_path());
        if (s.isWave) media::WriteWaveCollectionFile(p.string(), s.waves);
        else media::WritePictureCollectionFile(p.string(), s.pictures);
    }
}

}  // namespace assets
