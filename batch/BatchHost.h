#pragma once
// The Start command's view of a window, for runs without one: field texts held in a map,
// the results area written line by line to a stream.

#include "core/StartCommand.h"

#include <map>
#include <ostream>
#include <string>

namespace kalvex::batch {

class BatchHost : public StartHost {
public:
    BatchHost(std::ostream& memo, int grainType, bool heatTransfer, SummaryOptions summary)
        : memo_(memo), grainType_(grainType), heatTransfer_(heatTransfer), summary_(summary)
    {
    }

    std::string fieldText(std::string_view control) const override;
    void setFieldText(std::string_view control, const std::string& text) override;
    int grainType() const override { return grainType_; }
    bool heatTransfer() const override { return heatTransfer_; }
    SummaryOptions summaryOptions() const override { return summary_; }
    char decimalSeparator() const override { return '.'; }
    void appendLine(const std::string& line) override { memo_ << line << '\n'; }
    void runCompleted(const RunResults&) override {}  // nothing to redraw

private:
    std::map<std::string, std::string, std::less<>> fields_;
    std::ostream& memo_;
    int grainType_;
    bool heatTransfer_;
    SummaryOptions summary_;
};

}  // namespace kalvex::batch
