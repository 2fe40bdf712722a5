// The soak: plays random input (SoakScript.h) through the whole game and through every level,
// in segments, each a headless run of the program with --play. Fails on a sanitizer report,
// an exit status other than 0, a segment that does not reach its level, or memory that keeps
// growing. The sanitizer build logs the bytes it holds on the heap every 20 ms (ORBITA_HEAP_LOG,
// platform/sanitize/HeapLog.cpp); each menu round trip's restart of the level is followed by a
// state dump, whose file time says when the game was there, so the heap held at the restarts of
// one level (the same pictures loaded) can be compared: the later ones may not exceed the
// earlier ones by more than 1 MiB (restartsFlat). The resident size, read from /proc every
// 25 ms, is reported too; the allocator keeps freed memory and the quarantine holds it for a
// while, so it is no measure of what the program keeps. The whole-game segment, whose pictures
// change from level to level, is not judged by size.
//
//   orbita-soak --program PATH --work DIR [--ticks N] [--seed S] [--heap-slack-kb K] [--only SEGMENT]
//
// Each segment leaves its script, standard error, state dumps and resident sizes (seconds and
// MiB, one sample a line) in DIR as segmentN.*.
//
// The first segment starts from the story with god mode on and must play through to the end
// text of level 8 (menu round trips only in its first ticks, since each one restarts the
// level); the other eight start in levels 1 to 8 with the script header's warp key, with
// pauses and menu round trips all along. God mode is off in levels 1 and 2, where the ship
// dies and restarts (and from level 2 steps back to level 1 when its lives are gone), on in
// the others, so that each of them stays in its level. The last segment ends by clicking the
// quit box.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <time.h>
#include <vector>

#include "SoakScript.h"

namespace {

struct Options {
    std::string program;
    std::string work;
    uint64_t ticks = 200000;
    uint64_t seed = 20261208;
    double heapSlackMb = 1.0;
    int only = -1;  // run just this segment (0..8)
};

struct Dump {
    uint32_t tick = 0;
    int level = 0;
    bool inMenu = false, inStory = false, inTitle = false, paused = false, gameFinished = false;
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "orbita-soak: %s\nusage: orbita-soak --program PATH --work DIR [--ticks N] [--seed S] "
                         "[--heap-slack-kb K] [--only SEGMENT]\n", why);
    std::exit(2);
}

uint64_t number(const char* text, const char* what) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno || !end || *end || end == text) usage((std::string("bad ") + what + " " + text).c_str());
    return v;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool jsonBool(const std::string& json, const char* key, bool& out) {
    const std::string k = std::string("\"") + key + "\":";
    const size_t at = json.find(k);
    if (at == std::string::npos) return false;
    out = json.compare(at + k.size(), 4, "true") == 0;
    return true;
}

bool jsonInt(const std::string& json, const char* key, long& out) {
    const std::string k = std::string("\"") + key + "\":";
    const size_t at = json.find(k);
    if (at == std::string::npos) return false;
    out = std::strtol(json.c_str() + at + k.size(), nullptr, 10);
    return true;
}

bool readDump(const std::string& path, Dump& d) {
    const std::string json = readAll(path);
    if (json.empty()) return false;
    long tick = 0, level = 0;
    if (!jsonInt(json, "tick", tick) || !jsonInt(json, "level", level)) return false;
    d.tick = static_cast<uint32_t>(tick);
    d.level = static_cast<int>(level);
    return jsonBool(json, "inMenu", d.inMenu) && jsonBool(json, "inStory", d.inStory) &&
           jsonBool(json, "inTitle", d.inTitle) && jsonBool(json, "paused", d.paused) &&
           jsonBool(json, "gameFinished", d.gameFinished);
}

double residentMb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/statm");
    unsigned long long size = 0, resident = 0;
    if (!(in >> size >> resident)) return -1;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Wall-clock seconds, on the same clock as file times.
double wallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double fileSeconds(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return -1;
    return static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) * 1e-9;
}

// The heap log the sanitizer build writes when ORBITA_HEAP_LOG is set (platform/sanitize):
// wall-clock seconds and bytes held, one sample a line; as MiB.
std::vector<soak::Sample> readHeapLog(const std::string& path) {
    std::vector<soak::Sample> out;
    std::ifstream in(path);
    double t = 0, bytes = 0;
    while (in >> t >> bytes) out.push_back({t, bytes / (1024.0 * 1024.0)});
    return out;
}

// The first size sampled at or after the time.
double residentAt(const std::vector<soak::Sample>& samples, double when) {
    for (const auto& s : samples)
        if (s.seconds >= when) return s.rssMb;
    return samples.empty() ? -1 : samples.back().rssMb;
}

struct Segment {
    soak::SoakSegment plan;
    std::string name;
};

struct RunResult {
    int status = -1;
    double seconds = 0;
    std::vector<soak::Sample> samples;
};

RunResult runProgram(const std::vector<std::string>& args, const std::string& errPath) {
    RunResult r;
    const auto start = std::chrono::system_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("orbita-soak: fork");
        std::exit(1);
    }
    if (pid == 0) {
        const int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        std::perror("orbita-soak: exec");
        _exit(127);
    }
    char resolved[PATH_MAX];
    const std::string programPath = realpath(args[0].c_str(), resolved) ? resolved : args[0];
    bool started = false;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        const double t = wallSeconds();
        if (done == pid) {
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            r.seconds = std::chrono::duration<double>(std::chrono::system_clock::now() - start).count();
            return r;
        }
        // Until the child has started the program, its size is the soak's own.
        if (!started) {
            char exe[4096];
            const ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), exe, sizeof exe - 1);
            started = n > 0 && std::string(exe, static_cast<size_t>(n)) == programPath;
        }
        const double mb = started ? residentMb(pid) : -1;
        if (mb > 0) r.samples.push_back({t, mb});
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) usage(("missing value after " + a).c_str());
        const char* v = argv[++i];
        if (a == "--program") o.program = v;
        else if (a == "--work") o.work = v;
        else if (a == "--ticks") o.ticks = number(v, "tick count");
        else if (a == "--seed") o.seed = number(v, "seed");
        else if (a == "--only") o.only = static_cast<int>(number(v, "segment"));
        else if (a == "--heap-slack-kb") o.heapSlackMb = static_cast<double>(number(v, "slack")) / 1024.0;
        else usage(("unknown option " + a).c_str());
    }
    if (o.program.empty() || o.work.empty()) usage("--program and --work are needed");
    if (o.ticks < 9000 || o.ticks > 100000000) usage("--ticks must be 9000 or more");
    mkdir(o.work.c_str(), 0755);

    // A quarantine of freed blocks that fills within the warm-up, so that what grows later is ours.
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = "detect_leaks=1:quarantine_size_mb=16:abort_on_error=0";
    if (asan && *asan) asanOptions += std::string(":") + asan;
    setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
    setenv("UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1", 0);

    // The whole game takes about 36 000 ticks with god mode; pauses and the early round
    // trips add to it.
    const uint32_t wholeGame = static_cast<uint32_t>(std::min<uint64_t>(60000, o.ticks * 3 / 10));
    const uint32_t perLevel = static_cast<uint32_t>((o.ticks - wholeGame) / 8);
    std::vector<Segment> segments;
    {
        Segment s;
        s.name = "whole game";
        s.plan.seed = o.seed;
        s.plan.gameSeed = static_cast<uint32_t>(o.seed * 7 + 1);
        s.plan.ticks = wholeGame;
        s.plan.god = true;
        s.plan.roundTripsUntil = 3000;
        segments.push_back(s);
    }
    for (int level = 1; level <= 8; ++level) {
        Segment s;
        s.name = "level " + std::to_string(level);
        s.plan.seed = o.seed + static_cast<uint64_t>(level) * 1000003u;
        s.plan.gameSeed = static_cast<uint32_t>(o.seed + level);
        s.plan.ticks = perLevel;
        s.plan.warp = level;
        s.plan.god = level > 2;
        s.plan.quitAtEnd = level == 8;
        // The closing episode (Escape, the menu's arrival, the quit click) comes about 100
        // ticks before the end of the script's span.
        if (s.plan.quitAtEnd) s.plan.ticks += 100;
        segments.push_back(s);
    }

    bool ok = true;
    uint64_t ticksPlayed = 0;
    size_t segmentsRun = 0;
    std::set<int> levelsPlayed;
    const uint32_t dumpEvery = 2500;
    for (size_t n = 0; n < segments.size(); ++n) {
        if (o.only >= 0 && static_cast<size_t>(o.only) != n) continue;
        const Segment& seg = segments[n];
        ++segmentsRun;
        soak::SoakCounts counts;
        const std::string base = o.work + "/segment" + std::to_string(n);
        const std::string scriptPath = base + ".txt";
        {
            std::ofstream out(scriptPath, std::ios::binary | std::ios::trunc);
            out << soak::soakScript(seg.plan, &counts);
            if (!out.flush()) {
                std::fprintf(stderr, "orbita-soak: cannot write %s\n", scriptPath.c_str());
                return 1;
            }
        }
        // A quitting segment is given more frames than its script: the quit click must end it.
        const uint32_t frames = seg.plan.quitAtEnd ? seg.plan.ticks + 200 : seg.plan.ticks;
        std::vector<uint32_t> dumpTicks{1};
        for (uint32_t t = dumpEvery; t < seg.plan.ticks; t += dumpEvery) dumpTicks.push_back(t);
        dumpTicks.push_back(seg.plan.ticks);
        const uint32_t afterRestart = 60;
        for (uint32_t t : counts.restarts)
            if (t + afterRestart < seg.plan.ticks) dumpTicks.push_back(t + afterRestart);
        std::sort(dumpTicks.begin(), dumpTicks.end());
        dumpTicks.erase(std::unique(dumpTicks.begin(), dumpTicks.end()), dumpTicks.end());
        std::vector<std::string> args{o.program, "--headless", "--play", scriptPath, "--frames", std::to_string(frames)};
        for (uint32_t t : dumpTicks) {
            args.push_back("--dump-state");
            args.push_back(std::to_string(t) + ":" + base + "-" + std::to_string(t) + ".json");
            unlink((base + "-" + std::to_string(t) + ".json").c_str());
        }
        const std::string errPath = base + ".err";
        const std::string heapPath = base + ".heap";
        unlink(heapPath.c_str());
        setenv("ORBITA_HEAP_LOG", heapPath.c_str(), 1);
        const RunResult r = runProgram(args, errPath);
        const std::string err = readAll(errPath);

        std::vector<std::string> faults;
        if (r.status != 0) faults.push_back("exit status " + std::to_string(r.status));
        const std::string report = soak::sanitizerReport(err);
        if (!report.empty()) faults.push_back("sanitizer report: " + report);

        std::set<int> seen;
        bool finished = false;
        Dump first;
        bool haveFirst = false, afterQuit = false;
        for (uint32_t t : dumpTicks) {
            Dump d;
            const bool have = readDump(base + "-" + std::to_string(t) + ".json", d);
            if (seg.plan.quitAtEnd && t > counts.quitTick) {
                afterQuit = afterQuit || have;
                continue;
            }
            if (!have) {
                faults.push_back("no state dump after tick " + std::to_string(t));
                continue;
            }
            if (t == 1) {
                first = d;
                haveFirst = true;
            }
            if (!d.inMenu && !d.inStory && !d.inTitle) seen.insert(d.level);
            finished = finished || d.gameFinished;
        }
        if (seg.plan.warp && haveFirst && (first.level != seg.plan.warp || first.inMenu))
            faults.push_back("tick 1 is not in play of level " + std::to_string(seg.plan.warp));
        if (!seg.plan.warp && seg.plan.ticks >= 50000 && !finished)
            faults.push_back("the whole game did not reach the end text of level 8");
        if (afterQuit) faults.push_back("the program went on after the click in the quit box");

        {
            std::ofstream trace(base + ".rss", std::ios::trunc);
            trace.precision(15);
            for (const auto& smp : r.samples) trace << smp.seconds << ' ' << smp.rssMb << '\n';
        }
        // The heap held after each restart, by the level it restarted.
        const std::vector<soak::Sample> heap = readHeapLog(heapPath);
        if (heap.empty()) faults.push_back("no heap log (" + heapPath + "): not a sanitizer build?");
        std::map<int, std::vector<double>> atRestarts;
        for (uint32_t t : counts.restarts) {
            const std::string path = base + "-" + std::to_string(t + afterRestart) + ".json";
            Dump d;
            if (!readDump(path, d) || d.inMenu || d.inStory || d.inTitle) continue;
            const double mb = residentAt(heap, fileSeconds(path));
            if (mb > 0) atRestarts[d.level].push_back(mb);
        }
        std::string memory;
        if (seg.plan.warp) {
            bool judged = false;
            for (const auto& [lvl, sizes] : atRestarts) {
                double early = 0, late = 0;
                if (sizes.size() < 4) continue;
                judged = true;
                const bool isFlat = soak::restartsFlat(sizes, o.heapSlackMb, early, late);
                char buf[200];
                std::snprintf(buf, sizeof buf, "%slevel %d: %.2f -> %.2f MiB over %zu restarts", memory.empty() ? "" : ", ",
                              lvl, early, late, sizes.size());
                memory += buf;
                if (!isFlat) {
                    std::snprintf(buf, sizeof buf, "memory grows in level %d: %.2f MiB held after the earlier restarts, "
                                  "%.2f MiB after the later ones (%.2f MiB allowed)", lvl, early, late, o.heapSlackMb);
                    faults.push_back(buf);
                }
            }
            if (!judged) faults.push_back("fewer than four restarts of one level: memory cannot be judged");
        } else {
            memory = "not judged (the levels change)";
        }
        double peak = 0;
        for (const auto& s : r.samples) peak = std::max(peak, s.rssMb);

        std::string levels;
        for (int l : seen) levels += (levels.empty() ? "" : " ") + std::to_string(l);
        std::printf("segment %zu (%s, god=%d): %u ticks in %.1f s, levels played: %s%s, %u pauses, %u menu round "
                    "trips, %u Tab, %u clicks, heap held at restarts: %s, resident peak %.1f MiB%s\n",
                    n, seg.name.c_str(), seg.plan.god ? 1 : 0, seg.plan.quitAtEnd ? counts.quitTick : seg.plan.ticks,
                    r.seconds, levels.c_str(), finished ? ", end text reached" : "", counts.pauses, counts.roundTrips,
                    counts.tabs, counts.clicks, memory.c_str(), peak,
                    seg.plan.quitAtEnd ? ", ended by the quit box" : "");
        std::fflush(stdout);
        if (!faults.empty()) {
            ok = false;
            for (const auto& f : faults) std::printf("  FAULT in segment %zu: %s\n", n, f.c_str());
            if (!err.empty()) std::printf("  its standard error (%s):\n%s\n", errPath.c_str(), err.substr(0, 20000).c_str());
        }
        ticksPlayed += seg.plan.quitAtEnd ? counts.quitTick : seg.plan.ticks;
        levelsPlayed.insert(seen.begin(), seen.end());
    }
    for (int l = 1; l <= 8 && o.only < 0; ++l)
        if (!levelsPlayed.count(l)) {
            std::printf("FAULT: level %d was never played\n", l);
            ok = false;
        }
    std::printf("soak: %llu ticks in %zu segments, levels played %zu of 8: %s\n",
                static_cast<unsigned long long>(ticksPlayed), segmentsRun, levelsPlayed.size(),
                ok ? "no reports, memory flat" : "FAILED");
    return ok ? 0 : 1;
}
