// Every text the player reads, per language: the builder paints them into the pictures and
// writes the game's own lines (pause, the end) beside them. Czech is the game's own language;
// another language is one more entry of Languages(), and its pictures go to lang/<code>/.
#pragma once

#include <string>
#include <vector>

namespace assets {

struct Texts {
    std::string code;  // "cs", "en": the folder name below lang/ and the value of --lang
    // The story: five pages, the hints at their foot, and the words in the pictures.
    std::string story[5];
    std::string storyNext;  // at the foot of pages 1 to 4
    std::string storyLast;  // at the foot of page 5
    std::string you;        // the council's choice, in the picture of page 2
    std::string greenIsDeath;
    std::string flyArrows, orHJKL, orKeypad;  // captions under the three crosses of keys
    std::string spaceKey;                     // the space bar's label
    std::string fire, pod, pause, back;       // what the keys do
    // The title and the menu.
    std::string subtitle;
    std::string pressSpace;
    std::string menuHint, menuMouse;
    std::string quit, start;  // the menu's two boxes
    // The HUD panel.
    std::string hudLives, hudPilot, hudRecipe;
    std::string hudKeys[4][2];  // key and what it does
    // The signs of the levels: "SEKTOR 3" and the sector's name.
    std::string sector;
    std::string levelNames[9];  // 1..8
    // The game's own lines, drawn at run time (written to lang/<code>/texts.txt).
    std::string pauseText, endText1, endText2;
};

// Czech first, then the other languages.
const std::vector<Texts>& Languages();
const Texts& Czech();
// The language of that code; throws std::invalid_argument for one not in Languages().
const Texts& TextsFor(const std::string& code);

// The game's lines in the form the game reads from lang/<code>/texts.txt.
std::string GameTextsFile(const Texts& t);

}  // namespace assets
