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
    if (keepCost) tickCosts_.push_back(cost);
    if (cost > largestCost_) {
        largestCost_ = cost;
        largestTick_ = tick;
    }
    runEnd_ = t;
    tickStart_ = -1;
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
    std::vector<double> c = tickCosts_;
    std::sort(c.begin(), c.end());
    auto percentile = [&](double p) {
        if (c.empty()) return 0.0;
        size_t i = static_cast<size_t>(std::ceil(p * static_cast<double>(c.size()))) ;
        i = i == 0 ? 0 : i - 1;
        return c[std::min(i, c.size() - 1)];
    };
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
