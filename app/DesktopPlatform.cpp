#include "app/DesktopPlatform.h"

#include <algorithm>
#include <cstring>

namespace app {

namespace {

constexpr int kEscape = 0x1B;
constexpr int kFire = 0x20;
constexpr int kEnter = 0x0D;
constexpr uint32_t kPadA = 1u << 0;
constexpr uint32_t kPadStart = 1u << 6;

// Yellow text as the game's canvas draws it: coverage blended over the picture.
void drawText(std::vector<uint16_t>& frame, const platform::TextMask& m, int x0, int y0) {
    const int yellowR = 31, yellowG = 63, yellowB = 0;
    for (int y = 0; y < m.height; ++y) {
        const int fy = y0 + y;
        if (fy < 0 || fy >= platform::kFrameHeight) continue;
        for (int x = 0; x < m.width; ++x) {
            const int fx = x0 + x;
            if (fx < 0 || fx >= platform::kFrameWidth) continue;
            const int a = m.coverage[static_cast<size_t>(y) * m.width + x];
            if (a == 0) continue;
            uint16_t& p = frame[static_cast<size_t>(fy) * platform::kFrameWidth + fx];
            const int r = ((p >> 11) & 31) * (255 - a) / 255 + yellowR * a / 255;
            const int g = ((p >> 5) & 63) * (255 - a) / 255 + yellowG * a / 255;
            const int b = (p & 31) * (255 - a) / 255 + yellowB * a / 255;
            p = static_cast<uint16_t>(r << 11 | g << 5 | b);
        }
    }
}

}  // namespace

DesktopPlatform::DesktopPlatform(std::unique_ptr<platform::Platform> inner, KeyBindings bindings)
    : in_(std::move(inner)), bindings_(std::move(bindings)) {}

bool DesktopPlatform::openDisplay(const platform::DisplayMode& m, const platform::WindowOptions& o) {
    const bool ok = in_->openDisplay(m, o);
    fullScreen_ = in_->isFullScreen();
    return ok;
}

const std::vector<uint16_t>& DesktopPlatform::lastPresented() const {
    return paused_.empty() ? in_->lastPresented() : keep_;
}

void DesktopPlatform::toggleFullScreen() {
    in_->toggleFullScreen();
    watchFullScreen();
}

void DesktopPlatform::watchFullScreen() {
    const bool now = in_->isFullScreen();
    if (now == fullScreen_) return;
    fullScreen_ = now;
    if (onFullScreenChanged) onFullScreenChanged(now);
}

bool DesktopPlatform::pollEvent(platform::Event& e) {
    for (;;) {
        if (head_ < queue_.size()) {
            e = queue_[head_++];
            if (head_ == queue_.size()) {
                queue_.clear();
                head_ = 0;
            }
            return true;
        }
        pollPad();
        if (head_ < queue_.size()) continue;
        platform::Event raw;
        if (!in_->pollEvent(raw)) {
            watchFullScreen();
            return false;
        }
        watchFullScreen();
        translate(raw);
    }
}

void DesktopPlatform::translate(const platform::Event& raw) {
    switch (raw.type) {
    case platform::EventType::KeyDown:
        for (int g : bindings_.gameKeys(raw.key)) {
            if (menuActive && menuActive() &&
                (g == kEnter || g == kFire || g == 0x25 || g == 0x26 || g == 0x27 || g == 0x28)) {
                swallowed_[raw.key & 0xFF] = true;
                menuKey(g);
                continue;
            }
            platform::Event k = raw;
            k.key = g;
            queue_.push_back(k);
        }
        return;
    case platform::EventType::Deactivate:
        queue_.push_back(raw);
        showPaused();
        return;
    case platform::EventType::Activate:
        if (!paused_.empty()) {
            in_->present(keep_.data(), false);
            paused_.clear();
        }
        queue_.push_back(raw);
        return;
    default:
        queue_.push_back(raw);
        return;
    }
}

// In the menu the cursor keys move between the boxes (the pointer goes there, so the
// menu's highlight shows which), and Enter and fire choose: the pointer's own click.
void DesktopPlatform::menuKey(int g) {
    platform::Event move;
    move.type = platform::EventType::MouseMove;
    if (g == 0x25 || g == 0x26) {
        quitChosen_ = true;
    } else if (g == 0x27 || g == 0x28) {
        quitChosen_ = false;
    } else {
        choose();
        return;
    }
    move.x = quitChosen_ ? boxes_.quitX : boxes_.startX;
    move.y = quitChosen_ ? boxes_.quitY : boxes_.startY;
    queue_.push_back(move);
}

void DesktopPlatform::choose() {
    platform::Event move;
    move.type = platform::EventType::MouseMove;
    move.x = quitChosen_ ? boxes_.quitX : boxes_.startX;
    move.y = quitChosen_ ? boxes_.quitY : boxes_.startY;
    queue_.push_back(move);
    platform::Event click = move;
    click.type = platform::EventType::Click;
    queue_.push_back(click);
    quitChosen_ = false;
}

// A gamepad's A or Start chooses in the menu; its back button acts as Escape.
void DesktopPlatform::pollPad() {
    const platform::JoystickState s = in_->joystick(0);
    const uint32_t now = s.present ? s.buttons : 0;
    const uint32_t pressed = now & ~padBefore_;
    padBefore_ = now;
    padSwallowed_ &= now;
    if (!pressed) return;
    if ((pressed & (kPadA | kPadStart)) && menuActive && menuActive()) {
        padSwallowed_ |= pressed & (kPadA | kPadStart);
        choose();
        return;
    }
    if (pressed & bindings_.backButtons()) {
        platform::Event k;
        k.type = platform::EventType::KeyDown;
        k.key = kEscape;
        queue_.push_back(k);
    }
}

void DesktopPlatform::waitEvents(uint32_t timeoutMs) {
    if (head_ < queue_.size()) return;
    in_->waitEvents(timeoutMs);
}

void DesktopPlatform::waitUntil(uint32_t dueMs) {
    if (head_ < queue_.size()) return;
    in_->waitUntil(dueMs);
}

void DesktopPlatform::keyboardState(uint8_t keys[256]) {
    uint8_t pressed[256];
    in_->keyboardState(pressed);
    for (int vk = 0; vk < 256; ++vk) {
        if (!(pressed[vk] & 0x80)) swallowed_[vk] = false;
        if (swallowed_[vk]) pressed[vk] = 0;
    }
    bindings_.translateTable(pressed, keys);
}

platform::JoystickState DesktopPlatform::joystick(int id) {
    platform::JoystickState s = in_->joystick(id);
    if (!s.present) return s;
    uint32_t b = s.buttons;
    if (id == 0) b &= ~padSwallowed_;
    s.buttons = bindings_.translateButtons(b & ~bindings_.backButtons());
    return s;
}

void DesktopPlatform::showPaused() {
    const std::vector<uint16_t>& last = in_->lastPresented();
    if (!pauseText || last.size() < static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight) return;
    const std::string text = pauseText();
    platform::TextMask mask;
    if (text.empty() || !in_->renderText(text, 15, mask)) return;
    paused_ = last;
    drawText(paused_, mask, 200, 150);
    // Shown through the back-end, which keeps it as its last picture until the next frame;
    // the frame the game presented stays ours for the screenshots.
    std::vector<uint16_t> keep = last;
    in_->present(paused_.data(), false);
    keep_ = std::move(keep);
}

}  // namespace app
