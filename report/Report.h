#pragma once
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "report/InputSetBlock.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::report {

// Writes the text report (CR LF line ends, single-byte Windows-1250 text, a point as the
// decimal separator whatever the locale). weaponName is UTF-8; it is written in Windows-1250.
// `linesAfterTable` (how the run was integrated, when not by the fixed step) follow the time
// table, where the reader of the input values never looks. An input set with more than the
// 43 values hold (report/InputSetBlock.h) ends the report with the block that holds the rest.
void writeReport(std::ostream& out, const std::string& weaponName, const BallisticInput& input,
                 const RunResults& completedRun, int outputEvery,
                 const std::vector<std::string>& linesAfterTable = {});

// A value after its colon that could not be read, or that no field could show in its unit.
struct UnreadableValue {
    int line = 0;          // of the value's colon, 1 for the first line of the file
    std::string text;      // as it stands in the file (UTF-8); empty when its line holds none
    bool integer = false;  // the grain type, the one integer of the set
    std::size_t value = 0;  // which of the 43 values, index into kValueLines
};

struct LoadedReport {
    std::string weaponName;  // UTF-8
    BallisticInput input;    // the stored set with every value that could be read replaced
    std::vector<UnreadableValue> unreadable;  // in file order
    // The block of an extended input set could not be read: `input` is then the plain set of
    // the 43 values, and a program must not take it for the whole set.
    std::optional<InputSetBlockProblem> blockProblem;
    // Not one of the 43 numbers could be read: the file is not a report.
    bool nothingRead() const;
};

// What a value line is, as its label says it ("Mass of Propellant C [kg]"), in UTF-8.
std::string valueLineName(std::size_t line);

// "'TEXT' is not a valid floating point value" ("... integer value" for the grain type).
std::string unreadableMessage(const UnreadableValue& value);

// Reads the weapon name and the 43 input values by counting colons. Line ends may be CR LF,
// LF or CR alone. Returns nothing when the stream ends before the 43rd value or holds a
// NUL byte (UTF-16 or binary data, never a report); values that cannot be read keep those
// of `current` and are listed. The rest of the input set comes from the block after the
// table, or is none (one component, one segment, no charge temperature) when there is none.
std::optional<LoadedReport> readReport(std::istream& in, const BallisticInput& current);

// The texts Load writes into the input fields (parameter name as in kInputFields, text), in the
// fields' units, general number format with the given decimal separator; the weapon name not included.
std::vector<std::pair<std::string, std::string>> fieldTextsFor(const BallisticInput& input,
                                                                char decimalSeparator);

}  // namespace kalvex::report
