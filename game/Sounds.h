// Every sound of the game by name: the fixed effects of the form's DXWaveList1, and the two
// music items of List2 that each scene loads. The units play them only through these names.
#pragma once

namespace media {
class TWaveCollectionItem;
}

namespace game {

// Items of DXWaveList1, in the list's order.
enum class Effect : int {
    kul = 0,     // projectile launches
    vybuch = 1,  // explosions, the title and menu pictures landing
    raket1 = 2,  // forward gun at weapon levels 3 and 4
    raket2 = 3,  // heavy shot
    laser = 4,   // upper ship beam
    laser2 = 5,  // pod beam
    laser3 = 6,  // lower ship beam
    pust = 7,    // the pod launched or docking
    hudba = 8,   // menu music, looped into the levels
    finish = 9,  // the end tune after level 8
};

// Items of List2: the scene's two music waves ("hudba1", "hudba2").
enum class Music : int {
    first = 0,
    second = 1,
};

media::TWaveCollectionItem& effect(Effect e);
void playEffect(Effect e);  // starts one playback without waiting
media::TWaveCollectionItem& music(Music m);
void playMusic(Music m);

}  // namespace game
