// Deterministic random numbers and value noise for the asset builder: the same seed gives
// the same art on every machine.
#pragma once

#include <cmath>
#include <cstdint>

namespace assets {

inline uint32_t Hash(uint32_t x) {
    x ^= x >> 16; x *= 0x7feb352dU; x ^= x >> 15; x *= 0x846ca68bU; x ^= x >> 16;
    return x;
}
inline uint32_t Hash2(int x, int y, uint32_t seed) {
    return Hash(static_cast<uint32_t>(x) * 0x9E3779B1u ^ Hash(static_cast<uint32_t>(y) + seed * 0x85EBCA77u));
}
// 0..1 from a lattice point.
inline double Rand2(int x, int y, uint32_t seed) { return (Hash2(x, y, seed) & 0xFFFFFF) / double(0x1000000); }

// Smooth value noise in 0..1.
inline double ValueNoise(double x, double y, uint32_t seed) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    double fx = x - xi, fy = y - yi;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = Rand2(xi, yi, seed), b = Rand2(xi + 1, yi, seed), c = Rand2(xi, yi + 1, seed), d = Rand2(xi + 1, yi + 1, seed);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

// Fractal noise in about 0..1.
inline double Fbm(double x, double y, uint32_t seed, int octaves = 4) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, seed + o * 131);
        norm += amp;
        x *= 2.03; y *= 2.03; amp *= 0.5;
    }
    return sum / norm;
}

// 1-D smooth noise (for terrain profiles), -1..1.
inline double Noise1(double x, uint32_t seed) { return ValueNoise(x, 0.5, seed) * 2 - 1; }

class Rng {
public:
    explicit Rng(uint32_t seed) : s_(seed * 2654435761u + 12345) {}
    uint32_t Next() { s_ = s_ * 1664525u + 1013904223u; return Hash(s_); }
    double Uniform() { return (Next() & 0xFFFFFF) / double(0x1000000); }
    double Range(double a, double b) { return a + (b - a) * Uniform(); }
    int Int(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t s_;
};

// How far (x, y) lies from the nearest seam between the Voronoi cells of jittered points, one
// per cell of `cell` pixels: the second-nearest point's distance less the nearest one's, small
// on the seams.
inline double VoronoiSeam(double x, double y, double cell, uint32_t seed) {
    int cx = int(std::floor(x / cell)), cy = int(std::floor(y / cell));
    double d1 = 1e9, d2 = 1e9;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            double px = (cx + i + 0.15 + 0.7 * Rand2(cx + i, cy + j, seed)) * cell;
            double py = (cy + j + 0.15 + 0.7 * Rand2(cx + i, cy + j, seed + 1)) * cell;
            double d = std::hypot(x - px, y - py);
            if (d < d1) { d2 = d1; d1 = d; }
            else if (d < d2) d2 = d;
        }
    return d2 - d1;
}

}  // namespace assets
