#include "batch/StudyTables.h"

#include "study/Parameters.h"
#include "study/StudyCsv.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kalvex::batch {

using namespace kalvex::study;

namespace {

// Six significant digits, a point whatever the locale, right-aligned in `width`.
std::string cell(double value, std::size_t width = 12)
{
    std::string text = "-";
    if (std::isfinite(value)) {
        char buffer[32];
        text.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr);
    }
    return std::string(width > text.size() ? width - text.size() : 1, ' ') + text;
}

// The same without padding.
std::string num(double value)
{
    return cell(value, 0).substr(1);
}

std::string left(std::string_view text, std::size_t width)
{
    return std::string(text) + std::string(width > text.size() ? width - text.size() : 1, ' ');
}

}  // namespace

void writeParameterList(std::ostream& out)
{
    for (const Parameter& p : allParameters())
        out << left(columnName(p.name, p.unit), 20) << p.caption << '\n';
    out << left(columnName(kPropellantAxis.name, kPropellantAxis.unit), 20) << kPropellantAxis.caption
        << '\n';
}

void writeOutputList(std::ostream& out)
{
    for (const OutputInfo& info : kOutputInfo)
        out << left(columnName(info.name, info.unit), 20) << info.caption << '\n';
    out << left("message [-]", 20) << "Why a run did not reach the muzzle; empty when it did" << '\n';
}

void writeToleranceTable(std::ostream& out, const ToleranceSummary& summary)
{
    out << left("output", 20);
    for (const char* head : {"mean", "sd", "min", "p1", "p5", "p50", "p95", "p99", "max"})
        out << std::string(12 - std::string_view(head).size(), ' ') << head;
    out << '\n';
    for (const OutputInfo& info : kOutputInfo) {
        const OutputStatistics& s = summary.outputs[static_cast<std::size_t>(info.id)];
        out << left(columnName(info.name, info.unit), 20) << cell(s.mean) << cell(s.standardDeviation)
            << cell(s.minimum) << cell(s.p1) << cell(s.p5) << cell(s.p50) << cell(s.p95) << cell(s.p99)
            << cell(s.maximum) << '\n';
    }
    std::size_t failed = 0;
    for (const auto& [message, count] : summary.failures)
        failed += count;
    out << summary.samples << " samples, " << summary.samples - failed << " in the statistics\n";
    if (summary.exceedance) {
        const Exceedance& e = *summary.exceedance;
        out << "P(" << e.limit.output << " > " << num(e.limit.value) << ") = " << e.exceeding << "/"
            << e.total << " = " << num(e.probability) << ", 95 % interval " << num(e.lower) << " to"
            << " " << num(e.upper) << '\n';
    }
    for (const auto& [message, count] : summary.failures)
        out << "left out: " << count << " x " << message << '\n';
}

void writeSolveTable(std::ostream& out, const Study& study, const SolveResult& result)
{
    const Parameter parameter = findParameter(study.solve.parameter);
    const OutputInfo& target = outputInfo(findOutput(study.solve.output));
    out << "Solved " << columnName(parameter.name, parameter.unit) << " = " << num(result.value)
        << "  for " << target.name << " = " << num(study.solve.target) << " " << target.unit << " (" << result.iterations
        << " runs)\n";
    for (const OutputInfo& info : kOutputInfo)
        out << "  " << left(columnName(info.name, info.unit), 20) << cell(result.outputs[info.id]) << '\n';
    for (const ConstraintCheck& c : result.constraints) {
        out << "Constraint " << c.constraint.output;
        if (c.constraint.min)
            out << " >= " << num(*c.constraint.min);
        if (c.constraint.max)
            out << " <= " << num(*c.constraint.max);
        out << ": " << num(c.value) << (c.satisfied ? " satisfied" : " VIOLATED") << '\n';
    }
}

void writeFitTable(std::ostream& out, const Study& study, const FitResult& result)
{
    for (std::size_t k = 0; k < result.values.size(); ++k) {
        const Parameter parameter = findParameter(study.fit.parameters[k]);
        out << "Fitted " << columnName(parameter.name, parameter.unit) << " = " << num(result.values[k])
            << "  (standard error " << num(result.standardErrors[k]) << ")\n";
    }
    out << "firing  measured v [m/s]  model v [m/s]  residual [m/s]  measured p [MPa]  model p [MPa]\n";
    for (std::size_t i = 0; i < result.firings.size(); ++i) {
        const FiringResidual& f = result.firings[i];
        out << cell(static_cast<double>(i + 1), 6) << cell(f.measuredVelocity, 18) << cell(f.modelVelocity, 15)
            << cell(f.modelVelocity - f.measuredVelocity, 16) << cell(f.measuredPressure.value_or(NAN), 18)
            << cell(f.modelPressure, 15) << (f.message.empty() ? "" : "  " + f.message) << '\n';
    }
    out << "RMS velocity residual " << num(result.rmsVelocity) << " m/s";
    if (result.rmsPressure > 0)
        out << ", RMS pressure residual " << num(result.rmsPressure) << " MPa";
    out << "; " << result.iterations << " iterations, " << result.status << '\n';
}

}  // namespace kalvex::batch
