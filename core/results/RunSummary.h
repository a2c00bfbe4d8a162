#pragma once
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"

#include <functional>
#include <string>

namespace kalvex {

using LineSink = std::function<void(const std::string&)>;

struct SummaryOptions {
    bool showGrains = true;   // "Show Number of Powder Grains"
    bool showEnergy = false;  // "Show Energy Losses"
};

// pmaxRow, burnoutRow and the three energy totals of a completed run.
void computeRunCharacteristics(const BallisticInput& input, RunResults& results);

// Computes the characteristics, then appends the summary block line by line.
void writeRunSummary(const BallisticInput& input, RunResults& results,
                     const SummaryOptions& options, const LineSink& appendLine);

}  // namespace kalvex
