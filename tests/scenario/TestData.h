// A small data directory for driving the whole program in tests: every collection file the
// game loads, with plain pictures of the expected sizes (no deadly colours) and short waves.
#pragma once

#include <string>

namespace testdata {

// Writes pozadi/, alin/, vob/ and zvuky/ below dir (created if missing). The tiles of
// deadlyLevel (1..8, 0 for none) are pure green scenery, which destroys the ship at once.
void writeDataDirectory(const std::string& dir, int deadlyLevel = 0);

}  // namespace testdata
