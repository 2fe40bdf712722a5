#include "SoakScript.h"

#include <algorithm>
#include <string>
#include <vector>

namespace soak {

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t Random::between(uint32_t lo, uint32_t hi) {
    if (hi <= lo) return lo;
    return lo + static_cast<uint32_t>(next() % (static_cast<uint64_t>(hi) - lo + 1));
}

namespace {

// Keys of play: the four ways of steering, fire and the pod. Enter and Escape come only
// inside their episodes, so that every pause is ended and every menu visit left again.
const char* const kPlayKeys[] = {"Up",  "Down", "Left", "Right", "KP8", "KP2", "KP4", "KP6",
                                 "K",   "J",    "H",    "L",     "Space", "Space", "Tab", "F2"};
constexpr size_t kPlayKeyCount = sizeof kPlayKeys / sizeof kPlayKeys[0];

class Writer {
public:
    Writer(const SoakSegment& s, SoakCounts& c) : seg_(s), counts_(c), rnd_(s.seed) {}

    std::string run() {
        text_ = "orbita-script 1 seed=" + std::to_string(seg_.gameSeed);
        if (seg_.warp) text_ += " warp=" + std::to_string(seg_.warp);
        text_ += seg_.god ? " god=1" : " god=0";
        text_ += "\n# soak input, generator seed " + std::to_string(seg_.seed) + "\n";
        if (seg_.warp) {
            t_ = 2;
        } else {
            // Escape skips the story, a second one the title; the menu's start box starts level 1.
            escape(3);
            escape(6);
            t_ = 6 + kMenuArrival;
            startClick();
        }
        // Room at the end for the closing episode (Escape, the menu's arrival, the quit click).
        const uint32_t end = seg_.ticks > 200 ? seg_.ticks - 150 : seg_.ticks / 2;
        while (t_ < end) {
            const uint32_t roll = rnd_.between(1, 100);
            const bool tripsAllowed = t_ < seg_.roundTripsUntil;
            if (roll <= 55) play(end);
            else if (roll <= 70) pause(end);
            else if (roll <= 82 && tripsAllowed) roundTrip(end);
            else if (roll <= 90) idle(end);
            else clicksInPlay(end);
        }
        emit(t_, "release");
        ++counts_.releases;
        if (seg_.quitAtEnd) quit();
        return text_;
    }

private:
    void emit(uint32_t tick, const std::string& what) {
        if (tick < last_) tick = last_;  // ticks never go back
        last_ = tick;
        text_ += "@" + std::to_string(tick) + " " + what + "\n";
    }
    void hold(uint32_t tick, const std::vector<const char*>& keys) {
        std::string line = "hold";
        for (const char* k : keys) {
            line += " ";
            line += k;
            if (std::string(k) == "Tab") ++counts_.tabs;
            if (std::string(k) == "Enter") ++counts_.enters;
            if (std::string(k) == "Escape") ++counts_.escapes;
        }
        emit(tick, line);
        ++counts_.holds;
    }
    // A single Escape key press: down before tick, up one tick later.
    void escape(uint32_t tick) {
        hold(tick, {"Escape"});
        emit(tick + 1, "release");
        ++counts_.releases;
    }
    void move(uint32_t tick, int x, int y) {
        emit(tick, "move " + std::to_string(x) + " " + std::to_string(y));
        ++counts_.moves;
    }
    void click(uint32_t tick) {
        emit(tick, "click");
        ++counts_.clicks;
    }
    // A pointer position anywhere on the display except the quit box.
    void somewhere(int& x, int& y) {
        do {
            x = static_cast<int>(rnd_.between(0, 639));
            y = static_cast<int>(rnd_.between(0, 479));
        } while (x > kQuitLeft && x < kQuitRight && y > kQuitTop && y < kQuitBottom);
    }
    void startClick() {
        move(t_, static_cast<int>(rnd_.between(kStartLeft + 1, kStartRight - 1)),
             static_cast<int>(rnd_.between(kStartTop + 1, kStartBottom - 1)));
        click(t_);
        t_ += 1;
    }
    std::vector<const char*> someKeys() {
        std::vector<const char*> keys;
        const uint32_t n = rnd_.between(1, 4);
        for (uint32_t i = 0; i < n; ++i) keys.push_back(kPlayKeys[rnd_.between(0, kPlayKeyCount - 1)]);
        return keys;
    }

    // Held keys changing every 1 to 40 ticks, now and then nothing held.
    void play(uint32_t end) {
        const uint32_t stop = std::min(end, t_ + rnd_.between(20, 400));
        while (t_ < stop) {
            if (rnd_.chance(88)) hold(t_, someKeys());
            else {
                emit(t_, "release");
                ++counts_.releases;
            }
            t_ += rnd_.between(1, 40);
        }
    }
    // Enter pauses; keys held and clicks while paused change nothing; Escape goes on.
    void pause(uint32_t end) {
        hold(t_, {"Enter"});
        t_ += rnd_.between(1, 3);
        emit(t_, "release");
        ++counts_.releases;
        const uint32_t stop = std::min(end, t_ + rnd_.between(5, 300));
        while (t_ + 1 < stop) {
            if (rnd_.chance(50)) hold(t_, someKeys());
            t_ += rnd_.between(1, 60);
        }
        escape(t_);
        ++counts_.pauses;
        t_ += 2;
        afterEscape();
    }
    // Escape leaves for the menu; pointer moves and clicks outside its boxes; the start box
    // starts the level again.
    void roundTrip(uint32_t end) {
        escape(t_);
        ++counts_.roundTrips;
        t_ += 2;
        const uint32_t stop = std::min(end, t_ + rnd_.between(kMenuArrival, 250));
        while (t_ < stop) {
            int x, y;
            do somewhere(x, y);
            while (x > kStartLeft && x < kStartRight && y > kStartTop && y < kStartBottom);
            move(t_, x, y);
            if (rnd_.chance(40)) click(t_);
            if (rnd_.chance(20)) hold(t_, someKeys());
            t_ += rnd_.between(1, 50);
        }
        afterEscape();
        counts_.restarts.push_back(t_ - 1);
    }
    // Whatever the Escape did (ended a pause or left for the menu), play goes on: once the
    // menu picture has surely arrived, the start box is clicked.
    void afterEscape() {
        emit(t_, "release");
        ++counts_.releases;
        t_ += kMenuArrival;
        startClick();
    }
    void idle(uint32_t end) {
        emit(t_, "release");
        ++counts_.releases;
        t_ = std::min(end, t_ + rnd_.between(10, 200));
    }
    // Clicks in play, where the pointer is hidden and they must do nothing.
    void clicksInPlay(uint32_t end) {
        const uint32_t n = rnd_.between(1, 5);
        for (uint32_t i = 0; i < n && t_ < end; ++i) {
            int x, y;
            somewhere(x, y);
            move(t_, x, y);
            click(t_);
            t_ += rnd_.between(1, 20);
        }
    }
    void quit() {
        t_ += 1;
        escape(t_);
        t_ += 2 + kMenuArrival;
        move(t_, static_cast<int>(rnd_.between(kQuitLeft + 1, kQuitRight - 1)),
             static_cast<int>(rnd_.between(kQuitTop + 1, kQuitBottom - 1)));
        click(t_);
        counts_.quitTick = t_;
    }

    const SoakSegment& seg_;
    SoakCounts& counts_;
    Random rnd_;
    std::string text_;
    uint32_t t_ = 1;
    uint32_t last_ = 0;
};

}  // namespace

bool restartsFlat(const std::vector<double>& rss, double slackMb, double& early, double& late) {
    early = late = 0;
    if (rss.size() < 4) return false;
    const size_t half = 1 + (rss.size() - 1) / 2;
    early = *std::min_element(rss.begin() + 1, rss.begin() + static_cast<long>(half));
    late = *std::min_element(rss.begin() + static_cast<long>(half), rss.end());
    return late <= early + slackMb;
}

std::string sanitizerReport(const std::string& err) {
    static const char* const kMarks[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                                         "SUMMARY: ", "AddressSanitizer:", "UndefinedBehaviorSanitizer",
                                         "terminate called", "Segmentation fault"};
    size_t first = std::string::npos;
    for (const char* m : kMarks) first = std::min(first, err.find(m));
    if (first == std::string::npos) return "";
    const size_t from = err.rfind('\n', first);
    return err.substr(from == std::string::npos ? 0 : from + 1, 400);
}

std::string soakScript(const SoakSegment& segment, SoakCounts* counts) {
    SoakCounts local;
    Writer w(segment, counts ? *counts : local);
    return w.run();
}

}  // namespace soak
