#include "app/VerifyData.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <utility>

#include "media/CollectionFile.h"
#include "media/Errors.h"

namespace app {

const std::vector<DataFileRule>& dataFileRules() {
    // Backgrounds hold one picture per tile; the story five pages, the menu its picture,
    // the title and the two box highlights. Alien and object sets hold every item of the
    // lists they replace; every music file two waves.
    static const std::vector<DataFileRule> rules = {
        {"pozadi\\story.dxg", false, 5}, {"pozadi\\menu.dxg", false, 4},  {"pozadi\\po1.dxg", false, 9},
        {"pozadi\\po2.dxg", false, 8},   {"pozadi\\po3.dxg", false, 8},   {"pozadi\\po4.dxg", false, 4},
        {"pozadi\\po5.dxg", false, 9},   {"pozadi\\po6.dxg", false, 7},   {"pozadi\\po7a.dxg", false, 9},
        {"pozadi\\po7b.dxg", false, 9},  {"pozadi\\po8.dxg", false, 7},   {"alin\\al1.dxg", false, 17},
        {"alin\\al2.dxg", false, 17},    {"alin\\al3.dxg", false, 17},    {"alin\\al4.dxg", false, 17},
        {"alin\\al5.dxg", false, 17},    {"alin\\al7.dxg", false, 17},    {"alin\\al8.dxg", false, 17},
        {"vob\\vob2.dxg", false, 16},    {"vob\\vob5.dxg", false, 16},    {"vob\\vob6.dxg", false, 16},
        {"vob\\vob7.dxg", false, 16},    {"vob\\vob8.dxg", false, 16},    {"zvuky\\menu1.dxg", true, 2},
        {"zvuky\\d1.dxg", true, 2},      {"zvuky\\d2.dxg", true, 2},      {"zvuky\\d3.dxg", true, 2},
        {"zvuky\\d4.dxg", true, 2},      {"zvuky\\d5.dxg", true, 2},      {"zvuky\\d6.dxg", true, 2},
        {"zvuky\\d7.dxg", true, 2},      {"zvuky\\d8.dxg", true, 2},
    };
    return rules;
}

namespace {

std::vector<std::string> pictureNames(const std::string& path) {
    std::vector<std::string> names;
    media::ReadPictureCollectionFile(path, [&](media::PictureItemData&& d) { names.push_back(d.Name); });
    return names;
}

bool has(const std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (n == name) return true;
    return false;
}

// The folders lang/<code>/ of the other languages: each has its texts.txt, and every picture
// of its collections takes the place of a Czech picture of the same name (one the game would
// otherwise pass over without a word).
bool verifyLanguages(std::ostream& report, int& languages) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory("lang", ec)) return true;
    std::vector<std::string> codes;
    for (const auto& entry : fs::directory_iterator("lang", ec))
        if (entry.is_directory(ec)) codes.push_back(entry.path().filename().string());
    std::sort(codes.begin(), codes.end());
    const std::vector<std::string> hud = {"meny", "obrov", "oblev", "obprav", "obhore", "obdole", "zi1", "zi2", "zi3", "recept"};
    bool ok = true;
    for (const std::string& code : codes) {
        ++languages;
        const std::string dir = "lang/" + code + "/";
        if (!fs::is_regular_file(dir + "texts.txt", ec)) {
            report << dir << "texts.txt: missing (the game would show Czech)\n";
            ok = false;
        }
        std::vector<std::pair<std::string, std::vector<std::string>>> files;  // own file, the names it may hold
        files.push_back({dir + "podklad.dxg", hud});
        for (const DataFileRule& r : dataFileRules()) {
            if (r.isWave) continue;
            std::string own = dir + r.path;
            std::replace(own.begin(), own.end(), '\\', '/');
            if (!fs::exists(own, ec)) continue;
            std::vector<std::string> czech;
            try {
                czech = pictureNames(r.path);
            } catch (const std::exception&) {
                continue;  // reported with the Czech files
            }
            files.push_back({own, czech});
        }
        for (const auto& f : files) {
            if (!fs::exists(f.first, ec)) continue;
            try {
                for (const std::string& name : pictureNames(f.first))
                    if (!has(f.second, name)) {
                        report << f.first << ": picture \"" << name << "\" takes the place of no Czech picture\n";
                        ok = false;
                    }
            } catch (const std::exception& e) {
                report << f.first << ": " << media::EscapeControls(media::ErrorText(e)) << "\n";
                ok = false;
            }
        }
    }
    return ok;
}

}  // namespace

bool verifyData(std::ostream& report) {
    bool ok = true;
    for (const DataFileRule& r : dataFileRules()) {
        int count = 0;
        int withContent = 0;
        try {
            if (r.isWave) {
                media::ReadWaveCollectionFile(r.path, [&](media::WaveItemData&& d) {
                    if (count < r.items && d.Wave && !d.Wave->Empty()) ++withContent;
                    ++count;
                });
            } else {
                media::ReadPictureCollectionFile(r.path, [&](media::PictureItemData&& d) {
                    if (count < r.items && d.Picture && !d.Picture->Empty()) ++withContent;
                    ++count;
                });
            }
        } catch (const std::exception& e) {
            report << r.path << ": " << media::EscapeControls(media::ErrorText(e)) << "\n";
            ok = false;
            continue;
        }
        if (count < r.items) {
            report << r.path << ": holds " << count << " items, the game addresses " << r.items << "\n";
            ok = false;
        } else if (r.path.rfind("pozadi", 0) == 0 && withContent < r.items) {
            report << r.path << ": " << (r.items - withContent) << " of the first " << r.items
                   << " items have no picture\n";
            ok = false;
        }
    }
    int languages = 0;
    if (!verifyLanguages(report, languages)) ok = false;
    if (ok) {
        report << "all " << dataFileRules().size() << " data files are complete";
        if (languages > 0) report << ", and the files of " << languages << (languages == 1 ? " language" : " languages") << " beside them";
        report << "\n";
    }
    return ok;
}

}  // namespace app
