// The main form: the one window that owns every media component, its event handlers, the
// frame tick and the ship.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "media/DXDraw.h"
#include "media/DXImageList.h"
#include "media/DXInput.h"
#include "media/DXSound.h"
#include "media/DXTimer.h"
#include "media/Forms.h"
#include "game/State.h"
#include "game/StateDump.h"

namespace game {

class TMainForm : public media::TDXForm {
public:
    TMainForm();
    ~TMainForm() override;

    // Components, in creation order.
    media::TDXDraw DXDraw;
    media::TDXTimer DXTimer;
    media::TDXInput DXInput;
    media::TDXImageList lod;
    media::TDXImageList vybuch;
    media::TDXImageList pozadi;
    media::TDXImageList alin;
    media::TDXImageList vob;
    media::TDXSound DXSound1;
    media::TDXWaveList DXWaveList1;
    media::TDXWaveList List2;
    media::TPanel podklad;
    media::TImage meny;
    media::TImage obrov, oblev, obprav, obhore, obdole;
    media::TImage zi1, zi2, zi3;
    media::TImage recept;

    // Event handlers.
    void FormCreate(media::TObject* sender);
    void DXDrawInitialize(media::TObject* sender);
    void DXDrawFinalize(media::TObject* sender);
    void FormKeyDown(media::TObject* sender, int& key, int shift);
    void DXklik(media::TObject* sender);
    void dxmove(media::TObject* sender, int shift, int x, int y);
    void DXTimerTimer(media::TObject* sender, int lagCount);

    // What the framework does once the stored components exist: the display and the sound
    // device initialise themselves, the timer starts, and the creation handler runs.
    void Loaded();

    // Hooks of the program's drivers around every frame tick (scripts, screenshots, dumps).
    std::function<void()> BeforeTick;
    std::function<void()> AfterTick;
    // PrintScreen in a real window saves a numbered picture through this.
    std::function<void()> OnPrintScreen;
};

extern TMainForm* MainForm;

// Empty data modules created after the form.
class Tdat1 : public media::TObject {};
class TDataModule1 : public media::TObject {};
extern Tdat1* dat1;
extern TDataModule1* DataModule1;

// Routines of the unit.
void runLevelSchedule();
void rollFace();
void updateShip();
void updatePowerUp();
void drawWeaponOverlays();
void launchPod();
void updatePod();

// The frame scenes (each one frame of its scene).
void titleFrame();
void menuFrame();
void storyFrame();
void playFrame();
// Renders the status texts (pause, end of the game) ahead, so that the frames that show
// them only draw them.
void prepareStatusText();
// The pause text (also shown over the last picture while the window has lost the focus).
std::string pauseText();

// Fills the built-in image and wave lists and the HUD pictures of a new form.
void loadBuiltins(TMainForm& form);

// Facts of the HUD and the display that a state dump reports beside the game's variables.
ShellFacts currentShellFacts();

}  // namespace game
