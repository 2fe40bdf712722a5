// The figures a run gathers about its own speed: the costs of the frame ticks (for the
// timedemo, counted in a histogram of fixed size however long the run), the intervals between the starts of the ticks (for the pacing report) and the
// costs of the scenes' set-ups. The driver feeds them; they know nothing of the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

class TickStats {
public:
    struct SetupCost {
        double wall = 0, cpu = 0;  // seconds
        const char* scene = "";
        uint32_t tick = 0;  // the tick during or after which it ran
    };

    // The histogram of tick costs, made ahead so that keeping them allocates nothing.
    void prepareTickCosts();
    // Counts one tick's cost (seconds) for the percentiles; tickDone does it for a timedemo.
    void keepTickCost(double seconds);
    // The cost (seconds) at or below which the share p (0..1] of the kept ticks lie: exact to the
    // microsecond up to 2 ms, to a thousandth above; 0 when none was kept.
    double tickCostPercentile(double p) const;

    // A scene's set-up starts after tick ticksDone (scene names it: "story", "level 3", ...)
    // and ends; a set-up inside a set-up counts as part of it.
    void setupStarted(const char* scene, uint32_t ticksDone);
    void setupDone();
    const SetupCost& largestSetup() const { return largestSetup_; }
    const SetupCost& dearestSetup() const { return dearestSetup_; }

    // Tick nextTick starts, at this reading of the platform's clock; paced says whether the
    // intervals are measured.
    void tickStarted(uint32_t nextTick, uint32_t clockMs, bool paced);
    // Tick tick has ended; keepCost keeps its cost for the percentiles.
    void tickDone(uint32_t tick, bool keepCost);

    // Ticks, seconds, ticks per second (from the first tick to the last), the shortest and
    // longest interval between the starts of two ticks (on the platform's millisecond clock
    // and on a fine clock), and the processor time of the whole process as a share of one core.
    std::string pacingReport() const;
    // Frames (ticks done), seconds, frames per second, median and 99th-percentile tick cost,
    // and the largest single tick with its number.
    std::string timedemoReport(uint32_t ticksDone) const;

private:
    double tickStart_ = -1;
    double runStart_ = -1;
    double runEnd_ = -1;
    // The kept tick costs by whole microseconds: one bucket for each below 2048, then 1024
    // buckets for each doubling (a thousandth of the cost wide). Empty until a cost is kept.
    static constexpr int kExactMicroseconds = 2048;
    static constexpr int kBucketsPerDoubling = kExactMicroseconds / 2;
    static size_t costBucket(uint64_t microseconds);
    static double bucketMicroseconds(size_t bucket);
    std::vector<uint64_t> costCounts_;
    uint64_t keptCosts_ = 0;
    // Pacing: the starts of the first and the last tick, the extreme intervals.
    double firstTickAt_ = -1, lastTickAt_ = -1, cpuAtFirstTick_ = 0;
    double shortestInterval_ = 1e9, longestInterval_ = 0;
    uint32_t lastTickMs_ = 0;
    uint32_t shortestIntervalMs_ = 0xFFFFFFFFu, longestIntervalMs_ = 0, longestIntervalTick_ = 0;
    uint32_t pacedTicks_ = 0;
    uint32_t lateIntervals_ = 0;  // longer than 27 ms: a stall of the machine or of the program
    SetupCost largestSetup_;   // the longest by the clock
    SetupCost dearestSetup_;   // the most processor time
    SetupCost currentSetup_;
    int setupDepth_ = 0;
    double largestCost_ = 0;         // the dearest tick so far, and its number
    uint32_t largestTick_ = 0;
};

}  // namespace app
