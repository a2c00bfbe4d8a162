#pragma once
// A page of the reports that `make verify` writes: markdown text, the PNG figures it shows
// (saved into a folder of their own beside the page), and the outcome of every check on it.
#include "batch/BatchRun.h"
#include "tools/verification/ClosedFormChecks.h"
#include "tools/verification/Figure.h"

#include <QImage>

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::verification {

// A number with `digits` significant digits, with a point whatever the locale.
std::string num(double v, int digits = 8);

class ReportPage {
public:
    // Figures go to docsFolder/figureFolder/NAME.png and are linked as figureFolder/NAME.png.
    ReportPage(std::string docsFolder, std::string figureFolder, std::ostream& log);

    std::ostringstream md;
    bool passed = true;
    std::vector<std::pair<std::string, bool>> outcomes;  // every check in order, for the summary

    // A check that passed or failed; a failure is named on the log.
    void record(const std::string& name, bool ok);
    // A check with its table of compared quantities and the reason for its tolerance.
    void check(const CheckResult& c);
    // Rows compared with recorded values: a line for each that moved, one outcome for all.
    void recordedFigures(const std::string& name, const std::vector<CheckRow>& rows);
    void figure(const std::string& name, const Figure& f);
    void image(const std::string& name, const QImage& picture, const std::string& title);

private:
    std::string folder_;
    std::string figureFolder_;
    std::ostream& log_;
};

// An example report run as kalvex-batch runs it, with or without heat loss.
std::unique_ptr<batch::ReportRun> runExample(const std::string& path, bool heatTransfer);

}  // namespace kalvex::verification
