#include "study/ShardFile.h"

#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace kalvex::study {

namespace {

constexpr std::string_view kHeadStart = "# kalvex-study shard ";
constexpr std::string_view kEndStart = "# end of shard ";

// FNV-1a, 64 bits: a short, stable fingerprint of a text (not a protection against forgery).
std::uint64_t fnv1a(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // offset basis
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;  // FNV prime
    }
    return hash;
}

// Reads a whole number at the front of `text` and the literal `after` behind it.
bool take(std::string_view& text, std::size_t& number, std::string_view after)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc())
        return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.starts_with(after))
        return false;
    text.remove_prefix(after.size());
    return true;
}

// The fields of a CSV line, commas inside a quoted message not counted as separators.
std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> cells;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted) {
            cells.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    cells.push_back(line.substr(start));
    return cells;
}

bool isNumber(std::string_view cell)
{
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return cell.empty() || (error == std::errc() && end == cell.data() + cell.size());
}

struct Shard {
    std::filesystem::path path;
    ShardLabel label;
    std::string header;
    std::vector<std::string> rows;
};

[[noreturn]] void refuse(const std::filesystem::path& path, const std::string& fault)
{
    throw StudyError(path.string() + ": " + fault);
}

[[noreturn]] void refuseLine(const std::filesystem::path& path, std::size_t line, const std::string& fault)
{
    refuse(path, "line " + std::to_string(line) + ": " + fault);
}

// Checks one row: the study's number of fields, numbers in every column but the text ones
// (the integrator and the message), and the run number the shard's order gives it.
void checkRow(const Shard& shard, const std::vector<std::string_view>& columns, std::string_view row,
              std::size_t line, std::size_t run)
{
    const std::vector<std::string_view> cells = fields(row);
    if (cells.size() != columns.size())
        refuseLine(shard.path, line,
                   std::to_string(cells.size()) + " fields instead of " + std::to_string(columns.size()));
    for (std::size_t c = 0; c + 1 < cells.size(); ++c)
        if (columns[c] != kIntegratorColumn && !isNumber(cells[c]))
            refuseLine(shard.path, line,
                       "\"" + std::string(cells[c]) + "\" in the column " + std::string(columns[c]) + " is not a number");
    if (cells[0] != std::to_string(run))
        refuseLine(shard.path, line, "run " + std::string(cells[0]) + " where run " + std::to_string(run) + " belongs");
}

Shard readShard(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    Shard shard{path, {}, {}, {}};
    std::string head;
    if (!in || !std::getline(in, head))
        refuse(path, "cannot read the shard");
    const std::optional<ShardLabel> label = parseShardHeadLine(head);
    if (!label)
        refuse(path, "not the file of a --shard run (its first line is not \"" + std::string(kHeadStart) +
                         "…\"); the file of a run without --shard holds the whole study already");
    shard.label = *label;
    if (!std::getline(in, shard.header))
        refuse(path, "ends before its header (the run was stopped or the file cut)");
    const std::vector<std::string_view> columns = fields(shard.header);
    const std::string end = shardEndLine(shard.label);
    bool ended = false;
    std::size_t line = 2;
    for (std::string row; std::getline(in, row);) {
        ++line;
        if (ended)
            refuseLine(path, line, "text after the shard's last line");
        if (row == end && in.eof() == false) {
            ended = true;
            continue;
        }
        checkRow(shard, columns, row, line, shard.label.firstRun + shard.rows.size());
        shard.rows.push_back(std::move(row));
    }
    if (!ended || shard.rows.size() != shard.label.runs())
        refuse(path, "holds " + std::to_string(shard.rows.size()) + " of the " + std::to_string(shard.label.runs()) +
                         " runs of shard " + std::to_string(shard.label.index) + " of " +
                         std::to_string(shard.label.count) + " and no end line: the run was stopped or the file cut");
    return shard;
}

}  // namespace

std::string studyFingerprint(const Study& study)
{
    Study canonical = study;
    canonical.basePath.clear();  // the values themselves, wherever the report was
    canonical.description.clear();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fnv1a(studyToJsonText(canonical))));
    return hex;
}

std::string shardHeadLine(const ShardLabel& label)
{
    return std::string(kHeadStart) + std::to_string(label.index) + " of " + std::to_string(label.count) +
           " of study " + label.study + ": runs " + std::to_string(label.firstRun) + " to " +
           std::to_string(label.lastRun) + " of " + std::to_string(label.totalRuns);
}

std::string shardEndLine(const ShardLabel& label)
{
    return std::string(kEndStart) + std::to_string(label.index) + " of " + std::to_string(label.count) + ": " +
           std::to_string(label.runs()) + " runs";
}

std::optional<ShardLabel> parseShardHeadLine(std::string_view line)
{
    if (!line.starts_with(kHeadStart))
        return std::nullopt;
    line.remove_prefix(kHeadStart.size());
    ShardLabel label;
    if (!take(line, label.index, " of ") || !take(line, label.count, " of study "))
        return std::nullopt;
    const std::size_t colon = line.find(": runs ");
    if (colon == std::string_view::npos)
        return std::nullopt;
    label.study = std::string(line.substr(0, colon));
    line.remove_prefix(colon + std::string_view(": runs ").size());
    if (!take(line, label.firstRun, " to ") || !take(line, label.lastRun, " of ") || !take(line, label.totalRuns, ""))
        return std::nullopt;
    const bool consistent = !line.empty() ? false
                            : label.index >= 1 && label.index <= label.count && label.firstRun >= 1 &&
                                  label.lastRun + 1 >= label.firstRun && label.lastRun <= label.totalRuns;
    return consistent ? std::optional(label) : std::nullopt;
}

void mergeShardFiles(const std::vector<std::filesystem::path>& paths, std::ostream& out)
{
    if (paths.empty())
        throw StudyError("merge: no shard files given");
    std::vector<Shard> shards;
    for (const auto& path : paths) {
        Shard shard = readShard(path);
        if (!shards.empty()) {
            const Shard& first = shards.front();
            if (shard.label.study != first.label.study || shard.label.totalRuns != first.label.totalRuns)
                refuse(path, "a shard of another study (study " + shard.label.study + " of " +
                                 std::to_string(shard.label.totalRuns) + " runs, where " + first.path.string() +
                                 " is of study " + first.label.study + " of " + std::to_string(first.label.totalRuns) +
                                 " runs)");
            if (shard.label.count != first.label.count)
                refuse(path, "shard " + std::to_string(shard.label.index) + " of " + std::to_string(shard.label.count) +
                                 ", where " + first.path.string() + " is one of " + std::to_string(first.label.count));
            if (shard.header != first.header)
                refuse(path, "its columns differ from those of " + first.path.string());
        }
        for (const Shard& other : shards)
            if (other.label.index == shard.label.index)
                refuse(path, "shard " + std::to_string(shard.label.index) + " of " + std::to_string(shard.label.count) +
                                 " is given twice, also as " + other.path.string() + " (run " +
                                 std::to_string(shard.label.firstRun) + " appears twice)");
        shards.push_back(std::move(shard));
    }
    std::sort(shards.begin(), shards.end(), [](const Shard& a, const Shard& b) { return a.label.index < b.label.index; });
    const ShardLabel& first = shards.front().label;
    for (std::size_t index = 1, given = 0; index <= first.count; ++index) {
        if (given < shards.size() && shards[given].label.index == index) {
            ++given;
            continue;
        }
        // Where the missing shard's runs lie: after the last given one before it.
        const std::size_t from = given == 0 ? 1 : shards[given - 1].label.lastRun + 1;
        const std::size_t to = given < shards.size() ? shards[given].label.firstRun - 1 : first.totalRuns;
        throw StudyError("merge: shard " + std::to_string(index) + " of " + std::to_string(first.count) +
                         " is not among the files given: runs " + std::to_string(from) + " to " +
                         std::to_string(to) + " are missing");
    }
    out << shards.front().header << '\n';
    for (const Shard& shard : shards)
        for (const std::string& row : shard.rows)
            out << row << '\n';
}

}  // namespace kalvex::study
