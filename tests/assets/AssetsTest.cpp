// The asset builder's output, read back through the game's own collection reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "media/CollectionFile.h"
#include "tools/assets/Assets.h"
#include "tools/assets/Canvas.h"

namespace {

namespace fs = std::filesystem;
using media::PictureItemData;
using media::WaveItemData;

std::vector<PictureItemData> ReadPictures(const std::string& path) {
    std::vector<PictureItemData> v;
    media::ReadPictureCollectionFile(path, [&v](PictureItemData&& d) { v.push_back(std::move(d)); });
    return v;
}

std::vector<WaveItemData> ReadWaves(const std::string& path) {
    std::vector<WaveItemData> v;
    media::ReadWaveCollectionFile(path, [&v](WaveItemData&& d) { v.push_back(std::move(d)); });
    return v;
}

// Each file is generated when a test first needs it (every test runs in its own process, and
// the whole data set takes seconds), written to a scratch directory and read back from there.
struct Scratch {
    std::string dir;
    Scratch() {
        dir = (fs::temp_directory_path() / ("orbita-assets-test-" + std::to_string(::getpid()))).string();
        fs::remove_all(dir);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Scratch& ScratchDir() {
    static Scratch s;
    return s;
}

assets::OutputFile Build(const std::string& rel) {
    assets::OutputFile s;
    s.path = rel;
    s.isWave = rel.find("zvuky/") != std::string::npos || rel.find("DXWaveList1") != std::string::npos;
    auto num = [&](size_t from) { return rel[from] - '0'; };
    if (rel == "builtins/lod.dxg") s.pictures = assets::BuildLod();
    else if (rel == "builtins/vybuch.dxg") s.pictures = assets::BuildVybuch();
    else if (rel == "builtins/podklad.dxg") s.pictures = assets::BuildHud();
    else if (rel == "builtins/DXWaveList1.dxg") s.waves = assets::BuildEffects();
    else if (rel == "data/pozadi/story.dxg") s.pictures = assets::BuildStory();
    else if (rel == "data/pozadi/menu.dxg") s.pictures = assets::BuildMenu();
    else if (rel.rfind("data/pozadi/po", 0) == 0) s.pictures = assets::BuildLevelTiles(num(14), rel[15] == 'b' ? 1 : 0);
    else if (rel.rfind("data/alin/al", 0) == 0) s.pictures = assets::BuildAlienSet(num(12));
    else if (rel.rfind("data/vob/vob", 0) == 0) s.pictures = assets::BuildObjectSet(num(12));
    else if (rel == "data/zvuky/menu1.dxg") s.waves = assets::BuildMusic(0);
    else if (rel.rfind("data/zvuky/d", 0) == 0) s.waves = assets::BuildMusic(num(12));
    else ADD_FAILURE() << "unknown file " << rel;
    return s;
}

const std::vector<std::string>& AllFiles() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> v = {"builtins/lod.dxg", "builtins/vybuch.dxg", "builtins/podklad.dxg", "builtins/DXWaveList1.dxg"};
        for (const auto& name : {"story", "menu", "po1", "po2", "po3", "po4", "po5", "po6", "po7a", "po7b", "po8"})
            v.push_back(std::string("data/pozadi/") + name + ".dxg");
        for (int l : {1, 2, 3, 4, 5, 7, 8}) v.push_back("data/alin/al" + std::to_string(l) + ".dxg");
        for (int l : {2, 5, 6, 7, 8}) v.push_back("data/vob/vob" + std::to_string(l) + ".dxg");
        v.push_back("data/zvuky/menu1.dxg");
        for (int l = 1; l <= 8; ++l) v.push_back("data/zvuky/d" + std::to_string(l) + ".dxg");
        return v;
    }();
    return all;
}

bool IsWaveFile(const std::string& rel) {
    return rel.find("zvuky/") != std::string::npos || rel.find("DXWaveList1") != std::string::npos;
}

std::string Written(const std::string& rel) {
    static std::map<std::string, std::string> done;
    auto it = done.find(rel);
    if (it != done.end()) return it->second;
    assets::WriteCollections(ScratchDir().dir, {Build(rel)});
    return done[rel] = ScratchDir().dir + "/" + rel;
}

const std::vector<PictureItemData>& Pics(const std::string& rel) {
    static std::map<std::string, std::vector<PictureItemData>> cache;
    auto it = cache.find(rel);
    if (it == cache.end()) it = cache.emplace(rel, ReadPictures(Written(rel))).first;
    return it->second;
}

const std::vector<WaveItemData>& Waves(const std::string& rel) {
    static std::map<std::string, std::vector<WaveItemData>> cache;
    auto it = cache.find(rel);
    if (it == cache.end()) it = cache.emplace(rel, ReadWaves(Written(rel))).first;
    return it->second;
}

void ExpectPicture(const PictureItemData& it, const std::string& name, int w, int h, int bits, bool transparent,
                   uint32_t key) {
    SCOPED_TRACE(name);
    EXPECT_EQ(it.Name, name);
    ASSERT_TRUE(it.Picture);
    EXPECT_EQ(it.Picture->Width(), w);
    EXPECT_EQ(it.Picture->Height(), h);
    EXPECT_EQ(it.Picture->BitCount(), bits);
    EXPECT_EQ(it.Transparent, transparent);
    EXPECT_EQ(it.TransparentColor, key);
    EXPECT_EQ(it.PatternWidth, 0);
    EXPECT_EQ(it.PatternHeight, 0);
    EXPECT_FALSE(it.SystemMemory);
}

// ------------------------------------------------------------------ built-in lists

TEST(Builtins, ShipListMatchesTheCatalogue) {
    const auto& lod = Pics("builtins/lod.dxg");
    ASSERT_EQ(lod.size(), 16u);
    ExpectPicture(lod[0], "rak1", 96, 31, 8, true, 0xFFFFFF);
    for (int i = 1; i <= 4; ++i) ExpectPicture(lod[i], "ko" + std::to_string(i), 40, 41, 4, true, 0xFFFFFF);
    ExpectPicture(lod[5], "nab1", 15, 4, 4, true, 0);
    ExpectPicture(lod[6], "nab2", 26, 19, 8, true, 0);
    ExpectPicture(lod[7], "nab3", 26, 19, 8, true, 0);
    ExpectPicture(lod[8], "z1", 33, 31, 4, true, 0);
    for (int i = 9; i <= 11; ++i) {
        EXPECT_EQ(lod[i].Name, "z" + std::to_string(i - 7));
        EXPECT_TRUE(!lod[i].Picture || lod[i].Picture->Empty()) << "z2..z4 carry no picture";
        EXPECT_TRUE(lod[i].Transparent);
    }
    for (int i = 12; i <= 15; ++i) ExpectPicture(lod[i], "las" + std::to_string(i - 11), 46, 78, 8, true, 0);
}

TEST(Builtins, ExplosionsAndHudMatchTheCatalogue) {
    const auto& vyb = Pics("builtins/vybuch.dxg");
    ASSERT_EQ(vyb.size(), 4u);
    const int size[4][2] = {{63, 60}, {60, 60}, {58, 60}, {66, 63}};
    for (int i = 0; i < 4; ++i) ExpectPicture(vyb[i], "nabvyb" + std::to_string(i + 1), size[i][0], size[i][1], 4, true, 0);

    const auto& hud = Pics("builtins/podklad.dxg");
    ASSERT_EQ(hud.size(), 10u);
    const char* names[] = {"meny", "obrov", "oblev", "obprav", "obhore", "obdole", "zi1", "zi2", "zi3", "recept"};
    const int hudSize[10][2] = {{631, 83}, {81, 72}, {81, 72}, {81, 72}, {81, 72}, {81, 72}, {96, 31}, {96, 31}, {96, 31}, {39, 78}};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(hud[i].Name, names[i]);
        ASSERT_TRUE(hud[i].Picture);
        EXPECT_EQ(hud[i].Picture->Width(), hudSize[i][0]);
        EXPECT_EQ(hud[i].Picture->Height(), hudSize[i][1]);
        EXPECT_EQ(hud[i].Picture->BitCount(), 8);
    }
    // The panel's pictures key out the colour of their bottom-left pixel: the ship markers and the
    // recipe must leave that corner empty (their key), the console and the faces are opaque.
    for (int i = 0; i < 10; ++i) {
        const bool keyed = i >= 6;
        EXPECT_EQ(hud[i].Transparent, keyed) << names[i];
        if (keyed) {
            EXPECT_EQ(hud[i].Picture->Pixel(0, hud[i].Picture->Height() - 1), hud[i].TransparentColor) << names[i];
        }
    }
    // The five faces differ: the pilot looks in five directions.
    for (int a = 1; a <= 5; ++a)
        for (int b = a + 1; b <= 5; ++b) EXPECT_NE(hud[a].Picture->Pixels(), hud[b].Picture->Pixels()) << names[a] << names[b];
}

TEST(Builtins, EffectWavesHaveTheCataloguedFormats) {
    const auto& w = Waves("builtins/DXWaveList1.dxg");
    ASSERT_EQ(w.size(), 10u);
    struct Row { const char* name; int bits; size_t bytes; } rows[] = {
        {"kul", 16, 21876},   {"vybuch", 16, 49946}, {"raket1", 16, 22220}, {"raket2", 16, 17170}, {"laser", 16, 20762},
        {"laser2", 16, 44856}, {"laser3", 16, 25244}, {"pust", 16, 22964},  {"hudba", 8, 532225},  {"finish", 8, 233910}};
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(w[i].Name, rows[i].name);
        EXPECT_FALSE(w[i].Looped);
        EXPECT_EQ(w[i].MaxPlayingCount, 0);
        ASSERT_TRUE(w[i].Wave);
        EXPECT_EQ(w[i].Wave->Format.BitsPerSample, rows[i].bits);
        EXPECT_EQ(w[i].Wave->Format.Channels, 1);
        EXPECT_EQ(w[i].Wave->Format.SamplesPerSec, 22050u);
        EXPECT_EQ(w[i].Wave->Data.size(), rows[i].bytes);
    }
}

TEST(Builtins, EmbeddedFilesAreTheBuildersOutput) {
    // The build embeds what `orbita-assets --builtins` wrote; the builder is deterministic, so
    // those files equal a fresh run byte for byte.
    const fs::path built = fs::path(ORBITA_BINARY_DIR) / "tools/assets/builtins";
    if (!fs::exists(built / "lod.dxg")) GTEST_SKIP() << "built-in files not generated in this build";
    for (const char* n : {"lod.dxg", "vybuch.dxg", "podklad.dxg", "DXWaveList1.dxg"}) {
        auto slurp = [](const fs::path& p) {
            std::ifstream in(p, std::ios::binary);
            return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        };
        EXPECT_EQ(slurp(built / n), slurp(Written(std::string("builtins/") + n))) << n;
    }
}

// ------------------------------------------------------------------ data layout

TEST(DataLayout, EveryFileHasItsItemsAndSizes) {
    const auto& story = Pics("data/pozadi/story.dxg");
    ASSERT_EQ(story.size(), 5u);
    for (const auto& p : story) {
        ASSERT_TRUE(p.Picture);
        EXPECT_EQ(p.Picture->Width(), 640);
        EXPECT_EQ(p.Picture->Height(), 480);
    }
    const auto& menu = Pics("data/pozadi/menu.dxg");
    ASSERT_EQ(menu.size(), 4u);
    // Title at rest at y = 50 stays on the display; the highlights fit their boxes.
    EXPECT_LE(menu[0].Picture->Height() + 50, 480);
    EXPECT_EQ(menu[1].Picture->Width(), 640);
    EXPECT_EQ(menu[1].Picture->Height(), 480);
    EXPECT_LE(menu[2].Picture->Width(), 100);
    EXPECT_LE(menu[2].Picture->Height(), 100);
    EXPECT_LE(480 + menu[3].Picture->Width(), 600);
    EXPECT_LE(380 + menu[3].Picture->Height(), 460);

    for (const char* f : {"po1", "po2", "po3", "po4", "po5", "po6", "po7a", "po7b", "po8"}) {
        SCOPED_TRACE(f);
        int level = f[2] - '0';
        const auto& tiles = Pics(std::string("data/pozadi/") + f + ".dxg");
        ASSERT_EQ(static_cast<int>(tiles.size()), assets::LevelTileCount(level));
        for (const auto& t : tiles) {
            ASSERT_TRUE(t.Picture);
            EXPECT_EQ(t.Picture->Width(), 640);
            EXPECT_EQ(t.Picture->Height(), 380);
        }
    }
    for (int l : {1, 2, 3, 4, 5, 7, 8}) {
        const auto& al = Pics("data/alin/al" + std::to_string(l) + ".dxg");
        ASSERT_EQ(al.size(), 17u) << l;
        for (int i = 0; i < 15; ++i) EXPECT_EQ(al[i].Name, std::string(1, char('a' + i / 5)) + std::to_string(i % 5 + 1));
        EXPECT_EQ(al[15].Name, "alnab");
        EXPECT_EQ(al[16].Name, "kamen");
        for (const auto& p : al) {
            ASSERT_TRUE(p.Picture) << "unused items are small blank pictures";
            EXPECT_TRUE(p.Transparent);
            EXPECT_EQ(p.TransparentColor, 0u);
        }
    }
    for (int l : {2, 5, 6, 7, 8}) {
        const auto& vob = Pics("data/vob/vob" + std::to_string(l) + ".dxg");
        ASSERT_EQ(vob.size(), 16u) << l;
        for (int i = 0; i < 15; ++i) EXPECT_EQ(vob[i].Name, "o" + std::to_string(i));
        EXPECT_EQ(vob[15].Name, "blesk");
        for (const auto& p : vob) {
            ASSERT_TRUE(p.Picture);
            EXPECT_TRUE(p.Transparent);
            EXPECT_EQ(p.TransparentColor, 0u);
        }
    }
    for (const char* f : {"menu1", "d1", "d2", "d3", "d4", "d5", "d6", "d7", "d8"})
        EXPECT_EQ(Waves(std::string("data/zvuky/") + f + ".dxg").size(), 2u) << f;
}

TEST(DataLayout, SpriteSizesGiveSensibleHitBoxes) {
    auto size = [](const std::string& file, int i) {
        const auto& p = Pics(file)[i].Picture;
        return std::make_pair(p->Width(), p->Height());
    };
    // Level 1 and 6: flyers are drawn at item 0's size less 30 x 30, climbers less 40 x 50.
    auto a0 = size("data/alin/al1.dxg", 0);
    EXPECT_GE(a0.first - 40, 30);
    EXPECT_GE(a0.second - 50, 20);
    // Level 7: climbers at item 10's size less 40 x 40.
    auto c10 = size("data/alin/al7.dxg", 10);
    EXPECT_GE(c10.first - 40, 30);
    EXPECT_GE(c10.second - 40, 20);
    // Level 8: every ship left of the hulk's right edge is doomed while it waits at the top;
    // the restart position x = 370 must lie right of it (it starts at x = 205).
    EXPECT_LE(205 + size("data/alin/al8.dxg", 0).first, 370);
    // Level 7: the target must be on the display when it can be destroyed.
    EXPECT_GT(size("data/alin/al7.dxg", 14).second, 100);
    // Every animation frame of a set has the size of its first frame.
    for (auto [file, first, count] : {std::tuple<const char*, int, int>{"data/alin/al1.dxg", 0, 4}, {"data/alin/al1.dxg", 10, 4},
                                       {"data/alin/al3.dxg", 10, 4}, {"data/alin/al4.dxg", 5, 4}, {"data/alin/al8.dxg", 0, 4},
                                       {"data/vob/vob2.dxg", 0, 8}, {"data/vob/vob6.dxg", 4, 4}, {"data/vob/vob8.dxg", 0, 4}})
        for (int i = 1; i < count; ++i) EXPECT_EQ(size(file, first + i), size(file, first)) << file << " item " << first + i;
    EXPECT_EQ(size("data/vob/vob6.dxg", 8), std::make_pair(120, 49));
}

// Mean x, as a fraction of the width, of the near-white pixels: where a bolt's hot head is.
double HeadX(const media::TDIB& p) {
    double sum = 0, n = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            uint32_t c = p.Pixel(x, y);
            if ((c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && ((c >> 16) & 0xFF) > 200) sum += x, n += 1;
        }
    return n > 0 ? sum / n / p.Width() : 0.5;
}

TEST(DataLayout, ShotsLeadWithTheirHeads) {
    // Flyers' and climbers' shots fly left (the climbers' turned by 25/256, up and left); the
    // level-2 emplacements' shots fly right; the mortar shell rises, drawn turned by 190/256 of a
    // turn, which brings the picture's right side to the top.
    for (int i = 5; i <= 8; ++i) {
        EXPECT_LT(HeadX(*Pics("data/alin/al1.dxg")[i].Picture), 0.4) << "al1 item " << i;
        EXPECT_LT(HeadX(*Pics("data/alin/al7.dxg")[i].Picture), 0.4) << "al7 item " << i;
        EXPECT_GT(HeadX(*Pics("data/alin/al2.dxg")[i].Picture), 0.6) << "al2 item " << i;
    }
    EXPECT_GT(HeadX(*Pics("data/alin/al3.dxg")[5].Picture), 0.6) << "mortar shell";
}

TEST(DataLayout, SpritesFitWhatTheGameDrawsOverAndBesideThem) {
    // Level 2: an emplacement launches its shot at (x + 50, y + 100) of its top-left corner,
    // drawn at its own size: its barrel is there.
    for (int i = 0; i < 4; ++i) {
        const auto& gun = *Pics("data/vob/vob2.dxg")[i].Picture;
        ASSERT_GT(gun.Height(), 100);
        EXPECT_NE(gun.Pixel(50, 100), 0u) << "emplacement frame " << i;
        EXPECT_EQ(gun.Pixel(50, 60), 0u) << "only the barrel reaches out, frame " << i;
    }
    // Level 7: the recipe (item 16) is drawn at (x + 20, y + 20) of the guardian (items 14 and 15)
    // just before the guardian, so the guardian leaves that place open and the recipe shows.
    const auto& al7 = Pics("data/alin/al7.dxg");
    const auto& recipe = *al7[16].Picture;
    for (int i : {14, 15}) {
        const auto& g = *al7[i].Picture;
        int open = 0;
        for (int y = 0; y < recipe.Height(); ++y)
            for (int x = 0; x < recipe.Width(); ++x) open += g.Pixel(20 + x, 20 + y) == 0u;
        EXPECT_GE(open * 10, recipe.Width() * recipe.Height() * 9) << "guardian item " << i;
    }
}

// Edges of a sprite that its design lets opaque pixels touch: L, R, T, B.
struct Edges { const char* file; int item; const char* edges; };

TEST(DataLayout, SpritesAreWholeWithinTheirPictures) {
    // A glow or a wing that runs into the picture's border is cut flat on screen. Only the parts
    // that are meant to join something may touch it: a turret on its wall, a lamp on its roof, a
    // column on its floor, a barrier between its emitters, a press that fills its box.
    const Edges meant[] = {
        {"data/vob/vob2.dxg", -1, "LTB"},   // the emplacements stand on the left wall, top to bottom
        {"data/vob/vob2.dxg", 9, "LRTB"},   // the hit flash fills its strip
        {"data/vob/vob2.dxg", 10, "LRTB"},  // the barrier reaches both emitters
        {"data/alin/al3.dxg", 10, "T"}, {"data/alin/al3.dxg", 11, "T"}, {"data/alin/al3.dxg", 12, "T"},
        {"data/alin/al3.dxg", 13, "T"},     // lamps hang from the roof
        {"data/alin/al3.dxg", 0, "B"}, {"data/alin/al3.dxg", 1, "B"}, {"data/alin/al3.dxg", 2, "B"},
        {"data/alin/al3.dxg", 3, "B"}, {"data/alin/al4.dxg", 0, "B"}, {"data/alin/al4.dxg", 1, "B"},
        {"data/alin/al4.dxg", 2, "B"}, {"data/alin/al4.dxg", 3, "B"},  // the cannons drive on the ground
        {"data/alin/al5.dxg", 0, "B"}, {"data/alin/al5.dxg", 1, "B"}, {"data/alin/al5.dxg", 2, "B"},
        {"data/alin/al5.dxg", 3, "B"},      // the pillar stands on the ground
        {"data/vob/vob5.dxg", 0, "B"},      // so does the tower
        {"data/vob/vob6.dxg", -1, "LRTB"},  // the press and its parts fill their boxes
        {"data/vob/vob7.dxg", 0, "B"},      // the obelisk on its plinth
        {"data/alin/al7.dxg", 14, "TB"}, {"data/alin/al7.dxg", 15, "TB"},  // the guardian, floor to roof
        {"data/alin/al7.dxg", 16, "LRTB"},  // the recipe card is its whole picture
        {"data/alin/al8.dxg", -1, "TB"},    // the hulk fills its box from the top to its engine
        {"data/vob/vob8.dxg", -1, "B"},     // the buoy's mast runs down to its mount
    };
    auto allowed = [&](const std::string& file, int item) {
        std::string e;
        for (const auto& m : meant)
            if (file == m.file && (m.item == item || m.item == -1)) e += m.edges;
        return e;
    };
    std::vector<std::string> files = {"builtins/vybuch.dxg"};
    for (int l : {1, 2, 3, 4, 5, 7, 8}) files.push_back("data/alin/al" + std::to_string(l) + ".dxg");
    for (int l : {2, 5, 6, 7, 8}) files.push_back("data/vob/vob" + std::to_string(l) + ".dxg");
    for (const auto& file : files) {
        const auto& items = Pics(file);
        for (size_t i = 0; i < items.size(); ++i) {
            if (!items[i].Picture || items[i].Picture->Width() < 8) continue;
            const auto& p = *items[i].Picture;
            const uint32_t key = items[i].TransparentColor;
            auto opaque = [&](int x, int y) { return p.Pixel(x, y) != key; };
            int counts[4] = {0, 0, 0, 0};
            for (int y = 0; y < p.Height(); ++y) counts[0] += opaque(0, y), counts[1] += opaque(p.Width() - 1, y);
            for (int x = 0; x < p.Width(); ++x) counts[2] += opaque(x, 0), counts[3] += opaque(x, p.Height() - 1);
            const std::string ok = allowed(file, static_cast<int>(i));
            const char names[] = "LRTB";
            for (int e = 0; e < 4; ++e) {
                if (ok.find(names[e]) == std::string::npos) {
                    EXPECT_EQ(counts[e], 0) << file << " item " << i << " (" << items[i].Name << ") touches edge " << names[e];
                }
            }
        }
    }
}

// ------------------------------------------------------------------ colours

bool IsTile(const std::string& rel) {
    return rel.find("pozadi/po") != std::string::npos;
}

TEST(Colours, OnlyDeadlyTerrainCarriesTheCollisionColours) {
    for (const auto& rel : AllFiles()) {
        if (IsWaveFile(rel)) continue;
        const auto& items = Pics(rel);
        bool tiles = IsTile(rel);
        size_t deadlyInFile = 0;
        for (const auto& it : items) {
            if (!it.Picture) continue;
            size_t n = 0;
            for (uint32_t c : it.Picture->Pixels()) n += assets::IsDeadly565(c);
            if (!tiles) {
                EXPECT_EQ(n, 0u) << rel << " item " << it.Name;
            }
            deadlyInFile += n;
        }
        if (tiles) {
            EXPECT_GT(deadlyInFile, 10000u) << rel << " has no deadly terrain";
        }
    }
}

TEST(Colours, EveryTileOfEveryLevelHasDeadlyTerrain) {
    for (const char* f : {"po1", "po2", "po3", "po5", "po6", "po7a", "po7b", "po8"})
        for (const auto& t : Pics(std::string("data/pozadi/") + f + ".dxg")) {
            size_t n = 0;
            for (uint32_t c : t.Picture->Pixels()) n += assets::IsDeadly565(c);
            EXPECT_GT(n, 1000u) << f << " " << t.Name;
        }
}

TEST(Colours, DeadlyTerrainIsDrawnInLinesNotDither) {
    // A one-pixel checkerboard of the two colours crawls when the scenery moves a pixel a frame:
    // almost no deadly pixel may differ from all four of its deadly neighbours. Each level draws
    // its own material, so the share of lime differs between levels.
    std::vector<double> limeShare;
    for (const char* f : {"po1", "po2", "po3", "po4", "po5", "po6", "po7a", "po8"}) {
        size_t deadly = 0, lone = 0, lime = 0;
        for (const auto& t : Pics(std::string("data/pozadi/") + f + ".dxg")) {
            const auto& p = *t.Picture;
            auto code = [&](int x, int y) { return assets::Rgb565(p.Pixel(x, y)); };
            for (int y = 1; y + 1 < p.Height(); ++y)
                for (int x = 1; x + 1 < p.Width(); ++x) {
                    if (!assets::IsDeadly565(p.Pixel(x, y))) continue;
                    ++deadly;
                    uint16_t c = code(x, y);
                    lime += c == assets::Rgb565(uint8_t(0), uint8_t(255), uint8_t(0));
                    bool alone = true;
                    for (auto [dx, dy] : {std::pair<int, int>{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        uint32_t n = p.Pixel(x + dx, y + dy);
                        if (!assets::IsDeadly565(n) || assets::Rgb565(n) == c) alone = false;
                    }
                    lone += alone;
                }
        }
        ASSERT_GT(deadly, 0u) << f;
        EXPECT_LT(lone * 250, deadly) << f << ": " << lone << " lone pixels of " << deadly;
        limeShare.push_back(double(lime) / deadly);
    }
    auto [lo, hi] = std::minmax_element(limeShare.begin(), limeShare.end());
    EXPECT_GT(*hi - *lo, 0.05) << "every level draws the same deadly material";
}

// Tile positions at the level's set-up, as the scene set-up lays them out.
std::vector<std::pair<int, int>> StartTiles(int level, int n) {
    std::vector<std::pair<int, int>> t(n);
    for (int i = 0; i < n; ++i) {
        switch (level) {
        case 2: t[i] = {0, 380 * i}; break;
        case 5: case 8: t[i] = {0, -380 * i}; break;
        case 4: t[i] = i == 0 ? std::make_pair(0, 0) : i == 1 ? std::make_pair(0, -380) : std::make_pair(-640 * (i - 1), 0); break;
        default: t[i] = {640 * i, 0}; break;
        }
    }
    return t;
}

// Deadly pixels inside a rectangle given in display coordinates at the level's start.
size_t DeadlyIn(int level, const std::string& file, int x, int y, int w, int h) {
    const auto& tiles = Pics("data/pozadi/" + file + ".dxg");
    auto pos = StartTiles(level, static_cast<int>(tiles.size()));
    size_t n = 0;
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            for (int i = static_cast<int>(tiles.size()) - 1; i >= 0; --i) {
                int lx = px - pos[i].first, ly = py - pos[i].second;
                if (lx < 0 || ly < 0 || lx >= 640 || ly >= 380) continue;
                n += assets::IsDeadly565(tiles[i].Picture->Pixel(lx, ly));
                break;
            }
    return n;
}

TEST(Scenery, ObjectsPlacedByTheLevelsSitInTheOpen) {
    // Where the game places emplacements, cannons, lamps, targets, machines and stones at their
    // start (they move with the scenery), the scenery has room for them, not rock.
    struct Spot { int level; const char* file; int x, y, w, h; const char* what; } spots[] = {
        {2, "po2", 10, 500, 90, 120, "emplacement 1"},     {2, "po2", 10, 1250, 90, 120, "emplacement 2"},
        {2, "po2", 80, 2250, 90, 120, "emplacement 3"},     {3, "po3", 880, 260, 80, 60, "cannon 1"},
        {3, "po3", 1515, 260, 80, 60, "cannon 2"},         {3, "po3", 1140, 68, 64, 40, "lamp 1"},
        {3, "po3", 2200, 68, 64, 40, "lamp 2"},            {3, "po3", 2880, 68, 64, 40, "lamp 3"},
        {3, "po3", 3280, 68, 64, 40, "lamp 4"},            {4, "po4", 0, 260, 80, 60, "cannon at the start"},
        {5, "po5", 190, -460, 80, 240, "tower"},           {5, "po5", 210, -2550, 120, 120, "spinner"},
        {6, "po6", 182, 264, 60, 60, "saw"},               {6, "po6", 1460, 50, 140, 110, "press"},
        {6, "po6", 1470, 160, 120, 49, "press head"},      {6, "po6", 1645, 226, 1140, 20, "stones on the conveyor"},
        {6, "po6", 2905, 284, 40, 96, "slag bubble"},      {7, "po7a", 1620, 30, 110, 270, "guardian"},
        {7, "po7b", 1620, 30, 110, 270, "guardian after the fall"}, {7, "po7a", 2690, 110, 60, 208, "obelisk"},
        {8, "po8", 152, -240, 100, 100, "buoy"},           {8, "po8", 205, -600, 160, 235, "hulk"}};
    for (const auto& sp : spots) EXPECT_EQ(DeadlyIn(sp.level, sp.file, sp.x, sp.y, sp.w, sp.h), 0u) << sp.what;
    // And the check does see rock: the floor of level 6.
    EXPECT_GT(DeadlyIn(6, "po6", 0, 340, 100, 20), 1000u);
}

TEST(Scenery, SecondFortressSetKeepsTheTerrain) {
    // The level-7 background is swapped in the middle of play: the rock must not move.
    const auto& a = Pics("data/pozadi/po7a.dxg");
    const auto& b = Pics("data/pozadi/po7b.dxg");
    ASSERT_EQ(a.size(), b.size());
    bool differs = false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto& pa = a[i].Picture->Pixels();
        const auto& pb = b[i].Picture->Pixels();
        for (size_t k = 0; k < pa.size(); ++k) {
            ASSERT_EQ(assets::IsDeadly565(pa[k]), assets::IsDeadly565(pb[k])) << "tile " << i << " pixel " << k;
            differs |= pa[k] != pb[k];
        }
    }
    EXPECT_TRUE(differs) << "the second set shows the place after the fall";
}

// Mean colour difference between a line of pixels of tile a and one of tile b (columns when
// `vertical`, rows otherwise).
double LineDiff(const media::TDIB& a, int la, const media::TDIB& b, int lb, bool vertical) {
    double sum = 0;
    const int n = vertical ? a.Height() : a.Width();
    for (int k = 0; k < n; ++k) {
        uint32_t p = vertical ? a.Pixel(la, k) : a.Pixel(k, la);
        uint32_t q = vertical ? b.Pixel(lb, k) : b.Pixel(k, lb);
        for (int ch = 0; ch < 3; ++ch) sum += std::abs(int((p >> (8 * ch)) & 0xFF) - int((q >> (8 * ch)) & 0xFF));
    }
    return sum / n;
}

TEST(Scenery, TilesJoinWithoutSeamsInScrollOrder) {
    // Across each join the picture changes no more than between two neighbouring lines inside a
    // tile: a tile out of order or turned the wrong way shows up as a jump.
    struct Join { const char* file; int a, b; char side; };  // side of tile a that b continues
    std::vector<Join> joins;
    auto chain = [&](const char* file, int n, char side) {
        for (int i = 0; i + 1 < n; ++i) joins.push_back({file, i, i + 1, side});
    };
    chain("po1", 9, 'R'); chain("po3", 8, 'R'); chain("po6", 7, 'R'); chain("po7a", 9, 'R'); chain("po7b", 9, 'R');
    chain("po2", 8, 'B');
    chain("po5", 9, 'T'); chain("po8", 7, 'T');
    joins.push_back({"po4", 0, 1, 'T'});
    joins.push_back({"po4", 1, 2, 'L'});
    joins.push_back({"po4", 2, 3, 'L'});
    std::map<std::string, std::pair<int, int>> result;  // joins, smooth joins
    for (const auto& j : joins) {
        const auto& tiles = Pics(std::string("data/pozadi/") + j.file + ".dxg");
        const media::TDIB& A = *tiles[j.a].Picture;
        const media::TDIB& B = *tiles[j.b].Picture;
        // The largest change between neighbouring lines near the join, on both sides.
        const bool vertical = j.side == 'R' || j.side == 'L';
        const int last = vertical ? 639 : 379;
        const bool aHigh = j.side == 'R' || j.side == 'B';  // the join is at a's last line
        double inner = 0;
        for (int k = 0; k < 8; ++k) {
            int la = aHigh ? last - k : k, lb = aHigh ? k : last - k;
            inner = std::max(inner, LineDiff(A, la, A, aHigh ? la - 1 : la + 1, vertical));
            inner = std::max(inner, LineDiff(B, lb, B, aHigh ? lb + 1 : lb - 1, vertical));
        }
        double seam = LineDiff(A, aHigh ? last : 0, B, aHigh ? 0 : last, vertical);
        auto& tally = result[j.file];
        tally.first += 1;
        tally.second += seam <= 1.5 * inner + 4.0;
        if (seam > 1.5 * inner + 4.0) std::cout << "  note: " << j.file << " tiles " << j.a << " and " << j.b << " differ more across the join (" << seam << " against " << inner << ")\n";
    }
    // A scenery edge may fall on a join by chance; a layout fault breaks most of them.
    for (const auto& [file, t] : result) EXPECT_GE(t.second * 4, t.first * 3) << file << ": " << t.second << " of " << t.first << " joins smooth";
}

// ------------------------------------------------------------------ a way through every level

struct Tile {
    int x, y;
};

// Plays a level's scrolling as the frame tick does, with the ship free to move up to 16 pixels
// per frame in each direction inside x 20..540, y 20..350, and keeps the set of positions whose
// two collision points (x - 5, y - 2) and (x + 90, y) never meet a deadly pixel. Positions lie
// on an 8-pixel grid through the restart position (a subset of the real ship's choices, so a
// way found here exists in the game). Frames without scrolling are skipped (the scenery does
// not change, so they only add choices).
// With `margin` > 0 it checks instead that for the first `margin frames` the ship left at the
// start position (its 96 x 31 picture at (startX, startY), as far as it lies on the display's
// 640 x 380 scenery) keeps `margin` pixels from every deadly pixel: a restart the player can see
// and use.
bool SafePathExists(int level, const std::vector<PictureItemData>& tiles, int startX, int startY, std::string& why, int margin = 0,
                    int marginFrames = 0) {
    const int n = static_cast<int>(tiles.size());
    const int last = n - 1;
    std::vector<Tile> t(n);
    for (int i = 0; i < n; ++i) {
        switch (level) {
        case 2: t[i] = {0, 380 * i}; break;
        case 5: case 8: t[i] = {0, -380 * i}; break;
        case 4: t[i] = i == 0 ? Tile{0, 0} : i == 1 ? Tile{0, -380} : Tile{-640 * (i - 1), 0}; break;
        default: t[i] = {640 * i, 0}; break;
        }
    }
    std::vector<std::vector<uint8_t>> deadly(n);
    for (int i = 0; i < n; ++i) {
        const auto& px = tiles[i].Picture->Pixels();
        deadly[i].resize(px.size());
        for (size_t k = 0; k < px.size(); ++k) deadly[i][k] = assets::IsDeadly565(px[k]);
    }
    auto deadlyAt = [&](int x, int y) {
        for (int i = n - 1; i >= 0; --i) {  // the last drawn tile is on top
            int lx = x - t[i].x, ly = y - t[i].y;
            if (lx >= 0 && ly >= 0 && lx < 640 && ly < 380) return deadly[i][static_cast<size_t>(ly) * 640 + lx] != 0;
        }
        return false;
    };
    auto nearDeadly = [&](int frame) {
        for (int y = std::max(0, startY - margin); y < std::min(380, startY + 31 + margin); ++y)
            for (int x = std::max(0, startX - margin); x < std::min(640, startX + 96 + margin); ++x)
                if (deadlyAt(x, y)) {
                    why = "deadly pixel at (" + std::to_string(x) + ", " + std::to_string(y) + ") within " + std::to_string(margin) +
                          " pixels of the ship at frame " + std::to_string(frame);
                    return true;
                }
        return false;
    };
    if (margin > 0 && nearDeadly(0)) return false;
    startX = std::clamp(startX, 20, 540);
    startY = std::clamp(startY, 20, 350);
    const int x0 = 20 + (startX - 20) % 8, y0 = 20 + (startY - 20) % 8;
    const int cols = (540 - x0) / 8 + 1, rows = (350 - y0) / 8 + 1;
    std::vector<uint8_t> reach(static_cast<size_t>(cols) * rows, 0), next(reach.size());
    reach[static_cast<size_t>((startY - y0) / 8) * cols + (startX - x0) / 8] = 1;

    const float speed = level == 2 || level == 4 ? 0.6f : level == 5 ? 0.8f : 1.2f;
    float accum = 1.0f;
    int step = 0;
    for (int frame = 1; frame < 20000; ++frame) {
        accum = accum + speed;
        step += static_cast<int>(accum);
        if (step < 1) continue;
        bool ended = false;
        for (int i = 0; i < n && !ended; ++i) {
            Tile& p = t[i];
            const Tile& L = t[last];
            switch (level) {
            case 1: case 3: case 6: case 7:
                if (L.x > 0) p.x -= step;
                ended = t[last].x <= 0;
                break;
            case 2:
                if (L.y > 0) p.y -= step;
                ended = t[last].y <= 0;
                break;
            case 4:
                if (L.x < 0 && t[1].y == 0) p.x += step;
                ended = t[last].x >= 0;
                break;
            default:
                if (L.y < 0) p.y += step;
                ended = t[last].y >= 0;
                break;
            }
        }
        if (level == 4) {
            if (t[0].y < 350) t[0].y += step;
            if (t[1].y < 0) t[1].y += step;
        }
        if (margin > 0) {
            if (nearDeadly(frame)) return false;
            if (frame >= marginFrames) return true;
            step = 0;
            accum = 0.0f;
            continue;
        }
        // Ship moves (up to two grid cells = 16 pixels each way), then the collision test.
        std::fill(next.begin(), next.end(), 0);
        size_t alive = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                bool any = false;
                for (int dr = -2; dr <= 2 && !any; ++dr)
                    for (int dc = -2; dc <= 2 && !any; ++dc) {
                        int rr = r + dr, cc = c + dc;
                        any = rr >= 0 && cc >= 0 && rr < rows && cc < cols && reach[static_cast<size_t>(rr) * cols + cc];
                    }
                if (!any) continue;
                int x = x0 + c * 8, y = y0 + r * 8;
                if (deadlyAt(x - 5, y - 2) || deadlyAt(x + 90, y)) continue;
                next[static_cast<size_t>(r) * cols + c] = 1;
                ++alive;
            }
        reach.swap(next);
        if (alive == 0) {
            why = "no safe position left at frame " + std::to_string(frame) + ", tile 0 at (" + std::to_string(t[0].x) + ", " +
                  std::to_string(t[0].y) + ")";
            return false;
        }
        if (ended) return true;
        step = 0;
        accum = 0.0f;
    }
    why = "the level did not end";
    return false;
}

struct PathCase {
    const char* file;
    int level, x, y;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.file; }

class SafePath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SafePath, ExistsFromTheRestartPosition) {
    const PathCase& c = GetParam();
    std::string why;
    EXPECT_TRUE(SafePathExists(c.level, Pics(std::string("data/pozadi/") + c.file + ".dxg"), c.x, c.y, why)) << c.file << ": " << why;
}

TEST_P(SafePath, LeavesAMarginAroundTheRestartPosition) {
    // For the first two seconds (80 frames) the ship left where it restarts keeps 10 pixels from
    // the deadly terrain: no ceiling or wall just over it. Level 4 restarts at x = 620 with most of
    // the ship beyond the display's edge, beside the shaft coming down: the part of it on the
    // display keeps the same margin.
    const PathCase& c = GetParam();
    std::string why;
    EXPECT_TRUE(SafePathExists(c.level, Pics(std::string("data/pozadi/") + c.file + ".dxg"), c.x, c.y, why, 10, 80)) << c.file << ": " << why;
}

INSTANTIATE_TEST_SUITE_P(Levels, SafePath,
                         ::testing::Values(PathCase{"po1", 1, 80, 200}, PathCase{"po2", 2, 80, 200}, PathCase{"po3", 3, 300, 20},
                                           PathCase{"po4", 4, 620, 20}, PathCase{"po5", 5, 240, 200}, PathCase{"po6", 6, 120, 20},
                                           PathCase{"po7a", 7, 80, 200}, PathCase{"po7b", 7, 80, 200}, PathCase{"po8", 8, 370, 140}),
                         [](const auto& info) { return std::string(info.param.file); });

// The fortress's recipe card (drawn 30 x 40 at its place in the scenery, x 1640, y 50) is taken
// when it lies in the ship's box widened by 20 pixels to the left and above, 9 to the right and
// 20 below; the guardian's point (1620, 30) destroys a ship whose box holds it.
constexpr int kRecipeX = 1640, kRecipeY = 50, kGuardianX = 1620, kGuardianY = 30;

// Counts the deadly pixels of a level that scrolls to the left (its tiles side by side) inside
// rectangles of the world, through a table of sums built once.
class WorldDeadly {
public:
    explicit WorldDeadly(const std::vector<PictureItemData>& tiles) : w_(640 * static_cast<int>(tiles.size())), sum_((w_ + 1) * 381, 0) {
        for (int y = 0; y < 380; ++y)
            for (int x = 0; x < w_; ++x) {
                const bool d = assets::IsDeadly565(tiles[x / 640].Picture->Pixel(x % 640, y));
                sum_[Idx(x + 1, y + 1)] = d + sum_[Idx(x, y + 1)] + sum_[Idx(x + 1, y)] - sum_[Idx(x, y)];
            }
    }
    int Width() const { return w_; }
    // Deadly pixels in x0..x1-1, y0..y1-1 (clipped to the world).
    int In(int x0, int y0, int x1, int y1) const {
        x0 = std::clamp(x0, 0, w_), x1 = std::clamp(x1, 0, w_), y0 = std::clamp(y0, 0, 380), y1 = std::clamp(y1, 0, 380);
        if (x0 >= x1 || y0 >= y1) return 0;
        return sum_[Idx(x1, y1)] - sum_[Idx(x0, y1)] - sum_[Idx(x1, y0)] + sum_[Idx(x0, y0)];
    }
    bool At(int x, int y) const { return In(x, y, x + 1, y + 1) > 0; }

private:
    size_t Idx(int x, int y) const { return static_cast<size_t>(y) * (w_ + 1) + x; }
    int w_;
    std::vector<int> sum_;
};

// Plays level 7 as SafePathExists does (the scenery one pixel to the left a frame, the ship up to
// 16 pixels a frame each way on an 8-pixel grid through the restart position (80, 200)) and
// tells whether the ship can take the recipe while its 96 x 31 picture keeps `margin` pixels
// from every deadly pixel on the display and the guardian's point stays out of its box, and
// then fly on to the level's end (by its two collision points only, as the game tests them).
bool RecipeTakenWithAMargin(const std::vector<PictureItemData>& tiles, int margin, std::string& why) {
    const WorldDeadly world(tiles);
    const int x0 = 20 + (80 - 20) % 8, y0 = 20 + (200 - 20) % 8;
    const int cols = (540 - x0) / 8 + 1, rows = (350 - y0) / 8 + 1;
    // 1: on the way to the recipe; 2: the recipe taken.
    std::vector<uint8_t> reach(static_cast<size_t>(cols) * rows, 0), next(reach.size());
    reach[static_cast<size_t>((200 - y0) / 8) * cols + (80 - x0) / 8] = 1;
    bool taken = false;
    for (int scroll = 1; scroll + 640 <= world.Width(); ++scroll) {
        std::fill(next.begin(), next.end(), 0);
        size_t alive = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                uint8_t from = 0;
                for (int dr = -2; dr <= 2; ++dr)
                    for (int dc = -2; dc <= 2; ++dc) {
                        int rr = r + dr, cc = c + dc;
                        if (rr >= 0 && cc >= 0 && rr < rows && cc < cols) from = std::max(from, reach[static_cast<size_t>(rr) * cols + cc]);
                    }
                if (!from) continue;
                const int x = x0 + c * 8, y = y0 + r * 8, wx = x + scroll;
                if (world.At(wx - 5, y - 2) || world.At(wx + 90, y)) continue;
                const int gx = kGuardianX - scroll, ix = kRecipeX - scroll;
                if (x < gx && gx < x + 91 && y < kGuardianY && kGuardianY < y + 30) continue;
                uint8_t state = from;
                if (state == 1) {
                    const int left = std::max(wx - margin, scroll), right = std::min(wx + 96 + margin, scroll + 640);
                    if (world.In(left, y - margin, right, y + 31 + margin) > 0) continue;
                    if (x - 20 < ix && ix < x + 100 && y - 20 < kRecipeY && kRecipeY < y + 50) state = 2;
                }
                next[static_cast<size_t>(r) * cols + c] = state;
                ++alive;
                taken |= state == 2;
            }
        reach.swap(next);
        if (alive == 0) {
            why = "no safe position left with " + std::to_string(scroll) + " pixels scrolled" + (taken ? ", after the recipe" : ", before the recipe");
            return false;
        }
        if (kRecipeX - scroll + 30 < 0 && !taken) {
            why = "the recipe passed by untaken";
            return false;
        }
    }
    if (std::find(reach.begin(), reach.end(), 2) == reach.end()) {
        why = "no way on to the end after the recipe";
        return false;
    }
    return true;
}

TEST(SafePath, TheWayToTheFortressRecipeKeepsAMargin) {
    // The deadline in the fortress needs the recipe: the way to it from the restart leaves room
    // to fly, 12 pixels around the ship, and the recipe's own row stays open from where the
    // card comes into sight (its place enters the display's right edge) up to the card, so that
    // a ship making straight for it meets no rock on the way.
    for (const char* f : {"po7a", "po7b"}) {
        const auto& tiles = Pics(std::string("data/pozadi/") + f + ".dxg");
        std::string why;
        EXPECT_TRUE(RecipeTakenWithAMargin(tiles, 12, why)) << f << ": " << why;
        const WorldDeadly world(tiles);
        // The ship heading for the card flies level with it (its box from y 48, just under the
        // battlements, the card within the taking band) from the display's left edge when the
        // card appears up to the farthest place it is taken from.
        const int y = 48, margin = 12, x1 = kRecipeX + 20 + 96 + margin;
        const int deadly = world.In(kRecipeX - 640 + 20 - margin, y - margin, x1, y + 31 + margin);
        int firstX = -1;
        for (int x = kRecipeX - 640 + 20 - margin; x < x1 && firstX < 0; ++x)
            if (world.In(x, y - margin, x + 1, y + 31 + margin) > 0) firstX = x;
        EXPECT_EQ(deadly, 0) << f << ": rock in the recipe's row from x " << firstX;
    }
    // And the search sees a wall: all-deadly tiles leave no way.
    std::vector<PictureItemData> walls(9);
    for (auto& t : walls) {
        t.Picture = std::make_shared<media::TDIB>(640, 380, 24);
        std::fill(t.Picture->Pixels().begin(), t.Picture->Pixels().end(), 0x00FF00u);
    }
    std::string why;
    EXPECT_FALSE(RecipeTakenWithAMargin(walls, 12, why));
}

TEST(SafePathCheck, FindsAWallAcrossTheWay) {
    // A check that cannot fail proves nothing: a level whose tiles are all deadly has no way.
    std::vector<PictureItemData> tiles(2);
    for (auto& t : tiles) {
        t.Picture = std::make_shared<media::TDIB>(640, 380, 24);
        std::fill(t.Picture->Pixels().begin(), t.Picture->Pixels().end(), 0x00FF00u);
    }
    std::string why;
    EXPECT_FALSE(SafePathExists(1, tiles, 80, 200, why));
    for (auto& t : tiles) std::fill(t.Picture->Pixels().begin(), t.Picture->Pixels().end(), 0x202020u);
    EXPECT_TRUE(SafePathExists(1, tiles, 80, 200, why)) << why;
}

// ------------------------------------------------------------------ sounds

double Sample(const media::TWave& w, size_t i) {
    if (w.Format.BitsPerSample == 16) return int16_t(w.Data[2 * i] | (w.Data[2 * i + 1] << 8)) / 32768.0;
    return (w.Data[i] - 128) / 128.0;
}

size_t Count(const media::TWave& w) { return w.Data.size() / (w.Format.BitsPerSample / 8); }

TEST(Sounds, MusicIsEightBitAndEffectsSixteen) {
    for (const auto& rel : AllFiles()) {
        if (!IsWaveFile(rel)) continue;
        for (const auto& it : Waves(rel)) {
            SCOPED_TRACE(rel + " " + it.Name);
            ASSERT_TRUE(it.Wave);
            EXPECT_EQ(it.Wave->Format.SamplesPerSec, 22050u);
            EXPECT_EQ(it.Wave->Format.Channels, 1);
            EXPECT_GT(Count(*it.Wave), 2000u);
        }
    }
    EXPECT_EQ(Waves("data/zvuky/d1.dxg")[0].Wave->Format.BitsPerSample, 8);
    const auto& d4 = Waves("data/zvuky/d4.dxg")[0].Wave;
    EXPECT_EQ(d4->Format.BitsPerSample, 16);
    EXPECT_NEAR(d4->DurationMs(), 300, 30);
    // A soft attack: the first 20 ms are much quieter than the loudest part.
    double early = 0, peak = 0;
    for (size_t i = 0; i < Count(*d4); ++i) {
        double v = std::fabs(Sample(*d4, i));
        if (i < 441) early = std::max(early, v);
        peak = std::max(peak, v);
    }
    EXPECT_LT(early, peak * 0.5);
    // Levels 5 and 8 play item 1 whenever a stone starts to fall: a short effect, not a tune.
    for (const char* f : {"data/zvuky/d5.dxg", "data/zvuky/d8.dxg"}) {
        const auto& w = Waves(f)[1].Wave;
        EXPECT_EQ(w->Format.BitsPerSample, 16) << f;
        EXPECT_LT(w->DurationMs(), 1000) << f;
    }
}

TEST(Sounds, NothingClipsAndNothingIsSilent) {
    for (const auto& rel : AllFiles()) {
        if (!IsWaveFile(rel)) continue;
        for (const auto& it : Waves(rel)) {
            const auto& w = *it.Wave;
            double peak = 0;
            for (size_t i = 0; i < Count(w); ++i) peak = std::max(peak, std::fabs(Sample(w, i)));
            EXPECT_LT(peak, 0.99) << rel << " " << it.Name << " clips";
            EXPECT_GT(peak, 0.2) << rel << " " << it.Name << " is almost silent";
        }
    }
}

TEST(Sounds, MasteredWithHeadroomAndNoOffset) {
    // Everything that plays is summed by the mixer: effects peak near -6 dBFS, music (the menu
    // music under the level loops included) near -9 dBFS; no wave carries a constant offset, which
    // would only eat headroom. 8-bit waves may miss the target by half a step of 1/128.
    auto dbfs = [](double v) { return 20 * std::log10(v); };
    for (const auto& rel : AllFiles()) {
        if (!IsWaveFile(rel)) continue;
        const auto& items = Waves(rel);
        for (size_t i = 0; i < items.size(); ++i) {
            const auto& w = *items[i].Wave;
            SCOPED_TRACE(rel + " " + items[i].Name);
            double peak = 0, sum = 0;
            for (size_t k = 0; k < Count(w); ++k) {
                peak = std::max(peak, std::fabs(Sample(w, k)));
                sum += Sample(w, k);
            }
            // 8-bit samples read back as (v - 128) / 128 while written as 128 + 127 v.
            const bool eight = w.Format.BitsPerSample == 8;
            if (eight) peak *= 128.0 / 127;
            double target = eight ? -9.0 : -6.0;
            EXPECT_NEAR(dbfs(peak), target, eight ? 0.35 : 0.05);
            double mean = sum / Count(w);
            // 8-bit silence is 128, read back as 0: the offset test is exact for both depths.
            EXPECT_LT(std::fabs(mean), 0.004);
        }
    }
}

TEST(Sounds, LoopsJoinWithoutAClick) {
    struct L { const char* file; int item; } loops[] = {
        {"data/zvuky/menu1.dxg", 0}, {"data/zvuky/d1.dxg", 0}, {"data/zvuky/d2.dxg", 0}, {"data/zvuky/d3.dxg", 0},
        {"data/zvuky/d5.dxg", 0},    {"data/zvuky/d6.dxg", 0}, {"data/zvuky/d6.dxg", 1}, {"data/zvuky/d7.dxg", 0},
        {"data/zvuky/d7.dxg", 1},    {"data/zvuky/d8.dxg", 0}, {"builtins/DXWaveList1.dxg", 8}};
    for (const auto& l : loops) {
        const auto& w = *Waves(l.file)[l.item].Wave;
        const size_t n = Count(w);
        // The jump across the seam is no bigger than the largest jump within the wave's own start.
        double seam = std::fabs(Sample(w, 0) - Sample(w, n - 1));
        double typical = 0;
        for (size_t i = 1; i < std::min<size_t>(n, 22050); ++i) typical = std::max(typical, std::fabs(Sample(w, i) - Sample(w, i - 1)));
        EXPECT_LE(seam, std::max(0.05, typical)) << l.file << " item " << l.item;
        EXPECT_LT(seam, 0.12) << l.file << " item " << l.item;
    }
}

TEST(Sounds, OneShotsStartAndEndInSilence) {
    // A sound that stops on a non-zero sample clicks; so does one that starts on it.
    for (const auto& rel : AllFiles()) {
        if (!IsWaveFile(rel)) continue;
        const auto& items = Waves(rel);
        for (size_t i = 0; i < items.size(); ++i) {
            bool looped = rel == "builtins/DXWaveList1.dxg" ? i == 8 : (i == 0 && rel.find("d4") == std::string::npos) ||
                                                                           (i == 1 && (rel.find("d6") != std::string::npos || rel.find("d7") != std::string::npos));
            if (looped) continue;
            const auto& w = *items[i].Wave;
            EXPECT_LT(std::fabs(Sample(w, 0)), 0.02) << rel << " " << items[i].Name;
            EXPECT_LT(std::fabs(Sample(w, Count(w) - 1)), 0.02) << rel << " " << items[i].Name;
        }
    }
}

TEST(Sounds, CuesRestartedEveryFrameOpenQuietly) {
    // Level 6 restarts its second theme, level 7 its first, in every frame of one clock tick
    // (a second): what those restarts replay must be nearly silent.
    for (auto [file, item] : {std::pair<const char*, int>{"data/zvuky/d6.dxg", 1}, {"data/zvuky/d7.dxg", 0}}) {
        const auto& w = *Waves(file)[item].Wave;
        auto rms = [&](size_t from, size_t to) {
            double e = 0;
            for (size_t i = from; i < to; ++i) e += Sample(w, i) * Sample(w, i);
            return std::sqrt(e / (to - from));
        };
        EXPECT_LT(rms(0, 11025), 0.25 * rms(44100, 88200)) << file;
    }
}

TEST(Sounds, EveryListHasASecondItemOfItsOwn) {
    // No two scenes share their second music item. Those of the story and levels 1 to 4, which no
    // cue plays, are short pings: every byte of a level's files is downloaded in the browser.
    const char* files[] = {"data/zvuky/menu1.dxg", "data/zvuky/d1.dxg", "data/zvuky/d2.dxg", "data/zvuky/d3.dxg", "data/zvuky/d4.dxg",
                           "data/zvuky/d5.dxg",    "data/zvuky/d6.dxg", "data/zvuky/d7.dxg", "data/zvuky/d8.dxg"};
    for (size_t a = 0; a < std::size(files); ++a) {
        for (size_t b = a + 1; b < std::size(files); ++b)
            EXPECT_NE(Waves(files[a])[1].Wave->Data, Waves(files[b])[1].Wave->Data) << files[a] << " and " << files[b];
        if (a <= 4) {
            EXPECT_LE(Waves(files[a])[1].Wave->DurationMs(), 350) << files[a];
            EXPECT_LE(Waves(files[a])[1].Wave->Data.size(), 8000u) << files[a];
        }
    }
}

// The onsets of a wave: the rise of its loudness from one window of 231 samples (a 48th of the
// menu loop's beat) to the next, the first window rising from the last (the wave loops).
constexpr size_t kHop = 231;
std::vector<double> Onsets(const media::TWave& w) {
    const size_t n = Count(w) / kHop;
    std::vector<double> env(n), rise(n);
    for (size_t f = 0; f < n; ++f) {
        double e = 0;
        for (size_t i = f * kHop; i < (f + 1) * kHop; ++i) e += Sample(w, i) * Sample(w, i);
        env[f] = std::sqrt(e / kHop);
    }
    for (size_t f = 0; f < n; ++f) rise[f] = std::max(0.0, env[f] - env[(f + n - 1) % n]);
    return rise;
}

// The strongest period of a wave's onsets, in samples: their autocorrelation over lags of 0.2 to
// 1.1 s.
double BeatPeriod(const media::TWave& w) {
    const std::vector<double> rise = Onsets(w);
    const size_t n = rise.size(), hop = kHop;
    size_t best = 0;
    double bestV = -1;
    for (size_t lag = 19; lag <= 105; ++lag) {
        double v = 0;
        for (size_t f = 0; f < n; ++f) v += rise[f] * rise[(f + lag) % n];  // the loop wraps
        if (v > bestV) bestV = v, best = lag;
    }
    return double(best * hop);
}

// The loops that sound over the menu music: each level's list item the level starts as it begins
// (levels 1, 2, 3, 6, 8) or a cue starts in play (levels 5 to 7), all looped.
struct LayeredLoop {
    const char* file;
    int item;
};
constexpr LayeredLoop kLayeredLoops[] = {{"data/zvuky/d1.dxg", 0}, {"data/zvuky/d2.dxg", 0}, {"data/zvuky/d3.dxg", 0},
                                         {"data/zvuky/d5.dxg", 0}, {"data/zvuky/d6.dxg", 0}, {"data/zvuky/d6.dxg", 1},
                                         {"data/zvuky/d7.dxg", 0}, {"data/zvuky/d7.dxg", 1}, {"data/zvuky/d8.dxg", 0}};

TEST(Sounds, MenuMusicGroovesOnTheSharedBeat) {
    // "hudba" plays on under every level, so it is the game's groove: onsets on every beat of its
    // twelve bars of four, clearly stronger on that grid than between it, the grid starting at its
    // first sample and the strongest onsets on the bar lines, so the loop's seam falls on a bar
    // line. It never drops out, no bar repeats another (it loops for the whole game) and its seam
    // jumps no further than the samples around it do.
    const auto& w = *Waves("builtins/DXWaveList1.dxg")[8].Wave;
    const size_t n = Count(w);
    const double beat = n / 48.0;
    EXPECT_NEAR(BeatPeriod(w) / beat, 1.0, 0.03);

    const std::vector<double> rise = Onsets(w);
    const size_t perBeat = 48, perBar = 4 * perBeat;  // windows (the beat is 48.0 windows long)
    std::vector<double> byBeat(perBeat), byBar(perBar);
    for (size_t f = 0; f < rise.size(); ++f) byBeat[f % perBeat] += rise[f], byBar[f % perBar] += rise[f];
    const size_t beatPhase = std::max_element(byBeat.begin(), byBeat.end()) - byBeat.begin();
    const size_t barPhase = std::max_element(byBar.begin(), byBar.end()) - byBar.begin();
    double mean = 0;
    for (double v : byBeat) mean += v / perBeat;
    std::cout << "  hudba: onsets every " << BeatPeriod(w) / 22050.0 << " s, beat grid at window " << beatPhase << " of 48, "
              << byBeat[beatPhase] / mean << " times the mean; bar lines at window " << barPhase << " of 192\n";
    EXPECT_TRUE(beatPhase <= 1 || beatPhase == perBeat - 1) << beatPhase;
    EXPECT_TRUE(barPhase <= 1 || barPhase == perBar - 1) << barPhase;
    EXPECT_GT(byBeat[beatPhase], 4 * mean);

    auto rms = [&](size_t from, size_t to) {
        double e = 0;
        for (size_t i = from; i < to; ++i) e += Sample(w, i) * Sample(w, i);
        return std::sqrt(e / double(to - from));
    };
    const size_t beatLen = static_cast<size_t>(beat);
    for (size_t b = 0; b < 48; ++b) EXPECT_GT(rms(b * beatLen, (b + 1) * beatLen), 0.025) << "beat " << b;
    const size_t barLen = 4 * beatLen;
    for (size_t a = 0; a < 12; ++a)
        for (size_t b = a + 1; b < 12; ++b) {
            double d = 0;
            for (size_t i = 0; i < barLen; ++i) d += std::pow(Sample(w, a * barLen + i) - Sample(w, b * barLen + i), 2);
            EXPECT_GT(std::sqrt(d / barLen), 0.5 * rms(a * barLen, (a + 1) * barLen)) << "bars " << a << " and " << b;
        }

    double around = 0;
    for (size_t i = 1; i < 2205; ++i)
        around = std::max({around, std::fabs(Sample(w, i) - Sample(w, i - 1)), std::fabs(Sample(w, n - i) - Sample(w, n - i - 1))});
    EXPECT_LE(std::fabs(Sample(w, 0) - Sample(w, n - 1)), around);
}

TEST(Sounds, CueLoopsOverTheMenuMusicShareItsBeat) {
    // The menu loop plays on under every level. Every loop laid over it, the themes levels 1, 2,
    // 3, 6 and 8 start as they begin and the loops the cues of levels 5 to 7 start, is as long as
    // it (so the pair repeats together), and its onsets come on the menu loop's beat (its length
    // in twelve bars of four, 0.503 s, which the menu loop's own test finds in it), or a half or
    // twice that.
    const auto& menu = *Waves("builtins/DXWaveList1.dxg")[8].Wave;
    const size_t n = Count(menu);
    const double beat = n / 48.0;
    for (const auto& c : kLayeredLoops) {
        SCOPED_TRACE(std::string(c.file) + " item " + std::to_string(c.item));
        const auto& w = *Waves(c.file)[c.item].Wave;
        EXPECT_EQ(Count(w), n);
        const double p = BeatPeriod(w);
        const double ratio = p / beat;
        std::cout << "  " << c.file << " item " << c.item << ": onsets every " << p / 22050.0 << " s (" << ratio << " beats)\n";
        const bool onGrid = std::fabs(ratio - 0.5) < 0.03 || std::fabs(ratio - 1) < 0.03 || std::fabs(ratio - 2) < 0.03;
        EXPECT_TRUE(onGrid) << "onsets every " << p / 22050.0 << " s";
        // Laid over the menu music at any moment, the pair does not clip.
        for (size_t off : {size_t(0), n / 3, n / 2, 2 * n / 3}) {
            double peak = 0;
            for (size_t i = 0; i < n; ++i) peak = std::max(peak, std::fabs(Sample(w, i) + Sample(menu, (i + off) % n)));
            EXPECT_LT(peak, 0.99) << "offset " << off;
        }
    }
}

TEST(Builder, IsDeterministic) {
    auto a = media::WritePictureCollection(assets::BuildLod());
    auto b = media::WritePictureCollection(assets::BuildLod());
    EXPECT_EQ(a, b);
    auto s = media::WriteWaveCollection(assets::BuildMusic(4));
    EXPECT_EQ(s, media::WriteWaveCollection(assets::BuildMusic(4)));
}

}  // namespace
