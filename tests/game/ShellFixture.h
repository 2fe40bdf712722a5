// A headless main form with its display and sound open and the game state cleared, with the
// random generator seeded with 7, for the tests of the game's routines.
#pragma once

#include <memory>

#include "game/Main.h"
#include "game/State.h"
#include "media/Forms.h"
#include "platform/Platform.h"

struct HeadlessShell {
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<game::TMainForm> form;

    void Open() {
        platform = platform::createHeadlessPlatform(25);
        platform::setCurrent(platform.get());
        media::Application().ResetForTests();
        form = std::make_unique<game::TMainForm>();
        media::Application().SetMainForm(form.get());
        form->DXDraw.WindowOptions.fullScreen = false;
        form->DXDraw.Initialize();
        form->DXSound1.Loaded();
        game::clearAllState();
        game::setFixedSeed(true, 7);
        game::Randomize();
    }
    void Close() {
        if (form) {
            form->DXTimer.SetEnabled(false);
            form->DXDraw.Finalize();
        }
        media::Application().ResetForTests();
        form.reset();
        platform::setCurrent(nullptr);
        platform.reset();
        game::setFixedSeed(false, 0);
    }
};
