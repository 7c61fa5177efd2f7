#include "toolkit/settings/doublepropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QDoubleSpinBox>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <algorithm>
#include <limits>

namespace
{

// Enough decimals to show a step such as 0.25 exactly.
int decimalsOf(double value)
{
    const QString text = QString::number(value, 'f', 6).remove(QRegularExpression(QStringLiteral("0+$")));
    const int dot = text.indexOf('.');
    return dot < 0 ? 0 : text.size() - dot - 1;
}

} // namespace

DoublePropertyView::DoublePropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *spin = new QDoubleSpinBox(this);
    spin->setObjectName(QStringLiteral("propertyDoubleSpinBox"));
    if (description) {
        int decimals = 2;
        bool ok = false;
        const int precision = description->attributes.value(QStringLiteral("Precision")).toInt(&ok);
        if (ok && precision >= 0)
            decimals = precision;
        else if (description->hasStep)
            decimals = std::max(decimals, decimalsOf(description->step));
        spin->setDecimals(decimals);
        spin->setRange(
            description->hasMinimum ? description->minimum : double(std::numeric_limits<int>::min()),
            description->hasMaximum ? description->maximum : double(std::numeric_limits<int>::max()));
        if (description->hasStep)
            spin->setSingleStep(description->step);
        spin->setSuffix(translatedSuffixOrPrefix(description->suffix));
        spin->setPrefix(translatedSuffixOrPrefix(description->prefix));
        // A measure not taken reads as nothing rather than "0 cm". Not empty:
        // an empty special text is none at all.
        if (description->hasMinimum
            && !description->attributes.value(QStringLiteral("BlankAtMinimum")).isEmpty())
            spin->setSpecialValueText(QStringLiteral(" "));

        const QStringList parts = description->attributes.value(QStringLiteral("Suggestions")).split(',');
        for (const QString &part : parts) {
            bool isNumber = false;
            const double number = part.trimmed().toDouble(&isNumber);
            if (isNumber)
                suggested.append(number);
        }
    }
    setEditor(spin);

    if (!suggested.isEmpty()) {
        suggestionButton = new QToolButton(this);
        suggestionButton->setObjectName(QStringLiteral("propertySuggestionsButton"));
        suggestionButton->setPopupMode(QToolButton::InstantPopup);
        suggestionButton->setFocusPolicy(Qt::ClickFocus);
        suggestionButton->setAccessibleName(tr("Suggested values"));
        auto *menu = new QMenu(suggestionButton);
        for (double number : qAsConst(suggested)) {
            QAction *action
                = menu->addAction(QLocale().toString(number, 'f', spin->decimals()) + spin->suffix());
            connect(action, &QAction::triggered, spin, [spin, number] { spin->setValue(number); });
        }
        suggestionButton->setMenu(menu);
        addWidget(suggestionButton);
    }

    refresh();
    connect(spin, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this](double value) { writeValue(value); });
}

void DoublePropertyView::up()
{
    if (auto *spin = editorAs<QDoubleSpinBox>())
        spin->stepUp();
}

void DoublePropertyView::down()
{
    if (auto *spin = editorAs<QDoubleSpinBox>())
        spin->stepDown();
}

QList<double> DoublePropertyView::suggestions() const
{
    return suggested;
}

void DoublePropertyView::showValue(const QVariant &value)
{
    if (auto *spin = editorAs<QDoubleSpinBox>())
        spin->setValue(value.toDouble());
}

bool DoublePropertyView::isDefaultValue() const
{
    return description && numberIsDefault(description->getValue().toDouble());
}
