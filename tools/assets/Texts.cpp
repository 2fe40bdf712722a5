// The texts of every language. Czech stands as the game has always shown it.
#include "tools/assets/Texts.h"

#include <stdexcept>

namespace assets {

namespace {

Texts MakeCzech() {
    Texts t;
    t.code = "cs";
    t.story[0] =
        "Rok 2461. Z mlhoviny Kraken přiletěla flotila Šedých a přepadla Zemi. Neodnesli zlato ani uran – "
        "ukradli babiččin tajný recept na švestkové knedlíky.";
    t.story[1] = "Bez receptu už nebude žádná neděle. Rada Země vybrala jediného pilota, který se nebojí. Tebe.";
    t.story[2] =
        "Proleť osm sektorů plných nepřátel. Střílej do kapslí se zbraní – každý zásah posílí tvé dělo. "
        "Zelené skály a stěny jsou smrtelné.";
    t.story[3] =
        "Od druhého sektoru máš laser a silovou kouli. Tabulátorem ji vystřelíš, sama se vrátí a přilne k lodi "
        "z té strany, kam doletí.";
    t.story[4] =
        "Ovládání: šipky nebo H J K L – let, mezerník – palba, Tab – koule, Enter – pauza, Esc – zpět. "
        "V sedmém sektoru znič strážce a seber recept. Hodně štěstí, pilote!";
    t.storyNext = "mezerník – další strana      Esc – přeskočit příběh";
    t.storyLast = "mezerník – dál      Esc – přeskočit příběh";
    t.you = "TY!";
    t.greenIsDeath = "POZOR: ZELENÁ = SMRT";
    t.flyArrows = "let: šipky";
    t.orHJKL = "nebo H J K L";
    t.orKeypad = "nebo numerická 8 4 2 6";
    t.spaceKey = "mezerník";
    t.fire = "palba";
    t.pod = "koule";
    t.pause = "pauza";
    t.back = "zpět";
    t.subtitle = "Návrat receptu";
    t.pressSpace = "stiskni mezerník";
    t.menuHint = "Klepni na START a leť pro recept.";
    t.menuMouse = "Menu se ovládá myší: najeď na pole a klepni.";
    t.quit = "KONEC";
    t.start = "START";
    t.hudLives = "ŽIVOTY";
    t.hudPilot = "PILOT";
    t.hudRecipe = "RECEPT";
    const char* keys[4][2] = {{"mezerník", "palba"}, {"Tab", "koule"}, {"Enter", "pauza"}, {"Esc", "menu"}};
    for (int k = 0; k < 4; ++k) {
        t.hudKeys[k][0] = keys[k][0];
        t.hudKeys[k][1] = keys[k][1];
    }
    t.sector = "SEKTOR";
    const char* names[] = {"", "Krystalové pláně", "Šachta děl", "Rudý kaňon", "Modrá jeskyně",
                           "Propast", "Továrna Šedých", "Pevnost strážce", "Cesta domů"};
    for (int l = 0; l <= 8; ++l) t.levelNames[l] = names[l];
    t.pauseText = "Pause >> Esc   jedeme...";
    t.endText1 = "No a honem Domů...";
    t.endText2 = "Ps:...Díky za hru....zas někdy";
    return t;
}

Texts MakeEnglish() {
    Texts t;
    t.code = "en";
    t.story[0] =
        "The year 2461. A fleet of the Greys came out of the Kraken Nebula and raided the Earth. They took "
        "no gold and no uranium – they stole Grandma's secret recipe for plum dumplings.";
    t.story[1] =
        "Without the recipe, Sunday will never be Sunday again. The Earth Council has picked the one pilot "
        "who knows no fear. You.";
    t.story[2] =
        "Fly through eight sectors crawling with enemies. Shoot the weapon capsules – every hit makes your "
        "cannon stronger. Green rocks and walls are deadly.";
    t.story[3] =
        "From the second sector on you have a laser and a force pod. Tab fires the pod off; it comes back "
        "by itself and docks on whichever side of the ship it reaches.";
    t.story[4] =
        "Controls: arrows or H J K L – fly, Space – fire, Tab – pod, Enter – pause, Esc – back. "
        "In the seventh sector destroy the guardian and grab the recipe. Good luck, pilot!";
    t.storyNext = "Space – next page      Esc – skip the story";
    t.storyLast = "Space – go on      Esc – skip the story";
    t.you = "YOU!";
    t.greenIsDeath = "WARNING: GREEN = DEATH";
    t.flyArrows = "fly: arrows";
    t.orHJKL = "or H J K L";
    t.orKeypad = "or keypad 8 4 2 6";
    t.spaceKey = "Space";
    t.fire = "fire";
    t.pod = "pod";
    t.pause = "pause";
    t.back = "back";
    t.subtitle = "Return of the Recipe";
    t.pressSpace = "press Space";
    t.menuHint = "Click START and go get the recipe back.";
    t.menuMouse = "The menu works with the mouse: point at a box and click.";
    t.quit = "QUIT";
    t.start = "START";
    t.hudLives = "LIVES";
    t.hudPilot = "PILOT";
    t.hudRecipe = "RECIPE";
    const char* keys[4][2] = {{"Space", "fire"}, {"Tab", "pod"}, {"Enter", "pause"}, {"Esc", "menu"}};
    for (int k = 0; k < 4; ++k) {
        t.hudKeys[k][0] = keys[k][0];
        t.hudKeys[k][1] = keys[k][1];
    }
    t.sector = "SECTOR";
    const char* names[] = {"", "Crystal Plains", "Cannon Shaft", "Red Canyon", "Blue Cave",
                           "The Abyss", "Factory of the Greys", "Guardian's Fortress", "The Way Home"};
    for (int l = 0; l <= 8; ++l) t.levelNames[l] = names[l];
    t.pauseText = "Pause >> Esc   let's roll...";
    t.endText1 = "And now hurry on Home...";
    t.endText2 = "Ps:...Thanks for playing....see you again";
    return t;
}

}  // namespace

const std::vector<Texts>& Languages() {
    static const std::vector<Texts> all = {MakeCzech(), MakeEnglish()};
    return all;
}

const Texts& Czech() { return Languages().front(); }

const Texts& TextsFor(const std::string& code) {
    for (const Texts& t : Languages())
        if (t.code == code) return t;
    throw std::invalid_argument("no texts for language " + code);
}

std::string GameTextsFile(const Texts& t) {
    return "# The game's own lines in this language: key=text, the text up to the end of the line.\n"
           "pause=" + t.pauseText + "\nend1=" + t.endText1 + "\nend2=" + t.endText2 + "\n";
}

}  // namespace assets
