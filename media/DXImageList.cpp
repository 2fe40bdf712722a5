#include "media/DXImageList.h"

#include <algorithm>
#include <cmath>

#include "media/Errors.h"

namespace media {

const double* Cos256() {
    static const auto table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = std::cos(i * 2.0 * M_PI / 256.0);
        return t;
    }();
    return table.data();
}

namespace {

// Unscaled, clipped, optionally colour-keyed copy of a pattern.
void DrawSurface(TDirectDrawSurface& dest, int x, int y, TRect s, TDirectDrawSurface& src, bool transparent) {
    if (!src.Exists() || x > dest.Width() || y > dest.Height()) return;
    TRect r{x, y, x + s.Width(), y + s.Height()};
    if (r.Left < 0) { s.Left -= r.Left; r.Left = 0; }
    if (r.Top < 0) { s.Top -= r.Top; r.Top = 0; }
    if (s.Left < 0) { r.Left -= s.Left; s.Left = 0; }
    if (s.Top < 0) { r.Top -= s.Top; s.Top = 0; }
    if (r.Right > dest.Width()) { s.Right -= r.Right - dest.Width(); r.Right = dest.Width(); }
    if (r.Bottom > dest.Height()) { s.Bottom -= r.Bottom - dest.Height(); r.Bottom = dest.Height(); }
    if (s.Right > src.Width()) { r.Right -= s.Right - src.Width(); s.Right = src.Width(); }
    if (s.Bottom > src.Height()) { r.Bottom -= s.Bottom - src.Height(); s.Bottom = src.Height(); }
    if (r.Width() <= 0 || r.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0) return;
    if (!dest.UseGeneralBlit) {
        dest.BltFast(r.Left, r.Top, src, s, transparent);
    } else {
        dest.Blt(r, src, s, transparent);
    }
}

// The run of t in [tMin, tMax] for which lo <= f0 + k*t < hi (k is a per-pixel step, invK
// its reciprocal). The run's ends are estimated in floating point, which is off by far less
// than one step, then settled exactly in integers: no division and no rounding call per row.
// False when the run is empty.
inline bool Solve(int64_t f0, int64_t k, double invK, int64_t lo, int64_t hi, int64_t& tMin, int64_t& tMax) {
    if (k == 0) return f0 >= lo && f0 < hi;
    auto inside = [&](int64_t t) {
        const int64_t f = f0 + k * t;
        return f >= lo && f < hi;
    };
    // floor(x), clamped to [tMin - 1, tMax + 1].
    auto floorIn = [&](double x) {
        if (x <= double(tMin - 1)) return tMin - 1;
        if (x >= double(tMax + 1)) return tMax + 1;
        int64_t t = static_cast<int64_t>(x);
        return double(t) > x ? t - 1 : t;
    };
    double ea = double(lo - f0) * invK, eb = double(hi - 1 - f0) * invK;
    if (ea > eb) std::swap(ea, eb);
    // The first pixel inside is floor(ea) or the one after; the last is floor(eb), give or take one.
    int64_t a = std::max(floorIn(ea), tMin);
    int64_t b = std::min(floorIn(eb) + 1, tMax);
    while (a <= b && !inside(a)) ++a;
    if (a > b) return false;
    while (!inside(b)) --b;
    tMin = a;
    tMax = b;
    return true;
}

// One row's run of a rotated draw: n pixels sampled along (u, v) in 16.16 steps. Kept apart
// from the row set-up so that every value it needs stays in a register.
// Positions inside the pattern are never negative, so they are sampled as unsigned values.
__attribute__((noinline)) void RotatedRunKeyed(uint16_t* out, int n, const uint16_t* const* rows, uint32_t u,
                                               uint32_t v, uint32_t du, uint32_t dv, uint16_t key) {
    // Masked rather than branched: the key's edges would be mispredicted.
    auto put = [key](uint16_t& o, uint16_t p) {
        const uint16_t keep = static_cast<uint16_t>(-static_cast<int>(p == key));
        o = static_cast<uint16_t>((p & ~keep) | (o & keep));
    };
    int i = 0;
    for (; i + 3 < n; i += 4) {
        const uint16_t p0 = rows[v >> 16][u >> 16];
        const uint16_t p1 = rows[(v + dv) >> 16][(u + du) >> 16];
        const uint16_t p2 = rows[(v + 2 * dv) >> 16][(u + 2 * du) >> 16];
        const uint16_t p3 = rows[(v + 3 * dv) >> 16][(u + 3 * du) >> 16];
        put(out[i], p0);
        put(out[i + 1], p1);
        put(out[i + 2], p2);
        put(out[i + 3], p3);
        u += 4 * du;
        v += 4 * dv;
    }
    for (; i + 1 < n; i += 2) {
        const uint16_t p0 = rows[v >> 16][u >> 16];
        const uint16_t p1 = rows[(v + dv) >> 16][(u + du) >> 16];
        put(out[i], p0);
        put(out[i + 1], p1);
        u += 2 * du;
        v += 2 * dv;
    }
    if (i < n) put(out[i], rows[v >> 16][u >> 16]);
}

__attribute__((noinline)) void RotatedRun(uint16_t* out, int n, const uint16_t* const* rows, uint32_t u, uint32_t v,
                                          uint32_t du, uint32_t dv) {
    for (int i = 0; i < n; ++i, u += du, v += dv) out[i] = rows[v >> 16][u >> 16];
}

void DrawRotatedSurface(TDirectDrawSurface& d, TDirectDrawSurface& src, const TRect& s, int X, int Y, int W, int H,
                        double centerX, double centerY, bool transparent, int angle, int alpha) {
    const int sw = s.Width(), sh = s.Height();
    if (alpha <= 0 || !d.Exists() || !src.Exists() || W == 0 || H == 0) return;
    if (s.Left < 0 || s.Top < 0 || s.Right > src.Width() || s.Bottom > src.Height() || sw <= 0 || sh <= 0) return;
    if (!d.Lock()) return;
    if (&src != &d && !src.Lock()) {
        d.Unlock();
        return;
    }
    // Alpha below 255 would blend; the game always draws opaque, so every pixel is copied.
    const double* cosTable = Cos256();
    const int a = angle & 255;
    const double c = cosTable[a], sn = cosTable[(a + 192) & 255];

    int minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
    const int px[4] = {0, W, 0, W}, py[4] = {0, 0, H, H};
    for (int i = 0; i < 4; ++i) {
        const double lx = std::nearbyint(px[i] - W * centerX);
        const double ly = std::nearbyint(py[i] - H * centerY);
        const int x = static_cast<int>(std::nearbyint(lx * c - ly * sn)) + X;
        const int y = static_cast<int>(std::nearbyint(lx * sn + ly * c)) + Y;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    minX = std::max(minX, 0);
    maxX = std::min(maxX, d.Width());
    minY = std::max(minY, 0);
    maxY = std::min(maxY, d.Height());
    if (maxX - minX >= 1 && maxY - minY >= 1) {
        const int64_t c16 = std::lrint(c * 65536.0), s16 = std::lrint(sn * 65536.0);
        const int64_t duX = sw * c16 / W, dvX = -(sh * s16) / H;
        const int64_t duY = sw * s16 / W, dvY = sh * c16 / H;
        const int64_t u0 = std::llrint((s.Left + sw * centerX) * 65536.0);
        const int64_t v0 = std::llrint((s.Top + sh * centerY) * 65536.0);
        const int64_t uLo = int64_t(s.Left) << 16, uHi = int64_t(s.Right) << 16;
        const int64_t vLo = int64_t(s.Top) << 16, vHi = int64_t(s.Bottom) << 16;
        const double invU = duX ? 1.0 / double(duX) : 0.0, invV = dvX ? 1.0 / double(dvX) : 0.0;
        const uint16_t key = src.ColorKey();
        // Start of every source row, so that sampling needs no multiplication.
        // (Sprites are small: their table stays on the stack.)
        const uint16_t* stackRows[512];
        std::vector<const uint16_t*> heapRows;
        const uint16_t** rows = stackRows;
        if (src.Height() > 512) {
            heapRows.resize(static_cast<size_t>(src.Height()));
            rows = heapRows.data();
        }
        const TDirectDrawSurface& source = src;  // read only: its key runs stay
        for (int r = 0; r < src.Height(); ++r) rows[r] = source.Bits() + static_cast<size_t>(r) * src.Width();
        for (int y = minY; y < maxY; ++y) {
            const int64_t dx = minX - X, dy = y - Y;
            const int64_t u = u0 + dx * duX + dy * duY;
            const int64_t v = v0 + dx * dvX + dy * dvY;
            // The run of this row whose source position lies inside the pattern: skip the
            // leading pixels outside it, draw until it leaves or the row ends.
            int64_t t0 = 0, t1 = d.Width() - 1 - minX;
            if (!Solve(u, duX, invU, uLo, uHi, t0, t1) || !Solve(v, dvX, invV, vLo, vHi, t0, t1)) continue;
            int32_t uu = static_cast<int32_t>(u + t0 * duX), vv = static_cast<int32_t>(v + t0 * dvX);
            const int32_t stepU = static_cast<int32_t>(duX), stepV = static_cast<int32_t>(dvX);
            uint16_t* out = d.Bits() + static_cast<size_t>(y) * d.Width() + minX + t0;
            const int n = static_cast<int>(t1 - t0 + 1);
            if (transparent)
                RotatedRunKeyed(out, n, rows, uu, vv, stepU, stepV, key);
            else
                RotatedRun(out, n, rows, uu, vv, stepU, stepV);
        }
    }
    if (&src != &d) src.Unlock();
    d.Unlock();
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TPictureCollectionItem

TPictureCollectionItem::~TPictureCollectionItem() = default;

int TPictureCollectionItem::Width() const {
    if (PatternWidth > 0) return PatternWidth;
    return picture_ ? picture_->Width() : 0;
}

int TPictureCollectionItem::Height() const {
    if (PatternHeight > 0) return PatternHeight;
    return picture_ ? picture_->Height() : 0;
}

void TPictureCollectionItem::SetTransparentColor(TColor c) {
    transparentColor_ = c & 0xFFFFFF;
    for (auto& s : surfaces_) {
        s->SetColorKey(ColorToDevice(transparentColor_));
        if (Transparent && !s->HasKeyRuns()) s->PrepareKeyRuns();
    }
}

void TPictureCollectionItem::Draw(TDirectDrawSurface& dest, int x, int y, int patternIndex) {
    if (!initialized_ || patternIndex < 0 || patternIndex >= PatternCount()) return;
    const auto& p = patterns_[patternIndex];
    DrawSurface(dest, x, y, p.Rect, *p.Surface, Transparent);
}

void TPictureCollectionItem::DrawRotated(TDirectDrawSurface& dest, int x, int y, int width, int height,
                                         int patternIndex, double centerX, double centerY, int angle, int alpha) {
    if (!initialized_ || patternIndex < 0 || patternIndex >= PatternCount()) return;
    const auto& p = patterns_[patternIndex];
    DrawRotatedSurface(dest, *p.Surface, p.Rect, x, y, width, height, centerX, centerY, Transparent, angle, alpha);
}

void TPictureCollectionItem::Initialize() {
    Finalize();
    initialized_ = true;
    // A freshly initialised item builds its surfaces at once.
    Restore();
}

void TPictureCollectionItem::Finalize() {
    patterns_.clear();
    surfaces_.clear();
    initialized_ = false;
}

void TPictureCollectionItem::Restore() {
    if (!picture_ || picture_->Empty()) return;
    if (!initialized_) {
        if (owner_ && owner_->DXDraw() && owner_->DXDraw()->Initialized())
            initialized_ = true;
        else
            return;
    }
    patterns_.clear();
    surfaces_.clear();
    const int pw = picture_->Width(), ph = picture_->Height();
    const int w = Width(), h = Height();
    // The whole picture lives in one surface; every pattern points into its grid cell.
    auto surface = std::make_unique<TDirectDrawSurface>();
    if (!surface->Create(pw, ph, SystemMemory)) return;
    const uint16_t key = ColorToDevice(transparentColor_);
    uint16_t* out = surface->Bits();
    if (const std::vector<uint16_t>* device = static_cast<const TDIB&>(*picture_).DevicePixels()) {
        // A picture in the display's format is copied; only a pixel that equals the key
        // without being the transparent colour itself is nudged, as below.
        const bool keyIsExact = DeviceToColor(key) == transparentColor_;
        const uint16_t* in = device->data();
        const size_t n = device->size();
        if (keyIsExact) {
            std::copy(in, in + n, out);
        } else {
            for (size_t i = 0; i < n; ++i) out[i] = in[i] == key ? static_cast<uint16_t>(key ^ 1) : in[i];
        }
    } else {
        const auto& pixels = static_cast<const TDIB&>(*picture_).Pixels();
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t colour = pixels[i];
            uint16_t dev = ColorToDevice(colour);
            // Only pixels equal to the transparent colour may carry the key: a colour that
            // merely rounds to the same device colour is nudged by one step of blue.
            if (dev == key && colour != transparentColor_) dev ^= 1;
            out[i] = dev;
        }
    }
    surface->SetColorKey(key);
    if (Transparent) surface->PrepareKeyRuns();
    if (w == pw && h == ph) {
        patterns_.push_back({TRect{0, 0, pw, ph}, surface.get()});
    } else if (w > 0 && h > 0 && int64_t(w) + SkipWidth > 0 && int64_t(h) + SkipHeight > 0) {
        // A gap that swallows the whole cell leaves no grid at all.
        const int64_t cellW = int64_t(w) + SkipWidth, cellH = int64_t(h) + SkipHeight;
        const int64_t cols = (pw + int64_t(SkipWidth)) / cellW;
        const int64_t rows = (ph + int64_t(SkipHeight)) / cellH;
        for (int64_t r = 0; r < rows; ++r)
            for (int64_t col = 0; col < cols; ++col) {
                const int l = static_cast<int>(col * cellW), t = static_cast<int>(r * cellH);
                TRect rect{l, t, std::min(l + w, pw), std::min(t + h, ph)};
                patterns_.push_back({rect, surface.get()});
            }
    }
    surfaces_.push_back(std::move(surface));
}

// ---------------------------------------------------------------------------------------
// TPictureCollection

TPictureCollection::~TPictureCollection() { Clear(); }

TPictureCollectionItem* TPictureCollection::Items(int index) const {
    if (index < 0 || index >= Count()) ListIndexError(index);
    return items_[static_cast<size_t>(index)].get();
}

TPictureCollectionItem* TPictureCollection::Add() {
    items_.push_back(std::make_unique<TPictureCollectionItem>(this));
    return items_.back().get();
}

void TPictureCollection::Clear() { items_.clear(); }

void TPictureCollection::Initialize(TCustomDXDraw* dxdraw) {
    Finalize();
    dxdraw_ = dxdraw;
    if (!dxdraw || !dxdraw->Initialized())
        throw EPictureCollectionError(Format("%s cannot be initialized", "TPictureCollection"));
    for (auto& item : items_) item->Initialize();
}

void TPictureCollection::Finalize() {
    prepared_.reset();  // built for a display that is going
    for (auto& item : items_) item->Finalize();
    dxdraw_ = nullptr;
}

void TPictureCollection::Restore() {
    for (auto& item : items_) item->Restore();
}

// ---------------------------------------------------------------------------------------
// TCustomDXImageList

TCustomDXImageList::TCustomDXImageList() : Items(this) {}

TCustomDXImageList::~TCustomDXImageList() { SetDXDraw(nullptr); }

void TCustomDXImageList::SetDXDraw(TCustomDXDraw* dxdraw) {
    if (dxdraw_ == dxdraw) return;
    if (dxdraw_) dxdraw_->UnRegisterNotifyEvent(this);
    dxdraw_ = dxdraw;
    if (dxdraw_) dxdraw_->RegisterNotifyEvent(this, [this](TCustomDXDraw* s, TDXDrawNotifyType k) { DXDrawNotify(s, k); });
}

void TCustomDXImageList::DXDrawNotify(TCustomDXDraw* sender, TDXDrawNotifyType kind) {
    switch (kind) {
        case dxntDestroying:
            Items.Finalize();
            dxdraw_ = nullptr;
            break;
        case dxntInitialize:
            Items.Initialize(sender);
            break;
        case dxntFinalize:
            Items.Finalize();
            break;
        case dxntRestore:
            Items.Restore();
            break;
        default:
            break;
    }
}

}  // namespace media
