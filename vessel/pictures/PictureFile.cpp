#include "vessel/pictures/PictureFile.h"

#include "plot/ImageBytes.h"
#include "plot/PaintPlot.h"
#include "report/SafeSave.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace kalvex::vessel {

namespace {

constexpr double kPngPixelRatio = 2;       // device pixels per logical pixel of the plot
constexpr int kLogicalDotsPerInch = 96;    // the plot's pixels are a 96 dpi screen's

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

}  // namespace

void savePicture(const plot::PlotState& plot, const std::string& path)
{
    const bool svg = std::filesystem::path(path).extension() == ".svg";
    const QByteArray bytes =
        svg ? svgBytes(plot) : plot::encodeImage(plot::renderPlotImage(plot, kPngPixelRatio), "PNG");
    if (bytes.isEmpty())
        throw std::runtime_error("the picture " + path + " could not be encoded");
    report::saveBytesSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace kalvex::vessel
