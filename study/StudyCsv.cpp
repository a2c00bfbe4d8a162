#include "study/StudyCsv.h"

#include "report/SeriesCsv.h"
#include "study/StudyError.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

namespace kalvex::study {

std::string columnName(std::string_view name, std::string_view unit)
{
    return std::string(name) + " [" + std::string(unit) + "]";
}

namespace {

bool hasIntegratorColumn(const IntegratorChoice& integrator)
{
    return integrator.method != IntegratorMethod::fixedStep;
}

// "adaptive rtol=1e-08 atol=1e-08": no comma, so the cell needs no quotes.
std::string integratorCell(const IntegratorChoice& integrator)
{
    const AdaptiveSettings& a = integrator.adaptive;
    return std::string(integratorName(integrator.method)) + " rtol=" + report::csvNumber(a.relativeTolerance) +
           " atol=" + report::csvNumber(absoluteToleranceOf(a));
}

}  // namespace

std::vector<std::string> csvColumns(const std::vector<Parameter>& varied, const IntegratorChoice& integrator)
{
    std::vector<std::string> columns{"run [-]"};
    for (const Parameter& p : varied)
        columns.push_back(columnName(p.name, p.unit));
    for (const OutputInfo& info : kOutputInfo)
        columns.push_back(columnName(info.name, info.unit));
    if (hasIntegratorColumn(integrator))
        columns.emplace_back(kIntegratorColumn);
    columns.push_back("message [-]");
    return columns;
}

void writeCsvHeader(std::ostream& out, const std::vector<Parameter>& varied, const IntegratorChoice& integrator)
{
    const std::vector<std::string> columns = csvColumns(varied, integrator);
    for (std::size_t c = 0; c < columns.size(); ++c)
        out << (c ? "," : "") << columns[c];
    out << '\n';
}

namespace {

// Messages are plain sentences; quote them anyway, as CSV wants for commas and quotes.
std::string quoted(const std::string& text)
{
    if (text.empty())
        return text;
    std::string q = "\"";
    for (char c : text)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + '"';
}

}  // namespace

void writeCsvRow(std::ostream& out, const RowResult& row, const IntegratorChoice& integrator)
{
    out << std::to_string(row.index + 1);  // no digit grouping, whatever locale the stream has
    for (double value : row.varied)
        out << ',' << report::csvNumber(value);
    for (double value : row.outputs.values)
        out << ',' << report::csvNumber(value);
    if (hasIntegratorColumn(integrator))
        out << ',' << integratorCell(integrator);
    out << ',' << quoted(row.outputs.message) << '\n';
}

namespace {

double cellNumber(std::string_view cell, std::size_t run)
{
    if (cell.empty())
        return std::numeric_limits<double>::quiet_NaN();
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (error != std::errc() || end != cell.data() + cell.size())
        throw StudyError("run " + std::to_string(run) + ": \"" + std::string(cell) + "\" is not a number");
    return value;
}

std::string unquoted(std::string_view cell)
{
    if (cell.size() < 2 || cell.front() != '"' || cell.back() != '"')
        return std::string(cell);
    std::string text;
    for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
        text += cell[i];
        if (cell[i] == '"')
            ++i;  // a doubled quote stands for one
    }
    return text;
}

}  // namespace

void readCsvRows(std::istream& in, const std::vector<Parameter>& varied, const std::function<void(const RowResult&)>& sink,
                 const IntegratorChoice& integrator)
{
    std::ostringstream expected;
    writeCsvHeader(expected, varied, integrator);
    std::string line;
    if (!std::getline(in, line) || line + '\n' != expected.str())
        throw StudyError("the rows' columns are not those of the study");
    const std::string pressureLimit = runEndMessage(RunEnd::PressureLimit);
    const std::size_t numbers = 1 + varied.size() + kOutputCount;
    RowResult row;
    while (std::getline(in, line)) {
        std::string_view rest = line;
        std::vector<double> cells;
        for (std::size_t c = 0; c < numbers; ++c) {
            const std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos)
                throw StudyError("a row with too few columns: " + line.substr(0, 40));
            cells.push_back(cellNumber(rest.substr(0, comma), row.index + 2));
            rest.remove_prefix(comma + 1);
        }
        if (!(cells[0] >= 1))
            throw StudyError("a row without a run number: " + line.substr(0, 40));
        row.index = static_cast<std::size_t>(cells[0]) - 1;
        row.varied.assign(cells.begin() + 1, cells.begin() + 1 + static_cast<std::ptrdiff_t>(varied.size()));
        std::copy(cells.end() - kOutputCount, cells.end(), row.outputs.values.begin());
        if (hasIntegratorColumn(integrator)) {
            const std::size_t comma = rest.find(',');
            if (comma == std::string_view::npos || rest.substr(0, comma) != integratorCell(integrator))
                throw StudyError("run " + std::to_string(row.index + 1) + " was not integrated as the study asks");
            rest.remove_prefix(comma + 1);
        }
        row.outputs.message = unquoted(rest);
        // A row only keeps its message: a stop at the pressure limit is known by its ending,
        // which no input rule's message shares; any other failure counts by its message.
        row.outputs.end = row.outputs.message.ends_with(pressureLimit) ? RunEnd::PressureLimit : RunEnd::MuzzleReached;
        row.outputs.inputRejected = !row.outputs.message.empty() && row.outputs.end != RunEnd::PressureLimit;
        sink(row);
    }
}

}  // namespace kalvex::study
