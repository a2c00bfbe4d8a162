#include "vessel/TraceCsv.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace kalvex::vessel {

namespace {

constexpr std::pair<const char*, double> kTimeUnits[] = {{"s", 1}, {"ms", 1e-3}, {"us", 1e-6}};
constexpr std::pair<const char*, double> kPressureUnits[] = {{"Pa", 1}, {"kPa", 1e3}, {"MPa", 1e6}, {"bar", 1e5}};

// The unit in brackets of a header column, empty if none.
std::string bracketed(const std::string& column)
{
    const auto open = column.find('['), close = column.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return column.substr(open + 1, close - open - 1);
}

template <std::size_t N>
double factorOf(const std::string& unit, const std::pair<const char*, double> (&table)[N])
{
    for (const auto& [name, factor] : table)
        if (unit == name)
            return factor;
    throw std::runtime_error("unknown unit \"" + unit + "\" in the trace");
}

double number(const std::string& field, int line)
{
    std::size_t first = field.find_first_not_of(" \t");
    std::size_t last = field.find_last_not_of(" \t\r");
    double value = 0;
    if (first == std::string::npos)
        throw std::runtime_error("line " + std::to_string(line) + ": an empty field");
    const char* begin = field.data() + first;
    const char* end = field.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        throw std::runtime_error("line " + std::to_string(line) + ": \"" + field + "\" is not a number");
    return value;
}

}  // namespace

PressureTrace readTraceCsv(std::istream& in, const TraceUnits& units)
{
    std::string line;
    if (!std::getline(in, line))
        throw std::runtime_error("the trace is empty");
    const auto comma = line.find(',');
    if (comma == std::string::npos)
        throw std::runtime_error("the trace's header needs a time and a pressure column");
    std::string timeUnit = units.time.empty() ? bracketed(line.substr(0, comma)) : units.time;
    std::string pressureUnit = units.pressure.empty() ? bracketed(line.substr(comma + 1)) : units.pressure;
    const double timeFactor = factorOf(timeUnit.empty() ? "s" : timeUnit, kTimeUnits);
    const double pressureFactor = factorOf(pressureUnit.empty() ? "MPa" : pressureUnit, kPressureUnits);
    PressureTrace trace;
    for (int number_ = 2; std::getline(in, line); ++number_) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto c1 = line.find(',');
        if (c1 == std::string::npos)
            throw std::runtime_error("line " + std::to_string(number_) + ": two columns expected");
        const auto c2 = line.find(',', c1 + 1);
        trace.time.push_back(number(line.substr(0, c1), number_) * timeFactor);
        trace.pressure.push_back(number(line.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1),
                                        number_) * pressureFactor);
    }
    return trace;
}

namespace {

// Ten significant digits, whatever the locale.
void put(std::ostream& out, double v, char after)
{
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 10);
    out.write(buffer, ptr - buffer);
    out.put(after);
}

}  // namespace

void writeTraceCsv(std::ostream& out, const PressureTrace& trace)
{
    out << "time [ms],pressure [MPa]\n";
    for (std::size_t i = 0; i < trace.time.size(); ++i) {
        put(out, trace.time[i] * 1e3, ',');
        put(out, trace.pressure[i] * 1e-6, '\n');
    }
}

void writeTraceCsv(std::ostream& out, const VesselTrace& trace)
{
    out << "time [ms],pressure [MPa],dp/dt [MPa/ms],burned fraction\n";
    const auto put = [&](double v, char after) { vessel::put(out, v, after); };
    for (std::size_t i = 0; i < trace.time.size(); ++i) {
        put(trace.time[i] * 1e3, ',');
        put(trace.pressure[i] * 1e-6, ',');
        put(trace.pressureRate[i] * 1e-9, ',');
        put(trace.burnedFraction[i], '\n');
    }
}

}  // namespace kalvex::vessel
