#pragma once
// Reading one object of a study file: its keys checked against the keys it may hold, and each
// value's type and range checked before it is converted. Every refusal is a StudyError whose
// message starts with the key's path, e.g. "sweep (C).count must be a whole number".
#include "study/StudyError.h"

#include <cmath>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kalvex::study {

// An object of the study file under `where` ("tolerance", "sweep (C)"). Construction refuses a
// value that is not an object, and any key not among `known`, naming the closest known key: a
// misspelt key would otherwise run with the default, indistinguishable from a correct file.
class JsonKeys {
public:
    JsonKeys(const nlohmann::json& object, std::string where, std::initializer_list<std::string_view> known);

    // `where` followed by the object's name under `key` when it has one: "sweep (C)", so
    // that every message on the object, from the first, says which one it is.
    static std::string named(const nlohmann::json& object, std::string where, const char* key);

    const std::string& where() const { return where_; }
    // The path of `key` in messages, e.g. "sweep (C).count"; the study's own keys ("kind")
    // have an empty `where` and stand alone.
    std::string path(std::string_view key) const
    {
        return where_.empty() ? std::string(key) : where_ + "." + std::string(key);
    }

    bool has(const char* key) const { return object_.contains(key); }
    const nlohmann::json& required(const char* key) const;

    double number(const char* key) const;
    double number(const char* key, double fallback) const;
    std::optional<double> maybeNumber(const char* key) const;
    std::string text(const char* key) const;
    std::string text(const char* key, const std::string& fallback) const;
    // A list under `key` (required).
    const nlohmann::json& list(const char* key) const;

    template <class Int>
    Int whole(const char* key, Int lowest, Int highest, const char* requirement = nullptr) const;
    template <class Int>
    Int whole(const char* key, Int fallback, Int lowest, Int highest, const char* requirement = nullptr) const
    {
        return has(key) ? whole<Int>(key, lowest, highest, requirement) : fallback;
    }

private:
    const nlohmann::json& object_;
    std::string where_;
};

// Values not inside a checked object (list elements), with `key` as their path.
double jsonNumber(const nlohmann::json& value, const std::string& key);
std::string jsonText(const nlohmann::json& value, const std::string& key);

// The key of `known` closest to `key` by edit distance (the first of equals).
std::string_view closestKey(std::string_view key, std::initializer_list<std::string_view> known);

// "KEY must be a whole number" (a fraction), "… from LOWEST to HIGHEST" (outside the range), or
// KEY and `requirement` when one is given.
[[noreturn]] void refuseWholeNumber(const std::string& key, const std::string& range, const char* requirement);

// A whole number of type Int within [lowest, highest]: refused when it is not a number, has a
// fraction, is not finite or lies outside, all checked before the conversion (a double outside
// Int's range has no defined conversion). JSON integers are compared exactly.
template <class Int>
Int wholeNumber(const nlohmann::json& value, const std::string& key, Int lowest, Int highest,
                const char* requirement = nullptr)
{
    const auto refuse = [&] {
        refuseWholeNumber(key, std::to_string(lowest) + " to " + std::to_string(highest), requirement);
    };
    if (value.is_number_unsigned()) {
        const auto v = value.get<nlohmann::json::number_unsigned_t>();
        if (std::cmp_less(v, lowest) || std::cmp_greater(v, highest))
            refuse();
        return static_cast<Int>(v);
    }
    if (value.is_number_integer()) {
        const auto v = value.get<nlohmann::json::number_integer_t>();
        if (std::cmp_less(v, lowest) || std::cmp_greater(v, highest))
            refuse();
        return static_cast<Int>(v);
    }
    const double v = jsonNumber(value, key);
    // highest + 1 as a double is exact for ranges up to 2^53 and rounds to 2^63 or 2^64 for
    // the widest types, whose largest value itself has no double: `v` below it converts.
    if (!std::isfinite(v) || v != std::floor(v))
        refuseWholeNumber(key, "", requirement);
    if (v < static_cast<double>(lowest) || v >= static_cast<double>(highest) + 1.0)
        refuse();
    return static_cast<Int>(v);
}

template <class Int>
Int JsonKeys::whole(const char* key, Int lowest, Int highest, const char* requirement) const
{
    return wholeNumber<Int>(required(key), path(key), lowest, highest, requirement);
}

}  // namespace kalvex::study
