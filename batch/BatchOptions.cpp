#include "batch/BatchOptions.h"

#include "core/results/Errors.h"
#include "core/format/NumberFormat.h"

namespace kalvex::batch {

namespace {

int parseEvery(const std::string& text)
{
    long value = 0;
    try {
        value = parseIntField(text);
    } catch (const InputError& e) {
        throw UsageError(e.what());
    }
    if (value < 1)
        throw UsageError("Step in Time Progress less than 1");
    if (value > 1000000000L)
        return 1000000000;  // beyond any step count: only entry 0 and the muzzle are listed
    return static_cast<int>(value);
}

double parseNumber(const std::string& option, const std::string& text)
{
    try {
        return parseFloatField(text);
    } catch (const InputError& e) {
        throw UsageError(option + ": " + e.what());
    }
}

// A tolerance: a positive number below 1.
double parseTolerance(const std::string& option, const std::string& text)
{
    const double value = parseNumber(option, text);
    if (!(value > 0 && value < 1))
        throw UsageError(option + " must be a number between 0 and 1, got " + text);
    return value;
}

long parseStepBound(const std::string& text)
{
    long value = 0;
    try {
        value = parseIntField(text);
    } catch (const InputError& e) {
        throw UsageError(std::string("--max-steps: ") + e.what());
    }
    if (value < 1)
        throw UsageError("--max-steps must be at least 1, got " + text);
    return value;
}

IntegratorMethod parseIntegrator(const std::string& text)
{
    if (const std::optional<IntegratorMethod> method = integratorMethod(text))
        return *method;
    throw UsageError("--integrator is fixed or adaptive, got " + text);
}

}  // namespace

BatchOptions parseBatchArguments(const std::vector<std::string>& args)
{
    BatchOptions options;
    bool haveInput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError("Option " + a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "-o") {
            options.reportPath = value();
        } else if (a == "--csv") {
            options.seriesPath = value();
        } else if (a == "--save-inputs") {
            options.inputsPath = value();
        } else if (a == "--every") {
            options.outputEvery = parseEvery(value());
        } else if (a == "--energy") {
            options.showEnergy = true;
        } else if (a == "--no-grains") {
            options.showGrains = false;
        } else if (a == "--no-heat-transfer") {
            options.heatTransfer = false;
        } else if (a == "--error-estimate") {
            options.errorEstimate = true;
        } else if (a == "--integrator") {
            options.integrator.method = parseIntegrator(value());
        } else if (a == "--rtol") {
            options.integrator.adaptive.relativeTolerance = parseTolerance(a, value());
        } else if (a == "--atol") {
            options.integrator.adaptive.absoluteTolerance = parseTolerance(a, value());
        } else if (a == "--max-steps") {
            options.integrator.adaptive.maxSteps = parseStepBound(value());
        } else if (a == "--propellant") {
            options.propellant = value();
        } else if (a == "--list-propellants") {
            options.listPropellants = true;
        } else if (a == "--charge-temperature") {
            options.chargeTemperature = parseNumber(a, value());
        } else if (a == "--force-temp-coeff") {
            options.forceCoefficient = parseNumber(a, value());
        } else if (a == "--rate-temp-coeff") {
            options.burningRateCoefficient = parseNumber(a, value());
        } else if (a == "--reference-temperature") {
            options.referenceTemperature = parseNumber(a, value());
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("Unknown option " + a);
        } else if (haveInput) {
            throw UsageError("Only one input file can be run, got also " + a);
        } else {
            options.inputPath = a;
            haveInput = true;
        }
    }
    const bool coefficientGiven = options.forceCoefficient || options.burningRateCoefficient ||
                                  options.referenceTemperature;
    if (coefficientGiven && !options.chargeTemperature)
        throw UsageError("Temperature coefficients are given without --charge-temperature");
    if (!haveInput && !options.help && !options.version && !options.listPropellants)
        throw UsageError("No input file given");
    return options;
}

std::string batchUsage()
{
    return "Usage: kalvex-batch [OPTION]... INPUT.txt\n"
           "       kalvex-batch --list-propellants\n"
           "\n"
           "Runs the interior ballistic model without the window. The input values are read\n"
           "from INPUT.txt, a report file as the program's Save writes it (only the weapon\n"
           "name and the 43 input values are used, exactly as Load reads them), or from\n"
           "INPUT.json, a JSON input file (docs/input-file.md), with every bit it holds. The run\n"
           "summary is printed to standard output as the results area of the window shows it.\n"
           "\n"
           "Options:\n"
           "  -o REPORT.txt        write the complete report of the run to REPORT.txt\n"
           "  --csv SERIES.csv     write the 23 recorded series of the run, one line per step,\n"
           "                       with a header of names and units\n"
           "  --save-inputs FILE.json  write the run's whole input set (burning-law segments,\n"
           "                       charge temperature and coefficients included) as a JSON\n"
           "                       input file, which kalvex-batch and kalvex-study also read\n"
           "  --every N            list every N-th integration step in the report's time\n"
           "                       table (default 20)\n"
           "  --energy             add the energy balance to the summary\n"
           "  --no-grains          leave the number of powder grains out of the summary\n"
           "  --no-heat-transfer   run without heat loss to the chamber wall\n"
           "  --error-estimate     run the input again at half the step and print, after the\n"
           "                       summary, the differences |f(h) - f(h/2)| of the maximum\n"
           "                       pressure, the muzzle velocity and the end of combustion\n"
           "  --integrator METHOD  fixed (the input's step, the default) or adaptive (an\n"
           "                       embedded Runge-Kutta pair with error control that ends its\n"
           "                       steps on the model's events and at the muzzle exactly;\n"
           "                       the input's step is not used)\n"
           "  --rtol X             relative tolerance of the adaptive integrator (1e-8)\n"
           "  --atol X             absolute tolerance on the state in its natural sizes\n"
           "                       (default: the relative tolerance)\n"
           "  --max-steps N        step bound of the adaptive integrator (1000000)\n"
           "  --propellant NAME    run with the seven propellant values of the library row\n"
           "                       NAME instead of the report's\n"
           "  --list-propellants   print the propellant library with the sources of its values\n"
           "  --charge-temperature T  run with the charge at T \u00b0C: fFT and fbetaT are set from\n"
           "                       the propellant's temperature coefficients (those of the\n"
           "                       --propellant row, or the three options below), replacing\n"
           "                       the report's factors\n"
           "  --force-temp-coeff K     relative change of the propellant force per kelvin, 1/K\n"
           "  --rate-temp-coeff K      relative change of the burning rate per kelvin, 1/K\n"
           "  --reference-temperature T  where both factors are 1, \u00b0C (default 21)\n"
           "  --help               show this text\n"
           "  --version            show the program's version\n"
           "\n"
           "The propellant library is the shipped propellants.json (beside this program, or\n"
           "in ../share/kalvex when installed), followed by the user's\n"
           "$XDG_DATA_HOME/kalvex/propellants.json (~/.local/share/kalvex/propellants.json).\n"
           "\n"
           "A failure prints its message to standard error and ends with exit status 1.\n";
}

}  // namespace kalvex::batch
