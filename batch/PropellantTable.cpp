#include "batch/PropellantTable.h"

#include <algorithm>
#include <iomanip>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace kalvex::batch {

namespace {

// Wide enough for the longest name and family of the shipped rows.
constexpr int kNameWidth = 10;
constexpr int kFamilyWidth = 21;

// Seven significant digits show every shipped value exactly as the file holds it.
std::string number(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::setprecision(7) << value;
    return text.str();
}

}  // namespace

void printPropellantTable(const PropellantLibrary& library, std::ostream& out)
{
    struct Column {
        const char* heading;
        int width;
    };
    const Column values[] = {{"F [J/kg]", 10}, {"T0 [K]", 7},        {"b [m^3/kg]", 11},
                             {"gamma", 8},     {"rho [kg/m^3]", 13}, {"beta [m/s/Pa^alpha]", 20},
                             {"alpha", 8}};
    out << std::left << std::setw(kNameWidth) << "name" << std::setw(kFamilyWidth) << "family";
    for (const Column& c : values)
        out << std::setw(c.width) << c.heading;
    out << "source\n";
    std::vector<std::string> notes;
    for (const Propellant& p : library.rows) {
        const double seven[] = {p.F, p.T0, p.b, p.gamma, p.rho, p.beta, p.alpha};
        out << std::setw(kNameWidth) << p.name << std::setw(kFamilyWidth) << p.family;
        for (std::size_t i = 0; i < std::size(values); ++i)
            out << std::setw(values[i].width) << number(seven[i]);
        out << propellantSourceText(p) << '\n';
        if (!p.transcription.empty() &&
            std::find(notes.begin(), notes.end(), p.transcription) == notes.end()) {
            notes.push_back(p.transcription);
        }
    }
    for (const std::string& note : notes)
        out << "\nNote: " << note << '\n';
    out << std::right;
}

}  // namespace kalvex::batch
