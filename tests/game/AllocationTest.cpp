// The game allocates nothing while it plays: once a scene is set up, no tick of any level, of
// the pause, of the menu or of the end text asks the heap for memory, neither while a script
// is replayed (with its state hashes checked) nor while one is recorded. The whole program
// runs in this process with global operator new and malloc replaced by counting ones.
#include <execinfo.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "app/Program.h"
#include "game/Main.h"
#include "game/State.h"
#include "game/data1.h"

#ifdef ORBITA_SANITIZED
// The sanitizers own malloc and operator new; counting ones cannot stand in for them there.
TEST(Allocation, CountedInThePlainBuildOnly) { GTEST_SKIP() << "the sanitizers replace the allocator"; }
#else

namespace {

// Counting is on only while a program run is under way; set-up ticks are excused.
std::atomic<bool> g_counting{false};
thread_local bool g_inHook = false;
uint32_t g_firstTick = 0;  // ticks from this one on are checked
uint32_t g_lastTick = 0;   // ... up to and without this one (the run's end)
std::atomic<uint64_t> g_strayAllocations{0};
uint32_t g_firstStrayTick = 0;
constexpr int kTraceDepth = 24;
void* g_trace[kTraceDepth];
int g_traceSize = 0;

void noteAllocation() {
    if (!g_counting.load(std::memory_order_relaxed) || g_inHook) return;
    const uint32_t t = game::tick;
    if (t < g_firstTick || t >= g_lastTick || t == game::lastSetupTick) return;
    g_inHook = true;
    const uint64_t n = g_strayAllocations.fetch_add(1);
    if (n == 0) {
        g_firstStrayTick = t;
        g_traceSize = backtrace(g_trace, kTraceDepth);
    }
    // ORBITA_ALLOCATION_TRACE=FD writes the call chains of the first few to that descriptor.
    static const char* traceFd = std::getenv("ORBITA_ALLOCATION_TRACE");
    if (traceFd && n < 3000) {
        void* frames[kTraceDepth];
        const int k = backtrace(frames, kTraceDepth);
        const int fd = std::atoi(traceFd);
        dprintf(fd, "tick %u\n", t);
        backtrace_symbols_fd(frames, k, fd);
    }
    g_inHook = false;
}

}  // namespace

void* operator new(std::size_t n) {
    noteAllocation();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    noteAllocation();
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

// malloc itself, for C code and the C++ library's own buffers: counted, then passed on.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* malloc(size_t n) {
    noteAllocation();
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
    noteAllocation();
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
    noteAllocation();
    return __libc_realloc(p, n);
}

namespace {

std::string dataDir() { return std::string(ORBITA_BINARY_DIR) + "/data"; }

std::string tempPath(const char* name) {
    return "/tmp/orbita-alloc-" + std::to_string(getpid()) + "-" + name;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct RunResult {
    int status = -1;
    uint64_t stray = 0;
    uint32_t firstStrayTick = 0;
    uint32_t ticks = 0;  // the game's tick count at the end
    std::string trace;
};

// Runs the program with these arguments for the given number of ticks; allocations are
// checked from tick `from` on (tick 1 may still finish the start-up scene's work).
RunResult runCounted(std::vector<std::string> args, uint32_t frames, uint32_t from = 2) {
    args.insert(args.begin(), "orbita");
    args.push_back("--frames");
    args.push_back(std::to_string(frames));
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) cwd[0] = 0;
    if (chdir(dataDir().c_str()) != 0) ADD_FAILURE() << "no data directory " << dataDir();
    g_firstTick = from;
    g_lastTick = frames;
    g_strayAllocations = 0;
    g_traceSize = 0;
    game::clearAllState();  // as a fresh process starts
    game::lastSetupTick = 0;
    g_counting = true;
    RunResult r;
    r.status = app::runProgram(static_cast<int>(argv.size()) - 1, argv.data());
    g_counting = false;
    r.ticks = game::tick;
    if (cwd[0] && chdir(cwd) != 0) ADD_FAILURE() << "cannot go back to " << cwd;
    r.stray = g_strayAllocations;
    r.firstStrayTick = g_firstStrayTick;
    if (g_traceSize > 0) {
        char** names = backtrace_symbols(g_trace, g_traceSize);
        for (int i = 0; names && i < g_traceSize; ++i) r.trace += std::string("  ") + names[i] + "\n";
        std::free(names);
    }
    return r;
}

// Fire held throughout; the ship swept up and down and across; the pause entered and left;
// the pod launched. Every level is entered at once with --warp.
std::string levelScript(int level, uint32_t ticks) {
    std::string s = "orbita-script 1 seed=7 warp=" + std::to_string(level) + " god=1\n";
    const char* moves[] = {"Up", "Right", "Down", "Left", "Up Left", "Down Right"};
    for (uint32_t t = 1, i = 0; t < ticks; t += 37, ++i) {
        if (t >= 400 && t < 520) {
            if (t < 437) s += "@400 hold Enter\n@401 release\n@480 hold Escape\n@481 release\n";
            continue;
        }
        s += "@" + std::to_string(t) + " hold Space " + moves[i % 6] + (i % 5 == 0 ? " Tab" : "") + "\n";
    }
    s += "@" + std::to_string(ticks) + " hold Space\n";
    return s;
}

void expectNone(const RunResult& r, const std::string& what, uint32_t ticks) {
    EXPECT_EQ(r.status, 0) << what;
    EXPECT_EQ(r.ticks, ticks) << what << " ended early";
    EXPECT_EQ(r.stray, 0u) << what << ": first at tick " << r.firstStrayTick << ", from\n" << r.trace;
}

}  // namespace

TEST(Allocation, NoTickOfAnyLevelAllocatesWhileAScriptPlaysOrRecords) {
    for (int level = 1; level <= 8; ++level) {
        // Level 8 runs on past its end, into the end text.
        const uint32_t ticks = level == 8 ? 3000 : 2000;
        const std::string script = tempPath("play.txt"), recording = tempPath("record.txt");
        writeText(script, levelScript(level, ticks));
        expectNone(runCounted({"--headless", "--play", script, "--record", recording}, ticks),
                   "level " + std::to_string(level) + " played and recorded", ticks);
        // The recording carries the state hashes, which the replay checks every 40th tick.
        expectNone(runCounted({"--headless", "--play", recording}, ticks),
                   "level " + std::to_string(level) + " replayed with its hashes", ticks);
        std::remove(script.c_str());
        std::remove(recording.c_str());
    }
}

TEST(Allocation, TheWholeGameFromTheStoryToTheEndTextAllocatesNothingBetweenSetUps) {
    // The input of the kept replay (its hashes belong to the scenario tests' data): story
    // and title skipped, the menu, every level, the end text; then a menu round trip with
    // the pointer over both boxes.
    std::ifstream in(std::string(ORBITA_SOURCE_DIR) + "/tests/scenario/replays/whole-game.txt");
    std::string line, input;
    while (std::getline(in, line))
        if (line.find(" hash ") == std::string::npos) input += line + "\n";
    const std::string replay = tempPath("whole.txt");
    writeText(replay, input + "@36000 hold Space\n");
    expectNone(runCounted({"--headless", "--play", replay}, 36000), "the whole game replayed", 36000);
    std::remove(replay.c_str());

    const std::string script = tempPath("menu.txt");
    writeText(script,
              "orbita-script 1 seed=7\n"
              "@2 hold Space\n@3 release\n@40 hold Space\n@41 release\n@80 hold Space\n@81 release\n"
              "@120 hold Space\n@121 release\n@160 hold Space\n@161 release\n@200 hold Space\n@201 release\n"
              "@260 move 50 50\n@280 move 500 400\n@300 click\n@340 hold Space Up\n@600 hold Escape\n"
              "@601 release\n@640 move 40 40\n@660 move 520 420\n@700 click\n@760 hold Space Down\n"
              "@1200 hold Space\n");
    expectNone(runCounted({"--headless", "--play", script}, 1200), "story, title and menu", 1200);
    std::remove(script.c_str());
}

#endif  // ORBITA_SANITIZED
