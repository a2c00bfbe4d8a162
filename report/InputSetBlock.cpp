// The block of an extended input set after a report's time table: written line by line as
// "label: value", read back by the same labels.

#include "report/InputSetBlock.h"

#include "core/format/NumberFormat.h"
#include "core/model/GrainTypes.h"
#include "core/results/Errors.h"
#include "report/Cp1250.h"
#include "report/ReportFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <sstream>
#include <vector>

namespace kalvex::report {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kValueColumn = 54;     // labels padded so that values begin in the 55th character
constexpr std::size_t kMaxLineLength = 4096;  // characters kept of one line; a block's lines are short

// The labels of the block's own values, in Windows-1250 (0xB0 is the degree sign).
constexpr std::string_view kChargeTemperatureLabel = "Charge Temperature [\xB0" "C]";
constexpr std::string_view kComponentCountLabel = "Number of Charge Components";

// The temperature coefficients of a component, in the order of TemperatureCoefficients.
constexpr std::array<std::string_view, 5> kCoefficientLabels = {
    "Temperature Coefficient of Force [1/K]",
    "Temperature Coefficient of Burning Rate [1/K]",
    "Reference Temperature of the Coefficients [\xB0" "C]",
    "Lowest Temperature of the Coefficients [\xB0" "C]",
    "Highest Temperature of the Coefficients [\xB0" "C]",
};
constexpr std::array<double TemperatureCoefficients::*, 5> kCoefficientMembers = {
    &TemperatureCoefficients::force, &TemperatureCoefficients::burningRate, &TemperatureCoefficients::reference,
    &TemperatureCoefficients::lowest, &TemperatureCoefficients::highest};
constexpr std::size_t kRequiredCoefficients = 3;  // a range not given is the default range

// The values of a segment above the first, after "Segment j ".
constexpr std::array<std::string_view, 3> kSegmentLabels = {
    "Lower Pressure Bound pLow [MPa]",
    "Burning Rate Coeff. beta [m/s/Pa]",
    "Burning Rate Exponent alpha",
};
constexpr std::array<double BurningSegment::*, 3> kSegmentMembers = {&BurningSegment::pLow, &BurningSegment::beta,
                                                                     &BurningSegment::alpha};

// A component after the first holds the propellant and grain values of the 43, under the
// same labels; the grain type (member nullptr) is the one integer.
struct ComponentValue {
    std::size_t valueLine;                // index into kValueLines, whose label it takes
    double ChargeComponent::* member;
};
constexpr std::array<ComponentValue, 16> kComponentValues = {{
    {14, &ChargeComponent::C},     {15, &ChargeComponent::F},     {16, &ChargeComponent::T0},
    {17, &ChargeComponent::b},     {18, &ChargeComponent::gamma}, {19, &ChargeComponent::rho},
    {20, &ChargeComponent::beta},  {21, &ChargeComponent::alpha}, {27, &ChargeComponent::fFT},
    {28, &ChargeComponent::fbeta}, {29, &ChargeComponent::fbetaT}, {30, nullptr},
    {31, &ChargeComponent::D},     {32, &ChargeComponent::L},     {33, &ChargeComponent::P},
    {34, &ChargeComponent::SW},
}};

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A value line's label as the reader compares it: without blanks around it and its colon.
std::string_view labelOf(std::size_t valueLine)
{
    const std::string_view label = kValueLines[valueLine].label;
    return trimmed(label.substr(0, label.rfind(':')));
}

// The shortest text that reads back to the same double, a point whatever the locale.
std::string fullPrecision(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string componentTitle(std::size_t k) { return " * Component " + std::to_string(k) + " * "; }

class BlockWriter {
public:
    explicit BlockWriter(std::ostream& out) : out_(out) {}
    void line(std::string_view text) { out_ << text << kLineEnd; }
    void value(std::string_view label, const std::string& number)
    {
        std::string text = " " + std::string(label) + ":";
        text.resize(std::max(text.size(), kValueColumn), ' ');
        line(text + number);
    }
    void value(std::string_view label, double number) { value(label, fullPrecision(number)); }

private:
    std::ostream& out_;
};

void writeComponentExtras(BlockWriter& w, const std::optional<TemperatureCoefficients>& coefficients,
                          const std::vector<BurningSegment>& segments)
{
    if (coefficients)
        for (std::size_t i = 0; i < kCoefficientLabels.size(); ++i)
            w.value(kCoefficientLabels[i], (*coefficients).*kCoefficientMembers[i]);
    for (std::size_t j = 0; j < segments.size(); ++j)
        for (std::size_t v = 0; v < kSegmentLabels.size(); ++v)
            w.value("Segment " + std::to_string(j + 2) + " " + std::string(kSegmentLabels[v]), segments[j].*kSegmentMembers[v]);
}

void writeComponent(BlockWriter& w, const ChargeComponent& c)
{
    for (const ComponentValue& v : kComponentValues)
        w.value(labelOf(v.valueLine), v.member ? fullPrecision(c.*v.member) : std::to_string(c.grainType));
    writeComponentExtras(w, c.temperatureCoefficients, c.upperSegments);
}

// --- Reading ---------------------------------------------------------------------------

bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

// Takes one line without its line end (LF, CR LF or CR); nothing at the end of the source.
std::optional<std::string> takeLine(CharSource& in)
{
    if (in.peek() < 0)
        return std::nullopt;
    std::string line;
    while (in.peek() >= 0 && !isLineEnd(in.peek())) {
        const int c = in.take();
        if (line.size() < kMaxLineLength)
            line += static_cast<char>(c);
    }
    if (in.take() == '\r' && in.peek() == '\n')
        in.take();
    return line;
}

// A problem found while reading; carries the line it was found on.
struct BlockError {
    int line;
    std::string message;
};

// What the block says of one component, before it is checked to be complete.
struct ComponentEntries {
    int line = 0;  // of its title
    ChargeComponent values;
    std::array<bool, kComponentValues.size()> given{};
    TemperatureCoefficients coefficients;
    std::array<bool, kCoefficientLabels.size()> coefficientGiven{};
    std::map<std::size_t, std::array<std::optional<double>, 3>> segments;  // by segment number
};

class BlockReader {
public:
    // Takes one line of the block; BlockError when it cannot be read.
    void take(int lineNumber, std::string_view text)
    {
        line_ = lineNumber;
        const std::string_view line = trimmed(text);
        if (startsComponent(line))
            return;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return;  // a heading or a note for the reader
        const std::string_view label = trimmed(line.substr(0, colon));
        const std::string_view value = trimmed(line.substr(colon + 1));
        if (components_.empty())
            takeChargeValue(label, value);
        else
            takeComponentValue(components_.back(), label, value);
    }

    // The input set's extension, checked complete; BlockError otherwise.
    void finish(BallisticInput& input, int lastLine)
    {
        line_ = lastLine;
        if (components_.empty())
            fail("no component follows");
        if (count_ && *count_ != components_.size())
            fail(std::string(kComponentCountLabel) + " is " + std::to_string(*count_) + ", the block holds " +
                 std::to_string(components_.size()));
        for (std::size_t k = 0; k < components_.size(); ++k)
            checkComplete(components_[k], k + 1);
        ComponentEntries& first = components_.front();
        input.upperSegments = segmentsOf(first);
        if (first.coefficientGiven[0])
            input.temperatureCoefficients = first.coefficients;
        for (std::size_t k = 1; k < components_.size(); ++k) {
            ChargeComponent c = components_[k].values;
            c.upperSegments = segmentsOf(components_[k]);
            if (components_[k].coefficientGiven[0])
                c.temperatureCoefficients = components_[k].coefficients;
            input.extraComponents.push_back(std::move(c));
        }
        if (temperature_)
            applyTemperature(input);
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw BlockError{line_, message}; }

    static std::string inComponent(std::size_t k) { return "Component " + std::to_string(k) + ": "; }

    bool startsComponent(std::string_view line)
    {
        constexpr std::string_view kOpening = "* Component ";
        if (!line.starts_with(kOpening) || !line.ends_with("*"))
            return false;
        const std::string_view number = trimmed(line.substr(kOpening.size(), line.size() - kOpening.size() - 1));
        std::size_t k = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), k);
        if (error != std::errc() || end != number.data() + number.size() || k != components_.size() + 1)
            fail("components are numbered from 1 in order: " + std::string(line) + " follows Component " +
                 std::to_string(components_.size()));
        if (k > kMaxChargeComponents)
            fail("a charge has at most " + std::to_string(kMaxChargeComponents) + " components");
        components_.emplace_back().line = line_;
        return true;
    }

    double number(std::string_view value, const std::string& where) const
    {
        double x = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), x);
        if (value.empty() || error != std::errc() || end != value.data() + value.size())
            fail(where + cp1250ToUtf8(std::string(notAFloatMessage(value))));
        return x;
    }

    void takeChargeValue(std::string_view label, std::string_view value)
    {
        if (label == kChargeTemperatureLabel) {
            once(temperature_.has_value(), "", label);
            temperature_ = number(value, "");
            temperatureLine_ = line_;
        } else if (label == kComponentCountLabel) {
            once(count_.has_value(), "", label);
            std::size_t n = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (value.empty() || error != std::errc() || end != value.data() + value.size())
                fail(cp1250ToUtf8(notAnIntegerMessage(value)));
            count_ = n;
        } else {
            fail("'" + cp1250ToUtf8(std::string(label)) + "' is not a value of the input set");
        }
    }

    void once(bool given, const std::string& where, std::string_view label) const
    {
        if (given)
            fail(where + cp1250ToUtf8(std::string(label)) + " given twice");
    }

    void takeComponentValue(ComponentEntries& c, std::string_view label, std::string_view value)
    {
        const std::size_t k = components_.size();
        const std::string where = inComponent(k);
        for (std::size_t i = 0; i < kCoefficientLabels.size(); ++i) {
            if (label == kCoefficientLabels[i]) {
                once(c.coefficientGiven[i], where, label);
                c.coefficients.*kCoefficientMembers[i] = number(value, where);
                c.coefficientGiven[i] = true;
                return;
            }
        }
        if (label.starts_with("Segment ")) {
            takeSegmentValue(c, label, value, where);
            return;
        }
        for (std::size_t i = 0; i < kComponentValues.size() && k > 1; ++i) {
            if (label != labelOf(kComponentValues[i].valueLine))
                continue;
            once(c.given[i], where, label);
            if (kComponentValues[i].member)
                c.values.*kComponentValues[i].member = number(value, where);
            else
                c.values.grainType = grainType(value, where);
            c.given[i] = true;
            return;
        }
        // Component 1's values are the 43 above; a value of its own here would contradict them.
        fail(where + "'" + cp1250ToUtf8(std::string(label)) + "' is not a value of " +
             (k > 1 ? "a component" : "the first component here"));
    }

    int grainType(std::string_view value, const std::string& where) const
    {
        long type = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), type);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() || !isGrainType(type))
            fail(where + cp1250ToUtf8(notAnIntegerMessage(value)));
        return static_cast<int>(type);
    }

    void takeSegmentValue(ComponentEntries& c, std::string_view label, std::string_view value, const std::string& where)
    {
        std::string_view rest = label.substr(std::string_view("Segment ").size());
        std::size_t j = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), j);
        rest = trimmed(rest.substr(static_cast<std::size_t>(end - rest.data())));
        for (std::size_t v = 0; v < kSegmentLabels.size() && error == std::errc(); ++v) {
            if (rest != kSegmentLabels[v])
                continue;
            if (j < 2 || j > kMaxBurningSegments)
                fail(where + "Segment " + std::to_string(j) + ": the segments here are 2 to " +
                     std::to_string(kMaxBurningSegments) + " (segment 1 is beta and alpha)");
            std::optional<double>& slot = c.segments[j][v];
            once(slot.has_value(), where, label);
            slot = number(value, where);
            return;
        }
        fail(where + "'" + cp1250ToUtf8(std::string(label)) + "' is not a value of a segment");
    }

    void checkComplete(const ComponentEntries& c, std::size_t k)
    {
        line_ = c.line;
        const std::string where = inComponent(k);
        for (std::size_t i = 0; i < kComponentValues.size() && k > 1; ++i)
            if (!c.given[i])
                fail(where + cp1250ToUtf8(std::string(labelOf(kComponentValues[i].valueLine))) + " missing");
        const bool anyCoefficient = std::find(c.coefficientGiven.begin(), c.coefficientGiven.end(), true) != c.coefficientGiven.end();
        for (std::size_t i = 0; i < kRequiredCoefficients && anyCoefficient; ++i)
            if (!c.coefficientGiven[i])
                fail(where + cp1250ToUtf8(std::string(kCoefficientLabels[i])) + " missing");
        std::size_t expected = 2;
        for (const auto& [j, values] : c.segments) {
            if (j != expected)
                fail(where + "Segment " + std::to_string(j) + " follows Segment " + std::to_string(expected - 1));
            for (std::size_t v = 0; v < values.size(); ++v)
                if (!values[v])
                    fail(where + "Segment " + std::to_string(j) + " " + std::string(kSegmentLabels[v]) + " missing");
            ++expected;
        }
    }

    static std::vector<BurningSegment> segmentsOf(const ComponentEntries& c)
    {
        std::vector<BurningSegment> segments;
        for (const auto& [j, values] : c.segments)
            segments.push_back({*values[0], *values[1], *values[2]});
        return segments;
    }

    // The factors the charge temperature sets, from each component's coefficients.
    void applyTemperature(BallisticInput& input)
    {
        line_ = temperatureLine_;
        if (!input.temperatureCoefficients)
            fail(cp1250ToUtf8(std::string(kChargeTemperatureLabel)) + " given without the Temperature Coefficients of Component 1");
        try {
            applyChargeTemperature(*temperature_, *input.temperatureCoefficients, input);
        } catch (const InputError& e) {
            fail(e.what());
        }
    }

    int line_ = 0;
    std::optional<double> temperature_;
    int temperatureLine_ = 0;
    std::optional<std::size_t> count_;
    std::vector<ComponentEntries> components_;
};

}  // namespace

bool needsInputSetBlock(const BallisticInput& input)
{
    return !input.upperSegments.empty() || input.chargeTemperature.has_value() || !input.extraComponents.empty();
}

void writeInputSetBlock(std::ostream& out, const BallisticInput& input)
{
    BlockWriter w(out);
    w.line("");
    w.line(kInputSetBlockTitle);
    w.line(" The 43 values above hold the first component of the charge with the first segment of its burning law;");
    w.line(" the rest of the input set follows, every value with all its digits. ");
    w.line("");
    if (input.chargeTemperature)
        w.value(kChargeTemperatureLabel, *input.chargeTemperature);
    w.value(kComponentCountLabel, std::to_string(input.extraComponents.size() + 1));
    w.line("");
    w.line(componentTitle(1));
    writeComponentExtras(w, input.temperatureCoefficients, input.upperSegments);
    for (std::size_t k = 0; k < input.extraComponents.size(); ++k) {
        w.line("");
        w.line(componentTitle(k + 2));
        writeComponent(w, input.extraComponents[k]);
    }
}

std::string inputSetBlockText(const BallisticInput& input)
{
    if (!needsInputSetBlock(input))
        return {};
    std::ostringstream block;
    writeInputSetBlock(block, input);
    std::string text = cp1250ToUtf8(block.str());
    std::erase(text, '\r');
    return text;
}

void clearInputSetExtension(BallisticInput& input)
{
    input.upperSegments.clear();
    input.chargeTemperature.reset();
    input.temperatureCoefficients.reset();
    input.extraComponents.clear();
}

std::optional<InputSetBlockProblem> readInputSetBlock(CharSource& in, BallisticInput& input)
{
    std::optional<std::string> line;
    do {
        line = takeLine(in);
    } while (line && *line != kInputSetBlockTitle && trimmed(*line) != trimmed(kInputSetBlockTitle));
    if (!line)
        return std::nullopt;  // a plain input set
    BallisticInput extended = input;
    BlockReader reader;
    try {
        int number = in.line();
        while ((line = takeLine(in))) {
            reader.take(number, *line);
            number = in.line();
        }
        reader.finish(extended, number - 1);
    } catch (const BlockError& e) {
        return InputSetBlockProblem{e.line, e.message};
    }
    input = std::move(extended);
    return std::nullopt;
}

}  // namespace kalvex::report
