#pragma once

#include <QObject>

// The colour themes a setting can choose, stored by key ("Light", "Dark"). Kept
// apart from StyleHelper so that settings objects can name them without widgets.
class ColorTheme
{
    Q_GADGET
public:
    enum ColorThemeEnum { Light = 0, Dark = 1 };
    Q_ENUM(ColorThemeEnum)
};
