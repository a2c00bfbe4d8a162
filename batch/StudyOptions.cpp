#include "batch/StudyOptions.h"

#include "batch/BatchOptions.h"
#include "study/Executor.h"

#include <CLI/CLI.hpp>
#include <charconv>

namespace kalvex::batch {

namespace {

// "I/N" with 1 <= I <= N.
void parseShard(const std::string& text, StudyOptions& options)
{
    const auto slash = text.find('/');
    std::size_t i = 0, n = 0;
    const char* s = text.data();
    const bool ok = slash != std::string::npos &&
                    std::from_chars(s, s + slash, i).ptr == s + slash &&
                    std::from_chars(s + slash + 1, s + text.size(), n).ptr == s + text.size();
    if (!ok || i < 1 || n < 1 || i > n)
        throw UsageError("--shard wants I/N with 1 <= I <= N, got " + text);
    options.shardIndex = i;
    options.shardCount = n;
}

}  // namespace

StudyOptions parseStudyArguments(const std::vector<std::string>& args)
{
    StudyOptions options;
    CLI::App app{"Runs a design study of the interior ballistic model: a sweep, a solve for one or two\n"
                 "targets, a fit to measured firings, a tolerance analysis, an optimisation within limits\n"
                 "or sensitivity indices, described by a JSON study file (its keys: study-file.md in\n"
                 "share/doc/kalvex of the installation, docs/ of the source).",
                 "kalvex-study"};
    app.footer("kalvex-study merge SHARD.csv... -o RESULTS.csv [--study STUDY.json] joins the CSV files of\n"
               "--shard runs (and with --study makes the statistics or indices from them).\n"
               "Exit status: 0 when done, 1 after an error (its message on standard error),\n"
               "130 when stopped by Ctrl+C (the finished rows are written).");
    app.set_help_flag();  // --help is read below, so that the usage text is ours to print
    bool help = false, version = false, listParameters = false, listOutputs = false;
    std::string shard;
    app.add_flag("-h,--help", help, "print this help");
    app.add_flag("--version", version, "print the program's version");
    app.add_option("STUDY", options.studyPath, "the study file (JSON)");
    app.add_option("-o", options.csvPath, "write the rows to this CSV file (sweep: standard output without it; optimize and a "
                   "two-target solve: the runs of the search)")
        ->option_text("RESULTS.csv");
    app.add_option("--json", options.jsonPath, "write the rows and the results as JSON")->option_text("RESULTS.json");
    app.add_option("--threads", options.threads,
                   "threads to run on, 1 to " + std::to_string(study::kMaxThreads) + " (default: every core)");
    app.add_option("--shard", shard, "run only shard I of N of the rows (I from 1)")->option_text("I/N");
    app.add_flag("--quiet", options.quiet, "no progress bar and no table on standard output");
    app.add_flag("--error-estimate", options.errorEstimate,
                 "also run the base input (a solve or fit: the solution) at half the step and print "
                 "the step-size error of its peak pressure, muzzle velocity and burnout");
    app.add_flag("--list-parameters", listParameters, "name each parameter with its caption and unit");
    app.add_flag("--list-outputs", listOutputs, "name the output columns");
    CLI::App* merge = app.add_subcommand("merge", "join shard CSV files into the file one run would write");
    // The merge's own help; its files are required only when it is not asked for (checked below).
    bool mergeHelp = false;
    merge->set_help_flag();
    merge->add_flag("-h,--help", mergeHelp, "print this help");
    merge->add_option("SHARD", options.shardPaths, "the shard files, each written by a --shard I/N run");
    merge->add_option("-o", options.csvPath, "the merged CSV file (required)")->option_text("RESULTS.csv");
    merge->add_option("--study", options.studyForMerge,
                      "the study the shards ran: print its statistics (tolerance) or indices (sensitivity) "
                      "from the merged rows")
        ->option_text("STUDY.json");
    merge->add_option("--json", options.jsonPath, "write those statistics or indices as JSON")->option_text("RESULTS.json");
    options.usage = app.help();

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        throw UsageError(e.what());
    }
    if (help)
        options.action = StudyOptions::Action::help;
    else if (version)
        options.action = StudyOptions::Action::version;
    else if (listParameters)
        options.action = StudyOptions::Action::listParameters;
    else if (listOutputs)
        options.action = StudyOptions::Action::listOutputs;
    else if (merge->parsed() && mergeHelp) {
        options.action = StudyOptions::Action::help;
        options.usage = merge->help();
    } else if (merge->parsed()) {
        options.action = StudyOptions::Action::merge;
        if (options.shardPaths.empty())
            throw UsageError("merge: SHARD is required");
        if (!options.csvPath)
            throw UsageError("merge: -o is required");
    }
    else if (options.studyPath.empty())
        throw UsageError("No study file given");
    if (!shard.empty())
        parseShard(shard, options);
    if (options.threads < 0 || options.threads > study::kMaxThreads)
        throw UsageError("--threads wants 1 to " + std::to_string(study::kMaxThreads) + " (0 or none: every core), got " +
                         std::to_string(options.threads));
    return options;
}

}  // namespace kalvex::batch
