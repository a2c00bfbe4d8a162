#pragma once
// The block after a report's time table that holds what the 43 input values cannot: the
// charge temperature, each component's temperature coefficients and burning-law segments
// above the first, and the charge's components after the first. Its values are written with
// the shortest digits that read back to the same double, so Load restores the whole input set
// with every bit of these values; the 43 values above keep the first component and its first
// segment, which is all a reader of only those values sees.
#include "core/input/BallisticInput.h"
#include "report/ScanNumbers.h"

#include <optional>
#include <ostream>
#include <string>

namespace kalvex::report {

// The block's title line, by which the reader finds it.
inline constexpr std::string_view kInputSetBlockTitle = " * Input Set beyond the 43 Values * ";

// Whether the input set holds more than the 43 values: more than one burning-law segment, a
// charge temperature or more than one component. A plain set's report has no block.
bool needsInputSetBlock(const BallisticInput& input);

// Writes the block, each line ended by CR LF, in Windows-1250 like the rest of the report.
void writeInputSetBlock(std::ostream& out, const BallisticInput& input);

// The block as text to show (UTF-8, '\n' after each line), as the report file holds it; empty
// for a plain set.
std::string inputSetBlockText(const BallisticInput& input);

// What made a block unreadable, and where.
struct InputSetBlockProblem {
    int line = 0;         // 1 for the first line of the file
    std::string message;  // UTF-8, naming the component where the problem lies in one
};

// Removes from `input` everything the block holds, leaving the plain input set of the 43
// values: what a report without a block describes.
void clearInputSetExtension(BallisticInput& input);

// Reads the rest of a report after its 43 values: when the title line follows somewhere, the
// block's values go into `input` (whose extension has been cleared) and, with a charge
// temperature, the factors it sets. A problem leaves `input` without its extension.
std::optional<InputSetBlockProblem> readInputSetBlock(CharSource& in, BallisticInput& input);

}  // namespace kalvex::report
