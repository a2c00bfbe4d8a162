// kalvex-vessel: closed-vessel firings simulated by the model, and measured pressure traces
// reduced to the propellant's force, covolume and burning law.
#include "study/StudyJson.h"
#include "vessel/BurningRate.h"
#include "vessel/ForceCovolume.h"
#include "vessel/TraceCsv.h"
#include "vessel/VesselSimulation.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kalvex::vessel;

constexpr double kCubicCentimetre = 1e-6;  // m^3
constexpr double kGram = 1e-3;             // kg
constexpr double kMicrosecond = 1e-6;      // s
constexpr double kMegapascal = 1e6;        // Pa

struct SimulateOptions {
    std::string input, output;
    double volume = 200, charge = 30, step = 1, sample = 10;  // cm^3, g, us, us
    double igniter = -1;  // g; negative: the report file's
    bool heatLoss = false;
};

struct Firing {
    std::string file;
    double volume = 0, charge = 0;  // cm^3, g
};

struct ReduceOptions {
    std::string input, timeUnit, pressureUnit;
    std::vector<std::string> firings;  // FILE,VOLUME_CM3,CHARGE_G
    std::vector<double> pLow{0};      // MPa
    double igniter = -1;              // g; negative: the report file's
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

Firing parseFiring(const std::string& text)
{
    Firing f;
    std::istringstream in(text);
    std::string volume, charge;
    if (!std::getline(in, f.file, ',') || !std::getline(in, volume, ',') || !std::getline(in, charge))
        throw std::runtime_error("a firing is FILE,VOLUME_CM3,CHARGE_G: " + text);
    f.volume = std::stod(volume);
    f.charge = std::stod(charge);
    return f;
}

int reduce(const ReduceOptions& o)
{
    std::vector<Firing> firings;
    std::vector<PressureTrace> traces;
    std::vector<MaxPressureFiring> peaks;
    const ReductionSettings settings;
    for (const std::string& text : o.firings) {
        firings.push_back(parseFiring(text));
        std::ifstream in(firings.back().file);
        if (!in)
            throw std::runtime_error("cannot read " + firings.back().file);
        traces.push_back(readTraceCsv(in, {o.timeUnit, o.pressureUnit}));
        const VesselSetup s = setupFrom(o.input, firings.back().volume, firings.back().charge, o.igniter);
        const ReducedTrace r = reduceTrace(traces.back(), s, settings);
        peaks.push_back({s.volume, s.chargeMass, r.maxPressure});
        std::cout << firings.back().file << ": loading density " << s.loadingDensity() << " kg/m^3, pmax "
                  << r.maxPressure / kMegapascal << " MPa (smoothed)\n";
    }
    VesselSetup base = setupFrom(o.input, 1, 1, o.igniter);
    const IgniterGas igniter{base.charge.CI, base.charge.FI, base.charge.bI};
    bool distinct = false;
    for (const MaxPressureFiring& p : peaks)
        distinct = distinct || p.chargeMass / p.volume != peaks[0].chargeMass / peaks[0].volume;
    double force = base.charge.F, covolume = base.charge.b;
    if (distinct) {
        const ForceCovolume fc = reduceForceCovolume(peaks, igniter);
        force = fc.force;
        covolume = fc.covolume;
        std::cout << "F = " << fc.force << " J/kg (standard error " << fc.forceError << ")\n"
                  << "b = " << fc.covolume << " m^3/kg (standard error " << fc.covolumeError << ")\n";
    } else {
        std::cout << "one loading density: F and b taken from " << o.input << "\n";
    }
    std::vector<RatePoint> rates;
    for (std::size_t i = 0; i < firings.size(); ++i) {
        VesselSetup s = setupFrom(o.input, firings[i].volume, firings[i].charge, o.igniter);
        s.charge.F = force;
        s.charge.b = covolume;
        const ReducedTrace r = reduceTrace(traces[i], s, settings);
        rates.insert(rates.end(), r.rates.begin(), r.rates.end());
    }
    std::vector<double> pLow;
    for (double p : o.pLow)
        pLow.push_back(p * kMegapascal);
    for (const LawSegment& s : fitBurningLaw(rates, pLow))
        std::cout << "pLow = " << s.pLow / kMegapascal << " MPa: beta = " << s.beta << " m/s/Pa^alpha (+- "
                  << s.betaError << "), alpha = " << s.alpha << " (+- " << s.alphaError << "), " << s.points
                  << " points\n";
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
    reduceCommand->add_option("--firing", red.firings, "FILE,VOLUME_CM3,CHARGE_G (repeat per firing)")->required();
    reduceCommand->add_option("--time-unit", red.timeUnit, "s, ms or us (else from the header)");
    reduceCommand->add_option("--pressure-unit", red.pressureUnit, "Pa, kPa, MPa or bar (else from the header)");
    reduceCommand->add_option("--igniter", red.igniter, "igniter mass, g (else the report file's)");
    reduceCommand->add_option("--p-low", red.pLow, "lower pressure of each law segment, MPa, ascending");
    CLI11_PARSE(app, argc, argv);
    try {
        return simulateCommand->parsed() ? simulate(sim) : reduce(red);
    } catch (const std::exception& error) {
        std::cerr << "kalvex-vessel: " << error.what() << "\n";
        return 1;
    }
}
