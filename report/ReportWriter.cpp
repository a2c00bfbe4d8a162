// The text report of the stored input set and the last completed run.

#include "report/Cp1250.h"
#include "report/InputSetBlock.h"
#include "core/format/CFormat.h"
#include "core/results/EnergyLabels.h"
#include "core/model/GrainTypes.h"
#include "report/Report.h"
#include "report/ReportFields.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvex::report {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

class LineWriter {
public:
    explicit LineWriter(std::ostream& out) : out_(out) {}
    void line(std::string_view text) { out_ << text << kLineEnd; }
    void empty() { out_ << kLineEnd; }

private:
    std::ostream& out_;
};

std::string convertValue(Conversion conversion, double value)
{
    switch (conversion) {
    case Conversion::Exp6: return printfExp(value, 6, 6);
    case Conversion::Exp4: return printfExp(value, 6, 4);
    case Conversion::Exp3: return printfExp(value, 6, 3);
    case Conversion::Fixed4: return printfFixed(value, 6, 4);
    case Conversion::Fixed3: return printfFixed(value, 6, 3);
    case Conversion::Fixed2: return printfFixed(value, 6, 2);
    case Conversion::GrainType: break;
    }
    return printfInt(static_cast<long long>(value), 6, 0);
}

// The size as written for this grain type: sizes the shape does not use are 0 whatever
// the hidden fields hold, so a loaded report never carries stale sizes.
double writtenSize(const BallisticInput& input, double BallisticInput::* member)
{
    const int type = input.grainType;
    if (member == &BallisticInput::L && !grainTypeUses(type, GrainSize::L))
        return 0;
    if (member == &BallisticInput::P && !grainTypeUses(type, GrainSize::P))
        return 0;
    if (member == &BallisticInput::SW && !grainTypeUses(type, GrainSize::SW))
        return 0;
    return input.*member;
}

// A line break inside the name would end the name line early and let the rest of it
// shift the values a reader finds by counting colons.
std::string nameForFile(const std::string& weaponName)
{
    std::string name = utf8ToCp1250(weaponName);
    for (char& c : name)
        if (c == '\r' || c == '\n')
            c = ' ';
    return name;
}

void writeTitle(LineWriter& w, const std::string& weaponName)
{
    const std::string hyphens79(79, '-');
    w.empty();
    w.line("                                *** Kalvex *** ");
    w.line(hyphens79);
    w.line("                *** Interior Ballistics - Stanag 4367 Model *** ");
    w.line("                                  Quarvenbel ");
    w.line(hyphens79);
    w.empty();
    w.line(" Weapon: " + nameForFile(weaponName));
    w.empty();
}

void writeValueLine(LineWriter& w, const BallisticInput& input, std::size_t index)
{
    const ValueLine& v = kValueLines[index];
    const double value = v.member ? writtenSize(input, v.member) : input.grainType;
    w.line(std::string(v.label) + convertValue(v.conversion, value) + " ");
}

void writeInputs(LineWriter& w, const BallisticInput& input)
{
    const auto section = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            writeValueLine(w, input, i);
    };
    w.line(" * Parameters of Weapon * ");
    section(0, kFirstPowderLine);
    w.empty();
    w.line(" * Parameters of Powder and Igniter * ");
    section(kFirstPowderLine, kFirstGrainLine);
    w.empty();
    w.line(" * Sizes of Grains * ");
    section(kFirstGrainLine, kFirstFrictionLine);
    w.empty();
    w.line(" * Friction * ");
    section(kFirstFrictionLine, kStepLine);
    w.empty();
    section(kStepLine, kValueCount);
}

// The eleven values of entry k, as in the result rows and the time table; `travel` replaces
// the recorded travel where the row stands for the muzzle itself.
std::string rowValues(const RunResults& r, int k, double travel, int timeWidth)
{
    const auto at = [&](SeriesId id) { return r.at(id, k); };
    std::string s = printfFixed(at(SeriesId::time), timeWidth, 3);
    s += "  " + printfFixed(at(SeriesId::burnedFraction), 9, 3);
    s += "  " + printfFixed(travel, 9, 4);
    s += "  " + printfFixed(at(SeriesId::velocity), 9, 2);
    s += "    " + printfFixed(at(SeriesId::meanPressure), 9, 1);
    s += "    " + printfFixed(at(SeriesId::meanTemperature), 9, 1);
    s += "  " + printfFixed(at(SeriesId::wallTemperature), 9, 1);
    s += "  " + printfFixed(at(SeriesId::breechPressure), 9, 1);
    s += "  " + printfFixed(at(SeriesId::basePressure), 9, 1);
    s += "  " + printfFixed(at(SeriesId::gasPressureAhead), 9, 2);
    s += "  " + printfFixed(at(SeriesId::recoilVelocity), 9, 2);
    return s;
}

double recordedTravel(const RunResults& r, int k)
{
    return r[SeriesId::travel][static_cast<std::size_t>(k)];
}

void writeCharacteristicRows(LineWriter& w, const BallisticInput& input, const RunResults& r)
{
    const int n = r.stepCount;
    w.empty();
    w.line("           Time [ms]    Z [-]     x [m]     vp [m/s]    Pmean [MPa]  Tmean [K]    Tc [K]"
           "    P0 [MPa]   Pb [MPa]   Pg [MPa]   vrp [m/s]");
    w.line(std::string(134, '-'));
    w.line(" Pmax:   " + rowValues(r, r.pmaxRow, recordedTravel(r, r.pmaxRow), 9) + " ");
    if (r.burnoutRow <= n)
        w.line(" Z = 1:  " + rowValues(r, r.burnoutRow, recordedTravel(r, r.burnoutRow), 9) + " ");
    w.line(" Muzzle: " + rowValues(r, n, input.xm, 9) + "  ");
    w.empty();
    w.line(" Number of Steps:                                     " + printfInt(n, 9, 0) + " ");
    // Number of grains in the charge: propellant mass over the mass of one unburned grain.
    const double grains = input.C / (r.grain.initialGrainVolume * input.rho);
    w.line(" Number of Powder Grains:                               " + printfFixed(grains, 9, 1) + " ");
    w.empty();
}

void writeEnergyLine(LineWriter& w, std::string_view label, double energy, double total)
{
    w.line(std::string(label) + printfFixed(energy, 9, 0) + "  " +
           printfFixed(energy / total * 100, 9, 1) + "% ");
}

void writeEnergyBalance(LineWriter& w, const RunResults& r, bool unburnedLeft)
{
    const auto atMuzzle = [&](SeriesId id) { return r[id][static_cast<std::size_t>(r.stepCount)]; };
    const double total = r.Etot;
    for (const EnergyLossLine& loss : kEnergyLossLines)
        writeEnergyLine(w, loss.reportLabel, atMuzzle(loss.series), total);
    writeEnergyLine(w, kRemainingGasEnergy.reportLabel, r.Egas, total);
    if (unburnedLeft)
        writeEnergyLine(w, kUnburnedEnergy.reportLabel, r.Eunburned, total);
    w.line(std::string(76, '-'));
    writeEnergyLine(w, kTotalEnergy.reportLabel, total, total);
}

void writeTimeTable(LineWriter& w, const BallisticInput& input, const RunResults& r, int every)
{
    w.empty();
    w.empty();
    w.line(" * Time Progress *");
    w.line("  ");
    w.line("  Time [ms]   Z [-]      x [m]     vp [m/s]    Pmean [MPa]  Tmean [K]    Tc [K]"
           "    P0 [MPa]   Pb [MPa]   Pg [MPa]   vrp [m/s]");
    w.line(std::string(125, '-'));
    const long long n = r.stepCount;
    long long k = 0;  // wide, so that a large step interval cannot overflow
    for (; k <= n; k += every)
        w.line("  " + rowValues(r, static_cast<int>(k), recordedTravel(r, static_cast<int>(k)), 6) + " ");
    // The muzzle-exit entry closes the table; when the interval skipped it, it is added with
    // the muzzle travel, as in the Muzzle row.
    if (k - every != n)
        w.line("  " + rowValues(r, static_cast<int>(n), input.xm, 6) + " ");
}

void checkRunIsComplete(const RunResults& r, int outputEvery)
{
    if (outputEvery < 1)
        throw std::invalid_argument("Step in Time Progress less than 1");
    const int n = r.stepCount;
    if (n < 0 || n >= kResultCapacity || r.pmaxRow < 0 || r.pmaxRow > n || r.burnoutRow < 1 ||
        r.burnoutRow > n + 1)
        throw std::invalid_argument("The results hold no completed run");
}

}  // namespace

void writeReport(std::ostream& out, const std::string& weaponName, const BallisticInput& input,
                 const RunResults& completedRun, int outputEvery, const std::vector<std::string>& linesAfterTable)
{
    checkRunIsComplete(completedRun, outputEvery);
    LineWriter w(out);
    writeTitle(w, weaponName);
    writeInputs(w, input);

    const RunResults& r = completedRun;
    const bool unburnedLeft = r[SeriesId::burnedFraction][static_cast<std::size_t>(r.stepCount)] < 1;
    if (unburnedLeft) {
        w.empty();
        w.line(" !End of Combustion After the Projectile Exits Muzzle! ");
    }
    writeCharacteristicRows(w, input, r);
    writeEnergyBalance(w, r, unburnedLeft);
    writeTimeTable(w, input, r, outputEvery);
    for (const std::string& line : linesAfterTable)
        w.line(line);
    if (needsInputSetBlock(input))
        writeInputSetBlock(out, input);
}

}  // namespace kalvex::report
