// kalvex-vessel simulate: one firing computed by the model, written as a trace file.
#include "core/format/Units.h"
#include "report/SafeSave.h"
#include "study/StudyJson.h"
#include "vessel/TraceCsv.h"
#include "vessel/VesselSimulation.h"
#include "vessel/cli/VesselCommands.h"
#include "vessel/pictures/PictureFile.h"
#include "vessel/pictures/VesselPlots.h"

#include <gsl/gsl_randist.h>
#include <gsl/gsl_rng.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace kalvex::vessel::cli {

namespace {

constexpr int kPictureWidth = 640, kPictureHeight = 400;  // logical pixels

void drawPictures(const VesselTrace& trace, const SimulateOptions& o)
{
    std::filesystem::create_directories(o.pictures);
    const std::pair<SimulatedQuantity, const char*> pictures[] = {{SimulatedQuantity::pressure, "pressure"},
                                                                  {SimulatedQuantity::pressureRate, "pressure-rate"},
                                                                  {SimulatedQuantity::burnedFraction, "burned-fraction"}};
    for (const auto& [quantity, name] : pictures) {
        auto plot = std::make_unique<plot::PlotState>();
        plot::InitPlot(*plot, kPictureWidth, kPictureHeight);
        plotSimulation(*plot, trace, quantity);
        savePicture(*plot, (std::filesystem::path(o.pictures) / (std::string(name) + "." + o.pictureFormat)).string());
    }
}

// A synthetic measurement: independent Gaussian noise of deviation `fraction` p on each sample
// (GSL's MT19937 from `seed`); dp/dt stays the noiseless one.
void addNoise(VesselTrace& trace, double fraction, unsigned long seed)
{
    std::unique_ptr<gsl_rng, decltype(&gsl_rng_free)> rng(gsl_rng_alloc(gsl_rng_mt19937), &gsl_rng_free);
    gsl_rng_set(rng.get(), seed);
    for (double& p : trace.pressure)
        p += gsl_ran_gaussian(rng.get(), fraction * p);
}

}  // namespace

int simulate(const SimulateOptions& o)
{
    VesselSetup s;
    s.charge = study::readBaseReport(o.input);
    // A gun's igniter fills a vessel of a few hundred cm^3 on its own: the vessel's is given apart.
    if (o.igniter >= 0)
        s.charge.CI = o.igniter * kGramToKilogram;
    if (o.temperature) {
        if (!s.charge.temperatureCoefficients)
            throw std::runtime_error("--temperature needs the propellant's temperature coefficients in the input file");
        applyChargeTemperature(*o.temperature, *s.charge.temperatureCoefficients, s.charge);
    }
    s.volume = o.volume * kCubicCentimetreToCubicMetre;
    s.chargeMass = o.charge * kGramToKilogram;
    s.dt = o.step * kMicrosecondToSecond;
    s.sampleInterval = o.sample * kMicrosecondToSecond;
    s.heatLoss = o.heatLoss.heatLoss();
    VesselTrace trace = simulateVessel(s, o.afterBurnout * kMillisecondToSecond);
    if (o.noise > 0)
        addNoise(trace, o.noise, o.seed);
    // With noise the trace is a synthetic measurement: time and pressure only.
    report::streamFileSafely(o.output, [&](std::ostream& out) {
        if (o.noise > 0)
            writeTraceCsv(out, PressureTrace{trace.time, trace.pressure});
        else
            writeTraceCsv(out, trace);
    });
    if (!o.pictures.empty())
        drawPictures(trace, o);
    const double pmax = *std::max_element(trace.pressure.begin(), trace.pressure.end());
    std::cout << "loading density " << s.loadingDensity() << " kg/m^3, maximum pressure " << pmax / kMegapascalToPascal
              << " MPa, " << trace.time.size() << " samples written to " << o.output << "\n";
    return 0;
}

}  // namespace kalvex::vessel::cli
