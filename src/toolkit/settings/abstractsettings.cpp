#include "toolkit/settings/abstractsettings.h"

AbstractSettings::AbstractSettings(QObject *parent)
    : QObject(parent)
{
}

QVariant AbstractSettings::getValue(const QString &name)
{
    Q_UNUSED(name)
    return QVariant();
}
