// Draws the pictures of the windows and writes them as JPEG files (the icon as PNG):
//   kalvex-draw-pictures <folder>
// The program embeds the files of assets/ and decodes them at run time; redraw them with this
// tool when a sketch changes, so the committed pictures stay reproducible.
#include "Sketches.h"
#include "plot/ImageBytes.h"
#include "report/SafeSave.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <string_view>

namespace {

constexpr int kJpegQuality = 95;  // line drawings need a high quality to keep edges clean

bool save(const QImage& image, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    const bool png = name.endsWith(".png");  // the icon needs its transparent corners
    const QByteArray bytes = kalvex::plot::encodeImage(image, png ? "PNG" : "JPEG", png ? -1 : kJpegQuality);
    try {
        if (bytes.isEmpty())
            throw kalvex::report::SaveError("cannot encode " + name.toStdString());
        kalvex::report::saveBytesSafely(QFile::encodeName(path).toStdString(),
                                        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const kalvex::report::SaveError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);  // fonts need the application
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvex-draw-pictures <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", argv[1]);
        return 2;
    }
    bool ok = true;
    for (int type = 1; type <= 7; ++type)
        ok = save(kalvex::tools::drawGrainSketch(type), folder, QString("grain%1.jpg").arg(type)) && ok;
    ok = save(kalvex::tools::drawBoreResistanceSketch(), folder, "friction.jpg") && ok;
    ok = save(kalvex::tools::drawTitlePicture(), folder, "title.jpg") && ok;
    ok = save(kalvex::tools::drawIcon(), folder, "kalvex.png") && ok;
    return ok ? 0 : 1;
}
