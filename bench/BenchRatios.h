#pragma once
// Figures that only mean something side by side: a reporter that prints, after the usual
// table, the ratio or the difference of two benchmarks measured in the same run, so that the
// load of the machine weighs on both alike.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::bench {

struct Comparison {
    std::string label;        // what the figure is
    std::string numerator;    // benchmark name
    std::string denominator;  // benchmark name
    std::string counter;      // counter compared; "cpu" or "real" for the time per iteration (ms)
    bool difference = false;  // numerator - denominator instead of numerator / denominator
    double target = 0;        // the figure should stay at or below it; 0: no target
};

class ComparingReporter : public benchmark::ConsoleReporter {
public:
    explicit ComparingReporter(std::vector<Comparison> comparisons) : comparisons_(std::move(comparisons)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // the median when repeated, else the single run
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            std::map<std::string, double>& figures = figures_[run.run_name.function_name];
            for (const auto& [name, counter] : run.counters)
                figures[name] = counter.value;
            figures["cpu"] = run.GetAdjustedCPUTime() * toMillisecond(run.time_unit);
            figures["real"] = run.GetAdjustedRealTime() * toMillisecond(run.time_unit);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Comparison& c : comparisons_) {
            const auto a = find(c.numerator, c.counter);
            const auto b = find(c.denominator, c.counter);
            if (!a || !b) {
                std::printf("%s: not measured\n", c.label.c_str());
                continue;
            }
            const double figure = c.difference ? *a - *b : *a / *b;
            if (c.target > 0)
                std::printf("%-58s %10.3f  (target <= %g: %s)\n", c.label.c_str(), figure, c.target,
                            figure <= c.target ? "met" : "NOT met");
            else
                std::printf("%-58s %10.3f\n", c.label.c_str(), figure);
        }
    }

private:
    static double toMillisecond(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond: return 1e-6;
        case benchmark::kMicrosecond: return 1e-3;
        case benchmark::kMillisecond: return 1;
        default: return 1e3;
        }
    }

    const double* find(const std::string& name, const std::string& counter) const
    {
        const auto run = figures_.find(name);
        if (run == figures_.end())
            return nullptr;
        const auto figure = run->second.find(counter);
        return figure == run->second.end() ? nullptr : &figure->second;
    }

    std::vector<Comparison> comparisons_;
    std::map<std::string, std::map<std::string, double>> figures_;
};

// Runs the registered benchmarks and prints the comparisons after them. Unless the command
// line says otherwise, each benchmark is repeated `repetitions` times with the repetitions of
// all of them interleaved at random, and the medians are compared: the load of a shared
// machine then weighs on both sides of a ratio alike.
inline int runComparing(int argc, char** argv, std::vector<Comparison> comparisons, int repetitions = 1)
{
    std::vector<std::string> extra;
    if (repetitions > 1) {
        extra.push_back("--benchmark_repetitions=" + std::to_string(repetitions));
        extra.push_back("--benchmark_enable_random_interleaving=true");
    }
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, extra.size(), nullptr);
    for (std::size_t i = 0; i < extra.size(); ++i)
        args[1 + i] = extra[i].data();  // options given later on the command line win
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ComparingReporter reporter(std::move(comparisons));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace kalvex::bench
