#include "batch/StudyTables.h"

#include "study/Parameters.h"
#include "study/StudyCsv.h"

#include <algorithm>
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

// Characters a terminal shows for UTF-8 text: its bytes less the continuation bytes, so that
// "T0w [°C]" lines up with the rest.
std::size_t shownWidth(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string left(std::string_view text, std::size_t width)
{
    const std::size_t shown = shownWidth(text);
    return std::string(text) + std::string(width > shown ? width - shown : 1, ' ');
}

void writeOutputs(std::ostream& out, const RunOutputs& outputs)
{
    for (const OutputInfo& info : kOutputInfo)
        out << "  " << left(columnName(info.name, info.unit), 20) << cell(outputs[info.id]) << '\n';
}

void writeConstraint(std::ostream& out, const ConstraintCheck& c)
{
    out << "Constraint " << c.constraint.output;
    if (c.constraint.min)
        out << " >= " << num(*c.constraint.min);
    if (c.constraint.max)
        out << " <= " << num(*c.constraint.max);
    out << ": " << num(c.value) << (c.satisfied ? " satisfied" : " VIOLATED");
}

// "  (at the upper bound)" when the value lies on a bound of its box.
std::string boundNote(const BoundedParameter& p, double value)
{
    const double near = 1e-6 * (p.upper - p.lower);
    if (std::fabs(value - p.lower) <= near)
        return "  (at the lower bound)";
    if (std::fabs(value - p.upper) <= near)
        return "  (at the upper bound)";
    return "";
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
    // The statistics count the runs that reached the muzzle; a run stopped at the pressure
    // limit counts only in the exceedance; a failed one only below.
    const std::size_t inStatistics = summary.outputs[0].count;
    out << summary.samples << " samples, " << inStatistics << " in the statistics";
    if (summary.exceedance && summary.exceedance->total > inStatistics)
        out << ", " << summary.exceedance->total - inStatistics << " stopped at the pressure limit (counted only as exceeding it)";
    out << '\n';
    if (summary.percentilesEstimated)
        out << "percentiles estimated as the samples streamed past (P-square): more than " << kExactPercentileSamples
            << " samples are not kept\n";
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
    writeOutputs(out, result.outputs);
    for (const ConstraintCheck& c : result.constraints) {
        writeConstraint(out, c);
        out << '\n';
    }
}

void writeOptimizeTable(std::ostream& out, const Study& study, const OptimizeResult& result)
{
    const OptimizeSpec& spec = study.optimize;
    const OutputInfo& objective = outputInfo(findOutput(spec.output));
    out << (spec.goal == Goal::minimize ? "Minimum" : "Maximum") << " of " << objective.name << " = "
        << num(result.outputs[objective.id]) << " " << objective.unit << " at run " << result.best + 1 << " of "
        << result.runs() << " (" << result.status << ")\n";
    for (std::size_t k = 0; k < spec.parameters.size(); ++k) {
        const Parameter parameter = findParameter(spec.parameters[k].parameter);
        out << "  " << left(columnName(parameter.name, parameter.unit), 20) << cell(result.values[k])
            << boundNote(spec.parameters[k], result.values[k]) << '\n';
    }
    out << "Outputs there:\n";
    writeOutputs(out, result.outputs);
    for (const OptimumConstraint& c : result.constraints) {
        writeConstraint(out, c.check);
        out << (c.active ? ", active" : "") << '\n';
    }
}

void writeTwoTargetTable(std::ostream& out, const Study& study, const TwoTargetResult& result)
{
    const TwoTargetSpec& spec = *study.solve.pair;
    out << "Solved";
    for (std::size_t k = 0; k < 2; ++k) {
        const Parameter parameter = findParameter(spec.parameters[k].parameter);
        out << (k ? ", " : " ") << columnName(parameter.name, parameter.unit) << " = " << num(result.values[k]);
    }
    out << "  for";
    for (std::size_t k = 0; k < 2; ++k) {
        const OutputInfo& target = outputInfo(findOutput(spec.targets[k].output));
        out << (k ? " and " : " ") << target.name << " = " << num(spec.targets[k].target) << " " << target.unit;
    }
    out << " (" << result.runs() << " runs)\n";
    writeOutputs(out, result.outputs);
    for (const ConstraintCheck& c : result.constraints) {
        writeConstraint(out, c);
        out << '\n';
    }
}

void writeSensitivityTable(std::ostream& out, const SensitivitySummary& summary)
{
    const int percent = static_cast<int>(std::lround(100 * summary.confidence));
    const std::string heading = " % interval";
    out << left("output", 20) << left("parameter", 12) << left("          S1  " + std::to_string(percent) + heading, 40)
        << "          ST  " << percent << heading << '\n';
    const auto interval = [](const SobolIndex& index) {
        return cell(index.value) + "  [" + num(index.lower) + ", " + num(index.upper) + "]";
    };
    for (const OutputInfo& info : kOutputInfo) {
        const OutputIndices& o = summary.outputs[static_cast<std::size_t>(info.id)];
        for (std::size_t k = 0; k < summary.parameters.size(); ++k) {
            const std::string first = interval(o.parameters[k].first);
            out << left(k ? "" : columnName(info.name, info.unit), 20) << left(summary.parameters[k], 12) << first
                << std::string(first.size() < 40 ? 40 - first.size() : 1, ' ') << interval(o.parameters[k].total)
                << '\n';
        }
    }
    out << summary.samples << " base samples, " << summary.runs << " runs";
    if (summary.failedRuns)
        out << ", " << summary.failedRuns << " failed (their base samples left out)";
    out << "; intervals from " << summary.resamples << " bootstrap resamples\n";
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
    if (result.rmsPressure > 0)  // NaN without measured pressures
        out << ", RMS pressure residual " << num(result.rmsPressure) << " MPa";
    out << "; " << result.iterations << " iterations, " << result.status << '\n';
}

}  // namespace kalvex::batch
