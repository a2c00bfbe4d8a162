#include "study/JsonKeys.h"

#include <algorithm>
#include <vector>

namespace kalvex::study {

using nlohmann::json;

namespace {

// Levenshtein distance: the fewest insertions, deletions and substitutions from a to b.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string_view closestKey(std::string_view key, std::initializer_list<std::string_view> known)
{
    std::string_view best;
    std::size_t bestDistance = static_cast<std::size_t>(-1);
    for (std::string_view candidate : known) {
        const std::size_t d = editDistance(key, candidate);
        if (d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

JsonKeys::JsonKeys(const json& object, std::string where, std::initializer_list<std::string_view> known)
    : object_(object), where_(std::move(where))
{
    if (!object_.is_object())
        throw StudyError((where_.empty() ? "the study" : where_) + " must be a JSON object");
    for (const auto& item : object_.items()) {
        const std::string& key = item.key();
        if (std::find(known.begin(), known.end(), key) == known.end())
            throw StudyError((where_.empty() ? "study" : where_) + ": the key \"" + key + "\" is unknown; the closest known key is \"" +
                             std::string(closestKey(key, known)) + "\"");
    }
}

std::string JsonKeys::named(const json& object, std::string where, const char* key)
{
    if (object.is_object() && object.contains(key) && object.at(key).is_string())
        where += " (" + object.at(key).get<std::string>() + ")";
    return where;
}

const json& JsonKeys::required(const char* key) const
{
    if (!object_.contains(key))
        throw StudyError((where_.empty() ? "study" : where_) + ": the key \"" + key + "\" is missing");
    return object_.at(key);
}

double JsonKeys::number(const char* key) const
{
    return jsonNumber(required(key), path(key));
}

double JsonKeys::number(const char* key, double fallback) const
{
    return has(key) ? number(key) : fallback;
}

std::optional<double> JsonKeys::maybeNumber(const char* key) const
{
    if (!has(key))
        return std::nullopt;
    return number(key);
}

std::string JsonKeys::text(const char* key) const
{
    return jsonText(required(key), path(key));
}

std::string JsonKeys::text(const char* key, const std::string& fallback) const
{
    return has(key) ? text(key) : fallback;
}

const json& JsonKeys::list(const char* key) const
{
    const json& value = required(key);
    if (!value.is_array())
        throw StudyError(path(key) + " must be a list");
    return value;
}

double jsonNumber(const json& value, const std::string& key)
{
    if (!value.is_number())
        throw StudyError(key + " must be a number");
    return value.get<double>();
}

std::string jsonText(const json& value, const std::string& key)
{
    if (!value.is_string())
        throw StudyError(key + " must be a string");
    return value.get<std::string>();
}

void refuseWholeNumber(const std::string& key, const std::string& range, const char* requirement)
{
    if (requirement != nullptr)
        throw StudyError(key + " " + requirement);
    throw StudyError(key + " must be a whole number" + (range.empty() ? "" : " from " + range));
}

}  // namespace kalvex::study
