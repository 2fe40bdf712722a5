#include "game/State.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <nlohmann/json.hpp>

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

// Every game variable, in the order of the dump, described once: the dump and the hash both walk
// this description, so a variable added here reaches both. A visitor has num, flt and boolean
// for a named value, object for a named object and list for a named array of objects.
template <class V>
void visitAlien(V& v, const Alien& a) {
    v.num("x", a.x);
    v.num("y", a.y);
    v.num("shotX", a.shotX);
    v.num("shotY", a.shotY);
    v.num("width", a.width);
    v.num("height", a.height);
    v.num("vy", a.vy);
    v.num("speed", a.speed);
    v.num("maxHits", a.maxHits);
    v.num("hits", a.hits);
    v.num("anim", a.anim);
    v.num("explodeFrame", a.explodeFrame);
    v.num("angle", a.angle);
    v.num("shotImage", a.shotImage);
    v.boolean("dead", a.dead);
    v.boolean("shotReady", a.shotReady);
    v.boolean("shotFlying", a.shotFlying);
}

template <class V>
void visitShotGroup(V& v, const ShotGroup& g) {
    v.boolean("fireRequest", g.fireRequest);
    v.num("nextSlot", g.nextSlot);
    v.num("cooldown", g.cooldown);
    v.list("slots", g.slots, [](V& e, const auto& s) {
        e.boolean("idle", s.idle);
        e.boolean("hit", s.hit);
        e.num("x", s.x);
        e.num("y", s.y);
        e.num("width", s.width);
        e.num("height", s.height);
        e.num("angle", s.angle);
    });
}

template <class V>
void visitGame(V& v) {
    v.num("shipX", shipX);
    v.num("shipY", shipY);
    v.num("level", level);
    v.num("weaponLevel", weaponLevel);
    v.num("lives", lives);
    v.boolean("shipDying", shipDying);
    v.num("deathFrame", deathFrame);
    v.num("levelClock", levelClock);
    v.num("clockPixels", clockPixels);
    v.flt("scrollSpeed", scrollSpeed);
    v.flt("scrollAccum", scrollAccum);
    v.num("scrollStep", scrollStep);
    v.list("bgTiles", bgTiles, [](V& e, const BgTile& t) {
        e.num("x", t.x);
        e.num("y", t.y);
    });
    v.num("lastTile", lastTile);
    v.boolean("spawnWindowA", spawnWindowA);
    v.boolean("spawnWindowB", spawnWindowB);
    v.boolean("spawnWindowC", spawnWindowC);
    v.boolean("spawnWindowD", spawnWindowD);
    v.num("powerUpX", powerUpX);
    v.num("powerUpY", powerUpY);
    v.num("frameCounter", frameCounter);
    v.num("laserAnim", laserAnim);
    v.num("podAnim", podAnim);
    v.num("podX", podX);
    v.num("podY", podY);
    v.num("podFlight", podFlight);
    v.num("podAngle", podAngle);
    v.boolean("podLaunched", podLaunched);
    v.boolean("podReturning", podReturning);
    v.boolean("podFront", podFront);
    v.boolean("podRear", podRear);
    v.boolean("podTop", podTop);
    v.boolean("podBottom", podBottom);
    v.boolean("inStory", inStory);
    v.boolean("inTitle", inTitle);
    v.boolean("inMenu", inMenu);
    v.boolean("paused", paused);
    v.boolean("gameFinished", gameFinished);
    v.boolean("po7bPending", po7bPending);
    v.num("mouseX", mouseX);
    v.num("mouseY", mouseY);
    v.num("faceRoll", faceRoll);
    v.num("waveSize", waveSize);
    v.num("hitDamage", hitDamage);
    auto alien = [](V& e, const Alien& a) { visitAlien(e, a); };
    v.list("aliensA", aliensA, alien);
    v.list("aliensB", aliensB, alien);
    v.list("aliensC", aliensC, alien);
    v.list("aliensD", aliensD, alien);
    v.object("levelObject", [](V& e) { visitAlien(e, levelObject); });
    v.list("stones", stones, [](V& e, const Stone& s) {
        e.num("x", s.x);
        e.num("y", s.y);
        e.num("speed", s.speed);
        e.num("width", s.width);
        e.num("height", s.height);
    });
    v.list("shotGroups", shotGroups, [](V& e, const ShotGroup& g) { visitShotGroup(e, g); });
    v.list("lasers", lasers, [](V& e, const LaserBeam& l) {
        e.boolean("idle", l.idle);
        e.boolean("fireRequest", l.fireRequest);
        e.boolean("hit", l.hit);
        e.num("x1", l.x1);
        e.num("x2", l.x2);
        e.num("y1", l.y1);
        e.num("y2", l.y2);
    });
    v.list("stars", stars, [](V& e, const Star& s) {
        e.num("x", s.x);
        e.num("y", s.y);
        e.num("speed", s.speed);
    });
}

// The scroll values are float32 and written with nine significant digits, enough to give the
// same float back.
int formatFloat(float v, char (&buf)[40]) {
    return std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
}

// Builds the dump as a JSON object.
struct DumpVisitor {
    nlohmann::ordered_json& j;

    void num(const char* k, long long v) { j[k] = v; }
    void boolean(const char* k, bool v) { j[k] = v; }
    // The value of the nine-digit text, so that the dump reads as the text would: a whole number
    // without a fraction ("2", not "2.0").
    void flt(const char* k, float v) {
        char buf[40];
        formatFloat(v, buf);
        double d = std::strtod(buf, nullptr);
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e9 && !(d == 0 && std::signbit(d)))
            j[k] = static_cast<long long>(d);
        else
            j[k] = d;
    }
    template <class F>
    void object(const char* k, F&& each) {
        j[k] = build(each);
    }
    template <class Range, class F>
    void list(const char* k, const Range& items, F&& each) {
        auto a = nlohmann::ordered_json::array();
        for (const auto& item : items) a.push_back(build([&](DumpVisitor& e) { each(e, item); }));
        j[k] = std::move(a);
    }
    template <class F>
    static nlohmann::ordered_json build(F&& each) {
        auto o = nlohmann::ordered_json::object();
        DumpVisitor e{o};
        each(e);
        return o;
    }
};

// Feeds the state to a 64-bit FNV-1a hash as the bytes of its compact JSON text, without
// building the text.
struct HashVisitor {
    uint64_t h = 1469598103934665603ULL;
    bool first = true;

    void byte(uint8_t b) {
        h ^= b;
        h *= 1099511628211ULL;
    }
    void text(const char* s) {
        while (*s) byte(static_cast<uint8_t>(*s++));
    }
    void key(const char* k) {
        if (!first) byte(',');
        first = false;
        byte('"');
        text(k);
        text("\":");
    }
    void num(const char* k, long long v) {
        key(k);
        char buf[24];
        std::snprintf(buf, sizeof buf, "%lld", v);
        text(buf);
    }
    void boolean(const char* k, bool v) {
        key(k);
        text(v ? "true" : "false");
    }
    void flt(const char* k, float v) {
        key(k);
        char buf[40];
        formatFloat(v, buf);
        text(buf);
    }
    template <class F>
    void object(const char* k, F&& each) {
        key(k);
        byte('{');
        first = true;
        each(*this);
        byte('}');
        first = false;
    }
    template <class Range, class F>
    void list(const char* k, const Range& items, F&& each) {
        key(k);
        byte('[');
        bool firstItem = true;
        for (const auto& item : items) {
            if (!firstItem) byte(',');
            firstItem = false;
            byte('{');
            first = true;
            each(*this, item);
            byte('}');
        }
        byte(']');
        first = false;
    }
};

}  // namespace

std::string stateJson(const ShellFacts& facts) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    j["tick"] = tick;
    DumpVisitor game{j};
    visitGame(game);
    j["displayHeight"] = facts.displayHeight;
    j["receptVisible"] = facts.receptVisible;
    j["livesShown"] = facts.livesShown;
    j["cursorVisible"] = facts.cursorVisible;
    j["hudVisible"] = facts.hudVisible;
    j["facesShown"] = facts.facesShown;
    j["randomState"] = static_cast<long long>(rngState >> 1);
    return j.dump() + '\n';
}

uint64_t stateHash() {
    HashVisitor v;
    v.byte('{');
    visitGame(v);
    v.byte('}');
    for (int i = 0; i < 8; ++i) v.byte(static_cast<uint8_t>(rngState >> (8 * i)));
    return v.h;
}

}  // namespace game
