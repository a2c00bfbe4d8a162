#pragma once
// The study the study benchmarks share: tolerance samples of the rifle example, drawn around
// its charge mass, burning-rate coefficient and projectile mass. The benchmark's CMake entry
// defines KALVEX_EXAMPLES_DIR.
#include "study/Rows.h"
#include "study/StudyJson.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kalvex::bench {

inline study::Study rifleTolerance(long long samples)
{
    return study::studyFromJsonText(R"({"kind": "tolerance", "base": "rifle-7.62mm.txt", "tolerance": {
        "parameters": [{"parameter": "C", "sigma": 0.00002}, {"parameter": "beta", "sigma": 1e-10},
                       {"parameter": "mp", "distribution": "uniform", "halfWidth": 0.00005}],
        "samples": )" + std::to_string(samples) + R"(, "seed": 1}})",
                                    std::filesystem::path(KALVEX_EXAMPLES_DIR));
}

// The input set of every row, for running them without the study engine.
inline std::vector<BallisticInput> rowInputs(const study::RowSet& rows)
{
    std::vector<BallisticInput> inputs(rows.size());
    std::vector<double> varied;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows.row(i, inputs[i], varied);
    return inputs;
}

}  // namespace kalvex::bench
