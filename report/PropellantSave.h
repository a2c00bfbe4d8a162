#pragma once
// Saving a propellant into the user's library file.
#include "core/propellant/PropellantLibrary.h"

#include <string>

namespace kalvex::report {

// Adds `propellant` to the library file at `path` (by default the user's), or replaces the
// row of its name, creating the file and its folder when needed. The file is saved through
// the one save routine (SafeSave.h), so a failed save leaves it as it was. Throws InputError
// when the file holds no propellant library or the values break an input rule, SaveError
// when it cannot be written.
void savePropellantToLibrary(const Propellant& propellant,
                             const std::string& path = userPropellantPath());

}  // namespace kalvex::report
