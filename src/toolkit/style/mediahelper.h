#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Loads icons from resources and recolours SVG icons by rewriting their text.
// Icons are cached per path, coloured ones per path and colour, so that widgets
// re-bound on every theme change never reload or re-render an SVG.
class MediaHelper
{
public:
    // The icon of a file ("qrc:/" is read as ":/"), loaded once.
    static QIcon icon(const QString &path);
    // The icon of an SVG file drawn in newColor instead of oldColor; an empty
    // newColor gives the plain icon.
    static QIcon iconColored(const QString &path, const QString &newColor, const QString &oldColor);
    // The SVG text with the fill of its root element set to newColor and every
    // oldColor replaced by it; empty when the file cannot be read.
    static QString recolorSVG(const QString &path, const QString &newColor, const QString &oldColor);
    // The recoloured SVG decoded at its own size.
    static QImage svgColored(const QString &path, const QString &newColor, const QString &oldColor);

private:
    static QString resourcePath(const QString &path);
};
