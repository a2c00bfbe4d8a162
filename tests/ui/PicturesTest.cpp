#include "ui/JpegImage.h"
#include "ui/Pictures.h"

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

using namespace kalvex::ui;

namespace {

QByteArray embeddedBytes(const QString& name)
{
    QFile file(":/assets/" + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

// Share of pixels that are not near white: a line drawing has some ink, but not a lot.
double inkShare(const QImage& image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 200)
                ++ink;
    return double(ink) / (image.width() * image.height());
}

}  // namespace

TEST(Pictures, EveryGrainSketchHasTheSameSizeAndShowsADrawing)
{
    for (int type = 1; type <= 7; ++type) {
        SCOPED_TRACE(type);
        const QImage image = grainPicture(type);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(200, 160));
        EXPECT_GT(inkShare(image), 0.01);
        EXPECT_LT(inkShare(image), 0.30);
    }
}

TEST(Pictures, GrainTypesOutsideOneToSevenHaveNoPicture)
{
    EXPECT_TRUE(grainPicture(0).isNull());
    EXPECT_TRUE(grainPicture(8).isNull());
    EXPECT_TRUE(grainPicture(-1).isNull());
}

TEST(Pictures, GrainSketchesDifferFromEachOther)
{
    for (int a = 1; a <= 7; ++a)
        for (int b = a + 1; b <= 7; ++b)
            EXPECT_NE(grainPicture(a), grainPicture(b)) << a << " and " << b;
}

TEST(Pictures, BoreResistanceAndTitlePicturesHaveTheirSizes)
{
    const QImage friction = boreResistancePicture();
    ASSERT_FALSE(friction.isNull());
    EXPECT_EQ(friction.size(), QSize(240, 170));
    const QImage title = titlePicture();
    ASSERT_FALSE(title.isNull());
    EXPECT_EQ(title.size(), QSize(265, 105));
}

TEST(JpegImage, DecodesTheSameColoursAsTheStoredPicture)
{
    // The grain sketches are drawn on white: the corner stays (nearly) white after compression.
    const QImage image = decodeJpeg(embeddedBytes("grain1.jpg"));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(QColor(image.pixel(0, 0)).lightness(), 245);
    EXPECT_GT(QColor(image.pixel(199, 159)).lightness(), 245);
}

TEST(JpegImage, DamagedDataGivesANullImageWithoutEndingTheProgram)
{
    const QByteArray good = embeddedBytes("title.jpg");
    ASSERT_GT(good.size(), 1000);

    QByteArray noHeader = good;
    noHeader[0] = 'X';  // not a JPEG start marker
    QByteArray brokenMarker = good;
    brokenMarker[2] = '\x00';  // the first marker after the start is no marker at all
    QByteArray noBody = good.left(good.size() / 2);  // cut in the middle of the scan
    QByteArray headerOnly = good.left(300);

    const struct {
        const char* what;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"plain text", QByteArray("this is not a picture")},
        {"no start marker", noHeader},
        {"broken marker", brokenMarker},
        {"truncated scan", noBody},
        {"header only", headerOnly},
        {"last byte missing", good.left(good.size() - 2)},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(decodeJpeg(c.data).isNull()) << c.what;

    // The decoder is still usable after the failures.
    EXPECT_EQ(decodeJpeg(good).size(), QSize(265, 105));
}
