#include "game/State.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

namespace {

uint64_t rngState = 0x853c49e6748fea9bULL;
bool fixedSeedSet = false;
uint64_t fixedSeedValue = 0;

// 64-bit linear congruential step; the high 32 bits are the output.
uint32_t nextRandom() {
    rngState = rngState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(rngState >> 32);
}

}  // namespace

int32_t Random(int32_t n) {
    if (n <= 0) return 0;
    uint32_t r = nextRandom();
    return static_cast<int32_t>((static_cast<uint64_t>(r) * static_cast<uint32_t>(n)) >> 32);
}

void setRandomSeed(uint64_t seed) {
    // Spread the seed so that neighbouring seeds give unrelated sequences.
    uint64_t z = seed + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    rngState = z ^ (z >> 31);
}

void Randomize() {
    if (fixedSeedSet) {
        setRandomSeed(fixedSeedValue);
        return;
    }
    auto now = std::chrono::system_clock::now().time_since_epoch();
    setRandomSeed(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

uint64_t randomState() { return rngState; }
void setRandomState(uint64_t state) { rngState = state; }
void setFixedSeed(bool enabled, uint64_t seed) {
    fixedSeedSet = enabled;
    fixedSeedValue = seed;
}
bool hasFixedSeed() { return fixedSeedSet; }
uint64_t fixedSeed() { return fixedSeedValue; }

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

namespace {

class Json {
public:
    std::string out;
    void key(const char* k) {
        sep();
        out += '"';
        out += k;
        out += "\":";
        first_ = true;
        pendingValue_ = true;
    }
    void num(long long v) {
        sep();
        out += std::to_string(v);
    }
    void flt(float v) {
        sep();
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
        out += buf;
    }
    void boolean(bool v) {
        sep();
        out += v ? "true" : "false";
    }
    void open(char c) {
        sep();
        out += c;
        first_ = true;
    }
    void close(char c) {
        out += c;
        first_ = false;
        pendingValue_ = false;
    }

private:
    void sep() {
        if (pendingValue_) {
            pendingValue_ = false;
            first_ = false;
            return;
        }
        if (!first_) out += ',';
        first_ = false;
    }
    bool first_ = true;
    bool pendingValue_ = false;
};

void alienJson(Json& j, const Alien& a) {
    j.open('{');
    j.key("x"); j.num(a.x);
    j.key("y"); j.num(a.y);
    j.key("shotX"); j.num(a.shotX);
    j.key("shotY"); j.num(a.shotY);
    j.key("width"); j.num(a.width);
    j.key("height"); j.num(a.height);
    j.key("vy"); j.num(a.vy);
    j.key("speed"); j.num(a.speed);
    j.key("maxHits"); j.num(a.maxHits);
    j.key("hits"); j.num(a.hits);
    j.key("anim"); j.num(a.anim);
    j.key("explodeFrame"); j.num(a.explodeFrame);
    j.key("angle"); j.num(a.angle);
    j.key("shotImage"); j.num(a.shotImage);
    j.key("dead"); j.boolean(a.dead);
    j.key("shotReady"); j.boolean(a.shotReady);
    j.key("shotFlying"); j.boolean(a.shotFlying);
    j.close('}');
}

void aliensJson(Json& j, const char* name, const Table1<Alien, 6>& t) {
    j.key(name);
    j.open('[');
    for (const auto& a : t) alienJson(j, a);
    j.close(']');
}

void gameJson(Json& j) {
    j.key("shipX"); j.num(shipX);
    j.key("shipY"); j.num(shipY);
    j.key("level"); j.num(level);
    j.key("weaponLevel"); j.num(weaponLevel);
    j.key("lives"); j.num(lives);
    j.key("shipDying"); j.boolean(shipDying);
    j.key("deathFrame"); j.num(deathFrame);
    j.key("levelClock"); j.num(levelClock);
    j.key("clockPixels"); j.num(clockPixels);
    j.key("scrollSpeed"); j.flt(scrollSpeed);
    j.key("scrollAccum"); j.flt(scrollAccum);
    j.key("scrollStep"); j.num(scrollStep);
    j.key("bgTiles");
    j.open('[');
    for (const auto& t : bgTiles) {
        j.open('{');
        j.key("x"); j.num(t.x);
        j.key("y"); j.num(t.y);
        j.close('}');
    }
    j.close(']');
    j.key("lastTile"); j.num(lastTile);
    j.key("spawnWindowA"); j.boolean(spawnWindowA);
    j.key("spawnWindowB"); j.boolean(spawnWindowB);
    j.key("spawnWindowC"); j.boolean(spawnWindowC);
    j.key("spawnWindowD"); j.boolean(spawnWindowD);
    j.key("powerUpX"); j.num(powerUpX);
    j.key("powerUpY"); j.num(powerUpY);
    j.key("frameCounter"); j.num(frameCounter);
    j.key("laserAnim"); j.num(laserAnim);
    j.key("podAnim"); j.num(podAnim);
    j.key("podX"); j.num(podX);
    j.key("podY"); j.num(podY);
    j.key("podFlight"); j.num(podFlight);
    j.key("podAngle"); j.num(podAngle);
    j.key("podLaunched"); j.boolean(podLaunched);
    j.key("podReturning"); j.boolean(podReturning);
    j.key("podFront"); j.boolean(podFront);
    j.key("podRear"); j.boolean(podRear);
    j.key("podTop"); j.boolean(podTop);
    j.key("podBottom"); j.boolean(podBottom);
    j.key("inStory"); j.boolean(inStory);
    j.key("inTitle"); j.boolean(inTitle);
    j.key("inMenu"); j.boolean(inMenu);
    j.key("paused"); j.boolean(paused);
    j.key("gameFinished"); j.boolean(gameFinished);
    j.key("po7bPending"); j.boolean(po7bPending);
    j.key("mouseX"); j.num(mouseX);
    j.key("mouseY"); j.num(mouseY);
    j.key("faceRoll"); j.num(faceRoll);
    j.key("waveSize"); j.num(waveSize);
    j.key("hitDamage"); j.num(hitDamage);
    aliensJson(j, "aliensA", aliensA);
    aliensJson(j, "aliensB", aliensB);
    aliensJson(j, "aliensC", aliensC);
    aliensJson(j, "aliensD", aliensD);
    j.key("levelObject"); alienJson(j, levelObject);
    j.key("stones");
    j.open('[');
    for (const auto& s : stones) {
        j.open('{');
        j.key("x"); j.num(s.x);
        j.key("y"); j.num(s.y);
        j.key("speed"); j.num(s.speed);
        j.key("width"); j.num(s.width);
        j.key("height"); j.num(s.height);
        j.close('}');
    }
    j.close(']');
    j.key("shotGroups");
    j.open('[');
    for (const auto& g : shotGroups) {
        j.open('{');
        j.key("fireRequest"); j.boolean(g.fireRequest);
        j.key("nextSlot"); j.num(g.nextSlot);
        j.key("cooldown"); j.num(g.cooldown);
        j.key("slots");
        j.open('[');
        for (const auto& s : g.slots) {
            j.open('{');
            j.key("idle"); j.boolean(s.idle);
            j.key("hit"); j.boolean(s.hit);
            j.key("x"); j.num(s.x);
            j.key("y"); j.num(s.y);
            j.key("width"); j.num(s.width);
            j.key("height"); j.num(s.height);
            j.key("angle"); j.num(s.angle);
            j.close('}');
        }
        j.close(']');
        j.close('}');
    }
    j.close(']');
    j.key("lasers");
    j.open('[');
    for (const auto& l : lasers) {
        j.open('{');
        j.key("idle"); j.boolean(l.idle);
        j.key("fireRequest"); j.boolean(l.fireRequest);
        j.key("hit"); j.boolean(l.hit);
        j.key("x1"); j.num(l.x1);
        j.key("x2"); j.num(l.x2);
        j.key("y1"); j.num(l.y1);
        j.key("y2"); j.num(l.y2);
        j.close('}');
    }
    j.close(']');
    j.key("stars");
    j.open('[');
    for (const auto& s : stars) {
        j.open('{');
        j.key("x"); j.num(s.x);
        j.key("y"); j.num(s.y);
        j.key("speed"); j.num(s.speed);
        j.close('}');
    }
    j.close(']');
}

}  // namespace

std::string stateJson(const ShellFacts& facts) {
    Json j;
    j.open('{');
    j.key("tick"); j.num(tick);
    gameJson(j);
    j.key("displayHeight"); j.num(facts.displayHeight);
    j.key("receptVisible"); j.boolean(facts.receptVisible);
    j.key("livesShown");
    j.open('[');
    for (bool b : facts.livesShown) j.boolean(b);
    j.close(']');
    j.key("cursorVisible"); j.boolean(facts.cursorVisible);
    j.key("hudVisible"); j.boolean(facts.hudVisible);
    j.key("facesShown");
    j.open('[');
    for (bool b : facts.facesShown) j.boolean(b);
    j.close(']');
    j.key("randomState"); j.num(static_cast<long long>(rngState >> 1));
    j.close('}');
    j.out += '\n';
    return j.out;
}

uint64_t stateHash() {
    Json j;
    j.open('{');
    gameJson(j);
    j.close('}');
    uint64_t h = 1469598103934665603ULL;
    auto mix = [&h](uint8_t b) {
        h ^= b;
        h *= 1099511628211ULL;
    };
    for (char c : j.out) mix(static_cast<uint8_t>(c));
    for (int i = 0; i < 8; ++i) mix(static_cast<uint8_t>(rngState >> (8 * i)));
    return h;
}

}  // namespace game
