#include "Json.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testjson {

namespace {

const Value& nullValue() {
    static const Value v;
    return v;
}

class Parser {
public:
    explicit Parser(const std::string& t) : t_(t) {}
    Value value() {
        ws();
        if (p_ >= t_.size()) fail();
        char c = t_[p_];
        Value v;
        if (c == '{') {
            v.kind = Value::Object;
            ++p_;
            ws();
            if (peek('}')) return v;
            do {
                ws();
                std::string k = str();
                ws();
                expect(':');
                v.o[k] = value();
                ws();
            } while (accept(','));
            expect('}');
        } else if (c == '[') {
            v.kind = Value::Array;
            ++p_;
            ws();
            if (peek(']')) return v;
            do v.a.push_back(value());
            while (ws(), accept(','));
            expect(']');
        } else if (c == '"') {
            v.kind = Value::String;
            v.s = str();
        } else if (t_.compare(p_, 4, "true") == 0) {
            v.kind = Value::Bool;
            v.b = true;
            p_ += 4;
        } else if (t_.compare(p_, 5, "false") == 0) {
            v.kind = Value::Bool;
            p_ += 5;
        } else if (t_.compare(p_, 4, "null") == 0) {
            p_ += 4;
        } else {
            char* end = nullptr;
            v.kind = Value::Number;
            v.n = std::strtod(t_.c_str() + p_, &end);
            if (end == t_.c_str() + p_) fail();
            p_ = static_cast<size_t>(end - t_.c_str());
        }
        return v;
    }

private:
    [[noreturn]] void fail() { throw std::runtime_error("bad JSON at " + std::to_string(p_)); }
    void ws() {
        while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\n' || t_[p_] == '\r' || t_[p_] == '\t')) ++p_;
    }
    bool peek(char c) {
        if (p_ < t_.size() && t_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    bool accept(char c) { return peek(c); }
    void expect(char c) {
        if (!peek(c)) fail();
    }
    std::string str() {
        expect('"');
        std::string s;
        while (p_ < t_.size() && t_[p_] != '"') {
            if (t_[p_] == '\\') ++p_;
            s += t_[p_++];
        }
        expect('"');
        return s;
    }
    const std::string& t_;
    size_t p_ = 0;
};

}  // namespace

const Value& Value::operator[](const std::string& key) const {
    auto it = o.find(key);
    if (it == o.end()) throw std::runtime_error("no key " + key);
    return it->second;
}

const Value& Value::operator[](size_t i) const { return i < a.size() ? a[i] : nullValue(); }

Value parse(const std::string& text) {
    Parser p(text);
    return p.value();
}

Value parseFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    return parse(ss.str());
}

}  // namespace testjson
