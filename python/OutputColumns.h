#pragma once
// The rows of runs gathered column by column, as the Python table holds them: the run
// number and the varied values of a study, each output of the study's output table, and
// the message (empty for a run that reached the muzzle).
#include "study/Executor.h"
#include "study/Outputs.h"
#include "study/Parameters.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvex::python {

struct OutputColumns {
    std::vector<study::Parameter> varied;
    std::vector<std::int64_t> run;                       // 1-based, as the CSV counts
    std::vector<std::vector<double>> variedValues;       // one column per varied parameter
    std::array<std::vector<double>, study::kOutputCount> outputs;
    std::vector<std::string> messages;

    explicit OutputColumns(std::vector<study::Parameter> variedParameters = {});
    void reserve(std::size_t rows);
    void add(std::size_t index, const std::vector<double>& variedRow, const study::RunOutputs& row);
    void add(const study::RowResult& row) { add(row.index, row.varied, row.outputs); }
};

}  // namespace kalvex::python
