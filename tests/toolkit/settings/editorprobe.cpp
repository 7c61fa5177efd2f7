#include "editorprobe.h"

#include "toolkit/settings/propertywidgetinfo.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTranslator>

namespace editortest
{

const char SettingsFile[] = "Settings.xml";

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool activated(QWidget *widget)
{
    widget->show();
    QApplication::setActiveWindow(widget);
    return QTest::qWaitForWindowActive(widget);
}

QStringList rowNames(const BasePropertyListWidget &form)
{
    QStringList names;
    for (int i = 0; i < form.widgetInfoCount(); ++i)
        names << form.getWidgetInfo(i).name;
    return names;
}

BasePropertyView *viewOf(const BasePropertyListWidget &form, const QString &name)
{
    BasePropertyView *view = form.getWidgetInfo(name).view;
    if (!view)
        qFatal("the form has no row for %s", qPrintable(name));
    return view;
}

bool rowShown(const BasePropertyListWidget &form, const QString &name)
{
    const PropertyWidgetInfo info = form.getWidgetInfo(name);
    return info.header && info.editor && info.header->isVisible() && info.editor->isVisible();
}

void removeTranslators()
{
    const auto translators = qApp->findChildren<QTranslator *>();
    for (QTranslator *translator : translators) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace editortest
