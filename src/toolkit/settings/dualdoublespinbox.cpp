#include "toolkit/settings/dualdoublespinbox.h"

#include "toolkit/settings/abstractmetadescription.h"
#include "toolkit/settings/metadescription.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <cmath>
#include <limits>

DualDoubleSpinBox::DualDoubleSpinBox(AbstractMetaDescription *description, DualMode mode, QWidget *parent)
    : BasePropertyView(description, parent)
    , dualMode(mode)
{
    const bool whole = mode == DualMode_Size || mode == DualMode_Point;
    int decimals = whole ? 0 : 2;
    double low = mode == DualMode_Size ? 0 : double(std::numeric_limits<int>::min());
    double high = double(std::numeric_limits<int>::max());
    if (description) {
        bool ok = false;
        const int precision = description->attributes.value(QStringLiteral("Precision")).toInt(&ok);
        if (ok && precision >= 0 && !whole)
            decimals = precision;
        if (description->hasMinimum)
            low = description->minimum;
        if (description->hasMaximum)
            high = description->maximum;
    }

    auto makeSpin = [&](const char *name) {
        auto *spin = new QDoubleSpinBox(this);
        spin->setObjectName(QLatin1String(name));
        spin->setDecimals(decimals);
        spin->setRange(low, high);
        if (description && description->hasStep)
            spin->setSingleStep(description->step);
        if (description) {
            spin->setSuffix(translatedSuffixOrPrefix(description->suffix));
            spin->setPrefix(translatedSuffixOrPrefix(description->prefix));
        }
        return spin;
    };
    first = makeSpin("propertyFirstSpinBox");
    second = makeSpin("propertySecondSpinBox");
    setEditor(first);
    const QString separator = mode == DualMode_Size ? QStringLiteral("×")
        : mode == DualMode_Range                    ? QStringLiteral("–")
                                                    : QStringLiteral(",");
    addWidget(new QLabel(separator, this));
    addWidget(second);
    refresh();

    auto changed = [this] {
        keepRangeOrdered();
        writePair();
    };
    connect(first, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(second, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
}

DualDoubleSpinBox::DualMode DualDoubleSpinBox::mode() const
{
    return dualMode;
}

QDoubleSpinBox *DualDoubleSpinBox::firstSpinBox() const
{
    return first;
}

QDoubleSpinBox *DualDoubleSpinBox::secondSpinBox() const
{
    return second;
}

void DualDoubleSpinBox::nullifyEditor()
{
    BasePropertyView::nullifyEditor();
    first = nullptr;
    second = nullptr;
}

bool DualDoubleSpinBox::readPair(QString text, double &x, double &y)
{
    // A text setting may hold the pair as the settings file writes points: "a;b".
    text.replace(';', ',');
    return MetaDescription::parsePointOrSize(text, x, y);
}

void DualDoubleSpinBox::showValue(const QVariant &)
{
    if (!first || !second || !description)
        return;
    double x = 0;
    double y = 0;
    readPair(description->getTextValue(), x, y);
    const QSignalBlocker blockSecond(second);
    if (dualMode == DualMode_Range) {
        // Open the limits first so that neither value is clipped by the other's old one.
        first->setMaximum(second->maximum() > y ? second->maximum() : y);
        second->setMinimum(first->minimum() < x ? first->minimum() : x);
    }
    first->setValue(x);
    second->setValue(y);
    keepRangeOrdered();
}

bool DualDoubleSpinBox::isDefaultValue() const
{
    if (!description)
        return false;
    double dx = 0, dy = 0, x = 0, y = 0;
    if (!readPair(description->defaultValue, dx, dy) || !readPair(description->getTextValue(), x, y))
        return BasePropertyView::isDefaultValue();
    return std::fabs(dx - x) < 1e-9 && std::fabs(dy - y) < 1e-9;
}

void DualDoubleSpinBox::writePair()
{
    if (!first || !second)
        return;
    writeTextValue(
        QString::number(first->value(), 'g', 15) + ',' + QString::number(second->value(), 'g', 15));
}

void DualDoubleSpinBox::keepRangeOrdered()
{
    if (dualMode != DualMode_Range || !first || !second)
        return;
    const QSignalBlocker blockFirst(first);
    const QSignalBlocker blockSecond(second);
    first->setMaximum(second->value());
    second->setMinimum(first->value());
}
