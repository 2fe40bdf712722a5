// One headless main form with the built-in pictures and sounds, opened for play, shared by
// the benchmarks that need the game's own pictures and HUD.
#pragma once

#include "tests/support/HeadlessShell.h"

namespace bench {

struct Game : support::HeadlessShell {
    Game() { OpenForPlay(); }
};

// The one instance (made on first use).
inline Game& benchGame() {
    static Game g;
    return g;
}

}  // namespace bench
