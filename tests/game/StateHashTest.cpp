// The hash that recordings keep and replays check is worked out two ways: from the state's
// JSON text, and straight from the state without building the text. They must agree for
// every state, or a recording made by one would not replay under the other.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "game/State.h"
#include "game/StateHash.h"

namespace {

struct Filler {
    std::mt19937_64 rng;
    explicit Filler(uint64_t seed) : rng(seed) {}
    int32_t i32() {
        // Small, negative, large and extreme values alike.
        switch (rng() % 4) {
            case 0: return static_cast<int32_t>(rng() % 2000) - 1000;
            case 1: return static_cast<int32_t>(rng());
            case 2: return rng() % 2 ? INT32_MIN : INT32_MAX;
            default: return 0;
        }
    }
    uint8_t u8() { return static_cast<uint8_t>(rng()); }
    bool b() { return rng() % 2; }
    float f() {
        const float picks[] = {0.0f, 0.6f, 1.2f, -0.25f, 1e-7f, 123456.789f, 0.1f + 0.2f};
        return rng() % 2 ? picks[rng() % 7] : static_cast<float>(static_cast<int32_t>(rng())) / 65536.0f;
    }
    void alien(game::Alien& a) {
        for (int32_t* v : {&a.x, &a.y, &a.shotX, &a.shotY, &a.width, &a.height, &a.vy, &a.speed, &a.maxHits,
                           &a.hits, &a.anim})
            *v = i32();
        a.explodeFrame = u8();
        a.angle = u8();
        a.shotImage = u8();
        a.dead = b();
        a.shotReady = b();
        a.shotFlying = b();
    }
    void fill() {
        using namespace game;
        for (int32_t* v : {&shipX, &shipY, &levelClock, &clockPixels, &scrollStep, &powerUpX, &powerUpY, &podX,
                           &podY, &mouseX, &mouseY, &faceRoll})
            *v = i32();
        for (uint8_t* v : {&level, &weaponLevel, &lives, &deathFrame, &lastTile, &frameCounter, &laserAnim, &podAnim,
                           &podFlight, &podAngle, &waveSize, &hitDamage})
            *v = u8();
        for (bool* v : {&shipDying, &spawnWindowA, &spawnWindowB, &spawnWindowC, &spawnWindowD, &podLaunched,
                        &podReturning, &podFront, &podRear, &podTop, &podBottom, &inStory, &inTitle, &inMenu, &paused,
                        &gameFinished, &po7bPending})
            *v = b();
        scrollSpeed = f();
        scrollAccum = f();
        for (auto& t : bgTiles) t = {i32(), i32()};
        for (auto* table : {&aliensA, &aliensB, &aliensC, &aliensD})
            for (auto& a : *table) alien(a);
        alien(levelObject);
        for (auto& s : stones) s = {i32(), i32(), i32(), i32(), i32()};
        for (auto& g : shotGroups) {
            g.fireRequest = b();
            g.nextSlot = u8();
            g.cooldown = u8();
            for (auto& s : g.slots) s = {b(), b(), i32(), i32(), i32(), i32(), i32()};
        }
        for (auto& l : lasers) l = {b(), b(), b(), i32(), i32(), i32(), i32()};
        for (auto& s : stars) s = {i32(), i32(), i32()};
        setRandomState(rng());
    }
};

}  // namespace

TEST(StateHash, TheHashWithoutTextEqualsTheHashOfTheText) {
    game::clearAllState();
    EXPECT_EQ(game::stateHashNoAlloc(), game::stateHash()) << "the cleared state";
    Filler filler(20261208);
    for (int i = 0; i < 300; ++i) {
        filler.fill();
        ASSERT_EQ(game::stateHashNoAlloc(), game::stateHash()) << "state " << i;
    }
    // One field changed changes both alike.
    const uint64_t before = game::stateHash();
    game::stars[50].speed += 1;
    EXPECT_NE(game::stateHash(), before);
    EXPECT_EQ(game::stateHashNoAlloc(), game::stateHash());
    game::clearAllState();
}
