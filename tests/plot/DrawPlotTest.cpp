#include "PlotTestSupport.h"
#include "plot/AxisTicks.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRect>

#include <gtest/gtest.h>

using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

bool isDark(QColor c) { return qGray(c.rgb()) < 128; }

// The bounding box of the dark pixels inside `area`; empty when there are none.
QRect inkBox(const PlotState& plot, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isDark(pixel(plot, x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A horizontal curve at y = 0.5 over x from 0 to 1 on the design size: the ranges become
// 0 to 1.05 and 0.475 to 0.525, so it runs along the row trunc(191 − 85.5) = 105 from the
// column 35 to trunc(35 + 192/1.05) = 217.
void setFlatCurve(PlotState& plot, int slot)
{
    const double xs[] = {0, 1};
    const double ys[] = {0.5, 0.5};
    SetSeries(plot, xs, ys, 0, 1, 1, slot);
}

}  // namespace

TEST(DrawPlot, FillsWhiteAndDrawsTheFrameOnItsMargins)
{
    auto plot = newPlot();
    EXPECT_EQ(plot->surface.size(), QSize(247, 226));
    for (const QPoint p : {QPoint(0, 0), QPoint(246, 225), QPoint(100, 100), QPoint(240, 10)})
        EXPECT_TRUE(isWhite(pixel(*plot, p.x(), p.y()))) << p.x() << "," << p.y();
    // frame (35, 20) to (227, 191), one pixel wide
    for (const QPoint p : {QPoint(35, 60), QPoint(227, 100), QPoint(100, 20), QPoint(100, 191),
                           QPoint(35, 20), QPoint(227, 191)})
        EXPECT_TRUE(isBlack(pixel(*plot, p.x(), p.y()))) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(36, 60), QPoint(228, 100), QPoint(226, 100), QPoint(100, 19),
                           QPoint(100, 21), QPoint(100, 192), QPoint(100, 190)})
        EXPECT_TRUE(isWhite(pixel(*plot, p.x(), p.y()))) << p.x() << "," << p.y();
}

TEST(DrawPlot, GridIsDottedEveryFiftyColumnsAndTwentyFiveRows)
{
    auto plot = newPlot();
    int black = 0, white = 0;
    for (int row = 25; row <= 180; ++row) {
        const QColor c = pixel(*plot, 85, row);
        black += isBlack(c);
        white += isWhite(c);
        ASSERT_TRUE(isBlack(c) || isWhite(c)) << row;
        EXPECT_TRUE(isWhite(pixel(*plot, 84, row)) || row % 25 == 191 % 25) << row;
    }
    EXPECT_GT(black, 30);  // dotted: about one pixel in three
    EXPECT_GT(white, 2 * black - 5);
    int rowBlack = 0;
    for (int column = 60; column <= 220; ++column)
        rowBlack += isBlack(pixel(*plot, column, 116));
    EXPECT_GT(rowBlack, 30);
    EXPECT_LT(rowBlack, 80);
    for (int column = 60; column <= 220; ++column)
        ASSERT_TRUE(isWhite(pixel(*plot, column, 117)) || column % 50 == 35) << column;
}

TEST(DrawPlot, TicksStandFiveOnEachSideOfTheFrame)
{
    auto plot = newPlot();
    for (int row = 186; row <= 196; ++row)
        EXPECT_TRUE(isBlack(pixel(*plot, 185, row))) << row;
    EXPECT_TRUE(isWhite(pixel(*plot, 185, 185)));  // the grid's dots start at the frame
    EXPECT_TRUE(isWhite(pixel(*plot, 184, 196)));
    // the y tick's left half lies under the label's opaque background; its right half shows
    for (int column = 36; column <= 40; ++column)
        EXPECT_TRUE(isBlack(pixel(*plot, column, 41))) << column;
}

TEST(DrawPlot, LabelsHaveTheirTopLeftCornerAtTheGivenPoint)
{
    auto plot = newPlot();
    const int height = plot->surface.height();
    for (const AxisTick& tick : xAxisTicks(*plot)) {
        SCOPED_TRACE(tick.label);
        const QRect below(tick.labelLeft - 10, tick.labelTop, 45, height - tick.labelTop);
        const QRect ink = inkBox(*plot, below);
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.left(), tick.labelLeft);
        EXPECT_LE(ink.left(), tick.labelLeft + 2);
        EXPECT_GE(ink.top(), tick.labelTop);
        EXPECT_LE(ink.top(), tick.labelTop + 4);  // digits start a little below the ascent
        EXPECT_LE(ink.bottom(), tick.labelTop + 14);
    }
    const std::vector<AxisTick> y = yAxisTicks(*plot);
    for (std::size_t i = 1; i + 1 < y.size(); ++i) {
        const AxisTick& tick = y[i];
        SCOPED_TRACE(tick.label);
        const QRect ink = inkBox(*plot, QRect(0, tick.labelTop - 7, 30, 20));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_GE(ink.left(), 5);
        EXPECT_LE(ink.left(), 7);
        EXPECT_GE(ink.top(), tick.labelTop);
        EXPECT_LE(ink.top(), tick.labelTop + 4);
    }
}

TEST(DrawPlot, LabelsAreTenPointArialWithAMetricCompatibleFace)
{
    auto plot = newPlot();
    const QFont font = labelFont();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 10);
    const QFontMetrics metrics(font, &plot->surface);
    EXPECT_EQ(metrics.height(), 15);  // 10 pt at 96 dots per inch: 13.3 px em
    // digits of 0.556 em and a point of 0.278 em at whole pixels: 3 × 7 + 4 (a wider
    // fallback face, with digits of 0.636 em, would give 29 or more)
    EXPECT_EQ(metrics.horizontalAdvance("0.27"), 25);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
}

TEST(DrawPlot, LabelBackgroundIsOpaqueWhite)
{
    auto plot = newPlot();
    plot->yMin = 1000000;  // labels such as 1000000.42, wide enough to reach over the frame
    plot->yMax = 1000001.05;
    DrawPlot(*plot);
    const AxisTick tick = yAxisTicks(*plot)[3];
    const int labelRight = 5 + QFontMetrics(labelFont(), &plot->surface).horizontalAdvance(
                                   QString::fromStdString(tick.label));
    ASSERT_GT(labelRight, 50);
    // the label's top row lies on a grid row: blank under the label, dotted beyond it
    for (int column = 35; column < labelRight; ++column)
        EXPECT_TRUE(isWhite(pixel(*plot, column, tick.pixel))) << column;
    int dots = 0;
    for (int column = labelRight; column < labelRight + 30; ++column)
        dots += isBlack(pixel(*plot, column, tick.pixel));
    EXPECT_GE(dots, 8);
}

TEST(DrawPlot, CurveIsTwoPixelsWideInTheSlotsColour)
{
    auto plot = newPlot();
    setFlatCurve(*plot, 0);
    EXPECT_TRUE(isRed(pixel(*plot, 120, 105)));
    EXPECT_TRUE(isRed(pixel(*plot, 120, 104)));
    EXPECT_TRUE(isWhite(pixel(*plot, 120, 103)));
    EXPECT_TRUE(isWhite(pixel(*plot, 120, 106)));
    EXPECT_TRUE(isRed(pixel(*plot, 217, 105)));
    EXPECT_TRUE(isWhite(pixel(*plot, 219, 105)));
}

TEST(DrawPlot, BlackLiesOverBlueOverRed)
{
    auto plot = newPlot();
    setFlatCurve(*plot, 0);
    setFlatCurve(*plot, 1);
    setFlatCurve(*plot, 2);
    EXPECT_TRUE(isBlack(pixel(*plot, 120, 105)));
    ClearSeries(*plot, 2);
    EXPECT_TRUE(isBlue(pixel(*plot, 120, 105)));
    ClearSeries(*plot, 1);
    EXPECT_TRUE(isRed(pixel(*plot, 120, 105)));
    ClearSeries(*plot, 0);
    EXPECT_TRUE(isWhite(pixel(*plot, 120, 105)));
}

TEST(DrawPlot, CurvesStopAtTheFrameAfterAZoom)
{
    auto plot = newPlot();
    const double xs[] = {0, 2};
    const double ys[] = {0.5, 0.5};
    SetSeries(*plot, xs, ys, 0, 1, 1, 0);
    plot->xMax = 1.05;  // as after a zoom to the left half
    DrawPlot(*plot);
    // the right frame line stands at column 227: the curve reaches it and stops there
    EXPECT_TRUE(isRed(pixel(*plot, 226, 105)));
    EXPECT_FALSE(isRed(pixel(*plot, 229, 105)));
    EXPECT_TRUE(isWhite(pixel(*plot, 240, 105)));
}

TEST(DrawPlot, DeepZoomStillDrawsTheCurveThroughTheRightPixels)
{
    auto plot = newPlot();
    const double xs[] = {0, 1, 2};
    const double ys[] = {0, 1, 2};  // a diagonal through (0.5, 0.5)
    SetSeries(*plot, xs, ys, 0, 2, 1, 0);
    plot->xMin = plot->yMin = 0.5;
    plot->xMax = plot->yMax = 0.5 + 1e-9;  // the points now lie 1e11 px away
    DrawPlot(*plot);
    // the diagonal of the frame from (35, 191) to (227, 20) passes (131, 105.5)
    EXPECT_TRUE(isRed(pixel(*plot, 131, 105)));
    EXPECT_TRUE(isRed(pixel(*plot, 35 + 96 / 2, 191 - 171 / 4)));
    EXPECT_TRUE(isWhite(pixel(*plot, 131, 60)));
}

TEST(DrawPlot, AnActiveSlotWithNothingCopiedDrawsNothingVisible)
{
    auto plot = newPlot();
    const double unused[] = {1};
    SetSeries(*plot, unused, unused, 1, 0, 1, 0);
    for (int y = 0; y < plot->surface.height(); ++y)
        for (int x = 0; x < plot->surface.width(); ++x)
            ASSERT_FALSE(isRed(pixel(*plot, x, y))) << x << "," << y;
}

// On a high-density screen the surface has twice the pixels; every position stays the same in
// logical pixels, so the frame's corner and a curve lie at twice their coordinates.
TEST(DrawPlot, DrawsAtTheScreensPixelRatioWithLogicalPositions)
{
    auto plot = std::make_unique<PlotState>();
    InitPlot(*plot, kDesignWidth, kDesignHeight, 2);
    EXPECT_EQ(plot->surface.size(), QSize(2 * kDesignWidth, 2 * kDesignHeight));
    EXPECT_EQ(plotWidth(*plot), kDesignWidth);
    EXPECT_EQ(ValueToPixelX(*plot, 0), 35);
    setFlatCurve(*plot, 0);
    EXPECT_TRUE(isRed(pixel(*plot, 2 * 120, 2 * 105)));
    EXPECT_TRUE(isWhite(pixel(*plot, 2 * 120, 2 * 105 - 6)));
    // the left frame line, one logical pixel wide: two pixels of the surface
    EXPECT_TRUE(isDark(pixel(*plot, 2 * 35, 2 * 100)));
    EXPECT_TRUE(isDark(pixel(*plot, 2 * 35 + 1, 2 * 100)) || isDark(pixel(*plot, 2 * 35 - 1, 2 * 100)));
    // an exported image at three times the pixels has the same picture
    const QImage large = renderPlotImage(*plot, 3);
    EXPECT_EQ(large.size(), QSize(3 * kDesignWidth, 3 * kDesignHeight));
    EXPECT_TRUE(isRed(QColor(large.pixel(3 * 120, 3 * 105))));
}

// A rising curve: on a screen of ratio 1 its pixels are its colour or white; at ratio 2 and in
// every export its edges blend into the white.
TEST(DrawPlot, CurvesAreSmoothAboveRatioOneAndInEveryExport)
{
    const auto blended = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > c.green() + 20 && c.green() > 0 && c.green() < 255;
            }
        return count;
    };
    const double xs[] = {0, 1};
    const double ys[] = {0, 1};
    auto screen = newPlot();
    SetSeries(*screen, xs, ys, 0, 1, 1, 0);
    EXPECT_EQ(blended(screen->surface), 0);
    EXPECT_GT(blended(renderPlotImage(*screen, 1)), 0);
    auto dense = std::make_unique<PlotState>();
    InitPlot(*dense, kDesignWidth, kDesignHeight, 2);
    SetSeries(*dense, xs, ys, 0, 1, 1, 0);
    EXPECT_GT(blended(dense->surface), 0);
}

// The legend's box stands in the frame's top right corner, its top line on row 26.
TEST(DrawPlot, TwoNamedCurvesGetALegendOneDoesNot)
{
    auto plot = newPlot();
    plot->series[0].name = "Pmean, mean pressure";
    setFlatCurve(*plot, 0);
    const auto topLineDrawn = [&] {
        for (int x = 205; x <= 220; ++x)
            if (!isDark(pixel(*plot, x, 26)))
                return false;
        return true;
    };
    EXPECT_FALSE(topLineDrawn());
    plot->series[1].name = "Pb, base pressure";
    setFlatCurve(*plot, 1);
    EXPECT_TRUE(topLineDrawn());
}
