// Checks the run-time data directory: every collection file the game can load, and
// whether it holds the items the game addresses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace app {

struct DataFileRule {
    std::string path;  // as the game writes it, with '\' separators
    bool isWave = false;
    int items = 0;  // the game addresses items 0 .. items - 1
};

// Every collection file the game can ask for, with the items it needs.
const std::vector<DataFileRule>& dataFileRules();

// Loads every file below the current directory; reports each one that is missing, cannot
// be read, or holds fewer items than the game addresses. True when all are fine.
bool verifyData(std::ostream& report);

}  // namespace app
