#include "core/propellant/PropellantLibrary.h"

#include "core/propellant/DataFolders.h"
#include "core/results/Errors.h"
#include "core/propellant/PropellantValues.h"
#include "core/propellant/TemperatureCoefficientsJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <string_view>
#include <unordered_set>

namespace kalvex {

namespace {

using nlohmann::json;

// The members of a row, in the order of kPropellantValues.
constexpr std::array<double Propellant::*, kPropellantValues.size()> kRowValues = {
    &Propellant::F, &Propellant::T0, &Propellant::b, &Propellant::gamma,
    &Propellant::rho, &Propellant::beta, &Propellant::alpha};

constexpr const char* kFormat = "kalvex propellant library 1";
constexpr const char* kCoefficientsKey = "temperatureCoefficients";
constexpr const char* kSegmentsKey = "segments";
constexpr const char* kMeasurementKey = "measurement";

std::string rowLabel(const std::string& fileName, std::size_t index, const json& row)
{
    std::string label = fileName + ": row " + std::to_string(index + 1);
    if (row.is_object() && row.contains("name") && row["name"].is_string())
        label += " (" + row["name"].get<std::string>() + ")";
    return label;
}

std::string textOf(const json& row, const char* key)
{
    const auto it = row.find(key);
    return it != row.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// {"pLow": MPa, "beta": m/s/Pa^alpha, "alpha": -} each, as the input file has them.
std::string parseSegments(const json& list, std::vector<BurningSegment>& out)
{
    if (!list.is_array())
        return "segments is not a list";
    for (const json& item : list) {
        BurningSegment s;
        for (auto [key, value] : {std::pair{"pLow", &s.pLow}, {"beta", &s.beta}, {"alpha", &s.alpha}}) {
            const auto it = item.is_object() ? item.find(key) : item.end();
            if (!item.is_object() || it == item.end() || !it->is_number())
                return std::string("segments: ") + key + " is missing or not a number";
            *value = it->get<double>();
        }
        out.push_back(s);
    }
    return upperSegmentsProblem(out);
}

std::string parseMeasurement(const json& object, PropellantMeasurement& out)
{
    if (!object.is_object() || !object.contains("traces") || !object["traces"].is_array())
        return "measurement has no list of traces";
    for (const json& trace : object["traces"]) {
        if (!trace.is_object())
            return "measurement: a trace is not an object";
        out.traces.push_back({textOf(trace, "file"), textOf(trace, "sha256")});
    }
    out.date = textOf(object, "date");
    if (const auto it = object.find("settings"); it != object.end())
        out.settings = it->dump();
    return {};
}

json measurementJson(const PropellantMeasurement& m)
{
    json traces = json::array();
    for (const PropellantMeasurement::Trace& t : m.traces)
        traces.push_back({{"file", t.file}, {"sha256", t.sha256}});
    json out = {{"date", m.date}, {"traces", traces}};
    if (!m.settings.empty())
        out["settings"] = json::parse(m.settings, nullptr, false);
    return out;
}

// The row as a propellant, or the reason it is not one.
std::string parseRow(const json& row, Propellant& out)
{
    if (!row.is_object())
        return "not an object with a name and seven values";
    out.name = textOf(row, "name");
    if (out.name.empty())
        return "name is missing";
    for (std::size_t i = 0; i < kPropellantValues.size(); ++i) {
        const PropellantValue& value = kPropellantValues[i];
        const auto it = row.find(value.name);
        if (it == row.end() || it->is_null())
            return std::string(value.name) + " is missing";
        if (!it->is_number() || !std::isfinite(it->get<double>()))
            return std::string(value.name) + " is not a number";
        out.*kRowValues[i] = it->get<double>();
    }
    out.family = textOf(row, "family");
    out.composition = textOf(row, "composition");
    out.source = textOf(row, "source");
    out.transcription = textOf(row, "transcription");
    if (const auto it = row.find(kCoefficientsKey); it != row.end()) {
        TemperatureCoefficients coefficients;
        if (std::string problem = readTemperatureCoefficients(*it, kCoefficientsKey, coefficients); !problem.empty())
            return problem;
        out.temperatureCoefficients = coefficients;
    }
    if (const auto it = row.find(kSegmentsKey); it != row.end())
        if (std::string problem = parseSegments(*it, out.upperSegments); !problem.empty())
            return problem;
    if (const auto it = row.find(kMeasurementKey); it != row.end()) {
        PropellantMeasurement measurement;
        if (std::string problem = parseMeasurement(*it, measurement); !problem.empty())
            return problem;
        out.measurement = measurement;
    }
    return propellantRuleProblem(out);
}

// The array of rows of a library file's text; throws json::exception or InputError.
json rowsOf(const json& document, const std::string& fileName)
{
    if (!document.is_object() || !document.contains("propellants") ||
        !document["propellants"].is_array()) {
        throw InputError(fileName + ": not a propellant library (no \"propellants\" list)");
    }
    return document["propellants"];
}

json rowFor(const Propellant& p)
{
    json row = json::object();
    row["name"] = p.name;
    if (!p.family.empty())
        row["family"] = p.family;
    if (!p.composition.empty())
        row["composition"] = p.composition;
    for (std::size_t i = 0; i < kPropellantValues.size(); ++i)
        row[kPropellantValues[i].name] = p.*kRowValues[i];
    if (!p.upperSegments.empty()) {
        json segments = json::array();
        for (const BurningSegment& s : p.upperSegments)
            segments.push_back({{"pLow", s.pLow}, {"beta", s.beta}, {"alpha", s.alpha}});
        row[kSegmentsKey] = segments;
    }
    if (p.temperatureCoefficients)
        row[kCoefficientsKey] = temperatureCoefficientsJson(*p.temperatureCoefficients);
    if (!p.source.empty())
        row["source"] = p.source;
    if (!p.transcription.empty())
        row["transcription"] = p.transcription;
    if (p.measurement)
        row[kMeasurementKey] = measurementJson(*p.measurement);
    return row;
}

void readFile(const std::string& path, bool fromUser, PropellantLibrary& library)
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (!fromUser)
            library.problems.push_back(path + ": the shipped propellant library is missing");
        return;
    }
    // Checked before opening: opening a named pipe waits for a writer, for ever.
    if (ec || !std::filesystem::is_regular_file(status)) {
        library.problems.push_back(path + ": cannot be read (" +
                                   (ec ? ec.message() : std::string("not a regular file")) + ")");
        return;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        library.problems.push_back(path + ": cannot be read");
        return;
    }
    readPropellantRows(file, path, fromUser, library);
}

// A library holds a few hundred rows; a file far larger is not one.
constexpr std::size_t kMaxLibraryBytes = 64 * 1024 * 1024;

// The text with every byte that is not part of well-formed UTF-8 replaced by U+FFFD, so that
// the other rows of a file with one bad byte can still be read; `replaced` counts them.
std::string wellFormedUtf8(const std::string& text, std::size_t& replaced)
{
    std::string out;
    out.reserve(text.size());
    replaced = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size() && !(length == 2 && c < 0xC2);
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (valid) {
            out.append(text, i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++replaced;
            ++i;
        }
    }
    return out;
}

// Message text from nlohmann quotes the bytes it stopped at; made well-formed for Python.
std::string readable(const std::string& message)
{
    std::size_t replaced = 0;
    return wellFormedUtf8(message, replaced);
}

// Finds where nlohmann's parser stops on a number too large for a double (1e999): it stops
// the whole file there, where every other fault of a row leaves the other rows readable.
struct OverflowFinder : nlohmann::detail::json_sax_acceptor<json> {
    std::optional<std::pair<std::size_t, std::string>> overflow;  // position after it, its text
    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e)
    {
        if (e.id == 406)
            overflow = {position, token};
        return false;
    }
};

// The text with each number too large for a double quoted, so that it reads as text and its
// row alone is refused ("F is not a number"); a file with more of them than a library has
// values is left as it is, and refused as a whole.
std::string withOverflowsQuoted(std::string text)
{
    constexpr int kMostOverflows = 1000;
    for (int quoted = 0; quoted < kMostOverflows; ++quoted) {
        OverflowFinder finder;
        json::sax_parse(text, &finder);
        if (!finder.overflow)
            break;
        const auto& [position, token] = *finder.overflow;
        const std::size_t start = text.rfind(token, position);
        if (token.empty() || start == std::string::npos)
            break;
        text.insert(start + token.size(), 1, '"');
        text.insert(start, 1, '"');
    }
    return text;
}

// Keeps the last row of each name, in the order of those last rows: a later row replaces an
// earlier one, and the user's row shows as the user's (one pass, for libraries of any size).
void keepLastOfEachName(std::vector<Propellant>& rows)
{
    std::unordered_set<std::string_view> seen;
    std::vector<Propellant> kept;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (seen.insert(it->name).second)
            kept.push_back(*it);
    std::reverse(kept.begin(), kept.end());
    rows = std::move(kept);
}

}  // namespace

const Propellant* PropellantLibrary::find(const std::string& name) const
{
    const auto it = std::find_if(rows.begin(), rows.end(),
                                 [&](const Propellant& p) { return p.name == name; });
    return it == rows.end() ? nullptr : &*it;
}

std::string userPropellantPath()
{
    namespace fs = std::filesystem;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // XDG_DATA_HOME holds an absolute path or nothing: a relative one is ignored, as desktops do.
    fs::path base = xdg != nullptr && fs::path(xdg).is_absolute() ? fs::path(xdg) : fs::path();
    if (base.empty()) {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return (base / "kalvex" / "propellants.json").string();
}

PropellantFiles defaultPropellantFiles(const std::string& programFolder)
{
    const std::filesystem::path folder =
        programFolder.empty() ? shippedFilesFolder() : shippedFilesFolder(programFolder);
    return {(folder / "propellants.json").string(), userPropellantPath()};
}

void readPropellantRows(std::istream& text, const std::string& fileName, bool fromUser,
                        PropellantLibrary& library)
{
    std::string bytes(kMaxLibraryBytes + 1, '\0');
    text.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(text.gcount()));
    if (bytes.size() > kMaxLibraryBytes) {
        library.problems.push_back(fileName + ": not a propellant library (larger than " +
                                   std::to_string(kMaxLibraryBytes >> 20) + " MB)");
        return;
    }
    std::size_t badBytes = 0;
    const std::string wellFormed = wellFormedUtf8(bytes, badBytes);
    json rows;
    try {
        json document;
        try {
            document = json::parse(wellFormed);
        } catch (const json::out_of_range&) {
            document = json::parse(withOverflowsQuoted(wellFormed));
        }
        rows = rowsOf(document, fileName);
    } catch (const json::exception& e) {
        library.problems.push_back(fileName + ": not a propellant library (" + readable(e.what()) + ")");
        return;
    } catch (const InputError& e) {
        library.problems.push_back(readable(e.what()));
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Propellant p;
        p.fromUser = fromUser;
        std::string problem = parseRow(rows[i], p);
        if (problem.empty() && badBytes > 0 && rows[i].dump().find("\xEF\xBF\xBD") != std::string::npos)
            problem = "not UTF-8 text (a byte of another encoding)";
        if (!problem.empty()) {
            library.problems.push_back(rowLabel(fileName, i, rows[i]) + ": " + problem);
            continue;
        }
        library.rows.push_back(std::move(p));
    }
    keepLastOfEachName(library.rows);
}

PropellantLibrary loadPropellantLibrary(const PropellantFiles& files)
{
    PropellantLibrary library;
    readFile(files.shipped, false, library);
    readFile(files.user, true, library);
    return library;
}

void applyPropellant(const Propellant& propellant, BallisticInput& input)
{
    for (std::size_t i = 0; i < kPropellantValues.size(); ++i)
        input.*kPropellantValues[i].quantity = propellant.*kRowValues[i];
    input.upperSegments = propellant.upperSegments;
}

Propellant propellantFromInput(const BallisticInput& input, const std::string& name)
{
    Propellant p;
    p.name = name;
    p.fromUser = true;
    for (std::size_t i = 0; i < kPropellantValues.size(); ++i)
        p.*kRowValues[i] = input.*kPropellantValues[i].quantity;
    p.upperSegments = input.upperSegments;
    return p;
}

std::string propellantRuleProblem(const Propellant& propellant)
{
    for (std::size_t i = 0; i < kPropellantValues.size(); ++i) {
        if (!passesRule(kPropellantValues[i], propellant.*kRowValues[i]))
            return kPropellantValues[i].ruleMessage;
    }
    return {};
}

std::string userLibraryTextWith(const std::string& existingText, const std::string& fileName,
                                const Propellant& propellant)
{
    if (propellant.name.empty())
        throw InputError("A propellant needs a name");
    if (const std::string problem = propellantRuleProblem(propellant); !problem.empty())
        throw InputError(problem);
    if (const std::string problem = upperSegmentsProblem(propellant.upperSegments); !problem.empty())
        throw InputError(problem);
    json document = {{"format", kFormat}, {"propellants", json::array()}};
    if (!existingText.empty()) {
        try {
            document = json::parse(existingText);
            rowsOf(document, fileName);
        } catch (const json::exception&) {
            throw InputError(fileName + ": not a propellant library; nothing was saved");
        } catch (const InputError&) {
            throw InputError(fileName + ": not a propellant library; nothing was saved");
        }
    }
    json& rows = document["propellants"];
    const auto same = std::find_if(rows.begin(), rows.end(), [&](const json& row) {
        return row.is_object() && textOf(row, "name") == propellant.name;
    });
    if (same != rows.end())
        *same = rowFor(propellant);
    else
        rows.push_back(rowFor(propellant));
    return document.dump(2) + "\n";
}

std::string propellantSourceText(const Propellant& propellant)
{
    if (!propellant.source.empty())
        return propellant.source;
    return propellant.fromUser ? "user library" : "no source given";
}

std::string propellantUsedLine(const Propellant& propellant)
{
    return " Propellant " + propellant.name + ": " + propellantSourceText(propellant);
}

}  // namespace kalvex
