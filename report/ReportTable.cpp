#include "report/ReportTable.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace kalvex::report {

namespace {

constexpr std::string_view kTableTitle = "* Time Progress *";

// Eleven numbers separated by blanks, with a point whatever the locale.
bool parseRow(const std::string& line, std::array<double, ReportTable::kColumnCount>& row)
{
    const char* p = line.data();
    const char* const end = line.data() + line.size();
    for (double& value : row) {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        const auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || next == p)
            return false;
        p = next;
    }
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r'))
        ++p;
    return p == end;
}

bool isRule(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(' ');
    return first != std::string::npos && line[first] == '-' &&
           line.find_first_not_of("-\r", first) == std::string::npos;
}

}  // namespace

bool ReportTable::holds(SeriesId series)
{
    return std::find(kColumns.begin(), kColumns.end(), series) != kColumns.end();
}

std::vector<double> ReportTable::column(SeriesId series) const
{
    const auto at = std::find(kColumns.begin(), kColumns.end(), series);
    if (at == kColumns.end())
        return {};
    const auto index = static_cast<std::size_t>(at - kColumns.begin());
    std::vector<double> values;
    values.reserve(rows.size());
    for (const auto& row : rows)
        values.push_back(row[index]);
    return values;
}

std::optional<ReportTable> readReportTable(std::istream& in)
{
    std::string line;
    bool titleSeen = false;
    while (std::getline(in, line)) {
        if (!titleSeen) {
            titleSeen = line.find(kTableTitle) != std::string::npos;
            continue;
        }
        if (isRule(line))
            break;
    }
    ReportTable table;
    std::array<double, ReportTable::kColumnCount> row{};
    while (std::getline(in, line) && parseRow(line, row))
        table.rows.push_back(row);
    if (table.rows.empty())
        return std::nullopt;
    return table;
}

}  // namespace kalvex::report
