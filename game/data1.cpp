#include "game/data1.h"

#include "game/Language.h"
#include "game/Main.h"
#include "game/Sounds.h"
#include "game/State.h"

namespace game {

using media::TPictureCollectionItem;

namespace {

TPictureCollectionItem* picture(media::TDXImageList& list, int index) { return list.Items.Items(index); }

// One alien entry at its start: position and steps as given, then the fixed start values,
// the size of its picture (with an adjustment) and its hit points.
void placeEntry(Alien& a, int32_t x, int32_t y, int32_t vy, int32_t speed, TPictureCollectionItem* (*img)(),
                int32_t dw, int32_t dh, int32_t hits, bool angle0) {
    a.x = x;
    a.y = y;
    a.vy = vy;
    a.speed = speed;
    a.shotReady = true;
    a.shotFlying = false;
    TPictureCollectionItem* item = img();
    a.width = item->Width() + dw;
    a.height = item->Height() + dh;
    a.explodeFrame = 1;
    a.maxHits = hits;
    a.hits = hits;
    a.dead = false;
    a.anim = 1;
    if (angle0) a.angle = 0;
}

template <int I>
TPictureCollectionItem* alinItem() { return picture(MainForm->alin, I); }
template <int I>
TPictureCollectionItem* vobItem() { return picture(MainForm->vob, I); }

void levelReset() {
    deathFrame = 1;
    shipDying = false;
    levelClock = 0;
    clockPixels = 0;
    powerUpY = 170;
    if (level == 1) {
        powerUpX = 400;
        weaponLevel = 1;
    } else {
        powerUpX = -400;
        weaponLevel = 6;
    }
}

void loadPictures(media::TDXImageList& list, const char* path) {
    list.Items.LoadFromFile(path);
    applyLanguagePictures(list, path);  // the pictures with text, in the player's language
}

void loadMusic(const char* path) {
    MainForm->List2.Items.LoadFromFile(path);
    MainForm->List2.Items.PrepareCopies();  // so that a music cue in play makes no copy
}

void tilesAcross(int last) {
    lastTile = static_cast<uint8_t>(last);
    for (int i = 0; i <= last; ++i) bgTiles[i] = {640 * i, 0};
}

void tilesDown(int last) {
    lastTile = static_cast<uint8_t>(last);
    for (int i = 0; i <= last; ++i) bgTiles[i] = {0, 380 * i};
}

void tilesUp(int last) {
    lastTile = static_cast<uint8_t>(last);
    for (int i = 0; i <= last; ++i) bgTiles[i] = {0, -380 * i};
}

// The two flyer groups that levels 1 and 6 share.
void placeFlyersA(int count) {
    for (int i = 1; i <= count; ++i) {
        int32_t vy = Random(300);
        int32_t speed = Random(5) + 5;
        placeEntry(aliensA[i], -600, 1450, vy, speed, alinItem<0>, -30, -30, 6, false);
    }
}

void placeFlyersB(int count) {
    for (int i = 1; i <= count; ++i) {
        int32_t vy = Random(4) + 1;
        int32_t speed = Random(15) + 5;
        placeEntry(aliensB[i], -600, 1500, vy, speed, alinItem<0>, -40, -50, 6, false);
    }
}

void setupLevel1() {
    levelReset();
    tilesAcross(8);
    loadPictures(MainForm->pozadi, "pozadi\\po1.dxg");
    loadPictures(MainForm->alin, "alin\\al1.dxg");
    waveSize = 6;
    placeFlyersA(waveSize);
    placeFlyersB(waveSize);
    loadMusic("zvuky\\d1.dxg");
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
}

void setupLevel2() {
    levelReset();
    scrollSpeed = 0.6f;
    loadPictures(MainForm->pozadi, "pozadi\\po2.dxg");
    loadPictures(MainForm->alin, "alin\\al2.dxg");
    loadPictures(MainForm->vob, "vob\\vob2.dxg");
    tilesDown(7);
    waveSize = 3;
    const int32_t ax[3] = {10, 10, 80};
    const int32_t ay[3] = {500, 1250, 2250};
    for (int i = 1; i <= 3; ++i) {
        int32_t vy = Random(300);
        placeEntry(aliensA[i], ax[i - 1], ay[i - 1], vy, 30, vobItem<0>, 0, 0, 500, false);
    }
    for (int i = 1; i <= waveSize; ++i) {
        int32_t x = Random(640);
        int32_t vy = Random(4) + 1;
        int32_t speed = Random(15) + 5;
        placeEntry(aliensB[i], x, -300, vy, speed, alinItem<10>, 0, 0, 3, false);
    }
    loadMusic("zvuky\\d2.dxg");
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
}

void setupLevel3() {
    loadPictures(MainForm->pozadi, "pozadi\\po3.dxg");
    loadPictures(MainForm->alin, "alin\\al3.dxg");
    levelReset();
    scrollSpeed = 1.2f;
    tilesAcross(7);
    waveSize = 4;
    const int32_t ax[2] = {880, 1515};
    for (int i = 1; i <= 2; ++i) placeEntry(aliensA[i], ax[i - 1], 260, 0, 2, alinItem<0>, 0, 0, 500, false);
    const int32_t bx[4] = {1140, 2200, 2880, 3280};
    for (int i = 1; i <= 4; ++i) placeEntry(aliensB[i], bx[i - 1], 68, 0, 2, alinItem<10>, 0, 0, 500, false);
    for (int i = 1; i <= 4; ++i) {
        int32_t vy = Random(300);
        int32_t speed = Random(20) + 10;
        placeEntry(aliensC[i], -600, 135, vy, speed, alinItem<4>, 0, 0, 2, false);
    }
    for (int i = 1; i <= 2; ++i) {
        int32_t vy = Random(4) + 8;
        int32_t speed = Random(15) + 5;
        placeEntry(aliensD[i], -600, 400, vy, speed, alinItem<6>, 0, 0, 2, true);
    }
    loadMusic("zvuky\\d3.dxg");
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
}

void setupLevel4() {
    loadPictures(MainForm->pozadi, "pozadi\\po4.dxg");
    loadPictures(MainForm->alin, "alin\\al4.dxg");
    levelReset();
    scrollSpeed = 0.6f;
    lastTile = 3;
    bgTiles[0] = {0, 0};
    bgTiles[1] = {0, -380};
    bgTiles[2] = {-640, 0};
    bgTiles[3] = {-1280, 0};
    waveSize = 6;
    const int32_t ax[2] = {0, 635};
    for (int i = 1; i <= 2; ++i) placeEntry(aliensA[i], ax[i - 1], 260, 0, 2, alinItem<0>, 0, 0, 500, false);
    for (int i = 1; i <= waveSize; ++i) {
        int32_t vy = Random(4) + 8;
        int32_t speed = Random(5) + 5;
        placeEntry(aliensB[i], 800, 200, vy, speed, alinItem<6>, 0, 0, 2, true);
    }
    loadMusic("zvuky\\d4.dxg");
    music(Music::first).SetLooped(false);
}

void setupLevel5() {
    loadPictures(MainForm->pozadi, "pozadi\\po5.dxg");
    loadPictures(MainForm->alin, "alin\\al5.dxg");
    loadPictures(MainForm->vob, "vob\\vob5.dxg");
    levelReset();
    scrollSpeed = 0.8f;
    tilesUp(8);
    waveSize = 4;
    placeEntry(aliensA[1], 65, -70, 2, 1, alinItem<0>, 0, 0, 500, false);
    for (int i = 1; i <= waveSize; ++i) {
        int32_t x = Random(100) + 550;
        int32_t vy = Random(6) + 1;
        int32_t speed = Random(5) + 5;
        placeEntry(aliensB[i], x, 400, vy, speed, alinItem<4>, 0, 0, 2, true);
    }
    {
        int32_t vy = Random(4) + 1;
        int32_t speed = Random(15) + 5;
        placeEntry(levelObject, 190, -460, vy, speed, vobItem<0>, 0, 0, 20, true);
    }
    {
        int32_t vy = Random(300);
        int32_t speed = Random(20) + 10;
        placeEntry(aliensC[1], 270, -2490, vy, speed, vobItem<1>, 0, 0, 2, false);
    }
    loadMusic("zvuky\\d5.dxg");
    music(Music::first).SetLooped(true);
    music(Music::second).SetLooped(false);
}

void setupLevel6() {
    loadPictures(MainForm->pozadi, "pozadi\\po6.dxg");
    loadPictures(MainForm->alin, "alin\\al1.dxg");
    loadPictures(MainForm->vob, "vob\\vob6.dxg");
    levelReset();
    scrollSpeed = 1.2f;
    tilesAcross(6);
    waveSize = 6;
    placeFlyersA(3);
    placeFlyersB(4);
    {
        int32_t vy = Random(300);
        int32_t speed = Random(20) + 10;
        placeEntry(aliensC[1], 1460, 50, vy, speed, vobItem<4>, 0, 0, 2, false);
    }
    {
        int32_t vy = Random(300);
        int32_t speed = Random(20) + 10;
        placeEntry(levelObject, 182, 264, vy, speed, vobItem<0>, 0, 0, 2, false);
    }
    for (auto& s : stones) {
        s.x = 800;
        s.y = 27;
    }
    {
        int32_t speed = Random(20) + 10;
        placeEntry(aliensD[1], 1460, 400, 0, speed, vobItem<12>, 0, 0, 2, false);
    }
    loadMusic("zvuky\\d6.dxg");
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
    music(Music::second).SetLooped(true);
}

void setupLevel7() {
    loadPictures(MainForm->pozadi, "pozadi\\po7a.dxg");
    // The second half of the scenery replaces the first in the middle of play: read ahead.
    MainForm->pozadi.Items.Prepare("pozadi\\po7b.dxg");
    po7bPending = true;
    loadPictures(MainForm->alin, "alin\\al7.dxg");
    loadPictures(MainForm->vob, "vob\\vob7.dxg");
    levelReset();
    scrollSpeed = 1.2f;
    tilesAcross(8);
    waveSize = 4;
    {
        int32_t speed = Random(20) + 10;
        placeEntry(aliensD[1], 1620, 30, 0, speed, alinItem<14>, 0, 0, 40, false);
    }
    MainForm->recept.Visible = false;
    {
        int32_t speed = Random(20) + 10;
        placeEntry(aliensC[1], 1640, 50, 0, speed, alinItem<16>, 0, 0, 4, false);
    }
    {
        int32_t vy = Random(4) + 1;
        int32_t speed = Random(15) + 5;
        placeEntry(levelObject, 2720, 110, vy, speed, vobItem<0>, 0, 0, 20, true);
    }
    for (int i = 1; i <= waveSize; ++i) {
        int32_t vy = Random(5) + 1;
        int32_t speed = Random(5) + 5;
        placeEntry(aliensA[i], 800, 0, vy, speed, alinItem<0>, 0, 0, 20, false);
    }
    for (int i = 1; i <= waveSize; ++i) {
        int32_t vy = Random(4) + 1;
        int32_t speed = Random(15) + 5;
        placeEntry(aliensB[i], -600, 1500, vy, speed, alinItem<10>, -40, -40, 6, false);
    }
    loadMusic("zvuky\\d7.dxg");
    music(Music::first).SetLooped(true);
    music(Music::first).SetLooped(true);
}

void setupLevel8() {
    loadPictures(MainForm->pozadi, "pozadi\\po8.dxg");
    loadPictures(MainForm->alin, "alin\\al8.dxg");
    loadPictures(MainForm->vob, "vob\\vob8.dxg");
    levelReset();
    scrollSpeed = 1.2f;
    tilesUp(6);
    waveSize = 3;
    {
        int32_t vy = Random(300);
        int32_t speed = Random(20) + 10;
        placeEntry(levelObject, 152, -240, vy, speed, vobItem<0>, 0, 0, 2, false);
    }
    placeEntry(aliensA[1], 205, -600, 0, 2, alinItem<0>, 0, 35, 500, false);
    for (int i = 1; i <= waveSize; ++i) {
        int32_t x = Random(100) + 550;
        int32_t vy = Random(6) + 1;
        int32_t speed = Random(5) + 5;
        placeEntry(aliensB[i], x, 400, vy, speed, alinItem<4>, 0, 0, 2, true);
    }
    loadMusic("zvuky\\d8.dxg");
    music(Music::second).SetLooped(false);
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
}

void setupStory() {
    loadMusic("zvuky\\menu1.dxg");
    loadPictures(MainForm->pozadi, "pozadi\\story.dxg");
    music(Music::first).SetLooped(true);
    playMusic(Music::first);
    lastTile = 0;
    for (int i = 0; i <= 5; ++i) bgTiles[i] = {-640, 0};
    MainForm->DXDraw.Cursor = media::crNone;
}

void setupTitleOrMenu() {
    refillLives();
    music(Music::first).SetLooped(false);
    music(Music::second).SetLooped(false);
    MainForm->DXDraw.SetHeight(480);
    if (inTitle) music(Music::first).SetLooped(false);
    if (inMenu) {
        effect(Effect::hudba).SetLooped(true);
        playEffect(Effect::hudba);
    }
    loadPictures(MainForm->pozadi, "pozadi\\menu.dxg");
    bgTiles[0] = {0, -380};
    MainForm->DXDraw.Cursor = media::crNone;
}

}  // namespace

media::TWaveCollectionItem& effect(Effect e) { return *MainForm->DXWaveList1.Items.Items(static_cast<int>(e)); }
void playEffect(Effect e) { effect(e).Play(false); }
media::TWaveCollectionItem& music(Music m) { return *MainForm->List2.Items.Items(static_cast<int>(m)); }
void playMusic(Music m) { music(m).Play(false); }

void resetGame() {
    shipX = 80;
    shipY = 200;
    level = 1;
    Randomize();
    weaponLevel = 1;
    laserAnim = 1;
    powerUpX = 500;
    powerUpY = 170;
    podLaunched = false;
    podReturning = true;
    podFlight = 2;
    podAngle = 0;
    podX = -50;
    podY = 300;
    podFront = true;
    podRear = false;
    podBottom = false;
    podTop = false;
    lives = 3;
    scrollAccum = 0.0f;
    paused = false;
    scrollSpeed = 1.2f;
    inStory = true;
    inMenu = false;
    inTitle = false;
    TMainForm& f = *MainForm;
    f.podklad.Visible = false;
    for (media::TControl* c : {static_cast<media::TControl*>(&f.podklad), static_cast<media::TControl*>(&f.meny),
                               static_cast<media::TControl*>(&f.zi1), static_cast<media::TControl*>(&f.zi2),
                               static_cast<media::TControl*>(&f.zi3), static_cast<media::TControl*>(&f.obdole),
                               static_cast<media::TControl*>(&f.obhore), static_cast<media::TControl*>(&f.oblev),
                               static_cast<media::TControl*>(&f.obprav), static_cast<media::TControl*>(&f)})
        c->Cursor = media::crNone;
    for (auto& s : stars) {
        s.x = Random(640);
        s.y = Random(480);
        s.speed = Random(5) + 2;
    }
    level = 1;
}

uint32_t lastSetupTick = 0;
SetupObserver setupObserver = nullptr;

namespace {
void setupSelectedScene();
}

void setupScene() {
    lastSetupTick = tick;
    struct Observed {
        Observed() {
            if (setupObserver) setupObserver(false);
        }
        ~Observed() {
            if (setupObserver) setupObserver(true);
        }
    } observed;
    setupSelectedScene();
}

namespace {

void setupSelectedScene() {
    if (inStory) {
        setupStory();
        return;
    }
    if (inMenu || inTitle) {
        setupTitleOrMenu();
        return;
    }
    scrollAccum = 1.0f;
    scrollSpeed = 1.2f;
    MainForm->DXDraw.SetHeight(380);
    prepareStatusText();
    gameFinished = false;
    switch (level) {
        case 1: setupLevel1(); break;
        case 2: setupLevel2(); break;
        case 3: setupLevel3(); break;
        case 4: setupLevel4(); break;
        case 5: setupLevel5(); break;
        case 6: setupLevel6(); break;
        case 7: setupLevel7(); break;
        case 8: setupLevel8(); break;
        default: break;
    }
}

}  // namespace

void drawExplosion(uint32_t frame, int32_t x, int32_t y) {
    TMainForm& f = *MainForm;
    media::TDirectDrawSurface& s = f.DXDraw.Surface();
    if (frame >= 1 && frame <= 3) {
        picture(f.vybuch, 0)->Draw(s, x, y, 0);
        playEffect(Effect::vybuch);
    }
    if (frame >= 4 && frame <= 6) picture(f.vybuch, 1)->Draw(s, x, y, 0);
    if (frame >= 7 && frame <= 9) picture(f.vybuch, 2)->Draw(s, x, y, 0);
    if (frame >= 10 && frame <= 12) picture(f.vybuch, 3)->Draw(s, x, y, 0);
}

void drawStars() {
    media::TDirectDrawSurfaceCanvas& c = MainForm->DXDraw.Surface().Canvas();
    for (int i = 1; i <= 20; ++i) {
        Star& s = stars[i];
        c.SetPixel(s.x, s.y, 0xFFFF00);  // aqua
        s.x -= s.speed;
        if (s.x < 0) {
            s.x = Random(640);
            s.y = Random(480);
            s.speed = Random(5) + 2;
        }
    }
    c.Release();
}

void refillLives() {
    MainForm->zi1.Visible = true;
    MainForm->zi2.Visible = true;
    MainForm->zi3.Visible = true;
    lives = 3;
}

void showLives() {
    if (lives == 2) MainForm->zi3.Visible = false;
    if (lives == 1) MainForm->zi2.Visible = false;
    if (lives == 0) MainForm->zi1.Visible = false;
}

void clearPodDock() {
    podFront = false;
    podRear = false;
    podBottom = false;
    podTop = false;
    podAngle = 0;
}

void hideFaces() {
    TMainForm& f = *MainForm;
    for (media::TImage* face : {&f.obrov, &f.oblev, &f.obprav, &f.obhore, &f.obdole}) {
        face->Visible = false;
        face->SetLeft(266);
        face->SetTop(6);
    }
}

}  // namespace game
