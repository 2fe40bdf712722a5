// A frame of the player's weapons on a headless main form with the built-in pictures: all five
// projectile groups in flight at weapon level 5, and the three beams with the pod at weapon
// level 6; and the hit test as a frame's targets call it. Results: docs/PERFORMANCE.md.
#include <benchmark/benchmark.h>

#include <memory>

#include "game/Main.h"
#include "game/State.h"
#include "game/alien.h"
#include "game/zbrane.h"
#include "media/Forms.h"
#include "platform/Platform.h"
#include "BenchGame.h"

namespace {

bench::Game& game1() { return bench::benchGame(); }

// Every slot of every group in flight, spread over the play area.
void fillGroups() {
    using namespace game;
    for (int g = 1; g <= 5; ++g)
        for (int s = 1; s <= 15; ++s) {
            Shot& shot = shotGroups[g].slots[s];
            shot.idle = false;
            shot.hit = false;
            shot.x = 40 + 37 * s;
            shot.y = 40 + 60 * g;
            shot.angle = g == 3 ? 255 : 0;
        }
}

void BM_WeaponFrameLevel5(benchmark::State& state) {
    using namespace game;
    bench::Game& g = game1();
    weaponLevel = 5;
    shipX = 100;
    shipY = 150;
    fillGroups();
    const auto start = shotGroups;
    for (auto _ : state) {
        shotGroups = start;  // the same 75 projectiles every frame
        requestFire();
        for (int group : {1, 5, 2, 3, 4}) stepShotGroup(group);
        benchmark::DoNotOptimize(shotGroups[1].slots[1].x);
    }
    benchmark::DoNotOptimize(g.form.get());
}
BENCHMARK(BM_WeaponFrameLevel5);

void BM_WeaponFrameLevel6(benchmark::State& state) {
    using namespace game;
    game1();
    weaponLevel = 6;
    shipX = 100;
    shipY = 150;
    podLaunched = podReturning = false;
    podFront = true;
    podRear = podTop = podBottom = false;
    podAnim = 1;
    for (auto& l : lasers) {
        l.idle = false;
        l.hit = false;
        l.x1 = 7;
        l.x2 = 313;
    }
    lasers[3].x1 = 225;
    lasers[3].x2 = 195;
    const auto beams = lasers;
    for (auto _ : state) {
        lasers = beams;  // three beams running every frame
        updatePod();
        stepLasers();
        benchmark::DoNotOptimize(lasers[1].x2);
    }
}
BENCHMARK(BM_WeaponFrameLevel6);

// Two dozen targets, each testing its rectangle once, with all 75 projectiles in flight.
void BM_HitTestsOfAFrame(benchmark::State& state) {
    using namespace game;
    game1();
    fillGroups();
    for (auto& l : lasers) l = LaserBeam{};
    podX = -50;
    podY = 300;
    int struck = 0;
    for (auto _ : state) {
        for (int t = 0; t < 24; ++t) struck += weaponHitTest(10 + 25 * t, 400, 20, 20);
        benchmark::DoNotOptimize(struck);
    }
}
BENCHMARK(BM_HitTestsOfAFrame);

}  // namespace
