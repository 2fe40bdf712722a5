#include "app/VerifyData.h"

#include "media/Errors.h"

#include <exception>

#include "media/CollectionFile.h"

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
            report << r.path << ": " << media::EscapeControls(e.what()) << "\n";
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
    if (ok) report << "all " << dataFileRules().size() << " data files are complete\n";
    return ok;
}

}  // namespace app
