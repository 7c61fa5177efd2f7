#include "toolkit/settings/intpropertyview.h"

#include "toolkit/settings/abstractmetadescription.h"

#include <QSpinBox>
#include <algorithm>
#include <limits>

namespace
{

int bounded(double value)
{
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(value);
}

} // namespace

IntPropertyView::IntPropertyView(AbstractMetaDescription *description, QWidget *parent)
    : BasePropertyView(description, parent)
{
    auto *spin = new QSpinBox(this);
    spin->setObjectName(QStringLiteral("propertySpinBox"));
    if (description) {
        spin->setRange(
            description->hasMinimum ? bounded(description->minimum) : std::numeric_limits<int>::min(),
            description->hasMaximum ? bounded(description->maximum) : std::numeric_limits<int>::max());
        if (description->hasStep)
            spin->setSingleStep(std::max(1, bounded(description->step)));
        spin->setSuffix(translatedSuffixOrPrefix(description->suffix));
        spin->setPrefix(translatedSuffixOrPrefix(description->prefix));
    }
    setEditor(spin);
    refresh();
    connect(
        spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int value) { writeValue(value); });
}

void IntPropertyView::up()
{
    if (auto *spin = editorAs<QSpinBox>())
        spin->stepUp();
}

void IntPropertyView::down()
{
    if (auto *spin = editorAs<QSpinBox>())
        spin->stepDown();
}

void IntPropertyView::showValue(const QVariant &value)
{
    if (auto *spin = editorAs<QSpinBox>())
        spin->setValue(value.toInt());
}

bool IntPropertyView::isDefaultValue() const
{
    return description && numberIsDefault(description->getValue().toDouble());
}
