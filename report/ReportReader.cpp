// Reads the weapon name and the 43 input values of a report back, finding them by counting
// colons: the labels between the colons are never compared with anything.

#include "core/GrainTypes.h"
#include "report/Cp1250.h"
#include "report/Report.h"
#include "report/ReportFields.h"
#include "report/ScanNumbers.h"

#include <string>

namespace kalvex::report {

namespace {

constexpr std::size_t kMaxNameLength = 299;  // characters kept of the weapon name

// The input part of a report is a few kilobytes; the budget only stops an endless or
// absurdly large source from being read for ever.
constexpr long long kReadBudget = 64LL * 1024 * 1024;

// Takes characters up to and including the next colon; false when the source ends first.
bool skipPastColon(CharSource& in)
{
    for (int c = in.take(); c >= 0; c = in.take())
        if (c == ':')
            return true;
    return false;
}

// The rest of the name line after the one character that follows the colon. The line end
// (LF or CR LF) is dropped; characters beyond the first 299 are skipped up to the line end,
// so that the colon search for the first value starts on the next line.
std::string readNameLine(CharSource& in)
{
    const int afterColon = in.peek();
    if (afterColon == '\n')
        return {};  // no blank and no name: the line end itself ends the name
    in.take();
    if (afterColon == '\r' && in.peek() == '\n') {
        in.take();
        return {};
    }
    std::string name;
    for (int c = in.take(); c >= 0 && c != '\n'; c = in.take())
        if (name.size() <= kMaxNameLength)  // one extra, so that a CR before LF can be dropped
            name += static_cast<char>(c);
    if (!name.empty() && name.back() == '\r')
        name.pop_back();
    if (name.size() > kMaxNameLength)
        name.resize(kMaxNameLength);
    return name;
}


// Reads one value after its colon into `input`; false when the source ended before it.
bool readValue(CharSource& in, const ValueLine& line, BallisticInput& input)
{
    if (!skipPastColon(in))
        return false;
    if (line.conversion == Conversion::GrainType) {
        const Scanned<long> type = scanLong(in);
        // A grain type the program does not know counts as unreadable: the set keeps its own.
        if (type.value && isGrainType(*type.value))
            input.grainType = static_cast<int>(*type.value);
        return !type.ended;
    }
    const Scanned<double> value = scanDouble(in);
    if (value.value)
        input.*line.member = *value.value;
    return !value.ended;
}

}  // namespace

std::optional<LoadedReport> readReport(std::istream& in, const BallisticInput& current)
{
    CharSource source(in.rdbuf(), kReadBudget);
    if (!skipPastColon(source))
        return std::nullopt;
    LoadedReport loaded{cp1250ToUtf8(readNameLine(source)), current};
    for (const ValueLine& line : kValueLines)
        if (!readValue(source, line, loaded.input))
            return std::nullopt;
    return loaded;
}

}  // namespace kalvex::report
