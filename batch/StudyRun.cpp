#include "batch/StudyRun.h"

#include "batch/BatchOptions.h"
#include "batch/ProgressBar.h"
#include "batch/StudyOptions.h"
#include "batch/StudyTables.h"
#include "core/input/StartSequence.h"
#include "core/stepping/StepErrorEstimate.h"
#include "report/ReportFile.h"
#include "study/Parameters.h"
#include "study/ResultsJson.h"
#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"

#include <functional>
#include <memory>

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

// Sweep and tolerance: the rows of this shard, streamed to the CSV and the JSON.
bool runRowStudy(const Study& study, const StudyOptions& options, const StudyStreams& streams,
                 const std::atomic<bool>& cancel)
{
    const RowSet rows(study);
    const auto [first, last] = shardRows(rows.size(), options.shardIndex, options.shardCount);
    const bool tolerance = study.kind == StudyKind::tolerance;
    ToleranceAccumulator statistics(study.tolerance.limit);
    ToleranceSummary summary;  // tolerance: the statistics of the rows delivered, made once
    ProgressBar bar(streams.err, last - first, streams.errIsTerminal && !options.quiet);
    std::size_t delivered = 0;

    std::ostream* csvFallback = tolerance ? nullptr : &streams.out;
    withOutput(options.csvPath, csvFallback, [&](std::ostream& csv) {
        withOutput(options.jsonPath, nullptr, [&](std::ostream& json) {
            writeCsvHeader(csv, rows.varied());
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
                    writeCsvRow(csv, row);
                if (options.jsonPath)
                    json << (row.index == first ? "\n" : ",\n") << rowJson(row);
                if (tolerance)
                    statistics.add(row);
            });
            json << "\n]";
            if (tolerance) {
                summary = statistics.summary();
                json << ",\n\"summary\": " << toleranceSummaryJson(summary);
            }
            json << "\n}\n";
        });
    });
    bar.finish();
    const bool cancelled = delivered < last - first;
    if (tolerance && !options.quiet) {
        if (options.shardCount > 1)
            streams.out << "Shard " << options.shardIndex << " of " << options.shardCount << ": rows " << first + 1
                        << " to " << last << "\n";
        writeToleranceTable(streams.out, summary);
    }
    if (cancelled)
        streams.err << "Stopped: " << delivered << " of " << last - first << " runs finished and written\n";
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

int runStudyFile(const StudyOptions& options, const StudyStreams& streams, const std::atomic<bool>& cancel)
{
    const Study study = loadStudyFile(options.studyPath);
    if ((study.kind == StudyKind::solve || study.kind == StudyKind::fit) && options.shardCount > 1)
        throw StudyError(std::string("a ") + studyKindName(study.kind) + " study runs as a whole and takes no --shard");
    if (study.kind == StudyKind::sweep || study.kind == StudyKind::tolerance) {
        const bool finished = runRowStudy(study, options, streams, cancel);
        if (finished && options.errorEstimate)
            writeStepError(streams.out, "the base input", baseInput(study));
        return finished ? 0 : kExitCancelled;
    }

    try {
        std::string json;
        if (study.kind == StudyKind::solve) {
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

int mergeShards(const StudyOptions& options)
{
    std::vector<std::filesystem::path> shards(options.shardPaths.begin(), options.shardPaths.end());
    // A refused merge throws before the temporary file replaces the target: no file is left.
    withOutput(options.csvPath, nullptr, [&](std::ostream& out) { mergeShardFiles(shards, out); });
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
        case StudyOptions::Action::merge: return mergeShards(options);
        case StudyOptions::Action::run: return runStudyFile(options, streams, cancel);
        }
    } catch (const std::exception& e) {
        streams.err << "kalvex-study: " << e.what() << '\n';
    }
    return 1;
}

}  // namespace kalvex::batch
