// Runs the whole program headless in a data directory and reads back its state dumps.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Json.h"

namespace scenario {

struct Result {
    int status = -1;
    std::string err;                               // standard error
    std::string out;                               // standard output
    std::map<uint32_t, testjson::Value> dumps;     // by tick
};

// A fresh data directory (written once per variant) for the given deadly level.
std::string dataDirectory(int deadlyLevel = 0);
// A fresh scratch directory for one test's files.
std::string scratchDirectory();

// Runs `orbita --headless --seed 7 ARGS` in dataDir with the script (if not empty) played,
// for `frames` ticks, dumping the state after each tick in dumpTicks.
Result run(const std::string& dataDir, const std::vector<std::string>& args, const std::string& script,
           uint32_t frames, const std::vector<uint32_t>& dumpTicks);

// The dump after the tick; a missing one throws, naming the tick and the program's errors.
const testjson::Value& dumpAt(const Result& r, uint32_t tick);

std::string readFile(const std::string& path);
// A PNG written by the program, as 0xAABBGGRR pixels.
bool loadPicture(const std::string& path, int& width, int& height, std::vector<uint32_t>& rgba);
void writeFile(const std::string& path, const std::string& text);

}  // namespace scenario
