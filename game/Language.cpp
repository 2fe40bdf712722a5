#include "game/Language.h"

#include <sys/stat.h>

#include <fstream>

#include "media/CollectionFile.h"
#include "media/DXImageList.h"

namespace game {

namespace {

constexpr size_t kMaxTextsBytes = 64 * 1024;

std::string& chosen() {
    static std::string code = "cs";
    return code;
}

PlayerTexts& chosenTexts() {
    static PlayerTexts texts = czechTexts();
    return texts;
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Lower-case letters only: a code names a folder, so nothing in it may climb out of lang/.
bool plainCode(const std::string& code) {
    if (code.size() < 2 || code.size() > 8) return false;
    for (char c : code)
        if (c < 'a' || c > 'z') return false;
    return true;
}

std::string slashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace

const PlayerTexts& czechTexts() {
    static const PlayerTexts texts{"Pause >> Esc   jedeme...", "No a honem Domů...", "Ps:...Díky za hru....zas někdy"};
    return texts;
}

const std::string& language() { return chosen(); }
const PlayerTexts& playerTexts() { return chosenTexts(); }

bool parsePlayerTexts(const std::string& text, PlayerTexts& out, std::string& error) {
    if (text.size() > kMaxTextsBytes) {
        error = "larger than " + std::to_string(kMaxTextsBytes) + " bytes";
        return false;
    }
    PlayerTexts t;
    bool seen[3] = {false, false, false};
    size_t pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        const std::string key = eq == std::string::npos ? line : line.substr(0, eq);
        std::string* slot = nullptr;
        int index = -1;
        if (key == "pause") slot = &t.pause, index = 0;
        if (key == "end1") slot = &t.end1, index = 1;
        if (key == "end2") slot = &t.end2, index = 2;
        if (eq == std::string::npos || !slot) {
            error = "line " + std::to_string(lineNumber) + ": not pause=, end1= or end2=";
            return false;
        }
        *slot = line.substr(eq + 1);
        seen[index] = true;
    }
    const char* names[] = {"pause", "end1", "end2"};
    for (int i = 0; i < 3; ++i)
        if (!seen[i]) {
            error = std::string("no line ") + names[i] + "=";
            return false;
        }
    out = t;
    return true;
}

std::string chooseLanguage(const std::string& code) {
    chosen() = "cs";
    chosenTexts() = czechTexts();
    if (code == "cs") return std::string();
    if (!plainCode(code)) return "\"" + code + "\" is no language code (cs, en); the game shows its texts in Czech";
    const std::string path = "lang/" + code + "/texts.txt";
    if (!isRegularFile(path))
        return "the files of language \"" + code + "\" are missing (" + path + "); the game shows its texts in Czech";
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char buf[4096];
    while (in && text.size() <= kMaxTextsBytes) {
        in.read(buf, sizeof buf);
        text.append(buf, static_cast<size_t>(in.gcount()));
    }
    // The loop stops a little past the limit, which the reader then refuses.
    PlayerTexts texts;
    std::string error;
    if (in.bad() || !in.is_open()) error = "cannot be read";
    else parsePlayerTexts(text, texts, error);
    if (!error.empty()) return path + ": " + error + "; the game shows its texts in Czech";
    chosen() = code;
    chosenTexts() = texts;
    return std::string();
}

std::string languageFile(const std::string& path) {
    if (chosen() == "cs") return std::string();
    const std::string own = "lang/" + chosen() + "/" + slashes(path);
    return isRegularFile(own) ? own : std::string();
}

void applyLanguagePictures(media::TDXImageList& list, const std::string& path) {
    const std::string own = languageFile(path);
    if (own.empty()) return;
    media::TPictureCollection& items = list.Items;
    media::ReadPictureCollectionFile(own, [&items](media::PictureItemData&& d) {
        for (int i = 0; i < items.Count(); ++i) {
            media::TPictureCollectionItem* item = items.Items(i);
            if (item->Name != d.Name) continue;
            item->Assign(d);
            if (items.Initialized()) item->Initialize();
            return;
        }
    });
}

}  // namespace game
