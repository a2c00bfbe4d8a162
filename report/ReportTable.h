#pragma once
// The time table of a saved report, read back so that an earlier run can be drawn beside a
// new one. The table lists every n-th entry with eleven quantities at the precision of its
// columns (the time with three decimals), not the 23 series of the run.
#include "core/results/RunResults.h"

#include <array>
#include <cstddef>
#include <istream>
#include <optional>
#include <vector>

namespace kalvex::report {

struct ReportTable {
    static constexpr std::size_t kColumnCount = 11;
    // The columns in the order of the table's heading.
    static constexpr std::array<SeriesId, kColumnCount> kColumns{
        SeriesId::time,          SeriesId::burnedFraction,   SeriesId::travel,
        SeriesId::velocity,      SeriesId::meanPressure,     SeriesId::meanTemperature,
        SeriesId::wallTemperature, SeriesId::breechPressure, SeriesId::basePressure,
        SeriesId::gasPressureAhead, SeriesId::recoilVelocity};

    std::vector<std::array<double, kColumnCount>> rows;  // in file order, display units

    static bool holds(SeriesId series);
    // The values of one column; empty when the table does not hold the series.
    std::vector<double> column(SeriesId series) const;
};

// The rows after the heading " * Time Progress *" and its line of hyphens, up to the first
// line that is not a row of eleven numbers. Nothing when the text has no such table or no row.
std::optional<ReportTable> readReportTable(std::istream& in);

}  // namespace kalvex::report
