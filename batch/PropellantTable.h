#pragma once
// The propellant library as kalvex-batch --list-propellants prints it.
#include "core/propellant/PropellantLibrary.h"

#include <ostream>

namespace kalvex::batch {

// One line per row: name, family, the seven values in SI units and the source; then, once
// each, the notes on how values were read from their source.
void printPropellantTable(const PropellantLibrary& library, std::ostream& out);

}  // namespace kalvex::batch
