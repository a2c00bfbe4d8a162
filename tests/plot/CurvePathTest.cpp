#include "plot/CurvePath.h"

#include <gtest/gtest.h>

#include <limits>

using kalvex::plot::CurvePath;

TEST(CurvePath, TruncatesTowardZeroAndDropsRepeatedPixels)
{
    CurvePath path(200, 100);
    path.lineTo(10.9, 20.2);
    path.lineTo(10.1, 20.7);  // the same pixel: a line of no length
    path.lineTo(-0.7, 55.99);
    path.lineTo(-1.5, -2.5);
    ASSERT_EQ(path.pieces().size(), 1u);
    EXPECT_EQ(path.pieces()[0], QPolygon({QPoint(10, 20), QPoint(0, 55), QPoint(-1, -2)}));
}

TEST(CurvePath, KeepsPointsFarOutsideTheSurfaceUncut)
{
    CurvePath path(200, 100);
    path.lineTo(-3000, 50);
    path.lineTo(4000, 3000);
    ASSERT_EQ(path.pieces().size(), 1u);
    EXPECT_EQ(path.pieces()[0], QPolygon({QPoint(-3000, 50), QPoint(4000, 3000)}));
}

TEST(CurvePath, CutsSegmentsThatLeaveTheGuardBandOnTheirOwnLine)
{
    CurvePath path(200, 100);
    path.lineTo(100, 50);
    path.lineTo(100 + 1e12, 50 + 1e12);  // a deep zoom: 45 degrees away
    path.lineTo(100 + 2e12, 50);           // wholly outside
    path.lineTo(150, 50);                  // back in along the row 50
    ASSERT_EQ(path.pieces().size(), 2u);
    const QPolygon first = path.pieces()[0];
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first[0], QPoint(100, 50));
    EXPECT_EQ(first[1].y() - first[1].x(), -50);  // still on the diagonal
    EXPECT_EQ(first[1].y(), 100 + 4096);          // cut at the band's lower edge
    const QPolygon second = path.pieces()[1];
    EXPECT_EQ(second, QPolygon({QPoint(200 + 4096, 50), QPoint(150, 50)}));
}

TEST(CurvePath, BreaksTheCurveAtValuesWithNoPlace)
{
    CurvePath path(200, 100);
    path.lineTo(10, 10);
    path.lineTo(20, 20);
    path.lineTo(std::numeric_limits<double>::quiet_NaN(), 5);
    path.lineTo(30, 30);
    path.lineTo(40, 40);
    ASSERT_EQ(path.pieces().size(), 2u);
    EXPECT_EQ(path.pieces()[1], QPolygon({QPoint(30, 30), QPoint(40, 40)}));
}
