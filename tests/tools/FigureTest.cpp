// The report figures: long curves, markers and their bars where the plot's mapping puts them.
#include "plot/PlotState.h"
#include "tools/verification/Figure.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

using namespace kalvex::verification;

namespace {

// The rows and columns of the pixels of one colour, as a box.
struct Box {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    bool empty() const { return right < 0; }
};

Box pixelsOf(const QImage& image, QColor colour)
{
    Box box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

Figure fixedFigure(double xMax, double yMax)
{
    Figure f;
    f.fixedRange = true;
    f.xMax = xMax;
    f.yMax = yMax;
    return f;
}

}  // namespace

TEST(ReportFigure, ACurveLongerThanASlotIsThinnedAndKeepsItsLastPoint)
{
    // Flat at 0, then up to the top at the very last point: a thinning that drops the last
    // point leaves no red in the upper half.
    const int n = 3 * kalvex::plot::kSlotCapacity + 8;  // its last index no multiple of the stride
    Figure f = fixedFigure(n - 1, 1);
    for (int k = 0; k < n; ++k)
        f.curves[0].push_back({double(k), k == n - 1 ? 1.0 : 0.0});
    f.legend = {"", "", ""};
    QImage image;
    ASSERT_NO_THROW(image = drawFigure(f));
    const Box red = pixelsOf(image, QColor(255, 0, 0));
    ASSERT_FALSE(red.empty());
    EXPECT_LT(red.top, image.height() / 2);
}

TEST(ReportFigure, AMarkersBarSpansItsRangeOnThePlotsScale)
{
    // Plot area 565 x 305 px for the figures' 620 x 360 plot: a bar from 2 to 8 on an axis of
    // 0 to 10 is 0.6 of 305 px tall, and the marker is a few pixels wide.
    Figure f = fixedFigure(10, 10);
    f.markers = {{5, 5, 2, 8, 1}};
    const Box blue = pixelsOf(drawFigure(f), QColor(0, 0, 255));
    ASSERT_FALSE(blue.empty());
    EXPECT_NEAR(blue.bottom - blue.top, 0.6 * 305, 3);
    EXPECT_LE(blue.right - blue.left, 12);
}
