#include "media/DXImageList.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cmath>

#include "media/Errors.h"

namespace media {

// cos(i * 2 pi / 256), written out rather than computed: the C libraries' cos differ in the
// last bit for some of these angles, and a rotated picture must come out the same on every
// machine (the browser build's library among them).
const double* Cos256() {
    static const double table[256] = {
    0x1p+0, 0x1.ffd886084cd0dp-1, 0x1.ff621e3796d7ep-1, 0x1.fe9cdad01883ap-1,
    0x1.fd88da3d12526p-1, 0x1.fc26470e19fd3p-1, 0x1.fa7557f08a517p-1, 0x1.f8764fa714ba9p-1,
    0x1.f6297cff75cbp-1, 0x1.f38f3ac64e589p-1, 0x1.f0a7efb9230d7p-1, 0x1.ed740e7684963p-1,
    0x1.e9f4156c62ddap-1, 0x1.e6288ec48e112p-1, 0x1.e212104f686e5p-1, 0x1.ddb13b6ccc23dp-1,
    0x1.d906bcf328d46p-1, 0x1.d4134d14dc93ap-1, 0x1.ced7af43cc773p-1, 0x1.c954b213411f5p-1,
    0x1.c38b2f180bdb1p-1, 0x1.bd7c0ac6f952ap-1, 0x1.b728345196e3ep-1, 0x1.b090a581502p-1,
    0x1.a9b66290ea1a3p-1, 0x1.a29a7a0462782p-1, 0x1.9b3e047f38741p-1, 0x1.93a22499263fcp-1,
    0x1.8bc806b151741p-1, 0x1.83b0e0bff976ep-1, 0x1.7b5df226aafafp-1, 0x1.72d0837efff97p-1,
    0x1.6a09e667f3bcdp-1, 0x1.610b7551d2cdfp-1, 0x1.57d69348cec9fp-1, 0x1.4e6cabbe3e5e9p-1,
    0x1.44cf325091dd6p-1, 0x1.3affa292050b9p-1, 0x1.30ff7fce17036p-1, 0x1.26d054cdd12dfp-1,
    0x1.1c73b39ae68c9p-1, 0x1.11eb3541b4b23p-1, 0x1.073879922ffedp-1, 0x1.f8ba4dbf89abbp-2,
    0x1.e2b5d3806f63ep-2, 0x1.cc66e9931c45ep-2, 0x1.b5d1009e15cc2p-2, 0x1.9ef7943a8ed8ap-2,
    0x1.87de2a6aea964p-2, 0x1.7088530fa45a1p-2, 0x1.58f9a75ab1fddp-2, 0x1.4135c94176603p-2,
    0x1.294062ed59f05p-2, 0x1.111d262b1f678p-2, 0x1.f19f97b215f1ep-3, 0x1.c0b826a7e4f62p-3,
    0x1.8f8b83c69a60dp-3, 0x1.5e214448b3fcbp-3, 0x1.2c8106e8e613ap-3, 0x1.f564e56a97314p-4,
    0x1.917a6bc29b438p-4, 0x1.2d52092ce19f8p-4, 0x1.91f65f10dd824p-5, 0x1.92155f7a36677p-6,
    0x1.1a62633145c07p-54, -0x1.92155f7a36654p-6, -0x1.91f65f10dd813p-5, -0x1.2d52092ce19efp-4,
    -0x1.917a6bc29b42fp-4, -0x1.f564e56a9730bp-4, -0x1.2c8106e8e6136p-3, -0x1.5e214448b3fc7p-3,
    -0x1.8f8b83c69a608p-3, -0x1.c0b826a7e4f5ep-3, -0x1.f19f97b215f1ap-3, -0x1.111d262b1f676p-2,
    -0x1.294062ed59f02p-2, -0x1.4135c941766p-2, -0x1.58f9a75ab1fdbp-2, -0x1.7088530fa459fp-2,
    -0x1.87de2a6aea962p-2, -0x1.9ef7943a8ed88p-2, -0x1.b5d1009e15cbcp-2, -0x1.cc66e9931c46p-2,
    -0x1.e2b5d3806f63cp-2, -0x1.f8ba4dbf89ab9p-2, -0x1.073879922ffedp-1, -0x1.11eb3541b4b21p-1,
    -0x1.1c73b39ae68c6p-1, -0x1.26d054cdd12dfp-1, -0x1.30ff7fce17035p-1, -0x1.3affa292050b8p-1,
    -0x1.44cf325091dd5p-1, -0x1.4e6cabbe3e5e7p-1, -0x1.57d69348cecap-1, -0x1.610b7551d2cdfp-1,
    -0x1.6a09e667f3bccp-1, -0x1.72d0837efff95p-1, -0x1.7b5df226aafadp-1, -0x1.83b0e0bff976ep-1,
    -0x1.8bc806b151741p-1, -0x1.93a22499263fbp-1, -0x1.9b3e047f3874p-1, -0x1.a29a7a0462781p-1,
    -0x1.a9b66290ea1a4p-1, -0x1.b090a581502p-1, -0x1.b728345196e3dp-1, -0x1.bd7c0ac6f9529p-1,
    -0x1.c38b2f180bdbp-1, -0x1.c954b213411f4p-1, -0x1.ced7af43cc773p-1, -0x1.d4134d14dc93ap-1,
    -0x1.d906bcf328d46p-1, -0x1.ddb13b6ccc23cp-1, -0x1.e212104f686e4p-1, -0x1.e6288ec48e112p-1,
    -0x1.e9f4156c62ddap-1, -0x1.ed740e7684963p-1, -0x1.f0a7efb9230d7p-1, -0x1.f38f3ac64e588p-1,
    -0x1.f6297cff75cbp-1, -0x1.f8764fa714ba9p-1, -0x1.fa7557f08a517p-1, -0x1.fc26470e19fd3p-1,
    -0x1.fd88da3d12525p-1, -0x1.fe9cdad01883ap-1, -0x1.ff621e3796d7ep-1, -0x1.ffd886084cd0dp-1,
    -0x1p+0, -0x1.ffd886084cd0dp-1, -0x1.ff621e3796d7ep-1, -0x1.fe9cdad01883ap-1,
    -0x1.fd88da3d12526p-1, -0x1.fc26470e19fd3p-1, -0x1.fa7557f08a517p-1, -0x1.f8764fa714baap-1,
    -0x1.f6297cff75cbp-1, -0x1.f38f3ac64e589p-1, -0x1.f0a7efb9230d7p-1, -0x1.ed740e7684964p-1,
    -0x1.e9f4156c62ddbp-1, -0x1.e6288ec48e113p-1, -0x1.e212104f686e5p-1, -0x1.ddb13b6ccc23dp-1,
    -0x1.d906bcf328d47p-1, -0x1.d4134d14dc93ap-1, -0x1.ced7af43cc774p-1, -0x1.c954b213411f5p-1,
    -0x1.c38b2f180bdb1p-1, -0x1.bd7c0ac6f952ap-1, -0x1.b728345196e3ep-1, -0x1.b090a58150201p-1,
    -0x1.a9b66290ea1a5p-1, -0x1.a29a7a0462782p-1, -0x1.9b3e047f38741p-1, -0x1.93a22499263fcp-1,
    -0x1.8bc806b151742p-1, -0x1.83b0e0bff977p-1, -0x1.7b5df226aafafp-1, -0x1.72d0837efff97p-1,
    -0x1.6a09e667f3bcep-1, -0x1.610b7551d2cep-1, -0x1.57d69348ceca2p-1, -0x1.4e6cabbe3e5ecp-1,
    -0x1.44cf325091ddap-1, -0x1.3affa292050bdp-1, -0x1.30ff7fce17033p-1, -0x1.26d054cdd12dep-1,
    -0x1.1c73b39ae68c8p-1, -0x1.11eb3541b4b23p-1, -0x1.073879922ffeep-1, -0x1.f8ba4dbf89abdp-2,
    -0x1.e2b5d3806f63fp-2, -0x1.cc66e9931c464p-2, -0x1.b5d1009e15cc7p-2, -0x1.9ef7943a8ed93p-2,
    -0x1.87de2a6aea96dp-2, -0x1.7088530fa459bp-2, -0x1.58f9a75ab1fdbp-2, -0x1.4135c94176601p-2,
    -0x1.294062ed59f07p-2, -0x1.111d262b1f67ap-2, -0x1.f19f97b215f23p-3, -0x1.c0b826a7e4f6ep-3,
    -0x1.8f8b83c69a619p-3, -0x1.5e214448b3fd7p-3, -0x1.2c8106e8e614ep-3, -0x1.f564e56a972fdp-4,
    -0x1.917a6bc29b421p-4, -0x1.2d52092ce19f1p-4, -0x1.91f65f10dd816p-5, -0x1.92155f7a3669bp-6,
    -0x1.a79394c9e8a0ap-53, 0x1.92155f7a36631p-6, 0x1.91f65f10dd7e1p-5, 0x1.2d52092ce19d6p-4,
    0x1.917a6bc29b407p-4, 0x1.f564e56a972e3p-4, 0x1.2c8106e8e6141p-3, 0x1.5e214448b3fcap-3,
    0x1.8f8b83c69a60cp-3, 0x1.c0b826a7e4f61p-3, 0x1.f19f97b215f16p-3, 0x1.111d262b1f674p-2,
    0x1.294062ed59fp-2, 0x1.4135c941765fbp-2, 0x1.58f9a75ab1fd5p-2, 0x1.7088530fa4595p-2,
    0x1.87de2a6aea967p-2, 0x1.9ef7943a8ed8dp-2, 0x1.b5d1009e15cc1p-2, 0x1.cc66e9931c45ep-2,
    0x1.e2b5d3806f63ap-2, 0x1.f8ba4dbf89ab7p-2, 0x1.073879922ffecp-1, 0x1.11eb3541b4b2p-1,
    0x1.1c73b39ae68c5p-1, 0x1.26d054cdd12dbp-1, 0x1.30ff7fce17031p-1, 0x1.3affa292050bbp-1,
    0x1.44cf325091dd7p-1, 0x1.4e6cabbe3e5e9p-1, 0x1.57d69348cec9fp-1, 0x1.610b7551d2cdep-1,
    0x1.6a09e667f3bcbp-1, 0x1.72d0837efff94p-1, 0x1.7b5df226aafadp-1, 0x1.83b0e0bff976bp-1,
    0x1.8bc806b15173ep-1, 0x1.93a22499263f8p-1, 0x1.9b3e047f38742p-1, 0x1.a29a7a0462782p-1,
    0x1.a9b66290ea1a3p-1, 0x1.b090a581501ffp-1, 0x1.b728345196e3dp-1, 0x1.bd7c0ac6f9529p-1,
    0x1.c38b2f180bdafp-1, 0x1.c954b213411f3p-1, 0x1.ced7af43cc771p-1, 0x1.d4134d14dc938p-1,
    0x1.d906bcf328d44p-1, 0x1.ddb13b6ccc23dp-1, 0x1.e212104f686e5p-1, 0x1.e6288ec48e112p-1,
    0x1.e9f4156c62ddap-1, 0x1.ed740e7684963p-1, 0x1.f0a7efb9230d7p-1, 0x1.f38f3ac64e588p-1,
    0x1.f6297cff75cafp-1, 0x1.f8764fa714ba8p-1, 0x1.fa7557f08a516p-1, 0x1.fc26470e19fd3p-1,
    0x1.fd88da3d12526p-1, 0x1.fe9cdad01883ap-1, 0x1.ff621e3796d7ep-1, 0x1.ffd886084cd0dp-1,
    };
    return table;
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
#ifdef __SSE2__
    // Eight samples at a time, put through the key mask in one step.
    const __m128i keys = _mm_set1_epi16(static_cast<short>(key));
    for (; i + 7 < n; i += 8) {
        __m128i p = _mm_cvtsi32_si128(rows[v >> 16][u >> 16]);
        p = _mm_insert_epi16(p, rows[(v + dv) >> 16][(u + du) >> 16], 1);
        p = _mm_insert_epi16(p, rows[(v + 2 * dv) >> 16][(u + 2 * du) >> 16], 2);
        p = _mm_insert_epi16(p, rows[(v + 3 * dv) >> 16][(u + 3 * du) >> 16], 3);
        p = _mm_insert_epi16(p, rows[(v + 4 * dv) >> 16][(u + 4 * du) >> 16], 4);
        p = _mm_insert_epi16(p, rows[(v + 5 * dv) >> 16][(u + 5 * du) >> 16], 5);
        p = _mm_insert_epi16(p, rows[(v + 6 * dv) >> 16][(u + 6 * du) >> 16], 6);
        p = _mm_insert_epi16(p, rows[(v + 7 * dv) >> 16][(u + 7 * du) >> 16], 7);
        __m128i* o = reinterpret_cast<__m128i*>(out + i);
        const __m128i keep = _mm_cmpeq_epi16(p, keys);
        _mm_storeu_si128(o, _mm_or_si128(_mm_andnot_si128(keep, p), _mm_and_si128(keep, _mm_loadu_si128(o))));
        u += 8 * du;
        v += 8 * dv;
    }
#endif
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
        // Rows are counted from the pattern's top, so that the row table holds only its rows.
        const int64_t v0 = std::llrint((s.Top + sh * centerY) * 65536.0) - (int64_t(s.Top) << 16);
        const int64_t uLo = int64_t(s.Left) << 16, uHi = int64_t(s.Right) << 16;
        const int64_t vLo = 0, vHi = int64_t(sh) << 16;
        const double invU = duX ? 1.0 / double(duX) : 0.0, invV = dvX ? 1.0 / double(dvX) : 0.0;
        const uint16_t key = src.ColorKey();
        // Start of every source row of the pattern, so that sampling needs no multiplication.
        // (Sprites are small: their table stays on the stack.)
        const uint16_t* stackRows[512];
        std::vector<const uint16_t*> heapRows;
        const uint16_t** rows = stackRows;
        if (sh > 512) {
            heapRows.resize(static_cast<size_t>(sh));
            rows = heapRows.data();
        }
        const TDirectDrawSurface& source = src;  // read only: its key runs stay
        for (int r = 0; r < sh; ++r) rows[r] = source.Bits() + static_cast<size_t>(s.Top + r) * src.Width();
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
    CheckListIndex(index, Count(), fileName_);
    return items_[static_cast<size_t>(index)].get();
}

TPictureCollectionItem* TPictureCollection::Add() {
    items_.push_back(std::make_unique<TPictureCollectionItem>(this));
    return items_.back().get();
}

void TPictureCollection::Clear() {
    items_.clear();
    fileName_.clear();
}

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
