// The main form with its components and handlers, the frame tick and the ship.
#include "game/Main.h"

#include "game/Between.h"
#include "game/Language.h"
#include "game/Pictures.h"
#include "game/Sounds.h"
#include "game/State.h"
#include "game/alien.h"
#include "game/data1.h"
#include "game/kontrola.h"
#include "game/zbrane.h"
#include "media/Errors.h"

namespace game {

using media::TObject;

TMainForm* MainForm = nullptr;
Tdat1* dat1 = nullptr;
TDataModule1* DataModule1 = nullptr;

namespace {

constexpr int kEscape = 27;
constexpr int kPrintScreen = 0x2C;
constexpr media::TColor kGreen = 0x008000;
constexpr media::TColor kLime = 0x00FF00;
constexpr media::TColor kYellow = 0x00FFFF;

media::TPictureCollectionItem* pozadiItem(int i) { return MainForm->pozadi.Items.Items(i); }
bool inputOn(int state) { return MainForm->DXInput.States.Has(state); }

void placeControl(media::TControl& c, media::TControl* parent, int left, int top, int width, int height) {
    c.SetParent(parent);
    c.SetBounds(left, top, width, height);
}

}  // namespace

media::TDirectDrawSurface& backBuffer() { return MainForm->DXDraw.Surface(); }
media::TPictureCollectionItem& lodImage(int index) { return *MainForm->lod.Items.Items(index); }
media::TPictureCollectionItem& alinImage(int index) { return *MainForm->alin.Items.Items(index); }
media::TPictureCollectionItem& vobImage(int index) { return *MainForm->vob.Items.Items(index); }

// --- the form ----------------------------------------------------------------------------

TMainForm::TMainForm() : DXInput(this), DXSound1(this) {
    MainForm = this;
    SetBounds(0, 0, 640, 480);
    Color = 0x404040;  // dark grey
    OnCreate = [this](TObject* s) { media::Application().Guard([&] { FormCreate(s); }); };
    OnKeyDown = [this](TObject* s, int& key, int shift) {
        if (key == kPrintScreen && OnPrintScreen) OnPrintScreen();
        media::Application().Guard([&] { FormKeyDown(s, key, shift); });
    };

    // The display: full screen 640 x 480 x 16, initialised once the form has loaded.
    placeControl(DXDraw, this, 0, 0, 793, 352);
    DXDraw.AutoInitialize = true;
    DXDraw.AutoSize = true;
    DXDraw.Display.Width = 640;
    DXDraw.Display.Height = 480;
    DXDraw.Display.SetBitCount(16);
    DXDraw.Display.FixedBitCount = false;
    DXDraw.Display.FixedRatio = true;
    DXDraw.Display.FixedSize = false;
    DXDraw.SetOptions({media::doFullScreen, media::doAllowReboot, media::doWaitVBlank, media::doCenter,
                       media::doRetainedMode, media::doHardware, media::doSelectDriver});
    DXDraw.OnInitialize = [this](TObject* s) { DXDrawInitialize(s); };
    DXDraw.OnFinalize = [this](TObject* s) { DXDrawFinalize(s); };
    DXDraw.OnClick = [this](TObject* s) { media::Application().Guard([&] { DXklik(s); }); };
    DXDraw.OnMouseMove = [this](TObject* s, int shift, int x, int y) { dxmove(s, shift, x, y); };
    SetDisplayControl(&DXDraw);

    // The frame timer: 25 ms, only while the application is active.
    DXTimer.SetInterval(25);
    DXTimer.ActiveOnly = true;
    DXTimer.SetEnabled(true);
    DXTimer.OnTimer = [this](TObject* s, int lag) {
        if (BeforeTick) BeforeTick();
        media::Application().Guard([&] { DXTimerTimer(s, lag); });
        if (AfterTick) AfterTick();
    };

    // Input: keyboard and joystick feed the states, the mouse does not.
    DXInput.ActiveOnly = true;
    DXInput.UseDirectInput = true;
    DXInput.Keyboard.Enabled = true;
    DXInput.Keyboard.BindInputStates = true;
    DXInput.Keyboard.ForceFeedback = false;
    DXInput.Keyboard.SetDefaultAssigns();
    DXInput.Joystick.Enabled = true;
    DXInput.Joystick.BindInputStates = true;
    DXInput.Joystick.ForceFeedback = false;
    DXInput.Joystick.ID = 0;
    DXInput.Joystick.AutoCenter = true;
    DXInput.Joystick.DeadZoneX = DXInput.Joystick.DeadZoneY = DXInput.Joystick.DeadZoneZ = 50;
    DXInput.Joystick.RangeX = DXInput.Joystick.RangeY = DXInput.Joystick.RangeZ = 1000;
    DXInput.Mouse.Enabled = false;
    DXInput.Mouse.BindInputStates = false;

    // Image lists, all attached to the display.
    lod.Name = "lod";
    vybuch.Name = "vybuch";
    pozadi.Name = "pozadi";
    alin.Name = "alin";
    vob.Name = "vob";
    for (media::TDXImageList* l : {&lod, &vybuch, &pozadi, &alin, &vob}) l->SetDXDraw(&DXDraw);

    // Sound.
    DXSound1.AutoInitialize = true;
    DXSound1.Options = media::TDXSoundOptions{};
    DXWaveList1.Name = "DXWaveList1";
    List2.Name = "List2";
    DXWaveList1.SetDXSound(&DXSound1);
    List2.SetDXSound(&DXSound1);

    // The HUD panel and its pictures, at their design places.
    placeControl(podklad, this, 8, 368, 640, 90);
    podklad.Color = 0x000000;
    podklad.Visible = false;
    placeControl(meny, &podklad, 0, 0, 631, 83);
    meny.Center = true;
    meny.AutoSize = true;
    placeControl(obrov, &podklad, 282, 17, 81, 72);
    placeControl(oblev, &podklad, 258, 17, 81, 72);
    placeControl(obprav, &podklad, 242, 17, 81, 72);
    placeControl(obhore, &podklad, 250, 15, 81, 72);
    placeControl(obdole, &podklad, 266, 9, 81, 72);
    for (media::TImage* f : {&obrov, &oblev, &obprav, &obhore, &obdole}) {
        f->Center = true;
        f->Visible = false;
    }
    obrov.Visible = true;
    placeControl(zi1, &podklad, 26, 39, 39, 18);
    placeControl(zi2, &podklad, 90, 39, 39, 18);
    placeControl(zi3, &podklad, 58, 56, 39, 17);
    for (media::TImage* z : {&zi1, &zi2, &zi3}) {
        z->Stretch = true;
        z->Transparent = true;
    }
    placeControl(recept, &podklad, 386, 3, 39, 78);
    recept.Transparent = true;

    media::Application().Guard([this] { loadBuiltins(*this); });
}

TMainForm::~TMainForm() {
    DXTimer.SetEnabled(false);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::Loaded() {
    media::TApplication& app = media::Application();
    if (DXDraw.AutoInitialize) app.Guard([&] { DXDraw.Initialize(); });
    app.Guard([&] { DXSound1.Loaded(); });
    DXTimer.Loaded();
    if (OnCreate) OnCreate(this);
}

void TMainForm::FormCreate(TObject*) {
    DXDraw.ColorTable = lod.Items.ColorTable;
    Cursor = media::crNone;
    DXDraw.DefColorTable = lod.Items.ColorTable;
    meny.SetTop(0);
    meny.SetLeft(0);
    podklad.SetLeft(0);
    podklad.SetTop(385);
    podklad.SetWidth(640);
    podklad.SetHeight(78);
    recept.SetLeft(386);
    recept.SetTop(3);
    recept.Visible = false;
    zi1.SetLeft(20);
    zi1.SetTop(39);
    zi2.SetLeft(85);
    zi2.SetTop(39);
    zi3.SetLeft(50);
    zi3.SetTop(64);
    DXDraw.ApplyColorTable();
    // The effects' copies are made once, here, not in the frames that first fire.
    DXWaveList1.Items.PrepareCopies();
    inMenu = false;
    inTitle = true;
    resetGame();
    initWeapons();
    setupScene();
}

void TMainForm::DXDrawInitialize(TObject*) {
    DXDraw.Enabled = true;
    DXDraw.Cursor = media::crNone;
    DXDraw.SetLeft(0);
    DXDraw.SetTop(0);
    DXDraw.SetWidth(640);
    DXDraw.SetHeight(480);
}

void TMainForm::DXDrawFinalize(TObject*) { DXTimer.SetEnabled(false); }

// --- input handlers ------------------------------------------------------------------------

void TMainForm::FormKeyDown(TObject*, int& key, int) {
    if (key != kEscape) return;
    if (paused) {
        paused = false;
        return;
    }
    if (inStory) {
        inStory = false;
        inTitle = true;
        setupScene();
        return;
    }
    if (inTitle) {
        inTitle = false;
        inMenu = true;
        setupScene();
        return;
    }
    if (!inMenu) {
        podklad.Visible = false;
        inMenu = true;
        setupScene();
    }
}

void TMainForm::dxmove(TObject*, int, int x, int y) {
    mouseX = x;
    mouseY = y;
}

void TMainForm::DXklik(TObject*) {
    if (DXDraw.Cursor == media::crNone) return;
    if (!inMenu) return;
    if (mouseX > 0 && mouseX < 100 && mouseY > 0 && mouseY < 100) {
        Close();
        return;
    }
    if (mouseX > 450 && mouseX < 600 && mouseY > 370 && mouseY < 460) {
        inMenu = false;
        podklad.Visible = true;
        DXDraw.Cursor = media::crNone;
        setupScene();
    }
}

// --- the frame tick ------------------------------------------------------------------------

void TMainForm::DXTimerTimer(TObject*, int) {
    ++tick;
    if (!DXDraw.CanDraw()) return;
    DXInput.Update();
    rollFace();
    if (inTitle)
        titleFrame();
    else if (inMenu)
        menuFrame();
    else if (paused)
        return;  // the last presented frame, with the pause text, stays on screen
    else if (inStory)
        storyFrame();
    else
        playFrame();
}

void titleFrame() {
    TMainForm& f = *MainForm;
    f.DXInput.Update();
    backBuffer().Fill(0);
    pozadiItem(0)->Draw(backBuffer(), bgTiles[0].x, bgTiles[0].y, 0);
    if (bgTiles[0].y < 50) bgTiles[0].y += 10;
    if (inputOn(media::isButton4) && bgTiles[0].y >= 50) {
        inTitle = false;
        inMenu = true;
        setupScene();
        return;
    }
    if (bgTiles[0].y == 40) playEffect(Effect::vybuch);
    f.DXDraw.Flip();
}

void menuFrame() {
    TMainForm& f = *MainForm;
    backBuffer().Fill(0);
    pozadiItem(1)->Draw(backBuffer(), bgTiles[0].x, bgTiles[0].y, 0);
    if (bgTiles[0].y < 0) bgTiles[0].y += 10;
    if (bgTiles[0].y == -10) {
        playEffect(Effect::vybuch);
        f.DXDraw.Cursor = media::crHandPoint;
        bgTiles[0].y = 0;
    }
    if (bgTiles[0].y < 0) {
        f.DXDraw.Flip();
        return;
    }
    if (mouseX > 0 && mouseX < 100 && mouseY > 0 && mouseY < 100) pozadiItem(2)->Draw(backBuffer(), 0, 0, 0);
    if (mouseX > 450 && mouseX < 600 && mouseY > 370 && mouseY < 460) pozadiItem(3)->Draw(backBuffer(), 480, 380, 0);
    f.DXDraw.Flip();
}

void storyFrame() {
    TMainForm& f = *MainForm;
    if (!f.DXDraw.CanDraw()) return;
    f.DXInput.Update();
    BgTile& p = bgTiles[lastTile];
    pozadiItem(lastTile)->Draw(backBuffer(), p.x, p.y, 0);
    if (p.x < 0) p.x += 20;
    if (inputOn(media::isButton4) && p.x >= 0) {
        backBuffer().Fill(0);
        lastTile += 1;
        if (lastTile == 5) {
            inStory = false;
            inTitle = true;
            setupScene();
        }
    }
    f.DXDraw.Flip();
}

namespace {

// A rule that ends level k: full lives, the next level, its set-up.
void nextLevel(int k) {
    refillLives();
    level = static_cast<uint8_t>(k + 1);
    setupScene();
}

// Level 7's conditions, checked for every tile after its move.
void level7Checks() {
    if (aliensD[1].dead && po7bPending) {
        MainForm->pozadi.Items.LoadFromFile("pozadi\\po7b.dxg");
        po7bPending = false;
    }
    if (levelClock > 38 && !aliensD[1].dead) destroyShip();
    if (levelClock > 38 && !MainForm->recept.Visible) destroyShip();
}

void finishGame() {
    effect(Effect::hudba).SetLooped(false);
    playEffect(Effect::finish);
    gameFinished = true;
}

// Draws and moves the background tiles; the level's end rule may start the next level.
void scrollBackground() {
    const int n = lastTile + 1;
    auto L = []() -> BgTile& { return bgTiles[lastTile]; };
    for (int i = 0; i < n; ++i) {
        BgTile& p = bgTiles[i];
        pozadiItem(i)->Draw(backBuffer(), p.x, p.y, 0);
        if (level == 1) {
            if (L().x > 0) p.x -= scrollStep;
            if (L().x <= 0) nextLevel(1);
        }
        if (level == 2) {
            if (L().y > 0) p.y -= scrollStep;
            if (L().y <= 0) nextLevel(2);
        }
        if (level == 3) {
            if (L().x > 0) p.x -= scrollStep;
            if (L().x <= 0) nextLevel(3);
        }
        if (level == 4) {
            if (L().x < 0 && bgTiles[1].y == 0) p.x += scrollStep;
            if (L().x >= 0) nextLevel(4);
        }
        if (level == 5) {
            if (L().y < 0) p.y += scrollStep;
            if (L().y >= 0) nextLevel(5);
        }
        if (level == 6) {
            if (L().x > 0) p.x -= scrollStep;
            if (L().x <= 0) nextLevel(6);
        }
        if (level == 7) {
            if (L().x > 0) p.x -= scrollStep;
            level7Checks();
            if (L().x <= 0) nextLevel(7);
        }
        if (level == 8) {
            if (L().y < 0) p.y += scrollStep;
            if (L().y >= 0 && !gameFinished) finishGame();
        }
    }
}

// The alien and level-object routines of the level, in the frame's order.
void stepAliens() {
    switch (level) {
        case 1:
            if (levelClock >= 3 && levelClock <= 80) stepL1GroupA();
            if (levelClock >= 83 && levelClock <= 122) stepClimbers();
            if (levelClock >= 105 && levelClock <= 144) stepL1GroupA();
            break;
        case 2:
            stepL2GroupA();
            stepL2GroupB();
            break;
        case 3:
            stepL3GroupA();
            stepL3GroupB();
            stepL3GroupC();
            stepL3GroupD();
            break;
        case 4: stepL4GroupB(); break;
        case 5:
            stepL5GroupA();
            stepFallingStones();
            break;
        case 6:
            stepL6GroupA();
            stepClimbers();
            break;
        case 7:
            stepL7Chasers();
            stepClimbers();
            break;
        case 8: stepFallingStones(); break;
        default: break;
    }
}

constexpr int kStatusFontSize = 15;

void statusText() {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    c.Font.Size = kStatusFontSize;
    c.Brush.Style = media::TBrushStyle::bsClear;
    c.Font.Color = kYellow;
    const PlayerTexts& t = playerTexts();
    if (paused) c.TextOut(200, 150, t.pause);
    if (gameFinished && level == 8) {
        c.TextOut(200, 150, t.end1);
        c.TextOut(200, 200, t.end2);
    }
    c.Release();
}

bool between(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

}  // namespace

std::string pauseText() { return playerTexts().pause; }

void playFrame() {
    TMainForm& f = *MainForm;
    // The held inputs move the ship, launch the pod, pause and fire.
    if (inputOn(media::isLeft)) shipX -= 16;
    if (inputOn(media::isRight)) shipX += 16;
    if (inputOn(media::isUp)) shipY -= 16;
    if (inputOn(media::isDown)) shipY += 16;
    if (inputOn(media::isButton1)) launchPod();
    if (inputOn(media::isButton2)) paused = true;
    if (inputOn(media::isButton4)) requestFire();

    // The scroll: the level clock advances every 40 scrolled pixels.
    scrollAccum = scrollAccum + scrollSpeed;
    scrollStep = scrollStep + static_cast<int32_t>(scrollAccum);
    if (scrollStep >= 1) clockPixels += scrollStep;
    if (clockPixels >= 40) {
        levelClock += 1;
        clockPixels = 0;
    }

    // The background tiles move on, and the level may end.
    scrollBackground();

    // Level 4 first slides its two upper tiles down.
    if (level == 4) {
        if (bgTiles[0].y < 350) bgTiles[0].y += scrollStep;
        if (bgTiles[1].y < 0) bgTiles[1].y += scrollStep;
    }

    // The level's schedule brings its waves and objects; the aliens move and shoot.
    runLevelSchedule();
    stepAliens();

    // The ship, the star field and the player's weapons (shot groups or beams).
    updateShip();
    drawStars();
    if (weaponLevel >= 1 && weaponLevel <= 5) {
        stepShotGroup(1);
        stepShotGroup(5);
        stepShotGroup(2);
        stepShotGroup(3);
        stepShotGroup(4);
    }
    if (weaponLevel > 5) stepLasers();

    // The status texts (pause, the end of the game).
    statusText();

    // The scroll step is spent, the frame counter moves on and the picture is shown.
    if (scrollStep >= 1) {
        scrollStep = 0;
        scrollAccum = 0.0f;
    }
    frameCounter += 1;
    f.DXDraw.Flip();
}

void prepareStatusText() {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    const int size = c.Font.Size;
    c.Font.Size = kStatusFontSize;
    const PlayerTexts& t = playerTexts();
    for (const std::string* text : {&t.pause, &t.end1, &t.end2}) c.PrepareText(text->c_str());
    c.Font.Size = size;
}

void runLevelSchedule() {
    spawnWindowA = spawnWindowB = spawnWindowC = spawnWindowD = false;
    const int32_t c = levelClock;
    switch (level) {
        case 1:
            spawnWindowA = between(c, 3, 60);
            spawnWindowB = between(c, 83, 112);
            break;
        case 2: spawnWindowB = between(c, 10, 30) || between(c, 40, 60); break;
        case 3:
            spawnWindowD = between(c, 25, 58) || between(c, 90, 103);
            spawnWindowC = between(c, 95, 106);
            break;
        case 4:
            if (c < 4) stepL3GroupA();
            spawnWindowB = between(c, 15, 35);
            break;
        case 5:
            spawnWindowA = levelObject.dead && c < 55;
            spawnWindowB = between(c, 25, 58);
            stepL5Target();
            stepL5Spinner();
            break;
        case 6:
            spawnWindowA = between(c, 3, 49) || between(c, 85, 90);
            spawnWindowB = between(c, 50, 80);
            stepL6Hazard();
            stepL6Machine();
            stepL6Stones();
            stepL6Riser();
            break;
        case 7:
            spawnWindowA = between(c, 75, 122);
            spawnWindowB = between(c, 32, 48);
            stepL7Item();
            stepL7Target();
            stepL7Obstacle();
            break;
        case 8:
            spawnWindowB = between(c, 26, 48);
            stepL8Scenery();
            stepL8Descender();
            break;
        default: break;
    }
}

// --- HUD face ------------------------------------------------------------------------------

void rollFace() {
    faceRoll = Random(60);
    if (paused) return;
    TMainForm& f = *MainForm;
    media::TImage* face = nullptr;
    switch (faceRoll) {
        case 1: face = &f.oblev; break;
        case 20: face = &f.obrov; break;
        case 30: face = &f.obprav; break;
        case 40: face = &f.obhore; break;
        case 50: face = &f.obdole; break;
        default: return;
    }
    hideFaces();
    face->Visible = true;
}

// --- the ship ------------------------------------------------------------------------------

namespace {

void restartAfterDeath() {
    lives -= 1;
    showLives();
    if (lives == 0) {
        if (level > 1) level -= 1;
        refillLives();
    }
    setupScene();
    switch (level) {
        case 3: shipX = 300; shipY = 20; break;
        case 4: shipX = 620; shipY = 20; break;
        case 5: shipX = 240; shipY = 200; break;
        case 6: shipX = 120; shipY = 20; break;
        case 8: shipX = 370; shipY = 140; break;
        default: shipX = 80; shipY = 200; break;  // levels 1, 2 and 7
    }
}

// Two pixels just outside the ship: pure green or lime there destroys it.
void collisionTest() {
    media::TDirectDrawSurfaceCanvas& c = backBuffer().Canvas();
    media::TColor p1 = c.Pixels(shipX - 5, shipY - 2);
    media::TColor p2 = c.Pixels(shipX + 90, shipY);
    if (p1 == kGreen || p1 == kLime || p2 == kGreen || p2 == kLime) destroyShip();
    c.Release();
}

}  // namespace

void updateShip() {
    TMainForm& f = *MainForm;
    if (!shipDying) {
        const int maxX = f.DXDraw.Width() - 100;
        const int maxY = f.DXDraw.Height() - 30;
        if (shipX > maxX) shipX = maxX;
        if (shipX < 20) shipX = 20;
        if (shipY < 20) shipY = 20;
        if (shipY > maxY) shipY = maxY;
    }
    updatePowerUp();
    if (!shipDying) lodImage(0).Draw(backBuffer(), shipX, shipY, 0);
    drawWeaponOverlays();
    if (weaponLevel > 5) updatePod();
    if (shipDying) {
        drawExplosion(deathFrame, shipX, shipY);
        drawExplosion(deathFrame, shipX + 50, shipY);
        drawExplosion(deathFrame, shipX, shipY + 30);
        drawExplosion(deathFrame, shipX + 50, shipY + 30);
        drawExplosion(deathFrame, shipX + 25, shipY + 15);
        deathFrame += 1;
        shipY += 5;
        shipX += 5;
    }
    if (deathFrame == 19)
        shipY = 420;
    else if (shipY > 410)
        restartAfterDeath();
    else
        collisionTest();
}

void updatePowerUp() {
    lodImage(8).DrawRotated(backBuffer(), powerUpX, powerUpY, 40, 40, 0, 0.5, 0.5, frameCounter, 255);
    if (weaponHitTest(powerUpX - 25, powerUpY - 25, 25, 25) && powerUpX < 550) {
        if (weaponLevel < 5) weaponLevel += 1;
        powerUpX = 1000;
    }
    if (weaponLevel == 3) weaponLevel = 4;
    if (weaponLevel < 5) powerUpX -= 1;
    if (powerUpX < -20) powerUpX = 1000;
}

void drawWeaponOverlays() {
    if (shipDying) return;
    if (weaponLevel > 2) {
        lodImage(6).Draw(backBuffer(), shipX + 20, shipY - 10, 0);
        lodImage(6).Draw(backBuffer(), shipX + 20, shipY + 20, 0);
        if (weaponLevel == 5) {
            lodImage(7).Draw(backBuffer(), shipX + 40, shipY - 4, 0);
            lodImage(7).Draw(backBuffer(), shipX + 40, shipY + 16, 0);
        }
    }
    if (weaponLevel >= 6) {
        int item = -1;
        if (laserAnim >= 1 && laserAnim <= 4) item = 12;
        if (laserAnim >= 5 && laserAnim <= 8) item = 13;
        if (laserAnim >= 9 && laserAnim <= 12) item = 14;
        if (laserAnim >= 13 && laserAnim <= 20) item = 15;
        if (item >= 0) lodImage(item).Draw(backBuffer(), shipX - 30, shipY - 22, 0);
        laserAnim += 1;
        if (laserAnim > 20) laserAnim = 1;
    }
}

// --- the force pod ------------------------------------------------------------------------

void launchPod() {
    if (podLaunched || podReturning) return;
    playEffect(Effect::pust);
    podLaunched = true;
    podFlight = 40;
}

namespace {

// Docks the pod on one side; the flags of the other sides are cleared.
void dockPod(bool& side, uint8_t angle) {
    podLaunched = false;
    podReturning = false;
    clearPodDock();
    side = true;
    podAngle = angle;
}

}  // namespace

void updatePod() {
    if (shipDying) return;  // neither moved nor drawn while the ship explodes

    // Docked: the pod rides on its side of the ship.
    if (!podLaunched && !podReturning) {
        if (podFront) {
            podX = shipX + 95;
            podY = shipY - 10;
        }
        if (podRear) {
            podX = shipX - 40;
            podY = shipY - 5;
        }
        if (podTop) {
            podX = shipX + 75;
            podY = shipY - 35;
        }
        if (podBottom) {
            podX = shipX + 75;
            podY = shipY + 20;
        }
    }

    // Flying out, away from the side it was launched from.
    if (podLaunched) {
        if (podFront) {
            podX += 10;
            podFlight -= 1;
        }
        if (podRear) {
            podX -= 10;
            podFlight -= 1;
        }
        if (podTop) {
            podY -= 4;
            podFlight -= 1;
        }
        if (podBottom) {
            podY += 4;
            podFlight -= 1;
        }
    }
    if (podFlight < 2 && podLaunched) {
        podLaunched = false;
        podReturning = true;
    }

    // Homing on the ship's corner: twice as fast from the right, one pixel a frame vertically.
    if (podReturning) {
        if (podX > shipX) podX -= 2;
        if (podX < shipX) podX += 1;
        if (podY > shipY) podY -= 1;
        if (podY < shipY) podY += 1;
    }

    // Capture zones, every one tested; a later match wins. A pod docked at the nose lies in
    // the nose zone and is caught again in every frame, silently.
    if (strictlyBetween(podX, shipX + 90, shipX + 120) && strictlyBetween(podY, shipY - 30, shipY + 30)) {
        if (!podFront) playEffect(Effect::pust);
        dockPod(podFront, 0);
    }
    if (strictlyBetween(podX, shipX - 80, shipX - 40) && strictlyBetween(podY, shipY - 35, shipY + 35)) {
        playEffect(Effect::pust);
        dockPod(podRear, 0);
    }
    if (strictlyBetween(podX, shipX, shipX + 60) && strictlyBetween(podY, shipY - 60, shipY)) {
        playEffect(Effect::pust);
        dockPod(podTop, 64);
    }
    if (strictlyBetween(podX, shipX, shipX + 60) && strictlyBetween(podY, shipY, shipY + 40)) {
        playEffect(Effect::pust);
        dockPod(podBottom, 64);
    }

    // Near an edge of the screen the flight ends, and the next frame starts the homing.
    if (podLaunched && (podX < 5 || podX > 620 || podY < 5 || podY > 370)) podFlight = 1;

    // Four frames of the orb, four frames each, turned about its top-left corner.
    int item = 0;
    if (podAnim >= 1 && podAnim <= 4) item = 1;
    if (podAnim >= 5 && podAnim <= 8) item = 2;
    if (podAnim >= 9 && podAnim <= 12) item = 3;
    if (podAnim >= 13 && podAnim <= 16) item = 4;
    if (item) lodImage(item).DrawRotated(backBuffer(), podX, podY, 40, 40, 0, 0.0, 0.0, podAngle, 255);
    podAnim += 1;
    if (podAnim > 16) podAnim = 1;
}

ShellFacts currentShellFacts() {
    ShellFacts facts;
    if (!MainForm) return facts;
    facts.displayHeight = MainForm->DXDraw.Height();
    facts.receptVisible = MainForm->recept.Visible;
    facts.livesShown[0] = MainForm->zi1.Visible;
    facts.livesShown[1] = MainForm->zi2.Visible;
    facts.livesShown[2] = MainForm->zi3.Visible;
    facts.cursorVisible = MainForm->DXDraw.Cursor != media::crNone;
    facts.hudVisible = MainForm->podklad.Visible;
    const media::TImage* faces[5] = {&MainForm->obrov, &MainForm->oblev, &MainForm->obprav, &MainForm->obhore,
                                     &MainForm->obdole};
    for (int i = 0; i < 5; ++i) facts.facesShown[i] = faces[i]->Visible;
    return facts;
}

}  // namespace game
