#include "toolkit/settings/propertytabwidget.h"

#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/propertylistcontrol.h"

#include <QGridLayout>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

PropertyTabWidget::PropertyTabWidget(AbstractSettings *settings, QWidget *parent)
    : BasePropertyListWidget(settings, parent)
{
    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("propertyTabWidget"));
    tabWidget->setAccessibleName(tr("Sections"));
    tabWidget->setStyleSheet(
        QStringLiteral("QTabBar::tab:disabled {width: 0px; color: transparent; background: transparent;}"));
    gridLayout->addWidget(tabWidget, 0, 0);

    categories.build(settings ? settings->metaDescriptor() : nullptr);
    for (const QString &category : categories.categoryNames()) {
        auto *page = new PropertyListControl(settings, category, PropertyListControl::OneCategory, this);
        page->setManageCategoryVisibility(true);
        const int index = tabWidget->addTab(page, PropertyCategories::title(category));
        tabWidget->tabBar()->setTabData(index, category);
        categoryPages.append(page);
        pageByCategory.insert(category, page);
        connect(
            page, &PropertyListControl::propertyVisibilityChanged, this, [this, page] { updateTab(page); });
        updateTab(page);
    }
}

bool PropertyTabWidget::showObject(AbstractSettings *object)
{
    if (object && object == settings)
        return true;
    if (!object || !formClass || object->metaObject() != formClass)
        return false;
    for (PropertyListControl *page : qAsConst(categoryPages)) {
        if (!page->canShow(object))
            return false;
    }
    settings = object;
    categories.build(object->metaDescriptor());
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->showObject(object);
    return true;
}

QTabWidget *PropertyTabWidget::getTabWidget() const
{
    return tabWidget;
}

int PropertyTabWidget::tabCount() const
{
    return tabWidget->count();
}

int PropertyTabWidget::tabIndex(const QString &category) const
{
    PropertyListControl *found = page(category);
    return found ? tabWidget->indexOf(found) : -1;
}

PropertyListControl *PropertyTabWidget::page(const QString &category) const
{
    return pageByCategory.value(category.isEmpty() ? QString() : category, nullptr);
}

QList<PropertyListControl *> PropertyTabWidget::pages() const
{
    return categoryPages;
}

void PropertyTabWidget::moveTab(const QString &category, int index, bool select)
{
    const int from = tabIndex(category);
    if (from < 0)
        return;
    const int to = std::max(0, std::min(index, tabWidget->count() - 1));
    tabWidget->tabBar()->moveTab(from, to);
    if (select && tabWidget->isTabEnabled(to))
        tabWidget->setCurrentIndex(to);
}

void PropertyTabWidget::setPadding(int padding)
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->setPadding(padding);
}

void PropertyTabWidget::reorderTabOrder()
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->reorderTabOrder();
}

void PropertyTabWidget::showDefaultButtons(bool show)
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->showDefaultButtons(show);
}

void PropertyTabWidget::showHeaders(bool show)
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->showHeaders(show);
}

void PropertyTabWidget::showItems(const QStringList &names, bool show)
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->showItems(names, show);
}

void PropertyTabWidget::setEditorsEnabled(bool enabled)
{
    for (PropertyListControl *page : qAsConst(categoryPages))
        page->setEditorsEnabled(enabled);
}

int PropertyTabWidget::widgetInfoCount() const
{
    int count = 0;
    for (PropertyListControl *page : categoryPages)
        count += page->widgetInfoCount();
    return count;
}

PropertyWidgetInfo PropertyTabWidget::getWidgetInfo(int index) const
{
    for (PropertyListControl *page : categoryPages) {
        if (index >= 0 && index < page->widgetInfoCount())
            return page->getWidgetInfo(index);
        index -= page->widgetInfoCount();
    }
    return PropertyWidgetInfo();
}

PropertyWidgetInfo PropertyTabWidget::getWidgetInfo(const QString &name) const
{
    for (PropertyListControl *page : categoryPages) {
        const PropertyWidgetInfo info = page->getWidgetInfo(name);
        if (info.isValid())
            return info;
    }
    return PropertyWidgetInfo();
}

void PropertyTabWidget::updateTab(PropertyListControl *page)
{
    const int index = tabWidget->indexOf(page);
    if (index < 0)
        return;
    const bool shown = page->visibleProperties() > 0;
    tabWidget->setTabEnabled(index, shown);
    tabWidget->setTabVisible(index, shown);
}
