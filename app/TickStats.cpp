#include "app/TickStats.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace app {

namespace {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Processor time of this thread (or of the whole process), in seconds.
double cpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double cpuNow() { return cpuSeconds(CLOCK_THREAD_CPUTIME_ID); }

}  // namespace

void TickStats::setupStarted(const char* scene, uint32_t ticksDone) {
    if (setupDepth_++ > 0) return;  // a set-up inside a set-up counts as part of it
    currentSetup_.scene = scene;
    currentSetup_.tick = ticksDone;
    currentSetup_.wall = now();
    currentSetup_.cpu = cpuNow();
}

void TickStats::setupDone() {
    if (setupDepth_ == 0 || --setupDepth_ > 0) return;
    const double wall = now() - currentSetup_.wall, cpu = cpuNow() - currentSetup_.cpu;
    if (wall > largestSetup_.wall) {
        largestSetup_ = currentSetup_;
        largestSetup_.wall = wall;
        largestSetup_.cpu = cpu;
    }
    if (cpu > dearestSetup_.cpu) {
        dearestSetup_ = currentSetup_;
        dearestSetup_.wall = wall;
        dearestSetup_.cpu = cpu;
    }
}

void TickStats::tickStarted(uint32_t nextTick, uint32_t clockMs, bool paced) {
    tickStart_ = now();
    if (runStart_ < 0) runStart_ = tickStart_;
    if (paced) {
        const uint32_t ms = clockMs;
        if (firstTickAt_ < 0) {
            firstTickAt_ = tickStart_;
            cpuAtFirstTick_ = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        } else {
            const double gap = tickStart_ - lastTickAt_;
            shortestInterval_ = std::min(shortestInterval_, gap);
            longestInterval_ = std::max(longestInterval_, gap);
            shortestIntervalMs_ = std::min(shortestIntervalMs_, ms - lastTickMs_);
            if (ms - lastTickMs_ > longestIntervalMs_) {
                longestIntervalMs_ = ms - lastTickMs_;
                longestIntervalTick_ = nextTick;
            }
            if (ms - lastTickMs_ > 27) ++lateIntervals_;
        }
        lastTickAt_ = tickStart_;
        lastTickMs_ = ms;
        ++pacedTicks_;
    }
}

void TickStats::tickDone(uint32_t tick, bool keepCost) {
    if (tickStart_ < 0) return;
    double t = now();
    const double cost = t - tickStart_;
    if (keepCost) keepTickCost(cost);
    if (cost > largestCost_) {
        largestCost_ = cost;
        largestTick_ = tick;
    }
    runEnd_ = t;
    tickStart_ = -1;
}

size_t TickStats::costBucket(uint64_t us) {
    if (us < kExactMicroseconds) return static_cast<size_t>(us);
    int bits = 0;
    for (uint64_t v = us; v; v >>= 1) ++bits;
    const int shift = bits - 11;  // the top eleven bits are kept: 1024..2047
    return kExactMicroseconds + size_t(shift - 1) * kBucketsPerDoubling + size_t((us >> shift) - kBucketsPerDoubling);
}

double TickStats::bucketMicroseconds(size_t bucket) {
    if (bucket < size_t(kExactMicroseconds)) return static_cast<double>(bucket);
    const size_t above = bucket - kExactMicroseconds;
    const int shift = static_cast<int>(above / kBucketsPerDoubling) + 1;
    const double low = std::ldexp(static_cast<double>(kBucketsPerDoubling + above % kBucketsPerDoubling), shift);
    return low + std::ldexp(1.0, shift) / 2;  // the middle of the bucket
}

void TickStats::prepareTickCosts() {
    if (costCounts_.empty()) costCounts_.assign(costBucket(UINT64_MAX) + 1, 0);
}

void TickStats::keepTickCost(double seconds) {
    prepareTickCosts();
    const double us = std::max(0.0, seconds) * 1e6 + 0.5;
    const uint64_t whole = us >= 1.8e19 ? UINT64_MAX : static_cast<uint64_t>(us);
    ++costCounts_[costBucket(whole)];
    ++keptCosts_;
}

double TickStats::tickCostPercentile(double p) const {
    if (keptCosts_ == 0) return 0.0;
    // The rank-th smallest of the kept costs (counted from 1), as a sorted list would give it.
    uint64_t rank = static_cast<uint64_t>(std::ceil(p * static_cast<double>(keptCosts_)));
    rank = std::min<uint64_t>(std::max<uint64_t>(rank, 1), keptCosts_);
    uint64_t seen = 0;
    for (size_t b = 0; b < costCounts_.size(); ++b) {
        seen += costCounts_[b];
        if (seen >= rank) return bucketMicroseconds(b) * 1e-6;
    }
    return bucketMicroseconds(costCounts_.size() - 1) * 1e-6;
}

std::string TickStats::pacingReport() const {
    char buf[320];
    if (pacedTicks_ < 2) {
        std::snprintf(buf, sizeof buf, "pacing: %u ticks, too few to measure", pacedTicks_);
        return buf;
    }
    const double span = lastTickAt_ - firstTickAt_;
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuAtFirstTick_;
    const double wall = now() - firstTickAt_;
    std::snprintf(buf, sizeof buf,
                  "pacing: %u ticks in %.3f seconds, %.3f ticks per second, intervals %u..%u ms "
                  "(the longest before tick %u; %.3f..%.3f ms on a fine clock), %u over 27 ms, "
                  "processor %.1f %% of one core",
                  pacedTicks_, span, (pacedTicks_ - 1) / span, shortestIntervalMs_, longestIntervalMs_,
                  longestIntervalTick_,
                  shortestInterval_ * 1000.0, longestInterval_ * 1000.0, lateIntervals_,
                  wall > 0 ? 100.0 * cpu / wall : 0.0);
    return buf;
}

std::string TickStats::timedemoReport(uint32_t ticksDone) const {
    auto percentile = [this](double p) { return tickCostPercentile(p); };
    double seconds = runStart_ >= 0 && runEnd_ >= runStart_ ? runEnd_ - runStart_ : 0.0;
    char buf[400];
    std::snprintf(buf, sizeof buf,
                  "%u frames, %.3f seconds, %.1f frames per second, median %.3f ms, 99th percentile %.3f ms, "
                  "largest %.3f ms at tick %u, largest set-up %.3f ms (%.3f ms CPU, %s at tick %u), "
                  "most processor time in a set-up %.3f ms (%s)",
                  ticksDone, seconds, seconds > 0 ? ticksDone / seconds : 0.0, percentile(0.5) * 1000.0,
                  percentile(0.99) * 1000.0, largestCost_ * 1000.0, largestTick_, largestSetup_.wall * 1000.0,
                  largestSetup_.cpu * 1000.0, *largestSetup_.scene ? largestSetup_.scene : "none",
                  largestSetup_.tick, dearestSetup_.cpu * 1000.0,
                  *dearestSetup_.scene ? dearestSetup_.scene : "none");
    return buf;
}

}  // namespace app
