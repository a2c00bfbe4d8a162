#include "ui/PlotExport.h"

#include "core/results/Errors.h"
#include "plot/ImageBytes.h"
#include "plot/PaintPlot.h"
#include "report/SafeSave.h"
#include "ui/LocalPath.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace kalvex::ui {
namespace {

// The plot's pixels are logical pixels of a screen of 96 dots per inch: a vector page of the
// same size in inches keeps the labels' 10 points as they are on screen.
constexpr int kLogicalDotsPerInch = 96;

void saveBytes(const QString& path, const QByteArray& bytes)
{
    report::saveBytesSafely(localPath(path), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QByteArray svgBytes(const plot::PlotState& plot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(kLogicalDotsPerInch);
    svg.setSize(QSize(plot::plotWidth(plot), plot::plotHeight(plot)));
    svg.setViewBox(QRect(0, 0, plot::plotWidth(plot), plot::plotHeight(plot)));
    svg.setTitle(QString::fromStdString(plot.yTitle));
    QPainter painter(&svg);
    plot::paintPlot(painter, plot, plot::exportStyle());
    painter.end();
    return buffer.data();
}

QByteArray pdfBytes(const plot::PlotState& plot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kLogicalDotsPerInch);
    const QSizeF inches(static_cast<double>(plot::plotWidth(plot)) / kLogicalDotsPerInch,
                        static_cast<double>(plot::plotHeight(plot)) / kLogicalDotsPerInch);
    pdf.setPageSize(QPageSize(inches, QPageSize::Inch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(QString::fromStdString(plot.yTitle));
    QPainter painter(&pdf);
    plot::paintPlot(painter, plot, plot::exportStyle());
    painter.end();
    return buffer.data();
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

void savePlot(const plot::PlotState& plot, const QString& path, PlotFormat format, double pixelRatio)
{
    switch (format) {
    case PlotFormat::svg: saveBytes(path, svgBytes(plot)); return;
    case PlotFormat::pdf: saveBytes(path, pdfBytes(plot)); return;
    case PlotFormat::png: {
        const QByteArray png = plot::encodeImage(plot::renderPlotImage(plot, pixelRatio), "PNG");
        if (png.isEmpty())
            throw InputError("The plot could not be encoded as PNG.");
        saveBytes(path, png);
        return;
    }
    }
}

}  // namespace kalvex::ui
