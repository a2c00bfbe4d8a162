#pragma once
// The most rows a study's table may hold in memory, checked before anything is allocated: a
// row takes its numbers and its message, so a table beyond the cap would take gigabytes.
// A study of more rows streams them (kalvex-study -o, its shards, or Dask).
#include <cstddef>
#include <string>
#include <string_view>

namespace kalvex::study {

inline constexpr std::size_t kMaxPythonTableRows = 10'000'000;  // about 2 GB of columns
inline constexpr std::size_t kMaxWindowTableRows = 1'000'000;   // the window also keeps each row's text

// "" when `rows` fit under `cap`; else "a table of N rows (about G GB) is more than the C rows
// a table in HOLDER holds; stream the study instead: ..." naming `routes`.
std::string tableTooLarge(std::size_t rows, std::size_t columns, std::size_t cap, std::string_view holder,
                          std::string_view routes);

}  // namespace kalvex::study
