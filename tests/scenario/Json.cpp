#include "Json.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace testjson {

namespace {

const Value& nullValue() {
    static const Value v;
    return v;
}

Value fromLibrary(const nlohmann::json& j) {
    Value v;
    switch (j.type()) {
        case nlohmann::json::value_t::boolean:
            v.kind = Value::Bool;
            v.b = j.get<bool>();
            break;
        case nlohmann::json::value_t::number_integer:
        case nlohmann::json::value_t::number_unsigned:
        case nlohmann::json::value_t::number_float:
            v.kind = Value::Number;
            v.n = j.get<double>();
            break;
        case nlohmann::json::value_t::string:
            v.kind = Value::String;
            v.s = j.get<std::string>();
            break;
        case nlohmann::json::value_t::array:
            v.kind = Value::Array;
            for (const auto& e : j) v.a.push_back(fromLibrary(e));
            break;
        case nlohmann::json::value_t::object:
            v.kind = Value::Object;
            for (const auto& [k, e] : j.items()) v.o[k] = fromLibrary(e);
            break;
        default:
            break;
    }
    return v;
}

}  // namespace

const Value& Value::operator[](const std::string& key) const {
    auto it = o.find(key);
    if (it == o.end()) throw std::runtime_error("no key " + key);
    return it->second;
}

const Value& Value::operator[](size_t i) const { return i < a.size() ? a[i] : nullValue(); }

Value parse(const std::string& text) {
    try {
        return fromLibrary(nlohmann::json::parse(text));
    } catch (const nlohmann::json::exception& e) {
        throw std::runtime_error(std::string("bad JSON: ") + e.what());
    }
}

Value parseFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    return parse(ss.str());
}

}  // namespace testjson
