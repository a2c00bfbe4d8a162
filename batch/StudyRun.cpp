#include "batch/StudyRun.h"

#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"
#include "batch/StudyOptions.h"
#include "batch/StudyTables.h"
#include "core/input/StartSequence.h"
#include "core/stepping/StepErrorEstimate.h"
#include "report/ReportFile.h"
#include "report/SafeSave.h"
#include "study/DesignResultsJson.h"
#include "study/Optimize.h"
#include "study/Parameters.h"
#include "study/ResultsJson.h"
#include "study/ShardFile.h"
#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "study/TwoTargetSolve.h"

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <sstream>

namespace kalvex::batch {

using namespace kalvex::study;

namespace {

using Writer = std::function<void(std::ostream&)>;

// Runs `write` on the file at `path` (replaced only when complete), on `fallback` without a
// path, or on a stream that drops everything when there is neither.
void withOutput(const std::optional<std::string>& path, std::ostream* fallback, const Writer& write)
{
    if (path) {
        report::streamFileSafely(*path, write);
    } else if (fallback) {
        write(*fallback);
    } else {
        std::ostream discard(nullptr);
        write(discard);
    }
}

// As withOutput, for rows that may stop short: `write` returns whether all were written. A
// file of a study stopped short goes beside its path as PATH.partial (SafeSave.h).
void withRows(const std::optional<std::string>& path, std::ostream* fallback, const report::ResultWriter& write)
{
    if (path) {
        report::streamResultSafely(*path, write);
    } else if (fallback) {
        write(*fallback);
    } else {
        std::ostream discard(nullptr);
        write(discard);
    }
}

// Where the rows of a stopped study went, for its message.
std::string partialFiles(const StudyOptions& options)
{
    std::string files;
    for (const auto& path : {options.csvPath, options.jsonPath})
        if (path)
            files += (files.empty() ? " to " : " and ") + *path + std::string(report::kPartialSuffix);
    return files.empty() ? files : files + " (a file of the study's own name holds only a whole study)";
}

// What a sensitivity study costs, said before it starts: N (k + 2) runs.
void writeSensitivityCost(std::ostream& out, const Study& study)
{
    const SensitivitySpec& spec = study.sensitivity;
    out << "Sensitivity: " << spec.draws.samples << " base samples x (" << spec.draws.parameters.size()
        << " parameters + 2) = " << sensitivityRuns(spec) << " runs\n";
}

// Sweep, tolerance and sensitivity: the rows of this shard, streamed to the CSV and the JSON.
bool runRowStudy(const Study& study, const StudyOptions& options, const StudyStreams& streams,
                 const std::atomic<bool>& cancel)
{
    const RowSet rows(study);
    // Named copies, not a structured binding: the lambdas below capture them.
    const std::pair<std::size_t, std::size_t> range = shardRows(rows.size(), options.shardIndex, options.shardCount);
    const std::size_t first = range.first;
    const std::size_t last = range.second;
    const bool tolerance = study.kind == StudyKind::tolerance;
    // The indices need every row: a shard alone only writes its rows.
    const bool indices = study.kind == StudyKind::sensitivity && options.shardCount == 1;
    ToleranceAccumulator statistics(study.tolerance.limit);
    ToleranceSummary summary;  // tolerance: the statistics of the rows delivered, made once
    std::optional<SensitivityAccumulator> sensitivity;
    if (indices)
        sensitivity.emplace(study);
    if (study.kind == StudyKind::sensitivity && !options.quiet)
        writeSensitivityCost(streams.err, study);
    ProgressBar bar(streams.err, last - first, streams.errIsTerminal && !options.quiet);
    std::size_t delivered = 0;
    std::optional<SensitivitySummary> indexSummary;

    // A shard's rows say which study and shard they are, for merge to check.
    std::optional<ShardLabel> shard;
    if (options.shardCount > 1)
        shard = ShardLabel{studyFingerprint(study), options.shardIndex, options.shardCount, first + 1, last, rows.size()};
    std::ostream* csvFallback = study.kind == StudyKind::sweep ? &streams.out : nullptr;
    withRows(options.csvPath, csvFallback, [&](std::ostream& csv) {
        withRows(options.jsonPath, nullptr, [&](std::ostream& json) {
            if (shard)
                csv << shardHeadLine(*shard) << '\n';
            writeCsvHeader(csv, rows.varied(), rows.integrator());
            std::string columns;
            for (const std::string& c : csvColumns(rows.varied()))
                columns += (columns.empty() ? "\"" : ", \"") + c + "\"";
            json << "{\n\"kind\": \"" << studyKindName(study.kind) << "\",\n\"columns\": [" << columns
                 << "],\n\"rows\": [";
            ExecutorOptions executor;
            executor.threads = options.threads;
            executor.cancel = &cancel;
            executor.progress = [&](std::size_t done) { bar.update(done); };
            delivered = runRows(rows, first, last, executor, [&](const RowResult& row) {
                // A table without a file goes to a stream that drops it: its row text is not made.
                if (options.csvPath || csvFallback)
                    writeCsvRow(csv, row, rows.integrator());
                if (options.jsonPath)
                    json << (row.index == first ? "\n" : ",\n") << rowJson(row);
                if (tolerance)
                    statistics.add(row);
                if (sensitivity)
                    sensitivity->add(row);
            });
            json << "\n]";
            const bool whole = delivered == last - first;
            // Statistics of a stopped study look like those of a whole one: say it stopped.
            if (!whole)
                json << ",\n\"stopped\": true,\n\"rowsRequested\": " << last - first;
            if (tolerance) {
                summary = statistics.summary();
                json << ",\n\"summary\": " << toleranceSummaryJson(summary);
            }
            if (sensitivity && delivered == last - first) {
                indexSummary = sensitivity->summary();
                json << ",\n\"summary\": " << sensitivitySummaryJson(*indexSummary);
            }
            json << "\n}\n";
            return whole;
        });
        const bool whole = delivered == last - first;
        if (shard && whole)
            csv << shardEndLine(*shard) << '\n';
        return whole;
    });
    bar.finish();
    const bool cancelled = delivered < last - first;
    if ((tolerance || study.kind == StudyKind::sensitivity) && !options.quiet && options.shardCount > 1)
        streams.out << "Shard " << options.shardIndex << " of " << options.shardCount << ": rows " << first + 1
                    << " to " << last << "\n";
    if (tolerance && !options.quiet)
        writeToleranceTable(streams.out, summary);
    if (indexSummary && !options.quiet)
        writeSensitivityTable(streams.out, *indexSummary);
    if (cancelled)
        streams.err << "Stopped: " << delivered << " of " << last - first << " runs finished and written"
                    << partialFiles(options) << "\n";
    return !cancelled;
}

// The step-size error of the input a study's answer rests on: the solution of a solve or a
// fit, the base of a sweep or tolerance study (whose rows share its step).
void writeStepError(std::ostream& out, const char* whose, const BallisticInput& input)
{
    auto run = std::make_unique_for_overwrite<RunResults>();
    const StartOutcome outcome = runStartSequence(input, *run, [](const std::string&) {});
    out << "Step-size error estimate of " << whose << ":\n";
    if (outcome.end != RunEnd::MuzzleReached) {
        out << startEndMessage(outcome) << '\n';
        return;
    }
    const StepErrorEstimate estimate = estimateStepError(input, outcome.dt, *run);
    writeStepErrorEstimate(estimate, [&out](const std::string& line) { out << line << '\n'; });
}

BallisticInput withValues(const Study& study, const std::vector<std::string>& names, const std::vector<double>& values)
{
    BallisticInput input = baseInput(study);
    for (std::size_t i = 0; i < names.size(); ++i)
        setParameterValue(input, findParameter(names[i]), values[i]);
    return input;
}

std::vector<std::string> boxNames(const std::vector<BoundedParameter>& box)
{
    std::vector<std::string> names;
    for (const BoundedParameter& p : box)
        names.push_back(p.parameter);
    return names;
}

// The runs of a search, as the rows of a study, to the -o file.
void writeHistory(const StudyOptions& options, const std::vector<BoundedParameter>& box, const std::vector<RowResult>& history,
                  const IntegratorChoice& integrator)
{
    if (!options.csvPath)
        return;
    std::vector<Parameter> varied;
    for (const BoundedParameter& p : box)
        varied.push_back(findParameter(p.parameter));
    withOutput(options.csvPath, nullptr, [&](std::ostream& csv) {
        writeCsvHeader(csv, varied, integrator);
        for (const RowResult& row : history)
            writeCsvRow(csv, row, integrator);
    });
}

int runStudyFile(const StudyOptions& options, const StudyStreams& streams, const std::atomic<bool>& cancel)
{
    const Study study = loadStudyFile(options.studyPath, &cancel);
    if (runsAsWhole(study.kind) && options.shardCount > 1)
        throw StudyError(std::string("a ") + studyKindName(study.kind) + " study runs as a whole and takes no --shard");
    if (!runsAsWhole(study.kind)) {
        const bool finished = runRowStudy(study, options, streams, cancel);
        if (finished && options.errorEstimate)
            writeStepError(streams.out, "the base input", baseInput(study));
        return finished ? 0 : kExitCancelled;
    }

    // Only a search has rows for -o (its runs); a solve of one parameter and a fit give a result.
    const bool search = study.kind == StudyKind::optimize || (study.kind == StudyKind::solve && study.solve.pair);
    if (options.csvPath && !search)
        throw StudyError(std::string("-o: a ") + (study.kind == StudyKind::fit ? "fit" : "solve of one parameter") +
                         " has no rows to write; --json writes its result");
    try {
        std::string json;
        if (study.kind == StudyKind::optimize) {
            const OptimizeResult result = optimizeStudy(study, &cancel);
            if (!options.quiet)
                writeOptimizeTable(streams.out, study, result);
            if (options.errorEstimate)
                writeStepError(streams.out, "the optimum", withValues(study, boxNames(study.optimize.parameters), result.values));
            writeHistory(options, study.optimize.parameters, result.history, study.integrator);
            json = optimizeResultJson(study, result);
        } else if (study.kind == StudyKind::solve && study.solve.pair) {
            const TwoTargetResult result = solveTwoTargets(study, &cancel);
            const std::vector<BoundedParameter> box(study.solve.pair->parameters.begin(), study.solve.pair->parameters.end());
            if (!options.quiet)
                writeTwoTargetTable(streams.out, study, result);
            if (options.errorEstimate)
                writeStepError(streams.out, "the solution", withValues(study, boxNames(box), {result.values.begin(), result.values.end()}));
            writeHistory(options, box, result.history, study.integrator);
            json = twoTargetResultJson(study, result);
        } else if (study.kind == StudyKind::solve) {
            const SolveResult result = solveStudy(study, &cancel);
            if (!options.quiet)
                writeSolveTable(streams.out, study, result);
            if (options.errorEstimate)
                writeStepError(streams.out, "the solution", withValues(study, {study.solve.parameter}, {result.value}));
            json = solveResultJson(study, result);
        } else {
            const FitResult result = fitStudy(study, &cancel);
            if (!options.quiet)
                writeFitTable(streams.out, study, result);
            if (options.errorEstimate)
                writeStepError(streams.out, "the fitted values", withValues(study, study.fit.parameters, result.values));
            json = fitResultJson(study, result);
        }
        withOutput(options.jsonPath, nullptr, [&](std::ostream& out) { out << json << '\n'; });
    } catch (const StudyError&) {
        if (cancel.load())
            return kExitCancelled;
        throw;
    }
    return 0;
}

// The statistics or indices of merged rows, as the whole study would have given them.
void summarizeMergedRows(const StudyOptions& options, const StudyStreams& streams, const std::string& merged)
{
    const Study study = loadStudyFile(*options.studyForMerge);
    if (study.kind != StudyKind::tolerance && study.kind != StudyKind::sensitivity)
        throw StudyError("merge --study: a " + std::string(studyKindName(study.kind)) +
                         " study has no statistics to make from its rows");
    const RowSet rows(study);
    std::istringstream in(merged);
    std::string json;
    if (study.kind == StudyKind::tolerance) {
        ToleranceAccumulator statistics(study.tolerance.limit);
        readCsvRows(in, rows.varied(), [&](const RowResult& row) { statistics.add(row); }, rows.integrator());
        const ToleranceSummary summary = statistics.summary();
        if (!options.quiet)
            writeToleranceTable(streams.out, summary);
        json = toleranceSummaryJson(summary);
    } else {
        SensitivityAccumulator indices(study);
        readCsvRows(in, rows.varied(), [&](const RowResult& row) { indices.add(row); }, rows.integrator());
        const SensitivitySummary summary = indices.summary();
        if (!options.quiet)
            writeSensitivityTable(streams.out, summary);
        json = sensitivitySummaryJson(summary);
    }
    withOutput(options.jsonPath, nullptr, [&](std::ostream& out) { out << "{\n\"summary\": " << json << "\n}\n"; });
}

int mergeShards(const StudyOptions& options, const StudyStreams& streams)
{
    std::vector<std::filesystem::path> shards(options.shardPaths.begin(), options.shardPaths.end());
    std::ostringstream merged;
    mergeShardFiles(shards, merged);  // refused: nothing is written
    withOutput(options.csvPath, nullptr, [&](std::ostream& out) { out << merged.str(); });
    if (options.studyForMerge)
        summarizeMergedRows(options, streams, merged.str());
    return 0;
}

}  // namespace

int studyMain(const std::vector<std::string>& args, const StudyStreams& streams, const std::atomic<bool>& cancel)
{
    StudyOptions options;
    try {
        options = parseStudyArguments(args);
    } catch (const UsageError& e) {
        streams.err << "kalvex-study: " << e.what() << "\nTry 'kalvex-study --help' for more information.\n";
        return 1;
    }
    try {
        switch (options.action) {
        case StudyOptions::Action::help: streams.out << options.usage; return 0;
        case StudyOptions::Action::version: streams.out << "kalvex-study " << KALVEX_VERSION << '\n'; return 0;
        case StudyOptions::Action::listParameters: writeParameterList(streams.out); return 0;
        case StudyOptions::Action::listOutputs: writeOutputList(streams.out); return 0;
        case StudyOptions::Action::merge: return mergeShards(options, streams);
        case StudyOptions::Action::run: return runStudyFile(options, streams, cancel);
        }
    } catch (const std::exception& e) {
        streams.err << "kalvex-study: " << e.what() << '\n';
        if (cancel.load())
            return kExitCancelled;  // stopped, e.g. while waiting on a pipe for the study
    }
    return 1;
}

}  // namespace kalvex::batch
