#pragma once
// The burned thickness of a grain from its burned fraction: the inverse of
// Z(e) = (1/Vg) * integral of S(e') de' from 0 to e, S the grain's burning surface.
#include "core/input/BallisticInput.h"

#include <vector>

namespace kalvex::vessel {

class BurnedThickness {
public:
    explicit BurnedThickness(const BallisticInput& grain);
    // e for a burned fraction Z, m; Z beyond the table's ends gives its end values.
    double at(double Z) const;
    double fractionAt(double e) const;  // Z(e) from the table, linear between nodes

private:
    std::vector<double> thickness_;  // e, ascending
    std::vector<double> fraction_;   // Z(e), ascending
};

}  // namespace kalvex::vessel
