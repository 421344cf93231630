// qern-picgen: draws the pictures the program ships.
//
//   qern-picgen DATA_FOLDER CHARTS_FOLDER
//
// DATA_FOLDER receives the 72 point guide pictures ("PLh1.bmp" .. "CRf6.bmp")
// and the background of the body energy balance diagram ("zebkmg.msi", a
// Windows bitmap); CHARTS_FOLDER the twelve meridian charts "01.png" ..
// "12.png" that qern-dbgen stores in the reference database.

#include "Charts.h"
#include "PointPictures.h"

#include "shell/MeridianModel.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

using namespace qern;
using namespace qern::pictures;

namespace {

QtMessageHandler defaultHandler = nullptr;

// Without a session the offscreen platform complains about the runtime
// folder, which drawing never uses: keep the build log quiet.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    defaultHandler(type, context, message);
}

bool save(const QImage& image, const QString& path, const char* format)
{
    // Bitmaps stay 24-bit so that every reader, old ones included, takes them.
    const QImage out = qstrcmp(format, "BMP") == 0 ? image.convertToFormat(QImage::Format_RGB888) : image;
    if (out.save(path, format))
        return true;
    std::fprintf(stderr, "qern-picgen: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // A build machine has no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: qern-picgen DATA_FOLDER CHARTS_FOLDER\n");
        return 1;
    }
    const QDir data(args[0]);
    const QDir charts(args[1]);
    if (!QDir().mkpath(data.path()) || !QDir().mkpath(charts.path())) {
        std::fprintf(stderr, "qern-picgen: cannot create the output folders\n");
        return 1;
    }

    bool ok = true;
    const struct {
        PictureStyle Style;
        char Prefix;
    } styles[] = {{PictureStyle::Shaded, 'P'}, {PictureStyle::Outline, 'G'}, {PictureStyle::Combined, 'C'}};
    for (const auto& style : styles) {
        for (int point = 1; point <= PointCount; ++point) {
            const QString name = QLatin1Char(style.Prefix) + PointPictureName(point).mid(1) + QStringLiteral(".bmp");
            ok = save(DrawPointPicture(point, style.Style), data.filePath(name), "BMP") && ok;
        }
    }
    ok = save(DrawBalanceBackground(), data.filePath(QStringLiteral("zebkmg.msi")), "BMP") && ok;
    for (int m = 1; m <= MeridianCount; ++m)
        ok = save(DrawMeridianChart(m), charts.filePath(QStringLiteral("%1.png").arg(m, 2, 10, QLatin1Char('0'))),
                  "PNG") && ok;
    return ok ? 0 : 1;
}
