#include "toolkit/settings/propertylistcontrol.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/basepropertyview.h"

#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <algorithm>

namespace
{

const int ColumnCount = 4;

} // namespace

PropertyListControl::PropertyListControl(
    AbstractSettings *settings, const QString &name, ViewMode mode, QWidget *parent)
    : BasePropertyListWidget(settings, parent)
    , name(name)
    , mode(mode)
{
    build();
}

void PropertyListControl::build()
{
    // The grid sits in its container before any row is added, so that no header
    // or editor is ever a window of its own, not even for a moment.
    propertyGrid = new QGridLayout;
    propertyGrid->setContentsMargins(0, 0, 0, 0);
    propertyGrid->setColumnStretch(2, 100);
    if (mode == OneProperty || mode == AllPropertiesPlain) {
        if (mode == OneProperty)
            propertyGrid->setSpacing(0);
        gridLayout->addLayout(propertyGrid, 0, 0);
    } else {
        scrollArea = new QScrollArea(this);
        scrollArea->setObjectName(QStringLiteral("propertyScrollArea"));
        scrollArea->setAccessibleName(tr("Fields"));
        scrollArea->setMinimumSize(30, 20);
        scrollArea->setWidgetResizable(true);
        scrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        scrollArea->setFrameShape(QFrame::NoFrame);
        scrollArea->setStyleSheet(
            // The bars take the theme's background; palette(base) would stay light in the dark theme.
            QStringLiteral("QScrollArea { background: transparent; border: 0; } "
                           "QScrollArea > QWidget > QWidget { background: transparent; }"));
        auto *content = new QWidget(scrollArea);
        content->setObjectName(QStringLiteral("propertyScrollContent"));
        content->setAutoFillBackground(false);
        content->setLayout(propertyGrid);
        scrollArea->setWidget(content);
        scrollArea->viewport()->setAutoFillBackground(false);
        gridLayout->addWidget(scrollArea, 0, 0);
    }

    AbstractMetaDescriptor *descriptor = settings ? settings->metaDescriptor() : nullptr;
    categories.build(descriptor);
    switch (mode) {
    case AllProperties:
    case AllPropertiesPlain: {
        const QStringList names = categories.categoryNames();
        for (const QString &category : names)
            addCategory(category, names.size() > 1);
        break;
    }
    case OneCategory:
        addCategory(name, false);
        break;
    case OneProperty: {
        AbstractMetaDescription *description = categories.property(name);
        if (!description && descriptor)
            description = descriptor->propertyByName(name);
        addPropertyToLayout(description, propertyGrid);
        break;
    }
    }
    moveBottomStretch();

    for (int i = 0; i < widgetInfos.size(); ++i)
        watchConditions(i);
    for (int i = 0; i < widgetInfos.size(); ++i) {
        if (widgetInfos.at(i).conditional)
            applyRowVisibility(i);
    }
    recheckConditions();
    updateLabelsAndCounts();
    reorderTabOrder();
}

bool PropertyListControl::showObject(AbstractSettings *object)
{
    if (object && object == settings)
        return true;
    if (!canShow(object))
        return false;
    conditionWatch.clear();
    bindRows(object);
    for (int i = 0; i < widgetInfos.size(); ++i)
        watchConditions(i);
    if (recheckConditions())
        rowsVisibilityChanged();
    return true;
}

bool PropertyListControl::recheckConditions()
{
    bool changed = false;
    for (int i = 0; i < widgetInfos.size(); ++i) {
        PropertyWidgetInfo &info = widgetInfos[i];
        if (!info.conditional)
            continue;
        const bool met = conditionsPass(info.description);
        if (info.description)
            info.description->visible = met;
        if (met == info.conditionsMet)
            continue;
        info.conditionsMet = met;
        applyRowVisibility(i);
        changed = true;
    }
    return changed;
}

void PropertyListControl::addCategory(const QString &category, bool withLabel)
{
    if (withLabel) {
        auto *label = new QLabel(PropertyCategories::title(category));
        label->setObjectName(QStringLiteral("propertyCategoryLabel"));
        label->setStyleSheet(QStringLiteral("font-weight: bold"));
        // Across the row, so that a long title does not widen the header column.
        propertyGrid->addWidget(label, nextFreeRow(), 0, 1, ColumnCount);
        categoryLabels.insert(category, label);
    }
    const QList<AbstractMetaDescription *> descriptions = categories.properties(category);
    for (AbstractMetaDescription *description : descriptions)
        addPropertyToLayout(description, propertyGrid);
}

void PropertyListControl::watchConditions(int index)
{
    AbstractMetaDescription *description = widgetInfos.at(index).description;
    if (!description || description->visibleBound.isEmpty())
        return;
    widgetInfos[index].conditional = true;
    const QStringList keys = description->visibleBound.keys();
    for (const QString &key : keys) {
        AbstractMetaDescription *dependency = findDependency(key);
        if (!dependency) {
            qDebug() << (mode == OneCategory ? "Prop not found" : "Property not found") << key;
            continue;
        }
        conditionWatch << connect(
            dependency, &AbstractMetaDescription::valueChanged, this, [this, index] { recheckRow(index); });
    }
}

void PropertyListControl::recheckRow(int index)
{
    PropertyWidgetInfo &info = widgetInfos[index];
    const bool met = conditionsPass(info.description);
    if (info.description)
        info.description->visible = met;
    if (met == info.conditionsMet)
        return;
    info.conditionsMet = met;
    applyRowVisibility(index);
    rowsVisibilityChanged();
}

void PropertyListControl::rowsVisibilityChanged()
{
    updateLabelsAndCounts();
    if (manageCategoryVisibility)
        emit propertyVisibilityChanged(visibleProperties());
    BasePropertyListWidget::rowsVisibilityChanged();
}

void PropertyListControl::updateLabelsAndCounts()
{
    for (auto it = categoryLabels.cbegin(); it != categoryLabels.cend(); ++it) {
        bool any = false;
        for (const PropertyWidgetInfo &info : qAsConst(widgetInfos))
            any = any || (info.category == it.key() && info.isShown());
        it.value()->setHidden(!any);
    }
    alwaysVisible = 0;
    conditionallyVisible = 0;
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        if (info.isShown())
            ++(info.conditional ? conditionallyVisible : alwaysVisible);
    }
}

PropertyListControl::ViewMode PropertyListControl::getViewMode() const
{
    return mode;
}

QString PropertyListControl::getName() const
{
    return name;
}

QGridLayout *PropertyListControl::getPropertyGrid() const
{
    return propertyGrid;
}

QScrollArea *PropertyListControl::getScrollArea() const
{
    return scrollArea;
}

QLabel *PropertyListControl::getCategoryLabel(const QString &category) const
{
    return categoryLabels.value(category.isEmpty() ? QString() : category, nullptr);
}

bool PropertyListControl::getManageCategoryVisibility() const
{
    return manageCategoryVisibility;
}

void PropertyListControl::setManageCategoryVisibility(bool manage)
{
    if (manage == manageCategoryVisibility)
        return;
    manageCategoryVisibility = manage;
    emit manageCategoryVisibilityChanged();
}

int PropertyListControl::visibleProperties() const
{
    return alwaysVisible + conditionallyVisible;
}

void PropertyListControl::showHeader(const QString &propertyName, bool show)
{
    const int index = indexOf(propertyName);
    if (index < 0)
        return;
    widgetInfos[index].headerHidden = !show;
    applyRowVisibility(index);
}

void PropertyListControl::substituteEditor(const QString &propertyName, QWidget *widget)
{
    const int index = indexOf(propertyName);
    if (index < 0 || !widget)
        return;
    PropertyWidgetInfo &info = widgetInfos[index];
    int span = 1;
    if (info.editor) {
        int row = 0, column = 0, rowSpan = 1;
        propertyGrid->getItemPosition(propertyGrid->indexOf(info.editor), &row, &column, &rowSpan, &span);
        propertyGrid->removeWidget(info.editor);
        // The editor stays alive (hidden) so that its owner's connections hold.
        info.editor->hide();
    }
    propertyGrid->addWidget(widget, info.row, 1, 1, span, Qt::AlignLeft);
    info.editor = widget;
    applyRowVisibility(index);
    reorderTabOrder();
}

void PropertyListControl::substituteHeader(
    const QString &propertyName, QWidget *widget, Qt::Alignment alignment)
{
    const int index = indexOf(propertyName);
    if (index < 0 || !widget)
        return;
    PropertyWidgetInfo &info = widgetInfos[index];
    if (info.header) {
        propertyGrid->removeWidget(info.header);
        info.header->deleteLater();
    }
    propertyGrid->addWidget(widget, info.row, 0, alignment);
    info.header = widget;
    applyRowVisibility(index);
}

void PropertyListControl::setPadding(int padding)
{
    propertyGrid->setContentsMargins(padding, padding, padding, padding);
}

void PropertyListControl::setMinimumEditorWidth(int width)
{
    propertyGrid->setColumnMinimumWidth(1, width);
}

void PropertyListControl::setMaximumHeaderColumnWidth(int width)
{
    maximumHeaderWidth = width;
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        if (!info.header)
            continue;
        info.header->setMaximumWidth(width > 0 ? width : QWIDGETSIZE_MAX);
        const auto labels = info.header->findChildren<QLabel *>(QStringLiteral("propertyHeaderLabel"));
        auto *own = qobject_cast<QLabel *>(info.header.data());
        for (QLabel *label : labels + QList<QLabel *>({ own })) {
            if (label)
                label->setWordWrap(width > 0);
        }
    }
}

int PropertyListControl::getHeaderColumnWidth() const
{
    int width = 0;
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        if (info.header && info.isShown() && !info.header->isHidden())
            width = std::max(width, info.header->sizeHint().width());
    }
    return maximumHeaderWidth > 0 ? std::min(width, maximumHeaderWidth) : width;
}

int PropertyListControl::nextFreeRow() const
{
    // An empty grid still reports one row; the stretch row is not content.
    if (propertyGrid->count() == 0)
        return 0;
    int last = -1;
    for (int i = 0; i < propertyGrid->count(); ++i) {
        int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
        propertyGrid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        last = std::max(last, row + rowSpan - 1);
    }
    return last + 1;
}

void PropertyListControl::moveBottomStretch()
{
    if (!scrollArea)
        return;
    if (stretchRow >= 0)
        propertyGrid->setRowStretch(stretchRow, 0);
    stretchRow = nextFreeRow();
    propertyGrid->setRowStretch(stretchRow, 100);
}
