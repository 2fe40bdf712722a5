// Drawing speed: our Draw and DrawRotated beside SDL2's own software renderer and blitter
// doing the same jobs, and memcpy of the same bytes. Results: docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>
#include <SDL.h>

#include <cstring>
#include <memory>
#include <vector>

#include "media/DXDraw.h"
#include "media/DXImageList.h"
#include "media/Forms.h"
#include "platform/Platform.h"

namespace {

constexpr uint32_t kKey = 0xFFFFFF;  // white colour key, as the ship's pictures use

std::shared_ptr<media::TDIB> Sprite(int w, int h, bool withKey) {
    auto dib = std::make_shared<media::TDIB>(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool edge = withKey && ((x - w / 2) * (x - w / 2) * h * h + (y - h / 2) * (y - h / 2) * w * w > w * w * h * h / 4);
            dib->SetPixel(x, y, edge ? kKey : 0x203040u + uint32_t(x * 5) + (uint32_t(y * 3) << 8));
        }
    return dib;
}

// One headless display with an image list, shared by all benchmarks.
struct Scene {
    std::unique_ptr<platform::Platform> platform = platform::createHeadlessPlatform(25);
    media::TDXForm form;
    media::TDXDraw draw;
    media::TDXImageList list;
    media::TPictureCollectionItem* capsule;  // 33 x 31, keyed
    media::TPictureCollectionItem* ship;     // 96 x 31, keyed
    media::TPictureCollectionItem* tile;     // 640 x 380, opaque
    std::shared_ptr<media::TDIB> capsulePic = Sprite(33, 31, true), shipPic = Sprite(96, 31, true),
                                 tilePic = Sprite(640, 380, false);

    Scene() {
        platform::setCurrent(platform.get());
        draw.SetParent(&form);
        form.SetDisplayControl(&draw);
        draw.Display.SetBitCount(16);
        draw.SetBounds(0, 0, 640, 480);
        draw.Initialize();
        capsule = Add(capsulePic, true);
        ship = Add(shipPic, true);
        tile = Add(tilePic, false);
        list.SetDXDraw(&draw);
    }
    media::TPictureCollectionItem* Add(std::shared_ptr<media::TDIB> pic, bool keyed) {
        auto* item = list.Items.Add();
        item->SetPicture(std::move(pic));
        item->Transparent = keyed;
        item->SetTransparentColor(kKey);
        return item;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// SDL's software renderer on an RGB565 target, with colour-keyed textures of the same pictures.
struct SdlScene {
    SDL_Surface* target = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* capsule = nullptr;
    SDL_Surface* ship = nullptr;
    SDL_Texture* capsuleTex = nullptr;
    SDL_Texture* shipTex = nullptr;

    static SDL_Surface* ToSurface(const media::TDIB& dib) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, dib.Width(), dib.Height(), 16, SDL_PIXELFORMAT_RGB565);
        for (int y = 0; y < dib.Height(); ++y)
            for (int x = 0; x < dib.Width(); ++x)
                static_cast<uint16_t*>(s->pixels)[y * (s->pitch / 2) + x] = media::ColorToDevice(dib.Pixel(x, y));
        SDL_SetColorKey(s, SDL_TRUE, media::ColorToDevice(kKey));
        return s;
    }
    SdlScene() {
        Scene& sc = TheScene();
        target = SDL_CreateRGBSurfaceWithFormat(0, 640, 380, 16, SDL_PIXELFORMAT_RGB565);
        renderer = SDL_CreateSoftwareRenderer(target);
        capsule = ToSurface(*sc.capsulePic);
        ship = ToSurface(*sc.shipPic);
        capsuleTex = SDL_CreateTextureFromSurface(renderer, capsule);
        shipTex = SDL_CreateTextureFromSurface(renderer, ship);
    }
};

SdlScene& TheSdl() {
    static SdlScene scene;
    return scene;
}

void SetRate(benchmark::State& state, int64_t pixelsPerOp) {
    state.counters["dest_px/s"] = benchmark::Counter(double(state.iterations() * pixelsPerOp), benchmark::Counter::kIsRate);
}

// --- rotated sprites -------------------------------------------------------------------

void BM_DrawRotated_Capsule40(benchmark::State& state) {
    Scene& sc = TheScene();
    sc.draw.SetHeight(380);
    int angle = 0;
    for (auto _ : state) {
        sc.capsule->DrawRotated(sc.draw.Surface(), 320, 190, 40, 40, 0, 0.5, 0.5, angle, 255);
        angle = (angle + 1) & 255;  // every angle in turn
    }
    benchmark::DoNotOptimize(sc.draw.Surface().Bits());
    SetRate(state, 40 * 40);
}
BENCHMARK(BM_DrawRotated_Capsule40);

void BM_Sdl_RenderCopyEx_Capsule40(benchmark::State& state) {
    SdlScene& s = TheSdl();
    SDL_Rect dst{300, 170, 40, 40};
    int angle = 0;
    for (auto _ : state) {
        SDL_RenderCopyEx(s.renderer, s.capsuleTex, nullptr, &dst, angle * 360.0 / 256.0, nullptr, SDL_FLIP_NONE);
        angle = (angle + 1) & 255;
    }
    SetRate(state, 40 * 40);
}
BENCHMARK(BM_Sdl_RenderCopyEx_Capsule40);

void BM_DrawRotated_Ship_Angle25(benchmark::State& state) {
    Scene& sc = TheScene();
    sc.draw.SetHeight(380);
    for (auto _ : state) sc.ship->DrawRotated(sc.draw.Surface(), 320, 190, 96, 31, 0, 0.5, 0.5, 25, 255);
    SetRate(state, 96 * 31);
}
BENCHMARK(BM_DrawRotated_Ship_Angle25);

void BM_Sdl_RenderCopyEx_Ship_Angle25(benchmark::State& state) {
    SdlScene& s = TheSdl();
    SDL_Rect dst{272, 175, 96, 31};
    for (auto _ : state) SDL_RenderCopyEx(s.renderer, s.shipTex, nullptr, &dst, 25 * 360.0 / 256.0, nullptr, SDL_FLIP_NONE);
    SetRate(state, 96 * 31);
}
BENCHMARK(BM_Sdl_RenderCopyEx_Ship_Angle25);

// --- plain draws -------------------------------------------------------------------------

void BM_Draw_Tile640x380(benchmark::State& state) {
    Scene& sc = TheScene();
    sc.draw.SetHeight(380);
    for (auto _ : state) sc.tile->Draw(sc.draw.Surface(), 0, 0, 0);
    benchmark::DoNotOptimize(sc.draw.Surface().Bits());
    SetRate(state, 640 * 380);
}
BENCHMARK(BM_Draw_Tile640x380);

void BM_Memcpy_Tile640x380(benchmark::State& state) {
    std::vector<uint16_t> src(640 * 380, 0x1234), dst(640 * 380);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    }
    SetRate(state, 640 * 380);
}
BENCHMARK(BM_Memcpy_Tile640x380);

void BM_Draw_Ship_Keyed(benchmark::State& state) {
    Scene& sc = TheScene();
    sc.draw.SetHeight(380);
    for (auto _ : state) sc.ship->Draw(sc.draw.Surface(), 200, 150, 0);
    benchmark::DoNotOptimize(sc.draw.Surface().Bits());
    SetRate(state, 96 * 31);
}
BENCHMARK(BM_Draw_Ship_Keyed);

void BM_Sdl_BlitSurface_Ship_Keyed(benchmark::State& state) {
    SdlScene& s = TheSdl();
    for (auto _ : state) {
        SDL_Rect dst{200, 150, 96, 31};
        SDL_BlitSurface(s.ship, nullptr, s.target, &dst);
    }
    SetRate(state, 96 * 31);
}
BENCHMARK(BM_Sdl_BlitSurface_Ship_Keyed);

void BM_Memcpy_Ship(benchmark::State& state) {
    std::vector<uint16_t> src(96 * 31, 0x1234), dst(96 * 31);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    }
    SetRate(state, 96 * 31);
}
BENCHMARK(BM_Memcpy_Ship);

}  // namespace

BENCHMARK_MAIN();
