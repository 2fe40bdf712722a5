// The browser back-end: the composed picture on the page's canvas, the keyboard, pointer,
// focus and gamepads through Emscripten's HTML5 interface, and the message loop run from
// the browser's animation frames. The page (web/orbita.html) owns the layout: the canvas's
// whole-number scale, the full-screen button, the messages.
//
// Two clocks: in play the frame clock (FrameClock.h) turns animation frames into 25 ms
// steps, one pass of the loop per animation frame, so no two ticks share a frame; with the
// page option `fast` the clock is virtual, as on the headless back-end, and the loop runs
// as many passes as fit in a slice of each animation frame (tests and timings).
#include <emscripten.h>
#include <emscripten/html5.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/Font.h"
#include "platform/Platform.h"
#include "platform/web/FrameClock.h"
#include "platform/web/WebInput.h"

// --- the page's side --------------------------------------------------------------
// clang-format off
EM_JS(int, orbita_page_flag, (const char* name), {
    var o = Module["orbitaOptions"] || {};
    return o[UTF8ToString(name)] ? 1 : 0;
});

EM_JS(void, orbita_blit, (const uint8_t* rgba, int width, int height), {
    var c = Module["canvas"];
    if (!c) return;
    if (!Module.orbitaContext) {
        Module.orbitaContext = c.getContext("2d", {alpha: false});
        Module.orbitaImage = Module.orbitaContext.createImageData(width, height);
    }
    Module.orbitaImage.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
    // The page scales it to the window (orbita.html); without it, the canvas takes it as it is.
    if (Module["orbitaShow"]) Module["orbitaShow"](Module.orbitaImage);
    else Module.orbitaContext.putImageData(Module.orbitaImage, 0, 0);
    if (Module["orbitaFirstFrame"]) { Module["orbitaFirstFrame"](); Module["orbitaFirstFrame"] = null; }
});

EM_JS(void, orbita_set_cursor, (int shape), {
    var c = Module["canvas"];
    if (c) c.style.cursor = shape == 0 ? "none" : shape == 2 ? "pointer" : "default";
});

// Whether the page has written the levels' data into the file system (it comes after the
// story's and the menu's); while it has not, a level must not start.
EM_JS(int, orbita_levels_ready, (), {
    return Module["orbitaLevelsReady"] === false ? 0 : 1;
});

EM_JS(void, orbita_waiting, (int waiting), {
    if (Module["orbitaWaiting"]) Module["orbitaWaiting"](!!waiting);
});

EM_JS(void, orbita_toggle_full_screen, (), {
    if (Module["orbitaToggleFullScreen"]) Module["orbitaToggleFullScreen"]();
});

EM_JS(void, orbita_message, (const char* text), {
    if (Module["orbitaMessage"]) Module["orbitaMessage"](UTF8ToString(text));
});

// Ticks timed in the fast loop, their seconds, mean, median and 99th-percentile cost in ms.
EM_JS(void, orbita_loop_ended, (int ticks, double seconds, double mean, double median, double p99), {
    if (Module["orbitaEnded"])
        Module["orbitaEnded"]({ticks: ticks, seconds: seconds, mean: mean, median: median, p99: p99});
});

// clang-format on

namespace platform {

namespace {

bool g_pageFocused = true;
constexpr double kFastSliceMs = 12.0;  // share of an animation frame the fast loop may use
constexpr uint32_t kForever = 0x7FFFFFFFu;

class WebPlatform final : public Platform {
public:
    WebPlatform() : fast_(orbita_page_flag("fast") != 0) {
        // The page's file system starts with a mask that takes every permission from new
        // files (screenshots and dumps could not be read back): the usual one instead.
        ::umask(022);
        std::memset(keys_, 0, sizeof keys_);
        const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
        emscripten_set_keydown_callback(window, this, 1, &WebPlatform::onKey);
        emscripten_set_keyup_callback(window, this, 1, &WebPlatform::onKey);
        emscripten_set_mousemove_callback("#canvas", this, 1, &WebPlatform::onMouse);
        emscripten_set_mousedown_callback("#canvas", this, 1, &WebPlatform::onMouse);
        emscripten_set_mouseup_callback("#canvas", this, 1, &WebPlatform::onMouse);
        emscripten_set_focus_callback(window, this, 1, &WebPlatform::onFocus);
        emscripten_set_blur_callback(window, this, 1, &WebPlatform::onFocus);
    }

    ~WebPlatform() override {
        const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
        emscripten_set_keydown_callback(window, nullptr, 1, nullptr);
        emscripten_set_keyup_callback(window, nullptr, 1, nullptr);
        emscripten_set_mousemove_callback("#canvas", nullptr, 1, nullptr);
        emscripten_set_mousedown_callback("#canvas", nullptr, 1, nullptr);
        emscripten_set_mouseup_callback("#canvas", nullptr, 1, nullptr);
        emscripten_set_focus_callback(window, nullptr, 1, nullptr);
        emscripten_set_blur_callback(window, nullptr, 1, nullptr);
    }

    bool isHeadless() const override { return false; }

    uint32_t ticks() override { return fast_ ? virtual_ : clock_.now(); }

    // --- display ---------------------------------------------------------------
    // The canvas is the display: it offers the game's own mode and takes it at once;
    // full screen is the page's business (a button, Alt+Enter), never forced.
    std::vector<DisplayMode> displayModes() override { return {{640, 480, 16}, {640, 480, 32}}; }
    bool openDisplay(const DisplayMode&, const WindowOptions&) override {
        open_ = true;
        return true;
    }
    void closeDisplay() override { open_ = false; }
    void present(const uint16_t* pixels, bool) override {
        if (!pixels) return;
        last_.assign(pixels, pixels + kFrameWidth * kFrameHeight);
        ++presented_;
        dirty_ = true;
        if (!inFrame_) show();
    }
    const std::vector<uint16_t>& lastPresented() const override { return last_; }
    bool displayLost() override { return false; }
    bool restoreDisplay() override { return true; }
    void waitVBlank() override {}
    void setCursor(CursorShape shape) override {
        orbita_set_cursor(shape == CursorShape::None ? 0 : shape == CursorShape::Hand ? 2 : 1);
    }
    void toggleFullScreen() override { orbita_toggle_full_screen(); }

    // --- events and input -------------------------------------------------------
    bool pollEvent(Event& event) override {
        if (events_.empty()) return false;
        event = events_.front();
        events_.erase(events_.begin());
        return true;
    }
    // Nothing may block in a browser: the loop returns to it after every pass. The fast
    // clock moves on as the headless one does.
    void waitEvents(uint32_t timeoutMs) override {
        if (!fast_ || !events_.empty()) return;
        virtual_ += timeoutMs >= kForever ? 25 : timeoutMs;
    }
    void keyboardState(uint8_t keys[256]) override { std::memcpy(keys, keys_, sizeof keys_); }
    bool isForeground() override { return focused_; }
    bool isActive() override { return focused_; }
    JoystickState joystick(int id) override {
        if (id < 0 || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return JoystickState{};
        // The id-th pad that is plugged in now: pads may come and go between any two reads.
        const int n = emscripten_get_num_gamepads();
        int seen = 0;
        for (int i = 0; i < n; ++i) {
            EmscriptenGamepadEvent g;
            if (emscripten_get_gamepad_status(i, &g) != EMSCRIPTEN_RESULT_SUCCESS || !g.connected) continue;
            if (seen++ != id) continue;
            GamepadReading pad;
            pad.connected = true;
            pad.standard = std::strcmp(g.mapping, "standard") == 0;
            pad.axisCount = g.numAxes < 8 ? g.numAxes : 8;
            for (int a = 0; a < pad.axisCount; ++a) pad.axes[a] = g.axis[a];
            pad.buttonCount = g.numButtons < 32 ? g.numButtons : 32;
            for (int b = 0; b < pad.buttonCount; ++b) pad.buttons[b] = g.digitalButton[b] != 0;
            return joystickFromGamepad(pad);
        }
        return JoystickState{};
    }

    // --- system -------------------------------------------------------------------
    void messageBox(const std::string& text) override {
        std::fprintf(stderr, "orbita: %s\n", text.c_str());
        orbita_message(text.c_str());
    }
    bool renderText(const std::string& utf8, int pointSize, TextMask& out) override {
        return fonts_.render(utf8, pointSize, out);
    }

    // --- the loop -------------------------------------------------------------------
    bool driveLoop(const std::function<bool(uint32_t&)>& pass, const std::function<void()>& done) override {
        pass_ = pass;
        done_ = done;
        EM_ASM(Module["orbitaStarted"] = true;);
        // 0 frames a second: the browser's animation frames. The call does not return; what
        // lives on the caller's stack stays valid for the passes and for done.
        emscripten_set_main_loop_arg(&WebPlatform::frameThunk, this, 0, 1);
        return true;
    }

private:
    static void frameThunk(void* self) { static_cast<WebPlatform*>(self)->frame(); }

    void frame() {
        if (ended_) return;
        inFrame_ = true;
        const double start = emscripten_get_now();
        bool more = true;
        uint32_t waitMs = 0;
        if (fast_) {
            double passStart = start;
            do {
                const uint64_t before = presented_;
                more = pass_(waitMs);
                if (more) waitEvents(waitMs);
                const double passEnd = emscripten_get_now();
                // A pass that presented a picture ran a tick: its cost is the timings' sample.
                if (presented_ != before) {
                    if (firstTick_ < 0) firstTick_ = passStart;
                    tickCosts_.push_back(passEnd - passStart);
                    lastTick_ = passEnd;
                }
                passStart = passEnd;
            } while (more && passStart - start < kFastSliceMs);
        } else {
            clock_.frame(start);
            gamepadChoice();
            if (holdForLevels()) {
                inFrame_ = false;
                return;
            }
            more = pass_(waitMs);
        }
        inFrame_ = false;
        EM_ASM(Module["orbitaPictures"] = $0;, static_cast<double>(presented_));
        if (dirty_) show();
        if (!more) end();
    }

    // A click may start a level, whose files the page may still be fetching: the ticks wait
    // (with the page's progress line) rather than start a level without its data.
    bool holdForLevels() {
        if (levelsReady_) return false;
        levelsReady_ = orbita_levels_ready() != 0;
        bool click = false;
        for (const Event& e : events_) click = click || e.type == EventType::Click;
        const bool hold = click && !levelsReady_;
        if (hold != holding_) {
            holding_ = hold;
            orbita_waiting(hold ? 1 : 0);
        }
        return hold;
    }

    // The menu is the pointer's: a gamepad's Start or A (pressed, not held over from the
    // title) moves the pointer onto the start box and clicks there, as a mouse would. The
    // game takes a click only in the menu, once its picture is in place (its pointer is
    // hidden everywhere else); elsewhere the pointer's place is read by nothing.
    void gamepadChoice() {
        bool pressed = false;
        if (emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
            const int n = emscripten_get_num_gamepads();
            for (int i = 0; i < n && !pressed; ++i) {
                EmscriptenGamepadEvent g;
                if (emscripten_get_gamepad_status(i, &g) != EMSCRIPTEN_RESULT_SUCCESS || !g.connected) continue;
                GamepadReading pad;
                pad.connected = true;
                pad.standard = std::strcmp(g.mapping, "standard") == 0;
                pad.buttonCount = g.numButtons < 32 ? g.numButtons : 32;
                for (int b = 0; b < pad.buttonCount; ++b) pad.buttons[b] = g.digitalButton[b] != 0;
                pressed = menuChoicePressed(pad);
            }
        }
        const bool edge = pressed && !choiceHeld_;
        choiceHeld_ = pressed;
        if (!edge) return;
        Event ev;
        ev.type = EventType::MouseMove;
        ev.x = kStartBoxX;
        ev.y = kStartBoxY;
        push(ev);
        ev.type = EventType::Click;
        push(ev);
    }

    void end() {
        ended_ = true;
        emscripten_cancel_main_loop();
        if (done_) done_();
        std::vector<double> c = tickCosts_;
        std::sort(c.begin(), c.end());
        auto at = [&](double share) {
            if (c.empty()) return 0.0;
            size_t i = static_cast<size_t>(std::ceil(share * static_cast<double>(c.size())));
            return c[std::min(i == 0 ? 0 : i - 1, c.size() - 1)];
        };
        const double seconds = firstTick_ >= 0 ? (lastTick_ - firstTick_) / 1000.0 : 0.0;
        double sum = 0;
        for (double v : c) sum += v;
        orbita_loop_ended(static_cast<int>(c.size()), seconds, c.empty() ? 0.0 : sum / c.size(), at(0.5), at(0.99));
    }

    void show() {
        dirty_ = false;
        if (last_.empty()) return;
        rgba_.resize(last_.size() * 4);
        uint8_t* d = rgba_.data();
        for (uint16_t p : last_) {
            const uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            // Each channel widened by repeating its top bits, as the screenshots do.
            *d++ = static_cast<uint8_t>((r << 3) | (r >> 2));
            *d++ = static_cast<uint8_t>((g << 2) | (g >> 4));
            *d++ = static_cast<uint8_t>((b << 3) | (b >> 2));
            *d++ = 255;
        }
        orbita_blit(rgba_.data(), kFrameWidth, kFrameHeight);
    }

    void push(const Event& e) { events_.push_back(e); }

    // Keys the page gives up to the game: all that the game reads and all that would scroll
    // the page or move the focus. Shortcuts with Ctrl or Meta, and the function keys the
    // game does not read (F5, F11, F12, ...), stay the browser's.
    static bool keepFromPage(int vk, const EmscriptenKeyboardEvent& e) {
        if (e.ctrlKey || e.metaKey) return false;
        if (vk >= 0x70 && vk <= 0x87) return vk == 0x71 || vk == 0x72;
        return vk != 0;
    }

    static EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void* user) {
        auto* self = static_cast<WebPlatform*>(user);
        int side = 0;
        const int vk = vkFromDomCode(e->code, &side);
        if (!vk) return EM_FALSE;
        if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
            if (vk == 0x0D && e->altKey) {
                // Alt+Enter is the full-screen switch, no key of the game; its Enter stays
                // out of the key table until released.
                if (!e->repeat) self->toggleFullScreen();
                self->altEnterHeld_ = true;
                return EM_TRUE;
            }
            self->keys_[vk] = 0x80;
            if (side) self->keys_[side] = 0x80;
            Event ev;
            ev.type = EventType::KeyDown;
            ev.key = vk;
            self->push(ev);
        } else {
            if (vk == 0x0D && self->altEnterHeld_) {
                self->altEnterHeld_ = false;
                return EM_TRUE;
            }
            self->keys_[vk] = 0;
            if (side) self->keys_[side] = 0;
            // One Shift up while the other is down leaves the generic code down.
            if (vk == 0x10 && (self->keys_[0xA0] | self->keys_[0xA1])) self->keys_[vk] = 0x80;
            if (vk == 0x11 && (self->keys_[0xA2] | self->keys_[0xA3])) self->keys_[vk] = 0x80;
            if (vk == 0x12 && (self->keys_[0xA4] | self->keys_[0xA5])) self->keys_[vk] = 0x80;
        }
        return keepFromPage(vk, *e) ? EM_TRUE : EM_FALSE;
    }

    static EM_BOOL onMouse(int type, const EmscriptenMouseEvent* e, void* user) {
        auto* self = static_cast<WebPlatform*>(user);
        double shownW = 0, shownH = 0;
        emscripten_get_element_css_size("#canvas", &shownW, &shownH);
        int x = 0, y = 0;
        const bool inside = pictureFromCanvas(e->targetX, e->targetY, shownW, shownH, x, y);
        Event ev;
        ev.x = x;
        ev.y = y;
        switch (type) {
        case EMSCRIPTEN_EVENT_MOUSEMOVE:
            if (!inside) return EM_FALSE;
            ev.type = EventType::MouseMove;
            self->push(ev);
            return EM_FALSE;
        case EMSCRIPTEN_EVENT_MOUSEDOWN:
            if (e->button == 0) self->leftDown_ = true;
            return EM_FALSE;
        case EMSCRIPTEN_EVENT_MOUSEUP:
            // A click is a press and release of the left button, reported on release.
            if (e->button != 0 || !self->leftDown_) return EM_FALSE;
            self->leftDown_ = false;
            if (!inside) return EM_FALSE;
            ev.type = EventType::Click;
            self->push(ev);
            return EM_FALSE;
        default:
            return EM_FALSE;
        }
    }

    static EM_BOOL onFocus(int type, const EmscriptenFocusEvent*, void* user) {
        auto* self = static_cast<WebPlatform*>(user);
        const bool focused = type == EMSCRIPTEN_EVENT_FOCUS;
        if (focused == self->focused_) return EM_FALSE;
        self->focused_ = focused;
        g_pageFocused = focused;
        // Keys let go while another window had the focus never report their release here.
        if (!focused) std::memset(self->keys_, 0, sizeof self->keys_);
        Event ev;
        ev.type = focused ? EventType::Activate : EventType::Deactivate;
        self->push(ev);
        return EM_FALSE;
    }

    const bool fast_;
    FrameClock clock_;
    uint32_t virtual_ = 0;
    bool open_ = false;
    // A page starts in front, as the window of a program that has just started does; the
    // window's focus and blur events tell the changes.
    bool focused_ = true;
    bool leftDown_ = false;
    bool choiceHeld_ = false;
    bool levelsReady_ = false;
    bool holding_ = false;
    bool altEnterHeld_ = false;
    bool inFrame_ = false;
    bool dirty_ = false;
    bool ended_ = false;
    uint64_t presented_ = 0;
    double firstTick_ = -1, lastTick_ = 0;
    std::vector<double> tickCosts_;  // ms
    uint8_t keys_[256];
    std::vector<Event> events_;
    std::vector<uint16_t> last_;
    std::vector<uint8_t> rgba_;
    FontCache fonts_;
    std::function<bool(uint32_t&)> pass_;
    std::function<void()> done_;
};

}  // namespace

std::unique_ptr<Platform> createWebPlatform() {
    g_pageFocused = true;
    return std::make_unique<WebPlatform>();
}

bool webPageFocused() { return g_pageFocused; }

}  // namespace platform
