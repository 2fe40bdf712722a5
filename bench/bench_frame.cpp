// Presenting a level's frame (the display, the HUD, the hand-over to the back-end), and our
// drawing against SDL's best on the game's own pictures: the keyed Draw of every built-in
// sprite against SDL's run-length accelerated colour-key blit (the results checked pixel
// for pixel), the opaque 640 x 380 tile against one memcpy of its bytes, and DrawRotated
// against SDL's software SDL_RenderCopyEx. The ratios are worked out within one benchmark,
// its rounds interleaved, so that a busy machine moves both sides alike.
// Results: docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "BenchGame.h"
#include "media/DXImageList.h"

namespace {

using Clock = std::chrono::steady_clock;

// --- presenting a frame -------------------------------------------------------------------

// A level's layout: the 640 x 380 display and the HUD below with its lives and face.
game::TMainForm& levelForm() {
    game::TMainForm& f = *bench::benchGame().form;
    f.DXDraw.SetHeight(380);
    f.podklad.SetBounds(0, 385, 640, 78);  // where the form's creation puts it
    f.podklad.Visible = true;
    f.zi1.Visible = f.zi2.Visible = f.zi3.Visible = true;
    return f;
}

// What a frame costs to present on the quick path: the back buffer is the top of the window
// picture, the HUD below it is left as painted, the headless back-end takes its copy.
void BM_Present_LevelFrame(benchmark::State& state) {
    game::TMainForm& f = levelForm();
    for (auto _ : state) f.DXDraw.Flip();
    state.counters["HUD paints"] = static_cast<double>(f.OutsidePaints());
}
BENCHMARK(BM_Present_LevelFrame);

// The same frame on the general path, which every frame took before: the back buffer copied
// into the display's picture, the window filled with the form's colour, the display copied
// in, the HUD painted again, then the back-end's copy. A one-pixel panel over the play area
// sends the frame there.
void BM_Present_LevelFrame_GeneralPath(benchmark::State& state) {
    game::TMainForm& f = levelForm();
    media::TPanel corner;
    corner.SetParent(&f);
    corner.SetBounds(639, 0, 1, 1);
    for (auto _ : state) f.DXDraw.Flip();
    corner.SetParent(nullptr);
}
BENCHMARK(BM_Present_LevelFrame_GeneralPath);

// A frame in which a face changes: the HUD is painted again.
void BM_Present_LevelFrame_FaceChanging(benchmark::State& state) {
    game::TMainForm& f = levelForm();
    bool flip = false;
    for (auto _ : state) {
        f.obrov.Visible = flip;
        flip = !flip;
        f.DXDraw.Flip();
    }
    f.obrov.Visible = true;
}
BENCHMARK(BM_Present_LevelFrame_FaceChanging);

// --- against SDL ----------------------------------------------------------------------------

// An SDL surface holding a picture item's device pixels, with the item's colour key.
SDL_Surface* sdlCopy(const media::TDirectDrawSurface& s, bool keyed, bool rle) {
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s.Width(), s.Height(), 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < s.Height(); ++y)
        std::memcpy(static_cast<uint8_t*>(out->pixels) + y * out->pitch, s.Bits() + y * s.Width(), s.Width() * 2);
    if (keyed) SDL_SetColorKey(out, SDL_TRUE, s.ColorKey());
    if (rle) SDL_SetSurfaceRLE(out, 1);
    return out;
}

struct Sprite {
    media::TPictureCollectionItem* item;
    SDL_Surface* rle;
    int x, y;
};

// Every keyed built-in picture of the ship's list and the explosions, spread over the area.
std::vector<Sprite> gameSprites() {
    game::TMainForm& f = levelForm();
    std::vector<Sprite> out;
    int x = 3, y = 5;
    for (media::TDXImageList* list : {&f.lod, &f.vybuch}) {
        for (int i = 0; i < list->Items.Count(); ++i) {
            media::TPictureCollectionItem* item = list->Items.Items(i);
            if (!item->Initialized() || !item->Transparent || item->PatternCount() == 0) continue;
            const media::TDirectDrawSurface& s = *item->Patterns()[0].Surface;
            out.push_back({item, sdlCopy(s, true, true), x, y});
            x += s.Width() + 7;
            if (x > 560) {
                x = 3;
                y += 60;
            }
        }
    }
    return out;
}

// A 640 x 380 RGB565 background that is not all one colour, to start each comparison from.
void background(uint16_t* p, int pitchPixels) {
    for (int y = 0; y < 380; ++y)
        for (int x = 0; x < 640; ++x) p[y * pitchPixels + x] = static_cast<uint16_t>(x * 31 + y * 977);
}

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double timeOf(int reps, F&& f) {
    const auto t0 = Clock::now();
    for (int i = 0; i < reps; ++i) f();
    return std::chrono::duration<double>(Clock::now() - t0).count() / reps;
}

void BM_Ratios_AgainstSdl(benchmark::State& state) {
    game::TMainForm& f = levelForm();
    media::TDirectDrawSurface& bb = f.DXDraw.Surface();
    std::vector<Sprite> sprites = gameSprites();
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 640, 380, 16, SDL_PIXELFORMAT_RGB565);
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);

    // The keyed blits must give the same picture as Draw.
    background(bb.Bits(), 640);
    background(static_cast<uint16_t*>(target->pixels), target->pitch / 2);
    for (const Sprite& s : sprites) {
        s.item->Draw(bb, s.x, s.y, 0);
        SDL_Rect dst{s.x, s.y, 0, 0};
        SDL_BlitSurface(s.rle, nullptr, target, &dst);
    }
    for (int y = 0; y < 380; ++y)
        if (std::memcmp(bb.Bits() + y * 640, static_cast<uint8_t*>(target->pixels) + y * target->pitch, 1280) != 0) {
            state.SkipWithError("SDL's colour-key blit and Draw give different pictures");
            return;
        }

    // The tile: an opaque 640 x 380 picture of the game's first level, from the data the
    // build writes (the benchmark is run from the build directory or beside its data).
    for (const char* path : {"pozadi/po1.dxg", "data/pozadi/po1.dxg", "../data/pozadi/po1.dxg"}) {
        try {
            f.pozadi.Items.LoadFromFile(path);
            break;
        } catch (const std::exception&) {
        }
    }
    media::TPictureCollectionItem* tile = nullptr;
    for (int i = 0; i < f.pozadi.Items.Count(); ++i) {
        media::TPictureCollectionItem* it = f.pozadi.Items.Items(i);
        if (!tile && it->Initialized() && !it->Transparent && it->Width() == 640 && it->Height() == 380) tile = it;
    }
    std::vector<uint16_t> tileSrc(640 * 380, 0x1234), tileDst(640 * 380);
    media::TPictureCollectionItem* capsule = f.lod.Items.Items(8);  // turned in every frame
    SDL_Surface* capsuleSurface = sdlCopy(*capsule->Patterns()[0].Surface, true, false);
    SDL_Texture* capsuleTexture = SDL_CreateTextureFromSurface(renderer, capsuleSurface);

    std::vector<double> draw, rle, tileDraw, copy, rotated, copyEx;
    int angle = 0;
    for (auto _ : state) {
        draw.push_back(timeOf(50, [&] {
            for (const Sprite& s : sprites) s.item->Draw(bb, s.x, s.y, 0);
        }));
        rle.push_back(timeOf(50, [&] {
            for (const Sprite& s : sprites) {
                SDL_Rect dst{s.x, s.y, 0, 0};
                SDL_BlitSurface(s.rle, nullptr, target, &dst);
            }
        }));
        if (tile) {
            tileDraw.push_back(timeOf(50, [&] { tile->Draw(bb, 0, 0, 0); }));
            copy.push_back(timeOf(50, [&] {
                std::memcpy(tileDst.data(), tileSrc.data(), tileSrc.size() * 2);
                benchmark::ClobberMemory();
            }));
        }
        rotated.push_back(timeOf(256, [&] {
            capsule->DrawRotated(bb, 320, 190, 40, 40, 0, 0.5, 0.5, angle, 255);
            angle = (angle + 1) & 255;
        }));
        copyEx.push_back(timeOf(256, [&] {
            SDL_Rect dst{300, 170, 40, 40};
            SDL_RenderCopyEx(renderer, capsuleTexture, nullptr, &dst, angle * 360.0 / 256.0, nullptr, SDL_FLIP_NONE);
            angle = (angle + 1) & 255;
        }));
    }
    benchmark::DoNotOptimize(bb.Bits());
    state.counters["sprites"] = static_cast<double>(sprites.size());
    state.counters["RLE/Draw"] = medianOf(rle) / medianOf(draw);
    if (tile)
        state.counters["Tile/memcpy"] = medianOf(tileDraw) / medianOf(copy);
    else
        state.SkipWithError("no level tile found: run from the build directory");
    state.counters["CopyEx/Rotated"] = medianOf(copyEx) / medianOf(rotated);
    state.counters["Draw_us"] = medianOf(draw) * 1e6;
    state.counters["RLE_us"] = medianOf(rle) * 1e6;
    for (const Sprite& s : sprites) SDL_FreeSurface(s.rle);
    SDL_DestroyTexture(capsuleTexture);
    SDL_FreeSurface(capsuleSurface);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(target);
}
BENCHMARK(BM_Ratios_AgainstSdl)->Iterations(40);

}  // namespace
