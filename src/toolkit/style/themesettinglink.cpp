#include "toolkit/style/themesettinglink.h"

#include "toolkit/style/colortheme.h"
#include "toolkit/style/stylehelper.h"

#include <QMetaMethod>
#include <QMetaProperty>

ThemeSettingLink::ThemeSettingLink(QObject *settings, const QString &propertyName)
    : QObject(settings)
    , settings(settings)
    , linkedProperty(propertyName)
{
    const QMetaObject *meta = settings->metaObject();
    // A settings object reports every change by name; listening to the
    // property's own notify signal as well would select the theme twice.
    const int reported = meta->indexOfSignal("propertyChanged(QString)");
    if (reported >= 0) {
        const QMetaMethod slot
            = metaObject()->method(metaObject()->indexOfSlot("onPropertyChanged(QString)"));
        connect(settings, meta->method(reported), this, slot);
        return;
    }
    const int index = meta->indexOfProperty(propertyName.toUtf8().constData());
    if (index >= 0 && meta->property(index).hasNotifySignal()) {
        const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("apply()"));
        connect(settings, meta->property(index).notifySignal(), this, slot);
    }
}

bool ThemeSettingLink::valueIsDark() const
{
    const QVariant value = settings->property(linkedProperty.toUtf8().constData());
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (isNumber && number == ColorTheme::Dark)
        return true;
    return value.toString().contains(QLatin1String("dark"), Qt::CaseInsensitive);
}

void ThemeSettingLink::apply()
{
    StyleHelper::Instance()->selectTheme(valueIsDark() ? QStringLiteral("dark") : QStringLiteral("light"));
}

void ThemeSettingLink::onPropertyChanged(const QString &name)
{
    if (name == linkedProperty)
        apply();
}
