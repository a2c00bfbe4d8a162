#include "tools/verification/ReportPage.h"

#include "plot/ImageBytes.h"
#include "report/SafeSave.h"

#include <cstdio>
#include <string_view>

namespace kalvex::verification {

namespace {

// Encoded in memory and saved through the program's one save routine (SaveError on failure).
void savePng(const std::string& path, const QImage& picture)
{
    const QByteArray png = plot::encodeImage(picture, "PNG");
    if (png.isEmpty())
        throw report::SaveError("Cannot encode \"" + path + "\" as PNG");
    report::saveBytesSafely(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

}  // namespace

std::string num(double v, int digits)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, v);
    return text;
}

ReportPage::ReportPage(std::string docsFolder, std::string figureFolder, std::ostream& log)
    : folder_(std::move(docsFolder)), figureFolder_(std::move(figureFolder)), log_(log)
{
}

void ReportPage::record(const std::string& name, bool ok)
{
    passed = passed && ok;
    outcomes.emplace_back(name, ok);
    if (!ok)
        log_ << "check failed: " << name << '\n';
}

void ReportPage::check(const CheckResult& c)
{
    const bool ok = c.passed();
    record(c.name, ok);
    md << "### " << c.name << " — " << (ok ? "passed" : "**FAILED**") << "\n\n" << c.setup << "\n\n";
    md << "| quantity | expected | computed | deviation | tolerance |\n| --- | ---: | ---: | ---: | ---: |\n";
    for (const CheckRow& r : c.rows) {
        md << "| " << r.quantity << " | " << num(r.expected, 15) << " | " << num(r.computed, 15) << " | "
           << num(r.deviation(), 3) << (r.absolute ? "" : " rel.") << " | " << num(r.tolerance, 3)
           << (r.passed() ? "" : " **exceeded**") << " |\n";
    }
    md << "\n*Tolerance.* " << c.tolerance << "\n\n";
}

void ReportPage::recordedFigures(const std::string& name, const std::vector<CheckRow>& rows)
{
    bool asRecorded = !rows.empty();
    for (const CheckRow& r : rows) {
        if (r.passed())
            continue;
        asRecorded = false;
        md << "**Moved:** " << r.quantity << ", recorded " << num(r.expected, 6) << ", now " << num(r.computed, 6)
           << ".\n\n";
    }
    record(name, asRecorded);
}

void ReportPage::figure(const std::string& name, const Figure& f)
{
    image(name, drawFigure(f), f.title.toStdString());
}

void ReportPage::image(const std::string& name, const QImage& picture, const std::string& title)
{
    const std::string file = figureFolder_ + "/" + name + ".png";
    savePng(folder_ + "/" + file, picture);
    md << "![" << title << "](" << file << ")\n\n";
}

std::unique_ptr<batch::ReportRun> runExample(const std::string& path, bool heatTransfer)
{
    batch::BatchOptions options;
    options.inputPath = path;
    options.heatTransfer = heatTransfer;
    std::ostringstream memo;
    return std::make_unique<batch::ReportRun>(batch::runReportInput(options, memo));
}

}  // namespace kalvex::verification
