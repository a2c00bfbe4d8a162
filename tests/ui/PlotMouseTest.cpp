// The mouse on Graf0: read-out, rubber band, zoom and the double click back.
#include "WindowDriver.h"

#include "plot/PlotState.h"
#include "ui/PlotView.h"
#include "ui/RubberBandOverlay.h"
#include "ui/Vstup1.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct Ranges {
    double xMin, xMax, yMin, yMax;
    bool operator==(const Ranges&) const = default;
};

Ranges rangesOf(const plot::PlotState& plot)
{
    return {plot.xMin, plot.xMax, plot.yMin, plot.yMax};
}

QPoint plotOrigin(const ui::Tvstup& w)
{
    return w.plotView()->mapTo(&w, QPoint(0, 0));
}

}  // namespace

TEST(PlotMouse, PressShowsTheValueUnderTheMouseWithFourMoreDecimals)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const plot::PlotState& plot = w.plotState();
    ASSERT_EQ(plot.xDecimals, 2);
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(71, 150));
    // x: 36 px into a 192 px frame spanning 1.05; y: 41 px up a 171 px frame spanning 1.05
    EXPECT_EQ(field(w, "Edit17")->text(), "0.196875");
    EXPECT_EQ(field(w, "Edit18")->text(), "0.251754");
    EXPECT_EQ(plot.dragActive, 1);
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(71, 150));
    EXPECT_EQ(plot.dragActive, 0);
}

TEST(PlotMouse, DragZoomsToTheRectangleAndDoubleClickRestores)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const plot::PlotState& plot = w.plotState();
    const Ranges start = rangesOf(plot);
    const QImage startImage = plot.surface.copy();
    const QPoint from(71, 150);
    const QPoint to(150, 60);

    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, from);
    const double x0 = plot.dragX0;
    const double y0 = plot.dragY0;
    QTest::mouseMove(w.plotView(), to);
    const auto& band = w.rubberBandLayer()->band();
    ASSERT_TRUE(band.has_value());
    EXPECT_EQ(band->a, from + plotOrigin(w));
    EXPECT_EQ(band->b, to + plotOrigin(w));
    EXPECT_FALSE(band->belowThreshold);
    EXPECT_EQ(w.rubberBandLayer()->penColour(), QColor(0, 0, 0));
    // the band lies over the window, never in the plot's own picture
    EXPECT_EQ(plot.surface, startImage);

    const double x1 = plot::PixelToValueX(plot, to.x());
    const double y1 = plot::PixelToValueY(plot, to.y());
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(w.rubberBandLayer()->band().has_value());
    EXPECT_EQ(rangesOf(plot), (Ranges{x0, x1, y0, y1}));
    EXPECT_NE(plot.surface, startImage);

    QTest::mouseDClick(w.plotView(), Qt::LeftButton, Qt::NoModifier, to);
    // no curve yet: the automatic ranges of an empty plot, 0 to 1.05 with one decimal
    EXPECT_EQ(rangesOf(plot), start);
    EXPECT_EQ(plot.xDecimals, 1);
    EXPECT_EQ(plot.yDecimals, 1);
}

TEST(PlotMouse, RealDoubleClickAfterAZoomRestoresTheRangesAndZoomsNothing)
{
    // A window system delivers a double click as press, release, double click, release. The
    // second press falls after the rescale, so it reads the new ranges and its release, on the
    // same point, cannot zoom into a rectangle spanning the old and the new ranges.
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const plot::PlotState& plot = w.plotState();
    const Ranges start = rangesOf(plot);
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 185));
    QTest::mouseMove(w.plotView(), QPoint(100, 120));
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 120));
    ASSERT_LT(plot.xMax, 0.5);  // zoomed into the lower left

    const QPoint upperRight(220, 30);
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, upperRight);
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, upperRight);
    QMouseEvent secondPress(QEvent::MouseButtonDblClick, upperRight, w.plotView()->mapToGlobal(upperRight),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.plotView(), &secondPress);
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, upperRight);

    EXPECT_EQ(rangesOf(plot), start);
    EXPECT_EQ(plot.xDecimals, 1);
    EXPECT_EQ(plot.yDecimals, 1);
    EXPECT_EQ(plot.dragActive, 0);
    // the read-out of the second press is the value under the mouse in the restored ranges
    EXPECT_DOUBLE_EQ(plot.dragX0, plot::PixelToValueX(plot, upperRight.x()));
    EXPECT_DOUBLE_EQ(plot.dragY0, plot::PixelToValueY(plot, upperRight.y()));
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(PlotMouse, SmallDragShowsARedBandAndZoomsNothing)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const plot::PlotState& plot = w.plotState();
    const Ranges start = rangesOf(plot);
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(71, 150));
    // 18 px of 192 is below a tenth of the x span, although y moves far enough
    QTest::mouseMove(w.plotView(), QPoint(89, 60));
    ASSERT_TRUE(w.rubberBandLayer()->band().has_value());
    EXPECT_TRUE(w.rubberBandLayer()->band()->belowThreshold);
    EXPECT_EQ(w.rubberBandLayer()->penColour(), QColor(255, 0, 0));
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(89, 60));
    EXPECT_EQ(rangesOf(plot), start);
    EXPECT_FALSE(w.rubberBandLayer()->band().has_value());
}

TEST(PlotMouse, DragsInEitherDirectionAndWithEitherButtonZoomAlike)
{
    struct Case {
        Qt::MouseButton button;
        QPoint from, to;
    };
    const Case cases[] = {
        {Qt::LeftButton, {60, 40}, {180, 170}},
        {Qt::LeftButton, {180, 170}, {60, 40}},
        {Qt::RightButton, {60, 40}, {180, 170}},
    };
    std::vector<Ranges> zoomed;
    for (const Case& c : cases) {
        WindowUnderTest ui;
        ui::Tvstup& w = *ui.window;
        QTest::mousePress(w.plotView(), c.button, Qt::NoModifier, c.from);
        QTest::mouseMove(w.plotView(), c.to);
        QTest::mouseRelease(w.plotView(), c.button, Qt::NoModifier, c.to);
        zoomed.push_back(rangesOf(w.plotState()));
    }
    EXPECT_LT(zoomed[0].xMax, 1.05);
    EXPECT_GT(zoomed[0].xMin, 0.0);
    EXPECT_EQ(zoomed[1], zoomed[0]);
    EXPECT_EQ(zoomed[2], zoomed[0]);
}

TEST(PlotMouse, ReleaseOutsideThePlotStillEndsTheDrag)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const plot::PlotState& plot = w.plotState();
    const QPoint beyond(w.plotView()->width() + 30, -20);  // right of and above the plot
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 120));
    QTest::mouseMove(w.plotView(), beyond);
    ASSERT_TRUE(w.rubberBandLayer()->band().has_value());
    EXPECT_EQ(w.rubberBandLayer()->band()->b, beyond + plotOrigin(w));
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, beyond);
    EXPECT_EQ(plot.dragActive, 0);
    // the zoom may reach beyond the previous ranges
    EXPECT_GT(plot.xMax, 1.05);
    EXPECT_GT(plot.yMax, 1.05);
}

TEST(PlotMouse, MoveWithoutAPressDrawsNothing)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    QTest::mouseMove(w.plotView(), QPoint(120, 100));
    EXPECT_FALSE(w.rubberBandLayer()->band().has_value());
    EXPECT_EQ(field(w, "Edit17")->text(), "0");
}
