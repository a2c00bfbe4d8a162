// The texts that Load writes into the input fields, in the units each field shows.

#include "core/NumberFormat.h"
#include "report/Report.h"

namespace kalvex::report {

namespace {

constexpr double kMillisPerSecond = 1000;     // the step field shows ms
constexpr double kMegapascalPerPa = 0.000001;  // the resistive-pressure fields show MPa
constexpr double kMillimetresPerMetre = 1000;  // the grain-size fields show mm

struct FieldValue {
    const char* control;
    double BallisticInput::* member;
    double factor;  // stored unit to the unit of the field
};

// In the order Load fills them.
constexpr FieldValue kFields[] = {
    {"Edit1", &BallisticInput::A, 1},
    {"Edit2", &BallisticInput::mp, 1},
    {"Edit3", &BallisticInput::xm, 1},
    {"Edit4", &BallisticInput::V0, 1},
    {"Edit5", &BallisticInput::Tw, 1},
    {"Edit6", &BallisticInput::Vp, 1},
    {"Edit7", &BallisticInput::T0w, 1},
    {"Edit8", &BallisticInput::h0, 1},
    {"Edit9", &BallisticInput::Dw, 1},
    {"Edit10", &BallisticInput::rhow, 1},
    {"Edit11", &BallisticInput::Cpw, 1},
    {"Edit12", &BallisticInput::f, 1},
    {"Edit13", &BallisticInput::mrp, 1},
    {"Edit14", &BallisticInput::RR, 1},
    {"Edit15", &BallisticInput::dt, kMillisPerSecond},
    {"Edit19", &BallisticInput::C, 1},
    {"Edit20", &BallisticInput::F, 1},
    {"Edit21", &BallisticInput::T0, 1},
    {"Edit22", &BallisticInput::b, 1},
    {"Edit23", &BallisticInput::gamma, 1},
    {"Edit24", &BallisticInput::rho, 1},
    {"Edit25", &BallisticInput::beta, 1},
    {"Edit26", &BallisticInput::alpha, 1},
    {"Edit27", &BallisticInput::CI, 1},
    {"Edit28", &BallisticInput::FI, 1},
    {"Edit29", &BallisticInput::T0I, 1},
    {"Edit30", &BallisticInput::bI, 1},
    {"Edit31", &BallisticInput::gammaI, 1},
    {"Edit32", &BallisticInput::fFT, 1},
    {"Edit34", &BallisticInput::fbeta, 1},
    {"Edit35", &BallisticInput::fbetaT, 1},
    {"Edit16", &BallisticInput::fr, 1},
    {"Edit36", &BallisticInput::xe0, 1},
    {"Edit37", &BallisticInput::xe, 1},
    {"Edit38", &BallisticInput::px0, kMegapascalPerPa},
    {"Edit39", &BallisticInput::pxe0, kMegapascalPerPa},
    {"Edit40", &BallisticInput::pxe, kMegapascalPerPa},
    {"Edit41", &BallisticInput::pxm, kMegapascalPerPa},
    {"Edit42", &BallisticInput::D, kMillimetresPerMetre},
    {"Edit43", &BallisticInput::L, kMillimetresPerMetre},
    {"Edit44", &BallisticInput::P, kMillimetresPerMetre},
    {"Edit45", &BallisticInput::SW, kMillimetresPerMetre},
};

}  // namespace

std::vector<std::pair<std::string, std::string>> fieldTextsFor(const BallisticInput& input,
                                                                char decimalSeparator)
{
    std::vector<std::pair<std::string, std::string>> texts;
    texts.reserve(std::size(kFields));
    for (const FieldValue& field : kFields) {
        texts.emplace_back(field.control,
                           formatGeneral(input.*field.member * field.factor, decimalSeparator));
    }
    return texts;
}

}  // namespace kalvex::report
