#include "plotexport/PlotExport.h"

#include "core/results/Errors.h"
#include "plot/ImageBytes.h"
#include "plot/PaintPlot.h"
#include "report/SafeSave.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <string_view>

namespace kalvex::plot {
namespace {

// The plot's pixels are logical pixels of a screen of 96 dots per inch: a vector page of the
// same size in inches keeps the labels' 10 points as they are on screen.
constexpr int kLogicalDotsPerInch = 96;

QByteArray svgBytes(const PlotState& plot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(kLogicalDotsPerInch);
    svg.setSize(QSize(plotWidth(plot), plotHeight(plot)));
    svg.setViewBox(QRect(0, 0, plotWidth(plot), plotHeight(plot)));
    svg.setTitle(QString::fromStdString(plot.yTitle));
    QPainter painter(&svg);
    paintPlot(painter, plot, exportStyle());
    painter.end();
    return buffer.data();
}

QByteArray pdfBytes(const PlotState& plot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kLogicalDotsPerInch);
    const QSizeF inches(static_cast<double>(plotWidth(plot)) / kLogicalDotsPerInch,
                        static_cast<double>(plotHeight(plot)) / kLogicalDotsPerInch);
    pdf.setPageSize(QPageSize(inches, QPageSize::Inch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(QString::fromStdString(plot.yTitle));
    QPainter painter(&pdf);
    paintPlot(painter, plot, exportStyle());
    painter.end();
    return buffer.data();
}

const char* formatName(PlotFormat format)
{
    switch (format) {
    case PlotFormat::svg: return "SVG";
    case PlotFormat::pdf: return "PDF";
    case PlotFormat::png: break;
    }
    return "PNG";
}

}  // namespace

const QString kPlotFileFilter =
    QStringLiteral("PNG images (*.png);;SVG drawings (*.svg);;PDF documents (*.pdf)");

PlotFormat plotFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return PlotFormat::svg;
    if (suffix == QLatin1String("pdf"))
        return PlotFormat::pdf;
    return PlotFormat::png;
}

QByteArray plotBytes(const PlotState& plot, PlotFormat format, double pixelRatio)
{
    QByteArray bytes;
    switch (format) {
    case PlotFormat::svg: bytes = svgBytes(plot); break;
    case PlotFormat::pdf: bytes = pdfBytes(plot); break;
    case PlotFormat::png: bytes = encodeImage(renderPlotImage(plot, pixelRatio), "PNG"); break;
    }
    if (bytes.isEmpty())
        throw InputError(std::string("The plot could not be encoded as ") + formatName(format) + ".");
    return bytes;
}

void savePlot(const PlotState& plot, const std::string& path, PlotFormat format, double pixelRatio)
{
    const QByteArray bytes = plotBytes(plot, format, pixelRatio);
    report::saveBytesSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace kalvex::plot
