#include "SeriesHashes.h"

#include "CaseInput.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kalvex::test {

namespace {

// Grain sizes for one weapon, mm: each shape sized so that its charge burns in that barrel
// and the multi-perforated ones reach their sliver phase.
struct GrainSizes {
    int type;
    double D, L, P, SW;
};

constexpr GrainSizes kRifleGrains[] = {
    {1, 0.85, 0, 0, 0},        {2, 0.85, 1.5, 0.3, 0},   {3, 0.85, 1.5, 0, 0},
    {4, 0.85, 1.5, 0.3, 0},    {5, 0.85, 1.5, 0.3, 0.1}, {6, 1.2, 1.5, 0.15, 0},
    {7, 1.6, 1.8, 0.12, 0},
};
constexpr GrainSizes kHowitzerGrains[] = {
    {1, 8, 0, 0, 0},    {2, 8, 20, 2, 0},      {3, 8, 20, 0, 0},   {4, 10, 22, 2, 0},
    {5, 10, 22, 2, 0.5}, {6, 10, 22, 0.9, 0}, {7, 12, 22, 0.9, 0},
};

// Step factors: the case's own step, a finer one and a coarser one that is no power of two.
constexpr double kStepFactors[] = {1, 0.5, 1.7};

void addWeapon(std::vector<HashCase>& cases, const std::string& weapon, const std::string& caseName,
               const GrainSizes* grains)
{
    const BallisticInput base = inputFromCase(caseName);
    for (int g = 0; g < 7; ++g) {
        for (const bool heat : {true, false}) {
            for (int s = 0; s < 3; ++s) {
                BallisticInput in = base;
                in.grainType = grains[g].type;
                in.D = grains[g].D * 0.001;
                in.L = grains[g].L * 0.001;
                in.P = grains[g].P * 0.001;
                in.SW = grains[g].SW * 0.001;
                in.heatTransfer = heat;
                in.dt = base.dt * kStepFactors[s];
                cases.push_back({weapon + "/type" + std::to_string(grains[g].type) + (heat ? "/heat" : "/noheat") +
                                     "/step" + std::to_string(s),
                                 in});
            }
        }
    }
}

struct Fnv1a {
    std::uint64_t h = 14695981039346656037ull;
    void add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            h ^= bytes[i];
            h *= 1099511628211ull;
        }
    }
};

}  // namespace

std::vector<HashCase> seriesHashCases()
{
    std::vector<HashCase> cases;
    addWeapon(cases, "rifle", "rifle_tube", kRifleGrains);
    addWeapon(cases, "howitzer", "gun155_7perf", kHowitzerGrains);
    return cases;
}

std::uint64_t seriesHash(const RunResults& r, const StartOutcome& outcome)
{
    return seriesHashUpTo(r, outcome, r.stepCount);
}

std::uint64_t seriesHashUpTo(const RunResults& r, const StartOutcome& outcome, int last)
{
    Fnv1a f;
    const int end = static_cast<int>(outcome.end);
    f.add(&end, sizeof end);
    f.add(&outcome.dt, sizeof outcome.dt);
    f.add(&outcome.restarts, sizeof outcome.restarts);
    f.add(&r.stepCount, sizeof r.stepCount);
    for (const ResultSeries& s : r.series)
        f.add(s.data(), sizeof(double) * static_cast<std::size_t>(last + 1));
    return f.h;
}

std::string seriesHashFile()
{
    return std::string(KALVEX_TEST_DATA) + "/series-hashes.txt";
}

std::map<std::string, std::uint64_t> committedSeriesHashes()
{
    std::ifstream in(seriesHashFile());
    if (!in)
        throw std::runtime_error("missing " + seriesHashFile());
    std::map<std::string, std::uint64_t> hashes;
    std::string name, hex;
    while (in >> name >> hex)
        hashes[name] = std::stoull(hex, nullptr, 16);
    return hashes;
}

}  // namespace kalvex::test
