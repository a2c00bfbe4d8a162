// kalvex-vessel: closed-vessel firings simulated by the model, and measured pressure traces
// reduced to the propellant's force, covolume, burning law and temperature coefficients.
#include "vessel/cli/VesselCommands.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <clocale>
#include <exception>
#include <iostream>
#include <memory>

namespace {

using namespace kalvex::vessel::cli;
using kalvex::vessel::TypedHeatLoss;
using kalvex::vessel::TypedReduction;

constexpr double kAbsoluteZero = -273.15;  // °C
constexpr double kHottestWall = 1000;      // °C: a steel wall glows long before

void addHeatLoss(CLI::App* c, TypedHeatLoss& o)
{
    c->add_option("--heat-loss", o.coefficient,
                  "heat lost to the wall by Newton's law, its coefficient h in W/m^2/K (0: none)")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    c->add_option("--inner-diameter", o.innerDiameter, "inner diameter of the vessel's cylinder (its wall area), mm")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    c->add_option("--wall-temperature", o.wallTemperature, "temperature of the vessel's wall, \u00b0C")
        ->check(CLI::Range(kAbsoluteZero, kHottestWall))
        ->capture_default_str();
}

CLI::App* addSimulate(CLI::App& app, SimulateOptions& o)
{
    CLI::App* c = app.add_subcommand("simulate", "simulate a firing into a CSV trace");
    c->add_option("--input", o.input, "report or input file (.json) with the propellant, igniter and grain")->required();
    c->add_option("--volume", o.volume, "vessel volume, cm^3")->capture_default_str();
    c->add_option("--charge", o.charge, "propellant mass, g")->capture_default_str();
    c->add_option("--step", o.step, "integration step, us")->capture_default_str();
    c->add_option("--sample", o.sample, "sample interval, us")->capture_default_str();
    c->add_option("--igniter", o.igniter, "igniter mass, g (else the input file's)");
    c->add_option("--temperature", o.temperature, "charge temperature, \u00b0C (the input file's coefficients)");
    addHeatLoss(c, o.heatLoss);
    c->add_option("--after-burnout", o.afterBurnout, "recorded past burnout, ms")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    c->add_option("--noise", o.noise, "Gaussian noise added to p, its deviation a fraction of p (0.005: 0.5 %)")
        ->check(CLI::Range(0.0, 0.5));
    c->add_option("--seed", o.seed, "seed of the noise")->capture_default_str();
    c->add_option("-o,--output", o.output, "CSV file to write")->required();
    c->add_option("--pictures", o.pictures, "folder for the pictures of p, dp/dt and Z over time");
    c->add_option("--picture-format", o.pictureFormat, "png or svg")->check(CLI::IsMember({"png", "svg"}));
    return c;
}

CLI::App* addReduce(CLI::App& app, ReduceOptions& o)
{
    CLI::App* c = app.add_subcommand("reduce", "reduce CSV traces to force, covolume and burning law");
    c->add_option("--input", o.input, "report or input file (.json) with the propellant's density, igniter and grain")
        ->required();
    c->add_option("--firing", o.firings,
                  "FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]] (repeat per firing; empty fields: "
                  "the reference temperature, the trimming rules)")
        ->required();
    c->add_option("--time-unit", o.timeUnit, "s, ms or us (else from the header)");
    c->add_option("--pressure-unit", o.pressureUnit, "Pa, kPa, MPa or bar (else from the header)");
    c->add_option("--igniter", o.igniter, "igniter mass, g (else the input file's)");
    TypedReduction& r = o.reduction;
    c->add_option("--p-low", r.pLow, "lower pressure of each law segment above the first (which starts at 0), MPa");
    c->add_option("--segments", r.segments, "find the bounds of this many segments")
        ->excludes("--p-low")
        ->check(CLI::Range(1, 8));
    c->add_option("--reference-temperature", r.referenceTemperature,
                  "temperature of F, b and the law, \u00b0C (else 21, or the firings' nearest to it)");
    c->add_flag("--ignition-at-zero", r.ignitionAtZero, "the traces' clocks start at ignition (else fitted)");
    c->add_flag("--rates-only", r.ratesOnly, "the law fitted to the rates alone, not refined on the traces");
    c->add_flag("--keep-gas", r.keepGas, "F and b from the maximum pressures only, not refined on the traces");
    addHeatLoss(c, r.heatLoss);
    kalvex::vessel::ReductionSettings& rules = r.settings;
    c->add_option("--smoothing", rules.smoothingHalfWidth, "samples each side of the Gaussian window")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    c->add_option("--smoothing-alpha", rules.smoothingAlpha, "window half-width over the Gaussian's deviation")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    c->add_option("--difference-span", rules.differenceSpan, "samples each side of a central difference")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    c->add_option("--ignition-fraction", rules.ignitionFraction, "the trace starts above this * pmax")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    c->add_option("--low-fraction", rules.lowFraction, "rates kept above this * pmax")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    c->add_option("--high-fraction", rules.highFraction, "rates kept below this * pmax")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    c->add_option("--pictures", o.pictures, "folder for the pictures of the traces, rates, vivacity and residuals");
    c->add_option("--picture-format", o.pictureFormat, "png or svg")->check(CLI::IsMember({"png", "svg"}));
    c->add_option("--export-json", o.exportJson, "the reduction written as JSON");
    c->add_option("--save-propellant", o.saveAs, "save the reduced values as a row of this name in the propellant library");
    c->add_option("--library", o.library, "the library file (else the user's)")->needs("--save-propellant");
    return c;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"kalvex-vessel: closed-vessel firings simulated and reduced"};
    app.set_version_flag("--version", "kalvex-vessel " KALVEX_VERSION);
    app.require_subcommand(1);
    SimulateOptions simulateOptions;
    ReduceOptions reduceOptions;
    CLI::App* simulateCommand = addSimulate(app, simulateOptions);
    addReduce(app, reduceOptions);
    CLI11_PARSE(app, argc, argv);
    // The pictures are drawn by the plot code, which needs a GUI application for its fonts;
    // offscreen, so no screen is needed.
    std::unique_ptr<QGuiApplication> gui;
    if (!simulateOptions.pictures.empty() || !reduceOptions.pictures.empty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        gui = std::make_unique<QGuiApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");  // the application takes the user's locale; numbers keep the point
    }
    try {
        return simulateCommand->parsed() ? simulate(simulateOptions) : reduce(reduceOptions);
    } catch (const std::exception& error) {
        std::cerr << "kalvex-vessel: " << error.what() << "\n";
        return 1;
    }
}
