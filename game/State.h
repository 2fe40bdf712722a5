// The game's shared state: plain global data of fixed size through which the units Main,
// data1, zbrane, alien and kontrola exchange information. Every variable has the width the
// game relies on (uint8 counters wrap, the scroll values are float32). Tables of the game are
// 1-based (groups 1..5, slots 1..15, lasers 1..3, alien entries 1..6, stones 1..10, stars
// 1..50); the background tiles are 0-based.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "game/Random.h"

namespace game {

#ifdef ORBITA_CHECKED_TABLES
// Stops the program with a message naming the index (checked builds only).
[[noreturn]] void tableIndexFault(int index, int size);
#endif

// A fixed table indexed from 1, as the game's tables are. The sanitizer build checks every
// index; the release build does not.
template <typename T, int N>
struct Table1 {
    T items[N]{};
    T& operator[](int i) {
        check(i);
        return items[i - 1];
    }
    const T& operator[](int i) const {
        check(i);
        return items[i - 1];
    }
    static void check(int i) {
#ifdef ORBITA_CHECKED_TABLES
        if (i < 1 || i > N) tableIndexFault(i, N);
#else
        (void)i;
#endif
    }
    static constexpr int size() { return N; }
    T* begin() { return items; }
    T* end() { return items + N; }
    const T* begin() const { return items; }
    const T* end() const { return items + N; }
};

struct BgTile {
    int32_t x = 0;
    int32_t y = 0;
};

struct Star {
    int32_t x = 0;
    int32_t y = 0;
    int32_t speed = 0;  // pixels to the left per frame, 2..6
};

// One alien or level-object record.
struct Alien {
    int32_t x = 0;
    int32_t y = 0;
    int32_t shotX = 0;
    int32_t shotY = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t vy = 0;
    int32_t speed = 0;
    int32_t maxHits = 0;
    int32_t hits = 0;
    int32_t anim = 0;
    uint8_t explodeFrame = 0;
    uint8_t angle = 0;
    uint8_t shotImage = 0;
    bool dead = false;
    bool shotReady = false;
    bool shotFlying = false;
};

// One stone of level 6.
struct Stone {
    int32_t x = 0;
    int32_t y = 0;
    int32_t speed = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// One projectile slot.
struct Shot {
    bool idle = false;
    bool hit = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t angle = 0;
};

struct ShotGroup {
    bool fireRequest = false;
    uint8_t nextSlot = 0;
    uint8_t cooldown = 0;
    Table1<Shot, 15> slots;
};

struct LaserBeam {
    bool idle = false;
    bool fireRequest = false;
    bool hit = false;
    int32_t x1 = 0;
    int32_t x2 = 0;
    int32_t y1 = 0;
    int32_t y2 = 0;
};

// --- ship, level and scrolling -------------------------------------------------------
extern int32_t shipX, shipY;
extern uint8_t level;
extern uint8_t weaponLevel;
extern uint8_t lives;
extern bool shipDying;
extern uint8_t deathFrame;
extern int32_t levelClock;   // +1 for every 40 scrolled pixels
extern int32_t clockPixels;  // pixels scrolled since the last clock tick, 0..39
extern float scrollSpeed;
extern float scrollAccum;
extern int32_t scrollStep;
extern BgTile bgTiles[9];
extern uint8_t lastTile;  // last tile in use; the current page in the story
extern bool spawnWindowA, spawnWindowB, spawnWindowC, spawnWindowD;

// --- power-up capsule, counters ---------------------------------------------------------
extern int32_t powerUpX, powerUpY;
extern uint8_t frameCounter;
extern uint8_t laserAnim;

// --- force pod ---------------------------------------------------------------------------
extern uint8_t podAnim;
extern int32_t podX, podY;
extern uint8_t podFlight;
extern uint8_t podAngle;
extern bool podLaunched, podReturning;
extern bool podFront, podRear, podTop, podBottom;

// --- scene flags ---------------------------------------------------------------------------
extern bool inStory, inTitle, inMenu, paused, gameFinished;
extern bool po7bPending;

// --- pointer, HUD face, stars --------------------------------------------------------------
extern int32_t mouseX, mouseY;
extern int32_t faceRoll;
extern Table1<Star, 50> stars;

// --- aliens and level objects ----------------------------------------------------------------
extern Table1<Alien, 6> aliensA, aliensB, aliensC, aliensD;
extern uint8_t waveSize;
extern Alien levelObject;
extern Table1<Stone, 10> stones;
extern uint8_t hitDamage;

// --- the player's weapons ----------------------------------------------------------------------
extern Table1<ShotGroup, 5> shotGroups;
extern Table1<LaserBeam, 3> lasers;

// --- options of the shell that change the game --------------------------------------------------
extern bool godMode;    // the ship cannot be destroyed
extern uint32_t tick;   // frame ticks run so far (tick 1 is the first call of the frame tick)

// Marks the ship as struck; a god-mode ship is not even marked, so that whatever reads
// shipDying later in the frame sees a ship that nothing struck.
inline void destroyShip() {
    if (!godMode) shipDying = true;
}

// Every variable above back to its start-of-process value (all zero); for tests.
void clearAllState();

}  // namespace game
