#include "Harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <sstream>

#include "TestData.h"
#include "platform/Platform.h"
#include "platform/Png.h"

namespace scenario {

namespace {

// Every directory made here is removed when the test program ends.
struct TempDirectories {
    std::vector<std::string> dirs;
    ~TempDirectories() {
        std::error_code ec;
        for (const auto& d : dirs) std::filesystem::remove_all(d, ec);
    }
};
TempDirectories& temps() {
    static TempDirectories t;
    return t;
}

std::string makeTemp(const char* stem) {
    std::string pattern = std::string("/tmp/") + stem + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) throw std::runtime_error("cannot make a temporary directory");
    temps().dirs.push_back(buf.data());
    return buf.data();
}

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

}  // namespace

std::string dataDirectory(int deadlyLevel) {
    static std::map<int, std::string> dirs;
    auto it = dirs.find(deadlyLevel);
    if (it != dirs.end()) return it->second;
    std::string dir = makeTemp("orbita-data");
    testdata::writeDataDirectory(dir, deadlyLevel);
    dirs[deadlyLevel] = dir;
    return dir;
}

std::string scratchDirectory() { return makeTemp("orbita-run"); }

const testjson::Value& dumpAt(const Result& r, uint32_t tick) {
    auto it = r.dumps.find(tick);
    if (it == r.dumps.end()) throw std::runtime_error("no dump for tick " + std::to_string(tick) + "; stderr: " + r.err);
    return it->second;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool loadPicture(const std::string& path, int& width, int& height, std::vector<uint32_t>& rgba) {
    return platform::loadPng(path, width, height, rgba);
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

Result run(const std::string& dataDir, const std::vector<std::string>& args, const std::string& script,
           uint32_t frames, const std::vector<uint32_t>& dumpTicks) {
    Result r;
    std::string scratch = scratchDirectory();
    std::string cmd = "cd " + quote(dataDir) + " && " + quote(std::string(ORBITA_BINARY_DIR) + "/orbita") +
                      " --headless --seed 7 --frames " + std::to_string(frames);
    if (!script.empty()) {
        writeFile(scratch + "/script.txt", script);
        cmd += " --play " + quote(scratch + "/script.txt");
    }
    for (const auto& a : args) cmd += " " + quote(a);
    for (uint32_t t : dumpTicks)
        cmd += " --dump-state " + quote(std::to_string(t) + ":" + scratch + "/dump-" + std::to_string(t) + ".json");
    cmd += " >" + quote(scratch + "/out.txt") + " 2>" + quote(scratch + "/err.txt");
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(scratch + "/out.txt");
    r.err = readFile(scratch + "/err.txt");
    for (uint32_t t : dumpTicks) {
        try {
            r.dumps[t] = testjson::parseFile(scratch + "/dump-" + std::to_string(t) + ".json");
        } catch (...) {
        }
    }
    return r;
}

}  // namespace scenario
