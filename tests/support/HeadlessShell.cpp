#include "tests/support/HeadlessShell.h"

#include "game/State.h"
#include "game/zbrane.h"
#include "media/Forms.h"

namespace support {

void HeadlessShell::Open() {
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

void HeadlessShell::OpenForPlay() {
    Open();
    form->DXDraw.SetHeight(380);
    game::initWeapons();
}

void HeadlessShell::Close() {
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

}  // namespace support
