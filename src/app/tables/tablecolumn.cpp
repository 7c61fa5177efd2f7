#include "app/tables/tablecolumn.h"

#include <QCoreApplication>

TableColumn::TableColumn(const QString &name, int resizeMode, int alignment, const QString &group, bool fixed,
    const QString &title)
    : name(name)
    , title(title)
    , resizeMode(resizeMode)
    , alignment(alignment)
    , group(group)
    , fixed(fixed)
{
}

QString TableColumn::caption() const
{
    return title.isEmpty() ? translatedName() : title;
}

QString TableColumn::translatedName() const
{
    return QCoreApplication::translate("Generic", name.toUtf8().constData());
}
