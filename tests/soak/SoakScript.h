// Random input for the soak: a seeded generator writes an input script of held keys,
// pauses, menu round trips, pod launches and clicks that the game plays with --play.
//
// The generator cannot see the game, so every episode leaves it in play again whatever
// happened: an Escape is always followed, once the menu picture has had time to arrive,
// by a click in the start box (ignored while the pointer is hidden, that is in play).
// Clicks and pointer moves never touch the quit box, except the closing click of a
// segment that is meant to end the program there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

// The menu's boxes in display coordinates (exclusive bounds, as the click test uses them).
constexpr int kQuitLeft = 0, kQuitTop = 0, kQuitRight = 100, kQuitBottom = 100;
constexpr int kStartLeft = 450, kStartTop = 370, kStartRight = 600, kStartBottom = 460;
// Ticks the menu picture needs to drop into place before clicks count (37), with a margin.
constexpr uint32_t kMenuArrival = 45;

// The generator's own sequence (splitmix64), the same on every machine.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // Uniform in lo..hi, both included.
    uint32_t between(uint32_t lo, uint32_t hi);
    bool chance(uint32_t percent) { return between(1, 100) <= percent; }

private:
    uint64_t state_;
};

struct SoakSegment {
    uint64_t seed = 1;         // the generator's seed
    uint32_t gameSeed = 1;     // the game's seed, in the script's first line
    uint32_t ticks = 10000;    // events stay within ticks 1..ticks
    int warp = 0;              // 0: start from the story and walk through title and menu
    bool god = true;
    uint32_t roundTripsUntil = 0xFFFFFFFFu;  // menu round trips only before this tick
    bool quitAtEnd = false;    // the last episode leaves for the menu and clicks the quit box
};

// What a script holds, for the tests and the soak's log.
struct SoakCounts {
    uint32_t holds = 0, releases = 0, moves = 0, clicks = 0;
    uint32_t pauses = 0, roundTrips = 0, tabs = 0, escapes = 0, enters = 0;
    uint32_t quitTick = 0;  // tick of the closing click in the quit box (0: none)
    std::vector<uint32_t> restarts;  // ticks of the start-box clicks that end a menu round trip
};

// The script text for one segment (with its orbita-script first line).
std::string soakScript(const SoakSegment& segment, SoakCounts* counts = nullptr);

// The resident size of a running program at a moment (wall-clock seconds).
struct Sample {
    double seconds;
    double rssMb;
};

// Memory is flat when the resident sizes taken at the same moment of a level (shortly after
// each restart from the menu, with the same pictures loaded) do not climb: the least of the
// later half of them stays within slackMb of the least of the earlier half. What is held at
// that moment also depends on what is under way then (the soak sees two or three sizes that
// come and go), and memory that is kept for good raises the least of them. The first is left out
// (caches and the sanitizer's quarantine still filling). early and late are the two least
// sizes. Fewer than four sizes cannot be judged: false, with early = late = 0.
bool restartsFlat(const std::vector<double>& rssMb, double slackMb, double& early, double& late);

// The first line of a sanitizer's report (or of a fatal end) in a program's standard error,
// with what follows it; empty when there is none.
std::string sanitizerReport(const std::string& err);

}  // namespace soak
