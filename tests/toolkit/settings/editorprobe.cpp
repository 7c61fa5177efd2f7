#include "editorprobe.h"

#include "toolkit/settings/propertywidgetinfo.h"

#include <QApplication>
#include <QTest>

namespace editortest
{

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

} // namespace editortest
