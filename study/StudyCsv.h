#pragma once
// The table of a study's rows: header `name [unit]`, one row per run in row order, the run
// number (1-based) and the varied values first, then the outputs, then the message; a point
// as decimal separator whatever the locale, numbers as the shortest text that reads back
// to the same double.
#include "core/stepping/Integrator.h"
#include "study/Executor.h"

#include <filesystem>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::study {

// A column's heading, `name [unit]`, as the table and the command's printed lists write it.
std::string columnName(std::string_view name, std::string_view unit);

// A study integrated adaptively adds an `integrator [-]` column before the message, the
// method and its tolerances in each row, so that its rows say how they were made; a study on
// the fixed step has no such column and keeps the table it always had.
inline constexpr std::string_view kIntegratorColumn = "integrator [-]";  // text, like the message
std::vector<std::string> csvColumns(const std::vector<Parameter>& varied, const IntegratorChoice& integrator = {});
void writeCsvHeader(std::ostream& out, const std::vector<Parameter>& varied, const IntegratorChoice& integrator = {});
void writeCsvRow(std::ostream& out, const RowResult& row, const IntegratorChoice& integrator = {});

// Reads back rows that writeCsvRow wrote, under the header of `varied`, and hands each to
// `sink` as the row the run gave: its outputs (empty cells as NaN) and message; a run that
// stopped at the pressure limit is known by its message. StudyError when the header is not
// that of the study or a row cannot be read.
void readCsvRows(std::istream& in, const std::vector<Parameter>& varied, const std::function<void(const RowResult&)>& sink,
                 const IntegratorChoice& integrator = {});

}  // namespace kalvex::study
