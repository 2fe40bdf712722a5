#include "app/Recorder.h"

#include <algorithm>

namespace app {

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
}

void Recorder::keyDown(int vk) {
    const auto& keys = scriptKeys();
    if (std::find(keys.begin(), keys.end(), vk) == keys.end()) return;
    if (std::find(wentDown_.begin(), wentDown_.end(), vk) == wentDown_.end()) wentDown_.push_back(vk);
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
    std::vector<int> now;
    for (int vk : scriptKeys()) {
        bool down = (keys[vk] & 0x80) != 0;
        // A key that went down and came up again between two ticks still counts for this one.
        bool pressed = std::find(wentDown_.begin(), wentDown_.end(), vk) != wentDown_.end();
        if (down || pressed) now.push_back(vk);
    }
    wentDown_.clear();
    if (now == held_) return;
    ScriptEvent e;
    e.tick = tick;
    if (now.empty()) {
        e.op = ScriptOp::Release;
    } else {
        e.op = ScriptOp::Hold;
        e.keys = now;
    }
    script_.events.push_back(e);
    held_ = now;
}

void Recorder::tickDone(uint32_t tick, uint64_t stateHash) {
    if (tick % kHashEvery != 0) return;
    ScriptEvent e;
    e.tick = tick;
    e.op = ScriptOp::Hash;
    e.hash = stateHash;
    script_.events.push_back(e);
}

bool Recorder::save(const std::string& path) const { return saveScript(path, script_); }

}  // namespace app
