// The SDL back-end: one window, decorated and resizable, or full screen at the desktop's
// resolution (or, when asked, in the chosen display mode); the composed picture at the
// largest whole scale that fits, letterboxed, through an RGB565 streaming texture or, where
// the renderer would draw on the processor, scaled by our own loop into the window's
// surface; keyboard, pointer, focus and joystick. SDL's video and joystick subsystems start on
// first use, so merely creating this object touches no display.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/Font.h"
#include "platform/Platform.h"
#include "platform/sdl/KeyMap.h"
#include "platform/sdl/SurfaceScaler.h"
#include "platform/Viewport.h"

namespace platform {

namespace {

constexpr const char* kTitle = "Orbita";
constexpr uint32_t kFineWaitMs = 2;  // the end of a wait slept in small steps

class SdlPlatform final : public Platform {
public:
    SdlPlatform() = default;
    ~SdlPlatform() override {
        closeDisplay();
        closeJoysticks();
        for (SDL_Cursor* c : {arrow_, hand_})
            if (c) SDL_FreeCursor(c);
        if (joystickUp_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
        if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    bool isHeadless() const override { return false; }

    bool hasDisplay(std::string& why) override {
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        const bool offscreen = driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"));
        const char* x = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (offscreen || (!(x && *x) && !(wayland && *wayland) && !(driver && *driver))) {
            why = offscreen ? std::string("SDL_VIDEODRIVER=") + driver + " shows nothing"
                            : "neither DISPLAY nor WAYLAND_DISPLAY is set";
            return false;
        }
        if (!ensureVideo()) {
            why = videoError_;
            return false;
        }
        const char* current = SDL_GetCurrentVideoDriver();
        if (!current || !std::strcmp(current, "offscreen") || !std::strcmp(current, "dummy")) {
            why = std::string("only SDL's ") + (current ? current : "no") + " video driver is available";
            return false;
        }
        return true;
    }

    bool isFullScreen() const override { return fullScreen_; }

    uint32_t ticks() override { return SDL_GetTicks(); }

    // --- display ---------------------------------------------------------------
    std::vector<DisplayMode> displayModes() override {
        std::vector<DisplayMode> modes;
        if (!ensureVideo()) return modes;
        int n = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < n; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
            modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))});
        }
        return modes;
    }

    bool openDisplay(const DisplayMode& mode, const WindowOptions& options) override {
        if (!ensureVideo()) return false;
        closeDisplay();
        mode_ = mode;
        exclusive_ = options.exclusive;
        scale_ = fittingScale(std::max(1, options.scale), !options.fullScreen);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");

        window_ = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kFrameWidth * scale_,
                                   kFrameHeight * scale_, SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
        if (!window_) return fail("window");
        SDL_SetWindowMinimumSize(window_, kFrameWidth / 2, kFrameHeight / 2);
        fullScreen_ = false;
        if (options.fullScreen && !enterFullScreen(true)) {
            closeDisplay();
            return false;
        }

        surfacePath_ = false;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        if (renderer_ && !std::getenv("SDL_RENDER_DRIVER") && onSoftwareGl(renderer_)) {
            // OpenGL drawn by the processor (a virtual display, a machine without a graphics
            // driver) costs several times what our own scaling into the window's shared
            // memory does.
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            if (SDL_GetWindowSurface(window_)) {
                surfacePath_ = true;
                SDL_ShowWindow(window_);
                SDL_RaiseWindow(window_);
                focused_ = true;
                return true;
            }
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        }
        SDL_RendererInfo info{};
        vsyncCapable_ = renderer_ && SDL_GetRendererInfo(renderer_, &info) == 0 &&
                        (info.flags & SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            fail("renderer");
            closeDisplay();
            return false;
        }
        vsyncOn_ = vsyncCapable_;
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kFrameWidth,
                                     kFrameHeight);
        if (!texture_) {
            fail("texture");
            closeDisplay();
            return false;
        }
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
        focused_ = true;
        return true;
    }

    void closeDisplay() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        fullScreen_ = false;
        surfacePath_ = false;
        scaler_.reset();
    }

    void present(const uint16_t* pixels, bool waitVBlank) override {
        if (!pixels) return;
        // Into the window's surface, last_ becoming the picture as it is compared with it.
        if (surfacePath_ && drawOnSurface(pixels, false)) return;
        last_.assign(pixels, pixels + kFrameWidth * kFrameHeight);
        if (surfacePath_) {
            surfaceStale_ = true;  // the window shows nothing now; the surface is behind
            return;
        }
        show(waitVBlank);
    }
    const std::vector<uint16_t>& lastPresented() const override { return last_; }

    bool displayLost() override { return false; }
    bool restoreDisplay() override { return true; }
    void waitVBlank() override {}

    void setCursor(CursorShape shape) override {
        if (!ensureVideo()) return;
        if (shape == CursorShape::None) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_Cursor*& c = shape == CursorShape::Hand ? hand_ : arrow_;
        if (!c) c = SDL_CreateSystemCursor(shape == CursorShape::Hand ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW);
        if (c) SDL_SetCursor(c);
        SDL_ShowCursor(SDL_ENABLE);
    }

    void toggleFullScreen() override {
        if (!window_) return;
        if (fullScreen_) {
            SDL_SetWindowFullscreen(window_, 0);
            scale_ = fittingScale(scale_, false);
            SDL_SetWindowSize(window_, kFrameWidth * scale_, kFrameHeight * scale_);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
            fullScreen_ = false;
        } else {
            enterFullScreen(false);
        }
        if (!last_.empty()) show(false);
    }

    // --- events and input -------------------------------------------------------
    bool pollEvent(Event& event) override {
        if (!videoUp_) return false;
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            if (translate(e, event)) return true;
        }
        return false;
    }

    void waitEvents(uint32_t timeoutMs) override {
        if (!videoUp_) {
            // Nothing can arrive without a window: a short nap, never a wait for ever.
            SDL_Delay(timeoutMs < 100 ? timeoutMs : 100);
            return;
        }
        // With no event structure SDL leaves the event queued for pollEvent.
        int ms = timeoutMs > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(timeoutMs);
        SDL_WaitEventTimeout(nullptr, ms);
    }

    // Until the clock reads dueMs: the wait for events ends two milliseconds early, the rest
    // is slept in quarter milliseconds, so that the frame starts in the millisecond it is due
    // (a late wake-up would push every later frame back) while the core stays idle.
    void waitUntil(uint32_t dueMs) override {
        for (;;) {
            const uint32_t left = dueMs - SDL_GetTicks();
            if (left == 0 || left >= 0x80000000u) return;
            if (videoUp_) {
                SDL_PumpEvents();
                if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
            }
            if (left > kFineWaitMs) {
                if (videoUp_) {
                    if (SDL_WaitEventTimeout(nullptr, static_cast<int>(left - kFineWaitMs)) == 1) return;
                } else {
                    SDL_Delay(left - kFineWaitMs);
                }
                continue;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    }

    void keyboardState(uint8_t keys[256]) override {
        std::memset(keys, 0, 256);
        if (!videoUp_) return;
        int n = 0;
        const Uint8* state = SDL_GetKeyboardState(&n);
        // The Enter of an Alt+Enter stays out of the key table until both Enter keys are up.
        if (altEnterHeld_ && !state[SDL_SCANCODE_RETURN] && !state[SDL_SCANCODE_KP_ENTER]) altEnterHeld_ = false;
        keyTableFromScancodes(state, n, altEnterHeld_, keys);
    }

    bool isForeground() override { return focused_; }
    bool isActive() override { return focused_; }

    JoystickState joystick(int id) override {
        JoystickState s;
        if (id < 0 || !ensureVideo() || !joystickUp_) return s;
        if (id >= SDL_NumJoysticks()) return s;
        Pad& p = pads_[id];
        if (!p.tried) {
            p.tried = true;
            if (SDL_IsGameController(id)) p.controller = SDL_GameControllerOpen(id);
            if (!p.controller) p.joystick = SDL_JoystickOpen(id);
        }
        s.xMin = s.yMin = s.zMin = -32768;
        s.xMax = s.yMax = s.zMax = 32767;
        bool up = false, down = false, left = false, right = false;
        if (p.controller) {
            s.present = true;
            s.x = SDL_GameControllerGetAxis(p.controller, SDL_CONTROLLER_AXIS_LEFTX);
            s.y = SDL_GameControllerGetAxis(p.controller, SDL_CONTROLLER_AXIS_LEFTY);
            s.z = SDL_GameControllerGetAxis(p.controller, SDL_CONTROLLER_AXIS_RIGHTX);
            for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < 32; ++b)
                if (SDL_GameControllerGetButton(p.controller, static_cast<SDL_GameControllerButton>(b)))
                    s.buttons |= 1u << b;
            up = SDL_GameControllerGetButton(p.controller, SDL_CONTROLLER_BUTTON_DPAD_UP);
            down = SDL_GameControllerGetButton(p.controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
            left = SDL_GameControllerGetButton(p.controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
            right = SDL_GameControllerGetButton(p.controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        } else if (p.joystick) {
            s.present = true;
            int axes = SDL_JoystickNumAxes(p.joystick);
            if (axes > 0) s.x = SDL_JoystickGetAxis(p.joystick, 0);
            if (axes > 1) s.y = SDL_JoystickGetAxis(p.joystick, 1);
            if (axes > 2) s.z = SDL_JoystickGetAxis(p.joystick, 2);
            int buttons = std::min(32, SDL_JoystickNumButtons(p.joystick));
            for (int b = 0; b < buttons; ++b)
                if (SDL_JoystickGetButton(p.joystick, b)) s.buttons |= 1u << b;
            if (SDL_JoystickNumHats(p.joystick) > 0) {
                Uint8 hat = SDL_JoystickGetHat(p.joystick, 0);
                up = hat & SDL_HAT_UP;
                down = hat & SDL_HAT_DOWN;
                left = hat & SDL_HAT_LEFT;
                right = hat & SDL_HAT_RIGHT;
            }
        }
        // A direction pad counts as the stick pushed all the way.
        if (left) s.x = -32768;
        if (right) s.x = 32767;
        if (up) s.y = -32768;
        if (down) s.y = 32767;
        return s;
    }

    // --- system -------------------------------------------------------------------
    // The message also goes to standard error, so a run under a test harness leaves a
    // trace. ORBITA_NO_MESSAGE_BOX=1 keeps it there (unattended runs, where a modal box
    // would wait for ever for a click).
    void messageBox(const std::string& text) override {
        std::fprintf(stderr, "orbita: %s\n", text.c_str());
        std::fflush(stderr);
        const char* quiet = std::getenv("ORBITA_NO_MESSAGE_BOX");
        if (quiet && *quiet && *quiet != '0') return;
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kTitle, text.c_str(), window_);
    }

    bool renderText(const std::string& utf8, int pointSize, TextMask& out) override {
        return fonts_.render(utf8, pointSize, out);
    }

private:
    struct Pad {
        bool tried = false;
        SDL_GameController* controller = nullptr;
        SDL_Joystick* joystick = nullptr;
    };

    // The renderer draws through OpenGL that the processor rasterises (Mesa's llvmpipe,
    // softpipe or swrast).
    static bool onSoftwareGl(SDL_Renderer* renderer) {
        SDL_RendererInfo info{};
        if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
            return false;
        using GetString = const unsigned char* (*)(unsigned int);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        if (!getString) return false;
        const unsigned char* name = getString(0x1F01);  // GL_RENDERER
        if (!name) return false;
        const char* n = reinterpret_cast<const char*>(name);
        return std::strstr(n, "llvmpipe") || std::strstr(n, "softpipe") || std::strstr(n, "Software Rasterizer") ||
               std::strstr(n, "swrast");
    }

    bool fail(const char* what) {
        std::fprintf(stderr, "orbita: cannot create the %s: %s\n", what, SDL_GetError());
        return false;
    }

    // The largest scale up to wanted whose window fits the desktop's usable area (at least
    // 1); a smaller one than asked for is said once.
    int fittingScale(int wanted, bool say) {
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return wanted;
        // Room for the window manager's title bar and border.
        const int room = std::max(1, std::min((usable.w - 16) / kFrameWidth, (usable.h - 48) / kFrameHeight));
        if (wanted <= room) return wanted;
        if (say)
            std::fprintf(stderr, "orbita: a window at scale %d does not fit the %dx%d desktop; scale %d instead\n",
                         wanted, usable.w, usable.h, room);
        return room;
    }

    bool ensureVideo() {
        if (videoUp_) return true;
        if (videoFailed_) return false;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            videoFailed_ = true;
            videoError_ = SDL_GetError();
            return false;
        }
        videoUp_ = true;
        // Without a joystick subsystem the game still runs on the keyboard.
        joystickUp_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
        return true;
    }

    // Full screen at the desktop's own resolution; exclusively (asked for at openDisplay)
    // in the display mode asked for (the offered mode of that size, preferring the same bit
    // count), or the desktop's mode when none matches and strict is false.
    bool enterFullScreen(bool strict) {
        if (!exclusive_) {
            if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
            fullScreen_ = true;
            return true;
        }
        SDL_DisplayMode best{};
        bool found = false;
        int n = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < n; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0 || m.w != mode_.width || m.h != mode_.height) continue;
            bool sameBits = static_cast<int>(SDL_BITSPERPIXEL(m.format)) == mode_.bitCount;
            if (!found || sameBits) {
                best = m;
                found = true;
                if (sameBits) break;
            }
        }
        int rc;
        if (found) {
            SDL_SetWindowDisplayMode(window_, &best);
            rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
        } else if (strict) {
            return false;
        } else {
            rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        if (rc != 0) return false;
        fullScreen_ = true;
        return true;
    }

    // Draws the last picture at the largest whole scale that fits, centred on black; uncovered
    // (the window system lost what the window showed) sends the whole window again.
    void show(bool waitVBlank, bool uncovered = false) {
        if (surfacePath_) {
            if (!last_.empty()) drawOnSurface(last_.data(), uncovered);
            return;
        }
        if (!renderer_ || !texture_ || last_.empty()) return;
        // A hidden or minimised window is not drawn, so a vertical-blank wait cannot stall.
        if (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return;
        bool wantVsync = waitVBlank && vsyncCapable_;
        if (wantVsync != vsyncOn_ && SDL_RenderSetVSync(renderer_, wantVsync ? 1 : 0) == 0) vsyncOn_ = wantVsync;
        SDL_UpdateTexture(texture_, nullptr, last_.data(), kFrameWidth * 2);
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        Viewport v = Viewport::fit(ow, oh);
        SDL_Rect dst{v.x, v.y, kFrameWidth * v.scale, kFrameHeight * v.scale};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        SDL_RenderPresent(renderer_);
    }

    // The picture scaled into the window's surface and sent, last_ becoming it; false when
    // the window shows nothing (hidden, minimised) and nothing was done.
    bool drawOnSurface(const uint16_t* picture, bool whole) {
        if (!window_ || (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN))) return false;
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        if (!s) return false;
        if (!scaler_) scaler_ = std::make_unique<SurfaceScaler>();
        scaler_->present(window_, s, picture, last_, whole || surfaceStale_);
        surfaceStale_ = false;
        return true;
    }

    // Window pointer coordinates to picture coordinates; false outside the picture.
    bool toPicture(int wx, int wy, int& x, int& y) const {
        if (surfacePath_ && window_) {
            int ww = 0, wh = 0;
            SDL_GetWindowSize(window_, &ww, &wh);
            return Viewport::fit(ww, wh).toPicture(wx, wy, x, y);
        }
        if (!renderer_) return false;
        int ow = 0, oh = 0, ww = 0, wh = 0;
        SDL_GetRendererOutputSize(renderer_, &ow, &oh);
        SDL_GetWindowSize(window_, &ww, &wh);
        if (ww > 0 && wh > 0 && (ww != ow || wh != oh)) {  // high-density output
            wx = static_cast<int>(static_cast<long long>(wx) * ow / ww);
            wy = static_cast<int>(static_cast<long long>(wy) * oh / wh);
        }
        return Viewport::fit(ow, oh).toPicture(wx, wy, x, y);
    }

    void closeJoysticks() {
        for (auto& kv : pads_) {
            if (kv.second.controller) SDL_GameControllerClose(kv.second.controller);
            if (kv.second.joystick) SDL_JoystickClose(kv.second.joystick);
        }
        pads_.clear();
    }

    bool ourWindow(Uint32 windowId) const { return window_ && windowId == SDL_GetWindowID(window_); }

    bool translate(const SDL_Event& e, Event& out) {
        out = Event{};
        switch (e.type) {
        case SDL_QUIT:
            out.type = EventType::Quit;
            return true;
        case SDL_WINDOWEVENT:
            if (!ourWindow(e.window.windowID)) return false;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                if (focused_) return false;
                focused_ = true;
                out.type = EventType::Activate;
                return true;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                if (!focused_) return false;
                focused_ = false;
                out.type = EventType::Deactivate;
                return true;
            case SDL_WINDOWEVENT_CLOSE:
                out.type = EventType::Quit;
                return true;
            case SDL_WINDOWEVENT_EXPOSED:
                show(false, true);
                return false;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                show(false);
                return false;
            default:
                return false;
            }
        case SDL_KEYDOWN: {
            SDL_Scancode sc = e.key.keysym.scancode;
            if ((sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (e.key.keysym.mod & KMOD_ALT)) {
                if (!e.key.repeat) toggleFullScreen();
                altEnterHeld_ = true;
                return false;
            }
            int vk = vkFromScancode(sc);
            if (!vk) return false;
            out.type = EventType::KeyDown;
            out.key = vk;
            return true;
        }
        case SDL_MOUSEMOTION:
            if (!toPicture(e.motion.x, e.motion.y, out.x, out.y)) return false;
            out.type = EventType::MouseMove;
            return true;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) leftDown_ = true;
            return false;
        case SDL_MOUSEBUTTONUP:
            // A click is a press and release of the left button, reported on release.
            if (e.button.button != SDL_BUTTON_LEFT || !leftDown_) return false;
            leftDown_ = false;
            if (!toPicture(e.button.x, e.button.y, out.x, out.y)) return false;
            out.type = EventType::Click;
            return true;
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
            // Device indices change when a stick comes or goes: reopen on the next read.
            closeJoysticks();
            return false;
        default:
            return false;
        }
    }

    bool videoUp_ = false;
    bool videoFailed_ = false;
    std::string videoError_;
    bool exclusive_ = false;    // full screen by a display mode switch
    bool surfacePath_ = false;  // our own scaling into the window's surface, no renderer
    bool surfaceStale_ = false;  // pictures came while the window showed nothing
    std::unique_ptr<SurfaceScaler> scaler_;
    bool joystickUp_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
    SDL_Cursor* hand_ = nullptr;
    DisplayMode mode_;
    int scale_ = 1;
    bool fullScreen_ = false;
    bool vsyncCapable_ = false;
    bool vsyncOn_ = false;
    bool focused_ = true;  // a program starts in front, as the window it opens does
    bool leftDown_ = false;
    bool altEnterHeld_ = false;  // the Enter key went down as part of Alt+Enter
    std::map<int, Pad> pads_;
    std::vector<uint16_t> last_;
    FontCache fonts_;
};

}  // namespace

std::unique_ptr<Platform> createSdlPlatform() { return std::make_unique<SdlPlatform>(); }

}  // namespace platform
