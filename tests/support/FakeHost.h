#pragma once
// A Start-command host without a window: field texts in a map by control name, as the window's
// form and the case files name them; Memo1 as a list of lines.
#include "core/input/InputFields.h"
#include "core/input/StartCommand.h"

#include <map>
#include <string>
#include <vector>

namespace kalvex::test {

class FakeHost : public StartHost {
public:
    std::map<std::string, std::string, std::less<>> fields;
    int grain = 2;
    bool heat = true;
    SummaryOptions options;
    char separator = '.';
    std::vector<std::string> memo;
    std::vector<std::string> fieldWrites;  // "dt=..." (parameter=text) in the order written
    int completedRuns = 0;
    int completedStepCount = 0;

    std::string fieldText(std::string_view parameter) const override
    {
        const auto it = fields.find(findInputField(parameter)->control);
        return it == fields.end() ? std::string("0") : it->second;  // a form default
    }
    void setFieldText(std::string_view parameter, const std::string& text) override
    {
        fields[findInputField(parameter)->control] = text;
        fieldWrites.push_back(std::string(parameter) + "=" + text);
    }
    int grainType() const override { return grain; }
    bool heatTransfer() const override { return heat; }
    SummaryOptions summaryOptions() const override { return options; }
    char decimalSeparator() const override { return separator; }
    void appendLine(const std::string& line) override { memo.push_back(line); }
    void runCompleted(const RunResults& results) override
    {
        ++completedRuns;
        completedStepCount = results.stepCount;
    }
};

// Reads a case file: "key=value" lines (field texts as typed, grainType, CheckBox1 to 3);
// lines starting with '#' are comments.
FakeHost loadCase(const std::string& name);

// The lines of a reference Memo1 text.
std::vector<std::string> loadMemo(const std::string& name);

}  // namespace kalvex::test
