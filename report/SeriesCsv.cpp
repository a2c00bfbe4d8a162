#include "report/SeriesCsv.h"

#include "core/results/SeriesVocabulary.h"

#include <charconv>
#include <cmath>

namespace kalvex::report {

std::string csvNumber(double value)
{
    if (std::isnan(value))
        return {};
    char text[32];
    // std::to_chars never consults the locale: always a point, and the shortest round trip.
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

void writeSeriesCsv(std::ostream& out, const RunResults& run)
{
    // A mixed charge adds the burned fraction of each component after the 23 series.
    const std::size_t components = run.componentBurnedFraction.size() > 1 ? run.componentBurnedFraction.size() : 0;
    for (std::size_t s = 0; s < kSeriesInfo.size(); ++s)
        out << (s ? "," : "") << kSeriesInfo[s].name << " [" << kSeriesInfo[s].unit << ']';
    for (std::size_t c = 0; c < components; ++c)
        out << ',' << componentSeriesName(c) << " [-]";
    out << '\n';
    for (int k = 0; k <= run.stepCount; ++k) {
        const auto entry = static_cast<std::size_t>(k);
        for (std::size_t s = 0; s < kSeriesInfo.size(); ++s)
            out << (s ? "," : "") << csvNumber(run.series[s][entry]);
        for (std::size_t c = 0; c < components; ++c)
            out << ',' << csvNumber(run.componentBurnedFraction[c][entry]);
        out << '\n';
    }
}

}  // namespace kalvex::report
