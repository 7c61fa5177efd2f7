#include "toolkit/style/mediahelper.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSvgRenderer>

namespace
{

QHash<QString, QIcon> &iconCache()
{
    static QHash<QString, QIcon> cache;
    return cache;
}

QHash<QString, QIcon> &coloredIconCache()
{
    static QHash<QString, QIcon> cache;
    return cache;
}

// Scales at which a coloured icon is pre-rendered: a raster of the SVG's own
// size alone would blur on scaled screens and in large buttons.
const int RenderScales[] = { 1, 2, 4 };

} // namespace

QString MediaHelper::resourcePath(const QString &path)
{
    if (path.startsWith(QLatin1String("qrc:/")))
        return QLatin1Char(':') + path.mid(4);
    return path;
}

QIcon MediaHelper::icon(const QString &path)
{
    const QString file = resourcePath(path);
    auto &cache = iconCache();
    auto found = cache.constFind(file);
    if (found != cache.constEnd())
        return found.value();
    // QIcon would accept a missing file and paint nothing; a null icon lets
    // callers tell.
    const QIcon loaded = QFile::exists(file) ? QIcon(file) : QIcon();
    cache.insert(file, loaded);
    return loaded;
}

QString MediaHelper::recolorSVG(const QString &path, const QString &newColor, const QString &oldColor)
{
    QFile file(resourcePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());

    const QString fill = QStringLiteral("fill=\"%1\"").arg(newColor);
    const int open = text.indexOf(QLatin1String("<svg"));
    const int close = open < 0 ? -1 : text.indexOf(QLatin1Char('>'), open);
    if (close > open) {
        const int fillAt = text.indexOf(QLatin1String("fill=\""), open);
        if (fillAt < 1 || fillAt >= close) {
            // A self-closing root keeps its "/" right before the ">".
            const int at = text.at(close - 1) == QLatin1Char('/') ? close - 1 : close;
            text.insert(at, QLatin1Char(' ') + fill);
        } else {
            const int quote = text.indexOf(QLatin1Char('"'), fillAt + 6);
            const int end = quote < 0 ? close : quote + 1;
            text.replace(fillAt, end - fillAt, fill);
        }
    }

    if (!oldColor.isEmpty()) {
        // Whole colours only: "#000" must not turn "#000000" into "#FFF000".
        const QRegularExpression old(QRegularExpression::escape(oldColor) + QStringLiteral("(?![0-9A-Fa-f])"),
            QRegularExpression::CaseInsensitiveOption);
        text.replace(old, newColor);
    }
    return text;
}

QImage MediaHelper::svgColored(const QString &path, const QString &newColor, const QString &oldColor)
{
    return QImage::fromData(recolorSVG(path, newColor, oldColor).toUtf8());
}

QIcon MediaHelper::iconColored(const QString &path, const QString &newColor, const QString &oldColor)
{
    const QString file = resourcePath(path);
    if (newColor.isEmpty())
        return icon(file);

    const QString key = file + newColor;
    auto &cache = coloredIconCache();
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return found.value();

    QIcon colored;
    QSvgRenderer renderer(recolorSVG(file, newColor, oldColor).toUtf8());
    if (renderer.isValid() && !renderer.defaultSize().isEmpty()) {
        for (int scale : RenderScales) {
            QImage image(renderer.defaultSize() * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            colored.addPixmap(QPixmap::fromImage(image));
        }
    }
    cache.insert(key, colored);
    return colored;
}
