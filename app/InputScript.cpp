#include "app/InputScript.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>

#include "media/Errors.h"
#include "platform/Files.h"
#include "platform/headless/HeadlessControl.h"

namespace app {

namespace {

struct KeyEntry {
    const char* name;
    int vk;
};

const KeyEntry kKeys[] = {
    {"Up", 0x26},   {"Down", 0x28}, {"Left", 0x25}, {"Right", 0x27}, {"Space", 0x20}, {"Tab", 0x09},
    {"Enter", 0x0D}, {"Escape", 0x1B}, {"F2", 0x71}, {"F3", 0x72},    {"H", 0x48},     {"J", 0x4A},
    {"K", 0x4B},    {"L", 0x4C},    {"KP2", 0x62},  {"KP4", 0x64},   {"KP6", 0x66},   {"KP8", 0x68},
    // The other default keys: screenshots and the volume.
    {"F12", 0x7B}, {"PrintScreen", 0x2C}, {"VolumeUp", 0xAF}, {"VolumeDown", 0xAE}, {"Mute", 0xAD},
    {"Equals", 0xBB}, {"Minus", 0xBD}, {"KPPlus", 0x6B}, {"KPMinus", 0x6D}, {"M", 0x4D},
};

constexpr int kHeaderVersion = 1;
constexpr size_t kMaxLine = 4096;  // a longer line is not a script

bool sameText(const std::string& a, const char* b) {
    size_t n = std::char_traits<char>::length(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> w;
    std::istringstream s(line);
    std::string t;
    while (s >> t) w.push_back(t);
    return w;
}

bool parseUnsigned(const std::string& text, uint64_t max, uint64_t& out, int base = 10) {
    if (text.empty() || text.size() > 20) return false;
    for (char c : text)
        if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text.c_str(), &end, base);
    if (errno == ERANGE || *end != '\0' || v > max) return false;
    out = v;
    return true;
}

class Parser {
public:
    explicit Parser(const std::string& name) : name_(name) {}

    [[noreturn]] void fail(const std::string& text) const {
        throw ScriptError(media::EscapeControls(name_ + ":" + std::to_string(line_) + ": " + text));
    }

    // One line into raw, read with a bounded buffer: a line longer than kMaxLine is an error
    // as soon as its kMaxLine + 1st byte is seen, however long the line goes on.
    bool readLine(std::istream& in, std::string& raw) {
        raw.clear();
        std::streambuf* buf = in.rdbuf();
        bool any = false;
        for (;;) {
            const int c = buf->sbumpc();
            if (c == std::char_traits<char>::eof()) {
                in.setstate(std::ios::eofbit);
                return any;
            }
            any = true;
            if (c == '\n') return true;
            if (raw.size() == kMaxLine + (line_ == 0 ? 3 : 0)) {  // room for a byte-order mark
                ++line_;
                fail("line too long (more than " + std::to_string(kMaxLine) + " characters)");
            }
            raw.push_back(static_cast<char>(c));
        }
    }

    InputScript run(std::istream& in) {
        InputScript script;
        std::string raw;
        bool seenContent = false;
        uint32_t lastTick = 0;
        while (readLine(in, raw)) {
            ++line_;
            if (line_ == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);  // a byte-order mark
            if (raw.size() > kMaxLine) fail("line too long (more than " + std::to_string(kMaxLine) + " characters)");
            std::string text = raw.substr(0, raw.find('#'));
            auto w = words(text);
            if (w.empty()) continue;
            if (w[0] == "orbita-script") {
                if (seenContent) fail("orbita-script must be the first line");
                script.header = header(w);
                seenContent = true;
                continue;
            }
            seenContent = true;
            ScriptEvent e = event(w);
            if (!script.events.empty() && e.tick < lastTick)
                fail("tick " + std::to_string(e.tick) + " comes after tick " + std::to_string(lastTick));
            lastTick = e.tick;
            script.events.push_back(std::move(e));
        }
        if (in.bad()) throw ScriptError(name_ + ": read error");
        return script;
    }

private:
    ScriptHeader header(const std::vector<std::string>& w) {
        ScriptHeader h;
        h.present = true;
        uint64_t v = 0;
        if (w.size() < 2 || !parseUnsigned(w[1], 1000000, v)) fail("orbita-script needs a version number");
        if (v != kHeaderVersion) fail("unsupported script version " + w[1]);
        std::vector<std::string> seen;
        for (size_t i = 2; i < w.size(); ++i) {
            auto eq = w[i].find('=');
            if (eq == std::string::npos || eq == 0) fail("expected NAME=VALUE, not " + w[i]);
            std::string key = w[i].substr(0, eq), value = w[i].substr(eq + 1);
            for (const std::string& k : seen)
                if (k == key) fail("header key " + key + " is given twice");
            seen.push_back(key);
            if (key == "seed") {
                int64_t s = 0;
                if (!signedValue(value, s) || s < -2147483648ll || s > 4294967295ll) fail("bad seed " + value);
                h.seed = static_cast<uint32_t>(s);
                h.hasSeed = true;
            } else if (key == "warp") {
                if (!parseUnsigned(value, 8, v) || v < 1) fail("bad warp " + value + " (levels are 1..8)");
                h.warp = static_cast<int>(v);
                h.hasWarp = true;
            } else if (key == "god") {
                if (value != "0" && value != "1") fail("bad god " + value + " (0 or 1)");
                h.god = value == "1";
                h.hasGod = true;
            } else {
                fail("unknown header key " + key + " (the keys are " + kScriptHeaderKeys + ")");
            }
        }
        return h;
    }

    static bool signedValue(const std::string& text, int64_t& out) {
        uint64_t v = 0;
        if (!text.empty() && text[0] == '-') {
            if (!parseUnsigned(text.substr(1), 0x7FFFFFFFFFFFFFFFull, v)) return false;
            out = -static_cast<int64_t>(v);
            return true;
        }
        if (!parseUnsigned(text, 0x7FFFFFFFFFFFFFFFull, v)) return false;
        out = static_cast<int64_t>(v);
        return true;
    }

    int coordinate(const std::string& text, int limit, const char* what) {
        uint64_t v = 0;
        if (!parseUnsigned(text, 1000000, v)) fail(std::string("bad ") + what + " " + text);
        if (v >= static_cast<uint64_t>(limit))
            fail(std::string(what) + " " + text + " is off the display (0.." + std::to_string(limit - 1) + ")");
        return static_cast<int>(v);
    }

    void argumentCount(const std::vector<std::string>& w, size_t n) {
        if (w.size() > n) fail("unexpected " + w[n] + " after " + w[1]);
        if (w.size() < n) fail(w[1] + " needs " + std::to_string(n - 2) + " values");
    }

    ScriptEvent event(const std::vector<std::string>& w) {
        if (w[0].size() < 2 || w[0][0] != '@') fail("expected @TICK, not " + w[0]);
        uint64_t tick = 0;
        if (!parseUnsigned(w[0].substr(1), 0xFFFFFFFFull, tick)) fail("bad tick " + w[0]);
        if (w.size() < 2) fail("missing command after " + w[0]);
        ScriptEvent e;
        e.tick = static_cast<uint32_t>(tick);
        const std::string& cmd = w[1];
        if (cmd == "hold") {
            e.op = ScriptOp::Hold;
            if (w.size() < 3) fail("hold needs at least one key (release lets go of all)");
            for (size_t i = 2; i < w.size(); ++i) {
                int vk = keyFromName(w[i]);
                if (!vk) fail("unknown key " + w[i]);
                if (std::find(e.keys.begin(), e.keys.end(), vk) == e.keys.end()) e.keys.push_back(vk);
            }
        } else if (cmd == "release") {
            e.op = ScriptOp::Release;
            argumentCount(w, 2);
        } else if (cmd == "move") {
            e.op = ScriptOp::Move;
            argumentCount(w, 4);
            e.x = coordinate(w[2], platform::kFrameWidth, "x");
            e.y = coordinate(w[3], platform::kFrameHeight, "y");
        } else if (cmd == "click") {
            e.op = ScriptOp::Click;
            argumentCount(w, 2);
        } else if (cmd == "hash") {
            e.op = ScriptOp::Hash;
            argumentCount(w, 3);
            if (w[2].size() > 16 || !parseUnsigned(w[2], ~0ull, e.hash, 16)) fail("bad hash " + w[2]);
        } else {
            fail("unknown command " + cmd);
        }
        return e;
    }

    std::string name_;
    int line_ = 0;
};

}  // namespace

int keyFromName(const std::string& name) {
    for (const auto& k : kKeys)
        if (sameText(name, k.name)) return k.vk;
    return 0;
}

const char* keyName(int vk) {
    for (const auto& k : kKeys)
        if (k.vk == vk) return k.name;
    return nullptr;
}

InputScript parseScript(std::istream& in, const std::string& name) { return Parser(name).run(in); }

InputScript parseScriptText(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    return parseScript(in, name);
}

InputScript loadScript(const std::string& path) {
    try {
        std::vector<uint8_t> bytes;
        if (platform::readRegularFile(path, bytes, kMaxScriptBytes) != platform::ReadFailure::None)
            throw ScriptError(media::EscapeControls("cannot open script " + path + ": " +
                                                    platform::unreadableReason(path, kMaxScriptBytes)));
        return parseScriptText(std::string(bytes.begin(), bytes.end()), path);
    } catch (const std::bad_alloc&) {
        throw ScriptError(media::EscapeControls("cannot read script " + path + ": Out of memory"));
    }
}

void writeScript(std::ostream& out, const InputScript& script) {
    const ScriptHeader& h = script.header;
    if (h.present) {
        out << "orbita-script " << kHeaderVersion;
        if (h.hasSeed) out << " seed=" << h.seed;
        if (h.warp) out << " warp=" << h.warp;
        if (h.god) out << " god=1";
        else if (h.hasGod) out << " god=0";
        out << '\n';
    }
    for (const auto& e : script.events) {
        out << '@' << e.tick << ' ';
        switch (e.op) {
        case ScriptOp::Hold:
            out << "hold";
            for (int vk : e.keys) {
                const char* n = keyName(vk);
                out << ' ' << (n ? n : "?");
            }
            break;
        case ScriptOp::Release: out << "release"; break;
        case ScriptOp::Move: out << "move " << e.x << ' ' << e.y; break;
        case ScriptOp::Click: out << "click"; break;
        case ScriptOp::Hash: {
            std::ostringstream hex;
            hex << std::hex << e.hash;
            out << "hash " << hex.str();
            break;
        }
        }
        out << '\n';
    }
}

std::string scriptText(const InputScript& script) {
    std::ostringstream out;
    writeScript(out, script);
    return out.str();
}

std::string saveScript(const std::string& path, const InputScript& script) {
    return platform::writeFileSafely(path, scriptText(script));
}

// --- ScriptPlayer ---------------------------------------------------------------

ScriptPlayer::ScriptPlayer(InputScript script, platform::HeadlessControl& control)
    : script_(std::move(script)), control_(control) {
    held_.reserve(256);  // room for every key: taking over a hold line allocates nothing
    for (const auto& e : script_.events)
        if (e.op == ScriptOp::Hash) hashes_[e.tick] = e.hash;
}

void ScriptPlayer::beforeTick(uint32_t tick) {
    while (next_ < script_.events.size() && script_.events[next_].tick <= tick) {
        const ScriptEvent& e = script_.events[next_++];
        platform::Event ev;
        switch (e.op) {
        case ScriptOp::Hold:
        case ScriptOp::Release: {
            const std::vector<int> none;
            const std::vector<int>& now = e.op == ScriptOp::Hold ? e.keys : none;
            for (int vk : held_)
                if (std::find(now.begin(), now.end(), vk) == now.end()) control_.setKey(vk, false);
            for (int vk : now) {
                if (std::find(held_.begin(), held_.end(), vk) != held_.end()) continue;
                control_.setKey(vk, true);
                ev.type = platform::EventType::KeyDown;
                ev.key = vk;
                control_.pushEvent(ev);
            }
            held_ = now;
            break;
        }
        case ScriptOp::Move:
            pointerX_ = e.x;
            pointerY_ = e.y;
            ev.type = platform::EventType::MouseMove;
            ev.x = e.x;
            ev.y = e.y;
            control_.pushEvent(ev);
            break;
        case ScriptOp::Click:
            ev.type = platform::EventType::Click;
            ev.x = pointerX_;
            ev.y = pointerY_;
            control_.pushEvent(ev);
            break;
        case ScriptOp::Hash: break;
        }
    }
}

bool ScriptPlayer::expectedHash(uint32_t tick, uint64_t& hash) const {
    auto it = hashes_.find(tick);
    if (it == hashes_.end()) return false;
    hash = it->second;
    return true;
}

bool ScriptPlayer::finished() const { return next_ >= script_.events.size(); }

uint32_t ScriptPlayer::lastTick() const { return script_.events.empty() ? 0 : script_.events.back().tick; }

}  // namespace app
