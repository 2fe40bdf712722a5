// The program's state dumps read into a plain tree (parsed by nlohmann's JSON library).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testjson {

struct Value {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool b = false;
    double n = 0;
    std::string s;
    std::vector<Value> a;
    std::map<std::string, Value> o;

    const Value& operator[](const std::string& key) const;
    const Value& operator[](size_t i) const;
    long long i() const { return static_cast<long long>(n); }
    bool has(const std::string& key) const { return o.count(key) != 0; }
};

// Throws std::runtime_error on malformed text.
Value parse(const std::string& text);
Value parseFile(const std::string& path);

}  // namespace testjson
