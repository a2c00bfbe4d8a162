#include "vessel/ReducedRow.h"

#include "vessel/ReductionJson.h"

#include <ctime>
#include <filesystem>
#include <stdexcept>

namespace kalvex::vessel {

Propellant reducedPropellantRow(const std::string& name, const std::vector<Firing>& firings,
                                const std::vector<std::string>& sha256, const BallisticInput& propellant,
                                const ReductionOptions& options, const VesselReduction& reduction,
                                const std::string& date)
{
    if (sha256.size() != firings.size())
        throw std::invalid_argument("one checksum per firing");
    const BallisticInput reduced = reducedPropellant(reduction, propellant);
    Propellant row = propellantFromInput(reduced, name);
    row.temperatureCoefficients = reduced.temperatureCoefficients;
    PropellantMeasurement measurement;
    std::string files;
    for (std::size_t i = 0; i < firings.size(); ++i) {
        measurement.traces.push_back({firings[i].name, sha256[i]});
        files += (i ? ", " : "") + std::filesystem::path(firings[i].name).filename().string();
    }
    measurement.date = date;
    measurement.settings = reductionSettingsJson(options).dump();
    row.measurement = measurement;
    row.source = "closed-vessel firings reduced by kalvex-vessel on " + date.substr(0, 10) + ": " + files;
    return row;
}

std::string isoDateUtc(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace kalvex::vessel
