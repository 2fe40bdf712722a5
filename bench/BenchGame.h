// One headless main form with the built-in pictures and sounds, shared by the benchmarks
// that need the game's own pictures and HUD.
#pragma once

#include <memory>

#include "game/Main.h"
#include "game/State.h"
#include "game/zbrane.h"
#include "media/Forms.h"
#include "platform/Platform.h"

namespace bench {

struct Game {
    std::unique_ptr<platform::Platform> platform = platform::createHeadlessPlatform(25);
    std::unique_ptr<game::TMainForm> form;

    Game() {
        platform::setCurrent(platform.get());
        media::Application().ResetForTests();
        form = std::make_unique<game::TMainForm>();
        media::Application().SetMainForm(form.get());
        form->DXDraw.WindowOptions.fullScreen = false;
        form->DXDraw.Initialize();
        form->DXSound1.Loaded();
        form->DXDraw.SetHeight(380);
        game::clearAllState();
        game::setFixedSeed(true, 7);
        game::Randomize();
        game::initWeapons();
    }
};

// The one instance (made on first use).
inline Game& benchGame() {
    static Game g;
    return g;
}

}  // namespace bench
