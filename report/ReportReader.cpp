// Reads the weapon name and the 43 input values of a report back, finding them by counting
// colons: the labels between the colons are never compared with anything.

#include "core/model/GrainTypes.h"
#include "core/input/InputFields.h"
#include "core/format/NumberFormat.h"
#include "report/Cp1250.h"
#include "report/InputSetBlock.h"
#include "report/Report.h"
#include "report/ReportFields.h"
#include "report/ScanNumbers.h"

#include "core/results/Errors.h"

#include <cmath>
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

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

// Takes a line end: LF, CR LF or CR alone.
void takeLineEnd(CharSource& in)
{
    if (in.take() == '\r' && in.peek() == '\n')
        in.take();
}

// The rest of the name line after the one character that follows the colon. The line end
// is dropped; characters beyond the first 299 are skipped up to the line end, so that the
// colon search for the first value starts on the next line.
std::string readNameLine(CharSource& in)
{
    if (isLineEnd(in.peek())) {
        takeLineEnd(in);
        return {};  // no blank and no name: the line end itself ends the name
    }
    in.take();
    std::string name;
    while (in.peek() >= 0 && !isLineEnd(in.peek())) {
        const int c = in.take();
        if (name.size() < kMaxNameLength)
            name += static_cast<char>(c);
    }
    if (in.peek() >= 0)
        takeLineEnd(in);
    return name;
}

// The factor from the stored unit to the unit the value's field shows.
double shownFactor(double BallisticInput::*member)
{
    const InputField* field = findInputField(member);
    return field != nullptr ? field->toShown : 1;
}

// What a value that could not be read looks like in the file: the characters the scanner
// took and the rest of that word, up to a blank or a colon (the colon stays for the next
// value). A value whose own line is empty is quoted as empty.
UnreadableValue unreadableAt(CharSource& in, int colonLine, int valueLine, bool integer)
{
    std::string text = in.recorded();
    while (in.peek() > 0 && in.peek() != ':' && !isLineEnd(in.peek()) && in.peek() != ' ' && in.peek() != '\t')
        text += static_cast<char>(in.take());
    if (valueLine != colonLine)
        text.clear();
    return UnreadableValue{colonLine, cp1250ToUtf8(text), integer};
}

// Text glued to a number ("4.35x+01", "43.5kg") makes it unreadable, rather than read up to
// the text as scanf would: only a blank, a line end or the end of the file may follow.
bool endsTheNumber(int c)
{
    return c < 0 || c == ' ' || c == '\t' || isLineEnd(c);
}

// Whether a value's field can show it: its text in the field (15 significant digits in the
// field's unit) must read back as a finite number. 1.7976931348623157e308 rounds to
// "1.79769313486232E308", above the largest double.
bool showsInField(double value, double BallisticInput::*member)
{
    const double shown = value * shownFactor(member);
    if (!std::isfinite(shown))
        return false;
    try {
        return std::isfinite(parseFloatField(formatGeneral(shown)));
    } catch (const InputError&) {
        return false;
    }
}

// Reads one value after its colon into `loaded`; false when the source ended before it.
bool readValue(CharSource& in, const ValueLine& line, LoadedReport& loaded)
{
    if (!skipPastColon(in))
        return false;
    const int colonLine = in.line();
    if (!skipBlanks(in))
        return false;
    const int valueLine = in.line();
    const bool integer = line.conversion == Conversion::GrainType;
    in.record();
    bool read = false;
    if (integer) {
        const Scanned<long> type = scanLong(in);
        // A grain type the program does not know counts as unreadable: the set keeps its own.
        read = type.value && isGrainType(*type.value) && endsTheNumber(in.peek());
        if (read)
            loaded.input.grainType = static_cast<int>(*type.value);
    } else {
        // A value finite in the file but not in the unit its field shows cannot be shown
        // or typed again, so it is not read either.
        const Scanned<double> value = scanDouble(in);
        read = value.value && showsInField(*value.value, line.member) && endsTheNumber(in.peek());
        if (read)
            loaded.input.*line.member = *value.value;
    }
    if (!read)
        loaded.unreadable.push_back(unreadableAt(in, colonLine, valueLine, integer));
    in.recorded();
    return true;
}

}  // namespace

std::optional<LoadedReport> readReport(std::istream& in, const BallisticInput& current)
{
    CharSource source(in.rdbuf(), kReadBudget);
    if (!skipPastColon(source))
        return std::nullopt;
    LoadedReport loaded{cp1250ToUtf8(readNameLine(source)), current, {}, {}};
    for (std::size_t i = 0; i < kValueLines.size(); ++i) {
        const std::size_t unreadableBefore = loaded.unreadable.size();
        if (!readValue(source, kValueLines[i], loaded) || source.sawNul())
            return std::nullopt;
        if (loaded.unreadable.size() > unreadableBefore)
            loaded.unreadable.back().value = i;
    }
    // The file describes the whole input set: what it does not hold, the set does not keep.
    clearInputSetExtension(loaded.input);
    loaded.blockProblem = readInputSetBlock(source, loaded.input);
    return loaded;
}

bool LoadedReport::nothingRead() const
{
    return unreadable.size() == kValueLines.size();
}

std::string valueLineName(std::size_t line)
{
    // the label without its leading blank, its colon and the padding before the value column
    std::string_view label = kValueLines.at(line).label;
    label = label.substr(0, label.rfind(':'));
    while (!label.empty() && label.front() == ' ')
        label.remove_prefix(1);
    return cp1250ToUtf8(std::string(label));
}

std::string unreadableMessage(const UnreadableValue& value)
{
    return value.integer ? notAnIntegerMessage(value.text) : notAFloatMessage(value.text);
}

}  // namespace kalvex::report
