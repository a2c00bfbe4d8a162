// kalvex-vessel: closed-vessel firings simulated by the model, and measured pressure traces
// reduced to the propellant's force, covolume and burning law.
#include "study/StudyJson.h"
#include "vessel/Reduction.h"
#include "vessel/ReductionText.h"
#include "vessel/Resimulation.h"
#include "vessel/TraceCsv.h"
#include "vessel/VesselSimulation.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kalvex::vessel;

constexpr double kCubicCentimetre = 1e-6;  // m^3
constexpr double kGram = 1e-3;             // kg
constexpr double kMicrosecond = 1e-6;      // s
constexpr double kMegapascal = 1e6;        // Pa
constexpr double kMillisecond = 1e-3;      // s

struct SimulateOptions {
    std::string input, output;
    double volume = 200, charge = 30, step = 1, sample = 10;  // cm^3, g, us, us
    double igniter = -1;  // g; negative: the report file's
    bool heatLoss = false;
};

struct ReduceOptions {
    std::string input, timeUnit, pressureUnit;
    std::vector<std::string> firings;  // FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]]
    std::vector<double> pLow{0};      // MPa
    int segments = 0;                 // > 0: bounds found
    double igniter = -1;              // g; negative: the report file's
    std::optional<double> referenceTemperature;  // °C
    bool ignitionAtZero = false, ratesOnly = false, keepGas = false;
    ReductionSettings settings;
};

// A gun's igniter fills a vessel of a few hundred cm^3 on its own: the vessel's is given apart.
VesselSetup setupFrom(const std::string& input, double volumeCm3, double chargeG, double igniterG)
{
    VesselSetup s;
    s.charge = kalvex::study::readBaseReport(input);
    if (igniterG >= 0)
        s.charge.CI = igniterG * kGram;
    s.volume = volumeCm3 * kCubicCentimetre;
    s.chargeMass = chargeG * kGram;
    return s;
}

int simulate(const SimulateOptions& o)
{
    VesselSetup s = setupFrom(o.input, o.volume, o.charge, o.igniter);
    s.dt = o.step * kMicrosecond;
    s.sampleInterval = o.sample * kMicrosecond;
    s.heatLoss = o.heatLoss;
    const VesselTrace trace = simulateVessel(s);
    std::ofstream out(o.output);
    writeTraceCsv(out, trace);
    if (!out)
        throw std::runtime_error("cannot write " + o.output);
    double pmax = 0;
    for (double p : trace.pressure)
        pmax = std::max(pmax, p);
    std::cout << "loading density " << s.loadingDensity() << " kg/m^3, maximum pressure " << pmax / kMegapascal
              << " MPa, " << trace.time.size() << " samples written to " << o.output << "\n";
    return 0;
}

// An empty field is no value: "a.csv,200,40,,1.5,20" has no temperature.
std::optional<double> optionalNumber(const std::string& field, const std::string& text)
{
    if (field.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(field, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || field.find_first_not_of(" \t", used) != std::string::npos)
        throw std::runtime_error("\"" + field + "\" is not a number in the firing " + text);
    return value;
}

Firing parseFiring(const std::string& text, const TraceUnits& units)
{
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (!text.empty() && text.back() == ',')
        fields.emplace_back();  // getline does not return the empty last field
    if (fields.size() < 3 || fields.size() == 5 || fields.size() > 6)
        throw std::runtime_error("a firing is FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]]: " + text);
    Firing f;
    f.name = fields[0];
    const auto volume = optionalNumber(fields[1], text), charge = optionalNumber(fields[2], text);
    if (!volume || !charge || !(*volume > 0) || !(*charge > 0))
        throw std::runtime_error("a firing needs a positive volume and charge: " + text);
    f.volume = *volume * kCubicCentimetre;
    f.chargeMass = *charge * kGram;
    if (fields.size() > 3)
        f.chargeTemperature = optionalNumber(fields[3], text);
    if (fields.size() > 4) {
        if (const auto start = optionalNumber(fields[4], text))
            f.trim.start = *start * kMillisecond;
        if (const auto end = optionalNumber(fields[5], text))
            f.trim.end = *end * kMillisecond;
    }
    std::ifstream file(f.name);
    if (!file)
        throw std::runtime_error("cannot read " + f.name);
    f.trace = readTraceCsv(file, units);
    return f;
}

int reduce(const ReduceOptions& o)
{
    std::vector<Firing> firings;
    for (const std::string& text : o.firings)
        firings.push_back(parseFiring(text, {o.timeUnit, o.pressureUnit}));
    const kalvex::BallisticInput propellant = setupFrom(o.input, 1, 1, o.igniter).charge;
    ReductionOptions options;
    options.trace = o.settings;
    // The first segment starts at 0, as the model's does: bounds given without it get it.
    options.pLow.assign(1, 0.0);
    for (double p : o.pLow)
        if (p > 0)
            options.pLow.push_back(p * kMegapascal);
    options.foundSegments = o.segments;
    options.referenceTemperature = o.referenceTemperature;
    options.ignitionAtZero = o.ignitionAtZero;
    options.fitTraces = !o.ratesOnly;
    options.fitGas = !o.keepGas;
    const VesselReduction reduction = reduceFirings(firings, propellant, options);
    std::vector<ResimulatedTrace> again;
    for (std::size_t i = 0; i < firings.size(); ++i)
        again.push_back(resimulateFiring(firings, i, reduction, propellant));
    std::cout << reductionText(firings, reduction, again);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"kalvex-vessel: closed-vessel firings simulated and reduced"};
    app.require_subcommand(1);
    SimulateOptions sim;
    CLI::App* simulateCommand = app.add_subcommand("simulate", "simulate a firing into a CSV trace");
    simulateCommand->add_option("--input", sim.input, "report file with the propellant, igniter and grain")->required();
    simulateCommand->add_option("--volume", sim.volume, "vessel volume, cm^3");
    simulateCommand->add_option("--charge", sim.charge, "propellant mass, g");
    simulateCommand->add_option("--step", sim.step, "integration step, us");
    simulateCommand->add_option("--sample", sim.sample, "sample interval, us");
    simulateCommand->add_option("--igniter", sim.igniter, "igniter mass, g (else the report file's)");
    simulateCommand->add_flag("--heat-loss", sim.heatLoss, "the vessel wall takes heat");
    simulateCommand->add_option("-o,--output", sim.output, "CSV file to write")->required();
    ReduceOptions red;
    CLI::App* reduceCommand = app.add_subcommand("reduce", "reduce CSV traces to force, covolume and burning law");
    reduceCommand->add_option("--input", red.input, "report file with the propellant's density, igniter and grain")
        ->required();
    reduceCommand
        ->add_option("--firing", red.firings,
                     "FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]] (repeat per firing; empty fields: "
                     "the reference temperature, the trimming rules)")
        ->required();
    reduceCommand->add_option("--time-unit", red.timeUnit, "s, ms or us (else from the header)");
    reduceCommand->add_option("--pressure-unit", red.pressureUnit, "Pa, kPa, MPa or bar (else from the header)");
    reduceCommand->add_option("--igniter", red.igniter, "igniter mass, g (else the report file's)");
    reduceCommand->add_option("--p-low", red.pLow, "lower pressure of each law segment above the first (which starts at 0), MPa, ascending");
    reduceCommand->add_option("--segments", red.segments, "find the bounds of this many segments")
        ->excludes("--p-low")->check(CLI::Range(1, 8));
    reduceCommand->add_option("--reference-temperature", red.referenceTemperature,
                              "temperature of F, b and the law, \u00b0C (else 21, or the firings' nearest to it)");
    reduceCommand->add_flag("--ignition-at-zero", red.ignitionAtZero,
                            "the traces' clocks start at ignition (else each one's start is fitted)");
    reduceCommand->add_flag("--rates-only", red.ratesOnly, "the law fitted to the rates alone, not refined on the traces");
    reduceCommand->add_flag("--keep-gas", red.keepGas, "F and b from the maximum pressures only, not refined on the traces");
    ReductionSettings& rules = red.settings;
    reduceCommand->add_option("--smoothing", rules.smoothingHalfWidth, "samples each side of the Gaussian window")
        ->check(CLI::Range(1, 100000))->capture_default_str();
    reduceCommand->add_option("--smoothing-alpha", rules.smoothingAlpha, "window half-width over the Gaussian's deviation")
        ->check(CLI::PositiveNumber)->capture_default_str();
    reduceCommand->add_option("--difference-span", rules.differenceSpan, "samples each side of a central difference")
        ->check(CLI::Range(1, 100000))->capture_default_str();
    reduceCommand->add_option("--ignition-fraction", rules.ignitionFraction, "the trace starts above this * pmax")
        ->check(CLI::Range(0.0, 1.0))->capture_default_str();
    reduceCommand->add_option("--low-fraction", rules.lowFraction, "rates kept above this * pmax")
        ->check(CLI::Range(0.0, 1.0))->capture_default_str();
    reduceCommand->add_option("--high-fraction", rules.highFraction, "rates kept below this * pmax")
        ->check(CLI::Range(0.0, 1.0))->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    try {
        return simulateCommand->parsed() ? simulate(sim) : reduce(red);
    } catch (const std::exception& error) {
        std::cerr << "kalvex-vessel: " << error.what() << "\n";
        return 1;
    }
}
