#include "python/OutputColumns.h"

#include <utility>

namespace kalvex::python {

OutputColumns::OutputColumns(std::vector<study::Parameter> variedParameters)
    : varied(std::move(variedParameters)), variedValues(varied.size())
{
}

void OutputColumns::reserve(std::size_t rows)
{
    run.reserve(rows);
    for (auto& column : variedValues)
        column.reserve(rows);
    for (auto& column : outputs)
        column.reserve(rows);
    messages.reserve(rows);
}

void OutputColumns::add(std::size_t index, const std::vector<double>& variedRow, const study::RunOutputs& row)
{
    run.push_back(static_cast<std::int64_t>(index) + 1);
    for (std::size_t v = 0; v < variedValues.size(); ++v)
        variedValues[v].push_back(variedRow[v]);
    for (std::size_t o = 0; o < outputs.size(); ++o)
        outputs[o].push_back(row.values[o]);
    messages.push_back(row.message);
}

}  // namespace kalvex::python
