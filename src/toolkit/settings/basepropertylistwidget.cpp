#include "toolkit/settings/basepropertylistwidget.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/abstractsettings.h"
#include "toolkit/settings/boolpropertyview.h"
#include "toolkit/settings/colorpropertyview.h"
#include "toolkit/settings/datepropertyview.h"
#include "toolkit/settings/doublepropertyview.h"
#include "toolkit/settings/dualdoublespinbox.h"
#include "toolkit/settings/enumpropertyview.h"
#include "toolkit/settings/enumstringlistpropertyview.h"
#include "toolkit/settings/intpropertyview.h"
#include "toolkit/settings/multilinepropertyview.h"
#include "toolkit/settings/sliderpropertyview.h"
#include "toolkit/settings/specialpropertyview.h"
#include "toolkit/settings/stringpropertyview.h"
#include "toolkit/style/stylehelper.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <algorithm>

BasePropertyListWidget::BasePropertyListWidget(AbstractSettings *settings, QWidget *parent)
    : QWidget(parent)
    , settings(settings)
    , formClass(settings ? settings->metaObject() : nullptr)
{
    gridLayout = new QGridLayout(this);
    gridLayout->setContentsMargins(0, 0, 0, 0);
}

AbstractSettings *BasePropertyListWidget::getSettings() const
{
    return settings;
}

const PropertyCategories &BasePropertyListWidget::getCategories() const
{
    return categories;
}

bool BasePropertyListWidget::showObject(AbstractSettings *object)
{
    if (object && object == settings)
        return true;
    if (!canShow(object))
        return false;
    bindRows(object);
    return true;
}

bool BasePropertyListWidget::canShow(AbstractSettings *object) const
{
    if (!object || !formClass || object->metaObject() != formClass)
        return false;
    const AbstractMetaDescriptor *descriptor = object->metaDescriptor();
    return std::all_of(widgetInfos.cbegin(), widgetInfos.cend(),
        [descriptor](const PropertyWidgetInfo &info) { return descriptor->propertyByName(info.name); });
}

void BasePropertyListWidget::bindRows(AbstractSettings *object)
{
    settings = object;
    AbstractMetaDescriptor *descriptor = object->metaDescriptor();
    categories.build(descriptor);
    for (PropertyWidgetInfo &info : widgetInfos) {
        info.description = descriptor->propertyByName(info.name);
        if (info.view)
            info.view->setDescription(info.description);
    }
}

int BasePropertyListWidget::addPropertyToLayout(AbstractMetaDescription *description, QGridLayout *grid)
{
    if (!description || !grid)
        return -1;

    auto *label
        = new QLabel(QCoreApplication::translate("Generic", description->displayName.toUtf8().constData()));
    label->setObjectName(QStringLiteral("propertyHeaderLabel"));
    label->setContentsMargins(0, 0, 0, 0);
    QWidget *header = label;
    if (!description->icon.isEmpty()) {
        header = new QWidget;
        header->setObjectName(QStringLiteral("propertyHeaderWidget"));
        auto *layout = new QHBoxLayout(header);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *icon = new QLabel(header);
        icon->setObjectName(QStringLiteral("propertyHeaderIcon"));
        icon->setFixedSize(16, 16);
        // White in the dark theme, as drawn in the light one, following theme changes.
        StyleHelper::Instance()->setLabelIcon(icon, description->icon, QStringLiteral("#FFF"));
        layout->addWidget(icon);
        label->setParent(header);
        layout->addWidget(label, 100, Qt::AlignLeft);
    }

    int columnSpan = 1;
    BasePropertyView *view = getPropertyView(description, columnSpan);
    view->setContentsMargins(0, 0, 5, 0);

    const QString tip = description->attributes.value(QStringLiteral("Description"));
    if (!tip.isEmpty()) {
        const QString translated = QCoreApplication::translate("Generic", tip.toUtf8().constData());
        header->setToolTip(translated);
        view->setToolTip(translated);
    }
    if (description->readOnly)
        view->setEnabled(false);
    // A screen reader names the editor by its row's label, wherever the label sits.
    if (QWidget *editor = view->getEditor()) {
        label->setBuddy(editor);
        if (editor->accessibleName().isEmpty())
            editor->setAccessibleName(label->text());
    }

    // An empty grid still reports one row.
    const int row = grid->count() == 0 ? 0 : grid->rowCount();
    grid->addWidget(header, row, 0);
    grid->addWidget(view, row, 1, 1, columnSpan, Qt::AlignLeft);

    PropertyWidgetInfo info;
    info.name = description->name;
    info.category = description->category;
    info.description = description;
    info.header = header;
    info.view = view;
    info.editor = view;
    info.row = row;
    widgetInfos.append(info);
    return row;
}

BasePropertyView *BasePropertyListWidget::getPropertyView(
    AbstractMetaDescription *description, int &columnSpan)
{
    columnSpan = 1;
    if (description->hasSpecialType) {
        const QString special = description->specialType;
        auto is = [&](const char *name) {
            return special.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        };
        if (special.contains(QLatin1String("PickFile"), Qt::CaseInsensitive)
            || special.contains(QLatin1String("PickFolder"), Qt::CaseInsensitive)) {
            columnSpan = 2;
            return new SpecialPropertyView(description);
        }
        if (special.contains(QLatin1String("Multiline"), Qt::CaseInsensitive)) {
            columnSpan = 2;
            return new MultilinePropertyView(description);
        }
        if (is("Slider"))
            return new SliderPropertyView(description);
        // A list may be written into the special type itself ("EnumStringList:a,b").
        const QString listName = description->specialTypeName;
        auto names = [&](const char *name) {
            return is(name) || listName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        };
        if (names("EnumStringList"))
            return new EnumStringListPropertyView(description);
        if (names("StringList") && description->typeName == QLatin1String("QString"))
            return new EnumStringListPropertyView(description);
        if (is("Range"))
            return new DualDoubleSpinBox(description, DualDoubleSpinBox::DualMode_Range);
    }

    const QString &type = description->typeName;
    if (description->isEnumType())
        return new EnumPropertyView(description);
    if (type.contains(QLatin1String("QPointF")))
        return new DualDoubleSpinBox(description, DualDoubleSpinBox::DualMode_PointF);
    if (type.contains(QLatin1String("QPoint")))
        return new DualDoubleSpinBox(description, DualDoubleSpinBox::DualMode_Point);
    // Sizes are points' twins; as text they could only be refused.
    if (type == QLatin1String("QSize"))
        return new DualDoubleSpinBox(description, DualDoubleSpinBox::DualMode_Size);
    if (type.contains(QLatin1String("bool")))
        return new BoolPropertyView(description);
    if (type.contains(QLatin1String("int")))
        return new IntPropertyView(description);
    if (type.contains(QLatin1String("QDate")))
        return new DatePropertyView(description);
    if (type.contains(QLatin1String("double")) || type.contains(QLatin1String("float")))
        return new DoublePropertyView(description);
    if (type.contains(QLatin1String("QColor")))
        return new ColorPropertyView(description);
    columnSpan = 2;
    return new StringPropertyView(description);
}

bool BasePropertyListWidget::checkVisibility(const QString &name, const QString &required)
{
    AbstractMetaDescriptor *descriptor = settings ? settings->metaDescriptor() : nullptr;
    const AbstractMetaDescription *description = descriptor ? descriptor->propertyByName(name) : nullptr;
    if (!description)
        return true;
    const QString value = description->getTextValue();

    const QStringList alternatives = required.split(QRegularExpression(QStringLiteral("\\||&&")));
    auto matches = [&value](QString alternative) {
        alternative = alternative.trimmed();
        if (alternative.startsWith('!'))
            return value != alternative.mid(1).trimmed();
        return value == alternative;
    };
    if (alternatives.size() == 1)
        return matches(alternatives.first());
    const bool any = required.contains('|');
    for (const QString &alternative : alternatives) {
        const bool match = matches(alternative);
        if (any && match)
            return true;
        if (!any && !match)
            return false;
    }
    return !any;
}

bool BasePropertyListWidget::conditionsPass(const AbstractMetaDescription *description)
{
    if (!description)
        return true;
    for (auto it = description->visibleBound.cbegin(); it != description->visibleBound.cend(); ++it) {
        if (!checkVisibility(it.key(), it.value()))
            return false;
    }
    return true;
}

AbstractMetaDescription *BasePropertyListWidget::findDependency(const QString &name) const
{
    if (AbstractMetaDescription *description = categories.property(name))
        return description;
    AbstractMetaDescriptor *descriptor = settings ? settings->metaDescriptor() : nullptr;
    return descriptor ? descriptor->propertyByName(name) : nullptr;
}

void BasePropertyListWidget::reorderTabOrder()
{
    QList<QWidget *> editors;
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        if (!info.isShown())
            continue;
        QWidget *editor = info.view && info.editor == info.view ? info.view->getEditor() : info.editor.data();
        if (!editor)
            continue;
        // Fields that take the focus only by click must still be reachable by Tab.
        if (editor->focusPolicy() == Qt::ClickFocus)
            editor->setFocusPolicy(Qt::StrongFocus);
        editors.append(editor);
    }
    for (int i = 1; i < editors.size(); ++i)
        QWidget::setTabOrder(editors.at(i - 1), editors.at(i));
    if (editors.isEmpty() || !focusFirstEditor)
        return;
    // Rows that come and go must not pull the focus away from where the user is.
    QWidget *current = window()->focusWidget();
    if (current && current->isEnabled() && current->isVisibleTo(window()))
        return;
    for (QWidget *editor : qAsConst(editors)) {
        if (editor->isEnabledTo(this)) {
            editor->setFocus();
            break;
        }
    }
}

bool BasePropertyListWidget::getFocusFirstEditor() const
{
    return focusFirstEditor;
}

void BasePropertyListWidget::setFocusFirstEditor(bool enabled)
{
    focusFirstEditor = enabled;
}

void BasePropertyListWidget::setFocusAt(int index)
{
    setFocusAt(getWidgetInfo(index));
}

void BasePropertyListWidget::setFocusAt(const QString &name)
{
    setFocusAt(getWidgetInfo(name));
}

void BasePropertyListWidget::setFocusAt(const PropertyWidgetInfo &info)
{
    QWidget *editor = info.view && info.editor == info.view ? info.view->getEditor() : info.editor.data();
    if (!editor)
        return;
    // An editor on a tab that is not current is brought forward first.
    for (QWidget *child = editor; child && child != this; child = child->parentWidget()) {
        QWidget *stack = child->parentWidget();
        auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
        if (tabs && tabs->indexOf(child) >= 0)
            tabs->setCurrentWidget(child);
    }
    editor->setFocus(Qt::OtherFocusReason);
}

void BasePropertyListWidget::setFocusAtFirst()
{
    for (int i = 0; i < widgetInfoCount(); ++i) {
        const PropertyWidgetInfo info = getWidgetInfo(i);
        if (info.isShown() && info.editor && info.editor->isEnabled()) {
            setFocusAt(info);
            return;
        }
    }
}

void BasePropertyListWidget::showDefaultButtons(bool show)
{
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        if (info.view)
            info.view->showDefaultButton(show);
    }
}

void BasePropertyListWidget::showHeaders(bool show)
{
    for (int i = 0; i < widgetInfos.size(); ++i) {
        widgetInfos[i].headerHidden = !show;
        applyRowVisibility(i);
    }
}

void BasePropertyListWidget::showItems(const QStringList &names, bool show)
{
    bool changed = false;
    for (int i = 0; i < widgetInfos.size(); ++i) {
        if (!names.contains(widgetInfos.at(i).name) || widgetInfos.at(i).hiddenByCaller == !show)
            continue;
        widgetInfos[i].hiddenByCaller = !show;
        applyRowVisibility(i);
        changed = true;
    }
    if (changed)
        rowsVisibilityChanged();
}

void BasePropertyListWidget::hideItems(const QStringList &names)
{
    showItems(names, false);
}

void BasePropertyListWidget::setEditorsEnabled(bool enabled)
{
    for (const PropertyWidgetInfo &info : qAsConst(widgetInfos)) {
        const bool readOnly = info.description && info.description->readOnly;
        if (info.editor)
            info.editor->setEnabled(enabled && !readOnly);
        if (info.view)
            info.view->setPresenting(!enabled);
    }
}

int BasePropertyListWidget::widgetInfoCount() const
{
    return widgetInfos.size();
}

PropertyWidgetInfo BasePropertyListWidget::getWidgetInfo(int index) const
{
    return index >= 0 && index < widgetInfos.size() ? widgetInfos.at(index) : PropertyWidgetInfo();
}

PropertyWidgetInfo BasePropertyListWidget::getWidgetInfo(const QString &name) const
{
    return getWidgetInfo(indexOf(name));
}

void BasePropertyListWidget::applyRowVisibility(int index)
{
    const PropertyWidgetInfo &info = widgetInfos.at(index);
    const bool shown = info.isShown();
    if (info.header)
        info.header->setHidden(!shown || info.headerHidden);
    if (info.editor)
        info.editor->setHidden(!shown);
}

void BasePropertyListWidget::rowsVisibilityChanged()
{
    reorderTabOrder();
}

int BasePropertyListWidget::indexOf(const QString &name) const
{
    for (int i = 0; i < widgetInfos.size(); ++i) {
        if (widgetInfos.at(i).name == name)
            return i;
    }
    return -1;
}
