#pragma once

#include "toolkit/settings/basepropertylistwidget.h"

#include <QList>
#include <QMap>

class PropertyListControl;
class QTabWidget;

// A settings object on tabs, one per category in category order, each tab a
// PropertyListControl of that category. A tab whose rows are all hidden by
// their conditions leaves the tab bar until one of them shows again.
class PropertyTabWidget : public BasePropertyListWidget
{
    Q_OBJECT
public:
    explicit PropertyTabWidget(AbstractSettings *settings, QWidget *parent = nullptr);

    QTabWidget *getTabWidget() const;
    int tabCount() const;
    // The tab's current index; -1 when there is no tab for category.
    int tabIndex(const QString &category) const;
    PropertyListControl *page(const QString &category) const;
    QList<PropertyListControl *> pages() const;
    // Moves the category's tab to index; select also makes it the current tab.
    void moveTab(const QString &category, int index, bool select = false);
    void setPadding(int padding);

    // Every tab shows the object (BasePropertyListWidget::showObject); tabs
    // come and go with its conditions.
    bool showObject(AbstractSettings *object) override;
    void reorderTabOrder() override;
    void showDefaultButtons(bool show) override;
    void showHeaders(bool show) override;
    void showItems(const QStringList &names, bool show) override;
    void setEditorsEnabled(bool enabled) override;
    // Rows of every tab, tab after tab in category order.
    int widgetInfoCount() const override;
    PropertyWidgetInfo getWidgetInfo(int index) const override;
    PropertyWidgetInfo getWidgetInfo(const QString &name) const override;

private:
    void updateTab(PropertyListControl *page);

    QTabWidget *tabWidget = nullptr;
    QList<PropertyListControl *> categoryPages;
    QMap<QString, PropertyListControl *> pageByCategory;
};
