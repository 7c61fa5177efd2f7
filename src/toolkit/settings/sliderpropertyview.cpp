#include "toolkit/settings/sliderpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <algorithm>
#include <cmath>

SliderPropertyView::SliderPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    if (description) {
        integral = !(description->typeName.contains(QLatin1String("double"))
            || description->typeName.contains(QLatin1String("float")));
        if (description->hasMinimum)
            low = description->minimum;
        if (description->hasMaximum)
            high = description->maximum;
        if (description->hasStep && description->step > 0)
            stepSize = description->step;
    }
    if (high < low)
        std::swap(low, high);
    if (integral)
        stepSize = std::max(1.0, std::round(stepSize));

    auto *slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("propertySlider"));
    slider->setRange(0, int(std::round((high - low) / stepSize)));
    slider->setMinimumWidth(100);
    setEditor(slider, 100);
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("propertySliderValue"));
    addWidget(label);
    refresh();
    connect(slider, &QSlider::valueChanged, this, [this](int position) {
        const double value = valueAt(position);
        showNumber(value);
        writeValue(integral ? QVariant(int(std::lround(value))) : QVariant(value));
    });
}

void SliderPropertyView::up()
{
    if (auto *slider = editorAs<QSlider>())
        slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void SliderPropertyView::down()
{
    if (auto *slider = editorAs<QSlider>())
        slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

void SliderPropertyView::showValue(const QVariant &value)
{
    if (auto *slider = editorAs<QSlider>())
        slider->setValue(positionOf(value.toDouble()));
    showNumber(value.toDouble());
}

bool SliderPropertyView::isDefaultValue() const
{
    return description && numberIsDefault(description->getValue().toDouble());
}

double SliderPropertyView::valueAt(int position) const
{
    return std::min(high, low + position * stepSize);
}

int SliderPropertyView::positionOf(double value) const
{
    return int(std::lround((std::clamp(value, low, high) - low) / stepSize));
}

void SliderPropertyView::showNumber(double value)
{
    if (!description)
        return;
    const QString number = integral ? QString::number(std::lround(value)) : QLocale().toString(value, 'g', 6);
    label->setText(translatedSuffixOrPrefix(description->prefix) + number
        + translatedSuffixOrPrefix(description->suffix));
}
