// Presenting without a graphics driver: the 640 x 480 RGB565 picture scaled into a 32-bit
// window surface (X's usual 24-bit depth) at 1x, in a 2x window and full screen at
// 1920 x 1080 (2x, letterboxed), by shifts eight pixels at a time against the 65 536-entry
// table. Two pictures alternate that differ in every eight-pixel run (the worst case) or in a
// fifth of each row above the HUD (about what a level does: most rows change, a few of their
// runs; the HUD rows stay the same). Results: docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>
#include <SDL.h>

#include <vector>

#include "platform/sdl/SurfaceScaler.h"

namespace {

// every: a changed pixel in every eight-pixel run of every row (else, in each of the 380 rows
// above the HUD, a span of 128 pixels, a fifth of the row, at a place that varies by row).
std::vector<uint16_t> Picture(int which, bool every) {
    std::vector<uint16_t> p(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const int from = (y * 37) % 512;
            const bool changed = which && (every || (y < 380 && x >= from && x < from + 128));
            p[y * 640 + x] = static_cast<uint16_t>((x * 7) ^ ((y + (changed ? 1 : 0)) * 31));
        }
    return p;
}

// Arguments: the surface (0: a 1x window, 1: a 2x window, 2: full screen at 1920 x 1080),
// 1 for shifts (0 for the table), 1 for every run changed.
void BM_SurfaceScaler(benchmark::State& state) {
    static const int sizes[3][2] = {{640, 480}, {1280, 960}, {1920, 1080}};
    const int w = sizes[state.range(0)][0], h = sizes[state.range(0)][1];
    SDL_PixelFormat* format = SDL_AllocFormat(SDL_PIXELFORMAT_RGB888);
    platform::SurfaceScaler::Conversion k = platform::SurfaceScaler::Conversion::of(format);
    SDL_FreeFormat(format);
    if (!k.byShifts) {
        state.SkipWithError("no conversion by shifts for RGB888");
        return;
    }
    k.byShifts = state.range(1) != 0;
    const bool every = state.range(2) != 0;
    const std::vector<uint16_t> pictures[2] = {Picture(0, every), Picture(1, every)};
    std::vector<uint16_t> previous = pictures[1];
    std::vector<uint32_t> surface(static_cast<size_t>(w) * h);
    int n = 0, first = 0, last = 0;
    for (auto _ : state) {
        platform::SurfaceScaler::scale(pictures[n ^= 1].data(), surface.data(), w, h, w * 4, k, previous.data(),
                                       &first, &last);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    state.counters["rows"] = last - first;
}
BENCHMARK(BM_SurfaceScaler)
    ->ArgNames({"surface", "shifts", "every"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
