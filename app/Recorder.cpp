#include "app/Recorder.h"

#include <algorithm>
#include <chrono>

namespace app {

namespace {
constexpr int kEscapeKey = 0x1B;
}  // namespace

const std::vector<int>& scriptKeys() {
    static const std::vector<int> keys = [] {
        std::vector<int> v;
        for (const char* n : {"Up", "Down", "Left", "Right", "Space", "Tab", "Enter", "Escape", "F2", "F3", "H", "J",
                              "K", "L", "KP2", "KP4", "KP6", "KP8"}) {
            int vk = keyFromName(n);
            if (vk) v.push_back(vk);
        }
        return v;
    }();
    return keys;
}

Recorder::Recorder(ScriptHeader header) {
    script_.header = std::move(header);
    script_.header.present = true;
    // Room for the key table and for the lines of a long session, set aside once: a tick
    // that records a hash line or a change of keys then needs no memory of its own.
    const size_t keyCount = scriptKeys().size();
    for (std::vector<int>* v : {&held_, &nowScratch_, &sortedNow_, &sortedHeld_}) v->reserve(keyCount);
    script_.events.reserve(kReservedLines);
    keyLists_.resize(kReservedKeyLists);
    for (auto& list : keyLists_) list.reserve(keyCount);
}

void Recorder::hold(uint32_t tick, const std::vector<int>& keys) {
    ScriptEvent e;
    e.tick = tick;
    if (keys.empty()) {
        e.op = ScriptOp::Release;
    } else {
        e.op = ScriptOp::Hold;
        if (!keyLists_.empty()) {
            e.keys = std::move(keyLists_.back());
            keyLists_.pop_back();
        }
        e.keys.assign(keys.begin(), keys.end());
    }
    script_.events.push_back(std::move(e));
    held_ = keys;
}

void Recorder::keyDown(uint32_t nextTick, int vk) {
    const auto& keys = scriptKeys();
    if (std::find(keys.begin(), keys.end(), vk) == keys.end()) return;
    auto it = std::find(held_.begin(), held_.end(), vk);
    if (it != held_.end()) {
        // Down again while held (a key's auto-repeat): a replay delivers the event only for a
        // key going down, so the script lets it go and presses it again. Only Escape's event
        // does anything in the game; the repeats of the other keys are left out.
        if (vk != kEscapeKey) return;
        std::vector<int>& without = sortedNow_;
        std::vector<int>& again = sortedHeld_;
        without.assign(held_.begin(), held_.end());
        without.erase(without.begin() + (it - held_.begin()));
        again.assign(held_.begin(), held_.end());
        hold(nextTick, without);
        hold(nextTick, again);
        return;
    }
    std::vector<int>& with = nowScratch_;
    with.assign(held_.begin(), held_.end());
    with.push_back(vk);
    hold(nextTick, with);
}

void Recorder::pointerMove(uint32_t nextTick, int x, int y) {
    move_.tick = nextTick;
    move_.op = ScriptOp::Move;
    move_.x = x;
    move_.y = y;
    pendingMove_ = true;
}

void Recorder::click(uint32_t nextTick) {
    if (pendingMove_) {
        script_.events.push_back(move_);
        pendingMove_ = false;
    }
    ScriptEvent e;
    e.tick = nextTick;
    e.op = ScriptOp::Click;
    script_.events.push_back(e);
}

void Recorder::tickStarting(uint32_t tick, const uint8_t keys[256]) {
    if (pendingMove_) {
        move_.tick = tick;
        script_.events.push_back(move_);
        pendingMove_ = false;
    }
    // The keys held now, in the order the script already names them, then the others.
    // Kept in buffers of the recorder, so that a tick that changes nothing allocates nothing.
    std::vector<int>& now = nowScratch_;
    now.clear();
    for (int vk : held_)
        if (keys[vk] & 0x80) now.push_back(vk);
    for (int vk : scriptKeys())
        if ((keys[vk] & 0x80) && std::find(now.begin(), now.end(), vk) == now.end()) now.push_back(vk);
    std::vector<int>& a = sortedNow_;
    std::vector<int>& b = sortedHeld_;
    a.assign(now.begin(), now.end());
    b.assign(held_.begin(), held_.end());
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    if (a != b) hold(tick, now);
}

void Recorder::tickDone(uint32_t tick, uint64_t stateHash) {
    if (tick % kHashEvery != 0) return;
    ScriptEvent e;
    e.tick = tick;
    e.op = ScriptOp::Hash;
    e.hash = stateHash;
    script_.events.push_back(e);
}

void Recorder::finish(uint32_t lastTick) { script_ = snapshot(lastTick); }

InputScript Recorder::snapshot(uint32_t lastTick) const {
    InputScript s = script_;
    if (lastTick == 0) return s;
    if (!s.events.empty() && s.events.back().tick >= lastTick) return s;
    ScriptEvent e;
    e.tick = lastTick;
    e.op = held_.empty() ? ScriptOp::Release : ScriptOp::Hold;
    e.keys = held_;
    s.events.push_back(e);
    return s;
}

std::string Recorder::save(const std::string& path) const { return saveScript(path, script_); }

std::string Recorder::checkpoint(const std::string& path, uint32_t lastTick, bool force) {
    using namespace std::chrono;
    const double now = duration<double>(steady_clock::now().time_since_epoch()).count();
    if (!force && lastWrite_ >= 0 && now - lastWrite_ < kCheckpointSeconds) return std::string();
    lastWrite_ = now;
    return saveScript(path, snapshot(lastTick));
}

}  // namespace app
