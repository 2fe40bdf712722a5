// The language of the texts the player reads. Czech ("cs") is the game's own language and is
// built in. Another language is a folder lang/<code>/ of the data directory holding
//   texts.txt    the game's own lines: pause=..., end1=..., end2=... (one a line, UTF-8)
//   podklad.dxg  the HUD panel's pictures that carry its text, by their names (meny, ...)
//   pozadi/...   at the paths of the Czech collections, the pictures that carry its text;
//                each replaces the Czech picture of the same name after the Czech file is loaded
// so a third language needs files only. The language changes no rule and no number of play.
#pragma once

#include <string>

namespace media {
class TDXImageList;
}

namespace game {

struct PlayerTexts {
    std::string pause;  // while a level is paused
    std::string end1;   // the end text, first and second line
    std::string end2;
};

// Czech, as the game has always shown it.
const PlayerTexts& czechTexts();

// Chooses the language for the run, from the data in the working directory. Returns an empty
// string when it is in place, else the message why the game stays in Czech.
std::string chooseLanguage(const std::string& code);
// The language chosen ("cs" until chooseLanguage picks another).
const std::string& language();
const PlayerTexts& playerTexts();

// Reads a texts.txt; false with the reason (line number included) when it cannot be used.
bool parsePlayerTexts(const std::string& text, PlayerTexts& out, std::string& error);

// The language's own copy of a data file ("lang/en/podklad.dxg" for "podklad.dxg", with '/'),
// or an empty string in Czech and where the language has none.
std::string languageFile(const std::string& path);

// After a Czech collection has been loaded from `path` (as the game writes it): the language's
// pictures of the same names in place of the Czech ones.
void applyLanguagePictures(media::TDXImageList& list, const std::string& path);

}  // namespace game
