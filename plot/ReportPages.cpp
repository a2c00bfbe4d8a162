#include "plot/ReportPages.h"

#include "core/format/NumberFormat.h"
#include "core/input/InputFields.h"
#include "core/input/InputSet.h"
#include "core/model/GrainTypes.h"
#include "plot/PaintPlot.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <memory>
#include <string_view>

namespace kalvex::plot {
namespace {

// The device draws in pixels of 1/96 inch, the plot's own unit: a plot's 10-point labels and
// its line widths keep their proportions on the page.
constexpr int kDotsPerInch = 96;
constexpr double kValueColumn = 0.62;  // of the text's width, where the values start
constexpr double kMarginMillimetres = 15;
constexpr int kPlotHeight = 340;  // px of a plot on the page; its width is the text's
constexpr int kGap = 12;          // px between blocks

// The window's input pages and the fields each holds, in the order they show them.
struct InputPage {
    const char* title;
    std::vector<std::string_view> parameters;  // as named in kInputFields
};
const InputPage kInputPages[] = {
    {"Weapon and Cartridge", {"A", "mp", "xm", "V0", "Tw", "Vp", "T0w", "h0", "Dw",
                              "rhow", "Cpw", "f", "mrp", "RR", "dt"}},
    {"Powder and Igniter", {"C", "F", "T0", "b", "gamma", "rho", "beta", "alpha",
                            "CI", "FI", "T0I", "bI", "gammaI", "fFT", "fbeta", "fbetaT"}},
    {"Grains Sizes", {"D", "L", "P", "SW"}},
    {"Friction", {"fr", "xe0", "xe", "px0", "pxe0", "pxe", "pxm"}},
};

QFont textFont(int points, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// Writes lines down the page and starts a new page where the next block does not fit.
class PageWriter {
public:
    PageWriter(QPagedPaintDevice& device, QPainter& painter, const ReportPages& report)
        : device_(device), painter_(painter), report_(report)
    {
        const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiY());
        width_ = page.width();
        height_ = page.height();
        startPage();
    }

    double width() const { return width_; }

    // A text wider than the page goes on at the next line, broken at a blank where it has one.
    void line(const QString& text, const QFont& font, double indent = 0)
    {
        const QFontMetrics metrics(font, &device_);
        QString rest = text;
        do {
            const int cut = fittingLength(rest, metrics, width_ - indent);
            room(metrics.lineSpacing());
            painter_.setFont(font);
            painter_.drawText(QPointF(indent, y_ + metrics.ascent()), rest.left(cut));
            y_ += metrics.lineSpacing();
            rest = rest.mid(cut).trimmed();
        } while (!rest.isEmpty());
    }

    // Two columns: the caption and the value with its unit.
    void pair(const QString& caption, const QString& value, const QFont& font)
    {
        const QFontMetrics metrics(font, &device_);
        room(metrics.lineSpacing());
        painter_.setFont(font);
        const double baseline = y_ + metrics.ascent();
        painter_.drawText(QPointF(0, baseline), caption);
        painter_.drawText(QPointF(width_ * kValueColumn, baseline), value);
        y_ += metrics.lineSpacing();
    }

    void gap() { y_ += kGap; }

    void plot(const PlotState& shown)
    {
        room(kPlotHeight);
        // the same ranges and curves at the page's width: labels follow the grid's spacing
        auto copy = std::make_unique<PlotState>(shown);
        ResizePlot(*copy, static_cast<int>(width_), kPlotHeight, 1);
        painter_.save();
        painter_.translate(0, y_);
        paintPlot(painter_, *copy, exportStyle());
        painter_.restore();
        y_ += kPlotHeight + kGap;
    }

private:
    // How many characters of `text` fit into `width`: all, or up to its last blank that fits,
    // or as many as fit when no blank does (at least one, so that every line makes progress).
    static int fittingLength(const QString& text, const QFontMetrics& metrics, double width)
    {
        if (metrics.horizontalAdvance(text) <= width)
            return static_cast<int>(text.size());
        int fits = 1;
        while (fits < text.size() && metrics.horizontalAdvance(text.left(fits + 1)) <= width)
            ++fits;
        const int blank = static_cast<int>(text.lastIndexOf(QLatin1Char(' '), fits));
        return blank > 0 ? blank : fits;
    }

    void room(double needed)
    {
        if (y_ + needed <= height_ - footerHeight())
            return;
        device_.newPage();
        startPage();
    }

    double footerHeight() const { return 2 * kGap; }

    void startPage()
    {
        ++page_;
        y_ = 0;
        const QFont font = textFont(7);
        painter_.setFont(font);
        const QString footer = QStringLiteral("%1 \u2013 %2 \u2013 page %3")
                                   .arg(QString::fromStdString(report_.version), QString::fromStdString(report_.date))
                                   .arg(page_);
        painter_.drawText(QPointF(0, height_ - kGap / 2.0), footer);
    }

    QPagedPaintDevice& device_;
    QPainter& painter_;
    const ReportPages& report_;
    double width_ = 0, height_ = 0, y_ = 0;
    int page_ = 0;
};

void writeInputs(PageWriter& pages, const BallisticInput& input)
{
    const QFont heading = textFont(10, true);
    const QFont text = textFont(8);
    for (const InputPage& page : kInputPages) {
        pages.line(QString::fromUtf8(page.title), heading);
        if (std::string_view(page.title) == "Grains Sizes") {
            const int type = std::clamp(input.grainType, kFirstGrainType, kLastGrainType);
            pages.pair(QStringLiteral("Grain Type"),
                       QStringLiteral("%1 (%2)").arg(type).arg(QString::fromUtf8(grainTypeInfo(type)->name)), text);
        }
        for (std::string_view parameter : page.parameters) {
            const InputField* field = findInputField(parameter);
            if (!field)
                continue;
            const QString value = QString::fromStdString(formatGeneral(shownFieldValue(input, *field))) +
                                  QStringLiteral(" ") + QString::fromUtf8(field->unit);
            pages.pair(QString::fromUtf8(field->caption), value, text);
        }
        pages.gap();
    }
    pages.line(QStringLiteral("Extras"), heading);
    pages.pair(QStringLiteral("Including Heat Transfer"), input.heatTransfer ? QStringLiteral("yes") : QStringLiteral("no"),
               text);
    pages.gap();
}

// Lines laid out in columns by blanks, as the report file has them.
void writeFixedLines(PageWriter& pages, const std::string& lines)
{
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPointSize(6);  // the summary's widest table, some 130 columns, fits the A4 text width
    for (const QString& text : QString::fromStdString(lines).split(QLatin1Char('\n')))
        pages.line(text, fixed);
    pages.gap();
}

}  // namespace

void paintReportPages(QPagedPaintDevice& device, const ReportPages& report)
{
    QPainter painter(&device);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PageWriter pages(device, painter, report);
    pages.line(QString::fromStdString(report.weaponName), textFont(16, true));
    pages.line(QStringLiteral("Interior ballistics report, %1, %2")
                   .arg(QString::fromStdString(report.version), QString::fromStdString(report.date)),
               textFont(8));
    pages.gap();
    writeInputs(pages, report.input);
    if (!report.inputSetBlock.empty())
        writeFixedLines(pages, report.inputSetBlock);

    pages.line(QStringLiteral("Summary"), textFont(10, true));
    writeFixedLines(pages, report.summary);
    for (const PlotState* plot : report.plots)
        if (plot)
            pages.plot(*plot);
}

QByteArray reportPdf(const ReportPages& report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kDotsPerInch);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
                           QPageLayout::Millimeter);
        pdf.setTitle(QString::fromStdString(report.weaponName));
        pdf.setCreator(QString::fromStdString(report.version));
        paintReportPages(pdf, report);
    }
    return buffer.data();
}

}  // namespace kalvex::plot
