#include "app/ReplayPlatform.h"

#include <algorithm>
#include <cstring>

namespace app {

namespace {
bool isInput(const platform::Event& e) {
    return e.type == platform::EventType::KeyDown || e.type == platform::EventType::Click ||
           e.type == platform::EventType::MouseMove;
}
}  // namespace

ReplayPlatform::ReplayPlatform(platform::Platform& inner) : in_(inner) {
    std::memset(keys_, 0, sizeof keys_);
    queue_.reserve(64);
}

bool ReplayPlatform::restoreDisplay() {
    if (restoreFails_) return false;
    lost_ = false;
    return in_.restoreDisplay();
}

bool ReplayPlatform::pollEvent(platform::Event& e) {
    if (head_ < queue_.size()) {
        e = queue_[head_++];
        if (head_ == queue_.size()) {  // drained: its room is used again from the start
            queue_.clear();
            head_ = 0;
        }
        return true;
    }
    // The real keyboard and pointer are ignored while the script plays.
    while (in_.pollEvent(e)) {
        if (handedOver_ || !isInput(e)) return true;
    }
    return false;
}

void ReplayPlatform::waitEvents(uint32_t timeoutMs) {
    if (head_ >= queue_.size()) in_.waitEvents(timeoutMs);
}

void ReplayPlatform::waitUntil(uint32_t dueMs) {
    if (head_ >= queue_.size()) in_.waitUntil(dueMs - extraMs_);
}

void ReplayPlatform::keyboardState(uint8_t keys[256]) {
    if (handedOver_)
        in_.keyboardState(keys);
    else
        std::memcpy(keys, keys_, sizeof keys_);
}

platform::JoystickState ReplayPlatform::joystick(int id) {
    if (handedOver_) return in_.joystick(id);
    auto it = std::find_if(sticks_.begin(), sticks_.end(), [&](const auto& p) { return p.first == id; });
    return it == sticks_.end() ? platform::JoystickState{} : it->second;
}

void ReplayPlatform::setKey(int vk, bool down) {
    if (vk >= 0 && vk < 256) keys_[vk] = down ? 0x80 : 0;
}

void ReplayPlatform::releaseAllKeys() { std::memset(keys_, 0, sizeof keys_); }

void ReplayPlatform::setActive(bool active) {
    platform::Event e;
    e.type = active ? platform::EventType::Activate : platform::EventType::Deactivate;
    queue_.push_back(e);
}

void ReplayPlatform::setJoystick(int id, const platform::JoystickState& s) {
    sticks_.erase(std::remove_if(sticks_.begin(), sticks_.end(), [&](const auto& p) { return p.first == id; }),
                  sticks_.end());
    if (s.present) sticks_.emplace_back(id, s);
}

}  // namespace app
