#include "toolkit/settings/enumpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QListView>
#include <QMetaEnum>

EnumPropertyView::EnumPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("propertyComboBox"));
    // A list view lets the style sheet reach the popup's items.
    combo->setView(new QListView(combo));
    if (description) {
        const QMetaEnum meta = description->enumerator();
        for (int i = 0; i < meta.keyCount(); ++i)
            combo->addItem(QCoreApplication::translate(meta.name(), meta.key(i)), meta.value(i));
    }
    setEditor(combo);
    refresh();
    connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this, combo](int index) {
        if (index >= 0)
            writeValue(combo->itemData(index));
    });
}

void EnumPropertyView::showValue(const QVariant &value)
{
    if (auto *combo = editorAs<QComboBox>())
        combo->setCurrentIndex(combo->findData(enumValue(value)));
}

QString EnumPropertyView::defaultValueText() const
{
    if (!description)
        return QString();
    const QMetaEnum meta = description->enumerator();
    return QCoreApplication::translate(meta.name(), description->defaultValue.toUtf8().constData());
}
