// The display: a 640 x 480 16-bit back buffer (RGB565 software surface) that Flip copies
// into the window picture, plus the surfaces and canvas everything draws with.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/Forms.h"

namespace media {

using TColor = uint32_t;  // 0x00BBGGRR, red in the low byte

// 24-bit colour -> RGB565 device colour.
inline uint16_t ColorToDevice(TColor c) {
    return static_cast<uint16_t>(((c & 0xF8) << 8) | ((c >> 5) & 0x07E0) | ((c >> 19) & 0x1F));
}
// RGB565 device colour -> 24-bit colour. Channels are widened by repeating their top bits,
// except green level 32, which reads back as exactly 128 so that the deadly pure green
// (0, 128, 0) survives the trip through the 16-bit surface unchanged.
inline TColor DeviceToColor(uint16_t p) {
    uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    uint32_t r = (r5 << 3) | (r5 >> 2);
    uint32_t g = g6 == 32 ? 128 : ((g6 << 2) | (g6 >> 4));
    uint32_t b = (b5 << 3) | (b5 >> 2);
    return r | (g << 8) | (b << 16);
}

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

class TDirectDrawSurface;

enum class TBrushStyle { bsSolid, bsClear };

struct TFont {
    int Size = 8;              // points
    TColor Color = 0x000000;
};
struct TBrush {
    TBrushStyle Style = TBrushStyle::bsSolid;
    TColor Color = 0xFFFFFF;
};
struct TPen {
    TColor Color = 0x000000;
};

// Canvas of a surface: text, lines and single pixels. Its device context is borrowed from
// the surface on the first drawing call and given back by Release; while it is held the
// surface takes part in no blit.
class TDirectDrawSurfaceCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface* surface) : surface_(surface) {}

    TFont Font;
    TBrush Brush;
    TPen Pen;

    void TextOut(int x, int y, const char* utf8);
    void TextOut(int x, int y, const std::string& utf8) { TextOut(x, y, utf8.c_str()); }
    // Renders a line of text in the current font size ahead of its first TextOut (at a
    // scene's set-up), drawing nothing. Every line the canvas renders is kept, so a text
    // drawn in every frame is rendered once.
    void PrepareText(const char* utf8);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // one pixel wide; the end point is not drawn
    void SetPixel(int x, int y, TColor colour);
    TColor Pixels(int x, int y);  // read back through the device context
    void Release();
    bool HandleAllocated() const { return handle_; }

private:
    struct RenderedText {
        const platform::Platform* platform = nullptr;
        int size = 0;
        std::string text;
        bool ok = false;  // false: the back-end has no font, nothing is drawn
        platform::TextMask mask;
    };
    const RenderedText* Rendered(const char* utf8);
    static constexpr size_t kKeptTexts = 32;
    std::vector<RenderedText> texts_;  // oldest first
    void RequireHandle();
    TDirectDrawSurface* surface_;
    bool handle_ = false;
    int penX_ = 0, penY_ = 0;
};

class TDirectDrawSurface {
public:
    TDirectDrawSurface();
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    // Creates a plain surface of w x h pixels; false when it cannot be made. With
    // storageRows > height the pixel memory has room for that many rows: the rows below the
    // surface belong to its owner (the display puts the rest of the window picture there)
    // and no drawing on the surface reaches them.
    bool Create(int width, int height, bool systemMemory = false, int storageRows = 0);
    int StorageRows() const { return storageRows_; }
    void Free();
    bool Exists() const { return !pixels_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool SystemMemory() const { return systemMemory_; }

    // Writable access gives up the key runs (below); reading through a const surface keeps them.
    uint16_t* Bits() {
        keyRuns_.valid = false;
        return pixels_.data();
    }
    const uint16_t* Bits() const { return pixels_.data(); }
    uint16_t& At(int x, int y) {
        keyRuns_.valid = false;
        return pixels_[static_cast<size_t>(y) * width_ + x];
    }
    uint16_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Source colour key, as a device colour.
    void SetColorKey(uint16_t key) {
        if (key != colorKey_) keyRuns_.valid = false;
        colorKey_ = key;
    }
    // Notes, row by row, the runs of pixels that are not the colour key, so that a keyed blit
    // from this surface copies those runs and skips the rest instead of testing every pixel.
    // Kept until the surface is written to or its key changes (for pictures, which are
    // written once and then only read).
    void PrepareKeyRuns();
    bool HasKeyRuns() const { return keyRuns_.valid; }
    uint16_t ColorKey() const { return colorKey_; }

    // Fills the whole surface with a device colour (Fill(0) clears to black).
    void Fill(uint32_t deviceColour);

    // Direct pixel access for the software drawing loops; fails while the canvas holds
    // the device context or the surface does not exist.
    bool Lock();
    void Unlock();
    bool Locked() const { return lockCount_ > 0; }
    bool DCBorrowed() const { return dcBorrowed_; }

    // Fast blit: src's rectangle to (x, y); false when refused (no surface, a borrowed
    // device context on either side).
    bool BltFast(int x, int y, const TDirectDrawSurface& src, const TRect& srcRect, bool keyed);
    // General blit: source rectangle to destination rectangle (stretching and mirroring).
    bool Blt(const TRect& destRect, const TDirectDrawSurface& src, const TRect& srcRect, bool keyed);
    // Set once a fast blit was refused as unsupported; this surface then always uses Blt.
    bool UseGeneralBlit = false;

    TDirectDrawSurfaceCanvas& Canvas();

    // Device-context bookkeeping used by the canvas.
    bool BorrowDC();
    void ReturnDC() { dcBorrowed_ = false; }
    // Test hook: the surface refuses its device context (as a lost surface would).
    bool RefuseDC = false;

private:
    std::vector<uint16_t> pixels_;
    int width_ = 0, height_ = 0;
    int storageRows_ = 0;
    struct KeyRuns {
        bool valid = false;
        std::vector<uint32_t> rowStart;  // height + 1 indexes into runs
        std::vector<uint16_t> runs;      // per run: first column, length
    } keyRuns_;
    bool systemMemory_ = false;
    uint16_t colorKey_ = 0;
    int lockCount_ = 0;
    bool dcBorrowed_ = false;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};

enum TDXDrawOption {
    doFullScreen, doNoWindowChange, doAllowReboot, doWaitVBlank, doAllowPalette256, doSystemMemory,
    doStretch, doCenter, doFlip, do3D, doRetainedMode, doHardware, doSelectDriver, doZBuffer
};

class TDXDrawOptions {
public:
    TDXDrawOptions() = default;
    TDXDrawOptions(std::initializer_list<TDXDrawOption> list) { for (auto o : list) bits_ |= 1u << o; }
    bool Has(TDXDrawOption o) const { return bits_ & (1u << o); }
    TDXDrawOptions& Add(TDXDrawOption o) { bits_ |= 1u << o; return *this; }
    TDXDrawOptions& Remove(TDXDrawOption o) { bits_ &= ~(1u << o); return *this; }
    bool operator==(const TDXDrawOptions& o) const { return bits_ == o.bits_; }
    bool operator!=(const TDXDrawOptions& o) const { return bits_ != o.bits_; }
    uint32_t Bits() const { return bits_; }

private:
    uint32_t bits_ = 0;
};

struct TRGBQuad {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
using TColorTable = std::array<TRGBQuad, 256>;

class TDXDrawDisplay {
public:
    int Width = 640;
    int Height = 480;
    bool FixedBitCount = false;
    bool FixedRatio = true;
    bool FixedSize = false;
    int BitCount() const { return bitCount_; }
    // 8, 16, 24 or 32; anything else raises "It should be either of 8 or 16 or 24 or 32"
    // and keeps the previous value.
    void SetBitCount(int bits);

    // Mode selection: picks the mode to set for the requested W x H x B among the offered
    // modes. False when none fits.
    static bool SelectMode(const std::vector<platform::DisplayMode>& offered, int w, int h, int b,
                           bool fixedRatio, bool fixedSize, bool fixedBitCount, platform::DisplayMode& chosen);
    // Selects a mode as SelectMode does and sets it with open. When the mode found cannot be
    // set, the search runs again without the ratio rule among the other offered modes, and
    // that mode is tried. False when no mode could be set; chosen is the one that was.
    static bool SetBestMode(const std::vector<platform::DisplayMode>& offered, int w, int h, int b, bool fixedRatio,
                            bool fixedSize, bool fixedBitCount,
                            const std::function<bool(const platform::DisplayMode&)>& open,
                            platform::DisplayMode& chosen);

private:
    int bitCount_ = 8;
};

// Notification kinds sent to the attached image lists.
enum TDXDrawNotifyType {
    dxntDestroying = 0, dxntInitializing, dxntInitialize, dxntInitializeSurface, dxntFinalize,
    dxntFinalizeSurface, dxntRestore, dxntSetSurfaceSize
};

class TCustomDXDraw;
using TDXDrawNotifyEvent = std::function<void(TCustomDXDraw* sender, TDXDrawNotifyType kind)>;

class TCustomDXDraw : public TControl {
public:
    TCustomDXDraw();
    ~TCustomDXDraw() override;

    bool AutoInitialize = true;
    bool AutoSize = true;
    TDXDrawDisplay Display;

    void SetOptions(TDXDrawOptions options);
    TDXDrawOptions Options() const { return options_; }
    TDXDrawOptions NowOptions() const { return nowOptions_; }

    int SurfaceWidth() const { return surfaceWidth_; }

    TColorTable ColorTable{};
    TColorTable DefColorTable{};

    void Initialize();
    void Finalize();
    bool CanDraw();
    void Flip();
    bool TryRestore();
    void Restore();
    void ApplyColorTable();
    bool Initialized() const { return initialized_; }
    TDirectDrawSurface& Surface() { return *surface_; }

    // Events, each taking the sender.
    std::function<void(TObject*)> OnInitializing, OnInitialize, OnInitializeSurface, OnFinalize,
        OnFinalizeSurface, OnRestoreSurface;
    // Mouse events of the control (coordinates in the control's pixels).
    std::function<void(TObject*)> OnClick;
    std::function<void(TObject*, int shift, int x, int y)> OnMouseMove;

    // Listeners (image lists), notified from the most recently attached to the first.
    void RegisterNotifyEvent(void* listener, TDXDrawNotifyEvent callback);
    void UnRegisterNotifyEvent(void* listener);

    // Window picture handling: the display area as last flipped.
    const std::vector<uint16_t>& PrimaryPixels() const { return primaryPixels_; }
    void Click(int x, int y) override;
    void MouseMove(int x, int y) override;
    // Options of the window (full screen or windowed, scale) handed to the platform.
    platform::WindowOptions WindowOptions;

protected:
    void BoundsChanged(int oldWidth, int oldHeight) override;

private:
    void Notify(TDXDrawNotifyType kind);
    void CreateBackBuffer();
    void Resize(int w, int h);
    void FlipInternal(bool waitVBlank);

    TDXDrawOptions options_;
    TDXDrawOptions nowOptions_;
    int surfaceWidth_ = 100, surfaceHeight_ = 100;
    std::unique_ptr<TDirectDrawSurface> surface_;
    bool primary_ = false;
    bool initialized_ = false;
    bool updating_ = false;
    int initializeDepth_ = 0;
    bool calledOnInitialize_ = false;
    bool calledOnInitializeSurface_ = false;
    struct Listener {
        void* listener;
        TDXDrawNotifyEvent callback;
    };
    std::vector<Listener> listeners_;
    struct CoverRect {
        int l, t, r, b;
    };
    std::vector<CoverRect> covers_;  // the sibling windows over the display, at the last flip
    std::vector<uint16_t> primaryPixels_;  // 640 x 480: what Flip has put on the screen
};

class TDXDraw : public TCustomDXDraw {};

}  // namespace media
