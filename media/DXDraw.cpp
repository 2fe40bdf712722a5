#include "media/DXDraw.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "media/Errors.h"

namespace media {

// ---------------------------------------------------------------------------------------
// TDirectDrawSurface

namespace {
// Copies a run of n >= 1 pixels in fixed-size moves that the compiler does inline; the last
// move of a run may overlap the one before it (the same pixels are written twice).
inline void CopyRun(uint16_t* d, const uint16_t* s, int n) {
    if (n >= 8) {
        int i = 0;
        for (; i + 8 <= n; i += 8) std::memcpy(d + i, s + i, 16);
        if (i < n) std::memcpy(d + n - 8, s + n - 8, 16);
    } else if (n >= 4) {
        std::memcpy(d, s, 8);
        std::memcpy(d + n - 4, s + n - 4, 8);
    } else if (n >= 2) {
        std::memcpy(d, s, 4);
        std::memcpy(d + n - 2, s + n - 2, 4);
    } else {
        *d = *s;
    }
}

// Largest surface we agree to make (a 16384 x 16384 picture); beyond that creation fails
// as a video card would refuse it.
constexpr int64_t kMaxSurfacePixels = int64_t(16384) * 16384;
}  // namespace

TDirectDrawSurface::TDirectDrawSurface() = default;
TDirectDrawSurface::~TDirectDrawSurface() = default;

bool TDirectDrawSurface::Create(int width, int height, bool systemMemory, int storageRows) {
    Free();
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxSurfacePixels) return false;
    const int rows = std::max(height, storageRows);
    if (int64_t(width) * rows > kMaxSurfacePixels) return false;
    pixels_.assign(static_cast<size_t>(width) * rows, 0);
    width_ = width;
    height_ = height;
    storageRows_ = rows;
    systemMemory_ = systemMemory;
    return true;
}

void TDirectDrawSurface::Free() {
    keyRuns_ = KeyRuns{};
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = height_ = 0;
    storageRows_ = 0;
    lockCount_ = 0;
    dcBorrowed_ = false;
    if (canvas_) canvas_->Release();
}

void TDirectDrawSurface::PrepareKeyRuns() {
    keyRuns_.valid = false;
    if (!Exists() || width_ > 65535) return;  // runs are noted in 16 bits
    keyRuns_.rowStart.assign(static_cast<size_t>(height_) + 1, 0);
    keyRuns_.runs.clear();
    for (int y = 0; y < height_; ++y) {
        const uint16_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
        keyRuns_.rowStart[y] = static_cast<uint32_t>(keyRuns_.runs.size() / 2);
        for (int x = 0; x < width_;) {
            while (x < width_ && row[x] == colorKey_) ++x;
            const int start = x;
            while (x < width_ && row[x] != colorKey_) ++x;
            if (x > start) {
                keyRuns_.runs.push_back(static_cast<uint16_t>(start));
                keyRuns_.runs.push_back(static_cast<uint16_t>(x - start));
            }
        }
    }
    keyRuns_.rowStart[height_] = static_cast<uint32_t>(keyRuns_.runs.size() / 2);
    keyRuns_.valid = true;
}

void TDirectDrawSurface::Fill(uint32_t deviceColour) {
    if (!Exists() || dcBorrowed_ || lockCount_ > 0) return;
    keyRuns_.valid = false;
    std::fill(pixels_.begin(), pixels_.begin() + static_cast<ptrdiff_t>(width_) * height_,
              static_cast<uint16_t>(deviceColour));
}

bool TDirectDrawSurface::Lock() {
    if (!Exists() || dcBorrowed_) return false;
    ++lockCount_;
    return true;
}

void TDirectDrawSurface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
}

bool TDirectDrawSurface::BorrowDC() {
    if (!Exists() || lockCount_ > 0) return false;
    dcBorrowed_ = true;
    return true;
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(this);
    return *canvas_;
}

bool TDirectDrawSurface::BltFast(int x, int y, const TDirectDrawSurface& src, const TRect& srcRect, bool keyed) {
    if (!Exists() || !src.Exists() || dcBorrowed_ || src.dcBorrowed_ || lockCount_ > 0) return false;
    TRect s = srcRect;
    // Keep both rectangles inside their surfaces.
    if (s.Left < 0) { x -= s.Left; s.Left = 0; }
    if (s.Top < 0) { y -= s.Top; s.Top = 0; }
    s.Right = std::min(s.Right, src.width_);
    s.Bottom = std::min(s.Bottom, src.height_);
    if (x < 0) { s.Left -= x; x = 0; }
    if (y < 0) { s.Top -= y; y = 0; }
    if (x + s.Width() > width_) s.Right = s.Left + (width_ - x);
    if (y + s.Height() > height_) s.Bottom = s.Top + (height_ - y);
    const int w = s.Width(), h = s.Height();
    if (w <= 0 || h <= 0) return true;
    keyRuns_.valid = false;  // written to
    const uint16_t key = src.colorKey_;
    if (keyed && src.keyRuns_.valid) {
        // Only the runs that are not the key, cut to the source rectangle.
        const uint16_t* runs = src.keyRuns_.runs.data();
        const uint32_t* rowStart = src.keyRuns_.rowStart.data();
        const bool wholeRows = s.Left == 0 && s.Right == src.width_;
        for (int row = 0; row < h; ++row) {
            const int sy = s.Top + row;
            const uint16_t* in = src.pixels_.data() + static_cast<size_t>(sy) * src.width_;
            uint16_t* out = pixels_.data() + static_cast<size_t>(y + row) * width_ + x - s.Left;
            const uint32_t e = rowStart[sy + 1];
            if (wholeRows) {
                for (uint32_t r = rowStart[sy]; r < e; ++r) {
                    const int a = runs[2 * r];
                    CopyRun(out + a, in + a, runs[2 * r + 1]);
                }
                continue;
            }
            for (uint32_t r = rowStart[sy]; r < e; ++r) {
                int a = runs[2 * r], b = a + runs[2 * r + 1];
                if (a < s.Left) a = s.Left;
                if (b > s.Right) b = s.Right;
                if (a < b) CopyRun(out + a, in + a, b - a);
            }
        }
        return true;
    }
    if (!keyed && w == width_ && w == src.width_) {  // whole rows on both sides: one copy
        const uint16_t* in = src.pixels_.data() + static_cast<size_t>(s.Top) * w;
        std::copy(in, in + static_cast<size_t>(w) * h, pixels_.data() + static_cast<size_t>(y) * w);
        return true;
    }
    for (int row = 0; row < h; ++row) {
        const uint16_t* in = src.pixels_.data() + static_cast<size_t>(s.Top + row) * src.width_ + s.Left;
        uint16_t* out = pixels_.data() + static_cast<size_t>(y + row) * width_ + x;
        if (!keyed) {
            std::copy(in, in + w, out);
        } else {
            // Written as a select so the compiler can do whole vectors at a time.
            for (int i = 0; i < w; ++i) {
                const uint16_t p = in[i];
                out[i] = p != key ? p : out[i];
            }
        }
    }
    return true;
}

bool TDirectDrawSurface::Blt(const TRect& destRect, const TDirectDrawSurface& src, const TRect& srcRect, bool keyed) {
    if (!Exists() || !src.Exists() || dcBorrowed_ || src.dcBorrowed_ || lockCount_ > 0) return false;
    const int dw = destRect.Width(), dh = destRect.Height();
    const int sw = srcRect.Width(), sh = srcRect.Height();  // negative: mirrored
    if (dw <= 0 || dh <= 0 || sw == 0 || sh == 0) return true;
    keyRuns_.valid = false;  // written to
    const int x0 = std::max(destRect.Left, 0), x1 = std::min(destRect.Right, width_);
    const int y0 = std::max(destRect.Top, 0), y1 = std::min(destRect.Bottom, height_);
    const uint16_t key = src.colorKey_;
    for (int y = y0; y < y1; ++y) {
        // Nearest source row; a mirrored rectangle counts from its far edge.
        int64_t fy = int64_t(y - destRect.Top) * std::abs(sh) / dh;
        int sy = sh > 0 ? srcRect.Top + static_cast<int>(fy) : srcRect.Top - 1 - static_cast<int>(fy);
        if (sy < 0 || sy >= src.height_) continue;
        const uint16_t* in = src.pixels_.data() + static_cast<size_t>(sy) * src.width_;
        uint16_t* out = pixels_.data() + static_cast<size_t>(y) * width_;
        for (int x = x0; x < x1; ++x) {
            int64_t fx = int64_t(x - destRect.Left) * std::abs(sw) / dw;
            int sx = sw > 0 ? srcRect.Left + static_cast<int>(fx) : srcRect.Left - 1 - static_cast<int>(fx);
            if (sx < 0 || sx >= src.width_) continue;
            uint16_t p = in[sx];
            if (keyed && p == key) continue;
            out[x] = p;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// TDirectDrawSurfaceCanvas

void TDirectDrawSurfaceCanvas::RequireHandle() {
    if (handle_) return;
    if (!surface_->Exists()) return;  // no surface yet: drawing does nothing
    if (surface_->RefuseDC || !surface_->BorrowDC()) throw EDXDrawError("Canvas does not allow drawing");
    handle_ = true;
}

void TDirectDrawSurfaceCanvas::Release() {
    if (handle_ && surface_->Exists()) surface_->ReturnDC();
    handle_ = false;
}

void TDirectDrawSurfaceCanvas::SetPixel(int x, int y, TColor colour) {
    RequireHandle();
    if (!handle_) return;
    if (x < 0 || y < 0 || x >= surface_->Width() || y >= surface_->Height()) return;
    surface_->At(x, y) = ColorToDevice(colour);
}

TColor TDirectDrawSurfaceCanvas::Pixels(int x, int y) {
    RequireHandle();
    if (!handle_) return 0xFFFFFFFFu;
    if (x < 0 || y < 0 || x >= surface_->Width() || y >= surface_->Height()) return 0xFFFFFFFFu;  // CLR_INVALID
    return DeviceToColor(surface_->At(x, y));
}

void TDirectDrawSurfaceCanvas::MoveTo(int x, int y) {
    RequireHandle();
    penX_ = x;
    penY_ = y;
}

void TDirectDrawSurfaceCanvas::LineTo(int x, int y) {
    RequireHandle();
    if (handle_) {
        const uint16_t colour = ColorToDevice(Pen.Color);
        const int w = surface_->Width(), h = surface_->Height();
        int x0 = penX_, y0 = penY_;
        const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
        const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
        int err = dx + dy;
        // Bresenham from the current position up to, not including, the end point.
        while (!(x0 == x && y0 == y)) {
            if (x0 >= 0 && y0 >= 0 && x0 < w && y0 < h) surface_->At(x0, y0) = colour;
            const int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x0 += sx; }
            if (e2 <= dx) { err += dx; y0 += sy; }
        }
    }
    penX_ = x;
    penY_ = y;
}

const TDirectDrawSurfaceCanvas::RenderedText* TDirectDrawSurfaceCanvas::Rendered(const char* utf8) {
    if (!utf8 || !*utf8 || !platform::hasCurrent()) return nullptr;
    const platform::Platform* p = &platform::current();
    for (const RenderedText& t : texts_)
        if (t.platform == p && t.size == Font.Size && t.text == utf8) return &t;
    if (texts_.size() >= kKeptTexts) texts_.erase(texts_.begin());
    RenderedText t;
    t.platform = p;
    t.size = Font.Size;
    t.text = utf8;
    t.ok = platform::current().renderText(t.text, Font.Size, t.mask);
    texts_.push_back(std::move(t));
    return &texts_.back();
}

void TDirectDrawSurfaceCanvas::PrepareText(const char* utf8) { Rendered(utf8); }

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, const char* utf8) {
    RequireHandle();
    if (!handle_) return;
    const RenderedText* rendered = Rendered(utf8);
    if (!rendered || !rendered->ok) return;
    const platform::TextMask& mask = rendered->mask;
    const int w = surface_->Width(), h = surface_->Height();
    if (Brush.Style == TBrushStyle::bsSolid) {
        const uint16_t bg = ColorToDevice(Brush.Color);
        for (int j = std::max(0, y); j < std::min(h, y + mask.height); ++j)
            for (int i = std::max(0, x); i < std::min(w, x + mask.width); ++i) surface_->At(i, j) = bg;
    }
    const uint32_t fr = Font.Color & 0xFF, fg = (Font.Color >> 8) & 0xFF, fb = (Font.Color >> 16) & 0xFF;
    for (int j = 0; j < mask.height; ++j) {
        const int py = y + j;
        if (py < 0 || py >= h) continue;
        for (int i = 0; i < mask.width; ++i) {
            const int px = x + i;
            if (px < 0 || px >= w) continue;
            const uint32_t a = mask.coverage[static_cast<size_t>(j) * mask.width + i];
            if (a == 0) continue;
            uint16_t& d = surface_->At(px, py);
            if (a == 255) {
                d = ColorToDevice(Font.Color);
                continue;
            }
            const TColor under = DeviceToColor(d);
            const uint32_t r = (fr * a + (under & 0xFF) * (255 - a)) / 255;
            const uint32_t g = (fg * a + ((under >> 8) & 0xFF) * (255 - a)) / 255;
            const uint32_t b = (fb * a + ((under >> 16) & 0xFF) * (255 - a)) / 255;
            d = ColorToDevice(r | (g << 8) | (b << 16));
        }
    }
}

// ---------------------------------------------------------------------------------------
// TDXDrawDisplay

void TDXDrawDisplay::SetBitCount(int bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDXDrawError("It should be either of 8 or 16 or 24 or 32");
    bitCount_ = bits;
}

bool TDXDrawDisplay::SelectMode(const std::vector<platform::DisplayMode>& offered, int w, int h, int b,
                                bool fixedRatio, bool fixedSize, bool fixedBitCount,
                                platform::DisplayMode& chosen) {
    if (w <= 0 || h <= 0 || (b != 8 && b != 16 && b != 24 && b != 32)) return false;
    auto offeredAt = [&](int mw, int mh, int mb) {
        for (const auto& m : offered)
            if (m.width == mw && m.height == mh && m.bitCount == mb) return true;
        return false;
    };
    if (offeredAt(w, h, b)) {
        chosen = {w, h, b};
        return true;
    }
    auto search = [&](bool ratioRule) {
        int bestW = INT_MAX, bestH = INT_MAX, bestBits = 0;
        bool found = false;
        for (const auto& m : offered) {
            if (m.width > bestW || m.height > bestH) continue;
            if (ratioRule && int64_t(m.width) * h != int64_t(m.height) * w) continue;
            if (fixedSize && (m.width != w || m.height != h)) continue;
            if (!fixedSize && (m.width < w || m.height < h)) continue;
            bool accept = fixedBitCount ? m.bitCount == b : ((m.bitCount > 8 && b > 8) || m.bitCount >= b);
            if (!accept) continue;
            bestW = m.width;
            bestH = m.height;
            bestBits = m.bitCount;
            found = true;
        }
        if (!found) return false;
        chosen = {bestW, bestH, offeredAt(bestW, bestH, b) ? b : bestBits};
        return true;
    };
    if (fixedRatio && search(true)) return true;
    return search(false);
}

bool TDXDrawDisplay::SetBestMode(const std::vector<platform::DisplayMode>& offered, int w, int h, int b,
                                 bool fixedRatio, bool fixedSize, bool fixedBitCount,
                                 const std::function<bool(const platform::DisplayMode&)>& open,
                                 platform::DisplayMode& chosen) {
    platform::DisplayMode first;
    if (!SelectMode(offered, w, h, b, fixedRatio, fixedSize, fixedBitCount, first)) return false;
    if (open(first)) {
        chosen = first;
        return true;
    }
    std::vector<platform::DisplayMode> others;
    for (const auto& m : offered)
        if (m.width != first.width || m.height != first.height || m.bitCount != first.bitCount) others.push_back(m);
    platform::DisplayMode second;
    if (!SelectMode(others, w, h, b, false, fixedSize, fixedBitCount, second) || !open(second)) return false;
    chosen = second;
    return true;
}

// ---------------------------------------------------------------------------------------
// TCustomDXDraw

namespace {
TDXDrawOptions EffectiveOptions(TDXDrawOptions o) {
    if (!o.Has(doFullScreen)) o.Remove(doNoWindowChange).Remove(doAllowReboot).Remove(doAllowPalette256).Remove(doFlip);
    if (!o.Has(do3D)) o.Remove(doRetainedMode).Remove(doHardware).Remove(doSelectDriver).Remove(doZBuffer);
    if (o.Has(doSystemMemory)) o.Remove(doFlip);
    o.Remove(doHardware);
    return o;
}

// A plain system palette: the twenty static colours at both ends, a grey ramp between.
TColorTable SystemPalette() {
    TColorTable t{};
    for (int i = 0; i < 256; ++i) {
        t[i].rgbRed = t[i].rgbGreen = t[i].rgbBlue = static_cast<uint8_t>(i);
    }
    return t;
}
}  // namespace

TCustomDXDraw::TCustomDXDraw() : surface_(std::make_unique<TDirectDrawSurface>()) {
    covers_.reserve(16);
    SetBounds(0, 0, 100, 100);
    SetOptions({doAllowReboot, doWaitVBlank, doCenter, doRetainedMode, doHardware, doSelectDriver});
    ColorTable = SystemPalette();
    DefColorTable = ColorTable;
    WindowOptions.fullScreen = true;
}

TCustomDXDraw::~TCustomDXDraw() {
    try {
        Finalize();
    } catch (...) {
    }
    Notify(dxntDestroying);
    listeners_.clear();
}

void TCustomDXDraw::SetOptions(TDXDrawOptions options) {
    options_ = options;
    if (initialized_) {
        // While initialised only these three follow a new assignment.
        for (TDXDrawOption o : {doWaitVBlank, doStretch, doCenter}) {
            if (options.Has(o))
                nowOptions_.Add(o);
            else
                nowOptions_.Remove(o);
        }
    } else {
        nowOptions_ = EffectiveOptions(options_);
    }
}

void TCustomDXDraw::Notify(TDXDrawNotifyType kind) {
    std::vector<Listener> copy = listeners_;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it) it->callback(this, kind);
}

void TCustomDXDraw::RegisterNotifyEvent(void* listener, TDXDrawNotifyEvent callback) {
    listeners_.push_back({listener, callback});
    callback(this, dxntSetSurfaceSize);
    if (initialized_) {
        callback(this, dxntInitialize);
        if (initializeDepth_ <= 0) callback(this, dxntRestore);
    }
}

void TCustomDXDraw::UnRegisterNotifyEvent(void* listener) {
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if (it->listener == listener) {
            TDXDrawNotifyEvent cb = it->callback;
            listeners_.erase(it);
            if (initialized_) cb(this, dxntFinalize);
            return;
        }
    }
}

void TCustomDXDraw::CreateBackBuffer() {
    const int w = std::max(surfaceWidth_, 1), h = std::max(surfaceHeight_, 1);
    // A back buffer as wide as the window picture gets the picture's rows below it, so that
    // a flip can present it where it lies (see FlipInternal).
    const int rows = w == platform::kFrameWidth && h <= platform::kFrameHeight ? platform::kFrameHeight : 0;
    bool ok = surface_->Create(w, h, nowOptions_.Has(doSystemMemory), rows);
    if (!ok) ok = surface_->Create(w, h, true, rows);  // video memory failed: system memory
    if (!ok) throw EDXDrawError(Format("%s cannot be made", "Surface"));
    surface_->Fill(0);
}

void TCustomDXDraw::Initialize() {
    if (initialized_) Finalize();
    if (!ParentForm()) throw EDXDrawError("Form not found");
    try {
        if (OnInitializing) OnInitializing(this);
        updating_ = true;
        Notify(dxntInitializing);
        if (!platform::hasCurrent()) throw EDXDrawError(Format("%s cannot be made", "Primary Surface"));
        platform::Platform& p = platform::current();
        platform::DisplayMode mode{Display.Width, Display.Height, Display.BitCount()};
        if (nowOptions_.Has(doFullScreen) && WindowOptions.fullScreen) {
            platform::DisplayMode chosen;
            auto open = [&](const platform::DisplayMode& m) { return p.openDisplay(m, WindowOptions); };
            if (!TDXDrawDisplay::SetBestMode(p.displayModes(), Display.Width, Display.Height, Display.BitCount(),
                                             Display.FixedRatio, Display.FixedSize, Display.FixedBitCount, open,
                                             chosen))
                throw EDXDrawError(Format("Display mode cannot be changed (%dx%d %dbit)", Display.Width,
                                          Display.Height, Display.BitCount()));
        } else {
            platform::WindowOptions windowed = WindowOptions;
            windowed.fullScreen = false;
            if (!p.openDisplay(mode, windowed)) throw EDXDrawError(Format("%s cannot be made", "Primary Surface"));
        }
        if (AutoSize) {
            surfaceWidth_ = Width();
            surfaceHeight_ = Height();
        }
        primary_ = true;
        primaryPixels_.assign(static_cast<size_t>(platform::kFrameWidth) * platform::kFrameHeight, 0);
        CreateBackBuffer();
        initialized_ = true;
        updating_ = false;
        ++initializeDepth_;
    } catch (...) {
        updating_ = false;
        Finalize();
        throw;
    }
    try {
        Notify(dxntSetSurfaceSize);
        Notify(dxntInitialize);
        calledOnInitialize_ = true;
        if (OnInitialize) OnInitialize(this);
        Notify(dxntInitializeSurface);
        calledOnInitializeSurface_ = true;
        if (OnInitializeSurface) OnInitializeSurface(this);
    } catch (...) {
        --initializeDepth_;
        throw;
    }
    --initializeDepth_;
    Restore();
}

void TCustomDXDraw::Finalize() {
    if (!primary_ && !surface_->Exists()) return;
    updating_ = true;
    std::exception_ptr failure;
    if (calledOnInitializeSurface_) {
        calledOnInitializeSurface_ = false;
        try {
            if (OnFinalizeSurface) OnFinalizeSurface(this);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    try {
        Notify(dxntFinalizeSurface);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (calledOnInitialize_) {
        calledOnInitialize_ = false;
        try {
            if (OnFinalize) OnFinalize(this);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    try {
        Notify(dxntFinalize);
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    surface_->Free();
    primary_ = false;
    if (platform::hasCurrent()) platform::current().closeDisplay();
    initialized_ = false;
    updating_ = false;
    nowOptions_ = EffectiveOptions(options_);
    if (failure) std::rethrow_exception(failure);
}

void TCustomDXDraw::BoundsChanged(int oldWidth, int oldHeight) {
    (void)oldWidth;
    (void)oldHeight;
    if (AutoSize) Resize(Width(), Height());
}

void TCustomDXDraw::Resize(int w, int h) {
    if ((w == surfaceWidth_ && h == surfaceHeight_) || updating_) return;
    if (initialized_) {
        ++initializeDepth_;
        try {
            Notify(dxntFinalizeSurface);
            if (calledOnInitializeSurface_ && OnFinalizeSurface) OnFinalizeSurface(this);
            surfaceWidth_ = w;
            surfaceHeight_ = h;
            CreateBackBuffer();
            Notify(dxntInitializeSurface);
            calledOnInitializeSurface_ = true;
            if (OnInitializeSurface) OnInitializeSurface(this);
        } catch (...) {
            --initializeDepth_;
            Finalize();
            throw;
        }
        --initializeDepth_;
    } else {
        surfaceWidth_ = w;
        surfaceHeight_ = h;
    }
    Notify(dxntSetSurfaceSize);
}

void TCustomDXDraw::Restore() {
    if (!initialized_ || updating_) return;
    updating_ = true;
    try {
        platform::Platform& p = platform::current();
        bool ok = !p.displayLost() || p.restoreDisplay();
        if (ok && surface_->Exists()) {
            Notify(dxntRestore);
            if (OnRestoreSurface) OnRestoreSurface(this);
        }
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

bool TCustomDXDraw::TryRestore() {
    if (!initialized_ || updating_ || !primary_) return false;
    if (!platform::current().displayLost()) return true;
    Restore();
    return !platform::current().displayLost();
}

bool TCustomDXDraw::CanDraw() {
    return initialized_ && !updating_ && surface_->Exists() && TryRestore();
}

void TCustomDXDraw::ApplyColorTable() {
    if (!initialized_ || !primary_) return;
    if (nowOptions_.Has(doWaitVBlank)) platform::current().waitVBlank();
    // A 16-bit display has no palette to load; the table is kept for 8-bit modes.
}

void TCustomDXDraw::Flip() {
    if (!initialized_ || updating_) return;
    if (!TryRestore()) return;
    FlipInternal(nowOptions_.Has(doWaitVBlank));
}

void TCustomDXDraw::FlipInternal(bool waitVBlank) {
    TDirectDrawSurface& bb = *surface_;
    if (!bb.Exists() || bb.DCBorrowed() || bb.Locked()) return;  // the blit is refused
    const int fw = platform::kFrameWidth, fh = platform::kFrameHeight;
    int x = ScreenLeft(), y = ScreenTop();
    int dw = bb.Width(), dh = bb.Height();
    if (nowOptions_.Has(doStretch)) {
        dw = Width();
        dh = Height();
    } else if (nowOptions_.Has(doCenter)) {
        x += (Width() - bb.Width()) / 2;
        y += (Height() - bb.Height()) / 2;
    }
    // The clipper: the control's own window, less the visible sibling windows over it.
    const int cl = std::max(ScreenLeft(), 0), ct = std::max(ScreenTop(), 0);
    const int cr = std::min(ScreenLeft() + Width(), fw), cb = std::min(ScreenTop() + Height(), fh);
    using R = CoverRect;
    std::vector<R>& covers = covers_;  // kept between flips: no allocation per frame
    covers.clear();
    if (Parent()) {
        for (TControl* s : Parent()->Children()) {
            if (s == this || !s->Visible) continue;
            covers.push_back({s->ScreenLeft(), s->ScreenTop(), s->ScreenLeft() + s->Width(), s->ScreenTop() + s->Height()});
        }
    }
    const bool stretched = dw != bb.Width() || dh != bb.Height();
    // The common case: the back buffer is the top of the window picture, unscaled, at the
    // window's corner, with nothing over it. Its memory then holds the whole picture: the
    // form puts the rest below it and the frame is presented without a copy on our side.
    TDXForm* form = ParentForm();
    if (form && Parent() == form && form->DisplayControl() == this && !stretched && x == 0 && y == 0 && cl == 0 && ct == 0 && bb.Width() == fw &&
        cr >= fw && cb >= bb.Height() && bb.StorageRows() >= fh && Showing()) {
        bool covered = false;
        for (const R& c : covers)
            if (c.l < fw && c.r > 0 && c.t < bb.Height() && c.b > 0 && c.l < c.r && c.t < c.b) covered = true;
        if (!covered) {
            form->PresentOver(bb.Bits(), bb.Height(), waitVBlank);
            return;
        }
    }
    for (int row = std::max(y, ct); row < std::min(y + dh, cb); ++row) {
        const int sy = stretched ? static_cast<int>(int64_t(row - y) * bb.Height() / dh) : row - y;
        const uint16_t* in = bb.Bits() + static_cast<size_t>(sy) * bb.Width();
        uint16_t* out = primaryPixels_.data() + static_cast<size_t>(row) * fw;
        int x0 = std::max(x, cl);
        const int x1 = std::min(x + dw, cr);
        while (x0 < x1) {
            // The next stretch of this row not covered by a sibling.
            int spanEnd = x1;
            bool covered = false;
            for (const R& c : covers) {
                if (row < c.t || row >= c.b) continue;
                if (x0 >= c.l && x0 < c.r) {
                    covered = true;
                    x0 = c.r;
                    break;
                }
                if (c.l > x0 && c.l < spanEnd) spanEnd = c.l;
            }
            if (covered) continue;
            if (!stretched) {
                std::copy(in + (x0 - x), in + (spanEnd - x), out + x0);
            } else {
                for (int i = x0; i < spanEnd; ++i) out[i] = in[static_cast<int>(int64_t(i - x) * bb.Width() / dw)];
            }
            x0 = spanEnd;
        }
    }
    if (form) form->Present(waitVBlank);
}

void TCustomDXDraw::Click(int x, int y) {
    (void)x;
    (void)y;
    if (OnClick) OnClick(this);
}

void TCustomDXDraw::MouseMove(int x, int y) {
    if (OnMouseMove) OnMouseMove(this, 0, x, y);
}

}  // namespace media
