#include "toolkit/settings/enumstringlistpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QComboBox>
#include <QListView>
#include <QMetaEnum>

EnumStringListPropertyView::EnumStringListPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("propertyComboBox"));
    combo->setView(new QListView(combo));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(offeredChoices());
    setEditor(combo);
    refresh();
    connect(
        combo, &QComboBox::currentTextChanged, this, [this](const QString &text) { writeTextValue(text); });
}

QStringList EnumStringListPropertyView::offeredChoices() const
{
    if (!description)
        return {};
    if (!description->choices.isEmpty())
        return description->choices;
    QStringList listed;
    for (const QString &part : description->specialTypeArgument.split(',', Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            listed.append(part.trimmed());
    }
    if (listed.isEmpty() && description->isEnumType()) {
        const QMetaEnum meta = description->enumerator();
        for (int i = 0; i < meta.keyCount(); ++i)
            listed.append(QString::fromLatin1(meta.key(i)));
    }
    return listed;
}

void EnumStringListPropertyView::showValue(const QVariant &value)
{
    auto *combo = editorAs<QComboBox>();
    if (!combo || !description)
        return;
    QString text = value.toString();
    if (description->isEnumType())
        text = QString::fromLatin1(description->enumerator().valueToKey(enumValue(value)));
    if (combo->currentText() == text)
        return;
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else
        combo->setEditText(text);
}
