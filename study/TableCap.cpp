#include "study/TableCap.h"

#include <cmath>

namespace kalvex::study {

std::string tableTooLarge(std::size_t rows, std::size_t columns, std::size_t cap, std::string_view holder,
                          std::string_view routes)
{
    if (rows <= cap)
        return {};
    constexpr double kRowOverheadBytes = 64;  // the message and the row's bookkeeping
    const double gigabytes = static_cast<double>(rows) * (8.0 * static_cast<double>(columns) + kRowOverheadBytes) / 1e9;
    return "a table of " + std::to_string(rows) + " rows (about " +
           std::to_string(static_cast<long long>(std::ceil(gigabytes))) + " GB) is more than the " +
           std::to_string(cap) + " rows a table in " + std::string(holder) + " holds; stream the study instead: " +
           std::string(routes);
}

}  // namespace kalvex::study
