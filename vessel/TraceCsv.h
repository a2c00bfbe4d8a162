#pragma once
// Pressure traces as CSV files: a header line, then one sample a line, time and pressure in
// the first two columns. The units come from the header ("time [ms],pressure [MPa]") unless
// given; accepted: s, ms, us for time, Pa, kPa, MPa, bar for pressure.
#include "vessel/BurningRate.h"
#include "vessel/VesselSimulation.h"

#include <iosfwd>
#include <string>

namespace kalvex::vessel {

struct TraceUnits {
    std::string time;      // empty: from the header, else s if the header names none
    std::string pressure;  // empty: from the header, else MPa
};

// Throws std::runtime_error naming the line of a malformed row or an unknown unit.
PressureTrace readTraceCsv(std::istream& in, const TraceUnits& units = {});

// time [ms], pressure [MPa], dp/dt [MPa/ms], burned fraction.
void writeTraceCsv(std::ostream& out, const VesselTrace& trace);
// time [ms], pressure [MPa]: a trace as a measurement gives it (dp/dt and Z are not measured).
void writeTraceCsv(std::ostream& out, const PressureTrace& trace);

}  // namespace kalvex::vessel
