#pragma once

#include <QObject>

// Process-wide theme manager: style sheets with theme variables, colour themes
// and recoloured icons.
class StyleHelper : public QObject
{
    Q_OBJECT
public:
    enum ColorThemeEnum { Light = 0, Dark = 1 };
    Q_ENUM(ColorThemeEnum)
};
