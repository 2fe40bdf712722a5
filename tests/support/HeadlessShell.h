// A headless main form with its display and sound open and the game state cleared, with the
// random generator seeded with 7: the set-up the game's tests and the benchmarks share.
#pragma once

#include <memory>

#include "game/Main.h"
#include "platform/Platform.h"

namespace support {

struct HeadlessShell {
    std::unique_ptr<platform::Platform> platform;
    std::unique_ptr<game::TMainForm> form;

    void Open();
    // Open, with the display at its height during a level (380) and the weapons idle.
    void OpenForPlay();
    // Closes the form and the platform and lets the random generator seed itself again.
    void Close();
};

}  // namespace support
