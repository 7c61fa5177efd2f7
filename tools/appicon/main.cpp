// kesta_appicon ICON.svg FOLDER SIZE...: writes FOLDER/<SIZE>x<SIZE>/apps/<name>.png for each
// size, in the layout of the hicolor icon theme. Needs no display.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() < 3) {
        std::fputs("Usage: kesta_appicon ICON.svg FOLDER SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(arguments.at(0));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "Not an SVG image: %s\n", qPrintable(arguments.at(0)));
        return 1;
    }
    const QString name = QFileInfo(arguments.at(0)).completeBaseName() + QStringLiteral(".png");
    for (const QString &given : arguments.mid(2)) {
        bool ok = false;
        const int size = given.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "Not a size: %s\n", qPrintable(given));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(1)).arg(size);
        if (!QDir().mkpath(folder) || !image.save(folder + QLatin1Char('/') + name)) {
            std::fprintf(stderr, "Cannot write %s/%s\n", qPrintable(folder), qPrintable(name));
            return 1;
        }
    }
    return 0;
}
