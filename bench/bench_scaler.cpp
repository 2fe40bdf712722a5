// Presenting without a graphics driver: the 640 x 480 RGB565 picture scaled into a 32-bit
// window surface (X's usual 24-bit depth) at 1x, in a 2x window and full screen at
// 1920 x 1080 (2x, letterboxed), by shifts eight pixels at a time against the 65 536-entry
// table. Two scrolled pictures alternate, so every row has changed and is compared, widened
// and stored, as in a level. Results: docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>
#include <SDL.h>

#include <vector>

#include "platform/sdl/SurfaceScaler.h"

namespace {

std::vector<uint16_t> Picture(int scroll) {
    std::vector<uint16_t> p(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) p[y * 640 + x] = static_cast<uint16_t>((x * 7) ^ ((y + scroll) * 31));
    return p;
}

// Arguments: surface width, height, 1 for shifts (0 for the table).
void BM_SurfaceScaler(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    SDL_PixelFormat* format = SDL_AllocFormat(SDL_PIXELFORMAT_RGB888);
    platform::SurfaceScaler::Conversion k = platform::SurfaceScaler::Conversion::of(format);
    SDL_FreeFormat(format);
    if (!k.byShifts) {
        state.SkipWithError("no conversion by shifts for RGB888");
        return;
    }
    k.byShifts = state.range(2) != 0;
    const std::vector<uint16_t> pictures[2] = {Picture(0), Picture(1)};
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
    ->ArgNames({"w", "h", "shifts"})
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1280, 960, 0})
    ->Args({1280, 960, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
