#pragma once
#include "core/BallisticInput.h"
#include "core/RunResults.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::report {

// Writes the text report (CR LF line ends, single-byte Windows-1250 text, a point as the
// decimal separator whatever the locale). weaponName is UTF-8; it is written in Windows-1250.
void writeReport(std::ostream& out, const std::string& weaponName, const BallisticInput& input,
                 const RunResults& completedRun, int outputEvery);

struct LoadedReport {
    std::string weaponName;  // UTF-8
    BallisticInput input;    // the stored set with every value that could be read replaced
    // The value lines whose number could not be read (indices into kValueLines, file order):
    // those values kept the ones of the set. A grain type outside 1..7 counts as unreadable.
    std::vector<std::size_t> unread;
    // Not one of the 43 numbers could be read: the file is not a report.
    bool nothingRead() const;
};

// What a value line is, as its label says it ("Mass of Propellant C [kg]"), in UTF-8.
std::string valueLineName(std::size_t line);

// Reads the weapon name and the 43 input values by counting colons. Returns nothing when
// the stream ends before the 43rd value; values that cannot be read keep those of `current`.
std::optional<LoadedReport> readReport(std::istream& in, const BallisticInput& current);

// The texts Load writes into the input fields (control name, text), in the fields' units,
// general number format with the given decimal separator. Edit33 (weapon name) not included.
std::vector<std::pair<std::string, std::string>> fieldTextsFor(const BallisticInput& input,
                                                                char decimalSeparator);

}  // namespace kalvex::report
