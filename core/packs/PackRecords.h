#pragma once
// Records of numbers moved into packs and out, number by number: a record template whose
// every member is a V (Record<double> for one run, Record<V> for the runs of a pack) is read
// as an array of its numbers. A member added to such a record is packed without a line here.
#include "core/packs/Packs.h"

#include <array>
#include <bit>
#include <cstddef>

namespace kalvex {

// How many numbers Record holds; every member must be a V, with no padding between them.
template <template <class> class Record, class V>
constexpr std::size_t recordSize()
{
    constexpr std::size_t n = sizeof(Record<double>) / sizeof(double);
    static_assert(sizeof(Record<double>) == n * sizeof(double), "a record of numbers holds doubles only");
    static_assert(sizeof(Record<V>) == n * sizeof(V), "every number of the record is a V");
    return n;
}

// The pack whose element r is the record of run r, run(r).
template <class V, template <class> class Record, class Run>
[[gnu::always_inline]] inline Record<V> packRecords(Run&& run)
{
    constexpr std::size_t n = recordSize<Record, V>();
    std::array<std::array<double, n>, kPackWidth<V>> runs;
    for (std::size_t r = 0; r < kPackWidth<V>; ++r)
        runs[r] = std::bit_cast<std::array<double, n>>(static_cast<const Record<double>&>(run(r)));
    std::array<V, n> packed;
    for (std::size_t j = 0; j < n; ++j)
        packed[j] = packs::gather<V>([&](std::size_t r) { return runs[r][j]; });
    return std::bit_cast<Record<V>>(packed);
}

// Run r's record out of the pack.
template <class V, template <class> class Record>
[[gnu::always_inline]] inline Record<double> unpackRecord(const Record<V>& pack, std::size_t r)
{
    constexpr std::size_t n = recordSize<Record, V>();
    const auto packed = std::bit_cast<std::array<V, n>>(pack);
    std::array<double, n> run;
    for (std::size_t j = 0; j < n; ++j)
        run[j] = packs::at(packed[j], r);
    return std::bit_cast<Record<double>>(run);
}

}  // namespace kalvex
