// A console run of the bundled sample input: the Start command's sequence with its Memo1
// lines written to standard output. Stands in for the window where none can be shown.
#include "core/BallisticInput.h"
#include "core/Errors.h"
#include "core/StartCommand.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

using kalvex::RunResults;
using kalvex::SummaryOptions;

// A 155 mm howitzer with 7-perforated grains, the field texts as a user types them.
const std::map<std::string, std::string, std::less<>> kSampleFields = {
    {"Edit1", "0.01922"}, {"Edit2", "43.5"},    {"Edit3", "5.08"},    {"Edit4", "0.0188"},
    {"Edit5", "20"},      {"Edit6", "0.0002"},  {"Edit7", "21"},      {"Edit8", "10"},
    {"Edit9", "0.0002"},  {"Edit10", "7850"},   {"Edit11", "460"},    {"Edit12", "0.2"},
    {"Edit13", "2500"},   {"Edit14", "150000"}, {"Edit15", "0.01"},   {"Edit16", "1"},
    {"Edit19", "11.5"},   {"Edit20", "1.08e6"}, {"Edit21", "3040"},   {"Edit22", "0.00102"},
    {"Edit23", "1.24"},   {"Edit24", "1660"},   {"Edit25", "4.8e-9"}, {"Edit26", "0.9"},
    {"Edit27", "0.1"},    {"Edit28", "3e5"},    {"Edit29", "2000"},   {"Edit30", "0.0005"},
    {"Edit31", "1.25"},   {"Edit32", "1.01"},   {"Edit34", "0.98"},   {"Edit35", "1.03"},
    {"Edit36", "0.03"},   {"Edit37", "0.2"},    {"Edit38", "5"},      {"Edit39", "30"},
    {"Edit40", "10"},     {"Edit41", "5"},      {"Edit42", "10"},     {"Edit43", "22"},
    {"Edit44", "0.9"},    {"Edit45", "0"},
};
constexpr int kSampleGrainType = 6;  // 7-perforated

class ConsoleHost : public kalvex::StartHost {
public:
    std::string fieldText(std::string_view control) const override
    {
        const auto it = fields_.find(control);
        return it == fields_.end() ? std::string("0") : it->second;
    }
    void setFieldText(std::string_view control, const std::string& text) override
    {
        fields_.insert_or_assign(std::string(control), text);
    }
    int grainType() const override { return kSampleGrainType; }
    bool heatTransfer() const override { return true; }
    SummaryOptions summaryOptions() const override { return SummaryOptions{true, true}; }
    char decimalSeparator() const override { return '.'; }
    void appendLine(const std::string& line) override { std::printf("%s\n", line.c_str()); }
    void runCompleted(const RunResults&) override {}

private:
    std::map<std::string, std::string, std::less<>> fields_ = kSampleFields;
};

}  // namespace

int main()
{
    std::printf("Kalvex: no window here; the sample input (155 mm howitzer, 7-perforated grains) "
                "run on the console.\n");
    ConsoleHost host;
    kalvex::BallisticInput stored;
    kalvex::RunStore runs;
    try {
        kalvex::runStartCommand(host, stored, runs);
    } catch (const kalvex::InputError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
