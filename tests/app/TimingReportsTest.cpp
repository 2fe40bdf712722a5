// What the driver reports about time: the timedemo's dearest tick and set-up, and the pacing
// of the ticks (rate, shortest and longest interval, stalls) that --pacing prints.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "app/Driver.h"
#include "app/Options.h"
#include "app/TickStats.h"

using namespace app;

namespace {

std::string tempFile(const char* name) { return "/tmp/orbita-timing-" + std::to_string(getpid()) + "-" + name; }

}  // namespace

TEST(TimingReports, TheTimedemoNamesItsDearestTickAndSetUp) {
    const std::string path = tempFile("demo.txt");
    std::ofstream(path) << "@1 hold Space\n@6 release\n";
    Options o;
    o.timedemoFile = path;
    Driver d(o);
    d.start();
    while (!d.finished() && d.tick() < 100) {
        d.loopPass();
        d.tickStarted();
        if (d.tick() == 2) {  // the third tick runs a set-up, and is the dearest
            d.setupStarted("level 3");
            d.setupStarted("inner");  // a set-up within it counts as part of it
            // Long enough that no tick slowed by a busy machine outweighs it.
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            d.setupDone();
            d.setupDone();
        }
        d.tickDone();
    }
    const std::string r = d.timedemoReport();
    EXPECT_NE(r.find(", largest "), std::string::npos) << r;
    EXPECT_NE(r.find(" ms at tick 3, largest set-up "), std::string::npos) << r;
    EXPECT_NE(r.find("level 3 at tick 2)"), std::string::npos) << r;
    EXPECT_EQ(d.largestSetup().scene, std::string("level 3"));
    EXPECT_GE(d.largestSetup().wall, 0.149);
    EXPECT_LT(d.largestSetup().cpu, d.largestSetup().wall) << "a sleep takes no processor time";
    // An unmatched end is ignored.
    d.setupDone();
    std::remove(path.c_str());
}

TEST(TimingReports, PacingCountsTheIntervalsOnTheTimersClock) {
    Options o = parseOptions({"--headless", "--pacing"});
    ASSERT_TRUE(o.pacing);
    Driver d(o);
    d.start();
    EXPECT_EQ(d.pacingReport(), "pacing: 0 ticks, too few to measure");
    const uint32_t starts[] = {1000, 1025, 1050, 1075, 1130, 1155};
    for (uint32_t t : starts) {
        d.tickStarted(t);
        d.tickDone();
    }
    const std::string r = d.pacingReport();
    EXPECT_EQ(r.rfind("pacing: 6 ticks in ", 0), 0u) << r;
    EXPECT_NE(r.find("intervals 25..55 ms (the longest before tick 5; "), std::string::npos) << r;
    EXPECT_NE(r.find(", 1 over 27 ms, "), std::string::npos) << r;
    EXPECT_NE(r.find("% of one core"), std::string::npos) << r;
    // Without the option nothing is kept.
    Driver quiet(parseOptions({"--headless"}));
    quiet.start();
    for (uint32_t t : starts) quiet.tickStarted(t);
    EXPECT_EQ(quiet.pacingReport(), "pacing: 0 ticks, too few to measure");
    EXPECT_THROW(parseOptions({"--pacing=1"}), OptionError);
}

TEST(TimingReports, TickCostPercentilesComeFromAHistogramOfFixedSize) {
    TickStats s;
    EXPECT_EQ(s.tickCostPercentile(0.5), 0.0);
    // 1..1000 microseconds, in a shuffled order: exact, as a sorted list would give them.
    for (int i = 0; i < 1000; ++i) s.keepTickCost(((i * 397) % 1000 + 1) * 1e-6);
    EXPECT_DOUBLE_EQ(s.tickCostPercentile(0.5) * 1e6, 500.0);
    EXPECT_DOUBLE_EQ(s.tickCostPercentile(0.99) * 1e6, 990.0);
    EXPECT_DOUBLE_EQ(s.tickCostPercentile(1.0) * 1e6, 1000.0);
    EXPECT_DOUBLE_EQ(s.tickCostPercentile(0.0001) * 1e6, 1.0);
    // Long ticks keep three significant figures, however long.
    TickStats slow;
    for (double ms : {2.5, 17.0, 123.456, 4000.0, 86400e3}) {
        slow.keepTickCost(ms * 1e-3);
        EXPECT_NEAR(slow.tickCostPercentile(1.0) * 1e3, ms, ms * 1e-3) << ms;
    }
    EXPECT_NEAR(slow.tickCostPercentile(0.5) * 1e3, 123.456, 0.124);
    // A negative cost (a clock stepped back) counts as nothing; a huge one as the largest.
    TickStats odd;
    odd.keepTickCost(-1.0);
    odd.keepTickCost(1e300);
    EXPECT_EQ(odd.tickCostPercentile(0.5), 0.0);
    EXPECT_GT(odd.tickCostPercentile(1.0), 1e12);
}
