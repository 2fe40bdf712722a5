#include "game/StateHash.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "game/State.h"

namespace game {

namespace {

// 64-bit FNV-1a over the bytes of the state's JSON text, as they would be written.
struct Fnv {
    uint64_t h = 1469598103934665603ULL;
    void byte(uint8_t b) {
        h ^= b;
        h *= 1099511628211ULL;
    }
    Fnv& operator+=(char c) {
        byte(static_cast<uint8_t>(c));
        return *this;
    }
    Fnv& operator+=(const char* s) {
        while (*s) byte(static_cast<uint8_t>(*s++));
        return *this;
    }
};

// Writes what the state dump's writer writes, in the same order, into the hash.
class Json {
public:
    Fnv out;
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
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf - 1, v);
        *r.ptr = 0;
        out += buf;
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

uint64_t stateHashNoAlloc() {
    Json j;
    j.open('{');
    gameJson(j);
    j.close('}');
    const uint64_t rng = randomState();
    for (int i = 0; i < 8; ++i) j.out.byte(static_cast<uint8_t>(rng >> (8 * i)));
    return j.out.h;
}

}  // namespace game
