#pragma once
// Guns fired and published, run by Kalvex from the inputs in examples/validation/: each once
// with the inputs as the sources give them, and once with one input calibrated by the study
// engine (a solve for one published velocity, or a fit to velocities at several barrel
// lengths), so that what the calibration did not touch can be compared.
#include "tools/verification/AgardComparison.h"

#include <string>
#include <vector>

namespace kalvex::verification {

// The 120 mm M829 round: as given, and with the burning-rate coefficient solved for the
// published muzzle velocity; the peak breech pressure is then the comparison.
struct M829Case {
    RunFigures asGiven;
    double asGivenBreech = 0;  // largest breech pressure, MPa
    double solvedBeta = 0;     // m/s/Pa^alpha
    RunFigures solved;
    double solvedBreech = 0;   // MPa
    std::vector<CurvePoint> breechAsGiven, breechSolved;  // time ms, breech pressure MPa
};

// The 30 x 165 mm shell: the burning-rate coefficient solved for the velocity of the longer
// barrel predicts that of the shorter one. `travel`/`velocity` is the solved run along the bore.
struct CannonCase {
    double asGivenLong = 0, asGivenShort = 0;  // muzzle velocities, m/s
    double solvedBeta = 0;
    double solvedBreech = 0;                   // MPa, longer barrel
    double predictedShort = 0;                 // m/s
    std::vector<CurvePoint> velocityAlongBore; // travel m, velocity m/s
};

// Velocities measured at several barrel lengths and the inputs fitted to all of them by least
// squares: the burning-rate coefficient first, and the charge where it is a second one.
struct BarrelLengthFit {
    std::vector<double> barrelInches;  // as the source gives them
    std::vector<double> measured;      // m/s
    std::vector<double> model;         // m/s at the fitted values
    std::vector<std::string> parameters;
    std::vector<double> values, errors;  // fitted values and their standard errors, in the parameters' units
    double beta = 0;                   // values[0]
    double rms = 0;                    // m/s
    std::vector<CurvePoint> velocityOverBarrel;  // barrel length in, m/s, of the longest barrel's run
};

struct PublishedCases {
    M829Case m829;
    CannonCase cannon;
    BarrelLengthFit federal55;        // three barrels, one box of cartridges
    BarrelLengthFit federal55Charge;  // the same with the charge as a second free parameter
    BarrelLengthFit m193;       // one barrel cut down
    std::vector<CheckRow> figures;  // Kalvex's figures against the values the page records
};

// Distance from the breech face to the base of a seated .223 bullet: the barrel length less
// this is the travel.
inline constexpr double kRifleSeatInches = 1.5;

// Runs the cases from validationFolder (examples/validation). Throws std::runtime_error when
// an input or study file cannot be read or a run fails.
PublishedCases runPublishedCases(const std::string& validationFolder);

}  // namespace kalvex::verification
