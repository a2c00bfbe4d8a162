#pragma once
// The numeric input fields of the main window: which control holds which quantity of the
// input set, and the factors between the unit the field shows and the stored SI unit.
#include "core/BallisticInput.h"
#include "core/Units.h"

#include <array>

namespace kalvex {

struct InputField {
    const char* control;               // "Edit1" ... "Edit45"
    double BallisticInput::*quantity;  // where the value is stored
    double toStored;                   // field unit -> stored unit (mm, ms: 0.001; MPa: 1000000)
    double toShown;                    // stored unit -> field unit (m: 1000; Pa: 0.000001)
};

// In the order the Start command reads them: the weapon page, the propellant page, then the
// resistance page, the grain sizes, and the computation step last.
inline constexpr std::array<InputField, 42> kInputFields = {{
    {"Edit1", &BallisticInput::A, 1, 1},
    {"Edit2", &BallisticInput::mp, 1, 1},
    {"Edit3", &BallisticInput::xm, 1, 1},
    {"Edit4", &BallisticInput::V0, 1, 1},
    {"Edit5", &BallisticInput::Tw, 1, 1},
    {"Edit6", &BallisticInput::Vp, 1, 1},
    {"Edit7", &BallisticInput::T0w, 1, 1},
    {"Edit8", &BallisticInput::h0, 1, 1},
    {"Edit9", &BallisticInput::Dw, 1, 1},
    {"Edit10", &BallisticInput::rhow, 1, 1},
    {"Edit11", &BallisticInput::Cpw, 1, 1},
    {"Edit12", &BallisticInput::f, 1, 1},
    {"Edit13", &BallisticInput::mrp, 1, 1},
    {"Edit14", &BallisticInput::RR, 1, 1},
    {"Edit19", &BallisticInput::C, 1, 1},
    {"Edit20", &BallisticInput::F, 1, 1},
    {"Edit21", &BallisticInput::T0, 1, 1},
    {"Edit22", &BallisticInput::b, 1, 1},
    {"Edit23", &BallisticInput::gamma, 1, 1},
    {"Edit24", &BallisticInput::rho, 1, 1},
    {"Edit25", &BallisticInput::beta, 1, 1},
    {"Edit26", &BallisticInput::alpha, 1, 1},
    {"Edit27", &BallisticInput::CI, 1, 1},
    {"Edit28", &BallisticInput::FI, 1, 1},
    {"Edit29", &BallisticInput::T0I, 1, 1},
    {"Edit30", &BallisticInput::bI, 1, 1},
    {"Edit31", &BallisticInput::gammaI, 1, 1},
    {"Edit32", &BallisticInput::fFT, 1, 1},
    {"Edit34", &BallisticInput::fbeta, 1, 1},
    {"Edit35", &BallisticInput::fbetaT, 1, 1},
    {"Edit16", &BallisticInput::fr, 1, 1},
    {"Edit36", &BallisticInput::xe0, 1, 1},
    {"Edit37", &BallisticInput::xe, 1, 1},
    {"Edit38", &BallisticInput::px0, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit39", &BallisticInput::pxe0, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit40", &BallisticInput::pxe, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit41", &BallisticInput::pxm, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit42", &BallisticInput::D, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit43", &BallisticInput::L, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit44", &BallisticInput::P, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit45", &BallisticInput::SW, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit15", &BallisticInput::dt, kMillisecondToSecond, kSecondToMillisecond},
}};

}  // namespace kalvex
