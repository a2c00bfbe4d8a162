// kalvex._core.run_many and the studies: rows of runs as numpy columns, the results of a
// study as kalvex-study writes them in its JSON. The work runs in C++ with the GIL released.
#include "core/stepping/Solver.h"
#include "python/ScriptRun.h"
#include "python/Bindings.h"
#include "python/InterruptWatch.h"
#include "python/OutputColumns.h"
#include "python/ScriptInput.h"
#include "study/TableCap.h"
#include "study/DesignResultsJson.h"
#include "study/Executor.h"
#include "study/Optimize.h"
#include "study/ResultsJson.h"
#include "study/Rows.h"
#include "study/Solve.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "study/SobolIndices.h"
#include "study/ToleranceStats.h"
#include "study/TwoTargetSolve.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <atomic>
#include <cmath>
#include <optional>
#include <utility>

namespace py = pybind11;

namespace kalvex::python {

namespace {

using study::StudyKind;

template <typename T>
py::array_t<T> asArray(const std::vector<T>& values)
{
    py::array_t<T> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

// (columns, units): one numpy array per column, the messages as an array of str.
py::tuple tableParts(const OutputColumns& table, bool withRunNumbers)
{
    py::dict columns, units;
    const auto put = [&](std::string_view name, std::string_view unit, py::object column) {
        const py::str key(name.data(), name.size());
        columns[key] = std::move(column);
        units[key] = py::str(unit.data(), unit.size());
    };
    if (withRunNumbers)
        put("run", "-", asArray(table.run));
    for (std::size_t v = 0; v < table.varied.size(); ++v)
        put(table.varied[v].name, table.varied[v].unit, asArray(table.variedValues[v]));
    for (const study::OutputInfo& info : study::kOutputInfo)
        put(info.name, info.unit, asArray(table.outputs[static_cast<std::size_t>(info.id)]));
    put("message", "-", py::array(py::cast(table.messages)).attr("astype")("object"));
    return py::make_tuple(columns, units);
}

// A study from its JSON text, its "base" relative to `folder`, its propellant names looked
// up in `library` (rows, problems).
study::Study studyOf(const std::string& text, const std::string& folder, const py::tuple& library)
{
    return study::studyFromJsonText(text, folder, libraryFrom(library));
}

int threadCount(std::optional<int> threads)
{
    if (threads && (*threads < 1 || *threads > study::kMaxThreads))
        throw py::value_error("threads must be at least 1 and at most " + std::to_string(study::kMaxThreads) +
                              ", or None for every core");
    return threads.value_or(0);
}

void refuseLargeTable(std::size_t rows, std::size_t columns)
{
    const std::string message = study::tableTooLarge(rows, columns, study::kMaxPythonTableRows, "Python",
        "kalvex-study STUDY.json -o ROWS.csv, its --shard runs, or kalvex.distributed (Dask) in chunks");
    if (!message.empty())
        throw py::value_error(message);
}

// Rows [first, last) of a study or of a list of runs, gathered into columns with the GIL
// released; Ctrl+C stops starting new runs and raises KeyboardInterrupt.
OutputColumns runRowsToColumns(const study::RowSet& rows, std::size_t first, std::size_t last, int threads)
{
    last = std::min(last, rows.size());
    refuseLargeTable(last > first ? last - first : 0, 2 + rows.varied().size() + study::kOutputCount);
    OutputColumns table(rows.varied());
    InterruptWatch watch;
    {
        const py::gil_scoped_release unlocked;
        table.reserve(last > first ? last - first : 0);
        study::ExecutorOptions options;
        options.threads = threads;
        options.cancel = &watch.cancel;
        options.progress = [&watch](std::size_t) { watch.keepGoing(); };  // after each delivered block
        study::runRows(rows, first, last, options, [&table](const study::RowResult& row) { table.add(row); });
    }
    watch.raiseIfInterrupted();
    return table;
}

// The tolerance statistics of rows gathered in a table, as kalvex-study computes them while
// the rows stream past. A run that stopped at the pressure limit -- in its first step too,
// where the message blames the step -- is known by the end of its message; no input rule's
// message ends that way.
std::string toleranceSummary(const study::Study& plan, const py::dict& columns)
{
    study::ToleranceAccumulator statistics(plan.tolerance.limit);
    const auto messages = columns["message"].cast<std::vector<std::string>>();
    std::array<py::array_t<double>, study::kOutputCount> outputs;
    for (const study::OutputInfo& info : study::kOutputInfo)
        outputs[static_cast<std::size_t>(info.id)] =
            columns[py::str(info.name.data(), info.name.size())].cast<py::array_t<double>>();
    const std::string pressureLimit = runEndMessage(RunEnd::PressureLimit);
    study::RowResult row;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const std::string& message = messages[i];
        row.index = i;
        row.outputs.message = message;
        row.outputs.end = RunEnd::MuzzleReached;
        if (message.ends_with(pressureLimit))
            row.outputs.end = RunEnd::PressureLimit;
        else if (!message.empty())
            row.outputs.inputRejected = true;  // any other failure: counted by its message
        for (std::size_t o = 0; o < outputs.size(); ++o)
            row.outputs.values[o] = outputs[o].at(static_cast<py::ssize_t>(i));
        statistics.add(row);
        row.outputs.inputRejected = false;
    }
    return study::toleranceSummaryJson(statistics.summary());
}

// The sensitivity indices of a study's rows gathered in a table (all of them, in any order:
// the run column places each); a row that did not reach the muzzle leaves its base sample out.
std::string sensitivitySummary(const study::Study& plan, const py::dict& columns)
{
    study::SensitivityAccumulator indices(plan);
    const auto runs = columns["run"].cast<py::array_t<std::int64_t>>();
    const auto messages = columns["message"].cast<std::vector<std::string>>();
    std::array<py::array_t<double>, study::kOutputCount> outputs;
    for (const study::OutputInfo& info : study::kOutputInfo)
        outputs[static_cast<std::size_t>(info.id)] =
            columns[py::str(info.name.data(), info.name.size())].cast<py::array_t<double>>();
    study::RowResult row;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        row.index = static_cast<std::size_t>(runs.at(static_cast<py::ssize_t>(i))) - 1;
        row.outputs.message = messages[i];
        for (std::size_t o = 0; o < outputs.size(); ++o)
            row.outputs.values[o] = outputs[o].at(static_cast<py::ssize_t>(i));
        indices.add(row);
    }
    return study::sensitivitySummaryJson(indices.summary());
}

// The result of a study that runs as a whole, as kalvex-study --json gives it.
std::string wholeStudyJson(const study::Study& plan)
{
    switch (plan.kind) {
    case StudyKind::solve:
        if (plan.solve.pair)
            return study::twoTargetResultJson(plan, study::solveTwoTargets(plan));
        return study::solveResultJson(plan, study::solveStudy(plan));
    case StudyKind::fit: return study::fitResultJson(plan, study::fitStudy(plan));
    case StudyKind::optimize: return study::optimizeResultJson(plan, study::optimizeStudy(plan));
    default: throw study::StudyError("a sweep, tolerance or sensitivity study has rows: run it with study_rows");
    }
}

}  // namespace

void bindStudy(py::module_& m)
{
    m.def(
        "run_many",
        [](const std::vector<ScriptInput>& inputs, bool heatTransfer, std::optional<int> threads,
           const std::string& integrator, double rtol, double atol) {
            const int threadsToUse = threadCount(threads);
            std::vector<BallisticInput> records;
            records.reserve(inputs.size());
            for (const ScriptInput& input : inputs)
                records.push_back(toBallisticInput(input, heatTransfer));
            // The study engine's executor runs the list, with the threads and lanes of a study.
            const study::RowSet rows(std::move(records), integratorChoice(integrator, rtol, atol));
            return tableParts(runRowsToColumns(rows, 0, rows.size(), threadsToUse), false);
        },
        py::arg("inputs"), py::arg("heat_transfer") = true, py::arg("threads") = py::none(),
        py::arg("integrator") = "fixed", py::arg("rtol") = 1e-8, py::arg("atol") = 0.0);

    m.def(
        "study_kind",
        [](const std::string& text, const std::string& folder, const py::tuple& library) {
            return std::string(study::studyKindName(studyOf(text, folder, library).kind));
        },
        py::arg("text"), py::arg("folder"), py::arg("library"));

    m.def(
        "study_size",
        [](const std::string& text, const std::string& folder, const py::tuple& library) {
            return study::RowSet(studyOf(text, folder, library)).size();
        },
        py::arg("text"), py::arg("folder"), py::arg("library"), "Rows of a sweep, tolerance or sensitivity study");

    m.def(
        "study_rows",
        [](const std::string& text, const std::string& folder, const py::tuple& library, std::size_t first, std::size_t last,
           std::optional<int> threads) {
            const int threadsToUse = threadCount(threads);
            const study::RowSet rows(studyOf(text, folder, library));
            return tableParts(runRowsToColumns(rows, first, last, threadsToUse), true);
        },
        py::arg("text"), py::arg("folder"), py::arg("library"), py::arg("first"), py::arg("last"), py::arg("threads") = py::none(),
        "Rows [first, last) of a sweep, tolerance or sensitivity study: (columns, units)");

    m.def(
        "tolerance_summary",
        [](const std::string& text, const std::string& folder, const py::tuple& library, const py::dict& columns) {
            return toleranceSummary(studyOf(text, folder, library), columns);
        },
        py::arg("text"), py::arg("folder"), py::arg("library"), py::arg("columns"), "The statistics as kalvex-study --json gives them");

    m.def(
        "sensitivity_summary",
        [](const std::string& text, const std::string& folder, const py::tuple& library, const py::dict& columns) {
            return sensitivitySummary(studyOf(text, folder, library), columns);
        },
        py::arg("text"), py::arg("folder"), py::arg("library"), py::arg("columns"),
        "The indices of all the rows of a sensitivity study as kalvex-study --json gives them");

    m.def(
        "solve_or_fit",
        [](const std::string& text, const std::string& folder, const py::tuple& library) {
            const study::Study plan = studyOf(text, folder, library);
            const py::gil_scoped_release unlocked;
            return wholeStudyJson(plan);
        },
        py::arg("text"), py::arg("folder"), py::arg("library"),
        "The result of a solve, fit or optimize study as kalvex-study --json gives it");
}

}  // namespace kalvex::python
