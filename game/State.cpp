#include "game/State.h"

#include <cstdio>
#include <cstdlib>

namespace game {

int32_t shipX, shipY;
uint8_t level;
uint8_t weaponLevel;
uint8_t lives;
bool shipDying;
uint8_t deathFrame;
int32_t levelClock;
int32_t clockPixels;
float scrollSpeed;
float scrollAccum;
int32_t scrollStep;
BgTile bgTiles[9];
uint8_t lastTile;
bool spawnWindowA, spawnWindowB, spawnWindowC, spawnWindowD;
int32_t powerUpX, powerUpY;
uint8_t frameCounter;
uint8_t laserAnim;
uint8_t podAnim;
int32_t podX, podY;
uint8_t podFlight;
uint8_t podAngle;
bool podLaunched, podReturning;
bool podFront, podRear, podTop, podBottom;
bool inStory, inTitle, inMenu, paused, gameFinished;
bool po7bPending;
int32_t mouseX, mouseY;
int32_t faceRoll;
Table1<Star, 50> stars;
Table1<Alien, 6> aliensA, aliensB, aliensC, aliensD;
uint8_t waveSize;
Alien levelObject;
Table1<Stone, 10> stones;
uint8_t hitDamage;
Table1<ShotGroup, 5> shotGroups;
Table1<LaserBeam, 3> lasers;
bool godMode;
uint32_t tick;

#ifdef ORBITA_CHECKED_TABLES
void tableIndexFault(int index, int size) {
    std::fprintf(stderr, "orbita: table index %d outside 1 .. %d\n", index, size);
    std::abort();
}
#endif

void clearAllState() {
    shipX = shipY = 0;
    level = weaponLevel = lives = 0;
    shipDying = false;
    deathFrame = 0;
    levelClock = clockPixels = 0;
    scrollSpeed = scrollAccum = 0.0f;
    scrollStep = 0;
    for (auto& t : bgTiles) t = BgTile{};
    lastTile = 0;
    spawnWindowA = spawnWindowB = spawnWindowC = spawnWindowD = false;
    powerUpX = powerUpY = 0;
    frameCounter = laserAnim = podAnim = 0;
    podX = podY = 0;
    podFlight = podAngle = 0;
    podLaunched = podReturning = podFront = podRear = podTop = podBottom = false;
    inStory = inTitle = inMenu = paused = gameFinished = po7bPending = false;
    mouseX = mouseY = faceRoll = 0;
    stars = {};
    aliensA = aliensB = aliensC = aliensD = {};
    waveSize = 0;
    levelObject = Alien{};
    stones = {};
    hitDamage = 0;
    shotGroups = {};
    lasers = {};
    tick = 0;
}

}  // namespace game
