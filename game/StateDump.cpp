// The state dump (JSON) and the state hash, both from one description of the game's variables.
#include "game/StateDump.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <nlohmann/json.hpp>

#include "game/Random.h"
#include "game/State.h"

namespace game {

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
    j["randomState"] = static_cast<long long>(randomState() >> 1);
    return j.dump() + '\n';
}

uint64_t stateHash() {
    HashVisitor v;
    v.byte('{');
    visitGame(v);
    v.byte('}');
    const uint64_t rngState = randomState();
    for (int i = 0; i < 8; ++i) v.byte(static_cast<uint8_t>(rngState >> (8 * i)));
    return v.h;
}

}  // namespace game
