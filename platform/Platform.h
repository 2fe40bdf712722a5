// The one interface between the game's media layer and the machine underneath.
// Nothing outside platform/ includes SDL; everything the media layer needs from the
// system (window, presentation, events, keyboard and joystick state, clock, text,
// message box) goes through here; pictures on disk through platform/Png.h, the headless
// back-end's test hooks through platform/headless/HeadlessControl.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Size of the composed window picture: the display area, the HUD and the form background.
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitCount = 0;  // bits per pixel of the mode's pixel format (8, 15/16, 24, 32)
};

enum class EventType {
    KeyDown,     // key: virtual-key code (0x41 'A', 0x25 cursor left, 0x0D Enter, ...)
    Click,       // x, y: pointer in display coordinates (640 x 480), whatever the scale
    MouseMove,   // x, y as for Click
    Activate,    // the application became the active one
    Deactivate,  // another application is in front
    Quit,        // the window was closed from outside
};

struct Event {
    EventType type = EventType::KeyDown;
    int key = 0;
    int x = 0;
    int y = 0;
};

// Raw state of one joystick as the system reports it: axis readings with their limits
// (the media layer converts them with range and dead zone) and up to 32 buttons.
struct JoystickState {
    bool present = false;
    int x = 0, y = 0, z = 0;
    int xMin = 0, xMax = 65535;
    int yMin = 0, yMax = 65535;
    int zMin = 0, zMax = 65535;
    uint32_t buttons = 0;  // bit i: button i pressed
};

// 8-bit coverage mask of a rendered line of text; 0 = background, 255 = full ink.
struct TextMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // width * height, row-major
};

enum class CursorShape { None, Arrow, Hand };

struct WindowOptions {
    bool fullScreen = true;  // full screen (the desktop's resolution, the picture scaled up)
    bool exclusive = false;  // full screen in the display mode asked for (a mode switch)
    int scale = 1;           // windowed: integer scale of the 640 x 480 picture
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual bool isHeadless() const = 0;
    // Whether a window can be shown at all (a real display, not an off-screen stand-in);
    // when not, why.
    virtual bool hasDisplay(std::string& why) {
        (void)why;
        return true;
    }
    // The window covers the screen (Alt+Enter switches).
    virtual bool isFullScreen() const { return false; }

    // --- clock ---------------------------------------------------------------
    // Milliseconds since some fixed start; wraps like a 32-bit system clock.
    virtual uint32_t ticks() = 0;

    // --- display -------------------------------------------------------------
    // The modes the display offers (for the display-mode selection).
    virtual std::vector<DisplayMode> displayModes() = 0;
    // Takes the screen (full screen in that mode, or a window when the options say so).
    // False when the mode cannot be set.
    virtual bool openDisplay(const DisplayMode& mode, const WindowOptions& options) = 0;
    virtual void closeDisplay() = 0;
    // Shows one composed 640 x 480 RGB565 picture; with waitVBlank in step with the
    // vertical blank.
    virtual void present(const uint16_t* pixels, bool waitVBlank) = 0;
    // The most recently presented picture (640 x 480 RGB565), empty before the first one.
    virtual const std::vector<uint16_t>& lastPresented() const = 0;
    // Lost primary surface (another program took the screen). restoreDisplay() tries to
    // get it back and reports whether it is usable again.
    virtual bool displayLost() = 0;
    virtual bool restoreDisplay() = 0;
    // Waits for the start of the next vertical blank (no-op where not available).
    virtual void waitVBlank() = 0;
    // Pointer shape over the window: hidden, the ordinary arrow, or the hand.
    virtual void setCursor(CursorShape shape) = 0;
    // Alt+Enter handling lives in the back-end; this asks it directly.
    virtual void toggleFullScreen() = 0;

    // --- events and input ----------------------------------------------------
    // Takes the next pending event; false when none is pending.
    virtual bool pollEvent(Event& event) = 0;
    // Waits until an event is pending or timeoutMs have passed (headless: the virtual
    // clock simply advances by timeoutMs).
    virtual void waitEvents(uint32_t timeoutMs) = 0;
    // Waits until an event is pending or the clock (ticks()) has reached the absolute time
    // dueMs, wrapping like the clock. A back-end with a fine clock wakes within a fraction of
    // a millisecond after dueMs, so that work due then starts in that very millisecond.
    virtual void waitUntil(uint32_t dueMs) {
        const uint32_t left = dueMs - ticks();
        if (left != 0 && left < 0x80000000u) waitEvents(left);
    }
    // keys[vk] has its high bit set while the key with that virtual-key code is down.
    virtual void keyboardState(uint8_t keys[256]) = 0;
    virtual bool isForeground() = 0;  // our window is the foreground window
    virtual bool isActive() = 0;      // our application is the active one
    // Joystick with this index (0 = first); present = false when there is none.
    virtual JoystickState joystick(int id) = 0;

    // --- system ---------------------------------------------------------------
    virtual void messageBox(const std::string& text) = 0;
    // Renders one line of UTF-8 text in the default face (DejaVu Sans) at pointSize
    // points at 96 dpi. False when no font is available.
    virtual bool renderText(const std::string& utf8, int pointSize, TextMask& out) = 0;

    // --- the loop -------------------------------------------------------------
    // A back-end whose system calls the program (the browser, once per animation frame)
    // runs the message loop itself: it calls pass() until that returns false, then done(),
    // and reports true (it may never return). Others report false and the caller loops.
    virtual bool driveLoop(const std::function<bool(uint32_t& waitMs)>& /*pass*/,
                           const std::function<void()>& /*done*/) {
        return false;
    }
};

// The back-end the program runs on. Set once by the program entry.
Platform& current();
bool hasCurrent();
void setCurrent(Platform* p);

std::unique_ptr<Platform> createSdlPlatform();
std::unique_ptr<Platform> createWebPlatform();  // built only for the browser
// The back-end with a real display: sdl on the desktop, web in the browser.
std::unique_ptr<Platform> createWindowedPlatform();
std::unique_ptr<Platform> createHeadlessPlatform(uint32_t timerIntervalMs = 25);

}  // namespace platform
